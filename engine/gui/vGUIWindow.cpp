#include "vGUIWindow.h"

#include "gui/detail/GuiFrame.h"
#include "vGUIManager.h"
#include "vTwoDee.h"

vGUIWindow::vGUIWindow()
    : m_background(nullptr), m_border(nullptr), m_textColor(0.0f, 0.0f, 0.0f, 1.0f), m_barText(nullptr),
      m_textFormat(DT_VCENTER), m_barHeight(25), m_barRect{0, 0, 0, 0}, m_dragOffsetX(0), m_dragOffsetY(0),
      m_dragging(false), m_windowRect{0, 0, 0, 0}
{
}

vGUIWindow::~vGUIWindow() = default;

void vGUIWindow::SetupWindowTextures(vTexture* background, vTexture* border)
{
    m_background = background;
    m_border = border;
}

void vGUIWindow::SetWindowBarHeight(int height)
{
    m_barHeight = height;
}

void vGUIWindow::SetWindowBarText(char* text)
{
    m_barText = text;
}

bool vGUIWindow::UpdateMsgProc(unsigned int message, unsigned int, long, POINT point)
{
    if (message == WM_LBUTTONDOWN && PtInRect(&m_windowRect, point)) {
        if (PtInRect(&m_barRect, point)) {
            m_dragging = true;
            m_dragOffsetX = m_barRect.left - point.x;
            m_dragOffsetY = m_barRect.top - point.y;
        }
        SetElementFocus(true, false);
        Report(GUIEVENT_CLICK);
    }
    if (message == WM_LBUTTONUP) m_dragging = false;
    // Every message of a drag, the press that starts it included, carries the
    // window to the point; its rectangles follow at once. Contents catch up at
    // the next Render.
    if (m_dragging) {
        SetPosition(point.x + m_dragOffsetX, point.y + m_dragOffsetY);
        Setup();
    }
    if (PtInRect(&m_windowRect, point)) SetElementHover(true);
    return false;
}

void vGUIWindow::Render()
{
    if (!m_manager) return;
    const int x = m_posX, y = m_posY, width = m_width, height = m_height;
    if (vTwoDee* twoDee = m_manager->GetTwoDee()) {
        twoDee->FollowUV(width, height, m_background);
        twoDee->DrawTextureWithScale(m_background, x, y, width, height, 1.0f);
        twoDee->ResetUVs();
        vgui::DrawFrameStrips(twoDee, m_border, x, y, width, height);
        twoDee->FollowUV(width, m_barHeight, m_background);
        twoDee->DrawTextureWithScale(m_background, x, y, width, m_barHeight, 1.0f);
        twoDee->ResetUVs();
        vgui::DrawFrameStrips(twoDee, m_border, x, y, width, m_barHeight);
    }
    if (m_barText) m_manager->DrawGWText(m_textFormat, m_textColor, &m_barRect, m_barText);
}

void vGUIWindow::Setup()
{
    FollowParent();
    SetRect(&m_windowRect, m_posX, m_posY, m_posX + m_width, m_posY + m_height);
    SetRect(&m_barRect, m_posX, m_posY, m_posX + m_width, m_posY + m_barHeight);
}

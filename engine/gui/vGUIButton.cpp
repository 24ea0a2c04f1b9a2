#include "vGUIButton.h"

#include "vGUIManager.h"
#include "vTwoDee.h"

namespace {

const int kStateDown = BUTTONSTATE_DOWN;
const int kStateUp = BUTTONSTATE_UP;
const int kStateThird = BUTTONSTATE_THIRD;

}  // namespace

// kept: a new button starts down (state 1) and shows its down texture until the
// first message outside it; programs' button art and first frames rely on it.
vGUIButton::vGUIButton()
    : m_upTexture(nullptr), m_downTexture(nullptr), m_thirdTexture(nullptr), m_label(nullptr),
      m_labelColor(0.0f, 0.0f, 0.0f, 1.0f), m_rect{0, 0, 0, 0}, m_state(kStateDown),
      m_textFormat(DT_CENTER | DT_VCENTER), m_toggle(false)
{
}

vGUIButton::~vGUIButton() = default;

void vGUIButton::SetupButtonTextures(vTexture* up, vTexture* down, vTexture* third)
{
    m_upTexture = up;
    m_downTexture = down;
    m_thirdTexture = third;
}

void vGUIButton::SetToToggleButton(bool toggle)
{
    m_toggle = toggle;
}

void vGUIButton::SetLabel(char* label)
{
    m_label = label;
}

void vGUIButton::SetLabelColor(D3DXCOLOR colour)
{
    m_labelColor = colour;
}

int vGUIButton::GetButtonState()
{
    return m_state;
}

bool vGUIButton::SetButtonState(int state)
{
    if (state != kStateDown && state != kStateUp && state != kStateThird) return false;
    m_state = state;
    return true;
}

bool vGUIButton::UpdateMsgProc(unsigned int message, unsigned int, long, POINT point)
{
    const bool inside = PtInRect(&m_rect, point) != FALSE;
    if (message == WM_LBUTTONDOWN && inside) {
        if (m_toggle) {
            if (m_state == kStateUp)
                m_state = kStateDown;
            else if (m_state == kStateDown)
                m_state = kStateUp;
            Report(GUIEVENT_CLICK);
        } else {
            m_state = kStateDown;
        }
        SetElementFocus(true, false);
    }
    // A plain button clicks on any release inside, even when the press was
    // elsewhere; the release does not touch focus.
    if (message == WM_LBUTTONUP && inside && !m_toggle) {
        m_state = kStateUp;
        Report(GUIEVENT_CLICK);
    }
    if (inside)
        SetElementHover(true);
    else if (!m_toggle)
        m_state = kStateUp;
    return false;
}

void vGUIButton::Render()
{
    if (!m_manager) return;
    vTexture* texture = nullptr;
    switch (m_state) {
        case kStateDown:
            texture = m_downTexture;
            break;
        case kStateUp:
            texture = m_upTexture;
            break;
        case kStateThird:
            texture = m_thirdTexture;
            break;
        default:
            break;
    }
    if (vTwoDee* twoDee = m_manager->GetTwoDee())
        twoDee->DrawTextureWithScale(texture, m_rect.left, m_rect.top, m_rect.right - m_rect.left,
                                     m_rect.bottom - m_rect.top, 1.0f);
    if (m_label) m_manager->DrawGWText(m_textFormat, m_labelColor, &m_rect, m_label);
}

void vGUIButton::Setup()
{
    FollowParent();
    SetRect(&m_rect, m_posX, m_posY, m_posX + m_width, m_posY + m_height);
}

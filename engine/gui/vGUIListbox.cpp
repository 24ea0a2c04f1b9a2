#include "vGUIListbox.h"

#include <algorithm>

#include "gui/detail/GuiFrame.h"
#include "vGUIManager.h"
#include "vTwoDee.h"

vGUIListbox::vGUIListbox()
    : m_background(nullptr), m_border(nullptr), m_scrollTexture(nullptr), m_textColor(0.0f, 0.0f, 0.0f, 1.0f),
      m_selectColorFocused(0.0f, 0.0f, 1.0f, 0.6f), m_selectColorUnfocused(0.3f, 0.3f, 1.0f, 0.6f), m_count(0),
      m_selectedIndex(-1), m_rowCount(0),
      m_topIndex(0), m_upRect{0, 0, 0, 0}, m_downRect{0, 0, 0, 0}, m_thumbRect{0, 0, 0, 0}, m_trackRect{0, 0, 0, 0},
      m_scrollSize(25), m_thumbTop(0), m_trackLength(0), m_dragOffset(0), m_thumbOffset(25),
      m_dragging(false), m_rect{0, 0, 0, 0}, m_textFormat(DT_VCENTER)
{
}

vGUIListbox::~vGUIListbox() = default;

void vGUIListbox::SetupListboxTextures(vTexture* background, vTexture* border, vTexture* scroll)
{
    m_background = background;
    m_border = border;
    m_scrollTexture = scroll;
}

void vGUIListbox::Add(const char* text)
{
    m_items.push_back(std::make_unique<Item>(Item{text ? text : "", RECT{0, 0, 0, 0}}));
    m_count = std::min(m_count + 1, kMaxCounted);
}

void vGUIListbox::Pop()
{
    if (m_items.empty()) return;
    m_items.pop_back();
    m_count = std::max(m_count - 1, 0);
}

void vGUIListbox::Remove(int index)
{
    if (index < 0 || index >= static_cast<int>(m_items.size())) return;
    m_items.erase(m_items.begin() + index);
    m_count = std::max(m_count - 1, 0);
}

void vGUIListbox::Clear()
{
    m_items.clear();
    m_count = 0;
    m_topIndex = 0;
    m_selectedIndex = -1;
}

void vGUIListbox::UpdateList()
{
    m_count = std::min(static_cast<int>(m_items.size()), kMaxCounted);
}

void vGUIListbox::InitScrollWidget(float f)
{
    m_thumbTop = static_cast<int>(m_trackLength * f) + m_scrollSize + m_posY;
    m_thumbOffset = m_thumbTop - m_posY;
}

int vGUIListbox::SelectedIndex()
{
    return m_selectedIndex;
}

int vGUIListbox::GetSelectedIndex()
{
    return m_selectedIndex;
}

char* vGUIListbox::GetSelectedIndexText()
{
    if (m_selectedIndex < 0 || m_selectedIndex >= static_cast<int>(m_items.size())) return nullptr;
    return &m_items[static_cast<size_t>(m_selectedIndex)]->text[0];
}

// The buttons place the thumb at trackLength x top / count below the up button.
void vGUIListbox::ThumbFollowsList()
{
    const float f = m_count > 0 ? static_cast<float>(m_topIndex) / static_cast<float>(m_count) : 0.0f;
    m_thumbTop = static_cast<int>(m_trackLength * f) + m_scrollSize + m_posY;
    m_thumbOffset = m_thumbTop - m_posY;
}

RECT vGUIListbox::RowRect(int row) const
{
    const int fh = m_manager ? m_manager->GetFontSize() : 0;
    RECT r;
    SetRect(&r, m_posX + 2, m_posY + row * fh + 2, m_posX + m_width - m_scrollSize - 2, m_posY + (row + 1) * fh + 2);
    return r;
}

int vGUIListbox::FirstShown() const
{
    return m_count < m_rowCount ? 0 : m_topIndex;
}

int vGUIListbox::ShownCount() const
{
    return m_count < m_rowCount ? m_count : m_rowCount;
}

void vGUIListbox::Setup()
{
    FollowParent();
    const int x = m_posX, y = m_posY, S = m_scrollSize;
    const int right = x + m_width, bottom = y + m_height;
    SetRect(&m_rect, x, y, right, bottom);

    if (m_thumbTop < y + S) m_thumbTop = y + S;
    if (m_thumbTop > bottom - 2 * S) m_thumbTop = bottom - 2 * S;
    m_trackLength = m_height - 2 * S;
    SetRect(&m_upRect, right - S, y, right, y + S);
    SetRect(&m_downRect, right - S, bottom - S, right, bottom);
    SetRect(&m_thumbRect, right - S, m_thumbTop, right, m_thumbTop + S);
    SetRect(&m_trackRect, right - S, y + 1, right, bottom - 1);
    // The thumb keeps its place in the box when the box moves, except while dragged.
    if (m_dragging)
        m_thumbOffset = m_thumbTop - y;
    else
        m_thumbTop = m_thumbOffset + y;

    const int fh = m_manager ? m_manager->GetFontSize() : 0;
    m_rowCount = fh > 0 ? m_height / fh : 0;
    if (m_selectedIndex >= m_count) m_selectedIndex = -1;

    for (const std::unique_ptr<Item>& item : m_items) SetRectEmpty(&item->row);
    if (m_count >= m_rowCount) {
        if (m_topIndex > m_count - m_rowCount) m_topIndex = m_count - m_rowCount;
        if (m_topIndex < 0) m_topIndex = 0;
    } else {
        m_topIndex = 0;
    }
    const int first = FirstShown();
    const int shown = std::min(ShownCount(), static_cast<int>(m_items.size()) - first);
    for (int r = 0; r < shown; ++r) m_items[static_cast<size_t>(first + r)]->row = RowRect(r);
}

bool vGUIListbox::UpdateMsgProc(unsigned int message, unsigned int wParam, long, POINT point)
{
    const int y = m_posY, S = m_scrollSize;
    if (message == WM_LBUTTONUP) m_dragging = false;

    if (message == WM_LBUTTONDOWN && PtInRect(&m_rect, point)) {
        bool hit = false;
        const int counted = std::min(m_count, static_cast<int>(m_items.size()));
        for (int i = 0; i < counted; ++i)
            if (PtInRect(&m_items[static_cast<size_t>(i)]->row, point)) {
                m_selectedIndex = i;
                hit = true;
            }
        if (PtInRect(&m_thumbRect, point)) {
            m_dragOffset = m_thumbRect.top - point.y;
            m_dragging = true;
            hit = true;
        }
        if (PtInRect(&m_upRect, point)) {
            m_topIndex = std::max(m_topIndex - 1, 0);
            ThumbFollowsList();
            hit = true;
        }
        if (PtInRect(&m_downRect, point)) {
            m_topIndex = std::max(std::min(m_topIndex + 1, m_count - m_rowCount), 0);
            ThumbFollowsList();
            hit = true;
        }
        // A press on the track or on empty rows drops the selection.
        if (!hit) m_selectedIndex = -1;
        SetElementFocus(true, false);
        Report(GUIEVENT_CLICK);
    }

    // The wheel over the box scrolls a row per notch, the thumb following as for the buttons.
    if (message == WM_MOUSEWHEEL && !m_dragging && PtInRect(&m_rect, point)) {
        const int notches = static_cast<short>(HIWORD(wParam)) / WHEEL_DELTA;
        if (notches != 0) {
            m_topIndex = std::max(std::min(m_topIndex - notches, m_count - m_rowCount), 0);
            ThumbFollowsList();
        }
    }

    // A drag maps the thumb's travel of trackLength - S pixels onto the items;
    // it already runs in the message of the press on the thumb.
    if (m_dragging) {
        SetElementHover(true);
        m_thumbTop = point.y + m_dragOffset;
        if (m_thumbTop < y + S) m_thumbTop = y + S;
        if (m_thumbTop > y + m_height - 2 * S) m_thumbTop = y + m_height - 2 * S;
        const int travel = m_trackLength - S;
        const float f = travel > 0 ? static_cast<float>(m_thumbTop - y - S) / static_cast<float>(travel) : 0.0f;
        m_topIndex = static_cast<int>(m_count * f);
        if (m_topIndex > m_count - m_rowCount) m_topIndex = m_count - m_rowCount;
        if (m_topIndex < 0) m_topIndex = 0;
    }

    if (PtInRect(&m_rect, point)) SetElementHover(true);
    return false;
}

void vGUIListbox::Render()
{
    if (!m_manager) return;
    vTwoDee* twoDee = m_manager->GetTwoDee();
    if (twoDee) {
        twoDee->DrawTextureWithScale(m_background, m_posX, m_posY, m_width, m_height, 1.0f);
        vgui::DrawFrameStrips(twoDee, m_border, m_posX, m_posY, m_width, m_height);
    }

    // Rows are placed from the first item on show, so items removed since the
    // last Setup never leave a row drawn at a stale place.
    const int first = FirstShown();
    const int shown = std::min(ShownCount(), static_cast<int>(m_items.size()) - first);
    if (twoDee && m_selectedIndex >= 0 && m_selectedIndex >= m_topIndex &&
        m_selectedIndex <= m_topIndex + m_rowCount - 1 && m_selectedIndex - first < shown) {
        const D3DXCOLOR tint = m_focus ? m_selectColorFocused : m_selectColorUnfocused;
        const RECT row = RowRect(m_selectedIndex - first);
        twoDee->SetVertexAlpha(true);
        twoDee->SetColors(tint, tint, tint, tint);
        twoDee->DrawTextureWithScale(m_background, row.left, row.top, row.right - row.left, row.bottom - row.top, 1.0f);
        twoDee->ResetColors();
        twoDee->SetVertexAlpha(false);
    }
    for (int r = 0; r < shown; ++r) {
        RECT row = RowRect(r);
        m_manager->DrawGWText(m_textFormat, m_textColor, &row, &m_items[static_cast<size_t>(first + r)]->text[0]);
    }

    if (!twoDee) return;
    // The atlas quarters; corners bottom-left, top-left, bottom-right, top-right.
    struct Part {
        const RECT* rect;
        float u0, v0;  // the quarter's top-left corner
    };
    const Part parts[] = {
        {&m_trackRect, 0.5f, 0.0f},  // top right
        {&m_downRect, 0.0f, 0.5f},   // bottom left
        {&m_upRect, 0.0f, 0.0f},     // top left
        {&m_thumbRect, 0.5f, 0.5f},  // bottom right
    };
    for (const Part& part : parts) {
        twoDee->SetUV(D3DXVECTOR2(part.u0, part.v0 + 0.5f), D3DXVECTOR2(part.u0, part.v0),
                      D3DXVECTOR2(part.u0 + 0.5f, part.v0 + 0.5f), D3DXVECTOR2(part.u0 + 0.5f, part.v0));
        const RECT& r = *part.rect;
        twoDee->DrawTextureWithScale(m_scrollTexture, r.left, r.top, r.right - r.left, r.bottom - r.top, 1.0f);
    }
    twoDee->ResetUVs();
}

#include "vGUITextbox.h"

#include <cmath>

#include "gui/detail/GuiFrame.h"
#include "vGUIManager.h"
#include "vMathUtils.h"
#include "vSimpleFont.h"
#include "vTwoDee.h"

namespace {

constexpr unsigned long kLeftFormat = DT_VCENTER | DT_SINGLELINE;              // 36
constexpr unsigned long kRightFormat = DT_RIGHT | DT_VCENTER | DT_SINGLELINE;  // 38
// The blink's half cycle. kept: one float step below the float nearest pi (bits 0x40490FDA).
constexpr float kBlinkLimit = 3.1415925f;
constexpr float kBlinkSpeed = 8.0f;

}  // namespace

vGUITextbox::vGUITextbox()
    : m_background(nullptr), m_border(nullptr), m_text(new unsigned short[kCapacity]),
      m_textColor(0.0f, 0.0f, 0.0f, 1.0f), m_length(0), m_caretX(0), m_blinkPhase(0.0f),
      m_caretColor(0.0f, 0.0f, 0.0f, 1.0f), m_textWidth(0), m_textRect{0, 0, 0, 0}, m_textFormat(kLeftFormat)
{
    m_text[0] = 0;
}

vGUITextbox::~vGUITextbox()
{
    delete[] m_text;
}

void vGUITextbox::SetupTextboxTextures(vTexture* background, vTexture* border)
{
    m_background = background;
    m_border = border;
}

int vGUITextbox::CharWidth(unsigned short character)
{
    return m_manager ? m_manager->GetFont()->GetFontCharWidth(character) : 0;
}

void vGUITextbox::InsertChar(unsigned short character)
{
    // The last unit is kept for the terminating zero.
    if (m_length >= kCapacity - 1) return;
    m_text[m_length] = character;
    m_text[m_length + 1] = 0;
    ++m_length;
    Measure();
}

void vGUITextbox::RemoveChar()
{
    if (m_length <= 0) return;
    m_text[m_length - 1] = 0;
    --m_length;
    Measure();
}

void vGUITextbox::ClearText()
{
    m_length = 0;
    m_text[0] = 0;
    Measure();
    m_textFormat = kLeftFormat;
    m_textColor = D3DXCOLOR(0.0f, 0.0f, 0.0f, 1.0f);
}

// The one place the text is measured: the alignment, the caret and
// GetTextWidth all use this width, taken in the manager's font as it is now
// (text typed before the font existed, or under another one, is measured again).
void vGUITextbox::Measure()
{
    int x = 0;
    for (int i = 0; i < m_length; ++i) x += CharWidth(m_text[i]);
    m_textWidth = x;
    m_caretX = x;
}

void vGUITextbox::CalculateWidgetX()
{
    Measure();
}

char* vGUITextbox::GetText()
{
    return wstring2string(m_text);
}

int vGUITextbox::GetTextWidth()
{
    Measure();
    return m_textWidth;
}

bool vGUITextbox::UpdateMsgProc(unsigned int message, unsigned int wParam, long, POINT point)
{
    if (message == WM_CHAR) {
        if (!m_focus) return true;
        const unsigned int code = wParam & 0xFFFF;
        if (code == 8)
            RemoveChar();
        else if ((code >= 1 && code <= 29) || code == 167)
            ;  // control characters and the section sign are not typed
        else
            InsertChar(static_cast<unsigned short>(code));
        return true;
    }
    const bool inside = PtInRect(&m_textRect, point) != FALSE;
    if (message == WM_LBUTTONUP && inside) {
        SetElementFocus(true, false);
        Report(GUIEVENT_CLICK);
    }
    if (inside) {
        SetElementHover(true);
        Report(GUIEVENT_HOVER);
    }
    return false;
}

void vGUITextbox::Render()
{
    if (!m_manager) return;
    const int x = m_posX, y = m_posY, width = m_width, height = m_height;
    if (vTwoDee* twoDee = m_manager->GetTwoDee()) {
        twoDee->DrawTextureWithScale(m_background, x, y, width, height, 1.0f);
        vgui::DrawFrameStrips(twoDee, m_border, x, y, width, height);
    }
    // Measured once, before the alignment and the caret both use the width.
    CalculateWidgetX();
    // Once the text fills the box its end stays at the right edge and its
    // beginning is clipped by the text drawing: the box's scrolling.
    m_textFormat = m_textWidth >= width - 1 ? kRightFormat : kLeftFormat;
    m_manager->DrawGWWideText(m_textFormat, m_textColor, &m_textRect, m_text);

    RECT caret;
    if (m_caretX < width - 3)
        SetRect(&caret, x + m_caretX + 2, y, x + m_textWidth + 5, y + height);
    else
        SetRect(&caret, x + width - 5, y, x + width, y + height);

    m_blinkPhase += kBlinkSpeed * m_manager->GetTime();
    if (m_blinkPhase > kBlinkLimit) m_blinkPhase = 0.0f;
    if (m_blinkPhase < 0.0f) m_blinkPhase = kBlinkLimit;
    // Alphas above 1 saturate when drawn: opaque most of the cycle, fading near its ends.
    m_caretColor = m_textColor;
    m_caretColor.a = std::sin(m_blinkPhase) * kBlinkLimit;
    if (m_focus) {
        char bar[] = "|";
        m_manager->DrawGWText(kLeftFormat, m_caretColor, &caret, bar);
    }
}

void vGUITextbox::Setup()
{
    FollowParent();
    SetRect(&m_textRect, m_posX, m_posY, m_posX + m_width, m_posY + m_height);
}

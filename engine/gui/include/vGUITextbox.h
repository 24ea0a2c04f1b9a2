// One-line text entry field: collects the characters typed while it has
// focus, draws them in the manager's font over a framed background, keeps
// the end of long text at the right edge, and shows a blinking caret after
// the last character. Created by vGUIManager::AddTextbox; reports
// GUIEVENT_CLICK on a release inside and GUIEVENT_HOVER for every other
// message that arrives while the point lies inside.
#pragma once

#include <windows.h>
#include <d3dx9math.h>

#include "vGUIElement.h"

class vTexture;

class vGUITextbox : public vGUIElement {
public:
    static constexpr int kCapacity = 128;  // 16-bit units, the terminating zero included

    // Element defaults, empty text, left-aligned, black text.
    vGUITextbox();
    ~vGUITextbox() override;  // releases the text buffer

    // The buffer is the box's own; copies would share it.
    vGUITextbox(const vGUITextbox&) = delete;
    vGUITextbox& operator=(const vGUITextbox&) = delete;

    // WM_CHAR returns true; with focus it appends the character (low 16 bits
    // of wParam) or, for backspace, removes the last one. Control characters
    // 1 to 29 (but 8) and 167 are ignored. A release inside takes focus and clicks.
    bool UpdateMsgProc(unsigned int message, unsigned int wParam, long lParam, POINT point) override;
    // Background and frame, the text, and the caret while the box has focus.
    void Render() override;
    // Follows the parent, then lays out the text area from position and size.
    void Setup() override;

    // Background and border textures; borrowed, not released.
    void SetupTextboxTextures(vTexture* background, vTexture* border);
    // Appends one 16-bit character. A full box (127 characters) ignores it.
    void InsertChar(unsigned short character);
    // Removes the last character; nothing when the text is empty.
    void RemoveChar();
    // Empties the text and resets the alignment and the text colour to black.
    void ClearText();
    // Measures the text in the manager's current font: the caret offset and
    // the text width both become the summed widths of the characters.
    void CalculateWidgetX();
    // A new 8-bit copy of the text, '?' for characters above 255. The caller
    // releases it with delete[].
    char* GetText();
    int GetTextWidth();  // pixel width of the text in the manager's current font (0 without a font)

private:
    int CharWidth(unsigned short character);
    void Measure();  // sets m_textWidth and m_caretX from the characters' widths

    vTexture* m_background;
    vTexture* m_border;
    unsigned short* m_text;  // kCapacity units, always zero-terminated
    D3DXCOLOR m_textColor;
    int m_length;
    int m_caretX;
    float m_blinkPhase;
    D3DXCOLOR m_caretColor;
    int m_textWidth;
    RECT m_textRect;
    unsigned long m_textFormat;
};

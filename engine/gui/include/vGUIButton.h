// Textured push button with a text label, optionally a toggle. Created by
// vGUIManager::AddButton; reports GUIEVENT_CLICK. Its look is one of three
// textures chosen by its state: 1 down, 2 up, 3 third look.
#pragma once

#include <windows.h>
#include <d3dx9math.h>

#include "vGUIElement.h"

class vTexture;

// The looks of a button, as GetButtonState answers and SetButtonState takes them.
// A toggle shows "on" down.
enum e_vButtonState {
    BUTTONSTATE_DOWN = 1,   // pressed; the down texture
    BUTTONSTATE_UP = 2,     // released; the up texture
    BUTTONSTATE_THIRD = 3,  // the third look
};

class vGUIButton : public vGUIElement {
public:
    // Element defaults, state 1 (down), no textures, no label, black label,
    // centred label (DT_CENTER | DT_VCENTER), not a toggle.
    vGUIButton();
    ~vGUIButton() override;

    // Plain button: a press inside puts it down and takes focus; a release
    // inside puts it up and clicks; any message outside puts it up.
    // Toggle button: a press inside flips down/up, clicks and takes focus.
    bool UpdateMsgProc(unsigned int message, unsigned int wParam, long lParam, POINT point) override;
    // The state's texture over the button's area, then the label in it.
    void Render() override;
    // Follows the parent, then lays out the area from position and size.
    void Setup() override;

    // Textures for up (state 2), down (state 1) and the third look; borrowed, not released.
    void SetupButtonTextures(vTexture* up, vTexture* down, vTexture* third);
    void SetToToggleButton(bool toggle);  // a toggle flips down and up at each press
    // The label is referenced, not copied: it must live as long as the button shows it. Null: no label.
    void SetLabel(char* label);
    // The same for a constant label, only read (referenced as above). A template only
    // so that a null pointer constant still picks the char* call unambiguously.
    template <typename = void>
    void SetLabel(const char* label)
    {
        SetLabel(const_cast<char*>(label));
    }
    void SetLabelColor(D3DXCOLOR colour);  // colour of the label text
    int GetButtonState();                  // 1 down, 2 up, 3 third look (e_vButtonState)
    // Puts the button in a state chosen by the program, as a settings window
    // showing a stored option does: the look changes at the next Render and
    // GetButtonState answers it at once. No GUIEVENT_CLICK is reported and focus
    // and hover are left alone, since the user did not click. A plain button
    // still goes up at the next message outside it. False, and nothing changes,
    // for a value that is not an e_vButtonState.
    bool SetButtonState(int state);

private:
    vTexture* m_upTexture;
    vTexture* m_downTexture;
    vTexture* m_thirdTexture;
    char* m_label;
    D3DXCOLOR m_labelColor;
    RECT m_rect;
    int m_state;
    unsigned long m_textFormat;
    bool m_toggle;
};

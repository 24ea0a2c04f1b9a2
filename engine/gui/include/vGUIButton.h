// Textured push button with a text label, optionally a toggle. Created by
// vGUIManager::AddButton; reports GUIEVENT_CLICK. Its look is one of three
// textures chosen by its state: 1 down, 2 up, 3 third look.
#pragma once

#include <windows.h>
#include <d3dx9math.h>

#include "vGUIElement.h"

class vTexture;

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
    void SetToToggleButton(bool toggle);
    // The label is referenced, not copied: it must live as long as the button shows it. Null: no label.
    void SetLabel(char* label);
    void SetLabelColor(D3DXCOLOR colour);
    int GetButtonState();  // 1 down, 2 up, 3 third look

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

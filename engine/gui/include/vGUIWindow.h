// Framed panel with a title bar, moved by dragging the bar. Other widgets
// become its contents by naming it as their parent (SetParent); they follow
// it at the next Render and take over its enabled and visible flags.
// Created by vGUIManager::AddWindow; reports GUIEVENT_CLICK for a press inside
// and GUIEVENT_POSITION for every message while it is dragged.
#pragma once

#include <windows.h>
#include <d3dx9math.h>

#include "vGUIElement.h"

class vTexture;

class vGUIWindow : public vGUIElement {
public:
    // Element defaults, a 25-pixel bar, no bar text, black text centred vertically.
    vGUIWindow();
    ~vGUIWindow() override;

    // A press inside takes focus and clicks; a press on the bar also starts a
    // drag, which carries the window with the point until the next release anywhere.
    bool UpdateMsgProc(unsigned int message, unsigned int wParam, long lParam, POINT point) override;
    // Tiled background and frame, then the bar (tiled, framed) with its text.
    void Render() override;
    // Follows the parent, then lays out the window and bar rectangles.
    void Setup() override;

    // Background (tiled at its own size) and border textures; borrowed, not released.
    void SetupWindowTextures(vTexture* background, vTexture* border);
    // Drawn at the new height at once; the bar's hit area follows at the next Setup.
    void SetWindowBarHeight(int height);
    // Referenced, not copied: it must live as long as the window shows it. Null: no text.
    void SetWindowBarText(char* text);
    // The same for constant text, only read (referenced as above). A template only so
    // that a null pointer constant still picks the char* call unambiguously.
    template <typename = void>
    void SetWindowBarText(const char* text)
    {
        SetWindowBarText(const_cast<char*>(text));
    }

private:
    vTexture* m_background;
    vTexture* m_border;
    D3DXCOLOR m_textColor;
    char* m_barText;
    unsigned long m_textFormat;
    int m_barHeight;
    RECT m_barRect;
    int m_dragOffsetX;
    int m_dragOffsetY;
    bool m_dragging;
    RECT m_windowRect;
};

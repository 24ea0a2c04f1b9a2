// Retained-mode GUI manager: owns its widgets, routes every window message to
// them in the order they were added, draws them through the application's
// vTwoDee and its own font, and reports their events to one callback.
#pragma once

#include <windows.h>
#include <d3dx9core.h>
#include <d3dx9math.h>

#include <vector>

#include "vGUIElement.h"
#include "vSimpleFont.h"

class vTwoDee;
class vTexture;
class vGUIButton;
class vGUITextbox;
class vGUIListbox;
class vGUIWindow;

// The application's event function: (event code, control ID, widget).
typedef void (*vGUICallback)(int eventCode, unsigned int controlID, vGUIElement* element);

class vGUIManager {
public:
    // Empty list, no callback, no 2D drawer, font size 0, both flags false.
    vGUIManager();
    // Destroys every widget the manager holds.
    ~vGUIManager();

    vGUIManager(const vGUIManager&) = delete;
    vGUIManager& operator=(const vGUIManager&) = delete;

    // Creates the font (weight 900, automatic width, not italic) and stores the
    // size, which is also the list-box row height. Font failures are reported by the font.
    void Init(const char* fontFace, int size);
    // Routes one message: stores time, clears the hover flag, then hands the
    // message to every enabled, visible widget in list order.
    void Update(unsigned int message, unsigned int wParam, long lParam, POINT point, float time);
    // Draws every visible widget in list order, running Setup of each enabled one after it.
    void Render();

    void SetCallback(vGUICallback callback) { m_callback = callback; }  // null: events are dropped
    // Calls the callback with exactly these values; dropped when none is installed.
    void DoCallback(unsigned int code, unsigned int controlID, vGUIElement* element);

    void SetTwoDee(vTwoDee* twoDee) { m_twoDee = twoDee; }  // not owned
    vTwoDee* GetTwoDee() { return m_twoDee; }               // the drawer the widgets use; null before SetTwoDee
    vSimpleFont* GetFont() { return &m_font; }              // the manager's font (empty before Init)
    int GetFontSize() { return m_fontSize; }                // the size given to Init
    float GetTime() { return m_time; }                      // last time step given to Update

    void SetManagerFocus(bool focus) { m_managerFocus = focus; }  // a widget has taken focus
    bool GetManagerFocus() { return m_managerFocus; }             // set when a widget takes focus
    void SetManagerHover(bool hover) { m_managerHover = hover; }  // the point lies over a widget
    bool GetManagerHover() { return m_managerHover; }             // the last routed message's point lay over a widget

    // Clears every widget's focus; the manager's focus flag is left as it is.
    void RemoveElementFocus();

    // Draws text with the manager's font: DT_ flags in format, the rectangle, the colour
    // converted to ARGB. Does nothing before Init or for a null text.
    void DrawGWText(unsigned long format, D3DXCOLOR colour, RECT* rect, char* text);
    // DrawGWText for constant text (the text is only read). Each const char* call
    // below is a template only so that a null pointer constant still picks the
    // char* call unambiguously; a string literal picks the const char* one.
    template <typename = void>
    void DrawGWText(unsigned long format, D3DXCOLOR colour, RECT* rect, const char* text)
    {
        DrawGWText(format, colour, rect, const_cast<char*>(text));
    }
    void DrawGWWideText(unsigned long format, D3DXCOLOR colour, RECT* rect,
                        unsigned short* text);  // DrawGWText for 16-bit units

    // Widget factories: each reports the new widget's position and size (control ID
    // still -1), stores its textures, label or text and ID, lays it out and appends
    // it. The manager owns the result; null when it cannot be allocated. Textures and
    // strings are referenced, except AddTextbox's text, which is typed into the box
    // (at most 127 characters; null leaves it empty).
    vGUIButton* AddButton(int controlID, char* label, POINT position, int width, int height, vTexture* upTexture,
                          vTexture* downTexture, vTexture* thirdTexture);
    // A text box; its first text is typed into it.
    vGUITextbox* AddTextbox(int controlID, char* text, POINT position, int width, int height, vTexture* background,
                            vTexture* border);
    // An empty list box with its scroll widget.
    vGUIListbox* AddListbox(int controlID, POINT position, int width, int height, vTexture* background,
                            vTexture* border, vTexture* scrollTexture);
    // A window with its bar text.
    vGUIWindow* AddWindow(int controlID, char* barText, POINT position, int width, int height, vTexture* background,
                          vTexture* border);
    // The factories for constant labels and texts: the widgets only read them
    // (referenced as above, so a literal or a string that outlives the widget).
    template <typename = void>
    vGUIButton* AddButton(int controlID, const char* label, POINT position, int width, int height, vTexture* upTexture,
                          vTexture* downTexture, vTexture* thirdTexture)
    {
        return AddButton(controlID, const_cast<char*>(label), position, width, height, upTexture, downTexture,
                         thirdTexture);
    }
    // AddTextbox for a constant first text (copied into the box).
    template <typename = void>
    vGUITextbox* AddTextbox(int controlID, const char* text, POINT position, int width, int height,
                            vTexture* background, vTexture* border)
    {
        return AddTextbox(controlID, const_cast<char*>(text), position, width, height, background, border);
    }
    // AddWindow for a constant bar text (referenced).
    template <typename = void>
    vGUIWindow* AddWindow(int controlID, const char* barText, POINT position, int width, int height,
                          vTexture* background, vTexture* border)
    {
        return AddWindow(controlID, const_cast<char*>(barText), position, width, height, background, border);
    }

    // The shared steps of every Add operation, for the factories above.
    // PlaceNewElement: manager, position (GUIEVENT_POSITION) and size (GUIEVENT_SIZE).
    void PlaceNewElement(vGUIElement* element, POINT position, int width, int height);
    // AppendElement: takes ownership and adds the widget at the end of the list; null is ignored.
    void AppendElement(vGUIElement* element);

    int GetElementCount() { return static_cast<int>(m_elements.size()); }  // widgets held
    vGUIElement* GetElement(int index);                                    // null outside 0 ... count - 1

    // Converts a colour as D3DX does: >= 1 gives 255, <= 0 gives 0, else c * 255 + 0.5 truncated.
    static DWORD ColourToARGB(const D3DXCOLOR& colour);

private:
    vTwoDee* m_twoDee;
    vSimpleFont m_font;
    bool m_managerFocus;
    bool m_managerHover;
    vGUICallback m_callback;
    std::vector<vGUIElement*> m_elements;
    float m_time;
    int m_fontSize;
};

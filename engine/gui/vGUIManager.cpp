#include "vGUIManager.h"

#include <new>
#include <string>

#include "vGUIButton.h"
#include "vGUIListbox.h"
#include "vGUITextbox.h"
#include "vGUIWindow.h"

vGUIManager::vGUIManager()
    : m_twoDee(nullptr), m_managerFocus(false), m_managerHover(false), m_callback(nullptr), m_time(0.0f), m_fontSize(0)
{
}

vGUIManager::~vGUIManager()
{
    for (vGUIElement* element : m_elements) delete element;
    m_elements.clear();
}

void vGUIManager::Init(const char* fontFace, int size)
{
    m_font.InitFont(size, fontFace, 0, 900, false);
    m_fontSize = size;
}

void vGUIManager::Update(unsigned int message, unsigned int wParam, long lParam, POINT point, float time)
{
    m_time = time;
    m_managerHover = false;
    // Index loop: a widget's reaction may add widgets through the callback.
    for (size_t i = 0; i < m_elements.size(); ++i) {
        vGUIElement* element = m_elements[i];
        if (element->GetEnabled() && element->GetVisible()) element->UpdateMsgProc(message, wParam, lParam, point);
    }
}

void vGUIManager::Render()
{
    for (size_t i = 0; i < m_elements.size(); ++i) {
        vGUIElement* element = m_elements[i];
        if (element->GetVisible()) element->Render();
        if (element->GetEnabled()) element->Setup();
    }
}

void vGUIManager::DoCallback(unsigned int code, unsigned int controlID, vGUIElement* element)
{
    if (m_callback) m_callback(static_cast<int>(code), controlID, element);
}

void vGUIManager::RemoveElementFocus()
{
    for (vGUIElement* element : m_elements) element->SetElementFocus(false, true);
}

DWORD vGUIManager::ColourToARGB(const D3DXCOLOR& colour)
{
    return static_cast<DWORD>(colour);
}

void vGUIManager::DrawGWText(unsigned long format, D3DXCOLOR colour, RECT* rect, char* text)
{
    ID3DXFont* font = m_font.GetFont();
    if (!font || !text) return;
    font->DrawTextA(nullptr, text, -1, rect, static_cast<DWORD>(format), ColourToARGB(colour));
}

void vGUIManager::DrawGWWideText(unsigned long format, D3DXCOLOR colour, RECT* rect, unsigned short* text)
{
    ID3DXFont* font = m_font.GetFont();
    if (!font || !text) return;
    // The widgets hold 16-bit units; the font takes the platform's wide characters.
    std::wstring wide;
    for (const unsigned short* p = text; *p; ++p) {
        unsigned int unit = *p;
        if (unit >= 0xD800 && unit < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (p[1] - 0xDC00u);
            ++p;
        }
        wide.push_back(static_cast<wchar_t>(unit));
    }
    font->DrawTextW(nullptr, wide.c_str(), -1, rect, static_cast<DWORD>(format), ColourToARGB(colour));
}

void vGUIManager::PlaceNewElement(vGUIElement* element, POINT position, int width, int height)
{
    if (!element) return;
    element->SetManager(this);
    element->SetPosition(position.x, position.y);
    element->SetSize(width, height);
}

void vGUIManager::AppendElement(vGUIElement* element)
{
    if (element) m_elements.push_back(element);
}

vGUIElement* vGUIManager::GetElement(int index)
{
    if (index < 0 || index >= static_cast<int>(m_elements.size())) return nullptr;
    return m_elements[static_cast<size_t>(index)];
}

// The Add operations: create with defaults, then manager, position and size
// (their events still carry control ID -1), textures and the rest, the control
// ID, a first Setup, and the widget joins the end of the list. An allocation
// failure returns null and adds nothing.
vGUIButton* vGUIManager::AddButton(int controlID, char* label, POINT position, int width, int height,
                                   vTexture* upTexture, vTexture* downTexture, vTexture* thirdTexture)
{
    vGUIButton* button = new (std::nothrow) vGUIButton;
    if (!button) return nullptr;
    PlaceNewElement(button, position, width, height);
    button->SetupButtonTextures(upTexture, downTexture, thirdTexture);
    button->SetLabel(label);
    button->SetControlID(controlID);
    button->Setup();
    AppendElement(button);
    return button;
}

// The text, when given, is put into the new box as by typing (one 8-bit
// character per unit, at most 127), after the textures and before the ID.
vGUITextbox* vGUIManager::AddTextbox(int controlID, char* text, POINT position, int width, int height,
                                     vTexture* background, vTexture* border)
{
    vGUITextbox* textbox = new (std::nothrow) vGUITextbox;
    if (!textbox) return nullptr;
    PlaceNewElement(textbox, position, width, height);
    textbox->SetupTextboxTextures(background, border);
    if (text)
        for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) textbox->InsertChar(*p);
    textbox->SetControlID(controlID);
    textbox->Setup();
    AppendElement(textbox);
    return textbox;
}

vGUIListbox* vGUIManager::AddListbox(int controlID, POINT position, int width, int height, vTexture* background,
                                     vTexture* border, vTexture* scrollTexture)
{
    vGUIListbox* listbox = new (std::nothrow) vGUIListbox;
    if (!listbox) return nullptr;
    PlaceNewElement(listbox, position, width, height);
    listbox->SetupListboxTextures(background, border, scrollTexture);
    listbox->SetControlID(controlID);
    listbox->Setup();
    listbox->InitScrollWidget(0.0f);
    AppendElement(listbox);
    return listbox;
}

vGUIWindow* vGUIManager::AddWindow(int controlID, char* barText, POINT position, int width, int height,
                                   vTexture* background, vTexture* border)
{
    vGUIWindow* window = new (std::nothrow) vGUIWindow;
    if (!window) return nullptr;
    PlaceNewElement(window, position, width, height);
    window->SetupWindowTextures(background, border);
    window->SetWindowBarText(barText);
    window->SetControlID(controlID);
    window->Setup();
    AppendElement(window);
    return window;
}

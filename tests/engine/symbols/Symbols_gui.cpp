// The GUI manager, the element base and the widgets.
#include "SymbolTable.h"

#include "vGUIButton.h"
#include "vGUIElement.h"
#include "vGUIListbox.h"
#include "vGUITextbox.h"
#include "vGUIWindow.h"
#include "vGUIManager.h"

VORPEX_SYMBOLS{
    VORPEX_SYMBOL(&vGUIManager::Init),
    VORPEX_SYMBOL(&vGUIManager::Update),
    VORPEX_SYMBOL(&vGUIManager::Render),
    VORPEX_SYMBOL(&vGUIManager::DoCallback),
    VORPEX_SYMBOL(&vGUIManager::RemoveElementFocus),
    VORPEX_SYMBOL(static_cast<void (vGUIManager::*)(unsigned long, D3DXCOLOR, RECT*, char*)>(&vGUIManager::DrawGWText)),
    VORPEX_SYMBOL(
        static_cast<void (vGUIManager::*)(unsigned long, D3DXCOLOR, RECT*, const char*)>(&vGUIManager::DrawGWText)),
    VORPEX_SYMBOL(&vGUIManager::DrawGWWideText),
    VORPEX_SYMBOL(&vGUIManager::PlaceNewElement),
    VORPEX_SYMBOL(&vGUIManager::AppendElement),
    VORPEX_SYMBOL(&vGUIManager::GetElement),
    VORPEX_SYMBOL(&vGUIManager::ColourToARGB),
    VORPEX_SYMBOL(
        static_cast<vGUIButton* (vGUIManager::*)(int, char*, POINT, int, int, vTexture*, vTexture*, vTexture*)>(
            &vGUIManager::AddButton)),
    VORPEX_SYMBOL(
        static_cast<vGUIButton* (vGUIManager::*)(int, const char*, POINT, int, int, vTexture*, vTexture*, vTexture*)>(
            &vGUIManager::AddButton)),
    VORPEX_SYMBOL(static_cast<vGUITextbox* (vGUIManager::*)(int, char*, POINT, int, int, vTexture*, vTexture*)>(
        &vGUIManager::AddTextbox)),
    VORPEX_SYMBOL(static_cast<vGUITextbox* (vGUIManager::*)(int, const char*, POINT, int, int, vTexture*, vTexture*)>(
        &vGUIManager::AddTextbox)),
    VORPEX_SYMBOL(&vGUIManager::AddListbox),
    VORPEX_SYMBOL(static_cast<vGUIWindow* (vGUIManager::*)(int, char*, POINT, int, int, vTexture*, vTexture*)>(
        &vGUIManager::AddWindow)),
    VORPEX_SYMBOL(static_cast<vGUIWindow* (vGUIManager::*)(int, const char*, POINT, int, int, vTexture*, vTexture*)>(
        &vGUIManager::AddWindow)),

    VORPEX_SYMBOL(&vGUIElement::UpdateMsgProc),
    VORPEX_SYMBOL(&vGUIElement::Render),
    VORPEX_SYMBOL(&vGUIElement::Setup),
    VORPEX_SYMBOL(&vGUIElement::SetPosition),
    VORPEX_SYMBOL(&vGUIElement::SetSize),
    VORPEX_SYMBOL(&vGUIElement::SetParent),
    VORPEX_SYMBOL(&vGUIElement::UpdateToParent),
    VORPEX_SYMBOL(&vGUIElement::SetElementFocus),
    VORPEX_SYMBOL(&vGUIElement::SetElementHover),

    VORPEX_SYMBOL(&vGUIButton::UpdateMsgProc),
    VORPEX_SYMBOL(&vGUIButton::Render),
    VORPEX_SYMBOL(&vGUIButton::Setup),
    VORPEX_SYMBOL(&vGUIButton::SetupButtonTextures),
    VORPEX_SYMBOL(&vGUIButton::SetToToggleButton),
    VORPEX_SYMBOL(static_cast<void (vGUIButton::*)(char*)>(&vGUIButton::SetLabel)),
    VORPEX_SYMBOL(static_cast<void (vGUIButton::*)(const char*)>(&vGUIButton::SetLabel)),
    VORPEX_SYMBOL(&vGUIButton::SetLabelColor),
    VORPEX_SYMBOL(&vGUIButton::GetButtonState),
    VORPEX_SYMBOL(&vGUIButton::SetButtonState),

    VORPEX_SYMBOL(&vGUITextbox::UpdateMsgProc),
    VORPEX_SYMBOL(&vGUITextbox::Render),
    VORPEX_SYMBOL(&vGUITextbox::Setup),
    VORPEX_SYMBOL(&vGUITextbox::SetupTextboxTextures),
    VORPEX_SYMBOL(&vGUITextbox::InsertChar),
    VORPEX_SYMBOL(&vGUITextbox::RemoveChar),
    VORPEX_SYMBOL(&vGUITextbox::ClearText),
    VORPEX_SYMBOL(&vGUITextbox::CalculateWidgetX),
    VORPEX_SYMBOL(&vGUITextbox::GetText),
    VORPEX_SYMBOL(&vGUITextbox::GetTextWidth),

    VORPEX_SYMBOL(&vGUIListbox::UpdateMsgProc),
    VORPEX_SYMBOL(&vGUIListbox::Render),
    VORPEX_SYMBOL(&vGUIListbox::Setup),
    VORPEX_SYMBOL(&vGUIListbox::SetupListboxTextures),
    VORPEX_SYMBOL(&vGUIListbox::Add),
    VORPEX_SYMBOL(&vGUIListbox::Pop),
    VORPEX_SYMBOL(&vGUIListbox::Remove),
    VORPEX_SYMBOL(&vGUIListbox::Clear),
    VORPEX_SYMBOL(&vGUIListbox::UpdateList),
    VORPEX_SYMBOL(&vGUIListbox::InitScrollWidget),
    VORPEX_SYMBOL(&vGUIListbox::SelectedIndex),
    VORPEX_SYMBOL(&vGUIListbox::GetSelectedIndex),
    VORPEX_SYMBOL(&vGUIListbox::GetSelectedIndexText),

    VORPEX_SYMBOL(&vGUIWindow::UpdateMsgProc),
    VORPEX_SYMBOL(&vGUIWindow::Render),
    VORPEX_SYMBOL(&vGUIWindow::Setup),
    VORPEX_SYMBOL(&vGUIWindow::SetupWindowTextures),
    VORPEX_SYMBOL(&vGUIWindow::SetWindowBarHeight),
    VORPEX_SYMBOL(static_cast<void (vGUIWindow::*)(char*)>(&vGUIWindow::SetWindowBarText)),
    VORPEX_SYMBOL(static_cast<void (vGUIWindow::*)(const char*)>(&vGUIWindow::SetWindowBarText)),
};

// Constructors and destructors come from the library when the objects are made.
namespace {
struct ConstructedGui {
    ConstructedGui()
    {
        vGUIManager manager;
        vGUIElement* element = new vGUIElement;
        delete element;
        delete new vGUIButton;
        delete new vGUITextbox;
        delete new vGUIListbox;
        delete new vGUIWindow;
    }
} constructedGui;
}  // namespace

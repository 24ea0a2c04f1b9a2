// The GUI manager and the element base.
#include "SymbolTable.h"

#include "vGUIElement.h"
#include "vGUIManager.h"

VORPEX_SYMBOLS{
    VORPEX_SYMBOL(&vGUIManager::Init),
    VORPEX_SYMBOL(&vGUIManager::Update),
    VORPEX_SYMBOL(&vGUIManager::Render),
    VORPEX_SYMBOL(&vGUIManager::DoCallback),
    VORPEX_SYMBOL(&vGUIManager::RemoveElementFocus),
    VORPEX_SYMBOL(&vGUIManager::DrawGWText),
    VORPEX_SYMBOL(&vGUIManager::DrawGWWideText),
    VORPEX_SYMBOL(&vGUIManager::PlaceNewElement),
    VORPEX_SYMBOL(&vGUIManager::AppendElement),
    VORPEX_SYMBOL(&vGUIManager::GetElement),
    VORPEX_SYMBOL(&vGUIManager::ColourToARGB),

    VORPEX_SYMBOL(&vGUIElement::UpdateMsgProc),
    VORPEX_SYMBOL(&vGUIElement::Render),
    VORPEX_SYMBOL(&vGUIElement::Setup),
    VORPEX_SYMBOL(&vGUIElement::SetPosition),
    VORPEX_SYMBOL(&vGUIElement::SetSize),
    VORPEX_SYMBOL(&vGUIElement::SetParent),
    VORPEX_SYMBOL(&vGUIElement::UpdateToParent),
    VORPEX_SYMBOL(&vGUIElement::SetElementFocus),
    VORPEX_SYMBOL(&vGUIElement::SetElementHover),
};

// Constructors and destructors come from the library when the objects are made.
namespace {
struct ConstructedGui {
    ConstructedGui()
    {
        vGUIManager manager;
        vGUIElement* element = new vGUIElement;
        delete element;
    }
} constructedGui;
}  // namespace

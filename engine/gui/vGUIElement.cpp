#include "vGUIElement.h"

#include "vGUIManager.h"

vGUIElement::vGUIElement()
    : m_controlID(-1), m_posX(0), m_posY(0), m_width(0), m_height(0), m_enabled(true), m_visible(true), m_hover(false),
      m_focus(false), m_manager(nullptr), m_relX(0), m_relY(0), m_parent(nullptr)
{
}

vGUIElement::~vGUIElement() = default;

bool vGUIElement::UpdateMsgProc(unsigned int, unsigned int, long, POINT)
{
    return false;
}

void vGUIElement::Render() {}

void vGUIElement::Setup() {}

void vGUIElement::Report(unsigned int eventCode)
{
    if (m_manager) m_manager->DoCallback(eventCode, static_cast<unsigned int>(m_controlID), this);
}

void vGUIElement::SetPosition(int x, int y)
{
    m_posX = x;
    m_posY = y;
    Report(GUIEVENT_POSITION);
}

void vGUIElement::SetSize(int width, int height)
{
    m_width = width;
    m_height = height;
    Report(GUIEVENT_SIZE);
}

void vGUIElement::SetParent(vGUIElement* parent)
{
    if (!parent) return;
    m_parent = parent;
    UpdateToParent();
}

void vGUIElement::UpdateToParent()
{
    if (!m_parent) return;
    m_relX = m_posX - m_parent->m_posX;
    m_relY = m_posY - m_parent->m_posY;
}

void vGUIElement::SetElementFocus(bool focus, bool onlyThis)
{
    if (onlyThis || !m_manager) {
        m_focus = focus;
        return;
    }
    // The manager owns focus: it clears every element's, then this one takes it.
    m_manager->SetManagerFocus(focus);
    m_manager->RemoveElementFocus();
    m_focus = focus;
}

void vGUIElement::SetElementHover(bool hover)
{
    if (m_manager) m_manager->SetManagerHover(hover);
    m_hover = hover;
}

void vGUIElement::FollowParent()
{
    if (!m_parent) return;
    m_posY = m_parent->m_posY + m_relY;
    m_posX = m_parent->m_posX + m_relX;
    Report(GUIEVENT_POSITION);
    m_enabled = m_parent->m_enabled;
    m_visible = m_parent->m_visible;
}

// Base of every GUI widget: position, size, flags, focus and hover, the
// manager it reports to and an optional parent it follows. Widgets override
// the three virtual operations; the base versions do nothing.
#pragma once

#include <windows.h>

class vGUIManager;

// Event codes handed to the application's callback.
enum {
    GUIEVENT_CLICK = 1,     // activated by the left mouse button
    GUIEVENT_SIZE = 4,      // size set
    GUIEVENT_POSITION = 5,  // position set (also every Setup of a parented widget)
    GUIEVENT_HOVER = 7,     // a message arrived while the point lay inside a text box
};

class vGUIElement {
public:
    // Control ID -1, enabled, visible, no hover, no focus, no manager, no parent.
    vGUIElement();
    virtual ~vGUIElement();

    // Reacts to one window message at the given client point; the base returns
    // false and does nothing. The manager ignores the result.
    virtual bool UpdateMsgProc(unsigned int message, unsigned int wParam, long lParam, POINT point);
    virtual void Render();  // draws the widget; base: nothing
    virtual void Setup();   // lays out the widget's rectangles; base: nothing

    bool GetVisible() { return m_visible; }                 // drawn by the manager
    void SetVisible(bool visible) { m_visible = visible; }  // a hidden widget is neither drawn nor given messages
    bool GetEnabled() { return m_enabled; }                 // given messages and set up by the manager
    void SetEnabled(bool enabled) { m_enabled = enabled; }  // a disabled widget is drawn but gets no messages
    vGUIElement* GetParent() { return m_parent; }           // the widget this one follows; null for none
    void SetManager(vGUIManager* manager) { m_manager = manager; }  // the manager it reports to (set by the Add calls)
    vGUIManager* GetManager() { return m_manager; }                 // null before an Add call placed it
    int GetPositionX() { return m_posX; }                           // left edge in client pixels
    int GetPositionY() { return m_posY; }                           // top edge in client pixels
    int GetWidth() { return m_width; }                              // width in pixels
    int GetHeight() { return m_height; }                            // height in pixels
    void SetControlID(int id) { m_controlID = id; }                 // the ID its events carry
    int GetControlID() { return m_controlID; }                      // -1 until set
    bool GetElementFocus() { return m_focus; }                      // the widget has the keyboard focus
    bool GetElementHover() { return m_hover; }  // set once a message's point lay inside it; widgets never clear it

    // Stores the position and reports GUIEVENT_POSITION; rectangles follow at the next Setup.
    void SetPosition(int x, int y);
    // Stores the size and reports GUIEVENT_SIZE; rectangles follow at the next Setup.
    void SetSize(int width, int height);
    // Follows parent from now on, keeping the current screen offset; null changes nothing.
    void SetParent(vGUIElement* parent);
    // Recomputes the offset from the parent's current position; does nothing without a parent.
    void UpdateToParent();
    // onlyThis: sets this widget's focus only. Otherwise sets the manager's focus
    // flag, clears every widget's focus, then sets this one's.
    void SetElementFocus(bool focus, bool onlyThis);
    // Sets both the manager's hover flag and this widget's.
    void SetElementHover(bool hover);

protected:
    // First step of every widget's Setup: with a parent, moves to the parent's
    // position plus the offset, reports GUIEVENT_POSITION and copies the
    // parent's enabled and visible flags.
    void FollowParent();
    // Reports an event with this widget's control ID; dropped without a manager.
    void Report(unsigned int eventCode);

    int m_controlID;         // the ID its events carry
    int m_posX;              // left edge in client pixels
    int m_posY;              // top edge in client pixels
    int m_width;             // width in pixels
    int m_height;            // height in pixels
    bool m_enabled;          // given messages
    bool m_visible;          // drawn
    bool m_hover;            // set once a message's point lay inside
    bool m_focus;            // has the keyboard focus
    vGUIManager* m_manager;  // not owned
    int m_relX;              // offset from the parent's position
    int m_relY;              // offset from the parent's position
    vGUIElement* m_parent;   // not owned
};

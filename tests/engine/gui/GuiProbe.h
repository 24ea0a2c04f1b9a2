// A minimal widget for the manager's tests: it takes focus on a press inside
// its area (as the button does), reports a click on a release inside, keeps the
// characters typed while it has focus, and records every message it saw.
#pragma once

#include <string>
#include <vector>

#include "vGUIElement.h"
#include "vGUIManager.h"

struct SeenMessage {
    unsigned int message;
    unsigned int wParam;
    long lParam;
    POINT point;
};

class GuiProbe : public vGUIElement {
public:
    bool UpdateMsgProc(unsigned int message, unsigned int wParam, long lParam, POINT point) override
    {
        seen.push_back({message, wParam, lParam, point});
        const bool inside = PtInRect(&m_rect, point) != FALSE;
        if (message == WM_LBUTTONDOWN && inside) SetElementFocus(true, false);
        if (message == WM_LBUTTONUP && inside) Report(GUIEVENT_CLICK);
        if (message == WM_CHAR && m_focus) typed.push_back(static_cast<char>(wParam));
        if (inside) SetElementHover(true);
        return message == WM_CHAR;
    }
    void Render() override { ++renders; }
    void Setup() override
    {
        ++setups;
        FollowParent();
        SetRect(&m_rect, m_posX, m_posY, m_posX + m_width, m_posY + m_height);
    }

    std::vector<SeenMessage> seen;
    std::string typed;
    int renders = 0;
    int setups = 0;
    RECT m_rect = {0, 0, 0, 0};
};

// Adds a probe by the manager's Add steps: position and size events, control ID, Setup, append.
inline GuiProbe* AddProbe(vGUIManager& manager, int id, int x, int y, int w, int h)
{
    GuiProbe* probe = new GuiProbe;
    manager.PlaceNewElement(probe, POINT{x, y}, w, h);
    probe->SetControlID(id);
    probe->Setup();
    manager.AppendElement(probe);
    return probe;
}

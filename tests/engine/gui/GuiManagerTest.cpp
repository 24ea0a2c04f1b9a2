// The GUI manager: message routing, focus and hover rules, drawing order and
// the callback, observed through probe widgets and the events they report.
#include <gtest/gtest.h>

#include <vector>

#include "GuiProbe.h"

namespace {

struct Event {
    int code;
    unsigned int id;
    vGUIElement* element;
};
std::vector<Event> events;
void Record(int code, unsigned int id, vGUIElement* element)
{
    events.push_back({code, id, element});
}

class GuiManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        events.clear();
        manager.SetCallback(Record);
    }
    void Send(unsigned int message, int x, int y, unsigned int wParam = 0)
    {
        manager.Update(message, wParam, (long)((y << 16) | (x & 0xFFFF)), POINT{x, y}, 0.016f);
    }
    vGUIManager manager;
};

TEST_F(GuiManagerTest, EveryEnabledVisibleWidgetSeesEveryMessageInOrder)
{
    GuiProbe* a = AddProbe(manager, 1, 0, 0, 10, 10);
    GuiProbe* hidden = AddProbe(manager, 2, 0, 0, 10, 10);
    GuiProbe* disabled = AddProbe(manager, 3, 0, 0, 10, 10);
    GuiProbe* b = AddProbe(manager, 4, 500, 500, 10, 10);
    hidden->SetVisible(false);
    disabled->SetEnabled(false);

    manager.Update(WM_MOUSEMOVE, 7, 0x00140028, POINT{40, 20}, 0.25f);
    // WM_CHAR makes the probe return true; later widgets still get the message.
    manager.Update(WM_CHAR, 'q', 0, POINT{40, 20}, 0.5f);

    ASSERT_EQ(a->seen.size(), 2u);
    ASSERT_EQ(b->seen.size(), 2u);
    EXPECT_TRUE(hidden->seen.empty());
    EXPECT_TRUE(disabled->seen.empty());
    EXPECT_EQ(a->seen[0].message, (unsigned)WM_MOUSEMOVE);
    EXPECT_EQ(a->seen[0].wParam, 7u);
    EXPECT_EQ(a->seen[0].lParam, 0x00140028);
    EXPECT_EQ(a->seen[0].point.x, 40);
    EXPECT_EQ(a->seen[0].point.y, 20);
    EXPECT_EQ(b->seen[1].message, (unsigned)WM_CHAR);
    EXPECT_FLOAT_EQ(manager.GetTime(), 0.5f);
}

TEST_F(GuiManagerTest, EmptyManagerOnlyStoresTimeAndClearsHover)
{
    manager.SetManagerHover(true);
    Send(WM_LBUTTONDOWN, 5, 5);
    EXPECT_FALSE(manager.GetManagerHover());
    EXPECT_FLOAT_EQ(manager.GetTime(), 0.016f);
    manager.Render();
    EXPECT_TRUE(events.empty());
}

TEST_F(GuiManagerTest, ClickTakesFocusLaterOverlappingWidgetWins)
{
    GuiProbe* a = AddProbe(manager, 1, 0, 0, 100, 100);
    GuiProbe* b = AddProbe(manager, 2, 50, 50, 100, 100);

    Send(WM_LBUTTONDOWN, 10, 10);  // only a
    EXPECT_TRUE(a->GetElementFocus());
    EXPECT_FALSE(b->GetElementFocus());
    EXPECT_TRUE(manager.GetManagerFocus());

    Send(WM_LBUTTONDOWN, 75, 75);  // both react; b is later in the list
    EXPECT_FALSE(a->GetElementFocus());
    EXPECT_TRUE(b->GetElementFocus());

    Send(WM_LBUTTONDOWN, 400, 400);  // outside every widget: focus unchanged
    EXPECT_TRUE(b->GetElementFocus());

    manager.RemoveElementFocus();
    EXPECT_FALSE(a->GetElementFocus());
    EXPECT_FALSE(b->GetElementFocus());
    EXPECT_TRUE(manager.GetManagerFocus());
}

TEST_F(GuiManagerTest, CharactersGoToTheFocusedWidgetOnly)
{
    GuiProbe* a = AddProbe(manager, 1, 0, 0, 100, 20);
    GuiProbe* b = AddProbe(manager, 2, 0, 30, 100, 20);
    Send(WM_LBUTTONDOWN, 5, 35);
    Send(WM_CHAR, 0, 0, 'h');
    Send(WM_CHAR, 0, 0, 'i');
    Send(WM_LBUTTONDOWN, 5, 5);
    Send(WM_CHAR, 0, 0, '!');
    EXPECT_EQ(b->typed, "hi");
    EXPECT_EQ(a->typed, "!");
}

TEST_F(GuiManagerTest, HoverUsesHalfOpenRectanglesAndIsRecomputedPerMessage)
{
    GuiProbe* a = AddProbe(manager, 1, 10, 10, 20, 20);
    Send(WM_MOUSEMOVE, 10, 10);  // top-left corner is inside
    EXPECT_TRUE(manager.GetManagerHover());
    EXPECT_TRUE(a->GetElementHover());
    Send(WM_MOUSEMOVE, 30, 15);  // right edge is outside
    EXPECT_FALSE(manager.GetManagerHover());
    EXPECT_TRUE(a->GetElementHover());  // only SetElementHover(false) clears it
    Send(WM_MOUSEMOVE, 15, 30);         // bottom edge is outside
    EXPECT_FALSE(manager.GetManagerHover());
    a->SetElementHover(false);
    EXPECT_FALSE(a->GetElementHover());
}

TEST_F(GuiManagerTest, ClickReachesTheCallbackWithTheControlId)
{
    GuiProbe* a = AddProbe(manager, 42, 0, 0, 50, 50);
    events.clear();
    Send(WM_LBUTTONUP, 49, 49);
    Send(WM_LBUTTONUP, 50, 49);  // on the right edge: outside
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].code, GUIEVENT_CLICK);
    EXPECT_EQ(events[0].id, 42u);
    EXPECT_EQ(events[0].element, a);
}

TEST_F(GuiManagerTest, AddStepsReportPositionAndSizeWithIdMinusOne)
{
    GuiProbe* a = AddProbe(manager, 9, 3, 4, 5, 6);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].code, GUIEVENT_POSITION);
    EXPECT_EQ(events[0].id, (unsigned int)-1);
    EXPECT_EQ(events[1].code, GUIEVENT_SIZE);
    EXPECT_EQ(events[1].id, (unsigned int)-1);
    EXPECT_EQ(a->GetManager(), &manager);
    EXPECT_EQ(a->GetPositionX(), 3);
    EXPECT_EQ(a->GetHeight(), 6);

    events.clear();
    a->SetPosition(7, 8);
    a->SetSize(1, 2);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].code, GUIEVENT_POSITION);
    EXPECT_EQ(events[0].id, 9u);
    EXPECT_EQ(events[1].code, GUIEVENT_SIZE);
}

TEST_F(GuiManagerTest, WithoutCallbackEventsAreDropped)
{
    manager.SetCallback(nullptr);
    GuiProbe* a = AddProbe(manager, 1, 0, 0, 10, 10);
    Send(WM_LBUTTONUP, 1, 1);
    manager.DoCallback(GUIEVENT_CLICK, 1, a);
    EXPECT_TRUE(events.empty());
    manager.SetCallback(Record);
    manager.DoCallback(77, 0xFFFFFFF0u, nullptr);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].code, 77);
    EXPECT_EQ(events[0].id, 0xFFFFFFF0u);
}

TEST_F(GuiManagerTest, RenderDrawsVisibleAndSetsUpEnabledWidgets)
{
    GuiProbe* shown = AddProbe(manager, 1, 0, 0, 10, 10);
    GuiProbe* hidden = AddProbe(manager, 2, 0, 0, 10, 10);
    GuiProbe* disabled = AddProbe(manager, 3, 0, 0, 10, 10);
    hidden->SetVisible(false);
    disabled->SetEnabled(false);
    const int setupsBefore = shown->setups;
    manager.Render();
    EXPECT_EQ(shown->renders, 1);
    EXPECT_EQ(hidden->renders, 0);
    EXPECT_EQ(disabled->renders, 1);
    EXPECT_EQ(shown->setups, setupsBefore + 1);
    EXPECT_EQ(hidden->setups, setupsBefore + 1);
    EXPECT_EQ(disabled->setups, setupsBefore);
}

TEST_F(GuiManagerTest, ColoursConvertAsD3DXDoes)
{
    EXPECT_EQ(vGUIManager::ColourToARGB(D3DXCOLOR(1.5f, -0.2f, 0.5f, 1.0f)), 0xFFFF0080u);
    EXPECT_EQ(vGUIManager::ColourToARGB(D3DXCOLOR(0.0f, 1.0f, 0.0f, 0.0f)), 0x0000FF00u);
}

}  // namespace

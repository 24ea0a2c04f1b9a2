// Element base: parenting (following the parent's position and flags at each
// Render), focus through the manager, and the plain defaults.
#include <gtest/gtest.h>

#include <vector>

#include "GuiProbe.h"

namespace {

std::vector<int> codes;
void Record(int code, unsigned int, vGUIElement*)
{
    codes.push_back(code);
}

TEST(GuiElement, DefaultsOfANewElement)
{
    GuiProbe e;
    EXPECT_EQ(e.GetControlID(), -1);
    EXPECT_TRUE(e.GetEnabled());
    EXPECT_TRUE(e.GetVisible());
    EXPECT_FALSE(e.GetElementFocus());
    EXPECT_FALSE(e.GetElementHover());
    EXPECT_EQ(e.GetParent(), nullptr);
    EXPECT_EQ(e.GetManager(), nullptr);
    e.SetPosition(1, 2);  // no manager: nothing to report to, no crash
    EXPECT_EQ(e.GetPositionY(), 2);
}

TEST(GuiElement, ChildFollowsItsParentFromTheNextRender)
{
    vGUIManager manager;
    manager.SetCallback(Record);
    GuiProbe* window = AddProbe(manager, 1, 100, 100, 200, 200);
    GuiProbe* child = AddProbe(manager, 2, 120, 130, 20, 20);
    child->SetParent(window);

    window->SetPosition(300, 50);
    EXPECT_EQ(child->GetPositionX(), 120);  // not before the next Render
    codes.clear();
    manager.Render();
    EXPECT_EQ(child->GetPositionX(), 320);
    EXPECT_EQ(child->GetPositionY(), 80);
    ASSERT_EQ(codes.size(), 1u);  // the child's Setup reports its position
    EXPECT_EQ(codes[0], GUIEVENT_POSITION);

    // The hit area follows as well.
    manager.Update(WM_LBUTTONDOWN, 0, 0, POINT{325, 85}, 0.0f);
    EXPECT_TRUE(child->GetElementFocus());

    // A null parent keeps the old one.
    child->SetParent(nullptr);
    EXPECT_EQ(child->GetParent(), window);
}

TEST(GuiElement, DisabledParentDisablesChildUntilTheApplicationEnablesIt)
{
    vGUIManager manager;
    GuiProbe* window = AddProbe(manager, 1, 0, 0, 100, 100);
    GuiProbe* child = AddProbe(manager, 2, 10, 10, 10, 10);
    child->SetParent(window);

    window->SetEnabled(false);
    manager.Render();
    EXPECT_FALSE(child->GetEnabled());
    window->SetEnabled(true);
    manager.Render();
    EXPECT_FALSE(child->GetEnabled());  // its Setup no longer runs
    child->SetEnabled(true);
    manager.Render();
    EXPECT_TRUE(child->GetEnabled());

    // Hiding is followed every frame.
    window->SetVisible(false);
    manager.Render();
    EXPECT_FALSE(child->GetVisible());
    window->SetVisible(true);
    manager.Render();
    EXPECT_TRUE(child->GetVisible());
}

TEST(GuiElement, FocusOnlyThisTouchesNothingElse)
{
    vGUIManager manager;
    GuiProbe* a = AddProbe(manager, 1, 0, 0, 10, 10);
    GuiProbe* b = AddProbe(manager, 2, 0, 0, 10, 10);
    a->SetElementFocus(true, false);
    b->SetElementFocus(true, true);
    EXPECT_TRUE(a->GetElementFocus());
    EXPECT_TRUE(b->GetElementFocus());
    b->SetElementFocus(false, false);
    EXPECT_FALSE(a->GetElementFocus());
    EXPECT_FALSE(b->GetElementFocus());
    EXPECT_FALSE(manager.GetManagerFocus());
}

TEST(GuiElement, UpdateToParentRebasesTheOffset)
{
    vGUIManager manager;
    GuiProbe* window = AddProbe(manager, 1, 0, 0, 100, 100);
    GuiProbe* child = AddProbe(manager, 2, 10, 10, 10, 10);
    child->SetParent(window);
    child->SetPosition(50, 60);
    child->UpdateToParent();
    window->SetPosition(5, 5);
    manager.Render();
    EXPECT_EQ(child->GetPositionX(), 55);
    EXPECT_EQ(child->GetPositionY(), 65);
}

}  // namespace

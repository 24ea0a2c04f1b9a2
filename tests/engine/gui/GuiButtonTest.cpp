// Buttons driven through the window procedure: the texture each state shows,
// when a plain and a toggle button click, focus, and the half-open hit area.
#include "GuiFixture.h"

namespace {

using guitest::GuiFixture;
using rendertest::Image;

class GuiButtonTest : public GuiFixture {
protected:
    // A 120 x 40 button at (100, 100) without a label, so its middle shows the texture only.
    vGUIButton* AddPlain(int id = 7)
    {
        return manager->AddButton(id, nullptr, POINT{100, 100}, 120, 40, &up, &down, &third);
    }
    uint32_t Middle() { return Frame().At(160, 120); }
};

TEST_F(GuiButtonTest, NewButtonShowsItsDownTextureUntilTheFirstMessageOutside)
{
    vGUIButton* button = AddPlain();
    ASSERT_NE(button, nullptr);
    ASSERT_EQ(events.size(), 2u);  // the Add steps: position then size, both with ID -1
    EXPECT_EQ(events[0].code, GUIEVENT_POSITION);
    EXPECT_EQ(events[1].code, GUIEVENT_SIZE);
    EXPECT_EQ(events[1].id, (unsigned int)-1);
    EXPECT_EQ(button->GetControlID(), 7);

    Image first = Frame();
    EXPECT_EQ(first.At(160, 120), guitest::kDown);
    EXPECT_EQ(rendertest::FindColor(first, guitest::kDown, 0).left, 100);
    EXPECT_EQ(rendertest::FindColor(first, guitest::kDown, 0).bottom, 139);
    Move(150, 110);  // inside: no change
    EXPECT_EQ(Middle(), guitest::kDown);
    EXPECT_EQ(button->GetButtonState(), 1);
    Move(400, 400);
    EXPECT_EQ(button->GetButtonState(), 2);
    EXPECT_EQ(Middle(), guitest::kUp);
    EXPECT_TRUE(EventsOf(GUIEVENT_CLICK).empty());
}

TEST_F(GuiButtonTest, PressLeaveComeBackAndReleaseInsideClicksOnce)
{
    vGUIButton* button = AddPlain(7);
    PressAt(150, 110);
    EXPECT_EQ(button->GetButtonState(), 1);
    EXPECT_TRUE(button->GetElementFocus());
    EXPECT_EQ(Middle(), guitest::kDown);
    EXPECT_TRUE(EventsOf(GUIEVENT_CLICK).empty()) << "a plain button clicks on the release";

    Move(400, 110);
    EXPECT_EQ(button->GetButtonState(), 2);
    Move(150, 110);
    EXPECT_EQ(button->GetButtonState(), 2) << "coming back does not put it down again";
    EXPECT_EQ(Middle(), guitest::kUp);
    Release();
    const std::vector<guitest::Event> clicks = EventsOf(GUIEVENT_CLICK);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].id, 7u);
    EXPECT_EQ(clicks[0].element, button);
    EXPECT_EQ(button->GetButtonState(), 2);
}

TEST_F(GuiButtonTest, PressOutsideThenReleaseInsideClicksWithoutFocus)
{
    vGUIButton* button = AddPlain();
    PressAt(20, 20);
    ReleaseAt(150, 110);
    EXPECT_EQ(EventsOf(GUIEVENT_CLICK).size(), 1u);
    EXPECT_FALSE(button->GetElementFocus());
    EXPECT_FALSE(manager->GetManagerFocus());
    EXPECT_TRUE(manager->GetManagerHover());
}

TEST_F(GuiButtonTest, ToggleButtonFlipsAndClicksOnEachPress)
{
    vGUIButton* button = AddPlain(3);
    button->SetToToggleButton(true);
    Move(400, 400);  // a toggle button keeps its state outside
    EXPECT_EQ(button->GetButtonState(), 1);

    std::vector<int> states;
    std::vector<uint32_t> looks;
    for (int i = 0; i < 3; ++i) {
        PressAt(150, 110);
        states.push_back(button->GetButtonState());
        Release();
        Move(400, 400);
        looks.push_back(Middle());
    }
    EXPECT_EQ(states, (std::vector<int>{2, 1, 2}));
    EXPECT_EQ(looks, (std::vector<uint32_t>{guitest::kUp, guitest::kDown, guitest::kUp}));
    EXPECT_EQ(EventsOf(GUIEVENT_CLICK).size(), 3u) << "one click per press, none per release";
    EXPECT_TRUE(button->GetElementFocus());
}

TEST_F(GuiButtonTest, RightAndBottomEdgesAreOutside)
{
    vGUIButton* button = AddPlain();
    PressAt(220, 110);  // x = 100 + 120: outside
    EXPECT_FALSE(button->GetElementFocus());
    ReleaseAt(150, 140);  // y = 100 + 40: outside
    EXPECT_TRUE(EventsOf(GUIEVENT_CLICK).empty());
    ClickAt(219, 139);  // the last pixel inside
    EXPECT_EQ(EventsOf(GUIEVENT_CLICK).size(), 1u);
    ClickAt(100, 100);  // the first pixel inside
    EXPECT_EQ(EventsOf(GUIEVENT_CLICK).size(), 2u);
}

TEST_F(GuiButtonTest, NewPositionTakesEffectAtTheNextRender)
{
    vGUIButton* button = AddPlain();
    button->SetPosition(500, 300);
    ClickAt(510, 310);
    EXPECT_TRUE(EventsOf(GUIEVENT_CLICK).empty()) << "the hit area waits for Setup";
    Frame();  // still drawn at the old place by this Render, then Setup
    ClickAt(510, 310);
    EXPECT_EQ(EventsOf(GUIEVENT_CLICK).size(), 1u);
    Image image = Frame();
    EXPECT_EQ(image.At(510, 310), guitest::kUp);
    EXPECT_EQ(image.At(160, 120), guitest::kClear);
}

TEST_F(GuiButtonTest, LabelIsDrawnInTheMiddleInItsColour)
{
    char label[] = "OK";
    vGUIButton* button = manager->AddButton(1, label, POINT{100, 100}, 120, 40, &up, &down, &third);
    Move(400, 400);
    button->SetLabelColor(D3DXCOLOR(0.0f, 0.0f, 1.0f, 1.0f));
    Image image = Frame();
    EXPECT_GT(CountColour(image, RECT{140, 105, 180, 135}, guitest::kThird, 40), 10) << "blue ink in the middle";
    EXPECT_EQ(CountColour(image, RECT{100, 100, 130, 140}, guitest::kThird, 40), 0) << "centred, not at the left";
    button->SetLabel(nullptr);
    EXPECT_EQ(CountColour(Frame(), RECT{100, 100, 220, 140}, guitest::kThird, 40), 0);
}

}  // namespace

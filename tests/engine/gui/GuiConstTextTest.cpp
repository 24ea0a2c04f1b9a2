// The calls for constant labels and texts draw what the char* calls draw, a
// null pointer still picks the char* call, and a state set by the program
// changes the look and the answer without a click.
#include "GuiFixture.h"

#include <algorithm>
#include <memory>
#include <type_traits>

namespace {

using guitest::GuiFixture;
using rendertest::Image;

// The pixels of r, row by row, for comparing two places of one frame.
std::vector<uint32_t> Cut(const Image& image, RECT r)
{
    std::vector<uint32_t> out;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) out.push_back(image.At(x, y));
    return out;
}

RECT Moved(RECT r, int dy)
{
    return RECT{r.left, r.top + dy, r.right, r.bottom + dy};
}

class GuiConstTextTest : public GuiFixture {};

// A literal and a null pointer constant each pick one call at compile time.
template <typename T>
constexpr bool kLabelTakes = std::is_same_v<decltype(std::declval<vGUIButton&>().SetLabel(std::declval<T>())), void>;
static_assert(kLabelTakes<const char*> && kLabelTakes<char*> && kLabelTakes<decltype(nullptr)>);

TEST_F(GuiConstTextTest, ConstantLabelsAndTextsDrawAsTheCharCallsDo)
{
    char label[] = "Apply";
    char title[] = "Scene";
    char typed[] = "Hello";
    // The same widgets twice, 200 pixels apart: the char* calls above, the constant ones below.
    vGUIWindow* w1 = manager->AddWindow(1, title, POINT{50, 20}, 300, 150, &background, &border);
    vGUIButton* b1 = manager->AddButton(2, label, POINT{60, 60}, 120, 40, &up, &down, &third);
    vGUITextbox* t1 = manager->AddTextbox(3, typed, POINT{60, 110}, 200, 28, &background, &border);
    vGUIWindow* w2 = manager->AddWindow(4, "Scene", POINT{50, 220}, 300, 150, &background, &border);
    vGUIButton* b2 = manager->AddButton(5, "Apply", POINT{60, 260}, 120, 40, &up, &down, &third);
    const char* constantText = "Hello";
    vGUITextbox* t2 = manager->AddTextbox(6, constantText, POINT{60, 310}, 200, 28, &background, &border);
    ASSERT_TRUE(w1 && b1 && t1 && w2 && b2 && t2);
    w1->SetWindowBarText(title);
    w2->SetWindowBarText("Scene");
    b1->SetLabel(label);
    b2->SetLabel("Apply");
    b1->SetLabelColor(D3DXCOLOR(0, 0, 0, 1));
    b2->SetLabelColor(D3DXCOLOR(0, 0, 0, 1));
    Move(700, 700);  // both buttons up

    std::unique_ptr<char[]> text1(t1->GetText()), text2(t2->GetText());
    EXPECT_STREQ(text2.get(), text1.get());
    EXPECT_EQ(t2->GetTextWidth(), t1->GetTextWidth());

    Image image = Frame();
    const RECT bar{52, 22, 348, 45}, button{60, 60, 180, 100}, box{60, 110, 260, 138};
    EXPECT_GT(CountInk(image, bar), 20) << "the bar text is drawn";
    EXPECT_GT(CountInk(image, button), 20) << "the label is drawn";
    EXPECT_EQ(Cut(image, Moved(bar, 200)), Cut(image, bar));
    EXPECT_EQ(Cut(image, Moved(button, 200)), Cut(image, button));
    EXPECT_EQ(Cut(image, Moved(box, 200)), Cut(image, box));

    // Text drawn straight through the manager, both ways, in the same place of two frames.
    const RECT place{400, 400, 600, 440};
    auto drawn = [&](bool constant) {
        BeginFrame(D3DXCOLOR(0x20 / 255.0f, 0x40 / 255.0f, 0x80 / 255.0f, 1.0f));
        RECT r = place;
        char words[] = "Words";
        if (constant)
            manager->DrawGWText(DT_LEFT | DT_TOP, D3DXCOLOR(1, 1, 0, 1), &r, "Words");
        else
            manager->DrawGWText(DT_LEFT | DT_TOP, D3DXCOLOR(1, 1, 0, 1), &r, words);
        return Cut(rendertest::ReadRenderTarget(), place);
    };
    const std::vector<uint32_t> fromChars = drawn(false);
    EXPECT_GT(std::count_if(fromChars.begin(), fromChars.end(),
                            [](uint32_t p) { return rendertest::ColorDistance(p, 0xFFFF00) < 60; }),
              20);
    EXPECT_EQ(drawn(true), fromChars);

    // Null constants: no label, no bar text, as with the char* calls.
    b2->SetLabel(static_cast<const char*>(nullptr));
    w2->SetWindowBarText(static_cast<const char*>(nullptr));
    manager->DrawGWText(DT_LEFT, D3DXCOLOR(1, 1, 0, 1), nullptr, static_cast<const char*>(nullptr));
    Image cleared = Frame();
    EXPECT_EQ(CountInk(cleared, Moved(bar, 200)), 0);
    EXPECT_EQ(CountInk(cleared, Moved(button, 200)), 0);
}

TEST_F(GuiConstTextTest, AStateSetByTheProgramChangesTheLookAndTheAnswerWithoutAClick)
{
    vGUIButton* toggle = manager->AddButton(3, nullptr, POINT{100, 100}, 120, 40, &up, &down, &third);
    toggle->SetToToggleButton(true);
    events.clear();
    EXPECT_EQ(toggle->GetButtonState(), BUTTONSTATE_DOWN);

    EXPECT_TRUE(toggle->SetButtonState(BUTTONSTATE_UP));
    EXPECT_EQ(toggle->GetButtonState(), BUTTONSTATE_UP);
    EXPECT_EQ(Frame().At(160, 120), guitest::kUp);
    EXPECT_TRUE(toggle->SetButtonState(BUTTONSTATE_THIRD));
    EXPECT_EQ(Frame().At(160, 120), guitest::kThird);
    EXPECT_TRUE(toggle->SetButtonState(BUTTONSTATE_DOWN));
    EXPECT_EQ(Frame().At(160, 120), guitest::kDown);
    EXPECT_TRUE(events.empty()) << "no click, no other event";
    EXPECT_FALSE(toggle->GetElementFocus());
    EXPECT_FALSE(manager->GetManagerFocus());

    // Values that are not states change nothing.
    EXPECT_FALSE(toggle->SetButtonState(0));
    EXPECT_FALSE(toggle->SetButtonState(4));
    EXPECT_FALSE(toggle->SetButtonState(-1));
    EXPECT_EQ(toggle->GetButtonState(), BUTTONSTATE_DOWN);

    // The user's press after it flips from the set state and clicks once.
    toggle->SetButtonState(BUTTONSTATE_UP);
    PressAt(150, 110);
    Release();
    EXPECT_EQ(toggle->GetButtonState(), BUTTONSTATE_DOWN);
    EXPECT_EQ(EventsOf(GUIEVENT_CLICK).size(), 1u);

    // A plain button set down goes up again at the next message outside it.
    vGUIButton* plain = manager->AddButton(4, nullptr, POINT{300, 100}, 120, 40, &up, &down, &third);
    Move(700, 700);
    plain->SetButtonState(BUTTONSTATE_DOWN);
    EXPECT_EQ(Frame().At(360, 120), guitest::kDown);
    Move(710, 700);
    EXPECT_EQ(plain->GetButtonState(), BUTTONSTATE_UP);
    EXPECT_EQ(Frame().At(360, 120), guitest::kUp);
}

}  // namespace

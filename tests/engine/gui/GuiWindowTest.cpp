// Windows driven through the window procedure: dragging by the bar, contents
// that follow a frame later and take over the window's flags, the tiled
// background, frames and bar text.
#include "GuiFixture.h"

namespace {

using guitest::GuiFixture;
using rendertest::Image;

// A 300 x 200 window at (100, 100) with its 25-pixel bar, and a 60 x 30
// button inside it at (150, 200).
class GuiWindowTest : public GuiFixture {
protected:
    void AddWindowWithButton(char* barText = nullptr)
    {
        window = manager->AddWindow(2, barText, POINT{100, 100}, 300, 200, &background, &border);
        ASSERT_NE(window, nullptr);
        button = manager->AddButton(3, nullptr, POINT{150, 200}, 60, 30, &up, &down, &third);
        button->SetParent(window);
        Move(600, 600);  // the button shows its up texture
        events.clear();
    }
    // Where the button's up texture is drawn.
    static rendertest::Extent ButtonOn(const Image& image) { return rendertest::FindColor(image, guitest::kUp, 0); }

    vGUIWindow* window = nullptr;
    vGUIButton* button = nullptr;
};

TEST_F(GuiWindowTest, DragByTheBarMovesTheWindowAndItsContentsAFrameLater)
{
    AddWindowWithButton();
    Frame();
    events.clear();     // the button's Setup reports its position every frame
    PressAt(200, 110);  // on the bar
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].code, GUIEVENT_CLICK);
    EXPECT_EQ(events[0].id, 2u);
    EXPECT_EQ(events[1].code, GUIEVENT_POSITION) << "the press that starts the drag already reports";
    EXPECT_EQ(window->GetPositionX(), 100);
    EXPECT_EQ(window->GetPositionY(), 100);
    EXPECT_TRUE(window->GetElementFocus());

    events.clear();
    Move(260, 150);
    EXPECT_EQ(EventsOf(GUIEVENT_POSITION).size(), 1u);
    EXPECT_EQ(window->GetPositionX(), 160) << "the point keeps its place on the bar";
    EXPECT_EQ(window->GetPositionY(), 140);
    Move(600, 400);
    ReleaseAt(500, 300);
    EXPECT_EQ(window->GetPositionX(), 400);
    EXPECT_EQ(window->GetPositionY(), 290);
    Move(260, 150);  // released: no longer dragged
    EXPECT_EQ(window->GetPositionX(), 400);

    Image first = Frame();
    EXPECT_EQ(first.At(400, 320), guitest::kBorder) << "the window is drawn at its new place";
    EXPECT_EQ(first.At(403, 340), guitest::kBackground);
    EXPECT_EQ(ButtonOn(first).left, 150) << "contents are drawn where they were until their Setup";
    Image second = Frame();
    EXPECT_EQ(ButtonOn(second).left, 450);
    EXPECT_EQ(ButtonOn(second).top, 390);
    EXPECT_EQ(second.At(160, 210), guitest::kClear);

    // The button's hit area moved with it.
    events.clear();
    ClickAt(460, 400);
    ASSERT_EQ(EventsOf(GUIEVENT_CLICK).size(), 2u);  // the window's press, the button's release
    EXPECT_EQ(EventsOf(GUIEVENT_CLICK)[1].element, button);
}

TEST_F(GuiWindowTest, PressInTheBodyTakesFocusWithoutDragging)
{
    AddWindowWithButton();
    PressAt(300, 250);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].code, GUIEVENT_CLICK);
    EXPECT_TRUE(window->GetElementFocus());
    Move(350, 280);
    Release();
    EXPECT_TRUE(EventsOf(GUIEVENT_POSITION).empty());
    EXPECT_EQ(window->GetPositionX(), 100);
    EXPECT_EQ(window->GetPositionY(), 100);
    PressAt(400, 110);  // the bar's right edge is outside
    EXPECT_EQ(EventsOf(GUIEVENT_CLICK).size(), 1u);
}

TEST_F(GuiWindowTest, HidingTheWindowHidesItsContents)
{
    AddWindowWithButton();
    EXPECT_EQ(ButtonOn(Frame()).left, 150);
    window->SetVisible(false);
    Frame();  // the button takes over the flag in its Setup
    Image hidden = Frame();
    EXPECT_EQ(ButtonOn(hidden).count, 0);
    EXPECT_EQ(hidden.At(250, 250), guitest::kClear);
    EXPECT_FALSE(button->GetVisible());
    events.clear();
    ClickAt(160, 210);
    EXPECT_TRUE(events.empty()) << "hidden widgets do not react";

    window->SetVisible(true);
    Frame();
    Image shown = Frame();
    EXPECT_EQ(ButtonOn(shown).left, 150);
    EXPECT_EQ(shown.At(250, 250), guitest::kBackground);
}

TEST_F(GuiWindowTest, AWindowWithAParentDoesNotMove)
{
    vGUIWindow* outer = manager->AddWindow(1, nullptr, POINT{50, 50}, 500, 400, &background, &border);
    vGUIWindow* inner = manager->AddWindow(2, nullptr, POINT{100, 100}, 200, 150, &background, &border);
    inner->SetParent(outer);
    Frame();
    events.clear();
    PressAt(150, 110);  // the inner window's bar
    Move(250, 200);
    Release();
    EXPECT_EQ(inner->GetPositionX(), 100);
    EXPECT_EQ(inner->GetPositionY(), 100);
    EXPECT_EQ(outer->GetPositionX(), 50);
    EXPECT_FALSE(EventsOf(GUIEVENT_POSITION).empty());
}

TEST_F(GuiWindowTest, TiledBackgroundFramesAndBarText)
{
    // A 16 x 16 background, its left half white: repeated at its own size.
    ASSERT_TRUE(rendertest::WriteTga(temp.File("tile.tga"), 16, 16,
                                     [](int x, int) { return x < 8 ? 0xFFFFFFFFu : 0xFF808080u; }));
    vTexture tile;
    ASSERT_EQ(tile.LoadTextureFromFile(temp.File("tile.tga").c_str(), 0, 1), S_OK);
    char title[] = "Settings";
    vGUIWindow* w = manager->AddWindow(1, title, POINT{100, 100}, 300, 200, &tile, &border);
    Image image = Frame();
    for (int x = 104; x < 388; x += 16) {
        EXPECT_EQ(image.At(x, 150), 0xFFFFFFu) << x;
        EXPECT_EQ(image.At(x + 8, 150), 0x808080u) << x + 8;
    }
    // The window's frame and the bar's, 2 pixels each.
    EXPECT_EQ(image.At(100, 150), guitest::kBorder);
    EXPECT_EQ(image.At(101, 150), guitest::kBorder);
    EXPECT_NE(image.At(102, 150), guitest::kBorder);
    EXPECT_EQ(image.At(398, 150), guitest::kBorder);
    EXPECT_EQ(image.At(250, 123), guitest::kBorder);
    EXPECT_EQ(image.At(250, 124), guitest::kBorder);
    EXPECT_EQ(image.At(250, 298), guitest::kBorder);
    EXPECT_GT(CountInk(image, RECT{102, 102, 200, 123}), 20) << "the bar text";

    w->SetWindowBarText(nullptr);
    EXPECT_EQ(CountInk(Frame(), RECT{102, 102, 398, 123}), 0);

    // A taller bar is drawn at once.
    w->SetWindowBarHeight(40);
    Image tall = Frame();
    EXPECT_EQ(tall.At(250, 138), guitest::kBorder);
    EXPECT_EQ(tall.At(250, 139), guitest::kBorder);
    tile.Kill();
}

}  // namespace

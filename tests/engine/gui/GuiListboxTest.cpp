// List boxes driven through the window procedure: rows and scrolling by the
// buttons, the thumb and the wheel, selection and its highlight, the
// scroll-bar atlas, and the item limits.
#include "GuiFixture.h"

#include <cstring>
#include <string>

namespace {

using guitest::GuiFixture;
using rendertest::Image;

// The scroll atlas's quarters.
constexpr uint32_t kUpQuarter = 0xFF00FF;
constexpr uint32_t kDownQuarter = 0x00FFFF;
constexpr uint32_t kTrackQuarter = 0x008080;
constexpr uint32_t kThumbQuarter = 0xFF8000;

// A 200 x 130 box at (100, 100) with 24-pixel rows: 5 rows at y 102 + 24 r,
// x 102 ... 272; the scroll bar at x 275 ... 299: up button y 100 ... 124,
// down button 205 ... 229, a 25-pixel thumb on an 80-pixel track.
class GuiListboxTest : public GuiFixture {
protected:
    void SetUp() override
    {
        GuiFixture::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        manager->Init("Arial", 24);
        ASSERT_TRUE(rendertest::WriteTga(temp.File("scroll.tga"), 64, 64, [](int x, int y) {
            const bool right = x >= 32, lower = y >= 32;
            return 0xFF000000u |
                   (right ? (lower ? kThumbQuarter : kTrackQuarter) : (lower ? kDownQuarter : kUpQuarter));
        }));
        ASSERT_EQ(scroll.LoadTextureFromFile(temp.File("scroll.tga").c_str(), 0, 1), S_OK);
    }
    void ReleaseResources() override
    {
        GuiFixture::ReleaseResources();
        scroll.Kill();
    }

    vGUIListbox* AddBox(int items)
    {
        vGUIListbox* box = manager->AddListbox(4, POINT{100, 100}, 200, 130, &background, &border, &scroll);
        for (int i = 0; i < items; ++i) box->Add(("item " + std::to_string(i)).c_str());
        Frame();  // lays out the rows
        return box;
    }
    static RECT Row(int r) { return RECT{102, 102 + 24 * r, 273, 126 + 24 * r}; }
    void ClickRow(int r) { ClickAt(200, 114 + 24 * r); }
    void ClickDownButton() { ClickAt(287, 217); }
    void ClickUpButton() { ClickAt(287, 112); }
    // The item in the first row: the one a click on it selects.
    int ItemInFirstRow(vGUIListbox* box)
    {
        Frame();
        ClickRow(0);
        return box->GetSelectedIndex();
    }
    // Top edge of the 25-pixel thumb, from the middle of its solid part (its
    // edge rows blend with the neighbouring quarter under linear filtering).
    static int ThumbTop(const Image& image)
    {
        const rendertest::Extent e = rendertest::FindColor(image, kThumbQuarter, 0);
        return (e.top + e.bottom) / 2 - 12;
    }
    // The thumb as drawn once its rectangle has followed: a frame's Render
    // draws the rectangle laid out by the Setup of the frame before.
    int ThumbTopNow()
    {
        Frame();
        return ThumbTop(Frame());
    }

    vTexture scroll;
};

TEST_F(GuiListboxTest, ThreeItemsInFiveRowsAndTheScrollBarQuarters)
{
    vGUIListbox* box = AddBox(3);
    Image image = Frame();
    for (int r = 0; r < 3; ++r) EXPECT_GT(CountInk(image, Row(r)), 20) << "row " << r;
    EXPECT_EQ(CountInk(image, Row(3)), 0);
    EXPECT_EQ(CountInk(image, Row(4)), 0);
    EXPECT_EQ(image.At(287, 112), kUpQuarter);
    EXPECT_EQ(image.At(287, 217), kDownQuarter);
    EXPECT_EQ(image.At(287, 180), kTrackQuarter);
    EXPECT_EQ(ThumbTop(image), 125) << "the thumb starts at the top of the track";
    EXPECT_EQ(image.At(150, 101), guitest::kBorder);

    events.clear();
    ClickDownButton();
    EXPECT_EQ(EventsOf(GUIEVENT_CLICK).size(), 1u);
    EXPECT_EQ(ItemInFirstRow(box), 0) << "three items never scroll";
    EXPECT_EQ(ThumbTopNow(), 125);
    ClickRow(4);  // below the last item: clears the selection
    EXPECT_EQ(box->GetSelectedIndex(), -1);
    EXPECT_EQ(box->GetSelectedIndexText(), nullptr);
}

TEST_F(GuiListboxTest, TenItemsDownSixTimesShowItemsFiveToNine)
{
    vGUIListbox* box = AddBox(10);
    for (int i = 0; i < 6; ++i) ClickDownButton();
    EXPECT_EQ(EventsOf(GUIEVENT_CLICK).size(), 6u);
    // The thumb's top: y + S + trunc(trackLength x 5 / 10).
    EXPECT_EQ(ThumbTopNow(), 100 + 25 + 40);
    EXPECT_EQ(ItemInFirstRow(box), 5);
    ClickRow(4);
    EXPECT_STREQ(box->GetSelectedIndexText(), "item 9");

    // The up button keeps the selection; at the top it stays at 0 and still clicks.
    for (int i = 0; i < 7; ++i) ClickUpButton();
    EXPECT_EQ(box->GetSelectedIndex(), 9);
    EXPECT_EQ(EventsOf(GUIEVENT_CLICK).size(), 6u + 2u + 7u);
    EXPECT_EQ(ThumbTopNow(), 125);
    EXPECT_EQ(ItemInFirstRow(box), 0);
}

TEST_F(GuiListboxTest, PressOnTheTrackClearsTheSelection)
{
    vGUIListbox* box = AddBox(10);
    ClickRow(1);
    EXPECT_EQ(box->GetSelectedIndex(), 1);
    EXPECT_TRUE(box->GetElementFocus());
    events.clear();
    ClickAt(287, 180);  // the track below the thumb
    EXPECT_EQ(box->GetSelectedIndex(), -1);
    EXPECT_EQ(EventsOf(GUIEVENT_CLICK).size(), 1u);
    EXPECT_EQ(EventsOf(GUIEVENT_CLICK)[0].id, 4u);
}

TEST_F(GuiListboxTest, ThumbDragFollowsThePointOutsideTheBoxUntilAReleaseAnywhere)
{
    vGUIListbox* box = AddBox(20);
    PressAt(287, 130);  // on the thumb, 5 pixels below its top
    EXPECT_EQ(ItemInFirstRow(box), 0) << "nothing moved yet";
    PressAt(287, 130);
    // 30 pixels down, far outside the box: thumb top 155, 30 of the 55 pixels
    // of travel map to trunc(20 x 30 / 55) = 10 items.
    Move(600, 160);
    EXPECT_TRUE(manager->GetManagerHover()) << "a drag counts as hover anywhere";
    EXPECT_EQ(ThumbTopNow(), 155);
    Move(600, 500);  // held at the end of the track
    EXPECT_EQ(ThumbTopNow(), 180);
    ReleaseAt(10, 600);  // the move there is still part of the drag
    Move(287, 130);      // no longer dragging
    EXPECT_EQ(ThumbTopNow(), 180);
    Move(600, 600);
    EXPECT_FALSE(manager->GetManagerHover());
    EXPECT_EQ(ItemInFirstRow(box), 15) << "the last five items";

    // Back to the middle: the list follows row by row.
    PressAt(287, 185);
    Move(287, 160);
    ReleaseAt(600, 160);
    EXPECT_EQ(ItemInFirstRow(box), 10);
}

TEST_F(GuiListboxTest, PressOnTheThumbRemapsTheListInTheSameMessage)
{
    vGUIListbox* box = AddBox(20);
    for (int i = 0; i < 3; ++i) ClickDownButton();
    EXPECT_EQ(ThumbTopNow(), 125 + 80 * 3 / 20);  // the buttons' mapping: 137
    // The press maps the unmoved thumb back by the drag's rule:
    // trunc(20 x (137 - 125) / 55) = 4, one row further than the buttons left it.
    PressAt(287, 140);
    Release();
    EXPECT_EQ(ThumbTopNow(), 137);
    EXPECT_EQ(ItemInFirstRow(box), 4);
}

TEST_F(GuiListboxTest, WheelScrollsARowPerNotchOverTheBoxOnly)
{
    vGUIListbox* box = AddBox(20);
    Move(150, 150);
    win32test::MouseWheel(hwnd, -3 * WHEEL_DELTA);  // towards the user: down the list
    Pump();
    EXPECT_EQ(ThumbTopNow(), 125 + 80 * 3 / 20) << "the thumb follows as for the buttons";
    EXPECT_EQ(ItemInFirstRow(box), 3);
    Move(150, 150);
    win32test::MouseWheel(hwnd, WHEEL_DELTA);
    Pump();
    EXPECT_EQ(ItemInFirstRow(box), 2);
    Move(500, 150);
    win32test::MouseWheel(hwnd, -WHEEL_DELTA);
    Pump();
    EXPECT_EQ(ItemInFirstRow(box), 2) << "outside the box";
    Move(150, 150);
    win32test::MouseWheel(hwnd, -100 * WHEEL_DELTA);
    Pump();
    EXPECT_EQ(ItemInFirstRow(box), 15);
    Move(150, 150);
    win32test::MouseWheel(hwnd, 100 * WHEEL_DELTA);
    Pump();
    EXPECT_EQ(ItemInFirstRow(box), 0);
    EXPECT_TRUE(EventsOf(GUIEVENT_CLICK).size() == 5u) << "the wheel itself does not click";
}

TEST_F(GuiListboxTest, ItemsAreTheBoxsOwnAndAtMost128AreCounted)
{
    vGUIListbox* box = AddBox(0);
    char text[] = "first";
    box->Add(text);
    std::strcpy(text, "XXXXX");
    box->Add(nullptr);  // an empty item
    Frame();
    ClickRow(0);
    ASSERT_NE(box->GetSelectedIndexText(), nullptr);
    EXPECT_STREQ(box->GetSelectedIndexText(), "first");
    ClickRow(1);
    EXPECT_STREQ(box->GetSelectedIndexText(), "");

    // Pop and Remove on an empty list or with bad indices change nothing.
    box->Clear();
    box->Pop();
    box->Remove(0);
    box->Remove(-1);
    box->Add("only");
    box->Remove(1);
    box->Remove(-5);
    Frame();
    ClickRow(0);
    EXPECT_STREQ(box->GetSelectedIndexText(), "only");

    box->Clear();
    for (int i = 0; i < 129; ++i) box->Add(("item " + std::to_string(i)).c_str());
    Frame();
    Move(150, 150);
    win32test::MouseWheel(hwnd, -200 * WHEEL_DELTA);
    Pump();
    EXPECT_EQ(ItemInFirstRow(box), 123);
    ClickRow(4);
    EXPECT_EQ(box->GetSelectedIndex(), 127);
    EXPECT_STREQ(box->GetSelectedIndexText(), "item 127");

    // Removing before the selection keeps the index, which now names the next item.
    box->Remove(0);
    EXPECT_STREQ(box->GetSelectedIndexText(), "item 128");
    box->Pop();
    Frame();  // 127 items counted now
    EXPECT_EQ(box->GetSelectedIndex(), -1) << "a selection beyond the count is dropped at Setup";

    // 127 items stored, 126 counted (the 129th was never counted); UpdateList counts them all.
    box->UpdateList();
    Frame();
    Move(150, 150);
    win32test::MouseWheel(hwnd, -200 * WHEEL_DELTA);
    Pump();
    Frame();
    ClickRow(4);
    EXPECT_STREQ(box->GetSelectedIndexText(), "item 127");
    EXPECT_EQ(box->SelectedIndex(), 126);
}

// The selected text is handed out as a pointer into the box; it keeps naming
// its item while items are added after it or removed before it.
TEST_F(GuiListboxTest, SelectedTextStaysValidWhileOtherItemsComeAndGo)
{
    vGUIListbox* box = AddBox(3);
    ClickRow(2);
    const char* kept = box->GetSelectedIndexText();
    ASSERT_NE(kept, nullptr);
    ASSERT_STREQ(kept, "item 2");

    for (int i = 3; i < 300; ++i) box->Add(("item " + std::to_string(i)).c_str());  // the storage grows many times
    EXPECT_STREQ(kept, "item 2") << "after 297 more items";
    Frame();
    EXPECT_STREQ(kept, "item 2") << "after a frame";

    box->Remove(0);
    box->Remove(0);
    EXPECT_STREQ(kept, "item 2") << "after removing the two items before it";
    EXPECT_STREQ(box->GetSelectedIndexText(), "item 4") << "the index now names a later item";
    box->Pop();
    box->Remove(100);
    EXPECT_STREQ(kept, "item 2") << "after removing items after it";
    box->Clear();
    EXPECT_EQ(box->GetSelectedIndexText(), nullptr);
}

TEST_F(GuiListboxTest, HighlightIsTintedByFocus)
{
    vGUIListbox* box = AddBox(3);
    vGUIButton* other = manager->AddButton(9, nullptr, POINT{600, 100}, 50, 30, &up, &down, &third);
    ClickRow(1);
    ASSERT_TRUE(box->GetElementFocus());
    // Background C0 C0 C0 times the tint, blended by its alpha 0.6 over the box.
    Image focused = Frame();
    EXPECT_LE(rendertest::ColorDistance(focused.At(260, 140), 0x4D4DC0), 3) << std::hex << focused.At(260, 140);
    EXPECT_EQ(focused.At(260, 116), guitest::kBackground) << "other rows untouched";

    ClickAt(610, 110);
    ASSERT_TRUE(other->GetElementFocus());
    Image unfocused = Frame();
    EXPECT_LE(rendertest::ColorDistance(unfocused.At(260, 140), 0x6F6FC0), 3) << std::hex << unfocused.At(260, 140);
    EXPECT_EQ(box->GetSelectedIndex(), 1);
}

}  // namespace

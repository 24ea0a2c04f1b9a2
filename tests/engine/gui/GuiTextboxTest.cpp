// Text boxes driven through the window procedure: focus by a release inside,
// typed characters from WM_CHAR, the text's ink and alignment, the caret's
// place and blink, the 127-character limit and the character rules.
#include "GuiFixture.h"

#include <memory>
#include <string>

namespace {

using guitest::GuiFixture;
using rendertest::Image;

class GuiTextboxTest : public GuiFixture {
protected:
    // A 200 x 30 box at (100, 100).
    vGUITextbox* AddBox(int width = 200, char* text = nullptr)
    {
        return manager->AddTextbox(5, text, POINT{100, 100}, width, 30, &background, &border);
    }
    static std::string TextOf(vGUITextbox* box)
    {
        std::unique_ptr<char[]> text(box->GetText());
        return text.get();
    }
    int WidthOf(const char* text)
    {
        int w = 0;
        for (const char* p = text; *p; ++p) w += manager->GetFont()->GetFontCharWidth((unsigned char)*p);
        return w;
    }
    // A button elsewhere to take focus away from the box.
    vGUIButton* AddOther() { return manager->AddButton(9, nullptr, POINT{600, 100}, 50, 30, &up, &down, &third); }
};

TEST_F(GuiTextboxTest, TypingIntoAnUnfocusedBoxDoesNothing)
{
    vGUITextbox* box = AddBox();
    Type("abc");
    EXPECT_EQ(TextOf(box), "");
    EXPECT_EQ(box->GetTextWidth(), 0);
    PressAt(150, 110);  // a press is not enough: the box takes focus on the release
    Type("x");
    EXPECT_EQ(TextOf(box), "");
    Image image = Frame();
    EXPECT_EQ(CountInk(image, RECT{102, 102, 298, 128}), 0);
    EXPECT_EQ(image.At(150, 115), guitest::kBackground);
    EXPECT_EQ(image.At(100, 115), guitest::kBorder);
    EXPECT_EQ(image.At(299, 129), guitest::kBorder);
}

TEST_F(GuiTextboxTest, ReleaseInsideClicksThenHoversAndTypedTextShows)
{
    vGUITextbox* box = AddBox();
    Move(150, 110);
    ASSERT_EQ(events.size(), 3u);  // the Add steps' two, then the move's hover
    EXPECT_EQ(events[2].code, GUIEVENT_HOVER);
    events.clear();
    Press();
    Release();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].code, GUIEVENT_HOVER);  // the press: hover only
    EXPECT_EQ(events[1].code, GUIEVENT_CLICK);
    EXPECT_EQ(events[2].code, GUIEVENT_HOVER);
    EXPECT_EQ(events[1].id, 5u);
    EXPECT_TRUE(box->GetElementFocus());

    events.clear();
    Type("abc");
    EXPECT_TRUE(events.empty()) << "characters report nothing";
    EXPECT_EQ(TextOf(box), "abc");
    EXPECT_EQ(box->GetTextWidth(), WidthOf("abc"));
    EXPECT_EQ(box->UpdateMsgProc(WM_CHAR, 'd', 0, POINT{0, 0}), true);
    box->RemoveChar();

    Image image = Frame();
    const int textRight = 100 + WidthOf("abc");
    EXPECT_GT(CountInk(image, RECT{100, 102, textRight, 128}), 20) << "the letters, left-aligned";
    EXPECT_EQ(CountInk(image, RECT{textRight + 8, 102, 298, 128}), 0) << "nothing right of the caret";
}

TEST_F(GuiTextboxTest, CaretSitsAfterTheTextAndBlinksOnlyWithFocus)
{
    vGUITextbox* box = AddBox();
    AddOther();
    ClickAt(150, 110);
    Type("ab");
    const int w = box->GetTextWidth();
    const RECT caret = {100 + w + 2, 102, 100 + w + 5, 128};

    // Each frame advances the blink by 8 x 0.2 = 1.6 radians: on, then past the
    // half cycle (back to 0: transparent), then on again.
    timeStep = 0.2f;
    Move(160, 110);  // hands the time step to the manager
    std::vector<bool> shown;
    for (int i = 0; i < 3; ++i) shown.push_back(CountInk(Frame(), caret) > 0);
    EXPECT_EQ(shown, (std::vector<bool>{true, false, true}));

    ClickAt(610, 110);  // the button takes focus
    EXPECT_FALSE(box->GetElementFocus());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(CountInk(Frame(), caret), 0) << "no caret without focus, frame " << i;
}

TEST_F(GuiTextboxTest, LongTextKeepsItsEndAtTheRightEdge)
{
    // An 80-pixel box: the interior between the 2-pixel strips is x 102 ... 177.
    vGUITextbox* box = AddBox(80);
    AddOther();
    ClickAt(150, 110);
    Type("mmm ");
    ClickAt(610, 110);  // no caret, so any ink is text
    Image shortText = Frame();
    EXPECT_GT(CountInk(shortText, RECT{102, 102, 110, 128}), 0) << "short text starts at the left";
    EXPECT_EQ(CountInk(shortText, RECT{150, 102, 178, 128}), 0);

    // Wider than the box, ending in three spaces: right-aligned, the spaces
    // keep the last columns free of ink; the beginning is clipped.
    ClickAt(150, 110);
    while (box->GetTextWidth() < 80 + 40) Type("m");
    Type("   ");
    const int spaces = 3 * manager->GetFont()->GetFontCharWidth(' ');
    ASSERT_GE(spaces, 6);
    ClickAt(610, 110);
    Image longText = Frame();
    EXPECT_EQ(CountInk(longText, RECT{178 - spaces + 2, 102, 178, 128}), 0) << "the end at the right edge";
    EXPECT_GT(CountInk(longText, RECT{140, 102, 178 - spaces - 2, 128}), 0);
    for (int x = 60; x < 100; ++x)
        ASSERT_EQ(longText.At(x, 115), guitest::kClear) << "the beginning is clipped at x " << x;

    // With focus, once the text reaches width - 3 the caret stays at the right
    // edge (x + width - 5) instead of following the text out of the box.
    ClickAt(150, 110);
    timeStep = 0.1f;  // blink phase 0.8: opaque
    Move(151, 110);
    Image focused = Frame();
    EXPECT_GT(CountInk(focused, RECT{175, 102, 178, 128}), 0) << "the caret at the right edge";
    for (int x = 180; x < 260; ++x)
        ASSERT_EQ(focused.At(x, 115), guitest::kClear) << "nothing right of the box at x " << x;
}

// The text's width is taken in the font it is drawn in: text typed under
// another font (or none) is aligned, and its caret placed, by the same width.
TEST_F(GuiTextboxTest, AlignmentAndCaretFollowTheFontTheTextIsDrawnIn)
{
    vGUITextbox* box = AddBox();
    AddOther();
    ClickAt(150, 110);
    Type("ab");
    const int small = box->GetTextWidth();
    manager->Init("Arial", 24);
    const int w = WidthOf("ab");
    ASSERT_GT(w, small + 5) << "the larger font moves the caret by more than its width";
    timeStep = 0.1f;  // blink phase 0.8: opaque
    Move(151, 110);
    Image image = Frame();
    EXPECT_EQ(box->GetTextWidth(), w);
    EXPECT_GT(CountInk(image, RECT{100 + w + 2, 102, 100 + w + 5, 128}), 0) << "the caret after the larger text";
    EXPECT_EQ(CountInk(image, RECT{100 + w + 8, 102, 298, 128}), 0) << "nothing right of the caret";
}

TEST_F(GuiTextboxTest, TextTypedBeforeTheManagerHasAFontIsAlignedByItsWidthOnceItHasOne)
{
    // A manager without a font yet, fed by the window procedure as before.
    delete manager;
    manager = new vGUIManager;
    manager->SetTwoDee(&twoDee);
    vGUITextbox* box = AddBox(80);  // interior x 102 ... 177
    AddOther();
    ClickAt(150, 110);
    Type("mmmmmmmmmmmm   ");
    EXPECT_EQ(box->GetTextWidth(), 0) << "no font, no width";

    manager->Init("Arial", 16);
    const int spaces = 3 * manager->GetFont()->GetFontCharWidth(' ');
    ASSERT_GE(spaces, 6);
    ASSERT_GT(WidthOf("mmmmmmmmmmmm   "), 80 + 20) << "wider than the box in the font";
    ClickAt(610, 110);  // no caret, so any ink is text
    Image image = Frame();
    EXPECT_EQ(box->GetTextWidth(), WidthOf("mmmmmmmmmmmm   "));
    EXPECT_EQ(CountInk(image, RECT{178 - spaces + 2, 102, 178, 128}), 0) << "right-aligned: the spaces at the edge";
    EXPECT_GT(CountInk(image, RECT{140, 102, 178 - spaces - 2, 128}), 0);

    ClickAt(150, 110);
    timeStep = 0.1f;
    Move(151, 110);
    Image focused = Frame();
    EXPECT_GT(CountInk(focused, RECT{175, 102, 178, 128}), 0) << "the caret at the right edge, with the text's end";
}

TEST_F(GuiTextboxTest, TwoHundredCharactersKeep127)
{
    vGUITextbox* box = AddBox();
    ClickAt(150, 110);
    Type(std::string(200, 'a').c_str());
    EXPECT_EQ(TextOf(box), std::string(127, 'a'));
    EXPECT_EQ(box->GetTextWidth(), 127 * WidthOf("a"));
    TypeUnit(8);
    Type("b");
    EXPECT_EQ(TextOf(box), std::string(126, 'a') + "b");
    Frame();  // draws without reading past the buffer
}

TEST_F(GuiTextboxTest, CharacterRules)
{
    vGUITextbox* box = AddBox();
    ClickAt(150, 110);
    TypeUnit(8);  // backspace on an empty box
    EXPECT_EQ(TextOf(box), "");
    EXPECT_EQ(box->GetTextWidth(), 0);
    for (unsigned int ignored : {1u, 7u, 9u, 10u, 13u, 27u, 29u, 167u}) TypeUnit(ignored);
    EXPECT_EQ(TextOf(box), "");
    TypeUnit(30);
    TypeUnit(127);
    Type("x");
    EXPECT_EQ(TextOf(box), "\x1e\x7fx");
    TypeUnit(8);
    TypeUnit(8);
    TypeUnit(8);
    TypeUnit(8);
    EXPECT_EQ(TextOf(box), "");
    EXPECT_EQ(box->GetTextWidth(), 0);

    // Characters above 255 read back as '?'; each call gives a fresh string.
    Type("\xc3\xa9\xe2\x82\xac!");  // e acute, euro sign, '!'
    EXPECT_EQ(TextOf(box), "\xe9?!");
    std::unique_ptr<char[]> a(box->GetText()), b(box->GetText());
    EXPECT_NE(a.get(), b.get());

    box->ClearText();
    EXPECT_EQ(TextOf(box), "");
    EXPECT_EQ(box->GetTextWidth(), 0);
}

TEST_F(GuiTextboxTest, AddTextboxPutsItsTextIntoTheBox)
{
    char hello[] = "Hello";
    vGUITextbox* box = AddBox(200, hello);
    EXPECT_EQ(TextOf(box), "Hello");
    EXPECT_EQ(box->GetTextWidth(), WidthOf("Hello"));
    EXPECT_GT(CountInk(Frame(), RECT{102, 102, 100 + WidthOf("Hello"), 128}), 20);
    EXPECT_EQ(TextOf(AddBox(200, nullptr)), "");
}

}  // namespace

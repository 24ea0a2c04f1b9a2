// Screen text through the D3DX font: where the ink lands, line breaks,
// character widths, creation failure and the font's lifetime.
#include <EngineFixture.h>

#include "vSimpleFont.h"

namespace {

using rendertest::EngineFixture;
using rendertest::Extent;
using rendertest::FindColor;
using rendertest::Image;

// Pixels darker than mid grey on a white screen.
Extent FindInk(const Image& image, int left = 0, int top = 0, int right = -1, int bottom = -1)
{
    if (right < 0) right = image.width - 1;
    if (bottom < 0) bottom = image.height - 1;
    Extent e;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            const uint32_t c = image.At(x, y);
            if (rendertest::Channel(c, 16) < 128 && rendertest::Channel(c, 8) < 128 &&
                rendertest::Channel(c, 0) < 128) {
                if (e.count == 0 || x < e.left) e.left = x;
                if (e.count == 0 || y < e.top) e.top = y;
                if (x > e.right) e.right = x;
                if (y > e.bottom) e.bottom = y;
                ++e.count;
            }
        }
    return e;
}

class FontTest : public EngineFixture {
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        if (IsSkipped()) return;
        ASSERT_EQ(font.InitFont(40, "Arial", 0, 900, false), S_OK);
        ASSERT_NE(font.GetFont(), nullptr);
    }
    void ReleaseResources() override { font = vSimpleFont(); }
    vSimpleFont font;
};

TEST_F(FontTest, FormattedScoreInBlackFromItsCorner)
{
    BeginFrame(D3DXCOLOR(1, 1, 1, 1));
    font.DrawTextSprintf(7, 372, 0xFF000000, "Score: %d", 120);
    Image image = rendertest::ReadRenderTarget();
    ASSERT_FALSE(image.Empty());
    Extent ink = FindInk(image);
    ASSERT_GT(ink.count, 50);
    EXPECT_GE(ink.left, 7);
    EXPECT_LE(ink.left, 7 + 8);  // the S sits at the pen's start
    EXPECT_GE(ink.top, 372);
    EXPECT_LE(ink.top, 372 + 16);  // cap height below the line's top
    EXPECT_LT(ink.bottom, 372 + 48);
    // "Score: 120" at 40 pixels is wider than five capitals.
    EXPECT_GT(ink.right - ink.left, 100);
    // The ink is opaque black.
    EXPECT_GT(FindColor(image, 0x000000, 0).count, 20);

    // The same text through DrawTextA lands on the same pixels.
    BeginFrame(D3DXCOLOR(1, 1, 1, 1));
    font.DrawTextA("Score: 120", 7, 372, 0xFF000000);
    Image again = rendertest::ReadRenderTarget();
    EXPECT_EQ(again.pixels, image.pixels);
}

TEST_F(FontTest, ALineFeedStartsTheNextLineAtTheSameX)
{
    BeginFrame(D3DXCOLOR(1, 1, 1, 1));
    font.DrawTextA("HH\nHH", 100, 100, 0xFF000000);
    Image image = rendertest::ReadRenderTarget();
    Extent all = FindInk(image);
    ASSERT_GT(all.count, 0);
    const int middle = (all.top + all.bottom) / 2;
    Extent first = FindInk(image, 0, 0, -1, middle);
    Extent second = FindInk(image, 0, middle + 1);
    ASSERT_GT(first.count, 0);
    ASSERT_GT(second.count, 0);
    EXPECT_NEAR(first.left, second.left, 1);
    EXPECT_NEAR(first.right, second.right, 1);
    EXPECT_GT(second.top - first.top, 30);  // about one line height further down
}

TEST_F(FontTest, CharacterWidthsComeFromTheFont)
{
    const int w = font.GetFontCharWidth('W');
    const int i = font.GetFontCharWidth('i');
    EXPECT_GT(i, 0);
    EXPECT_GT(w, i);
    EXPECT_EQ(font.GetFontCharWidth('W'), w);
}

TEST_F(FontTest, CopiesShareTheFontAndLongTextIsCutOff)
{
    ID3DXFont* raw = font.GetFont();
    {
        vSimpleFont copy(font);
        vSimpleFont assigned;
        assigned = font;
        EXPECT_EQ(copy.GetFont(), raw);
        raw->AddRef();
        EXPECT_EQ(raw->Release(), 3u);
    }
    raw->AddRef();
    EXPECT_EQ(raw->Release(), 1u);

    // Far past the 1024-byte buffer: drawn cut short, nothing overrun.
    std::string longText(5000, 'x');
    BeginFrame(D3DXCOLOR(1, 1, 1, 1));
    font.DrawTextSprintf(0, 0, 0xFF000000, "%s", longText.c_str());

    // A second InitFont replaces the font.
    raw->AddRef();
    ASSERT_EQ(font.InitFont(20, "Arial", 0, 400, true), S_OK);
    EXPECT_EQ(raw->Release(), 0u);
}

TEST(FontWithoutDevice, CreationFailureShowsTheBoxAndReturnsTheFailure)
{
    win32test::ClearMessageBoxLog();
    ASSERT_EQ(objDevice, nullptr);
    vSimpleFont font;
    EXPECT_LT(font.InitFont(72, "Arial", 0, 900, false), 0);
    ASSERT_EQ(win32test::MessageBoxLog().size(), 1u);
    EXPECT_EQ(win32test::MessageBoxLog()[0], "HAD!: BLAHABABAHA!");
    EXPECT_EQ(font.GetFont(), nullptr);
    // Drawing and measuring without a font do nothing.
    font.DrawTextA("x", 0, 0, 0);
    font.DrawTextSprintf(0, 0, 0, "%d", 1);
    EXPECT_EQ(font.GetFontCharWidth('x'), 0);
}

}  // namespace

// The frame cycle: the frame-rate and window-size lines, debug text colour and
// bounds, and the frustum planes that Clear rebuilds.
#include "CoreEngineFixture.h"

#include <cmath>
#include <string>

#include "vCamera.h"

using namespace rendertest;

namespace {

// True when the w x h block at (x0, y0) of a equals the one at (x1, y1).
bool SameBlock(const Image& a, int x0, int y0, int x1, int y1, int w, int h)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (a.Argb(x0 + x, y0 + y) != a.Argb(x1 + x, y1 + y)) return false;
    return true;
}

int InkedPixels(const Image& image, int x0, int y0, int w, int h, uint32_t background)
{
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) n += image.Argb(x, y) != background;
    return n;
}

class FrameCycle : public EngineTest {
protected:
    // One frame: reference text drawn by the test at (x, 120), then Present
    // draws its own lines at the top. Returns what was presented.
    Image FrameWithReference(const char* reference, int x)
    {
        EXPECT_EQ(engine->Clear(), S_OK);
        engine->DebugText(reference, x, 120);
        EXPECT_EQ(engine->Present(), S_OK);
        return ReadPresentedClient(hwnd);
    }

    // The FPS line at the top equals the reference line.
    bool ShowsFps(const Image& image) { return SameBlock(image, 0, 0, 0, 120, 140, 20); }
};

enum class BoxSide { Inside, Outside, Crossing };

BoxSide Classify(D3DXVECTOR3 centre, float half)
{
    bool crossing = false;
    for (TFrustumPlane& plane : ev_frustumPlanes) {
        int outside = 0;
        for (int i = 0; i < 8; ++i) {
            D3DXVECTOR3 corner(centre.x + ((i & 1) ? half : -half), centre.y + ((i & 2) ? half : -half),
                               centre.z + ((i & 4) ? half : -half));
            outside += plane.DistanceToPoint(corner) > 0.0f;
        }
        if (outside == 8) return BoxSide::Outside;
        if (outside > 0) crossing = true;
    }
    return crossing ? BoxSide::Crossing : BoxSide::Inside;
}

}  // namespace

TEST_F(FrameCycle, FpsLineLagsOneSample)
{
    win32test::UseVirtualClock(true);
    win32test::SetVirtualTimeMs(100000);
    engine->m_showWindowSize = false;

    // The very first frame shows 0.
    Image image = FrameWithReference("FPS: 0", 0);
    ASSERT_EQ(image.width, kClientWidth);
    EXPECT_GT(InkedPixels(image, 0, 0, 140, 20, image.Argb(300, 200)), 20) << "no FPS line drawn";
    EXPECT_TRUE(ShowsFps(image)) << "first frame";

    // The rest of the first second shows 1 (the first frame sampled alone).
    for (int frame = 0; frame < 24; ++frame) {
        win32test::AdvanceVirtualTimeMs(40.0);
        image = FrameWithReference("FPS: 1", 0);
        EXPECT_TRUE(ShowsFps(image)) << "frame " << frame;
    }
    // 24 frames counted so far. The 25th, at exactly one second, is not past
    // the sample time yet; the 26th is, and takes the sample.
    win32test::AdvanceVirtualTimeMs(40.0);
    image = FrameWithReference("FPS: 1", 0);
    EXPECT_TRUE(ShowsFps(image));
    win32test::AdvanceVirtualTimeMs(40.0);
    image = FrameWithReference("FPS: 1", 0);
    EXPECT_TRUE(ShowsFps(image));
    win32test::AdvanceVirtualTimeMs(40.0);
    image = FrameWithReference("FPS: 26", 0);
    EXPECT_TRUE(ShowsFps(image)) << "the count of the second before";
    // And not the count of the current second.
    EXPECT_FALSE(SameBlock(FrameWithReference("FPS: 1", 0), 0, 0, 0, 120, 140, 20));
}

TEST_F(FrameCycle, WindowSizeLine)
{
    engine->m_showFps = false;
    engine->m_showWindowSize = true;
    Image image = FrameWithReference("Window Size: 320 : 240", 150);
    EXPECT_TRUE(SameBlock(image, 150, 0, 150, 120, kClientWidth - 150, 20));
    EXPECT_GT(InkedPixels(image, 150, 0, kClientWidth - 150, 20, image.Argb(300, 200)), 20);
    // Nothing at the FPS position.
    EXPECT_EQ(InkedPixels(image, 0, 0, 140, 20, image.Argb(300, 200)), 0);

    engine->m_showWindowSize = false;
    image = FrameWithReference("", 0);
    EXPECT_EQ(InkedPixels(image, 0, 0, kClientWidth, 20, image.Argb(300, 200)), 0);
}

TEST_F(FrameCycle, DebugTextIsTheNegativeOfTheClearColour)
{
    engine->m_showFps = false;
    engine->m_showWindowSize = false;
    struct Case {
        D3DXCOLOR clear;
        uint32_t text;
    } cases[] = {
        {D3DXCOLOR(0.7f, 0.7f, 1.0f, 1.0f), 0xFF4D4D00u},                  // (0.3, 0.3, 0.0)
        {D3DXCOLOR(0.7265625f, 0.59375f, 0.4765625f, 1.0f), 0xFF466885u},  // (0.2734, 0.4063, 0.5234)
    };
    for (const Case& c : cases) {
        engine->SetBackColor(c.clear);
        ASSERT_EQ(engine->Clear(), S_OK);
        engine->DebugText("@@@@ |||| MMMM ####", 10, 40);
        ASSERT_EQ(engine->Present(), S_OK);
        Image image = ReadPresentedClient(hwnd);
        uint32_t background = image.Argb(5, 5);
        EXPECT_EQ(background, (uint32_t)(D3DCOLOR)c.clear);
        // The inked pixel furthest from the background is the text colour
        // (fully covered), and the text is opaque: no pixel overshoots it.
        uint32_t darkest = background;
        int far = 0;
        for (int y = 36; y < 70; ++y)
            for (int x = 8; x < kClientWidth; ++x) {
                int d = ColorDistance(image.Argb(x, y), background);
                if (d > far) {
                    far = d;
                    darkest = image.Argb(x, y);
                }
            }
        EXPECT_LE(ColorDistance(darkest, c.text), 3) << std::hex << darkest << " expected " << c.text;
    }
}

TEST_F(FrameCycle, FormattedTextIsCutAtTheBuffer)
{
    engine->m_showFps = false;
    engine->m_showWindowSize = false;
    // 1000 spaces, a line break, then 40 letters: only 22 of them fit the
    // 1024-byte buffer with its terminator.
    std::string text(1000, ' ');
    text += '\n';
    text += std::string(40, 'W');
    std::string fitting = text.substr(0, 1023);

    ASSERT_EQ(engine->Clear(), S_OK);
    engine->DebugTextSprintf(0, 0, "%s", text.c_str());
    engine->DebugText(fitting.c_str(), 0, 120);
    ASSERT_EQ(engine->Present(), S_OK);
    Image image = ReadPresentedClient(hwnd);
    uint32_t background = image.Argb(kClientWidth - 1, 100);
    EXPECT_GT(InkedPixels(image, 0, 18, kClientWidth, 24, background), 50);
    EXPECT_TRUE(SameBlock(image, 0, 0, 0, 120, kClientWidth, 44));
}

TEST_F(FrameCycle, FrustumPlanesFromViewAndProjection)
{
    vCamera camera;
    camera.SetLookAt(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 1));
    ASSERT_EQ(engine->Clear(), S_OK);

    // Unit normals pointing out of the volume.
    for (TFrustumPlane& plane : ev_frustumPlanes)
        EXPECT_NEAR(std::sqrt(plane.a * plane.a + plane.b * plane.b + plane.c * plane.c), 1.0f, 1e-5f);
    EXPECT_LT(ev_frustumPlanes[0].a, 0.0f);  // left
    EXPECT_GT(ev_frustumPlanes[1].a, 0.0f);  // right
    EXPECT_GT(ev_frustumPlanes[2].b, 0.0f);  // top
    EXPECT_LT(ev_frustumPlanes[3].b, 0.0f);  // bottom
    EXPECT_LT(ev_frustumPlanes[4].c, 0.0f);  // near
    EXPECT_GT(ev_frustumPlanes[5].c, 0.0f);  // far

    EXPECT_EQ(Classify(D3DXVECTOR3(0, 0, 5), 0.5f), BoxSide::Inside);
    EXPECT_EQ(Classify(D3DXVECTOR3(0, 0, -5), 0.5f), BoxSide::Outside);
    EXPECT_GT(ev_frustumPlanes[4].DistanceToPoint(D3DXVECTOR3(0, 0, -1)), 0.0f);
    // The left edge at depth 10 lies at x = -10 / xScale.
    float edge = -10.0f / ev_matrix3DProj._11;
    EXPECT_EQ(Classify(D3DXVECTOR3(edge, 0, 10), 0.5f), BoxSide::Crossing);
    EXPECT_EQ(Classify(D3DXVECTOR3(edge - 1.0f, 0, 10), 0.4f), BoxSide::Outside);
    EXPECT_EQ(Classify(D3DXVECTOR3(0, 0, 20000), 1.0f), BoxSide::Outside);

    // The near plane is clip z = -w: about half the near distance.
    const float q = 9999.0f / 9998.0f;
    EXPECT_NEAR(-ev_frustumPlanes[4].d / ev_frustumPlanes[4].c, q / (q + 1.0f), 1e-4f);
    EXPECT_GT(ev_frustumPlanes[4].DistanceToPoint(D3DXVECTOR3(0, 0, 0.45f)), 0.0f);
    EXPECT_LT(ev_frustumPlanes[4].DistanceToPoint(D3DXVECTOR3(0, 0, 0.55f)), 0.0f);
    ASSERT_EQ(engine->Present(), S_OK);

    // A camera turned around sees the other box from the next Clear on.
    camera.SetLookAt(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, -1));
    EXPECT_EQ(Classify(D3DXVECTOR3(0, 0, 5), 0.5f), BoxSide::Inside);
    ASSERT_EQ(engine->Clear(), S_OK);
    EXPECT_EQ(Classify(D3DXVECTOR3(0, 0, 5), 0.5f), BoxSide::Outside);
    EXPECT_EQ(Classify(D3DXVECTOR3(0, 0, -5), 0.5f), BoxSide::Inside);
    ASSERT_EQ(engine->Present(), S_OK);
}

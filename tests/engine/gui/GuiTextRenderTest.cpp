// The manager's text drawing on a real device: the font made by Init draws
// the text inside its rectangle, in the converted colour, and clips to it.
#include <gtest/gtest.h>

#include <RenderFixture.h>

using rendertest::RenderTestDevice;

#include <cstdlib>

#include "vEngine.h"
#include "vGUIManager.h"

namespace {

int CountNear(const std::vector<uint32_t>& pixels, int width, RECT r, uint32_t colour)
{
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const uint32_t p = pixels[size_t(y) * width + x];
            bool near = true;
            for (int s = 0; s < 24; s += 8)
                near = near && std::abs(int((p >> s) & 0xFF) - int((colour >> s) & 0xFF)) <= 16;
            n += near;
        }
    return n;
}

class GuiTextRender : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_RENDER_DEVICE(dev);
        savedDevice = objDevice;
        objDevice = dev.device();
        m_engineVars.width = dev.width();
        m_engineVars.height = dev.height();
    }
    void TearDown() override
    {
        if (dev.ok()) objDevice = savedDevice;
    }
    RenderTestDevice dev{200, 100};
    IDirect3DDevice9* savedDevice = nullptr;
};

TEST_F(GuiTextRender, DrawGWTextDrawsInsideItsRectangleInTheGivenColour)
{
    vGUIManager manager;
    manager.Init("Arial", 32);
    ASSERT_NE(manager.GetFont()->GetFont(), nullptr);
    EXPECT_EQ(manager.GetFontSize(), 32);

    IDirect3DDevice9* d = dev.device();
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    d->BeginScene();
    RECT rect = {10, 10, 60, 60};
    char text[] = "WWWWWWWW";
    manager.DrawGWText(DT_LEFT | DT_TOP, D3DXCOLOR(0.0f, 1.5f, 0.0f, 1.0f), &rect, text);
    RECT wideRect = {10, 60, 190, 100};
    unsigned short wide[] = {'M', 'M', 'M', 0};
    manager.DrawGWWideText(DT_LEFT | DT_TOP, D3DXCOLOR(1.0f, 0.0f, 0.0f, 1.0f), &wideRect, wide);
    d->EndScene();

    UINT w = 0, h = 0;
    const std::vector<uint32_t> pixels = dev.ReadPixels(nullptr, &w, &h);
    ASSERT_EQ(w, 200u);
    EXPECT_GT(CountNear(pixels, 200, rect, 0xFF00FF00), 40) << "green ink inside the rectangle";
    EXPECT_EQ(CountNear(pixels, 200, RECT{60, 0, 200, 60}, 0xFF00FF00), 0) << "clipped at the right edge";
    EXPECT_GT(CountNear(pixels, 200, wideRect, 0xFFFF0000), 40) << "wide text in red";
}

}  // namespace

// The game's window full screen: a click on the screen where a button is
// shown hits the button, the engine's mouse point is the client pixel shown
// there, and a screenshot is the one the window gives.
#include "GuiFixture.h"

#include <Win32DeviceSeam.h>
#include <Win32Display.h>

#include "vMathUtils.h"

#include <fstream>
#include <iterator>

namespace {

using guitest::GuiFixture;

class GuiFullScreenTest : public GuiFixture {
protected:
    int ClientWidth() const override { return 1016; }
    int ClientHeight() const override { return 756; }

    void TearDown() override
    {
        if (hwnd) Win32_SetFullScreen(hwnd, FALSE);
        GuiFixture::TearDown();
    }

    // The screen point at the middle of where client pixel (x, y) is shown.
    POINT Shown(int x, int y) const
    {
        RECT r = {};
        Win32_PresentRect(hwnd, &r);
        const LONG pw = r.right - r.left, ph = r.bottom - r.top;
        return {r.left + (2 * x + 1) * pw / (2 * ClientWidth()), r.top + (2 * y + 1) * ph / (2 * ClientHeight())};
    }

    void ClickOnScreen(POINT p)
    {
        win32test::MouseMoveDrawable(hwnd, p.x, p.y);
        Pump();
        Press();
        Release();
    }

    std::string Bytes(const std::string& file) const
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

TEST_F(GuiFullScreenTest, AClickWhereTheButtonIsShownHitsIt)
{
    vGUIButton* button = manager->AddButton(7, nullptr, POINT{100, 100}, 120, 40, &up, &down, &third);
    ASSERT_NE(button, nullptr);
    Frame();
    ASSERT_EQ(objDevice->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    ASSERT_TRUE(Win32_SetFullScreen(hwnd, TRUE));
    RECT shown = {};
    ASSERT_TRUE(Win32_PresentRect(hwnd, &shown));
    ASSERT_GT(shown.right - shown.left, ClientWidth()) << "the screen is larger than the window";

    const POINT middle = Shown(150, 110);
    EXPECT_NE(middle.x, 150) << "a scaled point, not the client one";
    ClickOnScreen(middle);
    EXPECT_EQ(mouse.x, 150);
    EXPECT_EQ(mouse.y, 110);
    const POINT local = GetLocalMousePos(hwnd, false);
    EXPECT_EQ(local.x, 150);
    EXPECT_EQ(local.y, 110);
    std::vector<guitest::Event> clicks = EventsOf(GUIEVENT_CLICK);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].id, 7u);

    // The last pixels inside and the first outside, where the screen shows them.
    ClickOnScreen(Shown(219, 139));
    EXPECT_EQ(EventsOf(GUIEVENT_CLICK).size(), 2u);
    ClickOnScreen(Shown(220, 120));
    ClickOnScreen(Shown(150, 140));
    EXPECT_EQ(EventsOf(GUIEVENT_CLICK).size(), 2u);
    EXPECT_EQ(Frame().At(160, 120), guitest::kUp) << "the button drawn as in a window";
}

TEST_F(GuiFullScreenTest, AScreenshotIsTheOneTheWindowGives)
{
    manager->AddButton(7, nullptr, POINT{100, 100}, 120, 40, &up, &down, &third);
    Frame();
    ASSERT_EQ(engine->Present(), S_OK);
    const std::string windowed = engine->TakeScreenshot(temp.File("shot"));
    ASSERT_FALSE(windowed.empty());

    ASSERT_TRUE(Win32_SetFullScreen(hwnd, TRUE));
    Frame();
    ASSERT_EQ(engine->Present(), S_OK);
    const std::string full = engine->TakeScreenshot(temp.File("shot"));
    ASSERT_FALSE(full.empty());
    ASSERT_NE(full, windowed);
    EXPECT_EQ(Bytes(full), Bytes(windowed));
}

}  // namespace

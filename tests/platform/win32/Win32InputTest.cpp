// Key state, the cursor display counter, rectangles and strings.
#include "Win32TestWindow.h"

namespace {

using Win32Input = Win32Test;

// GetKeyState answers as of the key messages retrieved so far (Drain takes them).
TEST_F(Win32Input, HeldKeyIsNegativeReleasedKeyIsNot)
{
    OpenWindow();
    EXPECT_GE(GetKeyState('W'), 0);
    win32test::KeyDown('W');
    Drain();
    EXPECT_LT(GetKeyState('W'), 0);
    EXPECT_GE(GetKeyState('S'), 0);
    EXPECT_LT(GetAsyncKeyState('W'), 0);
    win32test::KeyUp('W');
    EXPECT_GE(GetAsyncKeyState('W'), 0);
    Drain();
    EXPECT_GE(GetKeyState('W'), 0);

    win32test::KeyDown(VK_ESCAPE);
    win32test::KeyDown(VK_RETURN);
    Drain();
    EXPECT_LT(GetKeyState(VK_ESCAPE), 0);
    EXPECT_LT(GetKeyState(VK_RETURN), 0);
    win32test::ReleaseAllKeys();
    EXPECT_GE(GetKeyState(VK_ESCAPE), 0);
    EXPECT_GE(GetKeyState(VK_RETURN), 0);
}

TEST_F(Win32Input, ControlFollowsEitherControlKey)
{
    OpenWindow();
    win32test::KeyDown(VK_LCONTROL);
    Drain();
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    EXPECT_LT(GetKeyState(VK_LCONTROL), 0);
    EXPECT_GE(GetKeyState(VK_RCONTROL), 0);
    win32test::KeyDown(VK_RCONTROL);
    win32test::KeyUp(VK_LCONTROL);
    Drain();
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);  // right one still down
    EXPECT_GE(GetKeyState(VK_LCONTROL), 0);
    win32test::KeyUp(VK_RCONTROL);
    Drain();
    EXPECT_GE(GetKeyState(VK_CONTROL), 0);

    // Pressing the generic code presses the left key; Shift behaves alike.
    win32test::KeyDown(VK_CONTROL);
    Drain();
    EXPECT_LT(GetKeyState(VK_LCONTROL), 0);
    win32test::KeyUp(VK_CONTROL);
    win32test::KeyDown(VK_RSHIFT);
    Drain();
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    win32test::KeyUp(VK_RSHIFT);
    Drain();
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);

    // Key messages carry the generic code, and the previous state in bit 30.
    Drain();
    win32test::KeyDown(VK_LCONTROL);
    win32test::KeyDown(VK_LCONTROL);  // auto-repeat
    std::vector<MSG> down = DrainOf(WM_KEYDOWN);
    ASSERT_EQ(down.size(), 2u);
    EXPECT_EQ(down[0].wParam, static_cast<WPARAM>(VK_CONTROL));
    EXPECT_FALSE(down[0].lParam & (1 << 30));
    EXPECT_TRUE(down[1].lParam & (1 << 30));
}

TEST_F(Win32Input, EachPressFlipsTheToggleBit)
{
    OpenWindow();
    SHORT before = GetKeyState(VK_CAPITAL) & 1;
    win32test::KeyDown(VK_CAPITAL);
    win32test::KeyUp(VK_CAPITAL);
    EXPECT_NE(GetKeyState(VK_CAPITAL) & 1, before);
    EXPECT_GE(GetKeyState(VK_CAPITAL), 0);
    win32test::KeyDown(VK_CAPITAL);
    win32test::KeyUp(VK_CAPITAL);
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, before);
}

TEST_F(Win32Input, BadKeyCodesReadAsUp)
{
    EXPECT_EQ(GetKeyState(0), 0);
    EXPECT_EQ(GetKeyState(-5), 0);
    EXPECT_EQ(GetKeyState(256), 0);
    EXPECT_EQ(GetKeyState(100000), 0);
    win32test::KeyDown(300);  // ignored
    win32test::KeyUp(-1);
}

TEST_F(Win32Input, ShowCursorCountsAndAnswersTheCounter)
{
    int start = ShowCursor(TRUE);
    EXPECT_EQ(ShowCursor(TRUE), start + 1);
    EXPECT_EQ(ShowCursor(FALSE), start);
    EXPECT_EQ(ShowCursor(FALSE), start - 1);
    EXPECT_EQ(ShowCursor(FALSE), start - 2);
    ShowCursor(TRUE);
    ShowCursor(TRUE);
    EXPECT_EQ(ShowCursor(FALSE), start - 1);
}

TEST_F(Win32Input, PtInRectIncludesLeftTopExcludesRightBottom)
{
    RECT r;
    ASSERT_TRUE(SetRect(&r, 10, 20, 30, 40));
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right, 30);
    EXPECT_EQ(r.bottom, 40);
    EXPECT_EQ(PtInRect(&r, POINT{10, 20}), 1);
    EXPECT_EQ(PtInRect(&r, POINT{29, 39}), 1);
    EXPECT_EQ(PtInRect(&r, POINT{30, 20}), 0);
    EXPECT_EQ(PtInRect(&r, POINT{10, 40}), 0);
    EXPECT_EQ(PtInRect(&r, POINT{9, 25}), 0);
    EXPECT_EQ(PtInRect(nullptr, POINT{0, 0}), 0);
    EXPECT_FALSE(SetRect(nullptr, 0, 0, 1, 1));
    ASSERT_TRUE(OffsetRect(&r, -10, 5));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.bottom, 45);
    ASSERT_TRUE(SetRectEmpty(&r));
    EXPECT_EQ(PtInRect(&r, POINT{0, 0}), 0);
}

TEST_F(Win32Input, LstrlenCountsBytesAndTakesNull)
{
    EXPECT_EQ(lstrlenA("kMedia\\ball.x"), 13);
    EXPECT_EQ(lstrlenA(""), 0);
    EXPECT_EQ(lstrlenA(nullptr), 0);
}

TEST_F(Win32Input, CursorCallsRejectNullAndUnknownWindows)
{
    EXPECT_FALSE(GetCursorPos(nullptr));
    POINT p = {1, 2};
    HWND w = OpenWindow();
    DestroyWindow(w);
    EXPECT_FALSE(ScreenToClient(w, &p));
    EXPECT_EQ(p.x, 1);  // left alone
    EXPECT_EQ(p.y, 2);
    EXPECT_TRUE(ScreenToClient(GetDesktopWindow(), &p));
    EXPECT_EQ(p.x, 1);
}

}  // namespace

// The SDL controller -> XInput gamepad tables: range, uniqueness, round trip,
// and axis values worked by hand.
#include <PadMap.h>

#include <SDL.h>
#include <gtest/gtest.h>

#include <set>

namespace {

using win32detail::PadAxisEntry;
using win32detail::PadAxisKind;
using win32detail::PadButtonEntry;
using win32test::PadAxis;

TEST(Win32PadMap, EveryDocumentedButtonBitComesFromOneSdlButton)
{
    std::size_t n = 0;
    const PadButtonEntry* t = win32detail::PadButtonTable(&n);
    std::set<int> sdlButtons;
    WORD bits = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const PadButtonEntry& e = t[i];
        EXPECT_GE(e.sdlButton, 0) << e.name;
        EXPECT_LT(e.sdlButton, SDL_CONTROLLER_BUTTON_MAX) << e.name;
        EXPECT_TRUE(sdlButtons.insert(e.sdlButton).second) << e.name << " listed twice";
        EXPECT_EQ(e.xinputButton & (e.xinputButton - 1), 0) << e.name << " is not one bit";
        EXPECT_EQ(bits & e.xinputButton, 0) << e.name << " shares a bit";
        bits |= e.xinputButton;
        EXPECT_EQ(win32detail::XInputButtonFromSdl(e.sdlButton), e.xinputButton) << e.name;
        EXPECT_EQ(win32detail::SdlButtonFromXInput(e.xinputButton), e.sdlButton) << e.name;
    }
    EXPECT_EQ(bits, 0xF3FF);  // all fourteen; 0x0400 and 0x0800 are reserved
    for (int b : {SDL_CONTROLLER_BUTTON_GUIDE, SDL_CONTROLLER_BUTTON_MISC1, SDL_CONTROLLER_BUTTON_PADDLE1,
                  SDL_CONTROLLER_BUTTON_TOUCHPAD, SDL_CONTROLLER_BUTTON_INVALID})
        EXPECT_EQ(win32detail::XInputButtonFromSdl(b), 0) << b;
    EXPECT_EQ(win32detail::SdlButtonFromXInput(0x0400), SDL_CONTROLLER_BUTTON_INVALID);
    EXPECT_EQ(win32detail::SdlButtonFromXInput(XINPUT_GAMEPAD_A | XINPUT_GAMEPAD_B), SDL_CONTROLLER_BUTTON_INVALID);
}

TEST(Win32PadMap, EveryAxisOnceBothWays)
{
    std::size_t n = 0;
    const PadAxisEntry* t = win32detail::PadAxisTable(&n);
    ASSERT_EQ(n, static_cast<std::size_t>(SDL_CONTROLLER_AXIS_MAX));
    std::set<int> sdlAxes, padAxes;
    for (std::size_t i = 0; i < n; ++i) {
        const PadAxisEntry& e = t[i];
        EXPECT_GE(e.sdlAxis, 0) << e.name;
        EXPECT_LT(e.sdlAxis, SDL_CONTROLLER_AXIS_MAX) << e.name;
        EXPECT_TRUE(sdlAxes.insert(e.sdlAxis).second) << e.name;
        EXPECT_TRUE(padAxes.insert(static_cast<int>(e.axis)).second) << e.name;
        EXPECT_EQ(win32detail::PadAxisFromSdl(e.sdlAxis), &e) << e.name;
        EXPECT_EQ(win32detail::PadAxisEntryFor(e.axis), &e) << e.name;
    }
    EXPECT_EQ(win32detail::PadAxisFromSdl(SDL_CONTROLLER_AXIS_INVALID), nullptr);
}

// SDL's Y axes grow downwards; XInput's grow upwards.
TEST(Win32PadMap, AxisValuesWorkedByHand)
{
    auto value = [](int sdlAxis, int sdlValue) {
        return win32detail::XInputAxisValue(win32detail::PadAxisFromSdl(sdlAxis)->kind, sdlValue);
    };
    EXPECT_EQ(value(SDL_CONTROLLER_AXIS_LEFTX, 32767), 32767);
    EXPECT_EQ(value(SDL_CONTROLLER_AXIS_LEFTX, -32768), -32768);
    EXPECT_EQ(value(SDL_CONTROLLER_AXIS_RIGHTX, 0), 0);
    EXPECT_EQ(value(SDL_CONTROLLER_AXIS_LEFTY, -32768), 32767);  // fully up, clamped
    EXPECT_EQ(value(SDL_CONTROLLER_AXIS_LEFTY, 32767), -32767);  // fully down
    EXPECT_EQ(value(SDL_CONTROLLER_AXIS_RIGHTY, -16384), 16384);
    EXPECT_EQ(value(SDL_CONTROLLER_AXIS_RIGHTY, 0), 0);
    EXPECT_EQ(value(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 0), 0);
    EXPECT_EQ(value(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767), 255);
    EXPECT_EQ(value(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 16384), 128);  // 127.504
    EXPECT_EQ(value(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 128), 1);      // 0.996
    EXPECT_EQ(value(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 64), 0);       // 0.498
    EXPECT_EQ(value(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -5), 0);
}

}  // namespace

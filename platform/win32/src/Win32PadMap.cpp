// SDL game controller -> XInput gamepad tables.
#include "PadMap.h"

#include <SDL.h>

#include <algorithm>

namespace win32detail {
namespace {

using win32test::PadAxis;

#define BUTTON(sdl, xinput)                                        \
    {                                                              \
        SDL_CONTROLLER_BUTTON_##sdl, XINPUT_GAMEPAD_##xinput, #sdl \
    }

// GUIDE, MISC1, the paddles and the touchpad have no documented bit.
const PadButtonEntry kButtons[] = {
    BUTTON(DPAD_UP, DPAD_UP),
    BUTTON(DPAD_DOWN, DPAD_DOWN),
    BUTTON(DPAD_LEFT, DPAD_LEFT),
    BUTTON(DPAD_RIGHT, DPAD_RIGHT),
    BUTTON(START, START),
    BUTTON(BACK, BACK),
    BUTTON(LEFTSTICK, LEFT_THUMB),
    BUTTON(RIGHTSTICK, RIGHT_THUMB),
    BUTTON(LEFTSHOULDER, LEFT_SHOULDER),
    BUTTON(RIGHTSHOULDER, RIGHT_SHOULDER),
    BUTTON(A, A),
    BUTTON(B, B),
    BUTTON(X, X),
    BUTTON(Y, Y),
};

#undef BUTTON

#define AXIS(sdl, axis, kind)                                             \
    {                                                                     \
        SDL_CONTROLLER_AXIS_##sdl, PadAxis::axis, PadAxisKind::kind, #sdl \
    }

const PadAxisEntry kAxes[] = {
    AXIS(LEFTX, LeftThumbX, Thumb),             // right positive in both
    AXIS(LEFTY, LeftThumbY, ThumbUp),           // SDL's grows downwards
    AXIS(RIGHTX, RightThumbX, Thumb),           // right positive in both
    AXIS(RIGHTY, RightThumbY, ThumbUp),         // SDL's grows downwards
    AXIS(TRIGGERLEFT, LeftTrigger, Trigger),    // SDL's 0..32767
    AXIS(TRIGGERRIGHT, RightTrigger, Trigger),  // SDL's 0..32767
};

#undef AXIS

constexpr int kSdlAxisMax = 32767;
constexpr int kTriggerMax = 255;

}  // namespace

const PadButtonEntry* PadButtonTable(std::size_t* count)
{
    if (count) *count = sizeof(kButtons) / sizeof(kButtons[0]);
    return kButtons;
}

const PadAxisEntry* PadAxisTable(std::size_t* count)
{
    if (count) *count = sizeof(kAxes) / sizeof(kAxes[0]);
    return kAxes;
}

WORD XInputButtonFromSdl(int sdlButton)
{
    for (const PadButtonEntry& e : kButtons)
        if (e.sdlButton == sdlButton) return e.xinputButton;
    return 0;
}

int SdlButtonFromXInput(WORD xinputButton)
{
    for (const PadButtonEntry& e : kButtons)
        if (e.xinputButton == xinputButton) return e.sdlButton;
    return SDL_CONTROLLER_BUTTON_INVALID;
}

const PadAxisEntry* PadAxisFromSdl(int sdlAxis)
{
    for (const PadAxisEntry& e : kAxes)
        if (e.sdlAxis == sdlAxis) return &e;
    return nullptr;
}

const PadAxisEntry* PadAxisEntryFor(PadAxis axis)
{
    for (const PadAxisEntry& e : kAxes)
        if (e.axis == axis) return &e;
    return nullptr;
}

int XInputAxisValue(PadAxisKind kind, int sdlValue)
{
    switch (kind) {
        case PadAxisKind::Thumb:
            return std::clamp(sdlValue, -32768, 32767);
        case PadAxisKind::ThumbUp:
            return std::clamp(-sdlValue, -32768, 32767);
        case PadAxisKind::Trigger:
            sdlValue = std::clamp(sdlValue, 0, kSdlAxisMax);
            return (sdlValue * kTriggerMax + kSdlAxisMax / 2) / kSdlAxisMax;
    }
    return 0;
}

int SdlAxisValue(PadAxisKind kind, int xinputValue)
{
    // A thumb's way is its own way back.
    if (kind != PadAxisKind::Trigger) return XInputAxisValue(kind, xinputValue);
    // The middle of the SDL values that round to it.
    xinputValue = std::clamp(xinputValue, 0, kTriggerMax);
    return (xinputValue * kSdlAxisMax + kTriggerMax / 2) / kTriggerMax;
}

int GamepadAxis(const XINPUT_GAMEPAD& gamepad, PadAxis axis)
{
    switch (axis) {
        case PadAxis::LeftThumbX:
            return gamepad.sThumbLX;
        case PadAxis::LeftThumbY:
            return gamepad.sThumbLY;
        case PadAxis::RightThumbX:
            return gamepad.sThumbRX;
        case PadAxis::RightThumbY:
            return gamepad.sThumbRY;
        case PadAxis::LeftTrigger:
            return gamepad.bLeftTrigger;
        case PadAxis::RightTrigger:
            return gamepad.bRightTrigger;
    }
    return 0;
}

void SetGamepadAxis(XINPUT_GAMEPAD& gamepad, PadAxis axis, int value)
{
    switch (axis) {
        case PadAxis::LeftThumbX:
            gamepad.sThumbLX = static_cast<SHORT>(value);
            break;
        case PadAxis::LeftThumbY:
            gamepad.sThumbLY = static_cast<SHORT>(value);
            break;
        case PadAxis::RightThumbX:
            gamepad.sThumbRX = static_cast<SHORT>(value);
            break;
        case PadAxis::RightThumbY:
            gamepad.sThumbRY = static_cast<SHORT>(value);
            break;
        case PadAxis::LeftTrigger:
            gamepad.bLeftTrigger = static_cast<BYTE>(value);
            break;
        case PadAxis::RightTrigger:
            gamepad.bRightTrigger = static_cast<BYTE>(value);
            break;
    }
}

}  // namespace win32detail

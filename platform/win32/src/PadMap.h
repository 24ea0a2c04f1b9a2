// SDL game controller buttons and axes -> the XInput gamepad's. Internal to
// the layer; tests read the tables.
#pragma once

#include <Win32TestSeam.h>  // PadAxis names XINPUT_GAMEPAD's axes
#include <xinput.h>

#include <cstddef>

namespace win32detail {

struct PadButtonEntry {
    int sdlButton;      // SDL_GameControllerButton
    WORD xinputButton;  // one XINPUT_GAMEPAD_* bit
    const char* name;   // the SDL button's name, for messages and tests
};

// How an SDL axis value becomes the XINPUT_GAMEPAD field's.
enum class PadAxisKind {
    Thumb,    // -32768..32767 as it is
    ThumbUp,  // SDL's Y axes grow downwards, XInput's upwards: negated, -(-32768) clamped to 32767
    Trigger,  // 0..32767 -> 0..255, rounded
};

struct PadAxisEntry {
    int sdlAxis;  // SDL_GameControllerAxis
    win32test::PadAxis axis;
    PadAxisKind kind;
    const char* name;
};

const PadButtonEntry* PadButtonTable(std::size_t* count);
const PadAxisEntry* PadAxisTable(std::size_t* count);
WORD XInputButtonFromSdl(int sdlButton);          // 0 for a button XInput has no bit for (guide, paddles, ...)
int SdlButtonFromXInput(WORD xinputButton);       // -1 unless xinputButton is one bit of the table
const PadAxisEntry* PadAxisFromSdl(int sdlAxis);  // NULL for an axis XInput lacks
const PadAxisEntry* PadAxisEntryFor(win32test::PadAxis axis);  // never NULL for a PadAxis value

// An SDL axis value in the XINPUT_GAMEPAD field's range, and back: the SDL
// value that reads as xinputValue (clamped to the field's range first; an
// upward thumb has no SDL value that reads -32768 and gives -32767's).
int XInputAxisValue(PadAxisKind kind, int sdlValue);
int SdlAxisValue(PadAxisKind kind, int xinputValue);

// The field of XINPUT_GAMEPAD an axis names.
int GamepadAxis(const XINPUT_GAMEPAD& gamepad, win32test::PadAxis axis);
void SetGamepadAxis(XINPUT_GAMEPAD& gamepad, win32test::PadAxis axis, int value);  // value in the field's range

}  // namespace win32detail

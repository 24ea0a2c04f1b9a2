// The Win32 gamepad calls (XInput 1.x) with their names and values, over
// the system's game controllers. Up to four pads; a pad's user index is its
// slot, given in the order pads are connected, and a pad unplugged frees its
// slot for the next one. Pads plugged in while the program runs are found by
// the message pump (PeekMessageA) and by every call here.
//
// No pad, or no game controller support at all, is a normal case: every
// index answers ERROR_DEVICE_NOT_CONNECTED and nothing else changes.
#pragma once

#include <windows.h>

#define XUSER_MAX_COUNT 4  // the most pads at once: user indices 0 .. 3

// XINPUT_GAMEPAD.wButtons bits. 0x0400 and 0x0800 are reserved and never set.
#define XINPUT_GAMEPAD_DPAD_UP 0x0001
#define XINPUT_GAMEPAD_DPAD_DOWN 0x0002
#define XINPUT_GAMEPAD_DPAD_LEFT 0x0004
#define XINPUT_GAMEPAD_DPAD_RIGHT 0x0008
#define XINPUT_GAMEPAD_START 0x0010
#define XINPUT_GAMEPAD_BACK 0x0020
#define XINPUT_GAMEPAD_LEFT_THUMB 0x0040
#define XINPUT_GAMEPAD_RIGHT_THUMB 0x0080
#define XINPUT_GAMEPAD_LEFT_SHOULDER 0x0100
#define XINPUT_GAMEPAD_RIGHT_SHOULDER 0x0200
#define XINPUT_GAMEPAD_A 0x1000
#define XINPUT_GAMEPAD_B 0x2000
#define XINPUT_GAMEPAD_X 0x4000
#define XINPUT_GAMEPAD_Y 0x8000

// Thresholds the caller applies; the state is reported without a dead zone.
#define XINPUT_GAMEPAD_LEFT_THUMB_DEADZONE 7849
#define XINPUT_GAMEPAD_RIGHT_THUMB_DEADZONE 8689
#define XINPUT_GAMEPAD_TRIGGER_THRESHOLD 30

// XInputGetCapabilities: flags, device type and subtype.
#define XINPUT_FLAG_GAMEPAD 0x00000001
#define XINPUT_DEVTYPE_GAMEPAD 0x01
#define XINPUT_DEVSUBTYPE_GAMEPAD 0x01
#define XINPUT_CAPS_FFB_SUPPORTED 0x0001
#define XINPUT_CAPS_WIRELESS 0x0002
#define XINPUT_CAPS_VOICE_SUPPORTED 0x0004
#define XINPUT_CAPS_PMD_SUPPORTED 0x0008
#define XINPUT_CAPS_NO_NAVIGATION 0x0010

// The pad's buttons, triggers and thumbsticks at one moment.
struct XINPUT_GAMEPAD {
    WORD wButtons;       // XINPUT_GAMEPAD_* bits of the buttons held
    BYTE bLeftTrigger;   // 0 released .. 255 fully pressed
    BYTE bRightTrigger;  // the same for the right trigger
    SHORT sThumbLX;      // -32768 .. 32767, 0 centred; positive is right
    SHORT sThumbLY;      // positive is up
    SHORT sThumbRX;      // as sThumbLX, for the right stick
    SHORT sThumbRY;      // as sThumbLY, for the right stick
};
typedef XINPUT_GAMEPAD* PXINPUT_GAMEPAD;  // pointer to an XINPUT_GAMEPAD

// What XInputGetState reports for one pad.
struct XINPUT_STATE {
    DWORD dwPacketNumber;    // changes when, and only when, Gamepad has changed since the last call
    XINPUT_GAMEPAD Gamepad;  // the buttons, triggers and sticks
};
typedef XINPUT_STATE* PXINPUT_STATE;  // pointer to an XINPUT_STATE

// The two motor speeds of a pad's rumble (XInputSetState).
struct XINPUT_VIBRATION {
    WORD wLeftMotorSpeed;   // low-frequency motor, 0 off .. 65535 full
    WORD wRightMotorSpeed;  // high-frequency motor
};
typedef XINPUT_VIBRATION* PXINPUT_VIBRATION;  // pointer to an XINPUT_VIBRATION

// What a pad has, reported by XInputGetCapabilities.
struct XINPUT_CAPABILITIES {
    BYTE Type;                   // XINPUT_DEVTYPE_GAMEPAD
    BYTE SubType;                // XINPUT_DEVSUBTYPE_GAMEPAD
    WORD Flags;                  // XINPUT_CAPS_*
    XINPUT_GAMEPAD Gamepad;      // the buttons the pad has; axes and triggers with every bit of resolution set
    XINPUT_VIBRATION Vibration;  // 65535 for each motor the pad can drive, else 0
};
typedef XINPUT_CAPABILITIES* PXINPUT_CAPABILITIES;  // pointer to an XINPUT_CAPABILITIES

// The pad's state now. ERROR_BAD_ARGUMENTS for an index of XUSER_MAX_COUNT or
// more or a NULL state; ERROR_DEVICE_NOT_CONNECTED, state left alone, for an
// empty slot. While disabled by XInputEnable a pad reports neutral data.
DWORD WINAPI XInputGetState(DWORD dwUserIndex, XINPUT_STATE* pState);
// Sets the pad's motor speeds until the next call; they last however long the
// program runs. ERROR_SUCCESS doing nothing on a pad without motors. Errors as
// XInputGetState.
DWORD WINAPI XInputSetState(DWORD dwUserIndex, XINPUT_VIBRATION* pVibration);
// What the pad has. dwFlags is 0 or XINPUT_FLAG_GAMEPAD (else
// ERROR_BAD_ARGUMENTS); other errors as XInputGetState.
DWORD WINAPI XInputGetCapabilities(DWORD dwUserIndex, DWORD dwFlags, XINPUT_CAPABILITIES* pCapabilities);
// FALSE: every pad reports neutral data and its motors stop; XInputSetState
// is kept, not sent. TRUE (the start): each pad gets its last vibration back.
void WINAPI XInputEnable(BOOL enable);

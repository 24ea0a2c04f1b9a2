// Test seam of the window layer, for tests and tools only: a virtual clock,
// injected input, virtual gamepads and the log of message boxes. With it a
// test drives the real message loop frame by frame.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace win32test {

// Virtual clock: once enabled, GetTickCount, timeGetTime and the performance
// counter answer from it, and Sleep advances it instead of waiting.
void UseVirtualClock(bool on);
bool VirtualClockInUse();
void SetVirtualTimeMs(unsigned long long ms);  // absolute time in milliseconds
void AdvanceVirtualTimeMs(double ms);          // fractions of a millisecond are kept
void AdvanceVirtualTimeUs(unsigned long long us);

// Injected input, queued as window messages for the window with keyboard
// focus (keys, characters) or the given window (mouse), and reflected in
// GetKeyState / GetCursorPos. Key state changes even with no active window.
void KeyDown(int virtKey);  // VK_CONTROL, VK_SHIFT, VK_MENU press the left key
void KeyUp(int virtKey);
void TypeText(const char* utf8);                      // WM_CHAR per UTF-16 unit
void TypeChar(unsigned int utf16Unit);                // e.g. 8 for backspace
void MouseMove(HWND hwnd, int clientX, int clientY);  // merges with a move queued just before
void MouseButton(HWND hwnd, bool down);               // left button at the current point
void MouseWheel(HWND hwnd, int delta);  // WM_MOUSEWHEEL at the current point; 120 a notch away from the user
void ClickClose(HWND hwnd);             // the close box: WM_CLOSE
void SetActiveWindow(HWND hwnd);        // keyboard focus moves to hwnd (NULL: none)
void ReleaseAllKeys();                  // injected keys and buttons up, no messages
// A mouse move to a point of the window's SDL drawable (the screen while the
// window is full screen), taken to the client point shown there as SDL's own
// mouse events are; MouseMove stays in client coordinates.
void MouseMoveDrawable(HWND hwnd, int drawableX, int drawableY);

// Virtual gamepads: SDL virtual devices made as game controllers, so what a
// test sets travels SDL's own joystick and controller path to XInputGetState.
// A pad is named by the user index AttachVirtualPad gave it, while attached.
// The axes of XINPUT_GAMEPAD, by name.
enum class PadAxis { LeftThumbX, LeftThumbY, RightThumbX, RightThumbY, LeftTrigger, RightTrigger };
// Plugs in a pad at rest; its user index, or -1 when every slot is taken or
// there are no game controllers.
int AttachVirtualPad();
// In XINPUT_GAMEPAD's terms: thumbs -32768..32767, up and right positive;
// triggers 0..255; clamped. XInputGetState and the message pump see it.
void SetVirtualPadAxis(int pad, PadAxis axis, int value);
void SetVirtualPadButton(int pad, WORD xinputButtons, bool down);  // every XINPUT_GAMEPAD_* bit given
// The motor speeds last sent to the pad; false when pad is no virtual pad.
bool VirtualPadMotors(int pad, WORD* lowFrequency, WORD* highFrequency);
// Unplugs the pad; the layer frees its slot when it next looks (XInputGetState, the message pump).
void DetachVirtualPad(int pad);
// While on, pads other than virtual ones are left out (and closed), so a
// pad on the desk cannot reach a test.
void UseVirtualPadsOnly(bool on);

// Message boxes shown so far, as "caption: text".
const std::vector<std::string>& MessageBoxLog();
void ClearMessageBoxLog();

// The end of a test program: destroys every SDL window the layer made and
// quits SDL, so the GL driver closes and joins its threads before the process
// exits. Devices on the windows must be released first; afterwards no window
// handle is valid, no new window can be made and no pad is found.
void EndVideo();

}  // namespace win32test

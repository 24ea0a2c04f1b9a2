// SDL scancodes to virtual-key codes: the key's physical position as a US
// layout names it. Internal to the layer; tests read the table.
#pragma once

#include <cstddef>

namespace win32detail {

struct KeyMapEntry {
    int scancode;      // SDL_Scancode
    int virtKey;       // VK_* code; letters and digits are their ASCII codes
    const char* name;  // the SDL scancode's name, for messages and tests
};

const KeyMapEntry* KeyMapTable(std::size_t* count);
int VirtualKeyFromScancode(int scancode);  // 0 for a key without a code
int ScancodeFromVirtualKey(int virtKey);   // the first key with that code; 0 for none
// The code a key message carries: VK_SHIFT, VK_CONTROL and VK_MENU for either
// side; every other code unchanged.
int MessageVirtualKey(int virtKey);
// True when virtKey names a key that two positions share on purpose (Enter and
// the keypad's Enter, the backslash and the ISO hash key).
bool IsSharedVirtualKey(int virtKey);

}  // namespace win32detail

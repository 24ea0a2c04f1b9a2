// SDL scancode -> virtual-key code table.
#include "KeyMap.h"

#include <windows.h>

#include <SDL.h>

namespace win32detail {
namespace {

#define KEY(sc, vk)                \
    {                              \
        SDL_SCANCODE_##sc, vk, #sc \
    }

const KeyMapEntry kKeyMap[] = {
    // Letters and digits: their upper-case ASCII codes.
    KEY(A, 'A'),
    KEY(B, 'B'),
    KEY(C, 'C'),
    KEY(D, 'D'),
    KEY(E, 'E'),
    KEY(F, 'F'),
    KEY(G, 'G'),
    KEY(H, 'H'),
    KEY(I, 'I'),
    KEY(J, 'J'),
    KEY(K, 'K'),
    KEY(L, 'L'),
    KEY(M, 'M'),
    KEY(N, 'N'),
    KEY(O, 'O'),
    KEY(P, 'P'),
    KEY(Q, 'Q'),
    KEY(R, 'R'),
    KEY(S, 'S'),
    KEY(T, 'T'),
    KEY(U, 'U'),
    KEY(V, 'V'),
    KEY(W, 'W'),
    KEY(X, 'X'),
    KEY(Y, 'Y'),
    KEY(Z, 'Z'),
    KEY(1, '1'),
    KEY(2, '2'),
    KEY(3, '3'),
    KEY(4, '4'),
    KEY(5, '5'),
    KEY(6, '6'),
    KEY(7, '7'),
    KEY(8, '8'),
    KEY(9, '9'),
    KEY(0, '0'),

    // Main block.
    KEY(RETURN, VK_RETURN),
    KEY(ESCAPE, VK_ESCAPE),
    KEY(BACKSPACE, VK_BACK),
    KEY(TAB, VK_TAB),
    KEY(SPACE, VK_SPACE),
    KEY(MINUS, VK_OEM_MINUS),
    KEY(EQUALS, VK_OEM_PLUS),
    KEY(LEFTBRACKET, VK_OEM_4),
    KEY(RIGHTBRACKET, VK_OEM_6),
    KEY(BACKSLASH, VK_OEM_5),
    KEY(NONUSHASH, VK_OEM_5),  // the ISO key in the backslash position
    KEY(SEMICOLON, VK_OEM_1),
    KEY(APOSTROPHE, VK_OEM_7),
    KEY(GRAVE, VK_OEM_3),
    KEY(COMMA, VK_OEM_COMMA),
    KEY(PERIOD, VK_OEM_PERIOD),
    KEY(SLASH, VK_OEM_2),
    KEY(NONUSBACKSLASH, VK_OEM_102),
    KEY(CAPSLOCK, VK_CAPITAL),

    // Function keys.
    KEY(F1, VK_F1),
    KEY(F2, VK_F2),
    KEY(F3, VK_F3),
    KEY(F4, VK_F4),
    KEY(F5, VK_F5),
    KEY(F6, VK_F6),
    KEY(F7, VK_F7),
    KEY(F8, VK_F8),
    KEY(F9, VK_F9),
    KEY(F10, VK_F10),
    KEY(F11, VK_F11),
    KEY(F12, VK_F12),

    // Navigation block.
    KEY(PRINTSCREEN, VK_SNAPSHOT),
    KEY(SCROLLLOCK, VK_SCROLL),
    KEY(PAUSE, VK_PAUSE),
    KEY(INSERT, VK_INSERT),
    KEY(HOME, VK_HOME),
    KEY(PAGEUP, VK_PRIOR),
    KEY(DELETE, VK_DELETE),
    KEY(END, VK_END),
    KEY(PAGEDOWN, VK_NEXT),
    KEY(RIGHT, VK_RIGHT),
    KEY(LEFT, VK_LEFT),
    KEY(DOWN, VK_DOWN),
    KEY(UP, VK_UP),

    // Keypad, always as digits (the keypad's own codes, whatever Num Lock says).
    KEY(NUMLOCKCLEAR, VK_NUMLOCK),
    KEY(KP_DIVIDE, VK_DIVIDE),
    KEY(KP_MULTIPLY, VK_MULTIPLY),
    KEY(KP_MINUS, VK_SUBTRACT),
    KEY(KP_PLUS, VK_ADD),
    KEY(KP_ENTER, VK_RETURN),  // Enter on the keypad reads as Enter
    KEY(KP_1, VK_NUMPAD1),
    KEY(KP_2, VK_NUMPAD2),
    KEY(KP_3, VK_NUMPAD3),
    KEY(KP_4, VK_NUMPAD4),
    KEY(KP_5, VK_NUMPAD5),
    KEY(KP_6, VK_NUMPAD6),
    KEY(KP_7, VK_NUMPAD7),
    KEY(KP_8, VK_NUMPAD8),
    KEY(KP_9, VK_NUMPAD9),
    KEY(KP_0, VK_NUMPAD0),
    KEY(KP_PERIOD, VK_DECIMAL),

    // Modifiers and system keys, by side.
    KEY(LCTRL, VK_LCONTROL),
    KEY(LSHIFT, VK_LSHIFT),
    KEY(LALT, VK_LMENU),
    KEY(LGUI, VK_LWIN),
    KEY(RCTRL, VK_RCONTROL),
    KEY(RSHIFT, VK_RSHIFT),
    KEY(RALT, VK_RMENU),
    KEY(RGUI, VK_RWIN),
    KEY(APPLICATION, VK_APPS),
};

#undef KEY

}  // namespace

const KeyMapEntry* KeyMapTable(std::size_t* count)
{
    if (count) *count = sizeof(kKeyMap) / sizeof(kKeyMap[0]);
    return kKeyMap;
}

int VirtualKeyFromScancode(int scancode)
{
    for (const KeyMapEntry& e : kKeyMap)
        if (e.scancode == scancode) return e.virtKey;
    return 0;
}

int ScancodeFromVirtualKey(int virtKey)
{
    for (const KeyMapEntry& e : kKeyMap)
        if (e.virtKey == virtKey) return e.scancode;
    return 0;
}

int MessageVirtualKey(int virtKey)
{
    switch (virtKey) {
        case VK_LSHIFT:
        case VK_RSHIFT:
            return VK_SHIFT;
        case VK_LCONTROL:
        case VK_RCONTROL:
            return VK_CONTROL;
        case VK_LMENU:
        case VK_RMENU:
            return VK_MENU;
        default:
            return virtKey;
    }
}

bool IsSharedVirtualKey(int virtKey)
{
    return virtKey == VK_RETURN || virtKey == VK_OEM_5;
}

}  // namespace win32detail

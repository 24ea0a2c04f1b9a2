#include "GameDisplay.h"

#include <Win32Display.h>

#include "GameObjects.h"

bool UpdateDisplayKeys()
{
    const bool f11 = engine.GetKeyPressedOnce(VK_F11);
    // Enter's latch moves only with Alt held, so Enter alone stays the waits' key.
    const bool altEnter = GetKeyState(VK_MENU) < 0 && engine.GetKeyPressedOnce(VK_RETURN);
    if (!f11 && !altEnter) return false;
    return SetFullScreen(!IsFullScreen());
}

bool SetFullScreen(bool on)
{
    return windowHandle && Win32_SetFullScreen(windowHandle, on ? TRUE : FALSE);
}

bool IsFullScreen()
{
    return windowHandle && Win32_IsFullScreen(windowHandle);
}

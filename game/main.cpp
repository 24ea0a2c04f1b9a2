// Kolvar: the program's entry. Start-up, the message loop until Escape (or the
// window's close box), shut-down. Run it from the repository root: the media
// is read from "kMedia\..." relative to the working directory.
#include <windows.h>

#include "GameMain.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (GameStartup())
        GameRunLoop();
    GameShutdown();
    return 0;
}

int main(int, char**) {
    return WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOWDEFAULT);
}

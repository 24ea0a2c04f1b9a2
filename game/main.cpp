// Kolvar: the program's entry. Start-up, the message loop until Escape (or the
// window's close box), shut-down. Run it from the repository root: the media
// is read from "kMedia\..." relative to the working directory.
#include <windows.h>

#include "GameMain.h"

#include <string>

// kept: the four arguments are not used; the entry keeps Windows' shape.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (GameStartup()) GameRunLoop();
    GameShutdown();
    return 0;
}

// The command line as Windows hands it over: the arguments after the
// program's name, separated by spaces, those with spaces in quotes.
int main(int argc, char** argv)
{
    std::string cmdLine;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (!cmdLine.empty()) cmdLine += ' ';
        cmdLine += arg.find(' ') == std::string::npos ? arg : '"' + arg + '"';
    }
    return WinMain(GetModuleHandleA(nullptr), nullptr, cmdLine.data(), SW_SHOWDEFAULT);
}

// vterrainmedia ROOT: turns the height image that kmediagen wrote
// (ROOT/media/TerrData/heightmap.tga) into the terrain's height file
// (ROOT/media/TerrData/heights.raw) with the engine's own converter, which
// needs a device: the engine is opened on a small window (headless through
// SDL's offscreen driver unless SDL_VIDEODRIVER says otherwise).
#include <windows.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "vEngine.h"
#include "vTerrain.h"

namespace {

const char* const kImage = "media\\TerrData\\heightmap.tga";
const char* const kHeights = "media\\TerrData\\heights.raw";
const long long kHeightFileBytes = 4096LL * 4096LL;

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vterrainmedia ROOT   (ROOT/media/TerrData/heightmap.tga -> heights.raw)\n");
        return 2;
    }
    if (chdir(argv[1]) != 0) {
        std::fprintf(stderr, "vterrainmedia: cannot enter %s\n", argv[1]);
        return 1;
    }
    setenv("SDL_VIDEODRIVER", "offscreen", 0);

    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "vterrainmedia";
    RegisterClassExA(&wc);
    HWND hwnd = CreateWindowExA(0, "vterrainmedia", "vterrainmedia", WS_OVERLAPPEDWINDOW, 0, 0, 80, 80, NULL, NULL,
                                wc.hInstance, NULL);
    int status = 1;
    {
        vEngine engine;
        if (!hwnd || FAILED(engine.InitWindowed(hwnd))) {
            std::fprintf(stderr, "vterrainmedia: no device (a window with a GL context is needed)\n");
        } else {
            std::remove("media/TerrData/heights.raw");
            vTerrain converter;
            converter.CreateHeightFileFromBitmap(kImage, kHeights);
            struct stat st;
            if (stat("media/TerrData/heights.raw", &st) == 0 && st.st_size == kHeightFileBytes) {
                std::printf("vterrainmedia: wrote %s/media/TerrData/heights.raw\n", argv[1]);
                status = 0;
            } else {
                std::fprintf(stderr, "vterrainmedia: %s could not be made from %s\n", kHeights, kImage);
            }
        }
    }
    if (hwnd) DestroyWindow(hwnd);
    return status;
}

// A program of a user's own built against an installed engine alone, run in
// a folder without media/: it reads the engine's data by the engine's own
// names (a texture of each kind, an effect file, the terrain's table and
// height file), which the engine finds in its installed folder. Exit 0 when
// every file loaded; each failure is named on standard error.
//   data_check
#include <Win32File.h>
#include <vEngine.h>
#include <vTexture.h>

#include <cstdio>
#include <vector>

int main()
{
    WNDCLASSEXA windowClass = {sizeof(WNDCLASSEXA)};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "DataCheck";
    RegisterClassExA(&windowClass);
    HWND window =
        CreateWindowExA(0, "DataCheck", "DataCheck", WS_OVERLAPPEDWINDOW, 0, 0, 160, 120, NULL, NULL, NULL, NULL);
    vEngine engine;
    if (FAILED(engine.InitWindowed(window))) return 2;
    int failures = 0;
    for (const char* name : {"media\\gui\\button_up.tga", "media\\sky\\sky_front.tga", "media\\water\\dudv.tga",
                             "media\\grass.bmp", "media\\alphamap.tga"}) {
        vTexture texture;
        if (FAILED(texture.LoadTextureFromFile(name, 0, 1)) || texture.GetWidth() <= 0) {
            std::fprintf(stderr, "data_check: cannot load the texture %s\n", name);
            ++failures;
        }
    }
    ID3DXEffect* effect = nullptr;
    if (FAILED(D3DXCreateEffectFromFileA(objDevice, "media\\fx\\water.fx", NULL, NULL, 0, NULL, &effect, NULL))) {
        std::fprintf(stderr, "data_check: cannot compile media\\fx\\water.fx\n");
        ++failures;
    } else {
        effect->Release();
    }
    for (const char* name : {"media\\TerrData\\terrtex.btd", "media\\TerrData\\heights.raw"}) {
        std::vector<std::uint8_t> bytes;
        if (Win32_ReadWholeFile(name, 64u << 20, bytes) != WIN32_READ_OK || bytes.empty()) {
            std::fprintf(stderr, "data_check: cannot read %s\n", name);
            ++failures;
        }
    }
    std::printf("data_check: %d of the engine's files missing\n", failures);
    return failures ? 1 : 0;
}

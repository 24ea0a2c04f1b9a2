// The smallest Vorpex program: a window, a picture and a line of text;
// Escape quits.   minimal [picture file] [frames: stop after them, saving minimal_0.jpg]
#include <vEngine.h>
#include <vSimpleFont.h>
#include <vTexture.h>
#include <vTwoDee.h>

#include <cstdlib>

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) PostQuitMessage(0);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

int main(int argc, char** argv)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.lpszClassName = "VorpexMinimal";
    RegisterClassExA(&windowClass);
    HWND window =
        CreateWindowExA(0, "VorpexMinimal", "Vorpex", WS_OVERLAPPEDWINDOW, 0, 0, 656, 519, NULL, NULL, NULL, NULL);
    ShowWindow(window, SW_SHOW);

    vEngine engine;  // first made, last gone: the device outlives the picture and the font
    if (FAILED(engine.InitWindowed(window))) return 1;
    vTexture picture;
    picture.LoadTextureFromFile(argc > 1 ? argv[1] : "picture.tga", 0, 1);
    vTwoDee twoDee;
    vSimpleFont font;
    font.InitFont(40, "Arial", 0, 700, false);

    const int frames = argc > 2 ? std::atoi(argv[2]) : -1;
    for (int frame = 0; frames < 0 || frame < frames; ++frame) {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return 0;
            DispatchMessageA(&message);
        }
        if (GetKeyState(VK_ESCAPE) & 0x8000) break;
        engine.Clear();
        twoDee.Begin2D();
        twoDee.DrawTexture(&picture, 20, 20);
        twoDee.End2D();
        font.DrawTextA("Hello from Vorpex", 20, 400, 0xFFFFFF00);
        engine.Present();
    }
    if (frames >= 0) engine.TakeScreenshot("minimal");
    return 0;
}

#include "ProgramDriver.h"

#include <cstdio>
#include <cstdlib>

namespace programdriver {

namespace {

const Program* running = nullptr;  // set once start-up succeeded
bool startFailed = false;
std::string failure;

const Program& Running()
{
    if (!running) {
        std::fprintf(stderr, "programdriver: the program is driven before EnsureStarted succeeded\n");
        std::abort();
    }
    return *running;
}

}  // namespace

bool EnsureStarted(const Program& program, std::string* why)
{
    if (running) return true;
    if (startFailed) {
        *why = failure;
        return false;
    }
    startFailed = true;
    FILE* media = std::fopen(program.mediaFile, "rb");
    if (!media) {
        failure = std::string("no generated media (") + program.mediaFile + ") in the working directory";
        *why = failure;
        return false;
    }
    std::fclose(media);
    win32test::UseVirtualClock(true);
    win32test::SetVirtualTimeMs(100000);
    if (!program.startup()) {
        failure = "the engine could not open a device (no GL context?)";
        *why = failure;
        return false;
    }
    startFailed = false;
    running = &program;
    win32test::SetActiveWindow(program.window());
    Frames(3);
    return true;
}

void Frame(double ms)
{
    const Program& program = Running();
    win32test::AdvanceVirtualTimeMs(ms);
    const unsigned long before = program.frameCount();
    for (int i = 0; i < 200 && program.frameCount() == before; ++i) program.loopPass();
}

void Frames(int n, double ms)
{
    for (int i = 0; i < n; ++i) Frame(ms);
}

bool RunUntilQuit(int maxPasses)
{
    const Program& program = Running();
    for (int i = 0; i < maxPasses; ++i) {
        win32test::AdvanceVirtualTimeMs(16.0);
        if (!program.loopPass()) return true;
    }
    return false;
}

void HoldKey(int virtualKey, int frames)
{
    win32test::KeyDown(virtualKey);
    Frames(frames);
    win32test::KeyUp(virtualKey);
    Frame();
}

void Press(int virtualKey)
{
    HoldKey(virtualKey, 1);
}

void ClickAt(int x, int y)
{
    HWND hwnd = Running().window();
    win32test::MouseMove(hwnd, x, y);
    Frame();
    win32test::MouseButton(hwnd, true);
    Frame();
    win32test::MouseButton(hwnd, false);
    Frame();
}

rendertest::Image ReadFrame()
{
    return rendertest::ReadRenderTarget();
}

rendertest::Image ReadPresented()
{
    return rendertest::ReadPresentedClient(Running().window());
}

void Dump(const rendertest::Image& image, const char* name)
{
    const char* folder = std::getenv("KOLVAR_PLAY_DUMP");
    if (!folder || image.Empty()) return;
    const std::string path = std::string(folder) + "/" + Running().dumpPrefix + name + ".ppm";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fprintf(f, "P6\n%d %d\n255\n", image.width, image.height);
    for (uint32_t p : image.pixels) {
        const unsigned char rgb[3] = {(unsigned char)(p >> 16), (unsigned char)(p >> 8), (unsigned char)p};
        std::fwrite(rgb, 1, 3, f);
    }
    std::fclose(f);
}

}  // namespace programdriver

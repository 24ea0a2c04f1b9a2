#include "GamePlayHarness.h"

#include <Newton.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace play {

namespace {
bool started = false;
bool startFailed = false;
}  // namespace

bool EnsureStarted(std::string* why)
{
    if (started) return true;
    if (startFailed) {
        *why = "the game could not start here";
        return false;
    }
    FILE* media = std::fopen("kMedia/board.x", "rb");
    if (!media) {
        startFailed = true;
        *why = "no generated media (kMedia/board.x) in the working directory";
        return false;
    }
    std::fclose(media);
    win32test::UseVirtualClock(true);
    win32test::SetVirtualTimeMs(100000);
    if (!GameStartup()) {
        startFailed = true;
        *why = "the engine could not open a device (no GL context?)";
        return false;
    }
    win32test::SetActiveWindow(windowHandle);
    started = true;
    Frames(3);
    return true;
}

void ResetToLevel(int level)
{
    win32test::ReleaseAllKeys();
    win32test::SetActiveWindow(windowHandle);
    Frames(2);  // let the key-up messages through and the latches settle
    editorMode = false;
    ballDead = false;
    levelCompleted = false;
    totalScore = 0;
    currentLevel = level;
    LoadNumberedLevel(level);
    Frames(2);
}

void Frame(double ms)
{
    win32test::AdvanceVirtualTimeMs(ms);
    const unsigned long before = GameFrameCount();
    for (int i = 0; i < 200 && GameFrameCount() == before; ++i) GameLoopPass();
}

void Frames(int n, double ms)
{
    for (int i = 0; i < n; ++i) Frame(ms);
}

bool RunUntilQuit(int maxPasses)
{
    for (int i = 0; i < maxPasses; ++i) {
        win32test::AdvanceVirtualTimeMs(16.0);
        if (!GameLoopPass()) return true;
    }
    return false;
}

void Press(int virtualKey)
{
    win32test::KeyDown(virtualKey);
    Frame();
    win32test::KeyUp(virtualKey);
    Frame();
}

void PressWithControl(int virtualKey)
{
    // The key's one-shot latch moves only while Control is held: let it see the
    // key go up before Control does, as a player's fingers do.
    win32test::KeyDown(VK_LCONTROL);
    Frame();
    win32test::KeyDown(virtualKey);
    Frame();
    win32test::KeyUp(virtualKey);
    Frame();
    win32test::KeyUp(VK_LCONTROL);
    Frame();
}

void PlaceBall(float x, float y, float z)
{
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    NewtonBodySetMatrix(ballBody, &m._11);
    const float zero[3] = {0.0f, 0.0f, 0.0f};
    NewtonBodySetVelocity(ballBody, zero);
    NewtonBodySetOmega(ballBody, zero);
}

D3DXVECTOR3 BallBodyPosition()
{
    D3DXMATRIX m;
    NewtonBodyGetMatrix(ballBody, &m._11);
    return D3DXVECTOR3(m._41, m._42, m._43);
}

Image ReadFrame()
{
    Image image;
    IDirect3DSurface9* target = nullptr;
    if (!objDevice || FAILED(objDevice->GetRenderTarget(0, &target)) || !target) return image;
    D3DSURFACE_DESC desc;
    target->GetDesc(&desc);
    IDirect3DSurface9* copy = nullptr;
    if (SUCCEEDED(objDevice->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &copy,
                                                         nullptr)) &&
        SUCCEEDED(objDevice->GetRenderTargetData(target, copy))) {
        D3DLOCKED_RECT locked;
        if (SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
            image.width = int(desc.Width);
            image.height = int(desc.Height);
            image.pixels.resize(size_t(image.width) * image.height);
            for (int y = 0; y < image.height; ++y)
                std::memcpy(&image.pixels[size_t(y) * image.width],
                            static_cast<const char*>(locked.pBits) + size_t(y) * locked.Pitch, size_t(image.width) * 4);
            if (desc.Format == D3DFMT_X8R8G8B8)
                for (uint32_t& p : image.pixels) p |= 0xFF000000u;
            copy->UnlockRect();
        }
    }
    if (copy) copy->Release();
    target->Release();
    return image;
}

void DumpImage(const Image& image, const char* name)
{
    const char* folder = std::getenv("KOLVAR_PLAY_DUMP");
    if (!folder || image.pixels.empty()) return;
    const std::string path = std::string(folder) + "/" + name + ".ppm";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fprintf(f, "P6\n%d %d\n255\n", image.width, image.height);
    for (uint32_t p : image.pixels) {
        const unsigned char rgb[3] = {(unsigned char)(p >> 16), (unsigned char)(p >> 8), (unsigned char)p};
        std::fwrite(rgb, 1, 3, f);
    }
    std::fclose(f);
}

int CountColour(const Image& image, int x0, int y0, int x1, int y1, uint32_t colour, int tolerance)
{
    int count = 0;
    for (int y = y0; y < y1 && y < image.height; ++y)
        for (int x = x0; x < x1 && x < image.width; ++x) {
            const uint32_t p = image.At(x, y);
            bool near = true;
            for (int shift = 0; shift < 24; shift += 8) {
                const int a = int((p >> shift) & 0xFF);
                const int b = int((colour >> shift) & 0xFF);
                if (std::abs(a - b) > tolerance) near = false;
            }
            count += near ? 1 : 0;
        }
    return count;
}

}  // namespace play

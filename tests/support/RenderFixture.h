// The one fixture of every rendering test: a real headless window of the
// window layer, a device on it (RenderTestDevice), read-back of render
// targets and of what was presented, and small test media written into a
// temporary folder. EngineFixture.h opens the engine on the same window.
//
// No device is a failure under CI=true (CI must make a GL context) and a skip
// with the reason elsewhere; a test never skips because of how our own code
// behaves.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <Win32TestSeam.h>

#include <d3d9.h>

#include "RequireDevice.h"

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <filesystem>
#include <string>
#include <vector>

namespace rendertest {

// After the last test of the program the window layer ends SDL: the GL
// driver closes and joins its threads (rasterisers, compute and cache
// workers) while the program still runs, so the process exits with its main
// thread alone and the sanitizers' leak check at exit has no driver threads
// to stop and scan. The libraries loaded by then stay mapped when the driver
// unloads them, so a leak report at exit still names the library that made
// an allocation and the suppressions for the system's libraries still apply.
class VideoEndsAfterTheTests : public ::testing::Environment {
public:
    void TearDown() override
    {
        std::vector<std::string> loaded;
        dl_iterate_phdr(
            [](dl_phdr_info* info, size_t, void* names) {
                if (info->dlpi_name && *info->dlpi_name)
                    static_cast<std::vector<std::string>*>(names)->push_back(info->dlpi_name);
                return 0;
            },
            &loaded);
        // Each handle is kept on purpose: the library is never unmapped.
        for (const std::string& name : loaded) dlopen(name.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
        win32test::EndVideo();
    }
};
inline ::testing::Environment* const kVideoEndsAfterTheTests =
    ::testing::AddGlobalTestEnvironment(new VideoEndsAfterTheTests);

// The procedure a test installs for the fixture's window, as an application
// has its own (null: DefWindowProcA alone).
inline WNDPROC& TestWindowProc()
{
    static WNDPROC proc = nullptr;
    return proc;
}

inline LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (WNDPROC proc = TestWindowProc()) return proc(hwnd, msg, wParam, lParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

inline HWND CreateTestWindow(int clientWidth, int clientHeight)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXA wc;
        std::memset(&wc, 0, sizeof(wc));
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "RenderTestWindow";
        RegisterClassExA(&wc);
        registered = true;
    }
    // The outer size is the client area plus the fixed frame (8 + 8 wide, 31 + 8 high).
    HWND hwnd = CreateWindowExA(0, "RenderTestWindow", "render test", WS_OVERLAPPEDWINDOW, 0, 0, clientWidth + 16,
                                clientHeight + 39, NULL, NULL, GetModuleHandleA(NULL), NULL);
    if (hwnd) ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

// 0xAARRGGBB per pixel, top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    bool Empty() const { return pixels.empty(); }
    // 0x00RRGGBB: the colour without alpha.
    uint32_t At(int x, int y) const { return pixels[(size_t)y * width + x] & 0x00FFFFFFu; }
    // 0xAARRGGBB as stored (alpha 0xFF for surfaces without alpha).
    uint32_t Argb(int x, int y) const { return pixels[(size_t)y * width + x]; }
};

// A rectangle of a lockable surface; alpha forced to 0xFF when the format has
// none or opaque is set.
inline Image ReadSurface(IDirect3DSurface9* surface, int left, int top, int width, int height, bool opaque = false)
{
    Image image;
    D3DSURFACE_DESC desc = {};
    D3DLOCKED_RECT locked;
    if (!surface || FAILED(surface->GetDesc(&desc)) || FAILED(surface->LockRect(&locked, NULL, D3DLOCK_READONLY)))
        return image;
    const uint32_t alpha = (opaque || desc.Format == D3DFMT_X8R8G8B8) ? 0xFF000000u : 0u;
    image.width = width;
    image.height = height;
    image.pixels.resize((size_t)width * height);
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<const char*>(locked.pBits) +
                                                                (size_t)(top + y) * locked.Pitch);
        for (int x = 0; x < width; ++x) image.pixels[(size_t)y * width + x] = row[left + x] | alpha;
    }
    surface->UnlockRect();
    return image;
}

// Any render target of device (NULL: render target 0) as it is now.
inline Image ReadRenderTarget(IDirect3DDevice9* device, IDirect3DSurface9* target)
{
    Image image;
    if (!device) return image;
    IDirect3DSurface9* rt = target;
    if (!rt && (FAILED(device->GetRenderTarget(0, &rt)) || !rt)) return image;
    D3DSURFACE_DESC desc = {};
    rt->GetDesc(&desc);
    IDirect3DSurface9* copy = nullptr;
    if (SUCCEEDED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &copy,
                                                      NULL)) &&
        SUCCEEDED(device->GetRenderTargetData(rt, copy)))
        image = ReadSurface(copy, 0, 0, (int)desc.Width, (int)desc.Height);
    if (copy) copy->Release();
    if (!target) rt->Release();
    return image;
}

// The client area of the window as last presented (GetFrontBufferData), alpha
// 0xFF; what lies beyond the screen's right or bottom edge reads black.
inline Image ReadPresentedClient(IDirect3DDevice9* device, HWND hwnd)
{
    Image image;
    D3DDISPLAYMODE mode;
    if (!device || FAILED(device->GetDisplayMode(0, &mode))) return image;
    IDirect3DSurface9* surface = nullptr;
    if (FAILED(device->CreateOffscreenPlainSurface(mode.Width, mode.Height, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                   &surface, NULL)))
        return image;
    if (SUCCEEDED(device->GetFrontBufferData(0, surface))) {
        POINT origin = {0, 0};
        ClientToScreen(hwnd, &origin);
        RECT client;
        GetClientRect(hwnd, &client);
        const int onScreenWidth = std::max(0, std::min((int)client.right, (int)mode.Width - (int)origin.x));
        const int onScreenHeight = std::max(0, std::min((int)client.bottom, (int)mode.Height - (int)origin.y));
        const Image onScreen = ReadSurface(surface, origin.x, origin.y, onScreenWidth, onScreenHeight, true);
        if (onScreen.Empty() && onScreenWidth > 0 && onScreenHeight > 0) {
            surface->Release();
            return image;
        }
        image.width = client.right;
        image.height = client.bottom;
        image.pixels.assign((size_t)image.width * image.height, 0xFF000000u);
        for (int y = 0; y < onScreen.height; ++y)
            std::copy_n(&onScreen.pixels[(size_t)y * onScreen.width], onScreen.width,
                        &image.pixels[(size_t)y * image.width]);
    }
    surface->Release();
    return image;
}

inline int Channel(uint32_t rgb, int shift)
{
    return (int)((rgb >> shift) & 0xFF);
}

// Largest per-channel difference of two colours (alpha ignored).
inline int ColorDistance(uint32_t a, uint32_t b)
{
    int d = 0;
    for (int shift : {16, 8, 0}) {
        int c = Channel(a, shift) - Channel(b, shift);
        d = std::max(d, c < 0 ? -c : c);
    }
    return d;
}

// The rectangle of pixels matching colour (within tolerance): {left, top, right, bottom}, inclusive.
struct Extent {
    int left = -1, top = -1, right = -1, bottom = -1;
    long count = 0;
};

inline Extent FindColor(const Image& image, uint32_t colour, int tolerance = 8)
{
    Extent e;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (ColorDistance(image.At(x, y), colour) <= tolerance) {
                if (e.count == 0 || x < e.left) e.left = x;
                if (e.count == 0 || y < e.top) e.top = y;
                if (x > e.right) e.right = x;
                if (y > e.bottom) e.bottom = y;
                ++e.count;
            }
    return e;
}

// A fresh temporary folder, removed with the object.
struct TempDir {
    std::filesystem::path path;
    TempDir()
    {
        static int counter = 0;
        path = std::filesystem::temp_directory_path() /
               ("vorpex_render_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        std::filesystem::create_directories(path);
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string File(const std::string& name) const { return (path / name).string(); }
};

// Uncompressed 32-bit TGA, top row first; pixel(x, y) gives 0xAARRGGBB.
template <typename PixelFn>
inline bool WriteTga(const std::string& file, int width, int height, PixelFn pixel)
{
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f) return false;
    unsigned char header[18] = {};
    header[2] = 2;  // uncompressed true colour
    header[12] = (unsigned char)(width & 0xFF);
    header[13] = (unsigned char)(width >> 8);
    header[14] = (unsigned char)(height & 0xFF);
    header[15] = (unsigned char)(height >> 8);
    header[16] = 32;
    header[17] = 0x28;  // 8 alpha bits, top-left origin
    std::fwrite(header, 1, sizeof(header), f);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t c = pixel(x, y);
            const unsigned char bgra[4] = {(unsigned char)(c & 0xFF), (unsigned char)((c >> 8) & 0xFF),
                                           (unsigned char)((c >> 16) & 0xFF), (unsigned char)(c >> 24)};
            std::fwrite(bgra, 1, 4, f);
        }
    std::fclose(f);
    return true;
}

inline bool WriteSolidTga(const std::string& file, int width, int height, uint32_t argb)
{
    return WriteTga(file, width, height, [argb](int, int) { return argb; });
}

inline bool WriteText(const std::string& file, const std::string& text)
{
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f) return false;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    return true;
}

// A device without the engine: a hidden window of the window layer with the
// given client size, a windowed device on it (back buffer the client size,
// D24S8 depth, no vsync).
//
//     RenderTestDevice dev(64, 64);
//     REQUIRE_RENDER_DEVICE(dev);
//     dev.device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102030, 1.0f, 0);
//     EXPECT_EQ(dev.Pixel(3, 4), 0xFF102030u);
class RenderTestDevice {
public:
    RenderTestDevice(int clientWidth, int clientHeight, bool vsync = false)
        : m_width(clientWidth), m_height(clientHeight)
    {
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "RenderTestDevice";
        RegisterClassExA(&wc);  // fails harmlessly when already registered
        // The window layer's frame: 8 pixels left, right and bottom, 31 on top.
        m_hwnd = CreateWindowExA(0, "RenderTestDevice", "render test", WS_OVERLAPPEDWINDOW, 0, 0, clientWidth + 16,
                                 clientHeight + 39, nullptr, nullptr, wc.hInstance, nullptr);
        if (!m_hwnd) {
            m_error = "no window (CreateWindowExA failed)";
            return;
        }
        m_d3d = Direct3DCreate9(D3D_SDK_VERSION);
        if (!m_d3d) {
            m_error = "Direct3DCreate9 failed";
            return;
        }
        D3DPRESENT_PARAMETERS pp = {};
        pp.BackBufferCount = 1;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.Windowed = TRUE;
        pp.EnableAutoDepthStencil = TRUE;
        pp.AutoDepthStencilFormat = D3DFMT_D24S8;
        pp.PresentationInterval = vsync ? D3DPRESENT_INTERVAL_ONE : D3DPRESENT_INTERVAL_IMMEDIATE;
        m_params = pp;
        if (FAILED(m_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_hwnd, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                       &pp, &m_device))) {
            m_device = nullptr;
            m_error = "CreateDevice failed (no GL 3.3 context on this machine?)";
        }
    }

    ~RenderTestDevice()
    {
        if (m_device) m_device->Release();
        if (m_d3d) m_d3d->Release();
        if (m_hwnd) DestroyWindow(m_hwnd);
    }

    RenderTestDevice(const RenderTestDevice&) = delete;
    RenderTestDevice& operator=(const RenderTestDevice&) = delete;

    bool ok() const { return m_device != nullptr; }
    const std::string& error() const { return m_error; }
    IDirect3DDevice9* device() const { return m_device; }
    IDirect3D9* d3d() const { return m_d3d; }
    HWND hwnd() const { return m_hwnd; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    const D3DPRESENT_PARAMETERS& params() const { return m_params; }

    // Pixels of a render-target surface (NULL: the current render target 0)
    // as ARGB, row 0 at the top (alpha 0xFF without an alpha channel); empty on failure.
    std::vector<uint32_t> ReadPixels(IDirect3DSurface9* target = nullptr, UINT* outWidth = nullptr,
                                     UINT* outHeight = nullptr) const
    {
        Image image = ReadRenderTarget(m_device, target);
        if (outWidth) *outWidth = (UINT)image.width;
        if (outHeight) *outHeight = (UINT)image.height;
        return image.pixels;
    }

    // One pixel of the current render target 0; 0 when it cannot be read.
    uint32_t Pixel(int x, int y) const
    {
        UINT w = 0, h = 0;
        const std::vector<uint32_t> p = ReadPixels(nullptr, &w, &h);
        if (p.empty() || x < 0 || y < 0 || (UINT)x >= w || (UINT)y >= h) return 0;
        return p[(size_t)y * w + x];
    }

private:
    int m_width;
    int m_height;
    HWND m_hwnd = nullptr;
    IDirect3D9* m_d3d = nullptr;
    IDirect3DDevice9* m_device = nullptr;
    D3DPRESENT_PARAMETERS m_params = {};
    std::string m_error;
};

// Ends the test when dev has no device (see RENDERTEST_NO_DEVICE).
#define REQUIRE_RENDER_DEVICE(dev)                            \
    do {                                                      \
        if (!(dev).ok()) RENDERTEST_NO_DEVICE((dev).error()); \
    } while (0)

}  // namespace rendertest

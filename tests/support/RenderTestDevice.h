// A headless Direct3D 9 device for rendering tests: a hidden window of the
// window layer with the given client size, a windowed device on it (back
// buffer the client size, D24S8 depth, no vsync), and pixel read-back of any
// render target as 32-bit ARGB, top row first.
//
//     RenderTestDevice dev(64, 64);
//     REQUIRE_RENDER_DEVICE(dev);              // skips when no GL context can be made
//     dev.device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102030, 1.0f, 0);
//     EXPECT_EQ(dev.Pixel(3, 4), 0xFF102030u);
#pragma once

#include <d3d9.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <stdint.h>
#include <string>
#include <vector>

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
        RegisterClassExA(&wc);   // fails harmlessly when already registered
        // The window layer's frame: 8 pixels left, right and bottom, 31 on top.
        m_hwnd = CreateWindowExA(0, "RenderTestDevice", "render test", WS_OVERLAPPEDWINDOW, 0, 0,
                                 clientWidth + 16, clientHeight + 39, nullptr, nullptr, wc.hInstance, nullptr);
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
        if (FAILED(m_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_hwnd,
                                       D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &m_device))) {
            m_device = nullptr;
            m_error = "CreateDevice failed (no GL 3.3 context on this machine?)";
        }
    }

    ~RenderTestDevice()
    {
        if (m_device)
            m_device->Release();
        if (m_d3d)
            m_d3d->Release();
        if (m_hwnd)
            DestroyWindow(m_hwnd);
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
    // as ARGB, row 0 at the top; empty on failure.
    std::vector<uint32_t> ReadPixels(IDirect3DSurface9* target = nullptr, UINT* outWidth = nullptr,
                                     UINT* outHeight = nullptr) const
    {
        std::vector<uint32_t> pixels;
        if (!m_device)
            return pixels;
        IDirect3DSurface9* rt = target;
        if (!rt && FAILED(m_device->GetRenderTarget(0, &rt)))
            return pixels;
        D3DSURFACE_DESC desc = {};
        rt->GetDesc(&desc);
        IDirect3DSurface9* sys = nullptr;
        if (SUCCEEDED(m_device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                            D3DPOOL_SYSTEMMEM, &sys, nullptr))) {
            D3DLOCKED_RECT lr = {};
            if (SUCCEEDED(m_device->GetRenderTargetData(rt, sys)) &&
                SUCCEEDED(sys->LockRect(&lr, nullptr, D3DLOCK_READONLY))) {
                pixels.resize((size_t)desc.Width * desc.Height);
                for (UINT y = 0; y < desc.Height; ++y) {
                    const uint32_t* row =
                        reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(lr.pBits) + (size_t)y * lr.Pitch);
                    for (UINT x = 0; x < desc.Width; ++x)
                        pixels[(size_t)y * desc.Width + x] =
                            desc.Format == D3DFMT_X8R8G8B8 ? (row[x] | 0xFF000000u) : row[x];
                }
                sys->UnlockRect();
            }
            sys->Release();
        }
        if (outWidth)
            *outWidth = desc.Width;
        if (outHeight)
            *outHeight = desc.Height;
        if (!target)
            rt->Release();
        return pixels;
    }

    // One pixel of the current render target 0; 0 when it cannot be read.
    uint32_t Pixel(int x, int y) const
    {
        UINT w = 0, h = 0;
        const std::vector<uint32_t> p = ReadPixels(nullptr, &w, &h);
        if (p.empty() || x < 0 || y < 0 || (UINT)x >= w || (UINT)y >= h)
            return 0;
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

// Skips the test (with the reason) when the device could not be made.
#define REQUIRE_RENDER_DEVICE(dev)                       \
    do {                                                 \
        if (!(dev).ok())                                 \
            GTEST_SKIP() << "no render device: " << (dev).error(); \
    } while (0)

// The device on a window the window layer puts full screen: the screen shows
// the back buffer scaled to fit with its aspect kept, sharp, with black bars;
// everything the program reads back stays in back-buffer pixels; and the
// device keeps its states and resources across the toggles.
#include <d3d9.h>

#include "d3d9/DeviceGL.h"
#include <RenderFixture.h>
#include <Win32DeviceSeam.h>
#include <Win32Display.h>

#include <SDL.h>
#include <epoxy/gl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using rendertest::Image;
using rendertest::RenderTestDevice;

struct TLVertex {  // D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1
    float x, y, z, rhw;
    DWORD color;
    float u, v;
};
const DWORD kTLFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// The picture: a grey ground, two solid quads, a 1-pixel checker two pixels
// deep along every edge (what blurring or a cut edge would show first), and a
// 2 x 2 texture drawn 64 pixels wide at (x, y) with states set once, before
// any toggle.
class Picture {
public:
    Picture(IDirect3DDevice9* d, int width, int height, int texX, int texY)
        : m_d(d), m_width(width), m_height(height), m_texX((float)texX), m_texY((float)texY)
    {
        if (FAILED(d->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_tex, nullptr))) return;
        D3DLOCKED_RECT lr;
        if (FAILED(m_tex->LockRect(0, &lr, nullptr, 0))) return;
        uint32_t* row0 = static_cast<uint32_t*>(lr.pBits);
        uint32_t* row1 = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.pBits) + lr.Pitch);
        row0[0] = 0xFFFF8000;
        row0[1] = 0xFF00FF80;
        row1[0] = 0xFF8000FF;
        row1[1] = 0xFFFFFFFF;
        m_tex->UnlockRect(0);
        d->SetRenderState(D3DRS_LIGHTING, FALSE);
        d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        d->SetRenderState(D3DRS_ZENABLE, FALSE);
        d->SetTexture(0, m_tex);
        d->SetFVF(kTLFvf);
    }
    ~Picture()
    {
        if (m_tex) {
            m_d->SetTexture(0, nullptr);
            m_tex->Release();
        }
    }
    bool ok() const { return m_tex != nullptr; }

    void Draw() const
    {
        m_d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF404040, 1.0f, 0);
        Fill(m_width / 10, m_height / 8, m_width / 3, m_height / 3, 0xFFE00000);
        Fill(m_width / 2, m_height / 2, m_width - 20, m_height - 30, 0xFF00C000);
        Fill(0, 0, m_width, 2, 0xFFFF00FF);
        Fill(0, m_height - 2, m_width, m_height, 0xFFFF00FF);
        Fill(0, 0, 2, m_height, 0xFFFF00FF);
        Fill(m_width - 2, 0, m_width, m_height, 0xFFFF00FF);
        for (int x = 0; x < m_width; ++x)
            for (int y : {0, 1, m_height - 2, m_height - 1})
                if ((x + y) % 2) Fill(x, y, x + 1, y + 1, 0xFFFFFFFF);
        for (int y = 2; y < m_height - 2; ++y)
            for (int x : {0, 1, m_width - 2, m_width - 1})
                if ((x + y) % 2) Fill(x, y, x + 1, y + 1, 0xFFFFFFFF);
        const float x0 = m_texX, y0 = m_texY, x1 = x0 + 64, y1 = y0 + 64;
        const TLVertex q[4] = {{x0, y0, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                               {x1, y0, 0.5f, 1, 0xFFFFFFFF, 1, 0},
                               {x0, y1, 0.5f, 1, 0xFFFFFFFF, 0, 1},
                               {x1, y1, 0.5f, 1, 0xFFFFFFFF, 1, 1}};
        EXPECT_EQ(m_d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, q, sizeof(TLVertex)), D3D_OK);
    }

    // Draws, presents and gives the back buffer as it was presented.
    Image DrawAndPresent() const
    {
        Draw();
        Image frame = rendertest::ReadRenderTarget(m_d, nullptr);
        EXPECT_EQ(m_d->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        return frame;
    }

private:
    void Fill(int left, int top, int right, int bottom, D3DCOLOR colour) const
    {
        const D3DRECT r = {left, top, right, bottom};
        m_d->Clear(1, &r, D3DCLEAR_TARGET, colour, 1.0f, 0);
    }

    IDirect3DDevice9* m_d;
    IDirect3DTexture9* m_tex = nullptr;
    int m_width, m_height;
    float m_texX, m_texY;
};

// What the window's drawable holds (the screen while full screen), top row first.
Image ReadDrawable(IDirect3DDevice9* device, HWND hwnd)
{
    Image image;
    SDL_Window* window = Win32_GetSDLWindow(hwnd);
    if (!window || !D3D9GL_MakeCurrent(device)) return image;
    SDL_GLContext context = SDL_GL_GetCurrentContext();
    SDL_Window* was = SDL_GL_GetCurrentWindow();
    if (SDL_GL_MakeCurrent(window, context) != 0) return image;
    SDL_GL_GetDrawableSize(window, &image.width, &image.height);
    GLint readFbo = 0, doubleBuffered = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFbo);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glGetIntegerv(GL_DOUBLEBUFFER, &doubleBuffered);
    glReadBuffer(doubleBuffered ? GL_BACK : GL_FRONT);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    std::vector<uint32_t> rows((size_t)image.width * image.height);
    glReadPixels(0, 0, image.width, image.height, GL_BGRA, GL_UNSIGNED_BYTE, rows.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, (GLuint)readFbo);
    SDL_GL_MakeCurrent(was, context);
    image.pixels.resize(rows.size());
    for (int y = 0; y < image.height; ++y)
        std::memcpy(&image.pixels[(size_t)y * image.width], &rows[(size_t)(image.height - 1 - y) * image.width],
                    (size_t)image.width * 4);
    return image;
}

// The window as last presented (GetFrontBufferData), and the frame cut to the
// part of it on the screen the front buffer covers (the fixture's window
// reaches past the screen's bottom).
Image Presented(IDirect3DDevice9* d, HWND hwnd)
{
    return rendertest::ReadPresentedClient(d, hwnd);
}
Image OnScreen(const Image& frame, HWND hwnd)
{
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    const SDL_Rect screen = {0, 0, 1024, 768};
    Image cut;
    cut.width = std::min(frame.width, screen.w - (int)origin.x);
    cut.height = std::min(frame.height, screen.h - (int)origin.y);
    for (int y = 0; y < cut.height; ++y)
        for (int x = 0; x < cut.width; ++x) cut.pixels.push_back(frame.pixels[(size_t)y * frame.width + x]);
    return cut;
}
// The presented image of the window's part on screen.
Image PresentedOnScreen(IDirect3DDevice9* d, HWND hwnd)
{
    return OnScreen(Presented(d, hwnd), hwnd);
}

bool WindowFramebuffer()
{
    const char* env = std::getenv("D3D9GL_BACKBUFFER");
    return env && std::strcmp(env, "window") == 0;
}

// The same pixels, or where the first difference is.
::testing::AssertionResult SameImage(const Image& a, const Image& b)
{
    if (a.Empty() || a.width != b.width || a.height != b.height)
        return ::testing::AssertionFailure()
               << "sizes " << a.width << "x" << a.height << " and " << b.width << "x" << b.height;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (a.At(x, y) != b.At(x, y)) {
                char text[80];
                std::snprintf(text, sizeof(text), "0x%06x and 0x%06x at %d,%d", a.At(x, y), b.At(x, y), x, y);
                return ::testing::AssertionFailure() << text;
            }
    return ::testing::AssertionSuccess();
}

// The source pixels a nearest-pixel scaling of size pixels onto length shows
// at pixel p: the one under p's centre, and its neighbour when the centre
// falls on the edge between them (either is right there).
void SourcesAt(int p, int length, int size, int out[2])
{
    const double s = (p + 0.5) * size / length;
    out[0] = out[1] = std::min(size - 1, (int)std::floor(s));
    if (s - std::floor(s) < 1e-9 && out[0] > 0) out[1] = out[0] - 1;
}

// The screen shows frame scaled into picture, black outside it.
::testing::AssertionResult ShowsScaled(const Image& screen, const RECT& picture, const Image& frame)
{
    if (screen.Empty() || frame.Empty()) return ::testing::AssertionFailure() << "no pixels";
    const int pw = picture.right - picture.left, ph = picture.bottom - picture.top;
    for (int y = 0; y < screen.height; ++y)
        for (int x = 0; x < screen.width; ++x) {
            const uint32_t got = screen.At(x, y);
            char text[96];
            if (x < picture.left || x >= picture.right || y < picture.top || y >= picture.bottom) {
                if (got == 0) continue;
                std::snprintf(text, sizeof(text), "bar pixel %d,%d is 0x%06x", x, y, got);
                return ::testing::AssertionFailure() << text;
            }
            int sx[2], sy[2];
            SourcesAt(x - picture.left, pw, frame.width, sx);
            SourcesAt(y - picture.top, ph, frame.height, sy);
            bool found = false;
            for (int i = 0; i < 2 && !found; ++i)
                for (int j = 0; j < 2 && !found; ++j) found = frame.At(sx[i], sy[j]) == got;
            if (found) continue;
            std::snprintf(text, sizeof(text), "screen %d,%d is 0x%06x, the frame's %d,%d is 0x%06x", x, y, got, sx[0],
                          sy[0], frame.At(sx[0], sy[0]));
            return ::testing::AssertionFailure() << text;
        }
    return ::testing::AssertionSuccess();
}

TEST(DeviceFullScreen, ScreenShowsTheFrameScaledSharpWithBarsAndReadsStayInBackBufferPixels)
{
    RenderTestDevice dev(1016, 756);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    ShowWindow(dev.hwnd(), SW_SHOW);
    Picture picture(d, 1016, 756, 700, 100);
    ASSERT_TRUE(picture.ok());
    const Image windowed = picture.DrawAndPresent();
    ASSERT_EQ(windowed.width, 1016);
    const HWND hwnd = dev.hwnd();
    const Image windowedOnScreen = OnScreen(windowed, hwnd);
    ASSERT_EQ(windowedOnScreen.height, 768 - 31);
    ASSERT_TRUE(SameImage(PresentedOnScreen(d, hwnd), windowedOnScreen));

    // Toggled: nothing drawn yet, and the back buffer and the presented image are as they were.
    ASSERT_TRUE(Win32_SetFullScreen(dev.hwnd(), TRUE));
    EXPECT_TRUE(SameImage(rendertest::ReadRenderTarget(d, nullptr), windowed));
    EXPECT_TRUE(SameImage(PresentedOnScreen(d, hwnd), windowedOnScreen));

    const Image full = picture.DrawAndPresent();
    EXPECT_TRUE(SameImage(full, windowed)) << "the back buffer keeps its size and pixels";
    EXPECT_TRUE(SameImage(PresentedOnScreen(d, hwnd), windowedOnScreen))
        << "GetFrontBufferData: the presented back buffer at the client position";
    const Image screen = ReadDrawable(d, dev.hwnd());
    ASSERT_EQ(screen.width, 1024);
    ASSERT_EQ(screen.height, 768);
    RECT shown = {};
    ASSERT_TRUE(Win32_PresentRect(dev.hwnd(), &shown));
    EXPECT_EQ(shown.top, 3);
    EXPECT_EQ(shown.bottom, 765);
    EXPECT_TRUE(ShowsScaled(screen, shown, windowed));
    D3DSURFACE_DESC desc = {};
    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(d->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    back->GetDesc(&desc);
    back->Release();
    EXPECT_EQ(desc.Width, 1016u);
    EXPECT_EQ(desc.Height, 756u);

    // Back in the window: the same frame, in the window's drawable too when
    // the back buffer is the window's framebuffer.
    ASSERT_TRUE(Win32_SetFullScreen(dev.hwnd(), FALSE));
    EXPECT_TRUE(SameImage(rendertest::ReadRenderTarget(d, nullptr), windowed));
    EXPECT_TRUE(SameImage(PresentedOnScreen(d, hwnd), windowedOnScreen));
    EXPECT_TRUE(SameImage(picture.DrawAndPresent(), windowed));
    EXPECT_TRUE(SameImage(PresentedOnScreen(d, hwnd), windowedOnScreen));
    if (WindowFramebuffer()) {
        const Image drawable = ReadDrawable(d, dev.hwnd());
        ASSERT_EQ(drawable.width, 1016);
        EXPECT_TRUE(SameImage(drawable, windowed));
    }
}

TEST(DeviceFullScreen, ATallWindowGetsBarsLeftAndRightAndEachToggleShowsTheNextFrameRight)
{
    RenderTestDevice dev(300, 600);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    ShowWindow(dev.hwnd(), SW_SHOW);
    Picture picture(d, 300, 600, 100, 400);
    ASSERT_TRUE(picture.ok());
    const Image windowed = picture.DrawAndPresent();
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(Win32_SetFullScreen(dev.hwnd(), TRUE));
        EXPECT_TRUE(SameImage(picture.DrawAndPresent(), windowed));
        RECT shown = {};
        ASSERT_TRUE(Win32_PresentRect(dev.hwnd(), &shown));
        EXPECT_EQ(shown.left, 320);
        EXPECT_EQ(shown.right, 704);
        EXPECT_TRUE(ShowsScaled(ReadDrawable(d, dev.hwnd()), shown, windowed)) << "round " << round;
        EXPECT_TRUE(SameImage(rendertest::ReadPresentedClient(d, dev.hwnd()), windowed));
        ASSERT_TRUE(Win32_SetFullScreen(dev.hwnd(), FALSE));
        EXPECT_TRUE(SameImage(picture.DrawAndPresent(), windowed));
        EXPECT_TRUE(SameImage(rendertest::ReadPresentedClient(d, dev.hwnd()), windowed));
    }
}

}  // namespace

TEST(DeviceFullScreen, AWindowedResetKeepsTheWindowFullScreenAndItsBackBufferSize)
{
    RenderTestDevice dev(200, 100);
    REQUIRE_RENDER_DEVICE(dev);
    IDirect3DDevice9* d = dev.device();
    ShowWindow(dev.hwnd(), SW_SHOW);
    ASSERT_TRUE(Win32_SetFullScreen(dev.hwnd(), TRUE));
    D3DPRESENT_PARAMETERS params = dev.params();
    ASSERT_EQ(d->Reset(&params), D3D_OK);
    EXPECT_TRUE(Win32_IsFullScreen(dev.hwnd()));
    EXPECT_EQ(SDL_GetWindowFlags(Win32_GetSDLWindow(dev.hwnd())) & SDL_WINDOW_FULLSCREEN_DESKTOP,
              (Uint32)SDL_WINDOW_FULLSCREEN_DESKTOP);
    EXPECT_EQ(params.BackBufferWidth, 200u) << "the client area's size, not the screen's";
    EXPECT_EQ(params.BackBufferHeight, 100u);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFC02040, 1.0f, 0);
    ASSERT_EQ(d->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    const Image screen = ReadDrawable(d, dev.hwnd());
    ASSERT_EQ(screen.width, 1024);
    EXPECT_EQ(screen.At(512, 384), 0xC02040u);
    EXPECT_EQ(screen.At(512, 20), 0u) << "a bar above the 1024 x 512 picture";
    EXPECT_EQ(rendertest::FindColor(screen, 0xC02040, 0).top, 128);
    EXPECT_EQ(rendertest::FindColor(screen, 0xC02040, 0).bottom, 639);
    ASSERT_TRUE(Win32_SetFullScreen(dev.hwnd(), FALSE));
}

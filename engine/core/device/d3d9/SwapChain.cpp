// Swap chains. A back buffer the size of its window is the window's own
// framebuffer, drawn in GL's orientation (bottom row first, the device flips
// nothing in clip space for it): presenting is a swap and copies nothing, and
// GetFrontBufferData reads the window's front buffer.
//
// Otherwise (a full-screen size unlike the window's) the back buffer is a
// renderbuffer stored top row first, scaled into the window at Present with
// the vertical flip done here. It then holds the presented image until it is
// next written to: a full clear trades its renderbuffer with the chain's
// spare one, any other first write copies the image to the spare before it.
//
// While the window layer holds the window full screen (Win32Display.h) the
// back buffer keeps its size and is drawn off screen; Present scales it into
// the picture rectangle of the screen (Win32_PresentRect). A back buffer that
// is the window's framebuffer moves off it for that time and back after,
// with its pixels and the presented image (FollowWindow).
#include "d3d9/D3D9Impl.h"

#include <Win32DeviceSeam.h>
#include <Win32Display.h>

#include <SDL.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

namespace d3d9gl {

namespace {

// Windows whose framebuffer is some swap chain's back buffer: a second
// chain on the same window draws off screen, or the two would share one image.
std::vector<SDL_Window*>& WindowsInUse()
{
    static std::vector<SDL_Window*> windows;
    return windows;
}

bool WindowInUse(SDL_Window* window)
{
    const auto& used = WindowsInUse();
    return std::find(used.begin(), used.end(), window) != used.end();
}

}  // namespace

SwapChain::SwapChain(Device* device, Owner owner, const D3DPRESENT_PARAMETERS& params, HWND hwnd, SDL_Window* window)
    : ChildUnknown(device, owner, nullptr, owner == kStandalone), m_params(params), m_hwnd(hwnd), m_window(window)
{
}

SwapChain::~SwapChain()
{
    FreeStorage();
}

void SwapChain::FreeStorage()
{
    if (m_reservedWindow) {
        auto& used = WindowsInUse();
        used.erase(std::remove(used.begin(), used.end(), m_reservedWindow), used.end());
        m_reservedWindow = nullptr;
    }
    m_windowWanted = false;
    m_backBuffer.reset();
    if ((m_frontFbo || m_frontRenderbuffer) && m_device->SafeContext()) {
        if (m_frontFbo) glDeleteFramebuffers(1, &m_frontFbo);
        if (m_frontRenderbuffer) glDeleteRenderbuffers(1, &m_frontRenderbuffer);
    }
    m_frontFbo = m_frontRenderbuffer = 0;
    m_device->InvalidateGLCache();
}

bool SwapChain::Reset(const D3DPRESENT_PARAMETERS& params, HWND hwnd, SDL_Window* window)
{
    FreeStorage();
    m_params = params;
    m_hwnd = hwnd;
    m_window = window;
    m_hasFront = m_frontInSpare = m_frontRead = false;
    m_frontWindow = nullptr;
    m_intervalWindow = nullptr;
    return Init();
}

bool SwapChain::Init()
{
    m_backBuffer.reset(new Surface(m_device, Surface::kBackBuffer, kOwned, this, m_params.BackBufferWidth,
                                   m_params.BackBufferHeight, m_params.BackBufferFormat, D3DPOOL_DEFAULT,
                                   D3DUSAGE_RENDERTARGET));
    // A back buffer the size of the window's drawable is the window's own
    // framebuffer: presenting is a swap. Any other size (a full-screen mode
    // unlike the window) is drawn off screen and scaled into the window.
    // Without a display (SDL's offscreen driver) windows are single-buffered
    // surfaces nobody sees: the back buffer is drawn off screen and Present
    // copies nothing, unless D3D9GL_BACKBUFFER=window asks for the window's
    // framebuffer anyway (tests of that path).
    int dw = 0, dh = 0;
    GLint doubleBuffered = 0;
    if (m_window && m_device->MakeCurrentOn(m_window)) {
        SDL_GL_GetDrawableSize(m_window, &dw, &dh);
        m_device->BindFramebuffer(0);
        glGetIntegerv(GL_DOUBLEBUFFER, &doubleBuffered);
    }
    m_doubleBuffered = doubleBuffered != 0;
    const char* driver = SDL_GetCurrentVideoDriver();
    const bool headless = !m_doubleBuffered && driver && strcmp(driver, "offscreen") == 0;
    const char* forced = getenv("D3D9GL_BACKBUFFER");
    const bool forceWindow = forced && strcmp(forced, "window") == 0;
    m_showOnPresent = !headless;
    m_backBuffer->chain = this;
    // A full-screen window is measured by its client area, the size its
    // drawable has again once it is back (FollowWindow).
    const bool fullScreen = Win32_IsFullScreen(m_hwnd) != FALSE;
    if (fullScreen) {
        RECT client = {};
        GetClientRect(m_hwnd, &client);
        dw = client.right;
        dh = client.bottom;
    }
    if (dw == (int)m_params.BackBufferWidth && dh == (int)m_params.BackBufferHeight && (!headless || forceWindow) &&
        !WindowInUse(m_window)) {
        m_windowWanted = true;
        m_reservedWindow = m_window;
        WindowsInUse().push_back(m_window);
        if (!fullScreen) m_backBuffer->windowChain = this;
    }
    if (!m_backBuffer->CreateGL()) return false;
    if (m_backBuffer->windowChain) {
        m_device->BindFramebuffer(0);
    } else {
        m_device->BindFramebuffer(m_backBuffer->Framebuffer());
        if (!EnsureSpare()) return false;
        m_device->BindFramebuffer(m_backBuffer->Framebuffer());
    }
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    m_device->InvalidateGLCache();
    return true;
}

bool SwapChain::EnsureSpare()
{
    if (m_frontFbo) return true;
    glGenRenderbuffers(1, &m_frontRenderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, m_frontRenderbuffer);
    // The same format and size as the back buffer.
    glRenderbufferStorage(GL_RENDERBUFFER, m_backBuffer->pixelFormat()->internalFormat,
                          (GLsizei)m_params.BackBufferWidth, (GLsizei)m_params.BackBufferHeight);
    glGenFramebuffers(1, &m_frontFbo);
    m_device->BindFramebuffer(m_frontFbo);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_frontRenderbuffer);
    const bool ok = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    m_device->InvalidateGLCache();
    return ok;
}

namespace {

// Blits ignore the scissor test only when it is off.
void ScissorOff(Device* device)
{
    GLCache& c = device->gl();
    if (c.scissor != 0) {
        glDisable(GL_SCISSOR_TEST);
        c.scissor = 0;
        device->MarkRasterDirty();  // the next draw turns it on again if its state says so
    }
}

}  // namespace

HRESULT SwapChain::Present(const RECT*, const RECT*, HWND hDestWindowOverride, const RGNDATA*, DWORD)
{
    // Looked up each time: a destroyed window is refused, never used.
    HWND hwnd = hDestWindowOverride ? hDestWindowOverride : m_hwnd;
    SDL_Window* window = Win32_GetSDLWindow(hwnd);
    if (!window || !m_device->SafeContext()) return D3DERR_INVALIDCALL;
    if (!hDestWindowOverride) m_window = window;
    FollowWindow();
    const bool fullScreen = Win32_IsFullScreen(hwnd) != FALSE;
    int dw = 0, dh = 0;
    SDL_GL_GetDrawableSize(window, &dw, &dh);
    if (dw <= 0 || dh <= 0) {
        dw = (int)m_params.BackBufferWidth;
        dh = (int)m_params.BackBufferHeight;
    }
    bool ok;
    if (!m_backBuffer->windowChain) {
        // Full screen the picture is always copied, headless too: the
        // screen shows it scaled, never the back buffer itself.
        ok = (m_showOnPresent || fullScreen) ? PresentCopy(hwnd, window, dw, dh, fullScreen)
                                             : m_device->MakeCurrentOn(window);
        // The back buffer now holds the image GetFrontBufferData gives; the
        // next write into it keeps the image first (Device::ApplyTarget).
        m_backBuffer->presentedBy = this;
    } else {
        ok = window != m_backBuffer->windowChain->sdlWindow() ? PresentToOtherWindow(hwnd, window)
                                                              : m_device->MakeCurrentOn(window);
        m_frontInSpare = false;
        if (!m_doubleBuffered) {
            // A single-buffered window draws the next frame over the presented image.
            m_backBuffer->presentedBy = this;
        } else if (ok && m_frontRead) {
            // GL gives no reliable read of a window's front buffer (X11's
            // software path reads black), so once the application reads the
            // front buffer, each presented image is kept in the spare.
            KeepWindowImage();
        }
    }
    if (!ok) return D3DERR_INVALIDCALL;
    m_hasFront = true;
    m_frontWindow = hwnd;
    // D3DPRESENT_INTERVAL_ONE (and DEFAULT) wait for the display's refresh.
    if (m_intervalWindow != window) {
        SDL_GL_SetSwapInterval(m_params.PresentationInterval == (UINT)D3DPRESENT_INTERVAL_IMMEDIATE ? 0 : 1);
        m_intervalWindow = window;
    }
    SDL_GL_SwapWindow(window);
    m_device->LimitFrameLatency();
    m_device->MarkTargetDirty();
    m_device->EndFrame();
    return D3D_OK;
}

namespace {

// Where the picture goes in a drawable of dw x dh: all of it in a window;
// full screen, the window layer's picture rectangle with black bars around
// it (the draw framebuffer is the window's and bound).
RECT PictureInDrawable(HWND hwnd, GLint dw, GLint dh, bool fullScreen, Device* device)
{
    RECT r = {0, 0, dw, dh};
    if (!fullScreen || !Win32_PresentRect(hwnd, &r)) return r;
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    device->gl().colorMask = 0xf;
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    return r;
}

// Blits the w x h image of the read framebuffer into r of the drawable (top
// row first in r's terms, dh high), flipping rows when the source is stored
// top row first. Full screen it is sharp: nearest pixels.
void BlitToDrawable(GLint w, GLint h, const RECT& r, GLint dh, bool sourceTopFirst, bool fullScreen)
{
    const GLint top = dh - (GLint)r.top, bottom = dh - (GLint)r.bottom;
    const bool same = r.right - r.left == w && r.bottom - r.top == h;
    glBlitFramebuffer(0, 0, w, h, r.left, sourceTopFirst ? top : bottom, r.right, sourceTopFirst ? bottom : top,
                      GL_COLOR_BUFFER_BIT, (fullScreen || same) ? GL_NEAREST : GL_LINEAR);
}

}  // namespace

bool SwapChain::PresentCopy(HWND hwnd, SDL_Window* window, GLint dw, GLint dh, bool fullScreen)
{
    const GLuint back = m_backBuffer->Framebuffer();
    if (!back) return false;
    ScissorOff(m_device);
    if (!m_device->MakeCurrentOn(window)) return false;
    const GLint w = (GLint)m_params.BackBufferWidth, h = (GLint)m_params.BackBufferHeight;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, back);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    // Rows are stored top first; the window's framebuffer has its origin at the bottom.
    BlitToDrawable(w, h, PictureInDrawable(hwnd, dw, dh, fullScreen, m_device), dh, true, fullScreen);
    m_device->gl().fbo = ~0u;
    ++m_device->stats().surfaceCopies;
    return true;
}

bool SwapChain::PresentToOtherWindow(HWND hwnd, SDL_Window* window)
{
    // The image is in the chain's own window: it goes through the spare
    // storage to the named window, in the same orientation.
    SDL_Window* own = m_backBuffer->windowChain->sdlWindow();
    if (!m_device->MakeCurrentOn(own) || !EnsureSpare()) return false;
    ScissorOff(m_device);
    const GLint w = (GLint)m_params.BackBufferWidth, h = (GLint)m_params.BackBufferHeight;
    GLint doubleBuffered = 0;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glGetIntegerv(GL_DOUBLEBUFFER, &doubleBuffered);
    glReadBuffer(doubleBuffered ? GL_BACK : GL_FRONT);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_frontFbo);
    glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    if (!m_device->MakeCurrentOn(window)) return false;
    int dw = 0, dh = 0;
    SDL_GL_GetDrawableSize(window, &dw, &dh);
    if (dw <= 0 || dh <= 0) {
        dw = w;
        dh = h;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_frontFbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    const bool fullScreen = Win32_IsFullScreen(hwnd) != FALSE;
    BlitToDrawable(w, h, PictureInDrawable(hwnd, dw, dh, fullScreen, m_device), dh, false, fullScreen);
    m_device->gl().fbo = ~0u;
    m_device->stats().surfaceCopies += 2;
    return true;
}

void SwapChain::KeepWindowImage()
{
    // The window is current (Device::ApplyTarget, Present): its drawing
    // buffer goes to the spare storage, in the window's orientation.
    if (!EnsureSpare()) return;
    ScissorOff(m_device);
    const GLint w = (GLint)m_params.BackBufferWidth, h = (GLint)m_params.BackBufferHeight;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(m_doubleBuffered ? GL_BACK : GL_FRONT);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_frontFbo);
    glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    m_device->gl().fbo = ~0u;
    m_frontInSpare = true;
    ++m_device->stats().surfaceCopies;
}

void SwapChain::KeepFrontImage(bool overwritten)
{
    if (m_backBuffer->windowChain) {
        KeepWindowImage();
        return;
    }
    Surface* back = m_backBuffer.get();
    if (!m_frontRenderbuffer || !m_frontFbo || !back->Framebuffer()) return;
    if (overwritten) {
        back->SwapColorRenderbuffer(&m_frontRenderbuffer);
        m_device->BindFramebuffer(m_frontFbo);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_frontRenderbuffer);
        return;
    }
    ScissorOff(m_device);
    const GLint w = (GLint)m_params.BackBufferWidth, h = (GLint)m_params.BackBufferHeight;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, back->Framebuffer());
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_frontFbo);
    glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    m_device->gl().fbo = ~0u;
    ++m_device->stats().surfaceCopies;
}

void SwapChain::FollowWindow()
{
    if (!m_windowWanted) return;
    const bool fullScreen = Win32_IsFullScreen(m_hwnd) != FALSE;
    if (fullScreen && m_backBuffer->windowChain)
        MoveOffWindow();
    else if (!fullScreen && !m_backBuffer->windowChain)
        MoveOntoWindow();
}

void SwapChain::MoveOffWindow()
{
    Surface* back = m_backBuffer.get();
    if (!m_device->MakeCurrentOn(m_window)) return;
    back->windowChain = nullptr;
    if (!back->CreateGL() || !EnsureSpare()) {
        // Left in the window, drawn at the corner of the screen.
        fprintf(stderr, "device: no storage for a %ux%u back buffer off the full-screen window\n",
                m_params.BackBufferWidth, m_params.BackBufferHeight);
        back->FreeGL();
        back->windowChain = this;
        return;
    }
    ScissorOff(m_device);
    const GLint w = (GLint)m_params.BackBufferWidth, h = (GLint)m_params.BackBufferHeight;
    // The window's drawing buffer, bottom row first, into the surface, top row first.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(m_doubleBuffered ? GL_BACK : GL_FRONT);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, back->Framebuffer());
    glBlitFramebuffer(0, 0, w, h, 0, h, w, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    // The presented image as an off-screen chain keeps it: in the spare, top
    // row first, or still in the back buffer (the window's drawing buffer held
    // it: a single-buffered window, or a double-buffered one whose swap keeps it).
    if (m_hasFront) {
        if (m_frontInSpare)
            FlipSpare();
        else
            back->presentedBy = this;
    }
    m_frontInSpare = false;
    m_device->InvalidateGLCache();
}

void SwapChain::MoveOntoWindow()
{
    SDL_Window* window = Win32_GetSDLWindow(m_hwnd);
    Surface* back = m_backBuffer.get();
    const GLint w = (GLint)m_params.BackBufferWidth, h = (GLint)m_params.BackBufferHeight;
    int dw = 0, dh = 0;
    if (window) SDL_GL_GetDrawableSize(window, &dw, &dh);
    // Not back at its size (yet): drawn off screen and copied as before.
    if (dw != w || dh != h || !back->Framebuffer() || !m_device->MakeCurrentOn(window) || !EnsureSpare()) return;
    m_window = window;
    ScissorOff(m_device);
    if (m_hasFront) {
        if (back->presentedBy != this) {
            FlipSpare();
            m_frontInSpare = true;
        } else if (m_doubleBuffered) {
            // The window's drawing buffer is not what it shows: the image goes to the spare.
            glBindFramebuffer(GL_READ_FRAMEBUFFER, back->Framebuffer());
            glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_frontFbo);
            glBlitFramebuffer(0, 0, w, h, 0, h, w, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
            m_frontInSpare = true;
            back->presentedBy = nullptr;
        }
        // A single-buffered window holds it once the pixels below are in it.
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, back->Framebuffer());
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBlitFramebuffer(0, 0, w, h, 0, h, w, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    back->FreeGL();
    back->windowChain = this;
    // The window's depth and stencil were the screen's meanwhile.
    windowStencil = StencilContent();
    windowStencil.state = StencilContent::kUnknown;
    m_device->InvalidateGLCache();
}

bool SwapChain::FlipSpare()
{
    const GLint w = (GLint)m_params.BackBufferWidth, h = (GLint)m_params.BackBufferHeight;
    GLuint flipped = 0, fbo = 0;
    glGenRenderbuffers(1, &flipped);
    glBindRenderbuffer(GL_RENDERBUFFER, flipped);
    glRenderbufferStorage(GL_RENDERBUFFER, m_backBuffer->pixelFormat()->internalFormat, w, h);
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, fbo);
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, flipped);
    const bool ok = glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (ok) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, m_frontFbo);
        glBlitFramebuffer(0, 0, w, h, 0, h, w, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        glBindFramebuffer(GL_FRAMEBUFFER, m_frontFbo);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, flipped);
        std::swap(flipped, m_frontRenderbuffer);
    }
    glDeleteFramebuffers(1, &fbo);
    glDeleteRenderbuffers(1, &flipped);
    m_device->gl().fbo = ~0u;
    return ok;
}

HRESULT SwapChain::GetFrontBufferData(IDirect3DSurface9* pDest)
{
    if (!pDest) return D3DERR_INVALIDCALL;
    FollowWindow();
    Surface* dst = static_cast<Surface*>(pDest);
    if (dst->device() != m_device || dst->kind() != Surface::kOffscreen || dst->format() != D3DFMT_A8R8G8B8 ||
        dst->pool() != D3DPOOL_SYSTEMMEM)
        return D3DERR_INVALIDCALL;
    std::vector<uint8_t>& mem = dst->memory();
    const UINT dw = dst->width(), dh = dst->height(), pitch = dst->pitch();
    for (size_t i = 0; i + 3 < mem.size(); i += 4) {
        mem[i] = mem[i + 1] = mem[i + 2] = 0;
        mem[i + 3] = 0xff;
    }
    if (!m_hasFront || !m_device->MakeCurrent()) return D3D_OK;
    const UINT w = m_params.BackBufferWidth, h = m_params.BackBufferHeight;
    std::vector<uint8_t> image((size_t)w * h * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    if (m_backBuffer->windowChain) {
        // The window's front buffer holds the presented image (or the spare
        // does, once a single-buffered window drew over it), bottom row first.
        if (m_frontInSpare) {
            m_device->BindFramebuffer(m_frontFbo);
        } else {
            // The first read from a double-buffered window: its back buffer
            // still holds the presented image where the swap keeps it (GL's
            // software rasterisers do); from now on each image is kept.
            SDL_Window* window = Win32_GetSDLWindow(m_frontWindow);
            if (!window || !m_device->MakeCurrentOn(window)) return D3D_OK;
            m_device->BindFramebuffer(0);
            glReadBuffer(m_doubleBuffered ? GL_BACK : GL_FRONT);
            m_frontRead = true;
        }
        glReadPixels(0, 0, (GLsizei)w, (GLsizei)h, GL_BGRA, GL_UNSIGNED_BYTE, image.data());
        FlipRows(image.data(), (size_t)w * 4, h);
    } else {
        // Still in the back buffer when nothing was written to it since.
        m_device->BindFramebuffer(m_backBuffer->presentedBy == this ? m_backBuffer->Framebuffer() : m_frontFbo);
        glReadPixels(0, 0, (GLsizei)w, (GLsizei)h, GL_BGRA, GL_UNSIGNED_BYTE, image.data());
    }
    POINT origin = {0, 0};
    ClientToScreen(m_frontWindow, &origin);
    for (UINT y = 0; y < h; ++y) {
        const LONG sy = origin.y + (LONG)y;
        if (sy < 0 || sy >= (LONG)dh) continue;
        for (UINT x = 0; x < w; ++x) {
            const LONG sx = origin.x + (LONG)x;
            if (sx < 0 || sx >= (LONG)dw) continue;
            uint8_t* d = mem.data() + (size_t)sy * pitch + (size_t)sx * 4;
            const uint8_t* s = image.data() + ((size_t)y * w + x) * 4;
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            d[3] = 0xff;
        }
    }
    return D3D_OK;
}

HRESULT SwapChain::GetBackBuffer(UINT iBackBuffer, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** out)
{
    if (!out) return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (iBackBuffer >= std::max(1u, m_params.BackBufferCount) || type != D3DBACKBUFFER_TYPE_MONO)
        return D3DERR_INVALIDCALL;
    m_backBuffer->AddRef();
    *out = m_backBuffer.get();
    return D3D_OK;
}

HRESULT SwapChain::GetRasterStatus(D3DRASTER_STATUS* s)
{
    if (!s) return D3DERR_INVALIDCALL;
    s->InVBlank = TRUE;
    s->ScanLine = 0;
    return D3D_OK;
}

HRESULT SwapChain::GetDisplayMode(D3DDISPLAYMODE* pMode)
{
    if (!pMode) return D3DERR_INVALIDCALL;
    return DisplayMode(pMode) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT SwapChain::GetDevice(IDirect3DDevice9** ppDevice)
{
    if (!ppDevice) return D3DERR_INVALIDCALL;
    m_device->AddRef();
    *ppDevice = m_device;
    return D3D_OK;
}

HRESULT SwapChain::GetPresentParameters(D3DPRESENT_PARAMETERS* p)
{
    if (!p) return D3DERR_INVALIDCALL;
    *p = m_params;
    return D3D_OK;
}

}  // namespace d3d9gl

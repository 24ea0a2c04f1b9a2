// Swap chains: a back buffer drawn top row first, presented to a window with
// the vertical flip done here, and the last presented image kept for
// GetFrontBufferData. Presenting copies nothing but the image to the window:
// the back buffer itself holds the presented image until it is next written
// to. A full clear then trades the back buffer's renderbuffer with the
// chain's spare one (the image stays, the clear goes to the other storage);
// any other first write copies the image to the spare before it.
#include "d3d9/D3D9Impl.h"

#include <Win32DeviceSeam.h>

#include <SDL.h>

#include <string.h>

#include <algorithm>

namespace d3d9gl {

SwapChain::SwapChain(Device* device, Owner owner, const D3DPRESENT_PARAMETERS& params, HWND hwnd, SDL_Window* window)
    : ChildUnknown(device, owner, nullptr), m_params(params), m_hwnd(hwnd), m_window(window)
{
}

SwapChain::~SwapChain()
{
    m_backBuffer.reset();
    if ((m_frontFbo || m_frontRenderbuffer) && m_device->SafeContext()) {
        if (m_frontFbo) glDeleteFramebuffers(1, &m_frontFbo);
        if (m_frontRenderbuffer) glDeleteRenderbuffers(1, &m_frontRenderbuffer);
    }
    m_device->InvalidateGLCache();
}

bool SwapChain::Init()
{
    m_backBuffer.reset(new Surface(m_device, Surface::kBackBuffer, kContained, this, m_params.BackBufferWidth,
                                   m_params.BackBufferHeight, m_params.BackBufferFormat, D3DPOOL_DEFAULT,
                                   D3DUSAGE_RENDERTARGET));
    if (!m_backBuffer->CreateGL())
        return false;
    m_device->BindFramebuffer(m_backBuffer->Framebuffer());
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glGenRenderbuffers(1, &m_frontRenderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, m_frontRenderbuffer);
    // The spare storage the back buffer trades with: the same format.
    glRenderbufferStorage(GL_RENDERBUFFER, m_backBuffer->pixelFormat()->internalFormat, (GLsizei)m_params.BackBufferWidth,
                          (GLsizei)m_params.BackBufferHeight);
    glGenFramebuffers(1, &m_frontFbo);
    m_device->BindFramebuffer(m_frontFbo);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_frontRenderbuffer);
    const bool ok = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    m_device->InvalidateGLCache();
    return ok;
}

HRESULT SwapChain::Present(const RECT*, const RECT*, HWND hDestWindowOverride, const RGNDATA*, DWORD)
{
    // Looked up each time: a destroyed window is refused, never used.
    HWND hwnd = hDestWindowOverride ? hDestWindowOverride : m_hwnd;
    SDL_Window* window = Win32_GetSDLWindow(hwnd);
    if (!window || !m_device->SafeContext())
        return D3DERR_INVALIDCALL;
    m_window = hDestWindowOverride ? m_window : window;
    const GLuint back = m_backBuffer->Framebuffer();
    if (!back)
        return D3DERR_DRIVERINTERNALERROR;
    const GLint w = (GLint)m_params.BackBufferWidth, h = (GLint)m_params.BackBufferHeight;
    GLCache& c = m_device->gl();
    if (c.scissor != 0) {
        glDisable(GL_SCISSOR_TEST);
        c.scissor = 0;
        m_device->MarkRasterDirty();   // the next draw turns it on again if its state says so
    }
    // The back buffer now holds the image GetFrontBufferData gives; the next
    // write into it keeps the image first (Device::ApplyTarget).
    m_backBuffer->presentedBy = this;
    m_device->MarkTargetDirty();
    m_hasFront = true;
    m_frontWindow = hwnd;

    if (!m_device->MakeCurrentOn(window))
        return D3DERR_INVALIDCALL;
    int dw = 0, dh = 0;
    SDL_GL_GetDrawableSize(window, &dw, &dh);
    if (dw <= 0 || dh <= 0) {
        dw = w;
        dh = h;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, back);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    // Rows are stored top first; the window's framebuffer has its origin at the bottom.
    glBlitFramebuffer(0, 0, w, h, 0, dh, dw, 0, GL_COLOR_BUFFER_BIT, (dw == w && dh == h) ? GL_NEAREST : GL_LINEAR);
    // D3DPRESENT_INTERVAL_ONE (and DEFAULT) wait for the display's refresh.
    if (m_intervalWindow != window) {
        SDL_GL_SetSwapInterval(m_params.PresentationInterval == (UINT)D3DPRESENT_INTERVAL_IMMEDIATE ? 0 : 1);
        m_intervalWindow = window;
    }
    SDL_GL_SwapWindow(window);
    c.fbo = ~0u;
    m_device->MakeCurrent();
    m_device->EndFrame();
    return D3D_OK;
}

void SwapChain::KeepFrontImage(bool overwritten)
{
    Surface* back = m_backBuffer.get();
    if (!m_frontRenderbuffer || !m_frontFbo || !back->Framebuffer())
        return;
    if (overwritten) {
        back->SwapColorRenderbuffer(&m_frontRenderbuffer);
        m_device->BindFramebuffer(m_frontFbo);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_frontRenderbuffer);
        return;
    }
    GLCache& c = m_device->gl();
    if (c.scissor != 0) {
        glDisable(GL_SCISSOR_TEST);
        c.scissor = 0;
    }
    const GLint w = (GLint)m_params.BackBufferWidth, h = (GLint)m_params.BackBufferHeight;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, back->Framebuffer());
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_frontFbo);
    glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    c.fbo = ~0u;
}

HRESULT SwapChain::GetFrontBufferData(IDirect3DSurface9* pDest)
{
    if (!pDest)
        return D3DERR_INVALIDCALL;
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
    if (!m_hasFront || !m_device->MakeCurrent())
        return D3D_OK;
    const UINT w = m_params.BackBufferWidth, h = m_params.BackBufferHeight;
    std::vector<uint8_t> image((size_t)w * h * 4);
    // Still in the back buffer when nothing was written to it since.
    m_device->BindFramebuffer(m_backBuffer->presentedBy == this ? m_backBuffer->Framebuffer() : m_frontFbo);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(0, 0, (GLsizei)w, (GLsizei)h, GL_BGRA, GL_UNSIGNED_BYTE, image.data());
    POINT origin = {0, 0};
    ClientToScreen(m_frontWindow, &origin);
    for (UINT y = 0; y < h; ++y) {
        const LONG sy = origin.y + (LONG)y;
        if (sy < 0 || sy >= (LONG)dh)
            continue;
        for (UINT x = 0; x < w; ++x) {
            const LONG sx = origin.x + (LONG)x;
            if (sx < 0 || sx >= (LONG)dw)
                continue;
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
    if (!out)
        return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (iBackBuffer >= std::max(1u, m_params.BackBufferCount) || type != D3DBACKBUFFER_TYPE_MONO)
        return D3DERR_INVALIDCALL;
    m_backBuffer->AddRef();
    *out = m_backBuffer.get();
    return D3D_OK;
}

HRESULT SwapChain::GetRasterStatus(D3DRASTER_STATUS* s)
{
    if (!s)
        return D3DERR_INVALIDCALL;
    s->InVBlank = TRUE;
    s->ScanLine = 0;
    return D3D_OK;
}

HRESULT SwapChain::GetDisplayMode(D3DDISPLAYMODE* pMode)
{
    if (!pMode)
        return D3DERR_INVALIDCALL;
    return DisplayMode(pMode) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT SwapChain::GetDevice(IDirect3DDevice9** ppDevice)
{
    if (!ppDevice)
        return D3DERR_INVALIDCALL;
    m_device->AddRef();
    *ppDevice = m_device;
    return D3D_OK;
}

HRESULT SwapChain::GetPresentParameters(D3DPRESENT_PARAMETERS* p)
{
    if (!p)
        return D3DERR_INVALIDCALL;
    *p = m_params;
    return D3D_OK;
}

}  // namespace d3d9gl

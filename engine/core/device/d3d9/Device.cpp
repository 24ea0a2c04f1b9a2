// The device: GL context, swap chains, render targets, clears and resource
// creation. State tracking is in Device_state.cpp, drawing in Device_draw.cpp.
#include "d3d9/D3D9Impl.h"

#include "d3dx9math.h"
#include <Win32DeviceSeam.h>
#include <Win32Display.h>

#include <SDL.h>

#include <math.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>

namespace d3d9gl {

namespace {

constexpr size_t kStreamBytes = 4u << 20;
constexpr size_t kStreamIndexBytes = 1u << 20;
// The largest back buffer side taken (GL's renderbuffers reach no further).
constexpr UINT kMaxBackBufferSize = 16384;

// The context this layer made current last; another device's context (or a
// context made elsewhere) forces a switch.
void* g_currentContext = nullptr;

RECT Intersect(const RECT& a, const RECT& b)
{
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

// Whether r covers the w x h pixels from the origin.
bool Covers(const RECT& r, LONG w, LONG h)
{
    return r.left <= 0 && r.top <= 0 && r.right >= w && r.bottom >= h;
}

}  // namespace

Device::Device(Direct3D9* d3d, HWND focus, DWORD flags) : m_d3d(d3d), m_focus(focus), m_flags(flags)
{
    m_d3d->AddRef();
    memset(&m_state, 0, sizeof(m_state));
    memset(&m_key, 0, sizeof(m_key));
}

Device::~Device()
{
    m_destroying = true;
    if (m_context) {
        const bool gl = SafeContext();
        // Bindings go first: unbinding may end objects the program released.
        m_state.UnbindResources();
        if (m_renderTarget) {
            Surface* rt = m_renderTarget;
            m_renderTarget = nullptr;
            m_targetStencil = nullptr;
            rt->Unbind();
        }
        m_swapChain.reset();
        m_depthOwned.reset();
        if (gl && SafeContext()) {
            for (auto& p : m_programs)
                if (p.second->program) glDeleteProgram(p.second->program);
            if (m_vao) glDeleteVertexArrays(1, &m_vao);
            glDeleteSamplers(kMaxFFStages, m_samplers);
            if (m_stream) glDeleteBuffers(1, &m_stream);
            if (m_streamIndices) glDeleteBuffers(1, &m_streamIndices);
            for (GLsync& fence : m_frameFences)
                if (fence) glDeleteSync(fence);
        }
        m_programs.clear();
        if (m_window && gl) SDL_GL_MakeCurrent(m_window, nullptr);
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(m_context));
        g_currentContext = nullptr;
    }
    m_d3d->Release();
}

HRESULT Device::QueryInterface(REFIID, void** object)
{
    if (object) *object = nullptr;
    return E_NOINTERFACE;
}

ULONG Device::AddRef()
{
    return ++m_refs;
}

ULONG Device::Release()
{
    if (m_refs == 0) return 0;
    if (--m_refs == 0) {
        if (!m_destroying) delete this;
        return 0;
    }
    return m_refs;
}

HRESULT Device::TakeParameters(D3DPRESENT_PARAMETERS* pp, HWND* outHwnd, SDL_Window** outWindow)
{
    HWND hwnd = pp->hDeviceWindow ? pp->hDeviceWindow : m_focus;
    SDL_Window* window = Win32_GetSDLWindow(hwnd);
    if (!window) return D3DERR_INVALIDCALL;
    if (pp->EnableAutoDepthStencil && !IsDepthFormat(pp->AutoDepthStencilFormat)) return D3DERR_INVALIDCALL;
    if (pp->BackBufferFormat == D3DFMT_UNKNOWN && !pp->Windowed) return D3DERR_INVALIDCALL;
    if (pp->BackBufferFormat != D3DFMT_UNKNOWN && pp->BackBufferFormat != D3DFMT_X8R8G8B8 &&
        pp->BackBufferFormat != D3DFMT_A8R8G8B8)
        return D3DERR_INVALIDCALL;
    if (pp->MultiSampleType != D3DMULTISAMPLE_NONE || pp->BackBufferCount > 3) return D3DERR_INVALIDCALL;
    if (!pp->Windowed && (pp->BackBufferWidth == 0 || pp->BackBufferHeight == 0)) return D3DERR_INVALIDCALL;
    if (pp->BackBufferWidth > kMaxBackBufferSize || pp->BackBufferHeight > kMaxBackBufferSize)
        return D3DERR_INVALIDCALL;

    if (pp->Windowed) {
        RECT rc = {};
        GetClientRect(hwnd, &rc);
        if (pp->BackBufferWidth == 0) pp->BackBufferWidth = (UINT)std::max<LONG>(1, rc.right - rc.left);
        if (pp->BackBufferHeight == 0) pp->BackBufferHeight = (UINT)std::max<LONG>(1, rc.bottom - rc.top);
    } else {
        SDL_DisplayMode mode = {};
        mode.w = (int)pp->BackBufferWidth;
        mode.h = (int)pp->BackBufferHeight;
        mode.refresh_rate = (int)pp->FullScreen_RefreshRateInHz;
        SDL_SetWindowDisplayMode(window, &mode);
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN);
    }
    if (pp->BackBufferFormat == D3DFMT_UNKNOWN) pp->BackBufferFormat = D3DFMT_X8R8G8B8;
    if (pp->BackBufferCount == 0) pp->BackBufferCount = 1;
    *outHwnd = hwnd;
    *outWindow = window;
    return D3D_OK;
}

HRESULT Device::Init(D3DPRESENT_PARAMETERS* pp)
{
    HWND hwnd = nullptr;
    SDL_Window* window = nullptr;
    const HRESULT taken = TakeParameters(pp, &hwnd, &window);
    if (FAILED(taken)) return taken;

    SDL_GLContext ctx = SDL_GL_CreateContext(window);
    g_currentContext = ctx;
    if (!ctx) {
        fprintf(stderr, "device: no OpenGL context on the window (%s)\n", SDL_GetError());
        return D3DERR_NOTAVAILABLE;
    }
    m_context = ctx;
    m_window = window;
    m_currentWindow = window;
    if (epoxy_gl_version() < 33) {
        fprintf(stderr, "device: OpenGL 3.3 is needed, the context has %d.%d\n", epoxy_gl_version() / 10,
                epoxy_gl_version() % 10);
        return D3DERR_NOTAVAILABLE;
    }
    m_params = *pp;
    m_params.hDeviceWindow = hwnd;

    m_clipControl = epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_ARB_clip_control");
    if (m_clipControl) glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, m_maxViewport);
    glEnable(GL_PROGRAM_POINT_SIZE);
    // Flat shading takes each triangle's first vertex, as Direct3D does.
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    // The point-sprite origin follows the target's orientation (ApplyTarget).
    glGenVertexArrays(1, &m_vao);
    glBindVertexArray(m_vao);
    glGenSamplers(kMaxFFStages, m_samplers);
    for (int i = 0; i < kMaxFFStages; ++i) glBindSampler((GLuint)i, m_samplers[i]);
    glGenBuffers(1, &m_stream);
    glBindBuffer(GL_ARRAY_BUFFER, m_stream);
    glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)kStreamBytes, nullptr, GL_STREAM_DRAW);
    m_streamSize = kStreamBytes;
    glGenBuffers(1, &m_streamIndices);
    glBindBuffer(GL_COPY_WRITE_BUFFER, m_streamIndices);
    glBufferData(GL_COPY_WRITE_BUFFER, (GLsizeiptr)kStreamIndexBytes, nullptr, GL_STREAM_DRAW);
    m_streamIndexSize = kStreamIndexBytes;
    InvalidateGLCache();

    m_swapChain.reset(new SwapChain(this, Child::kOwned, m_params, hwnd, window));
    if (!m_swapChain->Init() || !StartBuffers()) return D3DERR_NOTAVAILABLE;
    if (GLenum e = glGetError()) fprintf(stderr, "device: GL error 0x%x while opening the device\n", e);
    return D3D_OK;
}

bool Device::StartBuffers()
{
    if (m_params.EnableAutoDepthStencil) {
        m_depthOwned.reset(new Surface(this, Surface::kDepth, Child::kOwned, nullptr, m_params.BackBufferWidth,
                                       m_params.BackBufferHeight, m_params.AutoDepthStencilFormat, D3DPOOL_DEFAULT,
                                       D3DUSAGE_DEPTHSTENCIL));
        if (!m_depthOwned->CreateGL()) return false;
        m_depth = m_depthOwned.get();
    }
    m_renderTarget = m_swapChain->backBuffer();
    SetDefaultState();
    // GL leaves new buffers undefined; start black with the depth at its far value.
    Clear(0, nullptr,
          D3DCLEAR_TARGET | (m_depth ? D3DCLEAR_ZBUFFER : 0) |
              (m_depth && HasStencil(m_depth->format()) ? D3DCLEAR_STENCIL : 0),
          0xFF000000, 1.0f, 0);
    return true;
}

bool Device::MakeCurrent()
{
    if (!m_context || !m_window) return false;
    // Any of the device's windows will do: objects and framebuffers belong
    // to the context. Only a window's own framebuffer needs its window
    // (ApplyTarget, presenting), and those switch with MakeCurrentOn.
    // The program may have made a context of its own current meanwhile: SDL's
    // answer counts, not what the device last did.
    if (SDL_GL_GetCurrentContext() == static_cast<SDL_GLContext>(m_context) && m_currentWindow &&
        SDL_GL_GetCurrentWindow() == m_currentWindow)
        return true;
    if (SDL_GL_MakeCurrent(m_window, static_cast<SDL_GLContext>(m_context)) != 0) {
        g_currentContext = nullptr;
        m_currentWindow = nullptr;
        return false;
    }
    m_currentWindow = m_window;
    g_currentContext = m_context;
    m_dirty |= kDirtyTarget;  // FBO 0 may now be another window's framebuffer
    return true;
}

bool Device::SafeContext()
{
    if (!m_context) return false;
    SDL_Window* w = Win32_GetSDLWindow(m_params.hDeviceWindow);
    if (w != m_window) {
        // The window is gone (w NULL): from now on GL is not called; the
        // context's objects go with the context.
        m_window = w;
        m_currentWindow = nullptr;
    }
    return MakeCurrent();
}

bool Device::MakeCurrentOn(SDL_Window* window)
{
    if (!m_context || !window) return false;
    if (m_currentWindow != window || SDL_GL_GetCurrentContext() != static_cast<SDL_GLContext>(m_context) ||
        SDL_GL_GetCurrentWindow() != window) {
        if (SDL_GL_MakeCurrent(window, static_cast<SDL_GLContext>(m_context)) != 0) {
            g_currentContext = nullptr;
            m_currentWindow = nullptr;
            return false;
        }
        m_currentWindow = window;
        g_currentContext = m_context;
        // FBO 0 is now another window's framebuffer.
        m_dirty |= kDirtyTarget;
    }
    return true;
}

void Device::BindFramebuffer(GLuint fbo)
{
    if (m_gl.fbo != fbo) {
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        m_gl.fbo = fbo;
    }
}

void Device::InvalidateGLCache()
{
    const GLuint vaoKeep = m_vao;
    m_gl = GLCache();
    (void)vaoKeep;
    m_program = nullptr;
    m_dirty = kDirtyAll;
    m_samplerDirty = 0xffffffffu;
    ++m_transformSerial;
    ++m_lightSerial;
    ++m_miscSerial;
}

void Device::LimitFrameLatency()
{
    // Without a wait a renderer that queues work (Mesa's software one does)
    // takes frames as fast as they come, and its queue grows by every frame's
    // commands and copies of their vertex data.
    GLsync& oldest = m_frameFences[m_frameFenceNext];
    if (oldest) {
        while (glClientWaitSync(oldest, GL_SYNC_FLUSH_COMMANDS_BIT, 1000000000ull) == GL_TIMEOUT_EXPIRED) {
        }
        glDeleteSync(oldest);
    }
    oldest = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    m_frameFenceNext = (m_frameFenceNext + 1) % kMaxFrameLatency;
}

void Device::EndFrame()
{
    m_previousStats = m_stats;
    memset(&m_stats, 0, sizeof(m_stats));
}

HRESULT Device::GetDirect3D(IDirect3D9** out)
{
    if (!out) return D3DERR_INVALIDCALL;
    m_d3d->AddRef();
    *out = m_d3d;
    return D3D_OK;
}

HRESULT Device::GetDeviceCaps(D3DCAPS9* pCaps)
{
    if (!pCaps) return D3DERR_INVALIDCALL;
    Direct3D9::FillCaps(pCaps);
    return D3D_OK;
}

HRESULT Device::GetDisplayMode(UINT iSwapChain, D3DDISPLAYMODE* pMode)
{
    if (iSwapChain != 0 || !pMode) return D3DERR_INVALIDCALL;
    return DisplayMode(pMode) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Device::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* p)
{
    if (!p) return D3DERR_INVALIDCALL;
    p->AdapterOrdinal = D3DADAPTER_DEFAULT;
    p->DeviceType = D3DDEVTYPE_HAL;
    p->hFocusWindow = m_focus;
    p->BehaviorFlags = m_flags;
    return D3D_OK;
}

HRESULT Device::CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS* pp, IDirect3DSwapChain9** out)
{
    if (!pp || !out) return D3DERR_INVALIDCALL;
    *out = nullptr;
    HWND hwnd = pp->hDeviceWindow ? pp->hDeviceWindow : m_focus;
    SDL_Window* window = Win32_GetSDLWindow(hwnd);
    if (!window) return D3DERR_INVALIDCALL;
    if (pp->BackBufferFormat != D3DFMT_UNKNOWN && pp->BackBufferFormat != D3DFMT_X8R8G8B8 &&
        pp->BackBufferFormat != D3DFMT_A8R8G8B8)
        return D3DERR_INVALIDCALL;
    D3DPRESENT_PARAMETERS p = *pp;
    RECT rc = {};
    GetClientRect(hwnd, &rc);
    if (p.BackBufferWidth == 0) p.BackBufferWidth = (UINT)std::max<LONG>(1, rc.right - rc.left);
    if (p.BackBufferHeight == 0) p.BackBufferHeight = (UINT)std::max<LONG>(1, rc.bottom - rc.top);
    if (p.BackBufferFormat == D3DFMT_UNKNOWN) p.BackBufferFormat = D3DFMT_X8R8G8B8;
    if (p.BackBufferCount == 0) p.BackBufferCount = 1;
    p.hDeviceWindow = hwnd;
    if (!MakeCurrent()) return D3DERR_INVALIDCALL;
    SwapChain* chain = new SwapChain(this, Child::kStandalone, p, hwnd, window);
    if (!chain->Init()) {
        chain->Release();
        return D3DERR_NOTAVAILABLE;
    }
    *pp = p;
    *out = chain;
    return D3D_OK;
}

HRESULT Device::GetSwapChain(UINT iSwapChain, IDirect3DSwapChain9** out)
{
    if (!out) return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (iSwapChain != 0) return D3DERR_INVALIDCALL;
    m_swapChain->AddRef();
    *out = m_swapChain.get();
    return D3D_OK;
}

HRESULT Device::Reset(D3DPRESENT_PARAMETERS* pp)
{
    // As Direct3D has it, the program first lets go of everything that lives
    // with the back buffer: the default pool, extra swap chains, references
    // to the back buffer and the depth buffer. Managed and system-memory
    // resources stay as they are.
    if (!pp || m_resetBlockers > 0 || !m_swapChain) return D3DERR_INVALIDCALL;
    D3DPRESENT_PARAMETERS params = *pp;
    // Back from a full-screen mode first, so that the window has its own size
    // again; a window the window layer holds full screen stays so (its client
    // size is the window's own).
    if (params.Windowed && m_window && (SDL_GetWindowFlags(m_window) & SDL_WINDOW_FULLSCREEN) &&
        !Win32_IsFullScreen(Win32_GetHWND(m_window)))
        SDL_SetWindowFullscreen(m_window, 0);
    HWND hwnd = nullptr;
    SDL_Window* window = nullptr;
    const HRESULT taken = TakeParameters(&params, &hwnd, &window);
    if (FAILED(taken)) return taken;
    m_window = window;
    m_currentWindow = nullptr;
    if (!MakeCurrent()) return D3DERR_INVALIDCALL;

    // A device as new: nothing bound (which ends what only the bindings
    // kept), every state at its default, drawing into the new back buffer.
    m_state.UnbindResources();
    if (m_renderTarget) {
        Surface* rt = m_renderTarget;
        m_renderTarget = nullptr;
        rt->Unbind();
    }
    m_targetStencil = nullptr;
    m_depth = nullptr;
    m_depthOwned.reset();
    memset(&m_state, 0, sizeof(m_state));
    m_params = params;
    m_params.hDeviceWindow = hwnd;
    const bool made = m_swapChain->Reset(m_params, hwnd, window) && StartBuffers();
    InvalidateGLCache();
    if (!made) {
        fprintf(stderr, "device: Reset could not make a %ux%u back buffer\n", m_params.BackBufferWidth,
                m_params.BackBufferHeight);
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *pp = params;
    return D3D_OK;
}

HRESULT Device::Present(const RECT* src, const RECT* dst, HWND hDestWindowOverride, const RGNDATA* dirty)
{
    return m_swapChain->Present(src, dst, hDestWindowOverride, dirty, 0);
}

HRESULT Device::GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** out)
{
    if (iSwapChain != 0) {
        if (out) *out = nullptr;
        return D3DERR_INVALIDCALL;
    }
    return m_swapChain->GetBackBuffer(iBackBuffer, type, out);
}

HRESULT Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DTexture9** out, HANDLE* shared)
{
    if (!out) return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (shared || width == 0 || height == 0 || width > 8192 || height > 8192 || !FindPixelFormat(format))
        return D3DERR_INVALIDCALL;
    if (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_MANAGED && pool != D3DPOOL_SYSTEMMEM && pool != D3DPOOL_SCRATCH)
        return D3DERR_INVALIDCALL;
    if (usage & D3DUSAGE_RENDERTARGET) {
        if (pool != D3DPOOL_DEFAULT || !FindPixelFormat(format)->renderTarget) return D3DERR_INVALIDCALL;
    }
    if (usage & D3DUSAGE_DEPTHSTENCIL) return D3DERR_INVALIDCALL;
    if (!MakeCurrent()) return D3DERR_INVALIDCALL;
    Texture* t = new Texture(this, width, height, levels, usage, format, pool);
    if (!t->Init()) {
        t->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *out = t;
    return D3D_OK;
}

HRESULT Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** out,
                                   HANDLE* shared)
{
    if (!out) return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (shared || length == 0 || length > (256u << 20) || pool > D3DPOOL_SCRATCH) return D3DERR_INVALIDCALL;
    if (fvf && D3DXGetFVFVertexSize(fvf) == 0) return D3DERR_INVALIDCALL;
    if (!MakeCurrent()) return D3DERR_INVALIDCALL;
    VertexBuffer* vb = new VertexBuffer(this, length, usage, fvf, pool);
    if (!vb->store.Init(length, pool, usage)) {
        vb->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *out = vb;
    return D3D_OK;
}

HRESULT Device::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool, IDirect3DIndexBuffer9** out,
                                  HANDLE* shared)
{
    if (!out) return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (shared || length == 0 || length > (256u << 20) || pool > D3DPOOL_SCRATCH || format != D3DFMT_INDEX16)
        return D3DERR_INVALIDCALL;
    if (!MakeCurrent()) return D3DERR_INVALIDCALL;
    IndexBuffer* ib = new IndexBuffer(this, length, usage, format, pool);
    if (!ib->store.Init(length, pool, usage)) {
        ib->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *out = ib;
    return D3D_OK;
}

HRESULT Device::CreateRenderTarget(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE ms, DWORD, BOOL,
                                   IDirect3DSurface9** out, HANDLE* shared)
{
    if (!out) return D3DERR_INVALIDCALL;
    *out = nullptr;
    const PixelFormat* pf = FindPixelFormat(format);
    if (shared || width == 0 || height == 0 || width > 8192 || height > 8192 || !pf || !pf->renderTarget ||
        ms != D3DMULTISAMPLE_NONE)
        return D3DERR_INVALIDCALL;
    if (!MakeCurrent()) return D3DERR_INVALIDCALL;
    Surface* s = new Surface(this, Surface::kRenderTarget, Child::kStandalone, nullptr, width, height, format,
                             D3DPOOL_DEFAULT, D3DUSAGE_RENDERTARGET);
    if (!s->CreateGL()) {
        s->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *out = s;
    return D3D_OK;
}

HRESULT Device::CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                            IDirect3DSurface9** out, HANDLE* shared)
{
    if (!out) return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (shared || width == 0 || height == 0 || width > 16384 || height > 16384 || !FindPixelFormat(format) ||
        pool == D3DPOOL_MANAGED || pool > D3DPOOL_SCRATCH)
        return D3DERR_INVALIDCALL;
    *out = new Surface(this, Surface::kOffscreen, Child::kStandalone, nullptr, width, height, format, pool, 0);
    return D3D_OK;
}

HRESULT Device::GetRenderTargetData(IDirect3DSurface9* pRenderTarget, IDirect3DSurface9* pDest)
{
    if (!pRenderTarget || !pDest) return D3DERR_INVALIDCALL;
    Surface* src = static_cast<Surface*>(pRenderTarget);
    Surface* dst = static_cast<Surface*>(pDest);
    if (src->device() != this || dst->device() != this || !src->IsRenderTarget() || dst->memory().empty() ||
        dst->pool() != D3DPOOL_SYSTEMMEM || src->width() != dst->width() || src->height() != dst->height())
        return D3DERR_INVALIDCALL;
    const bool same = src->format() == dst->format();
    const bool both8888 = (src->format() == D3DFMT_A8R8G8B8 || src->format() == D3DFMT_X8R8G8B8) &&
                          (dst->format() == D3DFMT_A8R8G8B8 || dst->format() == D3DFMT_X8R8G8B8);
    if (!same && !both8888) return D3DERR_INVALIDCALL;
    if (!MakeCurrent()) return D3DERR_INVALIDCALL;
    if (!src->ReadPixels(dst->memory().data(), (INT)dst->pitch())) return D3DERR_DRIVERINTERNALERROR;
    if (src->format() == D3DFMT_X8R8G8B8 || dst->format() == D3DFMT_X8R8G8B8) {
        uint8_t* p = dst->memory().data();
        for (size_t i = 3; i < dst->memory().size(); i += 4) p[i] = 0xff;
    }
    return D3D_OK;
}

HRESULT Device::GetFrontBufferData(UINT iSwapChain, IDirect3DSurface9* pDest)
{
    if (iSwapChain != 0) return D3DERR_INVALIDCALL;
    return m_swapChain->GetFrontBufferData(pDest);
}

HRESULT Device::SetRenderTarget(DWORD index, IDirect3DSurface9* pRenderTarget)
{
    if (index != 0 || !pRenderTarget) return D3DERR_INVALIDCALL;
    Surface* s = static_cast<Surface*>(pRenderTarget);
    if (s->device() != this || !s->IsRenderTarget()) return D3DERR_INVALIDCALL;
    if (s != m_renderTarget) {
        s->Bind();
        Surface* old = m_renderTarget;
        m_renderTarget = s;
        if (old) old->Unbind();
        ++m_stats.stateChanges;
        // Whether the new target is written through the sRGB encoding.
        if (m_state.rs[D3DRS_SRGBWRITEENABLE]) m_dirty |= kDirtyKey;
    }
    SetViewportToTarget();
    return D3D_OK;
}

HRESULT Device::GetRenderTarget(DWORD index, IDirect3DSurface9** out)
{
    if (!out) return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (index != 0 || !m_renderTarget) return index != 0 ? D3DERR_INVALIDCALL : D3DERR_NOTFOUND;
    m_renderTarget->AddRef();
    *out = m_renderTarget;
    return D3D_OK;
}

HRESULT Device::SetDepthStencilSurface(IDirect3DSurface9* pNew)
{
    if (pNew && (static_cast<Surface*>(pNew) != m_depthOwned.get())) return D3DERR_INVALIDCALL;
    m_depth = static_cast<Surface*>(pNew);
    m_dirty |= kDirtyTarget | kDirtyRaster;
    return D3D_OK;
}

HRESULT Device::GetDepthStencilSurface(IDirect3DSurface9** out)
{
    if (!out) return D3DERR_INVALIDCALL;
    *out = m_depth;
    if (!m_depth) return D3DERR_NOTFOUND;
    m_depth->AddRef();
    return D3D_OK;
}

HRESULT Device::BeginScene()
{
    if (m_inScene) return D3DERR_INVALIDCALL;
    m_inScene = true;
    return D3D_OK;
}

HRESULT Device::EndScene()
{
    if (!m_inScene) return D3DERR_INVALIDCALL;
    m_inScene = false;
    return D3D_OK;
}

void Device::ApplyTarget(bool overwritten)
{
    Surface* rt = m_renderTarget;
    if (rt && rt->chain) rt->chain->FollowWindow();
    const bool toWindow = rt && rt->windowChain;
    if (toWindow) MakeCurrentOn(rt->windowChain->sdlWindow());
    if (rt && rt->presentedBy) {
        SwapChain* chain = rt->presentedBy;
        rt->presentedBy = nullptr;
        chain->KeepFrontImage(overwritten);
        m_dirty |= kDirtyRaster;  // the copy may have turned the scissor test off
    }
    if (toWindow != m_windowOrientation) {
        // The other vertical orientation: the y flip, the winding, the
        // scissor and the point-sprite origin follow.
        m_windowOrientation = toWindow;
        ++m_miscSerial;
        m_dirty |= kDirtyRaster;
    }
    const GLenum pointOrigin = toWindow ? GL_UPPER_LEFT : GL_LOWER_LEFT;
    if (m_gl.pointOrigin != pointOrigin) {
        glPointParameteri(GL_POINT_SPRITE_COORD_ORIGIN, pointOrigin);
        m_gl.pointOrigin = pointOrigin;
    }
    const GLuint fbo = rt ? rt->Framebuffer() : 0;
    BindFramebuffer(fbo);
    m_targetStencil = nullptr;
    // Drawing may leave any alpha in a texture level.
    if (rt && rt->kind() == Surface::kTextureLevel && rt->pixelFormat()->swizzle[3] != GL_ONE) rt->alphaOpaque = false;
    if (rt && toWindow && m_depth && HasStencil(m_depth->format())) {
        m_targetStencil = &rt->windowChain->windowStencil;
        m_targetStencilWidth = rt->width();
        m_targetStencilHeight = rt->height();
    }
    if (rt && fbo) {
        GLuint depth = 0;
        D3DFORMAT depthFormat = D3DFMT_UNKNOWN;
        if (m_depth) {
            depthFormat = m_depth->format();
            if (m_depth->width() >= rt->width() && m_depth->height() >= rt->height()) {
                depth = m_depth->ColorRenderbuffer();
                m_targetStencil = &m_depth->stencil;
                m_targetStencilWidth = m_depth->width();
                m_targetStencilHeight = m_depth->height();
            } else {
                // Direct3D needs the depth buffer at least as large as the
                // target; rather than clip the drawing, a larger target gets a
                // depth buffer of its own.
                if (!rt->privateDepth) {
                    glGenRenderbuffers(1, &rt->privateDepth);
                    glBindRenderbuffer(GL_RENDERBUFFER, rt->privateDepth);
                    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, (GLsizei)rt->width(),
                                          (GLsizei)rt->height());
                }
                depth = rt->privateDepth;
                depthFormat = D3DFMT_D24S8;
                m_targetStencil = &rt->privateStencil;
                m_targetStencilWidth = rt->width();
                m_targetStencilHeight = rt->height();
            }
            if (!HasStencil(depthFormat)) m_targetStencil = nullptr;
        }
        if (rt->attachedDepth != depth) {
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
            if (depth)
                glFramebufferRenderbuffer(GL_FRAMEBUFFER,
                                          HasStencil(depthFormat) ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                                          GL_RENDERBUFFER, depth);
            rt->attachedDepth = depth;
        }
    }
    const D3DVIEWPORT9& vp = m_state.viewport;
    const GLint box[4] = {(GLint)vp.X, TargetRow((LONG)vp.Y, (LONG)vp.Height), (GLint)vp.Width, (GLint)vp.Height};
    if (memcmp(box, m_gl.viewport, sizeof(box)) != 0) {
        glViewport(box[0], box[1], box[2], box[3]);
        memcpy(m_gl.viewport, box, sizeof(box));
    }
    if (m_gl.depthRange[0] != vp.MinZ || m_gl.depthRange[1] != vp.MaxZ) {
        glDepthRange(vp.MinZ, vp.MaxZ);
        m_gl.depthRange[0] = vp.MinZ;
        m_gl.depthRange[1] = vp.MaxZ;
    }
    m_dirty &= ~kDirtyTarget;
}

GLint Device::TargetRow(LONG y, LONG height) const
{
    if (!m_windowOrientation || !m_renderTarget) return (GLint)y;
    return (GLint)((LONG)m_renderTarget->height() - y - height);
}

void Device::SetViewportToTarget()
{
    D3DVIEWPORT9 vp = {
        0, 0, m_renderTarget ? m_renderTarget->width() : 1, m_renderTarget ? m_renderTarget->height() : 1, 0.0f, 1.0f};
    m_state.viewport = vp;
    m_dirty |= kDirtyTarget | kDirtyMisc | kDirtyRaster;
}

void Device::PositionFixup(float out[4]) const
{
    // Direct3D samples pixels at integer coordinates, GL at half-integers:
    // geometry moves 63/128 of a pixel right and down, just under half, so
    // that edges on pixel boundaries follow the top-left fill rule whatever
    // GL's own tie-break. w: -1 flips y for surfaces stored top row first,
    // 1 keeps it for a window's framebuffer (bottom row first).
    const float w = (float)std::max<DWORD>(1, m_state.viewport.Width);
    const float h = (float)std::max<DWORD>(1, m_state.viewport.Height);
    out[0] = (63.0f / 64.0f) / w;
    out[1] = (63.0f / 64.0f) / h;
    out[2] = m_clipControl ? 0.0f : 1.0f;
    out[3] = m_windowOrientation ? 1.0f : -1.0f;
}

HRESULT Device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil)
{
    if (flags == 0 || (flags & ~(DWORD)(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)))
        return D3DERR_INVALIDCALL;
    if ((flags & D3DCLEAR_ZBUFFER) && !m_depth) return D3DERR_INVALIDCALL;
    if ((flags & D3DCLEAR_STENCIL) && (!m_depth || !HasStencil(m_depth->format()))) return D3DERR_INVALIDCALL;
    // As Direct3D 9 takes them: a count without rectangles clears the whole
    // viewport, rectangles without a count clear nothing.
    if (!rects)
        count = 0;
    else if (count == 0)
        return D3D_OK;
    if (!MakeCurrent()) return D3DERR_INVALIDCALL;
    // Clears cover the viewport within the render target, cut to the scissor
    // rectangle while the scissor test is on, or the given rectangles within that.
    const LONG tw = m_renderTarget ? (LONG)m_renderTarget->width() : 0;
    const LONG th = m_renderTarget ? (LONG)m_renderTarget->height() : 0;
    const D3DVIEWPORT9& vp = m_state.viewport;
    const RECT viewport = {(LONG)vp.X, (LONG)vp.Y, (LONG)(vp.X + vp.Width), (LONG)(vp.Y + vp.Height)};
    RECT area = Intersect(viewport, {0, 0, tw, th});
    if (m_state.rs[D3DRS_SCISSORTESTENABLE]) area = Intersect(area, m_state.scissor);
    const DWORD n = count ? count : 1;
    auto cleared = [&](DWORD i) {
        return count ? Intersect(area, {rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2}) : area;
    };
    // Whether one of the cleared rectangles covers w x h pixels from the origin.
    auto coversAll = [&](LONG w, LONG h) {
        for (DWORD i = 0; i < n; ++i)
            if (Covers(cleared(i), w, h)) return true;
        return false;
    };
    const bool everyPixel = (flags & D3DCLEAR_TARGET) && m_renderTarget && coversAll(tw, th);
    ApplyTarget(everyPixel);

    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET) {
        mask |= GL_COLOR_BUFFER_BIT;
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        m_gl.colorMask = 0xf;
        float c[4] = {((color >> 16) & 0xff) / 255.0f, ((color >> 8) & 0xff) / 255.0f, (color & 0xff) / 255.0f,
                      ((color >> 24) & 0xff) / 255.0f};
        // Written through the sRGB encoding, as draws are.
        if (m_state.rs[D3DRS_SRGBWRITEENABLE] && m_renderTarget && HasSrgbForm(m_renderTarget->format()))
            for (int i = 0; i < 3; ++i)
                c[i] = c[i] <= 0.0031308f ? 12.92f * c[i] : 1.055f * powf(c[i], 1.0f / 2.4f) - 0.055f;
        glClearColor(c[0], c[1], c[2], c[3]);
    }
    if (flags & D3DCLEAR_ZBUFFER) {
        mask |= GL_DEPTH_BUFFER_BIT;
        glDepthMask(GL_TRUE);
        m_gl.depthMask = 1;
        glClearDepth(std::min(1.0f, std::max(0.0f, z)));
    }
    if (flags & D3DCLEAR_STENCIL) {
        mask |= GL_STENCIL_BUFFER_BIT;
        glStencilMask(0xff);
        m_gl.stencilWriteMask = 0xff;
        glClearStencil((GLint)(stencil & 0xff));
    }
    if (m_targetStencil && (flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL))) {
        // Does one rectangle cover the whole depth-stencil storage?
        // (GL clears no more than the render target of a larger storage.)
        const bool whole = coversAll((LONG)m_targetStencilWidth, (LONG)m_targetStencilHeight);
        StencilContent& held = *m_targetStencil;
        if (flags & D3DCLEAR_STENCIL) {
            const uint8_t v = (uint8_t)(stencil & 0xff);
            if (whole)
                held = {StencilContent::kKnown, v};
            else if (held.state != StencilContent::kKnown || held.value != v)
                held.state = StencilContent::kUnknown;
        } else if (held.state != StencilContent::kUnknown) {
            // Depth alone: the stencil is rewritten with what it holds.
            mask |= GL_STENCIL_BUFFER_BIT;
            glStencilMask(0xff);
            m_gl.stencilWriteMask = 0xff;
            glClearStencil(held.value);
            if (whole) held.state = StencilContent::kKnown;
        }
    }
    for (DWORD i = 0; i < n; ++i) {
        const RECT r = cleared(i);
        if (r.right <= r.left || r.bottom <= r.top) continue;
        // A clear of the whole target goes without the scissor test: GL can
        // then clear in bulk instead of pixel by pixel.
        const int scissor = Covers(r, tw, th) ? 0 : 1;
        if (m_gl.scissor != scissor) {
            scissor ? glEnable(GL_SCISSOR_TEST) : glDisable(GL_SCISSOR_TEST);
            m_gl.scissor = scissor;
        }
        if (scissor) glScissor(r.left, TargetRow(r.top, r.bottom - r.top), r.right - r.left, r.bottom - r.top);
        glClear(mask);
    }
    m_gl.scissorBox[0] = -1;
    m_dirty |= kDirtyRaster;
    return D3D_OK;
}

}  // namespace d3d9gl

// The device layer's own classes behind the Direct3D 9 interfaces.
//
// Reference counts: a standalone resource (texture, buffer, surface, extra
// swap chain) holds one reference on its device while the program holds it;
// bindings on the device (textures, stream, indices, render target) hold an
// internal count that keeps the object alive but not the device. Surfaces of
// a texture forward their counts to their texture. Owned objects (the
// device's own swap chain and depth buffer, every swap chain's back buffer)
// count on their own from 0: while the program holds one it holds the device
// too, and a back buffer keeps its swap chain; released, they stay with
// their owner.
#pragma once

#include <d3d9.h>

#include <epoxy/gl.h>

#include "DeviceStats.h"
#include "d3d9/FixedFunction.h"
#include "d3d9/GLFormats.h"
#include "d3d9/Unknown.h"

#include <stdint.h>

#include <memory>
#include <unordered_map>
#include <vector>

struct SDL_Window;

namespace d3d9gl {

class Device;
class SwapChain;
class Texture;

constexpr int kMaxStages = 8;
constexpr int kMaxSamplers = 16;
constexpr int kRenderStateCount = 256;
constexpr int kStageStateCount = 33;
constexpr int kSamplerStateCount = 14;

// What the stencil bits of a depth-stencil storage hold, as far as the device
// knows. A clear of depth alone then rewrites the stencil with the value it
// already holds: whole depth-stencil words clear far faster than depth bits
// masked out of them, and nothing an application can observe changes.
struct StencilContent {
    enum State : uint8_t {
        kUndefined,  // not written since the storage was made: any value will do
        kKnown,      // every pixel holds value
        kUnknown,    // drawn into, or partly cleared
    };
    State state = kUndefined;
    uint8_t value = 0;
};

// Reference-count logic shared by the device's objects.
class Child {
public:
    enum Owner { kStandalone, kContained, kOwned };
    // blocksReset: while the program holds it, Device::Reset is refused (the
    // default pool's resources, extra swap chains, back buffers, depth).
    Child(Device* device, Owner owner, Child* container, bool blocksReset = false);
    virtual ~Child() = default;

    ULONG ChildAddRef();
    ULONG ChildRelease();
    void Bind();  // internal reference from a device binding
    void Unbind();

    Device* device() const { return m_device; }

protected:
    Device* m_device;
    Owner m_owner;
    Child* m_container;
    ULONG m_refs;
    ULONG m_internal = 0;
    bool m_blocksReset;
};

// IUnknown of the objects a device makes: their counts are the Child's.
template <class Interface>
class ChildUnknown : public Interface, public Child {
public:
    ChildUnknown(Device* device, Owner owner, Child* container, bool blocksReset = false)
        : Child(device, owner, container, blocksReset)
    {
    }
    HRESULT QueryInterface(REFIID, void** object) override
    {
        if (object) *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ChildAddRef(); }
    ULONG Release() override { return ChildRelease(); }
};

class Direct3D9 final : public Unknown<IDirect3D9> {
public:
    UINT GetAdapterCount() override;
    UINT GetAdapterModeCount(UINT adapter, D3DFORMAT format) override;
    HRESULT EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* pMode) override;
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* pMode) override;
    HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE devType, D3DFORMAT adapterFormat, D3DFORMAT backBufferFormat,
                            BOOL windowed) override;
    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE rType, D3DFORMAT checkFormat) override;
    HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT surfaceFormat, BOOL windowed,
                                       D3DMULTISAMPLE_TYPE multiSampleType, DWORD* pQualityLevels) override;
    HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat,
                                   D3DFORMAT renderTargetFormat, D3DFORMAT depthStencilFormat) override;
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS9* pCaps) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND hFocusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* pPresentationParameters,
                         IDirect3DDevice9** ppReturnedDeviceInterface) override;

    static void FillCaps(D3DCAPS9* caps);
};

bool DisplayMode(D3DDISPLAYMODE* mode);
// Turns an image of height rows of pitch bytes upside down in place.
void FlipRows(uint8_t* rows, size_t pitch, UINT height);

// One image. Kinds: a level of a texture, a swap chain's back buffer, the
// device's depth buffer, an off-screen plain surface, a render-target surface.
class Surface final : public ChildUnknown<IDirect3DSurface9> {
public:
    enum Kind { kTextureLevel, kBackBuffer, kDepth, kOffscreen, kRenderTarget };
    Surface(Device* device, Kind kind, Owner owner, Child* container, UINT width, UINT height, D3DFORMAT format,
            D3DPOOL pool, DWORD usage);
    ~Surface() override;

    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    DWORD SetPriority(DWORD) override { return 0; }
    DWORD GetPriority() override { return 0; }
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
    HRESULT GetContainer(REFIID riid, void** ppContainer) override;
    HRESULT GetDesc(D3DSURFACE_DESC* pDesc) override;
    HRESULT LockRect(D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD flags) override;
    HRESULT UnlockRect() override;
    HRESULT GetDC(HDC*) override { return D3DERR_INVALIDCALL; }
    HRESULT ReleaseDC(HDC) override { return D3DERR_INVALIDCALL; }

    // GL side. Creates the GL storage of back buffers, depth and render-target
    // surfaces; false when GL refuses.
    bool CreateGL();
    bool IsRenderTarget() const;
    GLuint Framebuffer();  // the FBO drawing into this surface (render targets)
    GLuint ColorRenderbuffer() const { return m_renderbuffer; }
    // Reads the GL image (top row first) into the caller's memory in this
    // surface's format.
    bool ReadPixels(void* dst, INT pitch);

    Kind kind() const { return m_kind; }
    UINT width() const { return m_width; }
    UINT height() const { return m_height; }
    D3DFORMAT format() const { return m_format; }
    D3DPOOL pool() const { return m_pool; }
    const PixelFormat* pixelFormat() const { return m_pf; }
    std::vector<uint8_t>& memory() { return m_memory; }
    UINT pitch() const { return m_pitch; }

    // Texture levels: which GL texture and level hold the image.
    GLuint glTexture = 0;
    GLint glLevel = 0;
    // The depth renderbuffer attached to Framebuffer() last.
    GLuint attachedDepth = 0;
    GLuint privateDepth = 0;  // own depth when the device's is too small
    StencilContent stencil;   // depth surfaces: their renderbuffer's stencil
    // Texture levels: every texel's alpha is known to be the largest value
    // (formats without alpha always). Looked at again on each unlock (only the
    // changed rectangle while it holds); a level drawn into as a render
    // target is no longer known to be.
    bool alphaOpaque = false;
    void CheckAlphaOpaque(const RECT* changed = nullptr);
    StencilContent privateStencil;  // privateDepth's stencil
    // Back buffers: the swap chain whose last presented image this surface
    // still holds (no copy taken yet); see SwapChain::KeepFrontImage.
    SwapChain* presentedBy = nullptr;
    // Back buffers drawn straight into their swap chain's window: the chain.
    // Such a surface has no GL storage of its own; it is the window's
    // framebuffer (FBO 0 with the window current), stored bottom row first.
    SwapChain* windowChain = nullptr;
    // Back buffers: the swap chain they belong to.
    SwapChain* chain = nullptr;
    // Frees the GL storage (colour, framebuffer, private depth); a back
    // buffer then has none until CreateGL.
    void FreeGL();
    // Back buffers: trades the colour storage with the caller's renderbuffer
    // of the same size and format, attaching the new one to Framebuffer().
    void SwapColorRenderbuffer(GLuint* renderbuffer);

private:
    void UploadRows(UINT top, UINT bottom);

    Kind m_kind;
    UINT m_width, m_height;
    D3DFORMAT m_format;
    D3DPOOL m_pool;
    DWORD m_usage;
    const PixelFormat* m_pf;
    std::vector<uint8_t> m_memory;  // system-memory copy (lockable surfaces)
    UINT m_pitch = 0;
    GLuint m_renderbuffer = 0;
    GLuint m_fbo = 0;
    bool m_locked = false;
    bool m_lockReadOnly = false;
    RECT m_lockRect = {};
};

class Texture final : public ChildUnknown<IDirect3DTexture9> {
public:
    Texture(Device* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    ~Texture() override;
    bool Init();

    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    DWORD SetPriority(DWORD) override { return 0; }
    DWORD GetPriority() override { return 0; }
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    // Managed textures only (the others answer 0): the most detailed level
    // sampled, clamped to the last level; SetLOD answers the previous one.
    DWORD SetLOD(DWORD lod) override;
    DWORD GetLOD() override;
    DWORD GetLevelCount() override { return (DWORD)m_levels.size(); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* pDesc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** ppSurfaceLevel) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;
    HRESULT AddDirtyRect(const RECT*) override { return D3D_OK; }

    GLuint glTexture() const { return m_tex; }
    D3DPOOL pool() const { return m_pool; }
    D3DFORMAT format() const { return m_format; }
    // Whether the levels a sampler can read (the base level alone, or it and
    // all smaller ones) hold only texels of full alpha.
    bool AlphaOpaque(bool allLevels, GLint baseLevel) const;
    // The most detailed level a sampler with this D3DSAMP_MAXMIPLEVEL reads:
    // the larger of it and the LOD, within the levels there are.
    GLint BaseLevel(DWORD maxMipLevel) const;
    GLint glBaseLevel = 0;  // GL_TEXTURE_BASE_LEVEL as last set

private:
    UINT m_width, m_height;
    DWORD m_usage;
    D3DFORMAT m_format;
    D3DPOOL m_pool;
    const PixelFormat* m_pf;
    GLuint m_tex = 0;
    DWORD m_lod = 0;
    std::vector<std::unique_ptr<Surface>> m_levels;
};

// Vertex and index buffers share their storage logic.
class BufferStore {
public:
    bool Init(UINT length, D3DPOOL pool, DWORD usage);
    void Free();
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags);
    HRESULT Unlock(bool upload = true);  // upload false: no GL context to send it with
    GLuint name() const { return m_buffer; }
    UINT length() const { return (UINT)m_memory.size(); }
    const uint8_t* data() const { return m_memory.data(); }

private:
    std::vector<uint8_t> m_memory;
    GLuint m_buffer = 0;
    int m_locks = 0;
    UINT m_dirtyBegin = 0, m_dirtyEnd = 0;
    bool m_discard = false;
};

class VertexBuffer final : public ChildUnknown<IDirect3DVertexBuffer9> {
public:
    VertexBuffer(Device* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
    ~VertexBuffer() override;

    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    DWORD SetPriority(DWORD) override { return 0; }
    DWORD GetPriority() override { return 0; }
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offsetToLock, UINT sizeToLock, void** ppbData, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* pDesc) override;

    BufferStore store;

private:
    DWORD m_usage, m_fvf;
    D3DPOOL m_pool;
};

class IndexBuffer final : public ChildUnknown<IDirect3DIndexBuffer9> {
public:
    IndexBuffer(Device* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    ~IndexBuffer() override;

    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    DWORD SetPriority(DWORD) override { return 0; }
    DWORD GetPriority() override { return 0; }
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT offsetToLock, UINT sizeToLock, void** ppbData, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* pDesc) override;

    BufferStore store;
    D3DFORMAT format() const { return m_format; }

private:
    DWORD m_usage;
    D3DFORMAT m_format;
    D3DPOOL m_pool;
};

class SwapChain final : public ChildUnknown<IDirect3DSwapChain9> {
public:
    SwapChain(Device* device, Owner owner, const D3DPRESENT_PARAMETERS& params, HWND hwnd, SDL_Window* window);
    ~SwapChain() override;
    bool Init();
    // Device::Reset: a new back buffer (which nobody may hold) for new
    // parameters; the presented image is gone.
    bool Reset(const D3DPRESENT_PARAMETERS& params, HWND hwnd, SDL_Window* window);

    HRESULT Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride,
                    const RGNDATA* pDirtyRegion, DWORD flags) override;
    HRESULT GetFrontBufferData(IDirect3DSurface9* pDestSurface) override;
    HRESULT GetBackBuffer(UINT iBackBuffer, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** ppBackBuffer) override;
    HRESULT GetRasterStatus(D3DRASTER_STATUS* pRasterStatus) override;
    HRESULT GetDisplayMode(D3DDISPLAYMODE* pMode) override;
    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    HRESULT GetPresentParameters(D3DPRESENT_PARAMETERS* pPresentationParameters) override;

    Surface* backBuffer() const { return m_backBuffer.get(); }
    const D3DPRESENT_PARAMETERS& params() const { return m_params; }
    // The window whose framebuffer is this chain's back buffer (see
    // Surface::windowChain); it outlives the chain (windows are hidden, not freed).
    SDL_Window* sdlWindow() const { return m_window; }
    // Called before the back buffer, still holding the last presented image,
    // is first written to. overwritten: the write replaces every pixel (a
    // full clear), so the image moves to the front storage by trading
    // renderbuffers instead of being copied. (A single-buffered window's
    // framebuffer always copies: the window is current.)
    void KeepFrontImage(bool overwritten);
    // Moves the back buffer off the window's framebuffer while the window is
    // full screen (its size stays, the window's drawable takes the screen's)
    // and back onto it once the window is back at the back buffer's size,
    // keeping its pixels and the presented image. Called before the back
    // buffer is drawn into, read or presented; nothing for a chain drawn off
    // screen from the start.
    void FollowWindow();
    // The stencil of the window's own depth buffer, which stands in for the
    // device's depth surface while this chain's back buffer is the window's.
    StencilContent windowStencil;

private:
    D3DPRESENT_PARAMETERS m_params;
    HWND m_hwnd;
    SDL_Window* m_window;
    std::unique_ptr<Surface> m_backBuffer;
    void FreeStorage();
    // Copies the off-screen back buffer into the window's drawable of dw x dh:
    // all of it in a window; full screen, into the picture rectangle
    // (Win32_PresentRect), pixel for nearest pixel, the bars black.
    bool PresentCopy(HWND hwnd, SDL_Window* window, GLint dw, GLint dh, bool fullScreen);
    void KeepWindowImage();
    bool PresentToOtherWindow(HWND hwnd, SDL_Window* window);
    bool EnsureSpare();
    void MoveOffWindow();
    void MoveOntoWindow();
    // Turns the spare's image upside down (window rows <-> surface rows).
    bool FlipSpare();

    GLuint m_frontRenderbuffer = 0;  // spare colour storage: the kept image, or a copy on its way
    GLuint m_frontFbo = 0;
    bool m_hasFront = false;
    bool m_doubleBuffered = true;  // the window's framebuffer keeps a front buffer of its own
    bool m_showOnPresent = true;   // off-screen back buffers: copied into the window at Present
    bool m_frontInSpare = false;   // window back buffers: the presented image was moved to the spare
    bool m_frontRead = false;      // GetFrontBufferData was called: double-buffered windows keep each image
    bool m_windowWanted = false;   // the back buffer is the window's framebuffer whenever the window is not full screen
    SDL_Window* m_reservedWindow = nullptr;  // this chain's entry among the windows in use
    HWND m_frontWindow = nullptr;            // the window the last image went to
    SDL_Window* m_intervalWindow = nullptr;  // where the swap interval was last set
};

// The Direct3D state a state block saves (everything but render targets).
struct DeviceState {
    DWORD rs[kRenderStateCount];
    DWORD tss[kMaxStages][kStageStateCount];
    DWORD samp[kMaxSamplers][kSamplerStateCount];
    D3DMATRIX world, view, proj;
    D3DMATRIX texTransform[kMaxStages];
    D3DVIEWPORT9 viewport;
    D3DMATERIAL9 material;
    D3DLIGHT9 lights[kMaxLights];
    BOOL lightEnabled[kMaxLights];
    IDirect3DBaseTexture9* textures[kMaxSamplers];
    DWORD fvf;
    VertexBuffer* stream;
    UINT streamOffset, streamStride;
    IndexBuffer* indices;
    RECT scissor;

    // Drops the bindings of textures, stream and indices (their internal references).
    void UnbindResources();
};

class StateBlock final : public ChildUnknown<IDirect3DStateBlock9> {
public:
    explicit StateBlock(Device* device);
    ~StateBlock() override;

    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    HRESULT Capture() override;
    HRESULT Apply() override;

private:
    void ReleaseRefs();
    DeviceState m_state;
};

// GL state as last set, so that draws change only what differs.
struct GLCache {
    GLuint program = 0;
    GLuint fbo = ~0u;
    GLint viewport[4] = {-1, -1, -1, -1};
    GLenum frontFace = 0;
    GLenum pointOrigin = 0;
    float depthRange[2] = {-1, -1};
    int blend = -1;
    GLenum blendSrc = 0, blendDst = 0, blendSrcA = 0, blendDstA = 0, blendEq = 0, blendEqA = 0;
    int depthTest = -1;
    int depthMask = -1;
    GLenum depthFunc = 0;
    int cull = -1;
    GLenum cullFace = 0;
    GLenum polygonMode = 0;
    int stencil = -1;
    GLenum stencilFunc = 0;
    GLint stencilRef = -1;
    GLuint stencilMask = 0, stencilWriteMask = 0;
    GLenum stencilFail = 0, stencilZFail = 0, stencilPass = 0;
    int colorMask = -1;
    int depthClamp = -1;
    int scissor = -1;
    GLint scissorBox[4] = {-1, -1, -1, -1};
    GLuint textures[kMaxFFStages] = {~0u, ~0u, ~0u, ~0u};  // ~0: not known
    int activeUnit = -1;
    // Vertex layout of the one vertex array.
    GLuint arrayBuffer = ~0u;
    GLuint elementBuffer = ~0u;
    DWORD layoutFvf = ~0u;
    UINT layoutStride = ~0u;
    size_t layoutOffset = ~(size_t)0;
    GLuint layoutBuffer = ~0u;
};

class Device final : public IDirect3DDevice9 {
public:
    Device(Direct3D9* d3d, HWND focus, DWORD flags);
    ~Device();
    HRESULT Init(D3DPRESENT_PARAMETERS* params);

    // IUnknown
    HRESULT QueryInterface(REFIID, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT TestCooperativeLevel() override { return D3D_OK; }
    UINT GetAvailableTextureMem() override { return 512u * 1024u * 1024u; }
    HRESULT GetDirect3D(IDirect3D9** ppD3D9) override;
    HRESULT GetDeviceCaps(D3DCAPS9* pCaps) override;
    HRESULT GetDisplayMode(UINT iSwapChain, D3DDISPLAYMODE* pMode) override;
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* pParameters) override;
    HRESULT CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS* pPresentationParameters,
                                      IDirect3DSwapChain9** pSwapChain) override;
    HRESULT GetSwapChain(UINT iSwapChain, IDirect3DSwapChain9** pSwapChain) override;
    UINT GetNumberOfSwapChains() override { return 1; }
    HRESULT Reset(D3DPRESENT_PARAMETERS* pPresentationParameters) override;
    HRESULT Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride,
                    const RGNDATA* pDirtyRegion) override;
    HRESULT GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE type,
                          IDirect3DSurface9** ppBackBuffer) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** ppTexture, HANDLE* pSharedHandle) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer9** ppVertexBuffer, HANDLE* pSharedHandle) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer9** ppIndexBuffer, HANDLE* pSharedHandle) override;
    HRESULT CreateRenderTarget(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                               DWORD multisampleQuality, BOOL lockable, IDirect3DSurface9** ppSurface,
                               HANDLE* pSharedHandle) override;
    HRESULT GetRenderTargetData(IDirect3DSurface9* pRenderTarget, IDirect3DSurface9* pDestSurface) override;
    HRESULT GetFrontBufferData(UINT iSwapChain, IDirect3DSurface9* pDestSurface) override;
    HRESULT CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                        IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) override;
    HRESULT SetRenderTarget(DWORD renderTargetIndex, IDirect3DSurface9* pRenderTarget) override;
    HRESULT GetRenderTarget(DWORD renderTargetIndex, IDirect3DSurface9** ppRenderTarget) override;
    HRESULT SetDepthStencilSurface(IDirect3DSurface9* pNewZStencil) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface9** ppZStencilSurface) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, const D3DRECT* pRects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* pMatrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* pMatrix) override;
    HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* pMatrix) override;
    HRESULT SetViewport(const D3DVIEWPORT9* pViewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* pViewport) override;
    HRESULT SetMaterial(const D3DMATERIAL9* pMaterial) override;
    HRESULT GetMaterial(D3DMATERIAL9* pMaterial) override;
    HRESULT SetLight(DWORD index, const D3DLIGHT9* pLight) override;
    HRESULT GetLight(DWORD index, D3DLIGHT9* pLight) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT GetLightEnable(DWORD index, BOOL* pEnable) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* pValue) override;
    HRESULT CreateStateBlock(D3DSTATEBLOCKTYPE type, IDirect3DStateBlock9** ppSB) override;
    HRESULT BeginStateBlock() override { return D3DERR_INVALIDCALL; }
    HRESULT EndStateBlock(IDirect3DStateBlock9**) override { return D3DERR_INVALIDCALL; }
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** ppTexture) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* pTexture) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* pValue) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* pValue) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT SetScissorRect(const RECT* pRect) override;
    HRESULT GetScissorRect(RECT* pRect) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE primitiveType, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE primitiveType, INT baseVertexIndex, UINT minVertexIndex,
                                 UINT numVertices, UINT startIndex, UINT primCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT primitiveCount, const void* pVertexStreamZeroData,
                            UINT vertexStreamZeroStride) override;
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT minVertexIndex, UINT numVertices,
                                   UINT primitiveCount, const void* pIndexData, D3DFORMAT indexDataFormat,
                                   const void* pVertexStreamZeroData, UINT vertexStreamZeroStride) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT GetFVF(DWORD* pFVF) override;
    HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* pStreamData, UINT offsetInBytes,
                            UINT stride) override;
    HRESULT GetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9** ppStreamData, UINT* pOffsetInBytes,
                            UINT* pStride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* pIndexData) override;
    HRESULT GetIndices(IDirect3DIndexBuffer9** ppIndexData) override;

    // --- inside the layer ---------------------------------------------------
    bool MakeCurrent();
    // For teardown and presentation: finds the device window again (it may be
    // gone) and makes the context current; false when GL must not be called.
    bool SafeContext();
    bool MakeCurrentOn(SDL_Window* window);
    SDL_Window* window() const { return m_window; }
    GLCache& gl() { return m_gl; }
    bool clipControl() const { return m_clipControl; }
    Surface* depthSurface() const { return m_depth; }
    Surface* renderTarget() const { return m_renderTarget; }
    void BindFramebuffer(GLuint fbo);
    // Binds the current render target's FBO (with depth) and the viewport.
    // Every write into a render target comes through here first; overwritten
    // says the write replaces every pixel of it.
    void ApplyTarget(bool overwritten = false);
    void MarkTargetDirty() { m_dirty |= kDirtyTarget; }
    void MarkRasterDirty() { m_dirty |= kDirtyRaster; }
    void MarkTexturesDirty() { m_dirty |= kDirtyTextures; }
    // Objects the program holds that keep Reset from succeeding (Child).
    void CountResetBlocker(int change) { m_resetBlockers += change; }
    void ApplyRasterState();
    void InvalidateGLCache();
    // An effect pass's program used for draws in place of the fixed-function
    // one (D3D9GL_SetProgramOverride); program 0 removes it.
    void SetProgramOverride(GLuint program, void (*hook)(void*), void* user);
    void EndFrame();
    // Called once a frame is presented: waits until the frame presented
    // kMaxFrameLatency frames ago is drawn, so the CPU never queues more.
    void LimitFrameLatency();
    void ForgetTexture(GLuint tex);
    D3D9FrameStats& stats() { return m_stats; }
    D3D9FrameStats& previousStats() { return m_previousStats; }
    DeviceState& state() { return m_state; }
    void MarkAllDirty();
    void ReplaceState(const DeviceState& s);  // used by state blocks; takes new references
    GLuint vao() const { return m_vao; }
    // The vertical/horizontal fix-up of the current target, as uploaded to d3d9_posFixup.
    void PositionFixup(float out[4]) const;
    // Rows y .. y + height - 1 of the current target (top row 0) as GL rows.
    GLint TargetRow(LONG y, LONG height) const;

private:
    enum DirtyBits : uint32_t {
        kDirtyKey = 1u << 0,
        kDirtyRaster = 1u << 1,
        kDirtyTransform = 1u << 2,
        kDirtyLights = 1u << 3,
        kDirtyMisc = 1u << 4,
        kDirtyTextures = 1u << 5,
        kDirtySamplers = 1u << 6,
        kDirtyTarget = 1u << 7,
        kDirtyAll = 0xffffffffu,
    };

    void SetDefaultState();
    // Checks present parameters and completes them as Direct3D does (a
    // windowed size of 0 is the window's client size, no format the
    // display's), entering full screen where they ask; the window found.
    HRESULT TakeParameters(D3DPRESENT_PARAMETERS* pp, HWND* hwnd, SDL_Window** window);
    // Makes the automatic depth buffer the parameters ask for and clears
    // the new back buffer and depth; false when GL refuses.
    bool StartBuffers();
    HRESULT PrepareDraw(D3DPRIMITIVETYPE type, bool* skip);
    void BuildKey(FFKey* key, bool points) const;
    // True when every fragment's alpha is provably the largest value: the
    // texels, material, vertex colour or factor the stages read say so.
    bool AlphaIsFull(const FFKey& key) const;
    // True when, with alpha full, the alpha test cannot discard (full alpha
    // passes it). The program then leaves the test out, which lets the
    // rasteriser test and write depth before shading.
    bool AlphaTestCannotDiscard(bool alphaFull) const;
    // True when the enabled blend would write each fragment unchanged (ONE,
    // ZERO; or SRCALPHA, INVSRCALPHA with full alpha): the draw goes unblended.
    bool BlendWritesTheFragment(bool alphaFull) const;
    FFProgram* ProgramFor(const FFKey& key);
    void UploadUniforms(FFProgram& p);
    void ApplyTextures();
    void ApplyLayout(GLuint buffer, size_t offset, UINT stride, DWORD fvf);
    bool ValidFvf(DWORD fvf, UINT stride) const;
    bool ProjectionIsOrthographic() const;
    size_t StreamWrite(const void* data, size_t bytes, UINT alignTo);
    void SetViewportToTarget();

    ULONG m_refs = 1;
    int m_resetBlockers = 0;
    Direct3D9* m_d3d;
    HWND m_focus;
    DWORD m_flags;
    SDL_Window* m_window = nullptr;
    SDL_Window* m_currentWindow = nullptr;
    void* m_context = nullptr;
    bool m_clipControl = false;
    GLint m_maxViewport[2] = {0, 0};   // GL_MAX_VIEWPORT_DIMS
    bool m_windowOrientation = false;  // the render target is a window's framebuffer (bottom row first)
    bool m_inScene = false;
    bool m_destroying = false;

    std::unique_ptr<SwapChain> m_swapChain;
    std::unique_ptr<Surface> m_depthOwned;
    Surface* m_depth = nullptr;         // current depth-stencil (the auto one or none)
    Surface* m_renderTarget = nullptr;  // bound render target 0 (internal reference)
    // The stencil of the depth storage the bound target draws with (null when
    // it has no stencil), and that storage's size.
    StencilContent* m_targetStencil = nullptr;
    UINT m_targetStencilWidth = 0, m_targetStencilHeight = 0;

    DeviceState m_state;
    uint32_t m_dirty = kDirtyAll;
    uint32_t m_samplerDirty = 0xffffffffu;
    uint64_t m_transformSerial = 1, m_lightSerial = 1, m_miscSerial = 1;

    // Fixed-function programs.
    std::unordered_map<FFKey, std::unique_ptr<FFProgram>, FFKeyHash> m_programs;
    FFKey m_key;
    bool m_keyPoints = false;
    bool m_alphaTestElided = false;  // AlphaTestCannotDiscard() when m_key was built
    FFProgram* m_program = nullptr;

    // Derived matrices (row-vector layout).
    D3DMATRIX m_wvp, m_wv;
    float m_normalMat[9];

    GLCache m_gl;
    GLuint m_overrideProgram = 0;
    void (*m_overrideHook)(void*) = nullptr;
    void* m_overrideUser = nullptr;
    GLuint m_vao = 0;
    GLuint m_samplers[kMaxFFStages] = {};
    GLuint m_stream = 0;  // streaming vertex buffer for *UP draws
    size_t m_streamSize = 0;
    size_t m_streamPos = 0;
    GLuint m_streamIndices = 0;  // streaming index buffer for DrawIndexedPrimitiveUP
    size_t m_streamIndexSize = 0;
    size_t m_streamIndexPos = 0;

    D3D9FrameStats m_stats = {};
    D3D9FrameStats m_previousStats = {};
    D3DPRESENT_PARAMETERS m_params = {};

    // Frames queued ahead of the renderer, as Direct3D 9 drivers allow by
    // default; a fence per presented frame, the oldest at m_frameFenceNext.
    static constexpr int kMaxFrameLatency = 3;
    GLsync m_frameFences[kMaxFrameLatency] = {};
    int m_frameFenceNext = 0;
};

inline Texture* AsTexture(IDirect3DBaseTexture9* t)
{
    return static_cast<Texture*>(t);
}

}  // namespace d3d9gl

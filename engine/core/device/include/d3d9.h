// Direct3D 9: the Direct3D object, the device and its resources, with the
// platform's interface names and signatures. Every object is reference
// counted: Release the pointers that a Create* or Get* call hands out.
// A resource keeps its device alive until it is released.
//
// Invalid arguments (null pointers, out-of-range stages or indices, a lock
// outside a resource, a draw with no vertex format) return
// D3DERR_INVALIDCALL and change nothing.
#pragma once

#include "d3d9caps.h"
#include "d3d9types.h"

struct IDirect3D9;
struct IDirect3DDevice9;
struct IDirect3DSwapChain9;
struct IDirect3DResource9;
struct IDirect3DBaseTexture9;
struct IDirect3DTexture9;
struct IDirect3DSurface9;
struct IDirect3DVertexBuffer9;
struct IDirect3DIndexBuffer9;
struct IDirect3DStateBlock9;

typedef IDirect3D9* LPDIRECT3D9;                          // pointer to the Direct3D object
typedef IDirect3DDevice9* LPDIRECT3DDEVICE9;              // pointer to a device
typedef IDirect3DSwapChain9* LPDIRECT3DSWAPCHAIN9;        // pointer to a swap chain
typedef IDirect3DResource9* LPDIRECT3DRESOURCE9;          // pointer to a resource
typedef IDirect3DBaseTexture9* LPDIRECT3DBASETEXTURE9;    // pointer to any texture
typedef IDirect3DTexture9* LPDIRECT3DTEXTURE9;            // pointer to a 2D texture
typedef IDirect3DSurface9* LPDIRECT3DSURFACE9;            // pointer to a surface
typedef IDirect3DVertexBuffer9* LPDIRECT3DVERTEXBUFFER9;  // pointer to a vertex buffer
typedef IDirect3DIndexBuffer9* LPDIRECT3DINDEXBUFFER9;    // pointer to an index buffer
typedef IDirect3DStateBlock9* LPDIRECT3DSTATEBLOCK9;      // pointer to a state block

// The Direct3D object: adapters, formats and device creation.
struct IDirect3D9 : public IUnknown {
    virtual UINT GetAdapterCount() = 0;  // always 1
    // The number of display modes of the format on the adapter (0 for a format with none).
    virtual UINT GetAdapterModeCount(UINT adapter, D3DFORMAT format) = 0;
    // Fills *pMode with display mode number mode of the format (0 .. GetAdapterModeCount - 1).
    virtual HRESULT EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* pMode) = 0;
    // The desktop mode of the display (format D3DFMT_X8R8G8B8).
    virtual HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* pMode) = 0;
    // D3D_OK when a device can present the back-buffer format on the adapter's format.
    virtual HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE devType, D3DFORMAT adapterFormat,
                                    D3DFORMAT backBufferFormat, BOOL windowed) = 0;
    // D3D_OK when a resource of checkFormat can be made with the usage;
    // D3DERR_NOTAVAILABLE when not. sRGB reads and writes: formats of eight
    // bits a channel (the sRGB decode follows the texture filter).
    virtual HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                                      D3DRESOURCETYPE rType, D3DFORMAT checkFormat) = 0;
    // D3D_OK when surfaces of the format can be multisampled that way; *pQualityLevels (may be NULL) gets the quality
    // levels.
    virtual HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT surfaceFormat,
                                               BOOL windowed, D3DMULTISAMPLE_TYPE multiSampleType,
                                               DWORD* pQualityLevels) = 0;
    // D3D_OK when the depth format works with the render-target format.
    virtual HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat,
                                           D3DFORMAT renderTargetFormat, D3DFORMAT depthStencilFormat) = 0;
    // Fills *pCaps with what a device on the adapter can do (as IDirect3DDevice9::GetDeviceCaps).
    virtual HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS9* pCaps) = 0;
    // Opens the device on a window of the window layer (hDeviceWindow, or the
    // focus window when that is NULL). The device holds a reference on this object.
    virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND hFocusWindow, DWORD behaviorFlags,
                                 D3DPRESENT_PARAMETERS* pPresentationParameters,
                                 IDirect3DDevice9** ppReturnedDeviceInterface) = 0;
};

// Creates the Direct3D object; NULL when sdkVersion is not D3D_SDK_VERSION or
// there is no video system.
IDirect3D9* WINAPI Direct3DCreate9(UINT sdkVersion);

// Everything a device owns.
struct IDirect3DResource9 : public IUnknown {
    virtual HRESULT GetDevice(IDirect3DDevice9** ppDevice) = 0;  // adds a reference
    // Sets the resource's priority for keeping it in video memory; returns the previous one.
    virtual DWORD SetPriority(DWORD priorityNew) = 0;
    // The resource's priority (SetPriority).
    virtual DWORD GetPriority() = 0;
    // Asks for a managed resource to be made ready before its first use.
    virtual void PreLoad() = 0;
    // What the resource is (texture, surface, vertex or index buffer).
    virtual D3DRESOURCETYPE GetType() = 0;
};

// Any texture: a chain of mipmap levels, each smaller than the one before.
struct IDirect3DBaseTexture9 : public IDirect3DResource9 {
    // The most detailed level sampled (as D3DSAMP_MAXMIPLEVEL; the larger
    // wins), clamped to the last level; answers the previous one. Managed
    // textures only: others keep 0.
    virtual DWORD SetLOD(DWORD lodNew) = 0;
    // The most detailed level sampled (SetLOD).
    virtual DWORD GetLOD() = 0;
    // The number of mipmap levels.
    virtual DWORD GetLevelCount() = 0;
};

// One image: a texture level, a swap chain's back buffer, or an off-screen
// plain surface. Row 0 of a locked surface is the top row of the image.
struct IDirect3DSurface9 : public IDirect3DResource9 {
    // The texture or swap chain that holds this surface (adds a reference);
    // E_NOINTERFACE for an off-screen plain surface.
    virtual HRESULT GetContainer(REFIID riid, void** ppContainer) = 0;
    // Fills *pDesc with the surface's format, pool, usage and size.
    virtual HRESULT GetDesc(D3DSURFACE_DESC* pDesc) = 0;
    // Maps the pixels of pRect (NULL: all). D3DERR_INVALIDCALL for a
    // default-pool surface, a rectangle outside the surface, or a second lock.
    virtual HRESULT LockRect(D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD flags) = 0;
    virtual HRESULT UnlockRect() = 0;      // uploads what was written (managed pool)
    virtual HRESULT GetDC(HDC* phdc) = 0;  // D3DERR_INVALIDCALL here
    // Gives back the context GetDC handed out.
    virtual HRESULT ReleaseDC(HDC hdc) = 0;
};

// A 2D texture: its levels are surfaces (GetSurfaceLevel).
struct IDirect3DTexture9 : public IDirect3DBaseTexture9 {
    // Fills *pDesc with the format, pool, usage and size of the level.
    virtual HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* pDesc) = 0;
    virtual HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** ppSurfaceLevel) = 0;  // adds a reference
    // Maps the pixels of pRect (NULL: all) of the level, as IDirect3DSurface9::LockRect.
    virtual HRESULT LockRect(UINT level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD flags) = 0;
    // Ends the lock of the level and uploads what was written.
    virtual HRESULT UnlockRect(UINT level) = 0;
    // Marks a rectangle (NULL: all) as changed for the next upload.
    virtual HRESULT AddDirtyRect(const RECT* pDirtyRect) = 0;
};

// Vertices in a flexible vertex format, drawn through SetStreamSource.
struct IDirect3DVertexBuffer9 : public IDirect3DResource9 {
    // Maps sizeToLock bytes at offsetToLock (0, 0: the whole buffer).
    // D3DERR_INVALIDCALL when the range leaves the buffer.
    virtual HRESULT Lock(UINT offsetToLock, UINT sizeToLock, void** ppbData, DWORD flags) = 0;
    // Ends the lock; the bytes written are what the buffer draws from.
    virtual HRESULT Unlock() = 0;
    // Fills *pDesc with the buffer's format, pool, usage, FVF and size.
    virtual HRESULT GetDesc(D3DVERTEXBUFFER_DESC* pDesc) = 0;
};

// 16-bit indices into the bound vertices, drawn through SetIndices.
struct IDirect3DIndexBuffer9 : public IDirect3DResource9 {
    // Maps sizeToLock bytes at offsetToLock (0, 0: the whole buffer); D3DERR_INVALIDCALL when the range leaves the
    // buffer.
    virtual HRESULT Lock(UINT offsetToLock, UINT sizeToLock, void** ppbData, DWORD flags) = 0;
    // Ends the lock; the indices written are what the buffer draws from.
    virtual HRESULT Unlock() = 0;
    // Fills *pDesc with the buffer's format, pool, usage and size.
    virtual HRESULT GetDesc(D3DINDEXBUFFER_DESC* pDesc) = 0;
};

// A window's presentation: its own back buffer, presented to its window.
struct IDirect3DSwapChain9 : public IUnknown {
    // Shows the back buffer in the chain's window, or in hDestWindowOverride.
    virtual HRESULT Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride,
                            const RGNDATA* pDirtyRegion, DWORD flags) = 0;
    // The last image this chain presented, placed at the window's client
    // position in a display-sized D3DFMT_A8R8G8B8 system-memory surface.
    virtual HRESULT GetFrontBufferData(IDirect3DSurface9* pDestSurface) = 0;
    // The back buffer of the chain (adds a reference).
    virtual HRESULT GetBackBuffer(UINT iBackBuffer, D3DBACKBUFFER_TYPE type,
                                  IDirect3DSurface9** ppBackBuffer) = 0;  // adds a reference
    // Fills *pRasterStatus with where the display's scan is.
    virtual HRESULT GetRasterStatus(D3DRASTER_STATUS* pRasterStatus) = 0;
    // Fills *pMode with the display mode of the chain's display.
    virtual HRESULT GetDisplayMode(D3DDISPLAYMODE* pMode) = 0;
    // The device the chain belongs to (adds a reference).
    virtual HRESULT GetDevice(IDirect3DDevice9** ppDevice) = 0;
    // Fills the parameters the chain was created or reset with.
    virtual HRESULT GetPresentParameters(D3DPRESENT_PARAMETERS* pPresentationParameters) = 0;
};

// A saved copy of the device state (D3DSBT_ALL): Capture takes the current
// state, Apply puts it back.
struct IDirect3DStateBlock9 : public IUnknown {
    // The device the block belongs to (adds a reference).
    virtual HRESULT GetDevice(IDirect3DDevice9** ppDevice) = 0;
    // Takes the device's current state into the block.
    virtual HRESULT Capture() = 0;
    // Sets the device's state to what the block holds.
    virtual HRESULT Apply() = 0;
};

// The device: state, resources and drawing. State is kept as set until it
// is set again; Get* calls answer from it.
struct IDirect3DDevice9 : public IUnknown {
    virtual HRESULT TestCooperativeLevel() = 0;  // D3D_OK: never lost
    // Always 512 MiB: a fixed answer, not a measure of the memory left.
    virtual UINT GetAvailableTextureMem() = 0;
    // The Direct3D object that created the device (adds a reference).
    virtual HRESULT GetDirect3D(IDirect3D9** ppD3D9) = 0;
    // Claims only what the device does: no shader versions, no clipping of
    // pre-transformed vertices (their depth is clamped to the viewport's
    // range), no range fog or two-sided stencil, 16-bit indices.
    virtual HRESULT GetDeviceCaps(D3DCAPS9* pCaps) = 0;
    // Fills *pMode with the display mode of chain iSwapChain's display.
    virtual HRESULT GetDisplayMode(UINT iSwapChain, D3DDISPLAYMODE* pMode) = 0;
    // Fills *pParameters with the adapter, device type, focus window and flags CreateDevice was given.
    virtual HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* pParameters) = 0;

    // Swap chains. Chain 0 is the device's own.
    virtual HRESULT CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS* pPresentationParameters,
                                              IDirect3DSwapChain9** pSwapChain) = 0;
    // Swap chain iSwapChain (adds a reference).
    virtual HRESULT GetSwapChain(UINT iSwapChain, IDirect3DSwapChain9** pSwapChain) = 0;
    // The number of swap chains: the device's own and those CreateAdditionalSwapChain made.
    virtual UINT GetNumberOfSwapChains() = 0;
    // A new back buffer and automatic depth buffer for the parameters (which
    // it completes as CreateDevice does), every state at its default.
    // D3DERR_INVALIDCALL while the program holds D3DPOOL_DEFAULT resources,
    // extra swap chains, or the back buffer or depth surface.
    virtual HRESULT Reset(D3DPRESENT_PARAMETERS* pPresentationParameters) = 0;
    // Presents chain 0.
    virtual HRESULT Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride,
                            const RGNDATA* pDirtyRegion) = 0;
    // Back buffer iBackBuffer of chain iSwapChain (adds a reference).
    virtual HRESULT GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE type,
                                  IDirect3DSurface9** ppBackBuffer) = 0;

    // Resources. pSharedHandle must be NULL.
    virtual HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DTexture9** ppTexture, HANDLE* pSharedHandle) = 0;
    // A new vertex buffer of length bytes, *ppVertexBuffer holding its one reference.
    virtual HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                       IDirect3DVertexBuffer9** ppVertexBuffer, HANDLE* pSharedHandle) = 0;
    // D3DFMT_INDEX16 only.
    virtual HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DIndexBuffer9** ppIndexBuffer, HANDLE* pSharedHandle) = 0;
    // A new render-target surface of the size and format, *ppSurface holding its one reference.
    virtual HRESULT CreateRenderTarget(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                       DWORD multisampleQuality, BOOL lockable, IDirect3DSurface9** ppSurface,
                                       HANDLE* pSharedHandle) = 0;
    // Copies a render target's pixels into a system-memory surface of the same size and format.
    virtual HRESULT GetRenderTargetData(IDirect3DSurface9* pRenderTarget, IDirect3DSurface9* pDestSurface) = 0;
    // The last image presented by chain iSwapChain (see IDirect3DSwapChain9).
    virtual HRESULT GetFrontBufferData(UINT iSwapChain, IDirect3DSurface9* pDestSurface) = 0;
    // A new surface that is not a render target (system memory: for GetRenderTargetData and GetFrontBufferData),
    // *ppSurface holding its one reference.
    virtual HRESULT CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                                IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) = 0;
    // Binds a render-target surface (a back buffer or a level of a
    // D3DUSAGE_RENDERTARGET texture); resets the viewport to the whole surface.
    // Target 0 cannot be NULL.
    virtual HRESULT SetRenderTarget(DWORD renderTargetIndex, IDirect3DSurface9* pRenderTarget) = 0;
    // The bound render target renderTargetIndex (adds a reference); D3DERR_NOTFOUND when none is bound.
    virtual HRESULT GetRenderTarget(DWORD renderTargetIndex, IDirect3DSurface9** ppRenderTarget) = 0;
    // Binds the depth-stencil surface drawing tests and writes (NULL: none).
    virtual HRESULT SetDepthStencilSurface(IDirect3DSurface9* pNewZStencil) = 0;
    // The bound depth-stencil surface (adds a reference); D3DERR_NOTFOUND when none is bound.
    virtual HRESULT GetDepthStencilSurface(IDirect3DSurface9** ppZStencilSurface) = 0;

    // Frame.
    virtual HRESULT BeginScene() = 0;  // D3DERR_INVALIDCALL inside a scene
    virtual HRESULT EndScene() = 0;    // D3DERR_INVALIDCALL outside a scene
    // Clears the viewport (or the given rectangles within it) of the render
    // target, depth buffer and stencil, within the target and, while
    // D3DRS_SCISSORTESTENABLE is on, the scissor rectangle.
    virtual HRESULT Clear(DWORD count, const D3DRECT* pRects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) = 0;

    // Fixed-function state.
    virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* pMatrix) = 0;
    // Fills *pMatrix with the world, view, projection or texture matrix set.
    virtual HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* pMatrix) = 0;
    // Sets the matrix to pMatrix times the one set.
    virtual HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* pMatrix) = 0;
    // May reach past the render target, which cuts drawing and clears.
    virtual HRESULT SetViewport(const D3DVIEWPORT9* pViewport) = 0;
    // Fills *pViewport with the viewport set.
    virtual HRESULT GetViewport(D3DVIEWPORT9* pViewport) = 0;
    // Sets the material the fixed-function lighting uses.
    virtual HRESULT SetMaterial(const D3DMATERIAL9* pMaterial) = 0;
    // Fills *pMaterial with the material set.
    virtual HRESULT GetMaterial(D3DMATERIAL9* pMaterial) = 0;
    // Lights 0..7.
    virtual HRESULT SetLight(DWORD index, const D3DLIGHT9* pLight) = 0;
    // Fills *pLight with light index as set.
    virtual HRESULT GetLight(DWORD index, D3DLIGHT9* pLight) = 0;
    // Turns light index on or off.
    virtual HRESULT LightEnable(DWORD index, BOOL enable) = 0;
    // *pEnable gets whether light index is on.
    virtual HRESULT GetLightEnable(DWORD index, BOOL* pEnable) = 0;
    // Sets a render state (D3DRS_*) to value.
    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
    // *pValue gets the render state's value.
    virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* pValue) = 0;
    // A new state block holding the device's current state (adds its one reference).
    virtual HRESULT CreateStateBlock(D3DSTATEBLOCKTYPE type, IDirect3DStateBlock9** ppSB) = 0;
    virtual HRESULT BeginStateBlock() = 0;  // D3DERR_INVALIDCALL here
    // Ends a state block recording: D3DERR_INVALIDCALL here, as BeginStateBlock.
    virtual HRESULT EndStateBlock(IDirect3DStateBlock9** ppSB) = 0;
    // Stages 0..7. The device holds a reference on the bound texture.
    virtual HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** ppTexture) = 0;
    // Binds the texture to the stage (NULL: none), releasing the one bound before.
    virtual HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* pTexture) = 0;
    // *pValue gets the texture-stage state (D3DTSS_*) of the stage.
    virtual HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* pValue) = 0;
    // Sets a texture-stage state (D3DTSS_*) of the stage.
    virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) = 0;
    // *pValue gets the sampler state (D3DSAMP_*) of the sampler.
    virtual HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* pValue) = 0;
    // Sets a sampler state (D3DSAMP_*) of the sampler.
    virtual HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) = 0;
    // Sets the scissor rectangle, used while D3DRS_SCISSORTESTENABLE is on.
    virtual HRESULT SetScissorRect(const RECT* pRect) = 0;
    // Fills *pRect with the scissor rectangle set.
    virtual HRESULT GetScissorRect(RECT* pRect) = 0;

    // Drawing with the bound FVF, stream 0 and indices.
    virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE primitiveType, UINT startVertex, UINT primitiveCount) = 0;
    // Draws primCount primitives from the bound indices from startIndex, each index plus baseVertexIndex naming a
    // vertex of stream 0.
    virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE primitiveType, INT baseVertexIndex, UINT minVertexIndex,
                                         UINT numVertices, UINT startIndex, UINT primCount) = 0;
    // Draws from caller memory; stream 0 is unset afterwards.
    virtual HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT primitiveCount,
                                    const void* pVertexStreamZeroData, UINT vertexStreamZeroStride) = 0;
    // Draws from caller memory with indices of indexDataFormat; stream 0 and the indices are unset afterwards.
    virtual HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT minVertexIndex, UINT numVertices,
                                           UINT primitiveCount, const void* pIndexData, D3DFORMAT indexDataFormat,
                                           const void* pVertexStreamZeroData, UINT vertexStreamZeroStride) = 0;
    // Sets the flexible vertex format the draws read.
    virtual HRESULT SetFVF(DWORD fvf) = 0;
    // *pFVF gets the vertex format set.
    virtual HRESULT GetFVF(DWORD* pFVF) = 0;
    // Stream 0 only. The device holds a reference on the bound buffer.
    virtual HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* pStreamData, UINT offsetInBytes,
                                    UINT stride) = 0;
    // The buffer bound to the stream (adds a reference), its offset and stride.
    virtual HRESULT GetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9** ppStreamData, UINT* pOffsetInBytes,
                                    UINT* pStride) = 0;
    // Binds the index buffer the indexed draws read (NULL: none).
    virtual HRESULT SetIndices(IDirect3DIndexBuffer9* pIndexData) = 0;
    // The bound index buffer (adds a reference).
    virtual HRESULT GetIndices(IDirect3DIndexBuffer9** ppIndexData) = 0;
};

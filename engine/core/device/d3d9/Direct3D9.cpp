// The Direct3D object: one adapter (the SDL display), the formats a GL 3.3
// device stores, and device creation.
#include "d3d9/D3D9Impl.h"

#include <Win32DeviceSeam.h>

#include <SDL.h>

#include <string.h>

namespace d3d9gl {

namespace {

bool IsAdapterFormat(D3DFORMAT f)
{
    return f == D3DFMT_X8R8G8B8;
}

bool IsBackBufferFormat(D3DFORMAT f)
{
    return f == D3DFMT_X8R8G8B8 || f == D3DFMT_A8R8G8B8;
}

}  // namespace

bool DisplayMode(D3DDISPLAYMODE* mode)
{
    SDL_DisplayMode m = {};
    if (SDL_GetDesktopDisplayMode(0, &m) != 0 || m.w <= 0 || m.h <= 0) {
        RECT r = {};
        if (!GetWindowRect(GetDesktopWindow(), &r) || r.right <= r.left || r.bottom <= r.top) return false;
        m.w = r.right - r.left;
        m.h = r.bottom - r.top;
        m.refresh_rate = 60;
    }
    mode->Width = (UINT)m.w;
    mode->Height = (UINT)m.h;
    mode->RefreshRate = m.refresh_rate > 0 ? (UINT)m.refresh_rate : 60;
    mode->Format = D3DFMT_X8R8G8B8;
    return true;
}

UINT Direct3D9::GetAdapterCount()
{
    return 1;
}

UINT Direct3D9::GetAdapterModeCount(UINT adapter, D3DFORMAT format)
{
    return (adapter == D3DADAPTER_DEFAULT && IsAdapterFormat(format)) ? 1 : 0;
}

HRESULT Direct3D9::EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* pMode)
{
    if (adapter != D3DADAPTER_DEFAULT || !pMode || mode != 0 || !IsAdapterFormat(format)) return D3DERR_INVALIDCALL;
    return DisplayMode(pMode) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D9::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* pMode)
{
    if (adapter != D3DADAPTER_DEFAULT || !pMode) return D3DERR_INVALIDCALL;
    return DisplayMode(pMode) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D9::CheckDeviceType(UINT adapter, D3DDEVTYPE devType, D3DFORMAT adapterFormat,
                                   D3DFORMAT backBufferFormat, BOOL)
{
    if (adapter != D3DADAPTER_DEFAULT || devType != D3DDEVTYPE_HAL) return D3DERR_INVALIDCALL;
    if (!IsAdapterFormat(adapterFormat)) return D3DERR_NOTAVAILABLE;
    if (backBufferFormat != D3DFMT_UNKNOWN && !IsBackBufferFormat(backBufferFormat)) return D3DERR_NOTAVAILABLE;
    return D3D_OK;
}

HRESULT Direct3D9::CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                                     D3DRESOURCETYPE rType, D3DFORMAT checkFormat)
{
    if (adapter != D3DADAPTER_DEFAULT || deviceType != D3DDEVTYPE_HAL) return D3DERR_INVALIDCALL;
    if (!IsAdapterFormat(adapterFormat)) return D3DERR_NOTAVAILABLE;
    if (usage & D3DUSAGE_DEPTHSTENCIL) {
        const bool depthOk = checkFormat == D3DFMT_D24S8 || checkFormat == D3DFMT_D24X8 || checkFormat == D3DFMT_D16;
        return (depthOk && rType == D3DRTYPE_SURFACE) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }
    const PixelFormat* pf = FindPixelFormat(checkFormat);
    if (!pf) return D3DERR_NOTAVAILABLE;
    if (rType != D3DRTYPE_TEXTURE && rType != D3DRTYPE_SURFACE) return D3DERR_NOTAVAILABLE;
    if ((usage & (D3DUSAGE_QUERY_SRGBREAD | D3DUSAGE_QUERY_SRGBWRITE)) && !HasSrgbForm(checkFormat))
        return D3DERR_NOTAVAILABLE;
    // Neither vertex textures nor bump maps.
    if (usage & (D3DUSAGE_QUERY_VERTEXTEXTURE | D3DUSAGE_QUERY_LEGACYBUMPMAP)) return D3DERR_NOTAVAILABLE;
    if ((usage & D3DUSAGE_RENDERTARGET) && !pf->renderTarget) return D3DERR_NOTAVAILABLE;
    return D3D_OK;
}

HRESULT Direct3D9::CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT, BOOL,
                                              D3DMULTISAMPLE_TYPE type, DWORD* pQualityLevels)
{
    if (adapter != D3DADAPTER_DEFAULT || deviceType != D3DDEVTYPE_HAL) return D3DERR_INVALIDCALL;
    if (pQualityLevels) *pQualityLevels = type == D3DMULTISAMPLE_NONE ? 1 : 0;
    return type == D3DMULTISAMPLE_NONE ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D9::CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat,
                                          D3DFORMAT renderTargetFormat, D3DFORMAT depthStencilFormat)
{
    if (adapter != D3DADAPTER_DEFAULT || deviceType != D3DDEVTYPE_HAL) return D3DERR_INVALIDCALL;
    if (!IsAdapterFormat(adapterFormat)) return D3DERR_NOTAVAILABLE;
    const PixelFormat* pf = FindPixelFormat(renderTargetFormat);
    const bool depthOk =
        depthStencilFormat == D3DFMT_D24S8 || depthStencilFormat == D3DFMT_D24X8 || depthStencilFormat == D3DFMT_D16;
    return (pf && pf->renderTarget && depthOk) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

void Direct3D9::FillCaps(D3DCAPS9* c)
{
    memset(c, 0, sizeof(*c));
    c->DeviceType = D3DDEVTYPE_HAL;
    c->AdapterOrdinal = D3DADAPTER_DEFAULT;
    c->PresentationIntervals = D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE;
    c->DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_DRAWPRIMTLVERTEX |
                 D3DDEVCAPS_TEXTUREVIDEOMEMORY | D3DDEVCAPS_TLVERTEXVIDEOMEMORY;
    c->PrimitiveMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW |
                           D3DPMISCCAPS_COLORWRITEENABLE | D3DPMISCCAPS_BLENDOP | D3DPMISCCAPS_SEPARATEALPHABLEND;
    // Only what the device does. Not claimed: range fog, two-sided stencil,
    // clipping of pre-transformed vertices (their depth is clamped), user
    // clip planes, vertex blending, anisotropy, cube and volume textures,
    // shaders (the device has no shader interface).
    c->RasterCaps = D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_FOGVERTEX | D3DPRASTERCAPS_FOGTABLE | D3DPRASTERCAPS_ZFOG |
                    D3DPRASTERCAPS_WFOG | D3DPRASTERCAPS_MIPMAPLODBIAS | D3DPRASTERCAPS_SCISSORTEST;
    c->ZCmpCaps = c->AlphaCmpCaps = 0xff;
    c->SrcBlendCaps = c->DestBlendCaps = 0x1fff;
    c->ShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_ALPHAGOURAUDBLEND | D3DPSHADECAPS_FOGGOURAUD;
    c->TextureCaps =
        D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_MIPMAP | D3DPTEXTURECAPS_PROJECTED;
    c->TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MIPFPOINT |
                           D3DPTFILTERCAPS_MIPFLINEAR | D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
    c->TextureAddressCaps =
        D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP | D3DPTADDRESSCAPS_BORDER;
    c->LineCaps = D3DLINECAPS_TEXTURE | D3DLINECAPS_ZTEST | D3DLINECAPS_BLEND | D3DLINECAPS_ALPHACMP | D3DLINECAPS_FOG;
    c->MaxTextureWidth = c->MaxTextureHeight = 8192;
    c->MaxTextureRepeat = 8192;
    c->MaxTextureAspectRatio = 8192;
    c->MaxAnisotropy = 1;
    c->MaxVertexW = 1e10f;
    c->StencilCaps = 0xff;
    c->FVFCaps = 8 | D3DFVFCAPS_PSIZE;
    // Every operation but the bump-mapping ones and PREMODULATE.
    c->TextureOpCaps =
        0x03ffffff & ~(DWORD)(D3DTEXOPCAPS_PREMODULATE | D3DTEXOPCAPS_BUMPENVMAP | D3DTEXOPCAPS_BUMPENVMAPLUMINANCE);
    c->MaxTextureBlendStages = kMaxFFStages;
    c->MaxSimultaneousTextures = kMaxFFStages;
    c->VertexProcessingCaps = D3DVTXPCAPS_TEXGEN | D3DVTXPCAPS_MATERIALSOURCE7 | D3DVTXPCAPS_DIRECTIONALLIGHTS |
                              D3DVTXPCAPS_POSITIONALLIGHTS | D3DVTXPCAPS_LOCALVIEWER;
    c->MaxActiveLights = kMaxLights;
    c->MaxPointSize = 256.0f;
    c->MaxPrimitiveCount = 0xfffff;
    c->MaxVertexIndex = 0xffff;  // 16-bit index buffers only
    c->MaxStreams = 1;
    c->MaxStreamStride = 255;
    c->NumberOfAdaptersInGroup = 1;
    c->NumSimultaneousRTs = 1;
}

HRESULT Direct3D9::GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS9* pCaps)
{
    if (adapter != D3DADAPTER_DEFAULT || deviceType != D3DDEVTYPE_HAL || !pCaps) return D3DERR_INVALIDCALL;
    FillCaps(pCaps);
    return D3D_OK;
}

HRESULT Direct3D9::CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND hFocusWindow, DWORD behaviorFlags,
                                D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** out)
{
    if (!out) return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (adapter != D3DADAPTER_DEFAULT || deviceType != D3DDEVTYPE_HAL || !params) return D3DERR_INVALIDCALL;
    Device* device = new Device(this, hFocusWindow, behaviorFlags);
    const HRESULT hr = device->Init(params);
    if (FAILED(hr)) {
        device->Release();
        return hr;
    }
    *out = device;
    return D3D_OK;
}

}  // namespace d3d9gl

IDirect3D9* WINAPI Direct3DCreate9(UINT sdkVersion)
{
    if (sdkVersion != D3D_SDK_VERSION) return nullptr;
    // The window layer starts SDL (and sets the GL attributes) on first use.
    Win32_GetSDLWindow(nullptr);
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return nullptr;
    return new d3d9gl::Direct3D9();
}

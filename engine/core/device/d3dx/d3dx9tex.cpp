// Image files into textures, and surfaces out to image files.
#include "d3dx9tex.h"

#include <algorithm>
#include <vector>

#include "d3dx/FileBytes.h"
#include "d3dx/ImageCodec.h"

using d3dx::detail::ArgbImage;

namespace {

bool TakesFileSize(UINT v)
{
    return v == 0 || v == D3DX_DEFAULT || v == D3DX_DEFAULT_NONPOW2 || v == D3DX_FROM_FILE;
}

UINT FullChain(UINT w, UINT h)
{
    UINT levels = 1;
    for (UINT s = std::max(w, h); s > 1; s >>= 1) ++levels;
    return levels;
}

bool PointFilter(DWORD filter)
{
    DWORD kind = filter & 0xFF;
    return kind == D3DX_FILTER_NONE || kind == D3DX_FILTER_POINT;
}

D3DXIMAGE_INFO InfoOf(int w, int h, bool alpha, d3dx::detail::ImageFileKind kind)
{
    D3DXIMAGE_INFO info{};
    info.Width = UINT(w);
    info.Height = UINT(h);
    info.Depth = 1;
    info.MipLevels = 1;
    info.Format = alpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    info.ResourceType = D3DRTYPE_TEXTURE;
    info.ImageFileFormat = kind < 0 ? D3DXIFF_TGA : D3DXIMAGE_FILEFORMAT(int(kind));
    return info;
}

// Writes one level of a texture from ARGB pixels of the level's size.
HRESULT FillLevel(IDirect3DTexture9* texture, UINT level, const ArgbImage& image, D3DFORMAT format)
{
    D3DLOCKED_RECT locked{};
    HRESULT hr = texture->LockRect(level, &locked, nullptr, 0);
    if (FAILED(hr)) return hr;
    if (!locked.pBits) {
        texture->UnlockRect(level);
        return D3DERR_INVALIDCALL;
    }
    auto* bytes = static_cast<uint8_t*>(locked.pBits);
    for (int y = 0; y < image.height; ++y)
        d3dx::detail::PackRow(image.pixels.data() + size_t(y) * image.width, image.width, uint32_t(format),
                              bytes + size_t(y) * size_t(locked.Pitch));
    return texture->UnlockRect(level);
}

}  // namespace

HRESULT WINAPI D3DXCreateTextureFromFileInMemoryEx(LPDIRECT3DDEVICE9 device, LPCVOID srcData, UINT srcDataSize,
                                                   UINT width, UINT height, UINT mipLevels, DWORD usage,
                                                   D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                                   D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo,
                                                   PALETTEENTRY* /*palette*/, LPDIRECT3DTEXTURE9* texture)
{
    if (texture) *texture = nullptr;
    if (!device || !texture || !srcData) return D3DERR_INVALIDCALL;
    ArgbImage image;
    if (!d3dx::detail::DecodeImage(static_cast<const uint8_t*>(srcData), srcDataSize, image, nullptr))
        return D3DXERR_INVALIDDATA;
    if (srcInfo) *srcInfo = InfoOf(image.width, image.height, image.hasAlpha, image.kind);

    if (format == D3DFMT_UNKNOWN || format == D3DFMT_FROM_FILE) format = D3DFMT_A8R8G8B8;
    if (d3dx::detail::TexelBytes(uint32_t(format)) == 0) return D3DERR_INVALIDCALL;
    UINT w = TakesFileSize(width) ? UINT(image.width) : width;
    UINT h = TakesFileSize(height) ? UINT(image.height) : height;
    if (w > UINT(d3dx::detail::kMaxImageSide) || h > UINT(d3dx::detail::kMaxImageSide)) return D3DERR_INVALIDCALL;
    UINT full = FullChain(w, h);
    UINT levels = (mipLevels == 0 || mipLevels == D3DX_DEFAULT) ? full
                  : mipLevels == D3DX_FROM_FILE                 ? 1
                                                                : std::min(mipLevels, full);

    if (colorKey != 0) d3dx::detail::ApplyColourKey(image, colorKey);
    if (UINT(image.width) != w || UINT(image.height) != h) image = d3dx::detail::ResizePoint(image, int(w), int(h));
    (void)filter;  // point and box filtering look the same at the file's own size

    IDirect3DTexture9* tex = nullptr;
    HRESULT hr = device->CreateTexture(w, h, levels, usage, format, pool, &tex, nullptr);
    if (FAILED(hr) || !tex) return FAILED(hr) ? hr : D3DERR_INVALIDCALL;
    UINT made = tex->GetLevelCount();
    for (UINT level = 0; level < made && level < levels; ++level) {
        if (level > 0) image = d3dx::detail::HalveImage(image, PointFilter(mipFilter));
        hr = FillLevel(tex, level, image, format);
        if (FAILED(hr)) {
            tex->Release();
            return hr;
        }
    }
    *texture = tex;
    return D3D_OK;
}

HRESULT WINAPI D3DXCreateTextureFromFileExA(LPDIRECT3DDEVICE9 device, LPCSTR srcFile, UINT width, UINT height,
                                            UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter,
                                            DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo,
                                            PALETTEENTRY* palette, LPDIRECT3DTEXTURE9* texture)
{
    if (texture) *texture = nullptr;
    if (!device || !srcFile || !texture) return D3DERR_INVALIDCALL;
    std::vector<uint8_t> bytes;
    if (!d3dx::detail::ReadFileBytes(srcFile, bytes)) return D3DERR_NOTFOUND;
    if (bytes.empty()) return D3DXERR_INVALIDDATA;
    return D3DXCreateTextureFromFileInMemoryEx(device, bytes.data(), UINT(bytes.size()), width, height, mipLevels,
                                               usage, format, pool, filter, mipFilter, colorKey, srcInfo, palette,
                                               texture);
}

HRESULT WINAPI D3DXCreateTextureFromFileA(LPDIRECT3DDEVICE9 device, LPCSTR srcFile, LPDIRECT3DTEXTURE9* texture)
{
    return D3DXCreateTextureFromFileExA(device, srcFile, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                                        D3DPOOL_MANAGED, D3DX_FILTER_BOX, D3DX_FILTER_BOX, 0, nullptr, nullptr,
                                        texture);
}

HRESULT WINAPI D3DXGetImageInfoFromFileA(LPCSTR srcFile, D3DXIMAGE_INFO* info)
{
    if (!srcFile || !info) return D3DERR_INVALIDCALL;
    std::vector<uint8_t> bytes;
    if (!d3dx::detail::ReadFileBytes(srcFile, bytes)) return D3DERR_NOTFOUND;
    int w = 0, h = 0;
    bool alpha = false;
    d3dx::detail::ImageFileKind kind;
    if (!d3dx::detail::ProbeImage(bytes.data(), bytes.size(), w, h, alpha, kind)) return D3DXERR_INVALIDDATA;
    *info = InfoOf(w, h, alpha, kind);
    return D3D_OK;
}

HRESULT WINAPI D3DXCreateTexture(LPDIRECT3DDEVICE9 device, UINT width, UINT height, UINT mipLevels, DWORD usage,
                                 D3DFORMAT format, D3DPOOL pool, LPDIRECT3DTEXTURE9* texture)
{
    if (texture) *texture = nullptr;
    if (!device || !texture) return D3DERR_INVALIDCALL;
    if (width == 0 || width == D3DX_DEFAULT || width == D3DX_DEFAULT_NONPOW2) width = 256;
    if (height == 0 || height == D3DX_DEFAULT || height == D3DX_DEFAULT_NONPOW2) height = 256;
    if (format == D3DFMT_UNKNOWN) format = D3DFMT_A8R8G8B8;
    UINT full = FullChain(width, height);
    // Render targets get one level: nothing would fill the others.
    UINT levels = (mipLevels == 0 || mipLevels == D3DX_DEFAULT) ? ((usage & D3DUSAGE_RENDERTARGET) ? 1 : full)
                                                                : std::min(mipLevels, full);
    IDirect3DTexture9* tex = nullptr;
    HRESULT hr = device->CreateTexture(width, height, levels, usage, format, pool, &tex, nullptr);
    if (FAILED(hr)) return hr;
    if (!tex) return D3DERR_INVALIDCALL;
    *texture = tex;
    return D3D_OK;
}

HRESULT WINAPI D3DXSaveSurfaceToFileA(LPCSTR destFile, D3DXIMAGE_FILEFORMAT destFormat, LPDIRECT3DSURFACE9 srcSurface,
                                      const PALETTEENTRY* /*srcPalette*/, const RECT* srcRect)
{
    if (!destFile || !srcSurface) return D3DERR_INVALIDCALL;
    d3dx::detail::ImageFileKind kind;
    switch (destFormat) {
        case D3DXIFF_BMP:
        case D3DXIFF_DIB:
            kind = d3dx::detail::kImageBmp;
            break;
        case D3DXIFF_JPG:
            kind = d3dx::detail::kImageJpg;
            break;
        case D3DXIFF_PNG:
            kind = d3dx::detail::kImagePng;
            break;
        case D3DXIFF_TGA:
            kind = d3dx::detail::kImageTga;
            break;
        default:
            return D3DERR_INVALIDCALL;
    }
    D3DSURFACE_DESC desc{};
    if (FAILED(srcSurface->GetDesc(&desc))) return D3DERR_INVALIDCALL;
    RECT r{0, 0, LONG(desc.Width), LONG(desc.Height)};
    if (srcRect) {
        // The part of the rectangle on the surface (a window partly off the screen).
        r.left = std::max<LONG>(srcRect->left, 0);
        r.top = std::max<LONG>(srcRect->top, 0);
        r.right = std::min<LONG>(srcRect->right, LONG(desc.Width));
        r.bottom = std::min<LONG>(srcRect->bottom, LONG(desc.Height));
    }
    if (r.left >= r.right || r.top >= r.bottom) return D3DERR_INVALIDCALL;
    if (d3dx::detail::TexelBytes(uint32_t(desc.Format)) == 0) return D3DERR_INVALIDCALL;

    // A surface that cannot be locked (a render target) is read through a
    // system-memory copy.
    IDirect3DSurface9* readable = srcSurface;
    readable->AddRef();
    D3DLOCKED_RECT locked{};
    if (FAILED(readable->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        readable->Release();
        readable = nullptr;
        IDirect3DDevice9* device = nullptr;
        if (SUCCEEDED(srcSurface->GetDevice(&device)) && device) {
            if (SUCCEEDED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                                              &readable, nullptr)) &&
                readable && FAILED(device->GetRenderTargetData(srcSurface, readable))) {
                readable->Release();
                readable = nullptr;
            }
            device->Release();
        }
        if (!readable) return D3DERR_INVALIDCALL;
        if (FAILED(readable->LockRect(&locked, nullptr, D3DLOCK_READONLY)) || !locked.pBits) {
            readable->Release();
            return D3DERR_INVALIDCALL;
        }
    }
    int w = int(r.right - r.left), h = int(r.bottom - r.top);
    int bpp = d3dx::detail::TexelBytes(uint32_t(desc.Format));
    std::vector<uint32_t> pixels(size_t(w) * size_t(h));
    const auto* base = static_cast<const uint8_t*>(locked.pBits);
    for (int y = 0; y < h; ++y)
        d3dx::detail::UnpackRow(base + size_t(r.top + y) * size_t(locked.Pitch) + size_t(r.left) * size_t(bpp), w,
                                uint32_t(desc.Format), pixels.data() + size_t(y) * w);
    readable->UnlockRect();
    readable->Release();

    std::vector<uint8_t> file;
    if (!d3dx::detail::EncodeImage(kind, w, h, pixels.data(), file)) return E_FAIL;
    return d3dx::detail::WriteFileBytes(destFile, file) ? D3D_OK : E_FAIL;
}

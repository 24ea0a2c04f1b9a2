// D3DX texture and surface files: image files (TGA, BMP, PNG, JPEG) into
// textures, empty textures, and surfaces written out as image files. Files
// are named as the system names them (backslashes allowed).
#pragma once

#include <d3d9.h>
#include "d3dx9core.h"

#ifndef D3DX_DEFAULT
#define D3DX_DEFAULT ((UINT)-1)           // a size or level count taken from the file or the full chain
#define D3DX_DEFAULT_NONPOW2 ((UINT)-2)   // as D3DX_DEFAULT, the size not rounded up to a power of two
#define D3DX_DEFAULT_FLOAT FLT_MAX        // a float argument left at its default
#define D3DX_FROM_FILE ((UINT)-3)         // a size or level count exactly as the file has it
#define D3DFMT_FROM_FILE ((D3DFORMAT)-3)  // the format exactly as the file has it
#endif

// Filters for resizing and mip levels (the low bits); the other bits are accepted and ignored.
#define D3DX_FILTER_NONE (1 << 0)
#define D3DX_FILTER_POINT (2 << 0)
#define D3DX_FILTER_LINEAR (3 << 0)
#define D3DX_FILTER_TRIANGLE (4 << 0)
#define D3DX_FILTER_BOX (5 << 0)
#define D3DX_FILTER_MIRROR_U (1 << 16)
#define D3DX_FILTER_MIRROR_V (2 << 16)
#define D3DX_FILTER_MIRROR_W (4 << 16)
#define D3DX_FILTER_MIRROR (7 << 16)
#define D3DX_FILTER_DITHER (1 << 19)
#define D3DX_FILTER_SRGB_IN (1 << 21)
#define D3DX_FILTER_SRGB_OUT (2 << 21)
#define D3DX_FILTER_SRGB (3 << 21)

// The file formats images are read from and written to.
enum D3DXIMAGE_FILEFORMAT {
    D3DXIFF_BMP = 0,
    D3DXIFF_JPG = 1,
    D3DXIFF_TGA = 2,
    D3DXIFF_PNG = 3,
    D3DXIFF_DDS = 4,
    D3DXIFF_PPM = 5,
    D3DXIFF_DIB = 6,
    D3DXIFF_HDR = 7,
    D3DXIFF_PFM = 8,
    D3DXIFF_FORCE_DWORD = 0x7fffffff
};

// What a loader found in the file: the source image's own size and format.
struct D3DXIMAGE_INFO {
    UINT Width;                            // width in pixels
    UINT Height;                           // height in pixels
    UINT Depth;                            // depth: 1 for a 2D image
    UINT MipLevels;                        // mipmap levels the file holds
    D3DFORMAT Format;                      // D3DFMT_A8R8G8B8 with alpha, D3DFMT_X8R8G8B8 without
    D3DRESOURCETYPE ResourceType;          // the kind of resource the file holds
    D3DXIMAGE_FILEFORMAT ImageFileFormat;  // the file's format
};

// Loads an image file into a new texture. Width/height 0 or D3DX_DEFAULT
// take the file's size; mipLevels 0 or D3DX_DEFAULT give the full chain;
// format D3DFMT_UNKNOWN gives A8R8G8B8. Texels equal to a non-zero
// colorKey (0xAARRGGBB) become transparent black. info (optional) gets the
// source image's size. Failure leaves *texture NULL: D3DERR_NOTFOUND for a
// file that cannot be opened, D3DXERR_INVALIDDATA for an empty, truncated or
// corrupt one, D3DERR_INVALIDCALL for bad arguments. The caller owns the
// texture's reference.
HRESULT WINAPI D3DXCreateTextureFromFileExA(LPDIRECT3DDEVICE9 device, LPCSTR srcFile, UINT width, UINT height,
                                            UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter,
                                            DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo,
                                            PALETTEENTRY* palette, LPDIRECT3DTEXTURE9* texture);
// The same with every option at its default.
HRESULT WINAPI D3DXCreateTextureFromFileA(LPDIRECT3DDEVICE9 device, LPCSTR srcFile, LPDIRECT3DTEXTURE9* texture);
// The same from a file image held in memory.
HRESULT WINAPI D3DXCreateTextureFromFileInMemoryEx(LPDIRECT3DDEVICE9 device, LPCVOID srcData, UINT srcDataSize,
                                                   UINT width, UINT height, UINT mipLevels, DWORD usage,
                                                   D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                                   D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo, PALETTEENTRY* palette,
                                                   LPDIRECT3DTEXTURE9* texture);
// Reads only an image file's header into info; D3DXERR_INVALIDDATA when it is not a readable image.
HRESULT WINAPI D3DXGetImageInfoFromFileA(LPCSTR srcFile, D3DXIMAGE_INFO* info);

// An empty texture through CreateTexture; width/height 0 or D3DX_DEFAULT
// mean 256, mipLevels 0 or D3DX_DEFAULT the full chain, D3DFMT_UNKNOWN A8R8G8B8.
HRESULT WINAPI D3DXCreateTexture(LPDIRECT3DDEVICE9 device, UINT width, UINT height, UINT mipLevels, DWORD usage,
                                 D3DFORMAT format, D3DPOOL pool, LPDIRECT3DTEXTURE9* texture);

// Writes the part srcRect (whole surface when NULL; clipped to the surface)
// of a surface as a BMP, JPG, PNG or TGA file. D3DERR_INVALIDCALL for a
// rectangle off the surface or another file format, E_FAIL when the file
// cannot be written.
HRESULT WINAPI D3DXSaveSurfaceToFileA(LPCSTR destFile, D3DXIMAGE_FILEFORMAT destFormat, LPDIRECT3DSURFACE9 srcSurface,
                                      const PALETTEENTRY* srcPalette, const RECT* srcRect);

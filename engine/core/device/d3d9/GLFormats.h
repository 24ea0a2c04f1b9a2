// Direct3D to OpenGL translation tables: pixel formats, blend factors,
// compare functions, stencil operations, texture addressing. Each row keeps
// the Direct3D name beside its GL value.
#pragma once

#include <d3d9.h>
#include <epoxy/gl.h>

namespace d3d9gl {

struct PixelFormat {
    D3DFORMAT d3d;
    UINT bytesPerPixel;
    GLenum internalFormat;
    GLenum format;
    GLenum type;
    GLint swizzle[4];   // GL_TEXTURE_SWIZZLE_RGBA
    bool renderTarget;  // usable with D3DUSAGE_RENDERTARGET
};

// NULL for a format this device does not store.
const PixelFormat* FindPixelFormat(D3DFORMAT format);
bool IsDepthFormat(D3DFORMAT format);
bool HasStencil(D3DFORMAT format);
// Formats read (D3DSAMP_SRGBTEXTURE) and written (D3DRS_SRGBWRITEENABLE)
// through the sRGB encoding: eight bits a channel.
bool HasSrgbForm(D3DFORMAT format);

GLenum BlendFactor(DWORD d3dBlend, bool* ok = nullptr);
GLenum BlendEquation(DWORD d3dBlendOp);
GLenum CompareFunc(DWORD d3dCmp);
GLenum StencilOp(DWORD d3dOp);
GLenum AddressMode(DWORD d3dAddress);
GLenum MinFilter(DWORD minFilter, DWORD mipFilter);
GLenum MagFilter(DWORD magFilter);

}  // namespace d3d9gl

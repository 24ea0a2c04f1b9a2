// Direct3D to OpenGL translation tables.
#include "d3d9/GLFormats.h"

namespace d3d9gl {

namespace {

#define SW_RGBA                             \
    {                                       \
        GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA \
    }
#define SW_RGB1                           \
    {                                     \
        GL_RED, GL_GREEN, GL_BLUE, GL_ONE \
    }

// Direct3D formats name channels from the most significant bit; in memory a
// little-endian A8R8G8B8 pixel is the bytes B, G, R, A, which GL reads as BGRA.
const PixelFormat kFormats[] = {
    {D3DFMT_A8R8G8B8, 4, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, SW_RGBA, true},
    {D3DFMT_X8R8G8B8, 4, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, SW_RGB1, true},
    {D3DFMT_A8B8G8R8, 4, GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, SW_RGBA, true},
    {D3DFMT_X8B8G8R8, 4, GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, SW_RGB1, true},
    {D3DFMT_A4R4G4B4, 2, GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, SW_RGBA, true},
    {D3DFMT_X4R4G4B4, 2, GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, SW_RGB1, false},
    {D3DFMT_R5G6B5, 2, GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, SW_RGB1, true},
    {D3DFMT_A1R5G5B5, 2, GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, SW_RGBA, true},
    {D3DFMT_X1R5G5B5, 2, GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, SW_RGB1, false},
    {D3DFMT_A8, 1, GL_R8, GL_RED, GL_UNSIGNED_BYTE, {GL_ZERO, GL_ZERO, GL_ZERO, GL_RED}, false},
    {D3DFMT_L8, 1, GL_R8, GL_RED, GL_UNSIGNED_BYTE, {GL_RED, GL_RED, GL_RED, GL_ONE}, false},
    {D3DFMT_A8L8, 2, GL_RG8, GL_RG, GL_UNSIGNED_BYTE, {GL_RED, GL_RED, GL_RED, GL_GREEN}, false},
};

}  // namespace

const PixelFormat* FindPixelFormat(D3DFORMAT format)
{
    for (const PixelFormat& f : kFormats)
        if (f.d3d == format) return &f;
    return nullptr;
}

bool IsDepthFormat(D3DFORMAT format)
{
    return format == D3DFMT_D24S8 || format == D3DFMT_D24X8 || format == D3DFMT_D16 || format == D3DFMT_D32 ||
           format == D3DFMT_D16_LOCKABLE;
}

bool HasSrgbForm(D3DFORMAT format)
{
    return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8 || format == D3DFMT_A8B8G8R8 ||
           format == D3DFMT_X8B8G8R8;
}

bool HasStencil(D3DFORMAT format)
{
    return format == D3DFMT_D24S8;
}

GLenum BlendFactor(DWORD b, bool* ok)
{
    if (ok) *ok = true;
    switch (b) {
        case D3DBLEND_ZERO:
            return GL_ZERO;
        case D3DBLEND_ONE:
            return GL_ONE;
        case D3DBLEND_SRCCOLOR:
            return GL_SRC_COLOR;
        case D3DBLEND_INVSRCCOLOR:
            return GL_ONE_MINUS_SRC_COLOR;
        case D3DBLEND_SRCALPHA:
            return GL_SRC_ALPHA;
        case D3DBLEND_INVSRCALPHA:
            return GL_ONE_MINUS_SRC_ALPHA;
        case D3DBLEND_DESTALPHA:
            return GL_DST_ALPHA;
        case D3DBLEND_INVDESTALPHA:
            return GL_ONE_MINUS_DST_ALPHA;
        case D3DBLEND_DESTCOLOR:
            return GL_DST_COLOR;
        case D3DBLEND_INVDESTCOLOR:
            return GL_ONE_MINUS_DST_COLOR;
        case D3DBLEND_SRCALPHASAT:
            return GL_SRC_ALPHA_SATURATE;
        case D3DBLEND_BLENDFACTOR:
            return GL_CONSTANT_COLOR;
        case D3DBLEND_INVBLENDFACTOR:
            return GL_ONE_MINUS_CONSTANT_COLOR;
        default:
            if (ok) *ok = false;
            return GL_ONE;
    }
}

GLenum BlendEquation(DWORD op)
{
    switch (op) {
        case D3DBLENDOP_SUBTRACT:
            return GL_FUNC_SUBTRACT;
        case D3DBLENDOP_REVSUBTRACT:
            return GL_FUNC_REVERSE_SUBTRACT;
        case D3DBLENDOP_MIN:
            return GL_MIN;
        case D3DBLENDOP_MAX:
            return GL_MAX;
        case D3DBLENDOP_ADD:
        default:
            return GL_FUNC_ADD;
    }
}

GLenum CompareFunc(DWORD c)
{
    switch (c) {
        case D3DCMP_NEVER:
            return GL_NEVER;
        case D3DCMP_LESS:
            return GL_LESS;
        case D3DCMP_EQUAL:
            return GL_EQUAL;
        case D3DCMP_LESSEQUAL:
            return GL_LEQUAL;
        case D3DCMP_GREATER:
            return GL_GREATER;
        case D3DCMP_NOTEQUAL:
            return GL_NOTEQUAL;
        case D3DCMP_GREATEREQUAL:
            return GL_GEQUAL;
        case D3DCMP_ALWAYS:
        default:
            return GL_ALWAYS;
    }
}

GLenum StencilOp(DWORD op)
{
    switch (op) {
        case D3DSTENCILOP_ZERO:
            return GL_ZERO;
        case D3DSTENCILOP_REPLACE:
            return GL_REPLACE;
        case D3DSTENCILOP_INCRSAT:
            return GL_INCR;
        case D3DSTENCILOP_DECRSAT:
            return GL_DECR;
        case D3DSTENCILOP_INVERT:
            return GL_INVERT;
        case D3DSTENCILOP_INCR:
            return GL_INCR_WRAP;
        case D3DSTENCILOP_DECR:
            return GL_DECR_WRAP;
        case D3DSTENCILOP_KEEP:
        default:
            return GL_KEEP;
    }
}

GLenum AddressMode(DWORD a)
{
    switch (a) {
        case D3DTADDRESS_MIRROR:
            return GL_MIRRORED_REPEAT;
        case D3DTADDRESS_CLAMP:
            return GL_CLAMP_TO_EDGE;
        case D3DTADDRESS_BORDER:
            return GL_CLAMP_TO_BORDER;
        case D3DTADDRESS_MIRRORONCE:
            return GL_MIRRORED_REPEAT;
        case D3DTADDRESS_WRAP:
        default:
            return GL_REPEAT;
    }
}

GLenum MinFilter(DWORD minFilter, DWORD mipFilter)
{
    const bool linear = minFilter == D3DTEXF_LINEAR || minFilter == D3DTEXF_ANISOTROPIC;
    switch (mipFilter) {
        case D3DTEXF_POINT:
            return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
        case D3DTEXF_LINEAR:
            return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
        default:
            return linear ? GL_LINEAR : GL_NEAREST;
    }
}

GLenum MagFilter(DWORD magFilter)
{
    return (magFilter == D3DTEXF_LINEAR || magFilter == D3DTEXF_ANISOTROPIC) ? GL_LINEAR : GL_NEAREST;
}

}  // namespace d3d9gl

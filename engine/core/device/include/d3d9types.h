// Direct3D 9 value types, enumerations and constants, with the names and
// values of the platform's own headers.
#pragma once

#include <windows.h>

#include <stdint.h>

// GUIDs and IUnknown come from the window layer, as on Windows.
#include <unknwn.h>

// GDI records the device and D3DX signatures name.
#ifndef KOLVAR_GDI_RECORDS_DEFINED
#define KOLVAR_GDI_RECORDS_DEFINED
// One palette colour: red, green, blue and flags.
struct PALETTEENTRY {
    BYTE peRed, peGreen, peBlue, peFlags;  // red, green and blue (0 to 255) and flags
};
struct RGNDATA;  // dirty regions of Present: accepted and ignored
struct HMONITOR__;
typedef HMONITOR__* HMONITOR;  // pointer to HMONITOR__
#endif

#ifndef MAKEFOURCC
// A four-character code as a DWORD, the first character in the low byte.
#define MAKEFOURCC(a, b, c, d) \
    ((DWORD)(BYTE)(a) | ((DWORD)(BYTE)(b) << 8) | ((DWORD)(BYTE)(c) << 16) | ((DWORD)(BYTE)(d) << 24))
#endif

// ---------------------------------------------------------------------------
// Results.
#define _FACD3D 0x876
#define MAKE_D3DHRESULT(code) ((HRESULT)(0x88760000u | (DWORD)(code)))
#define MAKE_D3DSTATUS(code) ((HRESULT)(0x08760000u | (DWORD)(code)))

#define D3D_OK S_OK                                             // success
#define D3DERR_WRONGTEXTUREFORMAT MAKE_D3DHRESULT(2072)         // the texture's format does not suit the call
#define D3DERR_UNSUPPORTEDCOLOROPERATION MAKE_D3DHRESULT(2073)  // colour blend operation not supported
#define D3DERR_UNSUPPORTEDCOLORARG MAKE_D3DHRESULT(2074)        // colour blend argument not supported
#define D3DERR_UNSUPPORTEDALPHAOPERATION MAKE_D3DHRESULT(2075)  // alpha blend operation not supported
#define D3DERR_UNSUPPORTEDALPHAARG MAKE_D3DHRESULT(2076)        // alpha blend argument not supported
#define D3DERR_TOOMANYOPERATIONS MAKE_D3DHRESULT(2077)          // more blend operations than the device can do
#define D3DERR_CONFLICTINGTEXTUREFILTER MAKE_D3DHRESULT(2078)   // texture filters that cannot go together
#define D3DERR_UNSUPPORTEDFACTORVALUE MAKE_D3DHRESULT(2079)     // texture factor value not supported
#define D3DERR_CONFLICTINGRENDERSTATE MAKE_D3DHRESULT(2081)     // render states that cannot go together
#define D3DERR_UNSUPPORTEDTEXTUREFILTER MAKE_D3DHRESULT(2082)   // texture filter not supported
#define D3DERR_CONFLICTINGTEXTUREPALETTE MAKE_D3DHRESULT(2086)  // textures with different palettes
#define D3DERR_DRIVERINTERNALERROR MAKE_D3DHRESULT(2087)        // the driver failed
#define D3DERR_NOTFOUND MAKE_D3DHRESULT(2150)                   // the item asked for does not exist
#define D3DERR_MOREDATA MAKE_D3DHRESULT(2151)                   // more data than the buffer holds
#define D3DERR_DEVICELOST MAKE_D3DHRESULT(2152)                 // the device is lost; wait, then Reset
#define D3DERR_DEVICENOTRESET MAKE_D3DHRESULT(2153)             // the device is lost and can be Reset now
#define D3DERR_NOTAVAILABLE MAKE_D3DHRESULT(2154)               // not supported by this device
#define D3DERR_OUTOFVIDEOMEMORY MAKE_D3DHRESULT(380)            // out of video memory
#define D3DERR_INVALIDDEVICE MAKE_D3DHRESULT(2155)              // no such device
#define D3DERR_INVALIDCALL MAKE_D3DHRESULT(2156)                // a bad argument or a call out of place
#define D3DERR_DRIVERINVALIDCALL MAKE_D3DHRESULT(2157)          // the driver refused the call
#define D3DERR_WASSTILLDRAWING MAKE_D3DHRESULT(540)             // the device is still using the resource
#define D3DOK_NOAUTOGEN MAKE_D3DSTATUS(2159)                    // success, but mipmaps are not generated

// ---------------------------------------------------------------------------
// Colours.
typedef DWORD D3DCOLOR;
// A D3DCOLOR from alpha, red, green, blue (0 to 255).
#define D3DCOLOR_ARGB(a, r, g, b) ((D3DCOLOR)((((a)&0xff) << 24) | (((r)&0xff) << 16) | (((g)&0xff) << 8) | ((b)&0xff)))
#define D3DCOLOR_RGBA(r, g, b, a) D3DCOLOR_ARGB(a, r, g, b)  // a D3DCOLOR from red, green, blue, alpha (0 to 255)
#define D3DCOLOR_XRGB(r, g, b) D3DCOLOR_ARGB(0xff, r, g, b)  // an opaque D3DCOLOR from red, green, blue
#define D3DCOLOR_XYUV(y, u, v) D3DCOLOR_ARGB(0xff, y, u, v)  // an opaque D3DCOLOR from y, u, v
#define D3DCOLOR_AYUV(a, y, u, v) D3DCOLOR_ARGB(a, y, u, v)  // a D3DCOLOR from alpha, y, u, v
// A D3DCOLOR from float red, green, blue and alpha (0 to 1).
#define D3DCOLOR_COLORVALUE(r, g, b, a) \
    D3DCOLOR_RGBA((DWORD)((r)*255.f), (DWORD)((g)*255.f), (DWORD)((b)*255.f), (DWORD)((a)*255.f))

// A colour of four floats, 0 .. 1 for each channel.
struct D3DCOLORVALUE {
    float r, g, b, a;  // red, green, blue and alpha as floats, 0 to 1
};

// A 3D vector or point of three floats.
struct D3DVECTOR {
    float x, y, z;  // the components
};

// A 4 by 4 matrix of floats, row by row; vectors multiply it from the left.
struct D3DMATRIX {
    union {
        struct {
            float _11, _12, _13, _14;
            float _21, _22, _23, _24;
            float _31, _32, _33, _34;
            float _41, _42, _43, _44;
        };
        float m[4][4];
    };
};

// A rectangle in pixels by its corners x1, y1 (inside) and x2, y2 (just outside).
struct D3DRECT {
    LONG x1, y1, x2, y2;  // the left, top, right and bottom edges
};

// The part of the render target drawing goes to, and its depth range.
struct D3DVIEWPORT9 {
    DWORD X, Y;           // top-left corner in pixels of the render target
    DWORD Width, Height;  // the size in pixels
    float MinZ, MaxZ;     // depth range, 0..1
};

// The colours and shininess the fixed-function lighting gives a surface.
struct D3DMATERIAL9 {
    D3DCOLORVALUE Diffuse;   // diffuse colour
    D3DCOLORVALUE Ambient;   // ambient colour
    D3DCOLORVALUE Specular;  // specular colour
    D3DCOLORVALUE Emissive;  // emitted colour
    float Power;             // specular sharpness
};

// Kinds of light: point, spot or directional.
enum D3DLIGHTTYPE {
    D3DLIGHT_POINT = 1,
    D3DLIGHT_SPOT = 2,
    D3DLIGHT_DIRECTIONAL = 3,
    D3DLIGHT_FORCE_DWORD = 0x7fffffff
};

// One light of the fixed-function lighting.
struct D3DLIGHT9 {
    D3DLIGHTTYPE Type;       // point, spot or directional
    D3DCOLORVALUE Diffuse;   // diffuse colour
    D3DCOLORVALUE Specular;  // specular colour
    D3DCOLORVALUE Ambient;   // ambient colour
    D3DVECTOR Position;      // position in world space
    D3DVECTOR Direction;     // direction in world space
    float Range;             // farthest distance lit
    float Falloff;           // spotlight falloff between the cones
    float Attenuation0;      // constant attenuation
    float Attenuation1;      // linear attenuation
    float Attenuation2;      // quadratic attenuation
    float Theta;             // inner cone angle in radians
    float Phi;               // outer cone angle in radians
};

// ---------------------------------------------------------------------------
// Clear flags.
#define D3DCLEAR_TARGET 0x00000001L
#define D3DCLEAR_ZBUFFER 0x00000002L
#define D3DCLEAR_STENCIL 0x00000004L

// ---------------------------------------------------------------------------
// Render-state values.
enum D3DSHADEMODE { D3DSHADE_FLAT = 1, D3DSHADE_GOURAUD = 2, D3DSHADE_PHONG = 3, D3DSHADE_FORCE_DWORD = 0x7fffffff };

// How triangles are drawn: points, edges or filled (D3DRS_FILLMODE).
enum D3DFILLMODE { D3DFILL_POINT = 1, D3DFILL_WIREFRAME = 2, D3DFILL_SOLID = 3, D3DFILL_FORCE_DWORD = 0x7fffffff };

// Blend factors (D3DRS_SRCBLEND, D3DRS_DESTBLEND).
enum D3DBLEND {
    D3DBLEND_ZERO = 1,
    D3DBLEND_ONE = 2,
    D3DBLEND_SRCCOLOR = 3,
    D3DBLEND_INVSRCCOLOR = 4,
    D3DBLEND_SRCALPHA = 5,
    D3DBLEND_INVSRCALPHA = 6,
    D3DBLEND_DESTALPHA = 7,
    D3DBLEND_INVDESTALPHA = 8,
    D3DBLEND_DESTCOLOR = 9,
    D3DBLEND_INVDESTCOLOR = 10,
    D3DBLEND_SRCALPHASAT = 11,
    D3DBLEND_BOTHSRCALPHA = 12,
    D3DBLEND_BOTHINVSRCALPHA = 13,
    D3DBLEND_BLENDFACTOR = 14,
    D3DBLEND_INVBLENDFACTOR = 15,
    D3DBLEND_FORCE_DWORD = 0x7fffffff
};

// How the blended source and destination are combined (D3DRS_BLENDOP).
enum D3DBLENDOP {
    D3DBLENDOP_ADD = 1,
    D3DBLENDOP_SUBTRACT = 2,
    D3DBLENDOP_REVSUBTRACT = 3,
    D3DBLENDOP_MIN = 4,
    D3DBLENDOP_MAX = 5,
    D3DBLENDOP_FORCE_DWORD = 0x7fffffff
};

// What texture coordinates outside 0 .. 1 read (D3DSAMP_ADDRESSU and V).
enum D3DTEXTUREADDRESS {
    D3DTADDRESS_WRAP = 1,
    D3DTADDRESS_MIRROR = 2,
    D3DTADDRESS_CLAMP = 3,
    D3DTADDRESS_BORDER = 4,
    D3DTADDRESS_MIRRORONCE = 5,
    D3DTADDRESS_FORCE_DWORD = 0x7fffffff
};

// Which triangles are culled by their winding (D3DRS_CULLMODE).
enum D3DCULL { D3DCULL_NONE = 1, D3DCULL_CW = 2, D3DCULL_CCW = 3, D3DCULL_FORCE_DWORD = 0x7fffffff };

// Comparisons of the depth, stencil and alpha tests.
enum D3DCMPFUNC {
    D3DCMP_NEVER = 1,
    D3DCMP_LESS = 2,
    D3DCMP_EQUAL = 3,
    D3DCMP_LESSEQUAL = 4,
    D3DCMP_GREATER = 5,
    D3DCMP_NOTEQUAL = 6,
    D3DCMP_GREATEREQUAL = 7,
    D3DCMP_ALWAYS = 8,
    D3DCMP_FORCE_DWORD = 0x7fffffff
};

// What the stencil test does to the stencil value.
enum D3DSTENCILOP {
    D3DSTENCILOP_KEEP = 1,
    D3DSTENCILOP_ZERO = 2,
    D3DSTENCILOP_REPLACE = 3,
    D3DSTENCILOP_INCRSAT = 4,
    D3DSTENCILOP_DECRSAT = 5,
    D3DSTENCILOP_INVERT = 6,
    D3DSTENCILOP_INCR = 7,
    D3DSTENCILOP_DECR = 8,
    D3DSTENCILOP_FORCE_DWORD = 0x7fffffff
};

// How fog grows with distance (D3DRS_FOGTABLEMODE, D3DRS_FOGVERTEXMODE).
enum D3DFOGMODE {
    D3DFOG_NONE = 0,
    D3DFOG_EXP = 1,
    D3DFOG_EXP2 = 2,
    D3DFOG_LINEAR = 3,
    D3DFOG_FORCE_DWORD = 0x7fffffff
};

// Whether depth testing is on (D3DRS_ZENABLE).
enum D3DZBUFFERTYPE { D3DZB_FALSE = 0, D3DZB_TRUE = 1, D3DZB_USEW = 2, D3DZB_FORCE_DWORD = 0x7fffffff };

// Where the lighting takes each material colour from: the material or a vertex colour.
enum D3DMATERIALCOLORSOURCE {
    D3DMCS_MATERIAL = 0,
    D3DMCS_COLOR1 = 1,
    D3DMCS_COLOR2 = 2,
    D3DMCS_FORCE_DWORD = 0x7fffffff
};

// How many matrices blend each vertex (D3DRS_VERTEXBLEND).
enum D3DVERTEXBLENDFLAGS {
    D3DVBF_DISABLE = 0,
    D3DVBF_1WEIGHTS = 1,
    D3DVBF_2WEIGHTS = 2,
    D3DVBF_3WEIGHTS = 3,
    D3DVBF_TWEENING = 255,
    D3DVBF_0WEIGHTS = 256,
    D3DVBF_FORCE_DWORD = 0x7fffffff
};

#define D3DCOLORWRITEENABLE_RED (1L << 0)    // write the red channel
#define D3DCOLORWRITEENABLE_GREEN (1L << 1)  // write the green channel
#define D3DCOLORWRITEENABLE_BLUE (1L << 2)   // write the blue channel
#define D3DCOLORWRITEENABLE_ALPHA (1L << 3)  // write the alpha channel

// ---------------------------------------------------------------------------
// Transform states. World matrices sit at 256 and up.
enum D3DTRANSFORMSTATETYPE {
    D3DTS_VIEW = 2,
    D3DTS_PROJECTION = 3,
    D3DTS_TEXTURE0 = 16,
    D3DTS_TEXTURE1 = 17,
    D3DTS_TEXTURE2 = 18,
    D3DTS_TEXTURE3 = 19,
    D3DTS_TEXTURE4 = 20,
    D3DTS_TEXTURE5 = 21,
    D3DTS_TEXTURE6 = 22,
    D3DTS_TEXTURE7 = 23,
    D3DTS_FORCE_DWORD = 0x7fffffff
};
#define D3DTS_WORLDMATRIX(index) (D3DTRANSFORMSTATETYPE)((index) + 256)  // the world matrix of that index
#define D3DTS_WORLD D3DTS_WORLDMATRIX(0)                                 // the world matrix
#define D3DTS_WORLD1 D3DTS_WORLDMATRIX(1)                                // the second world matrix
#define D3DTS_WORLD2 D3DTS_WORLDMATRIX(2)                                // the third world matrix
#define D3DTS_WORLD3 D3DTS_WORLDMATRIX(3)                                // the fourth world matrix

// ---------------------------------------------------------------------------
// Render states.
enum D3DRENDERSTATETYPE {
    D3DRS_ZENABLE = 7,
    D3DRS_FILLMODE = 8,
    D3DRS_SHADEMODE = 9,
    D3DRS_ZWRITEENABLE = 14,
    D3DRS_ALPHATESTENABLE = 15,
    D3DRS_LASTPIXEL = 16,
    D3DRS_SRCBLEND = 19,
    D3DRS_DESTBLEND = 20,
    D3DRS_CULLMODE = 22,
    D3DRS_ZFUNC = 23,
    D3DRS_ALPHAREF = 24,
    D3DRS_ALPHAFUNC = 25,
    D3DRS_DITHERENABLE = 26,
    D3DRS_ALPHABLENDENABLE = 27,
    D3DRS_FOGENABLE = 28,
    D3DRS_SPECULARENABLE = 29,
    D3DRS_FOGCOLOR = 34,
    D3DRS_FOGTABLEMODE = 35,
    D3DRS_FOGSTART = 36,
    D3DRS_FOGEND = 37,
    D3DRS_FOGDENSITY = 38,
    D3DRS_RANGEFOGENABLE = 48,
    D3DRS_STENCILENABLE = 52,
    D3DRS_STENCILFAIL = 53,
    D3DRS_STENCILZFAIL = 54,
    D3DRS_STENCILPASS = 55,
    D3DRS_STENCILFUNC = 56,
    D3DRS_STENCILREF = 57,
    D3DRS_STENCILMASK = 58,
    D3DRS_STENCILWRITEMASK = 59,
    D3DRS_TEXTUREFACTOR = 60,
    D3DRS_WRAP0 = 128,
    D3DRS_WRAP1 = 129,
    D3DRS_WRAP2 = 130,
    D3DRS_WRAP3 = 131,
    D3DRS_WRAP4 = 132,
    D3DRS_WRAP5 = 133,
    D3DRS_WRAP6 = 134,
    D3DRS_WRAP7 = 135,
    D3DRS_CLIPPING = 136,
    D3DRS_LIGHTING = 137,
    D3DRS_AMBIENT = 139,
    D3DRS_FOGVERTEXMODE = 140,
    D3DRS_COLORVERTEX = 141,
    D3DRS_LOCALVIEWER = 142,
    D3DRS_NORMALIZENORMALS = 143,
    D3DRS_DIFFUSEMATERIALSOURCE = 145,
    D3DRS_SPECULARMATERIALSOURCE = 146,
    D3DRS_AMBIENTMATERIALSOURCE = 147,
    D3DRS_EMISSIVEMATERIALSOURCE = 148,
    D3DRS_VERTEXBLEND = 151,
    D3DRS_CLIPPLANEENABLE = 152,
    D3DRS_POINTSIZE = 154,
    D3DRS_POINTSIZE_MIN = 155,
    D3DRS_POINTSPRITEENABLE = 156,
    D3DRS_POINTSCALEENABLE = 157,
    D3DRS_POINTSCALE_A = 158,
    D3DRS_POINTSCALE_B = 159,
    D3DRS_POINTSCALE_C = 160,
    D3DRS_MULTISAMPLEANTIALIAS = 161,
    D3DRS_MULTISAMPLEMASK = 162,
    D3DRS_PATCHEDGESTYLE = 163,
    D3DRS_DEBUGMONITORTOKEN = 165,
    D3DRS_POINTSIZE_MAX = 166,
    D3DRS_INDEXEDVERTEXBLENDENABLE = 167,
    D3DRS_COLORWRITEENABLE = 168,
    D3DRS_TWEENFACTOR = 170,
    D3DRS_BLENDOP = 171,
    D3DRS_POSITIONDEGREE = 172,
    D3DRS_NORMALDEGREE = 173,
    D3DRS_SCISSORTESTENABLE = 174,
    D3DRS_SLOPESCALEDEPTHBIAS = 175,
    D3DRS_ANTIALIASEDLINEENABLE = 176,
    D3DRS_MINTESSELLATIONLEVEL = 178,
    D3DRS_MAXTESSELLATIONLEVEL = 179,
    D3DRS_ADAPTIVETESS_X = 180,
    D3DRS_ADAPTIVETESS_Y = 181,
    D3DRS_ADAPTIVETESS_Z = 182,
    D3DRS_ADAPTIVETESS_W = 183,
    D3DRS_ENABLEADAPTIVETESSELLATION = 184,
    D3DRS_TWOSIDEDSTENCILMODE = 185,
    D3DRS_CCW_STENCILFAIL = 186,
    D3DRS_CCW_STENCILZFAIL = 187,
    D3DRS_CCW_STENCILPASS = 188,
    D3DRS_CCW_STENCILFUNC = 189,
    D3DRS_COLORWRITEENABLE1 = 190,
    D3DRS_COLORWRITEENABLE2 = 191,
    D3DRS_COLORWRITEENABLE3 = 192,
    D3DRS_BLENDFACTOR = 193,
    D3DRS_SRGBWRITEENABLE = 194,
    D3DRS_DEPTHBIAS = 195,
    D3DRS_WRAP8 = 198,
    D3DRS_WRAP9 = 199,
    D3DRS_WRAP10 = 200,
    D3DRS_WRAP11 = 201,
    D3DRS_WRAP12 = 202,
    D3DRS_WRAP13 = 203,
    D3DRS_WRAP14 = 204,
    D3DRS_WRAP15 = 205,
    D3DRS_SEPARATEALPHABLENDENABLE = 206,
    D3DRS_SRCBLENDALPHA = 207,
    D3DRS_DESTBLENDALPHA = 208,
    D3DRS_BLENDOPALPHA = 209,
    D3DRS_FORCE_DWORD = 0x7fffffff
};

// ---------------------------------------------------------------------------
// Texture-stage states and their values.
#define D3DDP_MAXTEXCOORD 8

// The states of a texture stage (SetTextureStageState).
enum D3DTEXTURESTAGESTATETYPE {
    D3DTSS_COLOROP = 1,
    D3DTSS_COLORARG1 = 2,
    D3DTSS_COLORARG2 = 3,
    D3DTSS_ALPHAOP = 4,
    D3DTSS_ALPHAARG1 = 5,
    D3DTSS_ALPHAARG2 = 6,
    D3DTSS_BUMPENVMAT00 = 7,
    D3DTSS_BUMPENVMAT01 = 8,
    D3DTSS_BUMPENVMAT10 = 9,
    D3DTSS_BUMPENVMAT11 = 10,
    D3DTSS_TEXCOORDINDEX = 11,
    D3DTSS_BUMPENVLSCALE = 22,
    D3DTSS_BUMPENVLOFFSET = 23,
    D3DTSS_TEXTURETRANSFORMFLAGS = 24,
    D3DTSS_COLORARG0 = 26,
    D3DTSS_ALPHAARG0 = 27,
    D3DTSS_RESULTARG = 28,
    D3DTSS_CONSTANT = 32,
    D3DTSS_FORCE_DWORD = 0x7fffffff
};

#define D3DTSS_TCI_PASSTHRU 0x00000000                     // the vertex's own texture coordinates
#define D3DTSS_TCI_CAMERASPACENORMAL 0x00010000            // the camera-space normal
#define D3DTSS_TCI_CAMERASPACEPOSITION 0x00020000          // the camera-space position
#define D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR 0x00030000  // the camera-space reflection vector
#define D3DTSS_TCI_SPHEREMAP 0x00040000                    // sphere map coordinates

// How a texture stage combines its arguments (D3DTSS_COLOROP, D3DTSS_ALPHAOP).
enum D3DTEXTUREOP {
    D3DTOP_DISABLE = 1,
    D3DTOP_SELECTARG1 = 2,
    D3DTOP_SELECTARG2 = 3,
    D3DTOP_MODULATE = 4,
    D3DTOP_MODULATE2X = 5,
    D3DTOP_MODULATE4X = 6,
    D3DTOP_ADD = 7,
    D3DTOP_ADDSIGNED = 8,
    D3DTOP_ADDSIGNED2X = 9,
    D3DTOP_SUBTRACT = 10,
    D3DTOP_ADDSMOOTH = 11,
    D3DTOP_BLENDDIFFUSEALPHA = 12,
    D3DTOP_BLENDTEXTUREALPHA = 13,
    D3DTOP_BLENDFACTORALPHA = 14,
    D3DTOP_BLENDTEXTUREALPHAPM = 15,
    D3DTOP_BLENDCURRENTALPHA = 16,
    D3DTOP_PREMODULATE = 17,
    D3DTOP_MODULATEALPHA_ADDCOLOR = 18,
    D3DTOP_MODULATECOLOR_ADDALPHA = 19,
    D3DTOP_MODULATEINVALPHA_ADDCOLOR = 20,
    D3DTOP_MODULATEINVCOLOR_ADDALPHA = 21,
    D3DTOP_BUMPENVMAP = 22,
    D3DTOP_BUMPENVMAPLUMINANCE = 23,
    D3DTOP_DOTPRODUCT3 = 24,
    D3DTOP_MULTIPLYADD = 25,
    D3DTOP_LERP = 26,
    D3DTOP_FORCE_DWORD = 0x7fffffff
};

#define D3DTA_SELECTMASK 0x0000000f      // the bits that pick the argument
#define D3DTA_DIFFUSE 0x00000000         // the vertex's diffuse colour
#define D3DTA_CURRENT 0x00000001         // the previous stage's result
#define D3DTA_TEXTURE 0x00000002         // the stage's texture
#define D3DTA_TFACTOR 0x00000003         // the texture factor render state
#define D3DTA_SPECULAR 0x00000004        // the vertex's specular colour
#define D3DTA_TEMP 0x00000005            // the temporary register
#define D3DTA_CONSTANT 0x00000006        // the stage's constant
#define D3DTA_COMPLEMENT 0x00000010      // one minus the argument
#define D3DTA_ALPHAREPLICATE 0x00000020  // the argument's alpha in every channel

// How many texture coordinates the stage transform gives, and whether they are projected.
enum D3DTEXTURETRANSFORMFLAGS {
    D3DTTFF_DISABLE = 0,
    D3DTTFF_COUNT1 = 1,
    D3DTTFF_COUNT2 = 2,
    D3DTTFF_COUNT3 = 3,
    D3DTTFF_COUNT4 = 4,
    D3DTTFF_PROJECTED = 256,
    D3DTTFF_FORCE_DWORD = 0x7fffffff
};

// ---------------------------------------------------------------------------
// Sampler states.
enum D3DSAMPLERSTATETYPE {
    D3DSAMP_ADDRESSU = 1,
    D3DSAMP_ADDRESSV = 2,
    D3DSAMP_ADDRESSW = 3,
    D3DSAMP_BORDERCOLOR = 4,
    D3DSAMP_MAGFILTER = 5,
    D3DSAMP_MINFILTER = 6,
    D3DSAMP_MIPFILTER = 7,
    D3DSAMP_MIPMAPLODBIAS = 8,
    D3DSAMP_MAXMIPLEVEL = 9,
    D3DSAMP_MAXANISOTROPY = 10,
    D3DSAMP_SRGBTEXTURE = 11,
    D3DSAMP_ELEMENTINDEX = 12,
    D3DSAMP_DMAPOFFSET = 13,
    D3DSAMP_FORCE_DWORD = 0x7fffffff
};

// Texture filters (D3DSAMP_MAGFILTER, MINFILTER, MIPFILTER).
enum D3DTEXTUREFILTERTYPE {
    D3DTEXF_NONE = 0,
    D3DTEXF_POINT = 1,
    D3DTEXF_LINEAR = 2,
    D3DTEXF_ANISOTROPIC = 3,
    D3DTEXF_PYRAMIDALQUAD = 6,
    D3DTEXF_GAUSSIANQUAD = 7,
    D3DTEXF_FORCE_DWORD = 0x7fffffff
};

// ---------------------------------------------------------------------------
// Flexible vertex format bits.
#define D3DFVF_RESERVED0 0x001
#define D3DFVF_POSITION_MASK 0x400E
#define D3DFVF_XYZ 0x002
#define D3DFVF_XYZRHW 0x004
#define D3DFVF_XYZB1 0x006
#define D3DFVF_XYZB2 0x008
#define D3DFVF_XYZB3 0x00a
#define D3DFVF_XYZB4 0x00c
#define D3DFVF_XYZB5 0x00e
#define D3DFVF_XYZW 0x4002
#define D3DFVF_NORMAL 0x010
#define D3DFVF_PSIZE 0x020
#define D3DFVF_DIFFUSE 0x040
#define D3DFVF_SPECULAR 0x080
#define D3DFVF_TEXCOUNT_MASK 0xf00
#define D3DFVF_TEXCOUNT_SHIFT 8
#define D3DFVF_TEX0 0x000
#define D3DFVF_TEX1 0x100
#define D3DFVF_TEX2 0x200
#define D3DFVF_TEX3 0x300
#define D3DFVF_TEX4 0x400
#define D3DFVF_TEX5 0x500
#define D3DFVF_TEX6 0x600
#define D3DFVF_TEX7 0x700
#define D3DFVF_TEX8 0x800
#define D3DFVF_LASTBETA_UBYTE4 0x1000
#define D3DFVF_LASTBETA_D3DCOLOR 0x8000
#define D3DFVF_RESERVED2 0x6000

#define D3DFVF_TEXTUREFORMAT1 3                                          // one float per coordinate set
#define D3DFVF_TEXTUREFORMAT2 0                                          // two floats per coordinate set
#define D3DFVF_TEXTUREFORMAT3 1                                          // three floats per coordinate set
#define D3DFVF_TEXTUREFORMAT4 2                                          // four floats per coordinate set
#define D3DFVF_TEXCOORDSIZE1(i) (D3DFVF_TEXTUREFORMAT1 << ((i)*2 + 16))  // set i has one float
#define D3DFVF_TEXCOORDSIZE2(i) (D3DFVF_TEXTUREFORMAT2)                  // set i has two floats
#define D3DFVF_TEXCOORDSIZE3(i) (D3DFVF_TEXTUREFORMAT3 << ((i)*2 + 16))  // set i has three floats
#define D3DFVF_TEXCOORDSIZE4(i) (D3DFVF_TEXTUREFORMAT4 << ((i)*2 + 16))  // set i has four floats

// ---------------------------------------------------------------------------
// Primitives.
enum D3DPRIMITIVETYPE {
    D3DPT_POINTLIST = 1,
    D3DPT_LINELIST = 2,
    D3DPT_LINESTRIP = 3,
    D3DPT_TRIANGLELIST = 4,
    D3DPT_TRIANGLESTRIP = 5,
    D3DPT_TRIANGLEFAN = 6,
    D3DPT_FORCE_DWORD = 0x7fffffff
};

// ---------------------------------------------------------------------------
// Formats.
enum D3DFORMAT {
    D3DFMT_UNKNOWN = 0,
    D3DFMT_R8G8B8 = 20,
    D3DFMT_A8R8G8B8 = 21,
    D3DFMT_X8R8G8B8 = 22,
    D3DFMT_R5G6B5 = 23,
    D3DFMT_X1R5G5B5 = 24,
    D3DFMT_A1R5G5B5 = 25,
    D3DFMT_A4R4G4B4 = 26,
    D3DFMT_R3G3B2 = 27,
    D3DFMT_A8 = 28,
    D3DFMT_A8R3G3B2 = 29,
    D3DFMT_X4R4G4B4 = 30,
    D3DFMT_A2B10G10R10 = 31,
    D3DFMT_A8B8G8R8 = 32,
    D3DFMT_X8B8G8R8 = 33,
    D3DFMT_G16R16 = 34,
    D3DFMT_A2R10G10B10 = 35,
    D3DFMT_A16B16G16R16 = 36,
    D3DFMT_A8P8 = 40,
    D3DFMT_P8 = 41,
    D3DFMT_L8 = 50,
    D3DFMT_A8L8 = 51,
    D3DFMT_A4L4 = 52,
    D3DFMT_V8U8 = 60,
    D3DFMT_L6V5U5 = 61,
    D3DFMT_X8L8V8U8 = 62,
    D3DFMT_Q8W8V8U8 = 63,
    D3DFMT_V16U16 = 64,
    D3DFMT_A2W10V10U10 = 67,
    D3DFMT_UYVY = MAKEFOURCC('U', 'Y', 'V', 'Y'),
    D3DFMT_YUY2 = MAKEFOURCC('Y', 'U', 'Y', '2'),
    D3DFMT_DXT1 = MAKEFOURCC('D', 'X', 'T', '1'),
    D3DFMT_DXT2 = MAKEFOURCC('D', 'X', 'T', '2'),
    D3DFMT_DXT3 = MAKEFOURCC('D', 'X', 'T', '3'),
    D3DFMT_DXT4 = MAKEFOURCC('D', 'X', 'T', '4'),
    D3DFMT_DXT5 = MAKEFOURCC('D', 'X', 'T', '5'),
    D3DFMT_D16_LOCKABLE = 70,
    D3DFMT_D32 = 71,
    D3DFMT_D15S1 = 73,
    D3DFMT_D24S8 = 75,
    D3DFMT_D24X8 = 77,
    D3DFMT_D24X4S4 = 79,
    D3DFMT_D16 = 80,
    D3DFMT_D32F_LOCKABLE = 82,
    D3DFMT_D24FS8 = 83,
    D3DFMT_L16 = 81,
    D3DFMT_VERTEXDATA = 100,
    D3DFMT_INDEX16 = 101,
    D3DFMT_INDEX32 = 102,
    D3DFMT_Q16W16V16U16 = 110,
    D3DFMT_R16F = 111,
    D3DFMT_G16R16F = 112,
    D3DFMT_A16B16G16R16F = 113,
    D3DFMT_R32F = 114,
    D3DFMT_G32R32F = 115,
    D3DFMT_A32B32G32R32F = 116,
    D3DFMT_CxV8U8 = 117,
    D3DFMT_FORCE_DWORD = 0x7fffffff
};

// ---------------------------------------------------------------------------
// Devices, adapters, presentation.
#define D3DADAPTER_DEFAULT 0
#define D3D_SDK_VERSION 32

// The kind of device asked for.
enum D3DDEVTYPE {
    D3DDEVTYPE_HAL = 1,
    D3DDEVTYPE_REF = 2,
    D3DDEVTYPE_SW = 3,
    D3DDEVTYPE_NULLREF = 4,
    D3DDEVTYPE_FORCE_DWORD = 0x7fffffff
};

#define D3DCREATE_FPU_PRESERVE 0x00000002L               // keep the caller's floating-point mode
#define D3DCREATE_MULTITHREADED 0x00000004L              // calls may come from several threads
#define D3DCREATE_PUREDEVICE 0x00000010L                 // no Get calls for state
#define D3DCREATE_SOFTWARE_VERTEXPROCESSING 0x00000020L  // vertices processed in software
#define D3DCREATE_HARDWARE_VERTEXPROCESSING 0x00000040L  // vertices processed in hardware
#define D3DCREATE_MIXED_VERTEXPROCESSING 0x00000080L     // software or hardware, chosen at run time
#define D3DCREATE_DISABLE_DRIVER_MANAGEMENT 0x00000100L  // the runtime manages resources
#define D3DCREATE_ADAPTERGROUP_DEVICE 0x00000200L        // one device for the adapter group

// Samples a pixel of a multisampled surface.
enum D3DMULTISAMPLE_TYPE {
    D3DMULTISAMPLE_NONE = 0,
    D3DMULTISAMPLE_NONMASKABLE = 1,
    D3DMULTISAMPLE_2_SAMPLES = 2,
    D3DMULTISAMPLE_4_SAMPLES = 4,
    D3DMULTISAMPLE_8_SAMPLES = 8,
    D3DMULTISAMPLE_16_SAMPLES = 16,
    D3DMULTISAMPLE_FORCE_DWORD = 0x7fffffff
};

// What Present does with the back buffer.
enum D3DSWAPEFFECT {
    D3DSWAPEFFECT_DISCARD = 1,
    D3DSWAPEFFECT_FLIP = 2,
    D3DSWAPEFFECT_COPY = 3,
    D3DSWAPEFFECT_FORCE_DWORD = 0x7fffffff
};

// Which back buffers GetBackBuffer names.
enum D3DBACKBUFFER_TYPE {
    D3DBACKBUFFER_TYPE_MONO = 0,
    D3DBACKBUFFER_TYPE_LEFT = 1,
    D3DBACKBUFFER_TYPE_RIGHT = 2,
    D3DBACKBUFFER_TYPE_FORCE_DWORD = 0x7fffffff
};

#define D3DPRESENT_INTERVAL_DEFAULT 0x00000000L    // wait for one vertical blank
#define D3DPRESENT_INTERVAL_ONE 0x00000001L        // wait for each vertical blank
#define D3DPRESENT_INTERVAL_TWO 0x00000002L        // present every second vertical blank
#define D3DPRESENT_INTERVAL_THREE 0x00000004L      // present every third vertical blank
#define D3DPRESENT_INTERVAL_FOUR 0x00000008L       // present every fourth vertical blank
#define D3DPRESENT_INTERVAL_IMMEDIATE 0x80000000L  // present at once, no wait

#define D3DPRESENTFLAG_LOCKABLE_BACKBUFFER 0x00000001   // the back buffer can be locked
#define D3DPRESENTFLAG_DISCARD_DEPTHSTENCIL 0x00000002  // depth and stencil are dropped after present
#define D3DPRESENT_RATE_DEFAULT 0x00000000              // the current refresh rate

// How a device or swap chain presents: back buffer, window, depth buffer and interval.
struct D3DPRESENT_PARAMETERS {
    UINT BackBufferWidth;                 // 0 in a window: the window's client width
    UINT BackBufferHeight;                // 0 in a window: the window's client height
    D3DFORMAT BackBufferFormat;           // D3DFMT_UNKNOWN in a window: the display format
    UINT BackBufferCount;                 // back buffers, 0 taken as 1
    D3DMULTISAMPLE_TYPE MultiSampleType;  // multisampling
    DWORD MultiSampleQuality;             // multisampling quality level
    D3DSWAPEFFECT SwapEffect;             // how presenting swaps the buffers
    HWND hDeviceWindow;                   // NULL: the focus window
    BOOL Windowed;                        // TRUE in a window, FALSE full screen
    BOOL EnableAutoDepthStencil;          // TRUE: a depth buffer is made with the device
    D3DFORMAT AutoDepthStencilFormat;     // format of that depth buffer
    DWORD Flags;                          // D3DPRESENTFLAG_ bits
    UINT FullScreen_RefreshRateInHz;      // refresh rate; 0 in a window
    UINT PresentationInterval;            // D3DPRESENT_INTERVAL_ value
};

// A display mode: size, refresh rate and format.
struct D3DDISPLAYMODE {
    UINT Width;        // width in pixels
    UINT Height;       // height in pixels
    UINT RefreshRate;  // refresh rate in hertz
    D3DFORMAT Format;  // the format
};

// What CreateDevice was given.
struct D3DDEVICE_CREATION_PARAMETERS {
    UINT AdapterOrdinal;    // the adapter
    D3DDEVTYPE DeviceType;  // the device type
    HWND hFocusWindow;      // the focus window
    DWORD BehaviorFlags;    // D3DCREATE_ bits
};

// Where the display scan is (GetRasterStatus).
struct D3DRASTER_STATUS {
    BOOL InVBlank;  // TRUE in the vertical blank
    UINT ScanLine;  // the scan line being drawn
};

// ---------------------------------------------------------------------------
// Resources.
enum D3DRESOURCETYPE {
    D3DRTYPE_SURFACE = 1,
    D3DRTYPE_VOLUME = 2,
    D3DRTYPE_TEXTURE = 3,
    D3DRTYPE_VOLUMETEXTURE = 4,
    D3DRTYPE_CUBETEXTURE = 5,
    D3DRTYPE_VERTEXBUFFER = 6,
    D3DRTYPE_INDEXBUFFER = 7,
    D3DRTYPE_FORCE_DWORD = 0x7fffffff
};

// Where a resource lives and who restores it.
enum D3DPOOL {
    D3DPOOL_DEFAULT = 0,
    D3DPOOL_MANAGED = 1,
    D3DPOOL_SYSTEMMEM = 2,
    D3DPOOL_SCRATCH = 3,
    D3DPOOL_FORCE_DWORD = 0x7fffffff
};

#define D3DUSAGE_RENDERTARGET 0x00000001L                    // a render target
#define D3DUSAGE_DEPTHSTENCIL 0x00000002L                    // a depth and stencil buffer
#define D3DUSAGE_DYNAMIC 0x00000200L                         // rewritten often
#define D3DUSAGE_AUTOGENMIPMAP 0x00000400L                   // mipmaps generated from the top level
#define D3DUSAGE_DMAP 0x00004000L                            // a displacement map
#define D3DUSAGE_QUERY_LEGACYBUMPMAP 0x00008000L             // query: legacy bump mapping
#define D3DUSAGE_QUERY_SRGBREAD 0x00010000L                  // query: sRGB reads
#define D3DUSAGE_QUERY_FILTER 0x00020000L                    // query: filtering
#define D3DUSAGE_QUERY_SRGBWRITE 0x00040000L                 // query: sRGB writes
#define D3DUSAGE_QUERY_POSTPIXELSHADER_BLENDING 0x00080000L  // query: blending after the pixel program
#define D3DUSAGE_QUERY_VERTEXTEXTURE 0x00100000L             // query: vertex texture reads
#define D3DUSAGE_QUERY_WRAPANDMIP 0x00200000L                // query: wrap addressing with mipmaps
#define D3DUSAGE_WRITEONLY 0x00000008L                       // written only, never read back
#define D3DUSAGE_SOFTWAREPROCESSING 0x00000010L              // for software vertex processing
#define D3DUSAGE_DONOTCLIP 0x00000020L                       // primitives need no clipping
#define D3DUSAGE_POINTS 0x00000040L                          // holds point sprites
#define D3DUSAGE_RTPATCHES 0x00000080L                       // holds high-order primitives
#define D3DUSAGE_NPATCHES 0x00000100L                        // holds N-patches

#define D3DLOCK_READONLY 0x00000010L         // read only, nothing written
#define D3DLOCK_DISCARD 0x00002000L          // every byte is rewritten
#define D3DLOCK_NOOVERWRITE 0x00001000L      // bytes the device uses are not written
#define D3DLOCK_NOSYSLOCK 0x00000800L        // hold no system lock
#define D3DLOCK_DONOTWAIT 0x00004000L        // fail at once if the device is busy
#define D3DLOCK_NO_DIRTY_UPDATE 0x00008000L  // the locked area is not marked changed

// The six faces of a cube texture.
enum D3DCUBEMAP_FACES {
    D3DCUBEMAP_FACE_POSITIVE_X = 0,
    D3DCUBEMAP_FACE_NEGATIVE_X = 1,
    D3DCUBEMAP_FACE_POSITIVE_Y = 2,
    D3DCUBEMAP_FACE_NEGATIVE_Y = 3,
    D3DCUBEMAP_FACE_POSITIVE_Z = 4,
    D3DCUBEMAP_FACE_NEGATIVE_Z = 5,
    D3DCUBEMAP_FACE_FORCE_DWORD = 0x7fffffff
};

// A surface's format, kind, usage, pool, multisampling and size.
struct D3DSURFACE_DESC {
    D3DFORMAT Format;                     // the format
    D3DRESOURCETYPE Type;                 // the resource type
    DWORD Usage;                          // D3DUSAGE_ bits
    D3DPOOL Pool;                         // memory pool
    D3DMULTISAMPLE_TYPE MultiSampleType;  // multisampling
    DWORD MultiSampleQuality;             // multisampling quality level
    UINT Width;                           // width in pixels
    UINT Height;                          // height in pixels
};

// A vertex buffer's format, kind, usage, pool, size and FVF.
struct D3DVERTEXBUFFER_DESC {
    D3DFORMAT Format;      // the format
    D3DRESOURCETYPE Type;  // the resource type
    DWORD Usage;           // D3DUSAGE_ bits
    D3DPOOL Pool;          // memory pool
    UINT Size;             // size in bytes
    DWORD FVF;             // vertex format (D3DFVF_ bits)
};

// An index buffer's format, kind, usage, pool and size.
struct D3DINDEXBUFFER_DESC {
    D3DFORMAT Format;      // the format
    D3DRESOURCETYPE Type;  // the resource type
    DWORD Usage;           // D3DUSAGE_ bits
    D3DPOOL Pool;          // memory pool
    UINT Size;             // size in bytes
};

// A locked surface: its bytes a row and the first byte.
struct D3DLOCKED_RECT {
    INT Pitch;    // bytes from one row to the next; row 0 is the top row
    void* pBits;  // the first byte of the locked area
};

// A box of texels: left, top, front inside, right, bottom, back just outside.
struct D3DBOX {
    UINT Left, Top, Right, Bottom, Front, Back;  // the edges; right, bottom and back are one past the last
};

// Which states a state block holds.
enum D3DSTATEBLOCKTYPE {
    D3DSBT_ALL = 1,
    D3DSBT_PIXELSTATE = 2,
    D3DSBT_VERTEXSTATE = 3,
    D3DSBT_FORCE_DWORD = 0x7fffffff
};

// Largest counts this device accepts.
#define D3DMAXUSERCLIPPLANES 32

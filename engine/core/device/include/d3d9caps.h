// Direct3D 9 device capabilities, with the platform's field names and bits.
#pragma once

#include "d3d9types.h"

// Vertex-program limits of version 2.0 and above.
struct D3DVSHADERCAPS2_0 {
    DWORD Caps;                   // D3DVS20CAPS_ bits
    INT DynamicFlowControlDepth;  // nesting depth of dynamic branches
    INT NumTemps;                 // temporary registers
    INT StaticFlowControlDepth;   // nesting depth of static branches
};

// Pixel-program limits of version 2.0 and above.
struct D3DPSHADERCAPS2_0 {
    DWORD Caps;                   // D3DPS20CAPS_ bits
    INT DynamicFlowControlDepth;  // nesting depth of dynamic branches
    INT NumTemps;                 // temporary registers
    INT StaticFlowControlDepth;   // nesting depth of static branches
    INT NumInstructionSlots;      // instruction slots
};

// What a device can do, filled by GetDeviceCaps.
struct D3DCAPS9 {
    D3DDEVTYPE DeviceType;                    // hardware, reference or software device
    UINT AdapterOrdinal;                      // the adapter this device is on
    DWORD Caps;                               // driver bits (D3DCAPS_)
    DWORD Caps2;                              // driver bits (D3DCAPS2_)
    DWORD Caps3;                              // driver bits (D3DCAPS3_)
    DWORD PresentationIntervals;              // D3DPRESENT_INTERVAL_ bits supported
    DWORD CursorCaps;                         // D3DCURSORCAPS_ bits
    DWORD DevCaps;                            // D3DDEVCAPS_ bits
    DWORD PrimitiveMiscCaps;                  // D3DPMISCCAPS_ bits
    DWORD RasterCaps;                         // D3DPRASTERCAPS_ bits
    DWORD ZCmpCaps;                           // depth test functions (D3DPCMPCAPS_)
    DWORD SrcBlendCaps;                       // source blend factors (D3DPBLENDCAPS_)
    DWORD DestBlendCaps;                      // destination blend factors (D3DPBLENDCAPS_)
    DWORD AlphaCmpCaps;                       // alpha test functions (D3DPCMPCAPS_)
    DWORD ShadeCaps;                          // D3DPSHADECAPS_ bits
    DWORD TextureCaps;                        // D3DPTEXTURECAPS_ bits
    DWORD TextureFilterCaps;                  // 2D texture filters (D3DPTFILTERCAPS_)
    DWORD CubeTextureFilterCaps;              // cube texture filters (D3DPTFILTERCAPS_)
    DWORD VolumeTextureFilterCaps;            // volume texture filters (D3DPTFILTERCAPS_)
    DWORD TextureAddressCaps;                 // 2D texture address modes (D3DPTADDRESSCAPS_)
    DWORD VolumeTextureAddressCaps;           // volume texture address modes (D3DPTADDRESSCAPS_)
    DWORD LineCaps;                           // D3DLINECAPS_ bits
    DWORD MaxTextureWidth;                    // widest texture in texels
    DWORD MaxTextureHeight;                   // tallest texture in texels
    DWORD MaxVolumeExtent;                    // largest volume texture side
    DWORD MaxTextureRepeat;                   // most times a texture may repeat
    DWORD MaxTextureAspectRatio;              // largest width to height ratio
    DWORD MaxAnisotropy;                      // highest anisotropy level
    float MaxVertexW;                         // largest w of a vertex
    float GuardBandLeft;                      // left edge of the guard band
    float GuardBandTop;                       // top edge of the guard band
    float GuardBandRight;                     // right edge of the guard band
    float GuardBandBottom;                    // bottom edge of the guard band
    float ExtentsAdjust;                      // pixels added to the extents for antialiasing
    DWORD StencilCaps;                        // D3DSTENCILCAPS_ bits
    DWORD FVFCaps;                            // D3DFVFCAPS_ bits and texture coordinate count
    DWORD TextureOpCaps;                      // D3DTEXOPCAPS_ bits
    DWORD MaxTextureBlendStages;              // most texture blend stages
    DWORD MaxSimultaneousTextures;            // most textures bound at once
    DWORD VertexProcessingCaps;               // D3DVTXPCAPS_ bits
    DWORD MaxActiveLights;                    // most lights on at once
    DWORD MaxUserClipPlanes;                  // most user clip planes
    DWORD MaxVertexBlendMatrices;             // most matrices blending a vertex
    DWORD MaxVertexBlendMatrixIndex;          // highest indexed blend matrix
    float MaxPointSize;                       // largest point size
    DWORD MaxPrimitiveCount;                  // most primitives in one draw
    DWORD MaxVertexIndex;                     // highest vertex index
    DWORD MaxStreams;                         // most vertex streams
    DWORD MaxStreamStride;                    // largest stream stride in bytes
    DWORD VertexShaderVersion;                // vertex program version (D3DVS_VERSION)
    DWORD MaxVertexShaderConst;               // vertex program constant registers
    DWORD PixelShaderVersion;                 // pixel program version (D3DPS_VERSION)
    float PixelShader1xMaxValue;              // largest value in pixel program 1.x registers
    DWORD DevCaps2;                           // D3DDEVCAPS2_ bits
    float MaxNpatchTessellationLevel;         // highest N-patch tessellation level
    DWORD Reserved5;                          // reserved
    UINT MasterAdapterOrdinal;                // the group's master adapter
    UINT AdapterOrdinalInGroup;               // this adapter's place in its group
    UINT NumberOfAdaptersInGroup;             // adapters in the group (on the master)
    DWORD DeclTypes;                          // D3DDTCAPS_ bits
    DWORD NumSimultaneousRTs;                 // most render targets at once
    DWORD StretchRectFilterCaps;              // StretchRect filters (D3DPTFILTERCAPS_)
    D3DVSHADERCAPS2_0 VS20Caps;               // vertex program 2.0 limits
    D3DPSHADERCAPS2_0 PS20Caps;               // pixel program 2.0 limits
    DWORD VertexTextureFilterCaps;            // vertex texture filters (D3DPTFILTERCAPS_)
    DWORD MaxVShaderInstructionsExecuted;     // most vertex program instructions run
    DWORD MaxPShaderInstructionsExecuted;     // most pixel program instructions run
    DWORD MaxVertexShader30InstructionSlots;  // vertex program 3.0 instruction slots
    DWORD MaxPixelShader30InstructionSlots;   // pixel program 3.0 instruction slots
};

#define D3DVS_VERSION(major, minor) (0xFFFE0000 | ((major) << 8) | (minor))  // a vertex program version as a DWORD
#define D3DPS_VERSION(major, minor) (0xFFFF0000 | ((major) << 8) | (minor))  // a pixel program version as a DWORD

// DevCaps
#define D3DDEVCAPS_EXECUTESYSTEMMEMORY 0x00000010L
#define D3DDEVCAPS_TLVERTEXSYSTEMMEMORY 0x00000040L
#define D3DDEVCAPS_TLVERTEXVIDEOMEMORY 0x00000080L
#define D3DDEVCAPS_TEXTURESYSTEMMEMORY 0x00000100L
#define D3DDEVCAPS_TEXTUREVIDEOMEMORY 0x00000200L
#define D3DDEVCAPS_DRAWPRIMTLVERTEX 0x00000400L
#define D3DDEVCAPS_CANRENDERAFTERFLIP 0x00000800L
#define D3DDEVCAPS_HWTRANSFORMANDLIGHT 0x00010000L
#define D3DDEVCAPS_HWRASTERIZATION 0x00080000L
#define D3DDEVCAPS_PUREDEVICE 0x00100000L

// VertexProcessingCaps
#define D3DVTXPCAPS_TEXGEN 0x00000001L
#define D3DVTXPCAPS_MATERIALSOURCE7 0x00000002L
#define D3DVTXPCAPS_DIRECTIONALLIGHTS 0x00000008L
#define D3DVTXPCAPS_POSITIONALLIGHTS 0x00000010L
#define D3DVTXPCAPS_LOCALVIEWER 0x00000020L

// TextureCaps
#define D3DPTEXTURECAPS_PERSPECTIVE 0x00000001L
#define D3DPTEXTURECAPS_POW2 0x00000002L
#define D3DPTEXTURECAPS_ALPHA 0x00000004L
#define D3DPTEXTURECAPS_SQUAREONLY 0x00000020L
#define D3DPTEXTURECAPS_MIPMAP 0x00004000L
#define D3DPTEXTURECAPS_NONPOW2CONDITIONAL 0x00000100L
#define D3DPTEXTURECAPS_PROJECTED 0x00000400L

// Texture filter caps
#define D3DPTFILTERCAPS_MINFPOINT 0x00000100L
#define D3DPTFILTERCAPS_MINFLINEAR 0x00000200L
#define D3DPTFILTERCAPS_MIPFPOINT 0x00010000L
#define D3DPTFILTERCAPS_MIPFLINEAR 0x00020000L
#define D3DPTFILTERCAPS_MAGFPOINT 0x01000000L
#define D3DPTFILTERCAPS_MAGFLINEAR 0x02000000L

// Texture address caps
#define D3DPTADDRESSCAPS_WRAP 0x00000001L
#define D3DPTADDRESSCAPS_MIRROR 0x00000002L
#define D3DPTADDRESSCAPS_CLAMP 0x00000004L
#define D3DPTADDRESSCAPS_BORDER 0x00000008L

// PrimitiveMiscCaps
#define D3DPMISCCAPS_MASKZ 0x00000002L
#define D3DPMISCCAPS_CULLNONE 0x00000010L
#define D3DPMISCCAPS_CULLCW 0x00000020L
#define D3DPMISCCAPS_CULLCCW 0x00000040L
#define D3DPMISCCAPS_COLORWRITEENABLE 0x00000080L
#define D3DPMISCCAPS_CLIPTLVERTS 0x00000200L
#define D3DPMISCCAPS_BLENDOP 0x00000800L
#define D3DPMISCCAPS_SEPARATEALPHABLEND 0x00020000L

// RasterCaps
#define D3DPRASTERCAPS_DITHER 0x00000001L
#define D3DPRASTERCAPS_ZTEST 0x00000010L
#define D3DPRASTERCAPS_FOGVERTEX 0x00000080L
#define D3DPRASTERCAPS_FOGTABLE 0x00000100L
#define D3DPRASTERCAPS_MIPMAPLODBIAS 0x00002000L
#define D3DPRASTERCAPS_FOGRANGE 0x00010000L
#define D3DPRASTERCAPS_WFOG 0x00100000L
#define D3DPRASTERCAPS_ZFOG 0x00200000L
#define D3DPRASTERCAPS_SCISSORTEST 0x01000000L

// Compare caps (ZCmpCaps, AlphaCmpCaps)
#define D3DPCMPCAPS_NEVER 0x00000001L
#define D3DPCMPCAPS_LESS 0x00000002L
#define D3DPCMPCAPS_EQUAL 0x00000004L
#define D3DPCMPCAPS_LESSEQUAL 0x00000008L
#define D3DPCMPCAPS_GREATER 0x00000010L
#define D3DPCMPCAPS_NOTEQUAL 0x00000020L
#define D3DPCMPCAPS_GREATEREQUAL 0x00000040L
#define D3DPCMPCAPS_ALWAYS 0x00000080L

// Blend caps
#define D3DPBLENDCAPS_ZERO 0x00000001L
#define D3DPBLENDCAPS_ONE 0x00000002L
#define D3DPBLENDCAPS_SRCCOLOR 0x00000004L
#define D3DPBLENDCAPS_INVSRCCOLOR 0x00000008L
#define D3DPBLENDCAPS_SRCALPHA 0x00000010L
#define D3DPBLENDCAPS_INVSRCALPHA 0x00000020L
#define D3DPBLENDCAPS_DESTALPHA 0x00000040L
#define D3DPBLENDCAPS_INVDESTALPHA 0x00000080L
#define D3DPBLENDCAPS_DESTCOLOR 0x00000100L
#define D3DPBLENDCAPS_INVDESTCOLOR 0x00000200L
#define D3DPBLENDCAPS_SRCALPHASAT 0x00000400L

// Shade caps
#define D3DPSHADECAPS_COLORGOURAUDRGB 0x00000008L
#define D3DPSHADECAPS_ALPHAGOURAUDBLEND 0x00004000L
#define D3DPSHADECAPS_FOGGOURAUD 0x00080000L

// FVF caps
#define D3DFVFCAPS_TEXCOORDCOUNTMASK 0x0000ffffL
#define D3DFVFCAPS_DONOTSTRIPELEMENTS 0x00080000L
#define D3DFVFCAPS_PSIZE 0x00100000L

// Texture op caps
#define D3DTEXOPCAPS_DISABLE 0x00000001L
#define D3DTEXOPCAPS_SELECTARG1 0x00000002L
#define D3DTEXOPCAPS_SELECTARG2 0x00000004L
#define D3DTEXOPCAPS_MODULATE 0x00000008L
#define D3DTEXOPCAPS_MODULATE2X 0x00000010L
#define D3DTEXOPCAPS_MODULATE4X 0x00000020L
#define D3DTEXOPCAPS_ADD 0x00000040L
#define D3DTEXOPCAPS_ADDSIGNED 0x00000080L
#define D3DTEXOPCAPS_SUBTRACT 0x00000200L
#define D3DTEXOPCAPS_BLENDDIFFUSEALPHA 0x00000800L
#define D3DTEXOPCAPS_BLENDTEXTUREALPHA 0x00001000L
#define D3DTEXOPCAPS_BLENDCURRENTALPHA 0x00008000L
#define D3DTEXOPCAPS_ADDSIGNED2X 0x00000100L
#define D3DTEXOPCAPS_ADDSMOOTH 0x00000400L
#define D3DTEXOPCAPS_BLENDFACTORALPHA 0x00002000L
#define D3DTEXOPCAPS_BLENDTEXTUREALPHAPM 0x00004000L
#define D3DTEXOPCAPS_PREMODULATE 0x00010000L
#define D3DTEXOPCAPS_MODULATEALPHA_ADDCOLOR 0x00020000L
#define D3DTEXOPCAPS_MODULATECOLOR_ADDALPHA 0x00040000L
#define D3DTEXOPCAPS_MODULATEINVALPHA_ADDCOLOR 0x00080000L
#define D3DTEXOPCAPS_MODULATEINVCOLOR_ADDALPHA 0x00100000L
#define D3DTEXOPCAPS_BUMPENVMAP 0x00200000L
#define D3DTEXOPCAPS_BUMPENVMAPLUMINANCE 0x00400000L
#define D3DTEXOPCAPS_DOTPRODUCT3 0x00800000L
#define D3DTEXOPCAPS_MULTIPLYADD 0x01000000L
#define D3DTEXOPCAPS_LERP 0x02000000L

// Line caps
#define D3DLINECAPS_TEXTURE 0x00000001L
#define D3DLINECAPS_ZTEST 0x00000002L
#define D3DLINECAPS_BLEND 0x00000004L
#define D3DLINECAPS_ALPHACMP 0x00000008L
#define D3DLINECAPS_FOG 0x00000010L

// Stencil caps
#define D3DSTENCILCAPS_KEEP 0x00000001L
#define D3DSTENCILCAPS_ZERO 0x00000002L
#define D3DSTENCILCAPS_REPLACE 0x00000004L
#define D3DSTENCILCAPS_INCRSAT 0x00000008L
#define D3DSTENCILCAPS_DECRSAT 0x00000010L
#define D3DSTENCILCAPS_INVERT 0x00000020L
#define D3DSTENCILCAPS_INCR 0x00000040L
#define D3DSTENCILCAPS_DECR 0x00000080L
#define D3DSTENCILCAPS_TWOSIDED 0x00000100L

// The seam between the device and the D3DX objects built on it (fonts,
// meshes, effects): GL names of resources, the device's GL context, and a
// bracket for drawing with one's own GLSL program into the device's current
// render target with the device's raster states. Only code inside the device
// layer includes this header.
//
// Drawing with the device's own pipeline needs nothing from here: SetFVF,
// SetStreamSource / SetIndices and Draw*, or DrawPrimitiveUP, take the
// fixed-function path with every state applied.
#pragma once

#include <d3d9.h>

// GL names (0 for a system-memory or scratch resource, or a NULL pointer).
unsigned D3D9GL_TextureName(IDirect3DBaseTexture9* texture);       // a GL_TEXTURE_2D
unsigned D3D9GL_VertexBufferName(IDirect3DVertexBuffer9* buffer);  // a GL_ARRAY_BUFFER
unsigned D3D9GL_IndexBufferName(IDirect3DIndexBuffer9* buffer);    // a GL_ELEMENT_ARRAY_BUFFER of 16-bit indices

// Makes the device's GL context current on this thread; false for NULL.
bool D3D9GL_MakeCurrent(IDirect3DDevice9* device);

// Custom drawing. Begin binds the device's current render target and
// viewport and applies blend, depth, stencil, cull, fill and colour-write
// states as the device holds them; the caller then binds its own program,
// vertex array, buffers and textures (texture units 0..7) and draws. End
// tells the device that its cached GL bindings are stale. Between the two
// the caller must not call the device. Begin returns D3DERR_INVALIDCALL for
// a NULL device.
//
// A custom vertex shader ends with
//     gl_Position = d3d9PositionFixup(clipPosition);
// where d3d9PositionFixup comes from D3D9GL_PositionFixupGLSL() (paste it
// into the shader source after the #version line) and the program's
// uniform "d3d9_posFixup" is set from D3D9GL_SetPositionFixup after Begin.
// The fix-up turns Direct3D clip space (depth 0..1, top row first, pixel
// centres on integers) into this device's GL conventions.
HRESULT D3D9GL_BeginCustomDraw(IDirect3DDevice9* device);
void D3D9GL_EndCustomDraw(IDirect3DDevice9* device);
const char* D3D9GL_PositionFixupGLSL();
// Sets uniform "d3d9_posFixup" of the currently bound program.
void D3D9GL_SetPositionFixup(IDirect3DDevice9* device, unsigned program);

// Effect passes (ID3DXEffect, d3dx9effect.cpp). While a program is
// installed, every draw of the device (DrawPrimitive, DrawIndexedPrimitive
// and the UP forms) uses it in place of the fixed-function program: the
// device applies its states (its textures and sampler states on units
// 0..7 included), binds the vertex attributes of the current FVF at the
// locations below, calls hook(user) with the program bound (the effect sets
// its uniforms and "d3d9_posFixup" and binds its own textures to units 0..7
// there), and draws. Program 0 removes it.
enum {
    D3D9GL_ATTRIB_POSITION = 0,   // vec4: x, y, z, 1 (XYZ) or x, y, z, rhw (XYZRHW)
    D3D9GL_ATTRIB_NORMAL = 1,     // vec3
    D3D9GL_ATTRIB_DIFFUSE = 2,    // vec4 r, g, b, a in 0..1
    D3D9GL_ATTRIB_SPECULAR = 3,   // vec4
    D3D9GL_ATTRIB_PSIZE = 4,      // float
    D3D9GL_ATTRIB_TEXCOORD0 = 5,  // texture set n at 5 + n (n < 8), as the fixed-function programs have them
};
typedef void (*D3D9GL_ProgramHook)(void* user);
void D3D9GL_SetProgramOverride(IDirect3DDevice9* device, unsigned program, D3D9GL_ProgramHook hook, void* user);

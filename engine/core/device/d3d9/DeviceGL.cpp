// The seam for D3DX objects built on the device, and the frame counters.
#include "d3d9/DeviceGL.h"

#include "DeviceStats.h"
#include "d3d9/D3D9Impl.h"

using namespace d3d9gl;

unsigned D3D9GL_TextureName(IDirect3DBaseTexture9* texture)
{
    return texture ? AsTexture(texture)->glTexture() : 0;
}

unsigned D3D9GL_VertexBufferName(IDirect3DVertexBuffer9* buffer)
{
    return buffer ? static_cast<VertexBuffer*>(buffer)->store.name() : 0;
}

unsigned D3D9GL_IndexBufferName(IDirect3DIndexBuffer9* buffer)
{
    return buffer ? static_cast<IndexBuffer*>(buffer)->store.name() : 0;
}

bool D3D9GL_MakeCurrent(IDirect3DDevice9* device)
{
    return device && static_cast<Device*>(device)->MakeCurrent();
}

HRESULT D3D9GL_BeginCustomDraw(IDirect3DDevice9* device)
{
    if (!device) return D3DERR_INVALIDCALL;
    Device* d = static_cast<Device*>(device);
    if (!d->MakeCurrent() || !d->renderTarget()) return D3DERR_INVALIDCALL;
    d->ApplyTarget();
    d->ApplyRasterState();
    return D3D_OK;
}

void D3D9GL_EndCustomDraw(IDirect3DDevice9* device)
{
    if (!device) return;
    Device* d = static_cast<Device*>(device);
    d->InvalidateGLCache();
    glBindVertexArray(d->vao());
    glUseProgram(0);
}

const char* D3D9GL_PositionFixupGLSL()
{
    return kPositionFixupGLSL;
}

void D3D9GL_SetPositionFixup(IDirect3DDevice9* device, unsigned program)
{
    if (!device || !program) return;
    float fix[4];
    static_cast<Device*>(device)->PositionFixup(fix);
    const GLint loc = glGetUniformLocation(program, "d3d9_posFixup");
    if (loc >= 0) glUniform4fv(loc, 1, fix);
}

void D3D9GL_SetProgramOverride(IDirect3DDevice9* device, unsigned program, D3D9GL_ProgramHook hook, void* user)
{
    if (device) static_cast<Device*>(device)->SetProgramOverride(program, hook, user);
}

HRESULT D3D9_GetFrameStats(IDirect3DDevice9* device, D3D9FrameStats* current, D3D9FrameStats* previous)
{
    if (!device) return D3DERR_INVALIDCALL;
    Device* d = static_cast<Device*>(device);
    if (current) *current = d->stats();
    if (previous) *previous = d->previousStats();
    return D3D_OK;
}

HRESULT D3D9_ResetFrameStats(IDirect3DDevice9* device)
{
    if (!device) return D3DERR_INVALIDCALL;
    D3D9FrameStats& s = static_cast<Device*>(device)->stats();
    s = D3D9FrameStats();
    return D3D_OK;
}

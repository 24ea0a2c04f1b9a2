// A texture the device renders into, with its own perspective projection.
// Frame order: ClearRenderTarget, Begin, draw, End; the engine's Clear then
// binds the back buffer again. Copies share the device objects (AddRef).
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9math.h>

class vRenderTarget {
public:
    vRenderTarget();                                       // not ready, nothing held
    ~vRenderTarget();                                      // Kill
    vRenderTarget(const vRenderTarget& other);             // shares other's objects (AddRef)
    vRenderTarget& operator=(const vRenderTarget& other);  // releases ours, shares other's

    // Creates a width x height render-target texture (A8R8G8B8, else A4R4G4B4)
    // and its projection (fov 45.0, aspect width / height, near 0.1, far 1000).
    // 0, or E_FAIL with an "Error!" box. A target held before is released first.
    long InitRenderTarget(int width, int height);
    // Saves the projection and render target 0, binds the target and its
    // projection, and begins a scene. Nothing unless ready.
    void Begin();
    // Ends the scene and restores the render target and projection Begin saved.
    void End();
    // Binds the target and clears colour and depth; the target stays bound.
    void ClearRenderTarget(DWORD colour);
    // SetTexture(stage, texture) when ready and a texture is held.
    void SetDeviceTexture(int stage);
    IDirect3DTexture9* GetTexture();          // borrowed; null before Init or after Kill
    bool IsReady() const { return m_ready; }  // the target was created
    // Releases surface, saved target and texture; safe to call again. Ready stays as it was.
    void Kill();

private:
    void FetchSurfaces();  // level-0 surface and render target 0, replacing the held pair

    IDirect3DTexture9* m_texture;
    IDirect3DSurface9* m_surface;      // level 0 of m_texture
    IDirect3DSurface9* m_savedTarget;  // render target 0 as found by the last fetch
    D3DXMATRIX m_projection;
    D3DXMATRIX m_savedProjection;
    bool m_ready;
};

// Render-state and debug services of vEngine: fog, lighting, depth test,
// debug light and line, projection changes and screenshots.
#include <cstdio>
#include <cstring>
#include <string>

#include <Win32File.h>

#include "vEngine.h"
#include "core/detail/ComRef.h"

namespace {

DWORD FloatBits(float value)
{
    DWORD bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

struct DebugLineVertex {
    float x, y, z;
    DWORD color;
};
static_assert(sizeof(DebugLineVertex) == 16, "debug line vertices are 16 bytes");

// Name of the screenshot being written, terminator included.
char g_screenshotName[256];

}  // namespace

void vEngine::SetFog(float start, float end, float density, D3DXCOLOR color)
{
    if (!objDevice) return;
    objDevice->SetRenderState(D3DRS_FOGENABLE, TRUE);
    objDevice->SetRenderState(D3DRS_FOGCOLOR, (D3DCOLOR)color);
    objDevice->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
    objDevice->SetRenderState(D3DRS_FOGSTART, FloatBits(start));
    objDevice->SetRenderState(D3DRS_FOGEND, FloatBits(end));
    objDevice->SetRenderState(D3DRS_FOGDENSITY, FloatBits(density));
}

void vEngine::SetFPPLighting(bool /*enable*/)
{
    if (!objDevice) return;
    // Whatever is asked, fixed-function lighting ends up off.
    objDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    for (DWORD light = 0; light < 4; ++light) objDevice->LightEnable(light, FALSE);
}

void vEngine::SetZEnable(bool enable)
{
    if (!objDevice) return;
    objDevice->SetRenderState(D3DRS_ZENABLE, enable ? TRUE : FALSE);
}

void vEngine::DebugLight()
{
    if (!objDevice) return;
    D3DLIGHT9 light;
    std::memset(&light, 0, sizeof(light));
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse.r = light.Diffuse.g = light.Diffuse.b = 1.0f;
    light.Diffuse.a = 0.0f;
    light.Specular.r = light.Specular.g = light.Specular.b = light.Specular.a = 1.0f;
    light.Ambient.r = light.Ambient.g = light.Ambient.b = 1.0f;
    light.Ambient.a = 0.0f;
    D3DXVECTOR3 direction(0.1f, -0.8f, 0.1f);
    D3DXVec3Normalize(&direction, &direction);
    light.Direction.x = direction.x;
    light.Direction.y = direction.y;
    light.Direction.z = direction.z;
    light.Range = 1000.0f;
    light.Attenuation2 = 5.0f;

    objDevice->SetLight(0, &light);
    objDevice->LightEnable(0, TRUE);
    objDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
    objDevice->SetRenderState(D3DRS_AMBIENT, 0x00202020);
    objDevice->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
}

void vEngine::DebugLine(D3DXVECTOR3 from, D3DXVECTOR3 to, DWORD color)
{
    if (!objDevice) return;
    DebugLineVertex vertices[2] = {{from.x, from.y, from.z, color}, {to.x, to.y, to.z, color}};
    objDevice->SetTransform(D3DTS_WORLD, &ev_matrixIdentity);
    objDevice->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    objDevice->SetTexture(0, NULL);
    objDevice->DrawPrimitiveUP(D3DPT_LINELIST, 1, vertices, sizeof(DebugLineVertex));
}

void vEngine::ChangePerspective(float fov, float nearPlane, float farPlane)
{
    D3DXMatrixPerspectiveFovLH(&ev_matrix3DProj, fov, (float)m_engineVars.width / (float)m_engineVars.height, nearPlane,
                               farPlane);
}

namespace {

// Finds the first "<baseName>_<n>.jpg" from index on without a file (index
// stays on it, so the next search steps past the file written) and saves the
// window's screen area there; true when the file was written, named in
// g_screenshotName.
bool SaveScreenshot(bool deviceReady, int32_t& index, const char* baseName)
{
    if (!deviceReady || !objDevice || !baseName) return false;

    for (;;) {
        int length = std::snprintf(g_screenshotName, sizeof(g_screenshotName), "%s_%d.jpg", baseName, index);
        // A name cut short by the buffer would never change with the number.
        if (length < 0 || length >= (int)sizeof(g_screenshotName)) return false;
        FILE* existing = Win32_OpenFile(g_screenshotName, "rb");
        if (!existing) break;
        std::fclose(existing);
        ++index;
    }

    D3DDISPLAYMODE mode;
    std::memset(&mode, 0, sizeof(mode));
    if (FAILED(objDevice->GetDisplayMode(0, &mode))) return false;

    vcore::ComRef<IDirect3DSurface9> surface;
    if (FAILED(objDevice->CreateOffscreenPlainSurface(mode.Width, mode.Height, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                      surface.out(), NULL)) ||
        !surface)
        return false;

    RECT windowRect = {0, 0, 0, 0};
    GetWindowRect(m_engineVars.hWnd, &windowRect);

    return SUCCEEDED(objDevice->GetFrontBufferData(0, surface.get())) &&
           SUCCEEDED(D3DXSaveSurfaceToFileA(g_screenshotName, D3DXIFF_JPG, surface.get(), NULL, &windowRect));
}

}  // namespace

void vEngine::TakeScreenshot(char* baseName)
{
    SaveScreenshot(m_deviceReady, m_screenshotIndex, baseName);
}

std::string vEngine::TakeScreenshot(const std::string& baseName)
{
    return SaveScreenshot(m_deviceReady, m_screenshotIndex, baseName.c_str()) ? std::string(g_screenshotName)
                                                                              : std::string();
}

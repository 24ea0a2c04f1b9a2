// The world quad of vTwoDee.h: one 2 x 2 quad in the plane y = 0, kept in
// memory (dynamic) and in a managed vertex buffer (static).
//
//   z
//   ^  1 (0,0,2) ---- 3 (2,0,2)
//   |  |            / |
//   |  |         /    |
//   |  0 (0,0,0) ---- 2 (2,0,0)   --> x
#include "vTwoDee.h"

#include <cstring>

#include <d3dx9.h>

#include "vEngine.h"
#include "core/detail/ComRef.h"

namespace {

const s_vQuadVertex kWorldQuad[4] = {
    {0.0f, 0.0f, 0.0f, 0xFFFFFFFF, 0.0f, 1.0f},
    {0.0f, 0.0f, 2.0f, 0xFFFFFFFF, 0.0f, 0.0f},
    {2.0f, 0.0f, 0.0f, 0xFFFFFFFF, 1.0f, 1.0f},
    {2.0f, 0.0f, 2.0f, 0xFFFFFFFF, 1.0f, 0.0f},
};

s_vQuadVertex g_dynamicQuad[4] = {
    kWorldQuad[0],
    kWorldQuad[1],
    kWorldQuad[2],
    kWorldQuad[3],
};
IDirect3DVertexBuffer9* g_staticQuad = nullptr;

}  // namespace

void InitDynamicQuad()
{
    std::memcpy(g_dynamicQuad, kWorldQuad, sizeof(kWorldQuad));
}

void InitStaticQuad()
{
    ReleaseStaticQuad();
    if (!objDevice) return;
    if (FAILED(objDevice->CreateVertexBuffer(sizeof(kWorldQuad), D3DUSAGE_WRITEONLY, kQuadVertexFVF, D3DPOOL_MANAGED,
                                             &g_staticQuad, NULL)) ||
        !g_staticQuad) {
        g_staticQuad = nullptr;
        return;
    }
    void* data = nullptr;
    if (SUCCEEDED(g_staticQuad->Lock(0, 0, &data, 0)) && data) {
        std::memcpy(data, kWorldQuad, sizeof(kWorldQuad));
        g_staticQuad->Unlock();
    }
}

void ReleaseStaticQuad()
{
    vcore::ReleaseRef(g_staticQuad);
}

void ChangeUV(D3DXVECTOR2 a, D3DXVECTOR2 b, D3DXVECTOR2 c, D3DXVECTOR2 d)
{
    g_dynamicQuad[1].u = a.x;
    g_dynamicQuad[1].v = a.y;
    g_dynamicQuad[3].u = b.x;
    g_dynamicQuad[3].v = b.y;
    g_dynamicQuad[0].u = c.x;
    g_dynamicQuad[0].v = c.y;
    g_dynamicQuad[2].u = d.x;
    g_dynamicQuad[2].v = d.y;
}

void SetStaticVB()
{
    if (objDevice) objDevice->SetStreamSource(0, g_staticQuad, 0, sizeof(s_vQuadVertex));
}

void RenderQuad(D3DXVECTOR3 position, D3DXVECTOR2 scale, float angle, bool useStaticBuffer)
{
    if (!objDevice) return;
    objDevice->SetRenderState(D3DRS_LIGHTING, FALSE);

    D3DXMATRIX scaling, rotation, world;
    D3DXMatrixScaling(&scaling, scale.x, 0.0f, scale.y);
    D3DXMatrixRotationY(&rotation, angle);
    D3DXMatrixMultiply(&world, &scaling, &rotation);
    world._41 = position.x;
    world._42 = position.y;
    world._43 = position.z;
    objDevice->SetTransform(D3DTS_WORLD, &world);

    if (useStaticBuffer) {
        if (!g_staticQuad)  // InitStaticQuad never ran or failed: nothing to draw from
            return;
        objDevice->SetFVF(kQuadVertexFVF);
        objDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    } else {
        objDevice->SetStreamSource(0, NULL, 0, 0);
        objDevice->SetFVF(kQuadVertexFVF);
        objDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, g_dynamicQuad, sizeof(s_vQuadVertex));
    }
}

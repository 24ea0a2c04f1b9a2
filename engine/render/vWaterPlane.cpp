#include "vWaterPlane.h"

#include <cmath>

#include "vEngine.h"
#include "vTexture.h"

#include "core/detail/ComRef.h"
#include "core/detail/LoadFailure.h"

namespace {

const DWORD kReflectionClear = 0xFF4D4DFF;
const int kReflectionSize = 256;
const float kSurfaceExtent = 20480.0f;
const float kTextureRepeat = 1000.0f;

float Sign(float v)
{
    return v > 0.0f ? 1.0f : (v < 0.0f ? -1.0f : 0.0f);
}

// The projection with its near plane replaced by clipPlane (given in view
// space, kept side positive) and its far plane tilted to keep the depth range
// in use. Only the depth column changes, so every pixel lands where the
// projection puts it. False when the camera is not behind the plane (the
// plane could not be a near plane then); the projection is left alone.
bool ObliqueNearPlane(D3DXMATRIX& projection, const D3DXPLANE& clipPlane)
{
    if (clipPlane.d >= 0.0f) return false;
    D3DXMATRIX inverse;
    if (!D3DXMatrixInverse(&inverse, nullptr, &projection)) return false;
    // The frustum's far corner on the plane's side, back in view space.
    const D3DXVECTOR4 corner(Sign(clipPlane.a), Sign(clipPlane.b), 1.0f, 1.0f);
    D3DXVECTOR4 q;
    D3DXVec4Transform(&q, &corner, &inverse);
    const float dot = clipPlane.a * q.x + clipPlane.b * q.y + clipPlane.c * q.z + clipPlane.d * q.w;
    if (!(std::fabs(dot) > 1e-12f)) return false;
    const float scale = 1.0f / dot;
    projection._13 = clipPlane.a * scale;
    projection._23 = clipPlane.b * scale;
    projection._33 = clipPlane.c * scale;
    projection._43 = clipPlane.d * scale;
    return true;
}

}  // namespace

vWaterPlane::vWaterPlane()
    : m_effect(nullptr), m_surface{}, m_height(0.0f), m_savedCullMode(D3DCULL_NONE), m_savedPlanes{},
      m_reflecting(false)
{
    D3DXMatrixIdentity(&m_reflection);
    D3DXMatrixIdentity(&m_reflectedTexProj);
    D3DXMatrixIdentity(&m_savedView);
    D3DXMatrixIdentity(&m_textureBias);
    D3DXMatrixIdentity(&m_viewProj);
}

vWaterPlane::~vWaterPlane()
{
    vcore::ReleaseRef(m_effect);
}

vWaterPlane::vWaterPlane(const vWaterPlane& other)
    : m_reflectionTarget(other.m_reflectionTarget), m_effect(vcore::ShareRef(other.m_effect)),
      m_reflection(other.m_reflection), m_reflectedTexProj(other.m_reflectedTexProj), m_savedView(other.m_savedView),
      m_textureBias(other.m_textureBias), m_viewProj(other.m_viewProj), m_height(other.m_height),
      m_savedCullMode(other.m_savedCullMode), m_savedPlanes{}, m_reflecting(false)
{
    for (int i = 0; i < 4; ++i) m_surface[i] = other.m_surface[i];
}

vWaterPlane& vWaterPlane::operator=(const vWaterPlane& other)
{
    m_reflectionTarget = other.m_reflectionTarget;
    vcore::AssignRef(m_effect, other.m_effect);
    m_reflection = other.m_reflection;
    m_reflectedTexProj = other.m_reflectedTexProj;
    m_savedView = other.m_savedView;
    m_textureBias = other.m_textureBias;
    m_viewProj = other.m_viewProj;
    for (int i = 0; i < 4; ++i) m_surface[i] = other.m_surface[i];
    m_height = other.m_height;
    m_savedCullMode = other.m_savedCullMode;
    return *this;
}

bool vWaterPlane::InitSurface(float height)
{
    m_height = height;
    const s_vWaterVertex surface[4] = {
        {0.0f, height, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, kTextureRepeat},
        {0.0f, height, kSurfaceExtent, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f},
        {kSurfaceExtent, height, 0.0f, 0.0f, 1.0f, 0.0f, kTextureRepeat, kTextureRepeat},
        {kSurfaceExtent, height, kSurfaceExtent, 0.0f, 1.0f, 0.0f, kTextureRepeat, 0.0f},
    };
    for (int i = 0; i < 4; ++i) m_surface[i] = surface[i];

    m_reflectionTarget.InitRenderTarget(kReflectionSize, kReflectionSize);

    m_textureBias =
        D3DXMATRIX(0.5f, 0.0f, 0.0f, 0.0f, 0.0f, -0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 0.5f, 0.5f, 0.5f, 1.0f);

    vcore::ReleaseRef(m_effect);
    vcore::LoadEffect("water", "media\\fx\\water.fx", &m_effect);
    return true;
}

void vWaterPlane::BeginRender(D3DXVECTOR3 /*position*/)
{
    // Without its effect nothing would ever sample the image: no pass at all.
    m_reflecting = false;
    if (!objDevice || !m_effect) return;
    m_reflecting = true;
    D3DXPLANE waterPlane;
    const D3DXVECTOR3 point(0.0f, m_height, 0.0f);
    const D3DXVECTOR3 normal(0.0f, 1.0f, 0.0f);
    D3DXPlaneFromPointNormal(&waterPlane, &point, &normal);

    D3DXMATRIX projection, view;
    objDevice->GetTransform(D3DTS_PROJECTION, &projection);
    objDevice->GetTransform(D3DTS_VIEW, &view);
    D3DXMatrixMultiply(&m_viewProj, &view, &projection);
    m_savedView = view;

    D3DXMatrixReflect(&m_reflection, &waterPlane);
    D3DXMATRIX mirroredView;
    D3DXMatrixMultiply(&mirroredView, &m_reflection, &view);
    objDevice->SetTransform(D3DTS_VIEW, &mirroredView);

    // The reflection is drawn with the main camera's projection and looked up
    // through the same one, so each reflected point lands on the screen pixel
    // of the water that mirrors it (the image is square; the lookup stretches
    // it back to the screen's aspect).
    D3DXMATRIX mirroredViewProj;
    D3DXMatrixMultiply(&mirroredViewProj, &mirroredView, &projection);
    D3DXMatrixMultiply(&m_reflectedTexProj, &mirroredViewProj, &m_textureBias);

    m_reflectionTarget.ClearRenderTarget(kReflectionClear);
    m_reflectionTarget.Begin();

    // Only what lies above the water is reflected: the near plane of the
    // projection becomes the water plane, seen from the mirrored camera.
    if (m_reflectionTarget.IsReady()) {
        D3DXMATRIX toView, inverseTranspose;
        D3DXPLANE clipPlane;
        if (D3DXMatrixInverse(&toView, nullptr, &mirroredView)) {
            D3DXMatrixTranspose(&inverseTranspose, &toView);
            D3DXPlaneTransform(&clipPlane, &waterPlane, &inverseTranspose);
            ObliqueNearPlane(projection, clipPlane);
        }
        objDevice->SetTransform(D3DTS_PROJECTION, &projection);
    }
    // The reflected scene is culled with the mirrored camera's own frustum.
    for (int i = 0; i < 6; ++i) m_savedPlanes[i] = ev_frustumPlanes[i];
    CalculateViewFrustum();

    // The mirror turns every triangle's winding round.
    objDevice->GetRenderState(D3DRS_CULLMODE, &m_savedCullMode);
    DWORD mirroredCull = m_savedCullMode;
    if (m_savedCullMode == D3DCULL_CW)
        mirroredCull = D3DCULL_CCW;
    else if (m_savedCullMode == D3DCULL_CCW)
        mirroredCull = D3DCULL_CW;
    objDevice->SetRenderState(D3DRS_CULLMODE, mirroredCull);
}

void vWaterPlane::EndRender()
{
    if (!objDevice || !m_reflecting) return;
    m_reflecting = false;
    m_reflectionTarget.End();
    objDevice->SetTransform(D3DTS_VIEW, &m_savedView);
    objDevice->SetRenderState(D3DRS_CULLMODE, m_savedCullMode);
    for (int i = 0; i < 6; ++i) ev_frustumPlanes[i] = m_savedPlanes[i];
}

void vWaterPlane::RenderSurface(vTexture* dudv, float dudvOffset)
{
    if (!objDevice || !m_effect) return;
    objDevice->SetFVF(kWaterVertexFVF);
    m_effect->SetMatrix("ViewProj", &m_viewProj);
    m_effect->SetMatrix("Mprojtex", &m_reflectedTexProj);
    m_effect->SetTexture("Water", m_reflectionTarget.GetTexture());
    if (dudv) m_effect->SetTexture("Dudv", dudv->GetTexture());
    m_effect->SetFloat("DudvOffset", dudvOffset);

    UINT passes = 0;
    if (FAILED(m_effect->Begin(&passes, 0))) return;
    if (passes > 0 && SUCCEEDED(m_effect->BeginPass(0))) {
        objDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, m_surface, sizeof(s_vWaterVertex));
        m_effect->EndPass();
    }
    m_effect->End();
}

ID3DXEffect* vWaterPlane::GetEffect()
{
    return m_effect;
}

// Device state as Direct3D keeps it: set, read back and saved in state
// blocks. Nothing reaches GL here; draws apply what changed.
#include "d3d9/D3D9Impl.h"

#include <string.h>

namespace d3d9gl {

namespace {

DWORD FloatBits(float f)
{
    DWORD d;
    memcpy(&d, &f, 4);
    return d;
}

// Direct3D 9's render-state defaults, as a device starts; the depth test
// (on when the device has a depth buffer) is set apart.
struct RenderStateDefault {
    D3DRENDERSTATETYPE state;
    DWORD value;
};

const RenderStateDefault kRenderStateDefaults[] = {
    {D3DRS_FILLMODE, D3DFILL_SOLID},
    {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
    {D3DRS_ZWRITEENABLE, TRUE},
    {D3DRS_ALPHATESTENABLE, FALSE},
    {D3DRS_LASTPIXEL, TRUE},
    {D3DRS_SRCBLEND, D3DBLEND_ONE},
    {D3DRS_DESTBLEND, D3DBLEND_ZERO},
    {D3DRS_CULLMODE, D3DCULL_CCW},
    {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
    {D3DRS_ALPHAREF, 0},
    {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
    {D3DRS_DITHERENABLE, FALSE},
    {D3DRS_ALPHABLENDENABLE, FALSE},
    {D3DRS_FOGENABLE, FALSE},
    {D3DRS_SPECULARENABLE, FALSE},
    {D3DRS_FOGCOLOR, 0},
    {D3DRS_FOGTABLEMODE, D3DFOG_NONE},
    {D3DRS_FOGSTART, FloatBits(0.0f)},
    {D3DRS_FOGEND, FloatBits(1.0f)},
    {D3DRS_FOGDENSITY, FloatBits(1.0f)},
    {D3DRS_RANGEFOGENABLE, FALSE},
    {D3DRS_STENCILENABLE, FALSE},
    {D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP},
    {D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP},
    {D3DRS_STENCILPASS, D3DSTENCILOP_KEEP},
    {D3DRS_STENCILFUNC, D3DCMP_ALWAYS},
    {D3DRS_STENCILREF, 0},
    {D3DRS_STENCILMASK, 0xffffffff},
    {D3DRS_STENCILWRITEMASK, 0xffffffff},
    {D3DRS_TEXTUREFACTOR, 0xffffffff},
    {D3DRS_CLIPPING, TRUE},
    {D3DRS_LIGHTING, TRUE},
    {D3DRS_AMBIENT, 0},
    {D3DRS_FOGVERTEXMODE, D3DFOG_NONE},
    {D3DRS_COLORVERTEX, TRUE},
    {D3DRS_LOCALVIEWER, TRUE},
    {D3DRS_NORMALIZENORMALS, FALSE},
    {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
    {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2},
    {D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL},
    {D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL},
    {D3DRS_VERTEXBLEND, D3DVBF_DISABLE},
    {D3DRS_POINTSIZE, FloatBits(1.0f)},
    {D3DRS_POINTSIZE_MIN, FloatBits(1.0f)},
    {D3DRS_POINTSPRITEENABLE, FALSE},
    {D3DRS_POINTSCALEENABLE, FALSE},
    {D3DRS_POINTSCALE_A, FloatBits(1.0f)},
    {D3DRS_POINTSCALE_B, FloatBits(0.0f)},
    {D3DRS_POINTSCALE_C, FloatBits(0.0f)},
    {D3DRS_MULTISAMPLEANTIALIAS, TRUE},
    {D3DRS_MULTISAMPLEMASK, 0xffffffff},
    {D3DRS_POINTSIZE_MAX, FloatBits(64.0f)},
    {D3DRS_COLORWRITEENABLE, 0xf},
    {D3DRS_COLORWRITEENABLE1, 0xf},
    {D3DRS_COLORWRITEENABLE2, 0xf},
    {D3DRS_COLORWRITEENABLE3, 0xf},
    {D3DRS_BLENDOP, D3DBLENDOP_ADD},
    {D3DRS_CCW_STENCILFAIL, D3DSTENCILOP_KEEP},
    {D3DRS_CCW_STENCILZFAIL, D3DSTENCILOP_KEEP},
    {D3DRS_CCW_STENCILPASS, D3DSTENCILOP_KEEP},
    {D3DRS_CCW_STENCILFUNC, D3DCMP_ALWAYS},
    {D3DRS_BLENDFACTOR, 0xffffffff},
    {D3DRS_SRCBLENDALPHA, D3DBLEND_ONE},
    {D3DRS_DESTBLENDALPHA, D3DBLEND_ZERO},
    {D3DRS_BLENDOPALPHA, D3DBLENDOP_ADD},
};

const D3DMATRIX kIdentity = {{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}};

bool AffectsKey(D3DRENDERSTATETYPE s)
{
    switch (s) {
        case D3DRS_LIGHTING:
        case D3DRS_SHADEMODE:
        case D3DRS_COLORVERTEX:
        case D3DRS_DIFFUSEMATERIALSOURCE:
        case D3DRS_SPECULARMATERIALSOURCE:
        case D3DRS_AMBIENTMATERIALSOURCE:
        case D3DRS_EMISSIVEMATERIALSOURCE:
        case D3DRS_SPECULARENABLE:
        case D3DRS_NORMALIZENORMALS:
        case D3DRS_LOCALVIEWER:
        case D3DRS_FOGENABLE:
        case D3DRS_FOGTABLEMODE:
        case D3DRS_FOGVERTEXMODE:
        case D3DRS_ALPHATESTENABLE:
        case D3DRS_ALPHAFUNC:
        case D3DRS_POINTSPRITEENABLE:
        case D3DRS_POINTSCALEENABLE:
        case D3DRS_SRGBWRITEENABLE:
            return true;
        default:
            return false;
    }
}

bool AffectsUniforms(D3DRENDERSTATETYPE s)
{
    switch (s) {
        case D3DRS_FOGCOLOR:
        case D3DRS_FOGSTART:
        case D3DRS_FOGEND:
        case D3DRS_FOGDENSITY:
        case D3DRS_ALPHAREF:
        case D3DRS_TEXTUREFACTOR:
        case D3DRS_POINTSIZE:
        case D3DRS_POINTSIZE_MIN:
        case D3DRS_POINTSIZE_MAX:
        case D3DRS_POINTSCALE_A:
        case D3DRS_POINTSCALE_B:
        case D3DRS_POINTSCALE_C:
            return true;
        default:
            return false;
    }
}

}  // namespace

void Device::SetDefaultState()
{
    DeviceState& s = m_state;
    DWORD* rs = s.rs;
    rs[D3DRS_ZENABLE] = m_depth ? D3DZB_TRUE : D3DZB_FALSE;
    for (const RenderStateDefault& row : kRenderStateDefaults) rs[row.state] = row.value;
    for (int i = 0; i < kMaxStages; ++i) {
        DWORD* t = s.tss[i];
        t[D3DTSS_COLOROP] = i == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        t[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        t[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        t[D3DTSS_ALPHAOP] = i == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        t[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        t[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        t[D3DTSS_TEXCOORDINDEX] = (DWORD)i;
        t[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;
        t[D3DTSS_COLORARG0] = D3DTA_CURRENT;
        t[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
        t[D3DTSS_RESULTARG] = D3DTA_CURRENT;
        s.texTransform[i] = kIdentity;
    }
    for (int i = 0; i < kMaxSamplers; ++i) {
        DWORD* p = s.samp[i];
        p[D3DSAMP_ADDRESSU] = p[D3DSAMP_ADDRESSV] = p[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
        p[D3DSAMP_BORDERCOLOR] = 0;
        p[D3DSAMP_MAGFILTER] = p[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
        p[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
        p[D3DSAMP_MAXANISOTROPY] = 1;
    }
    s.world = s.view = s.proj = kIdentity;
    memset(&s.material, 0, sizeof(s.material));
    memset(s.lights, 0, sizeof(s.lights));
    memset(s.lightEnabled, 0, sizeof(s.lightEnabled));
    s.fvf = 0;
    s.scissor = {0, 0, (LONG)m_renderTarget->width(), (LONG)m_renderTarget->height()};
    SetViewportToTarget();
    MarkAllDirty();
}

void Device::MarkAllDirty()
{
    m_dirty = kDirtyAll;
    m_samplerDirty = 0xffffffffu;
    ++m_transformSerial;
    ++m_lightSerial;
    ++m_miscSerial;
}

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* m)
{
    if (!m) return D3DERR_INVALIDCALL;
    D3DMATRIX* target = nullptr;
    const DWORD s = (DWORD)state;
    if (s == D3DTS_WORLD)
        target = &m_state.world;
    else if (s == D3DTS_VIEW)
        target = &m_state.view;
    else if (s == D3DTS_PROJECTION)
        target = &m_state.proj;
    else if (s >= D3DTS_TEXTURE0 && s <= D3DTS_TEXTURE7)
        target = &m_state.texTransform[s - D3DTS_TEXTURE0];
    else if (s > D3DTS_WORLD && s < 512)
        return D3D_OK;  // blend matrices: accepted, not used without vertex blending
    else
        return D3DERR_INVALIDCALL;
    if (memcmp(target, m, sizeof(*m)) == 0) return D3D_OK;
    *target = *m;
    ++m_stats.stateChanges;
    ++m_transformSerial;
    if (s == D3DTS_VIEW) ++m_lightSerial;
    if (s == D3DTS_PROJECTION) {
        ++m_miscSerial;
        // Table fog goes by device depth or by w, as the projection is orthographic or not.
        if (m_key.fogKind == kFogTable) m_dirty |= kDirtyKey;
    }
    return D3D_OK;
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* m)
{
    if (!m) return D3DERR_INVALIDCALL;
    const DWORD s = (DWORD)state;
    if (s == D3DTS_WORLD)
        *m = m_state.world;
    else if (s == D3DTS_VIEW)
        *m = m_state.view;
    else if (s == D3DTS_PROJECTION)
        *m = m_state.proj;
    else if (s >= D3DTS_TEXTURE0 && s <= D3DTS_TEXTURE7)
        *m = m_state.texTransform[s - D3DTS_TEXTURE0];
    else if (s > D3DTS_WORLD && s < 512)
        *m = kIdentity;
    else
        return D3DERR_INVALIDCALL;
    return D3D_OK;
}

HRESULT Device::MultiplyTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* m)
{
    D3DMATRIX cur;
    if (!m || FAILED(GetTransform(state, &cur))) return D3DERR_INVALIDCALL;
    D3DMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = cur.m[i][0] * m->m[0][j] + cur.m[i][1] * m->m[1][j] + cur.m[i][2] * m->m[2][j] +
                        cur.m[i][3] * m->m[3][j];
    return SetTransform(state, &r);
}

HRESULT Device::SetViewport(const D3DVIEWPORT9* vp)
{
    // A viewport may reach past the render target, which cuts what is drawn
    // and cleared; it must stay within what GL maps unchanged.
    if (!vp || !m_renderTarget || vp->Width == 0 || vp->Height == 0 ||
        (uint64_t)vp->X + vp->Width > (uint64_t)m_maxViewport[0] ||
        (uint64_t)vp->Y + vp->Height > (uint64_t)m_maxViewport[1] ||
        !(vp->MinZ >= 0.0f && vp->MinZ <= 1.0f && vp->MaxZ >= 0.0f && vp->MaxZ <= 1.0f))
        return D3DERR_INVALIDCALL;
    if (memcmp(&m_state.viewport, vp, sizeof(*vp)) == 0) return D3D_OK;
    m_state.viewport = *vp;
    ++m_stats.stateChanges;
    m_dirty |= kDirtyTarget | kDirtyMisc | kDirtyRaster;
    return D3D_OK;
}

HRESULT Device::GetViewport(D3DVIEWPORT9* vp)
{
    if (!vp) return D3DERR_INVALIDCALL;
    *vp = m_state.viewport;
    return D3D_OK;
}

HRESULT Device::SetMaterial(const D3DMATERIAL9* m)
{
    if (!m) return D3DERR_INVALIDCALL;
    if (memcmp(&m_state.material, m, sizeof(*m)) != 0) {
        m_state.material = *m;
        ++m_stats.stateChanges;
        ++m_lightSerial;
    }
    return D3D_OK;
}

HRESULT Device::GetMaterial(D3DMATERIAL9* m)
{
    if (!m) return D3DERR_INVALIDCALL;
    *m = m_state.material;
    return D3D_OK;
}

HRESULT Device::SetLight(DWORD index, const D3DLIGHT9* l)
{
    if (!l || index >= (DWORD)kMaxLights) return D3DERR_INVALIDCALL;
    if (l->Type != D3DLIGHT_POINT && l->Type != D3DLIGHT_SPOT && l->Type != D3DLIGHT_DIRECTIONAL)
        return D3DERR_INVALIDCALL;
    m_state.lights[index] = *l;
    ++m_stats.stateChanges;
    ++m_lightSerial;
    m_dirty |= kDirtyKey;
    return D3D_OK;
}

HRESULT Device::GetLight(DWORD index, D3DLIGHT9* l)
{
    if (!l || index >= (DWORD)kMaxLights || m_state.lights[index].Type == 0) return D3DERR_INVALIDCALL;
    *l = m_state.lights[index];
    return D3D_OK;
}

HRESULT Device::LightEnable(DWORD index, BOOL enable)
{
    if (index >= (DWORD)kMaxLights) return D3DERR_INVALIDCALL;
    if (m_state.lights[index].Type == 0) {
        // Enabling a light never set gives Direct3D's default: white, directional, along +z.
        D3DLIGHT9& l = m_state.lights[index];
        memset(&l, 0, sizeof(l));
        l.Type = D3DLIGHT_DIRECTIONAL;
        l.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
        l.Direction = {0.0f, 0.0f, 1.0f};
    }
    const BOOL on = enable ? TRUE : FALSE;
    if (m_state.lightEnabled[index] != on) {
        m_state.lightEnabled[index] = on;
        ++m_stats.stateChanges;
        ++m_lightSerial;
        m_dirty |= kDirtyKey;
    }
    return D3D_OK;
}

HRESULT Device::GetLightEnable(DWORD index, BOOL* enable)
{
    if (!enable || index >= (DWORD)kMaxLights) return D3DERR_INVALIDCALL;
    *enable = m_state.lightEnabled[index];
    return D3D_OK;
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    if ((DWORD)state >= (DWORD)kRenderStateCount) return D3DERR_INVALIDCALL;
    if (m_state.rs[state] == value) return D3D_OK;
    m_state.rs[state] = value;
    ++m_stats.stateChanges;
    if (AffectsKey(state))
        m_dirty |= kDirtyKey;
    else if (AffectsUniforms(state))
        ++m_miscSerial;
    else if (state == D3DRS_AMBIENT)
        ++m_lightSerial;
    else
        m_dirty |= kDirtyRaster;
    return D3D_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value)
{
    if (!value || (DWORD)state >= (DWORD)kRenderStateCount) return D3DERR_INVALIDCALL;
    *value = m_state.rs[state];
    return D3D_OK;
}

HRESULT Device::GetTexture(DWORD stage, IDirect3DBaseTexture9** out)
{
    if (!out || stage >= (DWORD)kMaxSamplers) return D3DERR_INVALIDCALL;
    *out = m_state.textures[stage];
    if (*out) (*out)->AddRef();
    return D3D_OK;
}

HRESULT Device::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture)
{
    if (stage >= (DWORD)kMaxSamplers) return D3DERR_INVALIDCALL;
    if (texture && AsTexture(texture)->device() != this) return D3DERR_INVALIDCALL;
    IDirect3DBaseTexture9* old = m_state.textures[stage];
    if (old == texture) return D3D_OK;
    if (texture) AsTexture(texture)->Bind();
    m_state.textures[stage] = texture;
    if (old) AsTexture(old)->Unbind();
    ++m_stats.stateChanges;
    m_dirty |= kDirtyTextures;
    // Whether a stage has a texture shapes the program; which one does not.
    if ((old == nullptr) != (texture == nullptr)) m_dirty |= kDirtyKey;
    return D3D_OK;
}

HRESULT Device::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value)
{
    if (!value || stage >= (DWORD)kMaxStages || (DWORD)type >= (DWORD)kStageStateCount || type == 0)
        return D3DERR_INVALIDCALL;
    *value = m_state.tss[stage][type];
    return D3D_OK;
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
    if (stage >= (DWORD)kMaxStages || (DWORD)type >= (DWORD)kStageStateCount || type == 0) return D3DERR_INVALIDCALL;
    if (m_state.tss[stage][type] == value) return D3D_OK;
    m_state.tss[stage][type] = value;
    ++m_stats.stateChanges;
    m_dirty |= kDirtyKey;
    return D3D_OK;
}

HRESULT Device::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value)
{
    if (!value || sampler >= (DWORD)kMaxSamplers || (DWORD)type >= (DWORD)kSamplerStateCount || type == 0)
        return D3DERR_INVALIDCALL;
    *value = m_state.samp[sampler][type];
    return D3D_OK;
}

HRESULT Device::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value)
{
    if (sampler >= (DWORD)kMaxSamplers || (DWORD)type >= (DWORD)kSamplerStateCount || type == 0)
        return D3DERR_INVALIDCALL;
    if (m_state.samp[sampler][type] == value) return D3D_OK;
    m_state.samp[sampler][type] = value;
    ++m_stats.stateChanges;
    m_samplerDirty |= 1u << sampler;
    m_dirty |= kDirtySamplers;
    if (type == D3DSAMP_SRGBTEXTURE) m_dirty |= kDirtyKey;  // decoded in the program
    return D3D_OK;
}

HRESULT Device::SetScissorRect(const RECT* r)
{
    if (!r || r->left > r->right || r->top > r->bottom) return D3DERR_INVALIDCALL;
    m_state.scissor = *r;
    m_dirty |= kDirtyRaster;
    return D3D_OK;
}

HRESULT Device::GetScissorRect(RECT* r)
{
    if (!r) return D3DERR_INVALIDCALL;
    *r = m_state.scissor;
    return D3D_OK;
}

HRESULT Device::SetFVF(DWORD fvf)
{
    if (fvf == m_state.fvf) return D3D_OK;
    m_state.fvf = fvf;
    ++m_stats.stateChanges;
    m_dirty |= kDirtyKey;
    return D3D_OK;
}

HRESULT Device::GetFVF(DWORD* fvf)
{
    if (!fvf) return D3DERR_INVALIDCALL;
    *fvf = m_state.fvf;
    return D3D_OK;
}

HRESULT Device::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* data, UINT offset, UINT stride)
{
    if (stream != 0) return D3DERR_INVALIDCALL;
    VertexBuffer* vb = static_cast<VertexBuffer*>(data);
    if (vb && (vb->device() != this || offset > vb->store.length())) return D3DERR_INVALIDCALL;
    if (vb != m_state.stream) {
        if (vb) vb->Bind();
        VertexBuffer* old = m_state.stream;
        m_state.stream = vb;
        if (old) old->Unbind();
        ++m_stats.stateChanges;
    }
    m_state.streamOffset = offset;
    m_state.streamStride = stride;
    return D3D_OK;
}

HRESULT Device::GetStreamSource(UINT stream, IDirect3DVertexBuffer9** out, UINT* offset, UINT* stride)
{
    if (stream != 0 || !out || !offset || !stride) return D3DERR_INVALIDCALL;
    *out = m_state.stream;
    if (*out) (*out)->AddRef();
    *offset = m_state.streamOffset;
    *stride = m_state.streamStride;
    return D3D_OK;
}

HRESULT Device::SetIndices(IDirect3DIndexBuffer9* data)
{
    IndexBuffer* ib = static_cast<IndexBuffer*>(data);
    if (ib && ib->device() != this) return D3DERR_INVALIDCALL;
    if (ib == m_state.indices) return D3D_OK;
    if (ib) ib->Bind();
    IndexBuffer* old = m_state.indices;
    m_state.indices = ib;
    if (old) old->Unbind();
    ++m_stats.stateChanges;
    return D3D_OK;
}

HRESULT Device::GetIndices(IDirect3DIndexBuffer9** out)
{
    if (!out) return D3DERR_INVALIDCALL;
    *out = m_state.indices;
    if (*out) (*out)->AddRef();
    return D3D_OK;
}

HRESULT Device::CreateStateBlock(D3DSTATEBLOCKTYPE type, IDirect3DStateBlock9** out)
{
    if (!out) return D3DERR_INVALIDCALL;
    *out = nullptr;
    if (type != D3DSBT_ALL && type != D3DSBT_PIXELSTATE && type != D3DSBT_VERTEXSTATE) return D3DERR_INVALIDCALL;
    StateBlock* sb = new StateBlock(this);
    sb->Capture();
    *out = sb;
    return D3D_OK;
}

void Device::ReplaceState(const DeviceState& s)
{
    for (int i = 0; i < kMaxSamplers; ++i) {
        if (s.textures[i]) AsTexture(s.textures[i])->Bind();
        if (m_state.textures[i]) AsTexture(m_state.textures[i])->Unbind();
    }
    if (s.stream) s.stream->Bind();
    if (m_state.stream) m_state.stream->Unbind();
    if (s.indices) s.indices->Bind();
    if (m_state.indices) m_state.indices->Unbind();
    m_state = s;
    ++m_stats.stateChanges;
    MarkAllDirty();
}

// --- StateBlock ---------------------------------------------------------------

StateBlock::StateBlock(Device* device) : ChildUnknown(device, kStandalone, nullptr)
{
    memset(&m_state, 0, sizeof(m_state));
}

StateBlock::~StateBlock()
{
    ReleaseRefs();
}

void DeviceState::UnbindResources()
{
    for (auto*& t : textures)
        if (t) {
            AsTexture(t)->Unbind();
            t = nullptr;
        }
    if (stream) {
        stream->Unbind();
        stream = nullptr;
    }
    if (indices) {
        indices->Unbind();
        indices = nullptr;
    }
}

void StateBlock::ReleaseRefs()
{
    m_state.UnbindResources();
}

HRESULT StateBlock::GetDevice(IDirect3DDevice9** ppDevice)
{
    if (!ppDevice) return D3DERR_INVALIDCALL;
    m_device->AddRef();
    *ppDevice = m_device;
    return D3D_OK;
}

HRESULT StateBlock::Capture()
{
    const DeviceState& s = m_device->state();
    for (auto* t : s.textures)
        if (t) AsTexture(t)->Bind();
    if (s.stream) s.stream->Bind();
    if (s.indices) s.indices->Bind();
    ReleaseRefs();
    m_state = s;
    return D3D_OK;
}

HRESULT StateBlock::Apply()
{
    m_device->ReplaceState(m_state);
    return D3D_OK;
}

}  // namespace d3d9gl

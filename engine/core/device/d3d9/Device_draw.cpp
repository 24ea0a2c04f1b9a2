// Drawing: the tracked Direct3D state is applied to GL at draw time, only
// where it changed; the fixed-function program comes from a cache keyed by
// the states that shape it.
#include "d3d9/D3D9Impl.h"

#include "d3dx9math.h"

#include <stdio.h>
#include <math.h>
#include <string.h>

#include <algorithm>

namespace d3d9gl {

namespace {

float AsFloat(DWORD d)
{
    float f;
    memcpy(&f, &d, 4);
    return f;
}

void ColorToFloats(D3DCOLOR c, float out[4])
{
    out[0] = ((c >> 16) & 0xff) / 255.0f;
    out[1] = ((c >> 8) & 0xff) / 255.0f;
    out[2] = (c & 0xff) / 255.0f;
    out[3] = ((c >> 24) & 0xff) / 255.0f;
}

void Multiply(const D3DMATRIX& a, const D3DMATRIX& b, D3DMATRIX* r)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r->m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
}

// GL_POINTS is 0, so validity is asked separately.
bool KnownPrimitive(D3DPRIMITIVETYPE t)
{
    return t >= D3DPT_POINTLIST && t <= D3DPT_TRIANGLEFAN;
}

GLenum PrimitiveMode(D3DPRIMITIVETYPE t)
{
    switch (t) {
        case D3DPT_POINTLIST:
            return GL_POINTS;
        case D3DPT_LINELIST:
            return GL_LINES;
        case D3DPT_LINESTRIP:
            return GL_LINE_STRIP;
        case D3DPT_TRIANGLELIST:
            return GL_TRIANGLES;
        case D3DPT_TRIANGLESTRIP:
            return GL_TRIANGLE_STRIP;
        case D3DPT_TRIANGLEFAN:
            return GL_TRIANGLE_FAN;
        default:
            return GL_POINTS;
    }
}

// Vertices for a primitive count; 0 for an unknown type.
UINT VertexCount(D3DPRIMITIVETYPE t, UINT prims)
{
    switch (t) {
        case D3DPT_POINTLIST:
            return prims;
        case D3DPT_LINELIST:
            return prims * 2;
        case D3DPT_LINESTRIP:
            return prims + 1;
        case D3DPT_TRIANGLELIST:
            return prims * 3;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN:
            return prims + 2;
        default:
            return 0;
    }
}

bool ReadsTexture(DWORD op, DWORD a0, DWORD a1, DWORD a2)
{
    auto tex = [](DWORD a) { return (a & D3DTA_SELECTMASK) == D3DTA_TEXTURE; };
    switch (op) {
        case D3DTOP_SELECTARG1:
            return tex(a1);
        case D3DTOP_SELECTARG2:
            return tex(a2);
        case D3DTOP_BLENDTEXTUREALPHA:
        case D3DTOP_BLENDTEXTUREALPHAPM:
            return true;
        case D3DTOP_MULTIPLYADD:
        case D3DTOP_LERP:
            return tex(a0) || tex(a1) || tex(a2);
        default:
            return tex(a1) || tex(a2);
    }
}

}  // namespace

bool Device::ProjectionIsOrthographic() const
{
    return m_state.proj._34 == 0.0f && m_state.proj._44 == 1.0f;
}

bool Device::ValidFvf(DWORD fvf, UINT stride) const
{
    if (fvf == 0) return false;
    const UINT size = D3DXGetFVFVertexSize(fvf);
    if (size == 0 || (fvf & D3DFVF_POSITION_MASK) == 0) return false;
    return stride >= size;
}

void Device::BuildKey(FFKey* key, bool points) const
{
    FFKey& k = *key;
    memset(&k, 0, sizeof(k));
    const DWORD fvf = m_state.fvf;
    const DWORD* rs = m_state.rs;
    k.rhw = (fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW;
    k.hasNormal = (fvf & D3DFVF_NORMAL) != 0;
    k.hasDiffuse = (fvf & D3DFVF_DIFFUSE) != 0;
    k.hasSpecular = (fvf & D3DFVF_SPECULAR) != 0;
    k.hasPSize = (fvf & D3DFVF_PSIZE) != 0;
    k.texCount = (uint8_t)std::min<DWORD>(kMaxTexCoords, (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
    k.lighting = rs[D3DRS_LIGHTING] && !k.rhw;
    if (k.lighting) {
        for (int i = 0; i < kMaxLights; ++i)
            if (m_state.lightEnabled[i]) k.lightType[k.lightCount++] = (uint8_t)m_state.lights[i].Type;
        auto source = [&](DWORD rsv) -> uint8_t {
            if (!rs[D3DRS_COLORVERTEX]) return 0;
            if (rsv == D3DMCS_COLOR1 && k.hasDiffuse) return 1;
            if (rsv == D3DMCS_COLOR2 && k.hasSpecular) return 2;
            return 0;
        };
        k.diffuseSrc = source(rs[D3DRS_DIFFUSEMATERIALSOURCE]);
        k.ambientSrc = source(rs[D3DRS_AMBIENTMATERIALSOURCE]);
        k.specularSrc = source(rs[D3DRS_SPECULARMATERIALSOURCE]);
        k.emissiveSrc = source(rs[D3DRS_EMISSIVEMATERIALSOURCE]);
        k.normalizeNormals = rs[D3DRS_NORMALIZENORMALS] != 0;
        k.localViewer = rs[D3DRS_LOCALVIEWER] != 0;
    }
    k.specularEnable = rs[D3DRS_SPECULARENABLE] != 0;
    k.flatShade = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT;
    k.srgbWrite = rs[D3DRS_SRGBWRITEENABLE] != 0 && m_renderTarget && HasSrgbForm(m_renderTarget->format());
    if (rs[D3DRS_FOGENABLE]) {
        // Table fog where it is set; vertex fog for vertices the device
        // transforms; otherwise the factor is the specular alpha.
        const DWORD table = rs[D3DRS_FOGTABLEMODE], vertex = rs[D3DRS_FOGVERTEXMODE];
        if (table != D3DFOG_NONE && table <= D3DFOG_LINEAR) {
            k.fogKind = kFogTable;
            k.fogMode = (uint8_t)table;
            k.fogByZ = k.rhw || ProjectionIsOrthographic();
        } else if (vertex != D3DFOG_NONE && vertex <= D3DFOG_LINEAR && !k.rhw) {
            k.fogKind = kFogVertex;
            k.fogMode = (uint8_t)vertex;
        } else {
            k.fogKind = kFogSpecular;
        }
    }
    if (rs[D3DRS_ALPHATESTENABLE] && rs[D3DRS_ALPHAFUNC] != D3DCMP_ALWAYS)
        k.alphaFunc = (uint8_t)std::min<DWORD>(rs[D3DRS_ALPHAFUNC], 8);
    k.points = points;
    if (points) {
        k.pointSprite = rs[D3DRS_POINTSPRITEENABLE] != 0;
        k.pointScale = rs[D3DRS_POINTSCALEENABLE] != 0;
    }
    for (int s = 0; s < kMaxFFStages; ++s) {
        const DWORD* t = m_state.tss[s];
        const DWORD op = t[D3DTSS_COLOROP];
        if (op == D3DTOP_DISABLE || op == 0 || op > D3DTOP_LERP) break;
        IDirect3DBaseTexture9* bt = m_state.textures[s];
        const bool hasTex = bt && AsTexture(bt)->glTexture() != 0;
        // A stage that reads a texture it does not have ends the cascade.
        if (!hasTex && ReadsTexture(op, t[D3DTSS_COLORARG0], t[D3DTSS_COLORARG1], t[D3DTSS_COLORARG2])) break;
        StageKey& st = k.stages[k.stageCount++];
        st.colorOp = (uint8_t)op;
        st.colorArg0 = (uint8_t)t[D3DTSS_COLORARG0];
        st.colorArg1 = (uint8_t)t[D3DTSS_COLORARG1];
        st.colorArg2 = (uint8_t)t[D3DTSS_COLORARG2];
        const DWORD aop = t[D3DTSS_ALPHAOP];
        st.alphaOp = (uint8_t)((aop == 0 || aop > D3DTOP_LERP) ? (DWORD)D3DTOP_DISABLE : aop);
        st.alphaArg0 = (uint8_t)t[D3DTSS_ALPHAARG0];
        st.alphaArg1 = (uint8_t)t[D3DTSS_ALPHAARG1];
        st.alphaArg2 = (uint8_t)t[D3DTSS_ALPHAARG2];
        const DWORD set = t[D3DTSS_TEXCOORDINDEX] & 0xffff;
        st.texCoord = set < (DWORD)kMaxTexCoords ? (uint8_t)set : 0xff;
        st.hasTexture = hasTex;
        if (!hasTex) continue;
        st.srgbRead = m_state.samp[s][D3DSAMP_SRGBTEXTURE] != 0 && HasSrgbForm(AsTexture(bt)->format());
        const DWORD gen = t[D3DTSS_TEXCOORDINDEX] >> 16;
        if (!k.rhw && gen >= 1 && gen <= 3) st.texGen = (uint8_t)gen;
        const DWORD flags = t[D3DTSS_TEXTURETRANSFORMFLAGS];
        const DWORD count = flags & 0xff;
        if (count >= 1 && count <= 4) {
            const bool projected = (flags & D3DTTFF_PROJECTED) && count >= 2;
            // Pre-transformed vertices take no matrix, only the projection.
            if (!k.rhw || projected) {
                st.texTransformCount = (uint8_t)count;
                st.texProjected = projected;
                if (!st.texGen && set < k.texCount) {
                    static const uint8_t kComps[4] = {2, 3, 4, 1};  // D3DFVF_TEXTUREFORMAT2, 3, 4, 1
                    st.texComps = kComps[(fvf >> (16 + 2 * set)) & 3];
                }
            }
        }
        if (st.texGen == (D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR >> 16)) k.localViewer = rs[D3DRS_LOCALVIEWER] != 0;
    }
}

namespace {

// Whether a comparison of the largest alpha (255) with ref passes.
bool FullAlphaPasses(DWORD func, DWORD ref)
{
    switch (func) {
        case D3DCMP_EQUAL:
        case D3DCMP_LESSEQUAL:
            return ref == 255;
        case D3DCMP_GREATER:
        case D3DCMP_NOTEQUAL:
            return ref < 255;
        case D3DCMP_GREATEREQUAL:
        case D3DCMP_ALWAYS:
            return true;
        default:  // NEVER, LESS and values out of range
            return false;
    }
}

// Whether a stage operation on alphas of exactly 1 (one0..one2) gives exactly
// 1 after the clamp the program applies.
bool OpKeepsFullAlpha(int op, bool one0, bool one1, bool one2)
{
    switch (op) {
        case D3DTOP_SELECTARG1:
        case D3DTOP_PREMODULATE:
            return one1;
        case D3DTOP_SELECTARG2:
            return one2;
        case D3DTOP_MODULATE:
        case D3DTOP_MODULATE2X:
        case D3DTOP_MODULATE4X:
        case D3DTOP_ADDSIGNED:
        case D3DTOP_ADDSIGNED2X:
        case D3DTOP_BLENDDIFFUSEALPHA:
        case D3DTOP_BLENDTEXTUREALPHA:
        case D3DTOP_BLENDFACTORALPHA:
        case D3DTOP_BLENDCURRENTALPHA:
        case D3DTOP_LERP:
            return one1 && one2;
        case D3DTOP_ADD:
        case D3DTOP_ADDSMOOTH:
        case D3DTOP_BLENDTEXTUREALPHAPM:
            return one1 || (one2 && op != D3DTOP_BLENDTEXTUREALPHAPM);
        case D3DTOP_MULTIPLYADD:
            return one0 || (one1 && one2);
        default:
            return false;
    }
}

}  // namespace

bool Device::AlphaTestCannotDiscard(bool alphaFull) const
{
    return alphaFull && FullAlphaPasses(m_state.rs[D3DRS_ALPHAFUNC], m_state.rs[D3DRS_ALPHAREF] & 0xff);
}

bool Device::BlendWritesTheFragment(bool alphaFull) const
{
    const DWORD* rs = m_state.rs;
    if (rs[D3DRS_SEPARATEALPHABLENDENABLE] || rs[D3DRS_BLENDOP] != D3DBLENDOP_ADD) return false;
    const DWORD sb = rs[D3DRS_SRCBLEND], db = rs[D3DRS_DESTBLEND];
    if (sb == D3DBLEND_ONE && db == D3DBLEND_ZERO) return true;
    const bool srcAlpha = (sb == D3DBLEND_SRCALPHA && db == D3DBLEND_INVSRCALPHA) || sb == D3DBLEND_BOTHSRCALPHA;
    return srcAlpha && alphaFull;
}

bool Device::AlphaIsFull(const FFKey& k) const
{
    const DWORD* rs = m_state.rs;
    // The diffuse alpha: the material's, a vertex colour's, or 1 without one.
    bool diffuseOne;
    if (k.lighting)
        diffuseOne = k.diffuseSrc == 0 && m_state.material.Diffuse.a >= 1.0f;
    else
        diffuseOne = !k.hasDiffuse;
    bool current = diffuseOne;
    for (int s = 0; s < k.stageCount; ++s) {
        const StageKey& st = k.stages[s];
        if (st.alphaOp == D3DTOP_DISABLE && st.colorOp != D3DTOP_DOTPRODUCT3) continue;
        bool textureOne = true;  // a stage without a texture reads alpha 1
        if (st.hasTexture) {
            const DWORD* samp = m_state.samp[s];
            const bool border =
                samp[D3DSAMP_ADDRESSU] == D3DTADDRESS_BORDER || samp[D3DSAMP_ADDRESSV] == D3DTADDRESS_BORDER;
            const Texture* tex = AsTexture(m_state.textures[s]);
            textureOne =
                tex->AlphaOpaque(samp[D3DSAMP_MIPFILTER] != D3DTEXF_NONE, tex->BaseLevel(samp[D3DSAMP_MAXMIPLEVEL])) &&
                (!border || (samp[D3DSAMP_BORDERCOLOR] >> 24) == 0xff);
        }
        auto one = [&](int arg) {
            if (arg & D3DTA_COMPLEMENT) return false;
            switch (arg & D3DTA_SELECTMASK) {
                case D3DTA_DIFFUSE:
                    return diffuseOne;
                case D3DTA_CURRENT:
                    return current;
                case D3DTA_TEXTURE:
                    return textureOne;
                case D3DTA_TFACTOR:
                    return (rs[D3DRS_TEXTUREFACTOR] >> 24) == 0xff;
                default:
                    return false;
            }
        };
        current = st.colorOp != D3DTOP_DOTPRODUCT3 &&
                  OpKeepsFullAlpha(st.alphaOp, one(st.alphaArg0), one(st.alphaArg1), one(st.alphaArg2));
    }
    return current;
}

FFProgram* Device::ProgramFor(const FFKey& key)
{
    auto it = m_programs.find(key);
    if (it != m_programs.end()) return it->second.get();
    std::unique_ptr<FFProgram> p(new FFProgram(BuildFFProgram(key)));
    ++m_stats.programsBuilt;
    m_gl.program = p->program;  // building leaves it bound
    FFProgram* raw = p.get();
    m_programs.emplace(key, std::move(p));
    return raw;
}

void Device::UploadUniforms(FFProgram& p)
{
    if (p.transformSerial != m_transformSerial) {
        p.transformSerial = m_transformSerial;
        Multiply(m_state.world, m_state.view, &m_wv);
        Multiply(m_wv, m_state.proj, &m_wvp);
        // Row-vector matrices go up unchanged: GLSL's M * v is then v * M.
        glUniformMatrix4fv(p.wvp, 1, GL_FALSE, &m_wvp._11);
        if (p.wv >= 0) glUniformMatrix4fv(p.wv, 1, GL_FALSE, &m_wv._11);
        if (p.texMat >= 0) glUniformMatrix4fv(p.texMat, kMaxFFStages, GL_FALSE, &m_state.texTransform[0]._11);
        if (p.normalMat >= 0) {
            // Normals: the inverse transpose of the upper 3x3 of world x view.
            const float a = m_wv._11, b = m_wv._12, c = m_wv._13;
            const float d = m_wv._21, e = m_wv._22, f = m_wv._23;
            const float g = m_wv._31, h = m_wv._32, i = m_wv._33;
            const float A = e * i - f * h, B = -(d * i - f * g), C = d * h - e * g;
            const float D = -(b * i - c * h), E = a * i - c * g, F = -(a * h - b * g);
            const float G = b * f - c * e, H = -(a * f - c * d), I = a * e - b * d;
            const float det = a * A + b * B + c * C;
            const bool affine = m_wv._14 == 0.0f && m_wv._24 == 0.0f && m_wv._34 == 0.0f && m_wv._44 == 1.0f;
            if (!affine) {
                // A projective world or view: normals have no meaning, and
                // only ambient and emissive light reach the vertices.
                memset(m_normalMat, 0, sizeof(m_normalMat));
            } else if (det != 0.0f) {
                // inverse = adj / det with adj = cofactor transposed; its transpose is the cofactor matrix.
                const float k = 1.0f / det;
                const float n[9] = {A * k, B * k, C * k, D * k, E * k, F * k, G * k, H * k, I * k};
                memcpy(m_normalMat, n, sizeof(n));
            } else {
                // No inverse (a flattening scale): the matrix itself.
                const float n[9] = {a, b, c, d, e, f, g, h, i};
                memcpy(m_normalMat, n, sizeof(n));
            }
            glUniformMatrix3fv(p.normalMat, 1, GL_FALSE, m_normalMat);
        }
    }
    if (p.lightSerial != m_lightSerial) {
        p.lightSerial = m_lightSerial;
        const D3DMATERIAL9& m = m_state.material;
        if (p.matDiffuse >= 0) glUniform4fv(p.matDiffuse, 1, &m.Diffuse.r);
        if (p.matAmbient >= 0) glUniform4fv(p.matAmbient, 1, &m.Ambient.r);
        if (p.matSpecular >= 0) glUniform4fv(p.matSpecular, 1, &m.Specular.r);
        if (p.matEmissive >= 0) glUniform4fv(p.matEmissive, 1, &m.Emissive.r);
        if (p.matPower >= 0) glUniform1f(p.matPower, m.Power);
        if (p.globalAmbient >= 0) {
            float amb[4];
            ColorToFloats(m_state.rs[D3DRS_AMBIENT], amb);
            glUniform4fv(p.globalAmbient, 1, amb);
        }
        if (p.lightDiffuse >= 0 || p.lightAmbient >= 0) {
            float dif[kMaxLights * 4], amb[kMaxLights * 4], spe[kMaxLights * 4], dir[kMaxLights * 3],
                pos[kMaxLights * 3], att[kMaxLights * 4], spot[kMaxLights * 4];
            int n = 0;
            const D3DMATRIX& v = m_state.view;
            for (int i = 0; i < kMaxLights; ++i) {
                if (!m_state.lightEnabled[i]) continue;
                const D3DLIGHT9& l = m_state.lights[i];
                memcpy(dif + 4 * n, &l.Diffuse.r, 16);
                memcpy(amb + 4 * n, &l.Ambient.r, 16);
                memcpy(spe + 4 * n, &l.Specular.r, 16);
                // Eye-space vector toward the light (the light's direction reversed).
                float dx = l.Direction.x * v._11 + l.Direction.y * v._21 + l.Direction.z * v._31;
                float dy = l.Direction.x * v._12 + l.Direction.y * v._22 + l.Direction.z * v._32;
                float dz = l.Direction.x * v._13 + l.Direction.y * v._23 + l.Direction.z * v._33;
                const float len = sqrtf(dx * dx + dy * dy + dz * dz);
                if (len > 0.0f) {
                    dx /= len;
                    dy /= len;
                    dz /= len;
                }
                dir[3 * n] = -dx;
                dir[3 * n + 1] = -dy;
                dir[3 * n + 2] = -dz;
                pos[3 * n] = l.Position.x * v._11 + l.Position.y * v._21 + l.Position.z * v._31 + v._41;
                pos[3 * n + 1] = l.Position.x * v._12 + l.Position.y * v._22 + l.Position.z * v._32 + v._42;
                pos[3 * n + 2] = l.Position.x * v._13 + l.Position.y * v._23 + l.Position.z * v._33 + v._43;
                att[4 * n] = l.Attenuation0;
                att[4 * n + 1] = l.Attenuation1;
                att[4 * n + 2] = l.Attenuation2;
                att[4 * n + 3] = l.Range > 0.0f ? l.Range : 1e30f;
                // Cosines of the half angles of the inner and outer cones.
                const float phi = std::min(std::max(l.Phi, 0.0f), D3DX_PI);
                const float theta = std::min(std::max(l.Theta, 0.0f), phi);
                spot[4 * n] = cosf(theta * 0.5f);
                spot[4 * n + 1] = cosf(phi * 0.5f);
                spot[4 * n + 2] = l.Falloff;
                spot[4 * n + 3] = 0.0f;
                ++n;
            }
            if (n > 0) {
                if (p.lightDiffuse >= 0) glUniform4fv(p.lightDiffuse, n, dif);
                if (p.lightAmbient >= 0) glUniform4fv(p.lightAmbient, n, amb);
                if (p.lightSpecular >= 0) glUniform4fv(p.lightSpecular, n, spe);
                if (p.lightDir >= 0) glUniform3fv(p.lightDir, n, dir);
                if (p.lightPos >= 0) glUniform3fv(p.lightPos, n, pos);
                if (p.lightAtt >= 0) glUniform4fv(p.lightAtt, n, att);
                if (p.lightSpot >= 0) glUniform4fv(p.lightSpot, n, spot);
            }
        }
    }
    if (p.miscSerial != m_miscSerial) {
        p.miscSerial = m_miscSerial;
        const DWORD* rs = m_state.rs;
        float fix[4];
        PositionFixup(fix);
        glUniform4fv(p.posFixup, 1, fix);
        const D3DVIEWPORT9& vp = m_state.viewport;
        const float w = (float)std::max<DWORD>(1, vp.Width), h = (float)std::max<DWORD>(1, vp.Height);
        if (p.rhwScale >= 0)
            glUniform4f(p.rhwScale, 2.0f / w, -2.0f / h, -1.0f - 2.0f * vp.X / w, 1.0f + 2.0f * vp.Y / h);
        if (p.pointParams >= 0)
            glUniform4f(p.pointParams, AsFloat(rs[D3DRS_POINTSIZE]), AsFloat(rs[D3DRS_POINTSIZE_MIN]),
                        std::min(AsFloat(rs[D3DRS_POINTSIZE_MAX]), 256.0f), h);
        if (p.pointScale >= 0)
            glUniform3f(p.pointScale, AsFloat(rs[D3DRS_POINTSCALE_A]), AsFloat(rs[D3DRS_POINTSCALE_B]),
                        AsFloat(rs[D3DRS_POINTSCALE_C]));
        if (p.tfactor >= 0) {
            float c[4];
            ColorToFloats(rs[D3DRS_TEXTUREFACTOR], c);
            glUniform4fv(p.tfactor, 1, c);
        }
        if (p.fogColor >= 0) {
            float c[4];
            ColorToFloats(rs[D3DRS_FOGCOLOR], c);
            glUniform4fv(p.fogColor, 1, c);
        }
        if (p.fogParams >= 0)
            glUniform4f(p.fogParams, AsFloat(rs[D3DRS_FOGSTART]), AsFloat(rs[D3DRS_FOGEND]),
                        AsFloat(rs[D3DRS_FOGDENSITY]), 0.0f);
        if (p.alphaRef >= 0) glUniform1f(p.alphaRef, (float)(rs[D3DRS_ALPHAREF] & 0xff));
    }
}

void Device::ApplyTextures()
{
    for (int s = 0; s < kMaxFFStages; ++s) {
        IDirect3DBaseTexture9* bt = m_state.textures[s];
        const GLuint name = bt ? AsTexture(bt)->glTexture() : 0;
        auto selectUnit = [&] {
            if (m_gl.activeUnit != s) {
                glActiveTexture(GL_TEXTURE0 + (GLenum)s);
                m_gl.activeUnit = s;
            }
        };
        if (m_gl.textures[s] != name) {
            selectUnit();
            glBindTexture(GL_TEXTURE_2D, name);
            m_gl.textures[s] = name;
        }
        if (name) {
            // D3DSAMP_MAXMIPLEVEL and the LOD keep the more detailed levels
            // from being read, magnified or without mipmaps too: the base
            // level of the texture, which is set only when it changes.
            Texture* tex = AsTexture(bt);
            const GLint base = tex->BaseLevel(m_state.samp[s][D3DSAMP_MAXMIPLEVEL]);
            if (tex->glBaseLevel != base) {
                selectUnit();
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, base);
                tex->glBaseLevel = base;
            }
        }
        if (m_samplerDirty & (1u << s)) {
            const DWORD* p = m_state.samp[s];
            const GLuint sm = m_samplers[s];
            glSamplerParameteri(sm, GL_TEXTURE_WRAP_S, (GLint)AddressMode(p[D3DSAMP_ADDRESSU]));
            glSamplerParameteri(sm, GL_TEXTURE_WRAP_T, (GLint)AddressMode(p[D3DSAMP_ADDRESSV]));
            glSamplerParameteri(sm, GL_TEXTURE_MIN_FILTER,
                                (GLint)MinFilter(p[D3DSAMP_MINFILTER], p[D3DSAMP_MIPFILTER]));
            glSamplerParameteri(sm, GL_TEXTURE_MAG_FILTER, (GLint)MagFilter(p[D3DSAMP_MAGFILTER]));
            float border[4];
            ColorToFloats(p[D3DSAMP_BORDERCOLOR], border);
            glSamplerParameterfv(sm, GL_TEXTURE_BORDER_COLOR, border);
            glSamplerParameterf(sm, GL_TEXTURE_LOD_BIAS, AsFloat(p[D3DSAMP_MIPMAPLODBIAS]));
        }
    }
    m_samplerDirty = 0;
    m_dirty &= ~(uint32_t)(kDirtyTextures | kDirtySamplers);
}

namespace {

// A blend factor as Direct3D reads it from a target without alpha, whose
// alpha is 1 whatever its GL storage holds.
GLenum BlendFactorOnTarget(DWORD d3dBlend, bool targetAlphaOne)
{
    if (targetAlphaOne) {
        switch (d3dBlend) {
            case D3DBLEND_DESTALPHA:
                return GL_ONE;
            case D3DBLEND_INVDESTALPHA:
            case D3DBLEND_SRCALPHASAT:  // min(source alpha, 1 - 1)
                return GL_ZERO;
            default:
                break;
        }
    }
    return BlendFactor(d3dBlend);
}

// Turns a GL capability on or off when the cached value says it differs.
void SetCapability(GLenum capability, int on, int& cached)
{
    if (cached == on) return;
    on ? glEnable(capability) : glDisable(capability);
    cached = on;
}

}  // namespace

void Device::ApplyRasterState()
{
    const DWORD* rs = m_state.rs;
    GLCache& c = m_gl;

    const int blend = rs[D3DRS_ALPHABLENDENABLE] ? 1 : 0;
    SetCapability(GL_BLEND, blend, c.blend);
    if (blend) {
        DWORD sb = rs[D3DRS_SRCBLEND], db = rs[D3DRS_DESTBLEND];
        if (sb == D3DBLEND_BOTHSRCALPHA) {
            sb = D3DBLEND_SRCALPHA;
            db = D3DBLEND_INVSRCALPHA;
        } else if (sb == D3DBLEND_BOTHINVSRCALPHA) {
            sb = D3DBLEND_INVSRCALPHA;
            db = D3DBLEND_SRCALPHA;
        }
        // Set again whenever the render target changes (SetRenderTarget marks the raster state).
        const PixelFormat* target = m_renderTarget ? m_renderTarget->pixelFormat() : nullptr;
        const bool alphaOne = target && target->swizzle[3] == GL_ONE;
        GLenum src = BlendFactorOnTarget(sb, alphaOne), dst = BlendFactorOnTarget(db, alphaOne), srcA = src, dstA = dst;
        GLenum eq = BlendEquation(rs[D3DRS_BLENDOP]), eqA = eq;
        if (rs[D3DRS_SEPARATEALPHABLENDENABLE]) {
            srcA = BlendFactorOnTarget(rs[D3DRS_SRCBLENDALPHA], alphaOne);
            dstA = BlendFactorOnTarget(rs[D3DRS_DESTBLENDALPHA], alphaOne);
            eqA = BlendEquation(rs[D3DRS_BLENDOPALPHA]);
        }
        if (c.blendSrc != src || c.blendDst != dst || c.blendSrcA != srcA || c.blendDstA != dstA) {
            glBlendFuncSeparate(src, dst, srcA, dstA);
            c.blendSrc = src;
            c.blendDst = dst;
            c.blendSrcA = srcA;
            c.blendDstA = dstA;
        }
        if (c.blendEq != eq || c.blendEqA != eqA) {
            glBlendEquationSeparate(eq, eqA);
            c.blendEq = eq;
            c.blendEqA = eqA;
        }
        if (src == GL_CONSTANT_COLOR || dst == GL_CONSTANT_COLOR || src == GL_ONE_MINUS_CONSTANT_COLOR ||
            dst == GL_ONE_MINUS_CONSTANT_COLOR) {
            float f[4];
            ColorToFloats(rs[D3DRS_BLENDFACTOR], f);
            glBlendColor(f[0], f[1], f[2], f[3]);
        }
    }

    const bool hasDepth = m_depth != nullptr;
    const int depthTest = (hasDepth && rs[D3DRS_ZENABLE] != D3DZB_FALSE) ? 1 : 0;
    SetCapability(GL_DEPTH_TEST, depthTest, c.depthTest);
    const int depthMask = rs[D3DRS_ZWRITEENABLE] ? 1 : 0;
    if (c.depthMask != depthMask) {
        glDepthMask(depthMask ? GL_TRUE : GL_FALSE);
        c.depthMask = depthMask;
    }
    const GLenum zf = CompareFunc(rs[D3DRS_ZFUNC]);
    if (c.depthFunc != zf) {
        glDepthFunc(zf);
        c.depthFunc = zf;
    }

    // Direct3D's clockwise triangles are counter-clockwise in GL's window
    // space where rows are stored top first (GL's default front face), and
    // stay clockwise in a window's own framebuffer.
    const GLenum front = m_windowOrientation ? GL_CW : GL_CCW;
    if (c.frontFace != front) {
        glFrontFace(front);
        c.frontFace = front;
    }
    const DWORD cull = rs[D3DRS_CULLMODE];
    const int cullOn = (cull == D3DCULL_CW || cull == D3DCULL_CCW) ? 1 : 0;
    SetCapability(GL_CULL_FACE, cullOn, c.cull);
    if (cullOn) {
        const GLenum face = cull == D3DCULL_CCW ? GL_BACK : GL_FRONT;
        if (c.cullFace != face) {
            glCullFace(face);
            c.cullFace = face;
        }
    }

    const GLenum pm = rs[D3DRS_FILLMODE] == D3DFILL_WIREFRAME ? GL_LINE
                      : rs[D3DRS_FILLMODE] == D3DFILL_POINT   ? GL_POINT
                                                              : GL_FILL;
    if (c.polygonMode != pm) {
        glPolygonMode(GL_FRONT_AND_BACK, pm);
        c.polygonMode = pm;
    }

    const int stencil = (rs[D3DRS_STENCILENABLE] && m_depth && HasStencil(m_depth->format())) ? 1 : 0;
    SetCapability(GL_STENCIL_TEST, stencil, c.stencil);
    if (stencil) {
        const GLenum f = CompareFunc(rs[D3DRS_STENCILFUNC]);
        const GLint ref = (GLint)(rs[D3DRS_STENCILREF] & 0xff);
        const GLuint mask = rs[D3DRS_STENCILMASK] & 0xff;
        if (c.stencilFunc != f || c.stencilRef != ref || c.stencilMask != mask) {
            glStencilFunc(f, ref, mask);
            c.stencilFunc = f;
            c.stencilRef = ref;
            c.stencilMask = mask;
        }
        const GLenum sf = StencilOp(rs[D3DRS_STENCILFAIL]), zfail = StencilOp(rs[D3DRS_STENCILZFAIL]),
                     pass = StencilOp(rs[D3DRS_STENCILPASS]);
        if (c.stencilFail != sf || c.stencilZFail != zfail || c.stencilPass != pass) {
            glStencilOp(sf, zfail, pass);
            c.stencilFail = sf;
            c.stencilZFail = zfail;
            c.stencilPass = pass;
        }
    }
    const GLuint wmask = rs[D3DRS_STENCILWRITEMASK] & 0xff;
    if (c.stencilWriteMask != wmask) {
        glStencilMask(wmask);
        c.stencilWriteMask = wmask;
    }

    const int cm = (int)(rs[D3DRS_COLORWRITEENABLE] & 0xf);
    if (c.colorMask != cm) {
        glColorMask((cm & 1) != 0, (cm & 2) != 0, (cm & 4) != 0, (cm & 8) != 0);
        c.colorMask = cm;
    }

    const int scissor = rs[D3DRS_SCISSORTESTENABLE] ? 1 : 0;
    SetCapability(GL_SCISSOR_TEST, scissor, c.scissor);
    if (scissor) {
        const RECT& r = m_state.scissor;
        const GLint box[4] = {r.left, TargetRow(r.top, r.bottom - r.top), r.right - r.left, r.bottom - r.top};
        if (memcmp(box, c.scissorBox, sizeof(box)) != 0) {
            glScissor(box[0], box[1], box[2], box[3]);
            memcpy(c.scissorBox, box, sizeof(box));
        }
    }
    m_dirty &= ~(uint32_t)kDirtyRaster;
}

void Device::ApplyLayout(GLuint buffer, size_t offset, UINT stride, DWORD fvf)
{
    GLCache& c = m_gl;
    if (c.layoutBuffer == buffer && c.layoutOffset == offset && c.layoutStride == stride && c.layoutFvf == fvf) return;
    if (c.arrayBuffer != buffer) {
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        c.arrayBuffer = buffer;
    }
    bool used[kAttrTex0 + kMaxTexCoords] = {};
    size_t off = offset;
    const GLsizei st = (GLsizei)stride;
    auto attrib = [&](int loc, GLint size, GLenum type, GLboolean norm, size_t bytes) {
        glEnableVertexAttribArray((GLuint)loc);
        glVertexAttribPointer((GLuint)loc, size, type, norm, st, reinterpret_cast<const void*>(off));
        used[loc] = true;
        off += bytes;
    };
    const DWORD pos = fvf & D3DFVF_POSITION_MASK;
    if (pos == D3DFVF_XYZRHW || pos == D3DFVF_XYZW) {
        attrib(kAttrPosition, 4, GL_FLOAT, GL_FALSE, 16);
    } else {
        attrib(kAttrPosition, 3, GL_FLOAT, GL_FALSE, 12);
        if (pos >= D3DFVF_XYZB1 && pos <= D3DFVF_XYZB5)
            off += 4 * (size_t)((pos - D3DFVF_XYZ) / 2);  // blend weights, unused
    }
    if (fvf & D3DFVF_NORMAL) attrib(kAttrNormal, 3, GL_FLOAT, GL_FALSE, 12);
    if (fvf & D3DFVF_PSIZE) attrib(kAttrPSize, 1, GL_FLOAT, GL_FALSE, 4);
    // D3DCOLOR is the bytes B, G, R, A; GL_BGRA reads them as red, green, blue, alpha.
    if (fvf & D3DFVF_DIFFUSE) attrib(kAttrDiffuse, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, 4);
    if (fvf & D3DFVF_SPECULAR) attrib(kAttrSpecular, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, 4);
    const UINT texCount = std::min<UINT>(kMaxTexCoords, (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
    for (UINT i = 0; i < texCount; ++i) {
        GLint comps = 2;
        switch ((fvf >> (16 + 2 * i)) & 3) {
            case D3DFVF_TEXTUREFORMAT1:
                comps = 1;
                break;
            case D3DFVF_TEXTUREFORMAT3:
                comps = 3;
                break;
            case D3DFVF_TEXTUREFORMAT4:
                comps = 4;
                break;
            default:
                comps = 2;
                break;
        }
        attrib(kAttrTex0 + (int)i, comps, GL_FLOAT, GL_FALSE, 4 * (size_t)comps);
    }
    for (int loc = 0; loc < kAttrTex0 + kMaxTexCoords; ++loc)
        if (!used[loc]) glDisableVertexAttribArray((GLuint)loc);
    c.layoutBuffer = buffer;
    c.layoutOffset = offset;
    c.layoutStride = stride;
    c.layoutFvf = fvf;
}

HRESULT Device::PrepareDraw(D3DPRIMITIVETYPE type, bool* skip)
{
    *skip = false;
    if (!MakeCurrent() || !m_renderTarget) return D3DERR_INVALIDCALL;
    if (m_dirty & kDirtyTarget) ApplyTarget();
    if (m_dirty & kDirtyRaster) ApplyRasterState();
    // A draw with the stencil test on may write any stencil value.
    if (m_targetStencil && m_state.rs[D3DRS_STENCILENABLE]) m_targetStencil->state = StencilContent::kUnknown;
    if (m_overrideProgram) {
        // An effect pass: its program, after the device's textures and
        // samplers; the hook then sets the uniforms and binds the effect's
        // own textures, which the next fixed-function draw binds over again.
        ApplyTextures();
        if (m_gl.program != m_overrideProgram) {
            glUseProgram(m_overrideProgram);
            m_gl.program = m_overrideProgram;
            ++m_stats.programSwitches;
        }
        SetCapability(GL_DEPTH_CLAMP, 0, m_gl.depthClamp);
        if (m_overrideHook) m_overrideHook(m_overrideUser);
        for (int s = 0; s < kMaxFFStages; ++s) m_gl.textures[s] = ~0u;
        m_gl.activeUnit = -1;
        m_dirty |= kDirtyTextures;
        return D3D_OK;
    }
    const bool points = type == D3DPT_POINTLIST;
    const DWORD* rs = m_state.rs;
    const bool alphaTest = rs[D3DRS_ALPHATESTENABLE] && rs[D3DRS_ALPHAFUNC] != D3DCMP_ALWAYS;
    const bool blend = rs[D3DRS_ALPHABLENDENABLE] != 0;
    // Whether every fragment's alpha is full depends on texels and material
    // values, which change without touching the key: asked once a draw, where
    // the alpha test or blending depends on it.
    bool alphaFull = false;
    if (m_program && !(m_dirty & kDirtyKey) && points == m_keyPoints && (alphaTest || blend)) {
        alphaFull = AlphaIsFull(m_key);
        if (alphaTest && AlphaTestCannotDiscard(alphaFull) != m_alphaTestElided) m_dirty |= kDirtyKey;
    }
    if ((m_dirty & kDirtyKey) || points != m_keyPoints || !m_program) {
        FFKey key;
        BuildKey(&key, points);
        alphaFull = (alphaTest || blend) && AlphaIsFull(key);
        m_alphaTestElided = key.alphaFunc && AlphaTestCannotDiscard(alphaFull);
        if (m_alphaTestElided) key.alphaFunc = 0;
        m_keyPoints = points;
        if (!m_program || !(key == m_key)) {
            m_key = key;
            m_program = ProgramFor(key);
        }
        m_dirty &= ~(uint32_t)kDirtyKey;
        m_dirty |= kDirtyTextures;
    }
    // Pre-transformed vertices are not clipped by depth (the caps do not
    // claim it): their depth is clamped to the viewport's range.
    SetCapability(GL_DEPTH_CLAMP, m_key.rhw, m_gl.depthClamp);
    // Blending that would write the fragment unchanged is left out: the
    // rasteriser then skips reading the target.
    if (blend) SetCapability(GL_BLEND, BlendWritesTheFragment(alphaFull) ? 0 : 1, m_gl.blend);
    if (!m_program->program) {
        *skip = true;
        return D3DERR_DRIVERINTERNALERROR;
    }
    if (m_gl.program != m_program->program) {
        glUseProgram(m_program->program);
        m_gl.program = m_program->program;
        ++m_stats.programSwitches;
    }
    if (m_dirty & (kDirtyTextures | kDirtySamplers)) ApplyTextures();
    UploadUniforms(*m_program);
    return D3D_OK;
}

void Device::SetProgramOverride(GLuint program, void (*hook)(void*), void* user)
{
    m_overrideProgram = program;
    m_overrideHook = program ? hook : nullptr;
    m_overrideUser = program ? user : nullptr;
}

size_t Device::StreamWrite(const void* data, size_t bytes, UINT alignTo)
{
    size_t pos = (m_streamPos + alignTo - 1) / alignTo * alignTo;
    if (bytes > m_streamSize) {
        // One draw larger than the stream: grow it.
        m_streamSize = bytes * 2;
        glBindBuffer(GL_ARRAY_BUFFER, m_stream);
        glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)m_streamSize, nullptr, GL_STREAM_DRAW);
        m_gl.arrayBuffer = m_stream;
        pos = 0;
    } else if (pos + bytes > m_streamSize) {
        // Full: orphan the storage (GL keeps the old one for draws in flight).
        if (m_gl.arrayBuffer != m_stream) {
            glBindBuffer(GL_ARRAY_BUFFER, m_stream);
            m_gl.arrayBuffer = m_stream;
        }
        glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)m_streamSize, nullptr, GL_STREAM_DRAW);
        pos = 0;
    }
    if (m_gl.arrayBuffer != m_stream) {
        glBindBuffer(GL_ARRAY_BUFFER, m_stream);
        m_gl.arrayBuffer = m_stream;
    }
    void* dst = glMapBufferRange(GL_ARRAY_BUFFER, (GLintptr)pos, (GLsizeiptr)bytes,
                                 GL_MAP_WRITE_BIT | GL_MAP_UNSYNCHRONIZED_BIT | GL_MAP_INVALIDATE_RANGE_BIT);
    if (dst) {
        memcpy(dst, data, bytes);
        glUnmapBuffer(GL_ARRAY_BUFFER);
    } else {
        glBufferSubData(GL_ARRAY_BUFFER, (GLintptr)pos, (GLsizeiptr)bytes, data);
    }
    m_streamPos = pos + bytes;
    m_stats.bytesStreamed += (DWORD)bytes;
    return pos;
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount)
{
    const GLenum mode = PrimitiveMode(type);
    const VertexBuffer* vb = m_state.stream;
    const UINT stride = m_state.streamStride;
    if (!KnownPrimitive(type) || !vb || !ValidFvf(m_state.fvf, stride)) return D3DERR_INVALIDCALL;
    if (primitiveCount == 0) return D3D_OK;
    const UINT count = VertexCount(type, primitiveCount);
    // The last vertex needs only its own bytes, not a whole stride.
    const uint64_t needed = (uint64_t)m_state.streamOffset + ((uint64_t)startVertex + count - 1) * stride +
                            D3DXGetFVFVertexSize(m_state.fvf);
    if (needed > vb->store.length()) return D3DERR_INVALIDCALL;
    bool skip;
    const HRESULT hr = PrepareDraw(type, &skip);
    if (FAILED(hr) || skip) return hr;
    ApplyLayout(vb->store.name(), m_state.streamOffset, stride, m_state.fvf);
    glDrawArrays(mode, (GLint)startVertex, (GLsizei)count);
    ++m_stats.drawCalls;
    m_stats.primitives += primitiveCount;
    return D3D_OK;
}

HRESULT Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT, UINT, UINT startIndex,
                                     UINT primCount)
{
    const GLenum mode = PrimitiveMode(type);
    const VertexBuffer* vb = m_state.stream;
    const IndexBuffer* ib = m_state.indices;
    const UINT stride = m_state.streamStride;
    if (!KnownPrimitive(type) || !vb || !ib || !ValidFvf(m_state.fvf, stride)) return D3DERR_INVALIDCALL;
    if (primCount == 0) return D3D_OK;
    const UINT count = VertexCount(type, primCount);
    if (((uint64_t)startIndex + count) * 2 > ib->store.length()) return D3DERR_INVALIDCALL;
    // Every index must land inside the vertex buffer; the system-memory copy tells.
    const uint16_t* idx = reinterpret_cast<const uint16_t*>(ib->store.data()) + startIndex;
    uint16_t lo = 0xffff, hi = 0;
    for (UINT i = 0; i < count; ++i) {
        lo = std::min(lo, idx[i]);
        hi = std::max(hi, idx[i]);
    }
    const int64_t first = (int64_t)baseVertexIndex + lo, last = (int64_t)baseVertexIndex + hi;
    const UINT vsize = D3DXGetFVFVertexSize(m_state.fvf);
    if (first < 0 || (uint64_t)m_state.streamOffset + (uint64_t)last * stride + vsize > vb->store.length())
        return D3DERR_INVALIDCALL;
    bool skip;
    const HRESULT hr = PrepareDraw(type, &skip);
    if (FAILED(hr) || skip) return hr;
    ApplyLayout(vb->store.name(), m_state.streamOffset, stride, m_state.fvf);
    if (m_gl.elementBuffer != ib->store.name()) {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ib->store.name());
        m_gl.elementBuffer = ib->store.name();
    }
    glDrawElementsBaseVertex(mode, (GLsizei)count, GL_UNSIGNED_SHORT,
                             reinterpret_cast<const void*>((size_t)startIndex * 2), baseVertexIndex);
    ++m_stats.drawCalls;
    m_stats.primitives += primCount;
    return D3D_OK;
}

HRESULT Device::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* data, UINT stride)
{
    const GLenum mode = PrimitiveMode(type);
    if (!KnownPrimitive(type) || !data || !ValidFvf(m_state.fvf, stride)) return D3DERR_INVALIDCALL;
    // Stream 0 is unset afterwards, as Direct3D does.
    if (m_state.stream) {
        VertexBuffer* old = m_state.stream;
        m_state.stream = nullptr;
        old->Unbind();
    }
    m_state.streamOffset = 0;
    m_state.streamStride = 0;
    if (primitiveCount == 0) return D3D_OK;
    const UINT count = VertexCount(type, primitiveCount);
    bool skip;
    const HRESULT hr = PrepareDraw(type, &skip);
    if (FAILED(hr) || skip) return hr;
    const size_t pos = StreamWrite(data, (size_t)count * stride, stride);
    ApplyLayout(m_stream, 0, stride, m_state.fvf);
    glDrawArrays(mode, (GLint)(pos / stride), (GLsizei)count);
    ++m_stats.drawCalls;
    m_stats.primitives += primitiveCount;
    return D3D_OK;
}

HRESULT Device::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices,
                                       UINT primitiveCount, const void* indexData, D3DFORMAT indexFormat,
                                       const void* vertexData, UINT stride)
{
    const GLenum mode = PrimitiveMode(type);
    if (!KnownPrimitive(type) || !indexData || !vertexData || !ValidFvf(m_state.fvf, stride) ||
        (indexFormat != D3DFMT_INDEX16 && indexFormat != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    if (m_state.stream) {
        VertexBuffer* old = m_state.stream;
        m_state.stream = nullptr;
        old->Unbind();
    }
    m_state.streamOffset = 0;
    m_state.streamStride = 0;
    if (m_state.indices) {
        IndexBuffer* old = m_state.indices;
        m_state.indices = nullptr;
        old->Unbind();
    }
    if (primitiveCount == 0) return D3D_OK;
    const UINT count = VertexCount(type, primitiveCount);
    const size_t isize = indexFormat == D3DFMT_INDEX16 ? 2 : 4;
    // Indices must stay inside minVertexIndex .. minVertexIndex + numVertices.
    const UINT limit = minVertexIndex + numVertices;
    for (UINT i = 0; i < count; ++i) {
        const UINT v = isize == 2 ? reinterpret_cast<const uint16_t*>(indexData)[i]
                                  : reinterpret_cast<const uint32_t*>(indexData)[i];
        if (v < minVertexIndex || v >= limit) return D3DERR_INVALIDCALL;
    }
    bool skip;
    const HRESULT hr = PrepareDraw(type, &skip);
    if (FAILED(hr) || skip) return hr;
    const size_t vbytes = (size_t)limit * stride;
    const size_t pos = StreamWrite(vertexData, vbytes, stride);
    ApplyLayout(m_stream, 0, stride, m_state.fvf);
    const size_t ibytes = count * isize;
    if (m_gl.elementBuffer != m_streamIndices) {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_streamIndices);
        m_gl.elementBuffer = m_streamIndices;
    }
    size_t ipos = (m_streamIndexPos + 3) & ~(size_t)3;
    if (ibytes > m_streamIndexSize) {
        m_streamIndexSize = ibytes * 2;
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, (GLsizeiptr)m_streamIndexSize, nullptr, GL_STREAM_DRAW);
        ipos = 0;
    } else if (ipos + ibytes > m_streamIndexSize) {
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, (GLsizeiptr)m_streamIndexSize, nullptr, GL_STREAM_DRAW);
        ipos = 0;
    }
    glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, (GLintptr)ipos, (GLsizeiptr)ibytes, indexData);
    m_streamIndexPos = ipos + ibytes;
    glDrawElementsBaseVertex(mode, (GLsizei)count, isize == 2 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT,
                             reinterpret_cast<const void*>(ipos), (GLint)(pos / stride));
    ++m_stats.drawCalls;
    m_stats.primitives += primitiveCount;
    return D3D_OK;
}

}  // namespace d3d9gl

// GLSL generation for the fixed-function pipeline. Matrices arrive as
// Direct3D stores them (row vectors), so M * v in GLSL is v * M.
//
// Per vertex: transform, Direct3D lighting (Gouraud or flat), texture
// coordinate generation and transforms, point size, vertex fog.
// Per pixel: texture stages, specular add, alpha test, table fog.
#include "d3d9/FixedFunction.h"

#include <d3d9.h>

#include <stdio.h>

#include <sstream>

namespace d3d9gl {

const char* const kPositionFixupGLSL =
    "uniform vec4 d3d9_posFixup;\n"
    "vec4 d3d9PositionFixup(vec4 p) {\n"
    "    // Direct3D clip space to this device's GL space: y flipped (w = -1) for\n"
    "    // surfaces stored top row first, kept (w = 1) for a window's own\n"
    "    // framebuffer; pixel centres on integers; depth 0..1 (remapped when clip\n"
    "    // control is missing).\n"
    "    return vec4(p.x + d3d9_posFixup.x * p.w, d3d9_posFixup.w * (p.y - d3d9_posFixup.y * p.w),\n"
    "                d3d9_posFixup.z > 0.5 ? 2.0 * p.z - p.w : p.z, p.w);\n"
    "}\n";

namespace {

const char* kFixupBody =
    "vec4 fixupPosition(vec4 p) {\n"
    "    return vec4(p.x + u_posFixup.x * p.w, u_posFixup.w * (p.y - u_posFixup.y * p.w),\n"
    "                u_posFixup.z > 0.5 ? 2.0 * p.z - p.w : p.z, p.w);\n"
    "}\n";

std::string MaterialSource(int src, const char* material)
{
    if (src == 1) return "a_diffuse";
    if (src == 2) return "a_specular";
    return material;
}

// The argument of a texture stage as a vec4 expression.
std::string StageArg(int arg, int stage)
{
    std::string base;
    switch (arg & D3DTA_SELECTMASK) {
        case D3DTA_DIFFUSE:
            base = "diffuse";
            break;
        case D3DTA_CURRENT:
            base = "current";
            break;
        case D3DTA_TEXTURE:
            base = "tex" + std::to_string(stage);
            break;
        case D3DTA_TFACTOR:
            base = "u_tfactor";
            break;
        case D3DTA_SPECULAR:
            base = "specular";
            break;
        case D3DTA_TEMP:
            base = "temp";
            break;
        default:
            base = "u_tfactor";
            break;
    }
    if (arg & D3DTA_ALPHAREPLICATE) base = "vec4(" + base + ".a)";
    if (arg & D3DTA_COMPLEMENT) base = "(vec4(1.0) - " + base + ")";
    return base;
}

// The result of a stage operation; a0..a2 are the argument expressions with
// the component suffix already applied (".rgb" or ".a").
std::string StageOp(int op, const std::string& a0, const std::string& a1, const std::string& a2,
                    const std::string& suffix, int stage)
{
    const std::string tex = "tex" + std::to_string(stage);
    switch (op) {
        case D3DTOP_SELECTARG1:
            return a1;
        case D3DTOP_SELECTARG2:
            return a2;
        case D3DTOP_MODULATE:
            return a1 + " * " + a2;
        case D3DTOP_MODULATE2X:
            return "2.0 * " + a1 + " * " + a2;
        case D3DTOP_MODULATE4X:
            return "4.0 * " + a1 + " * " + a2;
        case D3DTOP_ADD:
            return a1 + " + " + a2;
        case D3DTOP_ADDSIGNED:
            return a1 + " + " + a2 + " - 0.5";
        case D3DTOP_ADDSIGNED2X:
            return "2.0 * (" + a1 + " + " + a2 + " - 0.5)";
        case D3DTOP_SUBTRACT:
            return a1 + " - " + a2;
        case D3DTOP_ADDSMOOTH:
            return a1 + " + " + a2 + " - " + a1 + " * " + a2;
        case D3DTOP_BLENDDIFFUSEALPHA:
            return "mix(" + a2 + ", " + a1 + ", diffuse.a)";
        case D3DTOP_BLENDTEXTUREALPHA:
            return "mix(" + a2 + ", " + a1 + ", " + tex + ".a)";
        case D3DTOP_BLENDFACTORALPHA:
            return "mix(" + a2 + ", " + a1 + ", u_tfactor.a)";
        case D3DTOP_BLENDCURRENTALPHA:
            return "mix(" + a2 + ", " + a1 + ", current.a)";
        case D3DTOP_BLENDTEXTUREALPHAPM:
            return a1 + " + " + a2 + " * (1.0 - " + tex + ".a)";
        case D3DTOP_PREMODULATE:
            return a1;
        case D3DTOP_MULTIPLYADD:
            return a0 + " + " + a1 + " * " + a2;
        case D3DTOP_LERP:
            return "mix(" + a2 + ", " + a1 + ", " + a0 + ")";
        case D3DTOP_DOTPRODUCT3: {
            const std::string d = "4.0 * dot(" + a1.substr(0, a1.size() - suffix.size()) + ".rgb - 0.5, " +
                                  a2.substr(0, a2.size() - suffix.size()) + ".rgb - 0.5)";
            return suffix == ".a" ? d : "vec3(" + d + ")";
        }
        default:
            return a1 + " * " + a2;
    }
}

// Operations combining alpha into colour, handled whole.
bool StageColorSpecial(int op, const std::string& a1v, const std::string& a2v, std::string* out)
{
    switch (op) {
        case D3DTOP_MODULATEALPHA_ADDCOLOR:
            *out = a1v + ".rgb + " + a1v + ".a * " + a2v + ".rgb";
            return true;
        case D3DTOP_MODULATECOLOR_ADDALPHA:
            *out = a1v + ".rgb * " + a2v + ".rgb + " + a1v + ".a";
            return true;
        case D3DTOP_MODULATEINVALPHA_ADDCOLOR:
            *out = "(1.0 - " + a1v + ".a) * " + a2v + ".rgb + " + a1v + ".rgb";
            return true;
        case D3DTOP_MODULATEINVCOLOR_ADDALPHA:
            *out = "(vec3(1.0) - " + a1v + ".rgb) * " + a2v + ".rgb + " + a1v + ".a";
            return true;
        default:
            return false;
    }
}

// The fog factor of a depth d for the mode, as a GLSL function.
std::string FogFunction(int mode)
{
    std::string f = "float fogFactor(float d) {\n";
    if (mode == D3DFOG_LINEAR)
        // Start and end equal: no division, fog at and past the end.
        f +=
            "    float span = u_fogParams.y - u_fogParams.x;\n"
            "    return span != 0.0 ? clamp((u_fogParams.y - d) / span, 0.0, 1.0) : (d < u_fogParams.y ? 1.0 : 0.0);\n";
    else if (mode == D3DFOG_EXP)
        f += "    return clamp(exp(-u_fogParams.z * d), 0.0, 1.0);\n";
    else
        f += "    return clamp(exp(-(u_fogParams.z * d) * (u_fogParams.z * d)), 0.0, 1.0);\n";
    return f + "}\n";
}

// A source texture coordinate set widened to four components as the
// transform reads it: a 1 after the last component, zeros past it.
std::string PaddedCoord(int set, int comps)
{
    const std::string a = "a_tex" + std::to_string(set);
    switch (comps) {
        case 1:
            return "vec4(" + a + ".x, 1.0, 0.0, 0.0)";
        case 2:
            return "vec4(" + a + ".xy, 1.0, 0.0)";
        case 3:
            return "vec4(" + a + ".xyz, 1.0)";
        default:
            return a;
    }
}

const char* CompareOp(int func)
{
    switch (func) {
        case D3DCMP_NEVER:
            return nullptr;
        case D3DCMP_LESS:
            return "<";
        case D3DCMP_EQUAL:
            return "==";
        case D3DCMP_LESSEQUAL:
            return "<=";
        case D3DCMP_GREATER:
            return ">";
        case D3DCMP_NOTEQUAL:
            return "!=";
        case D3DCMP_GREATEREQUAL:
            return ">=";
        default:
            return "";
    }
}

GLuint Compile(GLenum type, const std::string& src)
{
    GLuint s = glCreateShader(type);
    const char* text = src.c_str();
    glShaderSource(s, 1, &text, nullptr);
    glCompileShader(s);
    GLint ok = 0;
    glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        glGetShaderInfoLog(s, sizeof(log) - 1, nullptr, log);
        fprintf(stderr, "device: fixed-function shader does not compile: %s\n%s\n", log, src.c_str());
        glDeleteShader(s);
        return 0;
    }
    return s;
}

}  // namespace

std::string FFVertexSource(const FFKey& k)
{
    std::ostringstream s;
    s << "#version 330 core\n";
    s << "layout(location = 0) in vec4 a_position;\n";
    if (k.hasNormal) s << "layout(location = 1) in vec3 a_normal;\n";
    if (k.hasDiffuse) s << "layout(location = 2) in vec4 a_diffuse;\n";
    if (k.hasSpecular) s << "layout(location = 3) in vec4 a_specular;\n";
    if (k.hasPSize) s << "layout(location = 4) in float a_psize;\n";
    for (int i = 0; i < k.texCount; ++i)
        s << "layout(location = " << (kAttrTex0 + i) << ") in vec4 a_tex" << i << ";\n";
    s << "uniform mat4 u_wvp;\nuniform mat4 u_wv;\nuniform mat3 u_normalMat;\n";
    s << "uniform vec4 u_posFixup;\nuniform vec4 u_rhwScale;\n";
    s << "uniform vec4 u_matDiffuse, u_matAmbient, u_matSpecular, u_matEmissive;\nuniform float u_matPower;\n";
    s << "uniform vec4 u_globalAmbient;\n";
    if (k.lightCount > 0) {
        s << "uniform vec4 u_lightDiffuse[" << (int)k.lightCount << "];\n";
        s << "uniform vec4 u_lightAmbient[" << (int)k.lightCount << "];\n";
        s << "uniform vec4 u_lightSpecular[" << (int)k.lightCount << "];\n";
        s << "uniform vec3 u_lightDir[" << (int)k.lightCount << "];\n";
        s << "uniform vec3 u_lightPos[" << (int)k.lightCount << "];\n";
        s << "uniform vec4 u_lightAtt[" << (int)k.lightCount << "];\n";
    }
    if (k.lightCount > 0) s << "uniform vec4 u_lightSpot[" << (int)k.lightCount << "];\n";
    s << "uniform vec4 u_pointParams;\nuniform vec3 u_pointScale;\nuniform vec4 u_fogParams;\n";
    bool texGen = false, texMatrix = false;
    for (int i = 0; i < k.stageCount; ++i) {
        texGen = texGen || (k.stages[i].hasTexture && k.stages[i].texGen);
        texMatrix = texMatrix || (k.stages[i].hasTexture && k.stages[i].texTransformCount && !k.rhw);
    }
    if (texMatrix) s << "uniform mat4 u_texMat[" << kMaxFFStages << "];\n";
    // Eye-space position only where lighting, fog, point scaling or
    // generated coordinates use it.
    const bool needEye = (k.lighting && (k.lightCount > 0 || k.specularEnable)) || k.fogKind == kFogVertex ||
                         (k.points && k.pointScale) || texGen;
    // Without lighting or vertex colours the diffuse is white everywhere: a
    // constant in the fragment program, not a value interpolated per pixel.
    const bool diffuseVaries = k.lighting || k.hasDiffuse;
    const char* shade = k.flatShade ? "flat " : "";
    if (diffuseVaries) s << shade << "out vec4 v_diffuse;\n";
    if (k.specularEnable) s << shade << "out vec4 v_specular;\n";
    if (k.fogKind == kFogVertex || k.fogKind == kFogSpecular) s << "out float v_fog;\n";
    // Device depth is linear across the screen; w is interpolated as usual.
    if (k.fogKind == kFogTable) s << (k.fogByZ ? "noperspective out float v_fogZ;\n" : "out float v_fogW;\n");
    for (int i = 0; i < k.stageCount; ++i)
        if (k.stages[i].hasTexture)
            s << "out " << (k.stages[i].texProjected ? "vec3" : "vec2") << " v_tex" << i << ";\n";
    if (k.fogKind == kFogVertex) s << FogFunction(k.fogMode);
    s << kFixupBody;
    s << "void main() {\n";
    if (k.rhw) {
        s << "    float w = a_position.w != 0.0 ? 1.0 / a_position.w : 1.0;\n";
        s << "    vec4 clip = vec4((a_position.xy * u_rhwScale.xy + u_rhwScale.zw) * w, a_position.z * w, w);\n";
        s << "    vec3 eye = vec3(0.0, 0.0, w);\n";
        if (k.fogKind == kFogTable) s << "    v_fogZ = a_position.z;\n";
    } else {
        s << "    vec4 pos = vec4(a_position.xyz, 1.0);\n";
        s << "    vec4 clip = u_wvp * pos;\n";
        if (needEye) s << "    vec3 eye = (u_wv * pos).xyz;\n";
        if (k.fogKind == kFogVertex) s << "    v_fog = fogFactor(abs(eye.z));\n";
        if (k.fogKind == kFogTable)
            s << (k.fogByZ ? "    v_fogZ = clip.w != 0.0 ? clip.z / clip.w : 0.0;\n" : "    v_fogW = clip.w;\n");
    }
    if (k.fogKind == kFogSpecular) s << "    v_fog = " << (k.hasSpecular ? "a_specular.a" : "1.0") << ";\n";
    if (k.lighting) {
        s << "    vec3 N = " << (k.hasNormal ? "u_normalMat * a_normal" : "vec3(0.0)") << ";\n";
        if (k.normalizeNormals && k.hasNormal) s << "    N = length(N) > 0.0 ? normalize(N) : N;\n";
        s << "    vec4 dm = " << MaterialSource(k.diffuseSrc, "u_matDiffuse") << ";\n";
        s << "    vec4 am = " << MaterialSource(k.ambientSrc, "u_matAmbient") << ";\n";
        s << "    vec4 sm = " << MaterialSource(k.specularSrc, "u_matSpecular") << ";\n";
        s << "    vec4 em = " << MaterialSource(k.emissiveSrc, "u_matEmissive") << ";\n";
        s << "    vec3 amb = u_globalAmbient.rgb;\n    vec3 dif = vec3(0.0);\n    vec3 spe = vec3(0.0);\n";
        if (k.specularEnable)
            s << "    vec3 V = "
              << (k.localViewer ? "length(eye) > 0.0 ? -normalize(eye) : vec3(0.0, 0.0, -1.0)" : "vec3(0.0, 0.0, -1.0)")
              << ";\n";
        for (int i = 0; i < k.lightCount; ++i) {
            s << "    {\n";
            if (k.lightType[i] == D3DLIGHT_DIRECTIONAL) {
                s << "        vec3 L = u_lightDir[" << i << "];\n        float att = 1.0;\n";
            } else {
                s << "        vec3 d = u_lightPos[" << i << "] - eye;\n";
                s << "        float dist = length(d);\n";
                s << "        vec3 L = dist > 0.0 ? d / dist : vec3(0.0, 0.0, -1.0);\n";
                s << "        vec4 at = u_lightAtt[" << i << "];\n";
                s << "        float den = at.x + at.y * dist + at.z * dist * dist;\n";
                s << "        float att = dist > at.w ? 0.0 : (den > 0.0 ? 1.0 / den : 1.0);\n";
                if (k.lightType[i] == D3DLIGHT_SPOT) {
                    // The cone: full inside Theta, none outside Phi, Falloff between.
                    s << "        vec4 sp = u_lightSpot[" << i << "];\n";
                    s << "        float rho = dot(L, u_lightDir[" << i << "]);\n";
                    s << "        att *= rho > sp.x ? 1.0 : (rho <= sp.y ? 0.0 : pow((rho - sp.y) / (sp.x - sp.y), "
                         "sp.z));\n";
                }
            }
            s << "        amb += u_lightAmbient[" << i << "].rgb * att;\n";
            s << "        float nl = max(dot(N, L), 0.0);\n";
            s << "        dif += u_lightDiffuse[" << i << "].rgb * nl * att;\n";
            if (k.specularEnable) {
                s << "        if (nl > 0.0) {\n";
                s << "            vec3 H = normalize(L + V);\n";
                s << "            spe += u_lightSpecular[" << i
                  << "].rgb * pow(max(dot(N, H), 0.0), u_matPower) * att;\n";
                s << "        }\n";
            }
            s << "    }\n";
        }
        s << "    v_diffuse = vec4(clamp(em.rgb + am.rgb * amb + dm.rgb * dif, 0.0, 1.0), clamp(dm.a, 0.0, 1.0));\n";
        if (k.specularEnable) s << "    v_specular = vec4(clamp(sm.rgb * spe, 0.0, 1.0), clamp(sm.a, 0.0, 1.0));\n";
    } else {
        if (diffuseVaries) s << "    v_diffuse = a_diffuse;\n";
        if (k.specularEnable) s << "    v_specular = " << (k.hasSpecular ? "a_specular" : "vec4(0.0)") << ";\n";
    }
    if (texGen) {
        s << "    vec3 tn = " << (k.hasNormal ? "u_normalMat * a_normal" : "vec3(0.0)") << ";\n";
        s << "    vec3 te = "
          << (k.localViewer ? "length(eye) > 0.0 ? -normalize(eye) : vec3(0.0, 0.0, -1.0)" : "vec3(0.0, 0.0, -1.0)")
          << ";\n";
    }
    for (int i = 0; i < k.stageCount; ++i) {
        const StageKey& st = k.stages[i];
        if (!st.hasTexture) continue;
        const int set = st.texCoord;
        const std::string out = "    v_tex" + std::to_string(i) + " = ";
        if (!st.texGen && !st.texTransformCount) {
            s << out << (set < k.texCount ? "a_tex" + std::to_string(set) + ".xy" : std::string("vec2(0.0)")) << ";\n";
            continue;
        }
        std::string src;
        if (st.texGen == (D3DTSS_TCI_CAMERASPACENORMAL >> 16))
            src = "vec4(tn, 1.0)";
        else if (st.texGen == (D3DTSS_TCI_CAMERASPACEPOSITION >> 16))
            src = "vec4(eye, 1.0)";
        else if (st.texGen == (D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR >> 16))
            src = "vec4(2.0 * dot(te, tn) * tn - te, 1.0)";
        else if (set < k.texCount)
            src = PaddedCoord(set, st.texComps);
        else
            src = "vec4(0.0)";
        s << "    {\n        vec4 tc = " << src << ";\n";
        // Pre-transformed vertices keep their coordinates; only the
        // projection applies to them.
        if (st.texTransformCount && !k.rhw) s << "        tc = u_texMat[" << i << "] * tc;\n";
        const int count = st.texTransformCount;
        if (st.texProjected)
            s << "    " << out << "vec3(tc.xy, tc[" << (count - 1) << "]);\n";
        else if (count == 1)
            s << "    " << out << "vec2(tc.x, 0.0);\n";
        else
            s << "    " << out << "tc.xy;\n";
        s << "    }\n";
    }
    if (k.points) {
        s << "    float size = " << (k.hasPSize ? "a_psize" : "u_pointParams.x") << ";\n";
        if (k.pointScale && !k.rhw) {
            s << "    float de = length(eye);\n";
            s << "    float q = u_pointScale.x + u_pointScale.y * de + u_pointScale.z * de * de;\n";
            s << "    size = u_pointParams.w * size * (q > 0.0 ? sqrt(1.0 / q) : 1.0);\n";
        }
        s << "    gl_PointSize = clamp(size, u_pointParams.y, u_pointParams.z);\n";
    }
    s << "    gl_Position = fixupPosition(clip);\n";
    // A point of size 0 draws nothing: its vertex moves outside the clip volume.
    if (k.points) s << "    if (!(size > 0.0)) gl_Position = vec4(2.0, 2.0, 0.0, 1.0);\n";
    s << "}\n";
    return s.str();
}

std::string FFFragmentSource(const FFKey& k)
{
    std::ostringstream s;
    s << "#version 330 core\n";
    const std::string shade = k.flatShade ? "flat " : "";
    s << (k.lighting || k.hasDiffuse ? shade + "in vec4 v_diffuse;\n" : "const vec4 v_diffuse = vec4(1.0);\n");
    if (k.specularEnable) s << shade << "in vec4 v_specular;\n";
    if (k.fogKind == kFogVertex || k.fogKind == kFogSpecular) s << "in float v_fog;\n";
    if (k.fogKind == kFogTable) s << (k.fogByZ ? "noperspective in float v_fogZ;\n" : "in float v_fogW;\n");
    for (int i = 0; i < k.stageCount; ++i)
        if (k.stages[i].hasTexture)
            s << "in " << (k.stages[i].texProjected ? "vec3" : "vec2") << " v_tex" << i
              << ";\nuniform sampler2D u_sampler" << i << ";\n";
    s << "uniform vec4 u_tfactor;\nuniform vec4 u_fogColor;\nuniform vec4 u_fogParams;\nuniform float u_alphaRef;\n";
    if (k.fogKind == kFogTable) s << FogFunction(k.fogMode);
    bool srgbRead = false;
    for (int i = 0; i < k.stageCount; ++i) srgbRead = srgbRead || (k.stages[i].hasTexture && k.stages[i].srgbRead);
    if (srgbRead)
        s << "vec4 fromSrgb(vec4 c) {\n"
             "    return vec4(mix(c.rgb / 12.92, pow((c.rgb + 0.055) / 1.055, vec3(2.4)), "
             "greaterThan(c.rgb, vec3(0.04045))), c.a);\n}\n";
    if (k.srgbWrite)
        s << "vec3 toSrgb(vec3 c) {\n"
             "    c = clamp(c, 0.0, 1.0);\n"
             "    return mix(12.92 * c, 1.055 * pow(c, vec3(1.0 / 2.4)) - 0.055, greaterThan(c, "
             "vec3(0.0031308)));\n}\n";
    s << "out vec4 o_color;\n";
    s << "void main() {\n";
    s << "    vec4 diffuse = v_diffuse;\n";
    s << "    vec4 specular = " << (k.specularEnable ? "v_specular" : "vec4(0.0)") << ";\n";
    s << "    vec4 current = diffuse;\n    vec4 temp = vec4(0.0);\n";
    for (int i = 0; i < k.stageCount; ++i) {
        const StageKey& st = k.stages[i];
        if (st.hasTexture) {
            if (k.points && k.pointSprite)
                s << "    vec4 tex" << i << " = texture(u_sampler" << i << ", gl_PointCoord);\n";
            else if (st.texProjected)
                s << "    vec4 tex" << i << " = texture(u_sampler" << i << ", v_tex" << i << ".xy / v_tex" << i
                  << ".z);\n";
            else
                s << "    vec4 tex" << i << " = texture(u_sampler" << i << ", v_tex" << i << ");\n";
        } else {
            s << "    vec4 tex" << i << " = vec4(0.0, 0.0, 0.0, 1.0);\n";
        }
        if (st.hasTexture && st.srgbRead) s << "    tex" << i << " = fromSrgb(tex" << i << ");\n";
        const std::string c0 = StageArg(st.colorArg0, i), c1 = StageArg(st.colorArg1, i),
                          c2 = StageArg(st.colorArg2, i);
        const std::string x0 = StageArg(st.alphaArg0, i), x1 = StageArg(st.alphaArg1, i),
                          x2 = StageArg(st.alphaArg2, i);
        std::string color;
        if (!StageColorSpecial(st.colorOp, c1, c2, &color))
            color = StageOp(st.colorOp, c0 + ".rgb", c1 + ".rgb", c2 + ".rgb", ".rgb", i);
        std::string alpha;
        if (st.colorOp == D3DTOP_DOTPRODUCT3)
            alpha = "c.r";  // the dot product goes to alpha too, whatever the alpha operation
        else if (st.alphaOp == D3DTOP_DISABLE)
            alpha = "current.a";
        else
            alpha = StageOp(st.alphaOp, x0 + ".a", x1 + ".a", x2 + ".a", ".a", i);
        s << "    {\n";
        s << "        vec3 c = " << color << ";\n";
        s << "        float a = " << alpha << ";\n";
        s << "        current = clamp(vec4(c, a), 0.0, 1.0);\n";
        s << "    }\n";
    }
    if (k.specularEnable) s << "    current.rgb = clamp(current.rgb + specular.rgb, 0.0, 1.0);\n";
    if (k.alphaFunc) {
        const char* op = CompareOp(k.alphaFunc);
        if (!op)
            s << "    discard;\n";
        else if (*op) {
            s << "    float alpha8 = floor(clamp(current.a, 0.0, 1.0) * 255.0 + 0.5);\n";
            s << "    if (!(alpha8 " << op << " u_alphaRef)) discard;\n";
        }
    }
    if (k.fogKind == kFogTable) {
        // Orthographic projections (and pre-transformed vertices) fog by
        // device depth, perspective ones by w.
        s << "    float f = fogFactor(" << (k.fogByZ ? "v_fogZ" : "abs(v_fogW)") << ");\n";
        s << "    current.rgb = mix(u_fogColor.rgb, current.rgb, f);\n";
    } else if (k.fogKind) {
        s << "    current.rgb = mix(u_fogColor.rgb, current.rgb, clamp(v_fog, 0.0, 1.0));\n";
    }
    s << (k.srgbWrite ? "    o_color = vec4(toSrgb(current.rgb), current.a);\n" : "    o_color = current;\n");
    s << "}\n";
    return s.str();
}

FFProgram BuildFFProgram(const FFKey& key)
{
    FFProgram p;
    const GLuint vs = Compile(GL_VERTEX_SHADER, FFVertexSource(key));
    const GLuint fs = Compile(GL_FRAGMENT_SHADER, FFFragmentSource(key));
    if (!vs || !fs) {
        if (vs) glDeleteShader(vs);
        if (fs) glDeleteShader(fs);
        return p;
    }
    GLuint prog = glCreateProgram();
    glAttachShader(prog, vs);
    glAttachShader(prog, fs);
    glBindFragDataLocation(prog, 0, "o_color");
    glLinkProgram(prog);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = 0;
    glGetProgramiv(prog, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        glGetProgramInfoLog(prog, sizeof(log) - 1, nullptr, log);
        fprintf(stderr, "device: fixed-function program does not link: %s\n", log);
        glDeleteProgram(prog);
        return p;
    }
    p.program = prog;
    p.wvp = glGetUniformLocation(prog, "u_wvp");
    p.wv = glGetUniformLocation(prog, "u_wv");
    p.normalMat = glGetUniformLocation(prog, "u_normalMat");
    p.posFixup = glGetUniformLocation(prog, "u_posFixup");
    p.rhwScale = glGetUniformLocation(prog, "u_rhwScale");
    p.matDiffuse = glGetUniformLocation(prog, "u_matDiffuse");
    p.matAmbient = glGetUniformLocation(prog, "u_matAmbient");
    p.matSpecular = glGetUniformLocation(prog, "u_matSpecular");
    p.matEmissive = glGetUniformLocation(prog, "u_matEmissive");
    p.matPower = glGetUniformLocation(prog, "u_matPower");
    p.globalAmbient = glGetUniformLocation(prog, "u_globalAmbient");
    p.lightDiffuse = glGetUniformLocation(prog, "u_lightDiffuse");
    p.lightAmbient = glGetUniformLocation(prog, "u_lightAmbient");
    p.lightSpecular = glGetUniformLocation(prog, "u_lightSpecular");
    p.lightDir = glGetUniformLocation(prog, "u_lightDir");
    p.lightPos = glGetUniformLocation(prog, "u_lightPos");
    p.lightAtt = glGetUniformLocation(prog, "u_lightAtt");
    p.lightSpot = glGetUniformLocation(prog, "u_lightSpot");
    p.texMat = glGetUniformLocation(prog, "u_texMat");
    p.pointParams = glGetUniformLocation(prog, "u_pointParams");
    p.pointScale = glGetUniformLocation(prog, "u_pointScale");
    p.tfactor = glGetUniformLocation(prog, "u_tfactor");
    p.fogColor = glGetUniformLocation(prog, "u_fogColor");
    p.fogParams = glGetUniformLocation(prog, "u_fogParams");
    p.alphaRef = glGetUniformLocation(prog, "u_alphaRef");
    glUseProgram(prog);
    for (int i = 0; i < kMaxFFStages; ++i) {
        const std::string name = "u_sampler" + std::to_string(i);
        p.sampler[i] = glGetUniformLocation(prog, name.c_str());
        if (p.sampler[i] >= 0) glUniform1i(p.sampler[i], i);
    }
    return p;
}

}  // namespace d3d9gl

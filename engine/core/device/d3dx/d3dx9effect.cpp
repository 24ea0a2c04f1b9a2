// ID3DXEffect: one GLSL program per pass, installed in the device for the
// draws between BeginPass and EndPass; parameters are kept here and sent to
// the program before each draw.
#include "d3dx9effect.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include <epoxy/gl.h>

#include "d3dx/Buffer.h"
#include "d3d9/DeviceGL.h"
#include "d3dx/EffectFile.h"
#include "d3dx/FileBytes.h"
#include "d3d9/Unknown.h"

// The device's side of the seam, referenced weakly: a device without the
// program hook gives effects that fail to load rather than a library that
// fails to link.
unsigned D3D9GL_TextureName(IDirect3DBaseTexture9* texture) __attribute__((weak));
bool D3D9GL_MakeCurrent(IDirect3DDevice9* device) __attribute__((weak));
const char* D3D9GL_PositionFixupGLSL() __attribute__((weak));
void D3D9GL_SetPositionFixup(IDirect3DDevice9* device, unsigned program) __attribute__((weak));
void D3D9GL_SetProgramOverride(IDirect3DDevice9* device, unsigned program, D3D9GL_ProgramHook hook, void* user)
    __attribute__((weak));

namespace {

using d3dx::detail::EffectFile;
using d3dx::detail::EffectParamType;

bool SeamPresent()
{
    return D3D9GL_TextureName && D3D9GL_MakeCurrent && D3D9GL_PositionFixupGLSL && D3D9GL_SetPositionFixup &&
           D3D9GL_SetProgramOverride;
}

int FloatsOf(EffectParamType t)
{
    switch (t) {
        case EffectParamType::Float:
        case EffectParamType::Int:
        case EffectParamType::Bool:
            return 1;
        case EffectParamType::Vec2:
            return 2;
        case EffectParamType::Vec3:
            return 3;
        case EffectParamType::Vec4:
            return 4;
        case EffectParamType::Mat3:
            return 9;
        case EffectParamType::Mat4:
            return 16;
        case EffectParamType::Texture:
            return 0;
    }
    return 0;
}

// Vertex inputs by the name a stage gives them, at the device's locations.
const struct {
    const char* name;
    GLuint location;
} kInputs[] = {
    {"POSITION", D3D9GL_ATTRIB_POSITION},
    {"NORMAL", D3D9GL_ATTRIB_NORMAL},
    {"COLOR0", D3D9GL_ATTRIB_DIFFUSE},
    {"COLOR1", D3D9GL_ATTRIB_SPECULAR},
    {"PSIZE", D3D9GL_ATTRIB_PSIZE},
    {"TEXCOORD0", D3D9GL_ATTRIB_TEXCOORD0},
    {"TEXCOORD1", D3D9GL_ATTRIB_TEXCOORD0 + 1},
    {"TEXCOORD2", D3D9GL_ATTRIB_TEXCOORD0 + 2},
    {"TEXCOORD3", D3D9GL_ATTRIB_TEXCOORD0 + 3},
};

struct Parameter {
    std::string name;
    EffectParamType type;
    int count;
    std::vector<float> values;  // FloatsOf(type) * count
    IDirect3DBaseTexture9* texture = nullptr;
};

struct Pass {
    std::string name;
    GLuint program = 0;
    std::vector<GLint> locations;  // per parameter, -1 when unused
};

struct Technique {
    std::string name;
    std::vector<Pass> passes;
};

std::string ShaderLog(GLuint shader)
{
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(size_t(length > 0 ? length : 1), '\0');
    glGetShaderInfoLog(shader, GLsizei(log.size()), nullptr, &log[0]);
    return log.c_str();
}

std::string ProgramLog(GLuint program)
{
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::string log(size_t(length > 0 ? length : 1), '\0');
    glGetProgramInfoLog(program, GLsizei(log.size()), nullptr, &log[0]);
    return log.c_str();
}

GLuint Compile(GLenum kind, const std::string& source, std::string& error)
{
    GLuint shader = glCreateShader(kind);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        error = ShaderLog(shader);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

class Effect final : public d3d9gl::Unknown<ID3DXEffect> {
public:
    explicit Effect(IDirect3DDevice9* device) : device_(device) { device_->AddRef(); }

    // Builds every pass's program; false with the reason in error.
    bool Build(const EffectFile& file, const std::string& prelude, std::string& error)
    {
        for (const auto& p : file.parameters) {
            Parameter q;
            q.name = p.name;
            q.type = p.type;
            q.count = p.arraySize;
            q.values.assign(size_t(FloatsOf(p.type)) * size_t(p.arraySize), 0.0f);
            params_.push_back(std::move(q));
        }
        std::string vertexPrelude = prelude + D3D9GL_PositionFixupGLSL() + "\n#define main d3dx_stage_main\n";
        const std::string vertexTail =
            "\n#undef main\nvoid main() {\n    d3dx_stage_main();\n"
            "    gl_Position = d3d9PositionFixup(gl_Position);\n}\n";
        for (const auto& t : file.techniques) {
            Technique tech;
            tech.name = t.name;
            for (const auto& p : t.passes) {
                Pass pass;
                pass.name = p.name;
                std::string why;
                GLuint vs = Compile(GL_VERTEX_SHADER,
                                    d3dx::detail::StageSource(file, p.vertex, true, vertexPrelude) + vertexTail, why);
                if (!vs) {
                    error = "technique " + t.name + ", pass " + p.name + ", vertex stage:\n" + why;
                    techniques_.push_back(std::move(tech));
                    return false;
                }
                GLuint fs =
                    Compile(GL_FRAGMENT_SHADER, d3dx::detail::StageSource(file, p.fragment, false, prelude), why);
                if (!fs) {
                    glDeleteShader(vs);
                    error = "technique " + t.name + ", pass " + p.name + ", fragment stage:\n" + why;
                    techniques_.push_back(std::move(tech));
                    return false;
                }
                pass.program = glCreateProgram();
                glAttachShader(pass.program, vs);
                glAttachShader(pass.program, fs);
                for (const auto& in : kInputs) glBindAttribLocation(pass.program, in.location, in.name);
                glLinkProgram(pass.program);
                glDeleteShader(vs);
                glDeleteShader(fs);
                GLint ok = GL_FALSE;
                glGetProgramiv(pass.program, GL_LINK_STATUS, &ok);
                if (ok != GL_TRUE) {
                    error = "technique " + t.name + ", pass " + p.name + ", link:\n" + ProgramLog(pass.program);
                    tech.passes.push_back(std::move(pass));
                    techniques_.push_back(std::move(tech));
                    return false;
                }
                for (const auto& q : params_)
                    pass.locations.push_back(glGetUniformLocation(pass.program, q.name.c_str()));
                tech.passes.push_back(std::move(pass));
            }
            techniques_.push_back(std::move(tech));
        }
        return true;
    }

    HRESULT GetDesc(D3DXEFFECT_DESC* desc) override
    {
        if (!desc) return D3DERR_INVALIDCALL;
        desc->Creator = "d3d9layer";
        desc->Parameters = UINT(params_.size());
        desc->Techniques = UINT(techniques_.size());
        desc->Functions = 0;
        return D3D_OK;
    }
    D3DXHANDLE GetParameterByName(D3DXHANDLE parent, LPCSTR name) override
    {
        if (parent || !name) return nullptr;
        Parameter* p = Find(name);
        return p ? p->name.c_str() : nullptr;
    }
    D3DXHANDLE GetTechniqueByName(LPCSTR name) override
    {
        int t = FindTechnique(name);
        return t >= 0 ? techniques_[size_t(t)].name.c_str() : nullptr;
    }
    D3DXHANDLE GetTechnique(UINT index) override
    {
        return index < techniques_.size() ? techniques_[index].name.c_str() : nullptr;
    }

    HRESULT SetFloat(D3DXHANDLE h, FLOAT value) override { return SetFloats(h, &value, 1, false); }
    HRESULT SetFloatArray(D3DXHANDLE h, const FLOAT* values, UINT count) override
    {
        if (!values) return D3DERR_INVALIDCALL;
        return SetFloats(h, values, count, false);
    }
    HRESULT SetInt(D3DXHANDLE h, INT value) override
    {
        float f = float(value);
        return SetFloats(h, &f, 1, false);
    }
    HRESULT SetBool(D3DXHANDLE h, BOOL value) override
    {
        float f = value ? 1.0f : 0.0f;
        return SetFloats(h, &f, 1, false);
    }
    HRESULT SetVector(D3DXHANDLE h, const D3DXVECTOR4* v) override
    {
        if (!v) return D3DERR_INVALIDCALL;
        float f[4] = {v->x, v->y, v->z, v->w};
        Parameter* p = Find(h);
        if (!p || p->type == EffectParamType::Texture) return D3DERR_INVALIDCALL;
        return SetFloats(h, f, UINT(std::min(4, FloatsOf(p->type))), false);
    }
    HRESULT SetMatrix(D3DXHANDLE h, const D3DXMATRIX* m) override
    {
        if (!m) return D3DERR_INVALIDCALL;
        Parameter* p = Find(h);
        if (!p) return D3DERR_INVALIDCALL;
        if (p->type == EffectParamType::Mat4) return SetFloats(h, &m->_11, 16, true);
        if (p->type == EffectParamType::Mat3) {
            float f[9] = {m->_11, m->_12, m->_13, m->_21, m->_22, m->_23, m->_31, m->_32, m->_33};
            return SetFloats(h, f, 9, true);
        }
        return D3DERR_INVALIDCALL;
    }
    HRESULT SetTexture(D3DXHANDLE h, LPDIRECT3DBASETEXTURE9 texture) override
    {
        Parameter* p = Find(h);
        if (!p || p->type != EffectParamType::Texture) return D3DERR_INVALIDCALL;
        if (texture) texture->AddRef();
        if (p->texture) p->texture->Release();
        p->texture = texture;
        return D3D_OK;
    }
    HRESULT GetFloat(D3DXHANDLE h, FLOAT* value) override
    {
        Parameter* p = Find(h);
        if (!p || !value || p->values.empty()) return D3DERR_INVALIDCALL;
        *value = p->values[0];
        return D3D_OK;
    }
    HRESULT GetMatrix(D3DXHANDLE h, D3DXMATRIX* m) override
    {
        Parameter* p = Find(h);
        if (!p || !m || p->type != EffectParamType::Mat4) return D3DERR_INVALIDCALL;
        std::memcpy(&m->_11, p->values.data(), 16 * sizeof(float));
        return D3D_OK;
    }
    HRESULT SetTechnique(D3DXHANDLE h) override
    {
        int t = FindTechnique(h);
        if (t < 0) return D3DERR_INVALIDCALL;
        current_ = t;
        return D3D_OK;
    }
    D3DXHANDLE GetCurrentTechnique() override { return techniques_[size_t(current_)].name.c_str(); }

    HRESULT Begin(UINT* passes, DWORD) override
    {
        if (begun_) return D3DERR_INVALIDCALL;
        begun_ = true;
        if (passes) *passes = UINT(techniques_[size_t(current_)].passes.size());
        return D3D_OK;
    }
    HRESULT BeginPass(UINT index) override
    {
        const Technique& t = techniques_[size_t(current_)];
        if (!begun_ || pass_ >= 0 || index >= t.passes.size()) return D3DERR_INVALIDCALL;
        pass_ = int(index);
        SetSamplers(t.passes[index]);
        D3D9GL_SetProgramOverride(device_, t.passes[index].program, &Effect::Hook, this);
        return D3D_OK;
    }
    HRESULT CommitChanges() override { return pass_ >= 0 ? D3D_OK : D3DERR_INVALIDCALL; }
    HRESULT EndPass() override
    {
        if (pass_ < 0) return D3DERR_INVALIDCALL;
        D3D9GL_SetProgramOverride(device_, 0, nullptr, nullptr);
        pass_ = -1;
        return D3D_OK;
    }
    HRESULT End() override
    {
        if (!begun_) return D3DERR_INVALIDCALL;
        if (pass_ >= 0) EndPass();
        begun_ = false;
        return D3D_OK;
    }
    HRESULT GetDevice(LPDIRECT3DDEVICE9* device) override
    {
        if (!device) return D3DERR_INVALIDCALL;
        device_->AddRef();
        *device = device_;
        return D3D_OK;
    }
    HRESULT OnLostDevice() override { return D3D_OK; }
    HRESULT OnResetDevice() override { return D3D_OK; }

private:
    ~Effect()
    {
        if (pass_ >= 0) D3D9GL_SetProgramOverride(device_, 0, nullptr, nullptr);
        if (D3D9GL_MakeCurrent(device_)) {
            for (auto& t : techniques_)
                for (auto& p : t.passes)
                    if (p.program) glDeleteProgram(p.program);
        }
        for (auto& p : params_)
            if (p.texture) p.texture->Release();
        device_->Release();
    }

    Parameter* Find(D3DXHANDLE name)
    {
        if (!name) return nullptr;
        for (auto& p : params_)
            if (p.name == name) return &p;
        return nullptr;
    }
    int FindTechnique(D3DXHANDLE name)
    {
        if (!name) return -1;
        for (size_t i = 0; i < techniques_.size(); ++i)
            if (techniques_[i].name == name) return int(i);
        return -1;
    }

    HRESULT SetFloats(D3DXHANDLE h, const float* f, UINT count, bool matrix)
    {
        Parameter* p = Find(h);
        if (!p || p->type == EffectParamType::Texture) return D3DERR_INVALIDCALL;
        bool isMatrix = p->type == EffectParamType::Mat3 || p->type == EffectParamType::Mat4;
        if (isMatrix && !matrix && count < p->values.size()) return D3DERR_INVALIDCALL;
        size_t n = std::min<size_t>(count, p->values.size());
        std::copy(f, f + n, p->values.begin());
        return D3D_OK;
    }

    // Called by the device with the pass's program bound, before each draw.
    static void Hook(void* user) { static_cast<Effect*>(user)->Upload(); }

    void Upload()
    {
        if (pass_ < 0) return;
        const Pass& pass = techniques_[size_t(current_)].passes[size_t(pass_)];
        D3D9GL_SetPositionFixup(device_, pass.program);
        GLint unit = 0;
        for (size_t i = 0; i < params_.size(); ++i) {
            GLint loc = pass.locations[i];
            if (loc < 0) continue;
            const Parameter& p = params_[i];
            const float* v = p.values.data();
            switch (p.type) {
                case EffectParamType::Float:
                    glUniform1fv(loc, p.count, v);
                    break;
                case EffectParamType::Vec2:
                    glUniform2fv(loc, p.count, v);
                    break;
                case EffectParamType::Vec3:
                    glUniform3fv(loc, p.count, v);
                    break;
                case EffectParamType::Vec4:
                    glUniform4fv(loc, p.count, v);
                    break;
                case EffectParamType::Mat3:
                    glUniformMatrix3fv(loc, p.count, GL_FALSE, v);
                    break;
                case EffectParamType::Mat4:
                    glUniformMatrix4fv(loc, p.count, GL_FALSE, v);
                    break;
                case EffectParamType::Int:
                case EffectParamType::Bool:
                    for (int k = 0; k < p.count; ++k) glUniform1i(loc + k, GLint(v[k]));
                    break;
                case EffectParamType::Texture:
                    // Texture n of the pass sits on unit n and samples with sampler n's states.
                    if (unit >= kTextureUnits) break;
                    glActiveTexture(GLenum(GL_TEXTURE0 + unit));
                    glBindTexture(GL_TEXTURE_2D, p.texture ? D3D9GL_TextureName(p.texture) : 0);
                    glUniform1i(loc, unit);
                    ++unit;
                    break;
            }
        }
        glActiveTexture(GL_TEXTURE0);
    }

    // Bilinear, repeating sampling for the units the pass's textures use,
    // set as device sampler states (they stay set, as an effect's do).
    void SetSamplers(const Pass& pass)
    {
        int unit = 0;
        for (size_t i = 0; i < params_.size() && unit < kTextureUnits; ++i) {
            if (params_[i].type != EffectParamType::Texture || pass.locations[i] < 0) continue;
            DWORD u = DWORD(unit++);
            device_->SetSamplerState(u, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
            device_->SetSamplerState(u, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
            device_->SetSamplerState(u, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
            device_->SetSamplerState(u, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
            device_->SetSamplerState(u, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
        }
    }

    static constexpr int kTextureUnits = 8;

    IDirect3DDevice9* device_;
    std::vector<Parameter> params_;
    std::vector<Technique> techniques_;
    int current_ = 0;
    bool begun_ = false;
    int pass_ = -1;
};

void Report(LPD3DXBUFFER* errors, const std::string& message)
{
    if (errors) *errors = d3dx::detail::MakeTextBuffer(message);
}

}  // namespace

HRESULT WINAPI D3DXCreateEffect(LPDIRECT3DDEVICE9 device, LPCVOID srcData, UINT srcDataLen, const D3DXMACRO* defines,
                                LPD3DXINCLUDE, DWORD, LPD3DXEFFECTPOOL, LPD3DXEFFECT* effect,
                                LPD3DXBUFFER* compilationErrors)
{
    if (effect) *effect = nullptr;
    if (compilationErrors) *compilationErrors = nullptr;
    if (!device || !effect || !srcData) return D3DERR_INVALIDCALL;
    EffectFile file;
    std::string error;
    if (!d3dx::detail::ParseEffectFile(static_cast<const char*>(srcData), srcDataLen, file, &error)) {
        Report(compilationErrors, error);
        return D3DXERR_INVALIDDATA;
    }
    if (!SeamPresent()) {
        Report(compilationErrors, "effects: this device cannot run effect programs");
        return E_FAIL;
    }
    if (!D3D9GL_MakeCurrent(device)) {
        Report(compilationErrors, "effects: the device has no GL context");
        return E_FAIL;
    }
    std::string prelude;
    for (const D3DXMACRO* m = defines; m && m->Name; ++m) {
        prelude += "#define ";
        prelude += m->Name;
        prelude += " ";
        prelude += m->Definition ? m->Definition : "";
        prelude += "\n";
    }
    Effect* made = new (std::nothrow) Effect(device);
    if (!made) return E_OUTOFMEMORY;
    if (!made->Build(file, prelude, error)) {
        made->Release();
        Report(compilationErrors, error);
        return E_FAIL;
    }
    *effect = made;
    return D3D_OK;
}

HRESULT WINAPI D3DXCreateEffectFromFileA(LPDIRECT3DDEVICE9 device, LPCSTR srcFile, const D3DXMACRO* defines,
                                         LPD3DXINCLUDE include, DWORD flags, LPD3DXEFFECTPOOL pool,
                                         LPD3DXEFFECT* effect, LPD3DXBUFFER* compilationErrors)
{
    if (effect) *effect = nullptr;
    if (compilationErrors) *compilationErrors = nullptr;
    if (!device || !srcFile || !effect) return D3DERR_INVALIDCALL;
    std::vector<uint8_t> bytes;
    if (!d3dx::detail::ReadFileBytes(srcFile, bytes)) {
        Report(compilationErrors, std::string(srcFile) + ": cannot open the file");
        return E_FAIL;
    }
    if (bytes.empty()) {
        Report(compilationErrors, std::string(srcFile) + ": empty file");
        return D3DXERR_INVALIDDATA;
    }
    HRESULT hr = D3DXCreateEffect(device, bytes.data(), UINT(bytes.size()), defines, include, flags, pool, effect,
                                  compilationErrors);
    if (FAILED(hr) && compilationErrors && *compilationErrors) {
        std::string message =
            std::string(srcFile) + ": " + static_cast<const char*>((*compilationErrors)->GetBufferPointer());
        (*compilationErrors)->Release();
        Report(compilationErrors, message);
    }
    return hr;
}

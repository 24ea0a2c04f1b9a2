#include "d3dx/EffectFile.h"

#include <cctype>
#include <cstring>

namespace d3dx {
namespace detail {
namespace {

bool IsIdentStart(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool IsIdent(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

class Scanner {
public:
    Scanner(const char* text, size_t size) : p_(text), end_(text + size) {}

    // Skips blanks and comments; false on an unterminated block comment.
    bool SkipBlank()
    {
        while (p_ < end_) {
            if (*p_ == '\n') {
                ++line_;
                ++p_;
            } else if (std::isspace(static_cast<unsigned char>(*p_))) {
                ++p_;
            } else if (p_ + 1 < end_ && p_[0] == '/' && p_[1] == '/') {
                while (p_ < end_ && *p_ != '\n') ++p_;
            } else if (p_ + 1 < end_ && p_[0] == '/' && p_[1] == '*') {
                p_ += 2;
                for (;;) {
                    if (p_ + 1 >= end_) return Fail("unterminated comment");
                    if (p_[0] == '*' && p_[1] == '/') break;
                    if (*p_ == '\n') ++line_;
                    ++p_;
                }
                p_ += 2;
            } else {
                break;
            }
        }
        return true;
    }

    bool AtEnd() const { return p_ >= end_; }
    char Peek() const { return p_ < end_ ? *p_ : '\0'; }

    bool Identifier(std::string& out)
    {
        if (!SkipBlank()) return false;
        if (p_ >= end_ || !IsIdentStart(*p_)) return false;
        const char* start = p_;
        while (p_ < end_ && IsIdent(*p_)) ++p_;
        out.assign(start, p_);
        return true;
    }

    bool Expect(char c)
    {
        if (!SkipBlank()) return false;
        if (p_ >= end_ || *p_ != c) return Fail(std::string("expected '") + c + "'");
        ++p_;
        return true;
    }

    // After an opening brace: everything up to its matching closing brace.
    bool Block(EffectStage& stage)
    {
        if (!Expect('{')) return false;
        stage.line = line_;
        const char* start = p_;
        int depth = 1;
        while (p_ < end_) {
            char c = *p_;
            if (c == '\0') return Fail("NUL byte in shader text");
            if (c == '\n') {
                ++line_;
            } else if (c == '/' && p_ + 1 < end_ && p_[1] == '/') {
                while (p_ < end_ && *p_ != '\n') ++p_;
                continue;
            } else if (c == '/' && p_ + 1 < end_ && p_[1] == '*') {
                p_ += 2;
                while (p_ + 1 < end_ && !(p_[0] == '*' && p_[1] == '/')) {
                    if (*p_ == '\n') ++line_;
                    ++p_;
                }
                if (p_ + 1 >= end_) return Fail("unterminated comment");
                p_ += 2;
                continue;
            } else if (c == '{') {
                ++depth;
            } else if (c == '}') {
                if (--depth == 0) {
                    stage.source.assign(start, p_);
                    ++p_;
                    return true;
                }
            }
            ++p_;
        }
        return Fail("missing '}' at the end of the file");
    }

    bool Fail(const std::string& what)
    {
        if (message_.empty()) message_ = "line " + std::to_string(line_) + ": " + what;
        return false;
    }

    const std::string& Message() const { return message_; }
    int Line() const { return line_; }

private:
    const char* p_;
    const char* end_;
    int line_ = 1;
    std::string message_;
};

bool TypeFromName(const std::string& n, EffectParamType& t)
{
    static const struct {
        const char* name;
        EffectParamType type;
    } kTypes[] = {
        {"float", EffectParamType::Float}, {"vec2", EffectParamType::Vec2}, {"vec3", EffectParamType::Vec3},
        {"vec4", EffectParamType::Vec4},   {"mat3", EffectParamType::Mat3}, {"mat4", EffectParamType::Mat4},
        {"int", EffectParamType::Int},     {"bool", EffectParamType::Bool}, {"sampler2D", EffectParamType::Texture},
    };
    for (const auto& k : kTypes)
        if (n == k.name) {
            t = k.type;
            return true;
        }
    return false;
}

// Collects `uniform type name[n];` declarations from GLSL text (comments skipped).
bool CollectUniforms(const std::string& src, int line, std::vector<EffectParameter>& params, std::string* error)
{
    Scanner s(src.data(), src.size());
    std::vector<std::string> tokens;
    auto declare = [&](const EffectParameter& p) {
        for (const EffectParameter& q : params) {
            if (q.name != p.name) continue;
            if (q.type == p.type && q.arraySize == p.arraySize) return true;
            if (error)
                *error = "line " + std::to_string(line + s.Line() - 1) + ": parameter '" + p.name +
                         "' declared twice with different types";
            return false;
        }
        params.push_back(p);
        return true;
    };
    while (true) {
        if (!s.SkipBlank()) return true;  // the compiler reports bad comments
        if (s.AtEnd()) return true;
        std::string word;
        if (!s.Identifier(word)) {
            s.Expect(s.Peek());  // step over one punctuation character
            continue;
        }
        if (word != "uniform") continue;
        std::string typeName, name;
        // Precision qualifiers may sit between `uniform` and the type.
        if (!s.Identifier(typeName)) continue;
        if (typeName == "lowp" || typeName == "mediump" || typeName == "highp")
            if (!s.Identifier(typeName)) continue;
        EffectParamType type;
        if (!TypeFromName(typeName, type)) continue;  // left to the compiler
        if (!s.Identifier(name)) continue;
        EffectParameter p;
        p.name = name;
        p.type = type;
        s.SkipBlank();
        if (s.Peek() == '[') {
            s.Expect('[');
            s.SkipBlank();
            int n = 0;
            while (std::isdigit(static_cast<unsigned char>(s.Peek())) && n < 100000) {
                n = n * 10 + (s.Peek() - '0');
                s.Expect(s.Peek());
            }
            if (n <= 0) continue;
            p.arraySize = n;
        }
        if (!declare(p)) return false;
    }
}

}  // namespace

const EffectParameter* EffectFile::FindParameter(const std::string& name) const
{
    for (const EffectParameter& p : parameters)
        if (p.name == name) return &p;
    return nullptr;
}

bool ParseEffectFile(const char* text, size_t size, EffectFile& out, std::string* error)
{
    out = EffectFile();
    Scanner s(text ? text : "", text ? size : 0);
    auto fail = [&](const std::string& what) {
        if (!what.empty()) s.Fail(what);
        if (error) *error = s.Message();
        out = EffectFile();
        return false;
    };
    bool haveShared = false;
    while (true) {
        if (!s.SkipBlank()) return fail("");
        if (s.AtEnd()) break;
        std::string word;
        if (!s.Identifier(word)) return fail("expected 'shared' or 'technique'");
        if (word == "shared") {
            if (haveShared) return fail("second 'shared' block");
            if (!s.Block(out.shared)) return fail("");
            haveShared = true;
        } else if (word == "technique") {
            EffectTechnique tech;
            if (!s.Identifier(tech.name)) return fail("expected a technique name");
            if (!s.Expect('{')) return fail("");
            while (true) {
                if (!s.SkipBlank()) return fail("");
                if (s.Peek() == '}') {
                    s.Expect('}');
                    break;
                }
                std::string passWord;
                if (!s.Identifier(passWord) || passWord != "pass") return fail("expected 'pass' or '}'");
                EffectPass pass;
                if (!s.Identifier(pass.name)) return fail("expected a pass name");
                if (!s.Expect('{')) return fail("");
                bool haveVertex = false, haveFragment = false;
                while (true) {
                    if (!s.SkipBlank()) return fail("");
                    if (s.Peek() == '}') {
                        s.Expect('}');
                        break;
                    }
                    std::string stage;
                    if (!s.Identifier(stage)) return fail("expected 'vertex', 'fragment' or '}'");
                    if (stage == "vertex" && !haveVertex) {
                        if (!s.Block(pass.vertex)) return fail("");
                        haveVertex = true;
                    } else if (stage == "fragment" && !haveFragment) {
                        if (!s.Block(pass.fragment)) return fail("");
                        haveFragment = true;
                    } else {
                        return fail("unexpected '" + stage + "' in pass " + pass.name);
                    }
                }
                if (!haveVertex || !haveFragment)
                    return fail("pass " + pass.name + " needs a vertex and a fragment stage");
                tech.passes.push_back(std::move(pass));
            }
            if (tech.passes.empty()) return fail("technique " + tech.name + " has no pass");
            out.techniques.push_back(std::move(tech));
        } else {
            return fail("expected 'shared' or 'technique', found '" + word + "'");
        }
    }
    if (out.techniques.empty()) return fail("no technique in the file");

    std::string why;
    if (!CollectUniforms(out.shared.source, out.shared.line, out.parameters, &why)) return fail(why);
    for (const EffectTechnique& t : out.techniques)
        for (const EffectPass& p : t.passes)
            if (!CollectUniforms(p.vertex.source, p.vertex.line, out.parameters, &why) ||
                !CollectUniforms(p.fragment.source, p.fragment.line, out.parameters, &why))
                return fail(why);
    return true;
}

std::string StageSource(const EffectFile& file, const EffectStage& stage, bool vertex, const std::string& prelude)
{
    std::string src = "#version 330 core\n";
    src += vertex ? "#define VERTEX_STAGE 1\n" : "#define FRAGMENT_STAGE 1\n";
    src += prelude;
    if (!prelude.empty() && prelude.back() != '\n') src += "\n";
    if (!file.shared.source.empty()) {
        src += "#line " + std::to_string(file.shared.line) + "\n";
        src += file.shared.source;
        src += "\n";
    }
    src += "#line " + std::to_string(stage.line) + "\n";
    src += stage.source;
    src += "\n";
    return src;
}

}  // namespace detail
}  // namespace d3dx

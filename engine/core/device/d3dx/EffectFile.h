// The engine's effect files, read without a device. The form:
//
//   // comments as in C++
//   shared {                      GLSL put in front of every stage: uniforms
//       uniform mat4 WorldViewProj;   (the effect's parameters), helpers
//       uniform sampler2D tex01;
//   }
//   technique Main {              techniques in file order; the first is current
//       pass P0 {
//           vertex   { ...GLSL body of the vertex stage, with main()... }
//           fragment { ...GLSL body of the fragment stage... }
//       }
//   }
//
// Parameters are the `uniform` declarations found in the shared block and
// in every stage (float, vec2..vec4, mat3, mat4, int, bool, sampler2D, and
// arrays of them). Vertex inputs are named after the vertex format's parts:
// POSITION, NORMAL, COLOR0, COLOR1, PSIZE, TEXCOORD0 .. TEXCOORD3.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace d3dx {
namespace detail {

enum class EffectParamType { Float, Vec2, Vec3, Vec4, Mat3, Mat4, Int, Bool, Texture };

struct EffectParameter {
    std::string name;
    EffectParamType type = EffectParamType::Float;
    int arraySize = 1;
};

struct EffectStage {
    std::string source;  // the GLSL text between the braces
    int line = 0;        // file line of its first character
};

struct EffectPass {
    std::string name;
    EffectStage vertex;
    EffectStage fragment;
};

struct EffectTechnique {
    std::string name;
    std::vector<EffectPass> passes;
};

struct EffectFile {
    EffectStage shared;
    std::vector<EffectTechnique> techniques;
    std::vector<EffectParameter> parameters;

    const EffectParameter* FindParameter(const std::string& name) const;
};

// Parses the text of an effect file. False, with "line N: what is wrong" in
// error, for an empty or malformed file, a pass without both stages, a
// technique without passes, or conflicting declarations of one parameter.
bool ParseEffectFile(const char* text, size_t size, EffectFile& out, std::string* error);

// The full GLSL source of one stage of a pass, ready for the compiler:
// the version line, then prelude (definitions the caller adds), the shared
// block and the stage, with #line marks so messages name file lines.
std::string StageSource(const EffectFile& file, const EffectStage& stage, bool vertex,
                        const std::string& prelude = std::string());

}  // namespace detail
}  // namespace d3dx

// The engine's effect passes as plain GLSL for the floors that draw with
// the same programs: media/fx/terrain.fx (four layers blended by the alpha
// map, one sun) and media/fx/water.fx (the reflection through the du/dv
// ripples, blended with the water's colour by a Fresnel term). Attributes:
// terrain 0 position, 1 normal, 2 and 3 the two texture sets; water 0
// position, 1 texture coordinate.
#pragma once

namespace bench {

inline const char* kTerrainEffectVertex = R"(#version 330 core
layout(location = 0) in vec3 POSITION;
layout(location = 1) in vec3 NORMAL;
layout(location = 2) in vec2 TEXCOORD0;
layout(location = 3) in vec2 TEXCOORD1;
uniform mat4 World;
uniform mat4 WorldViewProj;
out vec2 detailCoord;
out vec2 layerCoord;
out float light;
void main() {
    vec3 normal = normalize(mat3(World) * -NORMAL);
    vec3 sun = normalize(vec3(0.3, 1.0, 0.2));
    light = 0.35 + 0.65 * max(dot(normal, sun), 0.0);
    detailCoord = TEXCOORD0;
    layerCoord = TEXCOORD1;
    gl_Position = WorldViewProj * vec4(POSITION, 1.0);
})";
inline const char* kTerrainEffectFragment = R"(#version 330 core
in vec2 detailCoord;
in vec2 layerCoord;
in float light;
uniform sampler2D alphatex1;
uniform sampler2D tex01;
uniform sampler2D tex02;
uniform sampler2D tex03;
uniform sampler2D tex04;
out vec4 colour;
void main() {
    vec4 w = texture(alphatex1, layerCoord);
    vec3 c = texture(tex01, detailCoord).rgb * w.b + texture(tex02, detailCoord).rgb * w.g +
             texture(tex03, detailCoord).rgb * w.r + texture(tex04, detailCoord).rgb * w.a;
    colour = vec4(c * light, 1.0);
})";
inline const char* kWaterEffectVertex = R"(#version 330 core
uniform mat4 ViewProj; uniform mat4 Mprojtex;
layout(location = 0) in vec4 POSITION; layout(location = 1) in vec2 TEXCOORD0;
out vec4 reflectCoord; out vec2 waveCoord; out vec3 toEye;
void main() {
    vec4 world = vec4(POSITION.xyz, 1.0);
    reflectCoord = Mprojtex * world;
    waveCoord = TEXCOORD0;
    vec4 eye = inverse(ViewProj) * vec4(0.0, 0.0, 1.0, 0.0);
    toEye = abs(eye.w) > 1e-6 ? eye.xyz / eye.w - world.xyz : vec3(0.0, 1.0, 0.0);
    gl_Position = ViewProj * world;
})";
inline const char* kWaterEffectFragment = R"(#version 330 core
uniform sampler2D Water; uniform sampler2D Dudv; uniform float DudvOffset;
in vec4 reflectCoord; in vec2 waveCoord; in vec3 toEye; out vec4 colour;
void main() {
    vec2 scroll = vec2(DudvOffset, DudvOffset * 0.5);
    vec2 wave = texture(Dudv, waveCoord + scroll).rg * 2.0 - 1.0;
    wave = 0.5 * (wave + texture(Dudv, waveCoord * 0.5 - scroll.yx).rg * 2.0 - 1.0);
    vec2 uv = reflectCoord.xy / reflectCoord.w + wave * 0.02;
    vec3 reflection = texture(Water, clamp(uv, 0.002, 0.998)).rgb;
    vec3 water = vec3(0.05, 0.2, 0.3);
    float facing = clamp(dot(normalize(toEye), vec3(0.0, 1.0, 0.0)), 0.0, 1.0);
    float fresnel = 0.3 + 0.7 * pow(1.0 - facing, 3.0);
    colour = vec4(mix(water, reflection, fresnel), 1.0);
})";

}  // namespace bench

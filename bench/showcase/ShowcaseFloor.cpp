#include "ShowcaseFloor.h"

#include "EffectPrograms.h"
#include "GlFloorSupport.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>

namespace {

bench::GlFloorWindow floorWindow;
SDL_Window* otherWindow = nullptr;
SDL_GLContext otherContext = nullptr;
const ShowcaseFloorData* scene = nullptr;

GLuint terrainProgram = 0, modelProgram = 0, skyProgram = 0, waterProgram = 0, spriteProgram = 0, quadProgram = 0;
GLuint terrainVao = 0, waterVao = 0, skyVao = 0, spriteVao = 0, quadVao = 0;
std::vector<GLuint> meshVaos;
GLuint terrainTextures[5] = {}, skyTextures[6] = {}, dudvTexture = 0, particleTexture = 0, guiTexture = 0;
std::vector<GLuint> modelTextures;
GLuint fbo = 0, fboColour = 0, fboDepth = 0;
int guiVertices = 0;
int draws = 0, triangles = 0;

// The fixed-function program of a lit, textured, fogged model: one
// directional light, material diffuse and ambient, linear fog by eye distance.
const char* kModelVertex = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 uv;
uniform mat4 World;
uniform mat4 ViewProj;
uniform vec3 Eye;
uniform vec2 Fog;
out vec2 vUv;
out vec3 vLight;
out float vFog;
void main() {
    vec4 world = World * vec4(position, 1.0);
    vec3 n = normalize(mat3(World) * normal);
    vec3 toLight = -normalize(vec3(0.1, -0.8, 0.1));
    vLight = min(vec3(0.4) + vec3(max(dot(n, toLight), 0.0)), vec3(1.0));
    vUv = uv;
    vFog = clamp((Fog.y - distance(world.xyz, Eye)) / (Fog.y - Fog.x), 0.0, 1.0);
    gl_Position = ViewProj * world;
})";
const char* kModelFragment = R"(#version 330 core
in vec2 vUv;
in vec3 vLight;
in float vFog;
uniform sampler2D tex;
uniform vec3 FogColour;
out vec4 colour;
void main() {
    vec4 c = texture(tex, vUv) * vec4(vLight, 1.0);
    colour = vec4(mix(FogColour, c.rgb, vFog), c.a);
})";

const char* kSkyVertex = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 uv;
uniform mat4 WorldViewProj;
out vec2 vUv;
void main() { vUv = uv; gl_Position = WorldViewProj * vec4(position, 1.0); })";
const char* kTexturedFragment = R"(#version 330 core
in vec2 vUv;
uniform sampler2D tex;
out vec4 colour;
void main() { colour = texture(tex, vUv); })";

// Point sprites with the device's size rule (viewport height x size / distance,
// at least 1) and alpha test.
const char* kSpriteVertex = R"(#version 330 core
layout(location = 0) in vec3 position;
uniform mat4 ViewProj;
uniform vec3 Eye;
uniform float Size;
void main() {
    gl_Position = ViewProj * vec4(position, 1.0);
    gl_PointSize = max(1.0, Size / max(distance(position, Eye), 1e-3));
})";
const char* kSpriteFragment = R"(#version 330 core
uniform sampler2D tex;
uniform vec4 Colour;
out vec4 colour;
void main() {
    vec4 c = texture(tex, gl_PointCoord) * Colour;
    if (c.a <= 1.0 / 255.0) discard;
    colour = c;
})";

const char* kQuadVertex = R"(#version 330 core
layout(location = 0) in vec2 pos;
layout(location = 1) in vec2 uv;
uniform vec4 rect;
out vec2 vUv;
void main() { vUv = uv; gl_Position = vec4(rect.xy + pos * rect.zw, 0.0, 1.0); })";

const float kSkyCube[6][4][5] = {
    {{-1, 1, 1, 0, 0}, {1, 1, 1, 1, 0}, {-1, -1, 1, 0, 1}, {1, -1, 1, 1, 1}},
    {{1, 1, 1, 0, 0}, {1, 1, -1, 1, 0}, {1, -1, 1, 0, 1}, {1, -1, -1, 1, 1}},
    {{1, 1, -1, 0, 0}, {-1, 1, -1, 1, 0}, {1, -1, -1, 0, 1}, {-1, -1, -1, 1, 1}},
    {{-1, 1, -1, 0, 0}, {-1, 1, 1, 1, 0}, {-1, -1, -1, 0, 1}, {-1, -1, 1, 1, 1}},
    {{-1, 1, -1, 0, 0}, {1, 1, -1, 1, 0}, {-1, 1, 1, 0, 1}, {1, 1, 1, 1, 1}},
    {{-1, -1, 1, 0, 0}, {1, -1, 1, 1, 0}, {-1, -1, -1, 0, 1}, {1, -1, -1, 1, 1}},
};

GLuint Texture(const FloorImage& image, GLint wrap)
{
    GLuint t = 0;
    glGenTextures(1, &t);
    glBindTexture(GL_TEXTURE_2D, t);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, std::max(1, image.width), std::max(1, image.height), 0, GL_BGRA,
                 GL_UNSIGNED_BYTE, image.bgra.empty() ? nullptr : image.bgra.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    return t;
}

void Samplers(GLuint program, std::initializer_list<const char*> names)
{
    glUseProgram(program);
    int unit = 0;
    for (const char* name : names) glUniform1i(glGetUniformLocation(program, name), unit++);
}

GLint At(GLuint program, const char* name)
{
    return glGetUniformLocation(program, name);
}

void Draw(GLenum mode, GLsizei count, int primitives, const void* offset = nullptr, bool indexed = false)
{
    if (indexed)
        glDrawElements(mode, count, GL_UNSIGNED_SHORT, offset);
    else
        glDrawArrays(mode, GLint(reinterpret_cast<size_t>(offset)), count);
    ++draws;
    triangles += primitives;
}

void Multiply(const float* a, const float* b, float* out)  // D3DX a x b
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            float s = 0;
            for (int k = 0; k < 4; ++k) s += a[r * 4 + k] * b[k * 4 + c];
            out[r * 4 + c] = s;
        }
}

// The terrain, the models and the sky behind them, as DrawWorld issues them.
void DrawPass(const FloorPass& pass)
{
    const ShowcaseFloorData& d = *scene;
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);

    glUseProgram(terrainProgram);
    glBindVertexArray(terrainVao);
    for (int k = 0; k < 5; ++k) {
        glActiveTexture(GL_TEXTURE0 + k);
        glBindTexture(GL_TEXTURE_2D, terrainTextures[k]);
    }
    glActiveTexture(GL_TEXTURE0);
    static const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    glUniformMatrix4fv(At(terrainProgram, "World"), 1, GL_FALSE, identity);
    glUniformMatrix4fv(At(terrainProgram, "WorldViewProj"), 1, GL_FALSE, pass.viewProj);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glCullFace(pass.cullFront ? GL_FRONT : GL_BACK);
    for (const FloorRange& r : pass.chunks)
        Draw(GL_TRIANGLES, r.count, r.count / 3, reinterpret_cast<void*>(size_t(r.first) * 2), true);
    glDisable(GL_CULL_FACE);

    glUseProgram(modelProgram);
    glUniformMatrix4fv(At(modelProgram, "ViewProj"), 1, GL_FALSE, pass.viewProj);
    glUniform3fv(At(modelProgram, "Eye"), 1, pass.eye);
    glUniform2f(At(modelProgram, "Fog"), d.fogStart, d.fogEnd);
    glUniform3fv(At(modelProgram, "FogColour"), 1, d.fogColour);
    for (const FloorModelDraw& m : pass.models) {
        glBindVertexArray(meshVaos[size_t(m.mesh)]);
        glBindTexture(GL_TEXTURE_2D, m.texture >= 0 ? modelTextures[size_t(m.texture)] : guiTexture);
        glUniformMatrix4fv(At(modelProgram, "World"), 1, GL_FALSE, m.world);
        Draw(GL_TRIANGLES, m.range.count, m.range.count / 3, reinterpret_cast<void*>(size_t(m.range.first) * 2), true);
    }

    // The sky behind everything: depth 1, tested, not written.
    glUseProgram(skyProgram);
    glBindVertexArray(skyVao);
    float wvp[16];
    Multiply(pass.skyWorld, pass.viewProj, wvp);
    glUniformMatrix4fv(At(skyProgram, "WorldViewProj"), 1, GL_FALSE, wvp);
    glDepthRange(1.0, 1.0);
    glDepthMask(GL_FALSE);
    for (int face = 0; face < 6; ++face) {
        glBindTexture(GL_TEXTURE_2D, skyTextures[face]);
        Draw(GL_TRIANGLE_STRIP, 4, 2, reinterpret_cast<void*>(size_t(4 * face)));
    }
    glDepthRange(0.0, 1.0);
    glDepthMask(GL_TRUE);
}

void DrawFrame()
{
    const ShowcaseFloorData& d = *scene;
    draws = triangles = 0;
    const float clear[3] = {0.3f, 0.3f, 1.0f};  // the reflection's clear colour 0xFF4D4DFF
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glViewport(0, 0, 256, 256);
    glClearColor(clear[0], clear[1], clear[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawPass(d.reflection);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, d.width, d.height);
    glClearColor(d.fogColour[0], d.fogColour[1], d.fogColour[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The water first, then the scene.
    glUseProgram(waterProgram);
    glBindVertexArray(waterVao);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, fboColour);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, dudvTexture);
    glActiveTexture(GL_TEXTURE0);
    glUniformMatrix4fv(At(waterProgram, "ViewProj"), 1, GL_FALSE, d.main.viewProj);
    glUniformMatrix4fv(At(waterProgram, "Mprojtex"), 1, GL_FALSE, d.texProj);
    glUniform1f(At(waterProgram, "DudvOffset"), d.dudvOffset);
    glEnable(GL_DEPTH_TEST);
    Draw(GL_TRIANGLE_STRIP, 4, 2);
    DrawPass(d.main);

    // The fountain: one draw per live particle, blended, depth tested, not written.
    glUseProgram(spriteProgram);
    glBindVertexArray(spriteVao);
    glBindTexture(GL_TEXTURE_2D, particleTexture);
    glUniformMatrix4fv(At(spriteProgram, "ViewProj"), 1, GL_FALSE, d.main.viewProj);
    glUniform3fv(At(spriteProgram, "Eye"), 1, d.main.eye);
    glUniform1f(At(spriteProgram, "Size"), float(d.height) * d.particleSize);
    glUniform4f(At(spriteProgram, "Colour"), 0.69f, 0.85f, 1.0f, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    for (size_t p = 0; p < d.particles.size() / 3; ++p) Draw(GL_POINTS, 1, 1, reinterpret_cast<void*>(p));
    glDepthMask(GL_TRUE);

    // The GUI and the text: the window, then its widgets and lines as small quads.
    glDisable(GL_DEPTH_TEST);
    glUseProgram(quadProgram);
    glBindVertexArray(quadVao);
    glBindTexture(GL_TEXTURE_2D, guiTexture);
    auto rect = [&](int x, int y, int w, int h) {
        glUniform4f(At(quadProgram, "rect"), 2.0f * x / d.width - 1.0f, 1.0f - 2.0f * (y + h) / d.height,
                    2.0f * w / d.width, 2.0f * h / d.height);
    };
    const int perDraw = std::max(2, d.guiDraws > 0 ? d.guiTriangles / d.guiDraws : 2);
    for (int i = 0; i < d.guiDraws; ++i) {
        if (i == 0)
            rect(d.width - 290, 20, 270, 356);
        else
            rect(d.width - 280 + i % 2 * 130, 55 + i / 2 % 11 * 30, 120, 28);
        Draw(GL_TRIANGLES, std::min(perDraw, guiVertices / 3) * 3, std::min(perDraw, guiVertices / 3));
    }
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}

}  // namespace

bool ShowcaseFloorOpen(const ShowcaseFloorData& data)
{
    otherWindow = SDL_GL_GetCurrentWindow();
    otherContext = SDL_GL_GetCurrentContext();
    scene = &data;
    if (!floorWindow.Open("showcase floor", data.width, data.height)) return false;
    glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);  // the device's depth range

    terrainProgram = bench::LinkGlProgram(bench::kTerrainEffectVertex, bench::kTerrainEffectFragment);
    waterProgram = bench::LinkGlProgram(bench::kWaterEffectVertex, bench::kWaterEffectFragment);
    modelProgram = bench::LinkGlProgram(kModelVertex, kModelFragment);
    skyProgram = bench::LinkGlProgram(kSkyVertex, kTexturedFragment);
    spriteProgram = bench::LinkGlProgram(kSpriteVertex, kSpriteFragment);
    quadProgram = bench::LinkGlProgram(kQuadVertex, kTexturedFragment);
    if (!terrainProgram || !waterProgram || !modelProgram || !skyProgram || !spriteProgram || !quadProgram)
        return false;
    Samplers(terrainProgram, {"alphatex1", "tex01", "tex02", "tex03", "tex04"});
    Samplers(waterProgram, {"Water", "Dudv"});
    Samplers(modelProgram, {"tex"});
    Samplers(skyProgram, {"tex"});
    Samplers(spriteProgram, {"tex"});
    Samplers(quadProgram, {"tex"});
    glEnable(GL_PROGRAM_POINT_SIZE);

    terrainVao = bench::StaticVertexArray(data.terrainVertices.data(), data.terrainVertices.size() * sizeof(float), 40,
                                          {{0, 3, 0}, {1, 3, 12}, {2, 2, 24}, {3, 2, 32}});
    GLuint ibo = 0;
    glGenBuffers(1, &ibo);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(data.terrainIndices.size() * 2), data.terrainIndices.data(),
                 GL_STATIC_DRAW);
    waterVao = bench::StaticVertexArray(data.waterVertices, sizeof(data.waterVertices), 32, {{0, 3, 0}, {1, 2, 24}});
    std::vector<float> sky;
    for (auto& face : kSkyCube)
        for (auto& v : face) sky.insert(sky.end(), v, v + 5);
    skyVao = bench::StaticVertexArray(sky.data(), sky.size() * sizeof(float), 20, {{0, 3, 0}, {1, 2, 12}});
    spriteVao = bench::StaticVertexArray(data.particles.data(), std::max<size_t>(1, data.particles.size()) * 4, 12,
                                         {{0, 3, 0}});
    // GUI quads: a mesh of as many triangles as one of the engine's GUI draws has.
    const int perDraw = std::max(2, data.guiDraws > 0 ? data.guiTriangles / data.guiDraws : 2);
    std::vector<float> quads;
    for (int q = 0; q < (perDraw + 1) / 2; ++q) {
        const float x0 = float(q) / ((perDraw + 1) / 2), x1 = float(q + 1) / ((perDraw + 1) / 2);
        const float v[6][4] = {{x0, 0, x0, 1}, {x1, 0, x1, 1}, {x0, 1, x0, 0},
                               {x0, 1, x0, 0}, {x1, 0, x1, 1}, {x1, 1, x1, 0}};
        for (auto& p : v) quads.insert(quads.end(), p, p + 4);
    }
    guiVertices = int(quads.size() / 4);
    quadVao = bench::StaticVertexArray(quads.data(), quads.size() * sizeof(float), 16, {{0, 2, 0}, {1, 2, 8}});
    for (const FloorMesh& m : data.meshes) {
        meshVaos.push_back(bench::StaticVertexArray(m.vertices.data(), m.vertices.size() * sizeof(float), 32,
                                                    {{0, 3, 0}, {1, 3, 12}, {2, 2, 24}}));
        GLuint mibo = 0;
        glGenBuffers(1, &mibo);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mibo);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(m.indices.size() * 2), m.indices.data(), GL_STATIC_DRAW);
    }
    glBindVertexArray(0);

    for (int k = 0; k < 5; ++k) terrainTextures[k] = Texture(data.terrainTextures[k], GL_REPEAT);
    for (int k = 0; k < 6; ++k) skyTextures[k] = Texture(data.sky[k], GL_CLAMP_TO_EDGE);
    dudvTexture = Texture(data.dudv, GL_REPEAT);
    particleTexture = Texture(data.particle, GL_REPEAT);
    for (const FloorImage& image : data.modelTextures) modelTextures.push_back(Texture(image, GL_REPEAT));
    FloorImage grey;
    grey.width = grey.height = 16;
    grey.bgra.assign(16 * 16 * 4, 200);
    guiTexture = Texture(grey, GL_REPEAT);

    fboColour = Texture(FloorImage{{}, 256, 256}, GL_CLAMP_TO_EDGE);
    const bool complete = bench::ColourDepthFramebuffer(fboColour, 256, 256, &fbo, &fboDepth);
    return complete && glGetError() == GL_NO_ERROR;
}

void ShowcaseFloorMakeCurrent(bool floor)
{
    if (floor)
        floorWindow.MakeCurrent();
    else if (otherWindow && otherContext)
        SDL_GL_MakeCurrent(otherWindow, otherContext);
}

void ShowcaseFloorRun(int frames, std::vector<double>* times)
{
    for (int f = 0; f < frames; ++f) floorWindow.TimeFrame(DrawFrame, times);
}

std::vector<std::uint32_t> ShowcaseFloorPicture(int* drawCount, int* triangleCount)
{
    DrawFrame();
    *drawCount = draws;
    *triangleCount = triangles;
    const int w = scene->width, h = scene->height;
    std::vector<std::uint8_t> rgba(size_t(w) * h * 4);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    std::vector<std::uint32_t> out(size_t(w) * h);
    for (int y = 0; y < h; ++y)  // GL's bottom row first
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = &rgba[(size_t(h - 1 - y) * w + x) * 4];
            out[size_t(y) * w + x] = 0xFF000000u | (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
        }
    SDL_GL_SwapWindow(floorWindow.window);
    return out;
}

void ShowcaseFloorClose()
{
    ShowcaseFloorMakeCurrent(false);
}

#include "GlTerrain.h"

#include "EffectPrograms.h"
#include "GlFloorSupport.h"

#include <epoxy/gl.h>

namespace {

bench::GlFloorWindow floorWindow;
GLuint program = 0, vao = 0, ibo = 0, textures[5] = {};
GLint worldLoc = -1, wvpLoc = -1;
int windowWidth = 0, windowHeight = 0;
std::vector<int> first, count;

}  // namespace

bool GlTerrainOpen(int width, int height, const GlTerrainData& data)
{
    if (!floorWindow.Open("gl terrain", width, height)) return false;
    glViewport(0, 0, width, height);
    windowWidth = width;
    windowHeight = height;

    program = bench::LinkGlProgram(bench::kTerrainEffectVertex, bench::kTerrainEffectFragment);
    if (!program) return false;
    glUseProgram(program);
    worldLoc = glGetUniformLocation(program, "World");
    wvpLoc = glGetUniformLocation(program, "WorldViewProj");
    const char* samplers[5] = {"alphatex1", "tex01", "tex02", "tex03", "tex04"};
    for (int k = 0; k < 5; ++k) glUniform1i(glGetUniformLocation(program, samplers[k]), k);

    vao = bench::StaticVertexArray(data.vertices.data(), data.vertices.size() * sizeof(float), 40,
                                   {{0, 3, 0}, {1, 3, 12}, {2, 2, 24}, {3, 2, 32}});
    glGenBuffers(1, &ibo);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, data.indices.size() * 2, data.indices.data(), GL_STATIC_DRAW);
    first = data.chunkFirst;
    count = data.chunkCount;

    glGenTextures(5, textures);
    for (int k = 0; k < 5; ++k) {
        glActiveTexture(GL_TEXTURE0 + k);
        glBindTexture(GL_TEXTURE_2D, textures[k]);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, data.width[k], data.height[k], 0, GL_BGRA, GL_UNSIGNED_BYTE,
                     data.pixels[k].data());
        // Bilinear, one level: how the effect samples the terrain's textures.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    }
    return glGetError() == GL_NO_ERROR;
}

namespace {

void DrawFrame(const float* worldViewProj, bool draw)
{
    static const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!draw) return;
    for (size_t c = 0; c < first.size(); ++c) {
        glUniformMatrix4fv(worldLoc, 1, GL_FALSE, identity);
        glUniformMatrix4fv(wvpLoc, 1, GL_FALSE, worldViewProj);
        glDrawElements(GL_TRIANGLES, count[c], GL_UNSIGNED_SHORT, reinterpret_cast<void*>((size_t)first[c] * 2));
    }
}

void BindState()
{
    floorWindow.MakeCurrent();
    glUseProgram(program);
    glBindVertexArray(vao);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    // The engine culls the terrain's underside; here the top side is the
    // counter-clockwise one (the bench prints both sides' coverage to check).
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
}

}  // namespace

void GlTerrainRun(const float* worldViewProj, bool draw, int frames, std::vector<double>& times)
{
    BindState();
    for (int f = 0; f < frames; ++f) floorWindow.TimeFrame([&] { DrawFrame(worldViewProj, draw); }, &times);
}

double GlTerrainCoverage(const float* worldViewProj)
{
    BindState();
    DrawFrame(worldViewProj, true);
    std::vector<unsigned char> rgba((size_t)windowWidth * windowHeight * 4);
    glReadPixels(0, 0, windowWidth, windowHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    size_t lit = 0;
    for (size_t i = 0; i < rgba.size(); i += 4)
        if (rgba[i] | rgba[i + 1] | rgba[i + 2]) ++lit;
    return (double)lit / (double)((size_t)windowWidth * windowHeight);
}

void GlTerrainClose()
{
    floorWindow.Close();
}

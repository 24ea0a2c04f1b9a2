#include "GlFloor.h"

#include "GlFloorSupport.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <vector>

namespace {

bench::GlFloorWindow floorWindow;
GLuint program = 0, vao = 0, vbo = 0, texture = 0, fbo = 0, fboTexture = 0, fboDepth = 0;
int screenW = 0, screenH = 0;
GLint offsetLoc = -1, scaleLoc = -1;

const char* kVertex = R"(#version 330 core
layout(location = 0) in vec2 pos;
layout(location = 1) in vec2 uv;
uniform vec2 offset;
uniform vec2 scale;
out vec2 vUv;
void main() { vUv = uv; gl_Position = vec4(pos * scale + offset, 0.5, 1.0); })";
const char* kFragment = R"(#version 330 core
in vec2 vUv;
uniform sampler2D tex;
out vec4 colour;
void main() { colour = texture(tex, vUv); })";

GLuint meshVbo = 0;
int meshVertices = 0;

// n triangles covering the square -1 ... 1, in columns.
std::vector<float> Mesh(int triangles)
{
    std::vector<float> data;
    const int columns = std::max(1, triangles / 2);
    for (int c = 0; c < columns; ++c) {
        const float x0 = -1.0f + 2.0f * c / columns, x1 = -1.0f + 2.0f * (c + 1) / columns;
        const float quad[6][4] = {{x0, -1, 0, 1}, {x0, 1, 0, 0}, {x1, -1, 1, 1},
                                  {x1, -1, 1, 1}, {x0, 1, 0, 0}, {x1, 1, 1, 0}};
        for (auto& v : quad) data.insert(data.end(), v, v + 4);
    }
    return data;
}

// Draws read position and uv from buffer.
void ReadFrom(GLuint buffer)
{
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 16, nullptr);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 16, reinterpret_cast<void*>(8));
}

void Upload(GLuint buffer, const std::vector<float>& data)
{
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(data.size() * sizeof(float)), data.data(), GL_STATIC_DRAW);
    ReadFrom(buffer);
}

// A rectangle of w x h pixels with its top-left corner at (x, y) of a tw x th target.
void Rect(int x, int y, int w, int h, int tw, int th, int vertices)
{
    glUniform2f(scaleLoc, float(w) / tw, float(h) / th);
    glUniform2f(offsetLoc, (2.0f * x + w) / tw - 1.0f, 1.0f - (2.0f * y + h) / th);
    glDrawArrays(GL_TRIANGLES, 0, vertices);
}

}  // namespace

SDL_Window* otherWindow = nullptr;
SDL_GLContext otherContext = nullptr;

void FloorMakeCurrent(bool floor)
{
    if (floor)
        floorWindow.MakeCurrent();
    else if (otherWindow && otherContext)
        SDL_GL_MakeCurrent(otherWindow, otherContext);
}

bool FloorOpen(int width, int height)
{
    otherWindow = SDL_GL_GetCurrentWindow();
    otherContext = SDL_GL_GetCurrentContext();
    screenW = width;
    screenH = height;
    if (!floorWindow.Open("floor", width, height)) return false;

    program = bench::LinkGlProgram(kVertex, kFragment);
    if (!program) return false;
    offsetLoc = glGetUniformLocation(program, "offset");
    scaleLoc = glGetUniformLocation(program, "scale");

    vao = bench::StaticVertexArray(nullptr, 0, 16, {{0, 2, 0}, {1, 2, 8}}, &vbo);

    std::vector<unsigned int> pixels(256 * 256);
    for (int i = 0; i < 256 * 256; ++i)
        pixels[size_t(i)] = ((i / 256 / 16 + i % 256 / 16) & 1) ? 0xFF8080FFu : 0xFF404040u;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 256, 256, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

    glGenTextures(1, &fboTexture);
    glBindTexture(GL_TEXTURE_2D, fboTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 256, 256, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    return bench::ColourDepthFramebuffer(fboTexture, 256, 256, &fbo, &fboDepth);
}

void FloorRun(const FloorFrame& frame, int frames, std::vector<double>* times)
{
    // Draws on the screen besides the board, ball, images and texts are small models.
    const int fixedDraws = 1 + 1 + 3 + 5;
    const int smallDraws = std::max(0, frame.sceneDraws - fixedDraws);
    const int quadTriangles = 2 * (frame.xrayDraws + 1 + smallDraws + 3 + 5);
    const int ballTriangles = std::max(2, frame.primitives - quadTriangles);
    if (!meshVbo) glGenBuffers(1, &meshVbo);
    glBindVertexArray(vao);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    Upload(meshVbo, Mesh(ballTriangles));
    meshVertices = std::max(1, ballTriangles / 2) * 6;
    Upload(vbo, Mesh(2));

    glUseProgram(program);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // A frame counts once its pixels are done (the program's frames too).
    const auto draw = [&] {
        // X-ray pass: the bomb tiles side by side.
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        glViewport(0, 0, 256, 256);
        glClearColor(0.48f, 0.66f, 0.63f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glBindTexture(GL_TEXTURE_2D, texture);
        ReadFrom(vbo);
        for (int i = 0; i < frame.xrayDraws; ++i) Rect(i % 7 * 37, i / 7 % 7 * 37, 37, 37, 256, 256, 6);

        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, screenW, screenH);
        glClearColor(0.73f, 0.59f, 0.48f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Rect(0, 0, screenW, screenH, screenW, screenH, 6);  // board
        for (int i = 0; i < smallDraws; ++i)                // goal, shadows, coins, bombs
            Rect(320 + i % 20 * 32, 40 + i / 20 % 20 * 32, 30, 30, screenW, screenH, 6);
        ReadFrom(meshVbo);
        Rect(473, 343, 70, 70, screenW, screenH, meshVertices);  // ball
        ReadFrom(vbo);
        glDisable(GL_DEPTH_TEST);
        Rect(768, 512, 256, 128, screenW, screenH, 6);  // logo
        glBindTexture(GL_TEXTURE_2D, fboTexture);
        Rect(0, 0, 300, 300, screenW, screenH, 6);  // X-ray view
        glBindTexture(GL_TEXTURE_2D, texture);
        Rect(0, 0, 300, 300, screenW, screenH, 6);  // its frame
        for (int i = 0; i < 5; ++i)                 // texts
            Rect(5, i * 100, 240, 60, screenW, screenH, 6);
        glEnable(GL_DEPTH_TEST);
    };
    for (int f = 0; f < frames; ++f) floorWindow.TimeFrame(draw, times);
}

void FloorAlternate(const FloorFrame& frame, int frames, const std::function<void(int)>& runProgram,
                    std::vector<double>* floorTimes)
{
    const int rounds = 5;
    for (int r = 0; r < rounds; ++r) {
        runProgram(frames / rounds);
        FloorMakeCurrent(true);
        FloorRun(frame, frames / rounds, floorTimes);
        FloorMakeCurrent(false);
    }
}

void FloorClose()
{
    FloorMakeCurrent(false);
}

#include "GlFloor.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
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

GLuint Compile(GLenum type, const char* source) {
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

// A strip of n triangles covering the unit square.
void BuildMesh(int triangles) {
    std::vector<float> data;
    const int columns = std::max(1, triangles / 2);
    for (int c = 0; c < columns; ++c) {
        const float x0 = -1.0f + 2.0f * c / columns, x1 = -1.0f + 2.0f * (c + 1) / columns;
        const float quad[6][4] = {{x0, -1, 0, 1}, {x0, 1, 0, 0}, {x1, -1, 1, 1},
                                  {x1, -1, 1, 1}, {x0, 1, 0, 0}, {x1, 1, 1, 0}};
        for (auto& v : quad)
            data.insert(data.end(), v, v + 4);
    }
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(data.size() * sizeof(float)), data.data(), GL_STATIC_DRAW);
}

void Draw(int triangles, float x, float y, float s) {
    glUniform2f(offsetLoc, x, y);
    glUniform2f(scaleLoc, s, s);
    glDrawArrays(GL_TRIANGLES, 0, std::max(1, triangles / 2) * 6);
}

}  // namespace

bool FloorOpen(int width, int height) {
    screenW = width;
    screenH = height;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    window = SDL_CreateWindow("floor", 0, 0, width, height, SDL_WINDOW_OPENGL);
    if (!window)
        return false;
    context = SDL_GL_CreateContext(window);
    if (!context)
        return false;
    SDL_GL_MakeCurrent(window, context);
    SDL_GL_SetSwapInterval(0);

    program = glCreateProgram();
    glAttachShader(program, Compile(GL_VERTEX_SHADER, kVertex));
    glAttachShader(program, Compile(GL_FRAGMENT_SHADER, kFragment));
    glLinkProgram(program);
    offsetLoc = glGetUniformLocation(program, "offset");
    scaleLoc = glGetUniformLocation(program, "scale");

    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(1, &vbo);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 16, nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 16, reinterpret_cast<void*>(8));

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
    glGenRenderbuffers(1, &fboDepth);
    glBindRenderbuffer(GL_RENDERBUFFER, fboDepth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, 256, 256);
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, fboTexture, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, fboDepth);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

double FloorRun(const FloorFrame& frame, int frames, double* medianMs) {
    BuildMesh(frame.trianglesPerDraw);
    glUseProgram(program);
    glBindVertexArray(vao);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    std::vector<double> times;
    for (int f = 0; f < frames; ++f) {
        const auto t0 = std::chrono::steady_clock::now();
        // X-ray pass.
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        glViewport(0, 0, 256, 256);
        glClearColor(0.48f, 0.66f, 0.63f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glBindTexture(GL_TEXTURE_2D, texture);
        for (int i = 0; i < frame.xrayDraws; ++i)
            Draw(frame.trianglesPerDraw, -0.8f + 0.2f * (i % 7), -0.8f + 0.2f * (i / 7 % 7), 0.1f);
        // Screen: the first draw covers the screen as the board does, the rest are small.
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, screenW, screenH);
        glClearColor(0.73f, 0.59f, 0.48f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (int i = 0; i < frame.sceneDraws; ++i) {
            if (i == 0)
                Draw(frame.trianglesPerDraw, 0.0f, 0.0f, 1.0f);
            else
                Draw(frame.trianglesPerDraw, -0.9f + 0.04f * (i % 45), -0.9f + 0.04f * (i / 45 % 45), 0.02f);
        }
        glBindTexture(GL_TEXTURE_2D, fboTexture);
        Draw(2, -0.6f, 0.6f, 0.3f);   // the X-ray view on screen
        SDL_GL_SwapWindow(window);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    *medianMs = sorted[sorted.size() / 2];
    double sum = 0;
    for (double t : times)
        sum += t;
    return sum / double(times.size());
}

void FloorClose() {
    if (context)
        SDL_GL_DeleteContext(context);
    if (window)
        SDL_DestroyWindow(window);
    context = nullptr;
    window = nullptr;
}

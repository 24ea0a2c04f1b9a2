#include "GlQuadGrid.h"

#include "GlFloorSupport.h"

#include <epoxy/gl.h>

namespace {

bench::GlFloorWindow floorWindow;
GLuint program = 0, vao = 0, ibo = 0, texture = 0;
GLint mvpLoc = -1;

const char* kVertex = R"(#version 330 core
layout(location = 0) in vec3 pos;
layout(location = 1) in vec2 uv;
uniform mat4 mvp;
out vec2 vUv;
void main() { vUv = uv; gl_Position = mvp * vec4(pos, 1.0); })";
const char* kFragment = R"(#version 330 core
in vec2 vUv;
uniform sampler2D tex;
out vec4 colour;
void main() { colour = texture(tex, vUv); })";

}  // namespace

bool GlGridOpen(int width, int height)
{
    if (!floorWindow.Open("gl grid", width, height)) return false;
    glViewport(0, 0, width, height);

    program = bench::LinkGlProgram(kVertex, kFragment);
    if (!program) return false;
    mvpLoc = glGetUniformLocation(program, "mvp");

    // The tile: 2 x 2 in the plane y = 0, centred on the origin.
    const float vertices[] = {-1, 0, -1, 0, 1, -1, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 0, -1, 1, 1};
    const unsigned short indices[] = {0, 1, 2, 0, 2, 3};
    vao = bench::StaticVertexArray(vertices, sizeof(vertices), 20, {{0, 3, 0}, {1, 2, 12}});
    glGenBuffers(1, &ibo);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(indices), indices, GL_STATIC_DRAW);

    unsigned int pixels[64 * 64];
    for (int i = 0; i < 64 * 64; ++i) pixels[i] = ((i / 64 / 8 + i % 64 / 8) & 1) ? 0xFF2020C0u : 0xFF404040u;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 64, 64, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return glGetError() == GL_NO_ERROR;
}

void GlGridRun(const std::vector<float>& matrices, int count, int frames, std::vector<double>& times)
{
    floorWindow.MakeCurrent();
    glUseProgram(program);
    glBindVertexArray(vao);
    glBindTexture(GL_TEXTURE_2D, texture);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    // The engine's default blend, so both sides write the same pixels the same way.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const auto draw = [&] {
        glClearColor(0.73f, 0.59f, 0.48f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (int i = 0; i < count; ++i) {
            glUniformMatrix4fv(mvpLoc, 1, GL_FALSE, &matrices[(size_t)i * 16]);
            glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, nullptr);
        }
    };
    for (int f = 0; f < frames; ++f) floorWindow.TimeFrame(draw, &times);
}

void GlGridClose()
{
    floorWindow.Close();
}

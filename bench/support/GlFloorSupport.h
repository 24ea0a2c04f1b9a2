// What the plain-OpenGL floors share: a window of their own with a 3.3 core
// context, programs built from GLSL source that fail loudly, static vertex
// arrays, and their frames timed by the benches' one frame timer.
#pragma once

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "FrameTimes.h"

namespace bench {

// A shader of the given stage, compiled; 0 with the compiler's log on stderr
// when it does not compile.
inline GLuint CompileGlShader(GLenum type, const char* source)
{
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled) return shader;
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(size_t(std::max(length, 1)), '\0');
    glGetShaderInfoLog(shader, length, nullptr, &log[0]);
    std::fprintf(stderr, "bench floor: the %s shader does not compile:\n%s\n",
                 type == GL_VERTEX_SHADER ? "vertex" : "fragment", log.c_str());
    glDeleteShader(shader);
    return 0;
}

// A program of the two stages, linked; attributes at the sources' layout
// locations. 0 with the log on stderr when a stage does not compile or the
// program does not link: a floor without its program would time nothing.
inline GLuint LinkGlProgram(const char* vertex, const char* fragment)
{
    const GLuint vs = CompileGlShader(GL_VERTEX_SHADER, vertex);
    const GLuint fs = CompileGlShader(GL_FRAGMENT_SHADER, fragment);
    GLuint program = 0;
    if (vs && fs) {
        program = glCreateProgram();
        glAttachShader(program, vs);
        glAttachShader(program, fs);
        glLinkProgram(program);
        GLint linked = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (!linked) {
            GLint length = 0;
            glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
            std::string log(size_t(std::max(length, 1)), '\0');
            glGetProgramInfoLog(program, length, nullptr, &log[0]);
            std::fprintf(stderr, "bench floor: the program does not link:\n%s\n", log.c_str());
            glDeleteProgram(program);
            program = 0;
        }
    }
    if (vs) glDeleteShader(vs);
    if (fs) glDeleteShader(fs);
    return program;
}

// One float attribute of a vertex: its location, float count and byte offset.
struct GlAttribute {
    GLuint location;
    GLint size;
    size_t offset;
};

// A vertex array over a static buffer holding bytes bytes of data, its
// attributes enabled at stride; both stay bound. The buffer's name goes to
// *buffer when asked for.
inline GLuint StaticVertexArray(const void* data, size_t bytes, GLsizei stride,
                                std::initializer_list<GlAttribute> attributes, GLuint* buffer = nullptr)
{
    GLuint vao = 0, vbo = 0;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(1, &vbo);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(bytes), data, GL_STATIC_DRAW);
    for (const GlAttribute& a : attributes) {
        glEnableVertexAttribArray(a.location);
        glVertexAttribPointer(a.location, a.size, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(a.offset));
    }
    if (buffer) *buffer = vbo;
    return vao;
}

// A framebuffer drawing into the colour texture (width x height, already
// made) with a 24-bit depth buffer of its own, as a render target with its
// depth stencil; the names go to *fbo and *depth, the window's framebuffer
// is bound again. True when it is complete.
inline bool ColourDepthFramebuffer(GLuint colour, int width, int height, GLuint* fbo, GLuint* depth)
{
    glGenRenderbuffers(1, depth);
    glBindRenderbuffer(GL_RENDERBUFFER, *depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glGenFramebuffers(1, fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, *fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, *depth);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return complete;
}

// A floor's own window with a current 3.3 core context, 24-bit depth and no
// vsync.
struct GlFloorWindow {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;

    // false, with what SDL refused on stderr, when the window or its context cannot be made.
    bool Open(const char* title, int width, int height)
    {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
        window = SDL_CreateWindow(title, 0, 0, width, height, SDL_WINDOW_OPENGL);
        if (window) context = SDL_GL_CreateContext(window);
        if (!context) {
            std::fprintf(stderr, "bench floor: no window or 3.3 core context: %s\n", SDL_GetError());
            return false;
        }
        MakeCurrent();
        SDL_GL_SetSwapInterval(0);
        return true;
    }

    void MakeCurrent() const { SDL_GL_MakeCurrent(window, context); }

    // One timed frame of the floor: draw(), the swap, glFinish (bench::TimeFrame).
    template <typename Draw>
    double TimeFrame(Draw&& draw, std::vector<double>* times) const
    {
        return bench::TimeFrame(
            [&] {
                draw();
                SDL_GL_SwapWindow(window);
            },
            times);
    }

    void Close()
    {
        if (context) SDL_GL_DeleteContext(context);
        if (window) SDL_DestroyWindow(window);
        context = nullptr;
        window = nullptr;
    }
};

}  // namespace bench

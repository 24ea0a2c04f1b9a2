// What the plain-OpenGL floors share: a window of their own with a 3.3 core
// context, and programs built from GLSL source.
#pragma once

#include <SDL.h>
#include <epoxy/gl.h>

namespace bench {

inline GLuint CompileGlShader(GLenum type, const char* source)
{
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

// A program of the two stages, linked; attributes at the sources' layout locations.
inline GLuint LinkGlProgram(const char* vertex, const char* fragment)
{
    GLuint program = glCreateProgram();
    glAttachShader(program, CompileGlShader(GL_VERTEX_SHADER, vertex));
    glAttachShader(program, CompileGlShader(GL_FRAGMENT_SHADER, fragment));
    glLinkProgram(program);
    return program;
}

// A window with a current 3.3 core context of its own, 24-bit depth, no
// vsync; false when SDL refuses either.
inline bool OpenGlWindow(const char* title, int width, int height, SDL_Window** window, SDL_GLContext* context)
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    *window = SDL_CreateWindow(title, 0, 0, width, height, SDL_WINDOW_OPENGL);
    if (!*window) return false;
    *context = SDL_GL_CreateContext(*window);
    if (!*context) return false;
    SDL_GL_MakeCurrent(*window, *context);
    SDL_GL_SetSwapInterval(0);
    return true;
}

}  // namespace bench

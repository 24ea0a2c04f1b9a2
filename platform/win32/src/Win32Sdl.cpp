// The layer's state and SDL start-up.
#include <Win32DeviceSeam.h>
#include <Win32TestSeam.h>
#include "Pad.h"
#include "Win32State.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace win32detail {

State& GetState()
{
    // Never destroyed: global objects of the program may call the layer from
    // their destructors, after function statics would be gone.
    static State* state = [] {
        State* s = new State;
        s->desktopWindow.desktop = true;
        s->desktopWindow.className = "#32769";
        s->scancodeDown.assign(SDL_NUM_SCANCODES, false);
        return s;
    }();
    return *state;
}

bool EnsureSdl()
{
    State& s = GetState();
    if (s.sdlTried) return s.sdlVideo;
    s.sdlTried = true;

    // Ctrl+C ends the program as usual instead of arriving as a quit event;
    // a click that activates a window also reaches it, as on Windows.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
        std::fprintf(stderr, "win32: SDL video cannot start (%s); no windows can be opened\n", SDL_GetError());
        SDL_Init(SDL_INIT_EVENTS | SDL_INIT_TIMER);
        return false;
    }
    s.sdlVideo = true;

    // The device layer makes its context on our windows, so the context's
    // attributes are set here, before any window exists.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);

    if (!IsHeadless()) {
        int x = 0, y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        s.cursor = {x, y};
    }
    return true;
}

bool IsHeadless()
{
    const char* env = std::getenv("SDL_VIDEODRIVER");
    if (env && (strcasecmp(env, "offscreen") == 0 || strcasecmp(env, "dummy") == 0)) return true;
    if (!EnsureSdl()) return true;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) return true;
    return SDL_GetNumVideoDisplays() < 1;
}

}  // namespace win32detail

void win32test::EndVideo()
{
    win32detail::State& s = win32detail::GetState();
    if (!s.sdlTried) return;
    // The GL library goes with the last GL window, and the driver's threads with it.
    for (const std::unique_ptr<HWND__>& w : s.windows) {
        if (w->sdl) SDL_DestroyWindow(w->sdl);
        w->sdl = nullptr;
        w->alive = false;
        w->visible = false;
    }
    s.active = nullptr;
    s.queue.clear();
    win32detail::ShutdownPads();
    SDL_Quit();
    s.sdlVideo = false;
}

SDL_Window* Win32_GetSDLWindow(HWND hwnd)
{
    win32detail::EnsureSdl();
    HWND__* w = win32detail::LookupWindow(hwnd);
    return w ? w->sdl : nullptr;
}

HWND Win32_GetHWND(SDL_Window* window)
{
    if (!window) return nullptr;
    for (auto& w : win32detail::GetState().windows)
        if (w->alive && w->sdl == window) return w.get();
    return nullptr;
}

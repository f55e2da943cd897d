// The SDL host's message boxes: modal over the display window, one OK button. They block
// until answered, also under a virtual X server; with no display at all SDL refuses at once
// and the stand-in has already said the text on stderr.
#include <SDL.h>

#include "platform/host/sdl/sdl_host.h"
#include "platform/host/sdl/sdl_window.h"

void SdlMessageBox(const char* text, const char* caption) {
    SDL_Window* parent = SdlDisplayWindow();
    // A full-screen window would cover the box; show it over a window instead.
    if (parent && (SDL_GetWindowFlags(parent) & SDL_WINDOW_FULLSCREEN_DESKTOP))
        SDL_SetWindowFullscreen(parent, 0);
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, parent);
}

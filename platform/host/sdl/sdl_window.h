// The SDL host's display window, shared by its files. Only platform/host/sdl/ includes this.
#pragma once

#include <SDL.h>

SDL_Window* SdlDisplayWindow();  // null until the display is open
void SdlToggleFullscreen();      // Alt+Enter
void SdlCycleScaleMode();        // Alt+S: aspect, integer, stretch, aspect, ...

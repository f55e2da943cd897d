// The SDL host's input: keys become virtual-key codes (system keys with Alt held), the
// window's close button becomes a close request. Alt+Enter switches between full screen and
// a window here, in the host, so the show's own key rules never see it.
#include <SDL.h>

#include "platform/host/sdl/sdl_host.h"
#include "platform/host/sdl/sdl_window.h"
#include "platform/win32/win32.h"

namespace {

int VirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return 0x70 + (key - SDLK_F1);
    switch (key) {
        case SDLK_ESCAPE: return VK_ESCAPE;
        case SDLK_RETURN: case SDLK_KP_ENTER: return VK_RETURN;
        case SDLK_TAB: return VK_TAB;
        case SDLK_SPACE: return VK_SPACE;
        case SDLK_BACKSPACE: return VK_BACK;
        case SDLK_LEFT: return VK_LEFT;
        case SDLK_RIGHT: return VK_RIGHT;
        case SDLK_UP: return VK_UP;
        case SDLK_DOWN: return VK_DOWN;
        case SDLK_HOME: return VK_HOME;
        case SDLK_END: return VK_END;
        case SDLK_PAGEUP: return VK_PRIOR;
        case SDLK_PAGEDOWN: return VK_NEXT;
        case SDLK_LSHIFT: case SDLK_RSHIFT: return VK_SHIFT;
        case SDLK_LCTRL: case SDLK_RCTRL: return VK_CONTROL;
        case SDLK_LALT: case SDLK_RALT: return VK_MENU;
        default: return 0;
    }
}

}  // namespace

// The Return of an Alt+Enter belongs to the host: its key-up is swallowed too, whether Alt is
// still held by then or not.
static bool TogglingReturnDown = false;

void SdlPumpEvents(const HostInputSink& sink) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
            case SDL_KEYDOWN: {
                const bool alt = (e.key.keysym.mod & KMOD_ALT) != 0;
                if (alt && e.key.keysym.sym == SDLK_RETURN) {
                    if (!e.key.repeat) SdlToggleFullscreen();
                    TogglingReturnDown = true;
                    break;
                }
                if (int vk = VirtualKey(e.key.keysym.sym)) sink.KeyDown(vk, alt, e.key.repeat != 0);
                break;
            }
            case SDL_KEYUP:
                if (TogglingReturnDown && e.key.keysym.sym == SDLK_RETURN) {
                    TogglingReturnDown = false;
                    break;
                }
                if (int vk = VirtualKey(e.key.keysym.sym))
                    sink.KeyUp(vk, (e.key.keysym.mod & KMOD_ALT) != 0);
                break;
            case SDL_WINDOWEVENT:
                if (e.window.event == SDL_WINDOWEVENT_CLOSE) sink.CloseRequested();
                break;
            // SDL_QUIT only repeats the last window's close request.
            default:
                break;
        }
    }
}

// The SDL host's input: keys become virtual-key codes (system keys with Alt held), the
// window's close button becomes a close request. Alt+Enter (full screen or a window) and
// Alt+S (the next scaling mode) are done here, in the host, so the show's own key rules never
// see them.
#include <SDL.h>

#include "platform/host/sdl/sdl_host.h"
#include "platform/host/sdl/sdl_window.h"

namespace {

int VirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return kHostKeyF1 + (key - SDLK_F1);
    switch (key) {
        case SDLK_ESCAPE: return kHostKeyEscape;
        case SDLK_RETURN: case SDLK_KP_ENTER: return kHostKeyReturn;
        case SDLK_TAB: return kHostKeyTab;
        case SDLK_SPACE: return kHostKeySpace;
        case SDLK_BACKSPACE: return kHostKeyBack;
        case SDLK_LEFT: return kHostKeyLeft;
        case SDLK_RIGHT: return kHostKeyRight;
        case SDLK_UP: return kHostKeyUp;
        case SDLK_DOWN: return kHostKeyDown;
        case SDLK_HOME: return kHostKeyHome;
        case SDLK_END: return kHostKeyEnd;
        case SDLK_PAGEUP: return kHostKeyPageUp;
        case SDLK_PAGEDOWN: return kHostKeyPageDown;
        case SDLK_LSHIFT: case SDLK_RSHIFT: return kHostKeyShift;
        case SDLK_LCTRL: case SDLK_RCTRL: return kHostKeyControl;
        case SDLK_LALT: case SDLK_RALT: return kHostKeyAlt;
        default: return 0;
    }
}

}  // namespace

// The Return of an Alt+Enter and the S of an Alt+S belong to the host: their key-ups are
// swallowed too, whether Alt is still held by then or not.
static bool HostReturnDown = false, HostSDown = false;

void SdlPumpEvents(const HostInputSink& sink) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
            case SDL_KEYDOWN: {
                const bool alt = (e.key.keysym.mod & KMOD_ALT) != 0;
                if (alt && e.key.keysym.sym == SDLK_RETURN) {
                    if (!e.key.repeat) SdlToggleFullscreen();
                    HostReturnDown = true;
                    break;
                }
                if (alt && e.key.keysym.sym == SDLK_s) {
                    if (!e.key.repeat) SdlCycleScaleMode();
                    HostSDown = true;
                    break;
                }
                if (int vk = VirtualKey(e.key.keysym.sym)) sink.KeyDown(vk, alt, e.key.repeat != 0);
                break;
            }
            case SDL_KEYUP:
                if (HostReturnDown && e.key.keysym.sym == SDLK_RETURN) {
                    HostReturnDown = false;
                    break;
                }
                if (HostSDown && e.key.keysym.sym == SDLK_s) {
                    HostSDown = false;
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

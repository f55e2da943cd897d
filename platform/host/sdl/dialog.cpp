// The SDL host's dialog windows: a window of its own per dialog showing the image the stand-in
// drew, with keys and left-button clicks handed back in the image's pixels. Dialogs need
// someone to answer them, so the dummy and offscreen video drivers are refused.
#include <SDL.h>

#include <cstring>

#include "platform/host/sdl/sdl_dialog.h"
#include "platform/host/sdl/sdl_host.h"

namespace {

struct DialogWindow {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int width = 0, height = 0;
};

DialogWindow d;

}  // namespace

int SdlDialogVirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    switch (key) {
        case SDLK_ESCAPE: return 0x1B;
        case SDLK_RETURN: case SDLK_KP_ENTER: return 0x0D;
        case SDLK_TAB: return 0x09;
        case SDLK_SPACE: return 0x20;
        case SDLK_PAGEUP: return 0x21;
        case SDLK_PAGEDOWN: return 0x22;
        case SDLK_END: return 0x23;
        case SDLK_HOME: return 0x24;
        case SDLK_LEFT: return 0x25;
        case SDLK_UP: return 0x26;
        case SDLK_RIGHT: return 0x27;
        case SDLK_DOWN: return 0x28;
        case SDLK_F4: return 0x73;
        default: return 0;
    }
}

bool SdlOpenDialog(const char* title, int x, int y, int width, int height, std::string& why) {
    SdlCloseDialog();
    if (!SdlInitVideo(why)) return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver) {
        why = "no screen to show a dialog on (video is not running)";
        return false;
    }
    if (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0) {
        why = std::string("no screen to show a dialog on (video driver ") + driver + ")";
        return false;
    }
    // Hidden until drawable: making an accelerated renderer remakes the window, and a window
    // that appeared and vanished again would confuse whatever watches the screen.
    d.window = SDL_CreateWindow(title, x, y, width, height, SDL_WINDOW_HIDDEN);
    if (d.window) {
        d.renderer = SDL_CreateRenderer(d.window, -1, SDL_RENDERER_ACCELERATED);
        if (!d.renderer) d.renderer = SDL_CreateRenderer(d.window, -1, 0);
    }
    if (d.renderer)
        d.texture = SDL_CreateTexture(d.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                      width, height);
    if (!d.texture) {
        why = std::string("cannot show the dialog: ") + SDL_GetError();
        SdlCloseDialog();
        return false;
    }
    d.width = width;
    d.height = height;
    SDL_ShowWindow(d.window);
    SDL_RaiseWindow(d.window);
    // Keys and clicks meant for whatever was on screen before do not answer this dialog.
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_KEYDOWN, SDL_MOUSEWHEEL);
    return true;
}

void SdlPresentDialog(const uint32_t* pixels, int width, int height) {
    if (!d.texture || width != d.width || height != d.height) return;
    SDL_UpdateTexture(d.texture, nullptr, pixels, width * 4);
    SDL_RenderClear(d.renderer);
    SDL_RenderCopy(d.renderer, d.texture, nullptr, nullptr);
    SDL_RenderPresent(d.renderer);
}

void SdlWaitDialogEvents(const HostDialogSink& sink, int timeoutMs) {
    if (!d.window) return;
    const Uint32 id = SDL_GetWindowID(d.window);
    SDL_Event e;
    if (!SDL_WaitEventTimeout(&e, timeoutMs)) return;
    do {
        switch (e.type) {
            case SDL_KEYDOWN:
                if (e.key.windowID != id) break;
                if (int vk = SdlDialogVirtualKey(e.key.keysym.sym))
                    sink.KeyDown(sink.user, vk, (e.key.keysym.mod & KMOD_SHIFT) != 0,
                                 (e.key.keysym.mod & KMOD_ALT) != 0);
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                if (e.button.windowID != id || e.button.button != SDL_BUTTON_LEFT) break;
                if (e.type == SDL_MOUSEBUTTONDOWN)
                    sink.MouseDown(sink.user, e.button.x, e.button.y);
                else
                    sink.MouseUp(sink.user, e.button.x, e.button.y);
                break;
            case SDL_WINDOWEVENT:
                if (e.window.windowID == id && e.window.event == SDL_WINDOWEVENT_CLOSE)
                    sink.CloseRequested(sink.user);
                break;
            default:
                break;
        }
    } while (SDL_PollEvent(&e));
}

void SdlCloseDialog() {
    if (d.texture) SDL_DestroyTexture(d.texture);
    if (d.renderer) SDL_DestroyRenderer(d.renderer);
    if (d.window) SDL_DestroyWindow(d.window);
    d = DialogWindow{};
}

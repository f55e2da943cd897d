// The SDL host's dialog windows: a window of its own per dialog showing the image the stand-in
// drew, with keys and left-button clicks handed back in the image's pixels, and a frameless
// pop-up window for an open drop-down list, which may reach past the dialog. Dialogs need
// someone to answer them, so the dummy and offscreen video drivers are refused.
#include <SDL.h>

#include <cstdio>
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
// The open drop-down list: a frameless pop-up window over the dialog, at listX, listY of the
// dialog's image; it takes no keyboard focus, so keys still reach the dialog.
DialogWindow list;
int listX = 0, listY = 0;

void Destroy(DialogWindow& w) {
    if (w.texture) SDL_DestroyTexture(w.texture);
    if (w.renderer) SDL_DestroyRenderer(w.renderer);
    if (w.window) SDL_DestroyWindow(w.window);
    w = DialogWindow{};
}

// A window with a renderer and a streaming texture of its inside's size; false when any of
// them cannot be made (then nothing is left over).
bool Create(DialogWindow& w, const char* title, int x, int y, int width, int height, Uint32 flags) {
    w.window = SDL_CreateWindow(title, x, y, width, height, flags | SDL_WINDOW_HIDDEN);
    if (w.window) {
        w.renderer = SDL_CreateRenderer(w.window, -1, SDL_RENDERER_ACCELERATED);
        if (!w.renderer) w.renderer = SDL_CreateRenderer(w.window, -1, 0);
    }
    if (w.renderer)
        w.texture = SDL_CreateTexture(w.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width,
                                      height);
    if (!w.texture) {
        Destroy(w);
        return false;
    }
    w.width = width;
    w.height = height;
    return true;
}

void Show(DialogWindow& w, const uint32_t* pixels) {
    SDL_UpdateTexture(w.texture, nullptr, pixels, w.width * 4);
    SDL_RenderClear(w.renderer);
    SDL_RenderCopy(w.renderer, w.texture, nullptr, nullptr);
    SDL_RenderPresent(w.renderer);
}

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
    if (!Create(d, title, x, y, width, height, 0)) {
        why = std::string("cannot show the dialog: ") + SDL_GetError();
        SdlCloseDialog();
        return false;
    }
    SDL_ShowWindow(d.window);
    SDL_RaiseWindow(d.window);
    // Keys and clicks meant for whatever was on screen before do not answer this dialog.
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_KEYDOWN, SDL_MOUSEWHEEL);
    return true;
}

void SdlPresentDialog(const uint32_t* pixels, int width, int height) {
    if (!d.texture || width != d.width || height != d.height) return;
    Show(d, pixels);
}

void SdlPresentDialogList(const uint32_t* pixels, int x, int y, int width, int height) {
    if (!d.window || !pixels || width <= 0 || height <= 0) {
        Destroy(list);  // closed: nothing of it stays over the dialog
        return;
    }
    // Where the dialog's inside is on the screen now: the user may have moved it.
    int dx = 0, dy = 0;
    SDL_GetWindowPosition(d.window, &dx, &dy);
    if (list.window && (width != list.width || height != list.height)) Destroy(list);
    if (!list.window) {
        // A pop-up menu window: no frame, no task-bar entry, above the dialog, and (on X11)
        // left alone by the window manager, so the dialog keeps the keyboard.
        if (!Create(list, "", dx + x, dy + y, width, height,
                    SDL_WINDOW_BORDERLESS | SDL_WINDOW_POPUP_MENU | SDL_WINDOW_ALWAYS_ON_TOP |
                        SDL_WINDOW_SKIP_TASKBAR)) {
            fprintf(stderr, "zelk6: cannot show the dialog's list: %s\n", SDL_GetError());
            return;
        }
        SDL_ShowWindow(list.window);
        // Without a window manager SDL hands a window it shows the keyboard; the keys stay
        // the dialog's, and they would be lost once the list's window goes.
        SDL_SetWindowInputFocus(d.window);
    } else {
        int lx = 0, ly = 0;
        SDL_GetWindowPosition(list.window, &lx, &ly);
        if (lx != dx + x || ly != dy + y) SDL_SetWindowPosition(list.window, dx + x, dy + y);
    }
    listX = x;
    listY = y;
    Show(list, pixels);
}

int SdlDialogRoomBelow(int y) {
    if (!d.window) return 0;
    int dx = 0, dy = 0;
    SDL_GetWindowPosition(d.window, &dx, &dy);
    const int display = SDL_GetWindowDisplayIndex(d.window);
    SDL_Rect usable{};
    if (display < 0 || SDL_GetDisplayUsableBounds(display, &usable) != 0) return 0;
    const int room = usable.y + usable.h - (dy + y);
    return room > 0 ? room : 0;
}

void SdlWaitDialogEvents(const HostDialogSink& sink, int timeoutMs) {
    if (!d.window) return;
    const Uint32 id = SDL_GetWindowID(d.window);
    const Uint32 listId = list.window ? SDL_GetWindowID(list.window) : 0;
    SDL_Event e;
    if (!SDL_WaitEventTimeout(&e, timeoutMs)) return;
    do {
        switch (e.type) {
            case SDL_KEYDOWN:
                if (e.key.windowID != id && (listId == 0 || e.key.windowID != listId)) break;
                if (int vk = SdlDialogVirtualKey(e.key.keysym.sym))
                    sink.KeyDown(sink.user, vk, (e.key.keysym.mod & KMOD_SHIFT) != 0,
                                 (e.key.keysym.mod & KMOD_ALT) != 0);
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: {
                if (e.button.button != SDL_BUTTON_LEFT) break;
                int x = e.button.x, y = e.button.y;
                if (listId != 0 && e.button.windowID == listId) {
                    x += listX;  // the list's pixels are the dialog's, moved to where it lies
                    y += listY;
                } else if (e.button.windowID != id) {
                    break;
                }
                if (e.type == SDL_MOUSEBUTTONDOWN)
                    sink.MouseDown(sink.user, x, y);
                else
                    sink.MouseUp(sink.user, x, y);
                break;
            }
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
    Destroy(list);
    Destroy(d);
}

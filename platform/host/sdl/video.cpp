// The SDL host's display: "exclusive full screen at 640x480x16" becomes a desktop
// full-screen window on the chosen display (or a 640x480 window for the windowed driver), the
// picture fitted to the window's drawable size in the chosen scaling mode (scaling.h) with
// black borders. Frames are converted to XRGB8888 with our own bit-replicating table, the same
// on every renderer, and paced to the display's refresh even where vsync does not wait. On an
// X server with no window manager the full-screen window is given the screen's size by the
// host itself.
#include <SDL.h>
#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

#include <cstdio>
#include <vector>

#include "platform/host/pixel_expand.h"
#include "platform/host/sdl/scaling.h"
#include "platform/host/sdl/sdl_host.h"
#include "platform/host/sdl/sdl_window.h"

namespace {

struct Video {
    bool initialised = false;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;       // the frame, width x height
    SDL_Texture* prescaled = nullptr;     // sharp scaling: the frame at whole multiples
    int prescaledWidth = 0, prescaledHeight = 0;
    bool prescaleRefused = false;         // the renderer has no render targets: linear instead
    int width = 0, height = 0;
    ScaleSettings scale;
    std::vector<uint32_t> staging;
    uint64_t lastPresent = 0;             // performance counter at the last present
    uint64_t frameTicks = 0;              // the shortest interval between presents
    bool cursorVisible = true;
};

Video v;

#if defined(SDL_VIDEO_DRIVER_X11)
// True when a window manager that follows the desktop conventions runs on the window's screen.
bool HasWindowManager(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return true;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(display, attributes.root, check, 0, 1, False, XA_WINDOW, &type, &format,
                                          &items, &after, &data) == Success && type == XA_WINDOW && items == 1;
    if (data) XFree(data);
    return found;
}
#endif

// SDL takes a full-screen window's size from the desktop mode and draws for that size. With no
// window manager (a bare X server, a kiosk's startx) nobody carries the change out: the window
// keeps the size it was made with, and only part of the picture shows. There the host sizes the
// window itself, as the server does what it is asked: the display's bounds in full screen, the
// show's own size, centred, in a window (SDL would keep the full-screen size there, as nobody
// told it otherwise). Under a window manager nothing is done: it reports every size it gives,
// and SDL draws for that.
void MatchWindowToDrawing() {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo wm;
    SDL_VERSION(&wm.version);
    if (!v.window || !SDL_GetWindowWMInfo(v.window, &wm) || wm.subsystem != SDL_SYSWM_X11) return;
    Display* display = wm.info.x11.display;
    const Window window = wm.info.x11.window;
    SDL_Rect bounds;
    if (HasWindowManager(display, window) ||
        SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(v.window), &bounds) != 0)
        return;
    SDL_Rect want = bounds;
    if (!(SDL_GetWindowFlags(v.window) & SDL_WINDOW_FULLSCREEN)) {
        want = {bounds.x + (bounds.w - v.width) / 2, bounds.y + (bounds.h - v.height) / 2, v.width, v.height};
        SDL_SetWindowSize(v.window, v.width, v.height);
    }
    XMoveResizeWindow(display, window, want.x, want.y, static_cast<unsigned>(want.w), static_cast<unsigned>(want.h));
    XSync(display, False);
#endif
}

// The frame at whole multiples, drawn with nearest into a texture of that size; null when the
// renderer cannot draw into textures, after one line on stderr.
SDL_Texture* Prescale(int scaleX, int scaleY) {
    const int w = v.width * scaleX, h = v.height * scaleY;
    if (v.prescaled && (w != v.prescaledWidth || h != v.prescaledHeight)) {
        SDL_DestroyTexture(v.prescaled);
        v.prescaled = nullptr;
    }
    if (!v.prescaled && !v.prescaleRefused) {
        v.prescaled = SDL_CreateTexture(v.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET, w, h);
        v.prescaledWidth = w;
        v.prescaledHeight = h;
        if (!v.prescaled) {
            std::fprintf(stderr, "zelk6: sharp scaling is not possible here (%s); using linear\n", SDL_GetError());
            v.prescaleRefused = true;
        }
    }
    if (!v.prescaled) return nullptr;
    SDL_SetTextureScaleMode(v.texture, SDL_ScaleModeNearest);
    SDL_SetRenderTarget(v.renderer, v.prescaled);
    SDL_RenderCopy(v.renderer, v.texture, nullptr, nullptr);
    SDL_SetRenderTarget(v.renderer, nullptr);
    return v.prescaled;
}

}  // namespace

// The frame in the texture, fitted to the window's drawable size as the mode says.
void SdlDrawFrame() {
    if (!v.renderer) return;
    int w = 0, h = 0;
    if (SDL_GetRendererOutputSize(v.renderer, &w, &h) != 0 || w <= 0 || h <= 0) return;
    const ScalePlan plan = PlanScale(w, h, v.width, v.height, v.scale);
    SDL_Texture* source = v.texture;
    if (plan.filter == ScaleFilter::Sharp) source = Prescale(plan.prescaleX, plan.prescaleY);
    if (!source) source = v.texture;
    SDL_SetTextureScaleMode(source, plan.filter == ScaleFilter::Nearest ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    SDL_SetRenderDrawColor(v.renderer, 0, 0, 0, 255);
    SDL_RenderClear(v.renderer);
    const SDL_Rect target = {plan.target.x, plan.target.y, plan.target.w, plan.target.h};
    SDL_RenderCopy(v.renderer, source, nullptr, &target);
    SDL_RenderPresent(v.renderer);
}

SDL_Window* SdlDisplayWindow() { return v.window; }

bool SdlInitVideo(std::string& why) {
    if (v.initialised) return true;
    // Ctrl+C and kill end the process as usual; the show's own keys are its business.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        why = SDL_GetError();
        return false;
    }
    v.initialised = true;
    return true;
}

std::vector<HostDisplayInfo> SdlDisplays() {
    std::vector<HostDisplayInfo> displays;
    int n = SDL_GetNumVideoDisplays();
    for (int i = 0; i < n; i++) {
        HostDisplayInfo info;
        const char* name = SDL_GetDisplayName(i);
        info.name = name && *name ? name : "display " + std::to_string(i + 1);
        SDL_DisplayMode mode;
        if (SDL_GetDesktopDisplayMode(i, &mode) == 0) {
            info.width = mode.w;
            info.height = mode.h;
        }
        displays.push_back(info);
    }
    return displays;
}

bool SdlOpenDisplay(int display, int width, int height, std::string& why) {
    if (!SdlInitVideo(why)) return false;
    if (v.window) return true;
    // Hidden until drawable, as the dialogs: the accelerated renderer remakes the window.
    Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN;
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
    if (display >= 0) {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        x = y = static_cast<int>(SDL_WINDOWPOS_CENTERED_DISPLAY(display));
    }
    v.scale = ReadScaleSettings();  // the show opens its display once, at start
    v.window = SDL_CreateWindow("Zelk6", x, y, width, height, flags);
    if (!v.window) {
        why = std::string("cannot create the window: ") + SDL_GetError();
        return false;
    }
    SDL_SetWindowMinimumSize(v.window, width, height);
    v.renderer = SDL_CreateRenderer(v.window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (!v.renderer) v.renderer = SDL_CreateRenderer(v.window, -1, SDL_RENDERER_PRESENTVSYNC);
    if (!v.renderer) v.renderer = SDL_CreateRenderer(v.window, -1, 0);
    if (v.renderer)
        v.texture = SDL_CreateTexture(v.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                      width, height);
    if (!v.renderer || !v.texture) {
        why = std::string("cannot draw into the window: ") + SDL_GetError();
        SdlCloseDisplay();
        return false;
    }
    v.width = width;
    v.height = height;
    v.staging.assign(static_cast<size_t>(width) * height, 0);
    SDL_DisplayMode mode;
    int refresh = 60;
    if (SDL_GetCurrentDisplayMode(display >= 0 ? display : 0, &mode) == 0 && mode.refresh_rate >= 30)
        refresh = mode.refresh_rate;
    v.frameTicks = SDL_GetPerformanceFrequency() / static_cast<uint64_t>(refresh);
    SDL_ShowWindow(v.window);
    MatchWindowToDrawing();
    SDL_ShowCursor(v.cursorVisible ? SDL_ENABLE : SDL_DISABLE);
    return true;
}

// The real clock runs on by itself; a failed flip returns at once, as on the original.
void SdlMissFrame() {}

void SdlPresent(const uint16_t* pixels, int width, int height, int pitch, bool rgb555) {
    if (!v.texture || width != v.width || height != v.height) return;
    const uint32_t* lut = PixelExpandTable(rgb555);
    for (int y = 0; y < height; y++) {
        const uint16_t* in = reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(pixels) +
                                                               static_cast<ptrdiff_t>(y) * pitch);
        uint32_t* out = v.staging.data() + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; x++) out[x] = lut[in[x]];
    }
    SDL_UpdateTexture(v.texture, nullptr, v.staging.data(), width * 4);
    SdlDrawFrame();
    // Vsync does not wait under every driver (dummy, Xvfb, refresh above 60 Hz): never
    // present faster than the display refreshes, so the show never spins a core.
    uint64_t now = SDL_GetPerformanceCounter();
    if (v.lastPresent && now - v.lastPresent < v.frameTicks) {
        uint64_t waitMs = (v.frameTicks - (now - v.lastPresent)) * 1000 / SDL_GetPerformanceFrequency();
        if (waitMs > 0) SDL_Delay(static_cast<Uint32>(waitMs));
        now = SDL_GetPerformanceCounter();
    }
    v.lastPresent = now;
}

void SdlCloseDisplay() {
    if (v.prescaled) SDL_DestroyTexture(v.prescaled);
    if (v.texture) SDL_DestroyTexture(v.texture);
    if (v.renderer) SDL_DestroyRenderer(v.renderer);
    if (v.window) SDL_DestroyWindow(v.window);
    v.prescaled = nullptr;
    v.texture = nullptr;
    v.renderer = nullptr;
    v.window = nullptr;
}

void SdlShowCursor(bool visible) {
    v.cursorVisible = visible;
    if (v.initialised) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void SdlToggleFullscreen() {
    if (!v.window) return;
    bool full = SDL_GetWindowFlags(v.window) & SDL_WINDOW_FULLSCREEN_DESKTOP;
    SDL_SetWindowFullscreen(v.window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    MatchWindowToDrawing();
}

// The last frame is drawn again at once, so the change shows even while the show waits.
void SdlCycleScaleMode() {
    v.scale.mode = NextScaleMode(v.scale.mode);
    if (v.texture) SdlDrawFrame();
}

uint32_t SdlTicks() { return static_cast<uint32_t>(SDL_GetTicks64()); }

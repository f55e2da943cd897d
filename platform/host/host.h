// The seam between the platform stand-in and this machine. Only what must touch the real
// machine crosses it: presenting a finished 16-bit frame, input turned into window
// messages, the clock, the audio device (pull model), message boxes and dialog windows.
// Surfaces, blits, pixel conversion, module decoding and the rasterizer stay in the
// stand-in, so they behave the same on every host.
//
// A host is chosen once, before WinMain runs, from the table in host.cpp: "sdl" for the
// show, "offscreen" for the capture tool and the tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Fills `frames` stereo frames of signed 16-bit samples at the rate the device opened with.
// Called on the audio thread (sdl) or on the show's thread inside a flip (offscreen). True
// while music plays (its frames may still be silent, after a song played once has ended);
// false when nothing plays and the frames are silence.
typedef bool (*HostAudioPull)(void* user, int16_t* samples, int frames);

// Keys cross the seam as the platform's virtual-key numbers, which the stand-in hands on as
// they are: these, letters and digits as their upper-case ASCII codes, and F1 to F12 from
// kHostKeyF1 on.
enum HostKey : int {
    kHostKeyBack = 0x08, kHostKeyTab = 0x09, kHostKeyReturn = 0x0D, kHostKeyShift = 0x10,
    kHostKeyControl = 0x11, kHostKeyAlt = 0x12, kHostKeyEscape = 0x1B, kHostKeySpace = 0x20,
    kHostKeyPageUp = 0x21, kHostKeyPageDown = 0x22, kHostKeyEnd = 0x23, kHostKeyHome = 0x24,
    kHostKeyLeft = 0x25, kHostKeyUp = 0x26, kHostKeyRight = 0x27, kHostKeyDown = 0x28,
    kHostKeyF1 = 0x70,
};

// Receives the input the host gathered; the stand-in turns it into window messages.
struct HostInputSink {
    // A key went down (repeat set on auto-repeat). vk is a virtual-key code; alt says
    // whether Alt was held, which makes it a system key.
    void (*KeyDown)(int vk, bool alt, bool repeat);
    void (*KeyUp)(int vk, bool alt);
    // The window's close button or the window manager asked the window to close.
    void (*CloseRequested)();
};

// Receives the input of a dialog window; coordinates are pixels of the dialog's image, the
// top-left corner 0, 0. `user` is handed back to every call.
struct HostDialogSink {
    void* user;
    // A key went down (also on auto-repeat); vk is a virtual-key code.
    void (*KeyDown)(void* user, int vk, bool shift, bool alt);
    // The left mouse button went down or up.
    void (*MouseDown)(void* user, int x, int y);
    void (*MouseUp)(void* user, int x, int y);
    // The window's close button or the window manager asked the dialog to close.
    void (*CloseRequested)(void* user);
};

struct HostDisplayInfo {
    std::string name;  // what the display calls itself, e.g. "Virtual screen 0"
    int width = 0;     // its desktop size in pixels
    int height = 0;
};

struct Host {
    const char* name;

    // Video. InitVideo makes displays known (DirectDrawCreate); OpenDisplay shows the
    // 640x480 picture full screen on display `display`, or in a window when display is -1
    // (SetDisplayMode). Failures fill `why` with one line saying what the machine refused.
    bool (*InitVideo)(std::string& why);
    std::vector<HostDisplayInfo> (*Displays)();
    bool (*OpenDisplay)(int display, int width, int height, std::string& why);
    // The 16-bit layout of every display's pixels: 5-5-5 when true, else 5-6-5. DirectDraw
    // reports it as the surfaces' pixel format, and Present gets frames in it.
    bool (*DisplayRgb555)();
    // Shows one finished frame: width x height 16-bit pixels, rows pitch bytes apart,
    // 5-5-5 when rgb555 else 5-6-5. Paces to the display (the flip's wait).
    void (*Present)(const uint16_t* pixels, int width, int height, int pitch, bool rgb555);
    // A flip failed and showed nothing. Time passes all the same: a virtual clock moves on by
    // a frame, as a real display's would, so a show whose flips keep failing still ends.
    void (*MissFrame)();
    void (*CloseDisplay)();
    void (*ShowCursor)(bool visible);

    // Input: delivers every pending event to the sink and returns without waiting.
    void (*PumpEvents)(const HostInputSink& sink);

    // Clock: milliseconds, wrapping modulo 2^32.
    uint32_t (*Ticks)();

    // Audio. Devices are named by index into AudioDevices(); -1 is the default device.
    // OpenAudio starts pulling at once; `rate` receives the frames per second it runs at.
    std::vector<std::string> (*AudioDevices)();
    bool (*OpenAudio)(int device, HostAudioPull pull, void* user, int& rate, std::string& why);
    void (*LockAudio)();    // the pull function is not running while locked
    void (*UnlockAudio)();
    void (*CloseAudio)();

    // A modal message box with one OK button; returns when it was answered.
    void (*MessageBox)(const char* text, const char* caption);

    // Dialog windows, one at a time, each modal until closed. OpenDialog shows a window
    // titled `title` whose inside is width x height pixels, at x, y of the main display;
    // false (and `why`) when there is no screen a user could answer it on. PresentDialog
    // shows the dialog's image: width x height 0x00RRGGBB words, rows packed. WaitDialogEvents
    // waits at most about timeoutMs for input and delivers all that came to `sink`.
    bool (*OpenDialog)(const char* title, int x, int y, int width, int height, std::string& why);
    void (*PresentDialog)(const uint32_t* pixels, int width, int height);
    void (*WaitDialogEvents)(const HostDialogSink& sink, int timeoutMs);
    void (*CloseDialog)();
    // The open list of a dialog's drop-down box, as the platform shows it: a frameless window
    // of its own above the dialog, which may reach past the dialog's edges. PresentDialogList
    // shows width x height pixels (as PresentDialog's) with their top-left corner at x, y of
    // the dialog's image; width 0 takes the list away. Clicks on it reach the dialog's sink in
    // the dialog image's pixels. DialogRoomBelow: the pixels from row y of the dialog's image
    // down to the bottom of the screen the dialog is on, the most a list there can take.
    void (*PresentDialogList)(const uint32_t* pixels, int x, int y, int width, int height);
    int (*DialogRoomBelow)(int y);
};

// Chooses the host by name; returns false for an unknown name. Call once, before WinMain.
bool SelectHost(const char* name);
// The chosen host. Selecting none means "offscreen", so tests need no set-up.
const Host& ActiveHost();

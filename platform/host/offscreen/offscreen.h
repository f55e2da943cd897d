// The offscreen host: no window and no sound card. Its clock is virtual and advances only
// when a frame is presented, so every read of GetTickCount while a frame is drawn gives the
// same value; sound is rendered in step with that clock. The capture tool and the tests
// configure it before WinMain runs.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/host/host.h"

// One scripted answer step for a dialog: a key press, a left click (button down and up at
// x, y, pixels of the dialog's image), the button only going down or up, or the window's
// close button.
struct OffscreenDialogInput {
    enum Kind { Key, Click, MouseDown, MouseUp, Close } kind = Key;
    int vk = 0;  // Key: a virtual-key code (VK_RETURN, VK_TAB, ...)
    bool shift = false, alt = false;
    int x = 0, y = 0;  // Click, MouseDown, MouseUp
};

struct OffscreenConfig {
    uint32_t startTick = 0;  // GetTickCount before the first present

    // Milliseconds to advance after the frame presented at `tick`. Default: 60 frames a
    // second, 1000/60 ms with the fractions carried (16, 17, 17, 16, ...).
    std::function<uint32_t(uint32_t tick)> step;

    // Each presented frame, with the tick it was drawn at (before the clock advances).
    std::function<void(const uint16_t* pixels, int width, int height, int pitch, bool rgb555,
                       uint32_t tick)>
        onFrame;

    // Called on each input pump, with the current tick: post scripted keys through `sink`.
    std::function<void(uint32_t tick, const HostInputSink& sink)> onPump;

    // Every block of sound the audio device pulled: interleaved stereo 16-bit frames, whether
    // music was playing (what the pull said), and what audioTag said when the block fell due
    // (0 without it).
    std::function<void(const int16_t* samples, int frames, bool playing, int tag)> onAudio;
    // Called on the show's thread as sound falls due, right after a frame is presented (and
    // when the sound closes): what onAudio needs to know of that moment.
    std::function<int()> audioTag;
    int audioRate = 48000;
    // Renders the sound on a thread of its own while the show draws on: the same blocks in
    // the same order, but onAudio runs on that thread. The show's audio lock, closing the
    // sound, OffscreenAudioFramesPulled and OffscreenFinishAudio wait for the blocks due.
    bool audioAhead = false;

    // What the machine refuses, to drive the failure paths.
    bool videoAvailable = true;
    bool audioAvailable = true;
    std::vector<HostDisplayInfo> displays{{"Offscreen display", 640, 480}};
    bool rgb555 = false;  // the displays' 16-bit layout: 5-5-5, else 5-6-5
    std::vector<std::string> audioDevices{"Offscreen audio"};

    // Dialogs have no window here; they are answered from a script instead. Each time a
    // dialog waits for input it gets the next step listed under its title ("Zelk6" for the
    // render-device dialog, "Sound set-up" for the music library's). A dialog whose steps are
    // used up (or that has none) gets Return, which accepts what it shows; one still open
    // after eight more waits is closed from its caption. So by default every dialog is
    // answered OK with its preselected choices.
    std::map<std::string, std::vector<OffscreenDialogInput>> dialogAnswers;
    // Sees each image a dialog shows (0x00RRGGBB words, rows packed), with its title.
    std::function<void(const std::string& title, const uint32_t* pixels, int width, int height)>
        onDialogImage;
    // Sees each image of a dialog's open drop-down list and where it lies in the dialog's
    // pixels (it may reach past the dialog's edges; the first display's height is the
    // screen's bottom), and with width 0 each time the list is taken away.
    std::function<void(const std::string& title, const uint32_t* pixels, int x, int y, int width, int height)>
        onDialogList;
    // False: OpenDialog refuses, as the sdl host does without a screen.
    bool dialogsAvailable = true;

    // Message boxes are answered at once; this sees their text.
    std::function<void(const std::string& text, const std::string& caption)> onMessageBox;
};

// Replaces the offscreen host's configuration and restarts its clock.
void ConfigureOffscreen(const OffscreenConfig& config);
// The step function of a virtual frame rate: 1000/fps ms a frame, fractions carried.
std::function<uint32_t(uint32_t)> OffscreenFrameRate(int fps);
// Frames presented and the audio frames pulled so far.
long OffscreenFramesPresented();
// (With audioAhead both wait until every block due so far is rendered.)
long OffscreenAudioFramesPulled();
void OffscreenFinishAudio();
// The titles of the dialogs opened since the last ConfigureOffscreen, in order.
std::vector<std::string> OffscreenDialogsShown();
// Scripted steps for the capture tool's --renderer choice in the render-device dialog: keep
// the "Hardware rendering" box ticked (Return) or clear it first (Tab to it, Space, Return).
std::vector<OffscreenDialogInput> OffscreenRendererAnswer(bool hardware);

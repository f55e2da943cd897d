// The offscreen host: a virtual clock that moves only on a present, frames handed to the
// capture tool or a test, scripted input, and sound rendered in step with the clock.
#include "platform/host/offscreen/offscreen.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

struct OffscreenState {
    OffscreenConfig config;
    uint32_t tick = 0;
    long frames = 0;
    bool displayOpen = false;
    // Audio: the device pulls exactly rate * elapsed ms / 1000 frames, counted from the tick
    // it opened at, so the sound is as long as the virtual time that passed.
    HostAudioPull pull = nullptr;
    void* pullUser = nullptr;
    uint32_t audioOpenTick = 0;
    long audioFrames = 0;
    std::vector<int16_t> audioBuffer;
};

OffscreenState& O() {
    static OffscreenState state = [] {
        OffscreenState s;
        s.config.step = OffscreenFrameRate(60);
        return s;
    }();
    return state;
}

void PullAudioUpTo(uint32_t tick) {
    OffscreenState& o = O();
    if (!o.pull) return;
    const uint64_t elapsedMs = static_cast<uint32_t>(tick - o.audioOpenTick);
    const long due = static_cast<long>(elapsedMs * static_cast<uint64_t>(o.config.audioRate) / 1000);
    while (o.audioFrames < due) {
        const int chunk = static_cast<int>(std::min<long>(due - o.audioFrames, 4096));
        o.audioBuffer.assign(static_cast<size_t>(chunk) * 2, 0);
        o.pull(o.pullUser, o.audioBuffer.data(), chunk);
        if (o.config.onAudio) o.config.onAudio(o.audioBuffer.data(), chunk);
        o.audioFrames += chunk;
    }
}

bool InitVideo(std::string& why) {
    if (!O().config.videoAvailable) {
        why = "the offscreen host was told there is no display";
        return false;
    }
    return true;
}

std::vector<HostDisplayInfo> Displays() { return O().config.displays; }

bool OpenDisplay(int display, int width, int height, std::string& why) {
    (void)width, (void)height;
    if (!O().config.videoAvailable) {
        why = "the offscreen host was told there is no display";
        return false;
    }
    if (display >= static_cast<int>(O().config.displays.size())) {
        why = "there is no display " + std::to_string(display);
        return false;
    }
    O().displayOpen = true;
    return true;
}

void Present(const uint16_t* pixels, int width, int height, int pitch, bool rgb555) {
    OffscreenState& o = O();
    if (o.config.onFrame) o.config.onFrame(pixels, width, height, pitch, rgb555, o.tick);
    o.frames++;
    o.tick += o.config.step ? o.config.step(o.tick) : 16;
    PullAudioUpTo(o.tick);
}

void CloseDisplay() { O().displayOpen = false; }
void ShowCursorNothing(bool) {}

void PumpEvents(const HostInputSink& sink) {
    if (O().config.onPump) O().config.onPump(O().tick, sink);
}

uint32_t Ticks() { return O().tick; }

std::vector<std::string> AudioDevices() { return O().config.audioDevices; }

bool OpenAudio(int device, HostAudioPull pull, void* user, int& rate, std::string& why) {
    OffscreenState& o = O();
    if (!o.config.audioAvailable || device >= static_cast<int>(o.config.audioDevices.size())) {
        why = "the offscreen host was told there is no audio device";
        return false;
    }
    o.pull = pull;
    o.pullUser = user;
    o.audioOpenTick = o.tick;
    o.audioFrames = 0;
    rate = o.config.audioRate;
    return true;
}

void LockAudio() {}
void UnlockAudio() {}

void CloseAudio() {
    PullAudioUpTo(O().tick);
    O().pull = nullptr;
}

void MessageBox(const char* text, const char* caption) {
    if (O().config.onMessageBox) O().config.onMessageBox(text, caption);
}

const Host kOffscreenHost = {
    "offscreen", InitVideo, Displays, OpenDisplay,
    Present,     CloseDisplay, ShowCursorNothing, PumpEvents, Ticks, AudioDevices, OpenAudio,
    LockAudio,   UnlockAudio, CloseAudio, MessageBox,
};

}  // namespace

const Host& OffscreenHost() { return kOffscreenHost; }

void ConfigureOffscreen(const OffscreenConfig& config) {
    OffscreenState& o = O();
    o.config = config;
    if (!o.config.step) o.config.step = OffscreenFrameRate(60);
    o.tick = config.startTick;
    o.frames = 0;
    o.pull = nullptr;
    o.audioFrames = 0;
    o.displayOpen = false;
}

std::function<uint32_t(uint32_t)> OffscreenFrameRate(int fps) {
    if (fps <= 0) fps = 60;
    // Frame n ends at floor(n * 1000 / fps) ms; the step is the difference, so the
    // fractions are carried and fps frames take exactly 1000 ms.
    auto frame = std::make_shared<uint64_t>(0);
    return [fps, frame](uint32_t) {
        uint64_t n = (*frame)++;
        return static_cast<uint32_t>((n + 1) * 1000 / fps - n * 1000 / fps);
    };
}

long OffscreenFramesPresented() { return O().frames; }
long OffscreenAudioFramesPulled() { return O().audioFrames; }

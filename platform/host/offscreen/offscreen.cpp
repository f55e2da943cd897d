// The offscreen host: a virtual clock that moves only on a present, frames handed to the
// capture tool or a test, scripted input, and sound rendered in step with the clock.
#include "platform/host/offscreen/offscreen.h"

#include "platform/host/offscreen/audio_ahead.h"

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
    AudioAhead ahead;  // with config.audioAhead
    // Dialogs: the steps left per title, the open dialog's title and its waits past its steps.
    std::map<std::string, std::vector<OffscreenDialogInput>> dialogSteps;
    std::vector<std::string> dialogsShown;
    std::string dialogTitle;
    int dialogY = 0;  // where the open dialog's image starts on the screen
    bool dialogOpen = false;
    int dialogExtraWaits = 0;
};

OffscreenState& O() {
    static OffscreenState state;
    if (!state.config.step) state.config.step = OffscreenFrameRate(60);
    return state;
}

void PullAudioUpTo(uint32_t tick) {
    OffscreenState& o = O();
    if (!o.pull) return;
    const uint64_t elapsedMs = static_cast<uint32_t>(tick - o.audioOpenTick);
    const long due = static_cast<long>(elapsedMs * static_cast<uint64_t>(o.config.audioRate) / 1000);
    if (o.audioFrames >= due) return;
    const int tag = o.config.audioTag ? o.config.audioTag() : 0;
    while (o.audioFrames < due) {
        const int chunk = static_cast<int>(std::min<long>(due - o.audioFrames, AudioAhead::kMaxBlock));
        if (o.config.audioAhead) {
            o.ahead.Post(chunk, tag);
        } else {
            AudioAhead::Render(o.pull, o.pullUser, o.config.onAudio, o.audioBuffer, chunk, tag);
        }
        o.audioFrames += chunk;
    }
}

// Every block due so far rendered: the pull is idle until the next one falls due.
void FinishAudio() { O().ahead.Drain(); }

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

bool DisplayRgb555() { return O().config.rgb555; }

// One frame's time on the virtual clock, and the sound of it.
void AdvanceFrame() {
    OffscreenState& o = O();
    o.tick += o.config.step ? o.config.step(o.tick) : 16;
    PullAudioUpTo(o.tick);
}

void Present(const uint16_t* pixels, int width, int height, int pitch, bool rgb555) {
    OffscreenState& o = O();
    if (o.config.onFrame) o.config.onFrame(pixels, width, height, pitch, rgb555, o.tick);
    o.frames++;
    AdvanceFrame();
}

void MissFrame() { AdvanceFrame(); }

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
    if (o.config.audioAhead) o.ahead.Start(pull, user, o.config.onAudio);
    rate = o.config.audioRate;
    return true;
}

// The show's thread changes what plays only under the lock: the blocks already due are
// rendered with what played while they were due. Nothing new falls due until it presents again.
void LockAudio() { FinishAudio(); }
void UnlockAudio() {}

void CloseAudio() {
    PullAudioUpTo(O().tick);
    FinishAudio();
    O().pull = nullptr;
}

void MessageBox(const char* text, const char* caption) {
    if (O().config.onMessageBox) O().config.onMessageBox(text, caption);
}

bool OpenDialog(const char* title, int x, int y, int width, int height, std::string& why) {
    (void)x, (void)width, (void)height;
    OffscreenState& o = O();
    if (!o.config.dialogsAvailable) {
        why = "the offscreen host was told there is no screen for dialogs";
        return false;
    }
    o.dialogTitle = title ? title : "";
    o.dialogY = y;
    o.dialogOpen = true;
    o.dialogExtraWaits = 0;
    o.dialogsShown.push_back(o.dialogTitle);
    return true;
}

void PresentDialog(const uint32_t* pixels, int width, int height) {
    OffscreenState& o = O();
    if (o.dialogOpen && o.config.onDialogImage) o.config.onDialogImage(o.dialogTitle, pixels, width, height);
}

// One step a wait: the next scripted one, else Return, else (after eight) a close request.
void WaitDialogEvents(const HostDialogSink& sink, int timeoutMs) {
    (void)timeoutMs;
    OffscreenState& o = O();
    if (!o.dialogOpen) return;
    std::vector<OffscreenDialogInput>& steps = o.dialogSteps[o.dialogTitle];
    if (steps.empty()) {
        if (o.dialogExtraWaits++ < 8)
            sink.KeyDown(sink.user, kHostKeyReturn, false, false);
        else
            sink.CloseRequested(sink.user);
        return;
    }
    const OffscreenDialogInput step = steps.front();
    steps.erase(steps.begin());
    switch (step.kind) {
        case OffscreenDialogInput::Key:
            sink.KeyDown(sink.user, step.vk, step.shift, step.alt);
            break;
        case OffscreenDialogInput::Click:
            sink.MouseDown(sink.user, step.x, step.y);
            sink.MouseUp(sink.user, step.x, step.y);
            break;
        case OffscreenDialogInput::MouseDown:
            sink.MouseDown(sink.user, step.x, step.y);
            break;
        case OffscreenDialogInput::MouseUp:
            sink.MouseUp(sink.user, step.x, step.y);
            break;
        case OffscreenDialogInput::Close:
            sink.CloseRequested(sink.user);
            break;
    }
}

void CloseDialog() { O().dialogOpen = false; }

void PresentDialogList(const uint32_t* pixels, int x, int y, int width, int height) {
    OffscreenState& o = O();
    if (o.dialogOpen && o.config.onDialogList) o.config.onDialogList(o.dialogTitle, pixels, x, y, width, height);
}

// The dialog stands where its template puts it on the first display.
int DialogRoomBelow(int y) {
    const OffscreenState& o = O();
    const int screen = o.config.displays.empty() ? 480 : o.config.displays.front().height;
    const int room = screen - (o.dialogY + y);
    return room > 0 ? room : 0;
}

const Host kOffscreenHost = {
    "offscreen", InitVideo, Displays, OpenDisplay, DisplayRgb555,
    Present,     MissFrame,   CloseDisplay, ShowCursorNothing, PumpEvents, Ticks, AudioDevices, OpenAudio,
    LockAudio,   UnlockAudio, CloseAudio, MessageBox, OpenDialog, PresentDialog, WaitDialogEvents,
    CloseDialog, PresentDialogList, DialogRoomBelow,
};

}  // namespace

const Host& OffscreenHost() { return kOffscreenHost; }

void ConfigureOffscreen(const OffscreenConfig& config) {
    OffscreenState& o = O();
    o.ahead.Stop();  // its blocks go to the sink of the configuration they fell due under
    o.config = config;
    if (!o.config.step) o.config.step = OffscreenFrameRate(60);
    o.tick = config.startTick;
    o.frames = 0;
    o.pull = nullptr;
    o.audioFrames = 0;
    o.displayOpen = false;
    o.dialogSteps = config.dialogAnswers;
    o.dialogsShown.clear();
    o.dialogOpen = false;
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
long OffscreenAudioFramesPulled() {
    FinishAudio();
    return O().audioFrames;
}

void OffscreenFinishAudio() { FinishAudio(); }

std::vector<std::string> OffscreenDialogsShown() { return O().dialogsShown; }

std::vector<OffscreenDialogInput> OffscreenRendererAnswer(bool hardware) {
    // Tab order of the render-device dialog: OK (focused first), Cancel, the list, the box.
    const int tab = 0x09, space = 0x20, enter = 0x0D;
    if (hardware) return {{OffscreenDialogInput::Key, enter}};
    return {{OffscreenDialogInput::Key, tab}, {OffscreenDialogInput::Key, tab},
            {OffscreenDialogInput::Key, tab}, {OffscreenDialogInput::Key, space},
            {OffscreenDialogInput::Key, enter}};
}

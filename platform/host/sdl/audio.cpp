// The SDL host's audio device: signed 16-bit stereo, 48 kHz asked for (SDL may choose another
// rate, which is reported so the music renders at it and SDL does not resample), pulled by
// SDL's callback on its own thread. One device at a time.
#include <SDL.h>

#include "platform/host/sdl/sdl_host.h"

namespace {

// 1024 frames: 21 ms at 48 kHz, short enough for the picture, long enough not to stutter.
constexpr Uint16 kBufferFrames = 1024;

struct Audio {
    bool subsystemUp = false;  // we initialised SDL's audio subsystem and have not quit it
    SDL_AudioDeviceID device = 0;
    HostAudioPull pull = nullptr;
    void* user = nullptr;
};

Audio a;

// SDL's audio thread, holding the device lock: the show's thread waits at most one of these.
void Callback(void* userdata, Uint8* stream, int len) {
    (void)userdata;
    // Stereo 16-bit: 4 bytes a frame.
    a.pull(a.user, reinterpret_cast<int16_t*>(stream), len / 4);
}

bool StartSubsystem(std::string& why) {
    if (a.subsystemUp) return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        why = std::string("no audio: ") + SDL_GetError();
        return false;
    }
    a.subsystemUp = true;
    return true;
}

void StopSubsystem() {
    if (!a.subsystemUp) return;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    a.subsystemUp = false;
}

void CloseDevice() {
    if (!a.device) return;
    SDL_CloseAudioDevice(a.device);  // waits for a running callback, then stops the thread
    a.device = 0;
    a.pull = nullptr;
    a.user = nullptr;
}

}  // namespace

std::vector<std::string> SdlAudioDevices() {
    std::vector<std::string> names;
    std::string why;
    if (!StartSubsystem(why)) return names;
    const int count = SDL_GetNumAudioDevices(0);
    for (int i = 0; i < count; i++) {
        const char* name = SDL_GetAudioDeviceName(i, 0);
        names.push_back(name ? name : "Audio device " + std::to_string(i + 1));
    }
    return names;
}

bool SdlOpenAudio(int device, HostAudioPull pull, void* user, int& rate, std::string& why) {
    CloseDevice();
    if (!pull) {
        why = "no pull function given for the audio device";
        return false;
    }
    if (!StartSubsystem(why)) return false;
    const char* name = nullptr;
    if (device >= 0) {
        // Counting the devices also refreshes SDL's list, which the name lookup reads.
        if (device < SDL_GetNumAudioDevices(0)) name = SDL_GetAudioDeviceName(device, 0);
        if (!name) {
            why = "no audio device number " + std::to_string(device);
            StopSubsystem();
            return false;
        }
    }

    SDL_AudioSpec want{}, have{};
    want.freq = 48000;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kBufferFrames;
    want.callback = Callback;
    a.pull = pull;
    a.user = user;
    a.device = SDL_OpenAudioDevice(name, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (a.device == 0) {
        why = std::string("no audio device: ") + SDL_GetError();
        a.pull = nullptr;
        a.user = nullptr;
        StopSubsystem();
        return false;
    }
    rate = have.freq;
    SDL_PauseAudioDevice(a.device, 0);
    return true;
}

void SdlLockAudio() {
    if (a.device) SDL_LockAudioDevice(a.device);
}

void SdlUnlockAudio() {
    if (a.device) SDL_UnlockAudioDevice(a.device);
}

void SdlCloseAudio() {
    CloseDevice();
    StopSubsystem();
}

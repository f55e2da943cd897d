// The music library's life: start-up, options, the set-up's choice of output device, opening
// and closing the host's audio device. A device the machine refuses means "No sound": the
// calls still succeed and the music is skipped, with one line on stderr saying why.
#include <cstdio>

#include "platform/host/host.h"
#include "platform/midas/library.h"

MidasLibrary Midas;

namespace {

void CloseDevice() {
    if (!Midas.deviceOpen) return;
    ActiveHost().CloseAudio();
    Midas.deviceOpen = false;
    Midas.rate = 0;
}

// Stops the music, closes the device and frees every module still loaded.
void Shutdown() {
    MidasStopPlaying();
    CloseDevice();
    while (!Midas.modules.empty()) MidasDestroyModule(Midas.modules.back());
    Midas.initialized = false;
}

// libopenmpt renders at 8000..192000 frames per second.
bool UsableRate(int rate) { return rate >= 8000 && rate <= 192000; }

}  // namespace

void MidasSetOutputDevice(int device) { Midas.outputDevice = device; }
int MidasOutputDevice() { return Midas.outputDevice; }
int MidasOutputRate() { return Midas.deviceOpen ? Midas.rate : 0; }

void MidasLockAudio() {
    if (Midas.deviceOpen) ActiveHost().LockAudio();
}

void MidasUnlockAudio() {
    if (Midas.deviceOpen) ActiveHost().UnlockAudio();
}

BOOL MIDASstartup() {
    if (MidasEnter("MIDASstartup")) return FALSE;
    Shutdown();
    Midas.options.clear();
    Midas.outputDevice = kMidasDefaultDevice;
    Midas.lastHandle = 0;
    Midas.lastError = kMidasOk;
    Midas.lastErrorText.clear();
    return TRUE;
}

BOOL MIDASsetOption(int option, DWORD_PTR value) {
    if (MidasEnter("MIDASsetOption")) return FALSE;
    Midas.options[option] = value;
    return TRUE;
}

// Until the set-up has a dialog: the default device when the host can open it (opened and
// closed again at once), otherwise "No sound".
BOOL MIDASconfig() {
    if (MidasEnter("MIDASconfig")) return FALSE;
    if (Midas.deviceOpen) return TRUE;  // already playing through a device: keep it
    int rate = 0;
    std::string why;
    if (ActiveHost().OpenAudio(kMidasDefaultDevice, MidasPull, nullptr, rate, why)) {
        ActiveHost().CloseAudio();
        Midas.outputDevice = kMidasDefaultDevice;
    } else {
        fprintf(stderr, "zelk6: no sound: %s\n", why.c_str());
        Midas.outputDevice = kMidasNoSound;
    }
    return TRUE;
}

BOOL MIDASinit() {
    if (MidasEnter("MIDASinit")) return FALSE;
    if (Midas.initialized)
        return MidasFail(kMidasErrorAlreadyInitialized,
                         "MIDASinit: the music library is already initialized");
    if (Midas.outputDevice != kMidasNoSound) {
        int rate = 0;
        std::string why;
        if (!ActiveHost().OpenAudio(Midas.outputDevice, MidasPull, nullptr, rate, why)) {
            fprintf(stderr, "zelk6: no sound: %s\n", why.c_str());
        } else if (!UsableRate(rate)) {
            ActiveHost().CloseAudio();
            fprintf(stderr, "zelk6: no sound: the audio device runs at %d Hz, outside 8000..192000\n",
                    rate);
        } else {
            // The pull already runs, but renders nothing until a module plays; the lock
            // publishes the rate before that.
            Midas.deviceOpen = true;
            MidasLockAudio();
            Midas.rate = rate;
            MidasUnlockAudio();
        }
    }
    Midas.initialized = true;
    return TRUE;
}

BOOL MIDASclose() {
    if (MidasEnter("MIDASclose")) return FALSE;
    Shutdown();
    return TRUE;
}

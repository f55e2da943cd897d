// Playing a module: one module at a time, rendered by the host's pull at the device's rate.
// The show's thread changes what plays only under the host's audio lock, so the pull never
// sees a module half-started or freed.
#include <algorithm>
#include <string>

#include "platform/midas/library.h"

bool MidasPull(void* user, int16_t* samples, int frames) {
    (void)user;
    MIDASmoduleRecord* record = Midas.playing;
    if (frames <= 0) return record != nullptr;
    size_t done = 0;
    if (record && !Midas.songEnded) {
        done = openmpt_module_read_interleaved_stereo(record->mod, Midas.rate,
                                                      static_cast<size_t>(frames), samples);
        // Fewer frames than asked only at the end of a song played once; after it, silence.
        if (done < static_cast<size_t>(frames)) Midas.songEnded = true;
    }
    std::fill(samples + done * 2, samples + static_cast<size_t>(frames) * 2, int16_t{0});
    return record != nullptr;  // a song played once still plays, as silence, until stopped
}

void MidasStopPlaying() {
    if (!Midas.playing) return;
    MidasLockAudio();
    Midas.playing = nullptr;
    MidasUnlockAudio();
    Midas.playHandle = 0;
}

MIDASmodulePlayHandle MIDASplayModule(MIDASmodule module, BOOL loopSong) {
    if (MidasEnter("MIDASplayModule")) return 0;
    if (!Midas.initialized)
        return MidasFail(kMidasErrorNotInitialized,
                         "MIDASplayModule: the music library is not initialized");
    if (std::find(Midas.modules.begin(), Midas.modules.end(), module) == Midas.modules.end())
        return MidasFail(kMidasErrorInvalidModule,
                         "MIDASplayModule: not a loaded module (never loaded, or already freed)");

    MidasLockAudio();
    // Rewinding renders the same samples as a freshly loaded module (measured).
    openmpt_module_set_position_seconds(module->mod, 0.0);
    openmpt_module_set_repeat_count(module->mod, loopSong ? -1 : 0);
    Midas.playing = module;
    Midas.songEnded = false;
    MidasUnlockAudio();

    if (++Midas.lastHandle == 0) Midas.lastHandle = 1;
    Midas.playHandle = Midas.lastHandle;
    return Midas.playHandle;
}

BOOL MIDASstopModule(MIDASmodulePlayHandle playHandle) {
    if (MidasEnter("MIDASstopModule")) return FALSE;
    if (playHandle == 0 || playHandle != Midas.playHandle)
        return MidasFail(kMidasErrorInvalidPlayHandle,
                         "MIDASstopModule: play handle " + std::to_string(playHandle) +
                             " is not playing");
    MidasStopPlaying();
    return TRUE;
}

// The host's device pulls the sound itself; polling has nothing left to do.
BOOL MIDASpoll() {
    if (MidasEnter("MIDASpoll")) return FALSE;
    return TRUE;
}

// The music library's state and helpers shared by the files of platform/midas/. Stand-in
// internal: nothing outside this folder includes it.
#pragma once

#include <libopenmpt/libopenmpt.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/midas/midas.h"
#include "platform/midas/midas_internal.h"

// One loaded module: what MIDASmodule points at.
struct MIDASmoduleRecord {
    openmpt_module* mod = nullptr;
    // libopenmpt's warnings while the module loads, "; "-separated; later ones are dropped.
    std::string loadLog;
    bool loading = true;
};

// Codes of MIDASgetLastError. Texts are in errors.cpp.
enum MidasErrorCode {
    kMidasOk = 0,
    kMidasErrorForced = 1,          // a test made the call fail
    kMidasErrorNotInitialized = 2,  // MIDASinit has not succeeded
    kMidasErrorAlreadyInitialized = 3,
    kMidasErrorFileOpen = 4,
    kMidasErrorFileRead = 5,
    kMidasErrorFileTooLarge = 6,
    kMidasErrorBadModule = 7,  // libopenmpt refused the file
    kMidasErrorOutOfMemory = 8,
    kMidasErrorInvalidModule = 9,  // not a module this library loaded, or already freed
    kMidasErrorInvalidPlayHandle = 10,
    kMidasErrorCount
};

// The whole library, owned by the show's thread from MIDASstartup to MIDASclose. The pull
// (audio thread on the sdl host) reads `playing` and `rate` and writes `songEnded`; the
// show's thread changes those only between LockAudio and UnlockAudio.
struct MidasLibrary {
    std::map<int, DWORD_PTR> options;  // MIDASsetOption: stored, not acted on
    int outputDevice = kMidasDefaultDevice;
    bool initialized = false;  // MIDASinit succeeded and MIDASclose has not run
    bool deviceOpen = false;   // the host's audio device is open and pulling
    int rate = 0;              // frames per second of the open device

    std::vector<MIDASmoduleRecord*> modules;  // every live module, to check the show's handles
    MIDASmoduleRecord* playing = nullptr;     // the module the pull renders, or null
    bool songEnded = false;                   // the pull reached the end of a song played once
    MIDASmodulePlayHandle playHandle = 0;     // handle of `playing`; 0 when nothing plays
    MIDASmodulePlayHandle lastHandle = 0;     // handles count up, skipping 0

    int lastError = kMidasOk;
    std::string lastErrorText;  // says what failed, naming the file for load errors
};
extern MidasLibrary Midas;

// Start of every MIDAS call: logs it and reports whether a test made it fail (the error is
// then set). `detail` is added to the log line.
bool MidasEnter(const char* call, const char* detail = nullptr);
// Records an error; returns 0 so callers can `return MidasFail(...)` for any result type.
int MidasFail(int code, const std::string& text);

// The host's pull function: renders the playing module, silence when nothing plays; true
// while a module plays.
bool MidasPull(void* user, int16_t* samples, int frames);
// Takes the host's audio lock while the device is open (the pull cannot run meanwhile).
void MidasLockAudio();
void MidasUnlockAudio();
// Stops whatever plays (under the lock); its play handle becomes invalid.
void MidasStopPlaying();
// Frees one live module (stopping it first) and forgets it.
void MidasDestroyModule(MIDASmoduleRecord* record);

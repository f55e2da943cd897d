// The sound library subset the show calls, on libopenmpt, played through the host's audio
// device. Calls return TRUE (or a handle) on success and 0 on failure; the last error is
// kept for MIDASgetLastError and MIDASgetErrorMessage, whose text says what failed and with
// which file. Left out: samples, streams, echo, the library's own timers.
#pragma once

#include <cstdint>

#include "platform/win32/win32.h"

struct MIDASmoduleRecord;
typedef MIDASmoduleRecord* MIDASmodule;
typedef DWORD MIDASmodulePlayHandle;
typedef uintptr_t DWORD_PTR;

// Options of MIDASsetOption that the show sets: the output mode and the owner window of
// the output device (the show passes a null window; neither changes playback here).
#define MIDAS_OPTION_DSOUND_MODE 5
#define MIDAS_OPTION_DSOUND_HWND 6

BOOL MIDASstartup();
BOOL MIDASsetOption(int option, DWORD_PTR value);
// The set-up: picks the output device (or "No sound"). 0 when the user cancelled.
BOOL MIDASconfig();
BOOL MIDASinit();
// fileName is Windows-style, relative to the working directory. Null on failure.
MIDASmodule MIDASloadModule(const char* fileName);
// Starts playing from the first order; loopSong non-zero repeats it. 0 on failure.
MIDASmodulePlayHandle MIDASplayModule(MIDASmodule module, BOOL loopSong);
BOOL MIDASpoll();
BOOL MIDASstopModule(MIDASmodulePlayHandle playHandle);
BOOL MIDASfreeModule(MIDASmodule module);
BOOL MIDASclose();
int MIDASgetLastError();
const char* MIDASgetErrorMessage(int errorCode);

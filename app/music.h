// The music library's handles and its one failure path.
#pragma once

#include "platform/midas/midas.h"

extern MIDASmodule MusicModule;           // null until loaded
extern MIDASmodulePlayHandle MusicPlayHandle;  // 0 until playing

// Shows the library's error text in a box captioned "Midas", closes the library and ends
// the program with 1. Never returns.
[[noreturn]] void FailWithMusicError();

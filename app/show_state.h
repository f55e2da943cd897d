// The show's state shared by the timeline and the segments: the clock, the Escape flag and the
// per-frame service. Everything runs on the program's one thread.
#pragma once

#include "platform/win32/win32.h"

// The timeline clock: ticks of GetTickCount (ms, unsigned 32-bit, wrapping).
extern DWORD SegmentStart;  // written before each segment; the scroller rewrites it between passes
extern DWORD T0;            // read once when the timeline starts

// The Escape flag: 0 at start, 1 after Escape, never cleared.
extern int AbortRequested;

// Once a frame, after FlipDisplay: polls the music and handles every queued message.
void PumpFrame();

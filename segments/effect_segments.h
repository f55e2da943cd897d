// The three timed segments of the software effects: wave edge (20 s), tunnel (30 s) and
// wire figure (40 s). Each reads SegmentStart and AbortRequested, runs ten seconds of frames
// and returns early on Escape or on a failed lock.
#pragma once

#include "platform/win32/win32.h"

void RunWaveEdgeSegment();
void RunTunnelSegment();
void RunWireFigureSegment();

// The effects' segment time for the tick `now`: ms since SegmentStart (unsigned, so a start
// still in the future wraps to a very large value) x 0.03, rounded once to single precision.
// 10 000 ms gives exactly 300.
float EffectSegmentTime(DWORD now);

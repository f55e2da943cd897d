// Plain versions of the effect routines that have a faster form, computed as directly as the
// design states them. Only the tests use them, to check the fast forms bit for bit.
#pragma once

#include "platform/win32/win32.h"

// PlasmaMap with every sine and cosine taken per pixel (about 2.15 million of them).
void BuildPlasmaMapReference();
// The figure's twenty lines through DrawCanvasLine, solid and shadow alternating, as drawn
// one chord at a time.
void DrawWireFigureReference(float t);
void DrawWaveEdgeReference(WORD* pixels, float t);
void DrawTunnelReference(WORD* pixels, float t);
// The colouring step of DrawFigureFrame from the current canvas and palettes, one pixel at
// a time, and the portable form the fast path falls back to.
void ComposeFigureFrameReference(WORD* pixels);
void ComposeFigureFramePortable(WORD* pixels);

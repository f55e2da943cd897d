// The display: the exclusive 640x480x16 mode, its flip chain and the single drawing target
// BackSurface. Owned here; set only by InitDisplay and ReleaseDisplay.
#pragma once

#include "platform/ddraw/ddraw.h"

extern IDirectDraw* DisplayObject;         // null before set-up and after release
extern IDirectDrawSurface* PrimarySurface; // the visible flip chain
extern IDirectDrawSurface* BackSurface;    // 640x480, attached to PrimarySurface; every frame is drawn here
extern int DisplayWidth;                   // 640, never changed
extern int DisplayHeight;                  // 480, never changed
extern int IsRgb555;                       // 1 for 5-5-5, 0 for 5-6-5; 0 until set-up succeeds

// Returns 0, or the step (1..7) that failed, leaving what it made for ReleaseDisplay.
int InitDisplay(HWND window, GUID* driverGuid);
// Safe after a partial set-up and when called again.
void ReleaseDisplay();
// Shows BackSurface; the result is passed back unexamined.
HRESULT FlipDisplay();

// The scroller's geometry, shared with its tests.
#pragma once

#include "platform/win32/win32.h"

extern int ScrollX;  // pixels the running pass has moved, 0 .. about 1664

// A pass ends on the first frame where the strip (1024) and the screen (640) have both
// passed: 10 000 ms at 0.1664 pixels a millisecond.
constexpr int kScrollEnd = 1664;

// The strip's source rectangle and the band's destination rectangle for a scroll position;
// both have the same size, which is empty or negative at 0 and from 1664 on.
void GetScrollerRects(int scrollX, RECT* source, RECT* dest);

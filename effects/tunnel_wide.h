// The wide form of the tunnel's texel step, for processors that have it.
#pragma once

#include "platform/win32/win32.h"

// True when this processor runs WriteTexelRowWide (16-lane gathers); asked once.
bool HasWideTunnel();
// Same pixels as the plain texel step for one even screen row: texel
// TextureRgb16[(warp[n] + offset) mod 65536] into pixels 2n and 2n + 1, n = 0..319.
void WriteTexelRowWide(WORD* row, const WORD* warp, WORD offset);

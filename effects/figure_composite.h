// The wide form of the wire figure's colouring step, for processors that have it.
#pragma once

#include "platform/win32/win32.h"

// True when this processor runs ComposeFigureFrameWide (64-byte table permutes); asked once.
bool HasWideComposite();
// Same pixels as ComposeFigureFrameReference, 64 at a time.
void ComposeFigureFrameWide(WORD* pixels);

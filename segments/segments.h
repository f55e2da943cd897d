// The timed segments of the show. Each takes no arguments, reads SegmentStart and
// AbortRequested, and returns when its time is up, on Escape, or on its own failure.
#pragma once

#include "platform/ddraw/ddraw.h"

extern IDirectDrawSurface* SauPicture;  // "images\\sau.bmp", loaded during the loading screen; may be null

void RunStillPictureSegment();
void RunScrollerSegment();

// The wire-figure segment: ten seconds of the figure and its shadow over the plasma.
#include "app/app.h"
#include "display/display.h"
#include "display/frame_buffer.h"
#include "effects/effects.h"
#include "segments/effect_segments.h"

// Loads nothing: the plasma map was built at start-up, and every frame writes every pixel.
void RunWireFigureSegment() {
    float t = 0.0f;
    while (t < 300.0f && !AbortRequested) {  // the frame whose t first reaches 300 is the last
        t = EffectSegmentTime(GetTickCount());
        if (!LockFrameBuffer()) break;
        DrawFigureFrame(static_cast<WORD*>(FrameBuffer.lpSurface), t);
        UnlockFrameBuffer();
        FlipDisplay();
        PumpFrame();
    }
}

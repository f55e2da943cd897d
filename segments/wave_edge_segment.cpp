// The wave-edge segment: ten seconds of the wave edge under "images\zuzuv.bmp", black
// transparent.
#include "app/app.h"
#include "display/bitmap.h"
#include "display/display.h"
#include "display/frame_buffer.h"
#include "effects/effects.h"
#include "segments/effect_segments.h"

// A missing picture leaves the wave edge alone on screen: nothing is blitted or released.
void RunWaveEdgeSegment() {
    IDirectDrawSurface* picture = LoadBitmapSurface("images\\zuzuv.bmp", 0, 0);
    float t = 0.0f;
    while (t < 300.0f && !AbortRequested) {  // the frame whose t first reaches 300 is the last
        t = EffectSegmentTime(GetTickCount());
        if (!LockFrameBuffer()) break;
        DrawWaveEdge(static_cast<WORD*>(FrameBuffer.lpSurface), t);
        UnlockFrameBuffer();
        BlitPictureKeyed(picture, nullptr, nullptr);  // whole picture over the whole screen
        FlipDisplay();
        PumpFrame();
    }
    ReleasePicture(picture);
}

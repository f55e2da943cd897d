// The still picture: "images\\sau.bmp" over the whole screen for 5000 ms.
#include "app/app.h"
#include "display/display.h"
#include "display/frame_buffer.h"
#include "segments/segments.h"

IDirectDrawSurface* SauPicture = nullptr;

void RunStillPictureSegment() {
    // Tested before the first frame: entered 5000 ms or more late, it draws nothing.
    while (GetTickCount() - SegmentStart < 5000 && !AbortRequested) {
        // Covers the whole back buffer (stretched if it is not 640x480); without the
        // picture the flip chain keeps showing what it last held.
        BlitPicture(SauPicture, nullptr, nullptr);
        FlipDisplay();
        PumpFrame();
    }
}

// The picture segments: the still picture and the scrollers.
#include "app/show_state.h"
#include "display/bitmap.h"
#include "display/display.h"
#include "display/frame_buffer.h"
#include "segments/segments.h"

// The still picture: "images\\sau.bmp" over the whole screen for 5000 ms.
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

// The scrollers: three strips, 1024x110 each, cross the band of rows 200..309 from the right
// edge to the left, 10 000 ms a pass.
int ScrollX = 0;

namespace {

// Pixels per millisecond, as the single-precision constant it was written as
// (0.166400015354156494140625); the product is taken in double.
const float kScrollSpeed = 0.1664f;

void RunScrollerPass(IDirectDrawSurface* picture) {
    do {
        ClearRect(0, 0, 640, 480);
        DWORD elapsed = GetTickCount() - SegmentStart;
        ScrollX = static_cast<int>(static_cast<double>(elapsed) * static_cast<double>(kScrollSpeed));
        RECT source, dest;
        GetScrollerRects(ScrollX, &source, &dest);
        BlitPicture(picture, &dest, &source);
        FlipDisplay();
        PumpFrame();
    } while (ScrollX < kScrollEnd && !AbortRequested);
}

}  // namespace

void GetScrollerRects(int scrollX, RECT* source, RECT* dest) {
    if (scrollX < 640) {
        // The strip enters at the right.
        SetRect(source, 0, 0, scrollX, 110);
        SetRect(dest, 640 - scrollX, 200, 640, 310);
    } else if (scrollX < 1024) {
        // The strip fills the band.
        SetRect(source, scrollX - 640, 0, scrollX, 110);
        SetRect(dest, 0, 200, 640, 310);
    } else {
        // The strip leaves at the left.
        SetRect(source, scrollX - 640, 0, 1024, 110);
        SetRect(dest, 0, 200, 1664 - scrollX, 310);
    }
}

void RunScrollerSegment() {
    IDirectDrawSurface* strips[3] = {
        LoadBitmapSurface("images\\1.bmp", 0, 0),
        LoadBitmapSurface("images\\2.bmp", 0, 0),
        LoadBitmapSurface("images\\3.bmp", 0, 0),
    };
    for (int pass = 0; pass < 3; pass++) {
        // The first pass is timed from the start the timeline set; the others restart.
        if (pass > 0) SegmentStart = GetTickCount();
        if (!AbortRequested) RunScrollerPass(strips[pass]);
    }
    for (IDirectDrawSurface*& strip : strips) ReleasePicture(strip);
}

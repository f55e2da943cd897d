// The baller scene for 10 seconds under "images\chain.bmp", black transparent, shaken by up
// to 9 pixels right and up every frame.
#include "app/app.h"
#include "display/bitmap.h"
#include "display/display.h"
#include "display/frame_buffer.h"
#include "segments/scene_segments.h"

DWORD BallerRandomState = 1;

int DrawBallerRandom() {
    BallerRandomState = BallerRandomState * 214013u + 2531011u;  // modulo 2^32
    return static_cast<int>((BallerRandomState >> 16) & 0x7FFF);
}

void RunBallerSegment() {
    // A missing picture is neither blitted nor released; the scene still shows.
    IDirectDrawSurface* chain = LoadBitmapSurface("images\\chain.bmp", 0, 0);
    RECT source;
    SetRect(&source, 0, 10, 630, 480);  // 630x470, the strip below the picture's top rows

    // One black frame before the scene.
    ClearRect(0, 0, 640, 480);
    FlipDisplay();

    const bool loaded = SceneIsLoaded(BallerRecord);
    float t = 0.0f;  // the frame whose t first reaches 300 (10 000 ms) is the last
    while (t < 300.0f && !AbortRequested) {
        t = SceneSegmentTime(0.03f);
        ClearRect(0, 0, 640, 480);
        if (loaded) {
            BallerRecord.viewport->Clear();
            RenderScene(t, BallerRecord);
        }
        // Drawn every frame, picture or not, so the jitter sequence is the same frame by frame.
        const int dx = DrawBallerRandom() % 10;
        const int dy = DrawBallerRandom() % 10;
        RECT dest;
        SetRect(&dest, dx, 10 - dy, dx + 630, 480 - dy);  // the size of source: no stretching
        BlitPictureKeyed(chain, &dest, &source);
        FlipDisplay();
        PumpFrame();
    }

    ReleasePicture(chain);
    // Gives back only what exists (nothing for an empty record); the record is then emptied
    // so nothing can reach the released objects through it.
    ReleaseScene(BallerRecord);
    BallerRecord = SceneRecord{nullptr, nullptr, nullptr, nullptr};
}

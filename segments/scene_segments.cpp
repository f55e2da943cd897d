// The three 3D segments: credits, baller and scene1, each showing its scene record for a fixed
// time and then releasing it.
#include "app/show_state.h"
#include "display/bitmap.h"
#include "display/display.h"
#include "display/frame_buffer.h"
#include "segments/segments.h"

// The three scene records of the show, loaded at start-up and each released by its segment.
SceneRecord CreditsRecord = {nullptr, nullptr, nullptr, nullptr};
SceneRecord BallerRecord = {nullptr, nullptr, nullptr, nullptr};
SceneRecord Scene1Record = {nullptr, nullptr, nullptr, nullptr};

// As for the effects: the product of the 32-bit count and the single-precision scale is taken
// in double, so the one rounding is the cast to float.
float SceneSegmentTime(float scale) {
    const DWORD elapsed = GetTickCount() - SegmentStart;
    return static_cast<float>(static_cast<double>(elapsed) * static_cast<double>(scale));
}

// The baller's jitter generator.
DWORD BallerRandomState = 1;

int DrawBallerRandom() {
    BallerRandomState = BallerRandomState * 214013u + 2531011u;  // modulo 2^32
    return static_cast<int>((BallerRandomState >> 16) & 0x7FFF);
}

// The credits: the first scene as a lit, Gouraud-shaded wireframe for 20 seconds.
void RunCreditsSegment() {
    // The wireframe quality holds only for this segment; the device's own is put back after.
    D3DRMRENDERQUALITY saved = 0;
    if (SceneDevice) {
        saved = SceneDevice->GetQuality();
        SceneDevice->SetQuality(kCreditsQuality);
    }
    const bool loaded = SceneIsLoaded(CreditsRecord);

    float t = 0.0f;  // the first frame is drawn at 0; 300 is 20 000 ms
    while (t < 300.0f && !AbortRequested) {
        // Also keeps the column and row outside the 639x479 viewport black.
        ClearRect(0, 0, 640, 480);
        if (loaded) {
            CreditsRecord.viewport->Clear();
            RenderScene(t, CreditsRecord);
        }
        FlipDisplay();
        PumpFrame();
        t = SceneSegmentTime(0.015f);
    }

    // Gives back only what exists (nothing for an empty record); the record is then emptied
    // so nothing can reach the released objects through it.
    ReleaseScene(CreditsRecord);
    CreditsRecord = SceneRecord{nullptr, nullptr, nullptr, nullptr};
    if (SceneDevice) SceneDevice->SetQuality(saved);
}

// The baller scene for 10 seconds under "images\chain.bmp", black transparent, shaken by up
// to 9 pixels right and up every frame.
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

// The third scene for 5 seconds on a dark blue-green background, its animation at four times
// the segment clock; it also gives back the still picture shown just before it.
void RunScene1Segment() {
    const bool loaded = SceneIsLoaded(Scene1Record);
    // No red; green and blue about 72/255.
    if (Scene1Record.sceneFrame)
        Scene1Record.sceneFrame->SetSceneBackgroundRGB(0.0f, 0.282352f, 0.282352f);

    float t = 0.0f;  // the first frame is drawn at 0; 150 is 5 000 ms
    while (t < 150.0f && !AbortRequested) {
        if (loaded) {
            // Only the viewport is drawn: the column and row outside it keep what the two
            // buffers of the flip chain last held.
            Scene1Record.viewport->ForceUpdate(0, 0, 639, 479);
            Scene1Record.viewport->Clear();
            RenderScene(t * 4.0f, Scene1Record);
        } else {
            ClearRect(0, 0, 640, 480);
        }
        FlipDisplay();
        PumpFrame();
        t = SceneSegmentTime(0.03f);
    }

    // Gives back only what exists (nothing for an empty record); the record is then emptied
    // so nothing can reach the released objects through it.
    ReleaseScene(Scene1Record);
    Scene1Record = SceneRecord{nullptr, nullptr, nullptr, nullptr};
    ReleasePicture(SauPicture);
}

// The credits: the first scene as a lit, Gouraud-shaded wireframe for 20 seconds.
#include "app/app.h"
#include "display/display.h"
#include "display/frame_buffer.h"
#include "segments/scene_segments.h"

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

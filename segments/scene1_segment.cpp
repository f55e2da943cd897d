// The third scene for 5 seconds on a dark blue-green background, its animation at four times
// the segment clock; it also gives back the still picture shown just before it.
#include "app/app.h"
#include "display/display.h"
#include "display/frame_buffer.h"
#include "segments/scene_segments.h"
#include "segments/segments.h"

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

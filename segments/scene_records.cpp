// The three scene records of the show, loaded at start-up and each released by its segment.
#include "app/app.h"
#include "segments/scene_segments.h"

SceneRecord CreditsRecord = {nullptr, nullptr, nullptr, nullptr};
SceneRecord BallerRecord = {nullptr, nullptr, nullptr, nullptr};
SceneRecord Scene1Record = {nullptr, nullptr, nullptr, nullptr};

// As for the effects: the product of the 32-bit count and the single-precision scale is taken
// in double, so the one rounding is the cast to float.
float SceneSegmentTime(float scale) {
    const DWORD elapsed = GetTickCount() - SegmentStart;
    return static_cast<float>(static_cast<double>(elapsed) * static_cast<double>(scale));
}

// The time scale shared by the software-effect segments.
#include "app/app.h"
#include "segments/effect_segments.h"

// The product of the 32-bit count and the single-precision 0.03 is exact in double, so the
// one rounding is the cast to float.
float EffectSegmentTime(DWORD now) {
    const DWORD elapsed = now - SegmentStart;
    return static_cast<float>(static_cast<double>(elapsed) * static_cast<double>(0.03f));
}

// The whole-unit step of an effect's time, shared by the effects that move in steps of t.
#pragma once

#include <cstdint>

// t truncated toward zero. The segments never pass a negative t; the largest they pass
// (an elapsed time wrapped near 2^32, times 0.03) is about 1.3e8. Values beyond int's
// range, and NaN, are clamped instead of being undefined.
inline int32_t TruncateTime(float t) {
    if (!(t > -2147483648.0f)) return t != t ? 0 : INT32_MIN;
    if (t >= 2147483648.0f) return INT32_MAX;
    return static_cast<int32_t>(t);
}

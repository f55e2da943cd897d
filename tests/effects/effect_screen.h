// A plain 640x480 16-bit buffer standing in for the locked back buffer, with any pitch.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "display/frame_buffer.h"
#include "platform/win32/win32.h"

struct EffectScreen {
    // pitch in bytes, at least 1280; every word starts as `fill`, padding included.
    explicit EffectScreen(int pitchBytes = 1280, WORD fill = 0xA5A5)
        : pitch(pitchBytes), words(static_cast<size_t>(pitchBytes / 2) * 480, fill) {
        FrameBuffer.lPitch = pitch;
        FrameBuffer.lpSurface = words.data();
    }
    WORD* Pixels() {
        FrameBuffer.lPitch = pitch;
        return words.data();
    }
    WORD At(int x, int y) const { return words[static_cast<size_t>(pitch / 2) * y + x]; }

    int pitch;
    std::vector<WORD> words;
};

// Equal word for word (padding too); on failure says how many differ and where the first is.
inline ::testing::AssertionResult SameScreen(const EffectScreen& expected, const EffectScreen& actual) {
    if (expected.words.size() != actual.words.size()) return ::testing::AssertionFailure() << "sizes differ";
    size_t bad = 0, first = 0;
    for (size_t i = 0; i < expected.words.size(); i++) {
        if (expected.words[i] != actual.words[i] && bad++ == 0) first = i;
    }
    if (bad == 0) return ::testing::AssertionSuccess();
    int row = static_cast<int>(first / (expected.pitch / 2)), col = static_cast<int>(first % (expected.pitch / 2));
    char text[160];
    std::snprintf(text, sizeof text, "%zu words differ; first at column %d row %d: expected 0x%04X, got 0x%04X", bad,
                  col, row, expected.words[first], actual.words[first]);
    return ::testing::AssertionFailure() << text;
}

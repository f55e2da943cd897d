// Shared set-up of the music library tests: the offscreen host collecting every sample the
// device pulls, a test module on disk, and libopenmpt rendering the same module directly.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "platform/host/offscreen/offscreen.h"

class MidasTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Replaces the offscreen host's configuration, keeping the sample collector.
    void Configure(OffscreenConfig config);
    // Presents `n` frames at 60 a second; the device pulls the sound of each (all of it is
    // in `pulled` on return).
    void Frames(int n);
    // Samples pulled from `from` (an index into pulled) on.
    std::vector<int16_t> PulledSince(size_t from) const;
    // What the pull said of each block from `block` on: 'p' music playing, '-' not.
    std::string PlayingSince(size_t block) const;

    std::string dir;              // holds tune.xm, removed afterwards
    std::string tunePath;
    std::vector<uint8_t> tune;    // the bytes of tune.xm
    std::vector<int16_t> pulled;  // interleaved stereo, everything the device pulled
    std::vector<bool> blocksPlaying;  // what the pull said of each block pulled
    std::vector<int> tags;        // the tag of each block pulled
    int blocksOffTestThread = 0;  // blocks passed on by another thread than the test's
};

// libopenmpt on its own: `frames` stereo frames of `bytes` at `rate` with the library's render
// settings and `repeat` (-1 forever), zeros after the song's end.
std::vector<int16_t> RenderDirectly(const std::vector<uint8_t>& bytes, int rate, size_t frames,
                                    int repeat);
int PeakOf(const std::vector<int16_t>& samples);

// Text checks without gmock: the whole text is printed when the part is missing.
#define EXPECT_CONTAINS(text, part)                                                  \
    EXPECT_NE(std::string(text).find(part), std::string::npos)                       \
        << "\"" << (text) << "\" does not contain \"" << (part) << "\""

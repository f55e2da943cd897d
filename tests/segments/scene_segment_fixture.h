// Runs one 3D segment on the offscreen host with a scripted clock, from a folder holding the
// built-in show data (or a copy with parts left out), and keeps what each frame showed.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "segments/segments.h"
#include "tests/support/show_fixture.h"

struct SceneFrame {
    uint32_t elapsed;             // ms since SegmentStart when it was shown (wraps when early)
    D3DRMRENDERQUALITY quality;   // the device's render quality while it was drawn
    std::vector<uint16_t> words;  // 640 x 480, packed rows
    uint16_t At(int x, int y) const { return words[static_cast<size_t>(y) * 640 + x]; }
};

class SceneSegmentTest : public ShowTest {
  protected:
    struct Options {
        // ms the clock moves after a frame shown `elapsed` ms after SegmentStart
        std::function<uint32_t(uint32_t elapsed)> step = [](uint32_t) { return 1000u; };
        DWORD startOffset = 0;  // SegmentStart this far after the clock: entered early
        bool abortOnEntry = false;
        // Loads the segment's script and pictures from this folder (working directory).
        std::string dataDir;
        // Called after the device and scenes exist, just before the segment.
        std::function<void()> prepare;
    };

    void SetUp() override;
    void TearDown() override;

    // Opens the display and the device, loads the three scripts and the still picture as the
    // loading screen does, and runs `segment`, keeping the frames it shows.
    void Run(void (*segment)(), const Options& o);

    // A copy of the built-in show data without the files named (paths under the data folder).
    std::string DataWithout(const std::vector<std::string>& leftOut);

    static int NonBlack(const SceneFrame& f);

    TempDir dir;
    std::vector<SceneFrame> frames;
    int surfacesBefore = 0;  // live surfaces just before the segment
    bool running = false;
};

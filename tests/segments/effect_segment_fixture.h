// Runs one software-effect segment on the offscreen host with a scripted clock and keeps every
// frame it shows, for the wave-edge, tunnel and wire-figure segment tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/app.h"
#include "display/display.h"
#include "display/frame_buffer.h"
#include "effects/tables.h"
#include "platform/testing/hooks.h"
#include "tests/support/bmp_file.h"
#include "tests/support/show_fixture.h"

struct ShownFrame {
    uint32_t elapsed;             // ms since SegmentStart when it was drawn (wraps when early)
    std::vector<uint16_t> words;  // 640 x 480, packed rows
    uint16_t At(int x, int y) const { return words[static_cast<size_t>(y) * 640 + x]; }
};

// The segment time of a frame: elapsed ms times the single-precision 0.03. For the elapsed
// times below 2^24 used here this is also the plain float product.
inline float FrameTime(uint32_t elapsed) {
    return static_cast<float>(static_cast<double>(elapsed) * static_cast<double>(0.03f));
}

// A 640 x 480 buffer for drawing the expected effect with the routines under FrameBuffer.
struct ExpectedScreen {
    explicit ExpectedScreen(uint16_t fill = 0) : words(640 * 480, fill) {}
    WORD* Lock() {
        FrameBuffer.lPitch = 1280;
        FrameBuffer.lpSurface = words.data();
        return words.data();
    }
    uint16_t At(int x, int y) const { return words[static_cast<size_t>(y) * 640 + x]; }
    std::vector<uint16_t> words;
};

class EffectSegmentTest : public ShowTest {
  protected:
    struct Options {
        // ms the clock moves after a frame drawn `elapsed` ms after SegmentStart
        std::function<uint32_t(uint32_t elapsed)> step = [](uint32_t) { return 1000u; };
        bool rgb555 = false;
        DWORD startOffset = 0;  // SegmentStart this far after the clock: entered early
        int escapeAtPump = 0;   // post Escape on this pump (1 = the first frame's)
        bool abortOnEntry = false;
        int locksBeforeFailure = -1;  // successful locks before the lock fails for good
    };

    // Builds the tables in `dir` (with a texture file when one was written), opens the
    // display and runs `segment`, keeping the frames it presents.
    void Run(void (*segment)(), const Options& o) {
        frames.clear();
        OffscreenConfig config;
        config.step = [this, step = o.step](uint32_t tick) { return running ? step(tick - SegmentStart) : 16u; };
        int pumps = 0;
        const int escapeAt = o.escapeAtPump;
        config.onPump = [&pumps, escapeAt](uint32_t, const HostInputSink& sink) {
            if (++pumps == escapeAt) sink.KeyDown(VK_ESCAPE, false, false);
        };
        config.onFrame = [this](const uint16_t* p, int, int, int pitch, bool, uint32_t tick) {
            if (!running) return;
            ShownFrame f{tick - SegmentStart, std::vector<uint16_t>(640 * 480)};
            for (int y = 0; y < 480; y++)
                for (int x = 0; x < 640; x++) f.words[y * 640 + x] = p[y * (pitch / 2) + x];
            frames.push_back(std::move(f));
        };
        config.rgb555 = o.rgb555;
        ResetShowState(config);
        OpenShowDisplay();
        ScopedWorkingDir in(dir.path());
        BuildLookupTables();
        surfacesBefore = standin::LiveObjects("IDirectDrawSurface");
        standin::EnableCallLog(true);
        if (o.locksBeforeFailure >= 0)  // the first attempt and all 1000 retries fail
            standin::FailCallAfter("IDirectDrawSurface::Lock", o.locksBeforeFailure, 1001);
        if (o.abortOnEntry) AbortRequested = 1;
        SegmentStart = GetTickCount() + o.startOffset;
        running = true;
        segment();
        running = false;
    }

    void WritePicture(const std::string& name, const std::function<Rgb(int, int)>& colour) {
        std::filesystem::create_directories(dir.File("images"));
        ASSERT_TRUE(WriteBmp24(dir.File("images/" + name), 640, 480, colour));
    }

    int Calls(const std::string& prefix) const { return standin::CountCalls(prefix); }

    TempDir dir;
    std::vector<ShownFrame> frames;
    int surfacesBefore = 0;
    bool running = false;
};

// 9999 ms after the first frame, then 1 ms: frames at 0, 9999 (t 299.97) and 10 000 (t 300).
inline uint32_t EndOfSegmentSteps(uint32_t elapsed) { return elapsed == 0 ? 9999 : 1; }

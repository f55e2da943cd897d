// The tunnel segment: the tunnel of each frame's time on the even rows; on the odd rows black,
// the strip and the caption of the moment cut from "images\life.bmp", changing every 1250 ms
// (one step a frame at most); the timing, Escape, an abort already set, an early start, a
// failed lock and a missing picture; both pixel formats.
#include <cstdio>

#include "effects/effects.h"
#include "segments/segments.h"
#include "tests/segments/effect_segment_fixture.h"

namespace {

// Every picture pixel names its position and is never black.
Rgb LifeColour(int x, int y) {
    return {static_cast<uint8_t>(8 + (x & 0xF0)), static_cast<uint8_t>(8 + (y & 0xF8)),
            static_cast<uint8_t>(8 + ((x & 0x0F) << 4))};
}

struct Part {
    int sl, st, sr, sb;  // in the picture
    int dl, dt;          // top-left on screen
};
const Part Strip = {0, 440, 400, 480, 0, 440};
const Part Captions[3] = {{180, 210, 400, 300, 180, 210}, {0, 307, 614, 357, 10, 226}, {50, 115, 560, 180, 50, 220}};

// Whether frame f shows exactly black, the strip and caption `caption` (-1: none) on its odd rows.
bool OddRowsShow(const ShownFrame& f, int caption, bool rgb555) {
    for (int y = 1; y < 480; y += 2)
        for (int x = 0; x < 640; x++) {
            uint16_t want = 0;
            for (int k = -1; k < 3; k++) {
                if (k >= 0 && k != caption) continue;
                const Part& p = k < 0 ? Strip : Captions[k];
                int sx = x - p.dl + p.sl, sy = y - p.dt + p.st;
                if (sx >= p.sl && sx < p.sr && sy >= p.st && sy < p.sb) want = Pack16(LifeColour(sx, sy), rgb555);
            }
            if (f.At(x, y) != want) return false;
        }
    return true;
}

// The caption frame f shows, -1 for none of them.
int CaptionShown(const ShownFrame& f, bool rgb555) {
    for (int k = 0; k < 3; k++)
        if (OddRowsShow(f, k, rgb555)) return k;
    return -1;
}

class TunnelSegmentTest : public EffectSegmentTest {
  protected:
    void SetUp() override {
        EffectSegmentTest::SetUp();
        // texel (u, v) = red u, green v, blue u ^ v
        std::filesystem::create_directories(dir.File("images"));
        FILE* file = std::fopen(dir.File("images/screen1tex.raw").c_str(), "wb");
        ASSERT_NE(file, nullptr);
        for (int v = 0; v < 256; v++)
            for (int u = 0; u < 256; u++) {
                const unsigned char rgb[3] = {static_cast<unsigned char>(u), static_cast<unsigned char>(v),
                                              static_cast<unsigned char>(u ^ v)};
                std::fwrite(rgb, 1, 3, file);
            }
        std::fclose(file);
    }
    void Run(const Options& o) { EffectSegmentTest::Run(RunTunnelSegment, o); }

    // The even rows of each frame are exactly DrawTunnel of its time.
    void ExpectTunnelsOfTheirTimes() {
        for (const ShownFrame& f : frames) {
            ExpectedScreen tunnel;
            DrawTunnel(tunnel.Lock(), FrameTime(f.elapsed));
            for (int y = 0; y < 480; y += 2)
                for (int x = 0; x < 640; x++)
                    ASSERT_EQ(f.At(x, y), tunnel.At(x, y)) << "frame at " << f.elapsed << " ms, pixel " << x << "," << y;
        }
    }
    std::vector<int> CaptionsShown(bool rgb555) const {
        std::vector<int> shown;
        for (const ShownFrame& f : frames) shown.push_back(CaptionShown(f, rgb555));
        return shown;
    }
};

// Frames at 0, 1, 1250, 1251, 2500, 2501, ...: at 1250 ms exactly the caption stays, one
// millisecond later it moves on; t reaches 300 on the frame at 10 000 ms, the last.
uint32_t AroundEachChange(uint32_t elapsed) { return elapsed % 1250 == 0 ? 1 : 1249; }

TEST_F(TunnelSegmentTest, CaptionsCycleEvery1250MsOnTheOddRowsInBothFormats) {
    WritePicture("life.bmp", LifeColour);
    for (bool rgb555 : {false, true}) {
        Options o;
        o.rgb555 = rgb555;
        o.step = AroundEachChange;
        Run(o);
        ASSERT_EQ(frames.size(), 17u) << (rgb555 ? "555" : "565");
        EXPECT_EQ(frames.back().elapsed, 10000u);
        const std::vector<int> expected = {0, 0, 0, 1, 1, 2, 2, 0, 0, 1, 1, 2, 2, 0, 0, 1, 1};
        EXPECT_EQ(CaptionsShown(rgb555), expected);
        ExpectTunnelsOfTheirTimes();
        EXPECT_EQ(Calls("IDirectDrawSurface::Blt back from picture"), 2 * 17);  // strip and caption
        EXPECT_EQ(Calls("IDirectDrawSurface::Release picture"), 1);
        EXPECT_EQ(standin::LiveObjects("IDirectDrawSurface"), surfacesBefore);
        ReleaseDisplay();
    }
}

// One frame every 3 s: the caption takes one step a frame and falls behind the clock.
TEST_F(TunnelSegmentTest, ASlowFrameRateLetsTheCaptionsFallBehind) {
    WritePicture("life.bmp", LifeColour);
    Options o;
    o.step = [](uint32_t) { return 3000u; };
    Run(o);
    ASSERT_EQ(frames.size(), 5u);  // 0, 3000, 6000, 9000 and 12 000 ms
    EXPECT_EQ(CaptionsShown(false), (std::vector<int>{0, 1, 2, 0, 1}));
    ExpectTunnelsOfTheirTimes();
}

TEST_F(TunnelSegmentTest, EscapeEndsItAfterTheFrameItCameIn) {
    WritePicture("life.bmp", LifeColour);
    Options o;
    o.step = [](uint32_t) { return 900u; };
    o.escapeAtPump = 3;
    Run(o);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(CaptionsShown(false), (std::vector<int>{0, 0, 1}));
    ExpectTunnelsOfTheirTimes();
    EXPECT_EQ(standin::LiveObjects("IDirectDrawSurface"), surfacesBefore);
}

TEST_F(TunnelSegmentTest, AnAbortAlreadySetOnlyLoadsAndReleasesThePicture) {
    WritePicture("life.bmp", LifeColour);
    Options o;
    o.abortOnEntry = true;
    Run(o);
    EXPECT_TRUE(frames.empty());
    EXPECT_GE(Calls("LoadImageA images\\life.bmp"), 1);
    EXPECT_EQ(Calls("IDirectDraw::CreateSurface picture"), 1);
    EXPECT_EQ(Calls("IDirectDrawSurface::Release picture"), 1);
    EXPECT_EQ(Calls("IDirectDrawSurface::Lock"), 0);
    EXPECT_EQ(Calls("IDirectDrawSurface::Blt"), 0);
    EXPECT_EQ(Calls("IDirectDrawSurface::Flip"), 0);
}

// The wrapped elapsed time ends the segment after one frame; the caption clock, wrapped too,
// steps once on it.
TEST_F(TunnelSegmentTest, EnteredEarlyItDrawsOneFrameWithTheNextCaption) {
    WritePicture("life.bmp", LifeColour);
    Options o;
    o.startOffset = 2000;
    Run(o);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(CaptionShown(frames[0], false), 1);
    ExpectTunnelsOfTheirTimes();
}

TEST_F(TunnelSegmentTest, AFailedLockEndsItWithoutUnlockOrFlip) {
    WritePicture("life.bmp", LifeColour);
    Options o;
    o.locksBeforeFailure = 1;
    Run(o);
    EXPECT_EQ(frames.size(), 1u);
    EXPECT_EQ(Calls("IDirectDrawSurface::Unlock"), 1);
    EXPECT_EQ(Calls("IDirectDrawSurface::Flip"), 1);
    EXPECT_EQ(Calls("IDirectDrawSurface::Release picture"), 1);
    EXPECT_EQ(standin::LiveObjects("IDirectDrawSurface"), surfacesBefore);
}

TEST_F(TunnelSegmentTest, WithoutThePictureTheOddRowsStayBlack) {
    for (bool rgb555 : {false, true}) {
        Options o;
        o.rgb555 = rgb555;
        o.step = [](uint32_t) { return 1300u; };
        Run(o);
        ASSERT_EQ(frames.size(), 9u);  // 0, 1300, ..., 10 400 ms
        for (const ShownFrame& f : frames)
            for (int y = 1; y < 480; y += 2)
                for (int x = 0; x < 640; x++) ASSERT_EQ(f.At(x, y), 0) << f.elapsed << " ms " << x << "," << y;
        ExpectTunnelsOfTheirTimes();
        EXPECT_EQ(Calls("IDirectDrawSurface::Blt back from"), 0);
        EXPECT_EQ(Calls("IDirectDrawSurface::Blt back"), 9);  // the black fill only
        EXPECT_EQ(Calls("IDirectDrawSurface::Release"), 0);
        ReleaseDisplay();
    }
}

}  // namespace

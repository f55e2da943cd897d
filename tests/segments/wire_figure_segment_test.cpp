// The wire-figure segment: its frames are the figure over the plasma for their time in both
// pixel formats, the last frame is the one reaching t = 300, and Escape, an abort already
// set, an early start and a failed lock end it as they should.
#include "effects/effects.h"
#include "segments/segments.h"
#include "tests/segments/effect_segment_fixture.h"

namespace {

class WireFigureSegmentTest : public EffectSegmentTest {
  protected:
    void Run(const Options& o) { EffectSegmentTest::Run(RunWireFigureSegment, o); }

    // Each shown frame is exactly DrawFigureFrame of its time.
    void ExpectFiguresOfTheirTimes() {
        for (const ShownFrame& f : frames) {
            ExpectedScreen expected(0x1234);
            DrawFigureFrame(expected.Lock(), FrameTime(f.elapsed));
            ASSERT_EQ(f.words, expected.words) << "frame at " << f.elapsed << " ms";
        }
    }
};

TEST_F(WireFigureSegmentTest, RunsUntilTheFrameWhoseTimeReaches300InBothFormats) {
    for (bool rgb555 : {false, true}) {
        Options o;
        o.rgb555 = rgb555;
        o.step = EndOfSegmentSteps;
        Run(o);
        ASSERT_EQ(frames.size(), 3u) << (rgb555 ? "555" : "565");
        EXPECT_EQ(frames[0].elapsed, 0u);
        EXPECT_EQ(frames[1].elapsed, 9999u);  // t 299.97: another pass follows
        EXPECT_EQ(frames[2].elapsed, 10000u);  // t exactly 300: still drawn, and the last
        ExpectFiguresOfTheirTimes();
        EXPECT_NE(frames[1].words, frames[2].words);
        EXPECT_EQ(Calls("IDirectDrawSurface::Lock back"), 3);
        EXPECT_EQ(Calls("IDirectDrawSurface::Unlock back"), 3);
        EXPECT_EQ(Calls("LoadImageA"), 0);  // it loads nothing
        ReleaseDisplay();
    }
}

TEST_F(WireFigureSegmentTest, EscapeEndsItAfterTheFrameItCameIn) {
    Options o;
    o.step = [](uint32_t) { return 40u; };
    o.escapeAtPump = 4;
    Run(o);
    EXPECT_EQ(AbortRequested, 1);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[3].elapsed, 120u);
    ExpectFiguresOfTheirTimes();
}

TEST_F(WireFigureSegmentTest, AnAbortAlreadySetDrawsNothing) {
    Options o;
    o.abortOnEntry = true;
    Run(o);
    EXPECT_TRUE(frames.empty());
    EXPECT_EQ(Calls("IDirectDrawSurface::Lock"), 0);
    EXPECT_EQ(Calls("IDirectDrawSurface::Flip"), 0);
}

TEST_F(WireFigureSegmentTest, EnteredEarlyItDrawsOneFrameOfAWrappedTime) {
    Options o;
    o.startOffset = 3000;  // the previous segment ended 3 s early
    Run(o);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].elapsed, static_cast<uint32_t>(-3000));
    ExpectFiguresOfTheirTimes();
}

TEST_F(WireFigureSegmentTest, AFailedLockEndsItWithoutUnlockOrFlip) {
    Options o;
    o.locksBeforeFailure = 2;
    Run(o);
    EXPECT_EQ(frames.size(), 2u);
    EXPECT_EQ(Calls("IDirectDrawSurface::Lock back"), 2 + 1001);
    EXPECT_EQ(Calls("IDirectDrawSurface::Unlock"), 2);
    EXPECT_EQ(Calls("IDirectDrawSurface::Flip"), 2);
}

}  // namespace

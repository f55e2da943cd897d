// The wave-edge segment: the edge of each frame's time under "images\zuzuv.bmp" with black
// transparent, in both pixel formats; the timing, Escape, an abort already set, an early
// start, a failed lock and a missing picture.
#include "effects/effects.h"
#include "segments/segments.h"
#include "tests/segments/effect_segment_fixture.h"

namespace {

// Black in 40 x 30 blocks of a checkerboard, elsewhere a colour that no packing turns black.
Rgb OverlayColour(int x, int y) {
    if ((x / 40 + y / 30) % 2 == 1) return {0, 0, 0};
    return {static_cast<uint8_t>(64 + x / 4), static_cast<uint8_t>(32 + y / 3), 200};
}

class WaveEdgeSegmentTest : public EffectSegmentTest {
  protected:
    void Run(const Options& o) { EffectSegmentTest::Run(RunWaveEdgeSegment, o); }

    // Each frame is the wave edge of its time where the picture is black and the picture
    // elsewhere; without the picture, the bare wave edge.
    void ExpectEdgesUnderThePicture(bool rgb555, bool picture = true) {
        for (const ShownFrame& f : frames) {
            ExpectedScreen edge(0x1234);
            DrawWaveEdge(edge.Lock(), FrameTime(f.elapsed));
            for (int y = 0; y < 480; y++)
                for (int x = 0; x < 640; x++) {
                    uint16_t over = picture ? Pack16(OverlayColour(x, y), rgb555) : 0;
                    ASSERT_EQ(f.At(x, y), over ? over : edge.At(x, y))
                        << "frame at " << f.elapsed << " ms, pixel " << x << "," << y;
                }
        }
    }
};

TEST_F(WaveEdgeSegmentTest, ShowsTheEdgeThroughThePictureUntilTimeReaches300InBothFormats) {
    WritePicture("zuzuv.bmp", OverlayColour);
    for (bool rgb555 : {false, true}) {
        Options o;
        o.rgb555 = rgb555;
        o.step = EndOfSegmentSteps;
        Run(o);
        ASSERT_EQ(frames.size(), 3u) << (rgb555 ? "555" : "565");
        EXPECT_EQ(frames[2].elapsed, 10000u);  // t exactly 300 is drawn, and is the last
        ExpectEdgesUnderThePicture(rgb555);
        const WORD edge = rgb555 ? EdgeColour555 : EdgeColour565;  // seen through black blocks:
        EXPECT_EQ(frames[0].At(292, 0), 0);                        // at t = 0 row 0 turns at 293,
        EXPECT_EQ(frames[0].At(293, 0), edge);
        EXPECT_EQ(frames[0].At(339, 479), 0);  // row 479 at 340
        EXPECT_EQ(frames[0].At(340, 479), edge);
        EXPECT_EQ(Calls("IDirectDrawSurface::Blt back from picture"), 3);
        EXPECT_EQ(Calls("IDirectDrawSurface::Release picture"), 1);
        EXPECT_EQ(standin::LiveObjects("IDirectDrawSurface"), surfacesBefore);
        ReleaseDisplay();
    }
}

TEST_F(WaveEdgeSegmentTest, EscapeEndsItAfterTheFrameItCameIn) {
    WritePicture("zuzuv.bmp", OverlayColour);
    Options o;
    o.step = [](uint32_t) { return 700u; };
    o.escapeAtPump = 2;
    Run(o);
    ASSERT_EQ(frames.size(), 2u);
    ExpectEdgesUnderThePicture(false);
    EXPECT_EQ(standin::LiveObjects("IDirectDrawSurface"), surfacesBefore);
}

TEST_F(WaveEdgeSegmentTest, AnAbortAlreadySetOnlyLoadsAndReleasesThePicture) {
    WritePicture("zuzuv.bmp", OverlayColour);
    Options o;
    o.abortOnEntry = true;
    Run(o);
    EXPECT_TRUE(frames.empty());
    EXPECT_GE(Calls("LoadImageA images\\zuzuv.bmp"), 1);
    EXPECT_EQ(Calls("IDirectDraw::CreateSurface picture"), 1);
    EXPECT_EQ(Calls("IDirectDrawSurface::Release picture"), 1);
    EXPECT_EQ(Calls("IDirectDrawSurface::Lock"), 0);
    EXPECT_EQ(Calls("IDirectDrawSurface::Blt"), 0);
    EXPECT_EQ(Calls("IDirectDrawSurface::Flip"), 0);
    EXPECT_EQ(standin::LiveObjects("IDirectDrawSurface"), surfacesBefore);
}

TEST_F(WaveEdgeSegmentTest, EnteredEarlyItDrawsOneFrame) {
    WritePicture("zuzuv.bmp", OverlayColour);
    Options o;
    o.startOffset = 500;
    Run(o);
    ASSERT_EQ(frames.size(), 1u);
    ExpectEdgesUnderThePicture(false);
}

TEST_F(WaveEdgeSegmentTest, AFailedLockEndsItWithoutUnlockBlitOrFlip) {
    WritePicture("zuzuv.bmp", OverlayColour);
    Options o;
    o.locksBeforeFailure = 3;
    Run(o);
    EXPECT_EQ(frames.size(), 3u);
    EXPECT_EQ(Calls("IDirectDrawSurface::Unlock"), 3);
    EXPECT_EQ(Calls("IDirectDrawSurface::Blt"), 3);
    EXPECT_EQ(Calls("IDirectDrawSurface::Flip"), 3);
    EXPECT_EQ(Calls("IDirectDrawSurface::Release picture"), 1);
    EXPECT_EQ(standin::LiveObjects("IDirectDrawSurface"), surfacesBefore);
}

TEST_F(WaveEdgeSegmentTest, WithoutThePictureTheEdgeShowsAloneAndNothingIsReleased) {
    for (bool rgb555 : {false, true}) {
        Options o;
        o.rgb555 = rgb555;
        o.step = [](uint32_t) { return 2500u; };
        Run(o);
        ASSERT_EQ(frames.size(), 5u);
        ExpectEdgesUnderThePicture(rgb555, false);
        EXPECT_EQ(Calls("IDirectDrawSurface::Blt"), 0);
        EXPECT_EQ(Calls("IDirectDrawSurface::Release"), 0);
        ReleaseDisplay();
    }
}

}  // namespace

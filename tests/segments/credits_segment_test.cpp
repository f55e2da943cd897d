// The credits segment: 20 s of the wireframe scene at quality 73, the device's own quality
// back after, the edge outside the viewport black, Escape, and an empty record.
#include "app/app.h"
#include "platform/testing/hooks.h"
#include "tests/segments/scene_segment_fixture.h"

namespace {

using CreditsSegmentTest = SceneSegmentTest;

// Frames at 0 and 19 999 ms (t 299.985), then 20 000 ms (t 300) ends the segment.
uint32_t ToTheEnd(uint32_t elapsed) { return elapsed == 0 ? 19999 : 1; }

TEST_F(CreditsSegmentTest, DrawsWireframeUntilTwentySecondsThenRestoresTheQuality) {
    Options o;
    o.step = ToTheEnd;
    Run(RunCreditsSegment, o);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].elapsed, 0u);
    EXPECT_EQ(frames[1].elapsed, 19999u);
    for (const SceneFrame& f : frames) EXPECT_EQ(f.quality, 73u);
    EXPECT_EQ(SceneDevice->GetQuality(), 137u);
    // Released at its end, once.
    EXPECT_EQ(CreditsRecord.sceneFrame, nullptr);
    EXPECT_EQ(CreditsRecord.viewport, nullptr);
}

TEST_F(CreditsSegmentTest, TheSceneShowsInsideTheViewportAndTheEdgeStaysBlack) {
    Options o;
    o.step = [](uint32_t) { return 2500u; };
    // A background that is not black shows exactly where the viewport clears.
    o.prepare = [] { CreditsRecord.sceneFrame->SetSceneBackgroundRGB(0.0f, 0.0f, 1.0f); };
    Run(RunCreditsSegment, o);
    ASSERT_EQ(frames.size(), 8u);  // 0, 2500, ... 17 500
    for (const SceneFrame& f : frames) {
        EXPECT_EQ(f.At(0, 0), 0x001F) << "at " << f.elapsed;
        EXPECT_EQ(f.At(638, 478), 0x001F) << "at " << f.elapsed;
        // The wireframe is drawn over the background.
        int drawn = 0;
        for (uint16_t w : f.words) drawn += w != 0 && w != 0x001F;
        EXPECT_GT(drawn, 500) << "at " << f.elapsed;
        int edge = 0;
        for (int y = 0; y < 480; y++) edge += f.At(639, y) != 0;
        for (int x = 0; x < 640; x++) edge += f.At(x, 479) != 0;
        EXPECT_EQ(edge, 0) << "at " << f.elapsed;
    }
}

TEST_F(CreditsSegmentTest, EscapeOnEntrySetsAndRestoresTheQualityAndReleasesWithoutDrawing) {
    Options o;
    o.abortOnEntry = true;
    o.prepare = [] { standin::EnableCallLog(true); };
    Run(RunCreditsSegment, o);
    EXPECT_TRUE(frames.empty());
    EXPECT_EQ(standin::CountCalls("IDirect3DRMDevice::SetQuality"), 2);
    EXPECT_EQ(SceneDevice->GetQuality(), 137u);
    EXPECT_EQ(CreditsRecord.sceneFrame, nullptr);
    EXPECT_EQ(standin::CountCalls("IDirect3DRMViewport::Render"), 0);
}

TEST_F(CreditsSegmentTest, AnEmptyRecordKeepsTheTimingWithClearedFrames) {
    Options o;
    o.dataDir = DataWithout({"scripts/credits.scr"});
    o.prepare = [] { standin::EnableCallLog(true); };
    Run(RunCreditsSegment, o);
    ASSERT_EQ(frames.size(), 20u);  // 0 .. 19 000
    EXPECT_EQ(frames.back().elapsed, 19000u);
    for (const SceneFrame& f : frames) EXPECT_EQ(NonBlack(f), 0);
    EXPECT_EQ(standin::CountCalls("IDirect3DRMViewport::"), 0);
    EXPECT_EQ(standin::CountCalls("IDirect3DRMFrame::Release"), 0);
    EXPECT_EQ(SceneDevice->GetQuality(), 137u);
}

}  // namespace

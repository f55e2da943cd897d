// The scene1 segment: 5 s on the dark blue-green background, the edge outside the viewport
// left alone, SauPicture released (or skipped when missing), and an empty record.
#include <vector>

#include "app/app.h"
#include "display/display.h"
#include "display/frame_buffer.h"
#include "platform/testing/hooks.h"
#include "segments/segments.h"
#include "tests/segments/scene_segment_fixture.h"

namespace {

using Scene1SegmentTest = SceneSegmentTest;

// 0, 0.282352, 0.282352 in 5-6-5: channels of 71/255 reduced to 6 and 5 bits.
bool IsBackground(uint16_t w) {
    const int g = (w >> 5) & 63, b = w & 31;
    return (w >> 11) == 0 && g >= 16 && g <= 18 && b >= 8 && b <= 9;
}

TEST_F(Scene1SegmentTest, FiveSecondsOnItsBackgroundWithTheEdgeLeftAlone) {
    Options o;
    o.step = [](uint32_t elapsed) { return elapsed == 0 ? 4999u : 1u; };
    // Both buffers of the flip chain hold a marker that only the edge can keep.
    o.prepare = [] {
        FillSurface(BackSurface, 0x07E0);
        FlipDisplay();
        FillSurface(BackSurface, 0x07E0);
    };
    Run(RunScene1Segment, o);
    ASSERT_EQ(frames.size(), 2u);  // 0 and 4999 (t 149.97); 5000 ends it
    EXPECT_EQ(frames[1].elapsed, 4999u);
    for (const SceneFrame& f : frames) {
        EXPECT_TRUE(IsBackground(f.At(0, 0))) << std::hex << f.At(0, 0);
        EXPECT_EQ(f.At(639, 0), 0x07E0);
        EXPECT_EQ(f.At(0, 479), 0x07E0);
        EXPECT_GT(NonBlack(f), 0);
    }
    EXPECT_EQ(Scene1Record.sceneFrame, nullptr);
    EXPECT_EQ(SauPicture, nullptr);
    EXPECT_EQ(standin::LiveObjects("IDirectDrawSurface"), surfacesBefore - 1);
}

// The transforms of every frame the scene's animation set moves, one after another.
std::vector<float> AnimatedPose(const SceneRecord& record) {
    std::vector<float> pose;
    if (!record.animationSet) return pose;
    for (IDirect3DRMAnimation* animation : record.animationSet->animations) {
        if (!animation->frame) continue;
        for (const auto& row : animation->frame->transform) pose.insert(pose.end(), row, row + 4);
    }
    return pose;
}

TEST_F(Scene1SegmentTest, TheAnimationRunsFourTimesAsFastAsTheSegmentClock) {
    // The second frame is drawn at 1250 ms: t 37.5, so the animation stands at 150.
    Options o;
    std::vector<std::vector<float>> shown;  // the animated pose as each frame was shown
    o.step = [&shown](uint32_t elapsed) {
        shown.push_back(AnimatedPose(Scene1Record));
        return elapsed == 0 ? 1250u : 5000u;
    };
    Run(RunScene1Segment, o);
    ASSERT_EQ(shown.size(), 2u);
    ASSERT_FALSE(shown[1].empty()) << "the scene has no animation";

    // The same scene set to 150 directly, and to 37.5 for contrast.
    ScopedWorkingDir in(ZELK6_BUILTIN_DATA);
    SceneRecord fresh = LoadSceneScript("scripts\\scene1.scr", 0, 0, 639, 479);
    ASSERT_NE(fresh.animationSet, nullptr);
    fresh.animationSet->SetTime(150.0f);
    const std::vector<float> at150 = AnimatedPose(fresh);
    fresh.animationSet->SetTime(37.5f);
    const std::vector<float> at37 = AnimatedPose(fresh);
    ReleaseScene(fresh);
    EXPECT_EQ(shown[1], at150);
    EXPECT_NE(shown[1], at37);
}

TEST_F(Scene1SegmentTest, EscapeOnEntrySetsTheBackgroundAndReleasesSceneAndPicture) {
    Options o;
    o.abortOnEntry = true;
    o.prepare = [] { standin::EnableCallLog(true); };
    Run(RunScene1Segment, o);
    EXPECT_TRUE(frames.empty());
    EXPECT_EQ(standin::CountCalls("IDirect3DRMFrame::SetSceneBackgroundRGB"), 1);
    EXPECT_EQ(Scene1Record.sceneFrame, nullptr);
    EXPECT_EQ(SauPicture, nullptr);
}

TEST_F(Scene1SegmentTest, EnteredEarlyItDrawsOneFrameAtZeroAndEnds) {
    Options o;
    o.startOffset = 3000;
    Run(RunScene1Segment, o);
    EXPECT_EQ(frames.size(), 1u);
}

TEST_F(Scene1SegmentTest, AMissingStillPictureAndAnEmptyRecordAreSkipped) {
    Options o;
    o.dataDir = DataWithout({"images/sau.bmp", "scripts/scene1.scr"});
    o.prepare = [] { standin::EnableCallLog(true); };
    Run(RunScene1Segment, o);
    ASSERT_EQ(frames.size(), 5u);  // 0 .. 4000: the timing is kept
    for (const SceneFrame& f : frames) EXPECT_EQ(NonBlack(f), 0);
    EXPECT_EQ(standin::CountCalls("IDirect3DRMViewport::"), 0);
    EXPECT_EQ(standin::LiveObjects("IDirectDrawSurface"), surfacesBefore);
}

}  // namespace

// The baller segment: one black frame first, the last frame the first to reach 10 s, the
// chain picture jittered by the never-seeded generator, Escape, a missing picture, and a
// start still in the future.
#include "app/app.h"
#include "display/display.h"
#include "platform/testing/hooks.h"
#include "tests/segments/scene_segment_fixture.h"
#include "tests/scene/scene_test_support.h"
#include "tests/support/bmp_file.h"

#include <filesystem>

namespace {

using BallerSegmentTest = SceneSegmentTest;

const Rgb kChainColour = {255, 0, 0};  // 5-6-5 0xF800

TEST(BallerRandom, StartsFromStateOneLikeAnUnseededGenerator) {
    BallerRandomState = 1;
    const int expected[6] = {41, 18467, 6334, 26500, 19169, 15724};
    for (int value : expected) EXPECT_EQ(DrawBallerRandom(), value);
    // Bits 16..30 only: never negative, never above 32767, even when bit 31 is set.
    BallerRandomState = 0xFFFFFFFFu;
    for (int i = 0; i < 1000; i++) {
        int v = DrawBallerRandom();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
    }
}

TEST_F(BallerSegmentTest, ABlackFrameFirstThenFramesUntilTheFirstAtTenSeconds) {
    // A scene of background only, so the viewport's area is known whatever the show data hold.
    Options o;
    o.dataDir = DataWithout({});
    WriteTextFile(o.dataDir + "/scripts/baller.scr", "models\\none.x\n");
    o.prepare = [] {
        BallerRandomState = 1;
        // A background that is not black shows exactly where the viewport clears.
        BallerRecord.sceneFrame->SetSceneBackgroundRGB(0.0f, 0.0f, 1.0f);
    };
    Run(RunBallerSegment, o);
    // 0 is the black frame; then 1000 .. 10 000, the last with t = 300.
    ASSERT_EQ(frames.size(), 11u);
    EXPECT_EQ(NonBlack(frames[0]), 0);
    for (size_t i = 1; i < frames.size(); i++) {
        int blue = 0, edge = 0;
        for (uint16_t w : frames[i].words) blue += w == 0x001F;
        // The chain strip never reaches column 639 (at most 9 + 630 wide).
        for (int y = 0; y < 480; y++) edge += frames[i].At(639, y) != 0;
        EXPECT_GT(blue, 1000) << "frame " << i;
        EXPECT_EQ(edge, 0) << "frame " << i;
    }
    EXPECT_EQ(frames.back().elapsed, 10000u);
    EXPECT_EQ(frames[1].quality, 137u);
    EXPECT_EQ(BallerRecord.sceneFrame, nullptr);
    EXPECT_EQ(standin::LiveObjects("IDirectDrawSurface"), surfacesBefore);  // the chain is released
}

TEST_F(BallerSegmentTest, TheChainStripIsDrawnAtTheJitteredPlaceWithBlackTransparent) {
    // A picture that is red but for a black square at its (10, 20)..(19, 29).
    const std::string data = DataWithout({"scripts/baller.scr"});
    ASSERT_TRUE(WriteBmp24(data + "/images/chain.bmp", 640, 480, [](int x, int y) {
        return (x >= 10 && x < 20 && y >= 20 && y < 30) ? Rgb{0, 0, 0} : kChainColour;
    }));
    Options o;
    o.dataDir = data;
    o.step = [](uint32_t) { return 5000u; };
    o.prepare = [] { BallerRandomState = 1; };
    Run(RunBallerSegment, o);
    ASSERT_EQ(frames.size(), 3u);  // black, 5000, 10 000
    // Draws 41, 18467 then 6334, 26500: offsets (1, 7) and (4, 0).
    const int offsets[2][2] = {{1, 7}, {4, 0}};
    for (int i = 0; i < 2; i++) {
        const SceneFrame& f = frames[i + 1];
        const int dx = offsets[i][0], dy = offsets[i][1];
        // Source (0, 10)-(630, 480) lands at (dx, 10 - dy)-(dx + 630, 480 - dy).
        EXPECT_EQ(f.At(dx, 10 - dy), 0xF800);
        EXPECT_EQ(f.At(dx + 629, 479 - dy), 0xF800);
        if (dx > 0) {
            EXPECT_EQ(f.At(dx - 1, 100), 0);
        }
        EXPECT_EQ(f.At(dx + 630, 100), 0);
        if (10 - dy > 0) {
            EXPECT_EQ(f.At(100, 9 - dy), 0);
        }
        // The black square (source rows 20..29) shows the cleared screen through.
        EXPECT_EQ(f.At(dx + 15, 25 - dy), 0);
        EXPECT_EQ(f.At(dx + 25, 25 - dy), 0xF800);
        int red = 0;
        for (uint16_t w : f.words) red += w == 0xF800;
        EXPECT_EQ(red, 630 * 470 - 100);
    }
}

TEST_F(BallerSegmentTest, EscapeOnEntryStillLoadsShowsOneBlackFrameAndReleases) {
    Options o;
    o.abortOnEntry = true;
    o.prepare = [] { standin::EnableCallLog(true); };
    Run(RunBallerSegment, o);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(NonBlack(frames[0]), 0);
    EXPECT_EQ(standin::CountCalls("IDirect3DRMViewport::Render"), 0);
    EXPECT_EQ(standin::LiveObjects("IDirectDrawSurface"), surfacesBefore);
    EXPECT_EQ(BallerRecord.sceneFrame, nullptr);
}

TEST_F(BallerSegmentTest, AMissingChainPictureIsNeitherBlittedNorReleased) {
    Options o;
    o.dataDir = DataWithout({"images/chain.bmp"});
    o.step = [](uint32_t) { return 2500u; };
    o.prepare = [] { standin::EnableCallLog(true); };
    Run(RunBallerSegment, o);
    ASSERT_EQ(frames.size(), 5u);  // black, 2500 .. 10 000
    EXPECT_GT(NonBlack(frames.back()), 1000);  // the scene still shows
    // One blit a frame: the black fill, never a picture.
    EXPECT_EQ(standin::CountCalls("IDirectDrawSurface::Blt"), 5);
    EXPECT_EQ(standin::LiveObjects("IDirectDrawSurface"), surfacesBefore);
}

TEST_F(BallerSegmentTest, EnteredEarlyItDrawsOneFrameAtAHugeTimeAndEnds) {
    Options o;
    o.startOffset = 5000;  // SegmentStart 5 s ahead of the clock
    Run(RunBallerSegment, o);
    ASSERT_EQ(frames.size(), 2u);  // the black frame and one scene frame
    EXPECT_GT(frames[1].elapsed, 0x80000000u);
    EXPECT_EQ(BallerRecord.sceneFrame, nullptr);
}

}  // namespace

// Every platform object the show makes is given back by the end of the run, except what the
// design leaves alive on purpose: the three viewports and what they hold (their cameras, the
// device, and the back buffer the device draws into). Checked after a whole show and after
// an Escape on the loading screen and in 2D and 3D segments.
#include <gtest/gtest.h>

#include "platform/testing/hooks.h"
#include "tests/hardening/whole_show.h"

namespace {

TEST(ReferenceAudit, AWholeShowLeavesOnlyTheViewportsAndWhatTheyHold) {
    WholeShowRun run = RunWholeShow();
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.boxes.empty());
    // The scroller's third pass ends on the first frame 10 000 ms after its own start, which
    // is at least 100 000 ms after T0.
    EXPECT_GE(run.LastShowTime(), 100000);
    EXPECT_LT(run.LastShowTime(), 101000);
    EXPECT_EQ(run.loadingFrames, 4);
    EXPECT_EQ(LiveObjectCounts(), ObjectsLeftByDesign());
}

class EscapeAudit : public ::testing::TestWithParam<long> {};

// Wherever the show is stopped, each segment still releases what it loaded and the shutdown
// runs in full.
TEST_P(EscapeAudit, LeavesOnlyTheViewportsAndWhatTheyHold) {
    WholeShowOptions options;
    options.escapeAt = GetParam();
    WholeShowRun run = RunWholeShow(options);
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(run.loadingFrames, 4);
    // The key goes down on the first pump at or after its time, less than a frame (200 ms)
    // later; the segment then ends at its next test and the later ones at their first. Only
    // the baller's black frame before its loop may still be shown, at the key's time. On the
    // loading screen the key waits for the pump before T0, so that frame is the only one.
    const long from = options.escapeAt < 0 ? 0 : options.escapeAt - 200;
    const long to = options.escapeAt < 0 ? 0 : options.escapeAt + 199;
    EXPECT_GE(run.LastShowTime(), from);
    EXPECT_LE(run.LastShowTime(), to);
    EXPECT_EQ(LiveObjectCounts(), ObjectsLeftByDesign());
}

INSTANTIATE_TEST_SUITE_P(Points, EscapeAudit,
                         ::testing::Values(-1,      // loading screen
                                           3000,    // credits (3D)
                                           25000,   // wave edge (picture overlay)
                                           35000,   // tunnel (picture captions)
                                           45000,   // wire figure
                                           55000,   // baller (3D with picture)
                                           62000,   // still picture
                                           67000,   // third scene (3D, releases the still)
                                           85000),  // scroller, second pass
                         [](const ::testing::TestParamInfo<long>& info) {
                             return info.param < 0 ? std::string("LoadingScreen")
                                                   : "At" + std::to_string(info.param);
                         });

}  // namespace

// Display and frame failures in a whole run: a lock that fails for good ends its segment and
// the later ones are entered early; a lock that recovers, a surface lost and restored, unlock,
// flip, blit and GetDC failures are all absorbed; a window or a loading picture that cannot
// be made ends the start-up with 1, releasing what exists.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>

#include "app/app.h"
#include "display/display.h"
#include "platform/ddraw/ddraw.h"
#include "platform/host/offscreen/offscreen.h"
#include "platform/testing/hooks.h"
#include "segments/segments.h"
#include "tests/hardening/whole_show.h"
#include "tests/support/show_fixture.h"

namespace {

const long kWaveEdgeStart = 20000;  // the first segment that locks the back buffer
const long kArmAt = 19000;          // faults armed on the pump at or after this show time

// Arms `arm` once, on the first pump at or after show time `at`, and logs from then on.
std::function<void(long)> ArmAt(long at, std::function<void()> arm) {
    return [at, arm, done = false](long showTime) mutable {
        if (done || showTime < at) return;
        done = true;
        standin::EnableCallLog(true);
        arm();
    };
}

TEST(LockFaults, ALockThatNeverSucceedsEndsItsSegmentAndTheRestRunEarly) {
    WholeShowOptions options;
    options.onPump = ArmAt(kArmAt, [] { standin::FailCall("IDirectDrawSurface::Lock", 1001, DDERR_SURFACEBUSY); });
    WholeShowRun run = RunWholeShow(options);
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(standin::CountCalls("IDirectDrawSurface::Lock"), 1001 + 2);  // then tunnel and wire figure
    EXPECT_EQ(standin::CountCalls("IDirectDrawSurface::Unlock"), 2);
    // The wave edge flips nothing. The tunnel, wire figure, baller (its black frame and one
    // scene), third scene and the first scroller pass are each entered before their start
    // and show one frame; the still picture shows none. Passes 2 and 3 then run in full
    // from their own starts, so the show ends about 20 seconds after the failure.
    EXPECT_EQ(run.FramesBetween(kWaveEdgeStart, kWaveEdgeStart + 6 * 200), 6);
    EXPECT_GE(run.LastShowTime(), kWaveEdgeStart + 6 * 200 + 20000);
    EXPECT_LT(run.LastShowTime(), kWaveEdgeStart + 6 * 200 + 20000 + 1000);
    EXPECT_EQ(LiveObjectCounts(), ObjectsLeftByDesign());
}

TEST(LockFaults, ALockThatSucceedsOnItsLastRetryDrawsTheFrame) {
    WholeShowOptions options;
    options.escapeAt = kWaveEdgeStart + 1000;
    options.onPump = ArmAt(kArmAt, [] { standin::FailCall("IDirectDrawSurface::Lock", 1000, DDERR_SURFACEBUSY); });
    WholeShowRun run = RunWholeShow(options);
    ASSERT_EQ(run.exitCode, 0);
    // The wave edge's frames up to the Escape, which comes on the pump after the frame at
    // 20 800: nothing lost.
    const long frames = run.FramesBetween(kWaveEdgeStart, kWaveEdgeStart + 1000);
    EXPECT_EQ(frames, 5);
    EXPECT_EQ(standin::CountCalls("IDirectDrawSurface::Lock"), 1000 + frames);
    EXPECT_EQ(LiveObjectCounts(), ObjectsLeftByDesign());
}

// A back buffer lost during a lock is restored after each failed attempt, also when the
// restore itself fails for a while; the frame is then drawn as usual.
TEST(LockFaults, ALostSurfaceIsRestoredUntilTheLockSucceeds) {
    WholeShowOptions options;
    options.escapeAt = kWaveEdgeStart + 1000;
    options.onPump = ArmAt(kArmAt, [] {
        standin::FailCall("IDirectDrawSurface::Lock", 1, DDERR_SURFACELOST);
        // The wave edge's picture is restored once as it is loaded, before the first lock.
        standin::FailCallAfter("IDirectDrawSurface::Restore", 1, 3);
    });
    WholeShowRun run = RunWholeShow(options);
    ASSERT_EQ(run.exitCode, 0);
    const long frames = run.FramesBetween(kWaveEdgeStart, kWaveEdgeStart + 1000);
    EXPECT_EQ(frames, 5);
    // One injected loss, then the surface stays lost through three failed restores.
    EXPECT_EQ(standin::CountCalls("IDirectDrawSurface::Restore back"), 4);
    EXPECT_EQ(standin::CountCalls("IDirectDrawSurface::Lock"), 4 + frames);
    EXPECT_EQ(LiveObjectCounts(), ObjectsLeftByDesign());
}

// An unlock that fails on every call leaves the back buffer locked: that frame cannot be
// shown, and the next frame's lock fails for good, which ends the segment; its picture is
// still given back.
TEST(UnlockFaults, AnUnlockThatNeverSucceedsEndsTheSegmentAtTheNextLock) {
    ResetShowState();
    OpenShowDisplay();
    ScopedWorkingDir in(ZELK6_BUILTIN_DATA);
    const int surfaces = standin::LiveObjects("IDirectDrawSurface");
    const long shown = OffscreenFramesPresented();
    standin::EnableCallLog(true);
    standin::FailCall("IDirectDrawSurface::Unlock", 1 << 30, DDERR_SURFACEBUSY);
    SegmentStart = GetTickCount();
    RunWaveEdgeSegment();
    EXPECT_EQ(standin::CountCalls("IDirectDrawSurface::Unlock"), 1001);
    EXPECT_EQ(standin::CountCalls("IDirectDrawSurface::Lock"), 1 + 1001);
    EXPECT_EQ(OffscreenFramesPresented(), shown);
    EXPECT_EQ(standin::LiveObjects("IDirectDrawSurface"), surfaces);
    standin::Reset();
    BackSurface->Unlock(nullptr);
    ReleaseDisplay();
}

// When no frame can be shown any more, time still passes as on a real display, so the show
// cannot wait forever on a clock that only shown frames would move. Every flip failing: the
// timeline runs its course and ends at 100 s with 0. The back buffer left locked for good: each
// segment's first lock fails, so each ends at once, and the show ends with 0.
WholeShowRun RunWithFaultFrom19s(const char* call, long& lastPump) {
    WholeShowOptions options;
    auto arm = ArmAt(kArmAt, [call] { standin::FailCall(call, 1 << 30, DDERR_SURFACEBUSY); });
    options.onPump = [&lastPump, arm](long showTime) mutable {
        lastPump = std::max(lastPump, showTime);
        arm(showTime);
    };
    WholeShowRun run = RunWholeShow(options);
    standin::Reset();
    return run;
}

TEST(FlipFaults, AShowWhoseFramesCanNoLongerBeShownStillEnds) {
    long lastPump = -1;
    WholeShowRun run = RunWithFaultFrom19s("IDirectDrawSurface::Flip", lastPump);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_LE(run.LastShowTime(), kArmAt + 200);  // nothing shown after that
    EXPECT_GE(lastPump, 99000);
    EXPECT_LE(lastPump, 101000);

    lastPump = -1;
    run = RunWithFaultFrom19s("IDirectDrawSurface::Unlock", lastPump);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_LE(run.LastShowTime(), kWaveEdgeStart + 200);
    EXPECT_GE(lastPump, kWaveEdgeStart);
}

// Per-frame failures whose results nobody examines: the show runs on at its usual pace and
// every object is given back.
struct AbsorbedFault {
    const char* name;
    const char* call;
    int times;
    long armAt;  // show time; -1: from the start
    HRESULT result;
    int framesNotShown = 0;  // failed flips: their time passes, their frames are not shown
};

void PrintTo(const AbsorbedFault& f, std::ostream* os) { *os << f.call; }

class AbsorbedFaults : public ::testing::TestWithParam<AbsorbedFault> {};

TEST_P(AbsorbedFaults, TheShowRunsOnAtItsPace) {
    const AbsorbedFault f = GetParam();
    WholeShowOptions options;
    options.escapeAt = kWaveEdgeStart + 1000;
    auto arm = [f] { standin::FailCall(f.call, f.times, f.result); };
    if (f.armAt < 0)
        options.arm = arm;
    else
        options.onPump = ArmAt(f.armAt, arm);
    WholeShowRun run = RunWholeShow(options);
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(run.loadingFrames, 4);
    // A frame every 200 ms from T0 to the Escape, both included.
    EXPECT_EQ(run.FramesBetween(0, kWaveEdgeStart + 1001), (kWaveEdgeStart + 1000) / 200 + 1 - f.framesNotShown);
    EXPECT_EQ(run.LastShowTime(), kWaveEdgeStart + 1000);
    EXPECT_EQ(LiveObjectCounts(), ObjectsLeftByDesign());
}

const int kForever = 1 << 30;

INSTANTIATE_TEST_SUITE_P(
    Calls, AbsorbedFaults,
    ::testing::Values(
        // Unlock: the first call and 999 retries fail, the last retry unlocks.
        AbsorbedFault{"UnlockRetried", "IDirectDrawSurface::Unlock", 1000, kArmAt, DDERR_SURFACEBUSY},
        // Flips that fail show nothing, and the frames' time passes all the same.
        AbsorbedFault{"Flip", "IDirectDrawSurface::Flip", 5, kArmAt, DDERR_SURFACELOST, 5},
        AbsorbedFault{"BltAlways", "IDirectDrawSurface::Blt", kForever, -1, DDERR_GENERIC},
        // No driver reported: the dialog's list is empty and the primary driver is used.
        AbsorbedFault{"NoDrivers", "DirectDrawEnumerateExA", 1, -1, DDERR_GENERIC},
        // No context on the back buffer: the progress lines are not drawn; the pictures'
        // copies fail too, and they are still made and shown.
        AbsorbedFault{"GetDCAlways", "IDirectDrawSurface::GetDC", kForever, -1, DDERR_GENERIC}),
    [](const ::testing::TestParamInfo<AbsorbedFault>& info) { return std::string(info.param.name); });

TEST(LoadingScreenFaults, WithoutAContextTheLinesAreSkippedWithoutAReleaseAndTheFlipsGoOn) {
    WholeShowOptions options;
    options.escapeAt = -1;
    options.arm = [] {
        standin::EnableCallLog(true);
        standin::FailCall("IDirectDrawSurface::GetDC", 1 << 30);
    };
    WholeShowRun run = RunWholeShow(options);
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.loadingFrames, 4);
    EXPECT_EQ(standin::CountCalls("IDirectDrawSurface::ReleaseDC"), 0);
    EXPECT_EQ(standin::CountCalls("TextOutA"), 0);
    EXPECT_EQ(standin::CountCalls("IDirectDrawSurface::GetDC back"), 4);
}

TEST(StartUpFaults, ALoadingPictureWithoutASurfaceEndsWithOneAndLeavesNothing) {
    WholeShowOptions options;
    // The primary and the back buffer come first; the third surface is the loading picture.
    options.arm = [] { standin::FailCallAfter("IDirectDraw::CreateSurface", 2, 1); };
    WholeShowRun run = RunWholeShow(options);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.loadingFrames, 0);
    EXPECT_TRUE(LiveObjectCounts().empty());
}

TEST(StartUpFaults, AWindowThatCannotBeMadeSaysSoAndEndsWithOneBeforeTheDisplay) {
    for (const char* call : {"CreateWindowExA", "RegisterClassA"}) {
        SCOPED_TRACE(call);
        ChildRun child = RunInChild([call] {
            PrintLiveObjectsAtExit();
            WholeShowOptions options;
            options.arm = [call] { standin::FailCall(call, 1); };
            RunWholeShow(options);
            return 99;
        });
        EXPECT_EQ(child.exitCode, 1) << child.errors;
        EXPECT_NE(child.errors.find("Zelk6: "), std::string::npos) << child.errors;
        // The music library was started, the display never.
        EXPECT_EQ(child.errors.find("IDirectDraw"), std::string::npos) << child.errors;
    }
}

}  // namespace

// Start-up in its fixed order: each display step's failure code with what is released and
// the cursor left alone, the music set-up returning 2, and a missing loading picture.
#include <algorithm>
#include <vector>

#include "app/app.h"
#include "display/display.h"
#include "platform/midas/midas.h"
#include "platform/testing/hooks.h"
#include "tests/support/show_fixture.h"

namespace {

class StartUp : public ShowTest {
  protected:
    void SetUp() override {
        ShowTest::SetUp();
        standin::EnableCallLog(true);
    }
    void TearDown() override {
        MIDASclose();  // a failed start-up leaves the music library to the end of the process
        ReleaseDisplay();
    }
    int Start() {
        ScopedWorkingDir in(empty.path());  // no show data: start-up stops at the loading picture
        return WinMain(nullptr, nullptr, const_cast<char*>(""), SW_SHOW);
    }
    static long First(const std::string& prefix) { return standin::FirstCall(prefix); }
    TempDir empty;
};

TEST_F(StartUp, EachDisplayStepReturnsItsCodeAfterReleasingWhatExists) {
    const struct {
        const char* call;
        int succeeding;
        int code;
    } steps[] = {
        {"DirectDrawCreate", 0, 1},
        {"IDirectDraw::SetCooperativeLevel", 0, 2},
        {"IDirectDraw::SetDisplayMode", 0, 3},
        {"IDirectDraw::CreateSurface", 0, 4},
        {"IDirectDraw::CreateSurface", 1, 5},
        {"IDirectDrawSurface::AddAttachedSurface", 0, 6},
        {"IDirectDrawSurface::GetPixelFormat", 0, 7},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.code);
        ResetShowState();
        standin::EnableCallLog(true);
        standin::FailCallAfter(step.call, step.succeeding, 1);
        EXPECT_EQ(Start(), step.code);
        // The cursor was never hidden, so it is shown again only by a release that has a
        // display object to release.
        EXPECT_EQ(standin::CountCalls("ShowCursor FALSE"), 0);
        EXPECT_EQ(standin::CountCalls("ShowCursor TRUE"), step.code == 1 ? 0 : 1);
        EXPECT_EQ(standin::LiveObjects("IDirectDraw"), 0);
        EXPECT_EQ(standin::LiveObjects("IDirectDrawSurface"), 0);
        EXPECT_GE(First("CreateWindowExA Zelk6"), 0);
        EXPECT_LT(First("MIDASinit"), First("CreateWindowExA"));  // music before the window
        EXPECT_EQ(First("LoadImageA"), -1);
        MIDASclose();
    }
}

TEST_F(StartUp, A3DDeviceFailureReleasesThe3DLayerBeforeTheDisplay) {
    const struct {
        const char* call;
        int code;
    } steps[] = {{"Direct3DRMCreate", 1}, {"IDirect3DRM::CreateDeviceFromSurface", 2}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.call);
        ResetShowState();
        standin::EnableCallLog(true);
        standin::FailCall(step.call, 1);
        EXPECT_EQ(Start(), step.code);
        EXPECT_EQ(First("LoadImageA"), -1);
        EXPECT_EQ(standin::CountCalls("ShowCursor FALSE"), 0);
        EXPECT_EQ(standin::CountCalls("ShowCursor TRUE"), 1);
        if (step.code == 2) {
            EXPECT_GE(First("IDirect3DRM::Release"), 0);
            EXPECT_LT(First("IDirect3DRM::Release"), First("IDirectDraw::Release"));
        }
        EXPECT_EQ(standin::LiveObjects("IDirect3DRM"), 0);
        EXPECT_EQ(standin::LiveObjects("IDirectDraw"), 0);
        EXPECT_EQ(standin::LiveObjects("IDirectDrawSurface"), 0);
        MIDASclose();
    }
}

TEST_F(StartUp, MusicSetUpRefusedEndsWithTwoBeforeAnyWindow) {
    standin::FailCall("MIDASconfig", 1);
    EXPECT_EQ(Start(), 2);
    EXPECT_EQ(First("CreateWindowExA"), -1);
    EXPECT_EQ(First("DirectDrawCreate"), -1);
    EXPECT_EQ(First("MIDASclose"), -1);  // nothing is closed on this path
    EXPECT_EQ(MainWindow, nullptr);
}

TEST_F(StartUp, MissingLoadingPictureEndsWithOneAfterTheDisplayIsReleased) {
    EXPECT_EQ(Start(), 1);
    const long load = First("LoadImageA");
    ASSERT_GE(load, 0);
    EXPECT_LT(First("ShowCursor FALSE"), load);  // hidden right after the display is set up
    EXPECT_GT(First("ShowCursor TRUE"), load);
    EXPECT_GT(First("IDirectDraw::Release"), load);
    EXPECT_EQ(standin::LiveObjects("IDirectDrawSurface"), 0);
    EXPECT_EQ(OffscreenFramesPresented(), 0);  // nothing was shown
}

}  // namespace

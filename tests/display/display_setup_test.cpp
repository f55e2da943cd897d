// Display set-up and release: each step's failure code, what is left for the release, the
// release order and the cursor rule, and the pixel layout read from the red mask.
#include <vector>

#include "display/display.h"
#include "platform/testing/hooks.h"
#include "tests/support/show_fixture.h"

namespace {

class DisplaySetup : public ShowTest {
  protected:
    HWND MakeWindow() {
        OpenTestDisplay();  // a window and a working display, released again below
        HWND window = DisplayObject ? DisplayObject->window : nullptr;
        ReleaseDisplay();
        standin::Reset();
        standin::EnableCallLog(true);
        return window;
    }
};

struct StepFault {
    const char* call;
    int succeeding;  // calls of the same name that still succeed first
    int code;
    bool primary, back;  // which surfaces exist after the failure
};

TEST_F(DisplaySetup, EachStepFailsWithItsCodeAndTheReleaseUndoesWhatExists) {
    const StepFault steps[] = {
        {"DirectDrawCreate", 0, 1, false, false},
        {"IDirectDraw::SetCooperativeLevel", 0, 2, false, false},
        {"IDirectDraw::SetDisplayMode", 0, 3, false, false},
        {"IDirectDraw::CreateSurface", 0, 4, false, false},
        {"IDirectDraw::CreateSurface", 1, 5, true, false},
        {"IDirectDrawSurface::AddAttachedSurface", 0, 6, true, true},
        {"IDirectDrawSurface::GetPixelFormat", 0, 7, true, true},
    };
    for (const StepFault& step : steps) {
        SCOPED_TRACE(step.code);
        OffscreenConfig layout555;  // a layout the failed set-up must not read
        layout555.rgb555 = true;
        ResetShowState(layout555);
        HWND window = MakeWindow();
        IsRgb555 = 0;  // MakeWindow's working display read it
        standin::FailCallAfter(step.call, step.succeeding, 1);
        GUID primary{};
        EXPECT_EQ(InitDisplay(window, &primary), step.code);
        EXPECT_EQ(IsRgb555, 0);  // only a finished set-up reads the layout
        EXPECT_EQ(DisplayObject != nullptr, step.code != 1);
        EXPECT_EQ(PrimarySurface != nullptr, step.primary);
        EXPECT_EQ(BackSurface != nullptr, step.back);

        standin::EnableCallLog(true);
        const size_t before = standin::CallLog().size();
        ReleaseDisplay();
        std::vector<std::string> release(standin::CallLog().begin() + static_cast<long>(before),
                                         standin::CallLog().end());
        std::vector<std::string> expected;
        if (step.code != 1) {
            expected.push_back("ShowCursor TRUE");
            if (step.primary) expected.push_back("IDirectDrawSurface::Release primary");
            if (step.back) expected.push_back("IDirectDrawSurface::Release back");
            expected.push_back("IDirectDraw::Release");
        }
        EXPECT_EQ(release, expected);
        EXPECT_EQ(DisplayObject, nullptr);
        EXPECT_EQ(standin::LiveObjects("IDirectDraw"), 0);
        EXPECT_EQ(standin::LiveObjects("IDirectDrawSurface"), 0);

        // A second release touches nothing, not even the cursor.
        const size_t after = standin::CallLog().size();
        ReleaseDisplay();
        EXPECT_EQ(standin::CallLog().size(), after);
    }
}

// The host's layout reaches the show as the red mask of the surfaces' pixel format.
TEST_F(DisplaySetup, LayoutComesFromTheRedMaskTheHostsDisplayReports) {
    const struct {
        bool hostRgb555;
        DWORD mask;
        int rgb555;
    } cases[] = {{true, 0x7C00, 1}, {false, 0xF800, 0}};
    for (const auto& c : cases) {
        OffscreenConfig config;
        config.rgb555 = c.hostRgb555;
        ResetShowState(config);
        HWND window = MakeWindow();
        GUID primary{};
        ASSERT_EQ(InitDisplay(window, &primary), 0);
        DDPIXELFORMAT format{};
        format.dwSize = sizeof format;
        ASSERT_EQ(PrimarySurface->GetPixelFormat(&format), DD_OK);
        EXPECT_EQ(format.dwRBitMask, c.mask);
        EXPECT_EQ(IsRgb555, c.rgb555) << std::hex << c.mask;
        ReleaseDisplay();
    }
}

TEST_F(DisplaySetup, FlipShowsTheBackSurfaceOnTheHost) {
    std::vector<uint16_t> shown;
    OffscreenConfig config;
    config.onFrame = [&](const uint16_t* pixels, int w, int h, int pitch, bool, uint32_t) {
        shown.assign(pixels, pixels + static_cast<size_t>(pitch / 2) * (h - 1) + w);
    };
    ResetShowState(config);
    OpenTestDisplay();
    FillSurface(BackSurface, 0x1234);
    BackSurface->memory[5] = 0xBEEF;
    FlipDisplay();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown[0], 0x1234);
    EXPECT_EQ(shown[5], 0xBEEF);
    EXPECT_EQ(OffscreenFramesPresented(), 1);
    ReleaseDisplay();
}

}  // namespace

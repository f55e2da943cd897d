// The two set-up dialogs in the start-up: the music library's output-device dialog (its
// list, its preselection, Cancel ending the program with 2 before any window) and the
// render-device dialog after it, before the main window (Cancel there ends with 2 as well,
// a close from the caption starts the show).
#include <algorithm>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/device_choice.h"
#include "display/display.h"
#include "platform/d3drm/d3drm.h"
#include "platform/midas/midas.h"
#include "platform/midas/midas_internal.h"
#include "platform/testing/hooks.h"
#include "tests/dialogs/dialog_test_support.h"

namespace {

class SetupDialogs : public ::testing::Test {
  protected:
    void SetUp() override { Configure({}, {}); }
    void TearDown() override {
        MIDASclose();
        ReleaseDisplay();
    }
    void Configure(std::vector<OffscreenDialogInput> sound, std::vector<OffscreenDialogInput> device,
                   bool audio = true) {
        OffscreenConfig config;
        config.audioAvailable = audio;
        config.audioDevices = {"First card", "Second card"};
        if (!sound.empty()) config.dialogAnswers["Sound set-up"] = std::move(sound);
        if (!device.empty()) config.dialogAnswers["Zelk6"] = std::move(device);
        ResetShowState(config);
        MIDASstartup();  // the library's fresh state; the show's own start-up is logged below
        standin::EnableCallLog(true);
        DisplayDriverGuid = GUID{};
        RenderDeviceGuid = GUID{};
    }
    int Start() {
        ScopedWorkingDir in(empty.path());  // no show data: start-up stops at the loading picture
        testing::internal::CaptureStderr();
        int code = WinMain(nullptr, nullptr, const_cast<char*>(""), SW_SHOW);
        testing::internal::GetCapturedStderr();
        return code;
    }
    static long First(const std::string& prefix) { return standin::FirstCall(prefix); }
    TempDir empty;
};

TEST_F(SetupDialogs, SoundDialogListsTheDefaultEachDeviceAndNoSound) {
    // Preselected: the default device, which opens. Down picks the first named device, End
    // "No sound"; Up from the default stays on it.
    const std::vector<std::pair<std::vector<OffscreenDialogInput>, int>> runs = {
        {{Key(VK_RETURN)}, kMidasDefaultDevice},
        {{Key(VK_DOWN), Key(VK_RETURN)}, 0},
        {{Key(VK_DOWN), Key(VK_DOWN), Key(VK_RETURN)}, 1},
        {{Key(VK_END), Key(VK_RETURN)}, kMidasNoSound},
        {{Key(VK_UP), Key(VK_RETURN)}, kMidasDefaultDevice},
    };
    for (const auto& [steps, device] : runs) {
        SCOPED_TRACE(device);
        Configure(steps, {});
        EXPECT_TRUE(MIDASconfig());
        EXPECT_EQ(MidasOutputDevice(), device);
    }
}

TEST_F(SetupDialogs, SoundDialogPreselectsNoSoundWhenNoDeviceOpens) {
    Configure({}, {}, false);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(MIDASconfig());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(MidasOutputDevice(), kMidasNoSound);
    // The user may still pick a device; the library then tries it at MIDASinit.
    Configure({Key(VK_HOME), Key(VK_RETURN)}, {}, false);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(MIDASconfig());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(MidasOutputDevice(), kMidasDefaultDevice);
}

TEST_F(SetupDialogs, SoundDialogCancelAndCloseAnswerZeroAndKeepTheDevice) {
    for (const auto& steps : {std::vector<OffscreenDialogInput>{Key(VK_END), Key(VK_ESCAPE)},
                              std::vector<OffscreenDialogInput>{Key(VK_END), CloseButton()}}) {
        Configure(steps, {});
        EXPECT_FALSE(MIDASconfig());
        EXPECT_EQ(MidasOutputDevice(), kMidasDefaultDevice);
    }
    // Without a screen for the dialog the preselected device is taken.
    OffscreenConfig config;
    config.dialogsAvailable = false;
    ResetShowState(config);
    MIDASstartup();
    testing::internal::CaptureStderr();
    EXPECT_TRUE(MIDASconfig());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(MidasOutputDevice(), kMidasDefaultDevice);
}

TEST_F(SetupDialogs, EscapeInTheSoundDialogEndsWithTwoBeforeAnyWindowOrDisplay) {
    Configure({Key(VK_ESCAPE)}, {});
    EXPECT_EQ(Start(), 2);
    EXPECT_EQ(OffscreenDialogsShown(), std::vector<std::string>{"Sound set-up"});
    EXPECT_EQ(First("CreateWindowExA"), -1);
    EXPECT_EQ(First("DirectDrawCreate"), -1);
    EXPECT_EQ(MainWindow, nullptr);
}

TEST_F(SetupDialogs, StartUpEnumeratesFirstAndAsksForTheDeviceAfterTheMusic) {
    Configure({}, {});
    EXPECT_EQ(Start(), 1);  // no loading picture in the empty folder
    EXPECT_EQ(OffscreenDialogsShown(), (std::vector<std::string>{"Sound set-up", "Zelk6"}));
    EXPECT_LT(First("DirectDrawEnumerateExA"), First("MIDASstartup"));
    EXPECT_LT(First("MIDASinit"), First("DialogBoxParamA 101"));
    EXPECT_LT(First("DialogBoxParamA 101"), First("CreateWindowExA"));
    EXPECT_EQ(DeviceCount, 2);
    EXPECT_TRUE(SameGuid(RenderDeviceGuid, IID_IDirect3DHALDevice));
}

TEST_F(SetupDialogs, TheRenderDeviceChoiceReachesTheDisplaySetUp) {
    // The windowed driver (Up from the preselected one) with software rendering.
    Configure({}, {Key(VK_TAB), Key(VK_TAB), Key(VK_UP), Key(VK_TAB), Key(VK_SPACE), Key(VK_RETURN)});
    EXPECT_EQ(Start(), 1);
    EXPECT_TRUE(SameGuid(RenderDeviceGuid, IID_IDirect3DMMXDevice));
    EXPECT_GE(First("DirectDrawCreate 640x480 in a window"), 0);
    // A close from the caption stores nothing: the show starts on the primary driver with
    // both identities zero (then stops at the loading picture the empty folder lacks).
    Configure({}, {Key(VK_TAB), Key(VK_TAB), Key(VK_UP), CloseButton()});
    EXPECT_EQ(Start(), 1);
    EXPECT_TRUE(SameGuid(DisplayDriverGuid, GUID{}));
    EXPECT_TRUE(SameGuid(RenderDeviceGuid, GUID{}));
    EXPECT_LT(First("DialogBoxParamA 101"), First("CreateWindowExA"));
    EXPECT_GE(First("DirectDrawCreate Full screen on"), 0);
}

TEST_F(SetupDialogs, CancelInTheRenderDeviceDialogEndsWithTwoBeforeAnyWindowOrDisplay) {
    // Escape, and the Cancel button clicked, after the list and the box were changed.
    for (const auto& answer : {OffscreenDialogInput(Key(VK_ESCAPE)), Click(kCancelX, kCancelY)}) {
        Configure({}, {Key(VK_TAB), Key(VK_TAB), Key(VK_UP), Click(kBoxX, kBoxY), answer});
        EXPECT_EQ(Start(), 2);
        EXPECT_EQ(OffscreenDialogsShown(), (std::vector<std::string>{"Sound set-up", "Zelk6"}));
        EXPECT_TRUE(SameGuid(DisplayDriverGuid, GUID{}));
        EXPECT_TRUE(SameGuid(RenderDeviceGuid, GUID{}));
        EXPECT_EQ(First("CreateWindowExA"), -1);
        EXPECT_EQ(First("DirectDrawCreate"), -1);
        EXPECT_EQ(MainWindow, nullptr);
        // The music library, initialised before the dialog, is closed: its device too.
        EXPECT_GT(First("MIDASclose"), First("DialogBoxParamA 101"));
        EXPECT_EQ(MidasOutputRate(), 0);
    }
}

}  // namespace

// The render-device dialog at the level of its messages: the list filled from DeviceList in
// slot order with the preselected slot, what OK stores with and without the box, that
// Cancel and a close store nothing, and the driver list's bounds (five slots, 49 characters).
#include <string>

#include "app/device_choice.h"
#include "platform/d3drm/d3drm.h"
#include "platform/ddraw/ddraw.h"
#include "platform/testing/hooks.h"
#include "resources/resource.h"
#include "tests/dialogs/dialog_test_support.h"

namespace {

// What the list and the box held right after the dialog procedure set them up.
struct SeenAtStart {
    int count = -1;
    int selection = -2;
    int check = -1;
    std::vector<std::string> items;
    std::vector<LPARAM> data;
};
SeenAtStart g_seen;

INT_PTR RecordingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR r = DeviceDialogProc(dialog, message, wParam, lParam);
    if (message == WM_INITDIALOG) {
        g_seen.count = static_cast<int>(SendDlgItemMessageA(dialog, IDC_DEVICE_LIST, CB_GETCOUNT, 0, 0));
        g_seen.selection = static_cast<int>(SendDlgItemMessageA(dialog, IDC_DEVICE_LIST, CB_GETCURSEL, 0, 0));
        g_seen.check = static_cast<int>(SendDlgItemMessageA(dialog, IDC_HARDWARE_RENDER, BM_GETCHECK, 0, 0));
        for (int i = 0; i < g_seen.count; i++) {
            char text[kDescriptionBytes + 1] = {};
            SendDlgItemMessageA(dialog, IDC_DEVICE_LIST, CB_GETLBTEXT, static_cast<WPARAM>(i),
                                reinterpret_cast<LPARAM>(text));
            g_seen.items.push_back(text);
            g_seen.data.push_back(SendDlgItemMessageA(dialog, IDC_DEVICE_LIST, CB_GETITEMDATA, static_cast<WPARAM>(i), 0));
        }
    }
    return r;
}

class DeviceDialog : public ::testing::Test {
  protected:
    void SetUp() override { Configure(OffscreenConfig()); }
    void Configure(OffscreenConfig config) {
        ResetShowState(config);
        g_seen = SeenAtStart();
        DeviceCount = 0;
        DefaultDevice = 0;
        DisplayDriverGuid = GUID{};
        RenderDeviceGuid = GUID{};
    }
    // Runs dialog 101 answered with `steps`, through the recording procedure.
    INT_PTR Run(std::vector<OffscreenDialogInput> steps) {
        OffscreenConfig config;
        config.displays = displays;
        config.dialogAnswers["Zelk6"] = std::move(steps);
        ConfigureOffscreen(config);
        return DialogBoxParamA(nullptr, MAKEINTRESOURCEA(101), nullptr, RecordingProc, 0);
    }
    std::vector<HostDisplayInfo> displays{{"Offscreen display", 640, 480}};
};

TEST_F(DeviceDialog, OneDriverIsThePrimaryAndOkStoresZeroAndHardware) {
    char description[] = "Primary display driver";
    EXPECT_TRUE(DriverEnumCallback(nullptr, description, nullptr, nullptr, nullptr));
    ASSERT_EQ(DeviceCount, 1);
    EXPECT_TRUE(SameGuid(DeviceList.identity[0], GUID{}));
    DisplayDriverGuid = Sentinel();
    EXPECT_EQ(Run({Key(VK_RETURN)}), 0);
    EXPECT_EQ(g_seen.count, 1);
    EXPECT_EQ(g_seen.selection, 0);
    EXPECT_EQ(g_seen.check, BST_CHECKED);
    EXPECT_EQ(g_seen.items, std::vector<std::string>{"Primary display driver"});
    EXPECT_TRUE(SameGuid(DisplayDriverGuid, GUID{}));
    EXPECT_TRUE(SameGuid(RenderDeviceGuid, IID_IDirect3DHALDevice));
}

TEST_F(DeviceDialog, TwoDriversPreselectTheSecondWhichOkStoresAndDirectDrawHonours) {
    EXPECT_EQ(EnumerateDrivers(), 1);
    ASSERT_EQ(DeviceCount, 2);
    EXPECT_EQ(DefaultDevice, 1);
    // The windowed driver first, then full screen on the main display: the primary driver.
    EXPECT_FALSE(SameGuid(DeviceList.identity[0], GUID{}));
    EXPECT_TRUE(SameGuid(DeviceList.identity[1], GUID{}));
    DisplayDriverGuid = Sentinel();
    EXPECT_EQ(Run({Key(VK_RETURN)}), 0);
    EXPECT_EQ(g_seen.selection, 1);
    EXPECT_EQ(g_seen.data, (std::vector<LPARAM>{0, 1}));
    EXPECT_EQ(g_seen.items[0], DeviceList.description[0]);
    EXPECT_TRUE(SameGuid(DisplayDriverGuid, DeviceList.identity[1]));

    IDirectDraw* dd = nullptr;
    ASSERT_EQ(DirectDrawCreate(&DisplayDriverGuid, &dd, nullptr), DD_OK);
    EXPECT_EQ(dd->display, 0);
    dd->Release();

    // Up picks the windowed driver; DirectDraw then runs in a window.
    EXPECT_EQ(Run({Key(VK_TAB), Key(VK_TAB), Key(VK_UP), Key(VK_RETURN)}), 0);
    EXPECT_TRUE(SameGuid(DisplayDriverGuid, DeviceList.identity[0]));
    ASSERT_EQ(DirectDrawCreate(&DisplayDriverGuid, &dd, nullptr), DD_OK);
    EXPECT_EQ(dd->display, -1);
    dd->Release();
}

TEST_F(DeviceDialog, SevenDriversKeepTheFirstFiveAndStopTheEnumeration) {
    for (int i = 1; i < 6; i++) displays.push_back({"Display " + std::to_string(i + 1), 800, 600});
    OffscreenConfig config;
    config.displays = displays;
    Configure(config);
    EXPECT_EQ(EnumerateDrivers(), 1);
    ASSERT_EQ(DeviceCount, 5);
    EXPECT_EQ(std::string(DeviceList.description[4]), "Full screen on Display 4");
    EXPECT_EQ(Run({Key(VK_TAB), Key(VK_TAB), Key(VK_END), Key(VK_RETURN)}), 0);
    EXPECT_EQ(g_seen.count, 5);
    EXPECT_TRUE(SameGuid(DisplayDriverGuid, DeviceList.identity[4]));

    // Directly: the fifth stored driver answers FALSE, and a call after it stores nothing.
    DeviceCount = 4;
    char name[] = "late";
    EXPECT_FALSE(DriverEnumCallback(nullptr, name, nullptr, nullptr, nullptr));
    EXPECT_EQ(DeviceCount, 5);
    EXPECT_FALSE(DriverEnumCallback(nullptr, name, nullptr, nullptr, nullptr));
    EXPECT_EQ(DeviceCount, 5);
}

TEST_F(DeviceDialog, LongDescriptionsAreCutTo49Characters) {
    const std::string longName(80, 'x');
    std::vector<char> text(longName.begin(), longName.end());
    text.push_back('\0');
    std::memset(DeviceList.description[1], 'k', kDescriptionBytes);
    EXPECT_TRUE(DriverEnumCallback(nullptr, text.data(), nullptr, nullptr, nullptr));
    EXPECT_EQ(std::string(DeviceList.description[0]), std::string(49, 'x'));
    EXPECT_EQ(DeviceList.description[1][0], 'k');  // the next slot is untouched
}

TEST_F(DeviceDialog, OkWithTheBoxClearedStoresTheSoftwareDevice) {
    EnumerateDrivers();
    EXPECT_EQ(Run(OffscreenRendererAnswer(false)), 0);
    EXPECT_TRUE(SameGuid(RenderDeviceGuid, IID_IDirect3DMMXDevice));
    EXPECT_TRUE(SameGuid(DisplayDriverGuid, DeviceList.identity[1]));
    EXPECT_EQ(Run(OffscreenRendererAnswer(true)), 0);
    EXPECT_TRUE(SameGuid(RenderDeviceGuid, IID_IDirect3DHALDevice));
}

TEST_F(DeviceDialog, CancelAndCloseStoreNothing) {
    EnumerateDrivers();
    // Escape, the Cancel button by keyboard and by mouse answer 1; the caption's close 0.
    const std::vector<std::pair<std::vector<OffscreenDialogInput>, INT_PTR>> runs = {
        {{Key(VK_ESCAPE)}, 1},
        {{Key(VK_TAB, true), Key(VK_SPACE)}, 1},
        {{Click(kCancelX, kCancelY)}, 1},
        {{CloseButton()}, 0},
    };
    for (const auto& [steps, result] : runs) {
        SCOPED_TRACE(result);
        DisplayDriverGuid = Sentinel();
        RenderDeviceGuid = Sentinel();
        // Change both choices first: nothing of it may be stored.
        std::vector<OffscreenDialogInput> all = {Click(kBoxX, kBoxY), Key(VK_TAB), Key(VK_TAB), Key(VK_TAB),
                                                 Key(VK_UP)};
        all.insert(all.end(), steps.begin(), steps.end());
        EXPECT_EQ(Run(all), result);
        EXPECT_TRUE(SameGuid(DisplayDriverGuid, Sentinel()));
        EXPECT_TRUE(SameGuid(RenderDeviceGuid, Sentinel()));
    }
}

TEST_F(DeviceDialog, OkWithAnEmptyListStoresThePrimaryDriver) {
    standin::FailCall("DirectDrawEnumerateExA", 1);
    EXPECT_EQ(EnumerateDrivers(), 0);
    EXPECT_EQ(DeviceCount, 0);
    DisplayDriverGuid = Sentinel();
    EXPECT_EQ(Run({Key(VK_RETURN)}), 0);
    EXPECT_EQ(g_seen.count, 0);
    EXPECT_EQ(g_seen.selection, CB_ERR);
    EXPECT_TRUE(SameGuid(DisplayDriverGuid, GUID{}));
    EXPECT_TRUE(SameGuid(RenderDeviceGuid, IID_IDirect3DHALDevice));
}

TEST_F(DeviceDialog, ShowDeviceDialogRunsResource101) {
    EnumerateDrivers();
    OffscreenConfig config;
    config.dialogAnswers["Zelk6"] = {Key(VK_ESCAPE)};
    ConfigureOffscreen(config);
    EXPECT_EQ(ShowDeviceDialog(nullptr, nullptr), 1);
    EXPECT_EQ(OffscreenDialogsShown(), std::vector<std::string>{"Zelk6"});
    // Where no dialog can be shown, nothing is stored and the answer says so.
    config.dialogsAvailable = false;
    ConfigureOffscreen(config);
    testing::internal::CaptureStderr();
    EXPECT_EQ(ShowDeviceDialog(nullptr, nullptr), -1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot show the dialog \"Zelk6\""), std::string::npos);
    EXPECT_TRUE(SameGuid(RenderDeviceGuid, GUID{}));
}

}  // namespace

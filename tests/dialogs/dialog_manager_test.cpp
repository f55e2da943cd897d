// The dialog manager driven through the host's injected keys and clicks: tab order, the
// default button, Escape, Space, the drop-down list by keyboard and mouse and its size, a
// press taken back, the close button, the control messages' bounds, and the image laid out
// from the template.
#include <algorithm>
#include <string>
#include <vector>

#include "app/device_choice.h"
#include "platform/d3drm/d3drm.h"
#include "tests/dialogs/dialog_test_support.h"

namespace {

// Every WM_COMMAND the procedure saw, as id and notification code.
std::vector<std::pair<int, int>> g_commands;
int g_closes = 0;
bool g_endOnClose = true;

constexpr int kList = 10, kBox = 11;

// A small dialog of its own: a list of four names, a box, OK (default) and Cancel.
const DLGITEMTEMPLATEA kItems[] = {
    {"combobox", kList, "", 5, 5, 100, 50, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | CBS_DROPDOWNLIST},
    {"button", kBox, "Box", 5, 30, 60, 10, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX},
    {"button", IDOK, "OK", 5, 60, 40, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON},
    {"button", IDCANCEL, "Cancel", 50, 60, 40, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP},
};
const DLGTEMPLATEA kTest = {WS_POPUP | WS_CAPTION, 0, 0, 0, 120, 80, "Test", 8, "MS Sans Serif", 0, kItems, 4};

struct Final {
    int selection = -2;
    int check = -2;
};
Final g_final;

INT_PTR TestProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            for (const char* name : {"zero", "one", "two", "three"})
                SendDlgItemMessageA(dialog, kList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
            SendDlgItemMessageA(dialog, kList, CB_SETCURSEL, 1, 0);
            return TRUE;
        case WM_COMMAND:
            g_commands.push_back({LOWORD(wParam), HIWORD(wParam)});
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                g_final.selection = static_cast<int>(SendDlgItemMessageA(dialog, kList, CB_GETCURSEL, 0, 0));
                g_final.check = static_cast<int>(SendDlgItemMessageA(dialog, kBox, BM_GETCHECK, 0, 0));
                EndDialog(dialog, LOWORD(wParam) == IDOK ? 10 : 20);
            }
            return TRUE;
        case WM_CLOSE:
            g_closes++;
            if (g_endOnClose) EndDialog(dialog, 30);
            return FALSE;
        default:
            return FALSE;
    }
}

class DialogManager : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetShowState();
        g_commands.clear();
        g_closes = 0;
        g_endOnClose = true;
        g_final = Final();
    }
    INT_PTR Run(std::vector<OffscreenDialogInput> steps, DLGPROC proc = TestProc, int screenHeight = 480) {
        OffscreenConfig config;
        config.displays = {{"Offscreen display", 640, screenHeight}};
        config.dialogAnswers["Test"] = std::move(steps);
        config.onDialogImage = [this](const std::string&, const uint32_t* p, int w, int h) {
            image.assign(p, p + static_cast<size_t>(w) * h);
            width = w;
            images++;
        };
        RecordLists(config);
        ConfigureOffscreen(config);
        g_commands.clear();
        return DialogBoxIndirectParamA(nullptr, &kTest, nullptr, proc, 0);
    }
    // Where each open list was shown ({0, 0, 0, 0} each time one went away), and the last
    // list's image.
    void RecordLists(OffscreenConfig& config) {
        lists.clear();
        config.onDialogList = [this](const std::string&, const uint32_t* p, int x, int y, int w, int h) {
            lists.push_back(w > 0 ? RECT{x, y, x + w, y + h} : RECT{0, 0, 0, 0});
            if (w > 0) listImage.assign(p, p + static_cast<size_t>(w) * h);
        };
    }
    bool Saw(int id, int code) const {
        for (auto c : g_commands)
            if (c.first == id && c.second == code) return true;
        return false;
    }
    uint32_t At(int x, int y) const { return image[static_cast<size_t>(y) * width + x]; }
    std::vector<uint32_t> image;
    int width = 0;
    int images = 0;
    std::vector<RECT> lists;
    std::vector<uint32_t> listImage;
};

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The test dialog with 40 more names before its own four.
INT_PTR ManyItemsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        for (int i = 0; i < 40; i++) {
            const std::string name = "item " + std::to_string(i);
            SendDlgItemMessageA(dialog, kList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        }
    return TestProc(dialog, message, wParam, lParam);
}

// Pixels of the test dialog: the list field 10..210 x 8..29, lines 13 px from y 30; the
// box 10..130 x 49..65; OK 10..90 x 98..121; Cancel 100..180.
TEST_F(DialogManager, KeyboardTabOrderDefaultButtonEscapeAndSpace) {
    EXPECT_EQ(Run({Key(VK_RETURN)}), 10);  // focus on the list: Enter is the default button
    EXPECT_EQ(g_final.selection, 1);
    EXPECT_EQ(g_final.check, BST_UNCHECKED);
    EXPECT_EQ(Run({Key(VK_ESCAPE)}), 20);
    // Tab to the box, Space ticks it, Tab to OK, Tab to Cancel: Enter presses the focused one.
    EXPECT_EQ(Run({Key(VK_TAB), Key(VK_SPACE), Key(VK_TAB), Key(VK_TAB), Key(VK_RETURN)}), 20);
    EXPECT_EQ(g_final.check, BST_CHECKED);
    EXPECT_TRUE(Saw(kBox, BN_CLICKED));
    // Shift+Tab from the list wraps to Cancel; Space presses it.
    EXPECT_EQ(Run({Key(VK_TAB, true), Key(VK_SPACE)}), 20);
    // Arrows move within a group: from Cancel back to OK.
    EXPECT_EQ(Run({Key(VK_TAB, true), Key(VK_LEFT), Key(VK_SPACE)}), 10);
    // Other Alt combinations do nothing; the script's trailing Return then ends it.
    EXPECT_EQ(Run({Key('X', false, true), Key(VK_ESCAPE, false, true)}), 10);
}

TEST_F(DialogManager, ClosedListMovesItsSelectionWithTheArrows) {
    EXPECT_EQ(Run({Key(VK_DOWN), Key(VK_DOWN), Key(VK_DOWN), Key(VK_RETURN)}), 10);
    EXPECT_EQ(g_final.selection, 3);  // stops at the last item
    EXPECT_TRUE(Saw(kList, CBN_SELCHANGE));
    EXPECT_EQ(Run({Key(VK_HOME), Key(VK_RETURN)}), 10);
    EXPECT_EQ(g_final.selection, 0);
    // Up from 1 reaches the first item; more Up changes nothing and says nothing.
    EXPECT_EQ(Run({Key(VK_UP), Key(VK_UP), Key(VK_LEFT), Key(VK_RETURN)}), 10);
    EXPECT_EQ(g_final.selection, 0);
    EXPECT_EQ(std::count(g_commands.begin(), g_commands.end(), std::make_pair(kList, CBN_SELCHANGE)), 1);
}

TEST_F(DialogManager, OpenListTakesTheHighlightOnEnterAndForgetsItOnEscape) {
    // Alt+Down opens; Enter takes the line and closes the list without ending the dialog.
    EXPECT_EQ(Run({Key(VK_DOWN, false, true), Key(VK_DOWN), Key(VK_RETURN), Key(VK_ESCAPE)}), 20);
    EXPECT_EQ(g_final.selection, 2);
    EXPECT_TRUE(Saw(kList, CBN_DROPDOWN));
    EXPECT_TRUE(Saw(kList, CBN_CLOSEUP));
    // Escape closes the list as it was; only the second Escape is Cancel.
    EXPECT_EQ(Run({Key(VK_F4), Key(VK_END), Key(VK_ESCAPE), Key(VK_ESCAPE)}), 20);
    EXPECT_EQ(g_final.selection, 1);
    // Tab takes the highlight and moves on to the box.
    EXPECT_EQ(Run({Key(VK_F4), Key(VK_UP), Key(VK_TAB), Key(VK_SPACE), Key(VK_RETURN)}), 10);
    EXPECT_EQ(g_final.selection, 0);
    EXPECT_EQ(g_final.check, BST_CHECKED);
}

TEST_F(DialogManager, MouseOpensTheListPicksALineTicksTheBoxAndPressesButtons) {
    // Field click opens, a click on line 3 picks it; a click on the box ticks it; OK.
    EXPECT_EQ(Run({Click(100, 15), Click(100, 30 + 3 * 13 + 6), Click(20, 57), Click(50, 110)}), 10);
    EXPECT_EQ(g_final.selection, 3);
    EXPECT_EQ(g_final.check, BST_CHECKED);
    // A click outside the open list closes it and does nothing else; Cancel by mouse.
    EXPECT_EQ(Run({Click(100, 15), Click(225, 57), Click(140, 110)}), 20);
    EXPECT_EQ(g_final.selection, 1);
    EXPECT_EQ(g_final.check, BST_UNCHECKED);
    // Clicks on nothing do nothing: the trailing Return ends it.
    EXPECT_EQ(Run({Click(230, 150), Click(239, 0)}), 10);
}

// The open list is as tall as its items, not as the template's height says; it is shown in a
// window of its own that may reach past the dialog's bottom as far as the screen (a longer
// list scrolls), and it goes away when it closes.
TEST_F(DialogManager, TheOpenListIsAsTallAsItsItemsUpToTheScreenAndGoesWhenClosed) {
    // Four items: 4 lines of 13 px and the frame under the field, above OK (from y 98).
    EXPECT_EQ(Run({Key(VK_F4), Key(VK_ESCAPE), Key(VK_ESCAPE)}), 20);
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_TRUE(lists[0] == (RECT{10, 29, 210, 83}));
    EXPECT_TRUE(lists[1] == (RECT{0, 0, 0, 0}));
    EXPECT_EQ(listImage[0], 0u);                       // the frame
    EXPECT_EQ(listImage[(1 + 13 + 6) * 200 + 100], 0x000080u);  // line 1, the selection, highlighted
    // 44 items on a 300 px screen: 20 lines reach from the field to the screen's bottom, far
    // below the dialog's 130 px; a click on line 15 there picks it.
    EXPECT_EQ(Run({Key(VK_F4), Click(100, 29 + 1 + 15 * 13 + 6), Key(VK_RETURN)}, ManyItemsProc, 300), 10);
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_TRUE(lists[0] == (RECT{10, 29, 210, 29 + 20 * 13 + 2}));
    EXPECT_TRUE(lists[1] == (RECT{0, 0, 0, 0}));
    EXPECT_EQ(g_final.selection, 15);

    // The render-device dialog's two drivers: a list of 28 px, well above OK and Cancel
    // (from y 106), where the template's height made it 67 px with three empty lines.
    EnumerateDrivers();
    OffscreenConfig config;
    config.dialogAnswers["Zelk6"] = {Key(VK_TAB), Key(VK_TAB), Key(VK_F4), Key(VK_ESCAPE), Key(VK_RETURN)};
    RecordLists(config);
    ConfigureOffscreen(config);
    EXPECT_EQ(ShowDeviceDialog(nullptr, nullptr), 0);
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_TRUE(lists[0] == (RECT{184, 32, 506, 32 + 2 * 13 + 2}));
    EXPECT_TRUE(lists[1] == (RECT{0, 0, 0, 0}));
}

TEST_F(DialogManager, APressIsDrawnDownAndTakenBackWhenReleasedElsewhere) {
    // The last image is the one after the press: Cancel's raised top-left edge turned to
    // shadow. Escape then ends the dialog without another image.
    EXPECT_EQ(Run({Mouse(OffscreenDialogInput::MouseDown, 140, 110), Key(VK_ESCAPE)}), 20);
    EXPECT_EQ(At(100, 98), 0u);  // focused, so it is the button Enter presses
    EXPECT_EQ(At(101, 99), 0x808080u);
    EXPECT_EQ(Run({Key(VK_ESCAPE)}), 20);
    EXPECT_EQ(At(100, 98), 0xFFFFFFu);
    // Pressed on OK, released outside it: no click.
    EXPECT_EQ(Run({Mouse(OffscreenDialogInput::MouseDown, 50, 110), Mouse(OffscreenDialogInput::MouseUp, 230, 10),
                   Key(VK_ESCAPE)}),
              20);
    EXPECT_FALSE(Saw(IDOK, BN_CLICKED));
}

TEST_F(DialogManager, CloseButtonGoesToTheProcedureAndFallsBackToCancel) {
    EXPECT_EQ(Run({CloseButton()}), 30);
    EXPECT_EQ(g_closes, 1);
    // A procedure that leaves WM_CLOSE alone gets Cancel.
    g_endOnClose = false;
    EXPECT_EQ(Run({CloseButton()}), 20);
    EXPECT_EQ(g_closes, 2);
    EXPECT_TRUE(Saw(IDCANCEL, BN_CLICKED));
}

TEST_F(DialogManager, AnUnansweredDialogIsAcceptedAndEveryStepRepaints) {
    EXPECT_EQ(Run({}), 10);
    EXPECT_EQ(images, 1);
    images = 0;
    EXPECT_EQ(Run({Key(VK_TAB), Key(VK_TAB)}), 10);  // on OK, Return presses it
    EXPECT_EQ(images, 3);
}

INT_PTR MessagesProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    // Bad indices answer CB_ERR and change nothing, except that CB_SETCURSEL clears.
    EXPECT_EQ(SendDlgItemMessageA(dialog, kList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("a")), 0);
    EXPECT_EQ(SendDlgItemMessageA(dialog, kList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("b")), 1);
    EXPECT_EQ(SendDlgItemMessageA(dialog, kList, CB_SETITEMDATA, 1, 77), TRUE);
    EXPECT_EQ(SendDlgItemMessageA(dialog, kList, CB_SETITEMDATA, 2, 5), CB_ERR);
    EXPECT_EQ(SendDlgItemMessageA(dialog, kList, CB_GETITEMDATA, 1, 0), 77);
    EXPECT_EQ(SendDlgItemMessageA(dialog, kList, CB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(SendDlgItemMessageA(dialog, kList, CB_SETCURSEL, 2, 0), CB_ERR);
    EXPECT_EQ(SendDlgItemMessageA(dialog, kList, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendDlgItemMessageA(dialog, kList, CB_SETCURSEL, static_cast<WPARAM>(-1), 0), CB_ERR);
    char text[4] = {};
    EXPECT_EQ(SendDlgItemMessageA(dialog, kList, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text)), 1);
    EXPECT_STREQ(text, "a");
    EXPECT_EQ(SendDlgItemMessageA(dialog, kList, CB_GETLBTEXT, 9, reinterpret_cast<LPARAM>(text)), CB_ERR);
    // A two-state box knows ticked and clear; unknown ids answer 0.
    SendDlgItemMessageA(dialog, kBox, BM_SETCHECK, 2, 0);
    EXPECT_EQ(SendDlgItemMessageA(dialog, kBox, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendDlgItemMessageA(dialog, 999, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendDlgItemMessageA(nullptr, kList, CB_GETCOUNT, 0, 0), 0);
    EndDialog(dialog, 5);  // ending during set-up: never waits for input
    return TRUE;
}

TEST_F(DialogManager, ControlMessagesCheckTheirIndices) {
    OffscreenConfig config;
    config.dialogAnswers["Test"] = {Key(VK_ESCAPE)};
    ConfigureOffscreen(config);
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &kTest, nullptr, MessagesProc, 0), 5);
    EXPECT_FALSE(EndDialog(nullptr, 1));
}

TEST_F(DialogManager, MissingTemplatesAndNoScreenAnswerMinusOneWithoutCallingTheProcedure) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(4242), nullptr, TestProc, 0), -1);
    OffscreenConfig config;
    config.dialogsAvailable = false;
    ConfigureOffscreen(config);
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &kTest, nullptr, TestProc, 0), -1);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("no dialog template 4242"), std::string::npos);
    EXPECT_NE(said.find("cannot show the dialog \"Test\""), std::string::npos);
    EXPECT_TRUE(g_commands.empty());
    EXPECT_EQ(g_final.selection, -2);
}

// The render-device dialog as drawn: 520 x 140 pixels, each control where its dialog units
// put it.
TEST_F(DialogManager, Resource101IsLaidOutFromItsTemplate) {
    EnumerateDrivers();
    OffscreenConfig config;
    config.onDialogImage = [this](const std::string& title, const uint32_t* p, int w, int h) {
        EXPECT_EQ(title, "Zelk6");
        image.assign(p, p + static_cast<size_t>(w) * h);
        width = w;
        EXPECT_EQ(h, 140);
    };
    ConfigureOffscreen(config);
    EXPECT_EQ(ShowDeviceDialog(nullptr, nullptr), 0);
    ASSERT_EQ(width, 520);
    const uint32_t face = 0xC0C0C0, black = 0, white = 0xFFFFFF;
    // OK is the focused default button: a dark frame at its corner, Cancel's is light.
    EXPECT_EQ(At(276, 106), black);
    EXPECT_EQ(At(375, 128), black);
    EXPECT_EQ(At(406, 106), white);
    EXPECT_EQ(At(405, 106), face);
    // The list field: sunken frame from 184, 11; white inside; the selection's text.
    EXPECT_EQ(At(184, 11), 0x808080u);
    EXPECT_EQ(At(190, 14), white);
    // The box: 13 px square from 14, 50, white inside with its tick.
    EXPECT_EQ(At(14, 50), 0x808080u);
    EXPECT_EQ(At(16, 52), white);
    int ink = 0, textInk = 0, noteInk = 0, outside = 0;
    for (int y = 52; y < 61; y++)
        for (int x = 16; x < 25; x++) ink += At(x, y) == black;
    for (int y = 11; y < 24; y++)
        for (int x = 14; x < 158; x++) textInk += At(x, y) == black;  // "Render device"
    for (int y = 78; y < 94; y++)
        for (int x = 14; x < 280; x++) noteInk += At(x, y) == black;  // the note
    for (int y = 0; y < 140; y++)
        for (int x = 0; x < 520; x++) {
            const bool inControl = (x >= 14 && x < 280 && y >= 11 && y < 94) ||
                                   (x >= 184 && x < 506 && y >= 11 && y < 32) ||
                                   (x >= 276 && x < 506 && y >= 106 && y < 129);
            if (!inControl && At(x, y) != face) outside++;
        }
    EXPECT_GT(ink, 10);
    EXPECT_GT(textInk, 50);
    EXPECT_GT(noteInk, 150);
    EXPECT_EQ(outside, 0);
}

}  // namespace

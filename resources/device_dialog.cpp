// Resource 101, the render-device dialog (language 1044), in dialog units: the driver list,
// the hardware check box, a note recommending hardware rendering, OK and Cancel. Template
// order is the tab order.
#include "resources/resource.h"

namespace {

const DLGITEMTEMPLATEA kDeviceDialogItems[] = {
    {"button", IDOK, "OK", 138, 65, 50, 14, 0x50010001},
    {"button", IDCANCEL, "Cancel", 203, 65, 50, 14, 0x50010000},
    {"combobox", IDC_DEVICE_LIST, "", 92, 7, 161, 54, 0x50210003},
    {"static", 0xFFFF, "Render device", 7, 7, 72, 8, 0x50020000},
    {"button", IDC_HARDWARE_RENDER, "Hardware rendering", 7, 31, 99, 8, 0x50010003},
    {"static", 0xFFFF, "Maskinvare-skaping er ekstremt anbefalt", 7, 48, 133, 10, 0x50020000},
};

// WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, at 0, 0 (not centred).
const DLGTEMPLATEA kDeviceDialog = {
    0x80C800C0, 0, 0, 0, 260, 86, "Zelk6", 8, "MS Sans Serif", 1044,
    kDeviceDialogItems, static_cast<int>(sizeof kDeviceDialogItems / sizeof kDeviceDialogItems[0]),
};

// Runs before main, like the loader mapping the program's resource section.
[[maybe_unused]] const bool kRegistered = RegisterDialogResource(101, &kDeviceDialog);

}  // namespace

const WORD IDD_DEVICE = 101;

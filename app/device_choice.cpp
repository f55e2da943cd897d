// The render-device choice: storing the drivers found at start-up, the dialog that picks one,
// and the two identities it leaves.
#include <cstring>

#include "app/device_choice.h"
#include "platform/d3drm/d3drm.h"
#include "platform/ddraw/ddraw.h"
#include "resources/resource.h"

// All static, all zero at start.
DeviceListSlots DeviceList;
int DeviceCount = 0;
int DefaultDevice = 0;
GUID DisplayDriverGuid;
GUID RenderDeviceGuid;

// The first step of start-up, collecting up to five display drivers.
int EnumerateDrivers() {
    DeviceCount = 0;
    DefaultDevice = 0;
    // Every driver: secondary displays attached or not, and 3D-only devices. The result is
    // not examined: an empty list is answered below.
    DirectDrawEnumerateExA(DriverEnumCallback, nullptr,
                           DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_DETACHEDSECONDARYDEVICES |
                               DDENUM_NONDISPLAYDEVICES);
    if (DeviceCount == 0) return 0;
    if (DeviceCount > 1) DefaultDevice = 1;  // the second driver reported is the usual choice
    return 1;
}

// Stores each driver DirectDrawEnumerateExA reports in the next slot.
BOOL DriverEnumCallback(GUID* guid, LPSTR description, LPSTR driverName, LPVOID context, HMONITOR monitor) {
    (void)driverName, (void)context, (void)monitor;
    if (DeviceCount < 0 || DeviceCount >= kMaxDevices) return FALSE;  // never past the last slot
    const int slot = DeviceCount;
    if (guid)
        DeviceList.identity[slot] = *guid;
    else
        DeviceList.identity[slot] = GUID{};  // the primary display driver
    // A description longer than the slot is cut to 49 characters, never copied past it.
    char* out = DeviceList.description[slot];
    const char* in = description ? description : "";
    std::strncpy(out, in, kDescriptionBytes - 1);
    out[kDescriptionBytes - 1] = '\0';
    DeviceCount = DeviceCount + 1;
    return DeviceCount != kMaxDevices;
}

// Runs the render-device dialog of resource 101 modally.
INT_PTR ShowDeviceDialog(HINSTANCE instance, HWND owner) {
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_DEVICE), owner, DeviceDialogProc, 0);
}

namespace {

void FillDeviceDialog(HWND dialog) {
    // Not sorted and filled in slot order, so an item's index is its slot.
    for (int i = 0; i < DeviceCount; i++) {
        SendDlgItemMessageA(dialog, IDC_DEVICE_LIST, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(DeviceList.description[i]));
        SendDlgItemMessageA(dialog, IDC_DEVICE_LIST, CB_SETITEMDATA, static_cast<WPARAM>(i), i);
    }
    SendDlgItemMessageA(dialog, IDC_HARDWARE_RENDER, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageA(dialog, IDC_DEVICE_LIST, CB_SETCURSEL, static_cast<WPARAM>(DefaultDevice), 0);
}

void StoreDeviceChoice(HWND dialog) {
    const LRESULT sel = SendDlgItemMessageA(dialog, IDC_DEVICE_LIST, CB_GETCURSEL, 0, 0);
    // With nothing selected (an empty list) the primary display driver is meant.
    if (sel >= 0 && sel < DeviceCount)
        DisplayDriverGuid = DeviceList.identity[sel];
    else
        DisplayDriverGuid = GUID{};
    if (SendDlgItemMessageA(dialog, IDC_HARDWARE_RENDER, BM_GETCHECK, 0, 0) == BST_CHECKED)
        RenderDeviceGuid = IID_IDirect3DHALDevice;
    else
        RenderDeviceGuid = IID_IDirect3DMMXDevice;
}

}  // namespace

// Fills the dialog from DeviceList and stores the choice on OK. Cancel and a close from the
// caption store nothing.
INT_PTR DeviceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (message) {
        case WM_INITDIALOG:
            FillDeviceDialog(dialog);
            return TRUE;
        case WM_COMMAND:
            // The notification code in the high word is not looked at.
            if (LOWORD(wParam) == IDOK) {
                StoreDeviceChoice(dialog);
                EndDialog(dialog, 0);
            } else if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, 1);
            }
            return TRUE;
        case WM_CLOSE:
            EndDialog(dialog, 0);
            return FALSE;
        default:
            return FALSE;
    }
}

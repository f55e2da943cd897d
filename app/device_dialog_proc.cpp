// DeviceDialogProc: fills the render-device dialog from DeviceList and stores the choice on
// OK. Cancel and a close from the caption store nothing.
#include "app/device_choice.h"
#include "platform/d3drm/d3drm.h"
#include "resources/resource.h"

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

// ShowDeviceDialog: runs the render-device dialog of resource 101 modally.
#include "app/device_choice.h"
#include "resources/resource.h"

INT_PTR ShowDeviceDialog(HINSTANCE instance, HWND owner) {
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_DEVICE), owner, DeviceDialogProc, 0);
}

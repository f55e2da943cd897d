// The render-device choice: the drivers found at start-up, the dialog that picks one, and
// the two identities it leaves for the display and the 3D device. Both identities are all
// zero until the user confirms a choice: the primary display driver, and no 3D device
// preference.
#pragma once

#include "platform/win32/win32.h"

constexpr int kMaxDevices = 5;            // slots in DeviceList
constexpr int kDescriptionBytes = 50;     // per slot, with the terminating NUL

struct DeviceListSlots {
    GUID identity[kMaxDevices];                        // all zero for the primary driver
    char description[kMaxDevices][kDescriptionBytes];  // as the platform reports it, cut to 49
};

extern DeviceListSlots DeviceList;
extern int DeviceCount;    // slots filled, 0..5
extern int DefaultDevice;  // slot preselected in the dialog: 1 with two or more drivers, else 0

extern GUID DisplayDriverGuid;  // passed to DirectDrawCreate by the display set-up
extern GUID RenderDeviceGuid;   // picks the 3D device and its quality settings

// Fills DeviceList from DirectDrawEnumerateExA; 1 when a driver was stored, else 0.
int EnumerateDrivers();
// Stores one reported driver; FALSE once the fifth slot is filled, which ends the enumeration.
BOOL DriverEnumCallback(GUID* guid, LPSTR description, LPSTR driverName, LPVOID context, HMONITOR monitor);
// Runs dialog 101: 0 after OK or a close from the caption, 1 after Cancel (-1 when it could
// not be shown; nothing is stored then either).
INT_PTR ShowDeviceDialog(HINSTANCE instance, HWND owner);
INT_PTR DeviceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

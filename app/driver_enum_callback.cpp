// DriverEnumCallback: stores each driver DirectDrawEnumerateExA reports in the next slot.
#include <cstring>

#include "app/device_choice.h"

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

// EnumerateDrivers: the first step of start-up, collecting up to five display drivers.
#include "app/device_choice.h"
#include "platform/ddraw/ddraw.h"

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

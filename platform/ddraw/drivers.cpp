// Driver enumeration: the host's displays as DirectDraw drivers.
#include "platform/ddraw/drivers.h"

#include <cstring>

#include "platform/ddraw/ddraw.h"
#include "platform/host/host.h"
#include "platform/testing/hooks.h"

namespace {

// Identities of our own making: {5A454C4B-0000-4C36-8000-0000000000nn}, nn = 0 for the
// window, 1 + display index for the full-screen drivers of secondary displays.
GUID DriverGuid(int n) {
    GUID g{};
    g.Data1 = 0x5A454C4B;
    g.Data2 = 0;
    g.Data3 = 0x4C36;
    g.Data4[0] = 0x80;
    g.Data4[7] = static_cast<uint8_t>(n);
    return g;
}

}  // namespace

std::vector<DisplayDriver> DisplayDrivers() {
    std::vector<DisplayDriver> drivers;
    DisplayDriver window;
    window.guid = DriverGuid(0);
    window.description = "640x480 in a window";
    window.display = -1;
    drivers.push_back(window);

    std::string why;
    std::vector<HostDisplayInfo> displays;
    if (ActiveHost().InitVideo(why)) displays = ActiveHost().Displays();
    if (displays.empty()) displays.push_back({"Primary display", 640, 480});
    for (size_t i = 0; i < displays.size(); i++) {
        DisplayDriver d;
        d.primary = i == 0;
        if (!d.primary) d.guid = DriverGuid(static_cast<int>(i) + 1);
        d.description = "Full screen on " + displays[i].name;
        d.display = static_cast<int>(i);
        drivers.push_back(d);
    }
    return drivers;
}

int FindDisplayDriver(const std::vector<DisplayDriver>& drivers, const GUID* guid) {
    static const GUID zero{};
    if (!guid) guid = &zero;
    for (size_t i = 0; i < drivers.size(); i++) {
        const DisplayDriver& d = drivers[i];
        if (d.primary ? std::memcmp(guid, &zero, sizeof(GUID)) == 0
                      : std::memcmp(guid, &d.guid, sizeof(GUID)) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

HRESULT DirectDrawEnumerateExA(LPDDENUMCALLBACKEXA callback, LPVOID context, DWORD flags) {
    (void)flags;  // every driver we have is an attached display or the window
    HRESULT fault;
    if (standin::TakeFault("DirectDrawEnumerateExA", &fault)) return fault;
    if (!callback) return DDERR_INVALIDPARAMS;
    standin::LogCall("DirectDrawEnumerateExA");
    std::vector<DisplayDriver> drivers = DisplayDrivers();
    for (DisplayDriver& d : drivers) {
        std::vector<char> description(d.description.begin(), d.description.end());
        description.push_back('\0');
        char name[] = "display";
        if (!callback(d.primary ? nullptr : &d.guid, description.data(), name, context, nullptr))
            break;
    }
    return DD_OK;
}

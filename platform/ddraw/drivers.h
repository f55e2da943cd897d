// The display drivers the stand-in offers: one windowed driver, then one full-screen driver
// per display the host knows. The full-screen driver of the first display is the primary
// driver, reported without a GUID. Stand-in internal.
#pragma once

#include <string>
#include <vector>

#include "platform/win32/win32.h"

struct DisplayDriver {
    GUID guid{};            // all zero for the primary driver
    bool primary = false;   // reported without a GUID
    std::string description;
    int display = -1;       // host display index; -1 = in a window
};

// In the order DirectDrawEnumerateExA reports them. The windowed driver comes first so the
// preselected second entry is full screen on the main display, which most users want.
std::vector<DisplayDriver> DisplayDrivers();
// The driver a DirectDrawCreate identity names (null or all zero: the primary driver);
// -1 when no driver has that identity.
int FindDisplayDriver(const std::vector<DisplayDriver>& drivers, const GUID* guid);

// The two identities the render-device choice leaves for the display and the 3D device.
// All zero until the user confirms a choice: the primary display driver, and no 3D device
// preference.
#pragma once

#include "platform/win32/win32.h"

extern GUID DisplayDriverGuid;  // passed to DirectDrawCreate by the display set-up
extern GUID RenderDeviceGuid;   // picks the 3D device and its quality settings

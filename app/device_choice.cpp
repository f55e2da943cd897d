// Storage of the render-device choice; static, all zero at program start.
#include "app/device_choice.h"

GUID DisplayDriverGuid;
GUID RenderDeviceGuid;

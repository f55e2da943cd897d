// Storage of the drivers found and of the render-device choice; static, all zero at start.
#include "app/device_choice.h"

DeviceListSlots DeviceList;
int DeviceCount = 0;
int DefaultDevice = 0;
GUID DisplayDriverGuid;
GUID RenderDeviceGuid;

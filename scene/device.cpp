// The retained-mode object and the one device on BackSurface, with the quality settings of
// the device the user chose.
#include <cstring>

#include "scene/scene.h"

IDirect3DRM* RetainedMode = nullptr;
IDirect3DRMDevice* SceneDevice = nullptr;

int Create3DDevice(GUID deviceGuid, IDirectDraw* directDraw, IDirectDrawSurface* backSurface) {
    // A failed call leaves its pointer null, so Release3DDevice skips what was never made.
    if (Direct3DRMCreate(&RetainedMode) != D3DRM_OK) {
        RetainedMode = nullptr;
        return 1;
    }
    if (RetainedMode->CreateDeviceFromSurface(&deviceGuid, directDraw, backSurface, &SceneDevice) !=
        D3DRM_OK) {
        SceneDevice = nullptr;
        return 2;
    }

    // The MMX device and an all-zero identity (the dialog closed from its caption) get the
    // reduced settings.
    // Results are ignored: a refused setting leaves the device's default.
    if (std::memcmp(&deviceGuid, &IID_IDirect3DHALDevice, sizeof(GUID)) == 0) {
        SceneDevice->SetDither(kHardwareDither);
        SceneDevice->SetQuality(kHardwareQuality);
        SceneDevice->SetTextureQuality(kHardwareTextureQuality);
    } else {
        SceneDevice->SetDither(kSoftwareDither);
        SceneDevice->SetQuality(kSoftwareQuality);
        SceneDevice->SetTextureQuality(kSoftwareTextureQuality);
    }
    return 0;
}

void Release3DDevice() {
    // The device before the object that made it.
    if (SceneDevice) SceneDevice->Release();
    if (RetainedMode) RetainedMode->Release();
    // Forgotten so that a second call, or a later start-up in the same process, is safe.
    SceneDevice = nullptr;
    RetainedMode = nullptr;
}

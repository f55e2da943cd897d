// The software device on a DirectDraw surface: creation from the surface (every accepted
// identity makes the same device; the identity only changes what the caller then sets),
// its quality settings, its depth buffer and Update. Rendering writes the surface's memory
// directly, in the surface's own 5-6-5 or 5-5-5 layout.
#include <cstring>
#include <new>

#include "platform/d3drm/render.h"

namespace {

bool SameGuid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

// Null and all-zero ask for the default device; the hardware, MMX and RGB identities are
// all served by the one software device. Anything else is not a device we have.
bool KnownDevice(const GUID* guid) {
    static const GUID zero = {};
    return !guid || SameGuid(*guid, zero) || SameGuid(*guid, IID_IDirect3DHALDevice) ||
           SameGuid(*guid, IID_IDirect3DMMXDevice) || SameGuid(*guid, IID_IDirect3DRGBDevice);
}

}  // namespace

IDirect3DRMDevice::IDirect3DRMDevice() : IDirect3DRMObject("IDirect3DRMDevice") {}

IDirect3DRMDevice::~IDirect3DRMDevice() {
    delete renderer;
    if (surface) surface->Release();
}

HRESULT IDirect3DRM::CreateDeviceFromSurface(GUID* guid, IDirectDraw* directDraw,
                                             IDirectDrawSurface* surface,
                                             IDirect3DRMDevice** device) {
    (void)directDraw;  // the surface carries everything the software device needs
    if (!device) return D3DRMERR_BADVALUE;
    *device = nullptr;
    RmLog("IDirect3DRM::CreateDeviceFromSurface");
    HRESULT fault;
    if (standin::TakeFault("IDirect3DRM::CreateDeviceFromSurface", &fault)) return fault;
    if (!surface || surface->width <= 0 || surface->height <= 0) return D3DRMERR_BADOBJECT;
    if (!KnownDevice(guid)) return D3DRMERR_BADDEVICE;
    IDirect3DRMDevice* d = new (std::nothrow) IDirect3DRMDevice;
    if (!d) return D3DRMERR_BADALLOC;
    try {
        d->depth.assign(static_cast<size_t>(surface->width) * surface->height, 0xFFFF);
        d->renderer = new RmRenderer;
    } catch (const std::bad_alloc&) {
        d->Release();
        return D3DRMERR_BADALLOC;
    }
    if (guid) d->identity = *guid;
    surface->AddRef();  // the device draws into its memory for as long as it lives
    d->surface = surface;
    *device = d;
    return D3DRM_OK;
}

HRESULT IDirect3DRMDevice::SetDither(BOOL on) {
    RmLog("IDirect3DRMDevice::SetDither");
    HRESULT fault;
    if (standin::TakeFault("IDirect3DRMDevice::SetDither", &fault)) return fault;
    dither = on ? TRUE : FALSE;
    return D3DRM_OK;
}

BOOL IDirect3DRMDevice::GetDither() { return dither; }

HRESULT IDirect3DRMDevice::SetQuality(D3DRMRENDERQUALITY newQuality) {
    RmLog("IDirect3DRMDevice::SetQuality");
    HRESULT fault;
    if (standin::TakeFault("IDirect3DRMDevice::SetQuality", &fault)) return fault;
    quality = newQuality;
    return D3DRM_OK;
}

D3DRMRENDERQUALITY IDirect3DRMDevice::GetQuality() {
    RmLog("IDirect3DRMDevice::GetQuality");
    return quality;
}

HRESULT IDirect3DRMDevice::SetTextureQuality(D3DRMTEXTUREQUALITY newQuality) {
    RmLog("IDirect3DRMDevice::SetTextureQuality");
    HRESULT fault;
    if (standin::TakeFault("IDirect3DRMDevice::SetTextureQuality", &fault)) return fault;
    if (newQuality > D3DRMTEXTURE_LINEARMIPLINEAR) return D3DRMERR_BADVALUE;
    textureQuality = newQuality;
    return D3DRM_OK;
}

D3DRMTEXTUREQUALITY IDirect3DRMDevice::GetTextureQuality() { return textureQuality; }

HRESULT IDirect3DRMDevice::SetShades(DWORD newShades) {
    if (newShades == 0) return D3DRMERR_BADVALUE;
    shades = newShades;
    return D3DRM_OK;
}

DWORD IDirect3DRMDevice::GetShades() { return shades; }

HRESULT IDirect3DRMDevice::Update() {
    RmLog("IDirect3DRMDevice::Update");
    HRESULT fault;
    if (standin::TakeFault("IDirect3DRMDevice::Update", &fault)) return fault;
    // Rendering went straight into the surface: there is nothing left to copy.
    if (surface->lost) return DDERR_SURFACELOST;
    return D3DRM_OK;
}

DWORD IDirect3DRMDevice::GetWidth() { return static_cast<DWORD>(surface->width); }
DWORD IDirect3DRMDevice::GetHeight() { return static_cast<DWORD>(surface->height); }

RasterTarget RmDeviceTarget(IDirect3DRMDevice* device) {
    RasterTarget t;
    t.pixels = device->surface->memory.data();
    t.pitch = device->surface->pitch;
    t.width = device->surface->width;
    t.height = device->surface->height;
    t.rgb555 = device->surface->rgb555;
    t.zbuffer = device->depth.data();
    t.zpitch = device->surface->width * 2;
    return t;
}

// Viewports: a rectangle of a device seen through a camera frame, with the platform's
// defaults (front 1, back 100, field 0.5, perspective), Clear with the camera scene's
// background and a depth reset, Render, and ForceUpdate (a no-op: Update presents nothing
// partial, the whole frame is in the surface already).
#include <cmath>
#include <new>

#include "platform/d3drm/render.h"

IDirect3DRMViewport::IDirect3DRMViewport() : IDirect3DRMObject("IDirect3DRMViewport") {}

IDirect3DRMViewport::~IDirect3DRMViewport() {
    if (camera) camera->Release();
    if (device) device->Release();
}

HRESULT IDirect3DRM::CreateViewport(IDirect3DRMDevice* device, IDirect3DRMFrame* camera, DWORD x,
                                    DWORD y, DWORD width, DWORD height,
                                    IDirect3DRMViewport** viewport) {
    if (!viewport) return D3DRMERR_BADVALUE;
    *viewport = nullptr;
    RmLog("IDirect3DRM::CreateViewport");
    HRESULT fault;
    if (standin::TakeFault("IDirect3DRM::CreateViewport", &fault)) return fault;
    if (!device || !camera) return D3DRMERR_BADOBJECT;
    // 64-bit sums: x + width cannot wrap.
    if (width == 0 || height == 0 || uint64_t{x} + width > device->GetWidth() ||
        uint64_t{y} + height > device->GetHeight())
        return D3DRMERR_BADVALUE;
    IDirect3DRMViewport* v = new (std::nothrow) IDirect3DRMViewport;
    if (!v) return D3DRMERR_BADALLOC;
    device->AddRef();
    camera->AddRef();
    v->device = device;
    v->camera = camera;
    v->x = static_cast<LONG>(x);
    v->y = static_cast<LONG>(y);
    v->width = width;
    v->height = height;
    *viewport = v;
    return D3DRM_OK;
}

RasterViewport RmViewportArea(IDirect3DRMViewport* viewport) {
    RasterViewport vp;
    vp.x = viewport->x;
    vp.y = viewport->y;
    vp.width = static_cast<int>(viewport->width);
    vp.height = static_cast<int>(viewport->height);
    return vp;
}

HRESULT IDirect3DRMViewport::Clear() {
    RmLog("IDirect3DRMViewport::Clear");
    HRESULT fault;
    if (standin::TakeFault("IDirect3DRMViewport::Clear", &fault)) return fault;
    if (device->surface->lost) return DDERR_SURFACELOST;
    D3DCOLOR background = camera->GetSceneBackground();
    uint16_t pixel = RasterPackRGB(background, device->surface->rgb555);
    RmClearViewport(*device->renderer, RmDeviceTarget(device), RmViewportArea(this), pixel);
    return D3DRM_OK;
}

HRESULT IDirect3DRMViewport::Render(IDirect3DRMFrame* scene) {
    RmLog("IDirect3DRMViewport::Render");
    HRESULT fault;
    if (standin::TakeFault("IDirect3DRMViewport::Render", &fault)) return fault;
    if (!scene) return D3DRMERR_BADOBJECT;
    if (device->surface->lost) return DDERR_SURFACELOST;
    return RmRenderScene(this, scene);
}

HRESULT IDirect3DRMViewport::ForceUpdate(DWORD x1, DWORD y1, DWORD x2, DWORD y2) {
    RmLog("IDirect3DRMViewport::ForceUpdate");
    if (x1 > x2 || y1 > y2) return D3DRMERR_BADVALUE;
    return D3DRM_OK;
}

HRESULT IDirect3DRMViewport::SetFront(D3DVALUE value) {
    if (!(value > 0) || !std::isfinite(value) || value >= back) return D3DRMERR_BADVALUE;
    front = value;
    return D3DRM_OK;
}

HRESULT IDirect3DRMViewport::SetBack(D3DVALUE value) {
    RmLog("IDirect3DRMViewport::SetBack");
    if (!(value > front) || !std::isfinite(value)) return D3DRMERR_BADVALUE;
    back = value;
    return D3DRM_OK;
}

HRESULT IDirect3DRMViewport::SetField(D3DVALUE value) {
    if (!(value > 0) || !std::isfinite(value)) return D3DRMERR_BADVALUE;
    field = value;
    return D3DRM_OK;
}

HRESULT IDirect3DRMViewport::SetProjection(D3DRMPROJECTIONTYPE value) {
    if (value > D3DRMPROJECT_ORTHOGRAPHIC) return D3DRMERR_BADVALUE;
    projection = value;
    return D3DRM_OK;
}

D3DVALUE IDirect3DRMViewport::GetFront() { return front; }
D3DVALUE IDirect3DRMViewport::GetBack() { return back; }
D3DVALUE IDirect3DRMViewport::GetField() { return field; }
D3DRMPROJECTIONTYPE IDirect3DRMViewport::GetProjection() { return projection; }

HRESULT IDirect3DRMViewport::SetCamera(IDirect3DRMFrame* newCamera) {
    if (!newCamera) return D3DRMERR_BADOBJECT;
    newCamera->AddRef();
    camera->Release();
    camera = newCamera;
    return D3DRM_OK;
}

HRESULT IDirect3DRMViewport::GetCamera(IDirect3DRMFrame** out) {
    if (!out) return D3DRMERR_BADVALUE;
    camera->AddRef();
    *out = camera;
    return D3DRM_OK;
}

HRESULT IDirect3DRMViewport::GetDevice(IDirect3DRMDevice** out) {
    if (!out) return D3DRMERR_BADVALUE;
    device->AddRef();
    *out = device;
    return D3DRM_OK;
}

LONG IDirect3DRMViewport::GetX() { return x; }
LONG IDirect3DRMViewport::GetY() { return y; }
DWORD IDirect3DRMViewport::GetWidth() { return width; }
DWORD IDirect3DRMViewport::GetHeight() { return height; }

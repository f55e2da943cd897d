// The DirectDraw object: driver choice, exclusive cooperative level, the 640x480x16 mode
// (which opens the host's display) and surface creation.
#include <new>

#include "platform/ddraw/ddraw.h"
#include "platform/ddraw/drivers.h"
#include "platform/ddraw/surface_memory.h"
#include "platform/host/host.h"
#include "platform/testing/hooks.h"

namespace {

int g_displayOwners = 0;  // DirectDraw objects whose mode opened the host's display

}  // namespace

HRESULT DirectDrawCreate(GUID* driverGuid, IDirectDraw** directDraw, void* outer) {
    if (!directDraw || outer) return DDERR_INVALIDPARAMS;
    *directDraw = nullptr;
    HRESULT fault;
    if (standin::TakeFault("DirectDrawCreate", &fault)) return fault;
    std::string why;
    if (!ActiveHost().InitVideo(why)) {
        fprintf(stderr, "zelk6: no display: %s\n", why.c_str());
        return DDERR_NODIRECTDRAWHW;
    }
    std::vector<DisplayDriver> drivers = DisplayDrivers();
    int driver = FindDisplayDriver(drivers, driverGuid);
    if (driver < 0) {
        fprintf(stderr, "zelk6: DirectDrawCreate: no display driver has that identity\n");
        return DDERR_NOTFOUND;
    }
    IDirectDraw* dd = new (std::nothrow) IDirectDraw;
    if (!dd) return DDERR_OUTOFMEMORY;
    dd->driver = driver;
    dd->display = drivers[driver].display;
    dd->redMask = ActiveHost().DisplayRgb555() ? 0x7C00 : 0xF800;
    standin::ObjectCreated("IDirectDraw", dd);
    standin::LogCall("DirectDrawCreate " + drivers[driver].description);
    *directDraw = dd;
    return DD_OK;
}

HRESULT IDirectDraw::SetCooperativeLevel(HWND window, DWORD flags) {
    HRESULT fault;
    if (standin::TakeFault("IDirectDraw::SetCooperativeLevel", &fault)) return fault;
    if ((flags & DDSCL_EXCLUSIVE) && (!window || !(flags & DDSCL_FULLSCREEN)))
        return DDERR_INVALIDPARAMS;
    standin::LogCall("IDirectDraw::SetCooperativeLevel");
    this->window = window;
    cooperativeFlags = flags;
    return DD_OK;
}

HRESULT IDirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) {
    HRESULT fault;
    if (standin::TakeFault("IDirectDraw::SetDisplayMode", &fault)) return fault;
    if (!(cooperativeFlags & DDSCL_EXCLUSIVE)) return DDERR_NOEXCLUSIVEMODE;
    if (bitsPerPixel != 16 || width == 0 || height == 0 || width > 4096 || height > 4096)
        return DDERR_INVALIDPARAMS;
    std::string why;
    if (!modeSet) {
        if (!ActiveHost().OpenDisplay(display, static_cast<int>(width), static_cast<int>(height), why)) {
            fprintf(stderr, "zelk6: cannot show the display: %s\n", why.c_str());
            return DDERR_GENERIC;
        }
        g_displayOwners++;
    }
    standin::LogCall("IDirectDraw::SetDisplayMode");
    modeSet = true;
    modeWidth = static_cast<int>(width);
    modeHeight = static_cast<int>(height);
    return DD_OK;
}

HRESULT IDirectDraw::CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** surface, void* outer) {
    if (!surface || outer || !desc || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    HRESULT fault;
    if (standin::TakeFault("IDirectDraw::CreateSurface", &fault)) return fault;
    if (!(desc->dwFlags & DDSD_CAPS)) return DDERR_INVALIDPARAMS;
    DWORD caps = desc->ddsCaps.dwCaps;
    int width, height;
    const char* tag;
    if (caps & DDSCAPS_PRIMARYSURFACE) {
        // The visible surface has the mode's size; it needs the mode set first.
        if (!modeSet) return DDERR_NOEXCLUSIVEMODE;
        if ((caps & DDSCAPS_FLIP) &&
            (!(desc->dwFlags & DDSD_BACKBUFFERCOUNT) || desc->dwBackBufferCount < 1))
            return DDERR_INVALIDPARAMS;
        width = modeWidth;
        height = modeHeight;
        tag = "primary";
    } else {
        if ((desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT))
            return DDERR_INVALIDPARAMS;
        width = static_cast<int>(desc->dwWidth);
        height = static_cast<int>(desc->dwHeight);
        tag = (caps & DDSCAPS_BACKBUFFER) ? "back" : "picture";
    }
    IDirectDrawSurface* s = NewSurface(width, height, (redMask >> 10) & 1, caps, tag);
    if (s) s->redMask = redMask;
    if (!s) return DDERR_OUTOFMEMORY;
    standin::LogCall("IDirectDraw::CreateSurface " + s->tag);
    *surface = s;
    return DD_OK;
}

ULONG IDirectDraw::AddRef() { return ++refs; }

ULONG IDirectDraw::Release() {
    standin::LogCall("IDirectDraw::Release");
    if (--refs > 0) return refs;
    // Letting the object go ends exclusive mode and gives the desktop back.
    if (modeSet && --g_displayOwners == 0) ActiveHost().CloseDisplay();
    standin::ObjectDestroyed("IDirectDraw", this);
    delete this;
    return 0;
}

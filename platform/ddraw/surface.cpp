// Surfaces: memory, Lock/Unlock, loss and Restore, Flip of the primary chain, pixel formats,
// GDI contexts and reference counts. The blitter is in blit.cpp.
#include <algorithm>
#include <cstring>
#include <new>

#include "platform/ddraw/ddraw.h"
#include "platform/ddraw/surface_memory.h"
#include "platform/host/host.h"
#include "platform/testing/hooks.h"
#include "platform/win32/gdi.h"

IDirectDrawSurface* NewSurface(int width, int height, bool rgb555, DWORD caps, const char* tag) {
    if (width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide)
        return nullptr;
    IDirectDrawSurface* s = new (std::nothrow) IDirectDrawSurface;
    if (!s) return nullptr;
    s->width = width;
    s->height = height;
    s->pitch = width * 2 + standin::SurfacePitchPadding();
    s->rgb555 = rgb555;
    s->caps = caps;
    s->tag = tag;
    if (std::strcmp(tag, "picture") == 0)
        s->tag += " " + std::to_string(width) + "x" + std::to_string(height);
    try {
        s->memory.assign(static_cast<size_t>(s->pitch / 2) * height, 0);
    } catch (const std::bad_alloc&) {
        delete s;
        return nullptr;
    }
    standin::ObjectCreated("IDirectDrawSurface", s);
    return s;
}

HRESULT IDirectDrawSurface::Lock(LPRECT rect, DDSURFACEDESC* desc, DWORD flags, HANDLE event) {
    (void)flags;  // one thread: there is never a blit in flight to wait for
    (void)event;
    if (rect || !desc || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
    if (standin::CallLogEnabled()) standin::LogCall("IDirectDrawSurface::Lock " + tag);
    HRESULT fault;
    if (standin::TakeFault("IDirectDrawSurface::Lock", &fault)) {
        if (fault == DDERR_SURFACELOST) lost = true;
        return fault;
    }
    if (lost) return DDERR_SURFACELOST;
    if (locked || dc) return DDERR_SURFACEBUSY;
    locked = true;
    GetSurfaceDesc(desc);
    desc->dwFlags |= DDSD_PITCH | DDSD_LPSURFACE;
    desc->lpSurface = memory.data();
    return DD_OK;
}

HRESULT IDirectDrawSurface::Unlock(LPVOID pixels) {
    if (standin::CallLogEnabled()) standin::LogCall("IDirectDrawSurface::Unlock " + tag);
    HRESULT fault;
    if (standin::TakeFault("IDirectDrawSurface::Unlock", &fault)) return fault;
    if (!locked) return DDERR_NOTLOCKED;
    if (pixels && pixels != memory.data()) return DDERR_INVALIDPARAMS;
    locked = false;
    return DD_OK;
}

HRESULT IDirectDrawSurface::Restore() {
    if (standin::CallLogEnabled()) standin::LogCall("IDirectDrawSurface::Restore " + tag);
    HRESULT fault;
    if (standin::TakeFault("IDirectDrawSurface::Restore", &fault)) return fault;
    // A restored surface's contents are undefined; ours keeps what it had.
    lost = false;
    return DD_OK;
}

HRESULT IDirectDrawSurface::IsLost() { return lost ? DDERR_SURFACELOST : DD_OK; }

namespace {

// Why a flip of `front` to `shown` cannot happen now, or DD_OK.
HRESULT FlipRefusal(const IDirectDrawSurface* front, const IDirectDrawSurface* shown) {
    if (!(front->caps & DDSCAPS_FLIP) || !shown) return DDERR_INVALIDPARAMS;
    if (front->lost || shown->lost) return DDERR_SURFACELOST;
    if (shown->locked || shown->dc) return DDERR_SURFACEBUSY;
    return DD_OK;
}

}  // namespace

HRESULT IDirectDrawSurface::Flip(IDirectDrawSurface* overrideSurface, DWORD flags) {
    (void)flags;  // the host's present waits for the display itself
    if (standin::CallLogEnabled()) standin::LogCall("IDirectDrawSurface::Flip " + tag);
    IDirectDrawSurface* shown = overrideSurface ? overrideSurface : attached;
    HRESULT result = DD_OK;
    if (!standin::TakeFault("IDirectDrawSurface::Flip", &result)) result = FlipRefusal(this, shown);
    if (result != DD_OK) {
        ActiveHost().MissFrame();
        return result;
    }
    // The back buffer is presented as a copy and keeps its contents, so a segment that draws
    // nothing shows its last frame steadily instead of alternating two old ones.
    std::memcpy(memory.data(), shown->memory.data(),
                std::min(memory.size(), shown->memory.size()) * sizeof(uint16_t));
    ActiveHost().Present(shown->memory.data(), shown->width, shown->height, shown->pitch,
                         shown->rgb555);
    return DD_OK;
}

HRESULT IDirectDrawSurface::AddAttachedSurface(IDirectDrawSurface* surface) {
    if (standin::CallLogEnabled()) standin::LogCall("IDirectDrawSurface::AddAttachedSurface " + tag);
    HRESULT fault;
    if (standin::TakeFault("IDirectDrawSurface::AddAttachedSurface", &fault)) return fault;
    if (!surface || surface == this || attached) return DDERR_INVALIDPARAMS;
    if (surface->width != width || surface->height != height) return DDERR_INVALIDPARAMS;
    surface->AddRef();  // the chain holds the back buffer until the primary goes
    attached = surface;
    return DD_OK;
}

HRESULT IDirectDrawSurface::GetPixelFormat(DDPIXELFORMAT* format) {
    if (standin::CallLogEnabled()) standin::LogCall("IDirectDrawSurface::GetPixelFormat " + tag);
    if (!format || format->dwSize != sizeof(DDPIXELFORMAT)) return DDERR_INVALIDPARAMS;
    HRESULT fault;
    if (standin::TakeFault("IDirectDrawSurface::GetPixelFormat", &fault)) return fault;
    format->dwFlags = DDPF_RGB;
    format->dwFourCC = 0;
    format->dwRGBBitCount = 16;
    format->dwRBitMask = redMask;
    format->dwGBitMask = rgb555 ? 0x03E0 : 0x07E0;
    format->dwBBitMask = 0x001F;
    format->dwRGBAlphaBitMask = 0;
    return DD_OK;
}

HRESULT IDirectDrawSurface::GetSurfaceDesc(DDSURFACEDESC* desc) {
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
    std::memset(desc, 0, sizeof(*desc));
    desc->dwSize = sizeof(DDSURFACEDESC);
    desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc->dwWidth = static_cast<DWORD>(width);
    desc->dwHeight = static_cast<DWORD>(height);
    desc->lPitch = pitch;
    desc->ddsCaps.dwCaps = caps;
    desc->ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    GetPixelFormat(&desc->ddpfPixelFormat);
    return DD_OK;
}

HRESULT IDirectDrawSurface::GetDC(HDC* out) {
    if (!out) return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (standin::CallLogEnabled()) standin::LogCall("IDirectDrawSurface::GetDC " + tag);
    HRESULT fault;
    if (standin::TakeFault("IDirectDrawSurface::GetDC", &fault)) return fault;
    if (lost) return DDERR_SURFACELOST;
    if (locked || dc) return DDERR_SURFACEBUSY;
    dc = CreateTargetDC(GdiPixelTarget{memory.data(), width, height, pitch, rgb555, &picture});
    if (!dc) return DDERR_CANTCREATEDC;
    *out = dc;
    return DD_OK;
}

HRESULT IDirectDrawSurface::ReleaseDC(HDC released) {
    if (standin::CallLogEnabled()) standin::LogCall("IDirectDrawSurface::ReleaseDC " + tag);
    if (!dc || released != dc) return DDERR_INVALIDPARAMS;
    DeleteTargetDC(dc);
    dc = nullptr;
    return DD_OK;
}

ULONG IDirectDrawSurface::AddRef() { return ++refs; }

ULONG IDirectDrawSurface::Release() {
    if (standin::CallLogEnabled()) standin::LogCall("IDirectDrawSurface::Release " + tag);
    return ReleaseInternal();
}

ULONG IDirectDrawSurface::ReleaseInternal() {
    if (--refs > 0) return refs;
    if (attached) attached->ReleaseInternal();
    if (dc) DeleteTargetDC(dc);
    standin::ObjectDestroyed("IDirectDrawSurface", this);
    delete this;
    return 0;
}

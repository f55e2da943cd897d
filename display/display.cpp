// Display set-up, release and flip: the exclusive 640x480x16 mode with a flip chain, and
// BackSurface, the one surface everything draws into.
#include "display/display.h"

#include <cstring>

IDirectDraw* DisplayObject = nullptr;
IDirectDrawSurface* PrimarySurface = nullptr;
IDirectDrawSurface* BackSurface = nullptr;
int DisplayWidth = 640;
int DisplayHeight = 480;
int IsRgb555 = 0;

int InitDisplay(HWND window, GUID* driverGuid) {
    if (DirectDrawCreate(driverGuid, &DisplayObject, nullptr) != DD_OK) return 1;

    if (DisplayObject->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT |
                                                       DDSCL_EXCLUSIVE) != DD_OK)
        return 2;

    if (DisplayObject->SetDisplayMode(DisplayWidth, DisplayHeight, 16) != DD_OK) return 3;

    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    if (DisplayObject->CreateSurface(&desc, &PrimarySurface, nullptr) != DD_OK) return 4;

    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = DisplayWidth;
    desc.dwHeight = DisplayHeight;
    desc.ddsCaps.dwCaps = DDSCAPS_BACKBUFFER | DDSCAPS_3DDEVICE;
    if (DisplayObject->CreateSurface(&desc, &BackSurface, nullptr) != DD_OK) return 5;

    if (PrimarySurface->AddAttachedSurface(BackSurface) != DD_OK) return 6;

    DDPIXELFORMAT format;
    std::memset(&format, 0, sizeof(format));
    format.dwSize = sizeof(format);
    if (PrimarySurface->GetPixelFormat(&format) != DD_OK) return 7;

    // Only bit 10 of the red mask is read: set in 5-5-5 (0x7C00), clear in 5-6-5 (0xF800).
    IsRgb555 = (format.dwRBitMask >> 10) & 1;
    return 0;
}

void ReleaseDisplay() {
    if (!DisplayObject) return;
    ShowCursor(TRUE);
    if (PrimarySurface) {
        PrimarySurface->Release();
        PrimarySurface = nullptr;
    }
    if (BackSurface) {
        BackSurface->Release();
        BackSurface = nullptr;
    }
    DisplayObject->Release();
    DisplayObject = nullptr;
}

HRESULT FlipDisplay() { return PrimarySurface->Flip(nullptr, DDFLIP_WAIT); }

// The DirectDraw subset the show calls: driver enumeration, the DirectDraw object, the
// exclusive 640x480x16 display with its flip chain, off-screen picture surfaces, Lock and
// Unlock, Restore, the three blit forms, Flip, GetDC, pixel formats and reference counts.
// Pixels are 16-bit words, 5-6-5 unless the display was asked for 5-5-5 (a test hook or the
// capture tool's --pixel-format). Left out: clippers, palettes, overlays, video memory,
// every blit flag and caps bit the show does not use.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/win32.h"

// Result codes. The show itself tests only DD_OK and DDERR_SURFACELOST.
#define DD_OK S_OK
#define DDERR_GENERIC E_FAIL
#define DDERR_INVALIDPARAMS E_INVALIDARG
#define DDERR_OUTOFMEMORY E_OUTOFMEMORY
#define DDERR_INVALIDRECT ((HRESULT)0x88760096)
#define DDERR_NOTLOCKED ((HRESULT)0x887601B8)
#define DDERR_SURFACEBUSY ((HRESULT)0x887601AE)
#define DDERR_SURFACELOST ((HRESULT)0x887601C2)
#define DDERR_NODIRECTDRAWHW ((HRESULT)0x887601FF)
#define DDERR_NOEXCLUSIVEMODE ((HRESULT)0x887601E1)
#define DDERR_CANTCREATEDC ((HRESULT)0x8876024F)
#define DDERR_NOTFOUND ((HRESULT)0x887600FF)

// SetCooperativeLevel
#define DDSCL_FULLSCREEN 0x00000001
#define DDSCL_ALLOWREBOOT 0x00000002
#define DDSCL_NORMAL 0x00000008
#define DDSCL_EXCLUSIVE 0x00000010

// Surface description flags
#define DDSD_CAPS 0x00000001
#define DDSD_HEIGHT 0x00000002
#define DDSD_WIDTH 0x00000004
#define DDSD_PITCH 0x00000008
#define DDSD_BACKBUFFERCOUNT 0x00000020
#define DDSD_LPSURFACE 0x00000800
#define DDSD_PIXELFORMAT 0x00001000

// Surface capabilities
#define DDSCAPS_BACKBUFFER 0x00000004
#define DDSCAPS_COMPLEX 0x00000008
#define DDSCAPS_FLIP 0x00000010
#define DDSCAPS_OFFSCREENPLAIN 0x00000040
#define DDSCAPS_PRIMARYSURFACE 0x00000200
#define DDSCAPS_3DDEVICE 0x00002000

// Lock, Blt, Flip
#define DDLOCK_WAIT 0x00000001
#define DDLOCK_WRITEONLY 0x00000020
#define DDBLT_COLORFILL 0x00000400
#define DDBLT_KEYSRCOVERRIDE 0x00010000
#define DDBLT_WAIT 0x01000000
#define DDFLIP_WAIT 0x00000001

// DirectDrawEnumerateExA
#define DDENUM_ATTACHEDSECONDARYDEVICES 0x00000001
#define DDENUM_DETACHEDSECONDARYDEVICES 0x00000002
#define DDENUM_NONDISPLAYDEVICES 0x00000004

#define DDPF_RGB 0x00000040

struct DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
};

struct DDSCAPS {
    DWORD dwCaps;
};

// 32 bytes, as on the original platform.
struct DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    DWORD dwRGBBitCount;
    DWORD dwRBitMask;
    DWORD dwGBitMask;
    DWORD dwBBitMask;
    DWORD dwRGBAlphaBitMask;
};

// 108 bytes on the original 32-bit platform; larger here only because lpSurface is a 64-bit
// pointer. Callers set dwSize to sizeof(DDSURFACEDESC); the stand-in checks it.
struct DDSURFACEDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    DWORD dwBackBufferCount;
    DWORD dwRefreshRate;
    DWORD dwAlphaBitDepth;
    DWORD dwReserved;
    LPVOID lpSurface;
    DDCOLORKEY ddckCKDestOverlay;
    DDCOLORKEY ddckCKDestBlt;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS ddsCaps;
};

// 100 bytes, as on the original platform (its pointer unions are kept as 32-bit words,
// which the show never fills).
struct DDBLTFX {
    DWORD dwSize;
    DWORD dwDDFX;
    DWORD dwROP;
    DWORD dwDDROP;
    DWORD dwRotationAngle;
    DWORD dwZBufferOpCode;
    DWORD dwZBufferLow;
    DWORD dwZBufferHigh;
    DWORD dwZBufferBaseDest;
    DWORD dwZDestConstBitDepth;
    DWORD dwZDestConst;
    DWORD dwZSrcConstBitDepth;
    DWORD dwZSrcConst;
    DWORD dwAlphaEdgeBlendBitDepth;
    DWORD dwAlphaEdgeBlend;
    DWORD dwReserved;
    DWORD dwAlphaDestConstBitDepth;
    DWORD dwAlphaDestConst;
    DWORD dwAlphaSrcConstBitDepth;
    DWORD dwAlphaSrcConst;
    DWORD dwFillColor;
    DDCOLORKEY ddckDestColorkey;
    DDCOLORKEY ddckSrcColorkey;
};

struct IDirectDraw;

// A surface: 16-bit pixels in its own memory, owned by the object. Reference counted; the
// last Release frees it.
struct IDirectDrawSurface {
    HRESULT Lock(LPRECT rect, DDSURFACEDESC* desc, DWORD flags, HANDLE event);
    HRESULT Unlock(LPVOID pixels);
    HRESULT Restore();
    HRESULT IsLost();
    HRESULT Blt(LPRECT destRect, IDirectDrawSurface* source, LPRECT sourceRect, DWORD flags,
                DDBLTFX* fx);
    HRESULT Flip(IDirectDrawSurface* overrideSurface, DWORD flags);
    HRESULT AddAttachedSurface(IDirectDrawSurface* surface);
    HRESULT GetPixelFormat(DDPIXELFORMAT* format);
    HRESULT GetSurfaceDesc(DDSURFACEDESC* desc);
    HRESULT GetDC(HDC* dc);
    HRESULT ReleaseDC(HDC dc);
    ULONG AddRef();
    ULONG Release();
    // Release without a call-log line: the stand-in letting go of its own references.
    ULONG ReleaseInternal();

    // Stand-in state, read by the rest of platform/ (the 3D device renders into memory).
    std::string tag;  // what it is, for the call log: "primary", "back", "picture 1024x110"
    std::string picture;  // the file of the picture last copied in through GetDC, else empty
    DWORD caps = 0;
    bool rgb555 = false;  // the display's layout when the surface was made (bit 10 of redMask)
    DWORD redMask = 0xF800;  // what GetPixelFormat reports
    int width = 0;
    int height = 0;
    int pitch = 0;  // bytes from one row to the next; at least width * 2, always even
    std::vector<uint16_t> memory;
    ULONG refs = 1;
    bool locked = false;
    bool lost = false;
    HDC dc = nullptr;                         // the context GetDC handed out, until ReleaseDC
    IDirectDrawSurface* attached = nullptr;   // the back buffer a flip of a primary shows
};
typedef IDirectDrawSurface* LPDIRECTDRAWSURFACE;

struct IDirectDraw {
    HRESULT SetCooperativeLevel(HWND window, DWORD flags);
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel);
    HRESULT CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** surface, void* outer);
    ULONG AddRef();
    ULONG Release();

    // Stand-in state
    int driver = 0;          // index into the stand-in's driver table (see DirectDrawEnumerateExA)
    int display = 0;         // host display it shows on; -1 = in a window
    int modeWidth = 0;
    int modeHeight = 0;
    HWND window = nullptr;
    DWORD cooperativeFlags = 0;
    bool modeSet = false;
    DWORD redMask = 0xF800;  // the display's red mask: 0xF800 for 5-6-5, 0x7C00 for 5-5-5
    ULONG refs = 1;
};
typedef IDirectDraw* LPDIRECTDRAW;

typedef BOOL (*LPDDENUMCALLBACKEXA)(GUID* guid, LPSTR description, LPSTR driverName,
                                    LPVOID context, HMONITOR monitor);

HRESULT DirectDrawCreate(GUID* driverGuid, IDirectDraw** directDraw, void* outer);
HRESULT DirectDrawEnumerateExA(LPDDENUMCALLBACKEXA callback, LPVOID context, DWORD flags);

// BMP pictures into off-screen surfaces of their own size, converted to the display's
// pixel format by the GDI copy.
#include "display/bitmap.h"

#include <cstring>

#include "display/display.h"

IDirectDrawSurface* LoadBitmapSurface(const char* name, int width, int height) {
    // The program carries no bitmap resources, so this finds the file in practice.
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, width, height, LR_CREATEDIBSECTION));
    if (!bitmap)
        bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, name, IMAGE_BITMAP, width, height,
                                                 LR_CREATEDIBSECTION | LR_LOADFROMFILE));
    if (!bitmap) return nullptr;

    BITMAP info;
    std::memset(&info, 0, sizeof(info));
    GetObjectA(bitmap, sizeof(info), &info);

    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwWidth = static_cast<DWORD>(info.bmWidth);
    desc.dwHeight = static_cast<DWORD>(info.bmHeight);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    IDirectDrawSurface* surface = nullptr;
    if (DisplayObject->CreateSurface(&desc, &surface, nullptr) != DD_OK) {
        DeleteObject(bitmap);
        return nullptr;
    }

    CopyBitmapToSurface(surface, bitmap, 0, 0, 0, 0);
    DeleteObject(bitmap);
    return surface;
}

HRESULT CopyBitmapToSurface(IDirectDrawSurface* surface, HBITMAP bitmap, int x, int y, int width,
                            int height) {
    if (!bitmap || !surface) return E_FAIL;
    surface->Restore();

    HDC memoryDc = CreateCompatibleDC(nullptr);
    if (!memoryDc) OutputDebugStringA("createcompatible dc failed\n");
    SelectObject(memoryDc, bitmap);

    BITMAP info;
    std::memset(&info, 0, sizeof(info));
    GetObjectA(bitmap, sizeof(info), &info);
    if (width == 0) width = info.bmWidth;
    if (height == 0) height = info.bmHeight;

    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_HEIGHT | DDSD_WIDTH;
    surface->GetSurfaceDesc(&desc);

    HDC surfaceDc = nullptr;
    HRESULT result = surface->GetDC(&surfaceDc);
    if (result == DD_OK) {
        StretchBlt(surfaceDc, 0, 0, static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight),
                   memoryDc, x, y, width, height, SRCCOPY);
        surface->ReleaseDC(surfaceDc);
    }
    DeleteDC(memoryDc);
    return result;
}

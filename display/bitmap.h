// BMP pictures turned into off-screen surfaces in the display's pixel format.
#pragma once

#include "platform/ddraw/ddraw.h"

// name: Windows-style path relative to the working directory ("images\\zuzuv.bmp");
// width, height: the size asked of the loader, 0 for the picture's own. Returns a surface
// the caller owns and releases, or null when the picture or the surface could not be made.
IDirectDrawSurface* LoadBitmapSurface(const char* name, int width, int height);
// Copies the bitmap's (x, y, width, height) rectangle, scaled, over the whole surface.
// E_FAIL for a null surface or bitmap, else the result of the surface's GetDC.
HRESULT CopyBitmapToSurface(IDirectDrawSurface* surface, HBITMAP bitmap, int x, int y, int width,
                            int height);

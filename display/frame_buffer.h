// Write access to BackSurface's pixels for the software effects, the black fill, and the
// three blit forms every segment uses.
#pragma once

#include "platform/ddraw/ddraw.h"

// The lock description shared by the whole system. lpSurface (the first 16-bit pixel) and
// lPitch (bytes per row, at least 1280) are valid from a successful LockFrameBuffer until
// UnlockFrameBuffer. Pixel (x, y) is word lPitch * y / 2 + x.
extern DDSURFACEDESC FrameBuffer;

// Zeroes FrameBuffer and sets its size field; once, at start-up.
void PrepareFrameBuffer();
// 1 when BackSurface is locked, 0 after the first attempt and 1000 retries failed.
int LockFrameBuffer();
// Unlocks, retrying up to 1000 times; a final failure is dropped.
void UnlockFrameBuffer();
// Fills (left, top)-(right, bottom), right and bottom exclusive, with black.
void ClearRect(int left, int top, int right, int bottom);

// The blit forms onto BackSurface. With both rectangles null the whole picture covers the
// whole target (stretched if its size differs); otherwise the rectangles have equal sizes.
// A missing (null) picture is never blitted from: these do nothing for it.
void BlitPicture(IDirectDrawSurface* picture, RECT* destRect, RECT* sourceRect);
// As BlitPicture, but picture pixels equal to 0 (black) are skipped.
void BlitPictureKeyed(IDirectDrawSurface* picture, RECT* destRect, RECT* sourceRect);
// Releases a picture the caller owns, if it exists, and forgets it.
void ReleasePicture(IDirectDrawSurface*& picture);

// Locking BackSurface for the effects' pixel writes, with bounded retries, and the black
// fill.
#include "display/frame_buffer.h"

#include <cstring>

#include "display/display.h"

DDSURFACEDESC FrameBuffer;

// A first attempt and at most 1000 retries, so a surface that stays lost or busy holds a
// frame up for a bounded number of calls.
static const int kMaxAttempts = 1001;

void PrepareFrameBuffer() {
    std::memset(&FrameBuffer, 0, sizeof(FrameBuffer));
    FrameBuffer.dwSize = sizeof(FrameBuffer);
}

int LockFrameBuffer() {
    int attempts = 0;
    for (;;) {
        HRESULT result = BackSurface->Lock(nullptr, &FrameBuffer, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr);
        if (result == DDERR_SURFACELOST) BackSurface->Restore();
        attempts++;
        if (result == DD_OK) return 1;
        if (attempts >= kMaxAttempts) return 0;
    }
}

void UnlockFrameBuffer() {
    HRESULT result = BackSurface->Unlock(FrameBuffer.lpSurface);
    for (int calls = 1; result != DD_OK && calls < kMaxAttempts; calls++)
        result = BackSurface->Unlock(FrameBuffer.lpSurface);
}

void ClearRect(int left, int top, int right, int bottom) {
    DDBLTFX fx;
    std::memset(&fx, 0, sizeof(fx));
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0;
    RECT rect;
    SetRect(&rect, left, top, right, bottom);
    BackSurface->Blt(&rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

// The blit forms every segment draws pictures with: plain copy and black-transparent copy
// onto BackSurface. A picture that failed to load is null and is skipped here, in one place.
#include <cstring>

#include "display/display.h"
#include "display/frame_buffer.h"

void BlitPicture(IDirectDrawSurface* picture, RECT* destRect, RECT* sourceRect) {
    if (!picture) return;
    BackSurface->Blt(destRect, picture, sourceRect, DDBLT_WAIT, nullptr);
}

void BlitPictureKeyed(IDirectDrawSurface* picture, RECT* destRect, RECT* sourceRect) {
    if (!picture) return;
    // All zero but the size: the source key is 0..0, black.
    DDBLTFX fx;
    std::memset(&fx, 0, sizeof(fx));
    fx.dwSize = sizeof(fx);
    BackSurface->Blt(destRect, picture, sourceRect, DDBLT_WAIT | DDBLT_KEYSRCOVERRIDE, &fx);
}

void ReleasePicture(IDirectDrawSurface*& picture) {
    if (!picture) return;
    picture->Release();
    picture = nullptr;
}

// One frame of the wire figure over the colour-cycling plasma.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "display/frame_buffer.h"
#include "effects/effect_time.h"
#include "effects/effects.h"
#include "effects/figure_composite.h"
#include "effects/reference.h"
#include "effects/tables.h"

namespace {

WORD* PixelRow(WORD* pixels, int y) { return pixels + static_cast<ptrdiff_t>(FrameBuffer.lPitch / 2) * y; }

// 0xFF: under the figure; any other non-zero byte: under the shadow only; 0: plasma.
WORD FigurePixel(BYTE canvas, BYTE plasma) {
    if (canvas == 0xFF) return FigurePalette[plasma];
    if (canvas != 0) return ShadowPalette[plasma];
    return PlasmaPalette[plasma];
}

}  // namespace

void DrawFigureFrame(WORD* pixels, float t) {
    DrawWireFigure(t);
    BuildFigurePalettes(TruncateTime(t));
    if (HasWideComposite())
        ComposeFigureFrameWide(pixels);
    else
        ComposeFigureFramePortable(pixels);
}

void ComposeFigureFrameReference(WORD* pixels) {
    for (int y = 0; y < EffectHeight; y++) {
        WORD* row = PixelRow(pixels, y);
        for (int x = 0; x < EffectWidth; x++)
            row[x] = FigurePixel(FigureCanvas[y * EffectWidth + x], PlasmaMap[y * EffectWidth + x]);
    }
}

// Most of the canvas is empty: eight canvas bytes that are all 0 take the plasma palette
// without a per-pixel choice.
void ComposeFigureFramePortable(WORD* pixels) {
    for (int y = 0; y < EffectHeight; y++) {
        WORD* row = PixelRow(pixels, y);
        const BYTE* canvas = FigureCanvas + y * EffectWidth;
        const BYTE* plasma = PlasmaMap + y * EffectWidth;
        for (int x = 0; x < EffectWidth; x += 8) {
            uint64_t eight;
            std::memcpy(&eight, canvas + x, sizeof eight);
            if (eight == 0) {
                for (int i = x; i < x + 8; i++) row[i] = PlasmaPalette[plasma[i]];
            } else {
                for (int i = x; i < x + 8; i++) row[i] = FigurePixel(canvas[i], plasma[i]);
            }
        }
    }
}

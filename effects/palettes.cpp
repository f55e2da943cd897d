// The wire figure's three colour cycles, rebuilt every frame at a start index moving with t.
#include <cstdint>

#include "effects/colour.h"
#include "effects/effects.h"
#include "effects/tables.h"

WORD PlasmaPalette[256];
WORD FigurePalette[256];
WORD ShadowPalette[256];

// Four ramps of 64 entries each cover the 256 indices once; q, h and e step every 4, 2 and 8
// entries. The plasma cycle runs green, blue-violet, orange, blue-violet, green; the shadow
// follows it at about half the channel values; the figure is the plasma inverted.
void BuildFigurePalettes(int b) {
    const uint32_t base = 5u * static_cast<uint32_t>(b);
    for (int j = 0; j < 64; j++) {
        const int q = j / 4, h = j / 2, e = j / 8;
        const WORD plasma[4] = {PackColour(q, 15 - q, h), PackColour(q + 15, q, 31 - h),
                                PackColour(31 - q, 15 - q, h), PackColour(15 - q, q, 31 - h)};
        const WORD shadow[4] = {PackColour(e, 7 - e, q), PackColour(e + 7, e, 15 - q),
                                PackColour(15 - e, 7 - e, q), PackColour(7 - e, e, 15 - q)};
        for (int ramp = 0; ramp < 4; ramp++) {
            const BYTE k = static_cast<BYTE>(base + 64 * ramp + j);
            PlasmaPalette[k] = plasma[ramp];
            FigurePalette[k] = static_cast<WORD>(plasma[ramp] ^ 0xFFFF);
            ShadowPalette[k] = shadow[ramp];
        }
    }
}

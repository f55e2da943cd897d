// The wire figure's colouring step with 64-byte table permutes (AVX-512 VBMI): 64 pixels a
// step, each 16-bit palette split into a low-byte and a high-byte table of four registers.
#include <cstddef>
#include <cstdint>

#include "display/frame_buffer.h"
#include "effects/figure_composite.h"
#include "effects/reference.h"
#include "effects/tables.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

#define ZELK6_WIDE __attribute__((target("avx512f,avx512bw,avx512vbmi")))

namespace {

// A 256-entry byte table in four registers.
struct ByteTable {
    __m512i part[4];
};

// Splits a palette into the tables of its low and its high bytes.
ZELK6_WIDE void SplitPalette(const WORD* palette, ByteTable& low, ByteTable& high) {
    alignas(64) BYTE lowBytes[256], highBytes[256];
    for (int k = 0; k < 256; k++) {
        lowBytes[k] = static_cast<BYTE>(palette[k]);
        highBytes[k] = static_cast<BYTE>(palette[k] >> 8);
    }
    for (int i = 0; i < 4; i++) {
        low.part[i] = _mm512_load_si512(lowBytes + 64 * i);
        high.part[i] = _mm512_load_si512(highBytes + 64 * i);
    }
}

// Entry index[i] of the table for 64 indices: each two-register permute covers 128 entries,
// bit 7 of the index picks which half.
ZELK6_WIDE inline __m512i LookUp(const ByteTable& table, __m512i index, __mmask64 upperHalf) {
    __m512i lower = _mm512_permutex2var_epi8(table.part[0], index, table.part[1]);
    __m512i upper = _mm512_permutex2var_epi8(table.part[2], index, table.part[3]);
    return _mm512_mask_blend_epi8(upperHalf, lower, upper);
}

}  // namespace

bool HasWideComposite() {
    static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                            __builtin_cpu_supports("avx512vbmi");
    return has;
}

ZELK6_WIDE void ComposeFigureFrameWide(WORD* pixels) {
    ByteTable plasmaLow, plasmaHigh, figureLow, figureHigh, shadowLow, shadowHigh;
    SplitPalette(PlasmaPalette, plasmaLow, plasmaHigh);
    SplitPalette(FigurePalette, figureLow, figureHigh);
    SplitPalette(ShadowPalette, shadowLow, shadowHigh);
    // Byte positions that interleave 32 low and 32 high bytes into 32 little-endian words.
    alignas(64) BYTE first[64], second[64];
    for (int i = 0; i < 32; i++) {
        first[2 * i] = static_cast<BYTE>(i);
        first[2 * i + 1] = static_cast<BYTE>(64 + i);
        second[2 * i] = static_cast<BYTE>(32 + i);
        second[2 * i + 1] = static_cast<BYTE>(96 + i);
    }
    const __m512i firstWords = _mm512_load_si512(first), secondWords = _mm512_load_si512(second);
    const __m512i figureByte = _mm512_set1_epi8(static_cast<char>(0xFF));
    const ptrdiff_t pitchWords = FrameBuffer.lPitch / 2;

    for (int y = 0; y < EffectHeight; y++) {
        WORD* row = pixels + pitchWords * y;
        const BYTE* canvasRow = FigureCanvas + y * EffectWidth;
        const BYTE* plasmaRow = PlasmaMap + y * EffectWidth;
        for (int x = 0; x < EffectWidth; x += 64) {
            const __m512i plasma = _mm512_loadu_si512(plasmaRow + x);
            const __m512i canvas = _mm512_loadu_si512(canvasRow + x);
            const __mmask64 upperHalf = _mm512_movepi8_mask(plasma);
            __m512i low = LookUp(plasmaLow, plasma, upperHalf);
            __m512i high = LookUp(plasmaHigh, plasma, upperHalf);
            const __mmask64 marked = _mm512_test_epi8_mask(canvas, canvas);
            if (marked) {  // only the steps the figure or its shadow reach pay for the others
                const __mmask64 figure = _mm512_cmpeq_epi8_mask(canvas, figureByte);
                const __mmask64 shadow = marked & ~figure;
                if (shadow) {
                    low = _mm512_mask_mov_epi8(low, shadow, LookUp(shadowLow, plasma, upperHalf));
                    high = _mm512_mask_mov_epi8(high, shadow, LookUp(shadowHigh, plasma, upperHalf));
                }
                if (figure) {
                    low = _mm512_mask_mov_epi8(low, figure, LookUp(figureLow, plasma, upperHalf));
                    high = _mm512_mask_mov_epi8(high, figure, LookUp(figureHigh, plasma, upperHalf));
                }
            }
            _mm512_storeu_si512(row + x, _mm512_permutex2var_epi8(low, firstWords, high));
            _mm512_storeu_si512(row + x + 32, _mm512_permutex2var_epi8(low, secondWords, high));
        }
    }
}

#else

bool HasWideComposite() { return false; }
void ComposeFigureFrameWide(WORD* pixels) { ComposeFigureFramePortable(pixels); }

#endif

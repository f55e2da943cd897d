// The tunnel's texel step with 16-lane gathers (AVX-512): 16 texels, 32 pixels a step.
#include <cstdint>

#include "effects/tables.h"
#include "effects/tunnel_wide.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

#define ZELK6_WIDE __attribute__((target("avx512f,avx512bw")))

bool HasWideTunnel() {
    static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
    return has;
}

// There is no 16-bit gather: each lane fetches the aligned pair of texels that holds its
// texel (word index & ~1, so never past the table's end) and shifts its half down.
ZELK6_WIDE void WriteTexelRowWide(WORD* row, const WORD* warp, WORD offset) {
    const __m256i add = _mm256_set1_epi16(static_cast<short>(offset));
    const __m512i oddBit = _mm512_set1_epi32(16);
    // bytes 0, 1, 0, 1 of each dword: the texel in both halves, two equal pixels
    const __m512i twice = _mm512_set4_epi32(0x0D0C0D0C, 0x09080908, 0x05040504, 0x01000100);
    // Masked forms with every lane on: the unmasked ones trip a false uninitialised warning.
    const __mmask16 all = 0xFFFF;
    const __m512i none = _mm512_setzero_si512();
    for (int n = 0; n < 320; n += 16) {
        const __m256i address = _mm256_add_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(warp + n)), add);
        const __m512i index = _mm512_maskz_cvtepu16_epi32(all, address);  // 16-bit wrap already taken
        const __m512i pairIndex = _mm512_maskz_srli_epi32(all, index, 1);
        const __m512i pair = _mm512_mask_i32gather_epi32(none, all, pairIndex, TextureRgb16, 4);
        const __m512i shift = _mm512_and_si512(_mm512_maskz_slli_epi32(all, index, 4), oddBit);  // 16 for odd texels
        const __m512i texel = _mm512_maskz_srlv_epi32(all, pair, shift);
        _mm512_storeu_si512(row + 2 * n, _mm512_maskz_shuffle_epi8(~0ull, texel, twice));
    }
}

#else

bool HasWideTunnel() { return false; }
void WriteTexelRowWide(WORD* row, const WORD* warp, WORD offset) {
    for (int n = 0; n < 320; n++) row[2 * n] = row[2 * n + 1] = TextureRgb16[static_cast<WORD>(warp[n] + offset)];
}

#endif

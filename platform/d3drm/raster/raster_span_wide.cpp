// A span's pixels 16 at a time (AVX-512): one texture run is one step, the pixels past its end
// and those failing the depth test masked off. The arithmetic is the plain loop's, lane by lane,
// so the pixels are the same.
#include "platform/d3drm/raster/raster_span.h"

#include <atomic>

namespace raster {
namespace {
std::atomic<bool> wideAllowed{true};
}  // namespace
void AllowWideSpans(bool allow) { wideAllowed.store(allow, std::memory_order_relaxed); }
}  // namespace raster

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

#define ZELK6_WIDE __attribute__((target("avx512f,avx512bw,avx512vl")))
// GCC 12's unmasked AVX-512 intrinsics start from an undefined vector it then warns about.
#ifndef __clang__
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif

namespace raster {

bool HasWideSpans() {
    static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                            __builtin_cpu_supports("avx512vl");
    return has && wideAllowed.load(std::memory_order_relaxed);
}

namespace {

ZELK6_WIDE inline __m512i Ramp(uint32_t start, uint32_t step) {
    const __m512i lane = _mm512_set_epi32(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    return _mm512_add_epi32(_mm512_set1_epi32(static_cast<int>(start)),
                            _mm512_mullo_epi32(lane, _mm512_set1_epi32(static_cast<int>(step))));
}

// Lane i gets offsets[(x + i) & 3].
ZELK6_WIDE inline __m512i DitherLanes(const uint8_t* offsets, int x) {
    const __m512i four = _mm512_set_epi32(offsets[3], offsets[2], offsets[1], offsets[0], offsets[3], offsets[2],
                                          offsets[1], offsets[0], offsets[3], offsets[2], offsets[1], offsets[0],
                                          offsets[3], offsets[2], offsets[1], offsets[0]);
    const __m512i lane = _mm512_set_epi32(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    const __m512i index = _mm512_and_si512(_mm512_add_epi32(lane, _mm512_set1_epi32(x & 3)), _mm512_set1_epi32(3));
    return _mm512_permutexvar_epi32(index, four);
}

// min((value + dither) >> shift, top): the packing tables' entry before its field shift.
ZELK6_WIDE inline __m512i Field(__m512i value, __m512i dither, int shift, int top) {
    return _mm512_min_epu32(_mm512_srli_epi32(_mm512_add_epi32(value, dither), static_cast<unsigned>(shift)),
                            _mm512_set1_epi32(top));
}

template <bool Tex, bool Specular, bool ZTest, bool ZWrite>
ZELK6_WIDE void Pixels16(SpanPixels& p, int x, int n, uint32_t tu, uint32_t tv, uint32_t du, uint32_t dv) {
    const __mmask16 valid = n >= 16 ? 0xFFFF : static_cast<__mmask16>((1u << n) - 1);
    const __m512i zero = _mm512_setzero_si512();
    const __m512i z = Ramp(p.z, p.dz);
    const __m512i zv = _mm512_and_si512(_mm512_srli_epi32(_mm512_add_epi32(z, _mm512_set1_epi32(16384)), 15),
                                        _mm512_set1_epi32(0xFFFF));
    __mmask16 write = valid;
    if constexpr (ZTest) {
        const __m512i depth = _mm512_maskz_cvtepu16_epi32(valid, _mm256_maskz_loadu_epi16(valid, p.depth + x));
        write = _mm512_mask_cmple_epu32_mask(valid, zv, depth);
    }
    if constexpr (ZWrite) _mm256_mask_storeu_epi16(p.depth + x, write, _mm512_maskz_cvtepi32_epi16(write, zv));
    if (write) {
        __m512i cr = _mm512_srli_epi32(Ramp(p.r, p.dr), 16);
        __m512i cg = _mm512_srli_epi32(Ramp(p.g, p.dg), 16);
        __m512i cb = _mm512_srli_epi32(Ramp(p.b, p.db), 16);
        const __m512i byte = _mm512_set1_epi32(0xff);
        __m512i tr = byte, tg = byte, tb = byte;
        if constexpr (Tex) {
            const __m512i u = _mm512_and_si512(_mm512_srli_epi32(Ramp(tu, du), 16), _mm512_set1_epi32(static_cast<int>(p.umask)));
            const __m512i v = _mm512_and_si512(_mm512_srli_epi32(Ramp(tv, dv), 16), _mm512_set1_epi32(static_cast<int>(p.vmask)));
            const __m512i index = _mm512_or_si512(_mm512_sll_epi32(v, _mm_cvtsi32_si128(p.ushift)), u);
            const __m512i texel = _mm512_mask_i32gather_epi32(zero, write, index, p.texels, 4);
            tr = _mm512_and_si512(_mm512_srli_epi32(texel, 16), byte);
            tg = _mm512_and_si512(_mm512_srli_epi32(texel, 8), byte);
            tb = _mm512_and_si512(texel, byte);
        }
        __m512i outR = _mm512_srli_epi32(_mm512_mullo_epi32(tr, cr), 8);
        __m512i outG = _mm512_srli_epi32(_mm512_mullo_epi32(tg, cg), 8);
        __m512i outB = _mm512_srli_epi32(_mm512_mullo_epi32(tb, cb), 8);
        if constexpr (Specular) {
            outR = _mm512_min_epu32(_mm512_add_epi32(outR, _mm512_srli_epi32(Ramp(p.sr, p.dsr), 16)), byte);
            outG = _mm512_min_epu32(_mm512_add_epi32(outG, _mm512_srli_epi32(Ramp(p.sg, p.dsg), 16)), byte);
            outB = _mm512_min_epu32(_mm512_add_epi32(outB, _mm512_srli_epi32(Ramp(p.sb, p.dsb), 16)), byte);
        }
        const __m512i drb = DitherLanes(p.ditherRB, x), dg = DitherLanes(p.ditherG, x);
        const __m512i red = _mm512_slli_epi32(Field(outR, drb, 3, 31), p.rgb555 ? 10 : 11);
        const __m512i green = p.rgb555 ? _mm512_slli_epi32(Field(outG, dg, 3, 31), 5)
                                       : _mm512_slli_epi32(Field(outG, dg, 2, 63), 5);
        const __m512i pixel = _mm512_or_si512(_mm512_or_si512(red, green), Field(outB, drb, 3, 31));
        _mm256_mask_storeu_epi16(p.pixels + x, write, _mm512_maskz_cvtepi32_epi16(write, pixel));
    }
    const uint32_t steps = static_cast<uint32_t>(n);
    p.z += steps * p.dz;
    p.r += steps * p.dr;
    p.g += steps * p.dg;
    p.b += steps * p.db;
    if constexpr (Specular) {
        p.sr += steps * p.dsr;
        p.sg += steps * p.dsg;
        p.sb += steps * p.dsb;
    }
}

}  // namespace

// Declared without the target attribute, which would make it another version of itself.
template <bool Tex, bool Specular, bool ZTest, bool ZWrite>
void DrawPixelsWide(SpanPixels& p, int x, int n, uint32_t tu, uint32_t tv, uint32_t du, uint32_t dv) {
    Pixels16<Tex, Specular, ZTest, ZWrite>(p, x, n, tu, tv, du, dv);
}

#define ZELK6_SPAN(tex, specular)                                                       \
    template void DrawPixelsWide<tex, specular, false, false>(SpanPixels&, int, int, uint32_t, uint32_t, uint32_t, uint32_t); \
    template void DrawPixelsWide<tex, specular, false, true>(SpanPixels&, int, int, uint32_t, uint32_t, uint32_t, uint32_t);  \
    template void DrawPixelsWide<tex, specular, true, false>(SpanPixels&, int, int, uint32_t, uint32_t, uint32_t, uint32_t);  \
    template void DrawPixelsWide<tex, specular, true, true>(SpanPixels&, int, int, uint32_t, uint32_t, uint32_t, uint32_t);
ZELK6_SPAN(false, false)
ZELK6_SPAN(false, true)
ZELK6_SPAN(true, false)
ZELK6_SPAN(true, true)
#undef ZELK6_SPAN

}  // namespace raster

#else

namespace raster {
bool HasWideSpans() { return false; }
}  // namespace raster

#endif

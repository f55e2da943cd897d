// Preparing textures once at load time: power-of-two level 0 and the box-filtered mip chain.
#include <algorithm>

#include "platform/d3drm/raster/raster_internal.h"

namespace {

// Level 0 is at most this many texels a side: plenty for the era's textures, and it bounds the
// memory a bad file can ask for.
constexpr int kMaxLevelSide = 4096;

int PowerOfTwoAtLeast(int n) {
    int p = 1;
    while (p < n && p < kMaxLevelSide) p <<= 1;
    return p;
}

int Log2(int powerOfTwo) {
    int s = 0;
    while ((1 << s) < powerOfTwo) ++s;
    return s;
}

// Rounded average of four 0x00RRGGBB texels, channel by channel.
uint32_t Average4(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        uint32_t sum = ((a >> shift) & 0xff) + ((b >> shift) & 0xff) + ((c >> shift) & 0xff) +
                       ((d >> shift) & 0xff);
        out |= ((sum + 2) / 4) << shift;
    }
    return out;
}

}  // namespace

bool RasterBuildTexture(RasterTexture& out, const uint32_t* picture, int width, int height,
                        int pitchInTexels) {
    out.levelCount = 0;
    out.storage.clear();
    if (!picture || width < 1 || height < 1 || width > 65536 || height > 65536 ||
        pitchInTexels < width)
        return false;

    int w = PowerOfTwoAtLeast(width), h = PowerOfTwoAtLeast(height);
    int count = 1 + std::max(Log2(w), Log2(h));
    size_t total = 0;
    for (int k = 0, lw = w, lh = h; k < count; ++k, lw = std::max(1, lw / 2), lh = std::max(1, lh / 2))
        total += static_cast<size_t>(lw) * lh;
    out.storage.assign(total, 0);

    uint32_t* level0 = out.storage.data();
    for (int y = 0; y < h; ++y) {
        // Nearest texel of the picture for each texel of the resized level.
        const uint32_t* src = picture + static_cast<size_t>(static_cast<int64_t>(y) * height / h) * pitchInTexels;
        for (int x = 0; x < w; ++x)
            level0[static_cast<size_t>(y) * w + x] = src[static_cast<int64_t>(x) * width / w] & 0xffffffu;
    }

    size_t offset = 0;
    int lw = w, lh = h;
    for (int k = 0; k < count; ++k) {
        RasterTextureLevel& level = out.levels[k];
        level.width = lw;
        level.height = lh;
        level.widthShift = Log2(lw);
        level.texels = out.storage.data() + offset;
        if (k > 0) {
            const RasterTextureLevel& up = out.levels[k - 1];
            uint32_t* dst = out.storage.data() + offset;
            for (int y = 0; y < lh; ++y) {
                // A side already at 1 texel averages the same texel twice.
                int y0 = std::min(2 * y, up.height - 1), y1 = std::min(2 * y + 1, up.height - 1);
                for (int x = 0; x < lw; ++x) {
                    int x0 = std::min(2 * x, up.width - 1), x1 = std::min(2 * x + 1, up.width - 1);
                    const uint32_t* t = up.texels;
                    dst[y * lw + x] = Average4(t[y0 * up.width + x0], t[y0 * up.width + x1],
                                               t[y1 * up.width + x0], t[y1 * up.width + x1]);
                }
            }
        }
        offset += static_cast<size_t>(lw) * lh;
        lw = std::max(1, lw / 2);
        lh = std::max(1, lh / 2);
    }
    out.levelCount = count;
    return true;
}

RasterFilter RasterFilterForTextureQuality(int quality) {
    return quality >= 2 && quality <= 5 ? kRasterMipNearest : kRasterNearest;
}

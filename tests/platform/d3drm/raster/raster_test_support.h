// Helpers for the rasterizer tests: a target framed by guard bands, and vertices placed by pixel.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3drm/raster/raster.h"

namespace rastertest {

constexpr uint16_t kGuardPixel = 0xA5A5;
constexpr uint16_t kGuardDepth = 0x5A5A;
constexpr int kGuard = 8;  // guard pixels on every side (and the pitch's padding)

// A width x height target inside a larger buffer whose border must never change.
struct GuardedTarget {
    int width, height, stride;  // stride in pixels
    std::vector<uint16_t> pixels, depth;
    RasterTarget target;

    GuardedTarget(int w, int h, bool rgb555 = false, bool withDepth = true)
        : width(w), height(h), stride(w + 2 * kGuard),
          pixels(static_cast<size_t>(stride) * (h + 2 * kGuard), kGuardPixel),
          depth(static_cast<size_t>(stride) * (h + 2 * kGuard), kGuardDepth) {
        target.pixels = &pixels[static_cast<size_t>(kGuard) * stride + kGuard];
        target.pitch = stride * 2;
        target.width = w;
        target.height = h;
        target.rgb555 = rgb555;
        target.zbuffer = withDepth ? &depth[static_cast<size_t>(kGuard) * stride + kGuard] : nullptr;
        target.zpitch = stride * 2;
        Fill(0, 0xFFFF);
    }
    void Fill(uint16_t pixel, uint16_t z) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                At(x, y) = pixel;
                Z(x, y) = z;
            }
    }
    uint16_t& At(int x, int y) { return pixels[static_cast<size_t>(y + kGuard) * stride + x + kGuard]; }
    uint16_t& Z(int x, int y) { return depth[static_cast<size_t>(y + kGuard) * stride + x + kGuard]; }
    // True while no guard pixel or guard depth value has been touched.
    bool GuardsIntact() const {
        for (int y = 0; y < height + 2 * kGuard; ++y)
            for (int x = 0; x < stride; ++x) {
                bool inside = y >= kGuard && y < kGuard + height && x >= kGuard && x < kGuard + width;
                size_t i = static_cast<size_t>(y) * stride + x;
                if (!inside && (pixels[i] != kGuardPixel || depth[i] != kGuardDepth)) return false;
            }
        return true;
    }
    int Count(uint16_t pixel) {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) n += At(x, y) == pixel;
        return n;
    }
};

// A vertex that projects to pixel (px, py) of `vp` at depth z/w = depth, with clip w = w.
inline RasterVertex At(const RasterViewport& vp, double px, double py, double depth = 0.5,
                       double w = 1.0) {
    double s = RasterProjectionScale(vp);
    RasterVertex v;
    v.x = static_cast<float>((px - vp.x - vp.width / 2.0) / s * w);
    v.y = static_cast<float>(-(py - vp.y - vp.height / 2.0) / s * w);
    v.z = static_cast<float>(depth * w);
    v.w = static_cast<float>(w);
    return v;
}

inline RasterVertex Coloured(RasterVertex v, float r, float g, float b) {
    v.r = r, v.g = g, v.b = b;
    return v;
}

inline RasterState Solid(RasterShade shade = kRasterGouraud) {
    RasterState s;
    s.fill = kRasterSolid;
    s.shade = shade;
    return s;
}

}  // namespace rastertest

// A 16-bit drawing target with a guard band of sentinel pixels on every side, for GDI tests:
// anything written outside the target lands in the band and is caught.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32/gdi.h"

constexpr uint16_t kSentinel = 0xA5C3;

struct GuardedTarget {
    static constexpr int kGuard = 16;  // pixels (and rows) of band on each side
    int width, height, stride;         // stride in pixels, band included
    std::vector<uint16_t> memory;

    GuardedTarget(int w, int h)
        : width(w), height(h), stride(w + 2 * kGuard),
          memory(static_cast<size_t>(stride) * (h + 2 * kGuard), kSentinel) {}

    GdiPixelTarget Target(bool rgb555) {
        return GdiPixelTarget{&memory[static_cast<size_t>(kGuard) * stride + kGuard], width,
                              height, stride * 2, rgb555};
    }
    uint16_t At(int x, int y) const {
        return memory[static_cast<size_t>(y + kGuard) * stride + x + kGuard];
    }
    // Pixels of the band that are no longer the sentinel.
    int GuardDamage() const {
        int damaged = 0;
        for (int y = -kGuard; y < height + kGuard; y++)
            for (int x = -kGuard; x < width + kGuard; x++)
                if ((x < 0 || y < 0 || x >= width || y >= height) && At(x, y) != kSentinel) damaged++;
        return damaged;
    }
};

// The conversion the surfaces' layouts call for, written out independently of the stand-in.
inline uint16_t Expected16(int r, int g, int b, bool rgb555) {
    return rgb555 ? static_cast<uint16_t>((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3))
                  : static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}

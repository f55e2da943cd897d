// The bit-replicating 16-bit to XRGB8888 tables.
#include "platform/host/pixel_expand.h"

#include <vector>

namespace {

uint32_t Expand5(uint32_t c) { return (c << 3) | (c >> 2); }
uint32_t Expand6(uint32_t c) { return (c << 2) | (c >> 4); }

std::vector<uint32_t> Build(bool rgb555) {
    std::vector<uint32_t> table(65536);
    for (uint32_t p = 0; p < 65536; p++) {
        table[p] = rgb555 ? (Expand5((p >> 10) & 31) << 16) | (Expand5((p >> 5) & 31) << 8) | Expand5(p & 31)
                          : (Expand5(p >> 11) << 16) | (Expand6((p >> 5) & 63) << 8) | Expand5(p & 31);
    }
    return table;
}

}  // namespace

const uint32_t* PixelExpandTable(bool rgb555) {
    static const std::vector<uint32_t> table565 = Build(false);
    static const std::vector<uint32_t> table555 = Build(true);
    return rgb555 ? table555.data() : table565.data();
}

// Packing 8-bit channels into 5-6-5 / 5-5-5 pixels, with the 4x4 ordered dither.
#include <array>

#include "platform/d3drm/raster/raster_internal.h"

namespace raster {
namespace {

// 0..255 plus a dither offset of up to 7 (and a specular overflow already clamped) -> field bits.
constexpr PackTables MakeTables(bool rgb555) {
    PackTables t{};
    for (int i = 0; i < 264; ++i) {
        int five = i >> 3 < 31 ? i >> 3 : 31;
        int six = i >> 2 < 63 ? i >> 2 : 63;
        t.red[i] = static_cast<uint16_t>(five << (rgb555 ? 10 : 11));
        t.green[i] = static_cast<uint16_t>(rgb555 ? five << 5 : six << 5);
        t.blue[i] = static_cast<uint16_t>(five);
    }
    return t;
}

constexpr PackTables kTables565 = MakeTables(false);
constexpr PackTables kTables555 = MakeTables(true);

// The classic 4x4 Bayer matrix, thresholds 0..15.
constexpr uint8_t kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

constexpr Dither MakeDither(bool dither, bool rgb555) {
    Dither d{};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            int t = dither ? kBayer[y][x] : 0;
            d.rb[y][x] = static_cast<uint8_t>(t >> 1);                  // 0..7: the 3 dropped bits
            d.g[y][x] = static_cast<uint8_t>(rgb555 ? t >> 1 : t >> 2);  // 0..3 for 2 dropped bits
        }
    return d;
}

constexpr Dither kNoDither = MakeDither(false, false);
constexpr Dither kDither565 = MakeDither(true, false);
constexpr Dither kDither555 = MakeDither(true, true);

}  // namespace

const PackTables& PackTablesFor(bool rgb555) { return rgb555 ? kTables555 : kTables565; }

const Dither& DitherFor(bool dither, bool rgb555) {
    return !dither ? kNoDither : rgb555 ? kDither555 : kDither565;
}

}  // namespace raster

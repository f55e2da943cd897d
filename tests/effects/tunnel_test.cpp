// The tunnel: warp entries at t = 0, the untouched odd rows, the 16-bit texture offset, and
// the per-column form against the plain term-by-term form.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "effects/effects.h"
#include "effects/reference.h"
#include "effects/tables.h"
#include "effects/tunnel_wide.h"
#include "tests/effects/effect_screen.h"

namespace {

// A texture in which every texel differs from its neighbours in both directions.
void FillDistinctTexture() {
    for (uint32_t k = 0; k < 65536; k++) TextureRgb16[k] = static_cast<WORD>((k * 2654435761u) >> 16);
}

TEST(Tunnel, WarpEntriesAndTexelsAtTimeZero) {
    BuildLookupTables();
    FillDistinctTexture();
    EffectScreen screen;
    DrawTunnel(screen.Pixels(), 0.0f);
    EXPECT_EQ(WarpMap[0], (47 << 8) | 0);
    EXPECT_EQ(WarpMap[1], (46 << 8) | 1);
    EXPECT_EQ(WarpMap[320], (48 << 8) | 1);
    // offset 0: each entry is the texel's index; each texel fills two pixels
    EXPECT_EQ(screen.At(0, 0), TextureRgb16[47 << 8]);
    EXPECT_EQ(screen.At(1, 0), TextureRgb16[47 << 8]);
    EXPECT_EQ(screen.At(2, 0), TextureRgb16[(46 << 8) | 1]);
    EXPECT_EQ(screen.At(0, 2), TextureRgb16[(48 << 8) | 1]);
}

TEST(Tunnel, OffsetIsOneSixteenBitAddWithCarry) {
    BuildLookupTables();
    FillDistinctTexture();
    EffectScreen screen;
    DrawTunnel(screen.Pixels(), 1.0f);  // offset 0x0F06
    int carried = 0;
    for (int r = 0; r < 240; r++) {
        for (int n = 0; n < 320; n++) {
            WORD entry = WarpMap[r * 320 + n];
            ASSERT_EQ(screen.At(2 * n, 2 * r), TextureRgb16[static_cast<WORD>(entry + 0x0F06)]);
            if ((entry & 0xFF) >= 0xFA) carried++;  // the column byte runs over into the row byte
        }
    }
    EXPECT_GT(carried, 0);
    DrawTunnel(screen.Pixels(), 255.0f);  // offset 3846 x 255 wraps at 65536
    EXPECT_EQ(screen.At(0, 0), TextureRgb16[static_cast<WORD>(WarpMap[0] + (3846 * 255) % 65536)]);
}

TEST(Tunnel, OddRowsAndPaddingAreLeftAlone) {
    BuildLookupTables();
    FillDistinctTexture();
    EffectScreen screen(1408, 0x1234);
    DrawTunnel(screen.Pixels(), 17.0f);
    for (int y = 0; y < 480; y++) {
        for (int x = 640; x < 704; x++) ASSERT_EQ(screen.At(x, y), 0x1234) << "padding " << x << "," << y;
        if (y % 2 == 0) continue;
        for (int x = 0; x < 640; x++) ASSERT_EQ(screen.At(x, y), 0x1234) << x << "," << y;
    }
}

TEST(Tunnel, PerColumnFormMatchesPlainForm) {
    BuildLookupTables();
    FillDistinctTexture();
    const float times[] = {0.0f, 0.99f, 1.0f, 2.0f, 33.3f, 170.0f, 299.97f, 300.0f, 1.2884902e8f};
    for (float t : times) {
        EffectScreen plain(1408), fast(1408);
        DrawTunnelReference(plain.Pixels(), t);
        std::vector<WORD> plainWarp(WarpMap, WarpMap + 320 * 240);
        std::memset(WarpMap, 0, sizeof WarpMap);
        DrawTunnel(fast.Pixels(), t);
        EXPECT_TRUE(SameScreen(plain, fast)) << "t " << t;
        EXPECT_EQ(std::memcmp(plainWarp.data(), WarpMap, sizeof WarpMap), 0) << "t " << t;
    }
    EffectScreen whole(1280), fraction(1280);  // t in [k, k + 1) is the picture of t = k
    DrawTunnel(whole.Pixels(), 12.0f);
    DrawTunnel(fraction.Pixels(), 12.75f);
    EXPECT_TRUE(SameScreen(whole, fraction));
}

// The gathering form against the plain lookup for addresses at both ends of the texture,
// odd and even, with offsets that wrap past 65535.
TEST(Tunnel, WideTexelRowMatchesPlainLookup) {
    if (!HasWideTunnel()) GTEST_SKIP() << "this processor has no 16-lane gathers";
    FillDistinctTexture();
    WORD warp[320];
    for (int n = 0; n < 320; n++) warp[n] = static_cast<WORD>(n < 160 ? 0xFFFF - n : n * 2654435761u >> 16);
    for (WORD offset : {0, 1, 0x0F06, 0x8001, 0xFFFF}) {
        WORD row[640 + 8];
        for (WORD& w : row) w = 0xBEEF;
        WriteTexelRowWide(row, warp, offset);
        for (int n = 0; n < 320; n++) {
            const WORD texel = TextureRgb16[static_cast<WORD>(warp[n] + offset)];
            ASSERT_EQ(row[2 * n], texel) << "n " << n << " offset " << offset;
            ASSERT_EQ(row[2 * n + 1], texel) << "n " << n << " offset " << offset;
        }
        for (int x = 640; x < 648; x++) ASSERT_EQ(row[x], 0xBEEF);
    }
}

}  // namespace

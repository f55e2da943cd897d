// The wave edge: where the edge falls, the two colours, and the fast fill against the plain
// per-pixel form.
#include <gtest/gtest.h>

#include "display/display.h"
#include "effects/effects.h"
#include "effects/reference.h"
#include "effects/tables.h"
#include "tests/effects/effect_screen.h"

namespace {

// The first coloured column of row y, checking the row is black before it and coloured from it.
int FirstColouredColumn(const EffectScreen& screen, int y, WORD colour) {
    int x = 0;
    while (x < 640 && screen.At(x, y) == 0) x++;
    for (int rest = x; rest < 640; rest++) {
        if (screen.At(rest, y) != colour) return -1;
    }
    return x;
}

TEST(WaveEdge, EdgeColumnsAtTimeZeroAndOne) {
    BuildLookupTables();
    for (int rgb555 : {0, 1}) {
        IsRgb555 = rgb555;
        const WORD colour = rgb555 ? 0x0C87 : 0x1907;
        EXPECT_EQ(EdgeColour(), colour);
        EffectScreen screen;
        DrawWaveEdge(screen.Pixels(), 0.0f);
        EXPECT_EQ(FirstColouredColumn(screen, 0, colour), 293);
        EXPECT_EQ(FirstColouredColumn(screen, 1, colour), 291);
        EXPECT_EQ(FirstColouredColumn(screen, 479, colour), 340);
        for (int y = 0; y < 480; y++) {
            int edge = FirstColouredColumn(screen, y, colour);
            EXPECT_GE(edge, 270) << "row " << y;
            EXPECT_LE(edge, 370) << "row " << y;
        }
        DrawWaveEdge(screen.Pixels(), 1.0f);
        EXPECT_EQ(FirstColouredColumn(screen, 0, colour), 297);
        DrawWaveEdge(screen.Pixels(), 1.999f);  // t in [1, 2) is the picture of t = 1
        EXPECT_EQ(FirstColouredColumn(screen, 0, colour), 297);
    }
}

// Both forms write every pixel of every row and nothing in the padding past column 639;
// the buffers start with different contents, so any pixel left unwritten shows.
TEST(WaveEdge, FastFillMatchesPlainFormWithWidePitch) {
    BuildLookupTables();
    const float times[] = {0.0f, 0.5f, 1.0f, 7.3f, 42.0f, 150.9f, 299.97f, 300.0f, 1.2884902e8f};
    for (int rgb555 : {0, 1}) {
        IsRgb555 = rgb555;
        for (float t : times) {
            EffectScreen plain(1408, 0x1111), fast(1408, 0x1111), other(1408, 0x2222);
            DrawWaveEdgeReference(plain.Pixels(), t);
            DrawWaveEdge(fast.Pixels(), t);
            DrawWaveEdge(other.Pixels(), t);
            EXPECT_TRUE(SameScreen(plain, fast)) << "t " << t << " 555 " << rgb555;
            for (int y = 0; y < 480; y++) {
                for (int x = 0; x < 640; x++) ASSERT_EQ(fast.At(x, y), other.At(x, y)) << x << "," << y;
                for (int x = 640; x < 704; x++) ASSERT_EQ(fast.At(x, y), 0x1111) << "padding " << x << "," << y;
            }
        }
    }
}

}  // namespace

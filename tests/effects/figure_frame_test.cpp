// The wire figure's palettes in both pixel formats and the colouring step's three forms.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "display/display.h"
#include "effects/effects.h"
#include "effects/figure_composite.h"
#include "effects/reference.h"
#include "effects/tables.h"
#include "tests/effects/effect_screen.h"

namespace {

TEST(FigurePalettes, EntriesAtTimeZeroIn555) {
    IsRgb555 = 1;
    BuildFigurePalettes(0);
    const WORD start[5] = {0x01E0, 0x01E0, 0x01E1, 0x01E1, 0x05C2};
    for (int k = 0; k < 5; k++) EXPECT_EQ(PlasmaPalette[k], start[k]) << "entry " << k;
    EXPECT_EQ(PlasmaPalette[64], 0x3C1F);
    EXPECT_EQ(PlasmaPalette[128], 0x7DE0);
    EXPECT_EQ(PlasmaPalette[192], 0x3C1F);
    EXPECT_EQ(ShadowPalette[0], 0x00E0);
    EXPECT_EQ(ShadowPalette[64], 0x1C0F);
    EXPECT_EQ(ShadowPalette[128], 0x3CE0);
    for (int k = 0; k < 256; k++) {
        EXPECT_TRUE(FigurePalette[k] & 0x8000) << "entry " << k;
        EXPECT_EQ(FigurePalette[k], PlasmaPalette[k] ^ 0xFFFF) << "entry " << k;
    }
}

TEST(FigurePalettes, EntriesAtTimeZeroIn565) {
    IsRgb555 = 0;
    BuildFigurePalettes(0);
    EXPECT_EQ(PlasmaPalette[0], 0x03C0);
    EXPECT_EQ(PlasmaPalette[64], 0x781F);
    EXPECT_EQ(PlasmaPalette[128], 0xFBC0);
    EXPECT_EQ(PlasmaPalette[192], 0x781F);
    EXPECT_EQ(ShadowPalette[0], 0x01C0);
    EXPECT_EQ(ShadowPalette[64], 0x380F);
    EXPECT_EQ(ShadowPalette[128], 0x79C0);
    EXPECT_EQ(FigurePalette[0], 0xFC3F);
    for (int k = 0; k < 256; k++) {
        EXPECT_TRUE(FigurePalette[k] & 0x0020) << "entry " << k;   // the lowest green bit
        EXPECT_FALSE(PlasmaPalette[k] & 0x0020) << "entry " << k;
        EXPECT_FALSE(ShadowPalette[k] & 0x0020) << "entry " << k;
    }
}

// Each step of t moves the cycle 5 entries; t = 52 starts it at 260 = index 4, and every
// call rewrites all 256 entries of all three palettes.
TEST(FigurePalettes, StartIndexAdvancesFivePerStepAndWraps) {
    for (int rgb555 : {0, 1}) {
        IsRgb555 = rgb555;
        BuildFigurePalettes(0);
        std::vector<WORD> plasma(PlasmaPalette, PlasmaPalette + 256), shadow(ShadowPalette, ShadowPalette + 256);
        std::memset(PlasmaPalette, 0x33, sizeof PlasmaPalette);
        std::memset(FigurePalette, 0x33, sizeof FigurePalette);
        std::memset(ShadowPalette, 0x33, sizeof ShadowPalette);
        BuildFigurePalettes(52);
        for (int k = 0; k < 256; k++) {
            EXPECT_EQ(PlasmaPalette[(k + 4) % 256], plasma[k]) << "entry " << k;
            EXPECT_EQ(ShadowPalette[(k + 4) % 256], shadow[k]) << "entry " << k;
            EXPECT_EQ(FigurePalette[(k + 4) % 256], plasma[k] ^ 0xFFFF) << "entry " << k;
        }
    }
}

// Every canvas value, every plasma index and distinct colours in all three palettes, so each
// half of each byte table of the wide form is exercised.
void FillTestCanvasAndPalettes() {
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int i = 0; i < 640 * 480; i++) {
        uint32_t r = next() >> 24;
        PlasmaMap[i] = static_cast<BYTE>(next() >> 24);
        FigureCanvas[i] = (i / 640) % 3 == 0 ? 0 : r < 128 ? 0 : r < 192 ? 0xFF : static_cast<BYTE>(r);
    }
    for (int k = 0; k < 256; k++) {
        PlasmaPalette[k] = static_cast<WORD>(next() >> 16);
        FigurePalette[k] = static_cast<WORD>(next() >> 16);
        ShadowPalette[k] = static_cast<WORD>(next() >> 16);
    }
}

TEST(FigureComposite, PortableAndWideFormsMatchPlainForm) {
    FillTestCanvasAndPalettes();
    EffectScreen plain(1408), portable(1408), wide(1408);
    ComposeFigureFrameReference(plain.Pixels());
    ComposeFigureFramePortable(portable.Pixels());
    EXPECT_TRUE(SameScreen(plain, portable));
    if (!HasWideComposite()) GTEST_SKIP() << "this processor has no 64-byte permutes";
    ComposeFigureFrameWide(wide.Pixels());
    EXPECT_TRUE(SameScreen(plain, wide));
}

TEST(FigureComposite, PixelsFollowTheCanvasByte) {
    FillTestCanvasAndPalettes();
    EffectScreen screen(1280);
    ComposeFigureFrameReference(screen.Pixels());
    for (int i = 0; i < 640 * 480; i++) {
        BYTE c = FigureCanvas[i], p = PlasmaMap[i];
        WORD expected = c == 0xFF ? FigurePalette[p] : c ? ShadowPalette[p] : PlasmaPalette[p];
        ASSERT_EQ(screen.At(i % 640, i / 640), expected) << "pixel " << i << " canvas " << int(c);
    }
}

// The whole frame through whichever form this processor takes, against the plain steps.
TEST(FigureFrame, WholeFrameMatchesPlainStepsInBothFormats) {
    BuildLookupTables();
    const float times[] = {0.0f, 1.5f, 52.0f, 52.9f, 123.4f, 299.97f, 300.0f, 1.2884902e8f};
    for (int rgb555 : {0, 1}) {
        IsRgb555 = rgb555;
        for (float t : times) {
            EffectScreen frame(1408, 0x1111), plain(1408, 0x1111);
            DrawFigureFrame(frame.Pixels(), t);
            DrawWireFigure(t);
            BuildFigurePalettes(static_cast<int>(t));
            ComposeFigureFrameReference(plain.Pixels());
            EXPECT_TRUE(SameScreen(plain, frame)) << "t " << t << " 555 " << rgb555;
            EXPECT_NE(frame.At(0, 0), 0x1111);
            EXPECT_EQ(frame.At(640, 0), 0x1111);  // padding past column 639 untouched
        }
    }
}

TEST(FigureFrame, FigureShowsInvertedPlasmaAtTimeZero) {
    BuildLookupTables();
    IsRgb555 = 1;
    EffectScreen screen;
    DrawFigureFrame(screen.Pixels(), 0.0f);
    // (320, 240) lies under the figure, (335, 405) under the shadow only, (0, 0) under neither
    EXPECT_EQ(screen.At(320, 240), PlasmaPalette[PlasmaMap[240 * 640 + 320]] ^ 0xFFFF);
    EXPECT_EQ(screen.At(335, 405), ShadowPalette[PlasmaMap[405 * 640 + 335]]);
    EXPECT_EQ(screen.At(0, 0), PlasmaPalette[150]);
}

}  // namespace

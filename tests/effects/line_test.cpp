// The line rasteriser's stamps and bounds, and the wire figure at t = 0 and over time.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "effects/effects.h"
#include "effects/reference.h"
#include "effects/tables.h"

namespace {

using Stamps = std::vector<std::pair<int, int>>;

// The canvas the given top-left stamp positions make in solid mode.
std::vector<BYTE> CanvasOf(const Stamps& stamps) {
    std::vector<BYTE> canvas(640 * 480, 0);
    for (auto [x, y] : stamps)
        for (int row = y; row < y + 4; row++) std::memset(&canvas[row * 640 + x], 0xFF, 8);
    return canvas;
}

::testing::AssertionResult CanvasIs(const std::vector<BYTE>& expected) {
    for (int i = 0; i < 640 * 480; i++) {
        if (FigureCanvas[i] != expected[i])
            return ::testing::AssertionFailure() << "first difference at column " << i % 640 << " row " << i / 640
                                                 << ": expected " << int(expected[i]) << ", got " << int(FigureCanvas[i]);
    }
    return ::testing::AssertionSuccess();
}

void ClearCanvas() { std::memset(FigureCanvas, 0, sizeof FigureCanvas); }

TEST(CanvasLine, HorizontalLinesStampFromStartToBeforeEnd) {
    ClearCanvas();
    DrawCanvasLine(10, 10, 20, 10, 0);
    Stamps forward;
    for (int x = 10; x <= 19; x++) forward.push_back({x, 10});
    EXPECT_TRUE(CanvasIs(CanvasOf(forward)));  // columns 10..26 of rows 10..13

    ClearCanvas();
    DrawCanvasLine(20, 10, 10, 10, 0);
    Stamps backward;
    for (int x = 20; x >= 11; x--) backward.push_back({x, 10});
    EXPECT_TRUE(CanvasIs(CanvasOf(backward)));

    ClearCanvas();
    DrawCanvasLine(5, 5, 5, 5, 0);  // coinciding ends draw nothing
    EXPECT_TRUE(CanvasIs(CanvasOf({})));
}

TEST(CanvasLine, MinorAxisRoundsTowardMinusInfinity) {
    ClearCanvas();
    DrawCanvasLine(0, 5, 3, 4, 0);
    EXPECT_TRUE(CanvasIs(CanvasOf({{0, 5}, {1, 4}, {2, 4}})));
    ClearCanvas();
    DrawCanvasLine(0, 4, 3, 5, 0);  // the mirror image does not stamp mirrored pixels
    EXPECT_TRUE(CanvasIs(CanvasOf({{0, 4}, {1, 4}, {2, 4}})));
    ClearCanvas();
    DrawCanvasLine(50, 40, 51, 46, 0);  // y major: x steps 1/6 of a pixel
    EXPECT_TRUE(CanvasIs(CanvasOf({{50, 40}, {50, 41}, {50, 42}, {50, 43}, {50, 44}, {50, 45}})));
}

TEST(CanvasLine, FortyFiveDegreesTakesXAsMajorAxis) {
    ClearCanvas();
    DrawCanvasLine(100, 100, 104, 104, 0);
    EXPECT_TRUE(CanvasIs(CanvasOf({{100, 100}, {101, 101}, {102, 102}, {103, 103}})));
    ClearCanvas();
    DrawCanvasLine(104, 100, 100, 104, 0);
    EXPECT_TRUE(CanvasIs(CanvasOf({{104, 100}, {103, 101}, {102, 102}, {101, 103}})));
}

// A stamp's top-left pixel must lie in 0..631 x 0..475: nothing is written past the end of a
// row (which would land in the next row's first columns) or below row 479; the line goes on.
TEST(CanvasLine, StampsOutsideTheBoundsAreSkippedOneByOne) {
    ClearCanvas();
    DrawCanvasLine(628, 100, 640, 100, 0);  // stamps at 628..639, only 628..631 fit
    EXPECT_TRUE(CanvasIs(CanvasOf({{628, 100}, {629, 100}, {630, 100}, {631, 100}})));

    ClearCanvas();
    DrawCanvasLine(100, 470, 100, 480, 0);  // rows 470..479, only 470..475 fit; row 478 is the last written
    EXPECT_TRUE(CanvasIs(CanvasOf({{100, 470}, {100, 471}, {100, 472}, {100, 473}, {100, 474}, {100, 475}})));

    ClearCanvas();
    DrawCanvasLine(-3, 20, 3, 20, 0);  // x < 0 skipped, the rest drawn
    EXPECT_TRUE(CanvasIs(CanvasOf({{0, 20}, {1, 20}, {2, 20}})));

    ClearCanvas();
    DrawCanvasLine(200, -5, 200, 2, 0);
    EXPECT_TRUE(CanvasIs(CanvasOf({{200, 0}, {200, 1}})));

    ClearCanvas();
    DrawCanvasLine(700, -100, 900, -300, 0);  // wholly off the canvas
    DrawCanvasLine(-900, 600, 1500, 600, 1);
    EXPECT_TRUE(CanvasIs(CanvasOf({})));
}

TEST(CanvasLine, ShadowOnlySetsTheLowestBit) {
    ClearCanvas();
    DrawCanvasLine(10, 10, 12, 10, 0);
    DrawCanvasLine(14, 10, 20, 10, 1);  // overlaps the solid stamps at columns 14..18
    EXPECT_EQ(FigureCanvas[10 * 640 + 13], 0xFF);
    EXPECT_EQ(FigureCanvas[10 * 640 + 18], 0xFF);
    EXPECT_EQ(FigureCanvas[10 * 640 + 19], 0x01);
    EXPECT_EQ(FigureCanvas[13 * 640 + 26], 0x01);
    EXPECT_EQ(FigureCanvas[13 * 640 + 27], 0x00);
    std::vector<BYTE> shadowFirst(FigureCanvas, FigureCanvas + 640 * 480);
    ClearCanvas();
    DrawCanvasLine(14, 10, 20, 10, 7);  // any non-zero mode is shadow; order does not matter
    DrawCanvasLine(10, 10, 12, 10, 0);
    EXPECT_TRUE(CanvasIs(shadowFirst));
}

TEST(WireFigure, StarOfTenDiametersAtTimeZero) {
    std::memset(FigureCanvas, 0x77, sizeof FigureCanvas);  // the call clears it first
    DrawWireFigure(0.0f);
    auto at = [](int x, int y) { return FigureCanvas[y * 640 + x]; };
    // first line (320, 390) -> (320, 90), 300 stamps at rows 390 down to 91
    EXPECT_EQ(at(320, 393), 0xFF);
    EXPECT_EQ(at(327, 91), 0xFF);
    EXPECT_EQ(at(320, 90), 0x00);  // its end point is not stamped, and no sixth pass draws it
    EXPECT_EQ(at(320, 394), 0x00);
    // third line (408, 361) -> (232, 119), y major, 242 stamps
    EXPECT_EQ(at(408, 361), 0xFF);
    EXPECT_EQ(at(415, 364), 0xFF);
    EXPECT_NE(at(416, 361), 0xFF);  // past its stamp; a shadow line may cross here
    // the shadow copy 15 pixels right and down: (335, 405) -> (335, 105)
    EXPECT_EQ(at(335, 405), 0x01);
    EXPECT_EQ(at(342, 408), 0x01);
    EXPECT_EQ(at(335, 409), 0x00);
    EXPECT_EQ(at(320, 240), 0xFF);  // every diameter passes the centre
    for (BYTE b : FigureCanvas) ASSERT_TRUE(b == 0 || b == 0x01 || b == 0xFF) << int(b);
}

// The figure is clipped vertically for many t but never horizontally: stamps start between
// columns 70 and 585, so nothing lies left of 70 or right of 592.
TEST(WireFigure, StaysWithinItsColumnsOverTheSegment) {
    for (int step = 0; step <= 300 * 4; step++) {
        float t = step * 0.25f;
        DrawWireFigure(t);
        for (int y = 0; y < 480; y++) {
            for (int x = 0; x < 70; x++) ASSERT_EQ(FigureCanvas[y * 640 + x], 0) << "t " << t << " at " << x << "," << y;
            for (int x = 593; x < 640; x++) ASSERT_EQ(FigureCanvas[y * 640 + x], 0) << "t " << t << " at " << x << "," << y;
        }
    }
}

// Shadows first with plain stores, then the solid lines, gives the canvas of the twenty lines
// drawn chord by chord through DrawCanvasLine.
TEST(WireFigure, ShadowsFirstGivesTheCanvasOfTheDesignedOrder) {
    std::vector<BYTE> expected(640 * 480);
    for (int step = 0; step <= 300; step++) {
        const float t = step * 1.37f;
        DrawWireFigureReference(t);
        std::memcpy(expected.data(), FigureCanvas, expected.size());
        std::memset(FigureCanvas, 0x55, sizeof FigureCanvas);
        DrawWireFigure(t);
        ASSERT_TRUE(CanvasIs(expected)) << "t " << t;
    }
}

}  // namespace

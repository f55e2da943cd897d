// The built-in pictures and texture: sizes the show relies on, transparency only where an
// overlay means it, text where the segments cut it out, a texture that tiles.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "tests/tools/showdata_files.h"

namespace {

using showdata_test::DataPath;
using showdata_test::Picture;
using showdata_test::Pixel;
using showdata_test::ReadPicture;

struct Rect {
    int left, top, right, bottom;
};

int CountIf(const Picture& p, Rect r, bool (*test)(const Pixel&)) {
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) count += test(p.At(x, y));
    return count;
}

bool IsBright(const Pixel& p) { return p.Max() >= 200; }
bool IsBlack(const Pixel& p) { return p.Black(); }

TEST(ShowDataPictures, EveryPictureIsA24BitBmpOfTheSizeItsSegmentUses) {
    const struct {
        const char* name;
        int minWidth, minHeight;
        bool exact;
    } cases[] = {
        {"images/load.bmp", 640, 480, true},   {"images/zuzuv.bmp", 640, 480, true},
        {"images/sau.bmp", 640, 480, true},    {"images/life.bmp", 614, 480, false},
        {"images/chain.bmp", 630, 480, false}, {"images/1.bmp", 1024, 110, true},
        {"images/2.bmp", 1024, 110, true},     {"images/3.bmp", 1024, 110, true},
        {"textures/ball.bmp", 64, 64, true},   {"textures/tiles.bmp", 64, 64, true},
        {"textures/moon.bmp", 64, 64, true},   {"textures/floor.bmp", 128, 128, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Picture p = ReadPicture(DataPath(c.name));
        ASSERT_EQ(p.error, "");
        if (c.exact) {
            EXPECT_EQ(p.width, c.minWidth);
            EXPECT_EQ(p.height, c.minHeight);
        } else {
            EXPECT_GE(p.width, c.minWidth);
            EXPECT_GE(p.height, c.minHeight);
        }
    }
}

// The wave overlay and the chain are blitted with black as the key: any other colour must stay
// non-zero after the reduction to 16 bits, or it would turn into a hole.
TEST(ShowDataPictures, OverlaysAreBlackExactlyWhereTheyAreTransparent) {
    for (const char* name : {"images/zuzuv.bmp", "images/chain.bmp"}) {
        SCOPED_TRACE(name);
        Picture p = ReadPicture(DataPath(name));
        ASSERT_EQ(p.error, "");
        int transparent = 0, opaque = 0;
        for (const Pixel& pixel : p.pixels) {
            if (pixel.Black()) {
                ++transparent;
                continue;
            }
            ++opaque;
            EXPECT_FALSE(pixel.BlackIn16Bits()) << int(pixel.r) << "," << int(pixel.g) << "," << int(pixel.b);
            if (pixel.BlackIn16Bits()) break;
        }
        EXPECT_GT(transparent, static_cast<int>(p.pixels.size()) / 2) << "the effect below must show";
        EXPECT_GT(opaque, 5000) << "the overlay must show something";
    }

    // The chain lies inside the part the baller blit takes, round an open middle.
    Picture chain = ReadPicture(DataPath("images/chain.bmp"));
    ASSERT_EQ(chain.error, "");
    EXPECT_EQ(CountIf(chain, {0, 0, chain.width, 10}, IsBlack), chain.width * 10);
    EXPECT_EQ(CountIf(chain, {630, 0, chain.width, chain.height}, IsBlack), (chain.width - 630) * chain.height);
    EXPECT_EQ(CountIf(chain, {80, 90, 550, 400}, IsBlack), 470 * 310);
    for (Rect side : {Rect{0, 10, 630, 70}, Rect{0, 420, 630, 480}, Rect{0, 10, 60, 480}, Rect{570, 10, 630, 480}})
        EXPECT_LT(CountIf(chain, side, IsBlack), (side.right - side.left) * (side.bottom - side.top) * 9 / 10);
}

// Pictures blitted whole have no use for the key colour: pure black in them would read as a
// hole if a later blit ever keyed them, and means nothing else.
TEST(ShowDataPictures, OpaquePicturesHaveNoPureBlack) {
    for (const char* name : {"images/load.bmp", "images/sau.bmp", "images/life.bmp", "images/1.bmp", "images/2.bmp",
                             "images/3.bmp"}) {
        SCOPED_TRACE(name);
        Picture p = ReadPicture(DataPath(name));
        ASSERT_EQ(p.error, "");
        EXPECT_EQ(CountIf(p, {0, 0, p.width, p.height}, IsBlack), 0);
    }
}

// White and dark grey loading lines are drawn at y = 0, 15, 30 from the left edge.
TEST(ShowDataPictures, LoadingLinesSitOnADarkEvenCorner) {
    Picture p = ReadPicture(DataPath("images/load.bmp"));
    ASSERT_EQ(p.error, "");
    int low[3] = {255, 255, 255}, high[3] = {0, 0, 0};
    for (int y = 0; y < 45; ++y)
        for (int x = 0; x < 200; ++x) {
            const Pixel& pixel = p.At(x, y);
            const int channels[3] = {pixel.r, pixel.g, pixel.b};
            for (int c = 0; c < 3; ++c) {
                low[c] = std::min(low[c], channels[c]);
                high[c] = std::max(high[c], channels[c]);
            }
        }
    for (int c = 0; c < 3; ++c) {
        EXPECT_LE(high[c], 48) << "channel " << c << " too bright for grey (63) text";
        EXPECT_LE(high[c] - low[c], 12) << "channel " << c << " too busy under the text";
    }
    // ... while the rest of the picture is more than a dark field.
    EXPECT_GT(CountIf(p, {0, 0, 640, 480}, IsBright), 20000);
}

// The tunnel cuts a strip and three captions out of life.bmp at fixed rectangles; each must be
// filled by its own panel with readable (bright) text, not the picture's plain ground.
TEST(ShowDataPictures, TunnelPiecesLieInTheRectanglesTheSegmentCuts) {
    Picture p = ReadPicture(DataPath("images/life.bmp"));
    ASSERT_EQ(p.error, "");
    const Pixel ground = p.At(639, 0);  // outside every piece
    const Rect pieces[] = {{0, 440, 400, 480}, {180, 210, 400, 300}, {0, 307, 614, 357}, {50, 115, 560, 180}};
    for (const Rect& r : pieces) {
        SCOPED_TRACE(testing::Message() << r.left << "," << r.top << "," << r.right << "," << r.bottom);
        const int area = (r.right - r.left) * (r.bottom - r.top);
        for (auto [x, y] : {std::pair{r.left, r.top}, {r.right - 1, r.top}, {r.left, r.bottom - 1},
                            {r.right - 1, r.bottom - 1}}) {
            const Pixel& corner = p.At(x, y);
            EXPECT_FALSE(corner.r == ground.r && corner.g == ground.g && corner.b == ground.b) << x << "," << y;
        }
        const int bright = CountIf(p, r, IsBright);
        EXPECT_GT(bright, area / 20);
        EXPECT_LT(bright, area * 3 / 4);
    }
}

TEST(ShowDataPictures, ScrollerStripsCarryDifferentText) {
    std::set<std::vector<uint8_t>> seen;
    for (const char* name : {"images/1.bmp", "images/2.bmp", "images/3.bmp"}) {
        SCOPED_TRACE(name);
        Picture p = ReadPicture(DataPath(name));
        ASSERT_EQ(p.error, "");
        // Text across most of the strip's length, so every pass has something to show.
        int columnsWithText = 0;
        for (int x = 0; x < p.width; ++x) columnsWithText += CountIf(p, {x, 0, x + 1, p.height}, IsBright) > 0;
        EXPECT_GT(columnsWithText, p.width / 2);
        EXPECT_TRUE(seen.insert(showdata_test::ReadBytes(DataPath(name))).second) << "same as an earlier strip";
    }
}

// Texels (x, y) and the tunnel wraps u and v by masking with 255: the step across each edge
// must look like any step inside.
TEST(ShowDataPictures, TunnelTextureIs256By256RgbAndTilesSeamlessly) {
    const std::vector<uint8_t> t = showdata_test::ReadBytes(DataPath("images/screen1tex.raw"));
    ASSERT_EQ(t.size(), 196608u);
    auto texel = [&](int x, int y, int c) { return static_cast<int>(t[(y * 256 + x) * 3 + c]); };
    auto rowStep = [&](int y0, int y1) {
        long sum = 0;
        for (int x = 0; x < 256; ++x)
            for (int c = 0; c < 3; ++c) sum += std::abs(texel(x, y0, c) - texel(x, y1, c));
        return sum;
    };
    auto columnStep = [&](int x0, int x1) {
        long sum = 0;
        for (int y = 0; y < 256; ++y)
            for (int c = 0; c < 3; ++c) sum += std::abs(texel(x0, y, c) - texel(x1, y, c));
        return sum;
    };
    long largestRowStep = 0, largestColumnStep = 0;
    for (int i = 0; i + 1 < 256; ++i) {
        largestRowStep = std::max(largestRowStep, rowStep(i, i + 1));
        largestColumnStep = std::max(largestColumnStep, columnStep(i, i + 1));
    }
    EXPECT_LE(rowStep(255, 0), largestRowStep);
    EXPECT_LE(columnStep(255, 0), largestColumnStep);
    std::set<int> reds;
    for (int i = 0; i < 65536; ++i) reds.insert(t[i * 3]);
    EXPECT_GT(reds.size(), 64u) << "a texture, not a flat fill";
}

}  // namespace

// An RGB picture in memory and the few drawing operations the show-data pictures are made of.
#pragma once

#include <cstdint>
#include <vector>

namespace showdata {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// Pure black: the one colour the show's keyed blits leave out. Only pictures that are laid
// over something else use it, and only where that something should show through.
inline constexpr Rgb kTransparent{0, 0, 0};

// Row-major, top row first, width x height pixels.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;
};

struct Rect {
    int left, top, right, bottom;  // right and bottom exclusive
};

Image MakeImage(int width, int height, Rgb fill);
// Writes one pixel; coordinates outside the picture are ignored.
void PutPixel(Image& image, int x, int y, Rgb colour);
Rgb GetPixel(const Image& image, int x, int y);
void FillRect(Image& image, Rect rect, Rgb colour);
// Top row `top`, bottom row `bottom`, linear in between.
void FillGradient(Image& image, Rect rect, Rgb top, Rgb bottom);
void FrameRect(Image& image, Rect rect, int thickness, Rgb colour);
// A filled ellipse centred at (cx, cy) with radii rx, ry.
void FillEllipse(Image& image, int cx, int cy, int rx, int ry, Rgb colour);

// a + (b - a) * num / den per channel, num in 0..den.
Rgb Mix(Rgb a, Rgb b, int num, int den);
// The same colour, with channels scaled by percent (clamped to 255).
Rgb Shade(Rgb colour, int percent);

// The generators' own pseudo-random sequence: the same numbers on every machine and run.
struct Random {
    uint32_t state;
    // 0 .. limit-1
    int Next(int limit);
};

}  // namespace showdata

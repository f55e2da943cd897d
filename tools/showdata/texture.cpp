// The tunnel's texture: 256 x 256 RGB bytes, no header, tiling seamlessly in both directions.
#include <cmath>
#include <cstdint>
#include <vector>

#include "tools/showdata/output.h"
#include "tools/showdata/showdata.h"

namespace showdata {

namespace {

constexpr int kSize = 256;
constexpr double kTurn = 2 * 3.14159265358979323846 / kSize;  // one period across the texture

// Every wave has a whole number of periods across 256 texels in x and in y, so the right
// edge continues into the left one and the bottom into the top.
double Plasma(int x, int y) {
    return std::sin(2 * x * kTurn) + std::sin(3 * y * kTurn + 1.0) +
           std::sin(2 * (x + y) * kTurn) + std::sin(4 * (x - y) * kTurn + 0.5) * 0.5;
}

uint8_t Channel(double value) {
    int v = static_cast<int>(value);
    return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

}  // namespace

void WriteTunnelTexture() {
    std::vector<uint8_t> texels;
    texels.reserve(kSize * kSize * 3);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            // A cosine palette over the plasma value (-3.5 .. 3.5): deep blue through violet
            // to a warm pink.
            double p = Plasma(x, y) * 0.11;
            double r = 130 + 100 * std::cos(6.2831853 * (p + 0.55));
            double g = 90 + 70 * std::cos(6.2831853 * (p + 0.80));
            double b = 175 + 75 * std::cos(6.2831853 * (p + 0.95));
            // Bricks 64 x 32 (offset every other row) with dark joints: 4 rows and 4
            // columns of bricks, so the joints tile too.
            int bx = (x + (y / 32 % 2) * 32) % 64, by = y % 32;
            double light = (bx < 2 || by < 2) ? 0.35 : (bx < 4 || by < 4) ? 1.2 : 1.0;
            texels.push_back(Channel(r * light));
            texels.push_back(Channel(g * light));
            texels.push_back(Channel(b * light));
        }
    WriteOutputFile("images/screen1tex.raw", texels);
}

}  // namespace showdata

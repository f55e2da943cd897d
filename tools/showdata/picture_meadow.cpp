// The still picture: a sheep on a green hill under a summer evening sky, in the show's
// violet, pink and gold.
#include <cmath>

#include "tools/showdata/pictures.h"

namespace showdata {

namespace {

constexpr double kPi = 3.14159265358979323846;

void DrawSky(Image& image) {
    FillGradient(image, {0, 0, 640, 170}, {52, 28, 110}, {196, 84, 150});
    FillGradient(image, {0, 170, 640, 320}, {196, 84, 150}, {255, 196, 120});
    // A low sun with a soft halo.
    const Rgb sky = GetPixel(image, 520, 200);
    for (int r = 76; r > 40; r -= 6)
        FillEllipse(image, 520, 200, r, r, Mix(sky, {255, 236, 170}, 76 - r, 60));
    FillEllipse(image, 520, 200, 40, 40, {255, 240, 150});
    // Clouds: a few overlapping puffs each.
    const int clouds[3][2] = {{120, 84}, {300, 52}, {400, 150}};
    for (const auto& cloud : clouds) {
        const Rgb shadow{170, 110, 170}, white{255, 200, 214};
        FillEllipse(image, cloud[0], cloud[1] + 6, 64, 18, shadow);
        FillEllipse(image, cloud[0] - 30, cloud[1], 30, 20, white);
        FillEllipse(image, cloud[0] + 4, cloud[1] - 10, 34, 26, white);
        FillEllipse(image, cloud[0] + 38, cloud[1], 26, 18, white);
    }
}

// Two rolling hills, the far one paler.
void DrawHills(Image& image) {
    for (int x = 0; x < 640; ++x) {
        int far = 262 - static_cast<int>(26 * std::sin(x * 2 * kPi / 640 * 1.5 + 0.4));
        int near = 318 - static_cast<int>(22 * std::sin(x * 2 * kPi / 640 + 2.2));
        for (int y = far; y < 480; ++y) PutPixel(image, x, y, Mix({112, 140, 118}, {84, 120, 92}, y - far, 80));
        for (int y = near; y < 480; ++y)
            PutPixel(image, x, y, Mix({84, 150, 70}, {30, 84, 40}, std::min(y - near, 160), 160));
    }
    Random random{0x6A55u};
    for (int i = 0; i < 700; ++i) {  // grass blades, longer toward the front
        int x = random.Next(640), y = 330 + random.Next(150);
        int length = 2 + (y - 330) / 30 + random.Next(3);
        Rgb blade = Mix(GetPixel(image, x, y), {24, 70, 20}, 1, 2);
        for (int k = 0; k < length; ++k) PutPixel(image, x + (k > length / 2 ? 1 : 0), y - k, blade);
    }
    for (int i = 0; i < 60; ++i) {  // daisies
        int x = random.Next(640), y = 360 + random.Next(115);
        PutPixel(image, x - 1, y, {255, 255, 255});
        PutPixel(image, x + 1, y, {255, 255, 255});
        PutPixel(image, x, y - 1, {255, 255, 255});
        PutPixel(image, x, y + 1, {255, 255, 255});
        PutPixel(image, x, y, {250, 210, 40});
    }
}

void DrawSheep(Image& image, int cx, int cy) {
    const Rgb legs{58, 50, 50}, woolShade{206, 200, 188}, wool{246, 243, 232};
    const Rgb face{64, 58, 58};
    FillEllipse(image, cx + 10, cy + 92, 110, 12, {44, 100, 36});  // shadow on the grass
    const int legX[4] = {-62, -34, 28, 56};
    for (int x : legX) FillRect(image, {cx + x, cy + 20, cx + x + 12, cy + 88}, legs);
    // Fleece: a shaded base, then puffs round its edge and a lighter middle.
    FillEllipse(image, cx, cy, 96, 56, woolShade);
    for (int i = 0; i < 14; ++i) {
        double a = i * 2 * kPi / 14;
        int px = cx + static_cast<int>(84 * std::cos(a)), py = cy + static_cast<int>(46 * std::sin(a));
        FillEllipse(image, px, py, 24, 22, woolShade);
        FillEllipse(image, px - 3, py - 4, 19, 17, wool);
    }
    FillEllipse(image, cx - 4, cy - 6, 80, 44, wool);
    // Head, ears, eye, and a tuft of wool on top.
    const int hx = cx + 104, hy = cy - 30;
    FillEllipse(image, hx - 18, hy - 14, 16, 7, face);
    FillEllipse(image, hx + 20, hy - 18, 16, 7, face);
    FillEllipse(image, hx, hy, 26, 34, face);
    FillEllipse(image, hx + 2, hy + 22, 14, 8, {88, 78, 78});
    FillEllipse(image, hx + 10, hy - 4, 6, 6, {250, 250, 250});
    FillEllipse(image, hx + 11, hy - 3, 3, 3, {20, 20, 24});
    FillEllipse(image, hx - 2, hy - 30, 20, 12, wool);
}

}  // namespace

Image DrawMeadow() {
    Image image = MakeImage(640, 480, {0, 0, 0});
    DrawSky(image);
    DrawHills(image);
    DrawSheep(image, 260, 330);
    return image;
}

}  // namespace showdata

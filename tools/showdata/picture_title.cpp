// The title pictures: the loading screen (sunset over a grid) and the overlay of the wave edge.
#include <cstdlib>

#include "tools/showdata/font.h"
#include "tools/showdata/pictures.h"

namespace showdata {

namespace {

constexpr int kHorizon = 300;  // loading screen: sky above, grid floor below
constexpr int kSunX = 320, kSunRadius = 118;
// The loading lines are drawn here (three lines 15 pixels apart from the top-left corner):
// no stars or title may reach into it.
constexpr Rect kLoadingLines{0, 0, 220, 60};

void DrawStars(Image& image) {
    Random random{0x5A17u};
    for (int i = 0; i < 140; ++i) {
        int x = random.Next(640), y = random.Next(kHorizon - 130);
        int light = 150 + random.Next(106);
        if (x < kLoadingLines.right && y < kLoadingLines.bottom) continue;
        Rgb colour{static_cast<uint8_t>(light), static_cast<uint8_t>(light),
                   static_cast<uint8_t>(std::min(255, light + 30))};
        PutPixel(image, x, y, colour);
        if (i % 9 == 0) {  // a few brighter stars get a small cross
            Rgb dim = Mix(GetPixel(image, x + 2, y), colour, 1, 2);
            PutPixel(image, x - 1, y, dim);
            PutPixel(image, x + 1, y, dim);
            PutPixel(image, x, y - 1, dim);
            PutPixel(image, x, y + 1, dim);
        }
    }
}

// The upper half of a disc sitting on the horizon, with bands cut out near its base.
void DrawSun(Image& image) {
    const Rgb top{255, 232, 96}, base{255, 64, 150};
    for (int y = kHorizon - kSunRadius; y < kHorizon; ++y) {
        int d = kHorizon - y;  // height above the horizon
        if (d < 64 && d % 12 < (64 - d) / 14) continue;
        Rgb colour = Mix(base, top, d, kSunRadius);
        for (int dx = -kSunRadius; dx <= kSunRadius; ++dx)
            if (dx * dx + d * d <= kSunRadius * kSunRadius) PutPixel(image, kSunX + dx, y, colour);
    }
}

void DrawGridFloor(Image& image) {
    const Rgb lineColour{255, 70, 210};
    FillGradient(image, {0, kHorizon, 640, 480}, {26, 8, 48}, {44, 12, 70});
    const int depth = 480 - kHorizon;
    // Rows of the cross lines: closer together toward the horizon.
    for (int k = 1; kHorizon + 4 * k * k < 480; ++k) {
        int y = kHorizon + 4 * k * k;
        Rgb colour = Mix(GetPixel(image, 0, y), lineColour, 40 + 60 * (y - kHorizon) / depth, 100);
        FillRect(image, {0, y, 640, y + 1 + k / 4}, colour);
    }
    // Lines running toward the vanishing point on the horizon.
    for (int i = -14; i <= 14; ++i)
        for (int y = kHorizon; y < 480; ++y) {
            int x = kSunX + i * (6 + (y - kHorizon) * 110 / depth);
            Rgb colour = Mix(GetPixel(image, x, y), lineColour, 30 + 70 * (y - kHorizon) / depth, 100);
            PutPixel(image, x, y, colour);
        }
    FillRect(image, {0, kHorizon, 640, kHorizon + 2}, {255, 150, 230});
}

// A quarter ring in each corner, centred on the corner itself.
void DrawCornerRings(Image& image) {
    const Rgb inner{80, 220, 255}, outer{160, 60, 255};
    const int corners[4][2] = {{0, 0}, {639, 0}, {0, 479}, {639, 479}};
    for (const auto& corner : corners)
        for (int band = 0; band < 3; ++band) {
            int r0 = 46 + band * 22, r1 = r0 + 8;
            for (int y = 0; y <= r1; ++y)
                for (int x = 0; x <= r1; ++x) {
                    int d2 = x * x + y * y;
                    if (d2 < r0 * r0 || d2 >= r1 * r1) continue;
                    int px = corner[0] == 0 ? x : corner[0] - x;
                    int py = corner[1] == 0 ? y : corner[1] - y;
                    PutPixel(image, px, py, Mix(inner, outer, band, 2));
                }
        }
}

}  // namespace

Image DrawLoadingPicture() {
    Image image = MakeImage(640, 480, {0, 0, 0});
    FillGradient(image, {0, 0, 640, kHorizon}, {8, 10, 30}, {84, 26, 110});
    DrawStars(image);
    DrawSun(image);
    DrawGridFloor(image);

    TextStyle title;
    title.face = "DejaVuSans-Bold.ttf";
    title.size = 150;
    title.top = {130, 255, 255};
    title.bottom = {255, 120, 255};
    title.outline = 4;
    title.outlineColour = {24, 10, 64};
    title.shadow = 6;
    title.shadowColour = {12, 4, 34};
    title.tracking = 4;
    DrawTextCentred(image, {0, 70, 640, 190}, "ZELK6", title);

    TextStyle subtitle;
    subtitle.face = "DejaVuSans-Bold.ttf";
    subtitle.size = 24;
    subtitle.top = {255, 255, 255};
    subtitle.bottom = {255, 190, 240};
    subtitle.outline = 2;
    subtitle.outlineColour = {40, 8, 60};
    subtitle.tracking = 3;
    DrawTextCentred(image, {0, 420, 640, 460}, "a hundred seconds of sound and light", subtitle);
    return image;
}

Image DrawWaveOverlay() {
    Image image = MakeImage(640, 480, kTransparent);
    DrawCornerRings(image);

    TextStyle title;
    title.face = "DejaVuSans-Bold.ttf";
    title.size = 120;
    title.top = {255, 244, 130};
    title.bottom = {255, 110, 40};
    title.outline = 4;
    title.outlineColour = {80, 24, 16};  // dark, yet not black: black would be see-through
    title.shadow = 5;
    title.shadowColour = {40, 12, 24};
    title.tracking = 4;
    DrawTextCentred(image, {0, 310, 640, 410}, "ZELK6", title);

    TextStyle subtitle;
    subtitle.face = "DejaVuSans-BoldOblique.ttf";
    subtitle.size = 32;
    subtitle.top = {200, 255, 255};
    subtitle.bottom = {90, 170, 255};
    subtitle.outline = 3;
    subtitle.outlineColour = {16, 40, 90};
    subtitle.tracking = 2;
    DrawTextCentred(image, {0, 420, 640, 462}, "riding the edge", subtitle);
    return image;
}

}  // namespace showdata

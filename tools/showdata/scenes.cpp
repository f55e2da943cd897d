// The three 3D scenes written out: scripts (scripts/), X files (models/) and the textures they
// name (textures/).
#include <algorithm>
#include <cmath>
#include <string>

#include "tools/showdata/bmp_writer.h"
#include "tools/showdata/output.h"
#include "tools/showdata/scenes.h"
#include "tools/showdata/showdata.h"

namespace showdata {

namespace {

// Script format: the X file's name (Windows style, relative to the show's folder), then entries
// of a keyword and up to nine numbers. The format has no comments: a "#" line would be read as
// entries of unknown keywords, and any number in it would set the slots the next entries use.
std::string ScriptText(const char* xFileName, const char* entries) {
    return std::string(xFileName) + "\n" + entries;
}

}  // namespace

// Textures are sampled with the BMP's bottom row as row 0 (the platform's old row order), so
// each is drawn to look right either way up.
Image BallTexture() {
    Image image = MakeImage(64, 64, {0, 0, 0});
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            PutPixel(image, x, y, ((x / 8 + y / 8) % 2) ? Rgb{230, 40, 90} : Rgb{250, 246, 236});
    return image;
}

Image TilesTexture() {
    Image image = MakeImage(64, 64, {0, 0, 0});
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            int tx = x % 32, ty = y % 32;
            bool joint = tx < 2 || ty < 2 || tx > 29 || ty > 29;
            bool rim = tx < 5 || ty < 5 || tx > 26 || ty > 26;
            Rgb tile = (x / 32 + y / 32) % 2 == 0 ? Rgb{236, 170, 70} : Rgb{70, 160, 210};
            PutPixel(image, x, y, joint ? Rgb{40, 36, 48} : rim ? Mix(tile, {255, 255, 255}, 1, 3) : tile);
        }
    return image;
}

// Dark violet squares with glowing magenta and cyan grid lines, like the loading screen's floor.
Image FloorTexture() {
    Image image = MakeImage(128, 128, {0, 0, 0});
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const int dx = std::min(x % 64, 63 - x % 64), dy = std::min(y % 64, 63 - y % 64);
            const int edge = std::min(dx, dy);  // distance to the nearest line, 0..31
            Rgb ground = ((x / 64 + y / 64) % 2) ? Rgb{34, 14, 58} : Rgb{22, 10, 44};
            Rgb line = ((x / 64 + y / 64) % 2) ? Rgb{255, 80, 220} : Rgb{80, 220, 255};
            PutPixel(image, x, y, edge < 6 ? Mix(line, ground, edge, 6) : ground);
        }
    return image;
}

// Soft horizontal bands, like a gas giant, symmetric about the middle row.
Image MoonTexture() {
    Image image = MakeImage(64, 64, {0, 0, 0});
    for (int y = 0; y < 64; ++y) {
        const double band = std::sin(std::abs(y - 31.5) * 0.45) * 0.5 + 0.5;
        for (int x = 0; x < 64; ++x) {
            const double ripple = 0.08 * std::sin(x * 2 * 3.14159265358979323846 / 32 + y * 0.3);
            const int level = static_cast<int>(std::clamp(band + ripple, 0.0, 1.0) * 256);
            PutPixel(image, x, y, Mix({250, 200, 120}, {180, 80, 150}, std::min(level, 256), 256));
        }
    }
    return image;
}

// The baller's backdrop: an evening sky with a banded sun sitting on the horizon (the bottom
// row), the loading screen's look.
Image SunsetTexture() {
    Image image = MakeImage(256, 128, {0, 0, 0});
    FillGradient(image, {0, 0, 256, 128}, {24, 10, 56}, {150, 40, 120});
    constexpr int kSunX = 128, kRadius = 46;
    for (int y = 128 - kRadius - 1; y < 128; ++y) {
        const int d = 128 - y;  // height above the horizon
        if (d < 28 && d % 7 < (28 - d) / 7) continue;  // bands cut out near the base
        for (int x = kSunX - kRadius - 1; x <= kSunX + kRadius + 1; ++x) {
            // Coverage of the pixel by the disc, for a soft edge.
            const double inside = kRadius + 0.5 - std::sqrt((x - kSunX) * (x - kSunX) + d * d);
            if (inside <= 0) continue;
            const Rgb sun = Mix({255, 70, 150}, {255, 230, 100}, d, kRadius);
            PutPixel(image, x, y, Mix(GetPixel(image, x, y), sun, static_cast<int>(std::min(inside, 1.0) * 16), 16));
        }
    }
    return image;
}

void WriteScenes() {
    WriteOutputFile("textures/ball.bmp", EncodeBmp24(BallTexture()));
    WriteOutputFile("textures/tiles.bmp", EncodeBmp24(TilesTexture()));
    WriteOutputFile("textures/floor.bmp", EncodeBmp24(FloorTexture()));
    WriteOutputFile("textures/moon.bmp", EncodeBmp24(MoonTexture()));
    WriteOutputFile("textures/sunset.bmp", EncodeBmp24(SunsetTexture()));
    WriteOutputText("models/credits.x", EncodeXFile(CreditsModel()));
    WriteOutputText("models/baller.x", EncodeXFile(BallerModel()));
    WriteOutputText("models/scene1.x", EncodeXFile(StageModel()));

    // DIRECTIONAL: from x y z, to x y z, red green blue. POINT: x y z, attenuation, red green
    // blue. CAMERA: position x y z, looks at x y z. Cameras look level: the show turns the
    // camera's up vector about a tilted direction in a way that rolls the picture.
    WriteOutputText("scripts/credits.scr", ScriptText("models\\credits.x",
                                                      "AMBIENT 0.15 0.15 0.22\n"
                                                      "DIRECTIONAL -2 3 -4 0 0 0 1.0 0.95 0.85\n"
                                                      "POINT 4 -2 -6 1 0.3 0.5 1.0\n"
                                                      "CAMERA 0 0 -12 0 0 0\n"));
    WriteOutputText("scripts/baller.scr", ScriptText("models\\baller.x",
                                                     "AMBIENT 0.25 0.22 0.3\n"
                                                     "DIRECTIONAL -3 5 -4 0 0 0 0.95 0.9 0.85\n"
                                                     "POINT 3 3 -3 1 0.5 0.3 0.6\n"
                                                     "CAMERA 0 1.0 -9.5 0 1.0 0\n"));
    WriteOutputText("scripts/scene1.scr", ScriptText("models\\scene1.x",
                                                     "AMBIENT 0.3 0.35 0.35\n"
                                                     "DIRECTIONAL 2 4 -3 0 0 0 0.9 0.9 0.85\n"
                                                     "POINT -3 -1 -3 1 0.5 0.35 0.2\n"
                                                     "CAMERA 0 0.3 -7.5 0 0.3 0\n"));
}

}  // namespace showdata

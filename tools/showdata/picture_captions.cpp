// Text pictures: the tunnel's strip and captions, and the three scroller strips.
#include "tools/showdata/font.h"
#include "tools/showdata/pictures.h"

namespace showdata {

namespace {

void DrawCaptionPanel(Image& image, Rect box, const char* text, int size) {
    FillGradient(image, box, {24, 34, 92}, {70, 22, 110});
    FrameRect(image, box, 3, {120, 200, 255});
    TextStyle style;
    style.size = size;
    style.size = FitTextSize(text, style, box.right - box.left - 24);
    style.top = {255, 255, 255};
    style.bottom = {120, 220, 255};
    style.outline = 2;
    style.outlineColour = {12, 20, 64};
    DrawTextCentred(image, box, text, style);
}

struct StripLook {
    const char* text;
    Rgb top, bottom;  // text gradient
};

const StripLook kStrips[3] = {
    {"Greetings to every tracker, pixeller and coder out there!", {255, 255, 140}, {255, 120, 40}},
    {"Code, pictures and music: the zelk6 crew", {170, 255, 255}, {40, 140, 255}},
    {"Thanks for watching \u2014 see you at the next party!", {255, 210, 255}, {200, 80, 255}},
};

}  // namespace

Image DrawTunnelCaptions() {
    // Only the strip and the caption rectangles are ever shown; the rest is a plain ground.
    Image image = MakeImage(640, 480, {22, 20, 34});
    const Rect strip = kTunnelStrip;
    FillGradient(image, strip, {44, 12, 76}, {96, 22, 126});
    FillRect(image, {strip.left, strip.top, strip.right, strip.top + 2}, {255, 200, 80});
    TextStyle style;
    style.size = 26;
    style.tracking = 1;
    style.top = {255, 255, 200};
    style.bottom = {255, 176, 60};
    style.outline = 1;
    style.outlineColour = {32, 6, 52};
    DrawTextCentred(image, {strip.left, strip.top + 2, strip.right, strip.bottom}, "ZELK6 * TUNNEL VISION",
                    style);

    DrawCaptionPanel(image, kTunnelCaptions[0], "LIFE", 76);
    DrawCaptionPanel(image, kTunnelCaptions[1], "is a tunnel of colours", 38);
    DrawCaptionPanel(image, kTunnelCaptions[2], "go towards the light", 46);
    return image;
}

Image DrawScrollerStrip(int number) {
    const StripLook& look = kStrips[(number - 1) % 3];
    Image image = MakeImage(1024, 110, {0, 0, 0});
    FillGradient(image, {0, 0, 1024, 110}, {12, 10, 44}, {44, 12, 64});
    // Thin copper bars along both edges.
    for (int i = 0; i < 6; ++i) {
        Rgb bar = Mix({255, 190, 60}, {120, 30, 90}, i, 5);
        FillRect(image, {0, i, 1024, i + 1}, bar);
        FillRect(image, {0, 109 - i, 1024, 110 - i}, bar);
    }
    TextStyle style;
    style.size = 64;
    style.top = look.top;
    style.bottom = look.bottom;
    style.outline = 2;
    style.outlineColour = {10, 8, 30};
    style.shadow = 4;
    style.shadowColour = {6, 4, 20};
    style.size = FitTextSize(look.text, style, 1000);
    DrawTextCentred(image, {0, 0, 1024, 110}, look.text, style);
    return image;
}

}  // namespace showdata

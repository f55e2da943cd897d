// The credits scene: the title and three words in block letters, with a ring round them,
// made to read as a lit wireframe over 20 s (animation time 0 .. 300).
#include <cmath>
#include <string>

#include "tools/showdata/font.h"
#include "tools/showdata/scenes.h"

namespace showdata {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Block letters centred on the origin, one box per run of set glyph pixels in a row; the
// letters' faces look toward -z (the camera). `materials` colours alternate letter by letter.
MeshData BlockText(const std::string& text, double pixel, double depth, int materials) {
    MeshData mesh;
    const int advance = kBlockGlyphWidth + 1;
    const double width = (static_cast<int>(text.size()) * advance - 1) * pixel;
    const double left = -width / 2, top = kBlockGlyphHeight * pixel / 2;
    for (size_t i = 0; i < text.size(); ++i) {
        const int material = static_cast<int>(i) % materials;
        for (int row = 0; row < kBlockGlyphHeight; ++row)
            for (int col = 0; col < kBlockGlyphWidth;) {
                if (!BlockGlyphPixel(text[i], col, row)) {
                    ++col;
                    continue;
                }
                int end = col;
                while (end < kBlockGlyphWidth && BlockGlyphPixel(text[i], end, row)) ++end;
                const double x0 = left + (static_cast<int>(i) * advance + col) * pixel;
                const double x1 = left + (static_cast<int>(i) * advance + end) * pixel;
                const double y1 = top - row * pixel, y0 = y1 - pixel;
                AddBox(mesh, {x0, y0, -depth / 2}, {x1, y1, depth / 2}, material);
                col = end;
            }
    }
    return mesh;
}

MaterialData Shiny(double r, double g, double b) { return {r, g, b, 1.0, 20.0, {0.6, 0.6, 0.6}, {0, 0, 0}, ""}; }

// The title flies in from far away spinning once about y, pulses with the bars, and rises
// out of view at the end.
XAnimation TitleMotion(Vec3 rest) {
    XAnimation a;
    a.frame = "Title";
    for (int k = 0; k <= 4; ++k) a.rotation.push_back(TurnKey(k * 10, {0, 1, 0}, kPi / 2 * k));
    a.rotation.push_back(TurnKey(kCreditsLength, {0, 1, 0}, 0));
    a.position = {{0, {rest.x, rest.y, 45}}, {40, rest}, {262, rest}, {kCreditsLength, {rest.x, 10, rest.z}}};
    // A bar of the music lasts 37.5 time units here: a short swell on each bar's first beat.
    a.scale.push_back({0, {1, 1, 1}});
    for (int bar = 2; bar <= 7; ++bar) {
        const int at = static_cast<int>(bar * 37.5);
        a.scale.push_back({at - 3, {1, 1, 1}});
        a.scale.push_back({at, {1.12, 1.12, 1.12}});
        a.scale.push_back({at + 8, {1, 1, 1}});
    }
    a.scale.push_back({kCreditsLength, {1, 1, 1}});
    return a;
}

// A word that rolls in from the right at `start`, stays, and rolls out to the left at `end`.
XAnimation WordMotion(const std::string& frame, Vec3 rest, int start, int end) {
    constexpr int kTravel = 14;
    constexpr double kAside = 17;  // beyond the edge of the view at the words' depth
    XAnimation a;
    a.frame = frame;
    a.closed = false;
    a.position = {{0, {kAside, rest.y, rest.z}},
                  {start, {kAside, rest.y, rest.z}},
                  {start + kTravel, rest},
                  {end - kTravel, rest},
                  {end, {-kAside, rest.y, rest.z}},
                  {kCreditsLength, {-kAside, rest.y, rest.z}}};
    const Vec3 axis{1, 0, 0};
    a.rotation = {TurnKey(0, axis, -kPi / 2),          TurnKey(start, axis, -kPi / 2),
                  TurnKey(start + kTravel, axis, 0),   TurnKey(end - kTravel, axis, 0),
                  TurnKey(end, axis, kPi / 2),         TurnKey(kCreditsLength, axis, kPi / 2)};
    return a;
}

}  // namespace

XFileModel CreditsModel() {
    XFileModel model;
    model.description = "Credits scene: block-letter title and credits words with a turning ring, for wireframe.";
    model.animationSetName = "CreditsMotion";

    XFrame root;
    root.name = "Credits";
    XFrame title;
    title.name = "Title";
    title.position = {0, 1.5, 0};
    title.mesh = BlockText("ZELK6", 0.3, 0.6, 2);
    title.materials = {Shiny(1.0, 0.85, 0.3), Shiny(0.4, 0.9, 1.0)};
    root.children.push_back(title);

    const struct {
        const char* frame;
        const char* text;
        MaterialData material;
    } words[3] = {{"WordCode", "CODE", Shiny(1.0, 0.45, 0.8)},
                  {"WordPixels", "PIXELS", Shiny(0.5, 1.0, 0.6)},
                  {"WordMusic", "MUSIC", Shiny(0.6, 0.6, 1.0)}};
    for (int i = 0; i < 3; ++i) {
        XFrame word;
        word.name = words[i].frame;
        word.position = {0, -1.6, 0};
        word.mesh = BlockText(words[i].text, 0.22, 0.4, 1);
        word.materials = {words[i].material};
        root.children.push_back(word);
        const int start = 45 + 78 * i;
        model.animations.push_back(WordMotion(word.name, word.position, start, start + 72));
    }

    XFrame ring;
    ring.name = "Ring";
    ring.mesh = MakeTorus(5.2, 0.14, 48, 6);
    ring.materials = {Shiny(0.7, 0.5, 1.0)};
    root.children.push_back(ring);
    model.frames.push_back(root);

    model.animations.push_back(TitleMotion(title.position));
    XAnimation ringMotion;
    ringMotion.frame = "Ring";
    ringMotion.rotation = SpinKeys({0.3, 1.0, 0.15}, kCreditsLength, 2);
    model.animations.push_back(ringMotion);
    // The whole group sways gently to and fro about the vertical.
    XAnimation sway;
    sway.frame = "Credits";
    for (int k = 0; k <= 4; ++k)
        sway.rotation.push_back(TurnKey(k * kCreditsLength / 4, {0, 1, 0}, 0.3 * std::sin(k * kPi / 2)));
    model.animations.push_back(sway);
    return model;
}

}  // namespace showdata

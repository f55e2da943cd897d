// A small 5x7 pixel font of our own, drawn scaled up with a gradient, an outline and a shadow.
#pragma once

#include <string_view>

#include "tools/showdata/image.h"

namespace showdata {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;
inline constexpr int kGlyphAdvance = 6;  // one empty column between letters

// True when column col (0..4), row row (0..6) of the character's glyph is set. Lower case
// letters use the capitals; characters the font lacks show as '?'.
bool GlyphPixel(char c, int col, int row);

struct TextStyle {
    int scale = 1;                 // each font pixel becomes scale x scale picture pixels
    Rgb top{255, 255, 255};        // fill colour at the glyphs' top row ...
    Rgb bottom{255, 255, 255};     // ... and at their bottom row
    int outline = 0;               // outline width in pixels, 0 for none
    Rgb outlineColour{16, 16, 48};
    int shadow = 0;                // shadow offset down and right in pixels, 0 for none
    Rgb shadowColour{16, 16, 32};
};

// Size in pixels of the text's glyphs, without outline and shadow.
int TextWidth(std::string_view text, int scale);
int TextHeight(int scale);

// Draws with the glyphs' top-left corner at (x, y); pixels outside the picture are dropped.
void DrawText(Image& image, int x, int y, std::string_view text, const TextStyle& style);
// Centres the glyphs in the rectangle.
void DrawTextCentred(Image& image, Rect box, std::string_view text, const TextStyle& style);

}  // namespace showdata

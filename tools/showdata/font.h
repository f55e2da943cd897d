// Text in the pictures: DejaVu faces rendered by FreeType (anti-aliased), drawn with a
// vertical gradient, an outline and a drop shadow.
#pragma once

#include <string>
#include <string_view>

#include "tools/showdata/image.h"

namespace showdata {

// A face's file as built into the generator (tools/showdata/fonts/, with its licence).
struct FontFile {
    const unsigned char* data = nullptr;
    long size = 0;
};
// The built-in file of that name; size 0 when there is none.
FontFile EmbeddedFont(const char* face);

struct TextStyle {
    const char* face = "DejaVuSans-Bold.ttf";  // a file in tools/showdata/fonts/
    int size = 24;                             // em height in pixels
    Rgb top{255, 255, 255};        // fill colour at the top of the capitals ...
    Rgb bottom{255, 255, 255};     // ... and at the baseline
    int outline = 0;               // outline width in pixels, 0 for none
    Rgb outlineColour{16, 16, 48};
    int shadow = 0;                // shadow offset down and right in pixels, 0 for none
    Rgb shadowColour{16, 16, 32};
    int tracking = 0;              // extra pixels between letters
};

// Width of the text's glyphs (pen advance, kerning and tracking), without outline and shadow.
int TextWidth(std::string_view text, const TextStyle& style);
// Height of a line: ascender to descender of the face at style.size.
int TextHeight(const TextStyle& style);

// Draws the line with its box's top-left corner at (x, y); pixels outside are dropped. Over
// pure black (transparent) pixels the text is drawn with hard edges and never darker than
// what a 16-bit display keeps apart from black, so an overlay gets no fringe of holes.
void DrawText(Image& image, int x, int y, std::string_view text, const TextStyle& style);
// The largest size up to style.size at which the line, outline included, fits in maxWidth
// pixels; at least 6.
int FitTextSize(std::string_view text, TextStyle style, int maxWidth);
// Centres the line in the rectangle: across by its width, down by its capitals.
void DrawTextCentred(Image& image, Rect box, std::string_view text, const TextStyle& style);

// The 5x7 block glyphs the 3D lettering is built from ('#' set): capitals, digits and a few
// signs. True when column col (0..4), row row (0..6, top first) of c is set; lower case uses
// the capitals, missing characters are blank.
inline constexpr int kBlockGlyphWidth = 5;
inline constexpr int kBlockGlyphHeight = 7;
bool BlockGlyphPixel(char c, int col, int row);

}  // namespace showdata

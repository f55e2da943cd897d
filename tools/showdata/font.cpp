// The glyphs of the 5x7 font (capitals, digits, common punctuation) and text drawing.
#include "tools/showdata/font.h"

namespace showdata {

namespace {

struct Glyph {
    char c;
    const char* rows[kGlyphHeight];  // '#' set, '.' clear, five columns each
};

const Glyph kGlyphs[] = {
    {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
    {',', {".....", ".....", ".....", ".....", ".##..", "..#..", ".#..."}},
    {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
    {'?', {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."}},
    {'-', {".....", ".....", ".....", ".###.", ".....", ".....", "....."}},
    {':', {".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."}},
    {'\'', {"..#..", "..#..", ".#...", ".....", ".....", ".....", "....."}},
    {'"', {".#.#.", ".#.#.", ".#.#.", ".....", ".....", ".....", "....."}},
    {'&', {".##..", "#..#.", "#.#..", ".#...", "#.#.#", "#..#.", ".##.#"}},
    {'/', {".....", "....#", "...#.", "..#..", ".#...", "#....", "....."}},
    {'(', {"...#.", "..#..", ".#...", ".#...", ".#...", "..#..", "...#."}},
    {')', {".#...", "..#..", "...#.", "...#.", "...#.", "..#..", ".#..."}},
    {'+', {".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."}},
    {'*', {".....", "..#..", "#.#.#", ".###.", "#.#.#", "..#..", "....."}},
    {'=', {".....", ".....", "#####", ".....", "#####", ".....", "....."}},
    {'~', {".....", ".....", ".#...", "#.#.#", "...#.", ".....", "....."}},
};

const Glyph& FindGlyph(char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    const Glyph* question = nullptr;
    for (const Glyph& glyph : kGlyphs) {
        if (glyph.c == c) return glyph;
        if (glyph.c == '?') question = &glyph;
    }
    return *question;
}

// Paints every picture pixel covered by a set font pixel, offset by (dx, dy), with colour(y)
// where y is the row inside the scaled glyph (0 .. 7*scale-1).
template <typename Colour>
void Stamp(Image& image, int x, int y, std::string_view text, int scale, int dx, int dy,
           Colour colour) {
    for (size_t i = 0; i < text.size(); ++i) {
        const Glyph& glyph = FindGlyph(text[i]);
        int left = x + static_cast<int>(i) * kGlyphAdvance * scale;
        for (int row = 0; row < kGlyphHeight; ++row)
            for (int col = 0; col < kGlyphWidth; ++col) {
                if (glyph.rows[row][col] != '#') continue;
                for (int sy = 0; sy < scale; ++sy)
                    for (int sx = 0; sx < scale; ++sx)
                        PutPixel(image, left + col * scale + sx + dx, y + row * scale + sy + dy,
                                 colour(row * scale + sy));
            }
    }
}

}  // namespace

bool GlyphPixel(char c, int col, int row) {
    if (col < 0 || col >= kGlyphWidth || row < 0 || row >= kGlyphHeight) return false;
    return FindGlyph(c).rows[row][col] == '#';
}

int TextWidth(std::string_view text, int scale) {
    if (text.empty()) return 0;
    return (static_cast<int>(text.size()) * kGlyphAdvance - 1) * scale;
}

int TextHeight(int scale) { return kGlyphHeight * scale; }

void DrawText(Image& image, int x, int y, std::string_view text, const TextStyle& style) {
    const int s = style.scale;
    if (style.shadow > 0) {
        int reach = style.shadow + style.outline;
        Stamp(image, x, y, text, s, reach, reach, [&](int) { return style.shadowColour; });
    }
    for (int dy = -style.outline; dy <= style.outline; ++dy)
        for (int dx = -style.outline; dx <= style.outline; ++dx)
            if (dx != 0 || dy != 0)
                Stamp(image, x, y, text, s, dx, dy, [&](int) { return style.outlineColour; });
    const int span = TextHeight(s) - 1;
    Stamp(image, x, y, text, s, 0, 0,
          [&](int row) { return Mix(style.top, style.bottom, row, span > 0 ? span : 1); });
}

void DrawTextCentred(Image& image, Rect box, std::string_view text, const TextStyle& style) {
    int x = box.left + (box.right - box.left - TextWidth(text, style.scale)) / 2;
    int y = box.top + (box.bottom - box.top - TextHeight(style.scale)) / 2;
    DrawText(image, x, y, text, style);
}

}  // namespace showdata

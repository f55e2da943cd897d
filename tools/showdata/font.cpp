// Text drawing with FreeType: a line is rendered into a coverage mask, grown into an outline
// and a shadow, composited, then laid onto the picture.
#include "tools/showdata/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace showdata {

namespace {

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library made = nullptr;
        if (FT_Init_FreeType(&made) != 0) throw std::runtime_error("cannot start FreeType");
        return made;
    }();
    return library;
}

// Faces stay open for the whole run; the generator draws a few dozen lines.
FT_Face Face(const TextStyle& style) {
    static std::map<std::string, FT_Face> faces;
    const std::string name = style.face;
    auto found = faces.find(name);
    FT_Face face;
    if (found != faces.end()) {
        face = found->second;
    } else {
        const FontFile file = EmbeddedFont(style.face);
        if (file.size == 0 || FT_New_Memory_Face(Library(), file.data, file.size, 0, &face) != 0)
            throw std::runtime_error("no built-in font " + name);
        faces[name] = face;
    }
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(style.size)) != 0)
        throw std::runtime_error("font " + name + " has no size " + std::to_string(style.size));
    return face;
}

// UTF-8 to code points; a malformed byte stands for itself (Latin-1).
std::vector<uint32_t> CodePoints(std::string_view text) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<uint8_t>(text[i]);
        int extra = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
        if (extra && i + extra >= text.size()) extra = 0;
        uint32_t code = extra ? byte & (0x3F >> extra) : byte;
        for (int k = 1; k <= extra; ++k) code = code << 6 | (static_cast<uint8_t>(text[i + k]) & 0x3F);
        out.push_back(code);
        i += 1 + extra;
    }
    return out;
}

struct Line {
    int ascent = 0, descent = 0;
    int width = 0;  // pixels, pen advance
};

Line Measure(FT_Face face, const std::vector<uint32_t>& codes, int tracking) {
    Line line;
    line.ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    line.descent = static_cast<int>((-face->size->metrics.descender + 63) >> 6);
    FT_Pos pen = 0;
    FT_UInt previous = 0;
    for (size_t i = 0; i < codes.size(); ++i) {
        FT_UInt glyph = FT_Get_Char_Index(face, codes[i]);
        if (previous && glyph && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kern);
            pen += kern.x;
        }
        if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) == 0) pen += face->glyph->advance.x;
        if (i + 1 < codes.size()) pen += tracking * 64;
        previous = glyph;
    }
    line.width = static_cast<int>((pen + 63) >> 6);
    return line;
}

// A grey-level mask, 0..255 per pixel.
struct Mask {
    int width = 0, height = 0;
    std::vector<uint8_t> alpha;
    uint8_t At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0;
        return alpha[static_cast<size_t>(y) * width + x];
    }
};

// The glyphs' coverage with the pen starting at (originX, baseline).
void RenderCoverage(FT_Face face, const std::vector<uint32_t>& codes, int tracking, int originX, int baseline,
                    Mask& mask) {
    FT_Pos pen = static_cast<FT_Pos>(originX) * 64;
    FT_UInt previous = 0;
    for (uint32_t code : codes) {
        FT_UInt glyph = FT_Get_Char_Index(face, code);
        if (previous && glyph && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kern);
            pen += kern.x;
        }
        previous = glyph;
        if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER) != 0) continue;
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        const int left = static_cast<int>(pen >> 6) + slot->bitmap_left;
        const int top = baseline - slot->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row)
            for (unsigned col = 0; col < bitmap.width; ++col) {
                const int x = left + static_cast<int>(col), y = top + static_cast<int>(row);
                if (x < 0 || y < 0 || x >= mask.width || y >= mask.height) continue;
                uint8_t& cell = mask.alpha[static_cast<size_t>(y) * mask.width + x];
                cell = std::max(cell, bitmap.buffer[row * bitmap.pitch + col]);
            }
        pen += slot->advance.x + tracking * 64;
    }
}

// Grows the mask by a disc of `radius` pixels, with a soft rim of one pixel.
Mask Dilate(const Mask& in, int radius) {
    Mask out = in;
    if (radius <= 0) return out;
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x) {
            double best = 0;
            for (int dy = -radius - 1; dy <= radius + 1; ++dy)
                for (int dx = -radius - 1; dx <= radius + 1; ++dx) {
                    const double weight = std::clamp(radius + 0.5 - std::sqrt(dx * dx + dy * dy), 0.0, 1.0);
                    if (weight > 0) best = std::max(best, in.At(x + dx, y + dy) * weight);
                }
            out.alpha[static_cast<size_t>(y) * in.width + x] = static_cast<uint8_t>(std::lround(best));
        }
    return out;
}

// One pass of a 3x3 box blur, for a soft shadow edge.
Mask Soften(const Mask& in) {
    Mask out = in;
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x) {
            int sum = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) sum += in.At(x + dx, y + dy);
            out.alpha[static_cast<size_t>(y) * in.width + x] = static_cast<uint8_t>(sum / 9);
        }
    return out;
}

// Straight-alpha colour layer: composited front over back.
struct Layer {
    double r = 0, g = 0, b = 0, a = 0;
    void Over(Rgb colour, double alpha) {
        if (alpha <= 0) return;
        const double out = alpha + a * (1 - alpha);
        r = (colour.r * alpha + r * a * (1 - alpha)) / out;
        g = (colour.g * alpha + g * a * (1 - alpha)) / out;
        b = (colour.b * alpha + b * a * (1 - alpha)) / out;
        a = out;
    }
};

uint8_t Channel(double value) { return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L)); }

}  // namespace

int TextWidth(std::string_view text, const TextStyle& style) {
    return Measure(Face(style), CodePoints(text), style.tracking).width;
}

int TextHeight(const TextStyle& style) {
    const Line line = Measure(Face(style), {}, 0);
    return line.ascent + line.descent;
}

void DrawText(Image& image, int x, int y, std::string_view text, const TextStyle& style) {
    FT_Face face = Face(style);
    const std::vector<uint32_t> codes = CodePoints(text);
    const Line line = Measure(face, codes, style.tracking);
    // Room round the line for glyph overhang, the outline and the shadow.
    const int margin = style.outline + style.shadow + style.size / 4 + 2;
    Mask fill;
    fill.width = line.width + 2 * margin;
    fill.height = line.ascent + line.descent + 2 * margin;
    fill.alpha.assign(static_cast<size_t>(fill.width) * fill.height, 0);
    const int baseline = margin + line.ascent;
    RenderCoverage(face, codes, style.tracking, margin, baseline, fill);
    const Mask body = Dilate(fill, style.outline);
    const Mask shadow = style.shadow > 0 ? Soften(body) : Mask{};

    // The gradient runs over the capitals' height: top of the capitals to the baseline.
    const int capTop = baseline - static_cast<int>(std::lround(style.size * 0.73));
    const int span = std::max(1, baseline - capTop);
    for (int my = 0; my < fill.height; ++my)
        for (int mx = 0; mx < fill.width; ++mx) {
            Layer layer;
            if (style.shadow > 0)
                layer.Over(style.shadowColour, shadow.At(mx - style.shadow, my - style.shadow) / 255.0 * 0.85);
            if (style.outline > 0) layer.Over(style.outlineColour, body.At(mx, my) / 255.0);
            const int t = std::clamp(my - capTop, 0, span);
            layer.Over(Mix(style.top, style.bottom, t, span), fill.At(mx, my) / 255.0);
            if (layer.a <= 0) continue;

            const int px = x - margin + mx, py = y - margin + my;
            if (px < 0 || py < 0 || px >= image.width || py >= image.height) continue;
            const Rgb below = GetPixel(image, px, py);
            if (below == kTransparent) {
                // Over a see-through pixel a blend would make near-black fringes that a 16-bit
                // keyed blit drops: either the text covers the pixel or it stays transparent.
                if (layer.a < 0.5) continue;
                Rgb solid{Channel(layer.r), Channel(layer.g), Channel(layer.b)};
                if (solid.r < 8 && solid.g < 8 && solid.b < 8) solid = {8, 8, 8};
                PutPixel(image, px, py, solid);
            } else {
                PutPixel(image, px, py,
                         {Channel(below.r + (layer.r - below.r) * layer.a), Channel(below.g + (layer.g - below.g) * layer.a),
                          Channel(below.b + (layer.b - below.b) * layer.a)});
            }
        }
}

int FitTextSize(std::string_view text, TextStyle style, int maxWidth) {
    while (style.size > 6 && TextWidth(text, style) + 2 * style.outline + style.shadow > maxWidth) --style.size;
    return style.size;
}

void DrawTextCentred(Image& image, Rect box, std::string_view text, const TextStyle& style) {
    const int x = box.left + (box.right - box.left - TextWidth(text, style)) / 2;
    // Centred on the capitals (top of the capitals to the baseline), which looks centred
    // whether or not the line has descenders.
    const Line line = Measure(Face(style), {}, 0);
    const int capHeight = static_cast<int>(std::lround(style.size * 0.73));
    const int y = (box.top + box.bottom) / 2 - (line.ascent - capHeight / 2);
    DrawText(image, x, y, text, style);
}

}  // namespace showdata

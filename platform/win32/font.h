// The bitmap font of the GDI stand-in's text output: one 8 x 13 cell per 8-bit character code.
#pragma once

#include <cstdint>

// The original's default font is about 16 px tall and the show spaces its lines 15 px apart,
// so a 13 px cell keeps neighbouring lines from touching.
constexpr int kGdiFontWidth = 8;    // pixels; every glyph advances by this much
constexpr int kGdiFontHeight = 13;  // pixels; a cell's rows, top first

// Row bytes of each code's glyph, bit 7 the leftmost pixel. ISO 8859-1; codes without a glyph
// of their own (controls, 127..159) show '?'. Generated into font_data.cpp.
extern const uint8_t kGdiFontGlyphs[256][kGdiFontHeight];

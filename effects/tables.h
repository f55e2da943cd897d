// The software effects' static tables: three built once by BuildLookupTables, the others
// rewritten on every frame by the effect that owns them. None is ever allocated.
#pragma once

#include "platform/win32/win32.h"

constexpr int EffectWidth = 640;   // pixels a row of every full-screen table and of the screen
constexpr int EffectHeight = 480;

// Built once at start-up (lookup_tables.cpp), read-only afterwards.
extern int SineTable[1024];                         // trunc(50 sin(2 pi i / 1024)), -50..50
extern BYTE PlasmaMap[EffectWidth * EffectHeight];  // palette index of pixel (x, y) at y * 640 + x, 39..225
extern WORD TextureRgb16[256 * 256];                // texel (u, v) at v * 256 + u, display's pixel format

// Rewritten every frame of the wire figure (line.cpp, palettes.cpp).
extern BYTE FigureCanvas[EffectWidth * EffectHeight];  // 0 empty, 0xFF figure, 0x01 shadow only
extern WORD PlasmaPalette[256];  // plasma colours, indexed by a PlasmaMap byte
extern WORD FigurePalette[256];  // PlasmaPalette with all 16 bits inverted, under the figure
extern WORD ShadowPalette[256];  // about half the plasma's channel values, under the shadow

// Rewritten every frame of the tunnel (tunnel.cpp): 320 x 240 texture addresses, entry
// (n, r) at r * 320 + n, high byte texture row, low byte texture column.
extern WORD WarpMap[320 * 240];

// Fills SineTable, PlasmaMap and TextureRgb16, in that order; once, after the display mode
// has settled IsRgb555. Reads "images\screen1tex.raw" (256 x 256 pixels of red, green, blue
// bytes, no header); texels the file does not supply in full are 0.
void BuildLookupTables();
// The texture part of BuildLookupTables alone: TextureRgb16 from "images\screen1tex.raw".
void LoadTextureTable();

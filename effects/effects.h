// The per-frame software effects. Each full-screen routine takes the first pixel of the
// locked FrameBuffer and reads the row pitch (bytes) from FrameBuffer.lPitch; t is the
// segment time (elapsed ms x 0.03, single precision). All need BuildLookupTables first.
#pragma once

#include "platform/win32/win32.h"

// The slate right half of the wave edge: red 3, green 8 of 63 (4 of 31), blue 7.
constexpr WORD EdgeColour565 = 0x1907;
constexpr WORD EdgeColour555 = 0x0C87;
WORD EdgeColour();  // the one of the two that matches IsRgb555

// Black left, EdgeColour right, the edge between columns 270 and 370 waving per row.
// Writes every pixel of the 640 x 480 screen.
void DrawWaveEdge(WORD* pixels, float t);

// Rebuilds WarpMap and writes the warped texture onto the even rows, each texel two pixels
// wide. Odd rows are left as they were.
void DrawTunnel(WORD* pixels, float t);

// Stamps 8 x 4 blocks into FigureCanvas along the line from (x0, y0) toward (x1, y1), the end
// point excluded, in 17.15 fixed point. mode 0 sets the stamp bytes to 0xFF; any other mode
// ORs them with 0x01 (shadow). Stamps whose top-left pixel lies outside 0..631 x 0..475 are
// skipped, so every stamp stays inside its row and inside the canvas.
void DrawCanvasLine(int x0, int y0, int x1, int y1, int mode);
// Clears FigureCanvas and draws the twenty lines of the figure of time t: ten solid chords
// around (320, 240) and their shadow 15 pixels right and down.
void DrawWireFigure(float t);

// Rewrites PlasmaPalette, FigurePalette and ShadowPalette for whole time step b (truncated t):
// the colour cycle starts at index 5 b (mod 256).
void BuildFigurePalettes(int b);
// One frame of the wire figure over the plasma: the figure, the palettes, then every pixel
// coloured from PlasmaMap through the palette its FigureCanvas byte selects.
void DrawFigureFrame(WORD* pixels, float t);

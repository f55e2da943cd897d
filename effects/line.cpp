// The wire figure: a fixed-point line rasteriser stamping 8 x 4 blocks into FigureCanvas, and
// the twenty chords of the figure of time t.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "effects/effects.h"
#include "effects/tables.h"

BYTE FigureCanvas[EffectWidth * EffectHeight];

namespace {

constexpr int StampWidth = 8;
constexpr int StampHeight = 4;
// Top-left pixels allowed for a stamp: 632 = 640 - 8 keeps all eight bytes in their row,
// 476 = 480 - 4 keeps all four rows on the canvas.
constexpr int64_t StampRight = EffectWidth - StampWidth;
constexpr int64_t StampBottom = EffectHeight - StampHeight;
constexpr uint64_t ShadowBits = 0x0101010101010101ull;

enum class Stamp { Solid, Shadow, ShadowOnEmpty };

// 0xFF in all 32 bytes.
void StampSolid(BYTE* at) {
    const uint64_t solid = ~0ull;
    for (int row = 0; row < StampHeight; row++) std::memcpy(at + row * EffectWidth, &solid, StampWidth);
}

// Sets the lowest bit only, so figure bytes (0xFF) stay figure.
void StampShadow(BYTE* at) {
    for (int row = 0; row < StampHeight; row++) {
        uint64_t bytes;
        std::memcpy(&bytes, at + row * EffectWidth, sizeof bytes);
        bytes |= ShadowBits;
        std::memcpy(at + row * EffectWidth, &bytes, sizeof bytes);
    }
}

// The shadow where no solid stamp has fallen yet (bytes 0 or 0x01 only): setting the lowest
// bit is then a plain store, which spares each stamp reading what the one before just wrote.
void StampShadowOnEmpty(BYTE* at) {
    for (int row = 0; row < StampHeight; row++) std::memcpy(at + row * EffectWidth, &ShadowBits, StampWidth);
}

// Positions are pixel x 32768 (17.15), held in 64 bits so that no coordinate can overflow;
// for the figure's coordinates the steps and stamps are those of 32-bit arithmetic.
void DrawLine(int x0, int y0, int x1, int y1, Stamp stamp) {
    const int64_t dx = std::llabs(static_cast<int64_t>(x1) - x0);
    const int64_t dy = std::llabs(static_cast<int64_t>(y1) - y0);
    if (dx == 0 && dy == 0) return;
    int64_t count, stepX, stepY;
    if (dx >= dy) {  // x major, also at 45 degrees
        count = dx;
        stepX = 32768;
        stepY = dy * 32768 / dx;
    } else {
        count = dy;
        stepY = 32768;
        stepX = dx * 32768 / dy;
    }
    if (x0 > x1) stepX = -stepX;
    if (y0 > y1) stepY = -stepY;
    int64_t posX = static_cast<int64_t>(x0) * 32768;
    int64_t posY = static_cast<int64_t>(y0) * 32768;
    for (int64_t i = 0; i < count; i++) {
        int64_t x = posX >> 15, y = posY >> 15;  // arithmetic: toward minus infinity
        if (x >= 0 && x < StampRight && y >= 0 && y < StampBottom) {
            BYTE* at = FigureCanvas + y * EffectWidth + x;
            if (stamp == Stamp::Solid)
                StampSolid(at);
            else if (stamp == Stamp::Shadow)
                StampShadow(at);
            else
                StampShadowOnEmpty(at);
        }
        posX += stepX;
        posY += stepY;
    }
}

}  // namespace

void DrawCanvasLine(int x0, int y0, int x1, int y1, int mode) {
    DrawLine(x0, y0, x1, y1, mode == 0 ? Stamp::Solid : Stamp::Shadow);
}

namespace {

// The integers of one chord at angle a: a point (x1, y1) of the first circle and (x2, y2) of
// the second, both after the frame's transform. |x| <= 150, |y| <= 212.
struct Chord {
    int x1, y1, x2, y2;
};

struct FigureMotion {
    int cx, cy;           // centre offset, -100..100 pixels
    double p, q;          // phases of the two circles, radians
    double c, s, s2;      // the transform: rows (c, s) and (-s2, c)
};

FigureMotion MotionAt(float t) {
    const double time = t;
    FigureMotion m;
    m.cx = static_cast<int>(std::sin(time * (1.0 / 11)) * 100.0);
    m.cy = static_cast<int>(std::sin(time * (1.0 / 13)) * 100.0);
    m.p = time * 0.1;
    m.q = time * 0.2;
    m.c = std::cos(time * 0.05);
    m.s = std::sin(time * 0.05);
    m.s2 = std::sin(time * (1.0 / 15));
    return m;
}

Chord ChordAt(float a, const FigureMotion& m) {
    const double angle = a;
    int x1 = static_cast<int>(150.0 * std::sin(angle + m.p));
    int y1 = static_cast<int>(150.0 * std::cos(angle + m.p));
    int x2 = static_cast<int>(150.0 * std::sin(angle + m.q));
    int y2 = static_cast<int>(150.0 * std::cos(angle + m.q));
    Chord chord;
    chord.x1 = static_cast<int>(x1 * m.c + y1 * m.s);
    chord.y1 = static_cast<int>(y1 * m.c - x1 * m.s2);
    chord.x2 = static_cast<int>(x2 * m.c + y2 * m.s);
    chord.y2 = static_cast<int>(y2 * m.c - x2 * m.s2);
    return chord;
}

// The next angle of a figure loop; false when the loop is done. The sum is compared before
// it is rounded to single precision: 0.628f five times reaches exactly 3.14f, so each loop
// runs five passes.
bool NextAngle(float& a) {
    const double sum = static_cast<double>(a) + static_cast<double>(0.628f);
    a = static_cast<float>(sum);
    return sum < static_cast<double>(3.14f);
}

// One chord as ends relative to the figure's centre.
struct ChordLine {
    int x0, y0, x1, y1;
};

// The centre of the solid figure and its ten chords in drawing order: five from a point of
// the first circle to the opposite of a point of the second, then five at the half-way
// angles from the opposite of the first circle to the second.
void FigureChords(float t, int& centreX, int& centreY, ChordLine (&lines)[10]) {
    const FigureMotion m = MotionAt(t);
    centreX = 320 + m.cx;
    centreY = 240 + m.cy;
    int count = 0;
    float a = 0.0f;
    do {
        const Chord k = ChordAt(a, m);
        lines[count++] = {k.x1, k.y1, -k.x2, -k.y2};
    } while (NextAngle(a) && count < 5);
    a = 0.314f;
    do {
        const Chord k = ChordAt(a, m);
        lines[count++] = {-k.x1, -k.y1, k.x2, k.y2};
    } while (NextAngle(a) && count < 10);
}

}  // namespace

// A solid stamp writes 0xFF and a shadow stamp only sets the lowest bit, so the canvas does not
// depend on the drawing order: the shadow copy (15 pixels right and down) goes first, onto the
// cleared canvas, with plain stores.
void DrawWireFigure(float t) {
    std::memset(FigureCanvas, 0, sizeof FigureCanvas);
    int x, y;
    ChordLine lines[10] = {};
    FigureChords(t, x, y, lines);
    for (const ChordLine& l : lines) DrawLine(x + 15 + l.x0, y + 15 + l.y0, x + 15 + l.x1, y + 15 + l.y1, Stamp::ShadowOnEmpty);
    for (const ChordLine& l : lines) DrawLine(x + l.x0, y + l.y0, x + l.x1, y + l.y1, Stamp::Solid);
}

void DrawWireFigureReference(float t) {
    std::memset(FigureCanvas, 0, sizeof FigureCanvas);
    int x, y;
    ChordLine lines[10] = {};
    FigureChords(t, x, y, lines);
    for (const ChordLine& l : lines) {
        DrawCanvasLine(x + l.x0, y + l.y0, x + l.x1, y + l.y1, 0);
        DrawCanvasLine(x + 15 + l.x0, y + 15 + l.y0, x + 15 + l.x1, y + 15 + l.y1, 1);
    }
}

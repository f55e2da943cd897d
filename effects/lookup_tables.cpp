// The effects' start-up tables: the sine table, the plasma map and the 16-bit texture.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "effects/colour.h"
#include "effects/reference.h"
#include "effects/tables.h"
#include "platform/win32/crt.h"

int SineTable[1024];
BYTE PlasmaMap[EffectWidth * EffectHeight];
WORD TextureRgb16[256 * 256];

namespace {

constexpr double SineStep = 6.283185307179586 / 1024;  // 2 pi / 1024; a power-of-two division is exact
constexpr int TexelCount = 256 * 256;
constexpr unsigned TextureFileBytes = TexelCount * 3;  // 196 608: red, green, blue per texel

void BuildSineTable() {
    for (int i = 0; i < 1024; i++) SineTable[i] = static_cast<int>(std::sin(i * SineStep) * 50.0);
}

// The plasma's ten waves; s = x + y runs along the diagonals, u = 2x along the columns,
// v = 2y along the rows. The order of the sum is the order of these functions.
double DiagonalWave1(int s) { return 16.7 * std::sin(s * 0.1); }
double ColumnWave2(int u) { return 15.7 * std::sin(u * (1.0 / 12)); }
double ColumnWave3(int u) { return 9.7 * std::cos(u * (1.0 / 24)); }
double DiagonalWave4(int s) { return 13.7 * std::cos(s * 0.0625); }
double ColumnWave5(int u) { return 12.7 * std::sin(u * (1.0 / 18)); }
double DiagonalWave6(int s) { return 7.7 * std::sin(s * (1.0 / 28)); }
double DiagonalWave7(int s) { return 10.7 * std::sin(s * (1.0 / 22)); }
double RowWave8(int v) { return 11.7 * std::sin(v * 0.05); }
double RowWave9(int v) { return 8.7 * std::sin(v * (1.0 / 26)); }
double RowWave10(int v) { return 14.7 * std::sin(v * (1.0 / 14)); }

BYTE PlasmaByte(double w1, double w2, double w3, double w4, double w5, double w6, double w7,
                double w8, double w9, double w10) {
    double sum = w1 + w2 + w3 + w4 + w5 + w6 + w7 + w8 + w9 + w10;
    return static_cast<BYTE>(sum + 127.0);
}

// Each wave depends on one of s, u, v only, so it is taken once per value (about 7 800 sines
// instead of 2.15 million) and the same doubles are summed in the same order per pixel.
void BuildPlasmaMap() {
    constexpr int Diagonals = EffectWidth + EffectHeight - 1;
    double d1[Diagonals], d4[Diagonals], d6[Diagonals], d7[Diagonals];
    double c2[EffectWidth], c3[EffectWidth], c5[EffectWidth];
    for (int s = 0; s < Diagonals; s++) {
        d1[s] = DiagonalWave1(s);
        d4[s] = DiagonalWave4(s);
        d6[s] = DiagonalWave6(s);
        d7[s] = DiagonalWave7(s);
    }
    for (int x = 0; x < EffectWidth; x++) {
        c2[x] = ColumnWave2(2 * x);
        c3[x] = ColumnWave3(2 * x);
        c5[x] = ColumnWave5(2 * x);
    }
    for (int y = 0; y < EffectHeight; y++) {
        double r8 = RowWave8(2 * y), r9 = RowWave9(2 * y), r10 = RowWave10(2 * y);
        BYTE* row = PlasmaMap + y * EffectWidth;
        for (int x = 0; x < EffectWidth; x++) {
            int s = x + y;
            row[x] = PlasmaByte(d1[s], c2[x], c3[x], d4[s], c5[x], d6[s], d7[s], r8, r9, r10);
        }
    }
}

// Top five bits of each channel byte.
WORD ConvertTexel(const BYTE* rgb) { return PackColour(rgb[0] >> 3, rgb[1] >> 3, rgb[2] >> 3); }

}  // namespace

// A missing or short file, or no staging memory, leaves the texels not supplied in full at 0;
// the show goes on either way.
void LoadTextureTable() {
    std::memset(TextureRgb16, 0, sizeof TextureRgb16);
    BYTE* staging = static_cast<BYTE*>(std::malloc(TextureFileBytes));
    if (!staging) return;
    int supplied = 0;
    int file = _open("images\\screen1tex.raw", _O_RDONLY | _O_BINARY);
    if (file >= 0) {
        supplied = _read(file, staging, TextureFileBytes);
        _close(file);
    }
    int texels = supplied > 0 ? supplied / 3 : 0;
    for (int k = 0; k < texels; k++) TextureRgb16[k] = ConvertTexel(staging + 3 * k);
    std::free(staging);
}

void BuildLookupTables() {
    BuildSineTable();
    BuildPlasmaMap();
    LoadTextureTable();
}

void BuildPlasmaMapReference() {
    for (int y = 0; y < EffectHeight; y++) {
        for (int x = 0; x < EffectWidth; x++) {
            int s = x + y, u = 2 * x, v = 2 * y;
            PlasmaMap[y * EffectWidth + x] =
                PlasmaByte(DiagonalWave1(s), ColumnWave2(u), ColumnWave3(u), DiagonalWave4(s),
                           ColumnWave5(u), DiagonalWave6(s), DiagonalWave7(s), RowWave8(v),
                           RowWave9(v), RowWave10(v));
        }
    }
}

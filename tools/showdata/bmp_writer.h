// Encodes a picture as a 24-bit BMP file: BITMAPINFOHEADER, bottom-up rows padded to 4 bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/showdata/image.h"

namespace showdata {

inline constexpr int kBmpHeaderBytes = 54;  // 14-byte file header + 40-byte info header

// Bytes per stored row: 3 per pixel, rounded up to a multiple of 4.
int BmpRowBytes(int width);
// The whole file. The picture must be at least 1 x 1.
std::vector<uint8_t> EncodeBmp24(const Image& image);

}  // namespace showdata

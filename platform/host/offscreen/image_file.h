// Recorded frames as picture files, for the capture tool: the stand-in owns the image library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes a width x height 16-bit frame (rows pitch bytes apart, 5-5-5 or 5-6-5) as a 24-bit
// PNG, each pixel repeated `scale` times in both directions. `why` says what failed.
bool WriteFramePng(const std::string& path, const uint16_t* pixels, int width, int height, int pitch,
                   bool rgb555, int scale, std::string& why);

// Expands a frame to packed RGB24 rows (width * scale * 3 bytes each), each pixel repeated
// `scale` times in both directions. `out` is resized as needed (no allocation once sized).
void ExpandFrameRgb(const uint16_t* pixels, int width, int height, int pitch, bool rgb555, int scale,
                    std::vector<uint8_t>& out);

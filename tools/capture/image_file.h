// Recorded frames as RGB rows and PNG files, for --format png and --video.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes width x height packed RGB24 pixels (rows width * 3 bytes apart) as a 24-bit PNG.
// `why` says what failed. Safe to call from several threads at once.
bool WriteRgbPng(const std::string& path, const uint8_t* rgb, int width, int height, std::string& why);

// Expands a frame to packed RGB24 rows (width * scale * 3 bytes each), each pixel repeated
// `scale` times in both directions. `out` is resized as needed (no allocation once sized).
void ExpandFrameRgb(const uint16_t* pixels, int width, int height, int pitch, bool rgb555, int scale,
                    std::vector<uint8_t>& out);

// Writes small 24-bit BMP pictures for the tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct Rgb {
    uint8_t r, g, b;
};

// A bottom-up 24-bit BI_RGB picture whose pixel (x, y), y from the top, is colour(x, y).
bool WriteBmp24(const std::string& path, int width, int height,
                const std::function<Rgb(int x, int y)>& colour);

// The 5-6-5 or 5-5-5 word the picture loader makes of a colour (channels truncated).
uint16_t Pack16(Rgb c, bool rgb555);

// 16-bit pixels to 8-bit channels, the same way everywhere a frame leaves the show (the
// window, PNG frames, video): bit replication, so 0 stays 0 and full scale becomes 255.
#pragma once

#include <cstdint>

// XRGB8888 of every 16-bit pixel value of the layout; built once, never freed.
const uint32_t* PixelExpandTable(bool rgb555);

// Pictures decoded by the image library, for both loaders of the stand-in (LoadImageA's BMPs
// and LoadTexture's BMPs and PPMs). The library is this machine's, like the window: it sits
// behind the seam, and what comes back is plain pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DecodedImage {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, rows top-down as the picture shows them
};

// `type` is "BMP" or "PNM". False, with the library's reason in `why`, when it refuses.
bool DecodeImage(const std::vector<uint8_t>& bytes, const char* type, DecodedImage& image, std::string& why);

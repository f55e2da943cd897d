// Recorded frames as PNG pictures through SDL2_image.
#include "platform/host/offscreen/image_file.h"

#include <SDL.h>
#include <SDL_image.h>

#include "platform/host/pixel_expand.h"

void ExpandFrameRgb(const uint16_t* pixels, int width, int height, int pitch, bool rgb555, int scale,
                    std::vector<uint8_t>& out) {
    const uint32_t* table = PixelExpandTable(rgb555);
    const size_t rowBytes = static_cast<size_t>(width) * scale * 3;
    out.resize(rowBytes * height * scale);
    for (int y = 0; y < height; y++) {
        const uint16_t* in = reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(pixels) +
                                                               static_cast<ptrdiff_t>(y) * pitch);
        uint8_t* row = &out[rowBytes * y * scale];
        uint8_t* o = row;
        for (int x = 0; x < width; x++) {
            const uint32_t c = table[in[x]];
            for (int k = 0; k < scale; k++) {
                *o++ = static_cast<uint8_t>(c >> 16);
                *o++ = static_cast<uint8_t>(c >> 8);
                *o++ = static_cast<uint8_t>(c);
            }
        }
        for (int k = 1; k < scale; k++) std::copy(row, row + rowBytes, row + rowBytes * k);
    }
}

bool WriteFramePng(const std::string& path, const uint16_t* pixels, int width, int height, int pitch,
                   bool rgb555, int scale, std::string& why) {
    static std::vector<uint8_t> rgb;  // kept between frames
    ExpandFrameRgb(pixels, width, height, pitch, rgb555, scale, rgb);
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(rgb.data(), width * scale, height * scale, 24,
                                                              width * scale * 3, SDL_PIXELFORMAT_RGB24);
    if (!surface) {
        why = SDL_GetError();
        return false;
    }
    const bool ok = IMG_SavePNG(surface, path.c_str()) == 0;
    if (!ok) why = IMG_GetError();
    SDL_FreeSurface(surface);
    return ok;
}

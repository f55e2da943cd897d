// DecodeImage through SDL_image: any layout the library reads, converted to XRGB8888.
#include "platform/host/image_decode.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>

bool DecodeImage(const std::vector<uint8_t>& bytes, const char* type, DecodedImage& image, std::string& why) {
    SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    SDL_Surface* decoded = stream ? IMG_LoadTyped_RW(stream, 1, type) : nullptr;
    SDL_Surface* rgb = decoded ? SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_XRGB8888, 0) : nullptr;
    if (decoded) SDL_FreeSurface(decoded);
    if (!rgb) {
        why = SDL_GetError();
        return false;
    }
    image.width = rgb->w;
    image.height = rgb->h;
    image.pixels.resize(static_cast<size_t>(rgb->w) * static_cast<size_t>(rgb->h));
    for (int y = 0; y < rgb->h; y++) {
        const uint8_t* row = static_cast<const uint8_t*>(rgb->pixels) + static_cast<ptrdiff_t>(y) * rgb->pitch;
        uint32_t* out = image.pixels.data() + static_cast<size_t>(y) * rgb->w;
        std::memcpy(out, row, static_cast<size_t>(rgb->w) * 4);
        for (int x = 0; x < rgb->w; x++) out[x] &= 0x00FFFFFFu;
    }
    SDL_FreeSurface(rgb);
    return true;
}

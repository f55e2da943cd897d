// Recorded frames as RGB rows and as PNG pictures through libpng.
#include "tools/capture/image_file.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

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

namespace {

// libpng reports through these; an error ends the write by jumping back into EncodePng.
struct PngFailure {
    char message[200];
};

void OnPngError(png_structp png, png_const_charp message) {
    auto* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
    std::snprintf(failure->message, sizeof failure->message, "%s", message ? message : "libpng failed");
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// The encoding itself, kept apart from anything with a destructor, since an error leaves it by
// longjmp. False with failure.message set.
bool EncodePng(FILE* file, const uint8_t* rgb, int width, int height, PngFailure& failure) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure, OnPngError, OnPngWarning);
    if (!png) {
        std::snprintf(failure.message, sizeof failure.message, "libpng could not start");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        if (!info) std::snprintf(failure.message, sizeof failure.message, "libpng could not start");
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, file);
    // Frames come by the thousand: the fastest deflate level and one filter write a frame in
    // about a quarter of the time the default settings take, for files 10-35% larger.
    png_set_compression_level(png, 1);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_write_info(png, info);
    for (int y = 0; y < height; y++) png_write_row(png, rgb + static_cast<size_t>(y) * width * 3);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WriteRgbPng(const std::string& path, const uint8_t* rgb, int width, int height, std::string& why) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        why = std::strerror(errno);
        return false;
    }
    PngFailure failure{};
    bool ok = EncodePng(file, rgb, width, height, failure);
    if (!ok) why = failure.message;
    if (std::fclose(file) != 0 && ok) {
        why = std::strerror(errno);
        ok = false;
    }
    return ok;
}

// Reading the generated show data back in the tests: whole files and 24-bit BMP pictures.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace showdata_test {

inline std::string DataPath(const std::string& name) { return std::string(ZELK6_BUILTIN_DATA) + "/" + name; }

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline uint32_t Le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
inline uint32_t Le32(const std::vector<uint8_t>& b, size_t at) { return Le16(b, at) | Le16(b, at + 2) << 16; }

struct Pixel {
    uint8_t r, g, b;
    bool Black() const { return r == 0 && g == 0 && b == 0; }
    // What survives the reduction to 5 bits a channel: black there is transparent too.
    bool BlackIn16Bits() const { return r < 8 && g < 8 && b < 8; }
    int Max() const { return r > g ? (r > b ? r : b) : (g > b ? g : b); }
};

// A 24-bit BI_RGB bottom-up BMP, checked field by field; `error` says what is wrong.
struct Picture {
    std::string error;
    int width = 0, height = 0;
    std::vector<Pixel> pixels;  // top row first
    const Pixel& At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

inline Picture PictureError(const char* error) {
    Picture picture;
    picture.error = error;
    return picture;
}

inline Picture ReadPicture(const std::string& path) {
    Picture picture;
    const std::vector<uint8_t> b = ReadBytes(path);
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return PictureError("not a BMP file");
    if (Le32(b, 2) != b.size()) return PictureError("file size field differs from the file's size");
    if (Le32(b, 10) != 54 || Le32(b, 14) != 40) return PictureError("not a plain BITMAPINFOHEADER picture");
    const int32_t width = static_cast<int32_t>(Le32(b, 18)), height = static_cast<int32_t>(Le32(b, 22));
    if (width < 1 || height < 1) return PictureError("not a bottom-up picture with a size");
    if (Le16(b, 26) != 1 || Le16(b, 28) != 24 || Le32(b, 30) != 0) return PictureError("not 24-bit uncompressed");
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    if (Le32(b, 34) != stride * height || b.size() != 54 + stride * height)
        return PictureError("pixel data size differs from the padded rows");
    picture.width = width;
    picture.height = height;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = &b[54 + stride * (height - 1 - y)];
        for (int x = 0; x < width; ++x) picture.pixels.push_back({row[3 * x + 2], row[3 * x + 1], row[3 * x]});
    }
    return picture;
}

}  // namespace showdata_test

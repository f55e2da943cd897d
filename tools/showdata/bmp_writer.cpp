// 24-bit BMP encoding, the plainest form every picture loader reads.
#include "tools/showdata/bmp_writer.h"

#include <stdexcept>

namespace showdata {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

int BmpRowBytes(int width) { return (width * 3 + 3) & ~3; }

std::vector<uint8_t> EncodeBmp24(const Image& image) {
    if (image.width < 1 || image.height < 1 ||
        image.pixels.size() != static_cast<size_t>(image.width) * image.height)
        throw std::invalid_argument("picture has no pixels or a wrong pixel count");
    const uint32_t rowBytes = BmpRowBytes(image.width);
    const uint32_t dataBytes = rowBytes * image.height;
    std::vector<uint8_t> out;
    out.reserve(kBmpHeaderBytes + dataBytes);
    // BITMAPFILEHEADER
    out.push_back('B');
    out.push_back('M');
    Put32(out, kBmpHeaderBytes + dataBytes);
    Put32(out, 0);  // two reserved words
    Put32(out, kBmpHeaderBytes);
    // BITMAPINFOHEADER
    Put32(out, 40);
    Put32(out, image.width);
    Put32(out, image.height);  // positive: bottom-up
    Put16(out, 1);             // planes
    Put16(out, 24);            // bits per pixel
    Put32(out, 0);             // BI_RGB
    Put32(out, dataBytes);
    Put32(out, 2835);  // 72 dpi, in pixels per metre
    Put32(out, 2835);
    Put32(out, 0);  // no palette
    Put32(out, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        const Rgb* row = &image.pixels[static_cast<size_t>(y) * image.width];
        for (int x = 0; x < image.width; ++x) {
            out.push_back(row[x].b);
            out.push_back(row[x].g);
            out.push_back(row[x].r);
        }
        for (uint32_t pad = image.width * 3; pad < rowBytes; ++pad) out.push_back(0);
    }
    return out;
}

}  // namespace showdata

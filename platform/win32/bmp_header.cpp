// Checks on a BMP file's headers before decoding: signature, header size, dimensions, bit depth,
// compression, and that uncompressed pixel rows fit in the file.
#include "platform/win32/bmp_header.h"

namespace {

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;

uint32_t U16(const uint8_t* p) { return static_cast<uint32_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) { return U16(p) | U16(p + 2) << 16; }
int64_t S32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }

bool KnownInfoHeader(uint32_t size) {
    // OS/2 1.x core header, then the Windows headers up to version 5. The OS/2 2.x header (64)
    // gives compression codes other meanings, so it is refused rather than misread.
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool DepthFitsCompression(int bits, uint32_t compression) {
    switch (compression) {
        case kBiRgb: return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
        case kBiRle8: return bits == 8;
        case kBiRle4: return bits == 4;
        case kBiBitfields: return bits == 16 || bits == 32;
        default: return false;  // JPEG, PNG and the rarer codes are not read
    }
}

}  // namespace

const char* CheckBmpHeader(const uint8_t* head, size_t headSize, uint64_t fileSize,
                           BmpHeaderInfo* info) {
    if (headSize < 18 || fileSize < 18) return "file too short for a BMP header";
    if (head[0] != 'B' || head[1] != 'M') return "not a BMP file";
    if (fileSize > kBmpMaxFileBytes) return "file too large for a BMP picture";
    uint32_t dataOffset = U32(head + 10);
    uint32_t infoSize = U32(head + 14);
    if (!KnownInfoHeader(infoSize)) return "unknown BMP header version";
    if (14 + infoSize > headSize || 14 + infoSize > fileSize) return "BMP header cut short";

    int64_t width, height;
    int bits;
    uint32_t compression = kBiRgb;
    if (infoSize == 12) {
        width = U16(head + 18);
        height = U16(head + 20);
        bits = static_cast<int>(U16(head + 24));
    } else {
        width = S32(head + 18);
        height = S32(head + 22);
        bits = static_cast<int>(U16(head + 28));
        compression = U32(head + 30);
    }
    if (height < 0) height = -height;  // top-down rows
    if (width <= 0 || height <= 0) return "BMP dimensions not positive";
    if (width > kBmpMaxSide || height > kBmpMaxSide || width * height > kBmpMaxPixels)
        return "BMP dimensions too large";
    if (!DepthFitsCompression(bits, compression)) return "unsupported BMP depth or compression";
    if (dataOffset < 14 + infoSize || dataOffset >= fileSize) return "BMP pixel data outside the file";

    if (compression == kBiRgb || compression == kBiBitfields) {
        // Rows are padded to 4 bytes; every row must be in the file.
        int64_t stride = (width * bits + 31) / 32 * 4;
        if (static_cast<uint64_t>(stride * height) > fileSize - dataOffset)
            return "BMP pixel data cut short";
    }
    info->width = static_cast<int>(width);
    info->height = static_cast<int>(height);
    info->bitsPerPixel = bits;
    return nullptr;
}

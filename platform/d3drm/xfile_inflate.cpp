// The importer's MSZIP layout: after the 16-byte header, 6 bytes it skips, then blocks of a
// 16-bit length, "CK" and that many bytes of raw deflate data. Each block inflates on its own
// into at most 32786 bytes, with the previous block's output as its dictionary. Its reads of
// a block may run two bytes past the file (it checks against the end plus two); those read
// as zero here.
#include "platform/d3drm/xfile_inflate.h"

#include <zlib.h>

namespace {

constexpr size_t kBlock = 32786;
constexpr uint32_t kMagic = 0x4B43;  // "CK"

uint32_t Word(const std::vector<uint8_t>& b, size_t i) { return b[i] | b[i + 1] << 8; }

}  // namespace

XInflate InflateXFile(const uint8_t* bytes, size_t size, std::vector<uint8_t>& out) {
    std::vector<uint8_t> in(bytes, bytes + size);
    in.resize(size + 2, 0);  // the importer's terminator, and the byte its check lets it read
    const size_t end = size;

    size_t blocks = 0;
    for (size_t q = 22; q + 3 < end;) {
        uint32_t length = Word(in, q);
        if (length >= kBlock || Word(in, q + 2) != kMagic) return XInflate::Fails;
        q += 4 + length;
        ++blocks;
    }
    if (blocks > kMaxInflatedXFile / kBlock) return XInflate::TooLarge;

    out.assign(blocks * kBlock, 0);
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return XInflate::Fails;
    size_t produced = 0;
    XInflate result = XInflate::Done;
    for (size_t p = 22; p + 3 < end;) {
        uint32_t length = Word(in, p);
        p += 4;
        if (p + length > end + 2) {
            result = XInflate::Fails;
            break;
        }
        if (length > 0) {  // an empty block is skipped, not inflated
            z.next_in = &in[p];
            z.avail_in = length;
            z.next_out = &out[produced];
            z.avail_out = kBlock;
            int ret = inflate(&z, Z_SYNC_FLUSH);
            if (ret != Z_OK && ret != Z_STREAM_END) {
                result = XInflate::Fails;
                break;
            }
            inflateReset(&z);
            size_t got = kBlock - z.avail_out;
            inflateSetDictionary(&z, &out[produced], static_cast<uInt>(got));
            produced += got;
        }
        p += length;
    }
    inflateEnd(&z);
    out.resize(produced);
    return result;
}

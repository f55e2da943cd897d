// Checks on a BMP file's headers before the image decoder sees the file, so a damaged or hostile
// file is refused cheaply instead of driving the decoder into a huge allocation. Stand-in internal.
#pragma once

#include <cstddef>
#include <cstdint>

// Largest picture accepted: 16384 pixels a side and 2^24 pixels in all (64 MB as a 32-bit DIB).
// The show's pictures are at most a few hundred thousand pixels; the bounds only stop files
// that promise far more pixels than they could hold.
constexpr int kBmpMaxSide = 16384;
constexpr int64_t kBmpMaxPixels = int64_t{1} << 24;
// Largest file read: the biggest picture's 32-bit rows and room for headers, palette and slack.
constexpr uint64_t kBmpMaxFileBytes = kBmpMaxPixels * 4 + (1 << 20);
// Bytes of the file CheckBmpHeader may look at: the file header and the largest info header.
constexpr size_t kBmpHeadBytes = 14 + 124;

struct BmpHeaderInfo {
    int width;         // pixels
    int height;        // rows, positive also for a top-down file
    int bitsPerPixel;  // 1, 4, 8, 16, 24 or 32
};

// `head` holds the first min(kBmpHeadBytes, fileSize) bytes of a file of `fileSize` bytes.
// Returns null when the file may be decoded (and fills `info`), else why it is refused.
const char* CheckBmpHeader(const uint8_t* head, size_t headSize, uint64_t fileSize,
                           BmpHeaderInfo* info);

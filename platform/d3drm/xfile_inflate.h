// Compressed X files ("tzip", "bzip") inflated the way the importer inflates them, so that
// the check reads what the importer will read. Stand-in internal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class XInflate {
    Done,      // `out` holds the inflated body (no header)
    Fails,     // the importer stops with an error of its own
    TooLarge,  // its block count asks for more than kMaxInflatedXFile bytes
};

// The importer sizes its buffer at 32786 bytes per block before inflating any: a file of
// empty blocks asks for gigabytes.
constexpr size_t kMaxInflatedXFile = size_t{256} << 20;

// `bytes` is the whole file, header included (at least 16 bytes).
XInflate InflateXFile(const uint8_t* bytes, size_t size, std::vector<uint8_t>& out);

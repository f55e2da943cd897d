// Fuzzes the raw texture read of BuildLookupTables; the first byte picks 5-6-5 or 5-5-5.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "display/display.h"
#include "effects/tables.h"
#include "fuzz/fuzz_support.h"

namespace {

const size_t kTexels = 256 * 256;

// What the lookup tables promise about the texture whatever the file holds: the texels the
// file supplied in full are in the display's layout, all others are 0.
void CheckTexture(size_t fileBytes, bool rgb555) {
    size_t supplied = fileBytes / 3 < kTexels ? fileBytes / 3 : kTexels;
    for (size_t k = 0; k < kTexels; k++) {
        WORD texel = TextureRgb16[k];
        // 5-5-5 leaves the top bit clear; 5-6-5 the lowest green bit.
        bool outside = k >= supplied ? texel != 0 : rgb555 ? (texel & 0x8000) : (texel & 0x0020);
        if (outside) {
            std::fprintf(stderr, "texel %zu is 0x%04X (file bytes %zu, %s)\n", k, texel, fileBytes,
                         rgb555 ? "5-5-5" : "5-6-5");
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    bool rgb555 = data[0] & 1;
    IsRgb555 = rgb555;  // as the display set-up leaves it; the read needs no display itself
    WriteFuzzFile("images/screen1tex.raw", data + 1, size - 1);
    {
        FuzzWorkingDir inFolder;
        LoadTextureTable();  // the part of BuildLookupTables that reads the file
    }
    CheckTexture(size - 1, rgb555);
    return 0;
}

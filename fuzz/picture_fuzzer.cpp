// Fuzzes LoadBitmapSurface: a BMP file into an off-screen surface; the first byte picks 5-6-5 or 5-5-5.
#include <cstddef>
#include <cstdint>

#include "display/bitmap.h"
#include "display/display.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    UseFuzzDisplay(data[0] & 1);
    std::string path = WriteFuzzFile("images/fuzz.bmp", data + 1, size - 1);

    ObjectCounts before = LivePlatformObjects();
    IDirectDrawSurface* surface = LoadBitmapSurface(path.c_str(), 0, 0);
    if (surface) surface->Release();
    CheckObjectsGivenBack(before, "LoadBitmapSurface");
    return 0;
}

// LoadImageA for bitmaps: a BMP file (Windows-style name) becomes a 32-bit DIB section.
// Reproduces loading from a file with LR_LOADFROMFILE, at the picture's own size or stretched
// (nearest neighbour) to a size asked for. Leaves out icons, cursors and resources: the program
// carries no bitmap resources, so a resource lookup always finds nothing.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/host/image_decode.h"
#include "platform/testing/hooks.h"
#include "platform/win32/bmp_header.h"
#include "platform/win32/gdi.h"
#include "platform/win32/paths.h"
#include "platform/win32/whole_file.h"
#include "platform/win32/windows_internal.h"

namespace {

// Names below 0x10000 are resource numbers (MAKEINTRESOURCE), not text.
bool IsResourceNumber(LPCSTR name) { return reinterpret_cast<uintptr_t>(name) < 0x10000; }

// A picture the show goes on without: said once on stderr, and kept as the last error.
void Refuse(const std::string& path, DWORD error, const std::string& why) {
    ReportFileProblem(path, why);
    SetLastErrorText(error, why);
}

// The whole file, or false when it cannot be read or its headers are refused.
bool ReadCheckedBmp(const std::string& path, std::vector<uint8_t>* bytes, BmpHeaderInfo* info) {
    int error = 0;
    const WholeFile read = ReadWholeFile(path, kBmpMaxFileBytes, *bytes, error);
    if (read != WholeFile::Read) {
        Refuse(path,
               read == WholeFile::NotOpened ? ERROR_FILE_NOT_FOUND
               : read == WholeFile::NotRead ? ERROR_READ_FAULT
                                            : ERROR_BAD_FORMAT,
               WhyNotRead(read, error, "a BMP picture"));
        return false;
    }
    const char* why = CheckBmpHeader(bytes->data(), std::min(bytes->size(), kBmpHeadBytes), bytes->size(), info);
    if (why) Refuse(path, ERROR_BAD_FORMAT, why);
    return !why;
}

// Decodes with the image library; false when it refuses the file.
bool DecodeBmp(const std::string& path, const std::vector<uint8_t>& bytes, const BmpHeaderInfo& info,
               DecodedImage* picture) {
    std::string why;
    bool decoded = DecodeImage(bytes, "BMP", *picture, why);
    // The decoder must agree with the headers checked above, or those bounds mean nothing.
    if (decoded && (picture->width != info.width || picture->height != info.height)) {
        decoded = false;
        why = "decoded size differs from the header";
    }
    if (!decoded) Refuse(path, ERROR_BAD_FORMAT, why);
    return decoded;
}

// A bitmap of width x height from `picture`, nearest neighbour on pixel centres (one to one when
// the sizes agree).
HGDIOBJ BitmapFrom(const DecodedImage& picture, int width, int height) {
    HGDIOBJ bitmap = NewGdiBitmap(width, height);
    for (int y = 0; y < height; y++) {
        int64_t sy = (2 * int64_t{y} + 1) * picture.height / (2 * int64_t{height});
        const uint32_t* row = picture.pixels.data() + sy * picture.width;
        uint32_t* out = bitmap->pixels.data() + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; x++)
            out[x] = row[(2 * int64_t{x} + 1) * picture.width / (2 * int64_t{width})];
    }
    return bitmap;
}

}  // namespace

HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags) {
    (void)instance;  // a file name is looked up the same way whatever the module
    bool textName = name && !IsResourceNumber(name);
    if (standin::CallLogEnabled()) standin::LogCall(std::string("LoadImageA ") + (textName ? name : "#"));
    if (standin::TakeFault("LoadImageA")) return nullptr;
    if (type != IMAGE_BITMAP || !textName || !(flags & LR_LOADFROMFILE)) return nullptr;

    std::string path = ResolvePath(name);
    std::vector<uint8_t> bytes;
    BmpHeaderInfo info;
    if (!ReadCheckedBmp(path, &bytes, &info)) return nullptr;
    DecodedImage picture;
    if (!DecodeBmp(path, bytes, info, &picture)) return nullptr;

    // 0 (or less) keeps the picture's own size on that axis.
    int w = width > 0 ? width : picture.width;
    int h = height > 0 ? height : picture.height;
    if (w > kBmpMaxSide || h > kBmpMaxSide || int64_t{w} * h > kBmpMaxPixels) {
        Refuse(path, ERROR_BAD_FORMAT, "requested size too large");
        return nullptr;
    }
    HGDIOBJ bitmap = BitmapFrom(picture, w, h);
    bitmap->file = path;
    return bitmap;
}

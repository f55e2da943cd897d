// Bitmap loading and copying through the GDI stand-in: every BMP variant against an independent
// decoder's colours in both 16-bit layouts, damaged files, name mapping, object lifetimes.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/testing/hooks.h"
#include "platform/win32/gdi.h"
#include "tests/platform/win32/guarded_target.h"

namespace {

const std::string kBmpDir = ZELK6_SOURCE_DIR "/tests/data/bmp/";
constexpr UINT kFromFile = LR_CREATEDIBSECTION | LR_LOADFROMFILE;

HBITMAP LoadFile(const std::string& path) {
    return LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, kFromFile);
}

// Copies `bitmap` one to one into `target` the way the picture loader does.
void CopyInto(HBITMAP bitmap, GuardedTarget& target, bool rgb555) {
    HDC surface = CreateTargetDC(target.Target(rgb555));
    HDC memory = CreateCompatibleDC(nullptr);
    ASSERT_TRUE(surface && memory);
    SelectObject(memory, bitmap);
    EXPECT_TRUE(StretchBlt(surface, 0, 0, target.width, target.height, memory, 0, 0, target.width,
                           target.height, SRCCOPY));
    DeleteDC(memory);
    DeleteTargetDC(surface);
}

class GdiBitmapVariant : public ::testing::TestWithParam<const char*> {};

TEST_P(GdiBitmapVariant, MatchesReferenceColoursInBothLayouts) {
    std::string name = GetParam();
    HBITMAP bitmap = LoadFile(kBmpDir + name + ".bmp");
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof(info), &info), static_cast<int>(sizeof(info)));
    EXPECT_EQ(info.bmWidth, 37);
    EXPECT_EQ(info.bmHeight, 23);
    EXPECT_EQ(info.bmBitsPixel, 32);

    SDL_Surface* png = IMG_Load((kBmpDir + name + ".expected.png").c_str());
    ASSERT_NE(png, nullptr) << IMG_GetError();
    SDL_Surface* reference = SDL_ConvertSurfaceFormat(png, SDL_PIXELFORMAT_RGB24, 0);
    SDL_FreeSurface(png);
    ASSERT_TRUE(reference && reference->w == 37 && reference->h == 23);

    for (bool rgb555 : {false, true}) {
        GuardedTarget target(37, 23);
        CopyInto(bitmap, target, rgb555);
        int bad = 0;
        std::string first;
        for (int y = 0; y < 23; y++)
            for (int x = 0; x < 37; x++) {
                const uint8_t* p = static_cast<uint8_t*>(reference->pixels) + y * reference->pitch + x * 3;
                uint16_t want = Expected16(p[0], p[1], p[2], rgb555);
                if (target.At(x, y) != want && bad++ == 0)
                    first = "(" + std::to_string(x) + "," + std::to_string(y) + ") got " +
                            std::to_string(target.At(x, y)) + " want " + std::to_string(want);
            }
        EXPECT_EQ(bad, 0) << name << (rgb555 ? " 555" : " 565") << ", first at " << first;
        // The quantised palettes (4-bit, RLE8) hold no pure black or white; where the picture
        // has them, black must stay exactly 0 (transparent) and white reach full scale.
        const uint16_t white = rgb555 ? 0x7FFF : 0xFFFF;
        auto referenceIs = [&](int x, int y, uint8_t v) {
            const uint8_t* p = static_cast<uint8_t*>(reference->pixels) + y * reference->pitch + x * 3;
            return p[0] == v && p[1] == v && p[2] == v;
        };
        for (int y = 0; y < 4; y++)
            for (int x = 0; x < 5; x++) {
                if (referenceIs(x, y, 0)) {
                    EXPECT_EQ(target.At(x, y), 0) << name << " black block";
                }
                if (referenceIs(36 - x, 22 - y, 255)) {
                    EXPECT_EQ(target.At(36 - x, 22 - y), white) << name << " white block";
                }
            }
        EXPECT_EQ(target.GuardDamage(), 0);
    }
    SDL_FreeSurface(reference);
    EXPECT_TRUE(DeleteObject(bitmap));
}

INSTANTIATE_TEST_SUITE_P(AllVariants, GdiBitmapVariant,
                         ::testing::Values("bmp1", "bmp4", "bmp4-rle", "bmp8", "bmp8-rle",
                                           "bmp16-565", "bmp16-555", "bmp24", "bmp24-topdown",
                                           "bmp32", "bmp32-v4"),
                         [](const auto& info) {
                             std::string n = info.param;
                             for (char& c : n)
                                 if (c == '-') c = '_';
                             return n;
                         });

// Largest single request the image library makes while the hook is in place.
size_t gLargestRequest = 0;
SDL_malloc_func gMalloc;
SDL_calloc_func gCalloc;
SDL_realloc_func gRealloc;
SDL_free_func gFree;
void* CountingMalloc(size_t n) { gLargestRequest = std::max(gLargestRequest, n); return gMalloc(n); }
void* CountingCalloc(size_t n, size_t size) {
    gLargestRequest = std::max(gLargestRequest, n * size);
    return gCalloc(n, size);
}
void* CountingRealloc(void* p, size_t n) { gLargestRequest = std::max(gLargestRequest, n); return gRealloc(p, n); }

TEST(GdiBitmapFile, DamagedFilesAreRefusedWithoutLargeAllocations) {
    SDL_GetMemoryFunctions(&gMalloc, &gCalloc, &gRealloc, &gFree);
    SDL_SetMemoryFunctions(CountingMalloc, CountingCalloc, CountingRealloc, gFree);
    int live = standin::LiveObjects("HBITMAP");
    for (const char* name : {"broken-empty", "broken-garbage", "broken-header-only",
                             "broken-huge-dimensions", "broken-truncated"}) {
        EXPECT_EQ(LoadFile(kBmpDir + name + ".bmp"), nullptr) << name;
    }
    SDL_SetMemoryFunctions(gMalloc, gCalloc, gRealloc, gFree);
    EXPECT_LT(gLargestRequest, size_t{1} << 20);
    EXPECT_EQ(standin::LiveObjects("HBITMAP"), live);
}

TEST(GdiBitmapFile, NamesResourcesAndFaults) {
    // A show folder with differently cased names, reached the way the show names files.
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("zelk6-gdi-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir / "Images");
    std::filesystem::copy_file(kBmpDir + "bmp24.bmp", dir / "Images" / "Load.BMP",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir);

    HBITMAP found = LoadImageA(nullptr, "images\\load.bmp", IMAGE_BITMAP, 0, 0, kFromFile);
    EXPECT_NE(found, nullptr);
    DeleteObject(found);
    // The program carries no bitmap resources, whatever the name.
    EXPECT_EQ(LoadImageA(reinterpret_cast<HINSTANCE>(1), "images\\load.bmp", IMAGE_BITMAP, 0, 0,
                         LR_CREATEDIBSECTION), nullptr);
    EXPECT_EQ(LoadImageA(nullptr, "images\\missing.bmp", IMAGE_BITMAP, 0, 0, kFromFile), nullptr);
    EXPECT_EQ(LoadImageA(nullptr, "images", IMAGE_BITMAP, 0, 0, kFromFile), nullptr);
    EXPECT_EQ(LoadImageA(nullptr, MAKEINTRESOURCEA(7), IMAGE_BITMAP, 0, 0, kFromFile), nullptr);
    standin::FailCall("LoadImageA", 1);
    EXPECT_EQ(LoadImageA(nullptr, "images\\load.bmp", IMAGE_BITMAP, 0, 0, kFromFile), nullptr);

    // A size asked for stretches the picture (nearest): 37 x 23 to 74 x 23 doubles each column.
    HBITMAP wide = LoadImageA(nullptr, "IMAGES\\LOAD.BMP", IMAGE_BITMAP, 74, 0, kFromFile);
    HBITMAP plain = LoadImageA(nullptr, "images\\load.bmp", IMAGE_BITMAP, 0, 0, kFromFile);
    ASSERT_TRUE(wide && plain);
    ASSERT_EQ(wide->width, 74);
    ASSERT_EQ(wide->height, 23);
    for (int y = 0; y < 23; y++)
        for (int x = 0; x < 74; x++)
            ASSERT_EQ(wide->pixels[y * 74 + x], plain->pixels[y * 37 + x / 2]) << x << "," << y;
    DeleteObject(wide);
    DeleteObject(plain);

    std::filesystem::current_path(before);
    std::filesystem::remove_all(dir);
    standin::Reset();
}

TEST(GdiObjects, LifetimesSelectionAndGetObject) {
    int bitmaps = standin::LiveObjects("HBITMAP"), dcs = standin::LiveObjects("HDC");
    HBITMAP bitmap = LoadFile(kBmpDir + "bmp8.bmp");
    HDC memory = CreateCompatibleDC(nullptr);
    ASSERT_TRUE(bitmap && memory);
    EXPECT_EQ(standin::LiveObjects("HBITMAP"), bitmaps + 1);
    EXPECT_EQ(standin::LiveObjects("HDC"), dcs + 1);

    // The size argument is respected: 8 bytes cover bmType and bmWidth only.
    BITMAP info;
    std::memset(&info, 0x5A, sizeof(info));
    EXPECT_EQ(GetObjectA(bitmap, 8, &info), 8);
    EXPECT_EQ(info.bmWidth, 37);
    EXPECT_EQ(info.bmHeight, 0x5A5A5A5A);
    EXPECT_EQ(GetObjectA(bitmap, 24, &info), 24);
    EXPECT_EQ(info.bmHeight, 23);
    EXPECT_EQ(info.bmWidthBytes, 37 * 4);
    EXPECT_EQ(info.bmPlanes, 1);
    EXPECT_EQ(GetObjectA(nullptr, 24, &info), 0);

    // Selection hands back the previous bitmap; a selected bitmap cannot be deleted.
    HGDIOBJ stock = SelectObject(memory, bitmap);
    ASSERT_NE(stock, nullptr);
    EXPECT_EQ(SelectObject(memory, bitmap), bitmap);
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, bitmap), nullptr) << "a bitmap sits in one context at a time";
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_EQ(SelectObject(memory, stock), bitmap);
    EXPECT_EQ(SelectObject(other, bitmap), stock);
    EXPECT_TRUE(DeleteDC(other));
    EXPECT_TRUE(DeleteObject(bitmap));
    // Stale handles are refused, not followed.
    EXPECT_EQ(GetObjectA(bitmap, 24, &info), 0);
    EXPECT_FALSE(DeleteObject(bitmap));

    GuardedTarget target(4, 4);
    HDC surface = CreateTargetDC(target.Target(false));
    EXPECT_FALSE(DeleteDC(surface)) << "a surface's context goes back with ReleaseDC";
    DeleteTargetDC(surface);
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_FALSE(DeleteDC(memory));
    EXPECT_EQ(standin::LiveObjects("HBITMAP"), bitmaps);
    EXPECT_EQ(standin::LiveObjects("HDC"), dcs);

    standin::FailCall("CreateCompatibleDC", 1);
    EXPECT_EQ(CreateCompatibleDC(nullptr), nullptr);
    standin::Reset();
}

}  // namespace

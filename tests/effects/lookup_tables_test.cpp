// The start-up tables: sine entries, plasma rows and range, and the texture file's conversion.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "display/display.h"
#include "effects/reference.h"
#include "effects/tables.h"

namespace {

TEST(SineTable, TruncatesTowardZeroAndIsSymmetric) {
    BuildLookupTables();
    const int first[20] = {0, 0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 5, 5, 5};
    for (int i = 0; i < 20; i++) EXPECT_EQ(SineTable[i], first[i]) << "entry " << i;
    EXPECT_EQ(SineTable[256], 50);
    EXPECT_EQ(SineTable[255], 49);
    EXPECT_EQ(SineTable[257], 49);
    EXPECT_EQ(SineTable[768], -50);
    EXPECT_EQ(SineTable[767], -49);
    EXPECT_EQ(SineTable[769], -49);
    for (int i = 0; i < 1024; i++) {
        if (i != 256 && i != 768) {
            EXPECT_LT(std::abs(SineTable[i]), 50) << "entry " << i;
        }
    }
    for (int i = 509; i <= 515; i++) EXPECT_EQ(SineTable[i], 0) << "entry " << i;
    for (int i = 1021; i <= 1023; i++) EXPECT_EQ(SineTable[i], 0) << "entry " << i;
    for (int k = 0; k < 512; k++) EXPECT_EQ(SineTable[512 + k], -SineTable[k]) << "k " << k;
    for (int k = 1; k < 512; k++) EXPECT_EQ(SineTable[512 - k], SineTable[k]) << "k " << k;
}

TEST(PlasmaMap, RowsRangeAndPlainFormAgree) {
    BuildLookupTables();
    const BYTE row0[16] = {150, 156, 162, 168, 174, 179, 183, 186, 189, 191, 193, 193, 193, 192, 190, 187};
    const BYTE row1[16] = {156, 163, 169, 174, 180, 184, 188, 192, 195, 196, 198, 198, 197, 196, 194, 191};
    for (int x = 0; x < 16; x++) {
        EXPECT_EQ(PlasmaMap[x], row0[x]) << "row 0 column " << x;
        EXPECT_EQ(PlasmaMap[640 + x], row1[x]) << "row 1 column " << x;
    }
    BYTE low = 255, high = 0;
    for (BYTE v : PlasmaMap) {
        if (v < low) low = v;
        if (v > high) high = v;
    }
    EXPECT_EQ(low, 39);
    EXPECT_EQ(high, 225);

    std::vector<BYTE> fast(PlasmaMap, PlasmaMap + sizeof PlasmaMap);
    BuildPlasmaMapReference();
    EXPECT_EQ(std::memcmp(fast.data(), PlasmaMap, sizeof PlasmaMap), 0);
}

// Runs BuildLookupTables in a fresh folder holding `file` as images/screen1tex.raw (no file
// when `present` is false), in the given pixel format.
class TextureFile : public ::testing::Test {
protected:
    void Build(const std::vector<BYTE>& file, int rgb555, bool present = true) {
        char folder[] = "/tmp/zelk6-texture-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        std::string dir = folder;
        std::string images = dir + "/images";
        ASSERT_EQ(mkdir(images.c_str(), 0700), 0);
        std::string path = images + "/screen1tex.raw";
        if (present) {
            FILE* f = std::fopen(path.c_str(), "wb");
            ASSERT_NE(f, nullptr);
            if (!file.empty()) {
                ASSERT_EQ(std::fwrite(file.data(), 1, file.size(), f), file.size());
            }
            std::fclose(f);
        }
        char previous[4096];
        ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
        ASSERT_EQ(chdir(dir.c_str()), 0);
        IsRgb555 = rgb555;
        std::memset(TextureRgb16, 0x5A, sizeof TextureRgb16);  // a second build must not keep old texels
        BuildLookupTables();
        ASSERT_EQ(chdir(previous), 0);
        std::remove(path.c_str());
        rmdir(images.c_str());
        rmdir(dir.c_str());
    }
    static std::vector<BYTE> Pixels(std::initializer_list<BYTE> rgb) {
        std::vector<BYTE> file(rgb);
        file.resize(256 * 256 * 3, 0);
        return file;
    }
};

TEST_F(TextureFile, ConvertsChannelsInBothFormats) {
    // white, pure green 0x80, and each channel byte 0..7 (to 0) and 248..255 (to 31)
    std::vector<BYTE> file = Pixels({255, 255, 255, 0, 0x80, 0});
    for (int k = 0; k < 8; k++) {
        BYTE low = static_cast<BYTE>(k), high = static_cast<BYTE>(248 + k);
        BYTE pixels[] = {low, high, low, high, low, high};
        std::memcpy(file.data() + 6 + 6 * k, pixels, sizeof pixels);
    }
    Build(file, 1);
    EXPECT_EQ(TextureRgb16[0], 0x7FFF);
    EXPECT_EQ(TextureRgb16[1], 0x0200);
    for (int k = 0; k < 8; k++) {
        EXPECT_EQ(TextureRgb16[2 + 2 * k], 31 << 5) << "bytes " << k << " and " << 248 + k;
        EXPECT_EQ(TextureRgb16[3 + 2 * k], (31 << 10) | 31) << "bytes " << k << " and " << 248 + k;
    }
    Build(file, 0);
    EXPECT_EQ(TextureRgb16[0], 0xFFDF);
    EXPECT_EQ(TextureRgb16[1], 0x0400);
    for (int k = 0; k < 8; k++) {
        EXPECT_EQ(TextureRgb16[2 + 2 * k], 31 << 6) << "bytes " << k << " and " << 248 + k;
        EXPECT_EQ(TextureRgb16[3 + 2 * k], (31 << 11) | 31) << "bytes " << k << " and " << 248 + k;
    }
    EXPECT_EQ(TextureRgb16[65535], 0);
}

TEST_F(TextureFile, ShortOrMissingFileLeavesUnsuppliedTexelsBlack) {
    std::vector<BYTE> file(3 * 1000 + 2, 255);  // 1000 whole texels and two bytes of another
    Build(file, 1);
    EXPECT_EQ(TextureRgb16[0], 0x7FFF);
    EXPECT_EQ(TextureRgb16[999], 0x7FFF);
    EXPECT_EQ(TextureRgb16[1000], 0);
    EXPECT_EQ(TextureRgb16[65535], 0);
    EXPECT_EQ(SineTable[256], 50);  // the other tables are built all the same
    EXPECT_EQ(PlasmaMap[0], 150);

    Build({}, 1);
    for (WORD texel : TextureRgb16) ASSERT_EQ(texel, 0);
    Build({}, 0, false);
    for (WORD texel : TextureRgb16) ASSERT_EQ(texel, 0);
}

TEST_F(TextureFile, LongerFileReadsOnlyTheTexture) {
    std::vector<BYTE> file(256 * 256 * 3 + 300, 255);
    file[3 * 65535] = 0;  // last texel red 0
    Build(file, 0);
    EXPECT_EQ(TextureRgb16[65535], 0x07DF);
    EXPECT_EQ(TextureRgb16[65534], 0xFFDF);
}

}  // namespace

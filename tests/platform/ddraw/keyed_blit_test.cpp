// The stand-in's colour-keyed copy: a key range, not just one value, over rectangles whose
// widths and offsets do not line up with the eight pixels the copy handles at a time.
#include "display/display.h"
#include "tests/support/show_fixture.h"

namespace {

class KeyedBlitTest : public ShowTest {
  protected:
    void SetUp() override {
        ShowTest::SetUp();
        OpenTestDisplay();
    }
    void TearDown() override { ReleaseDisplay(); }
};

TEST_F(KeyedBlitTest, EveryPixelInsideTheKeyRangeIsSkippedAndEveryOtherCopied) {
    IDirectDrawSurface* picture = CreatePlainSurface(64, 8);
    ASSERT_NE(picture, nullptr);
    // Every row a run of values across the key's edges: 0x0E .. 0x22 and the wrap-around ones.
    const uint16_t values[] = {0x000E, 0x000F, 0x0010, 0x0011, 0x001F, 0x0020, 0x0021, 0xFFFF, 0x0000};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 64; ++x)
            picture->memory[picture->pitch / 2 * y + x] = values[(x + 3 * y) % 9];
    FillSurface(BackSurface, 0x5555);

    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.ddckSrcColorkey.dwColorSpaceLowValue = 0x0010;
    fx.ddckSrcColorkey.dwColorSpaceHighValue = 0x0020;
    for (int width : {1, 7, 8, 9, 13, 31}) {
        RECT from{3, 0, 3 + width, 8}, to{100 + width, 10 * width, 100 + 2 * width, 10 * width + 8};
        ASSERT_EQ(BackSurface->Blt(&to, picture, &from, DDBLT_WAIT | DDBLT_KEYSRCOVERRIDE, &fx), DD_OK);
        for (int y = 0; y < 8; ++y)
            for (int x = -1; x <= width; ++x) {
                uint16_t got = PixelAt(BackSurface, to.left + x, to.top + y);
                uint16_t source = values[(3 + x + 3 * y) % 9];
                bool inside = x >= 0 && x < width;
                uint16_t want = inside && (source < 0x0010 || source > 0x0020) ? source : 0x5555;
                ASSERT_EQ(got, want) << "width " << width << " at " << x << "," << y;
            }
    }
    picture->Release();
}

}  // namespace

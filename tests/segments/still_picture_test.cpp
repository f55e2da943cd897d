// The still picture: "images\\sau.bmp" over the whole screen for 5000 ms, stretched when it is
// not 640x480, the flips going on without it, and nothing drawn when entered too late.
#include <vector>

#include "app/app.h"
#include "display/bitmap.h"
#include "display/display.h"
#include "display/frame_buffer.h"
#include "platform/testing/hooks.h"
#include "segments/segments.h"
#include "tests/support/bmp_file.h"
#include "tests/support/show_fixture.h"

namespace {

struct Shown {
    uint32_t elapsed;
    uint16_t topLeft, bottomRight;
};

class StillPicture : public ShowTest {
  protected:
    // Shows a picture of `width` x `height` (none when 0) from SegmentStart + startOffset.
    void Run(int width, int height, DWORD startOffset = 0) {
        OffscreenConfig config;
        config.step = [](uint32_t) { return 100; };
        config.onFrame = [this](const uint16_t* p, int, int h, int pitch, bool, uint32_t tick) {
            shown.push_back({tick - SegmentStart, p[0], p[(h - 1) * (pitch / 2) + 639]});
        };
        ResetShowState(config);
        OpenShowDisplay();
        FillSurface(BackSurface, 0x1234);
        if (width) {
            ASSERT_TRUE(WriteBmp24(dir.File("sau.bmp"), width, height, [](int x, int y) {
                return x < 8 && y < 8 ? Rgb{255, 0, 0} : Rgb{0, 0, 255};
            }));
            ScopedWorkingDir in(dir.path());
            SauPicture = LoadBitmapSurface("sau.bmp", 0, 0);
            ASSERT_NE(SauPicture, nullptr);
        }
        SegmentStart = GetTickCount() - startOffset;
        standin::EnableCallLog(true);
        RunStillPictureSegment();
    }
    TempDir dir;
    std::vector<Shown> shown;
};

TEST_F(StillPicture, CoversTheScreenForFiveSecondsStretchedWhenSmaller) {
    Run(320, 240);
    ASSERT_EQ(shown.size(), 50u);  // 0, 100, ..., 4900: the test comes before each frame
    EXPECT_EQ(shown.back().elapsed, 4900u);
    for (const Shown& s : shown) {
        EXPECT_EQ(s.topLeft, 0xF800);      // the red corner, stretched to 16 x 16
        EXPECT_EQ(s.bottomRight, 0x001F);  // blue reaches the last column and row
    }
    EXPECT_EQ(standin::CountCalls("IDirectDrawSurface::Release"), 0);  // the next segment releases it
    ReleasePicture(SauPicture);
}

TEST_F(StillPicture, WithoutThePictureTheFlipsGoOnAndNothingIsBlitted) {
    Run(0, 0);
    EXPECT_EQ(shown.size(), 50u);
    EXPECT_EQ(standin::CountCalls("IDirectDrawSurface::Blt"), 0);
    EXPECT_EQ(shown.front().topLeft, 0x1234);  // what the back buffer last held
}

TEST_F(StillPicture, EnteredFiveSecondsLateItDrawsNothing) {
    Run(640, 480, 5000);
    EXPECT_TRUE(shown.empty());
    Run(640, 480, 4999);
    EXPECT_EQ(shown.size(), 1u);
    ReleasePicture(SauPicture);
}

}  // namespace

// Frame-buffer lock and unlock with their bounded retries, the restore after a lost surface,
// the black fill and the keyed copy's one transparent value.
#include "display/display.h"
#include "display/frame_buffer.h"
#include "platform/testing/hooks.h"
#include "tests/support/show_fixture.h"

namespace {

const HRESULT kBusy = DDERR_SURFACEBUSY;

class FrameBufferTest : public ShowTest {
  protected:
    void SetUp() override {
        ShowTest::SetUp();
        OpenTestDisplay();
        standin::EnableCallLog(true);
    }
    void TearDown() override { ReleaseDisplay(); }
};

TEST_F(FrameBufferTest, LockGivesUpAfterTheFirstAttemptAndAThousandRetries) {
    standin::FailCall("IDirectDrawSurface::Lock", 1000, kBusy);
    EXPECT_EQ(LockFrameBuffer(), 1);
    EXPECT_EQ(standin::CountCalls("IDirectDrawSurface::Lock"), 1001);
    EXPECT_EQ(standin::CountCalls("IDirectDrawSurface::Restore"), 0);
    EXPECT_EQ(FrameBuffer.lpSurface, BackSurface->memory.data());
    EXPECT_GE(FrameBuffer.lPitch, 1280);
    UnlockFrameBuffer();

    standin::Reset();
    standin::EnableCallLog(true);
    standin::FailCall("IDirectDrawSurface::Lock", 1001, kBusy);
    EXPECT_EQ(LockFrameBuffer(), 0);
    EXPECT_EQ(standin::CountCalls("IDirectDrawSurface::Lock"), 1001);
    EXPECT_FALSE(BackSurface->locked);
}

TEST_F(FrameBufferTest, OnlyALostSurfaceIsRestoredOncePerFailedAttempt) {
    standin::FailCall("IDirectDrawSurface::Lock", 3, DDERR_SURFACELOST);
    EXPECT_EQ(LockFrameBuffer(), 1);
    EXPECT_EQ(standin::CountCalls("IDirectDrawSurface::Lock"), 4);
    EXPECT_EQ(standin::CountCalls("IDirectDrawSurface::Restore"), 3);
    // Each restore comes right after the lock it answers.
    const auto& log = standin::CallLog();
    for (size_t i = 0; i < log.size(); i++) {
        if (log[i].rfind("IDirectDrawSurface::Restore", 0) == 0) {
            EXPECT_EQ(log[i - 1].rfind("IDirectDrawSurface::Lock", 0), 0u) << i;
        }
    }
    UnlockFrameBuffer();
}

TEST_F(FrameBufferTest, UnlockRetriesAtMostAThousandTimesAndDropsTheFailure) {
    ASSERT_EQ(LockFrameBuffer(), 1);
    standin::FailCall("IDirectDrawSurface::Unlock", 5000, kBusy);
    UnlockFrameBuffer();
    EXPECT_EQ(standin::CountCalls("IDirectDrawSurface::Unlock"), 1001);
    EXPECT_EQ(standin::CountCalls("IDirectDrawSurface::Restore"), 0);

    standin::FailCall("IDirectDrawSurface::Unlock", 2, kBusy);
    UnlockFrameBuffer();
    EXPECT_EQ(standin::CountCalls("IDirectDrawSurface::Unlock"), 1001 + 3);
    EXPECT_FALSE(BackSurface->locked);
}

TEST_F(FrameBufferTest, ClearRectBlackensEveryPixelInBothLayouts) {
    for (bool rgb555 : {false, true}) {
        ReleaseDisplay();
        OffscreenConfig config;
        config.rgb555 = rgb555;
        ResetShowState(config);
        OpenTestDisplay();
        FillSurface(BackSurface, 0xFFFF);
        ClearRect(0, 0, 640, 480);
        long nonBlack = 0;
        for (int y = 0; y < 480; y++)
            for (int x = 0; x < 640; x++) nonBlack += PixelAt(BackSurface, x, y) != 0;
        EXPECT_EQ(nonBlack, 0) << (rgb555 ? "555" : "565");
    }
}

TEST_F(FrameBufferTest, PitchPaddingIsNeverWritten) {
    ReleaseDisplay();
    ResetShowState();
    standin::SetSurfacePitchPadding(64);
    OpenTestDisplay();
    ASSERT_EQ(BackSurface->pitch, 1280 + 64);
    for (auto& word : BackSurface->memory) word = 0xA5A5;
    ClearRect(0, 0, 640, 480);
    for (int y = 0; y < 480; y++) {
        EXPECT_EQ(PixelAt(BackSurface, 639, y), 0);
        EXPECT_EQ(PixelAt(BackSurface, 640, y), 0xA5A5) << y;  // the padding after the row
    }
}

TEST_F(FrameBufferTest, KeyedCopySkipsOnlyZero) {
    IDirectDrawSurface* picture = CreatePlainSurface(640, 480);
    ASSERT_NE(picture, nullptr);

    FillSurface(picture, 0);
    FillSurface(BackSurface, 0x5555);
    BlitPictureKeyed(picture, nullptr, nullptr);
    EXPECT_EQ(PixelAt(BackSurface, 0, 0), 0x5555);
    EXPECT_EQ(PixelAt(BackSurface, 639, 479), 0x5555);

    picture->memory[0] = 0x0001;  // the darkest blue is a colour, not the key
    picture->memory[picture->pitch / 2 * 479 + 639] = 0xFFFF;
    BlitPictureKeyed(picture, nullptr, nullptr);
    EXPECT_EQ(PixelAt(BackSurface, 0, 0), 0x0001);
    EXPECT_EQ(PixelAt(BackSurface, 1, 0), 0x5555);
    EXPECT_EQ(PixelAt(BackSurface, 639, 479), 0xFFFF);

    BlitPicture(picture, nullptr, nullptr);  // the plain copy takes black too
    EXPECT_EQ(PixelAt(BackSurface, 1, 0), 0);

    // A missing picture is neither blitted from nor released.
    IDirectDrawSurface* missing = nullptr;
    standin::Reset();
    standin::EnableCallLog(true);
    BlitPicture(missing, nullptr, nullptr);
    BlitPictureKeyed(missing, nullptr, nullptr);
    ReleasePicture(missing);
    EXPECT_EQ(standin::CountCalls("IDirectDrawSurface::"), 0);

    ReleasePicture(picture);
    EXPECT_EQ(picture, nullptr);
}

}  // namespace

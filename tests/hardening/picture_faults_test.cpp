// Loading a picture when a GDI or surface step fails: the one debugger line for a memory
// context that cannot be made, the surface still returned when only the copy fails, and the
// intermediate bitmap and every context given back on each path.
#include <gtest/gtest.h>

#include "display/bitmap.h"
#include "display/display.h"
#include "platform/testing/hooks.h"
#include "tests/support/bmp_file.h"
#include "tests/support/show_fixture.h"

namespace {

class PictureFaults : public ShowTest {
  protected:
    void SetUp() override {
        ShowTest::SetUp();
        OpenTestDisplay();
        ASSERT_TRUE(WriteBmp24(dir.File("pic.bmp"), 32, 16, [](int x, int y) {
            return Rgb{static_cast<uint8_t>(x * 8), static_cast<uint8_t>(y * 16), 200};
        }));
        surfacesBefore = standin::LiveObjects("IDirectDrawSurface");
    }
    void TearDown() override { ReleaseDisplay(); }
    // Loads the picture with `call` failing once; returns the surface and what went to stderr.
    IDirectDrawSurface* Load(const char* call, std::string& errors, int times = 1) {
        ScopedWorkingDir in(dir.path());
        if (call) standin::FailCall(call, times);
        testing::internal::CaptureStderr();
        IDirectDrawSurface* s = LoadBitmapSurface("pic.bmp", 0, 0);
        errors = testing::internal::GetCapturedStderr();
        return s;
    }
    void ExpectNothingLeftBut(int surfaces) {
        EXPECT_EQ(standin::LiveObjects("HBITMAP"), 0);
        EXPECT_EQ(standin::LiveObjects("HDC"), 0);
        EXPECT_EQ(standin::LiveObjects("IDirectDrawSurface"), surfacesBefore + surfaces);
    }
    TempDir dir;
    int surfacesBefore = 0;
};

TEST_F(PictureFaults, NoMemoryContextSaysSoOnceAndStillGivesTheSurface) {
    std::string errors;
    IDirectDrawSurface* s = Load("CreateCompatibleDC", errors);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(errors, "createcompatible dc failed\n");
    EXPECT_EQ(s->width, 32);
    EXPECT_EQ(s->height, 16);
    ExpectNothingLeftBut(1);
    s->Release();
    ExpectNothingLeftBut(0);
}

TEST_F(PictureFaults, ASurfaceContextOrCopyThatFailsStillGivesTheSurfaceQuietly) {
    for (const char* call : {"IDirectDrawSurface::GetDC", "StretchBlt"}) {
        SCOPED_TRACE(call);
        std::string errors;
        IDirectDrawSurface* s = Load(call, errors);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(errors, "");
        EXPECT_FALSE(s->locked);
        ExpectNothingLeftBut(1);
        // The surface is not left busy: it takes a context (and so blits) afterwards.
        HDC dc = nullptr;
        EXPECT_EQ(s->GetDC(&dc), DD_OK);
        EXPECT_EQ(s->ReleaseDC(dc), DD_OK);
        s->Release();
        ExpectNothingLeftBut(0);
    }
}

TEST_F(PictureFaults, ASurfaceThatCannotBeMadeDeletesTheBitmapAndGivesNull) {
    std::string errors;
    EXPECT_EQ(Load("IDirectDraw::CreateSurface", errors), nullptr);
    EXPECT_EQ(errors, "");
    ExpectNothingLeftBut(0);
    // And a picture the image loader refuses, as a resource and as a file, makes nothing.
    EXPECT_EQ(Load("LoadImageA", errors, 2), nullptr);
    ExpectNothingLeftBut(0);
}

}  // namespace

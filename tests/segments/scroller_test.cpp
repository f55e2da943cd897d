// The scroller segment: the strip's rectangles, the pass timing at the ends of a pass, the
// band's pixels, a pass entered early, Escape, and a missing strip.
#include <filesystem>
#include <vector>

#include "app/app.h"
#include "display/display.h"
#include "platform/testing/hooks.h"
#include "segments/segments.h"
#include "tests/support/bmp_file.h"
#include "tests/support/show_fixture.h"

namespace {

// Column x of strip k (1..3): a colour that names both, never black.
Rgb StripColour(int k, int x) {
    return {static_cast<uint8_t>((x & 31) << 3), static_cast<uint8_t>(((x >> 5) & 31) << 3),
            static_cast<uint8_t>(k << 3)};
}

struct Frame {
    int scrollX;
    bool black;      // every pixel 0
    bool bandRight;  // the band shows the strip's columns where the rectangles say
};

class ScrollerTest : public ShowTest {
  protected:
    void Run(std::function<uint32_t(uint32_t)> step, DWORD startOffset = 0,
             std::function<void(uint32_t, const HostInputSink&)> pump = nullptr, bool rgb555 = false) {
        std::filesystem::create_directories(dir.File("images"));
        for (int k = 1; k <= 3; k++) {
            if (k != missingStrip) {
                ASSERT_TRUE(WriteBmp24(dir.File("images/" + std::to_string(k) + ".bmp"), 1024, 110,
                                       [k](int x, int) { return StripColour(k, x); }));
            }
        }
        OffscreenConfig config;
        config.step = std::move(step);
        config.onPump = std::move(pump);
        config.onFrame = [this, rgb555](const uint16_t* p, int, int, int pitch, bool, uint32_t) {
            Record(p, pitch / 2, rgb555);
        };
        config.rgb555 = rgb555;
        ResetShowState(config);
        OpenShowDisplay();
        ScopedWorkingDir in(dir.path());
        SegmentStart = GetTickCount() + startOffset;
        RunScrollerSegment();
    }

    void Record(const uint16_t* p, int stride, bool rgb555) {
        Frame f{ScrollX, true, true};
        for (int y = 0; y < 480; y++)
            for (int x = 0; x < 640; x++) f.black = f.black && p[y * stride + x] == 0;
        RECT s, d;
        GetScrollerRects(ScrollX, &s, &d);
        if (passes.empty() || (ScrollX < passes.back().back().scrollX)) passes.emplace_back();
        const int pass = static_cast<int>(passes.size()) - 1;
        for (int y = 0; y < 480; y++)
            for (int x = 0; x < 640; x++) {
                uint16_t want = 0;
                if (y >= d.top && y < d.bottom && x >= d.left && x < d.right && pass + 1 != missingStrip)
                    want = Pack16(StripColour(pass + 1, s.left + x - d.left), rgb555);
                f.bandRight = f.bandRight && p[y * stride + x] == want;
            }
        passes.back().push_back(f);
    }

    TempDir dir;
    int missingStrip = 0;
    std::vector<std::vector<Frame>> passes;  // frames, split where ScrollX falls back
};

TEST(ScrollerRects, EnterFillAndLeave) {
    const struct {
        int scrollX;
        RECT s, d;
    } cases[] = {
        {0, {0, 0, 0, 110}, {640, 200, 640, 310}},
        {1, {0, 0, 1, 110}, {639, 200, 640, 310}},
        {640, {0, 0, 640, 110}, {0, 200, 640, 310}},
        {1023, {383, 0, 1023, 110}, {0, 200, 640, 310}},
        {1024, {384, 0, 1024, 110}, {0, 200, 640, 310}},
        {1663, {1023, 0, 1024, 110}, {0, 200, 1, 310}},
        {1664, {1024, 0, 1024, 110}, {0, 200, 0, 310}},
    };
    for (const auto& c : cases) {
        RECT s, d;
        GetScrollerRects(c.scrollX, &s, &d);
        EXPECT_EQ(std::tie(s.left, s.top, s.right, s.bottom), std::tie(c.s.left, c.s.top, c.s.right, c.s.bottom))
            << c.scrollX;
        EXPECT_EQ(std::tie(d.left, d.top, d.right, d.bottom), std::tie(c.d.left, c.d.top, c.d.right, c.d.bottom))
            << c.scrollX;
        EXPECT_EQ(s.right - s.left, d.right - d.left) << c.scrollX;
    }
}

// 9999 ms after the first frame, then 1 ms: each pass draws ScrollX 0, 1663 and 1664.
uint32_t EndsOfAPass(uint32_t) { return ScrollX == 0 ? 9999 : 1; }

TEST_F(ScrollerTest, EachPassRunsFromZeroTo1664AndItsEndsAreBlack) {
    Run(EndsOfAPass);
    ASSERT_EQ(passes.size(), 3u);
    for (const auto& pass : passes) {
        ASSERT_EQ(pass.size(), 3u);
        EXPECT_EQ(pass[0].scrollX, 0);
        EXPECT_EQ(pass[1].scrollX, 1663);  // 9999 ms: the pass goes on
        EXPECT_EQ(pass[2].scrollX, 1664);  // 10 000 ms: this black frame is the last
        EXPECT_TRUE(pass[0].black && pass[2].black);
        EXPECT_FALSE(pass[1].black);
        for (const Frame& f : pass) EXPECT_TRUE(f.bandRight) << f.scrollX;
    }
    EXPECT_EQ(standin::LiveObjects("IDirectDrawSurface"), 2);  // the strips are released
}

TEST_F(ScrollerTest, TheBandShowsTheStripAtEveryFrameInBothLayouts) {
    for (bool rgb555 : {false, true}) {
        passes.clear();
        Run([](uint32_t) { return 47; }, 0, nullptr, rgb555);
        ASSERT_EQ(passes.size(), 3u);
        for (const auto& pass : passes) {
            EXPECT_EQ(pass.size(), 10000u / 47 + 2);  // the first frame at 0, the last at >= 10 000
            for (const Frame& f : pass) ASSERT_TRUE(f.bandRight) << f.scrollX << (rgb555 ? " 555" : " 565");
        }
        ReleaseDisplay();
    }
}

TEST_F(ScrollerTest, AFirstPassEnteredEarlyDrawsOneBlackFrame) {
    Run(EndsOfAPass, 70000);
    ASSERT_EQ(passes.size(), 3u);
    ASSERT_EQ(passes[0].size(), 1u);
    EXPECT_GT(passes[0][0].scrollX, 1664);
    EXPECT_TRUE(passes[0][0].black);
    EXPECT_EQ(passes[1].size(), 3u);  // the later passes restart from their own start
    EXPECT_EQ(passes[2].size(), 3u);
}

TEST_F(ScrollerTest, EscapeEndsThePassAfterItsFrameAndSkipsTheOthers) {
    int pumps = 0;
    Run([](uint32_t) { return 100; }, 0, [&pumps](uint32_t, const HostInputSink& sink) {
        if (++pumps == 5) sink.KeyDown(VK_ESCAPE, false, false);
    });
    EXPECT_EQ(AbortRequested, 1);
    ASSERT_EQ(passes.size(), 1u);
    EXPECT_EQ(passes[0].size(), 5u);
    EXPECT_EQ(standin::LiveObjects("IDirectDrawSurface"), 2);
}

TEST_F(ScrollerTest, AMissingStripGivesBlackFramesForItsFullPass) {
    missingStrip = 2;
    standin::EnableCallLog(true);
    Run([](uint32_t) { return 500; });
    ASSERT_EQ(passes.size(), 3u);
    EXPECT_EQ(passes[1].size(), 10000u / 500 + 1);
    for (const Frame& f : passes[1]) EXPECT_TRUE(f.black && f.bandRight);
    EXPECT_FALSE(passes[2][5].black);
    EXPECT_EQ(standin::LiveObjects("IDirectDrawSurface"), 2);
}

}  // namespace

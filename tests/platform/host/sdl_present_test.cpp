// The SDL host's picture in a window of today's sizes, read back from SDL's software renderer
// under the dummy video driver: each source pixel keeps its own colour at its centre in every
// mode, the borders stay black, and Alt+S moves to the next mode at once.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/host/pixel_expand.h"
#include "platform/host/sdl/scaling.h"
#include "platform/host/sdl/sdl_host.h"
#include "platform/host/sdl/sdl_window.h"
#include "tests/support/show_fixture.h"

namespace {

const int kWidth = 640, kHeight = 480;

// Every pixel differs from its neighbours, so any blend across a pixel edge shows.
uint16_t Pattern(int x, int y) { return static_cast<uint16_t>(x * 37 + y * 1031 + 0x0841); }

class SdlPicture : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("XDG_CONFIG_HOME", config_.path().c_str(), 1);  // no settings file
        for (int y = 0; y < kHeight; y++)
            for (int x = 0; x < kWidth; x++) frame_[y * kWidth + x] = Pattern(x, y);
    }
    void TearDown() override {
        SdlCloseDisplay();  // video stays up: the host initialises it once per process
        for (const char* name : {"SDL_VIDEODRIVER", "XDG_CONFIG_HOME", "ZELK6_SCALE", "ZELK6_FILTER"})
            unsetenv(name);
    }
    // A window of that size showing the pattern; the settings come from the environment.
    void Show(int width, int height) {
        std::string why;
        ASSERT_TRUE(SdlOpenDisplay(-1, kWidth, kHeight, why)) << why;
        SDL_SetWindowSize(SdlDisplayWindow(), width, height);
        SdlPresent(frame_.data(), kWidth, kHeight, kWidth * 2, false);
    }
    // The window's pixels as XRGB8888.
    std::vector<uint32_t> ReadBack(int& width, int& height) {
        SDL_Renderer* renderer = SDL_GetRenderer(SdlDisplayWindow());
        SDL_GetRendererOutputSize(renderer, &width, &height);
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
        EXPECT_EQ(SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB888, pixels.data(), width * 4), 0)
            << SDL_GetError();
        for (uint32_t& p : pixels) p &= 0xFFFFFF;
        return pixels;
    }
    TempDir config_;
    std::vector<uint16_t> frame_ = std::vector<uint16_t>(kWidth * kHeight);
};

TEST_F(SdlPicture, EverySourcePixelKeepsItsColourAtItsCentreAndTheBordersStayBlack) {
    const uint32_t* expand = PixelExpandTable(false);
    const struct {
        int width, height;
        const char* scale;
        const char* filter;
    } cases[] = {
        {1920, 1080, "aspect", "sharp"},   // 2x prescale, then linear by 1.125
        {3840, 2160, "aspect", "sharp"},   // 4x, then 1.125
        {1920, 1080, "stretch", "sharp"},  // 3x across, 2x down, then linear down only
        {1920, 1080, "integer", "linear"},
        {1366, 768, "stretch", "nearest"},
    };
    for (const auto& c : cases) {
        const std::string what = std::to_string(c.width) + "x" + std::to_string(c.height) + " " + c.scale + " " +
                                  c.filter;
        setenv("ZELK6_SCALE", c.scale, 1);
        setenv("ZELK6_FILTER", c.filter, 1);
        Show(c.width, c.height);
        int w = 0, h = 0;
        const std::vector<uint32_t> window = ReadBack(w, h);
        ASSERT_EQ(w, c.width) << what;
        ASSERT_EQ(h, c.height) << what;
        const ScaleSettings settings = ReadScaleSettings();
        const ScaleRect t = PlanScale(w, h, kWidth, kHeight, settings).target;
        int wrong = 0;
        for (int y = 0; y < kHeight; y++) {
            const int wy = t.y + static_cast<int>((2LL * y + 1) * t.h / (2 * kHeight));
            for (int x = 0; x < kWidth; x++) {
                const int wx = t.x + static_cast<int>((2LL * x + 1) * t.w / (2 * kWidth));
                if (window[static_cast<size_t>(wy) * w + wx] != expand[Pattern(x, y)] && wrong++ < 5)
                    ADD_FAILURE() << what << ": source pixel " << x << "," << y << " at " << wx << "," << wy;
            }
        }
        EXPECT_EQ(wrong, 0) << what;
        // Outside the picture: black, right up to its edge.
        for (int y = 0; y < h; y++) {
            for (int x = 0; x < w; x++) {
                const bool inside = x >= t.x && x < t.x + t.w && y >= t.y && y < t.y + t.h;
                if (!inside && window[static_cast<size_t>(y) * w + x] != 0 && wrong++ < 5)
                    ADD_FAILURE() << what << ": border pixel " << x << "," << y << " not black";
            }
        }
        EXPECT_EQ(wrong, 0) << what;
        SdlCloseDisplay();
    }
}

TEST_F(SdlPicture, AltSShowsTheNextModeAtOnce) {
    Show(1920, 1080);
    const HostInputSink sink{[](int, bool, bool) { ADD_FAILURE() << "a key reached the show"; },
                             [](int, bool) { ADD_FAILURE() << "a key-up reached the show"; }, [] {}};
    // Column 260 lies inside the aspect picture (240..1679), outside the integer one (320..1599);
    // column 100 only inside the stretched one.
    const struct {
        uint32_t at260, at100;
    } expected[] = {{0, 0}, {1, 1}, {1, 0}};  // 1: not black; after integer, stretch, aspect
    int w = 0, h = 0;
    std::vector<uint32_t> window = ReadBack(w, h);
    EXPECT_NE(window[540 * w + 260], 0u);
    EXPECT_EQ(window[540 * w + 100], 0u);
    for (const auto& e : expected) {
        for (bool up : {false, true}) {
            SDL_Event key{};
            key.type = up ? SDL_KEYUP : SDL_KEYDOWN;
            key.key.keysym.sym = SDLK_s;
            key.key.keysym.mod = up ? KMOD_NONE : KMOD_LALT;  // Alt may be let go first
            key.key.windowID = SDL_GetWindowID(SdlDisplayWindow());
            ASSERT_EQ(SDL_PushEvent(&key), 1);
        }
        SdlPumpEvents(sink);
        window = ReadBack(w, h);
        EXPECT_EQ(window[540 * w + 260] != 0, e.at260 != 0);
        EXPECT_EQ(window[540 * w + 100] != 0, e.at100 != 0);
    }
}

}  // namespace

// The SDL host's picture geometry for each scaling mode on today's screens, and the picture
// settings: file, environment and what a bad line or value does.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/host/sdl/scaling.h"
#include "tests/support/show_fixture.h"

namespace {

const ScaleFilter S = ScaleFilter::Sharp, N = ScaleFilter::Nearest, L = ScaleFilter::Linear;

TEST(Scaling, EachModePicksItsRectangleAndFilterOnTodaysScreens) {
    const struct {
        int w, h;
        ScaleMode mode;
        ScaleFilter setting;
        ScaleRect target;
        ScaleFilter filter;
        int prescaleX, prescaleY;
    } cases[] = {
        // aspect, sharp: the height filled at 4:3; whole multiples are plain nearest, a
        // prescale of 1 plain linear
        {640, 480, ScaleMode::Aspect, S, {0, 0, 640, 480}, N, 1, 1},
        {1280, 1024, ScaleMode::Aspect, S, {0, 32, 1280, 960}, N, 1, 1},
        {1366, 768, ScaleMode::Aspect, S, {171, 0, 1024, 768}, L, 1, 1},
        {1920, 1080, ScaleMode::Aspect, S, {240, 0, 1440, 1080}, S, 2, 2},
        {2560, 1440, ScaleMode::Aspect, S, {320, 0, 1920, 1440}, N, 1, 1},
        {3840, 2160, ScaleMode::Aspect, S, {480, 0, 2880, 2160}, S, 4, 4},
        {641, 479, ScaleMode::Aspect, S, {1, 0, 639, 479}, L, 1, 1},
        {800, 1280, ScaleMode::Aspect, S, {0, 340, 800, 600}, L, 1, 1},  // a portrait screen
        // integer: whole multiples, always nearest; 1x cropped when even that does not fit
        {640, 480, ScaleMode::Integer, S, {0, 0, 640, 480}, N, 1, 1},
        {1280, 1024, ScaleMode::Integer, S, {0, 32, 1280, 960}, N, 1, 1},
        {1366, 768, ScaleMode::Integer, L, {363, 144, 640, 480}, N, 1, 1},
        {1920, 1080, ScaleMode::Integer, S, {320, 60, 1280, 960}, N, 1, 1},
        {2560, 1440, ScaleMode::Integer, S, {320, 0, 1920, 1440}, N, 1, 1},
        {3840, 2160, ScaleMode::Integer, S, {640, 120, 2560, 1920}, N, 1, 1},
        {641, 479, ScaleMode::Integer, S, {0, 0, 640, 480}, N, 1, 1},
        // stretch: the whole window; sharp prescales each direction by its own multiple
        {640, 480, ScaleMode::Stretch, S, {0, 0, 640, 480}, N, 1, 1},
        {1280, 1024, ScaleMode::Stretch, S, {0, 0, 1280, 1024}, S, 2, 2},
        {1366, 768, ScaleMode::Stretch, S, {0, 0, 1366, 768}, S, 2, 1},
        {1920, 1080, ScaleMode::Stretch, S, {0, 0, 1920, 1080}, S, 3, 2},
        {2560, 1440, ScaleMode::Stretch, S, {0, 0, 2560, 1440}, N, 1, 1},
        {3840, 2160, ScaleMode::Stretch, S, {0, 0, 3840, 2160}, S, 6, 4},
        {641, 479, ScaleMode::Stretch, S, {0, 0, 641, 479}, L, 1, 1},
        // nearest and linear are kept as chosen, whole multiple or not
        {1920, 1080, ScaleMode::Aspect, N, {240, 0, 1440, 1080}, N, 1, 1},
        {2560, 1440, ScaleMode::Aspect, L, {320, 0, 1920, 1440}, L, 1, 1},
        {1920, 1080, ScaleMode::Stretch, L, {0, 0, 1920, 1080}, L, 1, 1},
    };
    for (const auto& c : cases) {
        const ScalePlan plan = PlanScale(c.w, c.h, 640, 480, {c.mode, c.setting});
        const std::string what = std::to_string(c.w) + "x" + std::to_string(c.h) + " " + ScaleModeName(c.mode) +
                                 " " + ScaleFilterName(c.setting);
        EXPECT_EQ(plan.target, c.target) << what << ": " << plan.target.x << "," << plan.target.y << " "
                                         << plan.target.w << "x" << plan.target.h;
        EXPECT_EQ(plan.filter, c.filter) << what << ": " << ScaleFilterName(plan.filter);
        EXPECT_EQ(plan.prescaleX, c.prescaleX) << what;
        EXPECT_EQ(plan.prescaleY, c.prescaleY) << what;
    }
}

// A settings folder of its own and no variables of the user's.
class ScaleSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", config_.path().c_str(), 1);
        unsetenv("ZELK6_SCALE");
        unsetenv("ZELK6_FILTER");
    }
    void TearDown() override {
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("ZELK6_SCALE");
        unsetenv("ZELK6_FILTER");
    }
    std::string WriteSettings(const std::string& text) {
        std::filesystem::create_directories(config_.File("zelk6"));
        std::ofstream(config_.File("zelk6/zelk6.conf")) << text;
        return config_.File("zelk6/zelk6.conf");
    }
    // The settings as the show reads them, and what it said on stderr.
    ScaleSettings Read(std::string& said) {
        ::testing::internal::CaptureStderr();
        const ScaleSettings s = ReadScaleSettings();
        said = ::testing::internal::GetCapturedStderr();
        return s;
    }
    TempDir config_;
};

TEST_F(ScaleSettingsTest, TheEnvironmentOverridesTheFileWhichOverridesTheDefaults) {
    const struct {
        const char* file;  // null: no file
        const char* scale;
        const char* filter;
        ScaleMode mode;
        ScaleFilter expectFilter;
    } cases[] = {
        {nullptr, nullptr, nullptr, ScaleMode::Aspect, ScaleFilter::Sharp},
        {"# mine\n  scale = integer   # pixel-perfect\n\nfilter=linear\r\n", nullptr, nullptr, ScaleMode::Integer,
         ScaleFilter::Linear},
        {"\xEF\xBB\xBF" "scale = Stretch", nullptr, nullptr, ScaleMode::Stretch, ScaleFilter::Sharp},
        {"scale = integer\nfilter = linear\n", "stretch", "nearest", ScaleMode::Stretch, ScaleFilter::Nearest},
        {"scale = integer\n", nullptr, "nearest", ScaleMode::Integer, ScaleFilter::Nearest},
        {nullptr, "integer", "", ScaleMode::Integer, ScaleFilter::Sharp},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(config_.File("zelk6"));
        if (c.file) WriteSettings(c.file);
        c.scale ? setenv("ZELK6_SCALE", c.scale, 1) : unsetenv("ZELK6_SCALE");
        c.filter ? setenv("ZELK6_FILTER", c.filter, 1) : unsetenv("ZELK6_FILTER");
        std::string said;
        const ScaleSettings s = Read(said);
        const std::string what = c.file ? c.file : "(no file)";
        EXPECT_EQ(s.mode, c.mode) << what;
        EXPECT_EQ(s.filter, c.expectFilter) << what;
        EXPECT_EQ(said, "") << what;
    }
}

TEST_F(ScaleSettingsTest, EachBadLineOrValueIsNamedOnceAndChangesNothing) {
    const std::string path = WriteSettings(
        "filter = nearest\n"
        "size = big\n"
        "scale = huge\n"
        "scale\n"
        "filter = blurry\n");
    setenv("ZELK6_SCALE", "stretch", 1);
    setenv("ZELK6_FILTER", "soft", 1);
    std::string said;
    const ScaleSettings s = Read(said);
    EXPECT_EQ(s.mode, ScaleMode::Stretch);
    EXPECT_EQ(s.filter, ScaleFilter::Nearest);  // the file's last good value stands
    EXPECT_EQ(said, "zelk6: " + path + ":2: unknown key 'size'; ignored\n" +
                        "zelk6: " + path + ":3: unknown scale 'huge'; using aspect\n" +
                        "zelk6: " + path + ":4: not a 'key = value' line; ignored\n" +
                        "zelk6: " + path + ":5: unknown filter 'blurry'; using nearest\n" +
                        "zelk6: ZELK6_FILTER: unknown filter 'soft'; using nearest\n");
}

TEST_F(ScaleSettingsTest, ASettingsFileThatCannotBeReadIsIgnoredWithOneLine) {
    std::filesystem::create_directories(config_.File("zelk6/zelk6.conf"));  // a folder by that name
    std::string said;
    ScaleSettings s = Read(said);
    EXPECT_EQ(s.mode, ScaleMode::Aspect);
    EXPECT_EQ(said, "zelk6: " + config_.File("zelk6/zelk6.conf") +
                        ": not a settings file (a regular file of at most 64 KiB); ignored\n");
    // With no XDG_CONFIG_HOME the file is looked for under HOME.
    std::filesystem::remove_all(config_.File("zelk6"));
    unsetenv("XDG_CONFIG_HOME");
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", config_.path().c_str(), 1);
    std::filesystem::create_directories(config_.File(".config/zelk6"));
    std::ofstream(config_.File(".config/zelk6/zelk6.conf")) << "scale = integer\n";
    s = Read(said);
    home.empty() ? unsetenv("HOME") : setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(s.mode, ScaleMode::Integer);
    EXPECT_EQ(said, "");
}

}  // namespace

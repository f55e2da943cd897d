// The whole program on the offscreen host through the capture tool: Escape during the loading
// screen and during a segment end the show with 0; a missing loading picture or module ends
// it with 1 and says why.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tests/support/show_fixture.h"

namespace {

namespace fs = std::filesystem;

struct CaptureRun {
    int exitCode = -1;
    std::string errors;
    std::set<std::string> frames;  // file names written
};

class ShowRun : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(fs::path(ZELK6_BUILTIN_DATA) / "zelkmod.xm")) << "build the show data first";
        fs::copy(ZELK6_BUILTIN_DATA, data.File("show"), fs::copy_options::recursive);
    }
    CaptureRun Capture(const std::string& arguments) {
        const std::string out = scratch.File("frames");
        fs::remove_all(out);
        const std::string command = std::string("'") + ZELK6_CAPTURE + "' --data '" + data.File("show") +
                                    "' --out '" + out + "' " + arguments + " 2>'" + scratch.File("err") +
                                    "' >/dev/null";
        const int status = std::system(command.c_str());
        CaptureRun run;
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::ifstream in(scratch.File("err"));
        run.errors.assign(std::istreambuf_iterator<char>(in), {});
        if (fs::exists(out))
            for (const auto& entry : fs::directory_iterator(out)) run.frames.insert(entry.path().filename());
        return run;
    }
    TempDir data, scratch;
};

bool AllBlack(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    return bytes.size() == 640u * 480 * 2 && bytes.find_first_not_of('\0') == std::string::npos;
}

TEST_F(ShowRun, EscapeOnTheLoadingScreenEndsEverySegmentAtItsFirstTest) {
    // Pressed before the first pump, the key waits in the queue until just before T0. Of the
    // segments only the baller draws: its one black frame before its loop.
    CaptureRun run = Capture("--escape-at 0");
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.frames, (std::set<std::string>{"000000.raw", "loading-0.raw", "loading-1.raw",
                                                  "loading-2.raw", "loading-3.raw"}));
    EXPECT_TRUE(AllBlack(scratch.File("frames/000000.raw")));
}

TEST_F(ShowRun, EscapeDuringASegmentEndsItAfterOneMoreFrame) {
    CaptureRun run = Capture("--from 5000 --escape-at 5100");
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    std::vector<long> times;
    for (const std::string& name : run.frames)
        if (name.rfind("loading-", 0) != 0) times.push_back(std::stol(name));
    ASSERT_GE(times.size(), 2u);
    // The key goes down at the first pump at 5100 ms or later, right after a frame's flip;
    // that frame is the segment's last. Every later segment ends at its first test; only
    // the baller's black frame before its loop follows, at the time of the key.
    const long last = times[times.size() - 2];
    EXPECT_GE(last, 5100 - 17);
    EXPECT_LT(last, 5100);
    EXPECT_GE(times.back(), 5100);
    EXPECT_LE(times.back(), 5100 + 17);
    char name[32];
    std::snprintf(name, sizeof name, "frames/%06ld.raw", times.back());
    EXPECT_TRUE(AllBlack(scratch.File(name)));
}

TEST_F(ShowRun, MissingLoadingPictureEndsWithOne) {
    fs::remove(data.File("show/images/load.bmp"));
    CaptureRun run = Capture("");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.frames.empty());
}

TEST_F(ShowRun, MissingModuleShowsTheMusicErrorAndEndsWithOne) {
    fs::remove(data.File("show/zelkmod.xm"));
    CaptureRun run = Capture("");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("zelkmod.xm"), std::string::npos) << run.errors;
    EXPECT_EQ(run.frames.count("loading-1.raw"), 1u);  // the tables were built first
    EXPECT_EQ(run.frames.count("loading-2.raw"), 0u);
}

TEST_F(ShowRun, TheModuleIsFoundWhateverTheCaseOfItsName) {
    fs::rename(data.File("show/zelkmod.xm"), data.File("show/ZELKMOD.XM"));
    fs::rename(data.File("show/images"), data.File("show/Images"));
    CaptureRun run = Capture("--escape-at 0");
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.frames.size(), 4u + 1);  // the loading screen and the baller's black frame
}

}  // namespace

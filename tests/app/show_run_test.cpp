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

TEST_F(ShowRun, EscapeOnTheLoadingScreenEndsEverySegmentAtItsFirstTest) {
    // Pressed before the first pump, the key waits in the queue until just before T0.
    CaptureRun run = Capture("--escape-at 0");
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.frames, (std::set<std::string>{"loading-0.raw", "loading-1.raw", "loading-2.raw",
                                                  "loading-3.raw"}));
}

TEST_F(ShowRun, EscapeDuringASegmentEndsItAfterOneMoreFrame) {
    CaptureRun run = Capture("--from 5000 --escape-at 5100");
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    long last = -1;
    for (const std::string& name : run.frames)
        if (name.rfind("loading-", 0) != 0) last = std::max(last, std::stol(name));
    // The key goes down at the first pump at 5100 ms or later, right after a frame's flip;
    // that frame is the segment's last, and every later segment ends at its first test.
    EXPECT_GE(last, 5100 - 17);
    EXPECT_LT(last, 5100);
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
    EXPECT_EQ(run.frames.size(), 4u);
}

}  // namespace

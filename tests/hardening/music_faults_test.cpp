// Every call the show makes into the music library, made to fail in a whole run: the calls
// whose results are ignored leave the show untouched; each fatal one shows the library's own
// text in a "Midas" box, closes the library and ends the process with 1 at once, leaving the
// display and the 3D device to the end of the process.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>

#include "platform/testing/hooks.h"
#include "tests/hardening/whole_show.h"

namespace {

// Printed by the child at exit: where the box came in the call log, how often the library
// was closed after it, and whether the display was handed back (which shows the cursor).
void PrintCloseAfterBoxAtExit() {
    standin::CallLog();  // made before the handler is registered, so it outlives it
    std::atexit([] {
        const long box = standin::FirstCall("MessageBoxA Midas");
        long closeAfter = 0;
        const auto& log = standin::CallLog();
        for (size_t i = box < 0 ? log.size() : static_cast<size_t>(box); i < log.size(); i++)
            closeAfter += log[i].rfind("MIDASclose", 0) == 0;
        std::fprintf(stderr, "box at %ld, MIDASclose after it %ld, cursor shown %d\n", box, closeAfter,
                     standin::CountCalls("ShowCursor TRUE"));
    });
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct FatalCall {
    const char* call;
    bool afterDisplay;  // the display and the 3D device exist when it fails
};

void PrintTo(const FatalCall& c, std::ostream* os) { *os << c.call; }

class FatalMusicCall : public ::testing::TestWithParam<FatalCall> {};

TEST_P(FatalMusicCall, ShowsTheLibraryTextClosesItAndEndsWithOne) {
    const FatalCall c = GetParam();
    ChildRun child = RunInChild([c] {
        PrintLiveObjectsAtExit();
        PrintCloseAfterBoxAtExit();
        WholeShowOptions options;
        options.escapeAt = -1;  // a short show: the shutdown calls come right after the loading
        options.arm = [c] {
            standin::EnableCallLog(true);  // a short run makes few calls
            standin::FailCall(c.call, 1);
        };
        const int code = RunWholeShow(options).exitCode;
        std::fprintf(stderr, "WinMain returned %d\n", code);
        return 99;  // the failure must end the process before WinMain returns
    });
    ASSERT_EQ(child.exitCode, 1) << child.errors;
    EXPECT_FALSE(Has(child.errors, "Sanitizer")) << child.errors;  // which also exits with 1
    EXPECT_FALSE(Has(child.errors, "WinMain returned")) << child.errors;
    // The box text is the library's own, naming the call that failed; said on stderr too.
    EXPECT_TRUE(Has(child.errors, std::string("Midas: ") + c.call + " failed")) << child.errors;
    EXPECT_TRUE(Has(child.errors, "MIDASclose after it 1,")) << child.errors;
    // Nothing is released on the way out: the display is never handed back.
    EXPECT_TRUE(Has(child.errors, "cursor shown 0")) << child.errors;
    if (c.afterDisplay) {
        EXPECT_TRUE(Has(child.errors, "IDirectDraw=1")) << child.errors;
        EXPECT_TRUE(Has(child.errors, "IDirect3DRMDevice=1")) << child.errors;
    } else {
        EXPECT_FALSE(Has(child.errors, "IDirectDraw=")) << child.errors;
        EXPECT_FALSE(Has(child.errors, "IDirectDrawSurface=")) << child.errors;
    }
}

INSTANTIATE_TEST_SUITE_P(Calls, FatalMusicCall,
                         ::testing::Values(FatalCall{"MIDASinit", false}, FatalCall{"MIDASloadModule", true},
                                           FatalCall{"MIDASplayModule", true}, FatalCall{"MIDASstopModule", true},
                                           FatalCall{"MIDASfreeModule", true}, FatalCall{"MIDASclose", true}),
                         [](const ::testing::TestParamInfo<FatalCall>& info) { return std::string(info.param.call); });

// The library's set-up comes before the window, so a failed MIDASinit ends the program with
// no window made; a module that will not play ends the loading before any scene is read.
TEST(FatalMusicCallOrder, InitFailsBeforeTheWindowAndLoadBeforeTheScenes) {
    ChildRun child = RunInChild([] {
        standin::CallLog();
        std::atexit([] {
            std::fprintf(stderr, "windows made %d\n", standin::CountCalls("CreateWindowExA"));
        });
        WholeShowOptions options;
        options.arm = [] {
            standin::EnableCallLog(true);
            standin::FailCall("MIDASinit", 1);
        };
        RunWholeShow(options);
        return 99;
    });
    EXPECT_EQ(child.exitCode, 1);
    EXPECT_TRUE(Has(child.errors, "windows made 0")) << child.errors;

    // A module that will not play: the tables were built and shown, the scenes never loaded.
    child = RunInChild([] {
        standin::CallLog();
        std::atexit([] {
            std::fprintf(stderr, "scripts read %d\n", standin::CountCalls("IDirect3DRM::CreateViewport"));
        });
        WholeShowOptions options;
        options.arm = [] {
            standin::EnableCallLog(true);
            standin::FailCall("MIDASplayModule", 1);
        };
        RunWholeShow(options);
        return 99;
    });
    EXPECT_EQ(child.exitCode, 1);
    EXPECT_TRUE(Has(child.errors, "scripts read 0")) << child.errors;
}

struct IgnoredCall {
    const char* call;
    int times;
};

void PrintTo(const IgnoredCall& c, std::ostream* os) { *os << c.call; }

class IgnoredMusicCall : public ::testing::TestWithParam<IgnoredCall> {};

// Start-up, both options and every poll may fail: their results are not looked at, so the
// timeline runs on as usual (cut short here by an Escape three seconds in).
TEST_P(IgnoredMusicCall, LeavesTheShowRunning) {
    const IgnoredCall c = GetParam();
    WholeShowOptions options;
    options.escapeAt = 3000;
    options.arm = [c] { standin::FailCall(c.call, c.times); };
    WholeShowRun run = RunWholeShow(options);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(run.FramesBetween(0, 3000), 15);  // a frame every 200 ms, none lost
    EXPECT_EQ(LiveObjectCounts(), ObjectsLeftByDesign());
}

INSTANTIATE_TEST_SUITE_P(Calls, IgnoredMusicCall,
                         ::testing::Values(IgnoredCall{"MIDASstartup", 1},
                                           IgnoredCall{"MIDASsetOption", 2},  // both options
                                           IgnoredCall{"MIDASpoll", 1 << 30}),
                         [](const ::testing::TestParamInfo<IgnoredCall>& info) { return std::string(info.param.call); });

}  // namespace

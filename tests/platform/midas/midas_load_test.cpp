// Loading modules: every refusal names the file and says what failed; nothing crashes.
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/midas/midas.h"
#include "platform/testing/hooks.h"
#include "tests/platform/midas/midas_fixture.h"
#include "tests/platform/midas/test_module.h"

namespace {

std::string LastErrorText() { return MIDASgetErrorMessage(MIDASgetLastError()); }

TEST_F(MidasTest, LoadRefusalsNameTheFileAndTheReason) {
    const std::string missing = dir + "/zelkmod.xm";
    EXPECT_EQ(MIDASloadModule(missing.c_str()), nullptr);
    EXPECT_EQ(LastErrorText(), "cannot open " + missing + ": No such file or directory");

    std::vector<uint8_t> garbage(1000);
    for (size_t i = 0; i < garbage.size(); i++) garbage[i] = static_cast<uint8_t>(i * 37 + 11);
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* reason;
    } cases[] = {
        {"garbage.xm", garbage, "unknown format"},
        {"empty.xm", {}, "the file is empty"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir + "/" + c.name;
        WriteBytes(path, c.bytes);
        EXPECT_EQ(MIDASloadModule(path.c_str()), nullptr);
        EXPECT_NE(MIDASgetLastError(), 0);
        EXPECT_CONTAINS(LastErrorText(), path + " is not a module libopenmpt can read: ");
        EXPECT_CONTAINS(LastErrorText(), c.reason);
    }

    EXPECT_EQ(MIDASloadModule(dir.c_str()), nullptr);
    EXPECT_EQ(LastErrorText(), "cannot read " + dir + ": Is a directory");
    EXPECT_EQ(MIDASloadModule(nullptr), nullptr);
    EXPECT_CONTAINS(LastErrorText(), "no file name");
    EXPECT_EQ(standin::LiveObjects("MIDASmodule"), 0);
}

// Every cut of a valid module either loads (libopenmpt tolerates short sample data) or is
// refused with the file named; the library never crashes on it.
TEST_F(MidasTest, EveryTruncationLoadsOrIsRefusedCleanly) {
    const std::string path = dir + "/cut.xm";
    for (size_t size = 0; size < tune.size(); size += 5) {
        WriteBytes(path, {tune.begin(), tune.begin() + static_cast<long>(size)});
        MIDASmodule module = MIDASloadModule(path.c_str());
        if (module) {
            EXPECT_TRUE(MIDASfreeModule(module)) << size;
        } else {
            EXPECT_CONTAINS(LastErrorText(), path) << size;
        }
    }
    EXPECT_EQ(standin::LiveObjects("MIDASmodule"), 0);
}

TEST_F(MidasTest, WindowsStyleNamesAreFoundIgnoringCase) {
    std::filesystem::create_directories(dir + "/Music");
    WriteBytes(dir + "/Music/ZelkMod.XM", tune);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    MIDASmodule module = MIDASloadModule("music\\zelkmod.xm");
    std::filesystem::current_path(previous);
    ASSERT_NE(module, nullptr) << LastErrorText();
    EXPECT_EQ(standin::LiveObjects("MIDASmodule"), 1);
    EXPECT_TRUE(MIDASfreeModule(module));
    EXPECT_EQ(standin::LiveObjects("MIDASmodule"), 0);
}

TEST_F(MidasTest, ErrorTextsAreNeverNull) {
    EXPECT_EQ(MIDASgetLastError(), 0);
    for (int code : {-1, 0, 1, 4, 9, 10, 11, 99, 1 << 30}) {
        const char* text = MIDASgetErrorMessage(code);
        ASSERT_NE(text, nullptr) << code;
        EXPECT_GT(strlen(text), 0u) << code;
    }
    // Only the last error carries the file's name; other codes give their general text.
    MIDASloadModule("nowhere.xm");
    const int code = MIDASgetLastError();
    EXPECT_CONTAINS(MIDASgetErrorMessage(code), "nowhere.xm");
    EXPECT_EQ(std::string(MIDASgetErrorMessage(code + 1)).find("nowhere.xm"), std::string::npos);
}

}  // namespace

// zelk6-showdata as a program: the same bytes on every run, a usage error without its folder,
// and a one-line error when it cannot write.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "tests/tools/showdata_files.h"

namespace {

namespace fs = std::filesystem;

// The generator is built beside the test program.
std::string GeneratorPath() { return (fs::read_symlink("/proc/self/exe").parent_path() / "zelk6-showdata").string(); }

struct GeneratorRun {
    int exitCode = -1;
    std::string errors;  // what it wrote on stderr
};

GeneratorRun RunGenerator(const std::string& arguments, const fs::path& scratch) {
    const fs::path errors = scratch / "stderr.txt";
    const std::string command = "'" + GeneratorPath() + "' " + arguments + " 2>'" + errors.string() + "' >/dev/null";
    const int status = std::system(command.c_str());
    GeneratorRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::vector<uint8_t> text = showdata_test::ReadBytes(errors.string());
    run.errors.assign(text.begin(), text.end());
    return run;
}

// Every file under root, by its path relative to root.
std::map<std::string, std::vector<uint8_t>> ReadTree(const fs::path& root) {
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), root).string()] = showdata_test::ReadBytes(entry.path().string());
    return files;
}

class ShowDataTool : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/zelk6-showdata-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        scratch = pattern;
        ASSERT_TRUE(fs::exists(GeneratorPath())) << GeneratorPath();
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
    }
    fs::path scratch;
};

TEST_F(ShowDataTool, WritesTheSameBytesOnEveryRun) {
    for (const char* run : {"a", "b"}) {
        GeneratorRun result = RunGenerator("'" + (scratch / run).string() + "'", scratch);
        ASSERT_EQ(result.exitCode, 0) << result.errors;
        EXPECT_EQ(result.errors, "");
    }
    const auto first = ReadTree(scratch / "a"), second = ReadTree(scratch / "b");
    const auto built = ReadTree(ZELK6_BUILTIN_DATA);
    EXPECT_GE(first.size(), 18u);
    ASSERT_EQ(first.size(), second.size());
    for (const auto& [name, bytes] : first) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(second.count(name));
        EXPECT_TRUE(bytes == second.at(name)) << "differs between two runs";
        // The build's copy came from the same program.
        ASSERT_TRUE(built.count(name));
        EXPECT_TRUE(bytes == built.at(name)) << "differs from the build's show data";
    }
    for (const char* name : {"images/load.bmp", "images/screen1tex.raw", "scripts/scene1.scr", "zelkmod.xm"})
        EXPECT_TRUE(first.count(name)) << name;
}

TEST_F(ShowDataTool, ReplacesFilesItFindsAndCreatesMissingFolders) {
    const fs::path target = scratch / "deep" / "er";
    fs::create_directories(target / "images");
    std::ofstream(target / "images" / "load.bmp") << "stale";
    ASSERT_EQ(RunGenerator("'" + target.string() + "'", scratch).exitCode, 0);
    EXPECT_EQ(showdata_test::ReadPicture((target / "images" / "load.bmp").string()).error, "");
}

TEST_F(ShowDataTool, UsageErrorWithoutExactlyOneFolder) {
    for (const char* arguments : {"", "one two", "''"}) {
        SCOPED_TRACE(arguments);
        GeneratorRun run = RunGenerator(arguments, scratch);
        EXPECT_EQ(run.exitCode, 64);
        EXPECT_EQ(run.errors.rfind("usage: zelk6-showdata DIR", 0), 0u) << run.errors;
    }
}

TEST_F(ShowDataTool, FailsWithOneLineWhenAFileCannotBeWritten) {
    // A plain file where the folder should be: nothing under it can be created.
    std::ofstream(scratch / "blocker") << "x";
    GeneratorRun run = RunGenerator("'" + (scratch / "blocker").string() + "'", scratch);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.errors.rfind("zelk6-showdata: ", 0), 0u) << run.errors;
    EXPECT_NE(run.errors.find("blocker"), std::string::npos) << run.errors;
    EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;

    // A file in the way of one output file, deeper down.
    const fs::path target = scratch / "partial";
    fs::create_directories(target / "scripts" / "credits.scr");
    run = RunGenerator("'" + target.string() + "'", scratch);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("credits.scr"), std::string::npos) << run.errors;
    EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
}

}  // namespace

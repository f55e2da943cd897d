// Every file of the built-in show data taken away, or replaced by random bytes, by its first
// half or by nothing, one at a time in a copy: the program (the capture tool at a low frame
// rate) always reaches its designed end. A missing or unreadable loading picture or module
// ends it with 1 (the module with the music library's text, the picture with a box that says
// where it was looked for); anything else is left out, named once on stderr, and the show runs
// its full length with 0. Never a crash or a hang. The built-in data itself plays without a word.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/show_fixture.h"

namespace {

namespace fs = std::filesystem;

enum class Damage { Missing, Random, Truncated, Empty };

const char* DamageName(Damage d) {
    switch (d) {
        case Damage::Missing: return "Missing";
        case Damage::Random: return "Random";
        case Damage::Truncated: return "Truncated";
        case Damage::Empty: return "Empty";
    }
    return "";
}

// What a damaged file does to the run; all other files are optional to the show.
enum class Needed { No, LoadingPicture, Module };

struct DataFile {
    const char* path;  // relative to the show folder
    Needed needed;
};

const DataFile kFiles[] = {
    {"zelkmod.xm", Needed::Module},
    {"images/load.bmp", Needed::LoadingPicture},
    {"images/sau.bmp", Needed::No},
    {"images/zuzuv.bmp", Needed::No},
    {"images/life.bmp", Needed::No},
    {"images/chain.bmp", Needed::No},
    {"images/1.bmp", Needed::No},
    {"images/2.bmp", Needed::No},
    {"images/3.bmp", Needed::No},
    {"images/screen1tex.raw", Needed::No},
    {"scripts/credits.scr", Needed::No},
    {"scripts/baller.scr", Needed::No},
    {"scripts/scene1.scr", Needed::No},
    {"models/credits.x", Needed::No},
    {"models/baller.x", Needed::No},
    {"models/scene1.x", Needed::No},
    {"textures/ball.bmp", Needed::No},
    {"textures/floor.bmp", Needed::No},
    {"textures/moon.bmp", Needed::No},
    {"textures/sunset.bmp", Needed::No},
    {"textures/tiles.bmp", Needed::No},
};

const int kFps = 2;          // 500 ms a frame: a whole show in about 200 frames
const int kTimeLimit = 120;  // seconds; a hang is reported as such, not as a ctest timeout

// Lines of `errors` that name `path` as a data file's problem ("zelk6: images/1.bmp: ..."),
// spelled with either slash.
int ProblemLines(std::string errors, const std::string& path) {
    std::replace(errors.begin(), errors.end(), '\\', '/');
    const std::string head = "zelk6: " + path + ": ";
    int lines = 0;
    for (size_t at = errors.find(head); at != std::string::npos; at = errors.find(head, at + 1))
        lines += at == 0 || errors[at - 1] == '\n';
    return lines;
}

struct Outcome {
    int exitCode = -1;  // 124: killed by the time limit
    bool signalled = false;
    std::string errors;
    long lastFrame = -1;  // show time of the last frame written, to see where the show ended
    int loadingFrames = 0;
};

void DamageFile(const fs::path& file, Damage damage) {
    if (damage == Damage::Missing) {
        fs::remove(file);
        return;
    }
    std::string bytes;
    {
        std::ifstream in(file, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    if (damage == Damage::Truncated) bytes.resize(bytes.size() / 2);
    if (damage == Damage::Empty) bytes.clear();
    if (damage == Damage::Random) {
        std::mt19937 random(static_cast<unsigned>(std::hash<std::string>()(file.filename().string())));
        for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

Outcome RunCapture(const std::string& data, const std::string& scratch) {
    const std::string out = scratch + "/frames";
    const std::string command = "timeout " + std::to_string(kTimeLimit) + " '" + ZELK6_CAPTURE + "' --data '" +
                                data + "' --out '" + out + "' --fps " + std::to_string(kFps) + " 2>'" + scratch +
                                "/err' >/dev/null";
    const int status = std::system(command.c_str());
    Outcome o;
    o.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    // timeout reports a child killed by a signal as 128 + the signal.
    o.signalled = !WIFEXITED(status) || (o.exitCode > 128 && o.exitCode != 124);
    std::ifstream in(scratch + "/err");
    o.errors.assign(std::istreambuf_iterator<char>(in), {});
    if (fs::exists(out))
        for (const auto& entry : fs::directory_iterator(out)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("loading-", 0) == 0)
                o.loadingFrames++;
            else
                o.lastFrame = std::max(o.lastFrame, std::stol(name));
        }
    return o;
}

struct Case {
    DataFile file;
    Damage damage;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.file.path << " " << DamageName(c.damage); }

class BrokenShowData : public ::testing::TestWithParam<Case> {};

TEST_P(BrokenShowData, TheShowReachesItsDesignedEnd) {
    const Case c = GetParam();
    ASSERT_TRUE(fs::exists(fs::path(ZELK6_BUILTIN_DATA) / c.file.path)) << "build the show data first";
    TempDir data, scratch;
    fs::copy(ZELK6_BUILTIN_DATA, data.path(), fs::copy_options::recursive);
    DamageFile(fs::path(data.path()) / c.file.path, c.damage);
    const Outcome o = RunCapture(data.path(), scratch.path());
    ASSERT_FALSE(o.signalled) << "crashed: " << o.errors;
    ASSERT_NE(o.exitCode, 124) << "hung: no end within " << kTimeLimit << " s";
    // Under the sanitizers a memory fault also ends the run with 1; it must not pass for the
    // designed exit.
    ASSERT_EQ(o.errors.find("Sanitizer"), std::string::npos) << o.errors;
    ASSERT_EQ(o.errors.find("runtime error"), std::string::npos) << o.errors;

    // A truncated module may still be readable (its first half holds the patterns); every
    // other damage to it leaves nothing to play.
    const bool moduleMayPlay = c.file.needed == Needed::Module && c.damage == Damage::Truncated;
    if (c.file.needed == Needed::LoadingPicture) {
        EXPECT_EQ(o.exitCode, 1) << o.errors;
        EXPECT_EQ(o.loadingFrames, 0);  // nothing is shown without it
        EXPECT_NE(o.errors.find("Zelk6: cannot load images\\load.bmp from " + data.path() + ": "), std::string::npos)
            << o.errors;
        EXPECT_NE(o.errors.find("; start zelk6 from a show folder\n"), std::string::npos) << o.errors;
    } else if (c.file.needed == Needed::Module && (!moduleMayPlay || o.exitCode != 0)) {
        EXPECT_EQ(o.exitCode, 1) << o.errors;
        // The music library's own text, in its box and on stderr, names the file.
        EXPECT_NE(o.errors.find("Midas: "), std::string::npos) << o.errors;
        EXPECT_NE(o.errors.find("zelkmod.xm"), std::string::npos) << o.errors;
        EXPECT_EQ(o.loadingFrames, 2);  // the tables were built and shown first
    } else {
        EXPECT_EQ(o.exitCode, 0) << o.errors;
        EXPECT_EQ(o.loadingFrames, 4);
        // The scroller's third pass ends on the first frame 10 000 ms after its own start,
        // no sooner than 100 000 ms after T0 and within a frame or two of it.
        EXPECT_GE(o.lastFrame, 100000);
        EXPECT_LT(o.lastFrame, 100000 + 3 * 1000 / kFps);
        // What the show went on without is named, once. But random bytes make a valid raw
        // texture; a script cut short is still a script; and random bytes as a script name some
        // other X file, which is named instead.
        const std::string path = c.file.path;
        const bool script = path.rfind("scripts/", 0) == 0;
        const int lines = ProblemLines(o.errors, path);
        if ((path == "images/screen1tex.raw" && c.damage == Damage::Random) ||
            (script && c.damage == Damage::Truncated)) {
            EXPECT_EQ(lines, 0) << o.errors;
        } else if (script && c.damage == Damage::Random) {
            EXPECT_LE(lines, 1) << o.errors;
            EXPECT_NE(o.errors, "");
        } else {
            EXPECT_EQ(lines, 1) << o.errors;
        }
    }
}

TEST(BrokenShowDataList, TheBuiltInDataPlaysWithoutAWord) {
    TempDir scratch;
    const Outcome o = RunCapture(ZELK6_BUILTIN_DATA, scratch.path());
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.errors, "");
}

std::vector<Case> AllCases() {
    std::vector<Case> cases;
    for (const DataFile& f : kFiles)
        for (Damage d : {Damage::Missing, Damage::Random, Damage::Truncated, Damage::Empty}) cases.push_back({f, d});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EachFile, BrokenShowData, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name;
                             for (const char* p = info.param.file.path; *p; p++)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name + "_" + DamageName(info.param.damage);
                         });

// The list above is the whole show data: a file added to it must be given its case here.
TEST(BrokenShowDataList, CoversEveryFileOfTheBuiltInData) {
    std::set<std::string> listed, present;
    for (const DataFile& f : kFiles) listed.insert(f.path);
    for (const auto& entry : fs::recursive_directory_iterator(ZELK6_BUILTIN_DATA))
        if (entry.is_regular_file()) present.insert(fs::relative(entry.path(), ZELK6_BUILTIN_DATA).generic_string());
    EXPECT_EQ(listed, present);
}

}  // namespace

// Golden frames: each listed frame of the built-in show, captured again, must have the
// checksum it had when someone looked at it. A failure names the segment and the show time.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/show_fixture.h"

namespace {

struct Golden {
    std::string time, layout, sum;
};

// Segment name -> its frames, in file order.
std::map<std::string, std::vector<Golden>> ReadList() {
    std::map<std::string, std::vector<Golden>> list;
    std::ifstream in(ZELK6_SOURCE_DIR "/tests/golden/frames.txt");
    std::string line, segment = "unnamed";
    while (std::getline(in, line)) {
        if (line.rfind("# segment: ", 0) == 0) segment = line.substr(11);
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        Golden g;
        fields >> g.time >> g.layout >> g.sum;
        list[segment].push_back(g);
    }
    return list;
}

std::string Md5(const std::string& path) {
    FILE* pipe = popen(("md5sum '" + path + "' 2>/dev/null").c_str(), "r");
    if (!pipe) return "";
    char sum[33] = {};
    const size_t n = std::fread(sum, 1, 32, pipe);
    pclose(pipe);
    return n == 32 ? std::string(sum, 32) : "";
}

class GoldenFrames : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenFrames, MatchTheFramesThatWereLookedAt) {
    const auto list = ReadList();
    ASSERT_TRUE(list.count(GetParam()));
    for (const Golden& g : list.at(GetParam())) {
        TempDir out;
        const std::string command = std::string("'") + ZELK6_CAPTURE + "' --from " + g.time + " --to " + g.time +
                                    " --pixel-format " + g.layout + " --out '" + out.path() + "' >/dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << g.time;
        char name[32];
        std::snprintf(name, sizeof name, "%06ld.raw", std::stol(g.time));
        EXPECT_EQ(Md5(out.File(name)), g.sum)
            << GetParam() << " changed at " << g.time << " ms (" << g.layout
            << "); if that is intended, run tests/golden/update.sh and look at the new PNGs";
    }
}

std::vector<std::string> Segments() {
    std::vector<std::string> names;
    for (const auto& [segment, frames] : ReadList()) names.push_back(segment);
    return names;
}

INSTANTIATE_TEST_SUITE_P(Show, GoldenFrames, ::testing::ValuesIn(Segments()),
                         [](const auto& info) {
                             std::string n = info.param;
                             for (char& c : n)
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });

}  // namespace

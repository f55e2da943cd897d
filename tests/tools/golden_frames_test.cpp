// Golden frames: each listed frame of the built-in show, captured again, must have the
// checksum it had when someone looked at it. A failure names the segment and the show time,
// counts the pixels that changed against the stored reference frame, names the first, and
// leaves both frames as PNG pictures in <build>/golden-failures.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/host/pixel_expand.h"
#include "tests/support/show_fixture.h"

namespace {

namespace fs = std::filesystem;

const int kWidth = 640, kHeight = 480;
const size_t kFrameBytes = static_cast<size_t>(kWidth) * kHeight * 2;

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

// tests/golden/update.sh stores each listed frame gzipped and named by its sum, so the file of
// a sum can only hold that frame.
std::string ReferencePath(const Golden& g) {
    return ZELK6_SOURCE_DIR "/tests/golden/frames/" + g.sum + ".raw.gz";
}

// A whole raw frame (640 x 480 little-endian words), or an empty vector.
std::vector<uint16_t> ReadFrame(const std::string& path, bool gzipped) {
    std::vector<uint8_t> bytes;
    if (gzipped) {
        gzFile file = gzopen(path.c_str(), "rb");
        if (!file) return {};
        bytes.resize(kFrameBytes + 1);  // one byte more shows a file too long
        const int n = gzread(file, bytes.data(), static_cast<unsigned>(bytes.size()));
        gzclose(file);
        bytes.resize(n < 0 ? 0 : static_cast<size_t>(n));
    } else {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    if (bytes.size() != kFrameBytes) return {};
    std::vector<uint16_t> words(kFrameBytes / 2);
    for (size_t i = 0; i < words.size(); i++) words[i] = static_cast<uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return words;
}

// As the capture tool's PNG frames show it: the same expansion to 8-bit channels.
bool WritePng(const std::string& path, const std::vector<uint16_t>& frame, bool rgb555) {
    const uint32_t* table = PixelExpandTable(rgb555);
    std::vector<uint8_t> rgb(frame.size() * 3);
    for (size_t i = 0; i < frame.size(); i++) {
        const uint32_t c = table[frame[i]];
        rgb[3 * i] = static_cast<uint8_t>(c >> 16);
        rgb[3 * i + 1] = static_cast<uint8_t>(c >> 8);
        rgb[3 * i + 2] = static_cast<uint8_t>(c);
    }
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(rgb.data(), kWidth, kHeight, 24, kWidth * 3, SDL_PIXELFORMAT_RGB24);
    const bool ok = surface && IMG_SavePNG(surface, path.c_str()) == 0;
    SDL_FreeSurface(surface);
    return ok;
}

// Where a mismatch leaves its pictures: <build>/golden-failures/<segment>-<time>-{expected,actual}.png.
std::string FailureStem(const std::string& segment, const Golden& g) {
    return (fs::path(ZELK6_CAPTURE).parent_path() / "golden-failures" / (segment + "-" + g.time + "-")).string();
}

// What differs between the reference frame and the captured one, with both left as PNGs.
std::string ExplainMismatch(const std::string& segment, const Golden& g, const std::string& capturedPath) {
    const std::string stem = FailureStem(segment, g);
    std::error_code ignored;
    fs::create_directories(fs::path(stem).parent_path(), ignored);
    const bool rgb555 = g.layout == "555";
    std::ostringstream why;

    const std::vector<uint16_t> actual = ReadFrame(capturedPath, false);
    if (actual.empty()) return "no whole frame was captured";
    if (WritePng(stem + "actual.png", actual, rgb555)) why << "\n  captured: " << stem << "actual.png";
    const std::vector<uint16_t> expected = ReadFrame(ReferencePath(g), true);
    if (expected.empty()) return why.str() + "\n  no reference frame " + ReferencePath(g);
    if (WritePng(stem + "expected.png", expected, rgb555)) why << "\n  expected: " << stem << "expected.png";

    long differing = 0;
    int first = -1, left = kWidth, top = kHeight, right = -1, bottom = -1;
    for (int i = 0; i < kWidth * kHeight; i++) {
        if (actual[i] == expected[i]) continue;
        if (first < 0) first = i;
        differing++;
        const int x = i % kWidth, y = i / kWidth;
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
    }
    if (differing == 0) return why.str() + "\n  yet it equals " + ReferencePath(g) + ", which then is not that sum's";
    char line[200];
    std::snprintf(line, sizeof line,
                  "\n  %ld of %d pixels differ, within x %d..%d, y %d..%d; the first at (%d, %d): expected "
                  "0x%04X, captured 0x%04X",
                  differing, kWidth * kHeight, left, right, top, bottom, first % kWidth, first / kWidth,
                  expected[first], actual[first]);
    return why.str() + line;
}

class GoldenFrames : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenFrames, MatchTheFramesThatWereLookedAt) {
    const auto list = ReadList();
    ASSERT_TRUE(list.count(GetParam()));
    for (const Golden& g : list.at(GetParam())) {
        EXPECT_TRUE(fs::exists(ReferencePath(g))) << "no reference frame for " << g.time << " ms: run "
                                                  << "tests/golden/update.sh and commit tests/golden/frames/";
        std::error_code ignored;  // the pictures of an earlier failure would mislead
        for (const char* picture : {"actual.png", "expected.png"})
            fs::remove(FailureStem(GetParam(), g) + picture, ignored);
        TempDir out;
        const std::string command = std::string("'") + ZELK6_CAPTURE + "' --from " + g.time + " --to " + g.time +
                                    " --pixel-format " + g.layout + " --out '" + out.path() + "' >/dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << g.time;
        char name[32];
        std::snprintf(name, sizeof name, "%06ld.raw", std::stol(g.time));
        const std::string captured = out.File(name);
        const std::string sum = Md5(captured);
        EXPECT_EQ(sum, g.sum) << GetParam() << " changed at " << g.time << " ms (" << g.layout << "):"
                              << ExplainMismatch(GetParam(), g, captured)  // only run on a failure
                              << "\n  if that is intended, run tests/golden/update.sh and look at the new PNGs";
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

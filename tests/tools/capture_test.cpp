// zelk6-capture as a program: usage errors, files named from the folder it was started in, the
// same bytes on every run, PNG frames equal to the raw ones, the music as a WAV of exactly the
// time it played, video through ffmpeg, and no sound or video file left by a failed run.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
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

struct CaptureResult {
    int exitCode = -1;
    std::string output;  // stdout and stderr
};

CaptureResult Capture(const std::string& arguments, const std::string& environment = "") {
    TempDir log;
    const std::string command = environment + " '" + ZELK6_CAPTURE + "' " + arguments + " >'" +
                                log.File("out") + "' 2>&1";
    const int status = std::system(command.c_str());
    CaptureResult run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(log.File("out"));
    run.output.assign(std::istreambuf_iterator<char>(in), {});
    return run;
}

std::vector<uint8_t> Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Every file and folder under `dir`, relative to it.
std::set<std::string> Tree(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        names.insert(fs::relative(entry.path(), dir).string());
    return names;
}

// The command prefix that starts the tool in `dir`.
std::string In(const std::string& dir) { return "cd '" + dir + "' &&"; }

TEST(CaptureOptions, UsageErrorsSayWhatIsWrongAndExitWith64) {
    const struct {
        const char* arguments;
        const char* says;
    } cases[] = {
        {"--fps abc", "--fps wants a whole number"},
        {"--fps 0", "--fps wants a whole number"},
        {"--from 12x", "--from wants milliseconds"},
        {"--from -5", "--from wants milliseconds"},
        {"--from 2000 --to 1000", "--from is after --to"},
        {"--format gif", "--format wants raw or png"},
        {"--pixel-format 888", "--pixel-format wants 565 or 555"},
        {"--renderer fast", "--renderer wants hardware or software"},
        {"--out", "--out needs a value"},
        {"--colour red", "unknown option --colour"},
        {"--bogus", "unknown option --bogus"},
        {"--out frames stray", "unexpected argument stray"},
        {"--out /proc/zelk6-frames", "cannot create /proc/zelk6-frames"},
        {"--data /nonexistent-zelk6-show", "cannot use the show folder"},
        {"--video v.mp4 --video-scale 5", "--video-scale wants a whole number from 1 to 4, not '5'"},
        {"--video v.mp4 --video-size 720p", "--video-size wants 1080p or 2160p, not '720p'"},
        {"--video-size 1080p", "--video-size wants --video"},
        {"--video v.mp4 --video-pad", "--video-pad wants --video-size"},
        {"--video v.mp4 --video-size 2160p --video-scale 3", "--video-scale and --video-size cannot both be given"},
    };
    for (const auto& c : cases) {
        CaptureResult run = Capture(c.arguments);
        EXPECT_EQ(run.exitCode, 64) << c.arguments;
        EXPECT_NE(run.output.find(c.says), std::string::npos) << c.arguments << ": " << run.output;
    }
    CaptureResult help = Capture("--help");
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option : {"--data", "--out", "--fps", "--from", "--to", "--format", "--pixel-format",
                               "--renderer", "--wav", "--video", "--escape-at", "--video-scale", "--video-size",
                               "--video-pad"})
        EXPECT_NE(help.output.find(option), std::string::npos) << option;
}

TEST(CaptureFrames, TwoRunsGiveTheSameBytesAndPngMatchesRaw) {
    TempDir a, b, png;
    const std::string range = " --from 1000 --to 1100 --pixel-format 555";
    ASSERT_EQ(Capture("--out '" + a.path() + "'" + range).exitCode, 0);
    ASSERT_EQ(Capture("--out '" + b.path() + "'" + range).exitCode, 0);
    ASSERT_EQ(Capture("--out '" + png.path() + "' --format png" + range).exitCode, 0);
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(a.path())) {
        const std::string name = entry.path().filename();
        const std::vector<uint8_t> raw = Bytes(entry.path());
        ASSERT_EQ(raw.size(), 640u * 480 * 2) << name;
        EXPECT_TRUE(raw == Bytes(b.File(name))) << name;

        const std::string stem = entry.path().stem();
        SDL_Surface* loaded = IMG_Load(png.File(stem + ".png").c_str());
        ASSERT_NE(loaded, nullptr) << stem << ": " << IMG_GetError();
        SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0);
        SDL_FreeSurface(loaded);
        ASSERT_TRUE(rgb && rgb->w == 640 && rgb->h == 480);
        int bad = 0;
        for (int y = 0; y < 480; y++)
            for (int x = 0; x < 640; x++) {
                const unsigned p = raw[2 * (y * 640 + x)] | raw[2 * (y * 640 + x) + 1] << 8;
                const uint8_t* q = static_cast<uint8_t*>(rgb->pixels) + y * rgb->pitch + 3 * x;
                // 5-5-5 channels widened by bit replication: black stays 0, full scale is 255.
                auto widen = [](unsigned c) { return (c << 3) | (c >> 2); };
                bad += q[0] != widen((p >> 10) & 31) || q[1] != widen((p >> 5) & 31) || q[2] != widen(p & 31);
            }
        SDL_FreeSurface(rgb);
        EXPECT_EQ(bad, 0) << stem;
        compared++;
    }
    EXPECT_EQ(compared, 7);  // 1000, 1017, ..., 1100: with --from, no loading-screen frames
}

// --out, --wav and --video name files from the folder the tool is started in, --data too; the
// show folder, where the show runs, gets nothing. Without --from the loading screen comes first.
TEST(CaptureFrames, RelativePathsAreTakenFromTheFolderItWasStartedIn) {
    TempDir work;
    fs::copy(ZELK6_BUILTIN_DATA, work.File("show"), fs::copy_options::recursive);
    fs::create_directory(work.File("sound"));
    const std::set<std::string> show = Tree(work.File("show"));
    CaptureResult run = Capture("--data show --out frames --wav sound/music.wav --to 0", In(work.path()));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(Tree(work.File("frames")), (std::set<std::string>{"loading-0.raw", "loading-1.raw", "loading-2.raw",
                                                                "loading-3.raw", "000000.raw"}));
    EXPECT_GT(fs::file_size(work.File("sound/music.wav")), 44u);
    EXPECT_EQ(Tree(work.File("sound")), std::set<std::string>{"music.wav"});
    EXPECT_EQ(Tree(work.File("show")), show);
}

// A frame whose file cannot be made (a folder of that name is in the way): the capture names
// it and fails, whether the frame was written at once (raw) or by an encoder thread (png).
TEST(CaptureFrames, AFrameThatCannotBeWrittenIsNamedAndTheCaptureFails) {
    for (const std::string format : {"raw", "png"}) {
        TempDir out;
        fs::create_directory(out.File("001017." + format));
        CaptureResult run = Capture("--out '" + out.path() + "' --format " + format + " --from 1000 --to 1100");
        EXPECT_EQ(run.exitCode, 1) << format;
        EXPECT_NE(run.output.find("cannot write " + out.File("001017." + format)), std::string::npos)
            << format << ": " << run.output;
        EXPECT_TRUE(fs::exists(out.File("001000." + format))) << format;
    }
}

TEST(CaptureSound, TheWavHoldsExactlyTheTimeTheMusicPlayed) {
    TempDir dir;
    const std::string wav = dir.File("show.wav");
    ASSERT_EQ(Capture("--escape-at 2000 --wav '" + wav + "'").exitCode, 0);
    const std::vector<uint8_t> b = Bytes(wav);
    ASSERT_GE(b.size(), 44u);
    auto le32 = [&](size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24; };
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(le32(24), 48000u);
    EXPECT_EQ(le32(40), b.size() - 44);
    const size_t frames = (b.size() - 44) / 4;
    // The music starts on the loading screen and stops at the shutdown: a whole number of
    // virtual milliseconds, a little over the two seconds of show before Escape.
    EXPECT_EQ(frames % 48, 0u);
    EXPECT_GE(frames, 48u * 2000);
    EXPECT_LE(frames, 48u * 2500);
    double sum = 0;
    for (size_t i = 44; i + 1 < b.size(); i += 2) {
        const double s = static_cast<int16_t>(b[i] | b[i + 1] << 8);
        sum += s * s;
    }
    EXPECT_GT(std::sqrt(sum / (2.0 * frames)), 100.0) << "the music is silent";
}

// A failed run leaves no sound or video file, not even an empty one, and a file the user had
// under that name as it was: when ffmpeg is missing, when a frame cannot be written, and when
// the show itself fails (no music: it ends the program with exit(1)).
TEST(CaptureFailure, LeavesNoSoundOrVideoFileAndKeepsTheUsersOwn) {
    TempDir dir;
    CaptureResult run = Capture("--wav new.wav --video show.mp4 --to 100", In(dir.path()) + " PATH=/nonexistent-zelk6");
    EXPECT_EQ(run.exitCode, 69);
    EXPECT_NE(run.output.find("--video needs ffmpeg"), std::string::npos) << run.output;
    EXPECT_TRUE(fs::is_empty(dir.path()));

    TempDir frames;
    fs::create_directory(frames.File("001000.raw"));  // a folder in the way of a frame
    run = Capture("--out '" + frames.path() + "' --from 1000 --to 1100 --wav new.wav", In(dir.path()));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find(dir.File("new.wav") + " not written"), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(dir.File("new.wav")));

    TempDir noMusic;
    fs::create_directory(noMusic.File("images"));
    fs::copy_file(std::string(ZELK6_BUILTIN_DATA) + "/images/load.bmp", noMusic.File("images/load.bmp"));
    std::ofstream(dir.File("mine.wav")) << "mine";
    run = Capture("--data '" + noMusic.path() + "' --wav mine.wav", In(dir.path()));
    EXPECT_EQ(run.exitCode, 1);
    std::ifstream mine(dir.File("mine.wav"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(mine), {}), "mine");
    // Nothing else was left, under any name.
    EXPECT_EQ(Tree(dir.path()), std::set<std::string>{"mine.wav"});
}

TEST(CaptureVideo, GivesAPlayableFileWithPictureAndSound) {
    if (std::system("ffprobe -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "ffmpeg is not installed";
    TempDir dir;
    const std::string video = dir.File("show.mp4");
    CaptureResult run = Capture("--video '" + video + "' --from 1000 --to 2000");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string probe = dir.File("probe.txt");
    ASSERT_EQ(std::system(("ffprobe -v error -show_entries stream=codec_type,codec_name,width,height -of csv=p=0 '" +
                           video + "' >'" + probe + "'")
                              .c_str()),
              0);
    std::ifstream in(probe);
    const std::string streams((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(streams.find("h264,video,1280,960"), std::string::npos) << streams;
    EXPECT_NE(streams.find("aac,audio"), std::string::npos) << streams;
    // The encoder runs on more than one thread; the bytes must not depend on how they meet.
    const std::string again = dir.File("again.mp4");
    ASSERT_EQ(Capture("--video '" + again + "' --from 1000 --to 2000").exitCode, 0);
    const std::vector<uint8_t> first = Bytes(video);
    EXPECT_GT(first.size(), 10000u);
    EXPECT_TRUE(first == Bytes(again)) << "two runs gave different files";
}

// 1080p: the 4:3 picture sharp-scaled to 1440x1080 in the middle of a 16:9 frame, black bars
// at the sides; the same bytes on every run.
TEST(CaptureVideo, ASizedVideoIsPillarboxedTo16By9AndTheSameOnEveryRun) {
    if (std::system("ffprobe -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "ffmpeg is not installed";
    TempDir dir;
    const std::string range = " --video-size 1080p --video-pad --from 20000 --to 20200";  // the wave edge
    CaptureResult run = Capture("--video '" + dir.File("a.mp4") + "'" + range);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(Capture("--video '" + dir.File("b.mp4") + "'" + range).exitCode, 0);
    EXPECT_TRUE(Bytes(dir.File("a.mp4")) == Bytes(dir.File("b.mp4"))) << "two runs gave different files";
    ASSERT_EQ(std::system(("ffmpeg -v error -i '" + dir.File("a.mp4") +
                           "' -frames:v 1 -f rawvideo -pix_fmt rgb24 '" + dir.File("frame.rgb") + "'")
                              .c_str()),
              0);
    const std::vector<uint8_t> rgb = Bytes(dir.File("frame.rgb"));
    ASSERT_EQ(rgb.size(), 1920u * 1080 * 3);
    // Brightest channel of each column, over all rows.
    std::vector<int> column(1920, 0);
    for (size_t i = 0; i < rgb.size(); i++) column[i / 3 % 1920] = std::max<int>(column[i / 3 % 1920], rgb[i]);
    for (int x = 0; x < 1920; x++) {
        if (x < 240 || x >= 1680) {
            EXPECT_LE(column[x], 16) << "column " << x << " of the bars is not black";
        }
    }
    // The picture's corners are drawn right up to its edges.
    EXPECT_GT(column[240], 64);
    EXPECT_GT(column[1679], 64);
}

}  // namespace

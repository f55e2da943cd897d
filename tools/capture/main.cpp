// zelk6-capture: the same show on the offscreen host, for recording and for tests. The
// clock is virtual (it moves only on a flip, 1000/fps ms at a time), so every run gives the
// same frames. See kCaptureUsage for the options.
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/host/offscreen/offscreen.h"
#include "platform/win32/win32.h"
#include "tools/capture/options.h"
#include "tools/capture/output_file.h"
#include "tools/capture/png_writers.h"
#include "tools/capture/progress.h"
#include "tools/capture/video_pipe.h"
#include "tools/capture/wav_writer.h"

namespace {

const int kLoadingFrames = 4;  // the loading screen flips once per stage, 0..3 finished

std::string Absolute(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof(cwd))) return path;
    return std::string(cwd) + "/" + path;
}

// The built-in show data: show/ beside the program in a build tree, else share/zelk6/show
// of the prefix it is installed in. Found from the program's own path, so an installed copy
// works wherever the prefix is.
std::string BuiltinShowFolder() {
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (length <= 0) return "show";
    const std::string exe(self, static_cast<size_t>(length));
    const std::string bin = exe.substr(0, exe.rfind('/'));
    const std::string beside = bin + "/show";
    for (const std::string& candidate : {beside, bin + "/../share/zelk6/show"}) {
        char resolved[PATH_MAX];
        struct stat info;
        if (realpath(candidate.c_str(), resolved) && stat(resolved, &info) == 0 && S_ISDIR(info.st_mode))
            return resolved;
    }
    return beside;
}

bool MakeFolder(const std::string& path, std::string& error) {
    std::string partial;
    for (size_t i = 0; i <= path.size(); i++) {
        if (i == path.size() || (path[i] == '/' && i > 0)) {
            partial = path.substr(0, i);
            if (mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST) {
                error = "cannot create " + partial + ": " + std::strerror(errno);
                return false;
            }
        }
    }
    if (access(path.c_str(), W_OK) != 0) {
        error = "cannot write into " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

struct Capture {
    CaptureOptions options;
    std::string out;               // absolute, or empty
    std::string wavPath, videoPath;  // absolute, or empty
    long framesPresented = 0;
    bool timelineStarted = false;
    uint32_t t0 = 0;               // the tick the timeline started at
    bool escapePressed = false;
    std::atomic<bool> failed{false};  // the sound thread fails too
    bool videoFrame = false;       // the last frame went into the video, so its sound does too
    int64_t lastShowTime = 0;
    std::vector<uint8_t> row;
    WavWriter wav;
    PendingFile wavFile;           // the --wav file, renamed into place at success
    VideoPipe video;
    PngWriters png;
    Progress progress;
};

Capture g;

int64_t ShowTime(uint32_t tick) { return static_cast<int32_t>(tick - g.t0); }

void Fail(const std::string& why) {
    if (!g.failed.exchange(true)) std::fprintf(stderr, "zelk6-capture: %s\n", why.c_str());
}

void WriteRaw(const std::string& path, const uint16_t* pixels, int width, int height, int pitch) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        Fail("cannot write " + path + ": " + std::strerror(errno));
        return;
    }
    g.row.resize(static_cast<size_t>(width) * 2);
    bool ok = true;
    for (int y = 0; y < height; y++) {
        const uint16_t* in = reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(pixels) +
                                                               static_cast<ptrdiff_t>(y) * pitch);
        for (int x = 0; x < width; x++) {
            g.row[2 * x] = static_cast<uint8_t>(in[x] & 0xFF);
            g.row[2 * x + 1] = static_cast<uint8_t>(in[x] >> 8);
        }
        ok = ok && std::fwrite(g.row.data(), 1, g.row.size(), f) == g.row.size();
    }
    ok = std::fclose(f) == 0 && ok;
    if (!ok) Fail("cannot write " + path + " (disk full?)");
}

void WriteFrame(const std::string& stem, const uint16_t* pixels, int width, int height, int pitch, bool rgb555) {
    const std::string path = g.out + "/" + stem + "." + g.options.format;
    if (g.options.format == "raw") {
        WriteRaw(path, pixels, width, height, pitch);
        return;
    }
    std::string why;
    if (!g.png.Write(path, pixels, width, height, pitch, rgb555, why)) Fail(why);
}

void OnFrame(const uint16_t* pixels, int width, int height, int pitch, bool rgb555, uint32_t tick) {
    const long index = g.framesPresented++;
    const bool loading = index < kLoadingFrames;
    const int64_t t = loading ? 0 : ShowTime(tick);
    const bool inRange = loading ? !g.options.fromGiven : t >= g.options.from && t <= g.options.to;
    g.videoFrame = false;
    if (!loading) g.lastShowTime = t;
    g.progress.Frame(g.lastShowTime, g.framesPresented);
    if (!inRange) return;
    if (g.video.IsOpen() && inRange) {
        g.videoFrame = true;
        if (!g.video.Frame(pixels, width, height, pitch, rgb555)) Fail("ffmpeg stopped taking frames");
    }
    if (g.out.empty()) return;
    if (loading) {
        WriteFrame("loading-" + std::to_string(index), pixels, width, height, pitch, rgb555);
        return;
    }
    char name[32];
    std::snprintf(name, sizeof(name), "%06lld", static_cast<long long>(t));
    WriteFrame(name, pixels, width, height, pitch, rgb555);
}

// Each block of sound falls due right after a frame is presented, and covers the time that
// frame is on screen. It is rendered on the host's sound thread, so what it needs of that
// moment comes with it: whether the frame went into the video.
const int kTagVideoFrame = 1;

int AudioTag() { return g.videoFrame ? kTagVideoFrame : 0; }

// The WAV holds the blocks the music played in, from its start to its stop.
void OnAudio(const int16_t* samples, int frames, bool playing, int tag) {
    if (g.wav.IsOpen() && playing && !g.wav.Write(samples, frames)) Fail("cannot write " + g.options.wav);
    if (tag & kTagVideoFrame) g.video.Sound(samples, frames);
}

void OnPump(uint32_t tick, const HostInputSink& sink) {
    if (!g.timelineStarted || g.escapePressed) return;
    int64_t t = ShowTime(tick);
    bool escape = g.options.escapeAt && t >= *g.options.escapeAt;
    // Past --to nothing more is written: end the show the way the user would.
    if (g.options.toGiven && t > g.options.to) escape = true;
    if (escape) {
        sink.KeyDown(VK_ESCAPE, false, false);
        g.escapePressed = true;
    }
}

// Closes the sound and video files; a failure to write them turns success into 1. They take
// their names only when the run succeeded: a failed run leaves no partial file, and a file the
// user had under that name as it was.
int FinishCapture(int code) {
    static bool finished = false;
    if (finished) return code;
    finished = true;
    OffscreenFinishAudio();
    g.progress.Finish(g.lastShowTime, g.framesPresented);
    std::string why;
    if (!g.png.Finish(why)) Fail(why);
    if (!g.wav.Close(why)) Fail(why);
    bool keep = code == 0 && !g.failed;
    std::vector<std::string> notWritten;
    if (g.video.IsOpen() && !keep) notWritten.push_back(g.video.Path());
    if (!g.video.Close(keep, why)) Fail(why);
    keep = keep && !g.failed;
    if (g.wavFile.IsCreated()) {
        if (!keep) notWritten.push_back(g.wavFile.Path());
        else if (!g.wavFile.Commit(why)) Fail(why);
        g.wavFile.Discard();
    }
    for (const std::string& file : notWritten)
        std::fprintf(stderr, "zelk6-capture: the capture failed: %s not written\n", file.c_str());
    if (g.failed && code == 0) code = 1;
    return code;
}

// The show ends some failures with exit(): the files are finished all the same, and kept only
// if that exit status is 0.
void FinishOnExit(int status, void*) { FinishCapture(status); }

// The command line. Returns the exit code when the run ends here: help, a usage error, or
// --video without ffmpeg.
std::optional<int> ReadOptions(int argc, char** argv) {
    bool help = false;
    std::string error;
    if (!ParseCaptureOptions(argc, argv, g.options, help, error)) {
        std::fprintf(stderr, "zelk6-capture: %s\n%s", error.c_str(), kCaptureUsage);
        return 64;
    }
    if (help) {
        std::fputs(kCaptureUsage, stdout);
        return 0;
    }
    if (!g.options.video.empty() && !FfmpegAvailable()) {
        std::fputs("zelk6-capture: --video needs ffmpeg, which is not installed (Debian: apt-get install ffmpeg)\n",
                   stderr);
        return 69;  // EX_UNAVAILABLE: a program it needs is missing
    }
    return std::nullopt;
}

// The show reads its data from the working directory, so the capture moves into the show
// folder; the files it writes are named from the folder it was started in.
bool EnterShowFolder(std::string& error) {
    if (g.options.data.empty()) g.options.data = BuiltinShowFolder();
    g.out = Absolute(g.options.out);
    g.wavPath = Absolute(g.options.wav);
    g.videoPath = Absolute(g.options.video);
    if (!g.out.empty() && !MakeFolder(g.out, error)) return false;
    if (chdir(g.options.data.c_str()) != 0) {
        error = "cannot use the show folder " + g.options.data + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

// The offscreen host as the options ask: the virtual clock, the display's layout, where frames
// and sound go, and the render-device dialog's answer.
OffscreenConfig HostConfig() {
    OffscreenConfig config;
    auto rate = OffscreenFrameRate(g.options.fps);
    config.step = [rate](uint32_t tick) {
        uint32_t step = rate(tick);
        if (!g.timelineStarted && g.framesPresented == kLoadingFrames) {
            // The last loading frame: the clock after it is the one the timeline starts at.
            g.timelineStarted = true;
            g.t0 = tick + step;
        } else if (g.timelineStarted) {
            // Land exactly on --from, so that frame is drawn.
            int64_t t = ShowTime(tick), from = g.options.from;
            if (t < from && t + step > from) step = static_cast<uint32_t>(from - t);
        }
        return step;
    };
    config.rgb555 = g.options.pixelFormat == 555;
    config.onFrame = OnFrame;
    config.onPump = OnPump;
    config.onAudio = OnAudio;
    config.audioTag = AudioTag;
    config.audioAhead = true;
    // The render-device dialog, answered as a user would; without --renderer its own
    // preselection (hardware rendering) stands.
    if (!g.options.renderer.empty())
        config.dialogAnswers["Zelk6"] = OffscreenRendererAnswer(g.options.renderer == "hardware");
    return config;
}

// The --wav and --video files and the PNG encoders. On a failure the pending files are
// removed as `g` is destroyed.
bool OpenOutputs(int audioRate, std::string& error) {
    if (!g.wavPath.empty() && (!g.wavFile.Create(g.wavPath, error) ||
                               !g.wav.Open(g.wavFile.Temporary(), audioRate, error, g.wavPath)))
        return false;
    // A dead ffmpeg then shows as a failed write, which is reported, not as a silent end.
    if (!g.videoPath.empty()) std::signal(SIGPIPE, SIG_IGN);
    const VideoShape shape{g.options.videoScale, g.options.videoHeight, g.options.videoPad};
    if (!g.videoPath.empty() && !g.video.Open(g.videoPath, g.options.fps, shape, error)) return false;
    // PNG encoding takes far longer than drawing a frame: one encoder per core.
    if (!g.out.empty() && g.options.format == "png")
        g.png.Start(static_cast<int>(std::thread::hardware_concurrency()));
    return true;
}

// The show itself, on the offscreen host. Returns its exit code.
int RunShow(const OffscreenConfig& config) {
    g.progress.Start();
    ConfigureOffscreen(config);
    // Registered after the host is first used, so it runs before the host's sound thread is
    // torn down.
    on_exit(FinishOnExit, nullptr);
    SelectHost("offscreen");
    static char commandLine[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> code = ReadOptions(argc, argv)) return *code;
    std::string error;
    const OffscreenConfig config = HostConfig();
    if (!EnterShowFolder(error) || !OpenOutputs(config.audioRate, error)) {
        std::fprintf(stderr, "zelk6-capture: %s\n", error.c_str());
        return 64;
    }
    return FinishCapture(RunShow(config));
}

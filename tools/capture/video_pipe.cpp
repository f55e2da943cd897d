// --video through ffmpeg: picture first (raw RGB on a pipe), sound muxed in afterwards, so
// ffmpeg never waits on two inputs at once. Bit-exact flags and a fixed number of encoder
// threads keep the output the same on every run and every machine.
#include "tools/capture/video_pipe.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "tools/capture/image_file.h"

namespace {

// 640x480 becomes 1280x960 (ffmpeg scales, nearest): crisp pixels on today's players. Each
// 2x2 block is one show pixel, so 4:2:0 chroma keeps every pixel's own colour.
const int kScale = 2;

// Quotes for /bin/sh.
std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

int RunQuiet(const std::string& command) {
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

bool FfmpegAvailable() { return RunQuiet("ffmpeg -hide_banner -version") == 0; }

bool VideoPipe::Open(const std::string& path, int fps, std::string& why) {
    if (!output_.Create(path, why)) return false;
    webm_ = EndsWith(path, ".webm");
    char pattern[] = "/tmp/zelk6-capture-XXXXXX";
    if (!mkdtemp(pattern)) {
        why = std::string("cannot make a temporary folder: ") + std::strerror(errno);
        output_.Discard();
        return false;
    }
    temp_ = pattern;
    pictureOnly_ = temp_ + (webm_ ? "/picture.webm" : "/picture.mkv");
    soundOnly_ = temp_ + "/sound.wav";
    for (const std::string* file : {&temp_, &pictureOnly_, &soundOnly_}) RemoveOnInterrupt(*file);
    if (!sound_.Open(soundOnly_, 48000, why)) {
        RemoveTemporaries();
        return false;
    }

    // Both encoders give the same bytes for the same thread count; two threads encode faster
    // than the show plays, one does not.
    const std::string codec =
        webm_ ? "-c:v libvpx-vp9 -deadline realtime -cpu-used 8 -crf 16 -b:v 0 -pix_fmt yuv420p -threads 2 "
                "-tile-columns 1 -row-mt 1"
              : "-c:v libx264 -preset veryfast -crf 12 -pix_fmt yuv420p -threads 2";
    const std::string scale = " -vf scale=" + std::to_string(640 * kScale) + ":" +
                              std::to_string(480 * kScale) + ":flags=neighbor ";
    const std::string command = "ffmpeg -hide_banner -loglevel error -y -f rawvideo -pix_fmt rgb24 -s 640x480 -r " +
                                std::to_string(fps) + " -i -" + scale + codec +
                                " -fflags +bitexact -flags:v +bitexact " + Quote(pictureOnly_);
    video_ = popen(command.c_str(), "w");
    if (!video_) {
        why = std::string("cannot start ffmpeg: ") + std::strerror(errno);
        std::string ignored;
        sound_.Close(ignored);
        RemoveTemporaries();
        return false;
    }
    return true;
}

bool VideoPipe::Frame(const uint16_t* pixels, int width, int height, int pitch, bool rgb555) {
    if (!video_ || failed_) return false;
    if (width != 640 || height != 480) return true;  // every show frame is 640x480
    ExpandFrameRgb(pixels, width, height, pitch, rgb555, 1, rgb_);
    if (std::fwrite(rgb_.data(), 1, rgb_.size(), video_) != rgb_.size()) failed_ = true;
    return !failed_;
}

bool VideoPipe::Close(bool keep, std::string& why) {
    if (!video_) return true;
    bool ok = sound_.Close(why);
    const int status = pclose(video_);
    video_ = nullptr;
    if (ok && (failed_ || !WIFEXITED(status) || WEXITSTATUS(status) != 0)) {
        why = "ffmpeg could not encode the picture";
        ok = false;
    }
    if (ok && keep) {
        const std::string audio = webm_ ? "-c:a libopus -b:a 160k" : "-c:a aac -b:a 192k";
        const std::string command = "ffmpeg -hide_banner -loglevel error -y -i " + Quote(pictureOnly_) +
                                    " -i " + Quote(soundOnly_) + " -map 0:v -map 1:a -c:v copy " + audio +
                                    " -fflags +bitexact -flags:a +bitexact -map_metadata -1 " +
                                    Quote(output_.Temporary());
        if (RunQuiet(command) != 0) {
            why = "ffmpeg could not write " + output_.Path();
            ok = false;
        }
    }
    if (ok && keep) ok = output_.Commit(why);
    RemoveTemporaries();
    // A run that failed anyway has said why; the video is simply not written.
    return ok || !keep;
}

void VideoPipe::RemoveTemporaries() {
    output_.Discard();
    for (const std::string* file : {&pictureOnly_, &soundOnly_, &temp_}) KeepOnInterrupt(*file);
    unlink(pictureOnly_.c_str());
    unlink(soundOnly_.c_str());
    rmdir(temp_.c_str());
}

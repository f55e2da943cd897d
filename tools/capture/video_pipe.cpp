// --video through ffmpeg: picture first (raw RGB on a pipe), sound muxed in afterwards, so
// ffmpeg never waits on two inputs at once. Bit-exact flags and a fixed number of encoder
// threads keep the output the same on every run and every machine.
#include "tools/capture/video_pipe.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "tools/capture/image_file.h"

namespace {

// The frames of a video are this size; the pipe carries them as they are.
const int kWidth = 640, kHeight = 480;

// ffmpeg's filters for the shape. Whole multiples keep each show pixel a block of one colour:
// at 2x and 4x, 4:2:0 chroma keeps every pixel's own colour. For a height, the frame is first
// made the largest whole multiple at or below it, then scaled linearly the rest of the way in
// RGB (hence the formats), so pixel edges stay crisp and every pixel's centre keeps its colour;
// bitexact keeps the linear step the same on every machine.
std::string ScaleFilter(const VideoShape& shape) {
    if (!shape.height)
        return "scale=" + std::to_string(kWidth * shape.scale) + ":" + std::to_string(kHeight * shape.scale) +
               ":flags=neighbor";
    const int k = std::max(1, shape.height / kHeight);
    const int width = shape.height * kWidth / kHeight;
    std::string filter = "scale=" + std::to_string(kWidth * k) + ":" + std::to_string(kHeight * k) +
                         ":flags=neighbor,format=rgb24,scale=" + std::to_string(width) + ":" +
                         std::to_string(shape.height) + ":flags=bilinear+accurate_rnd+bitexact,format=rgb24";
    if (shape.pad) {
        const int wide = shape.height * 16 / 9;
        filter += ",pad=" + std::to_string(wide) + ":" + std::to_string(shape.height) + ":" +
                  std::to_string((wide - width) / 2) + ":0:black";
    }
    return filter;
}

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

bool VideoPipe::Open(const std::string& path, int fps, const VideoShape& shape, std::string& why) {
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
    const std::string command = "ffmpeg -hide_banner -loglevel error -y -f rawvideo -pix_fmt rgb24 -s 640x480 -r " +
                                std::to_string(fps) + " -i - -vf " + ScaleFilter(shape) + " " + codec +
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
    if (width != kWidth || height != kHeight) return true;  // every show frame is 640x480
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

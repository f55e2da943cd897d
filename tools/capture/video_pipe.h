// --video: frames piped to ffmpeg as raw RGB and scaled there (see VideoShape), the sound kept
// in a temporary WAV file and muxed in when the show has ended, into a temporary file beside
// the video's own name that takes that name only when the run succeeded.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/capture/output_file.h"
#include "tools/capture/wav_writer.h"

// How 640x480 frames become the video's: whole multiples, nearest neighbour (height 0), or a
// 4:3 frame `height` high, sharp-scaled (whole multiples, then linear to the size), with black
// bars at the sides to 16:9 when `pad` is set.
struct VideoShape {
    int scale = 2;  // 1..4
    int height = 0;
    bool pad = false;
};

class VideoPipe {
  public:
    // Starts ffmpeg (see FfmpegAvailable) for `path` (.mp4/.mkv/.mov: H.264 + AAC; .webm: VP9 +
    // Opus). False with `why` when `path` cannot be written or ffmpeg will not start.
    bool Open(const std::string& path, int fps, const VideoShape& shape, std::string& why);
    bool Frame(const uint16_t* pixels, int width, int height, int pitch, bool rgb555);
    bool Sound(const int16_t* samples, int frames) { return sound_.Write(samples, frames); }
    // Ends the stream. With `keep` (the run succeeded) muxes picture and sound into the file
    // and gives it its name; false with `why` when that fails. Without, nothing is written and
    // any file of that name stays as it was.
    bool Close(bool keep, std::string& why);
    bool IsOpen() const { return video_ != nullptr; }
    const std::string& Path() const { return output_.Path(); }

  private:
    // Removes the temporary folder and the unfinished video.
    void RemoveTemporaries();
    PendingFile output_;
    std::string temp_, pictureOnly_, soundOnly_;  // the temporary folder and what is in it
    bool webm_ = false;
    FILE* video_ = nullptr;
    WavWriter sound_;
    std::vector<uint8_t> rgb_;
    bool failed_ = false;
};

// True when an ffmpeg program can be started from PATH.
bool FfmpegAvailable();

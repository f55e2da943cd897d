// --video: frames piped to ffmpeg as raw RGB (scaled 2x, nearest neighbour), the sound kept in
// a temporary WAV file and muxed in when the show has ended.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/capture/wav_writer.h"

class VideoPipe {
  public:
    // Starts ffmpeg for `path` (.mp4/.mkv/.mov: H.264 + AAC; .webm: VP9 + Opus). False with
    // `why` when ffmpeg is missing or will not start.
    bool Open(const std::string& path, int fps, std::string& why);
    bool Frame(const uint16_t* pixels, int width, int height, int pitch, bool rgb555);
    bool Sound(const int16_t* samples, int frames) { return sound_.Write(samples, frames); }
    // Ends the stream and muxes picture and sound into `path`.
    bool Close(std::string& why);
    bool IsOpen() const { return video_ != nullptr; }

  private:
    std::string path_, temp_, pictureOnly_, soundOnly_;
    bool webm_ = false;
    FILE* video_ = nullptr;
    WavWriter sound_;
    std::vector<uint8_t> rgb_;
    bool failed_ = false;
};

// True when an ffmpeg program can be started from PATH.
bool FfmpegAvailable();

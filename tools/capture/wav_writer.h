// A 16-bit stereo PCM WAV file written as the sound arrives; the sizes are patched at the end.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class WavWriter {
  public:
    // Creates `path`; false with `why` when it cannot. Messages name `shownAs` when given (the
    // user's name for a file written under a temporary one).
    bool Open(const std::string& path, int rate, std::string& why, const std::string& shownAs = "");
    // Appends `frames` interleaved stereo frames.
    bool Write(const int16_t* samples, int frames);
    // Fixes the header's sizes and closes; false when any write failed.
    bool Close(std::string& why);
    long Frames() const { return frames_; }
    bool IsOpen() const { return file_ != nullptr; }

  private:
    FILE* file_ = nullptr;
    std::string path_;
    long frames_ = 0;
    bool failed_ = false;
    int rate_ = 48000;
};

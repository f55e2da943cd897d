// zelk6-capture's command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct CaptureOptions {
    std::string data;                 // the show's folder
    std::string out;                  // where frames go; empty: frames are discarded
    int fps = 60;                     // virtual frames per second
    int64_t from = 0;                 // show time (ms since T0) of the first frame written
    bool fromGiven = false;
    int64_t to = INT64_MAX;           // and of the last
    bool toGiven = false;
    std::string format = "raw";       // raw or png
    std::string renderer;             // "hardware", "software" or empty (the dialog's default)
    std::string wav;                  // --wav FILE: the music as it played
    std::string video;                // --video FILE: picture and sound through ffmpeg
    int videoScale = 2;               // whole multiples, 1..4
    bool videoScaleGiven = false;
    int videoHeight = 0;              // --video-size: 1080 or 2160, sharp-scaled at 4:3; 0: none
    bool videoPad = false;            // pillarboxed to 16:9
    int pixelFormat = 565;            // 565 or 555
    std::optional<int64_t> escapeAt;  // show time at which Escape is pressed
};

// Parses argv; on a usage error fills `error` and returns false. `help` is set for --help.
bool ParseCaptureOptions(int argc, char** argv, CaptureOptions& options, bool& help, std::string& error);
extern const char* kCaptureUsage;

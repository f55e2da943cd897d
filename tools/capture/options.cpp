// zelk6-capture's options: parsing and checking, before anything runs.
#include "tools/capture/options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <iterator>

const char* kCaptureUsage =
    "usage: zelk6-capture [options]\n"
    "Plays the show offscreen on a virtual clock and writes its frames.\n"
    "  --data DIR            the show's folder (default: the built-in show data)\n"
    "  --out DIR             write frames there (created if missing); without it frames are\n"
    "                        rendered and discarded\n"
    "  --fps N               virtual frames per second, 1..1000 (default 60)\n"
    "  --from MS, --to MS    write only frames whose show time (ms since the timeline began)\n"
    "                        lies in [MS, MS]; a frame is drawn at exactly --from. Past --to\n"
    "                        the capture ends the show as Escape would.\n"
    "  --format raw|png      raw (default): 640x480 16-bit little-endian words, 1280 bytes a\n"
    "                        row; png: 640x480 24-bit pictures. Frames are named by show\n"
    "                        time (045000.raw). Without --from the loading screen's frames\n"
    "                        come first, loading-0 .. loading-3\n"
    "  --pixel-format F      565 (default) or 555: the display's 16-bit layout\n"
    "  --renderer R          hardware or software: the render-device choice (default: the\n"
    "                        dialog's own preselection)\n"
    "  --wav FILE            write the music, from the moment it starts playing to the moment\n"
    "                        it stops, as 16-bit stereo PCM at 48 kHz\n"
    "  --video FILE          encode picture and sound with ffmpeg (must be installed):\n"
    "                        .mp4/.mkv H.264 + AAC, .webm VP9 + Opus; frames scaled 2x,\n"
    "                        or as --video-scale or --video-size say. --from/--to choose\n"
    "                        the part; without --from it starts with the loading screen\n"
    "  --video-scale N       the video's frames at N times 640x480, 1..4 (default 2), each\n"
    "                        show pixel a block of NxN\n"
    "  --video-size S        1080p or 2160p instead: a 4:3 frame of that height (1440x1080,\n"
    "                        2880x2160), whole multiples then linear to the size\n"
    "  --video-pad           with --video-size: black bars at the sides to 16:9 (1920x1080,\n"
    "                        3840x2160)\n"
    "  --escape-at MS        press Escape at that show time\n"
    "Relative paths are taken from the folder the tool is started in. The --wav and --video\n"
    "files take their names only when the capture succeeds: a failed run leaves none behind,\n"
    "and a file already there under that name as it was.\n"
    "A progress line (show time, frames, speed) goes to stderr when it is a terminal.\n"
    "Exit code: the show's own; 64 for a usage error.\n";

namespace {

// Every option but --help and --video-pad takes a value.
const char* const kOptions[] = {"--data", "--out", "--fps", "--from", "--to", "--format", "--pixel-format",
                                "--renderer", "--wav", "--video", "--escape-at", "--video-scale", "--video-size"};

bool ParseNumber(const char* text, int64_t low, int64_t high, int64_t& value) {
    if (!text || !*text) return false;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(text, &end, 10);
    if (errno || *end || v < low || v > high) return false;
    value = v;
    return true;
}

// --fps, --video-scale, --from, --to, --escape-at: whole numbers in their ranges.
bool SetNumber(const std::string& arg, const char* value, CaptureOptions& o, std::string& error) {
    int64_t n = 0;
    if (arg == "--fps" || arg == "--video-scale") {
        const int high = arg == "--fps" ? 1000 : 4;
        if (!ParseNumber(value, 1, high, n)) {
            error = arg + " wants a whole number from 1 to " + std::to_string(high) + ", not '" + value + "'";
            return false;
        }
        if (arg == "--fps") o.fps = static_cast<int>(n);
        else o.videoScale = static_cast<int>(n), o.videoScaleGiven = true;
        return true;
    }
    if (!ParseNumber(value, 0, 0xFFFFFFFFll, n)) {
        error = arg + " wants milliseconds (a whole number >= 0), not '" + value + "'";
        return false;
    }
    if (arg == "--from") o.from = n, o.fromGiven = true;
    else if (arg == "--to") o.to = n, o.toGiven = true;
    else o.escapeAt = n;
    return true;
}

// --format, --pixel-format, --renderer, --video-size: one of a few words.
bool SetChoice(const std::string& arg, const char* value, CaptureOptions& o, std::string& error) {
    const std::string v = value;
    if (arg == "--format" && (v == "raw" || v == "png")) {
        o.format = v;
    } else if (arg == "--video-size" && (v == "1080p" || v == "2160p")) {
        o.videoHeight = v == "1080p" ? 1080 : 2160;
    } else if (arg == "--pixel-format" && (v == "565" || v == "555")) {
        o.pixelFormat = v == "555" ? 555 : 565;
    } else if (arg == "--renderer" && (v == "hardware" || v == "software")) {
        o.renderer = v;
    } else {
        const char* wanted = arg == "--format"         ? "raw or png"
                             : arg == "--pixel-format" ? "565 or 555"
                             : arg == "--video-size"   ? "1080p or 2160p"
                                                       : "hardware or software";
        error = arg + " wants " + wanted + ", not '" + v + "'";
        return false;
    }
    return true;
}

// --data, --out, --wav, --video: names of folders and files.
bool SetPath(const std::string& arg, const char* value, CaptureOptions& o, std::string& error) {
    if (arg == "--data") {
        o.data = value;
    } else if (arg == "--out") {
        o.out = value;
    } else {
        if (!*value) {
            error = arg + " wants a file name";
            return false;
        }
        (arg == "--wav" ? o.wav : o.video) = value;
    }
    return true;
}

bool SetOption(const std::string& arg, const char* value, CaptureOptions& o, std::string& error) {
    if (arg == "--fps" || arg == "--video-scale" || arg == "--from" || arg == "--to" || arg == "--escape-at")
        return SetNumber(arg, value, o, error);
    if (arg == "--format" || arg == "--pixel-format" || arg == "--renderer" || arg == "--video-size")
        return SetChoice(arg, value, o, error);
    return SetPath(arg, value, o, error);
}

// What no single option can check.
bool CheckTogether(const CaptureOptions& o, std::string& error) {
    if (o.fromGiven && o.toGiven && o.from > o.to) {
        error = "--from is after --to";
        return false;
    }
    const char* videoOnly = o.videoScaleGiven ? "--video-scale"
                            : o.videoHeight   ? "--video-size"
                            : o.videoPad      ? "--video-pad"
                                              : nullptr;
    if (videoOnly && o.video.empty()) {
        error = std::string(videoOnly) + " wants --video";
    } else if (o.videoScaleGiven && o.videoHeight) {
        error = "--video-scale and --video-size cannot both be given";
    } else if (o.videoPad && !o.videoHeight) {
        error = "--video-pad wants --video-size";
    } else {
        return true;
    }
    return false;
}

}  // namespace

bool ParseCaptureOptions(int argc, char** argv, CaptureOptions& o, bool& help, std::string& error) {
    help = false;
    for (int i = 1; i < argc; i++) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            help = true;
            return true;
        }
        if (arg == "--video-pad") {
            o.videoPad = true;
            continue;
        }
        if (std::find(std::begin(kOptions), std::end(kOptions), arg) == std::end(kOptions)) {
            error = arg.rfind('-', 0) == 0 ? "unknown option " + arg : "unexpected argument " + arg;
            return false;
        }
        if (i + 1 >= argc) {
            error = arg + " needs a value";
            return false;
        }
        if (!SetOption(arg, argv[++i], o, error)) return false;
    }
    return CheckTogether(o, error);
}

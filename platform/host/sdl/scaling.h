// How the SDL host fits the show's picture into a window of any size (scaling.cpp), and the
// picture settings that choose it (scale_settings.cpp). No SDL here: plain geometry and text.
#pragma once

// aspect: the largest rectangle of the picture's shape that fits; integer: whole multiples
// only, with borders; stretch: the whole window, whatever its shape.
enum class ScaleMode { Aspect, Integer, Stretch };
// sharp: nearest-neighbour to whole multiples, then linear to the exact size, so pixel edges
// stay crisp at any size; nearest and linear: one pass of that filter.
enum class ScaleFilter { Sharp, Nearest, Linear };

struct ScaleSettings {
    ScaleMode mode = ScaleMode::Aspect;
    ScaleFilter filter = ScaleFilter::Sharp;
};

struct ScaleRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const ScaleRect&) const = default;
};

struct ScalePlan {
    ScaleRect target;    // where the picture goes, in the window's pixels
    // The single pass of nearest or linear it takes, or Sharp: prescale, then linear. Sharp is
    // planned only where it differs from both: a whole multiple is nearest, and a prescale of
    // 1 is linear.
    ScaleFilter filter = ScaleFilter::Nearest;
    int prescaleX = 1, prescaleY = 1;  // Sharp: the whole multiples of the picture, each >= 1
};

// The plan for a window (drawable pixels) and a picture, both at least 1x1. In integer mode
// a window smaller than the picture shows it at 1x, centred and cropped.
ScalePlan PlanScale(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight,
                    const ScaleSettings& settings);

// aspect, integer, stretch, aspect, ...: the Alt+S order.
ScaleMode NextScaleMode(ScaleMode mode);
const char* ScaleModeName(ScaleMode mode);
const char* ScaleFilterName(ScaleFilter filter);

// The settings, read once at start, each later source over the one before: the defaults;
// $XDG_CONFIG_HOME/zelk6/zelk6.conf (else ~/.config/zelk6/zelk6.conf), "key = value" lines
// with "#" comments, keys scale and filter; then ZELK6_SCALE and ZELK6_FILTER. A line or value
// that cannot be used is named in one line on stderr and changes nothing; a missing file is
// no error.
ScaleSettings ReadScaleSettings();

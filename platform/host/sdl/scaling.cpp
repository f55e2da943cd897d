// Where the picture goes in the window, and through which filter, for each scaling mode.
#include "platform/host/sdl/scaling.h"

#include <algorithm>

namespace {

// Centred; a picture larger than the room overhangs it, the odd pixel at the bottom or right.
int Centre(int room, int size) { return (room - size) / 2; }

// The largest rectangle of the picture's shape inside the window, rounded to whole pixels.
ScaleRect FitAspect(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight) {
    const long long wide = static_cast<long long>(windowWidth) * pictureHeight;
    const long long tall = static_cast<long long>(windowHeight) * pictureWidth;
    int w = windowWidth, h = windowHeight;
    // Rounded to nearest; never past the window, as the exact size is within it.
    if (wide > tall) w = static_cast<int>((2 * tall + pictureHeight) / (2LL * pictureHeight));
    else if (wide < tall) h = static_cast<int>((2 * wide + pictureWidth) / (2LL * pictureWidth));
    return {Centre(windowWidth, w), Centre(windowHeight, h), w, h};
}

ScaleRect FitInteger(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight) {
    const int k = std::max(1, std::min(windowWidth / pictureWidth, windowHeight / pictureHeight));
    const int w = pictureWidth * k, h = pictureHeight * k;
    return {Centre(windowWidth, w), Centre(windowHeight, h), w, h};
}

}  // namespace

ScalePlan PlanScale(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight,
                    const ScaleSettings& settings) {
    ScalePlan plan;
    switch (settings.mode) {
        case ScaleMode::Integer:
            plan.target = FitInteger(windowWidth, windowHeight, pictureWidth, pictureHeight);
            return plan;  // always nearest
        case ScaleMode::Aspect:
            plan.target = FitAspect(windowWidth, windowHeight, pictureWidth, pictureHeight);
            break;
        case ScaleMode::Stretch:
            plan.target = {0, 0, windowWidth, windowHeight};
            break;
    }
    plan.filter = settings.filter;
    if (plan.filter != ScaleFilter::Sharp) return plan;
    plan.prescaleX = std::max(1, plan.target.w / pictureWidth);
    plan.prescaleY = std::max(1, plan.target.h / pictureHeight);
    if (plan.target.w == pictureWidth * plan.prescaleX && plan.target.h == pictureHeight * plan.prescaleY)
        plan.filter = ScaleFilter::Nearest;
    else if (plan.prescaleX == 1 && plan.prescaleY == 1)
        plan.filter = ScaleFilter::Linear;
    if (plan.filter != ScaleFilter::Sharp) plan.prescaleX = plan.prescaleY = 1;
    return plan;
}

// The names follow the enumerations' order.
ScaleMode NextScaleMode(ScaleMode mode) { return static_cast<ScaleMode>((static_cast<int>(mode) + 1) % 3); }

const char* ScaleModeName(ScaleMode mode) {
    static const char* const names[] = {"aspect", "integer", "stretch"};
    return names[static_cast<int>(mode)];
}

const char* ScaleFilterName(ScaleFilter filter) {
    static const char* const names[] = {"sharp", "nearest", "linear"};
    return names[static_cast<int>(filter)];
}

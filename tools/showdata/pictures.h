// The show's pictures, each drawn into memory by its own routine; pictures.cpp writes them.
#pragma once

#include "tools/showdata/image.h"

namespace showdata {

// 640 x 480. The top-left corner stays dark and even under the three loading lines.
Image DrawLoadingPicture();
// 640 x 480 over pure black, laid over the wave edge.
Image DrawWaveOverlay();
// 640 x 480: the tunnel's strip and its three captions at the rectangles the tunnel cuts.
Image DrawTunnelCaptions();
// 640 x 480 over pure black: a chain frame in (0, 10)-(630, 480), laid over a 3D scene.
Image DrawChainFrame();
// 640 x 480: the still picture.
Image DrawMeadow();
// 1024 x 110 scroller strips: 1 greetings, 2 credits, 3 the closing line.
Image DrawScrollerStrip(int number);

// Where the tunnel cuts its pieces from the caption picture (left, top, right, bottom).
inline constexpr Rect kTunnelStrip{0, 440, 400, 480};
inline constexpr Rect kTunnelCaptions[3] = {
    {180, 210, 400, 300}, {0, 307, 614, 357}, {50, 115, 560, 180}};
// What the chain blit takes from the chain picture.
inline constexpr Rect kChainSource{0, 10, 630, 480};

}  // namespace showdata

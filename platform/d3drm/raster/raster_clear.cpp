// Clearing a viewport's pixels and depth.
#include <algorithm>

#include "platform/d3drm/raster/raster_internal.h"

void RasterClearViewport(const RasterTarget& target, const RasterViewport& vp, uint16_t pixel,
                         bool clearZ) {
    raster::Frame f = raster::MakeFrame(target, vp);
    if (f.empty) return;
    for (int y = f.top; y < f.bottom; ++y) {
        uint16_t* row = raster::PixelRow(target, y);
        std::fill(row + f.left, row + f.right, pixel);
        if (clearZ && target.zbuffer) {
            uint16_t* depth = raster::DepthRow(target, y);
            std::fill(depth + f.left, depth + f.right, uint16_t{0xFFFF});
        }
    }
}

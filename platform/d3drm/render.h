// The device's drawing pipeline: traverses a scene, transforms and lights its mesh builders
// and hands clip-space triangles to the rasterizer. Stand-in internal.
#pragma once

#include <chrono>
#include <memory>
#include <vector>

#include "platform/d3drm/raster/raster.h"
#include "platform/d3drm/rm_internal.h"

// A light of the scene in world space, gathered once per Render.
struct RmSceneLight {
    D3DRMLIGHTTYPE type;
    D3DVALUE r, g, b;      // 0..1
    D3DVECTOR position;    // point lights
    D3DVECTOR toLight;     // directional lights: unit vector toward the light
    D3DVALUE constant, linear, quadratic;
};

// One triangle as the scene walk hands it on. The rows below a split are drawn as the walk goes;
// a frame's triangles are kept until the walk is done, then drawn in the rows above.
struct RmTriangle {
    RasterState state;
    RasterVertex v[3];
    unsigned edgeMask;
};

class RmBandWorker;

// Triangles a batch holds: a few megabytes, however large a mesh a file holds. A walk that
// makes more draws them and starts a new batch; each row still sees the triangles in order, so
// the pixels are the same.
constexpr size_t kRmMaxBatch = 16384;

// Buffers reused from frame to frame: they only grow, so a steady scene allocates nothing.
struct RmRenderer {
    RmRenderer();
    ~RmRenderer();
    std::vector<RmTriangle> batch;          // this Render's triangles, in drawing order
    std::unique_ptr<RmBandWorker> worker;   // draws the lower rows; null: one thread draws all
    double split = 0.5;                     // share of the rows the caller's thread draws
    // The open batch: where it draws, whether the worker draws its lower rows (from splitRow)
    // as it fills, and when its walk began.
    RasterTarget target;
    RasterViewport area;
    bool streaming = false;
    int splitRow = 0;
    std::chrono::steady_clock::time_point walkStart;
    std::vector<RmSceneLight> lights;
    D3DVALUE ambient[3] = {0, 0, 0};
    std::vector<D3DVECTOR> viewPositions;   // per vertex, camera space
    std::vector<D3DVECTOR> worldPositions;  // per vertex, for lighting
    std::vector<D3DVECTOR> worldNormals;    // per normal, unit
    std::vector<RasterVertex> corners;      // per corner, lit and projected
};

// The drawing target of a device (its surface's memory and its depth buffer).
RasterTarget RmDeviceTarget(IDirect3DRMDevice* device);
RasterViewport RmViewportArea(IDirect3DRMViewport* viewport);

// Fills the viewport's area with `pixel` and its depth buffer with far, in two halves at once
// when a second thread is at hand.
void RmClearViewport(RmRenderer& r, const RasterTarget& target, const RasterViewport& area, uint16_t pixel);

// A batch of triangles for target through area: from here on the worker thread, when there is
// one, draws the rows below the split as the triangles are published.
void RmBeginBatch(RmRenderer& r, const RasterTarget& target, const RasterViewport& area);
// The triangles added to r.batch so far are complete and may be drawn.
void RmPublishBatch(RmRenderer& r);
// Draws the rest of the batch, in order, and empties it: the rows above the split on this
// thread while the worker finishes the rows below. Each row sees the triangles in the same
// order either way, so the pixels do not depend on the split.
void RmDrawBatch(RmRenderer& r);

// Draws the hierarchy under `scene` through the viewport's camera.
HRESULT RmRenderScene(IDirect3DRMViewport* viewport, IDirect3DRMFrame* scene);

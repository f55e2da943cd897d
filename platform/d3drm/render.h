// The device's drawing pipeline: traverses a scene, transforms and lights its mesh builders
// and hands clip-space triangles to the rasterizer. Stand-in internal.
#pragma once

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

// One triangle as the scene walk hands it on. A frame's triangles are kept until the walk is
// done, then drawn above and below a split at once.
struct RmTriangle {
    RasterState state;
    RasterVertex v[3];
    unsigned edgeMask;
};

class RmBandWorker;

// Buffers reused from frame to frame: they only grow, so a steady scene allocates nothing.
struct RmRenderer {
    RmRenderer();
    ~RmRenderer();
    std::vector<RmTriangle> batch;          // this Render's triangles, in drawing order
    std::unique_ptr<RmBandWorker> worker;   // draws the lower rows; null: one thread draws all
    double split = 0.5;                     // share of the rows the caller's thread draws
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

// Tells the worker thread a batch is coming, so that it is running by the time it arrives.
void RmWakeWorker(RmRenderer& r);

// Draws r.batch into target through area, in order, and empties it. The rows above and below a
// split are drawn at once when a second thread is at hand; each row sees the triangles in the
// same order either way, so the pixels do not depend on it.
void RmDrawBatch(RmRenderer& r, const RasterTarget& target, const RasterViewport& area);

// Draws the hierarchy under `scene` through the viewport's camera.
HRESULT RmRenderScene(IDirect3DRMViewport* viewport, IDirect3DRMFrame* scene);

// The software rasterizer behind the 3D stand-in: clip-space triangles, lines and points into a
// 16-bit (5-6-5 or 5-5-5) target with a 16-bit z-buffer. Deterministic (same input, same bytes),
// no allocation per call. Lighting, transforms and back-face culling are the caller's job.
#pragma once

#include <cstdint>
#include <vector>

// Where to draw. Memory is owned by the caller (the device); nothing here allocates it.
struct RasterTarget {
    void* pixels = nullptr;        // 16-bit pixels, row 0 at the top
    int pitch = 0;                 // bytes from one pixel row to the next
    int width = 0, height = 0;     // pixels
    bool rgb555 = false;           // false: 5-6-5
    uint16_t* zbuffer = nullptr;   // width x height depth values, or null for no depth buffer
    int zpitch = 0;                // bytes from one z row to the next
    // Only rows in [rowBegin, rowEnd) are written, whatever the viewport: two callers can draw
    // the same triangles above and below a row at once, and get the pixels one caller drawing
    // them all would. Projection and clipping stay the viewport's.
    int rowBegin = 0, rowEnd = 1 << 30;
};

// The device area a viewport covers, in target pixels. Anything outside [x, x+width) x [y, y+height)
// (intersected with the target) is never written.
//
// Projection: a clip-space point (x, y, z, w) lands at
//   px = vp.x + width/2  + s * x/w
//   py = vp.y + height/2 - s * y/w        (screen y runs down, clip y up)
// with s = max(width, height)/2, so pixels stay square and the larger side spans x/w (or y/w)
// in [-1, 1]. The visible volume is
//   -maxX*w <= x <= maxX*w,  -maxY*w <= y <= maxY*w,  0 <= z <= w
// with maxX = width/(2s), maxY = height/(2s) (1 and 0.75 at 640x480). z/w is the depth: 0 at the
// front plane, 1 at the back plane; it is stored as round(z/w * 65535).
// Pixel (i, j) covers [i, i+1) x [j, j+1) and is sampled at its centre.
// Nothing is drawn for an empty viewport, a side or offset beyond 32768 pixels, a target without
// pixels, or a pitch (or z pitch, when there is a z-buffer) smaller than two bytes per pixel.
struct RasterViewport {
    int x = 0, y = 0;
    int width = 0, height = 0;
};

// s above, in pixels per clip unit.
inline float RasterProjectionScale(const RasterViewport& vp) {
    return 0.5f * static_cast<float>(vp.width > vp.height ? vp.width : vp.height);
}

struct RasterVertex {
    float x = 0, y = 0, z = 0, w = 1;  // clip space, see RasterViewport
    float r = 1, g = 1, b = 1;         // lit diffuse colour 0..1 (ambient and emissive included)
    float sr = 0, sg = 0, sb = 0;      // specular 0..1, added after the texture is applied
    float u = 0, v = 0;                // texture coordinates; tiles outside [0, 1]
};

// One mip level: width x height texels, 0x00RRGGBB, row 0 first. Row 0 is v = 0 and column 0 is
// u = 0; texel (i, j) is centred on u = (i + 0.5)/width, v = (j + 0.5)/height.
struct RasterTextureLevel {
    int width = 0, height = 0;    // powers of two
    int widthShift = 0;           // log2(width)
    const uint32_t* texels = nullptr;  // points into RasterTexture::storage
};

// A texture ready to sample, made once at load time by RasterBuildTexture. Level 0 is full size;
// each next level halves both sides (not below 1) down to 1x1.
// Copies re-point their levels at their own storage; moves keep the buffer and so the pointers.
struct RasterTexture {
    int levelCount = 0;
    RasterTextureLevel levels[16];
    std::vector<uint32_t> storage;  // all levels; do not resize after building

    RasterTexture() = default;
    RasterTexture(RasterTexture&&) = default;
    RasterTexture& operator=(RasterTexture&&) = default;
    RasterTexture(const RasterTexture& other) { *this = other; }
    RasterTexture& operator=(const RasterTexture& other) {
        if (this == &other) return *this;
        levelCount = other.levelCount;
        storage = other.storage;
        for (int k = 0; k < 16; ++k) {
            levels[k] = other.levels[k];
            if (k < levelCount)
                levels[k].texels = storage.data() + (other.levels[k].texels - other.storage.data());
        }
        return *this;
    }
};

// Builds `out` from a width x height picture of 0x??RRGGBB texels (the top byte is ignored), whose
// row 0 is v = 0. A caller loading a bottom-up BMP the way the old v1 loader did passes the rows
// in file order. Sides that are not powers of two are resampled (nearest texel) up to the next
// power of two, at most 4096, since tiling relies on wrap masks. Each smaller level averages 2x2
// texels of the level above, rounding to nearest. Returns false (and leaves `out` empty) for a
// null picture, a side < 1 or > 65536, or a pitch smaller than the width.
bool RasterBuildTexture(RasterTexture& out, const uint32_t* picture, int width, int height,
                        int pitchInTexels);

enum RasterFill { kRasterPoints = 0, kRasterWireframe = 1, kRasterSolid = 2 };
enum RasterShade { kRasterFlat = 0, kRasterGouraud = 1 };
enum RasterFilter { kRasterNearest = 0, kRasterMipNearest = 1 };

// The platform's texture quality (0 NEAREST .. 5 LINEARMIPLINEAR) to the closest filter we have:
// 0, 1 -> nearest in level 0; 2..5 -> nearest in the closest mip level. Anything else -> nearest.
RasterFilter RasterFilterForTextureQuality(int quality);

struct RasterState {
    RasterFill fill = kRasterSolid;
    // Flat: the whole face (or edge, or point) takes v[0]'s colour and specular; the caller stores
    // the face-lit colour there. Gouraud: colours interpolate linearly in screen space.
    RasterShade shade = kRasterGouraud;
    const RasterTexture* texture = nullptr;  // null: untextured; else texel x colour + specular
    RasterFilter filter = kRasterNearest;
    bool dither = false;  // 4x4 ordered dither when reducing to 5/6 bits; black stays 0
    bool zTest = true;    // LESSEQUAL against the target's z-buffer (ignored when it is null)
    bool zWrite = true;
};

// Packs 8-bit channels (0..255) into a pixel of the target's layout, truncating: 5-6-5 or 5-5-5.
inline uint16_t RasterPack(int r, int g, int b, bool rgb555) {
    if (rgb555) return static_cast<uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
    return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}
// The same for a 0x??RRGGBB colour (the top byte is ignored).
inline uint16_t RasterPackRGB(uint32_t xrgb, bool rgb555) {
    return RasterPack((xrgb >> 16) & 0xff, (xrgb >> 8) & 0xff, xrgb & 0xff, rgb555);
}

// Fills the viewport's area (clipped to the target) with `pixel`, and its z-buffer area with the
// far value 0xFFFF when clearZ is set and the target has a z-buffer.
void RasterClearViewport(const RasterTarget& target, const RasterViewport& vp, uint16_t pixel,
                         bool clearZ);

// Draws one triangle as the state's fill says. The triangle is clipped against the visible volume
// in clip space, so any input is safe (w <= 0, huge or NaN coordinates draw nothing wrong and write
// nothing outside the viewport). Both windings are drawn: culling is the caller's.
// Solid fill follows the top-left rule: a pixel centre exactly on a left or top edge belongs to the
// triangle, on a right or bottom edge it does not, so triangles sharing an edge cover each pixel
// along it exactly once, without gaps.
// Wireframe draws the edges whose bit is set in edgeMask: bit 0 is v[0]-v[1], bit 1 v[1]-v[2],
// bit 2 v[2]-v[0] (clear the bits of triangulation diagonals). Points draws the three vertices.
void RasterTriangle(const RasterTarget& target, const RasterViewport& vp, const RasterState& state,
                    const RasterVertex v[3], unsigned edgeMask = 7);

// One line (a wireframe edge), clipped like a triangle, one pixel wide, both end pixels drawn,
// z-tested and written as the state says, colours interpolated (Gouraud) or a's colour (flat).
// Textures are not applied to lines and points.
void RasterLine(const RasterTarget& target, const RasterViewport& vp, const RasterState& state,
                const RasterVertex& a, const RasterVertex& b);

// One point: the pixel containing the projected vertex, when it is inside the visible volume.
void RasterPoint(const RasterTarget& target, const RasterViewport& vp, const RasterState& state,
                 const RasterVertex& p);

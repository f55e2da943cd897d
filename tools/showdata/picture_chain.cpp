// The chain frame laid over the baller scene: steel links around the edge, black elsewhere.
#include <cmath>

#include "tools/showdata/pictures.h"

namespace showdata {

namespace {

const Rgb kSteelDark{72, 62, 112};  // never black: every link pixel must stay opaque
const Rgb kSteelLight{238, 232, 255};

// Light falls from the top left: brightness from the direction (nx, ny) of the surface,
// each -1..1, to a steel colour.
Rgb Steel(double nx, double ny) {
    double light = 0.55 - 0.30 * nx - 0.45 * ny;
    if (light < 0) light = 0;
    if (light > 1) light = 1;
    return Mix(kSteelDark, kSteelLight, static_cast<int>(light * 256), 256);
}

// A link seen from the front: an elliptical ring. `along` is the half length (the chain's
// direction), `across` the half width; horizontal says which way the chain runs.
void DrawFlatLink(Image& image, int cx, int cy, bool horizontal) {
    const double along = 22, across = 13, thickness = 7;
    const double rx = horizontal ? along : across, ry = horizontal ? across : along;
    for (int dy = -static_cast<int>(ry); dy <= ry; ++dy)
        for (int dx = -static_cast<int>(rx); dx <= rx; ++dx) {
            double outer = (dx * dx) / (rx * rx) + (dy * dy) / (ry * ry);
            double ix = rx - thickness, iy = ry - thickness;
            double inner = (dx * dx) / (ix * ix) + (dy * dy) / (iy * iy);
            if (outer >= 1.0 || inner < 1.0) continue;
            // The band is a tube: s runs from -1 at its inner edge to 1 at its outer edge,
            // and the surface faces outward (s > 0) or inward (s < 0) along the radius.
            double ro = std::sqrt(outer), ri = std::sqrt(inner);
            double s = 2.0 * (ri - 1.0) / ((ri - 1.0) + (1.0 - ro) + 1e-9) - 1.0;
            double ux = dx / rx, uy = dy / ry, len = std::sqrt(ux * ux + uy * uy) + 1e-9;
            double nx = ux / len * s * 0.8, ny = uy / len * s * 0.8;
            PutPixel(image, cx + dx, cy + dy, Steel(nx, ny));
        }
}

// A link seen edge on: a rounded bar through the neighbouring rings.
void DrawEdgeLink(Image& image, int cx, int cy, bool horizontal) {
    const int along = 21, across = 4;
    for (int a = -along; a <= along; ++a)
        for (int c = -across; c <= across; ++c) {
            int end = std::abs(a) - (along - across);  // round the two ends
            if (end > 0 && end * end + c * c > across * across) continue;
            double n = static_cast<double>(c) / across;
            int x = horizontal ? cx + a : cx + c, y = horizontal ? cy + c : cy + a;
            PutPixel(image, x, y, horizontal ? Steel(0.0, n) : Steel(n, 0.0));
        }
}

// Links from (x0, y0) to (x1, y1) along one side, flat ones at both ends.
void DrawChainSide(Image& image, int x0, int y0, int x1, int y1, bool edgeLinks) {
    const bool horizontal = y0 == y1;
    const int length = horizontal ? x1 - x0 : y1 - y0;
    int count = (length + 17) / 34;
    if (count % 2) ++count;  // even, so both corners get a flat link
    for (int i = 0; i <= count; ++i) {
        int offset = length * i / count;
        int x = horizontal ? x0 + offset : x0, y = horizontal ? y0 : y0 + offset;
        bool flat = i % 2 == 0;
        bool corner = i == 0 || i == count;
        if (corner && !horizontal) continue;  // the corners' rings belong to the long sides
        if (flat && !edgeLinks) DrawFlatLink(image, x, y, horizontal);
        if (!flat && edgeLinks) DrawEdgeLink(image, x, y, horizontal);
    }
}

}  // namespace

Image DrawChainFrame() {
    Image image = MakeImage(640, 480, kTransparent);
    // The links' centre line, inset from the part the blit takes.
    const int left = kChainSource.left + 24, right = kChainSource.right - 24;
    const int top = kChainSource.top + 24, bottom = kChainSource.bottom - 24;
    // Rings first, bars over them, so each bar seems to pass through its two rings.
    for (bool edgeLinks : {false, true}) {
        DrawChainSide(image, left, top, right, top, edgeLinks);
        DrawChainSide(image, left, bottom, right, bottom, edgeLinks);
        DrawChainSide(image, left, top, left, bottom, edgeLinks);
        DrawChainSide(image, right, top, right, bottom, edgeLinks);
    }
    return image;
}

}  // namespace showdata

// Drawing into an in-memory RGB picture: fills, gradients, ellipses, colour mixing.
#include "tools/showdata/image.h"

#include <algorithm>

namespace showdata {

Image MakeImage(int width, int height, Rgb fill) {
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<size_t>(width) * height, fill);
    return image;
}

void PutPixel(Image& image, int x, int y, Rgb colour) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) return;
    image.pixels[static_cast<size_t>(y) * image.width + x] = colour;
}

Rgb GetPixel(const Image& image, int x, int y) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) return kTransparent;
    return image.pixels[static_cast<size_t>(y) * image.width + x];
}

void FillRect(Image& image, Rect rect, Rgb colour) {
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x) PutPixel(image, x, y, colour);
}

void FillGradient(Image& image, Rect rect, Rgb top, Rgb bottom) {
    int span = std::max(1, rect.bottom - rect.top - 1);
    for (int y = rect.top; y < rect.bottom; ++y) {
        Rgb colour = Mix(top, bottom, y - rect.top, span);
        for (int x = rect.left; x < rect.right; ++x) PutPixel(image, x, y, colour);
    }
}

void FrameRect(Image& image, Rect rect, int thickness, Rgb colour) {
    FillRect(image, {rect.left, rect.top, rect.right, rect.top + thickness}, colour);
    FillRect(image, {rect.left, rect.bottom - thickness, rect.right, rect.bottom}, colour);
    FillRect(image, {rect.left, rect.top, rect.left + thickness, rect.bottom}, colour);
    FillRect(image, {rect.right - thickness, rect.top, rect.right, rect.bottom}, colour);
}

void FillEllipse(Image& image, int cx, int cy, int rx, int ry, Rgb colour) {
    if (rx <= 0 || ry <= 0) return;
    // Integer test (dx/rx)^2 + (dy/ry)^2 <= 1, scaled by rx^2 ry^2 to stay exact.
    const long long a = static_cast<long long>(rx) * rx, b = static_cast<long long>(ry) * ry;
    for (int dy = -ry; dy <= ry; ++dy)
        for (int dx = -rx; dx <= rx; ++dx)
            if (dx * dx * b + dy * dy * a <= a * b) PutPixel(image, cx + dx, cy + dy, colour);
}

Rgb Mix(Rgb a, Rgb b, int num, int den) {
    auto channel = [&](int x, int y) { return static_cast<uint8_t>(x + (y - x) * num / den); };
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

Rgb Shade(Rgb colour, int percent) {
    auto channel = [&](int x) { return static_cast<uint8_t>(std::min(255, x * percent / 100)); };
    return {channel(colour.r), channel(colour.g), channel(colour.b)};
}

int Random::Next(int limit) {
    state = state * 1664525u + 1013904223u;
    return static_cast<int>((state >> 8) % static_cast<uint32_t>(limit));
}

}  // namespace showdata

#include "window/WorldWindow.h"

#include <cmath>

namespace window {

namespace {

// The world window in force.
WorldWindowMap current;

// The pixel value of v, rounded ties to even; every value whose magnitude
// reaches 2147483647, and NaN, gives 2147483647 (for either sign).
std::int32_t ToPixel(astro::Real v) {
    constexpr astro::Real Limit = 2147483647.0L;
    if (!(std::fabs(v) < Limit)) return 2147483647;
    return astro::RoundToInt32(v);
}

} // namespace

WorldWindowMap WithViewport(WorldWindowMap map, std::int32_t left, std::int32_t right, std::int32_t top,
                            std::int32_t bottom) {
    map.left = left;
    map.right = right;
    map.top = top;
    map.bottom = bottom;
    return map;
}

WorldWindowMap WithWorldWindow(WorldWindowMap map, astro::Real xmin, astro::Real xmax, astro::Real ymin,
                               astro::Real ymax) {
    if (xmax == xmin || ymax == ymin) return map;
    map.xmin = xmin;
    map.xmax = xmax;
    map.ymin = ymin;
    map.ymax = ymax;
    map.scaleX = static_cast<astro::Real>(std::int64_t{map.right} - map.left) / (xmax - xmin);
    map.scaleY = static_cast<astro::Real>(std::int64_t{map.bottom} - map.top) / (ymax - ymin);
    return map;
}

std::int32_t ScreenX(const WorldWindowMap& map, astro::Real x) {
    return ToPixel((x - map.xmin) * map.scaleX + map.left);
}

std::int32_t ScreenY(const WorldWindowMap& map, astro::Real y) {
    return ToPixel((map.ymax - y) * map.scaleY + map.top);
}

const WorldWindowMap& CurrentWorldWindow() {
    return current;
}

void SetViewport(std::int32_t left, std::int32_t right, std::int32_t top, std::int32_t bottom) {
    current = WithViewport(current, left, right, top, bottom);
}

void SetWorldWindow(astro::Real xmin, astro::Real xmax, astro::Real ymin, astro::Real ymax) {
    current = WithWorldWindow(current, xmin, xmax, ymin, ymax);
}

std::int32_t ScreenX(astro::Real x) {
    return ScreenX(current, x);
}

std::int32_t ScreenY(astro::Real y) {
    return ScreenY(current, y);
}

void ResetWorldWindow() {
    current = WorldWindowMap{};
}

} // namespace window

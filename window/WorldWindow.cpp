#include "window/WorldWindow.h"

#include <cmath>

#include "window/Graphics.h"

namespace window {

namespace {

// The world window: world coordinates (y upward) onto the viewport, in
// pixels (y downward). All zero at program start.
struct WorldWindowState {
    std::int32_t left = 0, right = 0; // pixel columns of xmin and xmax
    std::int32_t top = 0, bottom = 0; // pixel rows of ymax and ymin
    astro::Real xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    astro::Real scaleX = 0; // pixels per world unit, from the last accepted SetWorldWindow
    astro::Real scaleY = 0;
    std::int32_t currentX = 0, currentY = 0; // where the next LineToPixel starts
};

WorldWindowState state;

// The pixel value of v, rounded ties to even; every value whose magnitude
// reaches 2147483647, and NaN, gives 2147483647 (for either sign).
std::int32_t ToPixel(astro::Real v) {
    constexpr astro::Real Limit = 2147483647.0L;
    if (!(std::fabs(v) < Limit)) return 2147483647;
    return astro::RoundToInt32(v);
}

} // namespace

void SetViewport(std::int32_t left, std::int32_t right, std::int32_t top, std::int32_t bottom) {
    state.left = left;
    state.right = right;
    state.top = top;
    state.bottom = bottom;
}

void SetWorldWindow(astro::Real xmin, astro::Real xmax, astro::Real ymin, astro::Real ymax) {
    // A window of zero width or height has no scale: the call is refused and
    // the previous window and scales stay in force.
    if (xmax == xmin || ymax == ymin) return;
    state.xmin = xmin;
    state.xmax = xmax;
    state.ymin = ymin;
    state.ymax = ymax;
    state.scaleX = static_cast<astro::Real>(std::int64_t{state.right} - state.left) / (xmax - xmin);
    state.scaleY = static_cast<astro::Real>(std::int64_t{state.bottom} - state.top) / (ymax - ymin);
}

std::int32_t ScreenX(astro::Real x) {
    return ToPixel((x - state.xmin) * state.scaleX + state.left);
}

std::int32_t ScreenY(astro::Real y) {
    return ToPixel((state.ymax - y) * state.scaleY + state.top);
}

void MoveToPixel(std::int32_t x, std::int32_t y) {
    state.currentX = x;
    state.currentY = y;
}

void LineToPixel(std::int32_t x, std::int32_t y, int colour) {
    DrawLine(state.currentX, state.currentY, x, y, colour);
    state.currentX = x;
    state.currentY = y;
}

void ResetWorldWindow() {
    state = WorldWindowState{};
}

} // namespace window

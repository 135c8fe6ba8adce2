// The polyline pen: a current pixel position from which LineToPixel draws.
#include "window/Graphics.h"
#include "window/WorldWindow.h"

namespace window {

namespace {

struct PixelPathState {
    std::int32_t currentX = 0, currentY = 0; // where the next LineToPixel starts
};

PixelPathState path;

} // namespace

void MoveToPixel(std::int32_t x, std::int32_t y) {
    path.currentX = x;
    path.currentY = y;
}

void LineToPixel(std::int32_t x, std::int32_t y, int colour) {
    DrawLine(path.currentX, path.currentY, x, y, colour);
    path.currentX = x;
    path.currentY = y;
}

void ResetPixelPath() {
    path = PixelPathState{};
}

} // namespace window

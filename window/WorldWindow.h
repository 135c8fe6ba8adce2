// World coordinates (y upward) mapped onto a pixel rectangle, the viewport,
// and a current pixel position for drawing polylines point by point.
#pragma once

#include <cstdint>

#include "astro/Numeric.h"

namespace window {

// Argument order: x from, x to, y from, y to. The scales are not recomputed.
void SetViewport(std::int32_t left, std::int32_t right, std::int32_t top, std::int32_t bottom);
// Stores the world window and computes the scales from the current viewport.
// A window of zero width or height is refused: the scales stay as they were.
void SetWorldWindow(astro::Real xmin, astro::Real xmax, astro::Real ymin, astro::Real ymax);
// World to pixel, rounded ties to even; |v| >= 2147483647 and NaN give 2147483647.
std::int32_t ScreenX(astro::Real x);
std::int32_t ScreenY(astro::Real y);
void MoveToPixel(std::int32_t x, std::int32_t y);
// DrawLine from the current point to (x, y), then the current point := (x, y).
void LineToPixel(std::int32_t x, std::int32_t y, int colour);

// Resets the world-window state to its start values (all zero).
void ResetWorldWindow();

}  // namespace window

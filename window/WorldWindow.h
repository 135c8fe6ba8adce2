// World coordinates (y upward) mapped onto a pixel rectangle, the viewport:
// as a value (WorldWindowMap, for pure computations) and as the one window in
// force that the drawing uses. No Qt. The current pixel position for drawing
// polylines point by point (MoveToPixel, LineToPixel) belongs to the drawing
// layer and is declared here beside the mapping that feeds it.
#pragma once

#include <cstdint>

#include "astro/Numeric.h"

namespace window {

// A world window on a viewport. The scales are those of the last accepted
// window, computed from the viewport in force at that moment; a later change
// of the viewport shifts the picture but keeps the scales.
struct WorldWindowMap {
    std::int32_t left = 0, right = 0; // pixel columns of xmin and xmax
    std::int32_t top = 0, bottom = 0; // pixel rows of ymax and ymin
    astro::Real xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    astro::Real scaleX = 0; // pixels per world unit
    astro::Real scaleY = 0;
};

// The map with the viewport set (argument order: x from, x to, y from, y to).
// The scales are not recomputed.
WorldWindowMap WithViewport(WorldWindowMap map, std::int32_t left, std::int32_t right, std::int32_t top,
                            std::int32_t bottom);
// The map with a new world window and its scales from the map's viewport. A
// window of zero width or height is refused: the map is returned unchanged.
WorldWindowMap WithWorldWindow(WorldWindowMap map, astro::Real xmin, astro::Real xmax, astro::Real ymin,
                               astro::Real ymax);
// World to pixel, rounded ties to even; |v| >= 2147483647 and NaN give 2147483647.
std::int32_t ScreenX(const WorldWindowMap& map, astro::Real x);
std::int32_t ScreenY(const WorldWindowMap& map, astro::Real y);

// The world window in force (all zero at program start) and its setters.
const WorldWindowMap& CurrentWorldWindow();
void SetViewport(std::int32_t left, std::int32_t right, std::int32_t top, std::int32_t bottom);
void SetWorldWindow(astro::Real xmin, astro::Real xmax, astro::Real ymin, astro::Real ymax);
std::int32_t ScreenX(astro::Real x);
std::int32_t ScreenY(astro::Real y);
// Resets the world window in force to its start values (all zero).
void ResetWorldWindow();

// The polyline pen of the drawing layer (PixelPath.cpp).
void MoveToPixel(std::int32_t x, std::int32_t y);
// DrawLine from the current point to (x, y), then the current point := (x, y).
void LineToPixel(std::int32_t x, std::int32_t y, int colour);
// Resets the current point to (0, 0) (the start-up path does; ResetWorldWindow
// leaves the pen alone).
void ResetPixelPath();

} // namespace window

// The inside view's drawing helpers that its two source files share: the
// projection of a direction through the eye point and the world window, and a
// polyline broken where a point is not to be drawn. Internal to the view.
#pragma once

#include <cstdint>

#include "app/Parameters.h"
#include "app/Scene.h"
#include "astro/Vectors.h"
#include "window/Graphics.h"
#include "window/WorldWindow.h"

namespace app::insideview {

using astro::Real;
using astro::Vector3;
using window::PixelPoint;

// ProjectSky from the eye point; the world coordinates are 0 where the line
// of sight runs parallel to the picture plane.
inline bool Project(const Vector3& direction, Real& worldX, Real& worldY) {
    worldX = 0;
    worldY = 0;
    bool visible = false;
    ProjectSky(Params().eyePoint, direction, worldX, visible, worldY);
    return visible;
}

inline PixelPoint ScreenPoint(Real worldX, Real worldY) {
    return PixelPoint{window::ScreenX(worldX), window::ScreenY(worldY)};
}

// A polyline through projected directions, broken where a direction is not
// to be drawn: the first point of every piece is a pen move.
class BrokenLine {
  public:
    explicit BrokenLine(int colour) : colour_(colour) {}
    void Add(const Vector3& direction, bool drawable) {
        Real wx = 0, wy = 0;
        const bool visible = Project(direction, wx, wy);
        Plot(wx, wy, visible && drawable);
    }
    // A point already projected (world coordinates) and whether it is drawn.
    void Plot(Real wx, Real wy, bool drawn) {
        if (!drawn) {
            penDown_ = false;
            return;
        }
        const PixelPoint p = ScreenPoint(wx, wy);
        if (penDown_)
            window::LineToPixel(p.x, p.y, colour_);
        else
            window::MoveToPixel(p.x, p.y);
        penDown_ = true;
    }

  private:
    int colour_;
    bool penDown_ = false;
};

// The overlay of "a" (EquatorialOverlay.cpp): the grid of equatorial
// coordinates as the sky of the frame turns it, the visible pole, the hour
// labels and the line of the Sun's and the Moon's coordinates, centred on
// screen column screenCentreX.
void DrawEquatorialOverlay(std::int32_t screenCentreX);

} // namespace app::insideview

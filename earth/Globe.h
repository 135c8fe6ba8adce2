// The Earth as a globe: its coastlines and a grid of latitude circles and
// meridians, drawn through three hooks that the caller supplies. The globe
// knows nothing of the view: the hooks turn an Earth-fixed point into view
// coordinates, tell whether it is on the visible side, and project it to
// pixels.
//
// The coastlines are loaded and the grid built on the first drawing; both
// stay until ReleaseGlobe. Drawing allocates nothing.
#pragma once

#include <cstdint>
#include <string>

#include "astro/Numeric.h"
#include "astro/Vectors.h"
#include "earth/Outlines.h"

namespace earth {

// Rotates an Earth-fixed point into view coordinates; the result carries the
// rotated x, y, z (and w). The drawing reads nothing else of a view point, so
// the hook need not recompute the spherical part (GlobePointToSpherical fills
// it for a caller that wants it).
using TransformHook = GlobePoint (*)(const GlobePoint& earthFixed);
// True when a point in view coordinates is on the visible side.
using VisibleHook = bool (*)(const GlobePoint& view);
// The pixel position of a point in view coordinates.
using ProjectHook = void (*)(const GlobePoint& view, std::int32_t& px, std::int32_t& py);

// Where the lines go: a pen move, and a line from the pen to a pixel in a
// palette colour that leaves the pen there.
struct LineSink {
    void (*moveTo)(std::int32_t x, std::int32_t y);
    void (*lineTo)(std::int32_t x, std::int32_t y, int colour);
};
// window::MoveToPixel and window::LineToPixel.
LineSink WindowLineSink();

// Two points are joined only when their pixels differ by less than this in
// both directions: a longer jump is a segment that wraps behind the globe.
inline constexpr std::int32_t MaxJoinedJumpPixels = 200;

// Grid spacings below this (and non-positive or NaN spacings) build no grid:
// such a grid would be a disc of solid lines.
inline constexpr astro::Real MinGridSpacing = astro::DegreesToRadians(0.1L);
// Points of each grid circle: every 10°, the last repeating the first.
inline constexpr std::int32_t GridCirclePoints = 37;

// The globe module's state.
struct GlobeState {
    OutlineSet outlines; // the coastlines
    OutlineSet grid;     // the coordinate grid; `loaded` means built
    // A coastline file could not be read: the failure has been reported, and
    // the globe is drawn without coastlines from then on.
    bool outlinesFailed = false;
    // The hooks registered last (at start-up and by every DrawGlobe). The
    // drawing uses the hooks it is given and never reads these back; they are
    // kept as the record of which view the globe was last drawn for, which a
    // test or a debugger can look at.
    TransformHook transformHook = nullptr;
    ProjectHook projectHook = nullptr;
    VisibleHook visibleHook = nullptr;
    // Replaceable for tests: where DrawGlobe draws and how it sets the pen
    // width. (What happens when no coastline file exists is the window
    // layer's: window::SetMessageAndEndHandler.)
    LineSink lineSink = WindowLineSink();
    void (*setLineWidth)(std::int32_t width) = nullptr; // nullptr: window::SetLineWidth
    // The drawing now running (see GlobeDrawingSerial), and how many began
    // (never reset, so that a serial is never given twice).
    std::uint64_t drawingSerial = 0;
    std::uint64_t drawingsBegun = 0;
};
GlobeState& Globe();
// Releases the data and gives the state its start values (tests).
void ResetGlobe();

// The serial number of the globe drawing now running (a DrawSegments call), 0
// while none runs. The view cannot change within one drawing: a transform hook
// may derive what it needs from the view once per serial and keep it for the
// drawing's points.
std::uint64_t GlobeDrawingSerial();

// Registers the three hooks (also done by every DrawGlobe).
void SetGlobeHooks(TransformHook transform, ProjectHook project, VisibleHook visible);

// Draws the coastlines in outlineColour with a pen of outlineWidth pixels,
// then, if drawGrid, the grid in gridColour with a pen of 1 pixel. The grid is
// built on the first call that draws it, for gridSpacingDegrees, and kept: a
// later call with another spacing draws the first grid. Loads the coastlines
// on the first call; when no file exists, window::ShowMessageWaitKeyAndEnd
// shows the message and ends the program. A file that cannot be read throws
// window::UserError once, its message saying that the globe goes on without
// coastlines; later calls draw the grid alone and do not try again.
void DrawGlobe(TransformHook transform, ProjectHook project, VisibleHook visible, int outlineColour,
               std::int32_t outlineWidth, bool drawGrid, astro::Real gridSpacingDegrees, int gridColour);

// Draws `count` segments of `table`. Each segment starts with a pen move to
// its first point's projection, whether that point is visible or not; a
// further point is drawn only when visible: with a line when the point before
// it was visible too and the jump is below MaxJoinedJumpPixels in x and y,
// else with a pen move. Hidden points are not projected.
void DrawSegments(const OutlineSegment* table, std::int32_t count, TransformHook transform,
                  ProjectHook project, VisibleHook visible, int colour,
                  const LineSink& sink = WindowLineSink());

// Fills `table` (emptied first) with the grid for `spacing` radians: the
// latitude circles k·spacing strictly between the poles, south to north, then
// the great circles through the poles at the meridian angles k·spacing with
// -90° < μ < 90° + spacing/2, each carrying the meridians μ and μ + 180°.
// Every circle has GridCirclePoints points with the last equal to the first.
void BuildGrid(OutlineSet& table, astro::Real spacing);

// Frees the coastlines and the grid (at program exit).
void ReleaseGlobe();

// (x, y, z) := m·(x, y, z); w and the spherical part are left as they are.
void ApplyMatrixToGlobePoint(const astro::Matrix3& m, GlobePoint& p);

} // namespace earth

#include "earth/Globe.h"

#include <array>
#include <cmath>
#include <cstdlib>

#include "window/FensterGraf.h"
#include "window/Graphics.h"
#include "window/WorldWindow.h"

namespace earth {

namespace {

using astro::Real;

GlobeState state;

// Grid angles within this of a pole count as the pole (k·spacing is rounded).
constexpr Real GridAngleTolerance = 1e-9L;
constexpr Real GridStep = astro::DegreesToRadians(10); // between the points of a circle

// Added to the message of a coastline file that cannot be read.
constexpr const char* NoCoastlinesNote = " Die Erde wird ohne Küstenlinien gezeichnet.";

void SetWidth(std::int32_t width) {
    if (state.setLineWidth != nullptr) {
        state.setLineWidth(width);
    } else {
        window::SetLineWidth(width);
    }
}

// The circle's closing point repeats its first exactly.
void AddCircle(OutlineSet& table, std::array<GlobePoint, GridCirclePoints>& circle) {
    circle[GridCirclePoints - 1] = circle[0];
    AddSegment(table, circle.data(), GridCirclePoints);
}

GlobePoint GridPoint(Real x, Real y, Real z) {
    GlobePoint p;
    p.w = 1;
    p.x = static_cast<float>(x);
    p.y = static_cast<float>(y);
    p.z = static_cast<float>(z);
    GlobePointToSpherical(p);
    return p;
}

} // namespace

LineSink WindowLineSink() {
    return {window::MoveToPixel, window::LineToPixel};
}

GlobeState& Globe() {
    return state;
}

void ResetGlobe() {
    ReleaseGlobe();
    state.outlinesFailed = false;
    state.transformHook = nullptr;
    state.projectHook = nullptr;
    state.visibleHook = nullptr;
    state.lineSink = WindowLineSink();
    state.setLineWidth = nullptr;
}

void SetGlobeHooks(TransformHook transform, ProjectHook project, VisibleHook visible) {
    state.transformHook = transform;
    state.projectHook = project;
    state.visibleHook = visible;
}

void DrawGlobe(TransformHook transform, ProjectHook project, VisibleHook visible, int outlineColour,
               std::int32_t outlineWidth, bool drawGrid, Real gridSpacingDegrees, int gridColour) {
    SetGlobeHooks(transform, project, visible);
    // Without any coastline file the window layer shows the message, waits
    // for a key and ends the program (a batch run replaces that step there).
    if (!state.outlinesFailed) {
        try {
            LoadOutlines(state.outlines, window::ShowMessageWaitKeyAndEnd);
        } catch (const MissingOutlinesError&) {
            throw; // a batch run's end: nothing to go on with
        } catch (const window::UserError& e) {
            // Loaded all the same (only the converted file could not be
            // stored): the message alone. Else the failure is reported once,
            // and every later frame draws the globe without coastlines
            // instead of trying again.
            if (state.outlines.loaded) throw;
            state.outlinesFailed = true;
            throw window::UserError(std::string(e.what()) + NoCoastlinesNote);
        }
    }
    SetWidth(outlineWidth);
    DrawSegments(state.outlines.segments.data(), state.outlines.count, transform, project, visible,
                 outlineColour, state.lineSink);
    SetWidth(1);
    if (drawGrid) {
        if (!state.grid.loaded) {
            BuildGrid(state.grid, astro::DegreesToRadians(gridSpacingDegrees));
            state.grid.loaded = true;
        }
        DrawSegments(state.grid.segments.data(), state.grid.count, transform, project, visible, gridColour,
                     state.lineSink);
    }
}

std::uint64_t GlobeDrawingSerial() {
    return state.drawingSerial;
}

void DrawSegments(const OutlineSegment* table, std::int32_t count, TransformHook transform,
                  ProjectHook project, VisibleHook visible, int colour, const LineSink& sink) {
    if (table == nullptr || transform == nullptr || project == nullptr || visible == nullptr) return;
    // A new serial for this drawing, back to 0 however it ends.
    struct DrawingScope {
        DrawingScope() { state.drawingSerial = ++state.drawingsBegun; }
        ~DrawingScope() { state.drawingSerial = 0; }
    } scope;
    for (std::int32_t s = 0; s < count; ++s) {
        const OutlineSegment& segment = table[s];
        if (segment.count <= 0 || !segment.points) continue;
        GlobePoint view = transform(segment.points[0]);
        bool previousVisible = visible(view);
        std::int32_t previousX = 0, previousY = 0;
        project(view, previousX, previousY); // even when hidden: the pen starts there
        sink.moveTo(previousX, previousY);
        for (std::int32_t i = 1; i < segment.count; ++i) {
            view = transform(segment.points[i]);
            if (!visible(view)) {
                previousVisible = false;
                continue;
            }
            std::int32_t px = 0, py = 0;
            project(view, px, py);
            // In 64 bits: projections far off the screen must not overflow.
            const std::int64_t dx = std::llabs(static_cast<std::int64_t>(px) - previousX);
            const std::int64_t dy = std::llabs(static_cast<std::int64_t>(py) - previousY);
            if (previousVisible && dx < MaxJoinedJumpPixels && dy < MaxJoinedJumpPixels) {
                sink.lineTo(px, py, colour);
            } else {
                sink.moveTo(px, py);
            }
            previousX = px;
            previousY = py;
            previousVisible = true;
        }
    }
}

void BuildGrid(OutlineSet& table, Real spacing) {
    FreeOutlines(table);
    if (!(spacing >= MinGridSpacing) || !std::isfinite(spacing)) return;
    const Real d = spacing;
    const Real halfPi = astro::Pi / 2;
    std::array<GlobePoint, GridCirclePoints> circle;

    // Latitude circles k·d, -90° < φ < 90°, south to north.
    std::int64_t first = 0;
    while (static_cast<Real>(first - 1) * d > -halfPi + GridAngleTolerance)
        --first;
    for (std::int64_t k = first; static_cast<Real>(k) * d < halfPi - GridAngleTolerance; ++k) {
        const float phi = static_cast<float>(static_cast<Real>(k) * d);
        for (std::int32_t j = 0; j < GridCirclePoints - 1; ++j) {
            const float lambda = static_cast<float>(j * GridStep);
            circle[j] = GridPoint(std::cos(static_cast<Real>(lambda)) * std::cos(static_cast<Real>(phi)),
                                  std::sin(static_cast<Real>(lambda)) * std::cos(static_cast<Real>(phi)),
                                  std::sin(static_cast<Real>(phi)));
        }
        AddCircle(table, circle);
    }

    // Meridian great circles: the template in the X-Z plane runs from the
    // south pole through longitude 0 on the equator, the north pole and
    // longitude 180° back to the south pole; turned about Z by μ it carries
    // the meridians μ and μ + 180°.
    std::array<GlobePoint, GridCirclePoints> meridian;
    for (std::int32_t j = 0; j < GridCirclePoints - 1; ++j) {
        const float t = static_cast<float>(j * GridStep);
        meridian[j] = GridPoint(std::sin(static_cast<Real>(t)), 0, -std::cos(static_cast<Real>(t)));
    }
    // The angles run over -90° < μ < 90° + d/2, which takes 90° in whatever
    // its rounding; μ = 90° + d/2 itself would repeat the circle of μ - 180°.
    for (std::int64_t k = first; static_cast<Real>(k) * d < halfPi + d / 2 - GridAngleTolerance; ++k) {
        astro::Matrix3 turn;
        astro::RotationAboutZ(turn, static_cast<float>(static_cast<Real>(k) * d));
        for (std::int32_t j = 0; j < GridCirclePoints - 1; ++j) {
            circle[j] = meridian[j];
            ApplyMatrixToGlobePoint(turn, circle[j]);
            GlobePointToSpherical(circle[j]);
        }
        AddCircle(table, circle);
    }
}

void ReleaseGlobe() {
    FreeOutlines(state.outlines);
    FreeOutlines(state.grid);
}

void ApplyMatrixToGlobePoint(const astro::Matrix3& m, GlobePoint& p) {
    const Real v[3] = {p.x, p.y, p.z};
    Real out[3];
    for (int i = 0; i < 3; ++i)
        out[i] = m(i, 0) * v[0] + m(i, 1) * v[1] + m(i, 2) * v[2];
    p.x = static_cast<float>(out[0]);
    p.y = static_cast<float>(out[1]);
    p.z = static_cast<float>(out[2]);
}

} // namespace earth

// The equatorial coordinates of the inside view (key "a"): hour circles and
// declination circles turned with the sky, the visible celestial pole, the
// hour labels along the equator and the Sun's and the Moon's right ascension
// and declination above the date line.
#include <algorithm>
#include <cmath>
#include <string>

#include "app/InsideViewParts.h"
#include "app/MainLoop.h"
#include "app/Panel.h"
#include "app/SceneGeometry.h"

namespace app::insideview {

namespace {

using astro::Degree;

// Hour circles every 2 hours of right ascension (0h, 2h, ..., 22h) and
// declination circles every 30 degrees; the hour labels stand on the
// celestial equator.
constexpr int OverlayHourCircles = 12;
constexpr Real OverlayHourStep = 30 * Degree; // 2 hours of right ascension
constexpr Real OverlayDeclinations[] = {-60 * Degree, -30 * Degree, 0, 30 * Degree, 60 * Degree};
constexpr int OverlayColour = window::LightCyan;
constexpr std::int32_t PoleRingRadius = 6;
// The line of coordinates stands this many rows above the date line's top.
constexpr std::int32_t EquatorialLineGap = 6;

SkyFrame OverlayFrame() {
    const SceneState& scene = Scene();
    SkyFrame frame;
    frame.sinLatitude = scene.sinLatitude;
    frame.cosLatitude = scene.cosLatitude;
    frame.localSiderealTime = scene.localSiderealTime;
    return frame;
}

EquatorialSkyPoint OverlayPoint(Real rightAscension, Real declination, const SkyFrame& frame) {
    return ProjectEquatorialPoint(rightAscension, declination, frame, Scene().azimuthMatrix,
                                  Params().eyePoint);
}

// A curve of `count` points, point(i) giving the i-th right ascension and
// declination.
template <typename Point> void DrawOverlayCurve(const SkyFrame& frame, int count, Point point) {
    BrokenLine line(OverlayColour);
    for (int i = 0; i < count; ++i) {
        Real rightAscension = 0, declination = 0;
        point(i, rightAscension, declination);
        const EquatorialSkyPoint q = OverlayPoint(rightAscension, declination, frame);
        line.Plot(q.projected.worldX, q.projected.worldY, q.drawn);
    }
}

void DrawRing(std::int32_t x, std::int32_t y, std::int32_t radius, int colour) {
    constexpr int Segments = 16;
    window::MoveToPixel(x + radius, y);
    for (int i = 1; i <= Segments; ++i) {
        const Real angle = astro::TwoPi * i / Segments;
        window::LineToPixel(x + astro::RoundToInt32(radius * std::cos(angle)),
                            y - astro::RoundToInt32(radius * std::sin(angle)), colour);
    }
}

// The screen rows from the top of the line of coordinates to the date
// line's bottom: the black cells of the two lines would cut a label there.
struct TextRows {
    std::int32_t top = 0, bottom = 0;
    bool Meet(std::int32_t labelTop, std::int32_t labelBottom) const {
        return labelTop <= bottom && labelBottom >= top;
    }
};

// The fonts and rows of the two lines: the date line's (its bottom 10 rows
// above textLineY) and the line of coordinates above it. A saved picture
// ("s") begins 50 rows above textLineY and leaves out the band above the
// date line: the line of coordinates ends above that row, not cut by it.
constexpr int EquatorialLineSize = 14;
constexpr std::int32_t SavedPictureTop = 50;
TextRows EquatorialTextRows() {
    TextRows rows;
    rows.bottom = Run().textLineY - 10;
    window::SetTextStyle("Courier", 20, 1);
    const std::int32_t dateLineTop = rows.bottom - window::CharHeight();
    window::SetTextStyle("Courier", EquatorialLineSize, 1);
    const std::int32_t lineBottom =
        std::min(dateLineTop - EquatorialLineGap, Run().textLineY - SavedPictureTop - 1);
    rows.top = lineBottom - window::CharHeight();
    window::SetTextStyle("Courier", 10, 0);
    return rows;
}

// The colour under a label at screen row y: the black band above the date
// line, else the sky of the frame's background picture.
int LabelBackground(std::int32_t y) {
    return y < Run().textLineY ? window::Black : Scene().skyColour;
}

// The celestial poles that are drawn (on or above the horizon, in front of
// the eye), each with a small ring; its name beside it has a cell of the
// colour underneath, since the hour circles all meet there.
void DrawOverlayPoles(const SkyFrame& frame, const TextRows& lines) {
    window::SetTextAlignment(0, 1);
    const std::int32_t half = window::CharHeight() / 2;
    for (const Real declination : {astro::Pi / 2, -astro::Pi / 2}) {
        const EquatorialSkyPoint pole = OverlayPoint(0, declination, frame);
        if (!pole.drawn) continue;
        const PixelPoint p = ScreenPoint(pole.projected.worldX, pole.projected.worldY);
        DrawRing(p.x, p.y, PoleRingRadius, OverlayColour);
        if (lines.Meet(p.y - half, p.y + half)) continue;
        window::SetTextBackground(LabelBackground(p.y));
        window::DrawText(p.x + 2 * PoleRingRadius, p.y, declination > 0 ? "N-Pol" : "S-Pol", OverlayColour);
    }
}

// "0h", "2h", ... "22h" beside the equator's points where it is above the
// horizon, up and to the right of the hour circle's crossing.
void DrawOverlayHourLabels(const SkyFrame& frame, const TextRows& lines) {
    window::SetTextAlignment(0, 0);
    window::SetTextBackground(-1);
    for (int k = 0; k < OverlayHourCircles; ++k) {
        const EquatorialSkyPoint q = OverlayPoint(k * OverlayHourStep, 0, frame);
        if (!q.drawn || !(q.altitude > 0)) continue;
        const PixelPoint p = ScreenPoint(q.projected.worldX, q.projected.worldY);
        const std::int32_t bottom = p.y - 2;
        if (lines.Meet(bottom - window::CharHeight(), bottom)) continue;
        window::DrawText(p.x + 3, bottom, std::to_string(2 * k) + "h", OverlayColour);
    }
}

// The Sun's and the Moon's right ascension and declination in the black
// band, centred above the date line.
void DrawEquatorialLine(const SkyFrame& frame, const TextRows& lines, std::int32_t screenCentreX) {
    const SceneState& scene = Scene();
    const EquatorialPosition sun = HorizonToEquatorial(scene.sunSky, frame);
    const EquatorialPosition moon = HorizonToEquatorial(scene.moonSky, frame);
    window::SetTextStyle("Courier", EquatorialLineSize, 1);
    window::SetTextAlignment(1, 2);
    window::SetTextBackground(window::Black);
    window::DrawText(
        screenCentreX, lines.top,
        EquatorialLineText(sun.rightAscension, sun.declination, moon.rightAscension, moon.declination),
        OverlayColour);
    window::SetTextStyle("Courier", 10, 0);
}

// The overlay of "a": the grid of equatorial coordinates as the sky of the
// frame turns it, the visible pole, the hour labels and the line of the Sun's
// and the Moon's coordinates.
} // namespace

void DrawEquatorialOverlay(std::int32_t screenCentreX) {
    const SkyFrame frame = OverlayFrame();
    constexpr int PoleToPole = 91;    // declination -90 to +90 degrees in steps of 2
    constexpr int AroundTheSky = 181; // right ascension 0 to 360 degrees in steps of 2
    for (int k = 0; k < OverlayHourCircles; ++k)
        DrawOverlayCurve(frame, PoleToPole, [k](int i, Real& rightAscension, Real& declination) {
            rightAscension = k * OverlayHourStep;
            declination = (2 * i - 90) * Degree;
        });
    for (const Real circle : OverlayDeclinations)
        DrawOverlayCurve(frame, AroundTheSky, [circle](int i, Real& rightAscension, Real& declination) {
            rightAscension = 2 * i * Degree;
            declination = circle;
        });
    const TextRows lines = EquatorialTextRows();
    DrawOverlayPoles(frame, lines);
    DrawOverlayHourLabels(frame, lines);
    DrawEquatorialLine(frame, lines, screenCentreX);
}

} // namespace app::insideview

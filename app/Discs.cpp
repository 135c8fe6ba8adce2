// The discs of the outside and the inside view, and the globe hooks.
//
// Frames of the outside view
// --------------------------
// Model frame, perspectives 0 and 1: ecliptic coordinates in Earth radii, X
// toward the vernal equinox, Z toward the ecliptic north pole (right-handed).
// Perspective 2: the horizon-based frame, Y toward the zenith, in a view from
// the north (NorthernHorizonView) X west and Z south, otherwise (the equator
// too) X east and Z north; with X to the right and Y up on the screen this
// frame is left-handed, so its viewer stands on the -Z side: north of the
// site looking south (south of it looking north).
//
// The globe's frame. TransformGlobePoint takes an Earth-fixed point (x toward
// longitude 0, y toward 90° east, z toward the north pole) through
//   S = (x, y, z) -> (x, -z, y)     the polar axis becomes -Y,
//   globeSpinMatrix                 about Y: the site's meridian to its
//                                   sidereal time (right ascension),
//   earthTiltMatrix                 about X by -23.5°: equator to ecliptic,
//   the view's inverse matrix       about X: the viewer's tilt,
// and the screen shows the result with x to the right and z up: y is the
// depth, growing away from the viewer. Before the last step the globe's frame
// is the model frame with its axes renamed, g = M p with
//   M = (X, Y, Z) -> (X, -Z, Y)      (a quarter turn about X):
// the Earth's north pole, S (0, 0, 1) = (0, -1, 0) tilted, comes out as
// M (0, sin 23.5°, cos 23.5°), the celestial pole in ecliptic coordinates.
//
// Which viewer the globe is drawn for. All view matrices are turns about X, so
// they commute with M, and the globe shows r = inverseViewMatrix p with r.X
// to the right, r.Y up and r.Z toward the viewer. The viewer therefore looks
// from the model direction viewMatrix (0, 0, 1): with no tilt the ecliptic
// north pole, with a tilt t (0, -sin t, cos t), at ecliptic latitude
// 90° - |t|.
//
// One viewer per picture. The Moon's position and the Sun's direction are
// taken into that same frame (ViewerCoordinates): M, then inverseViewMatrix,
// then screen x = .X, screen y = .Z, depth away from the viewer = .Y. Turning
// them with viewMatrix instead, as for a viewer at inverseViewMatrix (0, 0, 1),
// would mirror the view's tilt: the Moon's height on the screen would carry
// its ecliptic-latitude term with the wrong sign, and "in front" would mean
// "behind" at backward tilts.
// In perspective 2 the model frame already is the viewer's (x, y, depth). Its
// globe is drawn with the latitude-circle matrix alone: that turn, applied
// after the spin of that perspective, brings the site to the top of the disc
// with the zenith up, west (east in the south) to the right and the local
// south (north) away from the viewer, exactly the horizon frame: the branch of
// that matrix is the view's hemisphere. The tilt keys
// still change the view matrices, but they are not applied to this globe: the
// Moon, the Sun symbol and the horizon line of this perspective do not tilt,
// and a tilted globe under them would show another viewer's Earth.
//
// Phases. For the viewer's unit vector v toward the Sun: s = the angle of
// (v.X, v.Y) on the screen, e = the Sun's elevation behind the disc, the
// angle of v.Z (away from the viewer) over the screen plane. The angle psi
// between the directions toward the viewer and toward the Sun has
// cos psi = -sin e, and the lit share of the disc is (1 + cos psi) / 2. The
// disc is painted dark, the half toward the Sun lit, and then
//   e > 0 (Sun behind): a dark half ellipse of semi-axis r sin e over the lit
//                       half: a crescent of share (1 - sin e) / 2;
//   e <= 0 (Sun in front): a lit half ellipse of semi-axis r sin(-e) on the
//                       far half: a gibbous disc of share (1 + sin(-e)) / 2.
// The Sun's direction is taken from the Earth's centre for the Moon too: at
// 60 Earth radii from the Earth that changes it by less than 0.2°.
#include "app/Discs.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/MainLoop.h"
#include "app/Parameters.h"
#include "app/Scene.h"
#include "earth/Globe.h"
#include "window/Graphics.h"
#include "window/WorldWindow.h"

namespace app {

namespace {

using astro::Matrix3;
using astro::Vector3;

DiscState discState;

// The Earth's axis against the ecliptic's, radians.
constexpr Real EarthTilt = ObliquityRadians;
// The outside view shows the Sun symbol in the Sun's direction at this
// distance from the observer, in Earth radii.
constexpr Real SunSymbolDistance = 60;
// The globe's grid in the outside view, degrees.
constexpr Real GlobeGridSpacingDegrees = 30;
// Points of the disc closer to the rim than this (as x² + z² of the unit
// globe) are not drawn: the lines there would run into the disc's outline.
constexpr float VisibleRimLimit = 0.95f;

// m (x, y, z), without the length that ApplyMatrix keeps.
void Turn(const Matrix3& m, Real& x, Real& y, Real& z) {
    const Real a = m(0, 0) * x + m(0, 1) * y + m(0, 2) * z;
    const Real b = m(1, 0) * x + m(1, 1) * y + m(1, 2) * z;
    const Real c = m(2, 0) * x + m(2, 1) * y + m(2, 2) * z;
    x = a;
    y = b;
    z = c;
}

// The last turn of the globe's points: the view's inverse in perspectives 0
// and 1; in perspective 2 the latitude-circle view alone (see above).
const Matrix3& GlobeViewTurn() {
    const RunState& run = Run();
    return run.perspective == 2 ? run.latitudeViewInverse : run.inverseViewMatrix;
}

bool InsideViewShown() {
    return Params().viewMode == 0;
}

// A filled circle in `colour` with the window's black outline.
void Disc(std::int32_t x, std::int32_t y, std::int32_t r, int colour) {
    window::SetFillColour(255, colour, colour);
    window::FillEllipse(x, y, r, r);
}

// The filled half ellipse of the phase drawings: its diameter of half-length
// a along angleDeg (screen degrees, y up), its other semi-axis b toward
// angleDeg + 90°.
void Half(std::int32_t x, std::int32_t y, std::int32_t a, std::int32_t b, int colour, Real angleDeg) {
    window::DrawHalfEllipse(x, y, a, b, 255, colour, false, 1, angleDeg);
}

// The phase on a disc whose dark half is already there (or is the
// background): the half toward the Sun (screen direction sDeg) lit, then the
// terminator. behind is the sine of the Sun's elevation behind the disc
// (outside view) or of |phase angle| - 90° (inside view); both are the negated
// cosine of the angle between the viewer and the Sun.
void PaintPhase(std::int32_t x, std::int32_t y, std::int32_t r, int litColour, int darkColour, Real sDeg,
                Real behind) {
    Half(x, y, r, r, litColour, sDeg - 90);
    if (behind > 0)
        Half(x, y, r, astro::RoundToInt32(behind * r), darkColour, sDeg - 90);
    else
        Half(x, y, r, astro::RoundToInt32(-behind * r), litColour, sDeg + 90);
}

// The umbra's colour: the palette's Red at reduced intensity (of 255), a
// dark copper red; the inner penumbra keeps the disc's lit colour at this
// intensity, a little darker than the full one.
constexpr int UmbraColour = window::Red;
constexpr std::int32_t UmbraIntensity = 160;
constexpr std::int32_t PenumbraIntensity = 190;
// Pixels: how far beyond a disc's radius its drawing may reach.
constexpr Real RimReach = 0.71L;

// The shade of the disc's pixel whose centre is (u, v) (disc radii, y up)
// on a disc of r pixels. The phase drawing's polygons, whose corners are
// rounded to whole pixels, fill some pixels whose centres lie up to a
// corner's rounding (0.71 pixels) beyond the radius; the pixels of the rim
// take the shade half a pixel inside it, so that no lit pixel is left round
// an eclipsed disc (the limb itself would count as the Moon's night side
// where the shadow's axis, a degree off the line of sight, tilts it away).
DiscShade ShadeAt(const DiscShadow& shadow, Real u, Real v, std::int32_t r) {
    const Real rho = std::hypot(u, v);
    const Real inner = 1 - 0.5L / r;
    if (rho > inner && rho <= 1 + RimReach / r) {
        u *= inner / rho;
        v *= inner / rho;
    }
    return ShadeOfDiscPoint(shadow, u, v);
}

// Outline width and observer-dot radius for the Earth's radius: finer lines
// and a smaller dot once the Earth is more than 4.5 Moon radii.
bool LargeEarth() {
    const RunState& run = Run();
    return 2 * static_cast<std::int64_t>(run.earthRadiusPx) >
           9 * static_cast<std::int64_t>(run.outsideDiscRadius);
}

} // namespace

Matrix3 EarthTiltMatrix() {
    Matrix3 m;
    astro::RotationAboutX(m, -EarthTilt);
    return m;
}

DiscState& Discs() {
    return discState;
}

void ResetDiscState() {
    discState = DiscState{};
}

void PrepareDiscs() {
    const Parameters& p = Params();
    discState.observerGlobePoint = earth::SphericalToGlobePoint(p.longitude, p.latitude, 1);
}

Vector3 ViewerCoordinates(const Vector3& model) {
    if (Run().perspective == 2) return astro::MakeVector(model.X, model.Y, model.Z);
    Real x = model.X, y = -model.Z, z = model.Y; // M: into the globe's axes
    Turn(Run().inverseViewMatrix, x, y, z);
    return astro::MakeVector(x, z, y);
}

void DrawPhaseDisc(const Vector3& light, std::int32_t x, std::int32_t y, std::int32_t r, int litColour,
                   int darkColour) {
    r = std::max<std::int32_t>(r - 1, 0);
    Disc(x, y, r, darkColour);
    Vector3 v = ViewerCoordinates(light);
    astro::Normalise(v);
    const Real sDeg = astro::RadiansToDegrees(astro::AngleOfPoint(v.Y, v.X));
    const Real e = astro::AngleOfPoint(v.Z, std::hypot(v.X, v.Y));
    PaintPhase(x, y, r, litColour, darkColour, sDeg, std::sin(e));
}

void DrawMoon(int colour) {
    if (InsideViewShown()) return;
    const RunState& run = Run();
    const SceneState& scene = Scene();
    // Below the horizon of perspective 2 the Moon is neither drawn nor erased.
    if (run.perspective == 2 && scene.moonVector.Y < 0) return;
    const Vector3 v = ViewerCoordinates(scene.moonVector);
    const std::int32_t x = window::ScreenX(v.X);
    std::int32_t y = window::ScreenY(v.Y);
    // Perspective 2 has its origin at the observer, on top of the Earth's disc.
    if (run.perspective == 2) y = astro::SaturateToInt32(static_cast<std::int64_t>(y) - run.earthRadiusPx);
    if (colour == window::Black) {
        Disc(x, y, run.outsideDiscRadius, window::Black);
        return;
    }
    DrawPhaseDisc(scene.sunVector, x, y, run.outsideDiscRadius, window::LightGray, window::DarkGray);
    // The shadow for the same viewer; DrawPhaseDisc paints one pixel less.
    Vector3 moonDirection = scene.moonVector;
    astro::Normalise(moonDirection);
    const DiscShadow shadow =
        MakeDiscShadow(scene.shadow, ViewerCoordinates(scene.shadowVector), ViewerCoordinates(moonDirection));
    PaintDiscShadow(shadow, x, y, std::max<std::int32_t>(run.outsideDiscRadius - 1, 0), window::LightGray);
}

void DrawEarth(int colour) {
    if (InsideViewShown()) return;
    const RunState& run = Run();
    DiscState& d = discState;
    const bool large = LargeEarth();
    const std::int32_t dot = large ? 5 : ObserverDotRadiusPx;
    const std::int32_t outlineWidth = large ? 2 : 1;

    Disc(d.previousObserverX, d.previousObserverY, dot, window::Black);
    if (colour == window::Black)
        Disc(run.earthCentreX, run.earthCentreY,
             astro::SaturateToInt32(static_cast<std::int64_t>(run.earthRadiusPx) + 10), window::Black);
    else
        DrawPhaseDisc(Scene().sunVector, run.earthCentreX, run.earthCentreY, run.earthRadiusPx,
                      window::LightBlue, window::DarkGray);

    // An erased Earth still gets its lines and dot; the next drawing of the
    // Earth covers them.
    earth::DrawGlobe(TransformGlobePoint, ProjectGlobePoint, GlobePointVisible, window::White, outlineWidth,
                     true, GlobeGridSpacingDegrees, window::Black);

    const earth::GlobePoint p = TransformGlobePoint(d.observerGlobePoint);
    if (p.y < 0 || run.perspective == 2) {
        std::int32_t x = 0, y = 0;
        ProjectGlobePoint(p, x, y);
        Disc(x, y, dot, window::LightRed);
        d.previousObserverX = x;
        d.previousObserverY = y;
    }
}

bool SunSymbolCentre(std::int32_t& x, std::int32_t& y) {
    const RunState& run = Run();
    const Vector3& sun = Scene().sunVector;
    if (sun.Y < 0 || !(sun.Length > 0)) return false;
    // The observer, on top of the Earth's disc, and the Sun's place at its
    // full distance, in pixels.
    const Real ox = window::ScreenX(0);
    const Real oy = static_cast<Real>(window::ScreenY(0)) - run.earthRadiusPx;
    const Real fx = window::ScreenX(SunSymbolDistance * sun.X / sun.Length);
    const Real fy =
        static_cast<Real>(window::ScreenY(SunSymbolDistance * sun.Y / sun.Length)) - run.earthRadiusPx;
    // The picture: the disc lies on it while its centre is within the
    // viewport, which keeps a disc radius from the square's edges.
    const window::WorldWindowMap& w = window::CurrentWorldWindow();
    if (oy < w.top || oy > w.bottom) return false; // the Earth has outgrown the picture
    // The share of the way from the observer that stays within the picture.
    Real share = 1;
    auto limit = [&share](Real from, Real to, Real low, Real high) {
        if (to > high) share = std::min(share, (high - from) / (to - from));
        if (to < low) share = std::min(share, (low - from) / (to - from));
    };
    limit(ox, fx, w.left, w.right);
    limit(oy, fy, w.top, w.bottom);
    x = astro::RoundToInt32(ox + share * (fx - ox));
    y = astro::RoundToInt32(oy + share * (fy - oy));
    return true;
}

void DrawSunSymbol(int colour) {
    if (InsideViewShown()) return;
    const RunState& run = Run();
    DiscState& d = discState;
    // Erased once: a black disc stamped again in a later frame would cut
    // whatever was drawn over its place since.
    if (d.sunSymbolShown) Disc(d.previousSunX, d.previousSunY, run.outsideDiscRadius, window::Black);
    d.sunSymbolShown = false;
    std::int32_t x = 0, y = 0;
    if (colour == window::Black || !SunSymbolCentre(x, y)) return;
    Disc(x, y, run.outsideDiscRadius, colour);
    d.previousSunX = x;
    d.previousSunY = y;
    d.sunSymbolShown = true;
}

bool MoonInFrontOfEarth() {
    return ViewerCoordinates(Scene().moonVector).Z < 0;
}

void DrawMoonAndEarthInDepthOrder() {
    if (MoonInFrontOfEarth()) {
        DrawEarth(window::LightBlue);
        DrawMoon(window::LightGray);
    } else {
        DrawMoon(window::LightGray);
        DrawEarth(window::LightBlue);
    }
}

void DrawInsideSun(std::int32_t x, std::int32_t y, int colour) {
    const std::int32_t r = Run().insideDiscRadius;
    Disc(x, y, r, colour);
}

void DrawInsideMoon(std::int32_t x, std::int32_t y, std::int32_t r, int darkColour, int litColour,
                    Real limbAngle, Real q) {
    PaintPhase(x, y, r, litColour, darkColour, astro::RadiansToDegrees(limbAngle), std::sin(q));
}

void PaintDiscShadow(const DiscShadow& shadow, std::int32_t x, std::int32_t y, std::int32_t r,
                     int litColour) {
    if (!shadow.present || r < 1) return;
    // Row by row, the runs of one shade; a pixel counts by its centre. The
    // disc covers the rows y - r to y + r - 1 and as many columns.
    for (std::int32_t row = -r; row < r; ++row) {
        const std::int64_t screenRow = static_cast<std::int64_t>(y) + row;
        if (screenRow < 0 || screenRow > window::MaxY()) continue;
        const Real v = -(row + 0.5L) / r;
        DiscShade runShade = DiscShade::Unchanged;
        // Only the columns on the canvas, the last one past them ending the run.
        const std::int32_t first =
            static_cast<std::int32_t>(std::max<std::int64_t>(-r, -static_cast<std::int64_t>(x)));
        const std::int32_t end = static_cast<std::int32_t>(
            std::min<std::int64_t>(r, static_cast<std::int64_t>(window::MaxX()) + 1 - x));
        std::int32_t runStart = first;
        for (std::int32_t column = first; column <= end; ++column) {
            const DiscShade shade =
                column < end ? ShadeAt(shadow, (column + 0.5L) / r, v, r) : DiscShade::Unchanged;
            if (shade == runShade) continue;
            if (runShade == DiscShade::Umbra)
                window::SetFillColour(UmbraIntensity, UmbraColour, UmbraColour);
            else if (runShade == DiscShade::Penumbra)
                window::SetFillColour(PenumbraIntensity, litColour, litColour);
            if (runShade != DiscShade::Unchanged)
                window::FillRectangle(astro::SaturateToInt32(static_cast<std::int64_t>(x) + runStart),
                                      static_cast<std::int32_t>(screenRow), column - runStart, 1);
            runShade = shade;
            runStart = column;
        }
    }
}

void DrawInsideMoonShadow(std::int32_t x, std::int32_t y, std::int32_t r, int litColour) {
    const SceneState& scene = Scene();
    PaintDiscShadow(SkyDiscShadow(scene.shadow, scene.shadowScreenAngle), x, y, r, litColour);
}

namespace {

// The turn of TransformGlobePoint as one matrix: the view's turn times the
// Earth's tilt times its spin times S. Made in extended precision, used in
// double: a globe point has the 24 bits of a float, and a thousand points a
// frame are cheaper in double than in three extended-precision turns.
const double (&GlobeTurn())[3][3] {
    DiscState& d = discState;
    const std::uint64_t drawing = earth::GlobeDrawingSerial();
    if (drawing != 0 && d.globeTurnDrawing == drawing) return d.globeTurn;
    Matrix3 t;
    astro::MultiplyMatrices(d.earthTiltMatrix, Scene().globeSpinMatrix, t);
    astro::MultiplyMatrices(GlobeViewTurn(), t, t);
    for (int i = 0; i < 3; ++i) {
        // S = (x, y, z) -> (x, -z, y) taken into the columns.
        d.globeTurn[i][0] = static_cast<double>(t(i, 0));
        d.globeTurn[i][1] = static_cast<double>(t(i, 2));
        d.globeTurn[i][2] = static_cast<double>(-t(i, 1));
    }
    d.globeTurnDrawing = drawing;
    return d.globeTurn;
}

} // namespace

earth::GlobePoint TransformGlobePoint(const earth::GlobePoint& point) {
    const double(&m)[3][3] = GlobeTurn();
    const double x = point.x, y = point.y, z = point.z;
    earth::GlobePoint q = point;
    q.x = static_cast<float>(m[0][0] * x + m[0][1] * y + m[0][2] * z);
    q.y = static_cast<float>(m[1][0] * x + m[1][1] * y + m[1][2] * z);
    q.z = static_cast<float>(m[2][0] * x + m[2][1] * y + m[2][2] * z);
    return q;
}

void ProjectGlobePoint(const earth::GlobePoint& point, std::int32_t& x, std::int32_t& y) {
    const RunState& run = Run();
    // In double: r·x is exact (a float times a radius below 2^29), and the sum
    // with the centre rounds to the same integer as in extended precision for
    // any disc up to 2^17 pixels; nearbyint of a double costs a fraction of
    // the extended one.
    const double r = run.earthRadiusPx;
    x = astro::TruncToInt32(std::nearbyint(r * point.x + run.earthCentreX));
    y = astro::TruncToInt32(std::nearbyint(run.earthCentreY - r * point.z));
}

bool GlobePointVisible(const earth::GlobePoint& point) {
    if (!(point.y < 0)) return false;
    return point.x * point.x + point.z * point.z < VisibleRimLimit;
}

// The globe's hooks are the outside view's disc operations above.
void InstallGlobeHooks() {
    earth::SetGlobeHooks(TransformGlobePoint, ProjectGlobePoint, GlobePointVisible);
}

} // namespace app

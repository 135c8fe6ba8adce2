#include "app/Scene.h"

#include <cmath>

#include "app/MainLoop.h"
#include "app/Parameters.h"
#include "astro/Moon.h"
#include "astro/Sun.h"
#include "astro/TimeScales.h"
#include "window/Graphics.h"
#include "window/WorldWindow.h"

namespace app {

namespace {

using astro::Matrix3;
using astro::SphericalPos;
using astro::Vector3;

// The arc from the Moon toward the Sun along which the bright-limb point is
// placed: pi/18 as the length of a tangent, about 10 degrees.
constexpr Real LimbStep = astro::Pi / 18;

// Step 1 of both computations: the civil date and MEZ clock of the current
// instant go into the record's date fields (the labels show them), and the
// local sidereal time of that instant at the site's longitude.
void UpdateDateAndSiderealTime() {
    Parameters& p = Params();
    astro::CalendarDate date;
    Real clock = 0;
    astro::CivilFromJulianDate(date, clock, Run().currentJD);
    p.startDay = date.Day;
    p.startMonth = date.Month;
    p.startYear = date.Year;
    p.startTime = clock;
    Scene().localSiderealTime = astro::LocalSiderealTime(date, clock, p.longitude);
}

// An ecliptic vector turned into the observer's horizon: ecliptic to
// equatorial with the obliquity, to right ascension and declination, to
// azimuth (from south, toward west) and altitude. The result keeps the
// vector's length; `altitude` receives the altitude in radians.
Vector3 EclipticToHorizon(Vector3 v, Real& altitude) {
    const Parameters& p = Params();
    const SceneState& s = Scene();
    astro::RotatePair(v.Y, v.Z, p.sinObliquity, p.cosObliquity);
    SphericalPos position;
    astro::VectorToSpherical(v, position);
    astro::EquatorialToHorizon(position.Longitude, position.Latitude, s.sinLatitude, s.cosLatitude,
                               s.localSiderealTime);
    altitude = position.Latitude;
    Vector3 h;
    astro::SphericalToVector(position, h);
    return h;
}

// Whether the horizon-based outside view (perspective 2) is drawn for a
// northern site. A site on the equator itself is drawn like a southern one:
// the view matrix of the latitude-circle perspective, which perspective 2
// keeps, takes its southern branch for a latitude of 0 or less, and the
// globe's spin and the sky's axes must follow the same branch, or the globe
// comes out upside down under the horizon line with the site at its bottom.
bool NorthernHorizonView(Real latitude) {
    return latitude > 0;
}

// A horizon vector h (X south, Y west, Z up) in the model frame of the
// horizon-based outside view: the zenith becomes the model's Y axis, so the
// horizon is the plane Y = 0. At a northern site the model X points west
// and Z south; otherwise both are reversed (east and north), so that the
// picture looks toward the Sun's side of the sky in both hemispheres.
Vector3 HorizonToModel(const Vector3& h, Real latitude) {
    if (NorthernHorizonView(latitude)) return astro::MakeVector(h.Y, h.Z, h.X);
    return astro::MakeVector(-h.Y, h.Z, -h.X);
}

// The unit direction of an ecliptic longitude and latitude.
Vector3 EclipticDirection(Real longitude, Real latitude) {
    Vector3 v;
    astro::SphericalToVector(SphericalPos{1, longitude, latitude}, v);
    return v;
}

} // namespace

SunHeightClass ClassifySunAltitude(Real altitude) {
    SunHeightClass c;
    c.aboveHorizon = altitude > 0;
    c.inTwilight = altitude < 0 && altitude > TwilightLimit;
    c.skyColour = c.aboveHorizon ? window::LightBlue : c.inTwilight ? window::Blue : window::Black;
    return c;
}

void PrepareScene() {
    const Parameters& p = Params();
    SceneState& s = Scene();
    s.sinLatitude = std::sin(p.latitude);
    s.cosLatitude = std::cos(p.latitude);
    astro::RotationAboutZ(s.azimuthMatrix, -p.centralAzimuth);
}

void SetInsideWorldWindow(std::int32_t maxX, std::int32_t maxY) {
    if (maxX < 1 || maxY < 1) return;
    const Real w = Run().insideHalfWidth;
    const Real aspect = static_cast<Real>(maxY) / static_cast<Real>(maxX);
    window::SetViewport(0, maxX, 0, maxY);
    window::SetWorldWindow(-w, w, -0.5L * w * aspect, 1.5L * w * aspect);
}

void ComputeOutsideScene() {
    const Parameters& p = Params();
    const RunState& run = Run();
    SceneState& s = Scene();
    UpdateDateAndSiderealTime();

    // The globe's turn about its polar axis (the Y axis of the globe's model
    // frame): with the sky, so that the site's meridian faces the local
    // sidereal time; in the horizon-based perspective the Earth rests, turned
    // so that the Earth's tilt and the latitude view applied after it bring
    // the site to the top of the disc.
    Real spin = 0;
    if (run.perspective != 2)
        spin = p.longitude - s.localSiderealTime;
    else if (NorthernHorizonView(p.latitude))
        spin = p.longitude - astro::Pi / 2;
    else
        spin = p.longitude + astro::Pi / 2;
    astro::RotationAboutY(s.globeSpinMatrix, spin);
    astro::RotationAboutY(s.globeSpinInverse, -spin);

    const Real T = astro::CenturiesSinceJ2000(run.currentJD);

    Real sunDistanceAU = 0;
    astro::SunPosition(T, s.sunEcliptic.Longitude, s.sunEcliptic.Latitude, sunDistanceAU);
    s.sunEcliptic.Radius = sunDistanceAU * EarthRadiiPerAU;
    astro::SphericalToVector(s.sunEcliptic, s.sunVector);

    astro::MoonPosition(T, s.moonEcliptic.Longitude, s.moonEcliptic.Latitude, s.moonEcliptic.Radius);
    astro::SphericalToVector(s.moonEcliptic, s.moonVector);

    if (run.perspective == 2) {
        Real altitude = 0;
        s.sunVector = HorizonToModel(EclipticToHorizon(s.sunVector, altitude), p.latitude);
        // The Moon is drawn at a fixed distance in this perspective; the Sun
        // keeps its own.
        Vector3 h = EclipticToHorizon(s.moonVector, altitude);
        astro::ScaleVector(h, HorizonMoonDistance / h.Length);
        s.moonVector = HorizonToModel(h, p.latitude);
    }
}

void ComputeInsideScene() {
    const Parameters& p = Params();
    const RunState& run = Run();
    SceneState& s = Scene();
    UpdateDateAndSiderealTime();

    const Real T = astro::CenturiesSinceJ2000(run.currentJD);
    Real sunLongitude = 0, sunLatitude = 0, sunDistanceAU = 0;
    astro::SunPosition(T, sunLongitude, sunLatitude, sunDistanceAU);
    s.sunSky = EclipticToHorizon(EclipticDirection(sunLongitude, sunLatitude), s.sunAltitude);

    const SunHeightClass height = ClassifySunAltitude(s.sunAltitude);
    s.sunAboveHorizon = height.aboveHorizon;
    s.sunInTwilight = height.inTwilight;
    s.skyColour = height.skyColour;

    bool visible = false;
    ProjectSky(p.eyePoint, s.sunSky, s.sunWorldX, visible, s.sunWorldY);

    // The Moon's direction is geocentric: no parallax for the site.
    Real moonLongitude = 0, moonLatitude = 0, moonDistance = 0;
    astro::MoonPosition(T, moonLongitude, moonLatitude, moonDistance);
    s.moonSky = EclipticToHorizon(EclipticDirection(moonLongitude, moonLatitude), s.moonAltitude);
    ProjectSky(p.eyePoint, s.moonSky, s.moonWorldX, visible, s.moonWorldY);

    // Bright limb: the great circle through Moon and Sun, and on it a point
    // about 10 degrees from the Moon toward the Sun; the screen direction
    // from the projected Moon to that point's projection. With the Sun and
    // the Moon exactly together or opposite the circle is undefined: the
    // normal is the zero vector, the point is the Moon itself and the angle 0.
    Vector3 n;
    astro::CrossProduct(s.sunSky, s.moonSky, n);
    astro::Normalise(n);
    Vector3 d;
    astro::CrossProduct(s.moonSky, n, d);
    astro::Normalise(d);
    astro::ScaleVector(d, LimbStep);
    Vector3 limbPoint;
    astro::VectorSum(s.moonSky, d, limbPoint);
    Real mx = s.moonWorldX, my = s.moonWorldY;
    Real px = mx, py = my;
    ProjectSky(p.eyePoint, limbPoint, px, visible, py);
    // Screen rows grow downward, hence the order of the first difference.
    s.brightLimbAngle = astro::AngleOfPoint(static_cast<Real>(window::ScreenY(my)) - window::ScreenY(py),
                                            static_cast<Real>(window::ScreenX(px)) - window::ScreenX(mx));

    // Phase angle: the angle at the Moon between the directions to the Sun
    // and to the Earth. The Moon is placed at outsideDiscRadius Earth radii
    // (in AU, like the Sun's distance); the sign is that of the Z component
    // of Sun x Moon in the ecliptic frame: positive while the Moon is less
    // than 180 degrees east of the Sun (waxing), negative while waning.
    Vector3 sun;
    astro::SphericalToVector(SphericalPos{sunDistanceAU, sunLongitude, sunLatitude}, sun);
    Vector3 moon;
    astro::SphericalToVector(
        SphericalPos{static_cast<Real>(run.outsideDiscRadius) / EarthRadiiPerAU, moonLongitude, moonLatitude},
        moon);
    Vector3 c;
    astro::CrossProduct(sun, moon, c);
    Vector3 sunToMoon;
    astro::VectorDifference(moon, sun, sunToMoon);
    astro::Normalise(sunToMoon);
    astro::Normalise(moon);
    s.phaseAngle = astro::ArcCosine(astro::DotProduct(sunToMoon, moon));
    if (c.Z < 0) s.phaseAngle = -s.phaseAngle;
}

void ProjectSky(const Vector3& eye, const Vector3& direction, Real& worldX, bool& visible, Real& worldY) {
    Vector3 P = direction;
    astro::ApplyMatrix(Scene().azimuthMatrix, P);
    if (P.X == eye.X) {
        visible = false;
        return;
    }
    const Real t = (1 - eye.X) / (P.X - eye.X);
    worldX = (P.Y - eye.Y) * t + eye.Y;
    worldY = (P.Z - eye.Z) * t + eye.Z;
    Vector3 sight;
    astro::VectorDifference(P, eye, sight);
    visible = astro::DotProduct(P, sight) > 0;
}

} // namespace app

#include "app/SceneGeometry.h"

#include <cmath>

#include "astro/Moon.h"
#include "astro/Sun.h"
#include "window/Graphics.h" // the palette's colour numbers only

namespace app {

namespace {

using astro::Matrix3;
using astro::SphericalPos;
using astro::Vector3;

// The arc from the Moon toward the Sun along which the bright-limb point is
// placed: pi/18 as the length of a tangent, about 10 degrees.
constexpr Real LimbStep = astro::Pi / 18;

// The screen direction (radians, counter-clockwise from the x axis, y up)
// from the projected Moon toward its bright limb: along the great circle
// through the Moon and the Sun, a point about 10 degrees from the Moon
// toward the Sun is projected too. With the Sun and the Moon exactly
// together or opposite the circle is undefined: the normal is the zero
// vector, the point is the Moon itself and the angle 0.
Real BrightLimbAngle(const InsideSceneInput& in, const Vector3& sunSky, const Vector3& moonSky,
                     const SkyPoint& moon) {
    Vector3 n;
    astro::CrossProduct(sunSky, moonSky, n);
    astro::Normalise(n);
    Vector3 d;
    astro::CrossProduct(moonSky, n, d);
    astro::Normalise(d);
    astro::ScaleVector(d, LimbStep);
    Vector3 limbPoint;
    astro::VectorSum(moonSky, d, limbPoint);
    SkyPoint limb = ProjectSkyPoint(in.azimuthMatrix, in.eye, limbPoint);
    if (!limb.defined) {
        limb.worldX = moon.worldX;
        limb.worldY = moon.worldY;
    }
    // Screen rows grow downward, hence the order of the first difference.
    const window::WorldWindowMap& w = in.world;
    return astro::AngleOfPoint(
        static_cast<Real>(window::ScreenY(w, moon.worldY)) - window::ScreenY(w, limb.worldY),
        static_cast<Real>(window::ScreenX(w, limb.worldX)) - window::ScreenX(w, moon.worldX));
}

// The screen direction (radians, y up) from the projected Moon toward the
// projected shadow's axis, a degree or less away: the position angle of the
// shadow's centre in the picture, not rounded to whole pixels. An axis that
// does not project gives 0 (the Moon then is not drawn either).
Real ShadowScreenAngle(const InsideSceneInput& in, const Vector3& axisSky, const SkyPoint& moon) {
    const SkyPoint axis = ProjectSkyPoint(in.azimuthMatrix, in.eye, axisSky);
    if (!axis.defined) return 0;
    return astro::AngleOfPoint((axis.worldY - moon.worldY) * in.world.scaleY,
                               (axis.worldX - moon.worldX) * in.world.scaleX);
}

// The shadow of the instant from the two series' geometric vectors in Earth radii.
astro::LunarShadow ComputeShadow(const SunAndMoon& bodies) {
    Vector3 sun, moon;
    astro::SphericalToVector(bodies.sun, sun);
    astro::SphericalToVector(bodies.moon, moon);
    return astro::ComputeLunarShadow(sun, moon);
}

} // namespace

Vector3 EyePoint() {
    return astro::MakeVector(-1.05L, 0, 0.35L);
}

Site MakeSite(Real latitude, Real longitude) {
    return Site{latitude, longitude, std::sin(latitude), std::cos(latitude)};
}

Instant MakeInstant(Real jd, Real longitude) {
    Instant t;
    t.jd = jd;
    astro::CivilFromJulianDate(t.date, t.clock, jd);
    t.localSiderealTime = astro::LocalSiderealTime(t.date, t.clock, longitude);
    return t;
}

bool InSupportedRange(Real jd) {
    return jd >= FirstSupportedJD && jd <= LastSupportedJD;
}

bool InSupportedRangeUpToRounding(Real jd) {
    // 1e-6 days, about a tenth of a second: far above the rounding of the
    // calendar conversion and of a few thousand steps, far below a minute.
    constexpr Real Rounding = 1e-6L;
    return jd >= FirstSupportedJD - Rounding && jd <= LastSupportedJD + Rounding;
}

Real ClampToSupportedRange(Real jd) {
    if (jd > LastSupportedJD) return LastSupportedJD;
    return jd >= FirstSupportedJD ? jd : FirstSupportedJD; // NaN too
}

namespace {

// The date with its month in 1 to 12, the whole years of the month carried
// into the year (saturated: such a year lies far outside the range anyway).
astro::CalendarDate WithMonthInItsYear(const astro::CalendarDate& date) {
    const std::int64_t months = static_cast<std::int64_t>(date.Year) * 12 + date.Month - 1;
    const std::int64_t year = months >= 0 ? months / 12 : -((11 - months) / 12);
    return astro::CalendarDate{date.Day, static_cast<std::int32_t>(months - year * 12 + 1),
                               astro::SaturateToInt32(year)};
}

} // namespace

Real StartJulianDate(const astro::CalendarDate& date, Real clock) {
    return astro::JulianDateFromCivil(WithMonthInItsYear(date), clock);
}

bool StartInSupportedRange(const astro::CalendarDate& date, Real clock) {
    // Before March -4712 the conversion's truncations no longer act as the
    // floor: a date there would come out a day late, perhaps inside the range.
    const astro::CalendarDate d = WithMonthInItsYear(date);
    if (d.Year < -4712 || (d.Year == -4712 && d.Month < 3)) return false;
    // The conversion's rounding may put a start typed at an end of the range
    // a hair outside it (1.3.-4712, 1.00 comes out below 59.5).
    return InSupportedRangeUpToRounding(astro::JulianDateFromCivil(d, clock));
}

bool StartDateInSupportedRange(const astro::CalendarDate& date) {
    return StartInSupportedRange(date, 12);
}

bool TimeStepSupported(Real clockStep) {
    return std::fabs(astro::HoursFromClock(clockStep) / 24) <= LongestTimeStep; // NaN: false
}

Real DoubledTimeStep(Real step) {
    const Real doubled = 2 * step;
    return std::fabs(doubled) <= LongestTimeStep ? doubled : step;
}

SkyFrame MakeSkyFrame(const Site& site, Real localSiderealTime, Real obliquity) {
    return SkyFrame{site.sinLatitude, site.cosLatitude, localSiderealTime, std::sin(obliquity),
                    std::cos(obliquity)};
}

SkyPosition EclipticToSky(const Vector3& ecliptic, const SkyFrame& frame) {
    Vector3 v = ecliptic;
    astro::RotatePair(v.Y, v.Z, frame.sinObliquity, frame.cosObliquity);
    SphericalPos position;
    astro::VectorToSpherical(v, position);
    SkyPosition sky;
    sky.rightAscension = position.Longitude;
    sky.declination = position.Latitude;
    astro::EquatorialToHorizon(position.Longitude, position.Latitude, frame.sinLatitude, frame.cosLatitude,
                               frame.localSiderealTime);
    sky.azimuth = position.Longitude;
    sky.altitude = position.Latitude;
    astro::SphericalToVector(position, sky.horizontal);
    return sky;
}

Vector3 EclipticDirection(Real longitude, Real latitude) {
    Vector3 v;
    astro::SphericalToVector(SphericalPos{1, longitude, latitude}, v);
    return v;
}

SunAndMoon ComputeSunAndMoon(Real jd) {
    const Real T = astro::CenturiesSinceJ2000(jd);
    SunAndMoon b;
    astro::SunPosition(T, b.sun.Longitude, b.sun.Latitude, b.sunDistanceAU);
    b.sun.Radius = b.sunDistanceAU * EarthRadiiPerAU;
    astro::MoonPosition(T, b.moon.Longitude, b.moon.Latitude, b.moon.Radius);
    return b;
}

SunHeightClass ClassifySunAltitude(Real altitude) {
    SunHeightClass c;
    c.aboveHorizon = altitude > 0;
    c.inTwilight = altitude < 0 && altitude > TwilightLimit;
    c.skyColour = c.aboveHorizon ? window::LightBlue : c.inTwilight ? window::Blue : window::Black;
    return c;
}

bool NorthernHorizonView(Real latitude) {
    return latitude > 0;
}

Vector3 HorizonToModel(const Vector3& h, Real latitude) {
    if (NorthernHorizonView(latitude)) return astro::MakeVector(h.Y, h.Z, h.X);
    return astro::MakeVector(-h.Y, h.Z, -h.X);
}

SkyPoint ProjectSkyPoint(const Matrix3& azimuthMatrix, const Vector3& eye, const Vector3& direction) {
    Vector3 P = direction;
    astro::ApplyMatrix(azimuthMatrix, P);
    SkyPoint point;
    if (P.X == eye.X) return point;
    const Real t = (1 - eye.X) / (P.X - eye.X);
    point.defined = true;
    point.worldX = (P.Y - eye.Y) * t + eye.Y;
    point.worldY = (P.Z - eye.Z) * t + eye.Z;
    Vector3 sight;
    astro::VectorDifference(P, eye, sight);
    point.visible = astro::DotProduct(P, sight) > 0;
    return point;
}

EquatorialSkyPoint ProjectEquatorialPoint(Real rightAscension, Real declination, const SkyFrame& frame,
                                          const Matrix3& azimuthMatrix, const Vector3& eye) {
    Real a = rightAscension, b = declination;
    astro::EquatorialToHorizon(a, b, frame.sinLatitude, frame.cosLatitude, frame.localSiderealTime);
    EquatorialSkyPoint point;
    point.azimuth = a;
    point.altitude = b;
    astro::SphericalToVector(SphericalPos{1, a, b}, point.horizontal);
    point.projected = ProjectSkyPoint(azimuthMatrix, eye, point.horizontal);
    point.drawn = point.projected.defined && point.projected.visible && b >= 0;
    return point;
}

EquatorialPosition HorizonToEquatorial(const Vector3& horizontal, const SkyFrame& frame) {
    // The hour-angle frame: x toward the upper meridian on the equator, y
    // toward west, z toward the celestial north pole. The horizon frame is
    // this one turned about the west axis by 90 degrees minus the latitude.
    const Real sinLat = frame.sinLatitude, cosLat = frame.cosLatitude;
    const Vector3 h = horizontal;
    const Vector3 e = astro::MakeVector(h.X * sinLat + h.Z * cosLat, h.Y, h.Z * sinLat - h.X * cosLat);
    SphericalPos hourAngle;
    astro::VectorToSpherical(e, hourAngle);
    EquatorialPosition p;
    p.declination = hourAngle.Latitude;
    p.rightAscension = std::fmod(frame.localSiderealTime - hourAngle.Longitude, astro::TwoPi);
    if (p.rightAscension < 0) p.rightAscension += astro::TwoPi;
    if (p.rightAscension >= astro::TwoPi) p.rightAscension = 0;
    return p;
}

window::WorldWindowMap InsideWorldWindow(std::int32_t maxX, std::int32_t maxY, Real halfWidth) {
    const Real aspect = static_cast<Real>(maxY) / static_cast<Real>(maxX);
    window::WorldWindowMap map = window::WithViewport({}, 0, maxX, 0, maxY);
    return window::WithWorldWindow(map, -halfWidth, halfWidth, -0.5L * halfWidth * aspect,
                                   1.5L * halfWidth * aspect);
}

Real PhaseAngle(const SunAndMoon& bodies, Real moonPlacementDistance) {
    // Both vectors in AU: the Sun at its distance, the Moon at the placement
    // distance in its own direction.
    Vector3 sun;
    astro::SphericalToVector(SphericalPos{bodies.sunDistanceAU, bodies.sun.Longitude, bodies.sun.Latitude},
                             sun);
    Vector3 moon;
    astro::SphericalToVector(
        SphericalPos{moonPlacementDistance / EarthRadiiPerAU, bodies.moon.Longitude, bodies.moon.Latitude},
        moon);
    Vector3 c;
    astro::CrossProduct(sun, moon, c);
    Vector3 sunToMoon;
    astro::VectorDifference(moon, sun, sunToMoon);
    astro::Normalise(sunToMoon);
    astro::Normalise(moon);
    const Real angle = astro::ArcCosine(astro::DotProduct(sunToMoon, moon));
    return c.Z < 0 ? -angle : angle;
}

Real IlluminatedFraction(Real phase) {
    return (1 + std::cos(phase)) / 2;
}

InsideSceneResult ComputeInsideScene(const InsideSceneInput& in) {
    InsideSceneResult r;
    r.instant = MakeInstant(in.jd, in.site.longitude);
    const SkyFrame frame = MakeSkyFrame(in.site, r.instant.localSiderealTime, in.obliquity);
    r.bodies = ComputeSunAndMoon(in.jd);

    r.sun = EclipticToSky(EclipticDirection(r.bodies.sun.Longitude, r.bodies.sun.Latitude), frame);
    r.sunSky = r.sun.horizontal;
    r.sunAltitude = r.sun.altitude;
    r.height = ClassifySunAltitude(r.sunAltitude);
    const SkyPoint sun = ProjectSkyPoint(in.azimuthMatrix, in.eye, r.sunSky);
    r.sunWorldX = sun.worldX;
    r.sunWorldY = sun.worldY;

    // The Moon's direction is geocentric: no parallax for the site.
    r.moon = EclipticToSky(EclipticDirection(r.bodies.moon.Longitude, r.bodies.moon.Latitude), frame);
    r.moonSky = r.moon.horizontal;
    r.moonAltitude = r.moon.altitude;
    const SkyPoint moon = ProjectSkyPoint(in.azimuthMatrix, in.eye, r.moonSky);
    r.moonWorldX = moon.worldX;
    r.moonWorldY = moon.worldY;

    r.brightLimbAngle = BrightLimbAngle(in, r.sunSky, r.moonSky, moon);
    r.phaseAngle = PhaseAngle(r.bodies, in.moonPlacementDistance);

    r.shadow = ComputeShadow(r.bodies);
    r.shadowScreenAngle = ShadowScreenAngle(in, EclipticToSky(r.shadow.shadowAxis, frame).horizontal, moon);
    return r;
}

OutsideSceneResult ComputeOutsideScene(const OutsideSceneInput& in) {
    OutsideSceneResult r;
    r.instant = MakeInstant(in.jd, in.site.longitude);
    const Real latitude = in.site.latitude;

    // The globe's turn about its polar axis (the Y axis of the globe's model
    // frame): with the sky, so that the site's meridian faces the local
    // sidereal time; in the horizon-based perspective the Earth rests, turned
    // so that the Earth's tilt and the latitude view applied after it bring
    // the site to the top of the disc.
    Real spin = 0;
    if (in.perspective != 2)
        spin = in.site.longitude - r.instant.localSiderealTime;
    else if (NorthernHorizonView(latitude))
        spin = in.site.longitude - astro::Pi / 2;
    else
        spin = in.site.longitude + astro::Pi / 2;
    astro::RotationAboutY(r.globeSpinMatrix, spin);
    astro::RotationAboutY(r.globeSpinInverse, -spin);

    r.bodies = ComputeSunAndMoon(in.jd);
    astro::SphericalToVector(r.bodies.sun, r.sunVector);
    astro::SphericalToVector(r.bodies.moon, r.moonVector);
    r.shadow = astro::ComputeLunarShadow(r.sunVector, r.moonVector);
    r.shadowVector = r.shadow.shadowAxis;

    if (in.perspective == 2) {
        const SkyFrame frame = MakeSkyFrame(in.site, r.instant.localSiderealTime, in.obliquity);
        r.shadowVector = HorizonToModel(EclipticToSky(r.shadowVector, frame).horizontal, latitude);
        r.sunVector = HorizonToModel(EclipticToSky(r.sunVector, frame).horizontal, latitude);
        // The Moon is drawn at a fixed distance in this perspective; the Sun
        // keeps its own.
        Vector3 h = EclipticToSky(r.moonVector, frame).horizontal;
        astro::ScaleVector(h, HorizonMoonDistance / h.Length);
        r.moonVector = HorizonToModel(h, latitude);
    }
    return r;
}

// ---- The Earth's shadow on the Moon's disc -----------------------------------

DiscShadow MakeDiscShadow(const astro::LunarShadow& shadow, const Vector3& axis,
                          const Vector3& moonDirection) {
    DiscShadow d;
    d.present = shadow.kind != astro::EclipseKind::None && shadow.moonRadius > 0;
    if (!d.present) return d;
    d.axis = axis;
    astro::Normalise(d.axis);
    Vector3 moon = moonDirection;
    astro::Normalise(moon);
    // The Moon's unit direction less its part along the axis: the sine of
    // the separation, which over the Moon's angular radius is the distance
    // in Moon radii.
    Vector3 along = d.axis;
    astro::ScaleVector(along, astro::DotProduct(moon, d.axis));
    astro::VectorDifference(moon, along, d.offset);
    astro::ScaleVector(d.offset, 1 / shadow.moonRadius);
    d.umbra = shadow.umbraRadius / shadow.moonRadius;
    d.visiblePenumbra = (shadow.umbraRadius + shadow.penumbraRadius) / (2 * shadow.moonRadius);
    return d;
}

DiscShadow SkyDiscShadow(const astro::LunarShadow& shadow, Real shadowScreenAngle) {
    const Real s = std::sin(shadow.separation);
    return MakeDiscShadow(shadow,
                          astro::MakeVector(s * std::cos(shadowScreenAngle), s * std::sin(shadowScreenAngle),
                                            std::cos(shadow.separation)),
                          astro::MakeVector(0, 0, 1));
}

DiscShade ShadeOfDiscPoint(const DiscShadow& shadow, Real u, Real v) {
    const Real w2 = 1 - u * u - v * v;
    if (!shadow.present || !(w2 >= 0)) return DiscShade::Unchanged;
    // The point of the visible hemisphere, on the viewer's side (Z < 0).
    const Vector3 p = astro::MakeVector(u, v, -std::sqrt(w2));
    const Real along = astro::DotProduct(p, shadow.axis);
    if (along >= 0) return DiscShade::Unchanged; // the Moon's night side
    // The point's distance from the axis, perpendicular to it.
    const Real x = shadow.offset.X + p.X - along * shadow.axis.X;
    const Real y = shadow.offset.Y + p.Y - along * shadow.axis.Y;
    const Real z = shadow.offset.Z + p.Z - along * shadow.axis.Z;
    const Real d2 = x * x + y * y + z * z;
    if (d2 < shadow.umbra * shadow.umbra) return DiscShade::Umbra;
    if (d2 < shadow.visiblePenumbra * shadow.visiblePenumbra) return DiscShade::Penumbra;
    return DiscShade::Unchanged;
}

} // namespace app

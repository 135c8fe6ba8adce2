#include "astro/Eclipse.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "astro/Moon.h"
#include "astro/Sun.h"
#include "astro/TimeScales.h"

namespace astro {

namespace {

constexpr Real NaN = std::numeric_limits<Real>::quiet_NaN();
constexpr Real ArcsecondsPerRadian = 648000 / Pi;

// The annual aberration of the Sun at 1 AU: its apparent longitude is the
// geometric one minus this over the distance in AU (arcseconds).
constexpr Real SunAberrationArcsec = 20.4898L;

// The mean motion of the Moon's elongation from the Sun, radians per day
// (360 degrees in a mean synodic month of 29.530589 days).
constexpr Real MeanElongationRate = 2 * Pi / 29.530589L;

// Search windows and resolutions, days. The greatest eclipse lies within
// half an hour of the opposition in longitude; a contact lies within 3.5
// hours of the greatest eclipse (the penumbra's radius and the Moon's,
// 1.6 degrees, over the least relative speed of the Moon, 0.45 degrees per
// hour).
constexpr Real GreatestWindow = 0.25L;
constexpr Real ContactWindow = 0.3L;
constexpr Real TimeResolution = 1e-7L;
constexpr Real GreatestResolution = 1e-8L;
constexpr int MaxIterations = 100;

Vector3 UnitVector(const Vector3& v) {
    Vector3 u = MakeVector(v.X, v.Y, v.Z);
    if (!(u.Length > 0)) return MakeVector(NaN, NaN, NaN);
    return MakeVector(u.X / u.Length, u.Y / u.Length, u.Z / u.Length);
}

// The angle between two unit vectors, accurate for small angles too.
Real AngleBetween(const Vector3& a, const Vector3& b) {
    Vector3 c;
    CrossProduct(a, b, c);
    return std::atan2(c.Length, DotProduct(a, b));
}

// The Moon's elongation from the opposition point in ecliptic longitude,
// radians in [-pi, pi]: positive after the full Moon.
Real ElongationFromOpposition(Real jd) {
    const Real T = CenturiesSinceJ2000(jd);
    Real sunLongitude = 0, sunLatitude = 0, sunDistance = 0;
    Real moonLongitude = 0, moonLatitude = 0, moonDistance = 0;
    SunPosition(T, sunLongitude, sunLatitude, sunDistance);
    MoonPosition(T, moonLongitude, moonLatitude, moonDistance);
    return std::remainder(moonLongitude - sunLongitude - Pi, TwoPi);
}

// Which circle a contact is a tangency with.
enum class Tangency { PenumbraOutside, UmbraOutside, UmbraInside };

// Negative while the Moon's limb is past the tangency, positive before it.
Real ContactFunction(Real jd, Tangency tangency) {
    const LunarShadow s = ComputeLunarShadow(jd);
    switch (tangency) {
    case Tangency::PenumbraOutside:
        return s.separation - (s.penumbraRadius + s.moonRadius);
    case Tangency::UmbraOutside:
        return s.separation - (s.umbraRadius + s.moonRadius);
    case Tangency::UmbraInside:
        return s.separation - (s.umbraRadius - s.moonRadius);
    }
    return NaN;
}

// The instant between `inside` (contact function negative) and `outside`
// where the contact function changes sign, by bisection; empty when the
// function is not positive at `outside` (no contact within the window).
std::optional<Real> Bisect(Real inside, Real outside, Tangency tangency) {
    if (!(ContactFunction(outside, tangency) > 0)) return std::nullopt;
    for (int i = 0; i < MaxIterations && std::fabs(outside - inside) > TimeResolution; ++i) {
        const Real middle = (inside + outside) / 2;
        if (ContactFunction(middle, tangency) > 0)
            outside = middle;
        else
            inside = middle;
    }
    return (inside + outside) / 2;
}

// The entering and the leaving contact of a tangency around the greatest
// eclipse, when the Moon passes it.
void FindContactPair(Real greatest, Tangency tangency, std::optional<Real>& entering,
                     std::optional<Real>& leaving) {
    if (!(ContactFunction(greatest, tangency) < 0)) return;
    entering = Bisect(greatest, greatest - ContactWindow, tangency);
    leaving = Bisect(greatest, greatest + ContactWindow, tangency);
}

// The instant of least separation within `window` days of t, by a
// golden-section search (the separation has a single minimum there).
Real LeastSeparation(Real t, Real window) {
    const Real g = (std::sqrt(Real{5}) - 1) / 2;
    Real a = t - window, b = t + window;
    Real c = b - g * (b - a), d = a + g * (b - a);
    Real fc = ComputeLunarShadow(c).separation, fd = ComputeLunarShadow(d).separation;
    for (int i = 0; i < MaxIterations && b - a > GreatestResolution; ++i) {
        if (fc < fd) {
            b = d;
            d = c;
            fd = fc;
            c = b - g * (b - a);
            fc = ComputeLunarShadow(c).separation;
        } else {
            a = c;
            c = d;
            fc = fd;
            d = a + g * (b - a);
            fd = ComputeLunarShadow(d).separation;
        }
    }
    return (a + b) / 2;
}

} // namespace

const char* EclipseKindText(EclipseKind kind) {
    switch (kind) {
    case EclipseKind::None:
        return "none";
    case EclipseKind::Penumbral:
        return "penumbral";
    case EclipseKind::Partial:
        return "partial";
    case EclipseKind::Total:
        return "total";
    }
    return "none";
}

void EarthShadowRadii(Real sunDistance, Real moonDistance, Real& umbra, Real& penumbra) {
    if (!(sunDistance > 0) || !(moonDistance > 0)) {
        umbra = penumbra = NaN;
        return;
    }
    const Real moonParallax = std::asin(ShadowEarthRadius / moonDistance);
    const Real sunParallax = std::asin(ShadowEarthRadius / sunDistance);
    const Real sunRadius = std::asin(SunRadiusKm / EarthEquatorialRadiusKm / sunDistance);
    umbra = moonParallax + sunParallax - sunRadius;
    penumbra = moonParallax + sunParallax + sunRadius;
}

Real MoonAngularRadius(Real moonDistance) {
    if (!(moonDistance > 0)) return NaN;
    return std::asin(MoonRadiusKm / EarthEquatorialRadiusKm / moonDistance);
}

Real CircleIntersectionArea(Real r1, Real r2, Real d) {
    if (!(r1 > 0) || !(r2 > 0)) return 0;
    d = std::fabs(d);
    if (d >= r1 + r2) return 0;
    if (d <= std::fabs(r1 - r2)) {
        const Real r = std::min(r1, r2);
        return Pi * r * r;
    }
    // The lens: two circular segments, each the sector of its circle over the
    // common chord less the triangle to its centre. x1 and x2 are the
    // distances of the chord from the centres (x1 + x2 = d), h is half the
    // chord; the half-angles from atan2 stay accurate where an arc cosine
    // near 1 would not (a small circle on the edge of a large one).
    const Real x1 = ((d - r2) * (d + r2) + r1 * r1) / (2 * d);
    const Real x2 = ((d - r1) * (d + r1) + r2 * r2) / (2 * d);
    const Real h =
        std::sqrt(std::max(Real{0}, (r1 + r2 - d) * (d + r1 - r2) * (d - r1 + r2) * (d + r1 + r2))) / (2 * d);
    const Real area = r1 * r1 * std::atan2(h, x1) - x1 * h + r2 * r2 * std::atan2(h, x2) - x2 * h;
    return std::max(Real{0}, area);
}

LunarShadow ComputeLunarShadow(const Vector3& sunEcliptic, const Vector3& moonEcliptic) {
    LunarShadow s;
    const Vector3 sun = MakeVector(sunEcliptic.X, sunEcliptic.Y, sunEcliptic.Z);
    const Vector3 moon = MakeVector(moonEcliptic.X, moonEcliptic.Y, moonEcliptic.Z);
    EarthShadowRadii(sun.Length, moon.Length, s.umbraRadius, s.penumbraRadius);
    s.moonRadius = MoonAngularRadius(moon.Length);

    // The apparent Sun: the geometric direction turned back in longitude
    // (about the ecliptic pole) by the aberration; the axis points away.
    const Real aberration = -SunAberrationArcsec / ArcsecondsPerRadian * EarthRadiiPerAU / sun.Length;
    const Real c = std::cos(aberration), sn = std::sin(aberration);
    s.shadowAxis = UnitVector(MakeVector(-(c * sun.X - sn * sun.Y), -(sn * sun.X + c * sun.Y), -sun.Z));
    const Vector3 m = UnitVector(moon);
    s.separation = AngleBetween(m, s.shadowAxis);

    // The axis projected on the sky at the Moon: east (increasing longitude)
    // and north (toward the ecliptic pole) unit vectors there.
    const Real lon = std::atan2(m.Y, m.X), lat = std::atan2(m.Z, std::hypot(m.X, m.Y));
    const Vector3 east = MakeVector(-std::sin(lon), std::cos(lon), 0);
    const Vector3 north =
        MakeVector(-std::sin(lat) * std::cos(lon), -std::sin(lat) * std::sin(lon), std::cos(lat));
    const Real x = DotProduct(s.shadowAxis, east), y = DotProduct(s.shadowAxis, north);
    const Real h = std::hypot(x, y);
    if (h > 0) {
        s.shadowOffsetLongitude = x / h * s.separation;
        s.shadowOffsetLatitude = y / h * s.separation;
    }
    s.shadowPositionAngle = AngleOfPoint(x, y);

    s.umbralMagnitude = (s.umbraRadius + s.moonRadius - s.separation) / (2 * s.moonRadius);
    s.penumbralMagnitude = (s.penumbraRadius + s.moonRadius - s.separation) / (2 * s.moonRadius);
    if (s.umbralMagnitude >= 1)
        s.kind = EclipseKind::Total;
    else if (s.umbralMagnitude > 0)
        s.kind = EclipseKind::Partial;
    else if (s.penumbralMagnitude > 0)
        s.kind = EclipseKind::Penumbral;

    const Real moonArea = Pi * s.moonRadius * s.moonRadius;
    s.umbraCoveredFraction = CircleIntersectionArea(s.moonRadius, s.umbraRadius, s.separation) / moonArea;
    s.penumbraCoveredFraction =
        CircleIntersectionArea(s.moonRadius, s.penumbraRadius, s.separation) / moonArea;
    return s;
}

LunarShadow ComputeLunarShadow(Real jd) {
    const Real T = CenturiesSinceJ2000(jd);
    SphericalPos sun, moon;
    SunPosition(T, sun.Longitude, sun.Latitude, sun.Radius);
    sun.Radius *= EarthRadiiPerAU;
    MoonPosition(T, moon.Longitude, moon.Latitude, moon.Radius);
    Vector3 sunVector, moonVector;
    SphericalToVector(sun, sunVector);
    SphericalToVector(moon, moonVector);
    return ComputeLunarShadow(sunVector, moonVector);
}

Real FullMoonNear(Real jd) {
    if (!std::isfinite(jd)) return NaN;
    // Newton's steps with the mean rate: the true rate is within 20 percent
    // of it, so each step shrinks the error at least fivefold.
    Real t = jd;
    for (int i = 0; i < MaxIterations; ++i) {
        const Real step = ElongationFromOpposition(t) / MeanElongationRate;
        t -= step;
        if (!(std::fabs(step) > TimeResolution)) break;
    }
    return t;
}

LunarEclipse FindLunarEclipse(Real jd) {
    LunarEclipse e;
    e.fullMoon = FullMoonNear(jd);
    if (!std::isfinite(e.fullMoon)) {
        e.greatest = NaN;
        e.atGreatest = ComputeLunarShadow(NaN);
        return e;
    }
    e.greatest = LeastSeparation(e.fullMoon, GreatestWindow);
    e.atGreatest = ComputeLunarShadow(e.greatest);
    e.kind = e.atGreatest.kind;
    if (e.kind == EclipseKind::None) return e;
    FindContactPair(e.greatest, Tangency::PenumbraOutside, e.p1, e.p4);
    FindContactPair(e.greatest, Tangency::UmbraOutside, e.u1, e.u4);
    FindContactPair(e.greatest, Tangency::UmbraInside, e.u2, e.u3);
    return e;
}

std::vector<LunarEclipse> FindLunarEclipses(Real jdFrom, Real jdTo) {
    std::vector<LunarEclipse> eclipses;
    if (!std::isfinite(jdFrom) || !std::isfinite(jdTo) || !(jdFrom <= jdTo)) return eclipses;
    constexpr Real MaxRange = 40000;
    constexpr Real SynodicMonth = 29.530589L;
    const Real end = std::min(jdTo, jdFrom + MaxRange);
    // From the full Moon before the range: its eclipse may reach into it.
    Real fullMoon = FullMoonNear(jdFrom - SynodicMonth / 2);
    const std::int32_t maxMonths = TruncToInt32(MaxRange / SynodicMonth) + 4;
    for (std::int32_t i = 0; i < maxMonths && fullMoon <= end + 1; ++i) {
        LunarEclipse e = FindLunarEclipse(fullMoon);
        if (e.kind != EclipseKind::None && e.p1 && e.p4 && *e.p4 >= jdFrom && *e.p1 <= jdTo)
            eclipses.push_back(e);
        const Real next = FullMoonNear(fullMoon + SynodicMonth);
        if (!(next > fullMoon + SynodicMonth / 2)) break;
        fullMoon = next;
    }
    return eclipses;
}

} // namespace astro

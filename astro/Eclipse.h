// Lunar eclipses: the Earth's umbra and penumbra at the Moon's distance, how
// much of the Moon's disc each covers at one instant, and the contacts of an
// eclipse found on the program's own Sun and Moon series.
//
// Frame: geocentric, mean ecliptic and equinox of date (that of SunPosition
// and MoonPosition). Angles are radians as seen from the Earth's centre.
//
// Time scale: Julian dates of Universal Time passed unchanged to the series,
// as everywhere in the program (no Delta T). The series being dynamical-time
// theories, the instants found here are late by Delta T (64 s in 2000, 69 s
// in 2020), which is well inside the accuracy aimed at (a few minutes).
//
// The shadow: the Sun and the Earth are spheres; the cones tangent to both
// give the umbra and the penumbra. The Earth's radius is enlarged for its
// atmosphere by Danjon's rule: the radius at latitude 45 degrees (0.998340
// of the equatorial radius, for the flattening) increased by 1/85, which
// makes 1.0101 times the equatorial radius - the enlargement the modern
// canons of lunar eclipses use (the older rule of Chauvenet instead
// enlarged the shadow's radii by 1/50). The shadow's axis is opposite the
// Sun's apparent direction, the geometric one moved back by the annual
// aberration (20.49 arcseconds / distance in AU): the shadow that reaches
// the Moon is cast by the light that arrives at the Earth now.
#pragma once

#include <optional>
#include <vector>

#include "astro/Numeric.h"
#include "astro/Vectors.h"

namespace astro {

// The Earth's equatorial radius in km; the unit of the program's distances.
inline constexpr Real EarthEquatorialRadiusKm = 6378.14L;
// Earth radii per astronomical unit: 149 597 870.7 km / 6378.14 km.
inline constexpr Real EarthRadiiPerAU = 23454.78L;
// The Sun's radius and the Moon's mean radius, km.
inline constexpr Real SunRadiusKm = 696000;
inline constexpr Real MoonRadiusKm = 1737.4L;
// The radius of the Earth that casts the shadow, in equatorial radii
// (Danjon's rule, see above).
inline constexpr Real ShadowEarthRadius = 0.998340L * (1 + 1.0L / 85);

enum class EclipseKind { None, Penumbral, Partial, Total };

// "none", "penumbral", "partial", "total".
const char* EclipseKindText(EclipseKind kind);

// The angular radii (radians, seen from the Earth's centre) of the Earth's
// umbra and penumbra at the Moon's distance. sunDistance and moonDistance:
// geocentric distances in Earth radii (equatorial). The customary formulas
// umbra = pi_M + pi_S - s, penumbra = pi_M + pi_S + s, where pi_M and pi_S
// are the arc sines of the shadow-casting radius (ShadowEarthRadius) over the
// Moon's and the Sun's distance and s the Sun's angular radius. Distances
// that are not positive give NaN.
void EarthShadowRadii(Real sunDistance, Real moonDistance, Real& umbra, Real& penumbra);

// The Moon's angular radius (radians) at the geocentric distance moonDistance
// (Earth radii), from its mean radius. Not positive gives NaN.
Real MoonAngularRadius(Real moonDistance);

// The area common to two circles of radii r1 and r2 whose centres are d
// apart (any one unit; the area in its square). Disjoint or touching from
// outside (d >= r1 + r2) gives 0; one inside the other (d <= |r1 - r2|) the
// smaller circle's area. A radius that is not positive gives 0.
Real CircleIntersectionArea(Real r1, Real r2, Real d);

// The Moon and the Earth's shadow at one instant. Radii and separation are
// angles in radians seen from the Earth's centre; on the sky the shadow is a
// circle about the point opposite the apparent Sun (the shadow's axis).
struct LunarShadow {
    Real umbraRadius = 0;    // radians
    Real penumbraRadius = 0; // radians, the outer edge of the penumbra
    Real moonRadius = 0;     // radians
    Real separation = 0;     // radians, from the Moon's centre to the shadow's axis

    // The shadow's axis: unit vector, geocentric ecliptic of date, pointing
    // away from the apparent Sun. A view projects it like the Moon's
    // direction to find the shadow's centre on its picture.
    Vector3 shadowAxis{};
    // The shadow's centre seen from the Moon's centre on the sky, in the
    // Moon's local ecliptic directions: toward increasing ecliptic longitude
    // (the arc, i.e. delta longitude times cos latitude) and toward the
    // ecliptic north pole (radians). Their Euclidean length is separation.
    Real shadowOffsetLongitude = 0;
    Real shadowOffsetLatitude = 0;
    // The direction of that offset: radians in (-pi, pi], 0 toward the
    // ecliptic north, +pi/2 toward increasing longitude.
    Real shadowPositionAngle = 0;

    // The fraction of the Moon's diameter inside the umbra (penumbra) on the
    // line through the two centres: (shadow radius + moonRadius -
    // separation) / (2 moonRadius). Negative outside, above 1 when the whole
    // disc is inside.
    Real umbralMagnitude = 0;
    Real penumbralMagnitude = 0;
    // None (penumbral magnitude <= 0), Penumbral (the Moon touches only the
    // penumbra), Partial (umbral magnitude in (0, 1)), Total (>= 1).
    EclipseKind kind = EclipseKind::None;
    // The fraction, 0..1, of the area of the Moon's disc inside the umbra and
    // inside the outer edge of the penumbra (umbra included), as plane
    // circles on the sky.
    Real umbraCoveredFraction = 0;
    Real penumbraCoveredFraction = 0;
};

// The shadow for the Sun's and the Moon's geometric geocentric vectors in the
// ecliptic frame of date, both in Earth radii (SunPosition's distance times
// EarthRadiiPerAU, MoonPosition's distance), as the outside view keeps them.
// The Sun's aberration is applied here. Zero vectors give NaN results and
// kind None.
LunarShadow ComputeLunarShadow(const Vector3& sunEcliptic, const Vector3& moonEcliptic);

// The shadow at the Julian date jd (UT, days) from SunPosition and
// MoonPosition.
LunarShadow ComputeLunarShadow(Real jd);

// The Julian date (UT, days) of the full Moon nearest jd: the instant when the
// Moon's ecliptic longitude is the Sun's plus 180 degrees, to 1e-7 days. NaN
// or an infinite jd gives NaN.
Real FullMoonNear(Real jd);

// A lunar eclipse at one full Moon. Every instant is a Julian date, UT, days.
struct LunarEclipse {
    EclipseKind kind = EclipseKind::None; // the kind at greatest eclipse
    Real fullMoon = 0;                    // opposition in ecliptic longitude
    Real greatest = 0;                    // least separation of the Moon's centre from the shadow's axis
    LunarShadow atGreatest{};             // magnitudes, radii and separation at greatest
    // Contacts, where the eclipse has them: P1 and P4 when the Moon's limb
    // touches the penumbra's outer edge from outside (every eclipse), U1 and
    // U4 the umbra from outside (partial and total), U2 and U3 from inside
    // (total: the beginning and end of totality). Absent contacts are empty.
    std::optional<Real> p1, u1, u2, u3, u4, p4;
};

// The eclipse (or none) at the full Moon nearest jd: its greatest eclipse by
// a golden-section search within 0.25 days of the opposition, its contacts by
// bisection to 1e-7 days (0.01 s) on the program's series. A full Moon
// without an eclipse has kind None, empty contacts and still its fullMoon,
// greatest and atGreatest. NaN or an infinite jd gives kind None with NaN
// instants.
LunarEclipse FindLunarEclipse(Real jd);

// Every lunar eclipse (kind not None) from its P1 to its P4 overlapping the
// range [jdFrom, jdTo] (UT, days), in time order. At most about 40 000 days
// (110 years) are examined from jdFrom on; NaN or an empty range gives none.
std::vector<LunarEclipse> FindLunarEclipses(Real jdFrom, Real jdTo);

} // namespace astro

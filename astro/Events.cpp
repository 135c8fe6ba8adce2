#include "astro/Events.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "astro/Moon.h"
#include "astro/Sun.h"
#include "astro/TimeScales.h"
#include "astro/Vectors.h"

namespace astro {

namespace {

constexpr Real RadiansPerArcminute = Pi / (180 * 60);
constexpr Real RadiansPerArcsecond = Pi / (180 * 3600);

// Root finding: samples one hour apart, bisection down to one second.
constexpr Real SampleStepDays = 1.0L / 24;
constexpr Real ToleranceDays = 1.0L / 86400;
constexpr int MaxBisections = 64; // an hour halves to a second in 12 steps

// Refraction at the horizon and the Sun's semidiameter, as the almanacs take
// them for rising and setting.
constexpr Real HorizonRefraction = 34 * RadiansPerArcminute;
constexpr Real SunSemidiameter = 16 * RadiansPerArcminute;

// The Moon's semidiameter as a fraction of its horizontal parallax: the ratio
// of the Moon's radius to the Earth's equatorial radius.
constexpr Real MoonRadiusRatio = 0.2725L;

// Constant of annual aberration, radians; the Sun's apparent longitude is
// its geometric one minus this over its distance in AU.
constexpr Real AberrationConstant = 20.49552L * RadiansPerArcsecond;

// Flattening of the Earth's reference ellipsoid (IAU 1976), for the
// observer's place relative to the Earth's centre.
constexpr Real EarthFlattening = 1 / 298.257L;

// The observer.
struct Site {
    Real latitude = 0;  // radians, geodetic, within [-pi/2, pi/2]
    Real longitude = 0; // radians, east positive
    Real sinLatitude = 0, cosLatitude = 0;
};

Site MakeSite(Real latitude, Real longitude) {
    Site s;
    s.latitude = std::clamp(latitude, -Pi / 2, Pi / 2);
    s.longitude = longitude;
    s.sinLatitude = std::sin(s.latitude);
    s.cosLatitude = std::cos(s.latitude);
    return s;
}

// A body's geocentric place at one instant.
struct Place {
    Vector3 equatorial; // mean equator and equinox of date; AU (Sun) or Earth radii (Moon)
    Real rightAscension = 0;
    Real declination = 0;
    Real riseSetAltitude = 0; // geocentric altitude of the centre at rising and setting, radians
};

// Geocentric ecliptic longitude and latitude (radians) and distance of the
// body at jd (UT), the Sun's longitude apparent (aberration applied).
void EclipticPlace(Body body, Real jd, Real& longitude, Real& latitude, Real& distance) {
    const Real T = CenturiesSinceJ2000(jd);
    if (body == Body::Sun) {
        SunPosition(T, longitude, latitude, distance);
        longitude -= AberrationConstant / distance;
    } else {
        MoonPosition(T, longitude, latitude, distance);
    }
}

Place PlaceOf(Body body, Real jd) {
    Real longitude = 0, latitude = 0, distance = 0;
    EclipticPlace(body, jd, longitude, latitude, distance);
    Place p;
    SphericalToVector(SphericalPos{distance, longitude, latitude}, p.equatorial);
    const Real obliquity = MeanObliquity(CenturiesSinceJ2000(jd));
    RotatePair(p.equatorial.Y, p.equatorial.Z, std::sin(obliquity), std::cos(obliquity));
    SphericalPos s;
    VectorToSpherical(p.equatorial, s);
    p.rightAscension = s.Longitude;
    p.declination = s.Latitude;
    if (body == Body::Sun) {
        p.riseSetAltitude = -(HorizonRefraction + SunSemidiameter);
    } else {
        // distance = 1 / sin(parallax), in Earth radii.
        const Real parallax = ArcSine(1 / distance);
        p.riseSetAltitude = (1 - MoonRadiusRatio) * parallax - HorizonRefraction;
    }
    return p;
}

// The program's local mean sidereal time (radians) at jd (UT).
Real SiderealTimeAt(Real jd, Real longitude) {
    CalendarDate date;
    Real clock = 0;
    CivilFromJulianDate(date, clock, jd);
    return LocalSiderealTime(date, clock, longitude);
}

// Azimuth from the south toward the west (radians, as EquatorialToHorizon
// gives it) to degrees from the north toward the east in [0, 360).
Real CompassDegrees(Real azimuthFromSouth) {
    const Real degrees = RadiansToDegrees(std::fmod(azimuthFromSouth + Pi, TwoPi));
    return degrees >= 360 || degrees < 0 ? 0 : degrees;
}

// What the search needs at one instant.
struct Sample {
    Real jd = 0;
    Real hourAngle = 0; // radians, in [-pi, pi]
    Real height = 0;    // altitude of the centre minus its altitude at rising and setting, radians
    Real azimuth = 0;   // from the south toward the west, radians
};

Sample Evaluate(Body body, const Site& site, Real jd) {
    const Place p = PlaceOf(body, jd);
    const Real lst = SiderealTimeAt(jd, site.longitude);
    Sample s;
    s.jd = jd;
    s.hourAngle = std::remainder(lst - p.rightAscension, TwoPi);
    Real a = p.rightAscension, b = p.declination;
    EquatorialToHorizon(a, b, site.sinLatitude, site.cosLatitude, lst);
    s.azimuth = a;
    s.height = b - p.riseSetAltitude;
    return s;
}

// The instant in (before, after] where isAfter turns true, given that it is
// false at `before` and true at `after`; to ToleranceDays.
template <class Predicate> Real Bisect(Real before, Real after, Predicate isAfter) {
    for (int i = 0; i < MaxBisections && after - before > ToleranceDays; ++i) {
        const Real middle = before + (after - before) / 2;
        if (isAfter(middle))
            after = middle;
        else
            before = middle;
    }
    return before + (after - before) / 2;
}

// The angle a reduced to [-pi, pi] relative to the target angle.
Real AngleFrom(Real a, Real target) {
    return std::remainder(a - target, TwoPi);
}

// Whether the angle passes the target (increasing) between two samples
// taken an hour apart: from just below to at or above it. The condition
// on the size keeps the jump at the opposite side (+-pi) out.
bool Passes(Real before, Real after) {
    return before < 0 && after >= 0 && before > -Pi / 2 && after < Pi / 2;
}

// Rate of change of the height (radians per day) at jd, from a central
// difference over 2 * 10 seconds.
Real HeightRate(Body body, const Site& site, Real jd) {
    constexpr Real h = 10.0L / 86400;
    return (Evaluate(body, site, jd + h).height - Evaluate(body, site, jd - h).height) / (2 * h);
}

// Near the horizon the altitude's second derivative is at most the square
// of the Earth's rate of turning, (0.26 rad/h)^2; so an extremum lies at most
// 1/2 (0.26 rad/h)^2 (1 h)^2 = 2 degrees from the height at either end of an
// hour, and a piece whose ends lie farther from the horizon than this band
// cannot hold a crossing pair.
constexpr Real GrazingBand = 5 * Degree;

// For a piece [a, b] of at most an hour whose ends lie on the same side of
// the horizon: the instant of an altitude maximum inside it when both ends
// are below, or of a minimum when both are above, if there is one whose
// height lies on the other side; nothing otherwise. A piece holds at most
// one extremum: they lie half a day apart.
std::optional<Real> GrazingExtremum(Body body, const Site& site, const Sample& a, const Sample& b) {
    if (!(a.jd < b.jd) || (a.height >= 0) != (b.height >= 0)) return std::nullopt;
    if (std::fabs(a.height) > GrazingBand || std::fabs(b.height) > GrazingBand) return std::nullopt;
    const bool below = a.height < 0; // then look for a maximum
    const Real rateA = HeightRate(body, site, a.jd), rateB = HeightRate(body, site, b.jd);
    if (below ? !(rateA > 0 && rateB < 0) : !(rateA < 0 && rateB > 0)) return std::nullopt;
    const Real jd = Bisect(a.jd, b.jd, [&](Real t) {
        const Real rate = HeightRate(body, site, t);
        return below ? rate < 0 : rate > 0;
    });
    const Real height = Evaluate(body, site, jd).height;
    if ((height >= 0) != below) return std::nullopt;
    return jd;
}

// Topocentric altitude (radians) of the Moon, geocentric of the Sun, and the
// azimuth (from the south toward the west) at jd.
void TransitPosition(Body body, const Site& site, Real jd, Real& azimuth, Real& altitude) {
    const Place p = PlaceOf(body, jd);
    const Real lst = SiderealTimeAt(jd, site.longitude);
    Real ra = p.rightAscension, dec = p.declination;
    if (body == Body::Moon) {
        // The observer on the ellipsoid, in equatorial radii: u is the
        // reduced latitude.
        const Real u = AngleOfPoint((1 - EarthFlattening) * site.sinLatitude, site.cosLatitude);
        const Real rhoCos = std::cos(u), rhoSin = (1 - EarthFlattening) * std::sin(u);
        Vector3 topocentric;
        VectorDifference(p.equatorial, MakeVector(rhoCos * std::cos(lst), rhoCos * std::sin(lst), rhoSin),
                         topocentric);
        SphericalPos s;
        VectorToSpherical(topocentric, s);
        ra = s.Longitude;
        dec = s.Latitude;
    }
    EquatorialToHorizon(ra, dec, site.sinLatitude, site.cosLatitude, lst);
    azimuth = ra;
    altitude = dec;
}

Event MakeEvent(Real jd, Body body, EventKind kind) {
    Event e;
    e.jd = jd;
    e.body = body;
    e.kind = kind;
    return e;
}

// Whether the arguments describe a range to search, and jdEnd cut to the
// longest range.
bool UsableRange(Real jdStart, Real& jdEnd) {
    if (!std::isfinite(jdStart) || !std::isfinite(jdEnd) || !(jdEnd > jdStart)) return false;
    jdEnd = std::min(jdEnd, jdStart + MaxEventSpanDays);
    return true;
}

} // namespace

Real MeanObliquity(Real T) {
    // IAU 2006 (Capitaine et al. 2003), arcseconds.
    const Real arcseconds =
        84381.406L +
        T * (-46.836769L + T * (-0.0001831L + T * (0.00200340L + T * (-0.000000576L + T * -0.0000000434L))));
    return arcseconds * RadiansPerArcsecond;
}

std::vector<Event> HorizonEvents(Body body, Real latitude, Real longitude, Real jdStart, Real jdEnd) {
    std::vector<Event> events;
    if (!std::isfinite(latitude) || !std::isfinite(longitude) || !UsableRange(jdStart, jdEnd)) return events;
    const Site site = MakeSite(latitude, longitude);
    auto height = [&](Real jd) { return Evaluate(body, site, jd).height; };

    // Between an upper and the next lower culmination the altitude falls, and
    // rises from there to the next upper one, except that the Moon's motion
    // in declination moves its extremes up to some ten minutes away from the
    // meridian. So each hour between samples, cut at the culmination inside
    // it and at an extremum near the horizon, holds at most one rising or
    // setting.
    const std::int32_t steps = RoundToInt32(std::ceil((jdEnd - jdStart) / SampleStepDays));
    Sample previous = Evaluate(body, site, jdStart);
    for (std::int32_t i = 1; i <= steps; ++i) {
        const Sample next = Evaluate(body, site, std::min(jdStart + i * SampleStepDays, jdEnd));
        // The samples at both ends with the culmination between them, if
        // any (upper and lower ones lie half a day apart).
        Sample points[3] = {previous};
        int count = 1;
        int upperIndex = -1;
        for (const Real target : {Real(0), Pi}) {
            if (!Passes(AngleFrom(previous.hourAngle, target), AngleFrom(next.hourAngle, target))) continue;
            const Real jd = Bisect(previous.jd, next.jd, [&](Real t) {
                return AngleFrom(Evaluate(body, site, t).hourAngle, target) >= 0;
            });
            if (target == 0) upperIndex = count;
            points[count++] = Evaluate(body, site, jd);
            break;
        }
        points[count++] = next;
        // Within a piece that ends on the same side of the horizon a grazing
        // body may still cross it twice, around an extremum of its altitude:
        // then add the extremum as a point of its own.
        Sample pieces[5] = {points[0]};
        int pieceCount = 1, transitIndex = -1;
        for (int k = 1; k < count; ++k) {
            if (const auto extremum = GrazingExtremum(body, site, points[k - 1], points[k]))
                pieces[pieceCount++] = Evaluate(body, site, *extremum);
            if (k == upperIndex) transitIndex = pieceCount;
            pieces[pieceCount++] = points[k];
        }
        for (int k = 1; k < pieceCount; ++k) {
            const Sample& a = pieces[k - 1];
            const Sample& b = pieces[k];
            if (a.jd < b.jd && (a.height >= 0) != (b.height >= 0)) {
                const bool rising = b.height >= 0;
                const Real jd = Bisect(a.jd, b.jd, [&](Real t) { return (height(t) >= 0) == rising; });
                if (jd >= jdStart && jd < jdEnd) {
                    Event e = MakeEvent(jd, body, rising ? EventKind::Rise : EventKind::Set);
                    e.azimuth = CompassDegrees(Evaluate(body, site, jd).azimuth);
                    e.hasAzimuth = true;
                    events.push_back(e);
                }
            }
            if (k == transitIndex && b.jd >= jdStart && b.jd < jdEnd) {
                Event e = MakeEvent(b.jd, body, EventKind::Transit);
                Real azimuth = 0, altitude = 0;
                TransitPosition(body, site, b.jd, azimuth, altitude);
                e.azimuth = std::fabs(azimuth) < Pi / 2 ? 180 : 0; // due south or due north
                e.altitude = RadiansToDegrees(altitude);
                e.hasAzimuth = e.hasAltitude = true;
                events.push_back(e);
            }
        }
        previous = next;
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.jd < b.jd; });
    return events;
}

std::vector<Event> PhaseEvents(Real jdStart, Real jdEnd) {
    std::vector<Event> events;
    if (!UsableRange(jdStart, jdEnd)) return events;
    // The Moon's elongation from the Sun in ecliptic longitude; it grows by
    // 10 to 15 degrees a day, never falling back.
    auto elongation = [](Real jd) {
        Real sunLongitude = 0, moonLongitude = 0, latitude = 0, distance = 0;
        EclipticPlace(Body::Sun, jd, sunLongitude, latitude, distance);
        EclipticPlace(Body::Moon, jd, moonLongitude, latitude, distance);
        return moonLongitude - sunLongitude;
    };
    constexpr EventKind Kinds[] = {EventKind::NewMoon, EventKind::FirstQuarter, EventKind::FullMoon,
                                   EventKind::LastQuarter};
    const std::int32_t steps = RoundToInt32(std::ceil((jdEnd - jdStart) / SampleStepDays));
    Real previousJd = jdStart, previousElongation = elongation(jdStart);
    for (std::int32_t i = 1; i <= steps; ++i) {
        const Real jd = std::min(jdStart + i * SampleStepDays, jdEnd);
        const Real e = elongation(jd);
        for (int quarter = 0; quarter < 4; ++quarter) {
            const Real target = quarter * Pi / 2;
            if (!Passes(AngleFrom(previousElongation, target), AngleFrom(e, target))) continue;
            const Real instant =
                Bisect(previousJd, jd, [&](Real t) { return AngleFrom(elongation(t), target) >= 0; });
            if (instant >= jdStart && instant < jdEnd)
                events.push_back(MakeEvent(instant, Body::Moon, Kinds[quarter]));
        }
        previousJd = jd;
        previousElongation = e;
    }
    return events;
}

std::vector<Event> EventsForDays(Real latitude, Real longitude, Real jd0, int days) {
    std::vector<Event> events;
    if (days <= 0 || !std::isfinite(jd0) || !std::isfinite(latitude) || !std::isfinite(longitude))
        return events;
    days = std::min(days, MaxEventSpanDays);
    const Real jdEnd = jd0 + days;

    // Rising and setting seen per day and body: [body][day].
    std::vector<bool> rises[2] = {std::vector<bool>(days), std::vector<bool>(days)};
    std::vector<bool> sets[2] = {std::vector<bool>(days), std::vector<bool>(days)};
    for (const Body body : {Body::Sun, Body::Moon}) {
        const int b = body == Body::Sun ? 0 : 1;
        for (const Event& e : HorizonEvents(body, latitude, longitude, jd0, jdEnd)) {
            if (body == Body::Sun && e.kind == EventKind::Transit) continue; // not on the worksheet
            const std::int32_t day = std::clamp(TruncToInt32(std::floor(e.jd - jd0)), 0, days - 1);
            if (e.kind == EventKind::Rise) rises[b][day] = true;
            if (e.kind == EventKind::Set) sets[b][day] = true;
            events.push_back(e);
        }
    }
    for (const Body body : {Body::Sun, Body::Moon}) {
        const int b = body == Body::Sun ? 0 : 1;
        for (int day = 0; day < days; ++day) {
            const Real middle = jd0 + day + 0.5L;
            if (!rises[b][day]) events.push_back(MakeEvent(middle, body, EventKind::NoRise));
            if (!sets[b][day]) events.push_back(MakeEvent(middle, body, EventKind::NoSet));
        }
    }
    const std::vector<Event> phases = PhaseEvents(jd0, jdEnd);
    events.insert(events.end(), phases.begin(), phases.end());
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.jd < b.jd; });
    return events;
}

} // namespace astro

// The Sun and Moon theories against independent positions.
//
// Both theories give geometric positions referred to the mean equinox and
// ecliptic of date, so they are compared with geometric mean-of-date values:
// neither nutation (up to 17" in longitude) nor aberration (20.5" for the
// Sun, 0.7" for the Moon) enters. The theories are evaluated at the
// dynamical time (TD) of the reference; the program itself passes Universal
// Time, which puts the Moon about 0.55" per second of Delta T behind (some
// 32" in 1992, when Delta T was 59 s) - a property of the program, not of the
// theories, and not tested here.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "astro/Moon.h"
#include "astro/Sun.h"
#include "astro/TimeScales.h"

namespace astro {
namespace {

constexpr Real DegreesPerRadian = 180 / Pi;

// Difference of two longitudes in arcseconds, reduced to (-648000, 648000].
Real LongitudeDifferenceArcsec(Real longitudeRad, Real referenceDeg) {
    Real d = std::remainder(longitudeRad * DegreesPerRadian - referenceDeg, 360.0L);
    return d * 3600;
}

struct Reference {
    const char* source;
    Real jdTD;       // Julian date, dynamical time
    Real longitude;  // degrees
    Real latitude;   // degrees
    Real distance;   // AU for the Sun, km for the Moon
    Real toleranceL; // arcseconds
    Real toleranceB; // arcseconds
    Real toleranceR; // AU for the Sun, Earth radii for the Moon
};

// The Sun theory is good to about 1" near the present; its secular terms
// (rates fitted to the observations of the last two centuries) let the error
// grow by roughly 1" per century, so far rows allow 3" + 1" per century.
// The distance, from series to 1e-6 AU, is good to a few 1e-6 AU.
const Reference SunReferences[] = {
    // Meeus, Astronomical Algorithms, 2nd ed., Example 25.b: 1992 October 13.0
    // TD, geometric longitude and latitude on the FK5 system, mean equinox of
    // date: 199.907347 deg, +0.62"; radius vector 0.99760775 AU.
    {"Meeus 25.b, 1992 Oct 13.0 TD", 2448908.5L, 199.907347L, 0.62L / 3600, 0.99760775L, 3, 1, 1e-5L},
    // Independent ephemeris run once outside the project: ERFA 2.0.0 (the IAU
    // SOFA algorithms), Sun = -heliocentric Earth of eraEpv00, rotated into
    // the mean ecliptic and equinox of date with eraEcm06 (IAU 2006).
    {"ERFA, 1000 Jan 6.0 TD (T = -10)", 2086307.5L, 285.7833431L, 0.0062733L / 3600, 0.983843414L, 13, 1,
     1e-5L},
    {"ERFA, 1600 Jan 1.0 TD (T = -4)", 2305447.5L, 279.9857397L, 0.0458290L / 3600, 0.983154140L, 7, 1,
     1e-5L},
    {"ERFA, 1800 Jan 1.0 TD (T = -2)", 2378497.5L, 281.4568760L, 0.1495065L / 3600, 0.983221320L, 5, 1,
     1e-5L},
    {"ERFA, 2200 Jan 1.0 TD (T = +2)", 2524593.5L, 280.3280604L, -0.8002133L / 3600, 0.983428925L, 5, 1,
     1e-5L},
    {"ERFA, 2400 Jan 1.0 TD (T = +4)", 2597641.5L, 279.7760759L, 0.3305545L / 3600, 0.983716320L, 7, 1,
     1e-5L},
};

// The Moon theory keeps the terms above about 0.2" and is good to a few
// arcseconds near the present: 10" in longitude, 5" in latitude and 0.005
// Earth radii (32 km) allow for it and for the reference's own few
// arcseconds. Its mean arguments are quadratic in T, and the omitted higher
// powers make the error grow with T^2 (about 2" per century squared), so the
// rows four centuries away allow 40".
const Reference MoonReferences[] = {
    // Meeus, Example 47.a: 1992 April 12.0 TD, geocentric longitude and
    // latitude referred to the mean equinox of date, 133.162655 deg and
    // -3.229126 deg, distance 368409.7 km.
    {"Meeus 47.a, 1992 Apr 12.0 TD", 2448724.5L, 133.162655L, -3.229126L, 368409.7L, 10, 5, 0.005L},
    // ERFA 2.0.0 eraMoon98 (the series of Meeus ch. 47 in the GCRS), rotated
    // into the mean ecliptic and equinox of date with eraEcm06.
    {"ERFA, 1992 Oct 13.0 TD", 2448908.5L, 34.2904382L, 3.8243880L, 393373.2893L, 10, 5, 0.005L},
    {"ERFA, 1600 Jan 1.0 TD (T = -4)", 2305447.5L, 104.7672329L, 1.4168564L, 383117.2920L, 40, 5, 0.005L},
    {"ERFA, 1800 Jan 1.0 TD (T = -2)", 2378497.5L, 0.8508003L, -2.7954714L, 397398.9265L, 15, 5, 0.005L},
    {"ERFA, 2200 Jan 1.0 TD (T = +2)", 2524593.5L, 96.4935669L, -4.2933120L, 404337.9408L, 15, 5, 0.005L},
    {"ERFA, 2400 Jan 1.0 TD (T = +4)", 2597641.5L, 324.6207115L, 1.5523542L, 403760.2114L, 40, 5, 0.005L},
};

// The theory's distance unit is the Earth's equatorial radius.
constexpr Real EarthRadiusKm = 6378.14L;

TEST(SunPosition, AtJ2000) {
    Real longitude, latitude, distance;
    SunPosition(0, longitude, latitude, distance);
    EXPECT_NEAR(longitude, 4.8935L, 5e-5L);
    EXPECT_NEAR(longitude * DegreesPerRadian, 280.377L, 5e-4L);
    EXPECT_LT(std::fabs(latitude * DegreesPerRadian * 3600), 1);
    EXPECT_NEAR(distance, 0.98333L, 5e-6L);
}

TEST(SunPosition, AgainstIndependentPositions) {
    for (const Reference& r : SunReferences) {
        Real longitude, latitude, distance;
        SunPosition(CenturiesSinceJ2000(r.jdTD), longitude, latitude, distance);
        EXPECT_NEAR(LongitudeDifferenceArcsec(longitude, r.longitude), 0, r.toleranceL) << r.source;
        EXPECT_NEAR((latitude * DegreesPerRadian - r.latitude) * 3600, 0, r.toleranceB) << r.source;
        EXPECT_NEAR(distance, r.distance, r.toleranceR) << r.source;
    }
}

TEST(SunPosition, LongitudeKeepsTheSignOfItsSeries) {
    // Before 2000 the longitude can be negative; it stays within one turn and
    // runs on smoothly: about one degree in a day (1/36525 century).
    bool sawNegative = false;
    for (Real T = -20; T <= 20; T += 0.0137L) {
        Real longitude, latitude, distance;
        SunPosition(T, longitude, latitude, distance);
        ASSERT_GT(longitude, -TwoPi);
        ASSERT_LT(longitude, TwoPi);
        if (longitude < 0) sawNegative = true;
        Real later, l2, d2;
        SunPosition(T + 1 / 36525.0L, later, l2, d2);
        const Real step = std::remainder(later - longitude, TwoPi);
        ASSERT_GT(step, 0.95L * Pi / 180) << static_cast<double>(T);
        ASSERT_LT(step, 1.05L * Pi / 180) << static_cast<double>(T);
    }
    EXPECT_TRUE(sawNegative);
}

TEST(MoonPosition, AtJ2000) {
    Real longitude, latitude, distance;
    MoonPosition(0, longitude, latitude, distance);
    EXPECT_NEAR(longitude * DegreesPerRadian, 223.319L, 5e-4L);
    EXPECT_NEAR(latitude * DegreesPerRadian, 5.171L, 5e-4L);
    EXPECT_NEAR(distance, 63.096L, 5e-4L);
}

TEST(MoonPosition, AgainstIndependentPositions) {
    for (const Reference& r : MoonReferences) {
        Real longitude, latitude, distance;
        MoonPosition(CenturiesSinceJ2000(r.jdTD), longitude, latitude, distance);
        EXPECT_NEAR(LongitudeDifferenceArcsec(longitude, r.longitude), 0, r.toleranceL) << r.source;
        EXPECT_NEAR((latitude * DegreesPerRadian - r.latitude) * 3600, 0, r.toleranceB) << r.source;
        EXPECT_NEAR(distance, r.distance / EarthRadiusKm, r.toleranceR) << r.source;
    }
}

TEST(MoonPosition, LongitudeAlwaysInOneTurn) {
    for (Real T = -40; T <= 40; T += 0.00731L) {
        Real longitude, latitude, distance;
        MoonPosition(T, longitude, latitude, distance);
        ASSERT_GE(longitude, 0) << static_cast<double>(T);
        ASSERT_LT(longitude, TwoPi) << static_cast<double>(T);
        ASSERT_LT(std::fabs(latitude), 5.4L * Pi / 180) << static_cast<double>(T);
        ASSERT_GT(distance, 55) << static_cast<double>(T);
        ASSERT_LT(distance, 64.5L) << static_cast<double>(T);
    }
}

TEST(Theories, NonFiniteAndHugeTimesStayDefined) {
    const Real nan = std::numeric_limits<Real>::quiet_NaN();
    const Real inf = std::numeric_limits<Real>::infinity();
    for (Real T : {nan, inf, -inf}) {
        Real l, b, r;
        SunPosition(T, l, b, r);
        EXPECT_TRUE(std::isnan(l));
        MoonPosition(T, l, b, r);
        EXPECT_TRUE(std::isnan(l));
    }
    // Years near the 32-bit limits are some 2e7 centuries away: the result
    // means little, but it is finite.
    for (Real T : {2.2e7L, -2.2e7L}) {
        Real l, b, r;
        SunPosition(T, l, b, r);
        EXPECT_TRUE(std::isfinite(l) && std::isfinite(b) && std::isfinite(r));
        MoonPosition(T, l, b, r);
        EXPECT_TRUE(std::isfinite(l) && std::isfinite(b) && std::isfinite(r));
    }
}

} // namespace
} // namespace astro

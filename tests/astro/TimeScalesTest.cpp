#include "astro/TimeScales.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "astro/Vectors.h"

namespace astro {
namespace {

constexpr Real ClockTolerance = 1e-9L; // hh.mm, about 0.1 ms
constexpr Real DayTolerance = 1e-9L;   // days, about 0.1 ms
const Real NaN = std::numeric_limits<Real>::quiet_NaN();
const Real Inf = std::numeric_limits<Real>::infinity();

TEST(Clock, HoursAndClockValues) {
    struct Case {
        Real clock, hours;
    } const cases[] = {{12.30L, 12.5L},
                       {-1.30L, -1.5L},
                       {0.45L, 0.75L},
                       {13.455L, 13.758333333333333333L},
                       {23.59L, 23.983333333333333333L},
                       {0, 0}};
    for (const Case& c : cases) {
        EXPECT_NEAR(HoursFromClock(c.clock), c.hours, 1e-15L) << static_cast<double>(c.clock);
        EXPECT_NEAR(ClockFromHours(c.hours), c.clock, 1e-15L) << static_cast<double>(c.hours);
    }
    EXPECT_TRUE(std::isnan(HoursFromClock(NaN)));
    EXPECT_TRUE(std::isnan(ClockFromHours(Inf)));
}

struct CivilCase {
    const char* name;
    CalendarDate date;
    Real clock;
    Real jd;
};

// Julian dates of civil instants in MEZ (UT + 1 h).
const CivilCase CivilCases[] = {
    {"J2000.0 is 2000 January 1, 13.00 MEZ", {1, 1, 2000}, 13.00L, 2451545.0L},
    {"first Gregorian day, 1.00 MEZ", {15, 10, 1582}, 1.00L, 2299160.5L},
    {"last Julian day, 1.00 MEZ", {4, 10, 1582}, 1.00L, 2299159.5L},
    {"1957 October 4.81 UT (Sputnik 1)", {4, 10, 1957}, 20.264L, 2436116.31L},
    {"333 January 27, 12 h UT (Julian calendar)", {27, 1, 333}, 13.00L, 1842713.0L},
    {"-1000 July 12, 12 h UT", {12, 7, -1000}, 13.00L, 1356001.0L},
    {"-4712 March 1, 0 h UT", {1, 3, -4712}, 1.00L, 59.5L},
    {"February 29 of a Gregorian leap year", {29, 2, 2000}, 1.00L, 2451603.5L},
};

TEST(Calendar, JulianDatesOfCivilInstants) {
    for (const CivilCase& c : CivilCases) {
        EXPECT_NEAR(JulianDateFromCivil(c.date, c.clock), c.jd, DayTolerance) << c.name;
    }
    EXPECT_EQ(JulianDateFromCivil(CalendarDate{1, 1, 2000}, 13.00L), 2451545.0L);
}

TEST(Calendar, CivilInstantsOfJulianDates) {
    for (const CivilCase& c : CivilCases) {
        CalendarDate date;
        Real clock = -1;
        CivilFromJulianDate(date, clock, c.jd);
        EXPECT_EQ(date.Day, c.date.Day) << c.name;
        EXPECT_EQ(date.Month, c.date.Month) << c.name;
        EXPECT_EQ(date.Year, c.date.Year) << c.name;
        EXPECT_NEAR(HoursFromClock(clock), HoursFromClock(c.clock), 1e-7L) << c.name;
    }
}

TEST(Calendar, SwitchIsDecidedOnTheMezTestValue) {
    // 14 October 1582 is still a Julian-calendar date: ten days after the 4th.
    const Real oct4 = JulianDateFromCivil(CalendarDate{4, 10, 1582}, 12.00L);
    EXPECT_NEAR(JulianDateFromCivil(CalendarDate{14, 10, 1582}, 12.00L), oct4 + 10, DayTolerance);
    EXPECT_NEAR(JulianDateFromCivil(CalendarDate{14, 10, 1582}, 23.59L),
                oct4 + 10 + (HoursFromClock(23.59L) - 12) / 24, DayTolerance);
    // 15 October 0.00 MEZ already is Gregorian: one day after the 4th, 23 h UT.
    EXPECT_NEAR(JulianDateFromCivil(CalendarDate{15, 10, 1582}, 0.00L), 2299160.5L - 1.0L / 24, DayTolerance);
    // A Julian-calendar 10 October is the Gregorian 20 October.
    CalendarDate date;
    Real clock;
    CivilFromJulianDate(date, clock, JulianDateFromCivil(CalendarDate{10, 10, 1582}, 12.00L));
    EXPECT_EQ(date.Day, 20);
    EXPECT_EQ(date.Month, 10);
    EXPECT_NEAR(HoursFromClock(clock), 12, 1e-7L);
}

TEST(Calendar, EveningAndMidnightRollOver) {
    struct Case {
        const char* name;
        Real jd;
        CalendarDate date;
        Real clock;
    } const cases[] = {
        {"23.30 MEZ stays on the day", 2451545.0L + 10.5L / 24, {1, 1, 2000}, 23.30L},
        {"24.30 becomes 0.30 of the next day", 2451545.0L + 11.5L / 24, {2, 1, 2000}, 0.30L},
        {"0.59 MEZ after midnight", 2451545.0L + 11.98L / 24, {2, 1, 2000}, 0.588L},
        {"roll-over into a new year", 2451544.5L - 0.75L / 24, {1, 1, 2000}, 0.15L},
        {"roll-over across the calendar switch", 2299160.5L - 0.5L / 24, {15, 10, 1582}, 0.30L},
        {"roll-over at the end of February", 2451603.5L - 0.25L / 24, {29, 2, 2000}, 0.45L},
    };
    for (const Case& c : cases) {
        CalendarDate date;
        Real clock;
        CivilFromJulianDate(date, clock, c.jd);
        EXPECT_EQ(date.Day, c.date.Day) << c.name;
        EXPECT_EQ(date.Month, c.date.Month) << c.name;
        EXPECT_EQ(date.Year, c.date.Year) << c.name;
        EXPECT_NEAR(clock, c.clock, 1e-7L) << c.name;
    }
}

TEST(Calendar, ClockOfExactlyTwentyFourIsNotRolledOver) {
    // A clock of exactly 24.00 needs a day fraction that times 24 rounds to 23
    // exactly; near Julian date 0 (-4712 January 1, 23 h UT) the fraction
    // keeps enough bits for that. Look for such a Julian date among its
    // neighbours, then check that it stays on its own day.
    Real jd = 23.0L / 24 - 0.5L;
    for (int n = 0; n < 32; ++n)
        jd = std::nextafter(jd, Real(-1));
    int found = 0;
    for (int n = 0; n < 64; ++n, jd = std::nextafter(jd, Real(1))) {
        CalendarDate date;
        Real clock;
        CivilFromJulianDate(date, clock, jd);
        if (clock != 24) continue;
        ++found;
        EXPECT_EQ(date.Day, 1);
        EXPECT_EQ(date.Month, 1);
        EXPECT_EQ(date.Year, -4712);
    }
    EXPECT_GT(found, 0);
    // Just past it the clock rolls over into 2 January.
    CalendarDate date;
    Real clock;
    CivilFromJulianDate(date, clock, 23.0L / 24 - 0.5L + 1e-9L);
    EXPECT_EQ(date.Day, 2);
    EXPECT_LT(clock, 0.01L);
}

// Civil -> Julian date -> civil over 8000 years, every clock of a day in MEZ.
TEST(Calendar, RoundTripCivilToJulianAndBack) {
    const Real clocks[] = {0.00L, 0.30L, 0.59L, 1.00L, 6.15L, 12.00L, 13.01L, 22.45L, 23.30L, 23.59L};
    const int days[] = {1, 2, 13, 28};
    int checked = 0;
    for (int year = -4000; year <= 4000; year += 1) {
        for (int month = 1 + (year & 3); month <= 12; month += 4) { // three months a year, all months in turn
            for (int day : days) {
                if (year == 1582 && month == 10 && day == 13) continue; // dropped by the calendar reform
                for (Real clock : clocks) {
                    const CalendarDate in{day, month, year};
                    const Real jd = JulianDateFromCivil(in, clock);
                    CalendarDate out;
                    Real back;
                    CivilFromJulianDate(out, back, jd);
                    // Midnight MEZ is 24.00 of the day before or 0.00 of the
                    // day itself, by the last bit of the Julian date.
                    ASSERT_NEAR(JulianDateFromCivil(out, back), jd, DayTolerance)
                        << day << "." << month << "." << year << " " << static_cast<double>(clock);
                    if (clock == 0) continue;
                    ASSERT_EQ(out.Day, in.Day)
                        << day << "." << month << "." << year << " " << static_cast<double>(clock);
                    ASSERT_EQ(out.Month, in.Month);
                    ASSERT_EQ(out.Year, in.Year);
                    ASSERT_NEAR(HoursFromClock(back), HoursFromClock(clock), 1e-6L)
                        << day << "." << month << "." << year << " " << static_cast<double>(clock);
                    ++checked;
                }
            }
        }
    }
    EXPECT_GT(checked, 800000);
}

// Julian date -> civil -> Julian date for random instants from -4000 to +4000,
// plus every hour round the calendar switch.
TEST(Calendar, RoundTripJulianToCivilAndBack) {
    std::mt19937_64 random(20240405);
    const Real first = JulianDateFromCivil(CalendarDate{1, 1, -4000}, 0.0L);
    const Real last = JulianDateFromCivil(CalendarDate{31, 12, 4000}, 0.0L);
    std::uniform_real_distribution<double> instant(static_cast<double>(first), static_cast<double>(last));
    for (int n = 0; n < 200000; ++n) {
        const Real jd = instant(random);
        CalendarDate date;
        Real clock;
        CivilFromJulianDate(date, clock, jd);
        ASSERT_GE(clock, 0) << static_cast<double>(jd);
        ASSERT_LE(clock, 24) << static_cast<double>(jd);
        ASSERT_NEAR(JulianDateFromCivil(date, clock), jd, DayTolerance) << static_cast<double>(jd);
    }
    for (int hour = -48; hour <= 48; ++hour) {
        const Real jd = 2299160.5L + hour / 24.0L + 0.25L / 24;
        CalendarDate date;
        Real clock;
        CivilFromJulianDate(date, clock, jd);
        EXPECT_NEAR(JulianDateFromCivil(date, clock), jd, DayTolerance) << hour;
        EXPECT_TRUE(date.Year == 1582 && date.Month == 10 && (date.Day <= 4 || date.Day >= 15)) << date.Day;
    }
}

TEST(Calendar, ExtremeYearsStayDefined) {
    // Year*10000 and Month + 1 would overflow 32-bit integers here.
    const CalendarDate extremes[] = {
        {1, 1, std::numeric_limits<std::int32_t>::max()},
        {31, 12, std::numeric_limits<std::int32_t>::min()},
        {std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::max(),
         std::numeric_limits<std::int32_t>::max()},
        {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::min(),
         std::numeric_limits<std::int32_t>::min()}};
    for (const CalendarDate& d : extremes) {
        const Real jd = JulianDateFromCivil(d, 12.00L);
        EXPECT_TRUE(std::isfinite(jd));
        CalendarDate back;
        Real clock;
        CivilFromJulianDate(back, clock, jd);
        EXPECT_TRUE(std::isfinite(clock));
        EXPECT_TRUE(std::isfinite(LocalSiderealTime(d, 12.00L, 0.2L)));
    }
    // The largest year still converts both ways.
    const CalendarDate top{1, 7, std::numeric_limits<std::int32_t>::max()};
    CalendarDate back;
    Real clock;
    CivilFromJulianDate(back, clock, JulianDateFromCivil(top, 12.00L));
    EXPECT_EQ(back.Year, top.Year);
    EXPECT_EQ(back.Month, 7);
    EXPECT_EQ(back.Day, 1);
    EXPECT_NEAR(HoursFromClock(clock), 12, 1e-4L);
}

TEST(Calendar, NonFiniteAndHugeJulianDatesStayDefined) {
    const Real inputs[] = {NaN, Inf, -Inf, 1e30L, -1e30L, 1e4000L, std::numeric_limits<Real>::max()};
    for (Real jd : inputs) {
        CalendarDate date;
        Real clock;
        CivilFromJulianDate(date, clock, jd); // must return, whatever it gives
        if (std::isnan(jd) || std::isinf(jd)) {
            EXPECT_TRUE(std::isnan(clock)) << static_cast<double>(jd);
        }
    }
    CalendarDate date;
    Real clock;
    CivilFromJulianDate(date, clock, 1e30L);
    EXPECT_EQ(date.Year, std::numeric_limits<std::int32_t>::max());
    EXPECT_TRUE(std::isnan(JulianDateFromCivil(CalendarDate{1, 1, 2000}, NaN)));
    EXPECT_TRUE(std::isinf(JulianDateFromCivil(CalendarDate{1, 1, 2000}, Inf)) ||
                std::isnan(JulianDateFromCivil(CalendarDate{1, 1, 2000}, Inf)));
}

TEST(Calendar, CenturiesSinceJ2000) {
    EXPECT_EQ(CenturiesSinceJ2000(2451545.0L), 0);
    EXPECT_EQ(CenturiesSinceJ2000(2451545.0L + 36525), 1);
    EXPECT_EQ(CenturiesSinceJ2000(2451545.0L - 73050), -2);
}

TEST(SiderealTime, ExampleAndRange) {
    const Real lst = LocalSiderealTime(CalendarDate{1, 1, 2000}, 1.00L, 0);
    EXPECT_NEAR(lst * 12 / Pi, 6.66452L, 5e-6L);
    EXPECT_NEAR(lst, 1.74477L, 5e-6L);
    // Greenwich mean sidereal time of 1987 April 10, 0 h UT: 13h 10m 46.3668s
    // (Meeus, Astronomical Algorithms, 2nd ed., Example 12.a); the linear
    // formula agrees to well below a second of time.
    EXPECT_NEAR(LocalSiderealTime(CalendarDate{10, 4, 1987}, 1.00L, 0) * 12 / Pi,
                13 + 10 / 60.0L + 46.3668L / 3600, 0.5L / 3600);
    // 15 degrees east adds one hour.
    EXPECT_NEAR(LocalSiderealTime(CalendarDate{10, 4, 1987}, 1.00L, Pi / 12) * 12 / Pi,
                14 + 10 / 60.0L + 46.3668L / 3600, 0.5L / 3600);
    // Before 1.00 MEZ the Universal Time is negative; the result stays in [0, 2 pi).
    for (Real clock : {0.00L, 0.30L, 0.59L}) {
        for (Real longitude : {-Pi, -2.0L, 0.0L, 1.5L, Pi}) {
            for (int day = 1; day <= 366; day += 5) {
                const Real s = LocalSiderealTime(CalendarDate{day, 1, 2024}, clock, longitude);
                ASSERT_GE(s, 0);
                ASSERT_LT(s, TwoPi);
            }
        }
    }
}

TEST(Horizon, RotatePairTurnsEclipticIntoEquatorial) {
    // The ecliptic's north pole (0, 0, 1) lies at declination 90 - epsilon,
    // right ascension 270 degrees (Y negative).
    const Real eps = 23.5L * Pi / 180;
    Real y = 0, z = 1;
    RotatePair(y, z, std::sin(eps), std::cos(eps));
    EXPECT_NEAR(y, -std::sin(eps), 1e-18L);
    EXPECT_NEAR(z, std::cos(eps), 1e-18L);
}

// The horizon position computed independently: turn the unit vector of
// hour angle and declination about the west axis onto the horizon.
void HorizonByRotation(Real hourAngle, Real dec, Real lat, Real& azimuth, Real& altitude) {
    const Real x = std::cos(dec) * std::cos(hourAngle), west = std::cos(dec) * std::sin(hourAngle),
               z = std::sin(dec);
    const Real south = x * std::sin(lat) - z * std::cos(lat);
    const Real up = x * std::cos(lat) + z * std::sin(lat);
    azimuth = std::atan2(west, south);
    altitude = std::atan2(up, std::hypot(south, west));
}

TEST(Horizon, AgreesWithRotationOfTheSphere) {
    for (Real lat = -1.5L; lat <= 1.5L; lat += 0.25L) {
        for (Real dec = -1.5L; dec <= 1.5L; dec += 0.125L) {
            for (Real h = -3.1L; h <= 3.15L; h += 0.2L) {
                Real az, alt;
                HorizonByRotation(h, dec, lat, az, alt);
                if (std::fabs(alt) > 1.55L) continue; // azimuth ill-defined near the zenith and nadir
                Real a = 0.7L, b = dec;               // right ascension 0.7, lst = 0.7 + h
                EquatorialToHorizon(a, b, std::sin(lat), std::cos(lat), 0.7L + h);
                ASSERT_NEAR(b, alt, 1e-15L) << static_cast<double>(lat) << " " << static_cast<double>(dec);
                Real da = a - az;
                if (da > Pi) da -= TwoPi;
                if (da < -Pi) da += TwoPi;
                ASSERT_NEAR(da, 0, 1e-14L) << static_cast<double>(lat) << " " << static_cast<double>(dec)
                                           << " " << static_cast<double>(h);
                ASSERT_GT(a, -Pi);
                ASSERT_LE(a, Pi);
            }
        }
    }
}

TEST(Horizon, CardinalPoints) {
    struct Case {
        const char* name;
        Real hourAngle, dec, lat, azimuth, altitude;
    } const cases[] = {
        {"due west on the horizon, latitude 54.3", Pi / 2, 0, 0.9477L, Pi / 2, 0},
        {"due west on the horizon, latitude -33", Pi / 2, 0, -0.576L, Pi / 2, 0},
        {"due west on the horizon, equator", Pi / 2, 0, 0, Pi / 2, 0},
        {"due east", -Pi / 2, 0, 0.9477L, -Pi / 2, 0},
        {"on the meridian to the south", 0, 0.2L, 0.9477L, 0, Pi / 2 - 0.9477L + 0.2L},
        {"due north on the meridian, above the horizon", 0, 1.3L, 0.9477L, Pi, Pi / 2 - 1.3L + 0.9477L},
        {"due north at lower culmination", Pi, 1.3L, 0.9477L, Pi, 0.9477L + 1.3L - Pi / 2},
        {"celestial north pole", 1.0L, Pi / 2, 0.9477L, Pi, 0.9477L},
    };
    for (const Case& c : cases) {
        Real a = 2.0L, b = c.dec;
        EquatorialToHorizon(a, b, std::sin(c.lat), std::cos(c.lat), 2.0L + c.hourAngle);
        EXPECT_NEAR(b, c.altitude, 1e-15L) << c.name;
        // +pi and -pi are the same direction; -pi itself never comes out.
        Real da = std::remainder(a - c.azimuth, TwoPi);
        EXPECT_NEAR(da, 0, 1e-9L) << c.name;
        EXPECT_GT(a, -Pi) << c.name;
    }
}

TEST(Horizon, ZenithAndNonFiniteInput) {
    // Exactly overhead: the sine may round beyond 1 and is clamped.
    const Real lat = 0.9477L;
    Real a = 1.0L, b = lat;
    EquatorialToHorizon(a, b, std::sin(lat), std::cos(lat), 1.0L);
    EXPECT_NEAR(b, Pi / 2, 1e-9L);
    EXPECT_FALSE(std::isnan(b));
    EXPECT_FALSE(std::isnan(a));
    a = NaN;
    b = 0.1L;
    EquatorialToHorizon(a, b, 0.5L, 0.8L, 1.0L);
    EXPECT_TRUE(std::isnan(a));
    EXPECT_TRUE(std::isnan(b));
}

} // namespace
} // namespace astro

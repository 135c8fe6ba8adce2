// Clock values, the civil calendar, Julian dates, sidereal time and the
// observer's horizon.
//
// Time scale: the program keeps one Julian date of Universal Time. The clock
// the user sees and types is Central European Time, MEZ = UT + 1 h exactly
// (no summer time). No difference between Universal Time and dynamical time
// is applied anywhere: the Sun and Moon theories receive Universal Time.
//
// Clock values "hh.mm": the integer part is hours, the first two decimals are
// minutes and further decimals continue the minutes (13.455 is 13 h 45.5 min).
// The time step of the animation is written the same way.
//
// Calendar: astronomical year numbering (year 0 is 1 BC); the Gregorian
// calendar from 15 October 1582 on, the Julian calendar before.
//
// Range: the conversions hold from 1 March -4712 (Julian calendar; Julian
// date 59.5) up to the largest 32-bit year. Before that the truncations
// toward zero in the formulas no longer act as "floor": for years before
// -4711 (and January and February of -4712) JulianDateFromCivil returns a
// Julian date one day too late (1 January -4712, 1.00 MEZ gives 0.5 instead
// of -0.5), and CivilFromJulianDate of a Julian date below -0.5 returns fields
// that are no calendar date (day 0 or negative, a negative month or clock,
// 1 March -4800 coming back as day -29 of month -8 of -4799). Both stay finite
// and defined there. No input is undefined: NaN or an infinity gives NaN
// Julian dates and clocks (the date fields then come out as 0 or saturated at
// the 32-bit limits).
#pragma once

#include <cstdint>

#include "astro/Numeric.h"

namespace astro {

struct CalendarDate {
    std::int32_t Day = 0;
    std::int32_t Month = 0;
    std::int32_t Year = 0; // astronomical numbering
};

// Decimal hours of the clock value c (hh.mm): Trunc(c) + (c - Trunc(c)) / 0.6.
// A negative c has a negative fraction too: -1.30 gives -1.5.
Real HoursFromClock(Real c);

// The clock value hh.mm of decimal hours h; -1.5 gives -1.30.
Real ClockFromHours(Real h);

// Julian date (UT, days) of the civil date and the MEZ clock value. The
// calendar switch is decided on Year*10000 + Month*100 + day with its MEZ
// fraction: from 15821015.0 on the date is Gregorian. Day and clock need not
// be in range (day 32 is the first of the next month, clock 25.00 is 1.00 on
// the next day). 2000 January 1, 13.00 MEZ gives 2451545.0.
Real JulianDateFromCivil(const CalendarDate& date, Real clock);

// The civil date and MEZ clock value (hh.mm, not rounded to minutes) of the
// Julian date jd (UT). A clock that would pass 24 comes out on the next day
// after midnight (24.30 becomes 0.30 of the next date); exactly 24.00 stays.
void CivilFromJulianDate(CalendarDate& date, Real& clock, Real jd);

// Julian centuries since 2000 January 1.5: (jd - 2451545.0) / 36525.0.
Real CenturiesSinceJ2000(Real jd);

// Local mean sidereal time in radians, in [0, 2 pi), of the civil date and MEZ
// clock value at the geographic longitude in radians (east positive).
Real LocalSiderealTime(const CalendarDate& date, Real clock, Real longitude);

// Turns the pair (p, q) by the angle whose sine and cosine are given:
// p' = c p - s q, q' = s p + c q. With p = Y, q = Z of an ecliptic vector and
// the obliquity's sine and cosine it gives equatorial coordinates.
void RotatePair(Real& p, Real& q, Real sinA, Real cosA);

// On entry a is the right ascension and b the declination (radians); on exit
// a is the azimuth, counted from the south point and positive toward the west,
// in (-pi, pi], and b the altitude. sinLat and cosLat are the sine and cosine
// of the observer's latitude, lst the local sidereal time in radians. An
// object due north has azimuth pi; the azimuth of the zenith itself is pi too.
void EquatorialToHorizon(Real& a, Real& b, Real sinLat, Real cosLat, Real lst);

} // namespace astro

#include "astro/TimeScales.h"

#include <cmath>

#include "astro/Vectors.h"

namespace astro {

namespace {

// Julian date of the first day of the Gregorian calendar, 1582 October 15,
// as the integer part of jd + 0.5 that the back conversion tests against.
constexpr Real LastJulianDayNumber = 2299160;

// One pass of the back conversion: the date and MEZ clock of jd, where the
// clock may come out above 24 when the Universal Time is after 23 h.
void CivilOnce(CalendarDate& date, Real& clock, Real jd) {
    const Real shifted = jd + 0.5L;
    const Real z = std::trunc(shifted); // day number
    const Real f = shifted - z;         // fraction of the day since 0 h UT
    Real a = z;
    if (z > LastJulianDayNumber) {
        // Gregorian calendar: remove the leap days that it drops.
        const Real alpha = std::trunc((z - 1867216.25L) / 36524.25L);
        a = z + 1 + alpha - std::trunc(alpha / 4);
    }
    const Real b = a + 1524;
    const Real c = std::trunc((b - 122.1L) / 365.25L);
    const Real d = std::trunc(365.25L * c);
    const Real e = std::trunc((b - d) / 30.6001L);
    const Real dayWithFraction = (b - d) - std::trunc(30.6001L * e) + f;
    date.Day = TruncToInt32(dayWithFraction);
    if (e <= 13) {
        date.Month = TruncToInt32(e - 1);
        date.Year = TruncToInt32(c - 4716);
    } else {
        date.Month = TruncToInt32(e - 13);
        date.Year = TruncToInt32(c - 4715);
    }
    // Universal Time to MEZ.
    clock = ClockFromHours((dayWithFraction - std::trunc(dayWithFraction)) * 24) + 1;
}

} // namespace

Real HoursFromClock(Real c) {
    const Real hours = std::trunc(c);
    return hours + (c - hours) / 0.6L;
}

Real ClockFromHours(Real h) {
    const Real a = std::fabs(h);
    const Real sign = h < 0 ? -1 : 1;
    const Real hours = std::trunc(a);
    return sign * (hours + (a - hours) * 0.6L);
}

Real JulianDateFromCivil(const CalendarDate& date, Real clock) {
    // Everything in reals: Year * 10000 would overflow a 32-bit integer.
    const Real year = date.Year;
    const Real month = date.Month;
    const Real day = HoursFromClock(clock) / 24 + date.Day; // day of the month with its MEZ fraction
    const Real testValue = year * 10000 + month * 100 + day;
    // The offsets 4712 and 88 and the constants -63.5 and 38 together give
    // the ordinary Julian date.
    Real b = -63.5L;
    Real y = year + 4712;
    Real m = month + 1;
    if (m <= 3) { // January and February count as months 13 and 14 of the year before
        y = y - 1;
        m = m + 12;
    }
    if (testValue >= 15821015) { // Gregorian calendar
        const Real a = std::trunc((y + 88) / 100);
        b = std::trunc(a / 4) + (b + 38 - a);
    }
    // The final 1/24 day turns the MEZ clock into Universal Time.
    return std::trunc(y * 365.25L) + std::trunc(m * 30.6001L) + day + b - 1.0L / 24;
}

void CivilFromJulianDate(CalendarDate& date, Real& clock, Real jd) {
    CivilOnce(date, clock, jd);
    // A clock past 24 belongs to the next day: repeat one hour later and take
    // the hour back. One repetition always leaves the clock at or below 24
    // (the hour then lies after midnight); the bound only guarantees an end
    // where an hour no longer changes jd.
    Real later = jd;
    int repetitions = 0;
    while (clock > 24 && repetitions < 2) {
        later = later + 1.0L / 24;
        ++repetitions;
        CivilOnce(date, clock, later);
    }
    clock = clock - repetitions;
}

Real CenturiesSinceJ2000(Real jd) {
    return (jd - 2451545.0L) / 36525.0L;
}

Real LocalSiderealTime(const CalendarDate& date, Real clock, Real longitude) {
    const Real j0 = JulianDateFromCivil(date, 1.00L); // 0 h UT of the civil date
    // Hours: 2445700.5 is 1984 January 1, 0 h UT, when the Greenwich sidereal
    // time was 6.656306 h; 0.0657098242 h of sidereal time gained per day,
    // 1.0027379093 sidereal hours per hour of Universal Time (the clock minus
    // one hour).
    Real s = (j0 - 2445700.5L) * 0.0657098242L + 6.656306L + longitude * 12 / Pi +
             (HoursFromClock(clock) - 1) * 1.0027379093L;
    s = (s / 24 - std::trunc(s / 24)) * 24;
    if (s < 0) s = s + 24;
    if (s >= 24) s = 0; // a tiny negative s plus 24 can round to 24 itself
    return s / 12 * Pi;
}

void RotatePair(Real& p, Real& q, Real sinA, Real cosA) {
    const Real oldP = p, oldQ = q;
    p = cosA * oldP - sinA * oldQ;
    q = sinA * oldP + cosA * oldQ;
}

void EquatorialToHorizon(Real& a, Real& b, Real sinLat, Real cosLat, Real lst) {
    const Real hourAngle = lst - a;
    const Real sinDec = std::sin(b), cosDec = std::cos(b);
    const Real sinH = std::sin(hourAngle), cosH = std::cos(hourAngle);
    const Real altitude = ArcSine(sinDec * sinLat + cosDec * cosLat * cosH); // clamped at the zenith
    // west = cos h sin A, north = cos h (-cos A) for the azimuth A from south.
    const Real west = cosDec * sinH;
    const Real north = sinDec * cosLat - cosDec * sinLat * cosH;
    const Real cosAlt = std::cos(altitude);
    // Half-angle form tan(A/2) = west / (cos h - north). Its denominator
    // cancels toward zero as the object nears the north point, so there the
    // equal form (cos h + north) / west is used: it turns an object exactly
    // due north (west = 0) into A = +-pi instead of dividing 0 by a rounding
    // residue.
    Real azimuth;
    if (north <= 0) {
        const Real denominator = cosAlt - north;
        azimuth = denominator == 0 ? Pi : 2 * std::atan(west / denominator); // 0 only at the zenith
    } else {
        azimuth = 2 * std::atan((cosAlt + north) / west);
    }
    if (azimuth <= -Pi) azimuth = Pi;
    a = azimuth;
    b = altitude;
}

} // namespace astro

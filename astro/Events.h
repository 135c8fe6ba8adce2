// Rising, culmination and setting of the Sun and the Moon for a place on the
// Earth, and the instants of the Moon's four principal phases, computed from
// the program's own Sun and Moon series so that a printed table agrees with
// the animation.
//
// Time scale: Julian dates of Universal Time throughout, as everywhere in the
// program; the series receive Universal Time directly (no Delta T), which
// puts the Moon about 0.55" per second of Delta T behind its place and the
// phase instants late by Delta T itself (about 1.2 min in 2024). A civil day
// is the MEZ day, 0.00 to 24.00 MEZ = 23 h UT of the day before to 23 h UT.
//
// Conventions (those of the almanacs):
// - Places: the series' geometric ecliptic positions (mean equinox and
//   ecliptic of date); the Sun's longitude is made apparent by the annual
//   aberration, -20.49" / R (R its distance in AU); the Moon's light time
//   (0.7") is neglected. Nutation is left out on both sides: it moves the
//   right ascension and the sidereal time alike and does not change the
//   elongation.
// - Equatorial coordinates use the mean obliquity of date (IAU 2006
//   polynomial), not the animation's fixed 23.5 degrees: that is 0.05 to 0.12
//   degree too large in 1950-2100 and would move risings and settings by up
//   to half a minute at 54 degrees of latitude and by several minutes at 65.
// - Sidereal time is the program's own local mean sidereal time.
// - Rising and setting are those of the upper limb with 34' of refraction at
//   the horizon: the Sun's centre then stands at -50' (semidiameter 16'),
//   the Moon's geocentric centre at h0 = 0.7275 pi - 34', pi its horizontal
//   parallax (geocentric altitude minus parallax plus semidiameter = -34',
//   the semidiameter being 0.2725 pi).
// - Culmination (transit) is the upper one, the meridian passage with hour
//   angle 0. Its altitude is topocentric for the Moon (seen from the place
//   on the reference ellipsoid, flattening 1/298.257), geocentric for the
//   Sun (its parallax, 9", is neglected), and has no refraction.
// - Azimuths are counted from north through east, as on a compass; at the
//   interface they and the altitudes are degrees.
//
// Accuracy, against PyEphem 4.1.4 (tools/events/compare-events.py: eleven
// sites up to 65 degrees north and south, 11000 days of 1950-2100): rising,
// setting and culmination within 1.4 min (99 % within 0.3 min), azimuths
// within 0.3 degree, the Moon's culmination altitude within 1.5'; phase
// instants within 0.2 min once Delta T is allowed for, so that as given
// they come Delta T late: 1.25 min at most up to 2024, 3.8 min in 2100 with
// PyEphem's extrapolated Delta T of 225 s. Where the altitude barely reaches
// the horizon (a grazing Moon at high latitude) a tenth of an arcminute
// decides whether a rising and setting happen at all and moves them by
// minutes.
#pragma once

#include <vector>

#include "astro/Numeric.h"

namespace astro {

enum class Body { Sun, Moon };

enum class EventKind {
    Rise,
    Set,
    Transit,      // upper culmination
    NoRise,       // the body does not rise on this civil day
    NoSet,        // the body does not set on this civil day
    NewMoon,      // elongation 0
    FirstQuarter, // elongation 90 degrees
    FullMoon,     // elongation 180 degrees
    LastQuarter,  // elongation 270 degrees
};

struct Event {
    Real jd = 0; // Julian date, UT; for NoRise and NoSet the middle of their day (12.00 MEZ)
    Body body = Body::Sun;
    EventKind kind = EventKind::Rise;
    Real azimuth = 0;  // degrees from north through east, [0, 360), when hasAzimuth
    Real altitude = 0; // degrees, when hasAltitude
    bool hasAzimuth = false;
    bool hasAltitude = false;
};

// Mean obliquity of the ecliptic of date, radians, at T Julian centuries
// since 2000 January 1.5 (IAU 2006 polynomial; the program passes UT for TT).
Real MeanObliquity(Real T);

// Risings, settings and upper culminations of the body seen from the place
// at geographic latitude and longitude (radians, east positive) with jdStart
// <= jd < jdEnd (Julian dates, UT), sorted by time.
//
// Rise and Set carry the azimuth of the body's centre at the instant; Transit
// carries its azimuth (180 when it culminates south of the zenith, 0 when
// north) and altitude. Found by sampling every hour, at every upper and
// lower culmination and at the altitude's extremes near the horizon, then
// bisecting to one second; so rising and setting are found even when they
// lie minutes apart (a grazing Moon at high latitude).
//
// Latitudes beyond +-90 degrees are clamped to the pole; at the poles the
// hour angle is still taken from the given longitude. Non-finite arguments
// and jdEnd <= jdStart give an empty list; a range longer than
// MaxEventSpanDays is cut there.
std::vector<Event> HorizonEvents(Body body, Real latitude, Real longitude, Real jdStart, Real jdEnd);

// The instants of new moon, first quarter, full moon and last quarter with
// jdStart <= jd < jdEnd (UT), sorted: where the Moon's ecliptic longitude
// minus the Sun's apparent longitude passes 0, 90, 180 and 270 degrees.
// Bisected to one second between hourly samples. body is Moon; no azimuth
// or altitude. Empty for non-finite arguments or an empty range; the range is
// cut at MaxEventSpanDays.
std::vector<Event> PhaseEvents(Real jdStart, Real jdEnd);

// Every event of a worksheet for `days` civil days from jd0 on: the days are
// [jd0 + k, jd0 + k + 1) for k = 0 .. days - 1, so jd0 =
// JulianDateFromCivil(date, 0.00) makes them MEZ days. Sun rise and set; Moon
// rise, set and culmination; on each day without a rise or a set of a body a
// NoRise or NoSet for it (at the day's middle); the phase instants. Sorted by
// time. days <= 0 or a non-finite argument gives an empty list; days is cut
// at MaxEventSpanDays.
std::vector<Event> EventsForDays(Real latitude, Real longitude, Real jd0, int days);

// The longest range, in days, that the functions above cover in one call
// (a bound on their loops and their memory; 200 Julian years).
inline constexpr int MaxEventSpanDays = 73050;

} // namespace astro

// The rows of orvandel-ephem: the Sun's and the Moon's positions for a site
// and an instant, with the inside view's picture values, computed by the
// scene's pure geometry, and their CSV text; and the rows of its events
// table (rising, culmination, setting, the principal phases and the
// contacts of lunar eclipses), as CSV and as a German table. No Qt, no
// program-wide state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/SceneGeometry.h"
#include "astro/Eclipse.h"
#include "astro/Events.h"
#include "astro/TimeScales.h"

namespace app {

// One body's position; angles in degrees.
struct BodyPosition {
    Real longitude = 0; // ecliptic, as the series returns it
    Real latitude = 0;
    Real distance = 0;       // AU for the Sun, Earth radii for the Moon
    Real rightAscension = 0; // [0, 360)
    Real declination = 0;
    Real azimuth = 0; // from south, positive toward west, (-180, 180]
    Real altitude = 0;
};

// The inside view's picture of the Moon and the sky.
struct InsidePicture {
    Real phaseAngle = 0;       // degrees, signed
    Real illuminated = 0;      // fraction of the disc
    const char* sky = "night"; // "day", "twilight" or "night"
    Real limbAngle = 0;        // degrees
};

struct EphemerisRow {
    Real jd = 0; // UT
    astro::CalendarDate date;
    Real clock = 0; // MEZ, hh.mm
    Real siderealHours = 0;
    BodyPosition sun;
    BodyPosition moon;
    InsidePicture picture;
    // Whether the Moon is in the Earth's shadow at the instant, and how.
    astro::EclipseKind eclipse = astro::EclipseKind::None;
};

// The inputs of the inside scene for a run of the inside view at `site`
// with the central azimuth (radians) on a client area of width x height
// pixels, as the program's initialisation sets them up.
InsideSceneInput EphemerisInput(const Site& site, Real centralAzimuth, std::int32_t width,
                                std::int32_t height);

// The row of the instant jd (UT) for `input` (its jd is replaced).
EphemerisRow ComputeEphemerisRow(InsideSceneInput input, Real jd);

inline constexpr const char* EphemerisCsvHeader =
    "jd,date,clock,lst_h,sun_lon,sun_lat,sun_dist,sun_ra,sun_dec,sun_az,sun_alt,"
    "moon_lon,moon_lat,moon_dist,moon_ra,moon_dec,moon_az,moon_alt,"
    "phase_angle,illuminated,sky,limb_angle,eclipse";

// The row as one CSV line (without the line end): numbers with 15
// significant digits in the C locale, the clock hh.mm with six decimals.
std::string EphemerisCsvLine(const EphemerisRow& row);

// The clock value hh.mm with six decimals. Rounding the decimals carries a
// minute that comes out as 60 into the hour: 13.5999999999 (a rounding
// residue of 14 h) is written 14.000000, not 13.600000.
std::string FormatClockSixDecimals(Real clock);

// ---- The events table ---------------------------------------------------------

// What happens at a row of the events table: the events of astro/Events.h,
// the contacts of a lunar eclipse, and its greatest eclipse (whose row
// carries the eclipse's kind).
enum class EventRowKind {
    Rise,
    Set,
    Transit,
    NoRise,
    NoSet,
    NewMoon,
    FirstQuarter,
    FullMoon,
    LastQuarter,
    EclipseP1, // the Moon's limb touches the penumbra from outside
    EclipseU1, // ... the umbra from outside
    EclipseU2, // ... the umbra from inside: totality begins
    EclipseGreatest,
    EclipseU3, // totality ends
    EclipseU4, // the Moon leaves the umbra
    EclipseP4, // the Moon leaves the penumbra
};

struct EventRow {
    Real jd = 0;              // UT; for NoRise and NoSet the middle of their day (12.00 MEZ)
    astro::CalendarDate date; // the MEZ day
    std::int32_t minute = 0;  // MEZ minute of the day, 0 .. 1439 (see MezDayAndMinute)
    astro::Body body = astro::Body::Sun;
    EventRowKind kind = EventRowKind::Rise;
    astro::EclipseKind eclipse = astro::EclipseKind::None; // for the eclipse rows
    Real azimuth = 0;                                      // degrees from north through east, when hasAzimuth
    Real altitude = 0;                                     // degrees, when hasAltitude
    bool hasAzimuth = false;
    bool hasAltitude = false;
};

// The MEZ day of the instant jd (UT) and its clock rounded to the minute.
// The last half minute of a day (23.59.30 and later) is written 23.59: it
// stays on its day and is never 24.00, so that the day of a rising is the
// day that has it (and no "kein Aufgang").
void MezDayAndMinute(Real jd, astro::CalendarDate& date, std::int32_t& minute);

// Every event of `days` MEZ days from firstDay on at the place (degrees,
// north and east positive), sorted by time: the Sun's rising and setting,
// the Moon's rising, culmination and setting, the days without a rising or a
// setting, the principal phases (all from astro::EventsForDays), and the
// contacts and the greatest eclipse of the lunar eclipses that fall in the
// range. days <= 0 or a non-finite argument gives none; days is cut at
// astro::MaxEventSpanDays.
std::vector<EventRow> ComputeEventRows(Real latitudeDeg, Real longitudeDeg,
                                       const astro::CalendarDate& firstDay, std::int32_t days);

inline constexpr const char* EventsCsvHeader = "date,clock,body,event,az,alt";

// "rise", "set", "transit", "no_rise", "no_set", "new_moon",
// "first_quarter", "full_moon", "last_quarter", "eclipse_p1", "eclipse_u1",
// "eclipse_u2", "eclipse_u3", "eclipse_u4", "eclipse_p4"; the greatest
// eclipse by its kind: "eclipse_total", "eclipse_partial",
// "eclipse_penumbral".
std::string EventCode(const EventRow& row);

// The row as one CSV line (without the line end): D.M.YYYY, hh.mm (MEZ),
// sun|moon, the event code, azimuth and altitude with one decimal (empty
// where the event has none).
std::string EventCsvLine(const EventRow& row);

// A minute of the day (0..1439) as the clock text "h.mm": 1263 gives "21.03".
std::string MinuteClockText(std::int32_t minute);

// The German name of a principal phase ("Neumond", "Erstes Viertel",
// "Vollmond", "Letztes Viertel"); nullptr for every other kind of row.
const char* PhaseName(EventRowKind kind);

// The German name of the row's event: "Sonnenaufgang", "Mondaufgang",
// "Kulmination", "Vollmond", "Mondfinsternis: Beginn Halbschatten", ...
std::string EventName(const EventRow& row);

// The clock "h.mm" of the row, or for a day without one "kein Aufgang" or
// "kein Untergang".
std::string EventClockText(const EventRow& row);

// A place in German: "54,3° n. Br., 10,1° ö. L." (one or two decimals, as
// the degrees need them; south "s. Br.", west "w. L.").
std::string PlaceText(Real latitudeDeg, Real longitudeDeg);

// A number with the given decimals and a decimal comma: 127,5.
std::string GermanNumber(Real value, int decimals);

// The readable German table of the rows: a title line with the place, the
// column heads, the rows by day with an empty line between days. UTF-8.
std::string EventsText(const std::vector<EventRow>& rows, Real latitudeDeg, Real longitudeDeg);

// The day of the week of a civil date: 0 Monday .. 6 Sunday.
int Weekday(const astro::CalendarDate& date);

// The German names: "Montag" .. "Sonntag" (index as Weekday), "Januar" ..
// "Dezember" (month 1 .. 12).
const char* WeekdayName(int weekday);
const char* MonthName(int month);

} // namespace app

#include "app/Ephemeris.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <utility>

namespace app {

namespace {

BodyPosition Body(const astro::SphericalPos& ecliptic, Real distance, const SkyPosition& sky) {
    BodyPosition body;
    body.longitude = astro::RadiansToDegrees(ecliptic.Longitude);
    body.latitude = astro::RadiansToDegrees(ecliptic.Latitude);
    body.distance = distance;
    body.rightAscension = astro::RadiansToDegrees(sky.rightAscension);
    body.declination = astro::RadiansToDegrees(sky.declination);
    body.azimuth = astro::RadiansToDegrees(sky.azimuth);
    body.altitude = astro::RadiansToDegrees(sky.altitude);
    return body;
}

// A number with 15 significant digits (trailing zeros kept), C locale.
void AppendNumber(std::string& line, Real value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%#.15Lg", value);
    line += ',';
    line += buffer;
}

void AppendBody(std::string& line, const BodyPosition& body) {
    for (Real value : {body.longitude, body.latitude, body.distance, body.rightAscension, body.declination,
                       body.azimuth, body.altitude}) {
        AppendNumber(line, value);
    }
}

} // namespace

InsideSceneInput EphemerisInput(const Site& site, Real centralAzimuth, std::int32_t width,
                                std::int32_t height) {
    InsideSceneInput in;
    in.site = site;
    in.eye = EyePoint();
    astro::RotationAboutZ(in.azimuthMatrix, -centralAzimuth);
    in.world = InsideWorldWindow(width - 1, height - 1, DefaultInsideHalfWidth);
    in.moonPlacementDistance = DefaultOutsideDiscRadius;
    return in;
}

EphemerisRow ComputeEphemerisRow(InsideSceneInput input, Real jd) {
    input.jd = jd;
    const InsideSceneResult s = ComputeInsideScene(input);
    EphemerisRow row;
    row.jd = jd;
    row.date = s.instant.date;
    row.clock = s.instant.clock;
    row.siderealHours = s.instant.localSiderealTime * 12 / astro::Pi;
    row.sun = Body(s.bodies.sun, s.bodies.sunDistanceAU, s.sun);
    row.moon = Body(s.bodies.moon, s.bodies.moon.Radius, s.moon);
    row.picture.phaseAngle = astro::RadiansToDegrees(s.phaseAngle);
    row.picture.illuminated = IlluminatedFraction(s.phaseAngle);
    row.picture.sky = s.height.aboveHorizon ? "day" : s.height.inTwilight ? "twilight" : "night";
    row.picture.limbAngle = astro::RadiansToDegrees(s.brightLimbAngle);
    astro::Vector3 sun, moon;
    astro::SphericalToVector(s.bodies.sun, sun);
    astro::SphericalToVector(s.bodies.moon, moon);
    row.eclipse = astro::ComputeLunarShadow(sun, moon).kind;
    return row;
}

std::string FormatClockSixDecimals(Real clock) {
    char buffer[64];
    if (!(std::fabs(clock) < 1e6L)) { // never for a real date; NaN as well
        std::snprintf(buffer, sizeof buffer, "%.6Lf", clock);
        return buffer;
    }
    const Real magnitude = std::fabs(clock);
    Real hours = std::trunc(magnitude);
    Real millionths = std::nearbyint((magnitude - hours) * 1e6L);
    if (millionths >= 600000) {
        hours = hours + 1;
        millionths = millionths - 600000;
    }
    std::snprintf(buffer, sizeof buffer, "%s%.0Lf.%06d", clock < 0 ? "-" : "", hours,
                  static_cast<int>(astro::RoundToInt32(millionths)));
    return buffer;
}

std::string EphemerisCsvLine(const EphemerisRow& row) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%#.15Lg,%d.%d.%d,", row.jd, static_cast<int>(row.date.Day),
                  static_cast<int>(row.date.Month), static_cast<int>(row.date.Year));
    std::string line = buffer;
    line += FormatClockSixDecimals(row.clock);
    AppendNumber(line, row.siderealHours);
    AppendBody(line, row.sun);
    AppendBody(line, row.moon);
    AppendNumber(line, row.picture.phaseAngle);
    AppendNumber(line, row.picture.illuminated);
    line += ',';
    line += row.picture.sky;
    AppendNumber(line, row.picture.limbAngle);
    line += ',';
    line += astro::EclipseKindText(row.eclipse);
    return line;
}

// ---- The events table ---------------------------------------------------------

namespace {

EventRowKind RowKind(astro::EventKind kind) {
    switch (kind) {
    case astro::EventKind::Rise:
        return EventRowKind::Rise;
    case astro::EventKind::Set:
        return EventRowKind::Set;
    case astro::EventKind::Transit:
        return EventRowKind::Transit;
    case astro::EventKind::NoRise:
        return EventRowKind::NoRise;
    case astro::EventKind::NoSet:
        return EventRowKind::NoSet;
    case astro::EventKind::NewMoon:
        return EventRowKind::NewMoon;
    case astro::EventKind::FirstQuarter:
        return EventRowKind::FirstQuarter;
    case astro::EventKind::FullMoon:
        return EventRowKind::FullMoon;
    case astro::EventKind::LastQuarter:
        return EventRowKind::LastQuarter;
    }
    return EventRowKind::Rise;
}

// The eclipses are looked for in pieces of this many days: FindLunarEclipses
// examines about 110 years from its start.
constexpr Real EclipseSearchPiece = 36500;

// The contacts and the greatest eclipse of the eclipses with from <= jd < to.
void AddEclipseRows(Real from, Real to, std::vector<EventRow>& rows) {
    for (const astro::LunarEclipse& e : astro::FindLunarEclipses(from, to)) {
        const std::pair<std::optional<Real>, EventRowKind> instants[] = {
            {e.p1, EventRowKind::EclipseP1}, {e.u1, EventRowKind::EclipseU1},
            {e.u2, EventRowKind::EclipseU2}, {e.greatest, EventRowKind::EclipseGreatest},
            {e.u3, EventRowKind::EclipseU3}, {e.u4, EventRowKind::EclipseU4},
            {e.p4, EventRowKind::EclipseP4},
        };
        for (const auto& [jd, kind] : instants) {
            if (!jd || !(*jd >= from && *jd < to)) continue;
            EventRow row;
            row.jd = *jd;
            row.body = astro::Body::Moon;
            row.kind = kind;
            row.eclipse = e.kind;
            rows.push_back(row);
        }
    }
}

// The number of code points of UTF-8 text: its width in a fixed-pitch table.
std::size_t TextWidth(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string PadRight(const std::string& text, std::size_t width) {
    const std::size_t w = TextWidth(text);
    return w >= width ? text + " " : text + std::string(width - w, ' ');
}

std::string PadLeft(const std::string& text, std::size_t width) {
    const std::size_t w = TextWidth(text);
    return w >= width ? text : std::string(width - w, ' ') + text;
}

std::string DateText(const astro::CalendarDate& date) {
    return std::to_string(date.Day) + "." + std::to_string(date.Month) + "." + std::to_string(date.Year);
}

} // namespace

void MezDayAndMinute(Real jd, astro::CalendarDate& date, std::int32_t& minute) {
    // Days counted from a MEZ midnight: Julian days begin at noon UT, MEZ
    // days at 23 h UT.
    const Real mezDays = jd + 0.5L + 1.0L / 24;
    const Real day = std::floor(mezDays);
    const Real minutes = std::min<Real>(std::nearbyint((mezDays - day) * 1440), 1439);
    minute = astro::RoundToInt32(minutes);
    Real clock = 0;
    astro::CivilFromJulianDate(date, clock, day - 1.0L / 24); // 12.00 MEZ of that day
}

std::vector<EventRow> ComputeEventRows(Real latitudeDeg, Real longitudeDeg,
                                       const astro::CalendarDate& firstDay, std::int32_t days) {
    std::vector<EventRow> rows;
    const Real jd0 = astro::JulianDateFromCivil(firstDay, 0);
    if (days <= 0 || !std::isfinite(jd0) || !std::isfinite(latitudeDeg) || !std::isfinite(longitudeDeg))
        return rows;
    days = std::min(days, astro::MaxEventSpanDays);
    for (const astro::Event& e : astro::EventsForDays(astro::DegreesToRadians(latitudeDeg),
                                                      astro::DegreesToRadians(longitudeDeg), jd0, days)) {
        EventRow row;
        row.jd = e.jd;
        row.body = e.body;
        row.kind = RowKind(e.kind);
        row.azimuth = e.azimuth;
        row.altitude = e.altitude;
        row.hasAzimuth = e.hasAzimuth;
        row.hasAltitude = e.hasAltitude;
        rows.push_back(row);
    }
    const Real jdEnd = jd0 + days;
    for (Real from = jd0; from < jdEnd; from = from + EclipseSearchPiece)
        AddEclipseRows(from, std::min(from + EclipseSearchPiece, jdEnd), rows);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const EventRow& a, const EventRow& b) { return a.jd < b.jd; });
    for (EventRow& row : rows)
        MezDayAndMinute(row.jd, row.date, row.minute);
    return rows;
}

std::string EventCode(const EventRow& row) {
    switch (row.kind) {
    case EventRowKind::Rise:
        return "rise";
    case EventRowKind::Set:
        return "set";
    case EventRowKind::Transit:
        return "transit";
    case EventRowKind::NoRise:
        return "no_rise";
    case EventRowKind::NoSet:
        return "no_set";
    case EventRowKind::NewMoon:
        return "new_moon";
    case EventRowKind::FirstQuarter:
        return "first_quarter";
    case EventRowKind::FullMoon:
        return "full_moon";
    case EventRowKind::LastQuarter:
        return "last_quarter";
    case EventRowKind::EclipseP1:
        return "eclipse_p1";
    case EventRowKind::EclipseU1:
        return "eclipse_u1";
    case EventRowKind::EclipseU2:
        return "eclipse_u2";
    case EventRowKind::EclipseGreatest:
        return std::string("eclipse_") + astro::EclipseKindText(row.eclipse);
    case EventRowKind::EclipseU3:
        return "eclipse_u3";
    case EventRowKind::EclipseU4:
        return "eclipse_u4";
    case EventRowKind::EclipseP4:
        return "eclipse_p4";
    }
    return "";
}

std::string EventCsvLine(const EventRow& row) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%d.%02d", static_cast<int>(row.minute / 60),
                  static_cast<int>(row.minute % 60));
    std::string line = DateText(row.date) + "," + buffer + "," +
                       (row.body == astro::Body::Sun ? "sun" : "moon") + "," + EventCode(row) + ",";
    if (row.hasAzimuth) {
        // One decimal; 359.96 is written 0.0, not 360.0.
        Real azimuth = std::nearbyint(row.azimuth * 10) / 10;
        if (azimuth >= 360) azimuth = azimuth - 360;
        std::snprintf(buffer, sizeof buffer, "%.1Lf", azimuth + 0.0L);
        line += buffer;
    }
    line += ',';
    if (row.hasAltitude) {
        std::snprintf(buffer, sizeof buffer, "%.1Lf", std::nearbyint(row.altitude * 10) / 10 + 0.0L);
        line += buffer;
    }
    return line;
}

const char* PhaseName(EventRowKind kind) {
    switch (kind) {
    case EventRowKind::NewMoon:
        return "Neumond";
    case EventRowKind::FirstQuarter:
        return "Erstes Viertel";
    case EventRowKind::FullMoon:
        return "Vollmond";
    case EventRowKind::LastQuarter:
        return "Letztes Viertel";
    default:
        return nullptr;
    }
}

std::string EventName(const EventRow& row) {
    const bool sun = row.body == astro::Body::Sun;
    switch (row.kind) {
    case EventRowKind::NewMoon:
    case EventRowKind::FirstQuarter:
    case EventRowKind::FullMoon:
    case EventRowKind::LastQuarter:
        return PhaseName(row.kind);
    case EventRowKind::Rise:
    case EventRowKind::NoRise:
        return sun ? "Sonnenaufgang" : "Mondaufgang";
    case EventRowKind::Set:
    case EventRowKind::NoSet:
        return sun ? "Sonnenuntergang" : "Monduntergang";
    case EventRowKind::Transit:
        return sun ? "Kulmination der Sonne" : "Kulmination";
    case EventRowKind::EclipseP1:
        return "Mondfinsternis: Beginn Halbschatten";
    case EventRowKind::EclipseU1:
        return "Mondfinsternis: Beginn Kernschatten";
    case EventRowKind::EclipseU2:
        return "Mondfinsternis: Beginn Totalität";
    case EventRowKind::EclipseGreatest:
        return row.eclipse == astro::EclipseKind::Total     ? "Totale Mondfinsternis: Mitte"
               : row.eclipse == astro::EclipseKind::Partial ? "Partielle Mondfinsternis: Mitte"
                                                            : "Halbschatten-Mondfinsternis: Mitte";
    case EventRowKind::EclipseU3:
        return "Mondfinsternis: Ende Totalität";
    case EventRowKind::EclipseU4:
        return "Mondfinsternis: Ende Kernschatten";
    case EventRowKind::EclipseP4:
        return "Mondfinsternis: Ende Halbschatten";
    }
    return "";
}

std::string EventClockText(const EventRow& row) {
    if (row.kind == EventRowKind::NoRise) return "kein Aufgang";
    if (row.kind == EventRowKind::NoSet) return "kein Untergang";
    return MinuteClockText(row.minute);
}

std::string MinuteClockText(std::int32_t minute) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d.%02d", static_cast<int>(minute / 60),
                  static_cast<int>(minute % 60));
    return buffer;
}

std::string GermanNumber(Real value, int decimals) {
    const Real scale = std::pow(Real{10}, decimals);
    Real rounded = std::nearbyint(value * scale) / scale;
    if (rounded == 0) rounded = 0; // no "-0,0"
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*Lf", decimals, rounded);
    std::string text = buffer;
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

std::string PlaceText(Real latitudeDeg, Real longitudeDeg) {
    // One decimal, two where the second is not zero.
    auto degrees = [](Real value) {
        const Real magnitude = std::fabs(value);
        const bool two = std::nearbyint(magnitude * 100) != std::nearbyint(magnitude * 10) * 10;
        return GermanNumber(magnitude, two ? 2 : 1) + "°";
    };
    return degrees(latitudeDeg) + (latitudeDeg < 0 ? " s. Br., " : " n. Br., ") + degrees(longitudeDeg) +
           (longitudeDeg < 0 ? " w. L." : " ö. L.");
}

std::string EventsText(const std::vector<EventRow>& rows, Real latitudeDeg, Real longitudeDeg) {
    constexpr std::size_t DateWidth = 15, NameWidth = 37, ClockWidth = 15, AngleWidth = 8;
    std::string text = "Ereignisse für " + PlaceText(latitudeDeg, longitudeDeg) +
                       "\nZeiten in MEZ (Weltzeit + 1 Stunde), Azimut von Norden über Osten\n\n";
    text += PadRight("Datum", DateWidth) + PadRight("Ereignis", NameWidth) + PadRight("Uhrzeit", ClockWidth) +
            PadLeft("Azimut", AngleWidth) + PadLeft("Höhe", AngleWidth) + "\n";
    bool first = true;
    astro::CalendarDate previous;
    for (const EventRow& row : rows) {
        const bool newDay = first || row.date.Day != previous.Day || row.date.Month != previous.Month ||
                            row.date.Year != previous.Year;
        if (newDay && !first) text += "\n";
        std::string line = PadRight(newDay ? std::string(WeekdayName(Weekday(row.date))).substr(0, 2) + " " +
                                                 DateText(row.date)
                                           : "",
                                    DateWidth) +
                           PadRight(EventName(row), NameWidth) +
                           PadRight(row.kind == EventRowKind::NoRise || row.kind == EventRowKind::NoSet
                                        ? EventClockText(row)
                                        : PadLeft(EventClockText(row), 5), // the points one below the other
                                    ClockWidth) +
                           PadLeft(row.hasAzimuth ? GermanNumber(row.azimuth, 1) + "°" : "", AngleWidth) +
                           PadLeft(row.hasAltitude ? GermanNumber(row.altitude, 1) + "°" : "", AngleWidth);
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + "\n";
        first = false;
        previous = row.date;
    }
    return text;
}

int Weekday(const astro::CalendarDate& date) {
    // The Julian day number of the date (12 h UT is 13.00 MEZ); day number 0
    // was a Monday.
    const std::int32_t n = astro::RoundToInt32(astro::JulianDateFromCivil(date, 13.00L));
    return ((n % 7) + 7) % 7;
}

const char* WeekdayName(int weekday) {
    static constexpr const char* Names[] = {"Montag",  "Dienstag", "Mittwoch", "Donnerstag",
                                            "Freitag", "Samstag",  "Sonntag"};
    return weekday >= 0 && weekday < 7 ? Names[weekday] : "";
}

const char* MonthName(int month) {
    static constexpr const char* Names[] = {"Januar",    "Februar", "März",     "April",
                                            "Mai",       "Juni",    "Juli",     "August",
                                            "September", "Oktober", "November", "Dezember"};
    return month >= 1 && month <= 12 ? Names[month - 1] : "";
}

} // namespace app

#include "app/MoonCalendar.h"

#include <cmath>
#include <string>
#include <vector>

#include "app/Ephemeris.h"

namespace app {

namespace {

// The screen of orvandel-ephem's limb_angle, for the same angle here.
constexpr std::int32_t ScreenWidth = 1920, ScreenHeight = 1080;

std::string ClockText(Real clock) {
    // hh.mm as given (0.00 .. 23.59), to the minute.
    const Real hours = std::trunc(clock);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d.%02d", static_cast<int>(astro::RoundToInt32(hours)),
                  static_cast<int>(astro::RoundToInt32(std::trunc((clock - hours) * 100 + 1e-6L))));
    return buffer;
}

// "Aufgang 6.12" or "Aufgang 0.12, 23.58" or "kein Aufgang".
std::string HorizonLine(const char* word, const std::vector<std::string>& times, const char* none) {
    if (times.empty()) return none;
    std::string line = word;
    for (std::size_t i = 0; i < times.size(); ++i)
        line += (i == 0 ? " " : ", ") + times[i];
    return line;
}

} // namespace

CalendarMoon MoonSeenAt(const Site& site, Real jd) {
    InsideSceneInput input = EphemerisInput(site, 0, ScreenWidth, ScreenHeight);
    input.jd = jd;
    const InsideSceneResult ahead = ComputeInsideScene(input);
    input = EphemerisInput(site, ahead.moon.azimuth, ScreenWidth, ScreenHeight);
    input.jd = jd;
    const InsideSceneResult s = ComputeInsideScene(input);
    return CalendarMoon{IlluminatedFraction(s.phaseAngle), s.brightLimbAngle, s.moonAltitude};
}

window::CalendarSheet MoonCalendarSheet(const CalendarOptions& options) {
    const astro::CalendarDate first{1, options.month, options.year};
    const astro::CalendarDate next = options.month == 12
                                         ? astro::CalendarDate{1, 1, options.year + 1}
                                         : astro::CalendarDate{1, options.month + 1, options.year};
    const Real jd0 = astro::JulianDateFromCivil(first, 0);
    const std::int32_t days = astro::RoundToInt32(astro::JulianDateFromCivil(next, 0) - jd0);
    const int firstColumn = Weekday(first);
    const std::string clock = ClockText(options.clock);

    window::CalendarSheet sheet;
    sheet.title =
        "Mondkalender " + std::string(MonthName(options.month)) + " " + std::to_string(options.year);
    sheet.subtitle =
        PlaceText(options.latitude, options.longitude) + " · Auf- und Untergang des oberen Mondrandes in MEZ";
    sheet.legend =
        "Der Mond um " + clock +
        " MEZ: weiß die beleuchtete Seite, die Linie darunter ist der Horizont; gestrichelt: unter dem "
        "Horizont.";
    for (int d = 0; d < 7; ++d)
        sheet.weekdays.push_back(WeekdayName(d));
    sheet.rows = (firstColumn + days + 6) / 7;

    // The rising and setting times and the phases of each day.
    std::vector<std::vector<std::string>> risings(static_cast<std::size_t>(days)), settings(risings);
    std::vector<const EventRow*> phases(static_cast<std::size_t>(days), nullptr);
    const std::vector<EventRow> rows = ComputeEventRows(options.latitude, options.longitude, first, days);
    for (const EventRow& row : rows) {
        const std::int32_t day = astro::TruncToInt32(std::floor(row.jd - jd0));
        if (row.body != astro::Body::Moon || day < 0 || day >= days) continue;
        const auto k = static_cast<std::size_t>(day);
        if (row.kind == EventRowKind::Rise) risings[k].push_back(MinuteClockText(row.minute));
        if (row.kind == EventRowKind::Set) settings[k].push_back(MinuteClockText(row.minute));
        if (PhaseName(row.kind)) phases[k] = &row;
    }

    const Site site =
        MakeSite(astro::DegreesToRadians(options.latitude), astro::DegreesToRadians(options.longitude));
    for (std::int32_t k = 0; k < days; ++k) {
        window::CalendarDay day;
        day.column = (firstColumn + k) % 7;
        day.row = (firstColumn + k) / 7;
        // The date of the day itself: October 1582 skips ten days.
        astro::CalendarDate date;
        Real noon = 0;
        astro::CivilFromJulianDate(date, noon, jd0 + k + 0.5L);
        day.number = std::to_string(date.Day);
        const CalendarMoon moon = MoonSeenAt(site, astro::JulianDateFromCivil(date, options.clock));
        day.moon.litFraction = moon.illuminated;
        day.moon.brightLimbAngle = moon.brightLimbAngle;
        day.moon.aboveHorizon = moon.altitude > 0;
        const auto index = static_cast<std::size_t>(k);
        day.lines.push_back(HorizonLine("Aufgang", risings[index], "kein Aufgang"));
        day.lines.push_back(HorizonLine("Untergang", settings[index], "kein Untergang"));
        if (phases[index]) {
            day.phase = PhaseName(phases[index]->kind);
            day.phaseTime = MinuteClockText(phases[index]->minute) + " Uhr";
        }
        sheet.days.push_back(day);
    }
    return sheet;
}

} // namespace app

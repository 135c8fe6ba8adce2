// The contents of a Moon calendar for one month and place: for every day
// the Moon as the inside view shows it at one clock time (its lit share and
// the direction of its bright limb against the horizon), its rising and
// setting, and the principal phases; as the sheet that window/CalendarPage
// draws. No Qt.
#pragma once

#include "app/CommandLine.h"
#include "app/SceneGeometry.h"
#include "window/CalendarSheet.h"

namespace app {

// The Moon at the instant jd (UT) in the inside view at `site`, the view
// turned toward the Moon's azimuth so that the Moon stands in the middle of
// the picture (on the 1920 x 1080 screen that orvandel-ephem assumes).
struct CalendarMoon {
    Real illuminated = 0;     // lit share of the disc, the scene's
    Real brightLimbAngle = 0; // radians, the scene's: counter-clockwise from the horizon, y up
    Real altitude = 0;        // radians, geocentric, as the inside view places the Moon
};
CalendarMoon MoonSeenAt(const Site& site, Real jd);

// The sheet of the month: title "Mondkalender <Monat> <Jahr>", the place in
// German in the subtitle, weekday heads Montag .. Sonntag, the
// days of the month in weeks beginning on Monday, each with the Moon at the
// clock time (MEZ), "Aufgang h.mm" / "kein Aufgang" and "Untergang h.mm" /
// "kein Untergang", the phase on its day ("Vollmond", "h.mm Uhr"), and the
// one-line legend with the clock.
window::CalendarSheet MoonCalendarSheet(const CalendarOptions& options);

} // namespace app

// The contents of a calendar page as plain data: the texts ready to print
// (UTF-8), and for each day the picture of the Moon by its lit share and the
// direction of its bright limb. window/CalendarPage draws it on an A4 page.
// No Qt.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "astro/Numeric.h"

namespace window {

// The Moon of one day as the page draws it: a disc lit toward brightLimbAngle
// with the terminator a half ellipse, so that litFraction of its area is lit.
struct CalendarMoonPicture {
    astro::Real litFraction = 0; // 0 (new) .. 1 (full)
    // Radians, counter-clockwise from the page's horizontal to the right,
    // which stands for the horizon: the direction from the disc's centre to
    // its bright limb.
    astro::Real brightLimbAngle = 0;
    bool aboveHorizon = true; // false: drawn with a dashed outline and a hatched dark part
};

struct CalendarDay {
    std::int32_t column = 0; // 0 (Monday) .. 6 (Sunday)
    std::int32_t row = 0;    // the week of the month, from 0
    std::string number;      // the day of the month, "17"
    CalendarMoonPicture moon;
    std::vector<std::string> lines; // under the Moon (rising and setting)
    std::string phase;              // a principal phase on this day ("Vollmond") or empty
    std::string phaseTime;          // its time ("12.39 Uhr")
};

struct CalendarSheet {
    std::string title;                 // "Mondkalender März 2026"
    std::string subtitle;              // the place and the clock of the pictures
    std::string legend;                // one line at the foot of the page
    std::vector<std::string> weekdays; // the seven column heads, Monday first
    std::int32_t rows = 0;             // weeks of the grid, 4 .. 6
    std::vector<CalendarDay> days;
};

} // namespace window

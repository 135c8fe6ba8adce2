// A calendar sheet drawn on one A4 page (210 x 297 mm, portrait), black on
// white: the title and subtitle, the weekday heads, a grid of 7 columns and
// sheet.rows weeks, in each day's cell its number, its Moon over a short
// horizon line, the lines of text under it and the principal phase (the
// cell then framed in a heavier line), and the legend at the foot.
//
// Written as PDF through Qt's PDF writer or as a PNG of 150 dots per inch
// (1240 x 1754 pixels, grey levels). Needs a QGuiApplication (the offscreen
// platform will do) for the fonts: Liberation Sans.
//
// The geometry is given in millimetres from the page's top-left corner, x to
// the right, y down, so that tests can find the drawing on a picture.
#pragma once

#include <cstdint>
#include <string>

#include "astro/Numeric.h"
#include "window/CalendarSheet.h"

namespace window {

inline constexpr astro::Real CalendarPageWidthMm = 210;
inline constexpr astro::Real CalendarPageHeightMm = 297;
inline constexpr int CalendarPngDotsPerInch = 150;

struct CalendarRect {
    astro::Real left = 0, top = 0, width = 0, height = 0; // mm
};

// The grid of the cells (the weekday heads stand above it).
CalendarRect CalendarGridRect(const CalendarSheet& sheet);

// The cell of a column (0 .. 6) and a row (0 .. sheet.rows - 1).
CalendarRect CalendarCellRect(const CalendarSheet& sheet, int column, int row);

// The Moon's disc in a cell: centre and radius in mm.
struct CalendarDisc {
    astro::Real centreX = 0, centreY = 0, radius = 0;
};
CalendarDisc CalendarMoonDisc(const CalendarSheet& sheet, int column, int row);

// The page as the bytes of a PNG file (150 dpi) or of a PDF file. Throw
// UserError (window/TextFiles.h) when Qt cannot encode it.
std::string CalendarPagePng(const CalendarSheet& sheet);
std::string CalendarPagePdf(const CalendarSheet& sheet);

// Writes the page to `path` as PDF (pdf true) or PNG, through a temporary
// file beside it that replaces `path` only when complete. Throws UserError.
void WriteCalendarPage(const CalendarSheet& sheet, const std::string& path, bool pdf);

} // namespace window

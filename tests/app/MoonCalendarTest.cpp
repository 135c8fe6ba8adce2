// The Moon calendar: the month's grid, the days' texts against published
// phases and the Moon's missing rising and setting, the page rendered
// offscreen (its grid and one day's Moon against the inside scene), and the
// program writing the page.
#include <QByteArray>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "app/Ephemeris.h"
#include "app/MoonCalendar.h"
#include "app/SceneGeometry.h"
#include "window/CalendarPage.h"

namespace {

namespace fs = std::filesystem;
using astro::Real;

app::CalendarOptions Month(std::int32_t month, std::int32_t year) {
    app::CalendarOptions o;
    o.month = month;
    o.year = year;
    return o;
}

// Weeks begin on Monday; October 1582 lost ten days to the calendar switch.
TEST(MoonCalendar, DaysStandInWeeksBeginningOnMonday) {
    struct {
        const char* name;
        std::int32_t month, year, rows, firstColumn;
        std::size_t days;
        const char *title, *lastNumber;
    } const rows[] = {
        {"begins on a Sunday", 3, 2026, 6, 6, 31, "Mondkalender März 2026", "31"},
        {"four full weeks", 2, 2027, 4, 0, 28, "Mondkalender Februar 2027", "28"},
        {"the calendar switch", 10, 1582, 3, 0, 21, "Mondkalender Oktober 1582", "31"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const window::CalendarSheet sheet = app::MoonCalendarSheet(Month(r.month, r.year));
        EXPECT_EQ(sheet.title, r.title);
        EXPECT_EQ(sheet.rows, r.rows);
        ASSERT_EQ(sheet.days.size(), r.days);
        EXPECT_EQ(sheet.days.front().column, r.firstColumn);
        EXPECT_EQ(sheet.days.back().number, r.lastNumber);
        for (std::size_t k = 0; k < sheet.days.size(); ++k) {
            EXPECT_EQ(sheet.days[k].column, static_cast<std::int32_t>((r.firstColumn + k) % 7));
            EXPECT_EQ(sheet.days[k].row, static_cast<std::int32_t>((r.firstColumn + k) / 7));
        }
    }
    // 4 October 1582 (Thursday) was followed by 15 October (Friday).
    const window::CalendarSheet october = app::MoonCalendarSheet(Month(10, 1582));
    EXPECT_EQ(october.days[3].number, "4");
    EXPECT_EQ(october.days[4].number, "15");
    EXPECT_EQ(october.days[4].column, 4);
}

// Kiel, January 2024: USNO's phases (UT + 1 h; the program's come 1.2 min
// late), and the days without moonrise (3rd) and moonset (17th) that
// PyEphem gives with the almanac settings.
TEST(MoonCalendar, PhasesAndRisingsOfTheDays) {
    const window::CalendarSheet sheet = app::MoonCalendarSheet(Month(1, 2024));
    EXPECT_EQ(sheet.subtitle.rfind("54,3° n. Br., 10,1° ö. L.", 0), 0u) << sheet.subtitle;
    EXPECT_NE(sheet.legend.find("21.00 MEZ"), std::string::npos) << sheet.legend;
    struct {
        int day;
        const char* phase;
        int minuteOfDay; // USNO, MEZ
    } const phases[] = {{4, "Letztes Viertel", 4 * 60 + 30},
                        {11, "Neumond", 12 * 60 + 57},
                        {18, "Erstes Viertel", 4 * 60 + 52},
                        {25, "Vollmond", 18 * 60 + 54}};
    int marked = 0;
    for (const window::CalendarDay& day : sheet.days) {
        const int number = std::stoi(day.number);
        SCOPED_TRACE(number);
        ASSERT_EQ(day.lines.size(), 2u);
        if (number == 3)
            EXPECT_EQ(day.lines[0], "kein Aufgang");
        else
            EXPECT_EQ(day.lines[0].rfind("Aufgang ", 0), 0u) << day.lines[0];
        if (number == 17)
            EXPECT_EQ(day.lines[1], "kein Untergang");
        else
            EXPECT_EQ(day.lines[1].rfind("Untergang ", 0), 0u) << day.lines[1];
        marked += !day.phase.empty();
        for (const auto& p : phases) {
            if (p.day != number) continue;
            EXPECT_EQ(day.phase, p.phase);
            int h = 0, m = 0;
            ASSERT_EQ(std::sscanf(day.phaseTime.c_str(), "%d.%d Uhr", &h, &m), 2) << day.phaseTime;
            EXPECT_NEAR(h * 60 + m, p.minuteOfDay, 2) << day.phaseTime;
        }
    }
    EXPECT_EQ(marked, 4);
}

QImage RenderedPage(const window::CalendarSheet& sheet) {
    const std::string png = window::CalendarPagePng(sheet);
    return QImage::fromData(QByteArray(png.data(), static_cast<qsizetype>(png.size())), "PNG");
}

constexpr Real PixelsPerMm = window::CalendarPngDotsPerInch / 25.4L;

int Grey(const QImage& image, Real xMm, Real yMm) {
    return qGray(image.pixel(static_cast<int>(std::floor(xMm * PixelsPerMm)),
                             static_cast<int>(std::floor(yMm * PixelsPerMm))));
}

// The page is A4 at 150 dpi; the grid's lines stand where the layout puts
// them, seven columns and one row a week, and nothing else crosses the
// cells' top margin.
TEST(MoonCalendar, PageHasTheGridOfTheMonth) {
    const window::CalendarSheet sheet = app::MoonCalendarSheet(Month(3, 2026));
    const QImage page = RenderedPage(sheet);
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(page.size(), QSize(1240, 1754));
    const window::CalendarRect grid = window::CalendarGridRect(sheet);
    const Real column = grid.width / 7, row = grid.height / sheet.rows;
    for (int r = 0; r < sheet.rows; ++r) {
        const Real y = grid.top + r * row + 1.2L; // below the row's top line and a phase's frame
        for (int c = 0; c <= 7; ++c) {
            const Real x = grid.left + c * column;
            EXPECT_LT(Grey(page, x, y), 128) << "no line at column " << c << ", row " << r;
            if (c < 7) {
                EXPECT_GT(Grey(page, x + column / 2, y), 200) << "a line inside column " << c;
            }
        }
    }
    for (int r = 0; r <= sheet.rows; ++r) {
        const Real y = grid.top + r * row;
        for (int c = 0; c < 7; ++c)
            EXPECT_LT(Grey(page, grid.left + (c + 0.5L) * column, y), 128) << "no line at row " << r;
    }
    EXPECT_GT(Grey(page, grid.left + column / 2, grid.top + 6 * row + 2), 200) << "a seventh row";
}

// The disc of a day on the page, lit as the inside scene lights the Moon at
// 21.00 MEZ, and lit toward the sheet's bright-limb direction. 23 March 2026
// is a waxing crescent in the evening sky of Kiel, lit toward the lower right
// where the Sun has set.
TEST(MoonCalendar, DayMoonOnThePageIsTheScenesMoon) {
    const window::CalendarSheet sheet = app::MoonCalendarSheet(Month(3, 2026));
    const QImage page = RenderedPage(sheet);
    const app::Site site = app::MakeSite(astro::DegreesToRadians(54.3L), astro::DegreesToRadians(10.1L));
    for (const int number : {23, 27}) {
        SCOPED_TRACE(number);
        const window::CalendarDay& day = sheet.days[static_cast<std::size_t>(number - 1)];
        ASSERT_TRUE(day.moon.aboveHorizon);
        app::InsideSceneInput input = app::EphemerisInput(site, 0, 1920, 1080);
        input.jd = astro::JulianDateFromCivil(astro::CalendarDate{number, 3, 2026}, 21.00L);
        const Real lit = app::IlluminatedFraction(app::ComputeInsideScene(input).phaseAngle);

        const window::CalendarDisc disc = window::CalendarMoonDisc(sheet, day.column, day.row);
        const Real cx = disc.centreX * PixelsPerMm, cy = disc.centreY * PixelsPerMm;
        const Real r = disc.radius * PixelsPerMm, inner = r - 2; // inside the outline
        // The lit share from the terminator's place on the diameter through
        // the bright limb: the lit part reaches -r (2 k - 1) from the centre.
        const Real ux = std::cos(day.moon.brightLimbAngle), uy = -std::sin(day.moon.brightLimbAngle);
        Real terminator = -r;
        for (Real t = inner; t > -inner; t = t - 0.25L) {
            if (qGray(page.pixel(static_cast<int>(std::floor(cx + t * ux)),
                                 static_cast<int>(std::floor(cy + t * uy)))) < 128) {
                terminator = t;
                break;
            }
        }
        EXPECT_NEAR((1 - terminator / r) / 2, lit, 0.03L);
        // Lit along the bright limb's direction, dark opposite it.
        EXPECT_GT(
            qGray(page.pixel(static_cast<int>(cx + 0.8L * r * ux), static_cast<int>(cy + 0.8L * r * uy))),
            128);
        EXPECT_LT(
            qGray(page.pixel(static_cast<int>(cx - 0.8L * r * ux), static_cast<int>(cy - 0.8L * r * uy))),
            128);
        if (number == 23) { // lit toward the lower right
            EXPECT_GT(astro::RadiansToDegrees(day.moon.brightLimbAngle), -80);
            EXPECT_LT(astro::RadiansToDegrees(day.moon.brightLimbAngle), -10);
        }
    }
}

// The program writes the page, PDF or PNG by the name, and leaves nothing
// else in the folder; a bad month writes nothing.
TEST(MoonCalendar, ProgramWritesOnePage) {
    const fs::path folder = fs::temp_directory_path() / ("orvandel-calendar-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const auto run = [&](const std::string& args) {
        const std::string command = "cd '" + folder.string() + "' && '" + ORVANDEL_PROGRAM + "' " + args +
                                    " >/dev/null 2>&1 </dev/null";
        const int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    const auto start = [&](const char* name, std::size_t n) {
        std::ifstream in(folder / name, std::ios::binary);
        std::string head(n, '\0');
        in.read(head.data(), static_cast<std::streamsize>(n));
        return head;
    };
    EXPECT_EQ(run("--kalender 03.2026 --ort 52.5,13.4 Mond.pdf"), 0);
    EXPECT_EQ(start("Mond.pdf", 5), "%PDF-");
    EXPECT_EQ(run("--kalender 03.2026 --uhrzeit 5.30 Mond.png"), 0);
    EXPECT_EQ(start("Mond.png", 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(run("--kalender 13.2026 Falsch.png"), 2);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Mond.pdf", "Mond.png"}));
    fs::remove_all(folder);
}

} // namespace

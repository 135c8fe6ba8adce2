// The texts of the status panel and the help screens, and the placement of
// the start screen's lines beside the prompt dialog, without drawing.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/Panel.h"
#include "app/Parameters.h"
#include "astro/Vectors.h"

namespace {

using app::Real;

constexpr Real Degree = astro::Degree;

// ---------------------------------------------------------------- date, time, place

struct DateRow {
    std::int32_t day, month, year;
    const char* expected;
};

TEST(PanelText, Date) {
    const DateRow rows[] = {
        {7, 12, 2026, "7.12.2026  "},
        {31, 1, 800, "31.1.800  "},   // a three-digit year loses its one blank
        {1, 1, -44, "1.1.-44  "},     // a year before the common era keeps its sign
        {1, 1, 12345, "1.1.12345  "}, // a field is never cut
    };
    for (const DateRow& r : rows)
        EXPECT_EQ(app::PanelDateText(r.day, r.month, r.year), r.expected)
            << r.day << "." << r.month << "." << r.year;
}

struct TimeRow {
    Real startTime;
    const char* expected;
};

TEST(PanelText, TimeWithTheRuleForSixtyMinutes) {
    const TimeRow rows[] = {
        {14.597L, "15.00"}, // formats as 14.60: the next full hour
        {9.598L, "10.00"},  // " 9.60" becomes "10.00", without the blank
        {9.05L, " 9.05"},   // only one of the two leading blanks goes
        {0, " 0.00"},       {14.594L, "14.59"}, {12.3L, "12.30"}, {23.5L, "23.50"},
    };
    for (const TimeRow& r : rows)
        EXPECT_EQ(app::PanelTimeText(r.startTime), r.expected) << static_cast<double>(r.startTime);
}

TEST(PanelText, EquatorialCoordinates) {
    struct {
        Real hours, minutes, declinationDeg;
        const char* expected;
    } const rows[] = {
        {16, 58.4L, -22.84L, "α 16h 58m, δ −22,8°"}, {16, 58.6L, -22.86L, "α 16h 59m, δ −22,9°"},
        {3, 5, 7.4L, "α  3h 05m, δ  +7,4°"},         {23, 59.7L, 0.04L, "α  0h 00m, δ   0,0°"},
        {0, 0, -0.04L, "α  0h 00m, δ   0,0°"},       {-1, 0, -90, "α 23h 00m, δ −90,0°"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(
            app::EquatorialPositionText((r.hours + r.minutes / 60) * 15 * Degree, r.declinationDeg * Degree),
            r.expected);
    EXPECT_EQ(app::EquatorialLineText(254.5L * Degree, -22.8L * Degree, 46.25L * Degree, 60.06L * Degree),
              "Sonne: α 16h 58m, δ −22,8°   Mond: α  3h 05m, δ +60,1°");
}

struct LocationRow {
    const char* latitudeText;
    const char* longitudeText;
    Real latitude, longitude; // radians, only the signs count
    const char* expected;
};

TEST(PanelText, Location) {
    const LocationRow rows[] = {
        {"-33.9", "-70.6", -33.9L * Degree, -70.6L * Degree, "Standort: 33.9° s.B., 70.6° w.L."},
        {"54.3", "10.1", 54.3L * Degree, 10.1L * Degree, "Standort: 54.3° n.B., 10.1° ö.L."},
        {"-33.9", "151.2", -33.9L * Degree, 151.2L * Degree, "Standort: 33.9° s.B., 151.2° ö.L."},
        {"40,5", "-3.7", 40.5L * Degree, -3.7L * Degree, "Standort: 40,5° n.B., 3.7° w.L."}, // as typed
        {"0", "-0", 0, -0.0L, "Standort: 0° n.B., 0° ö.L."}, // a negative zero is not west
    };
    for (const LocationRow& r : rows)
        EXPECT_EQ(app::PanelLocationText(r.latitudeText, r.longitudeText, r.latitude, r.longitude),
                  r.expected)
            << r.latitudeText << " " << r.longitudeText;
}

// ---------------------------------------------------------------- headings

// The view matrix after a number of tilt steps of ten degrees from the
// identity (up for positive, down for negative), composed as the tilt keys
// compose it.
astro::Matrix3 Tilted(int steps) {
    astro::Matrix3 view, tiltBack, tiltForward;
    astro::RotationAboutX(view, 0);
    astro::RotationAboutX(tiltBack, -10 * Degree);
    astro::RotationAboutX(tiltForward, 10 * Degree);
    for (int i = 0; i < steps; ++i)
        astro::MultiplyMatrices(tiltForward, view, view);
    for (int i = 0; i > steps; --i)
        astro::MultiplyMatrices(view, tiltBack, view);
    return view;
}

astro::Matrix3 Rotation(Real angle) {
    astro::Matrix3 m;
    astro::RotationAboutX(m, angle);
    return m;
}

struct HeadingRow {
    const char* name;
    std::uint8_t perspective;
    astro::Matrix3 view;
    const char* expected;
};

TEST(PanelText, PerspectiveHeadings) {
    // The latitude view's rotation: latitude - 23.5 degrees in the north,
    // 156.5 degrees - latitude in the south and on the equator.
    const HeadingRow rows[] = {
        {"untilted", 0, Tilted(0), "Blick vom Nordpol der Ekliptik"},
        {"tilt 0.5", 0, Rotation(0.5L * Degree), "Blick vom Nordpol der Ekliptik"},
        {"tilt -0.5", 0, Rotation(-0.5L * Degree), "Blick vom Nordpol der Ekliptik"},
        {"tilt 30", 0, Tilted(3), "Blick von 60° nördl. ekl. Breite"},
        {"tilt -30", 0, Tilted(-3), "Blick von 60° nördl. ekl. Breite"},
        {"tilt 90", 0, Tilted(9), "Blick von  0° nördl. ekl. Breite"},
        {"tilt 100", 0, Tilted(10), "Blick von 10° südl. ekl. Breite"},
        {"tilt 180", 0, Tilted(18), "Blick von 90° südl. ekl. Breite"},
        {"tilt 190", 0, Tilted(19), "Blick von 80° südl. ekl. Breite"},
        {"tilt 360", 0, Tilted(36), "Blick vom Nordpol der Ekliptik"},
        {"54.3 N", 1, Rotation((54.3L - 23.5L) * Degree), "Blick von  59.2° nördl. ekl. Breite"},
        {"33.9 S", 1, Rotation((156.5L + 33.9L) * Degree), "Blick von  79.6° südl. ekl. Breite"},
        {"equator", 1, Rotation(156.5L * Degree), "Blick von  66.5° südl. ekl. Breite"},
        {"88 N", 1, Rotation((88 - 23.5L) * Degree), "Blick von  25.5° nördl. ekl. Breite"},
        {"54.3 N tilted 10", 1,
         [] {
             astro::Matrix3 m = Rotation((54.3L - 23.5L) * Degree);
             astro::Matrix3 forward;
             astro::RotationAboutX(forward, 10 * Degree);
             astro::MultiplyMatrices(forward, m, m);
             return m;
         }(),
         "Blick von  49.2° nördl. ekl. Breite"},
        {"horizon view", 2, Tilted(3), ""},
    };
    for (const HeadingRow& r : rows)
        EXPECT_EQ(app::PerspectiveHeading(r.perspective, r.view), r.expected) << r.name;
}

TEST(PanelText, ViewerLatitudeAndItsSign) {
    // The latitude view at 54.3 N: the viewer stands at 90 - 30.8 = 59.2
    // degrees, not at 54.3 + 23.5 = 77.8.
    EXPECT_NEAR(static_cast<double>(app::ViewerEclipticLatitude(Rotation(30.8L * Degree)) / Degree), 59.2,
                1e-12);
    EXPECT_NEAR(static_cast<double>(app::ViewerEclipticLatitude(Rotation(190.4L * Degree)) / Degree), -79.6,
                1e-12);
    // A latitude that rounds to zero is not called southern.
    EXPECT_EQ(app::LatitudeViewHeading(-0.01L * Degree), "Blick von   0.0° nördl. ekl. Breite");
    EXPECT_EQ(app::LatitudeViewHeading(-0.06L * Degree), "Blick von   0.1° südl. ekl. Breite");
    EXPECT_EQ(app::PoleViewHeading(-0.4L * Degree), "Blick von  0° nördl. ekl. Breite");
    // One degree from the pole is no longer the pole's view.
    EXPECT_EQ(app::PoleViewHeading(88.999L * Degree), "Blick von 89° nördl. ekl. Breite");
    EXPECT_EQ(app::PoleViewHeading(89.001L * Degree), "Blick vom Nordpol der Ekliptik");
}

// ---------------------------------------------------------------- start screen

TEST(StartScreenLines, PromptBandIsCentredOnTheClientArea) {
    EXPECT_EQ(app::PromptBand(1080, 167).top, 456);
    EXPECT_EQ(app::PromptBand(1080, 167).bottom, 623);
    EXPECT_EQ(app::PromptBand(600, 167).top, 216); // (600 - 167) / 2 truncated
    EXPECT_EQ(app::PromptBand(600, 190).bottom, 395);
}

TEST(StartScreenLines, NoLineWithinTwoLinesOfTheBand) {
    const app::TextBand band{400, 520};
    const std::vector<std::int32_t> rows = app::StartScreenLineRows(80, band, 13, 13);
    ASSERT_EQ(rows.size(), 80u);
    for (std::int32_t r : rows)
        EXPECT_FALSE(374 < r && r < 546) << "line bottom at " << r;
    // Above the band the lines follow one another from two lines below the
    // top; the first below it is the first row beyond 546 on the same grid.
    std::vector<std::int32_t> expected;
    for (int k = 0; k <= 26; ++k)
        expected.push_back(26 + 13 * k); // ... 351, 364
    for (int k = 0; k < 3; ++k)
        expected.push_back(559 + 13 * k);
    EXPECT_EQ(std::vector<std::int32_t>(rows.begin(), rows.begin() + 30), expected);
}

struct LineRowsCase {
    const char* name;
    std::size_t count;
    app::TextBand band;
    std::int32_t heading, body;
    std::vector<std::int32_t> expected;
};

TEST(StartScreenLines, HeadingsAndBody) {
    const LineRowsCase cases[] = {
        {"two headings", 2, {400, 520}, 22, 15, {44, 66}},
        {"three headings, two body lines", 5, {400, 520}, 22, 15, {44, 66, 88, 110, 125}},
        // A line exactly two text heights above the band is drawn; the next
        // goes to the first row beyond two heights below it.
        {"edges", 4, {50, 60}, 10, 10, {20, 30, 90, 100}},
        // The fourth line is tested with the heading's margin: the font
        // changes only after the test.
        {"fourth line", 5, {125, 225}, 20, 10, {40, 60, 80, 280, 290}},
        // Body lines keep a margin of two body heights.
        {"body lines", 8, {150, 200}, 20, 10, {40, 60, 80, 100, 110, 120, 130, 230}},
        {"empty file", 0, {400, 520}, 22, 15, {}},
    };
    for (const LineRowsCase& c : cases)
        EXPECT_EQ(app::StartScreenLineRows(c.count, c.band, c.heading, c.body), c.expected) << c.name;
}

// ---------------------------------------------------------------- help

TEST(HelpScreens, OutsideViewLines) {
    const std::vector<std::string> expected = {
        "\"e\": Einzelschritt an/aus",
        "\"p\": Pause an/aus",
        "\"*\",\"/\"  : Zeitschritt größer/kleiner",
        "\"<=\",\"=>\": Verzögerung größer/kleiner",
        "\"^\",\"v\"  : Kippen des Bildes nach hinten/vorn",
        "\"-\",\"+\"  : Richtung des Zeitschrittes",
        "\">\",\"<\"  : Mond und Sonne oder Erde größer/kleiner",
        "Wechsel der Perspektive (bei der Ansicht von außen):",
        "\"h\"      : (1. Klick) Blick über den Breitenkreis des Standortes,",
        "         : (2. Klick) Blick über Horizont bei ruhender Erde,",
        "         : (3. Klick) Blick vom Ekliptiknordpol.        ",
        "\"s\": Bildspeicherung",
        " F2: Abspeichern der Eingabeparameter",
        "\"d\": Wechsel zur Ansicht von innen",
    };
    std::vector<std::string> actual;
    for (std::string_view line : app::OutsideHelpLines())
        actual.emplace_back(line);
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(app::OutsideHelpContinueText, "weiter mit Tastendruck !");
}

TEST(HelpScreens, InsideViewLines) {
    const std::vector<std::string> expected = {
        " weiter mit Tastendruck!",
        "    \"e\"    : Einzelschritt an/aus",
        "    \"s\"    : Speichern des Bildes",
        "    \"a\"    : Einblenden der Äquatorialkoordinaten",
        "    \"p\"    : Pause an/aus",
        "    \"+\"    : positive Zeitrichtung",
        "    \"-\"    : Änderung der Zeitrichtung",
        "    \"l\"    : Visierlinien zu Sonne und Mond",
        "  \"*\",\"/\"  : Zeitschritt größer/kleiner            \"<=\",\"=>\": Verzögerung größer/kleiner",
        "  \">\",\"<\"  : Sonne und Mond größer/kleiner                F2: Abspeichern der Eingabeparameter",
        "   \"ESC\"   : Neueingabe der Parameter ",
        "  \"Ctrl C\" : Abbruch des Programmes",
        "    \"d\"    : Wechsel zur Ansicht von außen",
    };
    std::vector<std::string> actual;
    for (std::string_view line : app::InsideHelpLines())
        actual.emplace_back(line);
    EXPECT_EQ(actual, expected);
}

} // namespace

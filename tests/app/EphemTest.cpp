// The orvandel-ephem program, run as a separate process: its CSV for fixed
// instants checked against values computed here from the astro library and
// from the inside view's scene, the phase and bright limb at known
// situations, and its answers to bad options.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/Ephemeris.h"
#include "app/MainLoop.h"
#include "app/Parameters.h"
#include "app/Scene.h"
#include "astro/Moon.h"
#include "astro/Sun.h"
#include "astro/TimeScales.h"
#include "astro/Vectors.h"
#include "window/WorldWindow.h"

namespace {

using astro::Real;

const std::string Header = "jd,date,clock,lst_h,sun_lon,sun_lat,sun_dist,sun_ra,sun_dec,sun_az,sun_alt,"
                           "moon_lon,moon_lat,moon_dist,moon_ra,moon_dec,moon_az,moon_alt,"
                           "phase_angle,illuminated,sky,limb_angle,eclipse";
constexpr std::size_t Columns = 23;

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs the program with the arguments (none may contain a single quote).
Result RunEphem(const std::vector<std::string>& args) {
    static int serial = 0;
    const std::filesystem::path dir = std::filesystem::temp_directory_path();
    const std::string stem =
        "orvandel-ephem-test-" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
    const std::filesystem::path outFile = dir / (stem + ".out"), errFile = dir / (stem + ".err");
    std::string command = "'" + std::string(ORVANDEL_EPHEM) + "'";
    for (const std::string& a : args)
        command += " '" + a + "'";
    command += " >'" + outFile.string() + "' 2>'" + errFile.string() + "' </dev/null";
    const int raw = std::system(command.c_str());
    Result r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadAll(outFile);
    r.err = ReadAll(errFile);
    std::filesystem::remove(outFile);
    std::filesystem::remove(errFile);
    return r;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator) parts.push_back("");
    return parts;
}

Real ToReal(const std::string& s) {
    return std::strtold(s.c_str(), nullptr);
}

// Significant digits of a number as written (leading zeros not counted).
int SignificantDigits(const std::string& s) {
    std::string mantissa = s.substr(0, s.find_first_of("eE"));
    int digits = 0;
    bool leading = true;
    for (char c : mantissa) {
        if (c < '0' || c > '9') continue;
        if (leading && c == '0') continue;
        leading = false;
        ++digits;
    }
    return digits;
}

// The expected values of one body, from the library, in degrees, in the
// order of the columns: longitude, latitude, distance, right ascension,
// declination, azimuth, altitude.
std::vector<Real> ExpectedBody(Real lon, Real lat, Real dist, Real latitudeRad, Real lst) {
    const Real deg = 180 / astro::Pi;
    astro::Vector3 v;
    astro::SphericalToVector(astro::SphericalPos{1, lon, lat}, v);
    const Real eps = 23.5L * astro::Pi / 180;
    astro::RotatePair(v.Y, v.Z, std::sin(eps), std::cos(eps));
    astro::SphericalPos eq;
    astro::VectorToSpherical(v, eq);
    Real a = eq.Longitude, b = eq.Latitude;
    astro::EquatorialToHorizon(a, b, std::sin(latitudeRad), std::cos(latitudeRad), lst);
    return {lon * deg, lat * deg, dist, eq.Longitude * deg, eq.Latitude * deg, a * deg, b * deg};
}

void ExpectRowMatchesLibrary(const std::string& line, Real jd, Real latitudeDeg, Real longitudeDeg) {
    const std::vector<std::string> f = Split(line, ',');
    ASSERT_EQ(f.size(), Columns) << line;
    EXPECT_NEAR(ToReal(f[0]), jd, 1e-8L);

    astro::CalendarDate date;
    Real clock;
    astro::CivilFromJulianDate(date, clock, jd);
    EXPECT_EQ(f[1],
              std::to_string(date.Day) + "." + std::to_string(date.Month) + "." + std::to_string(date.Year));
    const std::vector<std::string> clockParts = Split(f[2], '.');
    ASSERT_EQ(clockParts.size(), 2u) << f[2];
    EXPECT_EQ(clockParts[1].size(), 6u) << f[2];
    EXPECT_NEAR(astro::HoursFromClock(ToReal(f[2])), astro::HoursFromClock(clock), 1e-5L);

    const Real lst = astro::LocalSiderealTime(date, clock, longitudeDeg * astro::Pi / 180);
    std::vector<Real> expected = {lst * 12 / astro::Pi};
    Real lon, lat, dist;
    const Real T = astro::CenturiesSinceJ2000(jd);
    astro::SunPosition(T, lon, lat, dist);
    for (Real v : ExpectedBody(lon, lat, dist, latitudeDeg * astro::Pi / 180, lst))
        expected.push_back(v);
    astro::MoonPosition(T, lon, lat, dist);
    for (Real v : ExpectedBody(lon, lat, dist, latitudeDeg * astro::Pi / 180, lst))
        expected.push_back(v);
    for (std::size_t k = 0; k < expected.size(); ++k) {
        const std::string& text = f[3 + k];
        EXPECT_GE(SignificantDigits(text), 12) << text;
        EXPECT_NEAR(ToReal(text), expected[k], 1e-12L * std::max<Real>(1, std::fabs(expected[k])))
            << Split(Header, ',')[3 + k];
    }
    // The picture columns agree with the Sun's altitude and with each other.
    const Real sunAlt = ToReal(f[10]), phase = ToReal(f[18]), limb = ToReal(f[21]);
    EXPECT_EQ(f[20], sunAlt > 0 ? "day" : sunAlt < 0 && sunAlt > -6 ? "twilight" : "night") << line;
    EXPECT_NEAR(ToReal(f[19]), (1 + std::cos(phase * astro::Pi / 180)) / 2, 1e-13L) << line;
    EXPECT_LE(std::fabs(phase), 180) << line;
    EXPECT_GT(limb, -180) << line;
    EXPECT_LE(limb, 180) << line;
}

// The picture columns as the animation computes them: the inside view's
// scene for the record of a run at this place, on the screen's world window.
struct Picture {
    Real phaseDeg, illuminated, limbDeg;
    std::string sky;
};
Picture ScenePicture(Real latitudeDeg, Real longitudeDeg, Real azimuthDeg, int width, int height, Real jd) {
    app::ResetParameters();
    app::ResetRunState();
    app::ResetScene();
    app::Parameters& p = app::Params();
    p.latitude = latitudeDeg * astro::Pi / 180;
    p.longitude = longitudeDeg * astro::Pi / 180;
    p.centralAzimuth = azimuthDeg * astro::Pi / 180;
    p.sinObliquity = std::sin(app::ObliquityRadians);
    p.cosObliquity = std::cos(app::ObliquityRadians);
    p.eyePoint = astro::MakeVector(-1.05L, 0, 0.35L);
    app::PrepareScene();
    app::SetInsideWorldWindow(width - 1, height - 1);
    app::Run().currentJD = jd;
    app::ComputeInsideScene();
    const app::SceneState& s = app::Scene();
    return Picture{s.phaseAngle * 180 / astro::Pi, (1 + std::cos(s.phaseAngle)) / 2,
                   s.brightLimbAngle * 180 / astro::Pi,
                   s.sunAboveHorizon ? "day"
                   : s.sunInTwilight ? "twilight"
                                     : "night"};
}

void ExpectPicture(const std::string& line, const Picture& expected) {
    const std::vector<std::string> f = Split(line, ',');
    ASSERT_EQ(f.size(), Columns) << line;
    EXPECT_NEAR(ToReal(f[18]), expected.phaseDeg, 1e-11L) << line;
    EXPECT_NEAR(ToReal(f[19]), expected.illuminated, 1e-13L) << line;
    EXPECT_EQ(f[20], expected.sky) << line;
    EXPECT_NEAR(ToReal(f[21]), expected.limbDeg, 1e-11L) << line;
}

// The first data line of a run.
std::vector<std::string> FirstRow(const std::vector<std::string>& args) {
    const Result r = RunEphem(args);
    EXPECT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Split(r.out, '\n');
    if (lines.size() < 2) return {};
    return Split(lines[1], ',');
}

struct CalendarDateAndClock {
    std::int32_t day, month, year;
    Real clock; // MEZ, hh.mm
};

TEST(Ephem, OneInstantMatchesTheLibrary) {
    const Result r = RunEphem({"--lat", "54,3", "--lon", "10.1", "--date", "15.3.2024", "--time", "21.30"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::vector<std::string> lines = Split(r.out, '\n');
    ASSERT_EQ(lines.size(), 3u) << r.out; // header, one row, the empty rest after the last newline
    EXPECT_EQ(lines[0], Header);
    EXPECT_EQ(lines[2], "");
    const Real jd = astro::JulianDateFromCivil(astro::CalendarDate{15, 3, 2024}, 21.30L);
    ExpectRowMatchesLibrary(lines[1], jd, 54.3L, 10.1L);
    // The fixed instant itself: 2024 March 15, 20.30 UT.
    EXPECT_TRUE(lines[1].rfind("2460385.35416667,15.3.2024,21.300000,", 0) == 0) << lines[1];
}

TEST(Ephem, StepsAdvanceLikeTheAnimation) {
    // Southern site, negative step with a decimal comma, across midnight MEZ
    // and the new year.
    const Result r = RunEphem({"--lat", "-33.9", "--lon", "18,4", "--date", "1.1.2000", "--time", "1.15",
                               "--step", "-0,20", "--count", "5"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Split(r.out, '\n');
    ASSERT_EQ(lines.size(), 7u) << r.out;
    Real jd = astro::JulianDateFromCivil(astro::CalendarDate{1, 1, 2000}, 1.15L);
    const Real step = astro::HoursFromClock(-0.20L) / 24;
    for (int n = 1; n <= 5; ++n) {
        ExpectRowMatchesLibrary(lines[n], jd, -33.9L, 18.4L);
        jd = jd + step;
    }
    EXPECT_TRUE(lines[5].find(",31.12.1999,23.550000,") != std::string::npos) << lines[5];
}

TEST(Ephem, PictureColumnsAreThoseOfTheInsideScene) {
    struct {
        const char* name;
        std::vector<std::string> args;
        Real latitudeDeg, longitudeDeg, azimuthDeg;
        int width, height;
        CalendarDateAndClock start;
    } const rows[] = {
        {"north, default azimuth and screen",
         {"--lat", "54.3", "--lon", "10.1", "--date", "12.3.2024", "--time", "19.30"},
         54.3L,
         10.1L,
         0,
         1920,
         1080,
         {12, 3, 2024, 19.30L}},
        {"facing west on a large screen",
         {"--lat", "54.3", "--lon", "10.1", "--date", "12.3.2024", "--time", "19.30", "--azimuth", "90",
          "--size", "8000x4500"},
         54.3L,
         10.1L,
         90,
         8000,
         4500,
         {12, 3, 2024, 19.30L}},
        {"south faces north by default",
         {"--lat", "-33.9", "--lon", "151.2", "--date", "17.3.2024", "--time", "9.00"},
         -33.9L,
         151.2L,
         180,
         1920,
         1080,
         {17, 3, 2024, 9.00L}},
        {"azimuth with a decimal comma, small screen",
         {"--lat", "-33.9", "--lon", "151.2", "--date", "17.3.2024", "--time", "9.00", "--azimuth", "170,5",
          "--size", "640x480"},
         -33.9L,
         151.2L,
         170.5L,
         640,
         480,
         {17, 3, 2024, 9.00L}},
    };
    for (const auto& r : rows) {
        const std::vector<std::string> f = FirstRow(r.args);
        ASSERT_EQ(f.size(), Columns) << r.name;
        std::string line;
        for (const std::string& field : f)
            line += (line.empty() ? "" : ",") + field;
        const Real jd = astro::JulianDateFromCivil(
            astro::CalendarDate{r.start.day, r.start.month, r.start.year}, r.start.clock);
        SCOPED_TRACE(r.name);
        ExpectPicture(line, ScenePicture(r.latitudeDeg, r.longitudeDeg, r.azimuthDeg, r.width, r.height, jd));
    }
}

// Situations with known answers (see tests/app/SceneTest.cpp for the
// sources): the published full and new moon of January 2024 (U.S. Naval
// Observatory), and the waxing crescent of 2024 March 12 in the evening
// sky of Kiel, lit toward the lower right where the Sun has set.
TEST(Ephem, KnownPhasesAndBrightLimb) {
    const std::vector<std::string> full =
        FirstRow({"--lat", "54.3", "--lon", "10.1", "--date", "25.1.2024", "--time", "18.54"});
    ASSERT_EQ(full.size(), Columns);
    EXPECT_GT(ToReal(full[19]), 0.9977L); // within 5.4 degrees of full: the Moon's latitude
    EXPECT_EQ(full[20], "night");

    const std::vector<std::string> newMoon =
        FirstRow({"--lat", "54.3", "--lon", "10.1", "--date", "11.1.2024", "--time", "12.57"});
    ASSERT_EQ(newMoon.size(), Columns);
    EXPECT_LT(ToReal(newMoon[19]), 0.0023L);
    EXPECT_GT(std::fabs(ToReal(newMoon[18])), 174.6L);
    EXPECT_EQ(newMoon[20], "day");

    const std::vector<std::string> crescent = FirstRow(
        {"--lat", "54.3", "--lon", "10.1", "--date", "12.3.2024", "--time", "19.30", "--azimuth", "90"});
    ASSERT_EQ(crescent.size(), Columns);
    EXPECT_GT(ToReal(crescent[18]), 90); // waxing, less than half lit
    EXPECT_GT(ToReal(crescent[21]), -80);
    EXPECT_LT(ToReal(crescent[21]), -20);
}

TEST(Ephem, DefaultAzimuthFollowsTheHemisphere) {
    const std::vector<std::string> base = {"--date", "17.3.2024", "--time", "9.00", "--lon", "151.2"};
    auto with = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = base;
        args.insert(args.end(), extra.begin(), extra.end());
        return RunEphem(args).out;
    };
    EXPECT_EQ(with({"--lat", "-33.9"}), with({"--lat", "-33.9", "--azimuth", "180"}));
    EXPECT_NE(with({"--lat", "-33.9"}), with({"--lat", "-33.9", "--azimuth", "0"}));
    EXPECT_EQ(with({"--lat", "0"}), with({"--lat", "0", "--azimuth", "0"}));
    EXPECT_EQ(with({"--lat", "33.9"}), with({"--lat", "33.9", "--azimuth", "0"}));
    EXPECT_EQ(with({"--lat", "-33.9"}), with({"--lat", "-33.9", "--size", "1920x1080"}));
}

TEST(Ephem, HelpExplainsTheColumns) {
    const Result r = RunEphem({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const std::string& word : Split(
             "--lat|--lon|--date|--time|--step|--count|--azimuth|--size|1920x1080|MEZ|moon_alt|phase_angle|"
             "illuminated|twilight|limb_angle|eclipse|penumbral|--events|--days|--format|no_rise|eclipse_p1|"
             "oberen Rand|34'|Parallaxe|mittleren Schiefe|Delta T|3,8 Minuten|23.59",
             '|')) {
        EXPECT_NE(r.out.find(word), std::string::npos) << word;
    }
}

TEST(Ephem, BadOptionsExitWithStatusTwo) {
    const std::vector<std::string> good = {"--lat",  "54.3",     "--lon",  "10.1",
                                           "--date", "1.1.2000", "--time", "13.00"};
    struct Case {
        const char* name;
        std::vector<std::string> args;
        const char* messagePart;
    } const cases[] = {
        {"no options", {}, "--lat"},
        {"missing latitude", {"--lon", "10.1", "--date", "1.1.2000", "--time", "13.00"}, "--lat"},
        {"missing time", {"--lat", "54.3", "--lon", "10.1", "--date", "1.1.2000"}, "--time"},
        {"unknown option",
         {"--lat", "54.3", "--lon", "10.1", "--date", "1.1.2000", "--time", "13", "--speed", "2"},
         "--speed"},
        {"value missing at the end",
         {"--lat", "54.3", "--lon", "10.1", "--date", "1.1.2000", "--time"},
         "--time"},
        {"letters in a number",
         {"--lat", "54.3x", "--lon", "10.1", "--date", "1.1.2000", "--time", "13"},
         "54.3x"},
        {"trailing blank",
         {"--lat", "54.3 ", "--lon", "10.1", "--date", "1.1.2000", "--time", "13"},
         "--lat"},
        {"empty number", {"--lat", "", "--lon", "10.1", "--date", "1.1.2000", "--time", "13"}, "--lat"},
        {"number too large",
         {"--lat", "1e99999", "--lon", "10.1", "--date", "1.1.2000", "--time", "13"},
         "--lat"},
        {"date without year", {"--lat", "54.3", "--lon", "10.1", "--date", "1.1", "--time", "13"}, "--date"},
        {"date with letters",
         {"--lat", "54.3", "--lon", "10.1", "--date", "a.1.2000", "--time", "13"},
         "--date"},
        {"year beyond 32 bits",
         {"--lat", "54.3", "--lon", "10.1", "--date", "1.1.2147483648", "--time", "13"},
         "--date"},
        {"count zero",
         {"--lat", "54.3", "--lon", "10.1", "--date", "1.1.2000", "--time", "13", "--count", "0"},
         "--count"},
        {"count negative",
         {"--lat", "54.3", "--lon", "10.1", "--date", "1.1.2000", "--time", "13", "--count", "-3"},
         "--count"},
        {"count with a fraction",
         {"--lat", "54.3", "--lon", "10.1", "--date", "1.1.2000", "--time", "13", "--count", "1.5"},
         "--count"},
        {"bad step",
         {"--lat", "54.3", "--lon", "10.1", "--date", "1.1.2000", "--time", "13", "--step", "1..2"},
         "--step"},
        {"azimuth not a number",
         {"--lat", "54.3", "--lon", "10.1", "--date", "1.1.2000", "--time", "13", "--azimuth", "Süd"},
         "--azimuth"},
        {"size without height",
         {"--lat", "54.3", "--lon", "10.1", "--date", "1.1.2000", "--time", "13", "--size", "1920"},
         "--size"},
        {"size with an empty width",
         {"--lat", "54.3", "--lon", "10.1", "--date", "1.1.2000", "--time", "13", "--size", "x1080"},
         "--size"},
        {"size of one pixel",
         {"--lat", "54.3", "--lon", "10.1", "--date", "1.1.2000", "--time", "13", "--size", "1x1080"},
         "--size"},
        {"negative size",
         {"--lat", "54.3", "--lon", "10.1", "--date", "1.1.2000", "--time", "13", "--size", "1920x-1080"},
         "--size"},
        {"size with a fraction",
         {"--lat", "54.3", "--lon", "10.1", "--date", "1.1.2000", "--time", "13", "--size", "1920.5x1080"},
         "--size"},
        {"size twice",
         {"--lat", "54.3", "--lon", "10.1", "--date", "1.1.2000", "--time", "13", "--size", "800x600",
          "--size", "800x600"},
         "--size"},
        {"option twice",
         {"--lat", "54.3", "--lat", "50", "--lon", "10.1", "--date", "1.1.2000", "--time", "13"},
         "--lat"},
        {"events with a time",
         {"--events", "--lat", "54", "--lon", "10", "--date", "1.1.2000", "--time", "13"},
         "--time"},
        {"events beyond the pole", {"--events", "--lat", "91", "--lon", "10", "--date", "1.1.2000"}, "--lat"},
        {"days beyond a century",
         {"--events", "--lat", "54", "--lon", "10", "--date", "1.1.2000", "--days", "36526"},
         "--days"},
        {"unknown format",
         {"--events", "--lat", "54", "--lon", "10", "--date", "1.1.2000", "--format", "html"},
         "--format"},
        {"days without events",
         {"--lat", "54.3", "--lon", "10.1", "--date", "1.1.2000", "--time", "13", "--days", "3"},
         "--days"},
    };
    for (const Case& c : cases) {
        const Result r = RunEphem(c.args);
        EXPECT_EQ(r.status, 2) << c.name;
        EXPECT_EQ(r.out, "") << c.name;
        EXPECT_EQ(r.err.rfind("orvandel-ephem: ", 0), 0u) << c.name << ": " << r.err;
        EXPECT_NE(r.err.find(c.messagePart), std::string::npos) << c.name << ": " << r.err;
    }
    // The same options without the fault are accepted.
    EXPECT_EQ(RunEphem(good).status, 0);
}

// ---- the eclipse column and the events table ----------------------------------

// The eclipse column at greatest eclipse (Five Millennium Canon of Lunar
// Eclipses, Espenak and Meeus; UT + 1 h, plus the program's 69 s of Delta T)
// and at a full Moon without one (USNO, 2024 January 25, 17.54 UT).
TEST(Ephem, EclipseColumnNamesTheKind) {
    struct {
        const char *date, *time, *kind;
    } const rows[] = {
        {"3.3.2026", "12.35", "total"}, {"28.8.2026", "5.14", "partial"}, {"25.3.2024", "8.14", "penumbral"},
        {"25.1.2024", "18.54", "none"}, {"3.3.2026", "9.30", "none"}, // 16 minutes before the first contact
    };
    for (const auto& r : rows) {
        const std::vector<std::string> f =
            FirstRow({"--lat", "54.3", "--lon", "10.1", "--date", r.date, "--time", r.time});
        ASSERT_EQ(f.size(), Columns) << r.date;
        EXPECT_EQ(f.back(), r.kind) << r.date << " " << r.time;
    }
}

// Minutes since 1.1.2000 0.00 MEZ of a CSV date and clock.
long MinuteOf(const std::string& date, const std::string& clock) {
    const std::vector<std::string> d = Split(date, '.'), c = Split(clock, '.');
    const Real jd =
        astro::JulianDateFromCivil(astro::CalendarDate{std::stoi(d[0]), std::stoi(d[1]), std::stoi(d[2])}, 0);
    const Real start = astro::JulianDateFromCivil(astro::CalendarDate{1, 1, 2000}, 0);
    return std::lround(static_cast<double>((jd - start) * 1440)) + std::stol(c[0]) * 60 + std::stol(c[1]);
}

const Real Unchecked = -1000;

// Published instants in MEZ (UT + 1 h) through the CSV: USNO's rising,
// transit and setting for Atlanta, 2009 September 6 (as quoted in the
// PyEphem manual), PyEphem 4.1.4 with the almanac settings for Kiel and
// Sydney, USNO's phases of the Moon 2024 and the greatest eclipses of the
// Five Millennium Canon; the program's phases and eclipses come Delta T
// (69 s) late. The 23.56 UT sunset comes out on the next MEZ day.
TEST(Ephem, EventsAgainstPublishedTimes) {
    struct Row {
        const char* source;
        const char *lat, *lon, *date, *body, *event, *expectDate, *expectClock;
        Real az, alt; // Unchecked where the row has none to compare
        long toleranceMinutes;
    } const rows[] = {
        {"USNO Atlanta Moon rise", "33.8", "-84.4", "6.9.2009", "moon", "rise", "6.9.2009", "1.17", Unchecked,
         Unchecked, 1},
        {"USNO Atlanta Moon transit", "33.8", "-84.4", "6.9.2009", "moon", "transit", "6.9.2009", "7.37", 180,
         Unchecked, 1},
        {"USNO Atlanta Sun set", "33.8", "-84.4", "6.9.2009", "sun", "set", "7.9.2009", "0.56", Unchecked,
         Unchecked, 1},
        {"PyEphem Kiel Sun rise", "54.3", "10.1", "21.6.2024", "sun", "rise", "21.6.2024", "3.45", 45.4L,
         Unchecked, 1},
        {"PyEphem Kiel Moon transit", "54.3", "10.1", "21.12.2024", "moon", "transit", "21.12.2024", "5.10",
         180, 44.39L, 1},
        {"PyEphem Sydney Moon transit", "-33.9", "151.2", "14.3.2025", "moon", "transit", "14.3.2025",
         "15.17", 0, 54.66L, 1},
        {"USNO full moon", "54.3", "10.1", "25.3.2024", "moon", "full_moon", "25.3.2024", "8.00", Unchecked,
         Unchecked, 2},
        {"Canon total eclipse", "54.3", "10.1", "3.3.2026", "moon", "eclipse_total", "3.3.2026", "12.34",
         Unchecked, Unchecked, 2},
        {"Canon partial eclipse", "54.3", "10.1", "28.8.2026", "moon", "eclipse_partial", "28.8.2026", "5.13",
         Unchecked, Unchecked, 2},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.source);
        const Result result =
            RunEphem({"--events", "--lat", r.lat, "--lon", r.lon, "--date", r.date, "--days", "2"});
        ASSERT_EQ(result.status, 0) << result.err;
        const std::vector<std::string> lines = Split(result.out, '\n');
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[0], "date,clock,body,event,az,alt");
        const long expected = MinuteOf(r.expectDate, r.expectClock);
        const std::vector<std::string>* best = nullptr;
        std::vector<std::vector<std::string>> fields;
        for (std::size_t n = 1; n < lines.size(); ++n)
            if (!lines[n].empty()) fields.push_back(Split(lines[n], ','));
        for (const auto& f : fields) {
            ASSERT_EQ(f.size(), 6u);
            if (f[2] == r.body && f[3] == r.event &&
                (!best || std::labs(MinuteOf(f[0], f[1]) - expected) <
                              std::labs(MinuteOf((*best)[0], (*best)[1]) - expected)))
                best = &f;
        }
        ASSERT_NE(best, nullptr);
        const std::vector<std::string>& f = *best;
        EXPECT_LE(std::labs(MinuteOf(f[0], f[1]) - expected), r.toleranceMinutes) << f[0] << " " << f[1];
        EXPECT_EQ(f[4].empty(),
                  r.az == Unchecked && r.event != std::string("rise") && r.event != std::string("set"));
        if (r.az != Unchecked) {
            EXPECT_NEAR(std::remainder(ToReal(f[4]) - r.az, 360.0L), 0, 0.35L);
        }
        EXPECT_EQ(f[5].empty(), r.alt == Unchecked && r.event != std::string("transit"));
        if (r.alt != Unchecked) {
            EXPECT_NEAR(ToReal(f[5]), r.alt, 0.1L);
        }
    }
}

// The contacts of each kind of eclipse, in their order about the greatest
// eclipse, and the days without a rising or setting: the Moon in Kiel,
// January 2024 (PyEphem), and the midnight sun at Tromsø (69.6 N, 20 May to
// 22 July).
TEST(Ephem, EventsListContactsAndDaysWithoutRisingOrSetting) {
    struct Row {
        const char *lat, *lon, *date, *days, *body, *prefix;
        const char* expected; // "date,event" of the rows whose event begins with prefix, joined by "|"
    } const rows[] = {
        {"54.3", "10.1", "3.3.2026", "1", "moon", "eclipse_",
         "3.3.2026,eclipse_p1|3.3.2026,eclipse_u1|3.3.2026,eclipse_u2|3.3.2026,eclipse_total|"
         "3.3.2026,eclipse_u3|3.3.2026,eclipse_u4|3.3.2026,eclipse_p4"},
        {"54.3", "10.1", "28.8.2026", "1", "moon", "eclipse_",
         "28.8.2026,eclipse_p1|28.8.2026,eclipse_u1|28.8.2026,eclipse_partial|28.8.2026,eclipse_u4|"
         "28.8.2026,eclipse_p4"},
        {"54.3", "10.1", "25.3.2024", "1", "moon", "eclipse_",
         "25.3.2024,eclipse_p1|25.3.2024,eclipse_penumbral|25.3.2024,eclipse_p4"},
        {"54.3", "10.1", "1.1.2024", "31", "moon", "no_", "3.1.2024,no_rise|17.1.2024,no_set"},
        {"69.6", "19", "20.6.2024", "1", "sun", "no_", "20.6.2024,no_rise|20.6.2024,no_set"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.date) + " " + r.prefix);
        const Result result =
            RunEphem({"--events", "--lat", r.lat, "--lon", r.lon, "--date", r.date, "--days", r.days});
        ASSERT_EQ(result.status, 0) << result.err;
        std::string found;
        for (const std::string& line : Split(result.out, '\n')) {
            const std::vector<std::string> f = Split(line, ',');
            if (f.size() == 6 && f[2] == r.body && f[3].rfind(r.prefix, 0) == 0)
                found += (found.empty() ? "" : "|") + f[0] + "," + f[3];
        }
        EXPECT_EQ(found, r.expected);
    }
}

// The minute of an event: rounded, but the last half minute of a day stays
// on its day as 23.59.
TEST(Ephem, EventClockIsTheRoundedMinuteOfItsDay) {
    struct {
        Real secondsAfterMidnight; // MEZ, 1.3.2026
        int day, minute;
    } const rows[] = {
        // clang-format off
        {10, 1, 0}, {29, 1, 0}, {31, 1, 1}, {12 * 3600 + 89, 1, 721}, {86340 + 29, 1, 1439},
        {86340 + 45, 1, 1439}, {86399.5L, 1, 1439}, {86400 + 20, 2, 0},
        // clang-format on
    };
    const Real midnight = astro::JulianDateFromCivil(astro::CalendarDate{1, 3, 2026}, 0);
    for (const auto& r : rows) {
        astro::CalendarDate date;
        std::int32_t minute = -1;
        app::MezDayAndMinute(midnight + r.secondsAfterMidnight / 86400, date, minute);
        EXPECT_EQ(date.Day, r.day) << static_cast<double>(r.secondsAfterMidnight);
        EXPECT_EQ(date.Month, 3);
        EXPECT_EQ(minute, r.minute) << static_cast<double>(r.secondsAfterMidnight);
    }
}

// The German table: the place in words, a day's first row with its weekday,
// "kein Aufgang" where the time would stand, the eclipse by its German name.
TEST(Ephem, TextFormatIsAReadableGermanTable) {
    const Result polar =
        RunEphem({"--events", "--lat", "-69,6", "--lon", "-19", "--date", "20.6.2024", "--format", "text"});
    ASSERT_EQ(polar.status, 0) << polar.err;
    EXPECT_EQ(polar.out.rfind("Ereignisse für 69,6° s. Br., 19,0° w. L.\n", 0), 0u) << polar.out;
    // The day's first row has the date; "kein Aufgang" stands in the time column.
    EXPECT_NE(polar.out.find("\nDo 20.6.2024   Kulmination "), std::string::npos) << polar.out;
    const std::string noRise =
        "\n" + std::string(15, ' ') + "Sonnenaufgang" + std::string(24, ' ') + "kein Aufgang\n";
    EXPECT_NE(polar.out.find(noRise), std::string::npos) << polar.out;
    const Result eclipse =
        RunEphem({"--events", "--lat", "54.3", "--lon", "10.1", "--date", "3.3.2026", "--format", "text"});
    for (const char* text : {"Mondfinsternis: Beginn Halbschatten   9.46", "Totale Mondfinsternis: Mitte",
                             "Vollmond", "Kulmination", "Mondaufgang", "Monduntergang", "Sonnenuntergang"})
        EXPECT_NE(eclipse.out.find(text), std::string::npos) << text << "\n" << eclipse.out;
}

} // namespace

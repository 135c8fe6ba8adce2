// The ready-made lessons of beispiele/: every shipped parameter file is in the
// program's own format and has its section in LIESMICH.md, and each lesson,
// started through the frame export as a teacher would start it, shows what
// its text promises: the Moon's height and direction, the sky of the picture,
// the lit share, the side of the bright limb, the eclipse, the perspective
// that the keys named in the text lead to.
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/Export.h"
#include "app/MainLoop.h"
#include "app/Parameters.h"
#include "astro/Eclipse.h"
#include "astro/Events.h"
#include "astro/TimeScales.h"
#include "window/FensterGraf.h"
#include "window/Graphics.h"
#include "window/TextFiles.h"

namespace fs = std::filesystem;

namespace {

// How each lesson is started: its file, the pictures the test draws and the
// keys the text tells the teacher to press after the first picture (each
// key is read by one tick).
struct Lesson {
    const char* file;
    int frames;
    const char* keys;
};

// clang-format off
constexpr Lesson Lessons[] = {
    {"01-mondaufgang.dat", 4, ""},            // four evenings at 18.30
    {"02-phasen.dat", 29, ""},                // a month of evenings
    {"03-vollmond-winter.dat", 1, ""},
    {"03-vollmond-sommer.dat", 1, ""},
    {"04-sichel-abend.dat", 1, ""},
    {"04-sichel-morgen.dat", 10, ""},         // until after sunrise
    {"05-halbmond-kiel.dat", 1, ""},
    {"05-halbmond-kapstadt.dat", 1, ""},
    {"06-sichel-aequator.dat", 2, ""},        // into the night five minutes later
    {"06-sichel-kiel.dat", 1, ""},
    {"07-vollmond-polarkreis.dat", 73, ""},   // a whole day
    {"08-mondfinsternis-2028.dat", 24, ""},   // until mid-eclipse
    {"08-mondfinsternis-2026.dat", 21, ""},   // until the Moon nearly sets
    {"09-horizont-ganzer-tag.dat", 99, "hh"}, // two pictures for "h", then a whole day
};
// clang-format on

// Values of the pseudo-columns that are read off the picture or the run.
constexpr double Night = 0, Twilight = 1, Day = 2;      // "sky": the sky's colour in the picture
constexpr double Penumbral = 1, Partial = 2, Total = 3; // "eclipse": astro::EclipseKind

// One promise of a lesson's text: at the instant `when` (date and MEZ as the
// picture shows them; "*" for every picture) the value `what` lies in
// [lo, hi]. `what` is a column of frames.csv (degrees, lit share 0..1), or
// "sky" (the sky colour of the inside view's picture), "eclipse" (the kind
// of lunar eclipse at that instant) or "perspective" (of the outside view).
struct Promise {
    const char* file;
    const char* when;
    const char* what;
    double lo, hi;
};

constexpr Promise Promises[] = {
    // The Moon at 18.30 on four evenings: each day lower and further north.
    {"01-mondaufgang.dat", "28.10.2026 18.30", "moon_alt", 5, 9},
    {"01-mondaufgang.dat", "28.10.2026 18.30", "moon_az", -132, -122},
    {"01-mondaufgang.dat", "28.10.2026 18.30", "illuminated", 0.88, 0.94},
    {"01-mondaufgang.dat", "28.10.2026 18.30", "sky", Night, Night},
    {"01-mondaufgang.dat", "29.10.2026 18.30", "moon_alt", 0.5, 3},
    {"01-mondaufgang.dat", "29.10.2026 18.30", "moon_az", -145, -135},
    {"01-mondaufgang.dat", "30.10.2026 18.30", "moon_alt", -10, -0.5},
    {"01-mondaufgang.dat", "31.10.2026 18.30", "moon_alt", -90, -10},
    // A month of evenings at 18.30: crescent in the west, half Moon in the
    // south, full Moon rising in the east, then no Moon, then new Moon.
    {"02-phasen.dat", "19.2.2026 18.30", "illuminated", 0.03, 0.09},
    {"02-phasen.dat", "19.2.2026 18.30", "moon_alt", 13, 19},
    {"02-phasen.dat", "19.2.2026 18.30", "moon_az", 60, 80},
    {"02-phasen.dat", "24.2.2026 18.30", "illuminated", 0.47, 0.57},
    {"02-phasen.dat", "24.2.2026 18.30", "moon_alt", 59, 66},
    {"02-phasen.dat", "24.2.2026 18.30", "moon_az", -10, 10},
    {"02-phasen.dat", "3.3.2026 18.30", "illuminated", 0.97, 1},
    {"02-phasen.dat", "3.3.2026 18.30", "moon_alt", 0.5, 5},
    {"02-phasen.dat", "3.3.2026 18.30", "moon_az", -100, -85},
    {"02-phasen.dat", "4.3.2026 18.30", "moon_alt", -90, 0},
    {"02-phasen.dat", "19.3.2026 18.30", "illuminated", 0, 0.01},
    // The full Moon about midnight, in winter high, in summer low.
    {"03-vollmond-winter.dat", "24.12.2026 0.15", "moon_alt", 60, 66},
    {"03-vollmond-winter.dat", "24.12.2026 0.15", "moon_az", -10, 10},
    {"03-vollmond-winter.dat", "24.12.2026 0.15", "illuminated", 0.97, 1},
    {"03-vollmond-winter.dat", "24.12.2026 0.15", "sky", Night, Night},
    {"03-vollmond-sommer.dat", "30.6.2026 0.15", "moon_alt", 5, 11},
    {"03-vollmond-sommer.dat", "30.6.2026 0.15", "moon_az", -10, 10},
    {"03-vollmond-sommer.dat", "30.6.2026 0.15", "illuminated", 0.97, 1},
    {"03-vollmond-sommer.dat", "30.6.2026 0.15", "sky", Night, Night},
    // The waxing crescent of the evening, lit from the lower right; the
    // waning one of the morning, lit from the lower left, until sunrise.
    {"04-sichel-abend.dat", "21.3.2026 18.50", "sky", Twilight, Twilight},
    {"04-sichel-abend.dat", "21.3.2026 18.50", "moon_alt", 26, 33},
    {"04-sichel-abend.dat", "21.3.2026 18.50", "moon_az", 70, 90},
    {"04-sichel-abend.dat", "21.3.2026 18.50", "illuminated", 0.07, 0.12},
    {"04-sichel-abend.dat", "21.3.2026 18.50", "phase_angle", 90, 180},
    {"04-sichel-abend.dat", "21.3.2026 18.50", "limb_from_vertical", -175, -100},
    {"04-sichel-morgen.dat", "8.10.2026 6.00", "sky", Twilight, Twilight},
    {"04-sichel-morgen.dat", "8.10.2026 6.00", "moon_alt", 16, 22},
    {"04-sichel-morgen.dat", "8.10.2026 6.00", "moon_az", -80, -60},
    {"04-sichel-morgen.dat", "8.10.2026 6.00", "illuminated", 0.04, 0.10},
    {"04-sichel-morgen.dat", "8.10.2026 6.00", "phase_angle", -180, -90},
    {"04-sichel-morgen.dat", "8.10.2026 6.00", "limb_from_vertical", 100, 175},
    {"04-sichel-morgen.dat", "8.10.2026 6.45", "sky", Day, Day},
    // The same half Moon at the same instant: lit on the right in Kiel
    // (looking south), on the left in Cape Town (looking north).
    {"05-halbmond-kiel.dat", "25.3.2026 19.00", "illuminated", 0.46, 0.53},
    {"05-halbmond-kiel.dat", "25.3.2026 19.00", "moon_alt", 59, 66},
    {"05-halbmond-kiel.dat", "25.3.2026 19.00", "moon_az", 5, 25},
    {"05-halbmond-kiel.dat", "25.3.2026 19.00", "limb_from_vertical", -120, -60},
    {"05-halbmond-kiel.dat", "25.3.2026 19.00", "sky", Twilight, Twilight},
    {"05-halbmond-kapstadt.dat", "25.3.2026 19.00", "illuminated", 0.46, 0.53},
    {"05-halbmond-kapstadt.dat", "25.3.2026 19.00", "moon_alt", 22, 30},
    {"05-halbmond-kapstadt.dat", "25.3.2026 19.00", "moon_az", 150, 175},
    {"05-halbmond-kapstadt.dat", "25.3.2026 19.00", "limb_from_vertical", 60, 130},
    {"05-halbmond-kapstadt.dat", "25.3.2026 19.00", "sky", Night, Night},
    // The evening crescent at the equator, high and lit from below, with a
    // short twilight; at the same instant in Kiel, low and lit from the right.
    {"06-sichel-aequator.dat", "14.9.2026 18.40", "sky", Twilight, Twilight},
    {"06-sichel-aequator.dat", "14.9.2026 18.40", "moon_alt", 28, 35},
    {"06-sichel-aequator.dat", "14.9.2026 18.40", "illuminated", 0.11, 0.17},
    {"06-sichel-aequator.dat", "14.9.2026 18.40", "limb_from_vertical", -180, -130},
    {"06-sichel-aequator.dat", "14.9.2026 18.45", "sky", Night, Night},
    {"06-sichel-kiel.dat", "14.9.2026 18.40", "sky", Twilight, Twilight},
    {"06-sichel-kiel.dat", "14.9.2026 18.40", "moon_alt", 1, 5},
    {"06-sichel-kiel.dat", "14.9.2026 18.40", "moon_az", 45, 60},
    {"06-sichel-kiel.dat", "14.9.2026 18.40", "illuminated", 0.11, 0.17},
    {"06-sichel-kiel.dat", "14.9.2026 18.40", "limb_from_vertical", -110, -70},
    // The winter full Moon at the Arctic Circle stays up for a whole day.
    {"07-vollmond-polarkreis.dat", "*", "moon_alt", 2, 60},
    {"07-vollmond-polarkreis.dat", "24.12.2026 10.00", "illuminated", 0.97, 1},
    {"07-vollmond-polarkreis.dat", "24.12.2026 12.00", "moon_alt", 2.5, 4.5},
    {"07-vollmond-polarkreis.dat", "24.12.2026 12.00", "moon_az", 165, 180},
    {"07-vollmond-polarkreis.dat", "24.12.2026 12.00", "sun_alt", -1, 0},
    {"07-vollmond-polarkreis.dat", "24.12.2026 12.00", "sky", Twilight, Twilight},
    {"07-vollmond-polarkreis.dat", "25.12.2026 1.00", "moon_alt", 47, 50},
    {"07-vollmond-polarkreis.dat", "25.12.2026 1.00", "moon_az", -5, 5},
    // The total eclipse of 31 December 2028 seen from Kiel as the Moon rises,
    // the partial one of 28 August 2026 as it sets.
    {"08-mondfinsternis-2028.dat", "31.12.2028 16.00", "eclipse", Penumbral, Penumbral},
    {"08-mondfinsternis-2028.dat", "31.12.2028 16.00", "moon_alt", 0.5, 3},
    {"08-mondfinsternis-2028.dat", "31.12.2028 16.35", "eclipse", Partial, Partial},
    {"08-mondfinsternis-2028.dat", "31.12.2028 17.55", "eclipse", Total, Total},
    {"08-mondfinsternis-2028.dat", "31.12.2028 17.55", "moon_alt", 12, 17},
    {"08-mondfinsternis-2028.dat", "31.12.2028 17.55", "sky", Night, Night},
    {"08-mondfinsternis-2026.dat", "28.8.2026 3.30", "eclipse", Penumbral, Penumbral},
    {"08-mondfinsternis-2026.dat", "28.8.2026 3.30", "moon_alt", 12, 16},
    {"08-mondfinsternis-2026.dat", "28.8.2026 4.15", "eclipse", Partial, Partial},
    {"08-mondfinsternis-2026.dat", "28.8.2026 5.10", "eclipse", Partial, Partial},
    {"08-mondfinsternis-2026.dat", "28.8.2026 5.10", "moon_alt", 1, 4},
    {"08-mondfinsternis-2026.dat", "28.8.2026 5.10", "sky", Twilight, Twilight},
    // A day over the horizon after "h" twice: the Sun and the Moon rise on
    // the left (east) and set on the right (west).
    {"09-horizont-ganzer-tag.dat", "25.3.2026 6.00", "sun_alt", -5, 0},
    {"09-horizont-ganzer-tag.dat", "25.3.2026 6.30", "sun_alt", 0, 5},
    {"09-horizont-ganzer-tag.dat", "25.3.2026 6.30", "sun_az", -100, -80},
    {"09-horizont-ganzer-tag.dat", "25.3.2026 8.30", "moon_alt", -5, 0},
    {"09-horizont-ganzer-tag.dat", "25.3.2026 9.00", "moon_alt", 0, 5},
    {"09-horizont-ganzer-tag.dat", "25.3.2026 9.00", "moon_az", -150, -130},
    {"09-horizont-ganzer-tag.dat", "25.3.2026 18.30", "moon_alt", 60, 66},
    {"09-horizont-ganzer-tag.dat", "25.3.2026 18.30", "moon_az", -5, 5},
    {"09-horizont-ganzer-tag.dat", "25.3.2026 18.30", "sun_alt", 0, 3},
    {"09-horizont-ganzer-tag.dat", "25.3.2026 19.00", "sun_alt", -5, 0},
    {"09-horizont-ganzer-tag.dat", "25.3.2026 19.00", "sun_az", 90, 105},
    {"09-horizont-ganzer-tag.dat", "26.3.2026 3.30", "moon_alt", 0, 5},
    {"09-horizont-ganzer-tag.dat", "26.3.2026 4.00", "moon_alt", -3, 0},
    {"09-horizont-ganzer-tag.dat", "26.3.2026 4.00", "moon_az", 130, 150},
    {"09-horizont-ganzer-tag.dat", "26.3.2026 5.00", "perspective", 2, 2},
};

constexpr int PictureWidth = 1280, PictureHeight = 720;

fs::path SourceDir() {
    const char* source = std::getenv("ORVANDEL_SOURCE_DIR");
    return source != nullptr ? fs::path(source) : fs::path();
}

std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Split(const std::string& line, char sep) {
    std::vector<std::string> cells;
    std::stringstream in(line);
    for (std::string cell; std::getline(in, cell, sep);)
        cells.push_back(cell);
    return cells;
}

// The sky colour of an inside-view picture: the share of its pixels in the
// day sky's and the twilight sky's colour; -1 when the picture fits none.
double SkyOfPicture(const QImage& canvas) {
    const auto rgb = [](int index) {
        const window::Rgb c = window::PaletteColour(index);
        return qRgb(c.r, c.g, c.b) & 0xFFFFFFu;
    };
    const QRgb day = rgb(window::LightBlue), twilight = rgb(window::Blue);
    double dayPixels = 0, twilightPixels = 0;
    for (int y = 0; y < canvas.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        for (int x = 0; x < canvas.width(); ++x) {
            dayPixels += (line[x] & 0xFFFFFFu) == day;
            twilightPixels += (line[x] & 0xFFFFFFu) == twilight;
        }
    }
    const double all = double(canvas.width()) * canvas.height();
    if (dayPixels > 0.1 * all && twilightPixels < 0.01 * all) return Day;
    if (twilightPixels > 0.1 * all && dayPixels < 0.01 * all) return Twilight;
    if (dayPixels + twilightPixels < 0.01 * all) return Night;
    return -1;
}

// What one lesson's export produced: the rows of frames.csv by column name,
// and what the test read off each picture and the run as it was drawn.
struct Exported {
    std::vector<std::string> header;
    std::vector<std::map<std::string, std::string>> rows;
    std::vector<double> sky;         // per picture; -2 in the outside view
    std::vector<double> perspective; // per picture
    std::string error;
};

// The lesson exported once per test program into a scratch folder (the
// coastlines from the source's data folder), its keys queued after the
// first picture.
const Exported& ExportLesson(const Lesson& lesson) {
    static std::map<std::string, Exported> done;
    static const struct Scratch {
        fs::path folder = fs::temp_directory_path() / ("orvandel-lessons-" + std::to_string(::getpid()));
        ~Scratch() {
            std::error_code ec;
            fs::remove_all(folder, ec);
        }
    } scratch;
    if (auto it = done.find(lesson.file); it != done.end()) return it->second;
    Exported& out = done[lesson.file];

    const fs::path old = fs::current_path();
    fs::create_directories(scratch.folder);
    fs::current_path(scratch.folder);
    window::SetDataFolder((SourceDir() / "data").string());
    const app::ExportOptions options{lesson.file, lesson.frames, PictureWidth, PictureHeight,
                                     (SourceDir() / "beispiele" / lesson.file).string()};
    try {
        app::ExportFrames(options, {}, [&](std::int32_t frame, const QImage& canvas) {
            if (frame == 1) window::Layer().keyQueue += lesson.keys;
            out.sky.push_back(app::Params().viewMode == 0 ? SkyOfPicture(canvas) : -2);
            out.perspective.push_back(app::Run().perspective);
        });
        std::istringstream csv(ReadBytes(fs::path(lesson.file) / app::FrameCsvFileName));
        std::string line;
        std::getline(csv, line);
        out.header = Split(line.substr(0, line.find('\r')), ',');
        while (std::getline(csv, line)) {
            const std::vector<std::string> cells = Split(line.substr(0, line.find('\r')), ',');
            std::map<std::string, std::string> row;
            for (std::size_t i = 0; i < cells.size() && i < out.header.size(); ++i)
                row[out.header[i]] = cells[i];
            out.rows.push_back(row);
        }
    } catch (const std::exception& e) {
        out.error = e.what();
    }
    window::SetDataFolder("");
    fs::current_path(old);
    return out;
}

int EclipseKindAt(const std::map<std::string, std::string>& row) {
    return static_cast<int>(astro::ComputeLunarShadow(std::stold(row.at("jd"))).kind);
}

std::vector<std::string> ShippedFiles() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(SourceDir() / "beispiele"))
        if (entry.path().extension() == ".dat") names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

// Every shipped file is a lesson of the table, is byte for byte what F2
// writes for its values, is described in LIESMICH.md and is staged in the
// build tree's data folder as the installed program finds it.
TEST(Lessons, EveryFileIsInTheProgramsFormatAndDescribed) {
    ASSERT_FALSE(SourceDir().empty()) << "ORVANDEL_SOURCE_DIR is not set";
    std::vector<std::string> tabled;
    for (const Lesson& lesson : Lessons)
        tabled.push_back(lesson.file);
    std::sort(tabled.begin(), tabled.end());
    EXPECT_EQ(ShippedFiles(), tabled);

    const std::string guide = ReadBytes(SourceDir() / "beispiele" / "LIESMICH.md");
    for (const Lesson& lesson : Lessons) {
        SCOPED_TRACE(lesson.file);
        const std::string bytes = ReadBytes(SourceDir() / "beispiele" / lesson.file);
        app::Parameters p;
        ASSERT_NO_THROW(app::ParseParameterText(bytes, lesson.file, p));
        EXPECT_EQ(bytes, app::FormatParameterFile(p));
        EXPECT_NE(guide.find(std::string("`") + lesson.file + "`"), std::string::npos);
#ifdef ORVANDEL_STAGED_DATA
        EXPECT_EQ(ReadBytes(fs::path(ORVANDEL_STAGED_DATA) / "beispiele" / lesson.file), bytes);
#endif
    }
}

TEST(Lessons, EachShowsWhatItsTextPromises) {
    for (const Lesson& lesson : Lessons) {
        const Exported& shown = ExportLesson(lesson);
        ASSERT_EQ(shown.error, "") << lesson.file;
        ASSERT_EQ(shown.rows.size(), static_cast<std::size_t>(lesson.frames)) << lesson.file;
        bool promised = false;
        for (const Promise& promise : Promises) {
            if (std::string(promise.file) != lesson.file) continue;
            promised = true;
            SCOPED_TRACE(std::string(promise.file) + " " + promise.when + " " + promise.what);
            bool found = false;
            // The last picture of the instant: after keys that draw the same
            // instant again, the one the keys led to.
            for (std::size_t k = shown.rows.size(); k-- > 0;) {
                const auto& row = shown.rows[k];
                if (std::string(promise.when) != "*" &&
                    row.at("date") + " " + row.at("time_mez") != promise.when)
                    continue;
                found = true;
                const std::string what = promise.what;
                const double value = what == "sky"           ? shown.sky[k]
                                     : what == "perspective" ? shown.perspective[k]
                                     : what == "eclipse"     ? EclipseKindAt(row)
                                                             : std::stod(row.at(what));
                EXPECT_GE(value, promise.lo) << "picture " << k + 1;
                EXPECT_LE(value, promise.hi) << "picture " << k + 1;
                if (std::string(promise.when) != "*") break;
            }
            EXPECT_TRUE(found) << "no picture shows " << promise.when;
        }
        EXPECT_TRUE(promised) << lesson.file << " promises nothing";
    }
}

// The eclipse in the picture's own table, where the export writes one: the
// kind the table gives is the kind of the Earth's shadow at that instant.
TEST(Lessons, TheEclipseLessonsTableShowsTheEclipse) {
    for (const Lesson& lesson : Lessons) {
        if (std::string(lesson.file).find("mondfinsternis") == std::string::npos) continue;
        const Exported& shown = ExportLesson(lesson);
        ASSERT_EQ(shown.error, "") << lesson.file;
        if (std::find(shown.header.begin(), shown.header.end(), "eclipse") == shown.header.end())
            GTEST_SKIP() << "frames.csv has no eclipse column yet; the lessons' eclipses are checked "
                            "against astro::ComputeLunarShadow only";
        for (const auto& row : shown.rows)
            EXPECT_EQ(row.at("eclipse"),
                      astro::EclipseKindText(static_cast<astro::EclipseKind>(EclipseKindAt(row))))
                << lesson.file << " " << row.at("date") << " " << row.at("time_mez");
    }
}

// The moonrises that the first lesson's text names, the mean daily delay of
// about 50 minutes and its range over a year, from the program's own events.
TEST(Lessons, TheMoonRisesLaterEveryDayAsTheFirstLessonSays) {
    app::Parameters p;
    app::ParseParameterText(ReadBytes(SourceDir() / "beispiele" / "01-mondaufgang.dat"), "", p);
    const astro::Real lat = astro::DegreesToRadians(p.latitude), lon = astro::DegreesToRadians(p.longitude);
    const astro::Real jd0 = astro::JulianDateFromCivil({p.startDay, p.startMonth, p.startYear}, 0);
    std::vector<astro::Real> rises;
    for (const astro::Event& e : astro::EventsForDays(lat, lon, jd0, 366))
        if (e.body == astro::Body::Moon && e.kind == astro::EventKind::Rise) rises.push_back(e.jd);
    ASSERT_GE(rises.size(), 340u);

    const double stated[] = {17 * 60 + 23, 18 * 60 + 16, 19 * 60 + 31, 21 * 60 + 0}; // MEZ, 28. to 31.10.
    for (int day = 0; day < 4; ++day) {
        astro::CalendarDate d;
        astro::Real clock = 0;
        astro::CivilFromJulianDate(d, clock, rises[day]);
        EXPECT_EQ(d.Day, p.startDay + day);
        EXPECT_NEAR(double(astro::HoursFromClock(clock) * 60), stated[day], 1.0) << "rise " << day + 1;
    }
    const double meanDelay = double((rises.back() - rises.front()) / (rises.size() - 1) - 1) * 24 * 60;
    EXPECT_NEAR(meanDelay, 50.5, 1);
    // From one rise to the next: at times less than 10 minutes later, at
    // times more than an hour and a half.
    double least = 1e9, most = 0;
    for (std::size_t i = 1; i < rises.size(); ++i) {
        const double delay = double(rises[i] - rises[i - 1] - 1) * 24 * 60;
        least = std::min(least, delay);
        most = std::max(most, delay);
    }
    EXPECT_LT(least, 10);
    EXPECT_GT(most, 90);
}

// The contacts of the two eclipses that the eighth lesson's text names (MEZ,
// minutes after midnight), from the program's own eclipse search.
TEST(Lessons, TheEclipsesComeWhenTheEighthLessonSays) {
    struct Stated {
        const char* file;
        double u1, u2, greatest, u3, u4; // -1: the eclipse has no such contact
        double magnitude;                // umbral, at greatest
    };
    const Stated stated[] = {
        {"08-mondfinsternis-2028.dat", 16 * 60 + 9, 17 * 60 + 17, 17 * 60 + 53, 18 * 60 + 29, 19 * 60 + 38,
         1.25},
        {"08-mondfinsternis-2026.dat", 3 * 60 + 35, -1, 5 * 60 + 14, -1, 6 * 60 + 53, 0.93},
    };
    for (const Stated& s : stated) {
        SCOPED_TRACE(s.file);
        app::Parameters p;
        app::ParseParameterText(ReadBytes(SourceDir() / "beispiele" / s.file), s.file, p);
        const astro::Real midnight = astro::JulianDateFromCivil({p.startDay, p.startMonth, p.startYear}, 0);
        const astro::LunarEclipse e = astro::FindLunarEclipse(midnight + 0.5);
        const auto minutes = [midnight](const std::optional<astro::Real>& jd) {
            return jd ? double((*jd - midnight) * 24 * 60) : -1.0;
        };
        EXPECT_NEAR(minutes(e.u1), s.u1, 1);
        EXPECT_NEAR(minutes(e.u2), s.u2, 1);
        EXPECT_NEAR(minutes(e.greatest), s.greatest, 1);
        EXPECT_NEAR(minutes(e.u3), s.u3, 1);
        EXPECT_NEAR(minutes(e.u4), s.u4, 1);
        EXPECT_NEAR(double(e.atGreatest.umbralMagnitude), s.magnitude, 0.005);
    }
}

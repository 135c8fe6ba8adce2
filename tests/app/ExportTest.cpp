// The command line's options and the frame export: the pictures against the
// window's canvas in the same process, frames.csv against orvandel-ephem, and
// the failures that must leave nothing behind.
#include <QApplication>
#include <QImage>
#include <QScreen>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/Discs.h"
#include "app/Export.h"
#include "app/InsideView.h"
#include "app/MainLoop.h"
#include "app/Parameters.h"
#include "app/Scene.h"
#include "app/Startup.h"
#include "earth/Globe.h"
#include "earth/Outlines.h"
#include "window/Eingabe.h"
#include "window/FensterGraf.h"
#include "window/Graphics.h"
#include "window/TextFiles.h"
#include "window/WorldWindow.h"

namespace fs = std::filesystem;
using app::CommandKind;
using app::CommandLineError;
using app::ParseCommandLine;

namespace {

struct ProgramEnded {
    int status;
};

// Twelve lines of a parameter file; view 'p' (inside) or 'b' (outside).
std::string ParameterFile(char view) {
    return std::string(1, view) +
           " * Darstellung (Phase (p)/Bewegung)\r\n54.3 * geogr. Breite\r\n10.1 * geogr. L\xe4nge\r\n"
           "7.12.2026 * Startdatum\r\n18.00 * Startuhrzeit\r\n0.10 * deltat\r\n30 * Verz\xf6gerung in ms\r\n"
           "0 * zentraler Azimut\r\n30 * Abstand der Koordinatenlinien\r\nj * Zeichnung der \xc4quators "
           "(j/n)?\r\nj * Zeichnung der Ekliptik (j/n)?\r\nj * Einzelschritt (j/n)?\r\n";
}

std::vector<std::string> Listing(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> Split(const std::string& line, char sep = ',') {
    std::vector<std::string> cells;
    std::stringstream in(line);
    std::string cell;
    while (std::getline(in, cell, sep))
        cells.push_back(cell);
    return cells;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::string& l : Split(text, '\n')) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        if (!l.empty()) lines.push_back(l);
    }
    return lines;
}

std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A fresh working folder with the shipped coastlines, no main window, an
// empty data folder, and an end of the program that throws.
class ExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        old_ = fs::current_path();
        folder_ =
            fs::temp_directory_path() / ("orvandel-export-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "nodata");
        fs::current_path(folder_);
        window::SetDataFolder((folder_ / "nodata").string());
        window::SetProgramFolder("");
        const char* source = std::getenv("ORVANDEL_SOURCE_DIR");
        ASSERT_NE(source, nullptr);
        fs::copy_file(fs::path(source) / "data" / "ECLGRAPH.DAT", folder_ / "ECLGRAPH.DAT");
        std::ofstream("inside.dat", std::ios::binary) << ParameterFile('p');
        std::ofstream("outside.dat", std::ios::binary) << ParameterFile('b');
    }
    void TearDown() override {
        window::DestroyEingabeDialog();
        window::DestroyMainWindow();
        window::SetEndProgramHandler(nullptr);
        window::SetErrorReporter(nullptr);
        window::SetMonotonicClock(nullptr, nullptr);
        window::SetDataFolder("");
        fs::current_path(old_);
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    // The pictures of the interactive program started with `file` in the
    // main window: the one after the start, then one per tick, with "e"
    // as the first key (single steps off) and no key after it.
    std::vector<QImage> WindowFrames(const std::string& file, int n) {
        window::ResetLayer("/usr/bin/Orvandel");
        window::ResetDrawingState();
        window::ResetWorldWindow();
        app::ResetApplicationState();
        window::SetEndProgramHandler([](int status) { throw ProgramEnded{status}; });
        window::SetMonotonicClock(
            [this] {
                now_ += std::chrono::milliseconds(1);
                return now_;
            },
            [this](std::chrono::steady_clock::duration d) { now_ += d; });
        app::SetCommandLine({file});
        window::CreateMainWindow()->showOverScreen();
        window::CreateEingabeDialog();
        window::Layer().mainProcedure = nullptr;
        QApplication::processEvents();
        window::SetTextStyle("Courier", 10, 0);
        window::ClearScreen();
        std::vector<QImage> frames;
        app::PromptParameters();
        EXPECT_TRUE(app::Run().runStarted);
        frames.push_back(window::Canvas().copy());
        window::Layer().keyQueue += 'e';
        for (int k = 2; k <= n; ++k) {
            app::MainTick();
            frames.push_back(window::Canvas().copy());
        }
        return frames;
    }

    fs::path old_, folder_;
    std::chrono::steady_clock::time_point now_{};
};

} // namespace

// ---------------------------------------------------------------- command line

TEST(CommandLineTest, OptionsAndTheParameterFile) {
    struct Row {
        std::vector<std::string> args;
        CommandKind kind;
    };
    const Row rows[] = {
        {{}, CommandKind::Run},
        {{"Orvandel.dat"}, CommandKind::Run},
        {{"-platform"}, CommandKind::Run}, // a single dash is no option: a parameter file as ever
        {{"Orvandel.dat", "--help"}, CommandKind::Run},
        {{"--help"}, CommandKind::Help},
        {{"--version"}, CommandKind::Version},
        {{"--export", "d", "--frames", "3", "p.dat"}, CommandKind::Export},
        {{"--frames", "3", "p.dat", "--size", "640x480", "--export", "d"}, CommandKind::Export},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.args.empty() ? std::string("(none)") : r.args.front());
        EXPECT_EQ(ParseCommandLine(r.args).kind, r.kind);
    }
    const app::CommandLine a = ParseCommandLine({"--export", "d", "--frames", "3", "p.dat"});
    EXPECT_EQ(a.exportOptions.folder, "d");
    EXPECT_EQ(a.exportOptions.frames, 3);
    EXPECT_EQ(a.exportOptions.width, 1920);
    EXPECT_EQ(a.exportOptions.height, 1080);
    EXPECT_EQ(a.exportOptions.parameterFile, "p.dat");
    const app::CommandLine b =
        ParseCommandLine({"--frames", "3", "p.dat", "--size", "640x480", "--export", "d"});
    EXPECT_EQ(b.exportOptions.width, 640);
    EXPECT_EQ(b.exportOptions.height, 480);
}

TEST(CommandLineTest, BadCommandLinesNameTheProblem) {
    struct Row {
        std::vector<std::string> args;
        const char* messagePart;
    };
    const Row rows[] = {
        {{"--hilfe"}, "Unbekannte Option \"--hilfe\""},
        {{"--"}, "Unbekannte Option \"--\""},
        {{"--help", "x"}, "ohne weitere Angaben"},
        {{"--export", "d", "--frames", "3"}, "Parameterdatei fehlt"},
        {{"--export", "d", "p.dat"}, "--frames N"},
        {{"--frames", "3", "p.dat"}, "nur zusammen mit --export"},
        {{"--export", "d", "--frames", "0", "p.dat"}, "--frames ist ungültig"},
        {{"--export", "d", "--frames", "-2", "p.dat"}, "--frames ist ungültig"},
        {{"--export", "d", "--frames", "3x", "p.dat"}, "--frames ist ungültig"},
        {{"--export", "d", "--frames", "3", "--size", "1x5", "p.dat"}, "--size ist ungültig"},
        {{"--export", "d", "--frames", "3", "--size", "640", "p.dat"}, "--size ist ungültig"},
        {{"--export", "d", "--frames", "3", "--size", "99999x10", "p.dat"}, "--size ist ungültig"},
        {{"--export", "d", "--frames", "3", "--frames", "4", "p.dat"}, "mehrfach"},
        {{"--export", "d", "--frames", "3", "p.dat", "q.dat"}, "Nur eine Parameterdatei"},
        {{"--export"}, "fehlt der Wert"},
        {{"--export", "d", "--frames", "3", "--bunt", "p.dat"}, "Unbekannte Option \"--bunt\""},
    };
    for (const Row& r : rows) {
        std::string joined;
        for (const std::string& a : r.args)
            joined += a + " ";
        SCOPED_TRACE(joined);
        try {
            ParseCommandLine(r.args);
            ADD_FAILURE() << "accepted";
        } catch (const CommandLineError& e) {
            EXPECT_NE(std::string(e.what()).find(r.messagePart), std::string::npos) << e.what();
        }
    }
}

TEST(CommandLineTest, CalendarOptions) {
    const app::CalendarOptions given =
        ParseCommandLine({"--ort", "-33,9,151,2", "--uhrzeit", "6,30", "--kalender", "12.1999", "Mond.PNG"})
            .calendarOptions;
    EXPECT_EQ(given.month, 12);
    EXPECT_EQ(given.year, 1999);
    EXPECT_NEAR(given.latitude, -33.9L, 1e-12L);
    EXPECT_NEAR(given.longitude, 151.2L, 1e-12L);
    EXPECT_NEAR(given.clock, 6.30L, 1e-12L);
    EXPECT_FALSE(given.pdf);
    const app::CommandLine defaults = ParseCommandLine({"--kalender", "03.2026", "m.pdf"});
    EXPECT_EQ(defaults.kind, CommandKind::Calendar);
    EXPECT_EQ(defaults.calendarOptions.latitude, 54.3L);
    EXPECT_EQ(defaults.calendarOptions.longitude, 10.1L);
    EXPECT_EQ(defaults.calendarOptions.clock, 21.00L);
    EXPECT_TRUE(defaults.calendarOptions.pdf);
    const std::pair<std::vector<std::string>, const char*> bad[] = {
        {{"--kalender", "13.2026", "m.pdf"}, "--kalender ist ungültig"},
        {{"--kalender", "03-2026", "m.pdf"}, "--kalender ist ungültig"},
        {{"--kalender", "03.2026", "--ort", "91,10", "m.pdf"}, "--ort ist ungültig"},
        {{"--kalender", "03.2026", "--ort", "54,3,10", "m.pdf"}, "--ort ist ungültig"},
        {{"--kalender", "03.2026", "--uhrzeit", "21.60", "m.pdf"}, "--uhrzeit ist ungültig"},
        {{"--kalender", "03.2026", "m.jpg"}, "muss auf .pdf oder .png enden"},
        {{"--kalender", "03.2026"}, "Ausgabedatei fehlt"},
        {{"--kalender", "03.2026", "a.pdf", "b.pdf"}, "Nur eine Ausgabedatei"},
        {{"--kalender", "03.2026", "--export", "d", "a.pdf"}, "--export gilt nicht zusammen mit --kalender"},
        {{"--export", "d", "--frames", "3", "--ort", "54,10", "p.dat"}, "nur zusammen mit --kalender"},
    };
    for (const auto& [args, messagePart] : bad) {
        SCOPED_TRACE(args.back());
        try {
            ParseCommandLine(args);
            ADD_FAILURE() << "accepted";
        } catch (const CommandLineError& e) {
            EXPECT_NE(std::string(e.what()).find(messagePart), std::string::npos) << e.what();
        }
    }
}

TEST(CommandLineTest, FrameNamesAreNumberedWithAtLeastFourDigits) {
    EXPECT_EQ(app::FrameFileName(1, 3), "frame0001.png");
    EXPECT_EQ(app::FrameFileName(9999, 9999), "frame9999.png");
    EXPECT_EQ(app::FrameFileName(7, 12345), "frame00007.png");
}

// ---------------------------------------------------------------- export

// Each written picture is the canvas that the window shows for that frame.
TEST_F(ExportTest, EveryPictureIsTheWindowsCanvasOfItsFrame) {
    constexpr int N = 4;
    for (const char* file : {"inside.dat", "outside.dat"}) {
        SCOPED_TRACE(file);
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        app::ExportOptions o;
        o.folder = std::string("out-") + file;
        o.frames = N;
        o.width = screen.width();
        o.height = screen.height();
        o.parameterFile = file;
        std::vector<std::string> progress;
        app::ExportFrames(o, [&](const std::string& line) { progress.push_back(line); });
        EXPECT_EQ(progress.back(), "Bild 4 von 4");
        EXPECT_EQ(Listing(o.folder),
                  (std::vector<std::string>{"frame0001.png", "frame0002.png", "frame0003.png",
                                            "frame0004.png", "frames.csv"}));

        const std::vector<QImage> shown = WindowFrames(file, N);
        ASSERT_EQ(shown.size(), static_cast<std::size_t>(N));
        for (int k = 1; k <= N; ++k) {
            SCOPED_TRACE(k);
            QImage picture(QString::fromStdString((fs::path(o.folder) / app::FrameFileName(k, N)).string()));
            ASSERT_FALSE(picture.isNull());
            EXPECT_EQ(picture.size(), screen);
            EXPECT_TRUE(picture.convertToFormat(QImage::Format_RGB32) == shown[k - 1]);
        }
        // Successive frames differ: the animation moves.
        EXPECT_FALSE(shown[1] == shown[2]);
        window::DestroyEingabeDialog();
        window::DestroyMainWindow();
    }
}

TEST_F(ExportTest, PicturesHaveTheAskedSize) {
    app::ExportOptions o{"klein", 2, 320, 200, "outside.dat"};
    app::ExportFrames(o);
    for (int k = 1; k <= 2; ++k) {
        const QImage picture(QString::fromStdString("klein/" + app::FrameFileName(k, 2)));
        EXPECT_EQ(picture.size(), QSize(320, 200));
    }
}

// frames.csv holds the instants that orvandel-ephem computes for the same
// start and step, with the same Sun, Moon and bright limb.
TEST_F(ExportTest, TheTableAgreesWithOrvandelEphem) {
    constexpr int N = 5;
    app::ExportOptions o{"tabelle", N, 800, 600, "inside.dat"};
    app::ExportFrames(o);
    const std::vector<std::string> ours = Lines(ReadBytes("tabelle/frames.csv"));
    ASSERT_EQ(ours.size(), static_cast<std::size_t>(N + 1));
    EXPECT_EQ(ours[0], app::FrameCsvHeader);

    const std::string command = std::string("'") + ORVANDEL_EPHEM +
                                "' --lat 54.3 --lon 10.1 --date 7.12.2026 --time 18.00 --step 0.10 --count 5 "
                                "--azimuth 0 --size 800x600";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    ASSERT_EQ(::pclose(pipe), 0);
    const std::vector<std::string> theirs = Lines(out);
    ASSERT_EQ(theirs.size(), static_cast<std::size_t>(N + 1));
    const std::vector<std::string> header = Split(theirs[0]);
    auto column = [&header](const char* name) {
        const auto it = std::find(header.begin(), header.end(), name);
        EXPECT_NE(it, header.end()) << name;
        return static_cast<std::size_t>(it - header.begin());
    };
    constexpr double Deg = M_PI / 180;
    auto wrap = [](double a) { return std::remainder(a, 360.0); };
    for (int k = 1; k <= N; ++k) {
        SCOPED_TRACE(k);
        const std::vector<std::string> a = Split(ours[k]);
        const std::vector<std::string> e = Split(theirs[k]);
        ASSERT_EQ(a.size(), 13u);
        EXPECT_EQ(std::stoi(a[0]), k);
        auto num = [](const std::string& s) { return std::stod(s); };
        auto them = [&](const char* name) { return num(e[column(name)]); };
        EXPECT_NEAR(num(a[1]), them("jd"), 1e-7);
        EXPECT_EQ(a[2], e[column("date")]);
        EXPECT_NEAR(wrap(num(a[4]) - them("sun_az")), 0, 1e-5);
        EXPECT_NEAR(num(a[5]), them("sun_alt"), 1e-5);
        EXPECT_NEAR(wrap(num(a[6]) - them("moon_az")), 0, 1e-5);
        EXPECT_NEAR(num(a[7]), them("moon_alt"), 1e-5);
        EXPECT_NEAR(num(a[8]), them("phase_angle"), 1e-5);
        EXPECT_NEAR(num(a[9]), them("illuminated"), 1e-6);
        // The elongation from the ecliptic coordinates of the two.
        const double b1 = them("sun_lat") * Deg, b2 = them("moon_lat") * Deg;
        const double dl = (them("sun_lon") - them("moon_lon")) * Deg;
        const double elongation =
            std::acos(std::sin(b1) * std::sin(b2) + std::cos(b1) * std::cos(b2) * std::cos(dl)) / Deg;
        EXPECT_NEAR(num(a[10]), elongation, 1e-5);
        EXPECT_NEAR(wrap(num(a[11]) - (them("limb_angle") - 90)), 0, 1e-5);
        EXPECT_EQ(a[12], e[column("eclipse")]);
    }
    // Clock values of the pictures: 18.00, 18.10, ... MEZ.
    EXPECT_EQ(Split(ours[1])[3], "18.00");
    EXPECT_EQ(Split(ours[3])[3], "18.20");
}

TEST_F(ExportTest, FailuresLeaveNothingBehind) {
    // The coastlines converted beforehand, as the program does on its first
    // globe: that "ERDE.BIN" belongs to the working folder, not to an export.
    earth::ConvertOutlineText();
    ASSERT_TRUE(fs::exists("ERDE.BIN"));
    std::ofstream("bad.dat", std::ios::binary) << "p\r\n54.3\r\n10.1\r\n7.12.2026\r\nzehn\r\n";
    std::ofstream("datei", std::ios::binary) << "x";
    fs::create_directory("vorher");
    std::ofstream("vorher/alt.txt") << "alt";
    struct Row {
        const char* name;
        app::ExportOptions options;
        bool failAfterTwo; // the export fails once two pictures are written
        const char* messagePart;
        const char* existingFolder; // a folder whose contents must stay as they were
    };
    const Row rows[] = {
        {"missing parameter file", {"neu/a", 2, 200, 200, "fehlt.dat"}, false, "fehlt.dat", nullptr},
        {"bad parameter file", {"neu/b", 2, 200, 200, "bad.dat"}, false, "Zeile 5", nullptr},
        {"folder is a file", {"datei", 2, 200, 200, "inside.dat"}, false, "ist kein Ordner", nullptr},
        {"folder below a file",
         {"datei/unter", 2, 200, 200, "inside.dat"},
         false,
         "kann nicht angelegt",
         nullptr},
        // A failure after two pictures were written (as a full disc would
        // cause): the folders made for the export go again, an existing
        // folder keeps exactly what it had.
        {"failure after two pictures", {"neu/c/d", 3, 200, 200, "outside.dat"}, true, "Platte voll", nullptr},
        {"failure after two pictures, folder exists",
         {"vorher", 3, 200, 200, "inside.dat"},
         true,
         "Platte voll",
         "vorher"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::vector<std::string> before = Listing(".");
        const std::vector<std::string> inside =
            r.existingFolder ? Listing(r.existingFolder) : std::vector<std::string>{};
        try {
            int pictures = 0;
            app::ExportFrames(r.options, [&](const std::string&) {
                if (r.failAfterTwo && ++pictures == 2) throw window::UserError("Platte voll.");
            });
            ADD_FAILURE() << "no failure";
        } catch (const window::UserError& e) {
            EXPECT_NE(std::string(e.what()).find(r.messagePart), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("es bleibt nichts"), std::string::npos) << e.what();
        }
        EXPECT_EQ(Listing("."), before);
        if (r.existingFolder) {
            EXPECT_EQ(Listing(r.existingFolder), inside);
        }
        EXPECT_FALSE(fs::exists("neu"));
    }
}

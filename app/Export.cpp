// The command line's options and the frame export.
#include "app/Export.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "app/Discs.h"
#include "app/InsideView.h"
#include "app/MainLoop.h"
#include "app/Panel.h"
#include "app/Parameters.h"
#include "app/Scene.h"
#include "astro/Vectors.h"
#include "earth/Globe.h"
#include "window/FensterGraf.h"
#include "window/Graphics.h"
#include "window/TextFiles.h"
#include "window/WorldWindow.h"

namespace fs = std::filesystem;

namespace app {

namespace {

constexpr Real DegreesPerRadian = 180 / astro::Pi;

// The smallest picture: the views need a client area of at least 2 x 2
// pixels (MaxX and MaxY of at least 1); the largest one that an image holds.
constexpr std::int32_t MinPictureSide = 2;
constexpr std::int32_t MaxPictureSide = 32767;
// More pictures than any slide show needs, and few enough that their names
// and the table stay manageable.
constexpr std::int32_t MaxFrames = 1000000;

bool StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

bool ParseInt(const std::string& text, std::int32_t& value) {
    if (text.empty() || text[0] == '+' || text[0] == '-') return false;
    const char* first = text.data();
    const char* last = first + text.size();
    auto [ptr, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && ptr == last;
}

bool ParseSize(const std::string& text, std::int32_t& width, std::int32_t& height) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    return ParseInt(text.substr(0, x), width) && ParseInt(text.substr(x + 1), height) &&
           width >= MinPictureSide && height >= MinPictureSide && width <= MaxPictureSide &&
           height <= MaxPictureSide;
}

std::string WithoutOuterBlanks(std::string s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const std::size_t last = s.find_last_not_of(' ');
    return s.substr(first, last - first + 1);
}

// An angle in degrees brought into (-180, 180].
Real Signed180(Real degrees) {
    Real a = std::fmod(degrees, Real(360));
    if (a > 180) a -= 360;
    if (a <= -180) a += 360;
    return a;
}

std::string Number(Real value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*Lf", decimals, value);
    return buffer;
}

// What this run created, so that a failure can take it back: the folders it
// made (innermost last), the hidden collecting folder, the files moved into
// place.
struct Written {
    std::vector<fs::path> createdFolders;
    fs::path collecting;
    std::vector<fs::path> placed;

    void RemoveAll() {
        std::error_code ec;
        for (const fs::path& p : placed)
            fs::remove(p, ec);
        if (!collecting.empty()) fs::remove_all(collecting, ec);
        for (auto it = createdFolders.rbegin(); it != createdFolders.rend(); ++it)
            fs::remove(*it, ec); // only while empty
    }
};

// The output folder, created with the folders above it that are missing.
void MakeOutputFolder(const fs::path& folder, Written& written) {
    std::error_code ec;
    if (fs::exists(folder, ec)) {
        if (!fs::is_directory(folder, ec))
            throw window::UserError("Der Ausgabeordner \"" + window::AbsolutePath(folder.string()) +
                                    "\" ist kein Ordner.");
        return;
    }
    std::vector<fs::path> missing;
    for (fs::path p = fs::absolute(folder, ec).lexically_normal(); !p.empty() && !fs::exists(p, ec);
         p = p.parent_path()) {
        missing.push_back(p);
        if (p == p.parent_path()) break;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!fs::create_directory(*it, ec) && ec) {
            throw window::UserError("Der Ausgabeordner \"" + window::AbsolutePath(folder.string()) +
                                    "\" kann nicht angelegt werden. " + ec.message());
        }
        written.createdFolders.push_back(*it);
    }
}

fs::path MakeCollectingFolder(const fs::path& folder) {
    std::string pattern = (folder / ".orvandel-export-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        const int err = errno;
        throw window::UserError("In den Ausgabeordner \"" + window::AbsolutePath(folder.string()) +
                                "\" kann nicht geschrieben werden. " + std::strerror(err));
    }
    return pattern;
}

std::string PngBytes(const QImage& canvas) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!canvas.save(&buffer, "PNG")) throw window::UserError("Das Bild kann nicht kodiert werden.");
    buffer.close();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// The start values of every module, as the program entry gives them, and a
// canvas of the picture's size in place of the window's.
void PrepareModules(const ExportOptions& options) {
    window::ResetLayer(QCoreApplication::applicationFilePath().toStdString());
    window::RegisterFontSubstitutions();
    window::ResetDrawingState();
    window::ResetWorldWindow();
    ResetApplicationState();
    SetCommandLine({options.parameterFile});
    window::Canvas() = QImage(options.width, options.height, QImage::Format_RGB32);
    window::Canvas().fill(Qt::white);
    window::SetTextStyle("Courier", 10, 0);
    window::ClearScreen();
}

// The parameter file is read once beforehand, so that a file that cannot be
// used is reported before anything is written.
void CheckParameterFile(const std::string& file) {
    const std::string bytes = window::ReadFileBytes(window::ResolveFileName(file));
    Parameters scratch = Params();
    try {
        ParseParameterText(bytes, file, scratch);
    } catch (const ParameterFileError& e) {
        throw window::UserError(e.what());
    }
}

// Error handling of the interactive program, replaced for the export's
// duration: messages go to standard error only, and an end of the program
// inside the animation becomes an error that the export can clean up after.
struct BatchHandlers {
    BatchHandlers() {
        window::SetErrorReporter([](const std::string&) {}); // ReportToUser has printed it
        // Missing coastlines end the export with their message instead of
        // waiting for a key.
        window::SetMessageAndEndHandler([](const std::string&) {});
        window::SetEndProgramHandler([](int status) {
            throw window::UserError("Das Programm wurde mit dem Status " + std::to_string(status) +
                                    " beendet.");
        });
    }
    ~BatchHandlers() {
        window::SetErrorReporter(nullptr);
        window::SetMessageAndEndHandler(nullptr);
        window::SetEndProgramHandler(nullptr);
    }
};

// The start of the run as the program makes it after reading a parameter
// file (no prompts), without waiting before frames or for keys.
void StartExportRun() {
    Parameters& p = Params();
    InitialiseParameters();
    p.singleStep = false;
    p.delayMs = 0;
    window::SetFillColour(255, window::Black, window::Black);
    window::FillRectangle(0, 0, window::MaxX() + 1, window::MaxY() + 1);
    window::InitPalette();
    StartRunAfterInput();
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    if (arguments.empty() || !StartsWith(arguments.front(), "--")) return line;
    ExportOptions& o = line.exportOptions;
    bool haveExport = false, haveFrames = false, haveSize = false;
    for (std::size_t n = 0; n < arguments.size(); ++n) {
        const std::string& a = arguments[n];
        if (a == "--help" || a == "--version") {
            if (arguments.size() != 1)
                throw CommandLineError("Die Option " + a + " steht ohne weitere Angaben.");
            line.kind = a == "--help" ? CommandKind::Help : CommandKind::Version;
            return line;
        }
        if (a == "--export" || a == "--frames" || a == "--size") {
            bool& seen = a == "--export" ? haveExport : a == "--frames" ? haveFrames : haveSize;
            if (seen) throw CommandLineError("Die Option " + a + " steht mehrfach da.");
            seen = true;
            if (n + 1 >= arguments.size()) throw CommandLineError("Nach " + a + " fehlt der Wert.");
            const std::string& value = arguments[++n];
            if (a == "--export") {
                if (value.empty()) throw CommandLineError("Nach --export fehlt der Ordner.");
                o.folder = value;
            } else if (a == "--frames") {
                if (!ParseInt(value, o.frames) || o.frames < 1 || o.frames > MaxFrames)
                    throw CommandLineError(
                        "Der Wert \"" + value +
                        "\" von --frames ist ungültig: erwartet wird eine ganze Zahl von 1 "
                        "bis " +
                        std::to_string(MaxFrames) + ".");
            } else if (!ParseSize(value, o.width, o.height)) {
                throw CommandLineError("Der Wert \"" + value +
                                       "\" von --size ist ungültig: erwartet wird Breite x Höhe in Pixeln, "
                                       "je 2 bis 32767, z. B. 1920x1080.");
            }
            continue;
        }
        if (StartsWith(a, "--")) throw CommandLineError("Unbekannte Option \"" + a + "\".");
        if (!o.parameterFile.empty())
            throw CommandLineError("Nur eine Parameterdatei ist möglich: \"" + o.parameterFile + "\" und \"" +
                                   a + "\".");
        o.parameterFile = a;
    }
    if (!haveExport) throw CommandLineError("--frames und --size gelten nur zusammen mit --export ORDNER.");
    if (!haveFrames) throw CommandLineError("Die Anzahl der Bilder fehlt (--frames N).");
    if (o.parameterFile.empty()) throw CommandLineError("Die Parameterdatei fehlt.");
    line.kind = CommandKind::Export;
    return line;
}

std::string UsageText(const std::string& dataFolder) {
    std::string text = "Aufruf: Orvandel [PARAMETERDATEI]\n"
                       "        Orvandel --export ORDNER --frames N [--size BxH] PARAMETERDATEI\n"
                       "        Orvandel --help | --version\n"
                       "\n"
                       "Orvandel zeigt den Lauf des Mondes um die Erde und die Mondphasen für einen\n"
                       "Ort und einen Zeitpunkt: von innen (der Himmel über dem Horizont) oder von\n"
                       "außen (die Erde als Kugel im Raum).\n"
                       "\n"
                       "Ohne Angaben fragt das Programm die Parameter nacheinander ab. Mit einer\n"
                       "PARAMETERDATEI (etwa der mit F2 gespeicherten \"Orvandel.dat\") beginnt die\n"
                       "Animation ohne Fragen; Esc beendet das Programm dann.\n"
                       "\n"
                       "Optionen:\n"
                       "  --export ORDNER  die Animation der PARAMETERDATEI ohne Fenster als Bilder\n"
                       "                   frame0001.png, frame0002.png, ... und die Tabelle\n"
                       "                   frames.csv in den ORDNER schreiben\n"
                       "  --frames N       Anzahl der Bilder (zu --export), mindestens 1\n"
                       "  --size BxH       Bildgröße in Pixeln (zu --export), Vorgabe 1920x1080\n"
                       "  --help           diese Hilfe\n"
                       "  --version        die Version des Programms\n"
                       "\n"
                       "Tasten während der Animation:\n"
                       "  F1          Hilfe zur Ansicht\n"
                       "  F2          Parameter in \"Orvandel.dat\" speichern\n"
                       "  e           Einzelschritt an/aus\n"
                       "  p           Pause (weiter mit einer beliebigen Taste)\n"
                       "  * /         Zeitschritt größer/kleiner\n"
                       "  <= =>       (Pfeiltasten) Verzögerung größer/kleiner\n"
                       "  + -         positive Zeitrichtung / Zeitrichtung umkehren\n"
                       "  > <         Sonne und Mond (innen) oder Erde (außen) größer/kleiner\n"
                       "  ^ v         (Pfeiltasten) Bild kippen (Ansicht von außen)\n"
                       "  h           nächste Perspektive (Ansicht von außen)\n"
                       "  l           Visierlinien zu Sonne und Mond (Ansicht von innen)\n"
                       "  d           Wechsel zwischen den Ansichten von innen und von außen\n"
                       "  s           Bild speichern: Orvandel00.bmp, Orvandel01.bmp, ...\n"
                       "  Esc         neue Eingabe der Parameter (mit Parameterdatei: Ende)\n"
                       "  Strg+C      Programm beenden\n"
                       "\n"
                       "Die Dateien ECLGRAPH.DAT, ERDE.BIN, ERDE_0.BIN und Orvandel.txt werden im\n"
                       "aktuellen Ordner gesucht, dann im Datenordner ";
    text += dataFolder.empty() ? std::string("(keiner)") : dataFolder;
    text += ",\n"
            "dann neben dem Programm. Geschrieben wird nur in den aktuellen Ordner.\n";
    return text;
}

std::string FrameFileName(std::int32_t k, std::int32_t n) {
    const int digits = std::max<int>(4, static_cast<int>(std::to_string(n).size()));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "frame%0*d.png", digits, static_cast<int>(k));
    return buffer;
}

FrameRow ComputeFrameRow(std::int32_t frame, Real jd, std::int32_t width, std::int32_t height) {
    SetInsideWorldWindow(width - 1, height - 1);
    Run().currentJD = jd;
    ComputeInsideScene();
    const SceneState& s = Scene();
    const Parameters& p = Params();
    FrameRow row;
    row.frame = frame;
    row.jd = jd;
    row.date = WithoutOuterBlanks(PanelDateText(p.startDay, p.startMonth, p.startYear));
    row.time = WithoutOuterBlanks(PanelTimeText(p.startTime));
    row.sunAzimuth = astro::AngleOfPoint(s.sunSky.Y, s.sunSky.X) * DegreesPerRadian;
    row.sunAltitude = s.sunAltitude * DegreesPerRadian;
    row.moonAzimuth = astro::AngleOfPoint(s.moonSky.Y, s.moonSky.X) * DegreesPerRadian;
    row.moonAltitude = s.moonAltitude * DegreesPerRadian;
    row.phaseAngle = s.phaseAngle * DegreesPerRadian;
    row.illuminated = (1 + std::cos(s.phaseAngle)) / 2;
    row.elongation = astro::ArcCosine(astro::DotProduct(s.sunSky, s.moonSky)) * DegreesPerRadian;
    // brightLimbAngle is counted from the screen's x axis, counter-clockwise
    // with y up; the vertical is 90 degrees from it.
    row.limbFromVertical = Signed180(s.brightLimbAngle * DegreesPerRadian - 90);
    return row;
}

std::string FormatFrameRow(const FrameRow& row) {
    std::string line = std::to_string(row.frame);
    line += ',' + Number(row.jd, 8) + ',' + row.date + ',' + row.time;
    for (Real v : {row.sunAzimuth, row.sunAltitude, row.moonAzimuth, row.moonAltitude, row.phaseAngle})
        line += ',' + Number(v, 6);
    line += ',' + Number(row.illuminated, 6);
    line += ',' + Number(row.elongation, 6);
    line += ',' + Number(row.limbFromVertical, 6);
    return line;
}

void ExportFrames(const ExportOptions& options, const std::function<void(const std::string&)>& progress,
                  const FrameObserver& observer) {
    if (window::MainWindow() != nullptr)
        throw window::UserError("Die Bildausgabe braucht ein Programm ohne Hauptfenster.");
    if (options.frames < 1 || options.width < MinPictureSide || options.height < MinPictureSide)
        throw window::UserError("Ungültige Angaben für die Bildausgabe.");

    const BatchHandlers handlers;
    const fs::path folder(options.folder);
    Written written;
    try {
        CheckParameterFile(options.parameterFile);
        MakeOutputFolder(folder, written);
        written.collecting = MakeCollectingFolder(folder);

        PrepareModules(options);
        std::vector<Real> shown;
        shown.reserve(static_cast<std::size_t>(options.frames));
        std::vector<std::string> names;
        for (std::int32_t k = 1; k <= options.frames; ++k) {
            const std::int64_t before = Run().framesDrawn;
            if (k == 1)
                StartExportRun();
            else
                MainTick();
            if (Run().framesDrawn == before)
                throw window::UserError("Die Animation hat kein Bild " + std::to_string(k) + " gezeichnet.");
            shown.push_back(Run().shownJD);
            const QImage& canvas = window::Canvas();
            if (observer) observer(k, canvas);
            const std::string name = FrameFileName(k, options.frames);
            window::WriteFileReplacing((written.collecting / name).string(), PngBytes(canvas));
            names.push_back(name);
            if (progress) progress("Bild " + std::to_string(k) + " von " + std::to_string(options.frames));
        }

        // The table, once every picture is drawn: its computation uses the
        // inside view's world window.
        std::vector<std::string> lines{FrameCsvHeader};
        for (std::size_t i = 0; i < shown.size(); ++i)
            lines.push_back(FormatFrameRow(
                ComputeFrameRow(static_cast<std::int32_t>(i + 1), shown[i], options.width, options.height)));
        window::WriteTextFileLines((written.collecting / FrameCsvFileName).string(), lines);
        names.push_back(FrameCsvFileName);

        for (const std::string& name : names) {
            std::error_code ec;
            fs::rename(written.collecting / name, folder / name, ec);
            if (ec)
                throw window::UserError("Datei \"" + window::AbsolutePath((folder / name).string()) +
                                        "\" kann nicht erstellt werden. " + ec.message());
            written.placed.push_back(folder / name);
        }
        std::error_code ec;
        fs::remove_all(written.collecting, ec);
    } catch (const window::UserError& e) {
        written.RemoveAll();
        throw window::UserError(std::string(e.what()) +
                                " Die Bildausgabe wurde abgebrochen; es bleibt nichts "
                                "von ihr zurück.");
    } catch (...) {
        written.RemoveAll();
        throw;
    }
}

} // namespace app

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
#include "app/Startup.h"
#include "astro/Vectors.h"
#include "earth/Globe.h"
#include "window/FensterGraf.h"
#include "window/Graphics.h"
#include "window/TextFiles.h"
#include "window/WorldWindow.h"

namespace fs = std::filesystem;

namespace app {

namespace {

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
                                    "\" kann nicht angelegt werden. " + window::ErrorReasonText(ec.value()));
        }
        written.createdFolders.push_back(*it);
    }
}

fs::path MakeCollectingFolder(const fs::path& folder) {
    std::string pattern = (folder / ".orvandel-export-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        const int err = errno;
        throw window::UserError("In den Ausgabeordner \"" + window::AbsolutePath(folder.string()) +
                                "\" kann nicht geschrieben werden. " + window::ErrorReasonText(err));
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
    StartModules(QCoreApplication::applicationFilePath().toStdString(), {options.parameterFile});
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

std::string FrameFileName(std::int32_t k, std::int32_t n) {
    const int digits = std::max<int>(4, static_cast<int>(std::to_string(n).size()));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "frame%0*d.png", digits, static_cast<int>(k));
    return buffer;
}

FrameRow ComputeFrameRow(std::int32_t frame, const InsideSceneInput& input) {
    const InsideSceneResult s = ComputeInsideScene(input);
    FrameRow row;
    row.frame = frame;
    row.jd = input.jd;
    const astro::CalendarDate& d = s.instant.date;
    row.date = WithoutOuterBlanks(PanelDateText(d.Day, d.Month, d.Year));
    row.time = WithoutOuterBlanks(PanelTimeText(s.instant.clock));
    row.sunAzimuth = astro::RadiansToDegrees(astro::AngleOfPoint(s.sunSky.Y, s.sunSky.X));
    row.sunAltitude = astro::RadiansToDegrees(s.sunAltitude);
    row.moonAzimuth = astro::RadiansToDegrees(astro::AngleOfPoint(s.moonSky.Y, s.moonSky.X));
    row.moonAltitude = astro::RadiansToDegrees(s.moonAltitude);
    row.phaseAngle = astro::RadiansToDegrees(s.phaseAngle);
    row.illuminated = IlluminatedFraction(s.phaseAngle);
    row.elongation = astro::RadiansToDegrees(astro::ArcCosine(astro::DotProduct(s.sunSky, s.moonSky)));
    // brightLimbAngle is counted from the screen's x axis, counter-clockwise
    // with y up; the vertical is 90 degrees from it.
    row.limbFromVertical = Signed180(astro::RadiansToDegrees(s.brightLimbAngle) - 90);
    row.eclipse = astro::EclipseKindText(s.shadow.kind);
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
    line += ',' + row.eclipse;
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
        std::vector<std::string> rows{FrameCsvHeader};
        std::vector<std::string> names;
        for (std::int32_t k = 1; k <= options.frames; ++k) {
            const std::int64_t before = Run().framesDrawn;
            if (k == 1)
                StartExportRun();
            else
                MainTick();
            if (Run().framesDrawn == before)
                throw window::UserError("Die Animation hat kein Bild " + std::to_string(k) + " gezeichnet.");
            // The table's row of the instant shown, from the run's inputs and
            // the inside view's world window for the picture's size.
            InsideSceneInput input = CurrentInsideInput(Run().shownJD);
            input.world = InsideWorldWindow(options.width - 1, options.height - 1, Run().insideHalfWidth);
            rows.push_back(FormatFrameRow(ComputeFrameRow(k, input)));
            const QImage& canvas = window::Canvas();
            if (observer) observer(k, canvas);
            const std::string name = FrameFileName(k, options.frames);
            window::WriteFileReplacing((written.collecting / name).string(), PngBytes(canvas));
            names.push_back(name);
            if (progress) progress("Bild " + std::to_string(k) + " von " + std::to_string(options.frames));
        }

        window::WriteTextFileLines((written.collecting / FrameCsvFileName).string(), rows);
        names.push_back(FrameCsvFileName);

        for (const std::string& name : names) {
            std::error_code ec;
            fs::rename(written.collecting / name, folder / name, ec);
            if (ec)
                throw window::UserError("Datei \"" + window::AbsolutePath((folder / name).string()) +
                                        "\" kann nicht erstellt werden. " +
                                        window::ErrorReasonText(ec.value()));
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

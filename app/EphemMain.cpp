// orvandel-ephem: a table of the Sun's and the Moon's positions for a place
// and a series of instants, as CSV on standard output, for worksheets and for
// checking the computation from outside. Every row comes from the scene's
// pure geometry, the same computation as the inside view's, so a teacher
// can check what the picture will show. Needs no display and links no Qt.
//
//   orvandel-ephem --lat DEG --lon DEG --date D.M.YYYY --time HH.MM
//                  [--step HH.MM] [--count N] [--azimuth DEG] [--size WxH]
//   orvandel-ephem --events --lat DEG --lon DEG --date D.M.YYYY [--days N]
//                  [--format csv|text]
//
// The second form lists the day's risings, culminations and settings, the
// principal phases and the contacts of lunar eclipses.
//
// Exit status 0 on success, 2 for a bad or missing option (with a message on
// standard error), 1 if writing the output fails.
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/CommandLine.h"
#include "app/Ephemeris.h"
#include "app/SceneGeometry.h"
#include "astro/TimeScales.h"
#include "window/NumberText.h"

namespace {

using astro::CalendarDate;
using astro::Real;

constexpr const char* ProgramName = "orvandel-ephem";

const char* const HelpText =
    "Aufruf: orvandel-ephem --lat GRAD --lon GRAD --date T.M.JJJJ --time hh.mm\n"
    "                       [--step hh.mm] [--count N] [--azimuth GRAD] [--size BxH]\n"
    "        orvandel-ephem --events --lat GRAD --lon GRAD --date T.M.JJJJ\n"
    "                       [--days N] [--format csv|text]\n"
    "\n"
    "Gibt die Örter von Sonne und Mond für einen Beobachtungsort und eine Folge\n"
    "von Zeitpunkten als CSV-Tabelle aus, berechnet wie im Programm Orvandel.\n"
    "Mit --events stattdessen Tag für Tag Auf- und Untergang von Sonne und Mond,\n"
    "die Kulmination des Mondes, die Hauptphasen und Mondfinsternisse.\n"
    "\n"
    "  --lat GRAD        geografische Breite in Grad, Norden positiv\n"
    "  --lon GRAD        geografische Länge in Grad, Osten positiv\n"
    "  --date T.M.JJJJ   Startdatum (Jahr astronomisch gezählt, 0 = 1 v. Chr.;\n"
    "                    gregorianisch ab 15.10.1582, vorher julianisch)\n"
    "  --time hh.mm      Startuhrzeit in MEZ (Weltzeit + 1 Stunde), z. B. 13.45\n"
    "  --step hh.mm      Zeitschritt, auch negativ (Vorgabe 1.00)\n"
    "  --count N         Anzahl der Zeilen, mindestens 1 (Vorgabe 1)\n"
    "  --azimuth GRAD    zentraler Azimut der Innenansicht in Grad (Süden: 0);\n"
    "                    Vorgabe 0 bei nördlicher, 180 bei südlicher Breite\n"
    "  --size BxH        Bildschirm in Pixeln (je 2 bis 32767), dessen Innenansicht\n"
    "                    limb_angle zugrunde liegt (Vorgabe 1920x1080)\n"
    "  --events          die Ereignisse der Tage statt der Örter (ohne --time,\n"
    "                    --step, --count, --azimuth und --size)\n"
    "  --days N          Anzahl der Tage ab dem Startdatum, 1 bis 36525 (Vorgabe 1)\n"
    "  --format csv|text CSV-Tabelle (Vorgabe) oder lesbare deutsche Tabelle\n"
    "  --help            diese Hilfe\n"
    "\n"
    "Zahlen dürfen ein Dezimalkomma statt des Punktes haben (54,3).\n"
    "\n"
    "Spalten (Winkel in Grad):\n"
    "  jd          julianisches Datum (Weltzeit)\n"
    "  date        Datum T.M.JJJJ und\n"
    "  clock       Uhrzeit MEZ hh.mm (sechs Dezimalen, nicht auf Minuten gerundet),\n"
    "              beide aus jd zurückgerechnet\n"
    "  lst_h       mittlere Ortssternzeit in Stunden\n"
    "  sun_lon, sun_lat, moon_lon, moon_lat\n"
    "              ekliptikale Länge und Breite, mittleres Äquinoktium des Datums\n"
    "              (die Länge der Sonne kann negativ sein)\n"
    "  sun_dist    Entfernung der Sonne in AE\n"
    "  moon_dist   Entfernung des Mondes in Erdradien\n"
    "  sun_ra, sun_dec, moon_ra, moon_dec\n"
    "              Rektaszension und Deklination (Schiefe der Ekliptik 23,5 Grad)\n"
    "  sun_az, sun_alt, moon_az, moon_alt\n"
    "              Azimut (von Süden über Westen, -180 bis 180) und Höhe\n"
    "  phase_angle Phasenwinkel des Mondes: 0 bei Vollmond, +-180 bei Neumond,\n"
    "              positiv bei zunehmendem, negativ bei abnehmendem Mond\n"
    "  illuminated beleuchteter Anteil der Mondscheibe, (1 + cos phase_angle) / 2\n"
    "  sky         Himmel der Innenansicht: day (Sonne über dem Horizont),\n"
    "              twilight (weniger als 6 Grad darunter) oder night\n"
    "  limb_angle  Richtung von der Mondmitte zur hellen Seite auf dem Bildschirm\n"
    "              der Innenansicht, gegen den Uhrzeigersinn von rechts (0 rechts,\n"
    "              90 oben, -90 unten)\n"
    "  eclipse     Mond im Erdschatten: none (nein), penumbral (nur im Halbschatten),\n"
    "              partial (teils im Kernschatten), total (ganz im Kernschatten)\n"
    "\n"
    "Spalten mit --events (ein Ereignis je Zeile, nach der Zeit geordnet):\n"
    "  date        Tag T.M.JJJJ (MEZ)\n"
    "  clock       Uhrzeit MEZ hh.mm, auf die Minute gerundet; die letzte halbe\n"
    "              Minute eines Tages wird 23.59 geschrieben (nie 24.00), damit\n"
    "              das Ereignis an seinem Tag bleibt; bei no_rise und no_set 12.00\n"
    "  body        sun oder moon\n"
    "  event       rise, set (Auf- und Untergang), transit (Kulmination des\n"
    "              Mondes), no_rise, no_set (an diesem Tag kein Aufgang bzw. kein\n"
    "              Untergang), new_moon, first_quarter, full_moon, last_quarter\n"
    "              (Länge des Mondes minus Länge der Sonne 0, 90, 180, 270 Grad);\n"
    "              bei einer Mondfinsternis eclipse_p1 und eclipse_p4 (Beginn und\n"
    "              Ende Halbschatten), eclipse_u1 und eclipse_u4 (Beginn und Ende\n"
    "              Kernschatten), eclipse_u2 und eclipse_u3 (Beginn und Ende der\n"
    "              Totalität) und die Mitte mit der Art: eclipse_total,\n"
    "              eclipse_partial oder eclipse_penumbral\n"
    "  az          Azimut von Norden über Osten (wie auf dem Kompass), bei Auf- und\n"
    "              Untergang und Kulmination; sonst leer\n"
    "  alt         Höhe bei der Kulmination; sonst leer\n"
    "\n"
    "Regeln (wie in den astronomischen Jahrbüchern): Auf- und Untergang gelten für\n"
    "den oberen Rand mit 34' Refraktion am Horizont; beim Mond ist die\n"
    "Horizontalparallaxe berücksichtigt (seine Höhe dort ist die geozentrische\n"
    "minus Parallaxe). Äquatorkoordinaten mit der mittleren Schiefe der Ekliptik\n"
    "des Datums. Die Kulminationshöhe des Mondes ist topozentrisch (vom Ort aus),\n"
    "ohne Refraktion. Zeiten sind Weltzeit + 1 Stunde; die Reihen für Sonne und\n"
    "Mond erhalten die Weltzeit ohne Korrektur Delta T.\n"
    "\n"
    "Genauigkeit, verglichen mit einer unabhängigen Ephemeride (PyEphem) für\n"
    "1950 bis 2100 bis 65 Grad Breite: Auf- und Untergang und Kulmination auf\n"
    "1,4 Minuten, Azimut auf 0,3 Grad. Die Phasen kommen um Delta T zu spät:\n"
    "bis etwa 2080 höchstens 3 Minuten, danach bis 3,8 Minuten (2100). Streift\n"
    "der Mond in hohen Breiten den Horizont, entscheiden Zehntel-Bogenminuten,\n"
    "ob er auf- und untergeht.\n"
    "\n"
    "Exit-Status: 0 bei Erfolg, 2 bei fehlerhaften oder fehlenden Angaben.\n";

// A bad or missing option; what() is the German message.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// ---- Reading the options -------------------------------------------------

// A real number as the prompts read it; a decimal comma counts as the point.
bool ParseReal(std::string text, Real& value) {
    for (char& c : text) {
        if (c == ',') c = '.';
    }
    std::int32_t errorPos = 0;
    window::TextToReal(text, value, errorPos);
    return errorPos == 0;
}

bool ParseInteger(const std::string& text, std::int32_t& value) {
    std::int32_t errorPos = 0;
    window::TextToInteger(text, value, errorPos);
    return errorPos == 0;
}

// D.M.YYYY: three integers separated by points.
bool ParseDate(const std::string& text, CalendarDate& date) {
    const std::size_t first = text.find('.');
    if (first == std::string::npos) return false;
    const std::size_t second = text.find('.', first + 1);
    if (second == std::string::npos) return false;
    return ParseInteger(text.substr(0, first), date.Day) &&
           ParseInteger(text.substr(first + 1, second - first - 1), date.Month) &&
           ParseInteger(text.substr(second + 1), date.Year);
}

struct Options {
    bool help = false;
    Real latitudeDeg = 0;
    Real longitudeDeg = 0;
    CalendarDate date;
    Real startClock = 0; // MEZ, hh.mm
    Real stepClock = 1;  // hh.mm
    std::int32_t count = 1;
    bool haveAzimuth = false;
    Real azimuthDeg = 0; // from south; without --azimuth 0 or 180 by the latitude
    std::int32_t width = 1920, height = 1080;
    bool events = false;     // the events table instead of the positions
    std::int32_t days = 1;   // with events
    bool textFormat = false; // with events: the German table instead of CSV
};

// The longest events table: a century (the eclipse search and the run time
// stay within bounds).
constexpr std::int32_t MaxDays = 36525;

Options ParseArguments(const std::vector<std::string>& args) {
    Options options;
    bool haveLat = false, haveLon = false, haveDate = false, haveTime = false, haveStep = false,
         haveCount = false, haveSize = false, haveDays = false, haveFormat = false;
    for (std::size_t n = 0; n < args.size(); ++n) {
        const std::string& name = args[n];
        if (name == "--help" || name == "-h") {
            options.help = true;
            return options;
        }
        if (name == "--events") {
            if (options.events) throw UsageError("Die Angabe --events steht mehrfach da.");
            options.events = true;
            continue;
        }
        bool* seen = nullptr;
        if (name == "--lat")
            seen = &haveLat;
        else if (name == "--lon")
            seen = &haveLon;
        else if (name == "--date")
            seen = &haveDate;
        else if (name == "--time")
            seen = &haveTime;
        else if (name == "--step")
            seen = &haveStep;
        else if (name == "--count")
            seen = &haveCount;
        else if (name == "--azimuth")
            seen = &options.haveAzimuth;
        else if (name == "--size")
            seen = &haveSize;
        else if (name == "--days")
            seen = &haveDays;
        else if (name == "--format")
            seen = &haveFormat;
        else
            throw UsageError("Unbekannte Angabe \"" + name + "\".");
        if (*seen) throw UsageError("Die Angabe " + name + " steht mehrfach da.");
        *seen = true;
        if (n + 1 >= args.size()) throw UsageError("Nach " + name + " fehlt der Wert.");
        const std::string& value = args[++n];
        const std::string bad = "Der Wert \"" + value + "\" von " + name + " ist ungültig: ";
        if (name == "--lat") {
            if (!ParseReal(value, options.latitudeDeg))
                throw UsageError(bad + "erwartet wird eine Zahl in Grad.");
        } else if (name == "--lon") {
            if (!ParseReal(value, options.longitudeDeg))
                throw UsageError(bad + "erwartet wird eine Zahl in Grad.");
        } else if (name == "--date") {
            if (!ParseDate(value, options.date)) throw UsageError(bad + "erwartet wird ein Datum T.M.JJJJ.");
        } else if (name == "--time") {
            if (!ParseReal(value, options.startClock))
                throw UsageError(bad + "erwartet wird eine Uhrzeit hh.mm.");
        } else if (name == "--step") {
            if (!ParseReal(value, options.stepClock))
                throw UsageError(bad + "erwartet wird ein Zeitschritt hh.mm.");
        } else if (name == "--azimuth") {
            if (!ParseReal(value, options.azimuthDeg))
                throw UsageError(bad + "erwartet wird eine Zahl in Grad.");
        } else if (name == "--size") {
            if (!app::ParsePictureSize(value, options.width, options.height))
                throw UsageError(app::BadPictureSizeMessage(name, value));
        } else if (name == "--days") {
            if (!ParseInteger(value, options.days) || options.days < 1 || options.days > MaxDays)
                throw UsageError(bad + "erwartet wird eine ganze Zahl von 1 bis " + std::to_string(MaxDays) +
                                 ".");
        } else if (name == "--format") {
            if (value != "csv" && value != "text") throw UsageError(bad + "erwartet wird csv oder text.");
            options.textFormat = value == "text";
        } else {
            if (!ParseInteger(value, options.count) || options.count < 1)
                throw UsageError(bad + "erwartet wird eine ganze Zahl ab 1.");
        }
    }
    if (!haveLat) throw UsageError("Die geografische Breite fehlt (--lat).");
    if (!haveLon) throw UsageError("Die geografische Länge fehlt (--lon).");
    if (!haveDate) throw UsageError("Das Startdatum fehlt (--date).");
    if (options.events) {
        const std::pair<bool, const char*> positionsOnly[] = {{haveTime, "--time"},
                                                              {haveStep, "--step"},
                                                              {haveCount, "--count"},
                                                              {options.haveAzimuth, "--azimuth"},
                                                              {haveSize, "--size"}};
        for (const auto& [given, option] : positionsOnly)
            if (given)
                throw UsageError(std::string("Die Angabe ") + option + " gilt nicht zusammen mit --events.");
        if (!(options.latitudeDeg >= -90 && options.latitudeDeg <= 90))
            throw UsageError("Die geografische Breite (--lat) muss zwischen -90 und 90 Grad liegen.");
        return options;
    }
    if (haveDays) throw UsageError("Die Angabe --days gilt nur zusammen mit --events.");
    if (haveFormat) throw UsageError("Die Angabe --format gilt nur zusammen mit --events.");
    if (!haveTime) throw UsageError("Die Startuhrzeit fehlt (--time).");
    // The central azimuth that the prompts offer: south at northern, north at
    // southern latitudes.
    if (!options.haveAzimuth) options.azimuthDeg = options.latitudeDeg >= 0 ? 0 : 180;
    return options;
}

// ---- Writing the table -----------------------------------------------------

int WriteTable(const Options& options) {
    const app::Site site = app::MakeSite(astro::DegreesToRadians(options.latitudeDeg),
                                         astro::DegreesToRadians(options.longitudeDeg));
    const app::InsideSceneInput input =
        app::EphemerisInput(site, astro::DegreesToRadians(options.azimuthDeg), options.width, options.height);

    // As the animation does: start at the civil instant and add the step,
    // converted to days, once per line.
    Real jd = astro::JulianDateFromCivil(options.date, options.startClock);
    const Real stepDays = astro::HoursFromClock(options.stepClock) / 24;
    std::string out = app::EphemerisCsvHeader;
    out += '\n';
    for (std::int32_t n = 0; n < options.count; ++n) {
        out += app::EphemerisCsvLine(app::ComputeEphemerisRow(input, jd));
        out += '\n';
        if (out.size() >= 1 << 16) {
            if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size()) return 1;
            out.clear();
        }
        jd = jd + stepDays;
    }
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size()) return 1;
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int WriteEvents(const Options& options) {
    const std::vector<app::EventRow> rows =
        app::ComputeEventRows(options.latitudeDeg, options.longitudeDeg, options.date, options.days);
    std::string out;
    if (options.textFormat) {
        out = app::EventsText(rows, options.latitudeDeg, options.longitudeDeg);
    } else {
        out = app::EventsCsvHeader;
        out += '\n';
        for (const app::EventRow& row : rows) {
            out += app::EventCsvLine(row);
            out += '\n';
        }
    }
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size()) return 1;
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    Options options;
    try {
        options = ParseArguments(args);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "%s: %s\nHilfe: %s --help\n", ProgramName, e.what(), ProgramName);
        return 2;
    }
    if (options.help) {
        std::fputs(HelpText, stdout);
        return 0;
    }
    return options.events ? WriteEvents(options) : WriteTable(options);
}

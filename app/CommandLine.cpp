#include "app/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <system_error>

#include "window/NumberText.h"

namespace app {

namespace {

bool StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

// An unsigned decimal number in the 32-bit range, nothing else.
bool ParseCount(std::string_view text, std::int32_t& value) {
    if (text.empty() || text[0] == '+' || text[0] == '-') return false;
    const char* first = text.data();
    const char* last = first + text.size();
    auto [ptr, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && ptr == last;
}

// A real number as the prompts read it: the whole text, nothing else.
bool ParseReal(const std::string& text, astro::Real& value) {
    std::int32_t errorPos = 0;
    window::TextToReal(text, value, errorPos);
    return errorPos == 0 && std::isfinite(value);
}

// "MM.JJJJ": month 1 to 12, year 1 to 9999.
bool ParseMonth(const std::string& text, std::int32_t& month, std::int32_t& year) {
    const std::size_t point = text.find('.');
    if (point == std::string::npos) return false;
    return ParseCount(std::string_view(text).substr(0, point), month) &&
           ParseCount(std::string_view(text).substr(point + 1), year) && month >= 1 && month <= 12 &&
           year >= 1 && year <= 9999;
}

// "BREITE,LAENGE" in degrees: one comma between two numbers with decimal
// points, or three commas when both have decimal commas ("54,3,10,1").
bool ParsePlace(std::string text, astro::Real& latitude, astro::Real& longitude) {
    const auto commas = std::count(text.begin(), text.end(), ',');
    std::size_t split = text.find(',');
    if (commas == 3) {
        split = text.find(',', split + 1); // the middle one
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] == ',' && i != split) text[i] = '.';
    } else if (commas != 1) {
        return false;
    }
    return ParseReal(text.substr(0, split), latitude) && ParseReal(text.substr(split + 1), longitude) &&
           latitude >= -90 && latitude <= 90 && longitude >= -180 && longitude <= 180;
}

// A clock hh.mm from 0.00 to 23.59 (a decimal comma counts as the point).
bool ParseCalendarClock(std::string text, astro::Real& clock) {
    std::replace(text.begin(), text.end(), ',', '.');
    if (!ParseReal(text, clock) || clock < 0 || clock >= 24) return false;
    return std::nearbyint((clock - std::trunc(clock)) * 1e6L) < 600000; // minutes below 60
}

bool EndsWithNoCase(const std::string& text, const char* suffix) {
    const std::string s(suffix);
    if (text.size() < s.size()) return false;
    return std::equal(
        s.begin(), s.end(), text.end() - static_cast<std::ptrdiff_t>(s.size()),
        [](char lower, char c) { return std::tolower(static_cast<unsigned char>(c)) == lower; });
}

CommandLine ParseCalendarLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    line.kind = CommandKind::Calendar;
    CalendarOptions& o = line.calendarOptions;
    bool haveMonth = false, havePlace = false, haveClock = false;
    for (std::size_t n = 0; n < arguments.size(); ++n) {
        const std::string& a = arguments[n];
        if (a == "--kalender" || a == "--ort" || a == "--uhrzeit") {
            bool& seen = a == "--kalender" ? haveMonth : a == "--ort" ? havePlace : haveClock;
            if (seen) throw CommandLineError("Die Option " + a + " steht mehrfach da.");
            seen = true;
            if (n + 1 >= arguments.size()) throw CommandLineError("Nach " + a + " fehlt der Wert.");
            const std::string& value = arguments[++n];
            const std::string bad = "Der Wert \"" + value + "\" von " + a + " ist ungültig: erwartet wird ";
            if (a == "--kalender" && !ParseMonth(value, o.month, o.year))
                throw CommandLineError(bad +
                                       "Monat und Jahr MM.JJJJ, z. B. 03.2026 (Monat 1 bis 12, Jahr 1 bis "
                                       "9999).");
            if (a == "--ort" && !ParsePlace(value, o.latitude, o.longitude))
                throw CommandLineError(bad +
                                       "BREITE,LÄNGE in Grad, z. B. 54.3,10.1 (Breite -90 bis 90, Länge "
                                       "-180 bis 180, Süden und Westen negativ).");
            if (a == "--uhrzeit" && !ParseCalendarClock(value, o.clock))
                throw CommandLineError(bad + "eine Uhrzeit hh.mm von 0.00 bis 23.59 (MEZ).");
            continue;
        }
        if (a == "--export" || a == "--frames" || a == "--size" || a == "--help" || a == "--version")
            throw CommandLineError("Die Option " + a + " gilt nicht zusammen mit --kalender.");
        if (StartsWith(a, "--")) throw CommandLineError("Unbekannte Option \"" + a + "\".");
        if (!o.file.empty())
            throw CommandLineError("Nur eine Ausgabedatei ist möglich: \"" + o.file + "\" und \"" + a +
                                   "\".");
        o.file = a;
    }
    if (o.file.empty())
        throw CommandLineError("Die Ausgabedatei fehlt (DATEI mit der Endung .pdf oder .png).");
    o.pdf = EndsWithNoCase(o.file, ".pdf");
    if (!o.pdf && !EndsWithNoCase(o.file, ".png"))
        throw CommandLineError("Die Datei \"" + o.file + "\" muss auf .pdf oder .png enden.");
    return line;
}

} // namespace

bool ParsePictureSize(std::string_view text, std::int32_t& width, std::int32_t& height) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos) return false;
    return ParseCount(text.substr(0, x), width) && ParseCount(text.substr(x + 1), height) &&
           width >= MinPictureSide && height >= MinPictureSide && width <= MaxPictureSide &&
           height <= MaxPictureSide;
}

std::string BadPictureSizeMessage(const std::string& option, const std::string& value) {
    return "Der Wert \"" + value + "\" von " + option +
           " ist ungültig: erwartet wird Breite x Höhe in Pixeln, je 2 bis 32767, z. B. 1920x1080.";
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    if (arguments.empty() || !StartsWith(arguments.front(), "--")) return line;
    if (std::find(arguments.begin(), arguments.end(), "--kalender") != arguments.end())
        return ParseCalendarLine(arguments);
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
                if (!ParseCount(value, o.frames) || o.frames < 1 || o.frames > MaxFrames)
                    throw CommandLineError(
                        "Der Wert \"" + value +
                        "\" von --frames ist ungültig: erwartet wird eine ganze Zahl von 1 "
                        "bis " +
                        std::to_string(MaxFrames) + ".");
            } else if (!ParsePictureSize(value, o.width, o.height)) {
                throw CommandLineError(BadPictureSizeMessage(a, value));
            }
            continue;
        }
        if (a == "--ort" || a == "--uhrzeit")
            throw CommandLineError("Die Option " + a + " gilt nur zusammen mit --kalender MM.JJJJ.");
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
                       "        Orvandel --kalender MM.JJJJ [--ort BREITE,LÄNGE] [--uhrzeit hh.mm] DATEI\n"
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
                       "  --kalender MM.JJJJ\n"
                       "                   einen Mondkalender des Monats als A4-Seite in die DATEI\n"
                       "                   schreiben: PDF bei der Endung .pdf, PNG (150 dpi) bei .png;\n"
                       "                   jeder Tag mit dem Mond, wie ihn die Ansicht von innen zur\n"
                       "                   Uhrzeit zeigt, seinem Auf- und Untergang und den Hauptphasen\n"
                       "  --ort BREITE,LÄNGE\n"
                       "                   Ort des Kalenders in Grad, Süden und Westen negativ\n"
                       "                   (Vorgabe 54.3,10.1)\n"
                       "  --uhrzeit hh.mm  Uhrzeit (MEZ) der Mondbilder im Kalender, Vorgabe 21.00\n"
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

} // namespace app

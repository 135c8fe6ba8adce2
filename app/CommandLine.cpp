#include "app/CommandLine.h"

#include <charconv>
#include <system_error>

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

} // namespace app

// The parameter file's twelve lines: the reader's rules and the writer's
// format. Plain C++ without the window system, so that the reader can be
// fuzzed on its own.
#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "app/Parameters.h"
#include "app/SceneGeometry.h"
#include "window/NumberText.h"
#include "window/TextFiles.h"

namespace app {

ParameterFileError::ParameterFileError(std::string file, int line, std::string text, std::string message)
    : file_(std::move(file)), line_(line), text_(std::move(text)), message_(std::move(message)) {}

namespace {

constexpr int ParameterLineCount = 12;

// Editors of today may begin a UTF-8 file with a byte-order mark.
constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

// Offending texts are shown in messages with control characters made
// visible and cut after this many characters.
constexpr std::size_t ShownTextLength = 40;

// A text as a message shows it: control characters become "?", a long text
// is cut (on a character boundary) and ends in "…".
std::string ShownText(std::string_view utf8) {
    std::string out;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const bool startsCharacter = (byte & 0xC0) != 0x80;
        if (startsCharacter) {
            if (characters == ShownTextLength) {
                out += "…";
                break;
            }
            ++characters;
        }
        out.push_back(byte < 0x20 || byte == 0x7F ? '?' : static_cast<char>(byte));
    }
    return out;
}

// The reader of one file: the file's lines and the name for messages. A
// file that begins with the UTF-8 byte-order mark is read as UTF-8, any
// other as Windows-1252; in both, a tab counts as a blank.
class LineReader {
  public:
    LineReader(std::string_view bytes, const std::string& fileName)
        : utf8_(bytes.starts_with(Utf8ByteOrderMark)), fileName_(fileName) {
        if (utf8_) bytes.remove_prefix(Utf8ByteOrderMark.size());
        lines_ = window::SplitLines(bytes);
        for (std::string& line : lines_)
            std::replace(line.begin(), line.end(), '\t', ' ');
    }

    // Bytes of the file as UTF-8 text. From a UTF-8 file only what
    // Windows-1252 can hold (what F2 can write back) is kept; anything else,
    // malformed bytes too, becomes "?".
    std::string Text(std::string_view raw) const {
        return window::Cp1252ToUtf8(utf8_ ? window::Utf8ToCp1252(raw) : raw);
    }

    // The raw bytes of line n (1-based), tabs made blanks; a missing line
    // ends the reading.
    const std::string& Line(int n) const {
        if (static_cast<std::size_t>(n) > lines_.size())
            throw ParameterFileError(fileName_, n, "",
                                     "Parameterdatei \"" + fileName_ + "\": Zeile " + std::to_string(n) +
                                         " fehlt (die Datei hat nur " + std::to_string(lines_.size()) +
                                         " von " + std::to_string(ParameterLineCount) + " Zeilen).");
        return lines_[static_cast<std::size_t>(n) - 1];
    }

    [[noreturn]] void Refuse(int n, const std::string& utf8Text, const std::string& what) const {
        std::string message = "Parameterdatei \"" + fileName_ + "\", Zeile " + std::to_string(n) + ": ";
        if (utf8Text.empty())
            message += "kein Wert" + (what.empty() ? std::string() : " für " + what) + ".";
        else
            message += "\"" + ShownText(utf8Text) + "\" ist " + what + ".";
        throw ParameterFileError(fileName_, n, utf8Text, message);
    }

    // The value text of line n: leading blanks skipped, up to the next blank
    // or the end of the line.
    std::string ValueText(int n) const { return Text(LeadingValue(Line(n), false)); }

    // The value of a line with the prompt's rules for reals: a decimal comma
    // counts as a point; the text keeps the comma.
    void Real(int n, std::string& text, astro::Real& value) const {
        text = ValueText(n);
        if (text.empty()) Refuse(n, text, "");
        if (!ConvertReal(text, value)) Refuse(n, text, "keine gültige Zahl");
    }

    void Integer(int n, std::string& text, std::int32_t& value) const {
        text = ValueText(n);
        if (text.empty()) Refuse(n, text, "");
        if (!ConvertInteger(text, value)) Refuse(n, text, "keine gültige ganze Zahl");
    }

    // The first character of line n (Windows-1252), or 0 for an empty line.
    char FirstCharacter(int n) const {
        const std::string& line = Line(n);
        return line.empty() ? '\0' : line.front();
    }

    // Up to the first blank after the leading ones; with keepLeadingBlanks
    // the leading blanks belong to the text.
    static std::string LeadingValue(std::string_view s, bool keepLeadingBlanks) {
        const std::size_t start = std::min(s.find_first_not_of(' '), s.size());
        const std::size_t end = std::min(s.find(' ', start), s.size());
        return std::string(s.substr(keepLeadingBlanks ? 0 : start, end - (keepLeadingBlanks ? 0 : start)));
    }

    static bool ConvertReal(const std::string& text, astro::Real& value) {
        std::string pointed = text;
        std::replace(pointed.begin(), pointed.end(), ',', '.');
        std::int32_t errorPos = 0;
        astro::Real converted = 0;
        window::TextToReal(pointed, converted, errorPos);
        if (errorPos != 0) return false;
        value = converted;
        return true;
    }

    static bool ConvertInteger(const std::string& text, std::int32_t& value) {
        std::int32_t errorPos = 0, converted = 0;
        window::TextToInteger(text, converted, errorPos);
        if (errorPos != 0) return false;
        value = converted;
        return true;
    }

  private:
    bool utf8_;
    std::vector<std::string> lines_;
    const std::string& fileName_;
};

bool IsYes(char c) {
    return c == 'j' || c == 'J';
}

} // namespace

void ParseParameterText(std::string_view bytes, const std::string& fileName, Parameters& p) {
    const LineReader in(bytes, fileName);
    Parameters q = p;

    // 1: p or P for the inside view ("Phase"), anything else the outside view.
    const char view = in.FirstCharacter(1);
    q.viewMode = view == 'p' || view == 'P' ? 0 : 1;

    in.Real(2, q.latitudeText, q.latitude);
    in.Real(3, q.longitudeText, q.longitude);

    // 4: day.month.year. The day is the text before the first point, the
    // month the text between the first and the second; the year is read like
    // a value (its leading blanks kept in the text) so that years of any
    // length come back as they were written.
    {
        const std::string& line = in.Line(4);
        const std::size_t first = line.find('.');
        const std::size_t second = first == std::string::npos ? first : line.find('.', first + 1);
        if (second == std::string::npos)
            in.Refuse(4, in.Text(LineReader::LeadingValue(line, false)),
                      "kein Datum der Form Tag.Monat.Jahr");
        q.dayText = in.Text(line.substr(0, first));
        q.monthText = in.Text(line.substr(first + 1, second - first - 1));
        q.yearText = in.Text(LineReader::LeadingValue(std::string_view(line).substr(second + 1), true));
        const std::array<std::pair<std::string*, std::int32_t*>, 3> parts{
            {{&q.dayText, &q.startDay}, {&q.monthText, &q.startMonth}, {&q.yearText, &q.startYear}}};
        const std::array<const char*, 3> names{"den Tag", "den Monat", "das Jahr"};
        const std::array<const char*, 3> roles{"als Tag", "als Monat", "als Jahr"};
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const std::string& text = *parts[i].first;
            if (text.find_first_not_of(' ') == std::string::npos) in.Refuse(4, "", names[i]);
            if (!LineReader::ConvertInteger(text, *parts[i].second))
                in.Refuse(4, text, std::string("keine gültige ganze Zahl ") + roles[i]);
        }
        if (!StartDateInSupportedRange(astro::CalendarDate{q.startDay, q.startMonth, q.startYear}))
            in.Refuse(4, in.Text(LineReader::LeadingValue(line, false)),
                      std::string("kein Datum ") + SupportedRangeText);
    }

    in.Real(5, q.startTimeText, q.startTime);
    if (!StartInSupportedRange(astro::CalendarDate{q.startDay, q.startMonth, q.startYear}, q.startTime))
        in.Refuse(5, q.startTimeText,
                  std::string("keine Uhrzeit, mit der der Start ") + SupportedRangeText + " liegt");
    in.Real(6, q.timeStepText, q.timeStep);
    if (!TimeStepSupported(q.timeStep))
        in.Refuse(6, q.timeStepText,
                  std::string("als Zeitschritt länger als die Zeit ") + SupportedRangeText);
    in.Integer(7, q.delayText, q.delayMs);
    in.Real(8, q.azimuthText, q.centralAzimuth);
    in.Real(9, q.gridSpacingText, q.gridSpacing);
    q.gridSpacing *= astro::Degree;

    // 10 to 12: the first character; j or J means yes. An empty line keeps
    // the answer "n".
    q.equatorAnswer = in.FirstCharacter(10) != '\0' ? in.FirstCharacter(10) : 'n';
    q.drawEquator = IsYes(q.equatorAnswer);
    q.eclipticAnswer = in.FirstCharacter(11) != '\0' ? in.FirstCharacter(11) : 'n';
    q.drawEcliptic = IsYes(q.eclipticAnswer);
    q.singleStep = IsYes(in.FirstCharacter(12));

    p = std::move(q);
}

std::string FormatParameterFile(const Parameters& p) {
    using window::Utf8ToCp1252;
    std::string out;
    auto line = [&out](const std::string& utf8Value, std::string_view utf8Comment) {
        out += Utf8ToCp1252(utf8Value);
        out += Utf8ToCp1252(utf8Comment);
        out += "\r\n";
    };
    // The answers are Windows-1252 characters already.
    auto answerLine = [&out](char answer, std::string_view utf8Comment) {
        out.push_back(answer);
        out += Utf8ToCp1252(utf8Comment);
        out += "\r\n";
    };
    line(p.viewMode == 0 ? "p" : "b", " * Darstellung (Phase (p)/Bewegung)");
    line(p.latitudeText, " * geogr. Breite");
    line(p.longitudeText, " * geogr. Länge");
    line(p.dayText + "." + p.monthText + "." + p.yearText, " * Startdatum");
    line(p.startTimeText, " * Startuhrzeit");
    line(p.timeStepText, " * deltat");
    line(p.delayText, " * Verzögerung in ms");
    line(p.azimuthText, " * zentraler Azimut");
    line(p.gridSpacingText, " * Abstand der Koordinatenlinien");
    answerLine(p.equatorAnswer, " * Zeichnung der Äquators (j/n)?");
    answerLine(p.eclipticAnswer, " * Zeichnung der Ekliptik (j/n)?");
    line("j", " * Einzelschritt (j/n)?");
    return out;
}

} // namespace app

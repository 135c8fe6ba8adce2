// The parameter file's reader and writer as pure functions: the twelve
// lines, their rules, the refusals and the exact bytes written.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/Parameters.h"

namespace {

using app::ParameterFileError;
using app::Parameters;
using app::ParseParameterText;

// The lines of a valid file (without line ends).
std::vector<std::string> ValidLines() {
    return {"p * Darstellung (Phase (p)/Bewegung)",
            "54.3 * geogr. Breite",
            "10.1 * geogr. L\xe4nge",
            " 7.12.2026 * Startdatum",
            "14.17 * Startuhrzeit",
            "0.05 * deltat",
            "30 * Verz\xf6gerung in ms",
            "0 * zentraler Azimut",
            "30 * Abstand der Koordinatenlinien",
            "n * Zeichnung der \xc4quators (j/n)?",
            "n * Zeichnung der Ekliptik (j/n)?",
            "j * Einzelschritt (j/n)?"};
}

std::string Joined(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    std::string s;
    for (const std::string& l : lines)
        s += l + end;
    return s;
}

Parameters Parsed(const std::vector<std::string>& lines) {
    Parameters p;
    ParseParameterText(Joined(lines), "test.dat", p);
    return p;
}

// The line replaced, the rest valid.
std::vector<std::string> WithLine(int lineNumber, const std::string& line) {
    std::vector<std::string> lines = ValidLines();
    lines[static_cast<std::size_t>(lineNumber - 1)] = line;
    return lines;
}

Parameters ParsedWith(int lineNumber, const std::string& line) {
    return Parsed(WithLine(lineNumber, line));
}

ParameterFileError RefusalOf(const std::string& bytes) {
    Parameters p;
    try {
        ParseParameterText(bytes, "gegeben.dat", p);
    } catch (const ParameterFileError& e) {
        return e;
    }
    ADD_FAILURE() << "accepted: " << bytes;
    return ParameterFileError("", 0, "", "");
}

TEST(ParameterFile, ReadsEveryFieldOfAValidFile) {
    const Parameters p = Parsed(ValidLines());
    EXPECT_EQ(p.viewMode, 0);
    EXPECT_EQ(p.latitudeText, "54.3");
    EXPECT_EQ(p.latitude, 54.3L);
    EXPECT_EQ(p.longitudeText, "10.1");
    EXPECT_EQ(p.longitude, 10.1L);
    EXPECT_EQ(p.dayText, " 7");
    EXPECT_EQ(p.monthText, "12");
    EXPECT_EQ(p.yearText, "2026");
    EXPECT_EQ(p.startDay, 7);
    EXPECT_EQ(p.startMonth, 12);
    EXPECT_EQ(p.startYear, 2026);
    EXPECT_EQ(p.startTimeText, "14.17");
    EXPECT_EQ(p.startTime, 14.17L);
    EXPECT_EQ(p.timeStepText, "0.05");
    EXPECT_EQ(p.timeStep, 0.05L);
    EXPECT_EQ(p.delayText, "30");
    EXPECT_EQ(p.delayMs, 30);
    EXPECT_EQ(p.azimuthText, "0");
    EXPECT_EQ(p.centralAzimuth, 0);
    EXPECT_EQ(p.gridSpacingText, "30");
    EXPECT_EQ(p.gridSpacing, 30 * astro::Degree); // stored in radians
    EXPECT_EQ(p.equatorAnswer, 'n');
    EXPECT_FALSE(p.drawEquator);
    EXPECT_EQ(p.eclipticAnswer, 'n');
    EXPECT_FALSE(p.drawEcliptic);
    EXPECT_TRUE(p.singleStep);
}

TEST(ParameterFile, LineEndsMayBeLfAlone) {
    Parameters p;
    ParseParameterText(Joined(ValidLines(), "\n"), "lf.dat", p);
    EXPECT_EQ(p.startTimeText, "14.17");
    EXPECT_TRUE(p.singleStep);
    // The last line needs no end.
    std::string noFinalEnd = Joined(ValidLines(), "\n");
    noFinalEnd.pop_back();
    Parameters q;
    ParseParameterText(noFinalEnd, "lf.dat", q);
    EXPECT_TRUE(q.singleStep);
}

TEST(ParameterFile, TheFirstLetterChoosesTheView) {
    const struct {
        std::string line;
        int viewMode;
    } rows[] = {{"p", 0}, {"P * Phase", 0}, {"b * Bewegung", 1}, {"B", 1}, {"x", 1}, {" p", 1}, {"", 1}};
    for (const auto& row : rows)
        EXPECT_EQ(ParsedWith(1, row.line).viewMode, row.viewMode) << row.line;
}

TEST(ParameterFile, AnswerLinesMeanYesForJ) {
    const struct {
        std::string line;
        bool yes;
        char answer;
    } rows[] = {
        {"j * x", true, 'j'}, {"J", true, 'J'},   {"n * x", false, 'n'}, {"N", false, 'N'},
        {"a", false, 'a'},    {" j", false, ' '}, {"", false, 'n'}}; // an empty line keeps the answer n
    for (const auto& row : rows) {
        const Parameters equator = ParsedWith(10, row.line);
        EXPECT_EQ(equator.drawEquator, row.yes) << row.line;
        EXPECT_EQ(equator.equatorAnswer, row.answer) << row.line;
        const Parameters ecliptic = ParsedWith(11, row.line);
        EXPECT_EQ(ecliptic.drawEcliptic, row.yes) << row.line;
        EXPECT_EQ(ecliptic.eclipticAnswer, row.answer) << row.line;
        EXPECT_EQ(ParsedWith(12, row.line).singleStep, row.yes) << row.line;
    }
}

TEST(ParameterFile, TheDateLine) {
    const struct {
        std::string line;
        std::string day, month, year;
        int d, m, y;
    } rows[] = {
        {"7.12.2026 * Startdatum", "7", "12", "2026", 7, 12, 2026},
        {" 7.12.2026 * Startdatum", " 7", "12", "2026", 7, 12, 2026},
        {"7. 1.2026", "7", " 1", "2026", 7, 1, 2026},
        {"1.1.  26 * Startdatum", "1", "1", "  26", 1, 1, 26}, // a year saved in width 4
        // Years are read up to the blank: any length comes back as written.
        {"1.1.26 * Startdatum", "1", "1", "26", 1, 1, 26},
        {"1.3.-4712 * Startdatum", "1", "3", "-4712", 1, 3, -4712},
        {"31.12.9999", "31", "12", "9999", 31, 12, 9999},
    };
    for (const auto& row : rows) {
        const Parameters p = ParsedWith(4, row.line);
        EXPECT_EQ(p.dayText, row.day) << row.line;
        EXPECT_EQ(p.monthText, row.month) << row.line;
        EXPECT_EQ(p.yearText, row.year) << row.line;
        EXPECT_EQ(p.startDay, row.d) << row.line;
        EXPECT_EQ(p.startMonth, row.m) << row.line;
        EXPECT_EQ(p.startYear, row.y) << row.line;
    }
}

TEST(ParameterFile, ValuesEndAtTheFirstBlankAndTakeADecimalComma) {
    const Parameters comma = ParsedWith(2, "54,3 * geogr. Breite");
    EXPECT_EQ(comma.latitudeText, "54,3"); // as written
    EXPECT_EQ(comma.latitude, 54.3L);
    const Parameters blanks = ParsedWith(5, "    9.05 * Startuhrzeit");
    EXPECT_EQ(blanks.startTimeText, "9.05"); // the leading blanks are not kept
    EXPECT_EQ(blanks.startTime, 9.05L);
    EXPECT_EQ(ParsedWith(6, "1e8").timeStep, 1e8L); // any step up to the whole supported range
    EXPECT_EQ(ParsedWith(7, "-5 ms").delayMs, -5);
    EXPECT_EQ(ParsedWith(9, "45,5").gridSpacing, 45.5L * astro::Degree);
}

TEST(ParameterFile, RefusesAValueThatDoesNotConvertWithLineAndText) {
    const struct {
        int line;
        std::string content;
        std::string text;  // the offending text
        std::string words; // part of the message
    } rows[] = {
        {2, "abc * geogr. Breite", "abc", "keine gültige Zahl"},
        {3, "10.1.2", "10.1.2", "keine gültige Zahl"},
        {4, "7-12-2026 * Startdatum", "7-12-2026", "kein Datum der Form Tag.Monat.Jahr"},
        {4, "7.x.2026", "x", "als Monat"},
        {4, "7 .12.2026", "7 ", "als Tag"},
        {4, "7.12.", "", "das Jahr"},
        {5, "14:17", "14:17", "keine gültige Zahl"},
        {6, "", "", "kein Wert"},
        {6, "    * deltat", "*", "keine gültige Zahl"},  // the value is what follows the blanks
        {7, "30,5", "30,5", "keine gültige ganze Zahl"}, // no comma rule for integers
        {7, "3000000000", "3000000000", "keine gültige ganze Zahl"},
        {8, "1e99999", "1e99999", "keine gültige Zahl"},
        {9, "3O", "3O", "keine gültige Zahl"},
    };
    for (const auto& row : rows) {
        std::vector<std::string> lines = ValidLines();
        lines[static_cast<std::size_t>(row.line - 1)] = row.content;
        const ParameterFileError e = RefusalOf(Joined(lines));
        EXPECT_EQ(e.line(), row.line) << row.content;
        EXPECT_EQ(e.text(), row.text) << row.content;
        const std::string message = e.what();
        EXPECT_NE(message.find("\"gegeben.dat\""), std::string::npos) << message;
        EXPECT_NE(message.find("Zeile " + std::to_string(row.line)), std::string::npos) << message;
        if (!row.text.empty()) {
            EXPECT_NE(message.find("\"" + row.text + "\""), std::string::npos) << message;
        }
        EXPECT_NE(message.find(row.words), std::string::npos) << message;
    }
}

TEST(ParameterFile, RefusesAStartOrAStepOutsideTheSupportedRange) {
    const struct {
        int line;
        std::string content, text;
    } rows[] = {{4, "1.1.-2147483648 * Startdatum", "1.1.-2147483648"},
                {4, "29.2.-4712", "29.2.-4712"}, // a day late by the conversion: 1 March
                {4, "2147483647.1.2000", "2147483647.1.2000"},
                {5, "1e300 * Startuhrzeit", "1e300"},
                {6, "1e4000 * deltat", "1e4000"},
                {6, "-128962200", "-128962200"}};
    for (const auto& row : rows) {
        const ParameterFileError e = RefusalOf(Joined(WithLine(row.line, row.content)));
        EXPECT_EQ(e.line(), row.line) << row.content;
        EXPECT_EQ(e.text(), row.text) << row.content;
        EXPECT_NE(std::string(e.what()).find("vom 1.3.-4712 bis zum 31.12.9999"), std::string::npos)
            << e.what();
    }
    // The ends themselves: the first instant and the last minute.
    for (const auto& [date, time] : {std::pair{"1.3.-4712", "1.00"}, {"31.12.9999", "23.59"}}) {
        std::vector<std::string> lines = WithLine(4, date);
        lines[4] = time;
        EXPECT_NO_THROW(Parsed(lines)) << date << " " << time;
    }
}

TEST(ParameterFile, AByteOrderMarkTabsAndUtf8Comments) {
    // The valid file saved as UTF-8, with and without the byte-order mark,
    // tabs around the values: the same values as the Windows-1252 file.
    const Parameters expected = Parsed(ValidLines());
    const std::string utf8 = "p\t* Darstellung (Phase (p)/Bewegung)\n54.3\t* geogr. Breite\n"
                             "\t10.1\t\t* geogr. L\xc3\xa4nge\n 7.12.2026\t* Startdatum\n"
                             "\t14.17\t* Startuhrzeit\n0.05 \t* deltat\n30\t* Verz\xc3\xb6gerung in ms\n"
                             "0\t* zentraler Azimut\n30\t* Abstand der Koordinatenlinien\n"
                             "n\t* Zeichnung der \xc3\x84quators (j/n)?\nn * Ekliptik\nj\t* Einzelschritt\n";
    for (const std::string& bytes : {"\xef\xbb\xbf" + utf8, utf8}) {
        Parameters p;
        ParseParameterText(bytes, "utf8.dat", p);
        EXPECT_EQ(app::FormatParameterFile(p), app::FormatParameterFile(expected)) << bytes;
        EXPECT_EQ(p.singleStep, expected.singleStep);
    }
    // A refused value of a UTF-8 file is shown as written.
    const std::string bad = "\xef\xbb\xbf" + Joined(WithLine(2, "f\xc3\xbcnf"));
    EXPECT_NE(std::string(RefusalOf(bad).what()).find("\"f\xc3\xbcnf\""), std::string::npos);
}

TEST(ParameterFile, AMissingLineIsNamed) {
    const std::vector<std::string> all = ValidLines();
    for (std::size_t count = 0; count < all.size(); ++count) {
        const std::vector<std::string> lines(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(count));
        const ParameterFileError e = RefusalOf(Joined(lines));
        EXPECT_EQ(e.line(), static_cast<int>(count) + 1);
        EXPECT_NE(std::string(e.what()).find("Zeile " + std::to_string(count + 1) + " fehlt"),
                  std::string::npos)
            << e.what();
    }
    // A file without line ends is one line.
    EXPECT_EQ(RefusalOf("p 54.3 10.1 7.12.2026").line(), 2);
}

TEST(ParameterFile, ARefusalLeavesTheRecordAsItWas) {
    Parameters p;
    p.latitudeText = "1";
    p.viewMode = 0;
    std::vector<std::string> lines = ValidLines();
    lines[0] = "b";
    lines[1] = "-33.9";
    lines[8] = "dreißig";
    EXPECT_THROW(ParseParameterText(Joined(lines), "x.dat", p), ParameterFileError);
    EXPECT_EQ(p.latitudeText, "1");
    EXPECT_EQ(p.viewMode, 0);
}

TEST(ParameterFile, MessagesShowControlCharactersAndLongTextsReadably) {
    std::vector<std::string> lines = ValidLines();
    lines[1] = std::string("ab\0c\x01", 5) + std::string(5000, '9') + "x";
    const ParameterFileError e = RefusalOf(Joined(lines));
    const std::string message = e.what();
    EXPECT_EQ(message.find('\0'), std::string::npos);
    EXPECT_EQ(message.find('\x01'), std::string::npos);
    EXPECT_NE(message.find("\"ab?c?999"), std::string::npos) << message;
    EXPECT_LT(message.size(), 200u);
    EXPECT_NE(message.find("…"), std::string::npos);
    // Bytes that are no Windows-1252 character come out as U+FFFD, valid
    // UTF-8 in the message.
    lines[1] = "\x81\x8d";
    EXPECT_NE(std::string(RefusalOf(Joined(lines)).what()).find("\xef\xbf\xbd\xef\xbf\xbd"),
              std::string::npos);
}

TEST(ParameterFile, WritesTheTwelveLinesExactly) {
    Parameters p;
    p.viewMode = 1;
    p.latitudeText = "54,3";
    p.longitudeText = "-70.6";
    p.dayText = " 7";
    p.monthText = "12";
    p.yearText = "2026";
    p.startTimeText = "  9.05";
    p.timeStepText = "0.05";
    p.delayText = "30";
    p.azimuthText = "180";
    p.gridSpacingText = "30";
    p.equatorAnswer = 'a';
    p.eclipticAnswer = 'j';
    p.singleStep = false; // line 12 is always j
    const std::string expected = "b * Darstellung (Phase (p)/Bewegung)\r\n"
                                 "54,3 * geogr. Breite\r\n"
                                 "-70.6 * geogr. L\xe4nge\r\n"
                                 " 7.12.2026 * Startdatum\r\n"
                                 "  9.05 * Startuhrzeit\r\n"
                                 "0.05 * deltat\r\n"
                                 "30 * Verz\xf6gerung in ms\r\n"
                                 "180 * zentraler Azimut\r\n"
                                 "30 * Abstand der Koordinatenlinien\r\n"
                                 "a * Zeichnung der \xc4quators (j/n)?\r\n"
                                 "j * Zeichnung der Ekliptik (j/n)?\r\n"
                                 "j * Einzelschritt (j/n)?\r\n";
    EXPECT_EQ(app::FormatParameterFile(p), expected);
    p.viewMode = 0;
    EXPECT_EQ(app::FormatParameterFile(p).substr(0, 4), "p * ");
}

TEST(ParameterFile, AWrittenFileReadsBackToTheSameValues) {
    Parameters p;
    p.viewMode = 1;
    p.latitudeText = "-33,9";
    p.longitudeText = "-70.6";
    p.dayText = " 7";
    p.monthText = " 1";
    p.yearText = "-4000";
    p.startTimeText = "  9.05";
    p.timeStepText = "1e8";
    p.delayText = "-5";
    p.azimuthText = "180";
    p.gridSpacingText = "15";
    p.equatorAnswer = 'J';
    p.eclipticAnswer = 'x';
    Parameters q;
    ParseParameterText(app::FormatParameterFile(p), "Orvandel.dat", q);
    EXPECT_EQ(q.viewMode, 1);
    EXPECT_EQ(q.latitudeText, "-33,9");
    EXPECT_EQ(q.latitude, -33.9L);
    EXPECT_EQ(q.longitude, -70.6L);
    EXPECT_EQ(q.dayText, " 7");
    EXPECT_EQ(q.monthText, " 1");
    EXPECT_EQ(q.yearText, "-4000");
    EXPECT_EQ(q.startYear, -4000);
    EXPECT_EQ(q.startTimeText, "9.05"); // read back without the leading blanks
    EXPECT_EQ(q.startTime, 9.05L);
    EXPECT_EQ(q.timeStep, 1e8L);
    EXPECT_EQ(q.delayMs, -5);
    EXPECT_EQ(q.centralAzimuth, 180);
    EXPECT_EQ(q.gridSpacing, 15 * astro::Degree);
    EXPECT_TRUE(q.drawEquator);
    EXPECT_FALSE(q.drawEcliptic);
    EXPECT_EQ(q.eclipticAnswer, 'x');
    EXPECT_TRUE(q.singleStep);
}

} // namespace

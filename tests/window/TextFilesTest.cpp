#include "window/TextFiles.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace window;

namespace {

// A fresh empty folder that the test works in; removed afterwards.
class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/orvandel-textfiles-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir_, fs::perms::owner_all, ec);
        fs::remove_all(dir_, ec);
    }
    std::string Path(const std::string& name) const { return (fs::path(dir_) / name).string(); }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    std::string dir_;
};

}  // namespace

TEST(Cp1252, RoundTripsTheGermanLettersAsSingleBytes) {
    const std::string utf8 = "Äquator, Länge, Verzögerung, Süden, ß, °";
    const std::string bytes = Utf8ToCp1252(utf8);
    EXPECT_EQ(bytes, "\xC4quator, L\xE4nge, Verz\xF6gerung, S\xFC"
                     "den, \xDF, \xB0");
    EXPECT_EQ(Cp1252ToUtf8(bytes), utf8);
}

TEST(Cp1252, MapsTheHighControlBlockAndMarksUndefinedBytes) {
    struct Row {
        std::string bytes;
        std::string utf8;
    };
    const Row rows[] = {
        {"\x80", "€"}, {"\x84", "„"}, {"\x93", "“"}, {"\x9F", "Ÿ"},
        {"\x81", "\xEF\xBF\xBD"}, {"\x9D", "\xEF\xBF\xBD"}, {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const Row& r : rows) EXPECT_EQ(Cp1252ToUtf8(r.bytes), r.utf8) << r.utf8;
}

TEST(Cp1252, UnmappableAndMalformedUtf8BecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1252("€"), "\x80");
    EXPECT_EQ(Utf8ToCp1252("\xE2\x86\x92"), "?");        // an arrow has no Windows-1252 byte
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");              // truncated sequence
    EXPECT_EQ(Utf8ToCp1252("\xC3x"), "?x");              // lead byte without continuation
    EXPECT_EQ(Utf8ToCp1252("\xFF\xFE"), "??");
}

TEST(SplitLines, AcceptsCrLfAndLfAndKeepsALastLineWithoutEnd) {
    struct Row {
        std::string in;
        std::vector<std::string> out;
    };
    const Row rows[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"\r\n\r\n", {"", ""}},
        {"a\rb\n", {"a\rb"}},
    };
    for (const Row& r : rows) EXPECT_EQ(SplitLines(r.in), r.out) << r.in;
}

TEST_F(TempFolder, FindsFilesWithoutRegardToCaseAndPrefersTheExactName) {
    Write("Erde.bin", "x");
    EXPECT_EQ(FindFileNoCase("ERDE.BIN", dir_), Path("Erde.bin"));
    EXPECT_EQ(FindFileNoCase("erde.BIN", dir_), Path("Erde.bin"));
    EXPECT_EQ(FindFileNoCase("ECLGRAPH.DAT", dir_), "");
    EXPECT_EQ(FindFileNoCase("", dir_), "");
    Write("ERDE.BIN", "y");
    EXPECT_EQ(FindFileNoCase("ERDE.BIN", dir_), Path("ERDE.BIN"));
    fs::create_directory(Path("orvandel.txt"));
    EXPECT_EQ(FindFileNoCase("Orvandel.txt", dir_), "") << "a folder is not a file";
}

TEST_F(TempFolder, ResolveFileNameWorksInTheCurrentFolder) {
    const fs::path old = fs::current_path();
    fs::current_path(dir_);
    Write("eclgraph.dat", "1\n");
    EXPECT_EQ(ResolveFileName("ECLGRAPH.DAT"), "eclgraph.dat");
    EXPECT_EQ(ResolveFileName("Orvandel.dat"), "Orvandel.dat");
    fs::current_path(old);
}

TEST_F(TempFolder, ReadsWindows1252LinesAsUtf8) {
    Write("t.txt", "Gr\xFC\xDF" "e\r\nzweite\nletzte");
    EXPECT_EQ(ReadTextFileLines(Path("t.txt")), (std::vector<std::string>{"Grüße", "zweite", "letzte"}));
}

TEST_F(TempFolder, ReadingAMissingFileNamesItInTheMessage) {
    try {
        ReadFileBytes(Path("fehlt.txt"));
        FAIL() << "no error raised";
    } catch (const UserError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Datei \"" + Path("fehlt.txt") +
                      "\" kann nicht gelesen werden. Die Datei oder der Ordner existiert nicht.");
    }
}

// The reasons of failed file operations are German sentences; a system text
// without a German one is set off in parentheses, never run into the
// sentence that follows.
TEST(ErrorReasonText, GermanSentencesAndTheSystemTextSetOff) {
    const std::pair<int, const char*> rows[] = {
        {ENOENT, "Die Datei oder der Ordner existiert nicht."},
        {0, "Der Grund ist nicht bekannt."},
        {ECHILD, "Fehler des Systems (Systemmeldung: No child processes)."},
    };
    for (const auto& [errnum, text] : rows)
        EXPECT_EQ(ErrorReasonText(errnum), text) << errnum;
    // Every number: one sentence, and the system's text only inside the parentheses.
    for (int errnum = 1; errnum < 134; ++errnum) {
        const std::string reason = ErrorReasonText(errnum);
        EXPECT_EQ(reason.back(), '.') << errnum;
        const std::size_t english = reason.find(std::strerror(errnum));
        if (english != std::string::npos) {
            EXPECT_EQ(reason.rfind("(Systemmeldung: ", english), english - 16) << reason;
        }
    }
}

TEST_F(TempFolder, WritesCrLfLinesAndReplacesTheOldFile) {
    Write("Orvandel.dat", "alt\r\n");
    WriteTextFileLines(Path("Orvandel.dat"), {"p * Darstellung", "54,3 * geogr. Länge"});
    std::ifstream in(Path("Orvandel.dat"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(bytes, "p * Darstellung\r\n54,3 * geogr. L\xE4nge\r\n");
    // No temporary file stays behind.
    int files = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(dir_)) ++files;
    EXPECT_EQ(files, 1);
}

TEST_F(TempFolder, AFailedWriteKeepsTheOldFileAndReportsTheReason) {
    if (geteuid() == 0) {
        // root ignores folder permissions; use a path whose folder is a file instead.
        Write("kein-ordner", "");
        try {
            WriteFileReplacing(Path("kein-ordner/Orvandel.dat"), "neu");
            FAIL() << "no error raised";
        } catch (const UserError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Datei \"" + Path("kein-ordner/Orvandel.dat") +
                          "\" kann nicht erstellt werden. Ein Teil des Pfades ist kein Ordner.");
        }
        return;
    }
    Write("Orvandel.dat", "alt");
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_THROW(WriteFileReplacing(Path("Orvandel.dat"), "neu"), UserError);
    fs::permissions(dir_, fs::perms::owner_all);
    std::ifstream in(Path("Orvandel.dat"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(bytes, "alt");
}

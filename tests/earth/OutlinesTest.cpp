// The coastline files: the order of sources, the three formats, and corrupt
// or oversized input.
#include "earth/Outlines.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "EarthTestSupport.h"
#include "window/TextFiles.h"

namespace {

using namespace earth;
using namespace earth_test;
using astro::Pi;
using astro::Real;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// Records every file that the module reads.
std::vector<std::string> opened;
std::string CountingRead(const std::string& path) {
    opened.push_back(std::filesystem::path(path).filename().string());
    return window::ReadFileBytes(path);
}
void FailingWrite(const std::string& path, std::string_view) {
    throw window::UserError("Datei \"" + path + "\" kann nicht erstellt werden. Test");
}

std::string shownMessage;
void RecordingMissingHandler(const std::string& message) {
    shownMessage = message;
}

class OutlineFilesTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        ResetOutlineFiles();
        OutlineFiles().readFile = CountingRead;
        opened.clear();
        shownMessage.clear();
    }
    void TearDown() override {
        ResetOutlineFiles();
        TempFolderTest::TearDown();
    }
};

// Text with two segments: three points, a 900 marker, two points, a 900 marker, the end.
const std::string SmallText = "10\r\n20\r\n"
                              "15 comment after the number\r\n25\r\n"
                              "20\r\n30\r\n"
                              "900\r\n0\r\n"
                              "350\r\n-45\r\n"
                              "355\r\n-50\r\n"
                              "900\r\n0\r\n"
                              "999\r\n999\r\n";

TEST_F(OutlineFilesTest, FirstLoadCreatesErdeBinAndSecondReadsOnlyIt) {
    WriteFile("ECLGRAPH.DAT", SmallText);
    OutlineSet first;
    LoadOutlines(first);
    ASSERT_TRUE(first.loaded);
    EXPECT_EQ(first.count, 2);
    EXPECT_EQ(first.segments[0].count, 3);
    EXPECT_EQ(first.segments[1].count, 2);
    EXPECT_THAT(opened, ElementsAre("ECLGRAPH.DAT", "ERDE.BIN"));
    EXPECT_EQ(ReadFile("ERDE.BIN"), ParseOutlineText(SmallText, "ECLGRAPH.DAT"));
    // Written via a temporary file that is gone afterwards.
    EXPECT_THAT(FolderNames(), ElementsAre("ECLGRAPH.DAT", "ERDE.BIN"));

    opened.clear();
    OutlineSet second;
    LoadOutlines(second);
    EXPECT_THAT(opened, ElementsAre("ERDE.BIN"));
    EXPECT_EQ(second.count, 2);

    // A loaded set is not read again.
    opened.clear();
    LoadOutlines(second);
    EXPECT_TRUE(opened.empty());
}

TEST_F(OutlineFilesTest, CompactFileTakesPrecedenceOverTheOthers) {
    WriteFile("ECLGRAPH.DAT", SmallText);
    WriteFile("ERDE.BIN", ParseOutlineText(SmallText, "x"));
    WriteFile("ERDE_0.BIN", CompactRecord(0, 4095, {{0, 0}}));
    OutlineSet set;
    LoadOutlines(set);
    EXPECT_THAT(opened, ElementsAre("ERDE_0.BIN"));
    ASSERT_EQ(set.count, 1);
    EXPECT_EQ(set.segments[0].count, 2);
}

TEST_F(OutlineFilesTest, NamesAreMatchedWithoutRegardToCase) {
    WriteFile("eclgraph.dat", SmallText);
    OutlineSet set;
    LoadOutlines(set);
    EXPECT_EQ(set.count, 2);
    EXPECT_THAT(FolderNames(), ElementsAre("ERDE.BIN", "eclgraph.dat"));

    std::filesystem::rename("ERDE.BIN", "Erde.bin");
    opened.clear();
    OutlineSet again;
    LoadOutlines(again);
    EXPECT_THAT(opened, ElementsAre("Erde.bin"));

    WriteFile("erde_0.bin", CompactRecord(0, 0, {}));
    opened.clear();
    OutlineSet compact;
    LoadOutlines(compact);
    EXPECT_THAT(opened, ElementsAre("erde_0.bin"));
}

TEST_F(OutlineFilesTest, NoFileShowsTheMessageThenFails) {
    // The message names every folder searched: the current one and the data folder.
    std::filesystem::create_directory("daten");
    window::SetDataFolder((folder_ / "daten").string());
    const std::string expected = std::string(" Weder \"ECLGRAPH.DAT\" noch \"ERDE.BIN\" noch \"ERDE_0.BIN\" "
                                             "gefunden ! \a\n Gesucht wurde in diesen Ordnern:\n   ") +
                                 folder_.string() + "\n   " + (folder_ / "daten").string();
    OutlineSet set;
    EXPECT_THROW(LoadOutlines(set, RecordingMissingHandler), MissingOutlinesError);
    EXPECT_EQ(shownMessage, expected);
    EXPECT_FALSE(set.loaded);
    try {
        LoadOutlines(set);
        FAIL() << "no exception";
    } catch (const window::UserError& e) {
        EXPECT_EQ(e.what(), expected);
    }
    window::SetDataFolder("");
    EXPECT_THAT(FolderNames(), ElementsAre("daten"));
}

TEST_F(OutlineFilesTest, NonNumericTextIsReportedAndWritesNothing) {
    WriteFile("ECLGRAPH.DAT", "10\r\n20\r\nzehn\r\n30\r\n999\r\n999\r\n");
    OutlineSet set;
    try {
        LoadOutlines(set);
        FAIL() << "no exception";
    } catch (const window::UserError& e) {
        EXPECT_THAT(e.what(), HasSubstr("ECLGRAPH.DAT\" kann nicht gelesen werden. Zeile 3"));
        EXPECT_THAT(e.what(), HasSubstr("\"zehn\""));
    }
    EXPECT_FALSE(set.loaded);
    EXPECT_THAT(FolderNames(), ElementsAre("ECLGRAPH.DAT"));
}

TEST_F(OutlineFilesTest, FailedWriteLeavesNoErdeBinButLoadsTheCoastlinesOnce) {
    WriteFile("ECLGRAPH.DAT", SmallText);
    OutlineFiles().writeFile = FailingWrite;
    OutlineSet set;
    EXPECT_THROW(LoadOutlines(set), window::UserError);
    EXPECT_TRUE(set.loaded);
    EXPECT_EQ(set.count, 2);
    EXPECT_THAT(FolderNames(), ElementsAre("ECLGRAPH.DAT"));
    // No second report: the set is loaded.
    EXPECT_NO_THROW(LoadOutlines(set));
}

TEST_F(OutlineFilesTest, RealWriteFailureIsReportedAndLeavesNoTemporaryFile) {
    WriteFile("ECLGRAPH.DAT", SmallText);
    std::filesystem::create_directory("ERDE.BIN"); // the rename over it must fail
    OutlineSet set;
    try {
        LoadOutlines(set);
        FAIL() << "no exception";
    } catch (const window::UserError& e) {
        EXPECT_THAT(e.what(), HasSubstr("ERDE.BIN\" kann nicht erstellt werden."));
    }
    EXPECT_TRUE(set.loaded);
    EXPECT_THAT(FolderNames(), ElementsAre("ECLGRAPH.DAT", "ERDE.BIN"));
    EXPECT_TRUE(std::filesystem::is_directory("ERDE.BIN"));
}

TEST_F(OutlineFilesTest, ReadErrorIsReportedAndTheSetStaysUnloaded) {
    WriteFile("ERDE.BIN", ErdeBin({{0.1f, 0.2f}, {RadiansF(900), 0}}));
    OutlineFiles().readFile = [](const std::string& path) -> std::string {
        throw window::UserError("Datei \"" + path + "\" kann nicht gelesen werden. Test");
    };
    OutlineSet set;
    EXPECT_THROW(LoadOutlines(set), window::UserError);
    EXPECT_FALSE(set.loaded);
    ResetOutlineFiles();
    LoadOutlines(set);
    EXPECT_TRUE(set.loaded);
    EXPECT_EQ(set.count, 1);
}

TEST_F(OutlineFilesTest, ConvertDoesNothingWithoutText) {
    ConvertOutlineText();
    EXPECT_TRUE(FolderNames().empty());
}

TEST_F(OutlineFilesTest, FreeOutlinesEmptiesTheSetSoItLoadsAgain) {
    WriteFile("ERDE.BIN", ErdeBin({{0.1f, 0.2f}, {0.2f, 0.3f}, {RadiansF(900), 0}}));
    OutlineSet set;
    LoadOutlines(set);
    ASSERT_EQ(set.count, 1);
    FreeOutlines(set);
    EXPECT_FALSE(set.loaded);
    EXPECT_EQ(set.count, 0);
    EXPECT_TRUE(set.segments.empty());
    opened.clear();
    LoadOutlines(set);
    EXPECT_THAT(opened, ElementsAre("ERDE.BIN"));
    EXPECT_EQ(set.count, 1);
}

// --- "ECLGRAPH.DAT" conversion ---------------------------------------------

// The floats of a converted text, in order.
std::vector<float> Floats(const std::string& bin) {
    std::vector<float> out(bin.size() / 4);
    std::memcpy(out.data(), bin.data(), out.size() * 4);
    return out;
}

TEST(OutlineText, WestwardLongitudeBecomesEastwardRadiansInSinglePrecision) {
    const std::vector<float> f = Floats(ParseOutlineText("10\n20\n900\n0\n999\n0\n", "t"));
    ASSERT_EQ(f.size(), 6u);
    EXPECT_EQ(Bits(f[0]), Bits(static_cast<float>(350 * Pi / 180)));
    EXPECT_EQ(Bits(f[1]), Bits(static_cast<float>(20 * Pi / 180)));
    EXPECT_EQ(Bits(f[2]), Bits(static_cast<float>(900 * Pi / 180))); // a marker keeps its value
    EXPECT_EQ(f[3], 0.0f);
    EXPECT_EQ(Bits(f[4]), EndPairBits);
    EXPECT_EQ(Bits(f[5]), EndPairBits);
    EXPECT_EQ(EndPairBits, Bits(static_cast<float>(999 * Pi / 180)));
}

TEST(OutlineText, EndOfData) {
    struct Row {
        const char* name;
        const char* text;
        std::size_t floatsBeforeEndPair;
    };
    const Row rows[] = {
        {"999 as longitude", "1\n2\n999\n5\n3\n4\n", 2},
        {"999 as latitude", "1\n2\n5\n999\n3\n4\n", 2},
        {"no 999 line", "1\n2\n3\n4\n", 4},
        {"ends inside a pair", "1\n2\n3\n", 2},
        {"empty file", "", 0},
        {"blank lines skipped", "\r\n1\r\n\r\n  \r\n2\r\n\r\n", 2},
        {"no final line end", "1\n2", 2},
    };
    for (const Row& row : rows) {
        const std::vector<float> f = Floats(ParseOutlineText(row.text, "t"));
        ASSERT_EQ(f.size(), row.floatsBeforeEndPair + 2) << row.name;
        EXPECT_EQ(Bits(f[f.size() - 1]), EndPairBits) << row.name;
        EXPECT_EQ(Bits(f[f.size() - 2]), EndPairBits) << row.name;
    }
}

TEST(OutlineText, NumberForms) {
    struct Row {
        const char* line;
        float latitude; // degrees as parsed
    };
    const Row rows[] = {
        {"12.5", 12.5f}, {"  -7", -7.0f},   {"+3", 3.0f}, {"5.", 5.0f},    {".25", 0.25f},
        {"1e1", 10.0f},  {"2E-1xyz", 0.2f}, {"4e", 4.0f}, {"1e-50", 0.0f}, {"\t8 Grad", 8.0f},
        {"-0", -0.0f},   {"6,5", 6.0f}, // a comma is text after the number
    };
    for (const Row& row : rows) {
        const std::vector<float> f = Floats(ParseOutlineText("0\n" + std::string(row.line) + "\n", "t"));
        ASSERT_EQ(f.size(), 4u) << row.line;
        EXPECT_EQ(Bits(f[1]), Bits(static_cast<float>(static_cast<Real>(row.latitude) * Pi / 180)))
            << row.line;
    }
}

TEST(OutlineText, TextThatIsNotANumberIsRefused) {
    for (const char* bad : {"abc", "-", ".", "+.e5", "nan", "inf", "1e39", "- 5", "e5"}) {
        try {
            ParseOutlineText("0\n0\n0\n" + std::string(bad) + "\n", "ECLGRAPH.DAT");
            ADD_FAILURE() << bad << ": no exception";
        } catch (const window::UserError& e) {
            EXPECT_THAT(e.what(), HasSubstr("Zeile 4 enthält keine gültige Zahl")) << bad;
        }
    }
}

// --- "ERDE.BIN" ---------------------------------------------------------------

TEST(ErdeBin, MarkersAndCorruptPairs) {
    const float seg = RadiansF(899), drop = RadiansF(990), p = 0.5f;
    struct Row {
        const char* name;
        std::string bytes;
        std::vector<std::int32_t> counts; // points per stored segment
    };
    const float nan = std::nanf("");
    const Row rows[] = {
        {"segment end at 899 degrees", ErdeBin({{p, 0}, {p, 0}, {seg, 7}}), {2}},
        {"just below 899 is a point", ErdeBin({{p, 0}, {std::nextafter(seg, 0.0f), 0}, {seg, 0}}), {2}},
        {"990 degrees drops the points", ErdeBin({{p, 0}, {drop, 0}, {p, 0}, {seg, 0}}), {1}},
        {"just below 990 ends a segment", ErdeBin({{p, 0}, {std::nextafter(drop, 0.0f), 0}}), {1}},
        {"converter's 990 marker drops", ErdeBin({{p, 0}, {RadiansF(990), 0}}), {}},
        {"end marker after end marker",
         ErdeBin({{p, 0}, {seg, 0}, {seg, 0}, {seg, 0}, {p, 0}, {seg, 0}}),
         {1, 1}},
        {"marker first", ErdeBin({{seg, 0}, {p, 0}, {seg, 0}}), {1}},
        {"points after the last end are dropped", ErdeBin({{p, 0}, {seg, 0}, {p, 0}, {p, 0}}), {1}},
        {"file ends inside a pair",
         ErdeBin({{p, 0}, {seg, 0}}) + std::string("\x01\x02\x03\x04\x05", 5),
         {1}},
        {"NaN longitude drops", ErdeBin({{p, 0}, {nan, 0}, {p, 0}, {seg, 0}}), {1}},
        {"empty file", "", {}},
    };
    for (const Row& row : rows) {
        OutlineSet set;
        ParseErdeBin(row.bytes, set);
        std::vector<std::int32_t> counts;
        for (const OutlineSegment& s : set.segments)
            counts.push_back(s.count);
        EXPECT_EQ(counts, row.counts) << row.name;
        EXPECT_EQ(set.count, static_cast<std::int32_t>(set.segments.size())) << row.name;
        EXPECT_FALSE(set.loaded) << row.name;
    }
}

TEST(ErdeBin, PointsCarryTheirRectangularPart) {
    OutlineSet set;
    const float lon = RadiansF(350), lat = RadiansF(20);
    ParseErdeBin(ErdeBin({{lon, lat}, {RadiansF(900), 0}}), set);
    ASSERT_EQ(set.count, 1);
    const GlobePoint& g = set.segments[0].points[0];
    EXPECT_EQ(g.lon, lon);
    EXPECT_EQ(g.lat, lat);
    EXPECT_EQ(g.r, 1.0f);
    EXPECT_EQ(g.w, 1.0f);
    EXPECT_NEAR(g.x, std::cos(20 * Deg) * std::cos(350 * Deg), 1e-6);
    EXPECT_NEAR(g.y, std::cos(20 * Deg) * std::sin(350 * Deg), 1e-6);
    EXPECT_NEAR(g.z, std::sin(20 * Deg), 1e-6);
}

TEST(ErdeBin, TablesGrowBeyondTheClassicLimits) {
    std::vector<std::pair<float, float>> pairs;
    for (int i = 0; i < 202; ++i)
        pairs.push_back({0.01f * i, 0.1f});
    pairs.push_back({RadiansF(900), 0});
    for (int s = 0; s < 702; ++s)
        pairs.insert(pairs.end(), {{0.2f, 0.3f}, {RadiansF(900), 0}});
    OutlineSet set;
    ParseErdeBin(ErdeBin(pairs), set);
    ASSERT_EQ(set.count, 703);
    EXPECT_EQ(set.segments[0].count, 202);
    EXPECT_FLOAT_EQ(set.segments[0].points[201].lon, 2.01f);
    EXPECT_EQ(set.segments[702].count, 1);
}

TEST(ErdeBin, TextRoundTripKeepsSegmentsAndDropsAfter990) {
    const std::string text = "10\n20\n30\n40\n900\n0\n50\n60\n990\n0\n70\n80\n950\n0\n999\n999\n";
    OutlineSet set;
    ParseErdeBin(ParseOutlineText(text, "t"), set);
    ASSERT_EQ(set.count, 2);
    EXPECT_EQ(set.segments[0].count, 2);
    EXPECT_EQ(set.segments[1].count, 1);
    EXPECT_NEAR(set.segments[1].points[0].lon, 290 * Deg, 1e-6);
    EXPECT_NEAR(set.segments[1].points[0].lat, 80 * Deg, 1e-6);
}

// --- "ERDE_0.BIN" -------------------------------------------------------------

constexpr Real Unit = 2 * Pi / 8191;

TEST(Erde0Bin, HeaderAndSteps) {
    struct Row {
        const char* name;
        std::string bytes;
        std::size_t point; // index of the checked point in the single segment
        std::int32_t count;
        Real lon, lat; // radians
    };
    const Row rows[] = {
        {"B = 0 is the south pole", CompactRecord(100, 0, {}), 0, 1, 100 * Unit, -Pi / 2},
        {"B = 8191 is the north pole", CompactRecord(100, 8191, {}), 0, 1, 100 * Unit, Pi / 2},
        {"L = 8191 is 2 pi", CompactRecord(8191, 4000, {}), 0, 1, 2 * Pi, 4000 * Pi / 8191 - Pi / 2},
        {"n = 0 gives one point", CompactRecord(0, 4000, {}), 0, 1, 0, 4000 * Pi / 8191 - Pi / 2},
        {"step (0, 0) moves by -5 and -2.4 degrees", CompactRecord(1000, 5000, {{0, 0}}), 1, 2,
         1000 * Unit - 5 * Deg, 5000 * Pi / 8191 - Pi / 2 - 2.4L * Deg},
        {"step codes a, b", CompactRecord(1000, 5000, {{7, 200}}), 1, 2, 1000 * Unit + 200 * Unit - 5 * Deg,
         5000 * Pi / 8191 - Pi / 2 + 7 * Unit - 2.4L * Deg},
        {"unused bits are ignored", CompactRecord(1000, 5000, {{7, 200}}, true), 1, 2,
         1000 * Unit + 200 * Unit - 5 * Deg, 5000 * Pi / 8191 - Pi / 2 + 7 * Unit - 2.4L * Deg},
        {"negative longitude gets 2 pi once", CompactRecord(10, 4095, {{0, 0}}), 1, 2,
         10 * Unit - 5 * Deg + 2 * Pi, 4095 * Pi / 8191 - Pi / 2 - 2.4L * Deg},
        {"latitude past the pole is kept", CompactRecord(0, 8191, {{255, 0}}), 1, 2, -5 * Deg + 2 * Pi,
         Pi / 2 + 255 * Unit - 2.4L * Deg},
    };
    for (const Row& row : rows) {
        OutlineSet set;
        ParseErde0Bin(row.bytes, set);
        ASSERT_EQ(set.count, 1) << row.name;
        ASSERT_EQ(set.segments[0].count, row.count) << row.name;
        const GlobePoint& g = set.segments[0].points[row.point];
        EXPECT_NEAR(g.lon, row.lon, 1e-6) << row.name;
        EXPECT_NEAR(g.lat, row.lat, 1e-6) << row.name;
        EXPECT_EQ(g.r, 1.0f) << row.name;
        EXPECT_NEAR(g.x, std::cos(row.lat) * std::cos(row.lon), 1e-6) << row.name;
        EXPECT_NEAR(g.y, std::cos(row.lat) * std::sin(row.lon), 1e-6) << row.name;
        EXPECT_NEAR(g.z, std::sin(row.lat), 1e-6) << row.name;
    }
}

TEST(Erde0Bin, StoredLongitudeWrapsOnceWhileTheRunningOneDoesNot) {
    // From about 359 degrees (L = 8168) one step of about +4 degrees (a = 205),
    // then 59 steps of about +6.2 degrees (a = 255).
    std::vector<CompactStep> steps = {{31, 205}};
    for (int i = 0; i < 59; ++i)
        steps.push_back({31, 255});
    OutlineSet set;
    ParseErde0Bin(CompactRecord(8168, 4095, steps), set);
    ASSERT_EQ(set.count, 1);
    const OutlineSegment& s = set.segments[0];
    ASSERT_EQ(s.count, 61);
    Real running = 8168 * Unit;
    EXPECT_NEAR(running / Deg, 359, 0.03);
    running += 205 * Unit - 5 * Deg;
    EXPECT_NEAR(running / Deg, 363, 0.03);
    EXPECT_NEAR(s.points[1].lon, running - 2 * Pi, 1e-6);
    EXPECT_NEAR(s.points[1].lon / Deg, 3, 0.03);
    for (int i = 2; i < 61; ++i) {
        running += 255 * Unit - 5 * Deg;
        const Real stored = running > 2 * Pi ? running - 2 * Pi : running;
        EXPECT_NEAR(s.points[i].lon, stored, 2e-6) << i;
    }
    // Past 720 degrees the stored longitude lies above 2 pi: it is wrapped only once.
    EXPECT_GT(running, 4 * Pi);
    EXPECT_GT(s.points[60].lon, 2 * Pi);
}

TEST(Erde0Bin, RecordsAndTruncation) {
    std::vector<CompactStep> many(1023, CompactStep{31, 65});
    const std::string two = CompactRecord(1, 2, {{1, 1}}) + CompactRecord(3, 4, {});
    struct Row {
        const char* name;
        std::string bytes;
        std::vector<std::int32_t> counts;
    };
    const Row rows[] = {
        {"two records", two, {2, 1}},
        {"file ends inside a header", two + std::string("\x01\x02\x03", 3), {2, 1}},
        {"file ends inside the steps", two + CompactRecord(5, 6, {{1, 1}, {2, 2}}, false, 3), {2, 1}},
        {"step count without steps", CompactRecord(5, 6, {}, false, 1023), {}},
        {"1023 steps (more than 201 points)", CompactRecord(5, 4095, many), {1024}},
        {"empty file", "", {}},
    };
    for (const Row& row : rows) {
        OutlineSet set;
        ParseErde0Bin(row.bytes, set);
        std::vector<std::int32_t> counts;
        for (const OutlineSegment& s : set.segments)
            counts.push_back(s.count);
        EXPECT_EQ(counts, row.counts) << row.name;
    }
}

// --- Globe point conversions ---------------------------------------------------

TEST(GlobePointConversion, SphericalPartFromRectangular) {
    struct Row {
        float x, y, z, w;
        Real lon, lat;
    };
    const Row rows[] = {
        {1, 0, 0, 1, 0, 0},        {0, -1, 0, 1, 3 * Pi / 2, 0}, // not -pi/2
        {-1, 0, 0, 2, Pi, 0},      {0, 0, 1, 1, 0, Pi / 2},      // (0, 0) gives longitude 0
        {0, 0, -1, 1, 0, -Pi / 2}, {0.5f, 0.5f, 0.70710678f, 1, Pi / 4, Pi / 4},
    };
    for (const Row& row : rows) {
        GlobePoint p;
        p.x = row.x, p.y = row.y, p.z = row.z, p.w = row.w;
        GlobePointToSpherical(p);
        EXPECT_NEAR(p.lon, row.lon, 1e-6);
        EXPECT_NEAR(p.lat, row.lat, 1e-6);
        EXPECT_EQ(p.r, row.w);
        EXPECT_GE(p.lon, 0.0f);
    }
    GlobePoint q = SphericalToGlobePoint(1.0L, 0.5L, 2.0L);
    EXPECT_EQ(q.w, 2.0f);
    GlobePointToSpherical(q);
    EXPECT_NEAR(q.lon, 1.0, 1e-6);
    EXPECT_NEAR(q.lat, 0.5, 1e-6);
}

} // namespace

namespace {

// The coastlines shipped in data/: they convert and load, and every segment
// keeps to the classic 201-point limit.
TEST(ShippedCoastlines, ConvertAndLoad) {
    const char* source = std::getenv("ORVANDEL_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    const std::string path = std::string(source) + "/data/ECLGRAPH.DAT";
    earth::OutlineSet set;
    earth::ParseErdeBin(earth::ParseOutlineText(window::ReadFileBytes(path), path), set);
    EXPECT_EQ(set.count, 139);
    std::int32_t points = 0;
    for (const earth::OutlineSegment& s : set.segments) {
        EXPECT_GE(s.count, 2);
        EXPECT_LE(s.count, 201);
        points += s.count;
        for (std::int32_t i = 0; i < s.count; ++i) {
            EXPECT_LE(std::fabs(s.points[i].lat), astro::Pi / 2);
            EXPECT_GE(s.points[i].lon, 0.0f);
            EXPECT_LE(s.points[i].lon, 2 * astro::Pi + 1e-6);
        }
    }
    EXPECT_EQ(points, 5134);
}

} // namespace

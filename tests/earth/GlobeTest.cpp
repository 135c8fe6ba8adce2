// The globe drawing: which points are joined, the grid, and DrawGlobe's
// once-only loading and building, observed through recording hooks and a
// recording line sink.
#include "earth/Globe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>
#include <set>

#include "EarthTestSupport.h"
#include "window/FensterGraf.h"

// Counts the allocations while `counting` is set (the drawing must make none).
namespace {
bool counting = false;
std::size_t allocations = 0;
} // namespace

void* operator new(std::size_t size) {
    if (counting) ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using namespace earth;
using namespace earth_test;
using astro::Pi;
using astro::Real;

// --- Recording hooks: a point's x and z are its pixel position, y < 0 marks
// it visible. The identity transform; the projection counts its calls.
int projections = 0;
int transforms = 0;
GlobePoint Identity(const GlobePoint& p) {
    ++transforms;
    return p;
}
bool VisibleWhenYNegative(const GlobePoint& p) {
    return p.y < 0;
}
void ProjectXZ(const GlobePoint& p, std::int32_t& px, std::int32_t& py) {
    ++projections;
    px = astro::RoundToInt32(p.x);
    py = astro::RoundToInt32(p.z);
}

struct LineOp {
    char kind; // 'M' move, 'L' line
    std::int64_t x, y;
    int colour;
    bool operator==(const LineOp&) const = default;
};
std::ostream& operator<<(std::ostream& os, const LineOp& op) {
    return os << op.kind << "(" << op.x << "," << op.y
              << (op.kind == 'L' ? "," + std::to_string(op.colour) : "") << ")";
}
LineOp M(std::int64_t x, std::int64_t y) {
    return {'M', x, y, -1};
}
LineOp L(std::int64_t x, std::int64_t y, int colour = 7) {
    return {'L', x, y, colour};
}
std::vector<LineOp> ops;
void RecordMove(std::int32_t x, std::int32_t y) {
    ops.push_back({'M', x, y, -1});
}
void RecordLine(std::int32_t x, std::int32_t y, int colour) {
    ops.push_back({'L', x, y, colour});
}
const LineSink Recorder = {RecordMove, RecordLine};

std::vector<std::int32_t> widths;
void RecordWidth(std::int32_t w) {
    widths.push_back(w);
}

struct Pt {
    float px, py;
    bool visible;
};
GlobePoint At(const Pt& p) {
    GlobePoint g;
    g.x = p.px;
    g.z = p.py;
    g.y = p.visible ? -1.0f : 1.0f;
    return g;
}
OutlineSet SetOf(const std::vector<std::vector<Pt>>& segments) {
    OutlineSet set;
    for (const auto& s : segments) {
        std::vector<GlobePoint> points;
        for (const Pt& p : s)
            points.push_back(At(p));
        AddSegment(set, points.data(), static_cast<std::int32_t>(points.size()));
    }
    return set;
}

TEST(DrawSegments, JoinsOnlyConsecutiveVisiblePointsCloserThan200Pixels) {
    constexpr float Big = 2147483598.0f; // 2^31 - 50 as a float is 2^31: saturates
    struct Row {
        const char* name;
        std::vector<std::vector<Pt>> segments;
        std::vector<LineOp> expected;
        int projections;
    };
    const Row rows[] = {
        {"199 pixels apart in x are joined", {{{0, 0, true}, {199, 0, true}}}, {M(0, 0), L(199, 0)}, 2},
        {"200 pixels apart in x: only the pen moves",
         {{{0, 0, true}, {200, 0, true}}},
         {M(0, 0), M(200, 0)},
         2},
        {"199 pixels back in y are joined", {{{5, 300, true}, {5, 101, true}}}, {M(5, 300), L(5, 101)}, 2},
        {"200 pixels back in y: a move", {{{5, 300, true}, {5, 100, true}}}, {M(5, 300), M(5, 100)}, 2},
        {"199 in both directions are joined",
         {{{0, 0, true}, {-199, 199, true}}},
         {M(0, 0), L(-199, 199)},
         2},
        {"hidden first point: moved to, then no line until two visible",
         {{{5, 5, false}, {10, 10, true}, {20, 20, true}}},
         {M(5, 5), M(10, 10), L(20, 20)},
         3},
        {"hidden point in the middle is not projected and breaks the line",
         {{{0, 0, true}, {10, 0, false}, {30, 0, true}, {40, 0, true}}},
         {M(0, 0), M(30, 0), L(40, 0)},
         3},
        {"jump measured from the last visible point",
         {{{0, 0, true}, {150, 0, true}, {150, 0, false}, {250, 0, true}}},
         {M(0, 0), L(150, 0), M(250, 0)},
         3},
        {"all hidden: only the first point's move",
         {{{1, 2, false}, {3, 4, false}, {5, 6, false}}},
         {M(1, 2)},
         1},
        {"one-point segment", {{{7, 8, true}}}, {M(7, 8)}, 1},
        {"each segment starts with a move",
         {{{0, 0, true}, {1, 0, true}}, {{2, 0, true}, {3, 0, true}}},
         {M(0, 0), L(1, 0), M(2, 0), L(3, 0)},
         4},
        {"far-apart saturated pixels do not wrap around",
         {{{Big, 0, true}, {-Big, 0, true}}},
         {M(2147483647, 0), M(-2147483647 - 1, 0)},
         2},
    };
    for (const Row& row : rows) {
        ops.clear();
        projections = 0;
        const OutlineSet set = SetOf(row.segments);
        DrawSegments(set.segments.data(), set.count, Identity, ProjectXZ, VisibleWhenYNegative, 7, Recorder);
        EXPECT_EQ(ops, row.expected) << row.name;
        EXPECT_EQ(projections, row.projections) << row.name;
    }
}

TEST(DrawSegments, DrawsOnlyTheGivenCount) {
    const OutlineSet set = SetOf({{{0, 0, true}}, {{1, 1, true}}, {{2, 2, true}}});
    ops.clear();
    DrawSegments(set.segments.data(), 2, Identity, ProjectXZ, VisibleWhenYNegative, 3, Recorder);
    EXPECT_EQ(ops.size(), 2u);
}

// The drawing serial each transform saw.
std::vector<std::uint64_t> serials;
GlobePoint RecordSerial(const GlobePoint& p) {
    serials.push_back(GlobeDrawingSerial());
    return p;
}

TEST(DrawSegments, EachDrawingHasASerialOfItsOwnWhileItRuns) {
    const OutlineSet set = SetOf({{{0, 0, true}, {1, 0, true}}, {{2, 0, true}, {3, 0, false}}});
    std::vector<std::uint64_t> drawings[2];
    for (std::vector<std::uint64_t>& seen : drawings) {
        serials.clear();
        DrawSegments(set.segments.data(), set.count, RecordSerial, ProjectXZ, VisibleWhenYNegative, 3,
                     Recorder);
        seen = serials;
        EXPECT_EQ(GlobeDrawingSerial(), 0u); // none runs now
    }
    for (const std::vector<std::uint64_t>& seen : drawings) {
        ASSERT_EQ(seen.size(), 4u);
        EXPECT_NE(seen[0], 0u);
        EXPECT_EQ(std::set<std::uint64_t>(seen.begin(), seen.end()).size(), 1u); // one serial for all points
    }
    EXPECT_NE(drawings[0][0], drawings[1][0]);
}

// --- The grid -----------------------------------------------------------------

bool SameBits(const GlobePoint& a, const GlobePoint& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

Real Wrapped(Real a) {
    a = std::fmod(a, 2 * Pi);
    return a < 0 ? a + 2 * Pi : a;
}

TEST(BuildGrid, ThirtyDegreesGivesFiveCirclesAndSixMeridianCircles) {
    OutlineSet grid;
    BuildGrid(grid, 30 * Deg);
    ASSERT_EQ(grid.count, 11);
    for (const OutlineSegment& s : grid.segments) {
        ASSERT_EQ(s.count, 37);
        EXPECT_TRUE(SameBits(s.points[0], s.points[36]));
        for (int j = 0; j < 37; ++j) {
            const GlobePoint& p = s.points[j];
            EXPECT_NEAR(p.x * p.x + p.y * p.y + p.z * p.z, 1.0, 1e-6);
            EXPECT_EQ(p.w, 1.0f);
            EXPECT_EQ(p.r, 1.0f);
            EXPECT_GE(p.lon, 0.0f);
            EXPECT_NEAR(p.z, std::sin(static_cast<Real>(p.lat)), 1e-6);
        }
    }
    // Latitude circles from south to north, points every 10 degrees of longitude.
    const Real latitudes[] = {-60, -30, 0, 30, 60};
    for (int k = 0; k < 5; ++k) {
        const OutlineSegment& s = grid.segments[k];
        for (int j = 0; j < 36; ++j) {
            EXPECT_NEAR(s.points[j].lat, latitudes[k] * Deg, 1e-6) << k << " " << j;
            EXPECT_NEAR(Wrapped(s.points[j].lon), Wrapped(j * 10 * Deg), 1e-5) << k << " " << j;
        }
    }
    // Meridian circles: from the south pole through longitude mu on the
    // equator (point 9), the north pole, mu + 180 (point 27), back.
    const Real meridians[] = {-60, -30, 0, 30, 60, 90};
    std::set<std::int32_t> crossings;
    for (int k = 0; k < 6; ++k) {
        const OutlineSegment& s = grid.segments[5 + k];
        EXPECT_NEAR(s.points[0].z, -1, 1e-6);
        EXPECT_NEAR(s.points[18].z, 1, 1e-6);
        EXPECT_NEAR(s.points[9].lat, 0, 1e-6);
        EXPECT_NEAR(Wrapped(s.points[9].lon), Wrapped(meridians[k] * Deg), 1e-5) << k;
        EXPECT_NEAR(Wrapped(s.points[27].lon), Wrapped((meridians[k] + 180) * Deg), 1e-5) << k;
        crossings.insert(astro::RoundToInt32(Wrapped(s.points[9].lon) / Deg) % 360);
        crossings.insert(astro::RoundToInt32(Wrapped(s.points[27].lon) / Deg) % 360);
    }
    EXPECT_EQ(crossings, (std::set<std::int32_t>{0, 30, 60, 90, 120, 150, 180, 210, 240, 270, 300, 330}));
}

TEST(BuildGrid, OtherSpacings) {
    struct Row {
        Real degrees;
        std::int32_t circles, meridianCircles;
    };
    const Row rows[] = {{45, 3, 4}, {90, 1, 2}, {40, 5, 5}, {60, 3, 3}, {10, 17, 18}, {0.1, 1799, 1800}};
    for (const Row& row : rows) {
        OutlineSet grid;
        BuildGrid(grid, row.degrees * Deg);
        EXPECT_EQ(grid.count, row.circles + row.meridianCircles) << row.degrees;
        EXPECT_NEAR(grid.segments[0].points[0].lat, -(row.circles - 1) / 2 * row.degrees * Deg, 1e-5)
            << row.degrees;
    }
}

TEST(BuildGrid, UnusableSpacingsBuildNothing) {
    for (Real d : {Real(0), Real(-30 * Deg), Real(0.09L * Deg), std::numeric_limits<Real>::quiet_NaN(),
                   std::numeric_limits<Real>::infinity()}) {
        OutlineSet grid;
        BuildGrid(grid, 30 * Deg);
        BuildGrid(grid, d); // also empties a table built before
        EXPECT_EQ(grid.count, 0) << d;
        EXPECT_TRUE(grid.segments.empty()) << d;
    }
}

TEST(ApplyMatrixToGlobePoint, RotatesTheRectangularPartOnly) {
    GlobePoint p = SphericalToGlobePoint(0.0L, 0.0L, 1.0L);
    p.w = 3;
    astro::Matrix3 m;
    astro::RotationAboutZ(m, Pi / 2);
    ApplyMatrixToGlobePoint(m, p);
    EXPECT_NEAR(p.x, 0, 1e-7);
    EXPECT_NEAR(p.y, 1, 1e-7);
    EXPECT_NEAR(p.z, 0, 1e-7);
    EXPECT_EQ(p.w, 3.0f);
    EXPECT_EQ(p.lon, 0.0f); // not recomputed
}

// --- DrawGlobe ----------------------------------------------------------------

std::string missingMessage;
struct MissingOutlines {};
void ThrowingMissingHandler(const std::string& message) {
    missingMessage = message;
    throw MissingOutlines{};
}

class DrawGlobeTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        ResetGlobe();
        Globe().lineSink = Recorder;
        Globe().setLineWidth = RecordWidth;
        window::SetMessageAndEndHandler(ThrowingMissingHandler);
        ops.clear();
        widths.clear();
        // One coastline of three visible points close together.
        WriteFile("ERDE.BIN", ErdeBin({{0.0f, 0.0f}, {0.01f, 0.0f}, {0.02f, 0.0f}, {RadiansF(900), 0}}));
    }
    void TearDown() override {
        ResetGlobe();
        window::SetMessageAndEndHandler(nullptr);
        TempFolderTest::TearDown();
    }
    static void Draw(bool grid, Real spacing) {
        DrawGlobe(Orthographic, Project300, FrontHalf, 15, 2, grid, spacing, 0);
    }
    // A view from -Y: view (x, y, z) = Earth-fixed; y < 0 faces the viewer.
    static GlobePoint Orthographic(const GlobePoint& p) {
        GlobePoint v = p;
        v.y = -p.x;
        v.x = p.y;
        GlobePointToSpherical(v);
        return v;
    }
    static bool FrontHalf(const GlobePoint& p) { return p.y < 0; }
    static void Project300(const GlobePoint& p, std::int32_t& px, std::int32_t& py) {
        px = astro::RoundToInt32(400 + 300 * static_cast<Real>(p.x));
        py = astro::RoundToInt32(400 - 300 * static_cast<Real>(p.z));
    }
};

TEST_F(DrawGlobeTest, DrawsCoastlinesThenGridWithTheirPens) {
    Draw(true, 30);
    EXPECT_EQ(Globe().transformHook, &Orthographic);
    EXPECT_EQ(Globe().projectHook, &Project300);
    EXPECT_EQ(Globe().visibleHook, &FrontHalf);
    EXPECT_EQ(widths, (std::vector<std::int32_t>{2, 1}));
    ASSERT_GE(ops.size(), 3u);
    EXPECT_EQ(ops[0].kind, 'M');
    EXPECT_EQ(ops[1], (LineOp{'L', ops[1].x, ops[1].y, 15}));
    EXPECT_EQ(ops[2], (LineOp{'L', ops[2].x, ops[2].y, 15}));
    // Then the grid: eleven segments, each starting with a move, in colour 0.
    std::size_t moves = 0;
    for (std::size_t i = 3; i < ops.size(); ++i) {
        if (ops[i].kind == 'M') ++moves;
        if (ops[i].kind == 'L') {
            EXPECT_EQ(ops[i].colour, 0);
        }
    }
    EXPECT_GE(moves, 11u);
    EXPECT_EQ(Globe().grid.count, 11);
    EXPECT_TRUE(Globe().grid.loaded);
    EXPECT_EQ(Globe().outlines.count, 1);
}

TEST_F(DrawGlobeTest, SecondCallWithAnotherSpacingKeepsTheFirstGrid) {
    Draw(true, 30);
    const std::vector<LineOp> first = ops;
    ops.clear();
    Draw(true, 45);
    EXPECT_EQ(Globe().grid.count, 11);
    EXPECT_EQ(ops, first);
}

TEST_F(DrawGlobeTest, GridOffBuildsAndDrawsNoGrid) {
    Draw(false, 30);
    EXPECT_FALSE(Globe().grid.loaded);
    EXPECT_EQ(Globe().grid.count, 0);
    EXPECT_EQ(ops.size(), 3u); // the coastline alone
    // The grid is built later at the spacing of the first call that draws it.
    Draw(true, 45);
    EXPECT_EQ(Globe().grid.count, 7);
}

TEST_F(DrawGlobeTest, LoadsOnceAndAllocatesNothingWhileDrawing) {
    Draw(true, 30);
    std::filesystem::remove("ERDE.BIN"); // a second load would find nothing
    ops.clear();
    ops.reserve(10000);
    widths.clear();
    widths.reserve(16);
    allocations = 0;
    counting = true;
    Draw(true, 30);
    counting = false;
    EXPECT_EQ(allocations, 0u);
}

TEST_F(DrawGlobeTest, MissingFilesGoToTheHandlerBeforeAnythingIsDrawn) {
    std::filesystem::remove("ERDE.BIN");
    EXPECT_THROW(Draw(true, 30), MissingOutlines);
    EXPECT_EQ(missingMessage, MissingOutlinesText());
    EXPECT_TRUE(ops.empty());
    EXPECT_FALSE(Globe().grid.loaded);
}

// A coastline file that cannot be read is reported once, saying that the
// globe goes on without coastlines; later frames draw the grid alone and do
// not look for the file again (it is gone: that would end the program).
TEST_F(DrawGlobeTest, AnUnreadableFileIsReportedOnceThenTheGridIsDrawnAlone) {
    std::filesystem::remove("ERDE.BIN");
    const std::string utf16("\xff\xfe\x31\0\x30\0\r\0\n\0", 10);
    for (const std::string& bytes :
         {std::string("10\r\n20\r\nabc\r\n"), std::string("\x8f\x03\0\x95", 4), utf16}) {
        ResetGlobe();
        Globe().lineSink = Recorder;
        Globe().setLineWidth = RecordWidth;
        WriteFile("ECLGRAPH.DAT", bytes);
        try {
            Draw(true, 30);
            ADD_FAILURE() << "no error";
        } catch (const window::UserError& e) {
            EXPECT_NE(std::string(e.what()).find("Die Erde wird ohne Küstenlinien gezeichnet."),
                      std::string::npos);
        }
        std::filesystem::remove("ECLGRAPH.DAT");
        ops.clear();
        EXPECT_NO_THROW(Draw(true, 30));
        EXPECT_EQ(Globe().grid.count, 11);
        EXPECT_FALSE(ops.empty()); // the grid
    }
}

TEST_F(DrawGlobeTest, ReleaseGlobeFreesBoth) {
    Draw(true, 30);
    ReleaseGlobe();
    EXPECT_FALSE(Globe().outlines.loaded);
    EXPECT_FALSE(Globe().grid.loaded);
    EXPECT_EQ(Globe().outlines.count, 0);
    EXPECT_EQ(Globe().grid.count, 0);
}

} // namespace

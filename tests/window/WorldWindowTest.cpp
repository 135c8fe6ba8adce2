// World window: world coordinates (y up) onto the viewport, saturation, and
// polylines drawn through the current pixel position.
#include "window/WorldWindow.h"

#include <QImage>
#include <gtest/gtest.h>
#include <limits>
#include <string>

#include "window/FensterGraf.h"
#include "window/Graphics.h"

namespace {

using namespace window;

constexpr astro::Real NaN = std::numeric_limits<astro::Real>::quiet_NaN();
constexpr astro::Real Inf = std::numeric_limits<astro::Real>::infinity();

class WorldWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetWorldWindow(); }
};

// The 800 x 600 client area with the world x from -4 to 4 and y from -3 to 3.
void SetUp800x600() {
    SetViewport(0, 799, 0, 599);
    SetWorldWindow(-4, 4, -3, 3);
}

struct MappingRow {
    const char* name;
    bool isX;
    astro::Real world;
    std::int32_t pixel;
};

class WorldWindowMapping : public ::testing::TestWithParam<MappingRow> {
  protected:
    void SetUp() override { ResetWorldWindow(); }
};

TEST_P(WorldWindowMapping, Pixel) {
    const MappingRow& row = GetParam();
    SetUp800x600();
    EXPECT_EQ(row.isX ? ScreenX(row.world) : ScreenY(row.world), row.pixel);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WorldWindowMapping,
    ::testing::Values(MappingRow{"XminToLeft", true, -4, 0}, MappingRow{"XmaxToRight", true, 4, 799},
                      // 399.5 rounds to the even 400.
                      MappingRow{"CentreTieToEven", true, 0, 400}, MappingRow{"YmaxToTop", false, 3, 0},
                      MappingRow{"YminToBottom", false, -3, 599},
                      // 149.75 rounds to 150.
                      MappingRow{"YUpward", false, 1.5L, 150},
                      // Outside the world window: outside the viewport, not clipped
                      // (1198.5 rounds to the even 1198).
                      MappingRow{"BeyondRight", true, 8, 1198}, MappingRow{"AboveTop", false, 9, -599},
                      // Far away on either side, and values that are no numbers.
                      MappingRow{"FarRight", true, 1e12L, 2147483647},
                      MappingRow{"FarLeft", true, -1e12L, 2147483647},
                      MappingRow{"FarBelow", false, -1e30L, 2147483647},
                      MappingRow{"FarAbove", false, 1e30L, 2147483647},
                      MappingRow{"NaN", true, NaN, 2147483647}, MappingRow{"NaNY", false, NaN, 2147483647},
                      MappingRow{"PlusInfinity", true, Inf, 2147483647},
                      MappingRow{"MinusInfinity", false, -Inf, 2147483647}),
    [](const auto& info) { return std::string(info.param.name); });

struct LimitRow {
    const char* name;
    astro::Real v; // the pixel value before rounding (scale 1, origin 0)
    std::int32_t pixel;
};

class PixelLimits : public ::testing::TestWithParam<LimitRow> {
  protected:
    void SetUp() override { ResetWorldWindow(); }
};

TEST_P(PixelLimits, RoundedOrSaturated) {
    SetViewport(0, 1, 0, 1);
    SetWorldWindow(0, 1, 0, 1);
    const LimitRow& row = GetParam();
    EXPECT_EQ(ScreenX(row.v), row.pixel);
    EXPECT_EQ(ScreenY(-row.v + 1), row.pixel); // (ymax - y) * 1 + 0 = v
}

INSTANTIATE_TEST_SUITE_P(Rows, PixelLimits,
                         ::testing::Values(LimitRow{"TieToEvenBelowLimit", 2147483646.5L, 2147483646},
                                           LimitRow{"RoundsUpToLimit", 2147483646.75L, 2147483647},
                                           LimitRow{"AtLimit", 2147483647.0L, 2147483647},
                                           LimitRow{"NegativeTie", -2147483646.5L, -2147483646},
                                           LimitRow{"NegativeRoundsDown", -2147483646.75L, -2147483647},
                                           // Not clamped to the negative limit: the same as far right.
                                           LimitRow{"AtNegativeLimit", -2147483647.0L, 2147483647},
                                           LimitRow{"BelowNegativeLimit", -2147483648.0L, 2147483647},
                                           LimitRow{"SmallTie", 2.5L, 2},
                                           LimitRow{"NegativeSmallTie", -0.5L, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WorldWindowTest, ViewportAfterWorldWindowShiftsButKeepsTheScales) {
    SetUp800x600();
    SetViewport(100, 200, 50, 60);
    EXPECT_EQ(ScreenX(-4), 100);
    EXPECT_EQ(ScreenX(4), 100 + 799); // the old scale, not (200 - 100) / 8
    EXPECT_EQ(ScreenY(3), 50);
    EXPECT_EQ(ScreenY(-3), 50 + 599);
    // The next SetWorldWindow takes the new viewport.
    SetWorldWindow(-4, 4, -3, 3);
    EXPECT_EQ(ScreenX(4), 200);
    EXPECT_EQ(ScreenY(-3), 60);
}

TEST_F(WorldWindowTest, ReversedAxesMapTheOtherWay) {
    SetViewport(0, 100, 0, 100);
    SetWorldWindow(10, 0, 0, -10);
    EXPECT_EQ(ScreenX(10), 0);
    EXPECT_EQ(ScreenX(0), 100);
    EXPECT_EQ(ScreenY(0), 100);
    EXPECT_EQ(ScreenY(-10), 0);
}

TEST_F(WorldWindowTest, WindowOfZeroWidthOrHeightIsRefused) {
    SetUp800x600();
    SetWorldWindow(1, 1, -3, 3); // zero width
    SetWorldWindow(-1, 1, 2, 2); // zero height
    SetWorldWindow(0, 0, 0, 0);
    EXPECT_EQ(ScreenX(-4), 0);
    EXPECT_EQ(ScreenX(4), 799);
    EXPECT_EQ(ScreenX(0), 400);
    EXPECT_EQ(ScreenY(3), 0);
    EXPECT_EQ(ScreenY(-3), 599);
}

TEST_F(WorldWindowTest, ExtremeViewportDoesNotOverflow) {
    SetViewport(-2147483647 - 1, 2147483647, 0, 0);
    SetWorldWindow(0, 1, 0, 1);
    EXPECT_EQ(ScreenX(0), 2147483647); // v = -2^31: saturated
    EXPECT_EQ(ScreenX(0.5L), 0);       // the scale is 2^32 - 1: -2^31 + 2147483647.5 = -0.5, ties to 0
}

// Polylines draw into the canvas; before a main window exists Canvas() is an
// off-screen canvas of the screen's size.
class LineToPixelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetWorldWindow();
        ResetDrawingState();
        Canvas().fill(Qt::white);
    }
    static QRgb Colour(int number) {
        const Rgb c = PaletteColour(number);
        return qRgb(c.r, c.g, c.b);
    }
    static QRgb Pixel(int x, int y) { return Canvas().pixel(x, y) & 0xFFFFFFu; }
};

TEST_F(LineToPixelTest, StartsAtTheOriginThenAtTheEndOfThePreviousLine) {
    ASSERT_GE(Canvas().width(), 200);
    ASSERT_GE(Canvas().height(), 200);
    LineToPixel(0, 60, Red); // from (0, 0): no MoveToPixel yet
    EXPECT_EQ(Pixel(0, 30), Colour(Red) & 0xFFFFFFu);
    LineToPixel(80, 60, Blue); // from (0, 60)
    EXPECT_EQ(Pixel(40, 60), Colour(Blue) & 0xFFFFFFu);
    EXPECT_EQ(Pixel(40, 59), 0xFFFFFFu);
    EXPECT_EQ(Pixel(40, 30), 0xFFFFFFu); // nothing from (0, 0) straight to (80, 60)

    MoveToPixel(150, 100);
    LineToPixel(150, 160, Green);
    EXPECT_EQ(Pixel(150, 130), Colour(Green) & 0xFFFFFFu);
    EXPECT_EQ(Pixel(115, 80), 0xFFFFFFu); // MoveToPixel drew nothing from (80, 60)
    LineToPixel(190, 160, Blue);          // from (150, 160)
    EXPECT_EQ(Pixel(170, 160), Colour(Blue) & 0xFFFFFFu);
}

TEST_F(LineToPixelTest, ResetPutsTheCurrentPointBackToTheOrigin) {
    MoveToPixel(150, 150);
    ResetPixelPath();
    LineToPixel(60, 0, Red);
    EXPECT_EQ(Pixel(30, 0), Colour(Red) & 0xFFFFFFu);
    EXPECT_EQ(Pixel(105, 75), 0xFFFFFFu);
}

} // namespace

// The inside view on a 1920x1080 canvas: the date line's texts, the Sun's and
// the Moon's colours and limits, the background pictures kept or drawn anew,
// the optional equator and ecliptic, the entered grid spacing, and the sight
// lines of "l" from the observer's point.
#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "CanvasTestSupport.h"
#include "astro/TimeScales.h"

namespace {

using astro::Real;
using astro::Vector3;
using canvastest::Deg;
using namespace window;

TEST(InsideTexts, ClockRoundsSixtyMinutesToTheNextHour) {
    struct Row {
        Real clock;
        const char* text;
    };
    for (const Row& row :
         {Row{13.598L, "14.00"}, Row{9.598L, "10.00"}, Row{13.595L, "14.00"}, Row{13.594L, "13.59"},
          Row{9.05L, " 9.05"}, Row{0, " 0.00"}, Row{12, "12.00"}, Row{23.598L, "24.00"}})
        EXPECT_EQ(app::InsideClockText(row.clock), row.text) << static_cast<double>(row.clock);
}

TEST(InsideTexts, DateLineAndLocation) {
    const std::string location = app::InsideLocationText("54.3", "10.1");
    EXPECT_EQ(location, " (54.3°n.B., 10.1°ö.L.)");
    EXPECT_EQ(app::InsideLocationText("-33.9", "-70.6"), " (-33.9°n.B., -70.6°ö.L.)");
    EXPECT_EQ(app::InsideDateLine(5, 3, 2024, 13.598L, location),
              "5.3.2024, 14.00 Uhr (54.3°n.B., 10.1°ö.L.)");
    EXPECT_EQ(app::InsideDateLine(17, 12, 2026, 9.05L, ""), "17.12.2026,  9.05 Uhr");
}

TEST(InsideTexts, GridSpacing) {
    EXPECT_EQ(app::InsideGridSpacing(15 * Deg), 15 * Deg);
    EXPECT_EQ(app::InsideGridSpacing(0), app::DefaultInsideGridSpacing);
    EXPECT_EQ(app::InsideGridSpacing(-5 * Deg), app::DefaultInsideGridSpacing);
    EXPECT_EQ(app::InsideGridSpacing(std::nan("")), app::DefaultInsideGridSpacing);
    EXPECT_EQ(app::InsideGridSpacing(0.01L * Deg), app::MinInsideGridSpacing);
}

Vector3 Direction(Real azimuthDeg, Real altitudeDeg) {
    const Real az = azimuthDeg * Deg, alt = altitudeDeg * Deg;
    return astro::MakeVector(std::cos(alt) * std::cos(az), std::cos(alt) * std::sin(az), std::sin(alt));
}

// The pixel of a direction in the sky (azimuth from south toward west).
PixelPoint Pixel(Real azimuthDeg, Real altitudeDeg) {
    Real x = 0, y = 0;
    bool visible = false;
    app::ProjectSky(app::Params().eyePoint, Direction(azimuthDeg, altitudeDeg), x, visible, y);
    return PixelPoint{ScreenX(x), ScreenY(y)};
}

class InsideViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        canvastest::FreshCanvas(1920, 1080);
        StartRun(54.3L, 0, 30);
    }

    // A run's start as StartRun gives it (angles in radians), the previous
    // run's latitude kept as the prompts keep it.
    static void StartRun(Real latitudeDeg, Real azimuthDeg, Real spacingDeg) {
        app::Parameters& p = app::Params();
        p.previousLatitude = p.latitude;
        p.viewMode = 0;
        p.latitudeText = "54.3";
        p.longitudeText = "10.1";
        p.latitude = latitudeDeg * Deg;
        p.longitude = 10.1L * Deg;
        p.centralAzimuth = azimuthDeg * Deg;
        p.gridSpacing = spacingDeg * Deg;
        p.startDay = 17;
        p.startMonth = 3;
        p.startYear = 2024;
        p.startTime = 17;
        app::PrepareScene();
        app::PrepareInsideView();
    }

    static void PlaceSun(Real azimuthDeg, Real altitudeDeg) {
        app::SceneState& s = app::Scene();
        s.sunSky = Direction(azimuthDeg, altitudeDeg);
        bool visible = false;
        app::ProjectSky(app::Params().eyePoint, s.sunSky, s.sunWorldX, visible, s.sunWorldY);
        const app::SunHeightClass c = app::ClassifySunAltitude(altitudeDeg * Deg);
        s.sunAboveHorizon = c.aboveHorizon;
        s.sunInTwilight = c.inTwilight;
        s.skyColour = c.skyColour;
    }
    static void PlaceMoon(Real azimuthDeg, Real altitudeDeg, Real phaseDeg = 0, Real limbDeg = 0) {
        app::SceneState& s = app::Scene();
        s.moonSky = Direction(azimuthDeg, altitudeDeg);
        bool visible = false;
        app::ProjectSky(app::Params().eyePoint, s.moonSky, s.moonWorldX, visible, s.moonWorldY);
        s.phaseAngle = phaseDeg * Deg;
        s.brightLimbAngle = limbDeg * Deg;
    }
    static QImage Picture(app::BackgroundIndex i) {
        DrawScreenPicture(app::BackgroundPicture(i));
        return Canvas().copy();
    }
};

TEST_F(InsideViewTest, SunColourAndTheTenDegreeLimit) {
    struct Row {
        Real azimuthDeg, altitudeDeg;
        int colour; // -1: not drawn
    };
    for (const Row& row : {Row{40, 5, Yellow}, Row{40, 0, Yellow}, Row{40, -5, Red}, Row{40, -9.9L, Red},
                           Row{40, -10, -1}, Row{40, -14, -1},
                           // Behind the eye it would land on the southern sky.
                           Row{180, 20, -1}}) {
        PlaceSun(row.azimuthDeg, row.altitudeDeg);
        PlaceMoon(-30, -40);
        app::DrawInsideScene();
        const PixelPoint sun = Pixel(row.azimuthDeg, row.altitudeDeg);
        if (row.colour >= 0) {
            EXPECT_TRUE(canvastest::Is(sun.x, sun.y, row.colour)) << row.altitudeDeg;
            EXPECT_GT(canvastest::CountIn(sun.x, sun.y, 13, row.colour).count, 400) << row.altitudeDeg;
        } else {
            EXPECT_EQ(canvastest::CountAll(Red), 0) << row.altitudeDeg;
            EXPECT_EQ(canvastest::CountAll(Yellow), 0) << row.altitudeDeg;
        }
    }
}

TEST_F(InsideViewTest, MoonColoursAndTheTenDegreeLimit) {
    struct Row {
        Real altitudeDeg;
        int lit; // -1: not drawn
    };
    for (const Row& row : {Row{20, LightGray}, Row{0, LightGray}, Row{-5, DarkGray}, Row{-9.9L, DarkGray},
                           Row{-10, -1}, Row{-20, -1}}) {
        PlaceSun(40, 30);
        PlaceMoon(-30, row.altitudeDeg); // full moon: the whole disc lit
        app::DrawInsideScene();
        const PixelPoint moon = Pixel(-30, row.altitudeDeg);
        if (row.lit >= 0) {
            EXPECT_GT(canvastest::CountIn(moon.x, moon.y, 13, row.lit).count, 450) << row.altitudeDeg;
        } else {
            EXPECT_EQ(canvastest::CountIn(moon.x, moon.y, 16, LightGray).count, 0) << row.altitudeDeg;
            EXPECT_EQ(canvastest::CountIn(moon.x, moon.y, 16, DarkGray).count, 0) << row.altitudeDeg;
        }
    }
}

TEST_F(InsideViewTest, MoonBelowTheHorizonIsDarkGrayOnTheGround) {
    // By day on the LightGreen ground: a crescent (phase angle 120 degrees)
    // lit to the right; the half ellipse that cuts it, like the dark half,
    // has the colour of the ground.
    PlaceSun(40, 30);
    PlaceMoon(-30, -5, 120, 0);
    app::DrawInsideScene();
    const PixelPoint m = Pixel(-30, -5);
    EXPECT_TRUE(canvastest::Is(m.x + 3, m.y, LightGreen));
    EXPECT_TRUE(canvastest::Is(m.x + 12, m.y, DarkGray));
    EXPECT_TRUE(canvastest::Is(m.x - 8, m.y, LightGreen));
    // Above the horizon the cut is the sky's colour.
    PlaceMoon(-30, 20, 120, 0);
    app::DrawInsideScene();
    const PixelPoint up = Pixel(-30, 20);
    EXPECT_TRUE(canvastest::Is(up.x + 3, up.y, LightBlue));
    EXPECT_TRUE(canvastest::Is(up.x + 12, up.y, LightGray));
}

TEST_F(InsideViewTest, PicturesAreDrawnWhenNeededKeptInTheSameHemisphereAndDrawnAnewOtherwise) {
    struct Row {
        const char* name;
        Real latitudeDeg, azimuthDeg, spacingDeg;
        bool drawn;
    };
    for (const Row& row :
         {Row{"40 after 54.3", 40, 0, 30, false}, Row{"-30 after 54.3", -30, 0, 30, true},
          Row{"another central azimuth", 40, 20, 30, true}, Row{"another grid spacing", 40, 0, 15, true},
          Row{"the equator", 0, 0, 30, true}}) {
        canvastest::FreshCanvas(1920, 1080);
        StartRun(54.3L, 0, 30);
        EXPECT_EQ(app::InsideView().picturesDrawn, 0); // no frame has needed one yet
        PlaceSun(40, 30);
        PlaceMoon(-30, -40);
        app::DrawInsideScene();
        ASSERT_EQ(app::InsideView().picturesDrawn, 1); // the day picture
        Canvas().fill(canvastest::Colour(Magenta));
        StartRun(row.latitudeDeg, row.azimuthDeg, row.spacingDeg);
        const PixelPoint sky = Pixel(row.azimuthDeg + 7, 8); // between the lines of every spacing here
        EXPECT_TRUE(canvastest::Is(sky.x, sky.y, Magenta)) << row.name; // the run start draws none
        // Either way the frame shows a day picture: the kept one, or a new one.
        app::DrawInsideScene();
        EXPECT_EQ(app::InsideView().picturesDrawn, row.drawn ? 2 : 1) << row.name;
        EXPECT_TRUE(canvastest::Is(sky.x, sky.y, LightBlue)) << row.name;
    }
}

TEST_F(InsideViewTest, EquatorAndEclipticOnlyWhenAskedFor) {
    PlaceSun(40, -30); // night
    PlaceMoon(-30, -40);
    const QImage night = Picture(app::NightPicture);
    const int top = app::Run().textLineY;
    auto changedBelowBand = [&night, top](long& gray) {
        long changed = 0;
        gray = 0;
        for (int y = top; y < night.height(); ++y)
            for (int x = 0; x < night.width(); ++x)
                if (Canvas().pixel(x, y) != night.pixel(x, y)) {
                    ++changed;
                    if (canvastest::Is(x, y, LightGray)) ++gray;
                }
        return changed;
    };
    struct Row {
        bool equator, ecliptic;
    };
    for (const Row& row : {Row{false, false}, Row{true, false}, Row{false, true}}) {
        app::Params().drawEquator = row.equator;
        app::Params().drawEcliptic = row.ecliptic;
        app::DrawInsideScene();
        long gray = 0;
        const long changed = changedBelowBand(gray);
        if (!row.equator && !row.ecliptic) {
            EXPECT_EQ(changed, 0);
        } else {
            EXPECT_GT(changed, 500) << row.equator;
            EXPECT_EQ(gray, changed) << row.equator;
        }
    }
}

TEST_F(InsideViewTest, GridUsesTheEnteredSpacing) {
    struct Row {
        Real spacingDeg;
        Real azimuthDeg, altitudeDeg; // a point on a grid line for 15 or 10, between lines for 30
        bool onLine;
    };
    for (const Row& row :
         {Row{30, 15, 16, false}, Row{30, -45, 44, false}, Row{15, 15, 16, true}, Row{15, -45, 44, true},
          Row{10, 20, 20, true}, Row{0, 15, 16, false}, Row{30, 30, 16, true}, Row{30, -60, 30, true}}) {
        canvastest::FreshCanvas(1920, 1080);
        StartRun(54.3L, 0, row.spacingDeg);
        Picture(app::DayPicture);
        const PixelPoint p = Pixel(row.azimuthDeg, row.altitudeDeg);
        EXPECT_EQ(canvastest::Near(p.x, p.y, LightGray, 1), row.onLine)
            << row.spacingDeg << ": " << row.azimuthDeg << "/" << row.altitudeDeg;
    }
}

TEST_F(InsideViewTest, PictureLayout) {
    const QImage day = Picture(app::DayPicture);
    const app::RunState& run = app::Run();
    // The observer's point is the projection of the origin, a third of a
    // world unit below the horizon's middle.
    EXPECT_EQ(run.observerX, ScreenX(0));
    EXPECT_NEAR(run.observerY, ScreenY(-1.0L / 3), 1);
    EXPECT_TRUE(canvastest::Is(run.observerX, run.observerY, LightRed));
    // The date line's row: 50 pixels above the point 80 degrees high in the east.
    Real x = 0, y = 0;
    bool visible = false;
    app::ProjectSky(app::Params().eyePoint, Direction(-90, 80), x, visible, y);
    EXPECT_EQ(run.textLineY, ScreenY(y) - 50);
    EXPECT_TRUE(canvastest::Is(100, run.textLineY - 1, Black));
    EXPECT_TRUE(canvastest::Is(1919, run.textLineY - 1, Black));
    // The horizon runs from beyond the right edge to beyond the left one.
    const app::InsideViewState& s = app::InsideView();
    ASSERT_GE(s.horizonPoints.size(), 3u);
    EXPECT_GT(s.horizonPoints.front().x, MaxX());
    EXPECT_LT(s.horizonPoints.back().x, 0);
    // Ground below the horizon, sky above it.
    const PixelPoint ground = Pixel(-40, -8), sky = Pixel(-15, 15);
    EXPECT_TRUE(canvastest::Is(ground.x, ground.y, LightGreen));
    EXPECT_TRUE(canvastest::Is(sky.x, sky.y, LightBlue));
    // At night the ground lines are black on Green.
    Picture(app::NightPicture);
    const PixelPoint west = Pixel(90, 0);
    const PixelPoint middle{(run.observerX + west.x) / 2, (run.observerY + west.y) / 2};
    EXPECT_TRUE(canvastest::Near(middle.x, middle.y, Black, 1));
    EXPECT_TRUE(canvastest::Is(ground.x, ground.y, Green));
    // The compass letters stand where the horizon directions at radius 0.9 project.
    for (Real azimuth : {0, -90, 90}) {
        Real lx = 0, ly = 0;
        const Vector3 d = Direction(azimuth, 0);
        app::ProjectSky(app::Params().eyePoint, astro::MakeVector(0.9L * d.X, 0.9L * d.Y, 0), lx, visible,
                        ly);
        EXPECT_GT(canvastest::CountIn(ScreenX(lx), ScreenY(ly), 6, White).count, 5) << azimuth;
    }
}

TEST_F(InsideViewTest, SightLinesFromTheObserver) {
    PlaceSun(40, 20);
    PlaceMoon(-30, 35);
    app::DrawInsideScene();
    app::PerformKey('l');
    const app::RunState& run = app::Run();
    const PixelPoint sun = Pixel(40, 20), moon = Pixel(-30, 35);
    EXPECT_TRUE(canvastest::Near((run.observerX + sun.x) / 2, (run.observerY + sun.y) / 2, LightRed, 1));
    EXPECT_TRUE(canvastest::Near((run.observerX + moon.x) / 2, (run.observerY + moon.y) / 2, Yellow, 1));
}

} // namespace

// The discs on the canvas: the inside view's Moon at known phases, and the
// outside view checked against one viewer per picture.
//
// The viewer of an outside picture is taken from the globe hooks alone: the
// Earth-fixed directions that TransformGlobePoint turns to the screen's right,
// up and depth. The Sun and the Moon are brought into the Earth-fixed frame
// by plain astronomy (ecliptic to equatorial by the obliquity, equatorial to
// Earth-fixed by the Greenwich sidereal time; the horizon frame from the
// site's local east, north and zenith), so the expectations do not use the
// code under test: the angle psi at the disc between the viewer and the Sun
// gives the lit share (1 + cos psi) / 2.
#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "CanvasTestSupport.h"
#include "app/OutsideView.h"
#include "app/Panel.h"
#include "astro/TimeScales.h"

namespace {

using astro::Real;
using astro::Vector3;
using canvastest::Deg;
using namespace window;

Vector3 V(Real x, Real y, Real z) {
    return astro::MakeVector(x, y, z);
}
Real Dot(const Vector3& a, const Vector3& b) {
    return a.X * b.X + a.Y * b.Y + a.Z * b.Z;
}
Vector3 Unit(Vector3 v) {
    astro::Normalise(v);
    return v;
}

// ---- DrawInsideMoon ---------------------------------------------------------

class InsideMoonTest : public ::testing::Test {
  protected:
    void SetUp() override { canvastest::FreshCanvas(400, 400); }
    // The Moon at the centre on a Blue sky; returns the lit pixels.
    static canvastest::ColourCount Draw(int r, Real phaseAngle, Real limbAngle) {
        Canvas().fill(canvastest::Colour(Blue));
        app::DrawInsideMoon(200, 200, r, Blue, LightGray, limbAngle, std::fabs(phaseAngle) - astro::Pi / 2);
        return canvastest::CountIn(200, 200, r + 2, LightGray);
    }
};

TEST_F(InsideMoonTest, HalfFullAndNew) {
    const long full = Draw(15, 0, 0).count;
    EXPECT_NEAR(full, astro::Pi * 15 * 15, 0.1 * astro::Pi * 15 * 15);
    EXPECT_TRUE(canvastest::Is(190, 200, LightGray) && canvastest::Is(210, 200, LightGray));
    EXPECT_TRUE(canvastest::Is(200, 190, LightGray) && canvastest::Is(200, 210, LightGray));

    // Phase angle pi/2, bright limb to the right: exactly the right half.
    const canvastest::ColourCount half = Draw(15, astro::Pi / 2, 0);
    EXPECT_NEAR(half.count, full / 2.0, 0.06 * full);
    EXPECT_TRUE(canvastest::Is(208, 200, LightGray));
    EXPECT_TRUE(canvastest::Is(192, 200, Blue)); // the dark half is the sky
    for (int y = 185; y <= 215; ++y)
        for (int x = 185; x < 199; ++x)
            EXPECT_FALSE(canvastest::Is(x, y, LightGray)) << x << "," << y;

    // New moon: the lit half is covered completely.
    EXPECT_EQ(Draw(15, astro::Pi, 0).count, 0);
    EXPECT_EQ(Draw(15, -astro::Pi, 1.0L).count, 0);
}

TEST_F(InsideMoonTest, LitShareFollowsThePhaseAngle) {
    const int r = 60;
    const double full = static_cast<double>(Draw(r, 0, 0).count);
    for (Real phaseDeg : {20, 45, 60, 90, 110, 135, 160, -30, -100, -150}) {
        const double expected = (1 + std::cos(phaseDeg * Deg)) / 2;
        EXPECT_NEAR(Draw(r, phaseDeg * Deg, 0.3L).count / full, expected, 0.03) << phaseDeg;
    }
}

TEST_F(InsideMoonTest, LitSideTowardTheBrightLimb) {
    for (Real limbDeg : {0, 30, 90, 135, 180, -45, -120}) {
        for (Real phaseDeg : {60, 100, 140}) {
            const canvastest::ColourCount lit = Draw(40, phaseDeg * Deg, limbDeg * Deg);
            const double angle = std::atan2(lit.sumY, lit.sumX) / Deg;
            EXPECT_LT(canvastest::AngleBetweenDeg(angle, limbDeg), 3) << limbDeg << " " << phaseDeg;
        }
    }
}

// ---- The outside view against one viewer ------------------------------------

// The Earth-fixed directions of the screen's right and up and of the depth
// away from the viewer, as the globe hooks turn them.
struct GlobeAxes {
    Vector3 right, up, away;
};
GlobeAxes AxesOfGlobe() {
    auto turned = [](Real x, Real y, Real z) {
        earth::GlobePoint p;
        p.w = 1;
        p.x = static_cast<float>(x);
        p.y = static_cast<float>(y);
        p.z = static_cast<float>(z);
        return app::TransformGlobePoint(p);
    };
    const earth::GlobePoint ex = turned(1, 0, 0), ey = turned(0, 1, 0), ez = turned(0, 0, 1);
    return {V(ex.x, ey.x, ez.x), V(ex.z, ey.z, ez.z), V(ex.y, ey.y, ez.y)};
}

// An ecliptic vector in the Earth-fixed frame at the Greenwich sidereal time gst.
Vector3 EclipticToEarthFixed(const Vector3& v, Real gst) {
    const Real e = 23.5L * Deg;
    const Real y = v.Y * std::cos(e) - v.Z * std::sin(e);
    const Real z = v.Y * std::sin(e) + v.Z * std::cos(e);
    return V(v.X * std::cos(gst) + y * std::sin(gst), -v.X * std::sin(gst) + y * std::cos(gst), z);
}
Vector3 EarthFixedToEcliptic(const Vector3& v, Real gst) {
    const Real e = 23.5L * Deg;
    const Real x = v.X * std::cos(gst) - v.Y * std::sin(gst);
    const Real y = v.X * std::sin(gst) + v.Y * std::cos(gst);
    return V(x, y * std::cos(e) + v.Z * std::sin(e), -y * std::sin(e) + v.Z * std::cos(e));
}
// A vector of the horizon-based model frame (perspective 2) in the
// Earth-fixed frame: X west, Y up, Z south at a northern site; X east, Y up,
// Z north otherwise.
Vector3 HorizonModelToEarthFixed(const Vector3& v, Real lat, Real lon) {
    const Vector3 up = V(std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat));
    const Vector3 north = V(-std::sin(lat) * std::cos(lon), -std::sin(lat) * std::sin(lon), std::cos(lat));
    const Vector3 east = V(-std::sin(lon), std::cos(lon), 0);
    const Real s = lat > 0 ? -1 : 1;
    return V(s * v.X * east.X + v.Y * up.X + s * v.Z * north.X,
             s * v.X * east.Y + v.Y * up.Y + s * v.Z * north.Y,
             s * v.X * east.Z + v.Y * up.Z + s * v.Z * north.Z);
}

struct ViewCase {
    int perspective;
    Real tiltDeg;
    Real latitudeDeg;
};
void PrintTo(const ViewCase& c, std::ostream* os) {
    *os << "perspective " << c.perspective << ", tilt " << static_cast<double>(c.tiltDeg) << ", latitude "
        << static_cast<double>(c.latitudeDeg);
}

class OutsideViewerTest : public ::testing::TestWithParam<ViewCase> {
  protected:
    void SetUp() override {
        canvastest::FreshCanvas(1000, 1000);
        const ViewCase c = GetParam();
        app::Parameters& p = app::Params();
        app::RunState& run = app::Run();
        p.viewMode = 1;
        p.latitude = c.latitudeDeg * Deg;
        p.longitude = 10.1L * Deg;
        app::PrepareScene();
        app::PrepareDiscs();
        run.perspective = static_cast<std::uint8_t>(c.perspective);
        // The matrices as the run start, "h" and the tilt keys leave them.
        const Real latitudeAngle = p.latitude > 0 ? p.latitude - app::ObliquityRadians
                                                  : astro::Pi - app::ObliquityRadians - p.latitude;
        astro::RotationAboutX(run.latitudeViewMatrix, latitudeAngle);
        astro::RotationAboutX(run.latitudeViewInverse, -latitudeAngle);
        turn_ = (c.perspective == 0 ? 0 : latitudeAngle) + c.tiltDeg * Deg;
        astro::RotationAboutX(run.viewMatrix, turn_);
        astro::RotationAboutX(run.inverseViewMatrix, -turn_);
        app::SetOutsideViewWindow();
        run.earthCentreX = ScreenX(0);
        run.earthCentreY = ScreenY(0);
        // No coastlines and no grid: the disc's colours alone.
        earth::Globe().outlines.loaded = true;
        earth::Globe().grid.loaded = true;
    }
    Real turn_ = 0;
};

// Instants every 2.5 days through a lunation in January and one in July 2024.
std::vector<Real> Instants() {
    std::vector<Real> jds;
    for (Real start : {astro::JulianDateFromCivil({11, 1, 2024}, 12.57L),
                       astro::JulianDateFromCivil({5, 7, 2024}, 23.57L)})
        for (int k = 0; k < 12; ++k)
            jds.push_back(start + 2.5L * k);
    return jds;
}

// Checks one drawn disc of radius r: its lit share against the viewer and
// its lit side against the Sun's direction on the screen.
// The Earth's observer dot, where it was drawn, is left out.
void ExpectPhase(int cx, int cy, int r, int lit, Real cosPsi, Real sunRight, Real sunUp, const char* what) {
    const int dotX = app::Discs().previousObserverX, dotY = app::Discs().previousObserverY;
    const int skip = canvastest::Is(dotX, dotY, LightRed) ? 9 : -1;
    const canvastest::ColourCount l = canvastest::CountIn(cx, cy, r, lit, dotX, dotY, skip);
    const canvastest::ColourCount all = canvastest::CountIn(cx, cy, r, -1, dotX, dotY, skip);
    const double expected = (1 + static_cast<double>(cosPsi)) / 2;
    EXPECT_NEAR(static_cast<double>(l.count) / static_cast<double>(all.count), expected, 0.03) << what;
    if (expected > 0.03 && expected < 0.97) {
        // The lit pixels' centroid against that of all counted pixels.
        const double share = static_cast<double>(l.count) / static_cast<double>(all.count);
        const double drawn = std::atan2(l.sumY - share * all.sumY, l.sumX - share * all.sumX) / Deg;
        const double sun = std::atan2(static_cast<double>(sunUp), static_cast<double>(sunRight)) / Deg;
        EXPECT_LT(canvastest::AngleBetweenDeg(drawn, sun), 5) << what << " share " << expected;
    }
}

TEST_P(OutsideViewerTest, PhasesSubSolarPointAndDepthForTheGlobesViewer) {
    const ViewCase c = GetParam();
    const app::Parameters& p = app::Params();
    const app::RunState& run = app::Run();
    const app::SceneState& scene = app::Scene();
    int moonsChecked = 0;
    for (Real jd : Instants()) {
        app::Run().currentJD = jd;
        app::ComputeOutsideScene();
        const Real gst = scene.localSiderealTime - p.longitude;
        const GlobeAxes axes = AxesOfGlobe();
        const Vector3 viewer = V(-axes.away.X, -axes.away.Y, -axes.away.Z);

        Vector3 sun, moon;
        if (c.perspective == 2) {
            sun = Unit(HorizonModelToEarthFixed(scene.sunVector, p.latitude, p.longitude));
            moon = HorizonModelToEarthFixed(scene.moonVector, p.latitude, p.longitude);
            // The frames of this test agree with the scene's horizon frame.
            Vector3 eclipticSun;
            astro::SphericalToVector(scene.sunEcliptic, eclipticSun);
            ASSERT_GT(Dot(sun, Unit(EclipticToEarthFixed(eclipticSun, gst))), 1 - 1e-9);
            // The viewer stands on the -Z side of the horizon frame.
            ASSERT_GT(Dot(viewer, HorizonModelToEarthFixed(V(0, 0, -1), p.latitude, p.longitude)), 1 - 1e-6);
        } else {
            sun = Unit(EclipticToEarthFixed(scene.sunVector, gst));
            moon = EclipticToEarthFixed(scene.moonVector, gst);
            // The viewer's ecliptic latitude is 90 degrees less the view's turn.
            ASSERT_NEAR(EarthFixedToEcliptic(viewer, gst).Z, std::cos(turn_), 1e-6);
        }
        const Real cosPsi = Dot(viewer, sun);

        // The Earth.
        Canvas().fill(Qt::black);
        app::DrawEarth(LightBlue);
        ExpectPhase(run.earthCentreX, run.earthCentreY, run.earthRadiusPx - 1, LightBlue, cosPsi,
                    Dot(axes.right, sun), Dot(axes.up, sun), "Earth");
        // The sub-solar point lies on the lit half, the anti-solar point on the dark one.
        for (Real sign : {1, -1}) {
            earth::GlobePoint g;
            g.w = 1;
            g.x = static_cast<float>(sign * sun.X);
            g.y = static_cast<float>(sign * sun.Y);
            g.z = static_cast<float>(sign * sun.Z);
            const earth::GlobePoint t = app::TransformGlobePoint(g);
            if (t.y > -0.3f) continue; // hidden, or too near the rim
            std::int32_t x = 0, y = 0;
            app::ProjectGlobePoint(t, x, y);
            EXPECT_TRUE(canvastest::Is(x, y, sign > 0 ? LightBlue : DarkGray))
                << "jd " << static_cast<double>(jd);
        }

        // The Moon at its place for the same viewer, in front of the Earth
        // exactly when it is nearer to the viewer.
        EXPECT_EQ(app::MoonInFrontOfEarth(), Dot(viewer, moon) > 0) << "jd " << static_cast<double>(jd);
        if (c.perspective == 2 && scene.moonVector.Y < 0) continue;
        int mx = 0, my = 0;
        if (c.perspective == 2) {
            mx = ScreenX(scene.moonVector.X);
            my = ScreenY(scene.moonVector.Y) - run.earthRadiusPx;
        } else {
            mx = ScreenX(Dot(axes.right, moon));
            my = ScreenY(Dot(axes.up, moon));
        }
        if (mx < 30 || my < 30 || mx > 970 || my > 970) continue; // not wholly on the canvas
        Canvas().fill(Qt::black);
        app::DrawMoon(LightGray);
        const canvastest::ColourCount lit = canvastest::CountIn(mx, my, 40, LightGray);
        const canvastest::ColourCount dark = canvastest::CountIn(mx, my, 40, DarkGray);
        const double n = static_cast<double>(lit.count + dark.count);
        ASSERT_GT(n, 0);
        EXPECT_LE(std::fabs((lit.sumX + dark.sumX) / n), 1.0)
            << "Moon's centre, jd " << static_cast<double>(jd);
        EXPECT_LE(std::fabs((lit.sumY + dark.sumY) / n), 1.0)
            << "Moon's centre, jd " << static_cast<double>(jd);
        const Vector3 sunFromMoon =
            Unit(V(sun.X * scene.sunVector.Length - moon.X, sun.Y * scene.sunVector.Length - moon.Y,
                   sun.Z * scene.sunVector.Length - moon.Z));
        ExpectPhase(mx, my, run.outsideDiscRadius - 1, LightGray, Dot(viewer, sunFromMoon),
                    Dot(axes.right, sunFromMoon), Dot(axes.up, sunFromMoon), "Moon");
        ++moonsChecked;
    }
    EXPECT_GE(moonsChecked, 4);
}

INSTANTIATE_TEST_SUITE_P(
    PerspectivesAndTilts, OutsideViewerTest,
    ::testing::Values(ViewCase{0, 0, 54.3L}, ViewCase{0, 30, 54.3L}, ViewCase{0, 60, 54.3L},
                      ViewCase{0, 90, 54.3L}, ViewCase{0, -30, 54.3L}, ViewCase{0, -60, 54.3L},
                      ViewCase{0, -90, 54.3L}, ViewCase{1, 0, 54.3L}, ViewCase{1, 50, 54.3L},
                      ViewCase{1, -60, 54.3L}, ViewCase{1, -120, 54.3L}, ViewCase{1, 0, -30},
                      ViewCase{1, 40, -30}, ViewCase{2, 0, 54.3L}, ViewCase{2, 30, 54.3L},
                      ViewCase{2, -50, 54.3L}, ViewCase{2, 0, -30}, ViewCase{2, 20, -30},
                      ViewCase{0, 90, -30}, ViewCase{0, -90, -30}),
    [](const ::testing::TestParamInfo<ViewCase>& info) {
        auto name = [](Real v) {
            return (v < 0 ? "m" : "") + std::to_string(static_cast<int>(std::fabs(v)));
        };
        return "perspective" + std::to_string(info.param.perspective) + "_tilt" + name(info.param.tiltDeg) +
               "_latitude" + name(info.param.latitudeDeg);
    });

// ---- The hemisphere of the horizon perspective ---------------------------------

TEST(HorizonViewHemisphereTest, TheGlobeTheSunAndTheWordsAgreeOnBothSidesOfTheEquator) {
    for (Real latitudeDeg : {-0.1L, 0.0L, 0.1L}) {
        canvastest::FreshCanvas(1000, 1000);
        app::Parameters& p = app::Params();
        p.latitude = latitudeDeg * Deg;
        p.longitude = 10.1L * Deg;
        app::PrepareScene();
        app::PrepareOutsideView(); // the inside view: the run start's matrices only
        p.viewMode = 1;
        app::Run().perspective = 2;
        app::Run().currentJD = astro::JulianDateFromCivil({21, 3, 2026}, 8.00L); // the Sun 25° up in the east
        app::ComputeOutsideScene();
        // The site on top of the globe; the rising Sun and the words on the side of the globe's east.
        const earth::GlobePoint site = app::TransformGlobePoint(app::Discs().observerGlobePoint);
        EXPECT_TRUE(std::fabs(site.x) < 1e-5f && std::fabs(site.z - 1) < 1e-5f) << latitudeDeg;
        const bool eastRight =
            app::TransformGlobePoint(earth::SphericalToGlobePoint(p.longitude + 30 * Deg, p.latitude, 1)).x >
            0;
        EXPECT_EQ(app::Scene().sunVector.X > 0, eastRight) << latitudeDeg;
        EXPECT_STREQ(app::HorizonViewTexts(p.latitude).rightWord, eastRight ? "Osten" : "Westen")
            << latitudeDeg;
        EXPECT_STREQ(app::HorizonViewTexts(p.latitude).heading,
                     eastRight ? "Richtung Norden" : "Richtung Süden");
    }
}

// ---- Depth order where the discs overlap ------------------------------------

class DepthOrderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        canvastest::FreshCanvas(1000, 1000);
        app::Params().viewMode = 1;
        app::Params().latitude = 54.3L * Deg;
        app::PrepareDiscs();
        app::SetOutsideViewWindow();
        app::Run().earthCentreX = ScreenX(0);
        app::Run().earthCentreY = ScreenY(0);
        earth::Globe().outlines.loaded = true;
        earth::Globe().grid.loaded = true;
        astro::RotationAboutY(app::Scene().globeSpinMatrix, 0);
        Tilt(0);
        app::Scene().sunVector = V(23000, 0, 0); // the Sun to the right of both discs
    }
    static void Tilt(Real deg) {
        astro::RotationAboutX(app::Run().viewMatrix, deg * Deg);
        astro::RotationAboutX(app::Run().inverseViewMatrix, -deg * Deg);
    }
    // Whether the Moon's disc, which lies over the Earth's, shows in front.
    static bool MoonShown() {
        const Vector3 v = app::ViewerCoordinates(app::Scene().moonVector);
        const int cx = ScreenX(v.X), cy = ScreenY(v.Y);
        EXPECT_LT(std::hypot(cx - app::Run().earthCentreX, cy - app::Run().earthCentreY), 100 - 25);
        return canvastest::CountIn(cx, cy, 20, LightGray).count > 300 &&
               canvastest::CountIn(cx, cy, 20, LightBlue).count == 0;
    }
};

TEST_F(DepthOrderTest, TheNearerDiscIsDrawnLastAtForwardAndBackwardTilts) {
    // Seen edge-on: tilted forward by 90 degrees the viewer looks from the
    // model's -Y side, tilted back from +Y. The Moon 60 Earth radii along Y
    // stands right in front of or right behind the Earth's centre.
    struct Row {
        Real tiltDeg, moonY;
        bool moonInFront;
    };
    for (const Row& row : {Row{90, -60, true}, Row{90, 60, false}, Row{-90, 60, true}, Row{-90, -60, false},
                           Row{85, -60, true}, Row{-85, -60, false}}) {
        Tilt(row.tiltDeg);
        app::Scene().moonVector = V(0, row.moonY, 0);
        Canvas().fill(Qt::black);
        app::DrawMoonAndEarthInDepthOrder();
        EXPECT_EQ(MoonShown(), row.moonInFront) << row.tiltDeg << " " << row.moonY;
        EXPECT_EQ(app::MoonInFrontOfEarth(), row.moonInFront);
    }
}

TEST_F(DepthOrderTest, TheTiltKeyRedrawsInDepthOrder) {
    // From a backward tilt of 80 degrees another 10 down: the viewer on the
    // +Y side, the Moon at +Y in front.
    app::Run().perspective = 0;
    Tilt(-80);
    astro::RotationAboutX(app::Run().tiltForward, 10 * Deg);
    astro::RotationAboutX(app::Run().tiltBack, -10 * Deg);
    app::Scene().moonVector = V(0, 60, 0);
    Canvas().fill(Qt::black);
    app::PerformKey(16); // down arrow
    EXPECT_TRUE(MoonShown());
}

// ---- Observer dot, erasing, perspective 2 -----------------------------------

class OutsideDiscTest : public DepthOrderTest {};

std::vector<std::int32_t> lineWidths;
void RecordLineWidth(std::int32_t width) {
    lineWidths.push_back(width);
    SetLineWidth(width);
}

TEST_F(OutsideDiscTest, ObserverDotAndOutlineWidthFollowTheEarthsRadius) {
    // The north pole, turned 23.5 degrees toward the viewer at the ecliptic pole.
    app::Params().latitude = 90 * Deg;
    app::PrepareDiscs();
    earth::Globe().setLineWidth = RecordLineWidth;
    struct Row {
        std::int32_t earthRadius, dot, width;
    };
    for (const Row& row : {Row{113, 5, 2}, Row{112, 7, 1}, Row{200, 5, 2}, Row{60, 7, 1}}) {
        app::Run().earthRadiusPx = row.earthRadius;
        lineWidths.clear();
        Canvas().fill(Qt::black);
        app::DrawEarth(LightBlue);
        ASSERT_FALSE(lineWidths.empty());
        EXPECT_EQ(lineWidths.front(), row.width) << row.earthRadius;
        // The dot's filled inside is 2 * dot - 1 pixels across, give or take one.
        const int x = app::Discs().previousObserverX, y = app::Discs().previousObserverY;
        EXPECT_EQ(x, app::Run().earthCentreX);
        EXPECT_NEAR(y, app::Run().earthCentreY - row.earthRadius * std::sin(23.5 * Deg), 1);
        int width = 0;
        for (int dx = -12; dx <= 12; ++dx)
            width += canvastest::Is(x + dx, y, LightRed) ? 1 : 0;
        EXPECT_NEAR(width, 2 * row.dot - 1, 1) << row.earthRadius;
    }
}

TEST_F(OutsideDiscTest, NoDotOnTheFarHemisphereButThePreviousOneIsErased) {
    app::Params().latitude = -90 * Deg; // the south pole faces away
    app::PrepareDiscs();
    const int oldX = app::Run().earthCentreX + 150, oldY = app::Run().earthCentreY;
    app::Discs().previousObserverX = oldX;
    app::Discs().previousObserverY = oldY;
    SetFillColour(255, LightRed, LightRed);
    FillEllipse(oldX, oldY, 5, 5);
    app::DrawEarth(LightBlue);
    EXPECT_EQ(canvastest::CountAll(LightRed), 0);
    EXPECT_TRUE(canvastest::Is(oldX, oldY, Black));
    EXPECT_EQ(app::Discs().previousObserverX, oldX);
    EXPECT_EQ(app::Discs().previousObserverY, oldY);
}

TEST_F(OutsideDiscTest, BlackErasesTheMoonAndTheEarth) {
    app::Scene().moonVector = V(40, 20, 3);
    app::DrawMoon(LightGray);
    app::DrawEarth(LightBlue);
    ASSERT_GT(canvastest::CountAll(LightGray), 0);
    ASSERT_GT(canvastest::CountAll(LightBlue), 0);
    app::DrawMoon(Black);
    app::DrawEarth(Black);
    EXPECT_EQ(canvastest::CountAll(LightGray), 0);
    EXPECT_EQ(canvastest::CountAll(DarkGray), 0);
    EXPECT_EQ(canvastest::CountAll(LightBlue), 0);
}

TEST_F(OutsideDiscTest, MoonBelowTheHorizonOfPerspectiveTwoNeitherDrawsNorErases) {
    app::Run().perspective = 2;
    app::Scene().moonVector = V(10, -2, 50);
    Canvas().fill(canvastest::Colour(Magenta));
    const QImage before = Canvas().copy();
    app::DrawMoon(LightGray);
    app::DrawMoon(Black);
    EXPECT_TRUE(Canvas() == before);
    // Above the horizon it is drawn one Earth radius above the Earth's centre.
    app::Scene().moonVector = V(10, 2, 50);
    app::DrawMoon(LightGray);
    const int x = ScreenX(10), y = ScreenY(2) - app::Run().earthRadiusPx;
    EXPECT_EQ(canvastest::CountIn(x, y, 20, Magenta).count, 0);
}

TEST_F(OutsideDiscTest, BlackSunSymbolOnlyErases) {
    app::Run().perspective = 2;
    app::Scene().sunVector = V(10000, 8000, 15000); // above the horizon
    app::DrawSunSymbol(Yellow);
    const int x = app::Discs().previousSunX, y = app::Discs().previousSunY;
    const Real length = app::Scene().sunVector.Length;
    EXPECT_EQ(x, ScreenX(60 * 10000 / length));
    EXPECT_EQ(y, ScreenY(60 * 8000 / length) - app::Run().earthRadiusPx);
    ASSERT_GT(canvastest::CountIn(x, y, 25, Yellow).count, 1000);
    app::DrawSunSymbol(Black);
    EXPECT_EQ(canvastest::CountAll(Yellow), 0);
    EXPECT_EQ(app::Discs().previousSunX, x);
    EXPECT_EQ(app::Discs().previousSunY, y);
    // Below the horizon the old symbol goes and no new one comes.
    app::DrawSunSymbol(Yellow);
    app::Scene().sunVector = V(10000, -8000, 15000);
    app::DrawSunSymbol(Yellow);
    EXPECT_EQ(canvastest::CountAll(Yellow), 0);
}

// ---- The transform hook ------------------------------------------------------

// The points a globe drawing gave the visibility hook.
std::vector<earth::GlobePoint> seenInDrawing;
bool RecordSeen(const earth::GlobePoint& p) {
    seenInDrawing.push_back(p);
    return false;
}

// TransformGlobePoint in a drawing and outside one against its steps in
// extended precision (S, spin, tilt, the view's turn; perspective 2 the
// latitude circle's), with the matrices changed from drawing to drawing.
TEST(TransformGlobePoint, IsItsStepsAndFollowsTheMatricesFromDrawingToDrawing) {
    canvastest::FreshCanvas(400, 400);
    const struct {
        Real spinDeg, viewDeg;
        std::uint8_t perspective;
    } rows[] = {{0, 0, 0}, {37.5L, 0, 0}, {200, -40, 1}, {123, 70, 2}, {-15, 100, 2}};
    std::vector<earth::GlobePoint> points;
    for (Real lon = -170; lon < 180; lon += 47)
        for (Real lat : {-80, -20, 0, 35, 89})
            points.push_back(earth::SphericalToGlobePoint(lon * Deg, lat * Deg, 1));
    earth::OutlineSet set;
    earth::AddSegment(set, points.data(), static_cast<std::int32_t>(points.size()));
    app::RunState& run = app::Run();
    for (const auto& row : rows) {
        astro::RotationAboutY(app::Scene().globeSpinMatrix, row.spinDeg * Deg);
        astro::RotationAboutX(row.perspective == 2 ? run.latitudeViewInverse : run.inverseViewMatrix,
                              row.viewDeg * Deg);
        run.perspective = row.perspective;
        seenInDrawing.clear();
        earth::DrawSegments(set.segments.data(), set.count, app::TransformGlobePoint, app::ProjectGlobePoint,
                            RecordSeen, White,
                            {[](std::int32_t, std::int32_t) {}, [](std::int32_t, std::int32_t, int) {}});
        ASSERT_EQ(seenInDrawing.size(), points.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            Vector3 v = V(points[i].x, -static_cast<Real>(points[i].z), points[i].y);
            astro::ApplyMatrix(app::Scene().globeSpinMatrix, v);
            astro::ApplyMatrix(app::Discs().earthTiltMatrix, v);
            astro::ApplyMatrix(row.perspective == 2 ? run.latitudeViewInverse : run.inverseViewMatrix, v);
            for (const earth::GlobePoint& got : {seenInDrawing[i], app::TransformGlobePoint(points[i])}) {
                EXPECT_LT(std::fabs(got.x - v.X) + std::fabs(got.y - v.Y) + std::fabs(got.z - v.Z), 1e-6)
                    << "spin " << static_cast<double>(row.spinDeg) << ", point " << i;
                EXPECT_EQ(got.lon, points[i].lon); // the spherical part: the place on the Earth
            }
        }
    }
}

} // namespace

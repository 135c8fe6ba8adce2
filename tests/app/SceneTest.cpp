// Scene geometry: the inside view's projection, the Sun's height class, the
// outside view's vectors in the three perspectives, and the Moon's phase and
// bright limb checked against independently known situations.
//
// Sources of the expected values:
// - Instants of the Moon's phases: U.S. Naval Observatory, "Phases of the
//   Moon" tables for 2024 (UT, to the minute): last quarter Jan 4 03:30, new
//   moon Jan 11 11:57, first quarter Jan 18 03:53, full moon Jan 25 17:54,
//   new moon Mar 10 09:00, first quarter Mar 17 04:11, new moon Apr 8 18:21.
// - Eclipses (NASA Eclipse Web Site, F. Espenak): the total solar eclipse of
//   2024 April 8 (new moon 18:21 UT) and the total lunar eclipses of 2025
//   March 14 (full moon 06:55 UT) and 2025 September 7 (full moon 18:09 UT).
// - Greenwich mean sidereal time at 2000 January 1, 12 h UT: 18.697374558 h
//   (IAU 1982 expression; J. Meeus, Astronomical Algorithms, 2nd ed. 1998,
//   eq. 12.4).
// - Equatorial and horizon coordinates, position angle of the Moon's bright
//   limb and parallactic angle: Meeus, eqs. 13.3-13.6, 48.5 and 14.1.
#include "app/Scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/MainLoop.h"
#include "app/Parameters.h"
#include "astro/Moon.h"
#include "astro/Sun.h"
#include "astro/TimeScales.h"
#include "window/Graphics.h"
#include "window/WorldWindow.h"

namespace app {
namespace {

using astro::Pi;
using astro::Vector3;

constexpr Real Deg = Pi / 180;

// A run of the inside view at a site: the record as StartRun leaves it
// (angles in radians), the constants of the initialisation, and the inside
// world window of a screen of width x height pixels.
void StartSite(Real latitudeDeg, Real longitudeDeg, Real azimuthDeg = 0, int width = 1920,
               int height = 1080) {
    ResetParameters();
    ResetRunState();
    ResetScene();
    window::ResetWorldWindow();
    Parameters& p = Params();
    p.latitude = latitudeDeg * Deg;
    p.longitude = longitudeDeg * Deg;
    p.centralAzimuth = azimuthDeg * Deg;
    p.sinObliquity = std::sin(ObliquityRadians);
    p.cosObliquity = std::cos(ObliquityRadians);
    p.eyePoint = astro::MakeVector(-1.05L, 0, 0.35L);
    PrepareScene();
    SetInsideWorldWindow(width - 1, height - 1);
}

// The instant year-month-day hh:mm UT (the program's clock is MEZ = UT + 1 h).
Real JulianDateUT(int year, int month, int day, int hour, int minute) {
    return astro::JulianDateFromCivil(astro::CalendarDate{day, month, year}, hour + 1 + minute / 100.0L);
}

Real AzimuthOf(const Vector3& sky) {
    return std::atan2(sky.Y, sky.X);
}

// ---- ProjectSky -------------------------------------------------------------

struct ProjectionRow {
    const char* name;
    Real azimuthDeg, altitudeDeg, radius; // the direction, from south toward west
    Real worldX, worldY;
    bool visible;
};

// Central azimuth south; the eye at (-1.05, 0, 0.35). The observer (origin)
// lies at -0.35 * 2.05 / 1.05 + 0.35 = -1/3 on the picture plane, the
// horizon 90 degrees to the side at 2.05 / 1.05 = 1.95238, the zenith at
// 0.65 * 2.05 / 1.05 + 0.35 = 1.61905.
TEST(ProjectSky, WorkedExampleAndVisibility) {
    const ProjectionRow rows[] = {
        {"horizon at the central azimuth", 0, 0, 1, 0, 0, true},
        {"observer", 0, 0, 0, 0, -1.0L / 3, false},
        {"horizon due west, to the right", 90, 0, 1, 2.05L / 1.05L, -1.0L / 3, true},
        {"horizon due east, to the left", -90, 0, 1, -2.05L / 1.05L, -1.0L / 3, true},
        {"zenith", 0, 90, 1, 0, 0.65L * 2.05L / 1.05L + 0.35L, true},
        {"40 degrees high opposite the central azimuth", 180, 40, 1, 0, 0, false},
        {"10 degrees high opposite", 180, 10, 1, 0, 0, false},
        {"60 degrees high opposite: seen over the observer", 180, 60, 1, 0, 0, true},
    };
    StartSite(54.3L, 10.1L, 0);
    const Vector3 eye = Params().eyePoint;
    for (const ProjectionRow& r : rows) {
        astro::SphericalPos s{r.radius, r.azimuthDeg * Deg, r.altitudeDeg * Deg};
        Vector3 direction;
        astro::SphericalToVector(s, direction);
        Real x = 99, y = 99;
        bool visible = !r.visible;
        ProjectSky(eye, direction, x, visible, y);
        EXPECT_EQ(visible, r.visible) << r.name;
        if (r.azimuthDeg != 180) {
            EXPECT_NEAR(x, r.worldX, 1e-15L) << r.name;
            EXPECT_NEAR(y, r.worldY, 1e-15L) << r.name;
        }
    }
}

TEST(ProjectSky, OppositeDirectionFortyDegreesHighLiesBehind) {
    // P . (P - E) for P = (-cos 40, 0, sin 40): -0.7660 * 0.2840 + 0.6428 * 0.2928 < 0.
    StartSite(54.3L, 10.1L, 0);
    Vector3 direction = astro::MakeVector(-std::cos(40 * Deg), 0, std::sin(40 * Deg));
    Real x = 0, y = 0;
    bool visible = true;
    ProjectSky(Params().eyePoint, direction, x, visible, y);
    EXPECT_FALSE(visible);
}

TEST(ProjectSky, CentralAzimuthTurnsToTheMiddle) {
    // Facing west (azimuth 90): west in the middle, south on the left, north
    // on the right.
    StartSite(54.3L, 10.1L, 90);
    const Vector3 eye = Params().eyePoint;
    struct {
        Real azimuthDeg, worldX;
    } const rows[] = {{90, 0}, {0, -2.05L / 1.05L}, {180, 2.05L / 1.05L}};
    for (const auto& r : rows) {
        Vector3 d;
        astro::SphericalToVector(astro::SphericalPos{1, r.azimuthDeg * Deg, 0}, d);
        Real x = 99, y = 99;
        bool visible = false;
        ProjectSky(eye, d, x, visible, y);
        EXPECT_TRUE(visible) << r.azimuthDeg;
        EXPECT_NEAR(x, r.worldX, 1e-15L) << r.azimuthDeg;
        EXPECT_NEAR(y, r.azimuthDeg == 90 ? 0 : -1.0L / 3, 1e-15L) << r.azimuthDeg;
    }
}

TEST(ProjectSky, LineOfSightParallelToThePlaneKeepsTheOutputs) {
    StartSite(54.3L, 10.1L, 0);
    const Vector3 eye = Params().eyePoint;
    const Vector3 direction = astro::MakeVector(eye.X, 0.3L, 0.2L); // P.X = E.X
    Real x = 7, y = -8;
    bool visible = true;
    ProjectSky(eye, direction, x, visible, y);
    EXPECT_FALSE(visible);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, -8);
}

// ---- The equatorial coordinates of the inside view ---------------------------

// From the sphere's geometry: on the meridian the altitude is 90 - |latitude -
// declination|, south of the zenith for the smaller declination; at lower
// culmination latitude + declination - 90; a pole stands at the latitude's
// height; six hours from the meridian the equator meets the west or east point.
TEST(EquatorialOverlay, CurvePointsAtTwoSitesAndTwoSiderealTimes) {
    struct {
        const char* name;
        Real latitudeDeg, centralAzimuthDeg, lstHours, hourAngleHours, declinationDeg;
        Real azimuthDeg, altitudeDeg; // expected, azimuth from south toward west
        bool drawn;
    } const rows[] = {
        {"north pole", 54.3L, 0, 3, 7, 90, 180, 54.3L, true},
        {"equator on the meridian", 54.3L, 0, 17, 0, 0, 0, 35.7L, true},
        {"+60 north of the zenith", 54.3L, 0, 17, 0, 60, 180, 84.3L, true},
        {"+60 at lower culmination, behind the eye", 54.3L, 0, 3, 12, 60, 180, 24.3L, false},
        {"-60 below the horizon", 54.3L, 0, 3, 0, -60, 0, -24.3L, false},
        {"south pole, behind the eye", -33.9L, 180, 17, 5, -90, 0, 33.9L, false},
        {"equator on the meridian", -33.9L, 180, 3, 0, 0, 180, 56.1L, true},
        {"-60 south of the zenith", -33.9L, 180, 17, 0, -60, 0, 63.9L, true},
        {"+60 below the horizon", -33.9L, 180, 3, 0, 60, 180, -3.9L, false},
        {"equator in the west point", -33.9L, 180, 3, 6, 0, 90, 0, true},
        {"equator in the east point", -33.9L, 180, 17, -6, 0, -90, 0, true},
    };
    for (const auto& r : rows) {
        const Real lst = r.lstHours * 15 * Deg, rightAscension = lst - r.hourAngleHours * 15 * Deg;
        const SkyFrame frame = MakeSkyFrame(MakeSite(r.latitudeDeg * Deg, 0), lst);
        astro::Matrix3 turn;
        astro::RotationAboutZ(turn, -r.centralAzimuthDeg * Deg);
        const EquatorialSkyPoint q =
            ProjectEquatorialPoint(rightAscension, r.declinationDeg * Deg, frame, turn, EyePoint());
        EXPECT_NEAR(q.altitude / Deg, r.altitudeDeg, 1e-9L) << r.name;
        EXPECT_NEAR(std::remainder(q.azimuth / Deg - r.azimuthDeg, Real{360}), 0, 1e-7L) << r.name;
        Vector3 expected;
        astro::SphericalToVector(astro::SphericalPos{1, r.azimuthDeg * Deg, r.altitudeDeg * Deg}, expected);
        const SkyPoint p = ProjectSkyPoint(turn, EyePoint(), expected);
        EXPECT_NEAR(q.projected.worldX, p.worldX, 1e-9L) << r.name;
        EXPECT_NEAR(q.projected.worldY, p.worldY, 1e-9L) << r.name;
        if (r.altitudeDeg != 0) { // on the horizon rounding decides
            EXPECT_EQ(q.drawn, r.drawn) << r.name;
        }
        const EquatorialPosition back = HorizonToEquatorial(q.horizontal, frame);
        EXPECT_NEAR(back.declination / Deg, r.declinationDeg, 1e-9L) << r.name;
        if (std::fabs(r.declinationDeg) != 90) { // a pole has no right ascension
            EXPECT_NEAR(std::remainder(back.rightAscension - rightAscension, 2 * Pi), 0, 1e-12L) << r.name;
        }
    }
}

// ---- The inside world window -------------------------------------------------

TEST(InsideWorldWindow, WholeClientAreaWithEqualScales) {
    StartSite(54.3L, 10.1L, 0, 1920, 1080); // MaxX 1919, MaxY 1079
    const Real w = app::Run().insideHalfWidth;
    EXPECT_EQ(window::ScreenX(-w), 0);
    EXPECT_EQ(window::ScreenX(w), 1919);
    EXPECT_EQ(window::ScreenY(1.5L * w * 1079 / 1919), 0);
    EXPECT_EQ(window::ScreenY(-0.5L * w * 1079 / 1919), 1079);
    EXPECT_EQ(window::ScreenY(0), 809); // a quarter of the height above the bottom: 809.25
    // One world unit is as many pixels across as up (191.9), up to the
    // rounding of the two ends to whole pixels.
    EXPECT_NEAR(window::ScreenX(4) - window::ScreenX(-4), window::ScreenY(-2) - window::ScreenY(6), 1);
    // A client area without width has no window: the old one stays.
    SetInsideWorldWindow(0, 1079);
    EXPECT_EQ(window::ScreenX(w), 1919);
}

// ---- The Sun's height class ----------------------------------------------------

TEST(SunHeight, BoundariesOfDayTwilightAndNight) {
    struct Row {
        const char* name;
        Real altitude;
        bool day, twilight;
        int colour;
    } const rows[] = {
        {"high Sun", 40 * Deg, true, false, window::LightBlue},
        {"just above the horizon", 1e-12L, true, false, window::LightBlue},
        {"exactly on the horizon", 0, false, false, window::Black},
        {"negative zero", -0.0L, false, false, window::Black},
        {"just below the horizon", -1e-12L, false, true, window::Blue},
        {"3 degrees below", -3 * Deg, false, true, window::Blue},
        {"just above -6 degrees", -5.9999L * Deg, false, true, window::Blue},
        {"exactly -6 degrees", astro::DegreesToRadians(-6), false, false, window::Black},
        {"just below -6 degrees", -6.0001L * Deg, false, false, window::Black},
        {"nadir", -90 * Deg, false, false, window::Black},
    };
    for (const Row& r : rows) {
        const SunHeightClass c = ClassifySunAltitude(r.altitude);
        EXPECT_EQ(c.aboveHorizon, r.day) << r.name;
        EXPECT_EQ(c.inTwilight, r.twilight) << r.name;
        EXPECT_EQ(c.skyColour, r.colour) << r.name;
    }
    EXPECT_EQ(TwilightLimit, astro::DegreesToRadians(-6));
}

// Bisection on the scene's own Sun altitude for the instant between jd0 and
// jd1 (altitude falling) at which the Sun stands at `altitude`.
Real InstantOfSunAltitude(Real jd0, Real jd1, Real altitude) {
    for (int n = 0; n < 60; ++n) {
        const Real mid = (jd0 + jd1) / 2;
        app::Run().currentJD = mid;
        ComputeInsideScene();
        (Scene().sunAltitude > altitude ? jd0 : jd1) = mid;
    }
    return (jd0 + jd1) / 2;
}

TEST(SunHeight, InsideSceneColoursTheSkyByTheSunsAltitude) {
    // Kiel, 2024 March 17: sunset about 17:25 UT.
    StartSite(54.3L, 10.1L, 0);
    struct {
        const char* name;
        Real jd;
        int colour;
    } const rows[] = {
        {"noon", JulianDateUT(2024, 3, 17, 11, 20), window::LightBlue},
        {"midnight", JulianDateUT(2024, 3, 17, 23, 20), window::Black},
        {"Sun 3 degrees below the horizon",
         InstantOfSunAltitude(JulianDateUT(2024, 3, 17, 16, 0), JulianDateUT(2024, 3, 17, 19, 0), -3 * Deg),
         window::Blue},
    };
    for (const auto& r : rows) {
        app::Run().currentJD = r.jd;
        ComputeInsideScene();
        const SceneState& s = Scene();
        EXPECT_EQ(s.skyColour, r.colour) << r.name;
        EXPECT_EQ(s.sunAboveHorizon, r.colour == window::LightBlue) << r.name;
        EXPECT_EQ(s.sunInTwilight, r.colour == window::Blue) << r.name;
    }
    EXPECT_NEAR(Scene().sunAltitude, -3 * Deg, 1e-9L);
}

// ---- Date fields, sidereal time and sky directions ------------------------------

TEST(SceneInstant, DateFieldsAndSiderealTimeOfTheCurrentInstant) {
    for (bool outside : {false, true}) {
        StartSite(0, 0, 0);
        app::Run().currentJD = 2451545.0L; // 2000 January 1, 12 h UT = 13.00 MEZ
        outside ? ComputeOutsideScene() : ComputeInsideScene();
        EXPECT_EQ(Params().startDay, 1);
        EXPECT_EQ(Params().startMonth, 1);
        EXPECT_EQ(Params().startYear, 2000);
        EXPECT_NEAR(Params().startTime, 13.00L, 1e-9L);
        // GMST 18.697374558 h; the program's own sidereal formula agrees to
        // better than 0.1 s of time (7e-6 rad).
        EXPECT_NEAR(Scene().localSiderealTime, 18.697374558L * Pi / 12, 7e-6L) << outside;
    }
    // East of Greenwich the sidereal time is later by the longitude; the
    // date line: 2024 January 25, 17:54 UT is 18.54 MEZ.
    StartSite(54.3L, 10.1L, 0);
    app::Run().currentJD = JulianDateUT(2024, 1, 25, 17, 54);
    ComputeInsideScene();
    const Real kiel = Scene().localSiderealTime;
    EXPECT_EQ(Params().startDay, 25);
    EXPECT_EQ(Params().startMonth, 1);
    EXPECT_EQ(Params().startYear, 2024);
    EXPECT_NEAR(Params().startTime, 18.54L, 1e-6L);
    Params().longitude = 0;
    ComputeInsideScene();
    EXPECT_NEAR(std::remainder(kiel - Scene().localSiderealTime, 2 * Pi), 10.1L * Deg, 1e-12L);
}

// The horizon coordinates of an ecliptic direction by the textbook formulas
// (Meeus 13.3-13.6), independent of the program's chain of operations.
struct Horizon {
    Real azimuth, altitude, rightAscension, declination;
};
Horizon TextbookHorizon(Real lambda, Real beta, Real latitude, Real siderealTime) {
    const Real e = ObliquityRadians;
    Horizon h;
    h.rightAscension =
        std::atan2(std::sin(lambda) * std::cos(e) - std::tan(beta) * std::sin(e), std::cos(lambda));
    h.declination = std::asin(std::sin(beta) * std::cos(e) + std::cos(beta) * std::sin(e) * std::sin(lambda));
    const Real H = siderealTime - h.rightAscension;
    h.azimuth = std::atan2(std::sin(H),
                           std::cos(H) * std::sin(latitude) - std::tan(h.declination) * std::cos(latitude));
    h.altitude = std::asin(std::sin(latitude) * std::sin(h.declination) +
                           std::cos(latitude) * std::cos(h.declination) * std::cos(H));
    return h;
}

void ExpectSkyDirection(const Vector3& sky, const Horizon& h, const std::string& what) {
    EXPECT_NEAR(sky.Length, 1, 1e-15L) << what;
    EXPECT_NEAR(sky.X, std::cos(h.altitude) * std::cos(h.azimuth), 1e-12L) << what; // south
    EXPECT_NEAR(sky.Y, std::cos(h.altitude) * std::sin(h.azimuth), 1e-12L) << what; // west
    EXPECT_NEAR(sky.Z, std::sin(h.altitude), 1e-12L) << what;                       // zenith
}

TEST(SceneInstant, SkyDirectionsAgreeWithTheTextbookHorizon) {
    struct {
        const char* name;
        Real latitudeDeg, longitudeDeg;
        Real jd;
    } const rows[] = {
        {"Kiel, evening crescent", 54.3L, 10.1L, JulianDateUT(2024, 3, 12, 18, 30)},
        {"Kiel, winter noon", 54.3L, 10.1L, JulianDateUT(2024, 1, 13, 11, 20)},
        {"Sydney, first quarter", -33.9L, 151.2L, JulianDateUT(2024, 3, 17, 8, 0)},
        {"Quito, equator", -0.2L, -78.5L, JulianDateUT(2025, 9, 7, 18, 9)},
        {"Tromsø, midnight Sun", 69.65L, 18.96L, JulianDateUT(2024, 6, 21, 23, 0)},
    };
    for (const auto& r : rows) {
        StartSite(r.latitudeDeg, r.longitudeDeg, 0);
        app::Run().currentJD = r.jd;
        ComputeInsideScene();
        const SceneState& s = Scene();
        const Real T = astro::CenturiesSinceJ2000(r.jd);
        Real lon, lat, dist;
        astro::SunPosition(T, lon, lat, dist);
        const Horizon sun = TextbookHorizon(lon, lat, r.latitudeDeg * Deg, s.localSiderealTime);
        ExpectSkyDirection(s.sunSky, sun, std::string(r.name) + ", Sun");
        EXPECT_NEAR(s.sunAltitude, sun.altitude, 1e-12L) << r.name;
        astro::MoonPosition(T, lon, lat, dist);
        const Horizon moon = TextbookHorizon(lon, lat, r.latitudeDeg * Deg, s.localSiderealTime);
        ExpectSkyDirection(s.moonSky, moon, std::string(r.name) + ", Moon");
        EXPECT_NEAR(s.moonAltitude, moon.altitude, 1e-12L) << r.name;
    }
    // The midnight Sun of Tromsø stands above the northern horizon.
    EXPECT_TRUE(Scene().sunAboveHorizon);
    EXPECT_LT(Scene().sunSky.X, 0);
}

TEST(SceneInstant, ProjectionsOfSunAndMoonAreThoseOfTheirDirections) {
    StartSite(54.3L, 10.1L, 90);
    app::Run().currentJD = JulianDateUT(2024, 3, 12, 18, 30);
    ComputeInsideScene();
    const SceneState& s = Scene();
    Real x = 0, y = 0;
    bool visible = false;
    ProjectSky(Params().eyePoint, s.sunSky, x, visible, y);
    EXPECT_EQ(s.sunWorldX, x);
    EXPECT_EQ(s.sunWorldY, y);
    ProjectSky(Params().eyePoint, s.moonSky, x, visible, y);
    EXPECT_EQ(s.moonWorldX, x);
    EXPECT_EQ(s.moonWorldY, y);
    EXPECT_TRUE(visible); // the crescent above the western horizon
    EXPECT_GT(s.moonWorldY, 0);
}

// ---- Phase angle ---------------------------------------------------------------

Real Illuminated(Real phaseAngle) {
    return (1 + std::cos(phaseAngle)) / 2;
}

// At the published instant of a phase the Moon's ecliptic longitude differs
// from the Sun's by 0, 90, 180 or 270 degrees (to 0.01 degree: the instant is
// rounded to the minute, and the Moon gains 0.5 degree an hour). The phase
// angle then differs from 180, 90, 0 degrees by at most the Moon's ecliptic
// latitude (below 5.3 degrees; below 0.6 degrees at a central eclipse) plus
// the parallax of the Sun seen from the Moon at 25 Earth radii (0.06 degree).
TEST(PhaseAngle, PublishedPhasesOfTheMoon) {
    struct Row {
        const char* name;
        Real jd;
        Real expectedDeg; // signed, by the Moon's motion since new moon
        Real toleranceDeg;
    } const rows[] = {
        {"last quarter 2024-01-04 03:30", JulianDateUT(2024, 1, 4, 3, 30), -90, 0.2L},
        {"new moon 2024-01-11 11:57", JulianDateUT(2024, 1, 11, 11, 57), 180, 5.4L},
        {"first quarter 2024-01-18 03:53", JulianDateUT(2024, 1, 18, 3, 53), 90, 0.2L},
        {"full moon 2024-01-25 17:54", JulianDateUT(2024, 1, 25, 17, 54), 0, 5.4L},
        {"new moon 2024-03-10 09:00", JulianDateUT(2024, 3, 10, 9, 0), 180, 5.4L},
        {"first quarter 2024-03-17 04:11", JulianDateUT(2024, 3, 17, 4, 11), 90, 0.2L},
        {"solar eclipse 2024-04-08 18:21", JulianDateUT(2024, 4, 8, 18, 21), 180, 0.6L},
        {"lunar eclipse 2025-03-14 06:55", JulianDateUT(2025, 3, 14, 6, 55), 0, 0.6L},
        {"lunar eclipse 2025-09-07 18:09", JulianDateUT(2025, 9, 7, 18, 9), 0, 0.6L},
    };
    StartSite(54.3L, 10.1L, 0);
    for (const Row& r : rows) {
        app::Run().currentJD = r.jd;
        ComputeInsideScene();
        const Real phase = Scene().phaseAngle;
        // At new moon the sign is that of a difference of longitudes near 0.
        const Real magnitude = r.expectedDeg == 180 ? std::fabs(phase) : phase;
        EXPECT_NEAR(magnitude / Deg, r.expectedDeg, r.toleranceDeg) << r.name;
        const Real fraction = Illuminated(phase);
        if (r.expectedDeg == 0) {
            EXPECT_GT(fraction, 0.9977L) << r.name; // (1 + cos 5.4 degrees) / 2
        } else if (r.expectedDeg == 180) {
            EXPECT_LT(fraction, 0.0023L) << r.name;
        } else {
            EXPECT_NEAR(fraction, 0.5L, 0.002L) << r.name;
        }
    }
}

TEST(PhaseAngle, SignFollowsTheMoonsElongation) {
    // Positive while the Moon is less than 180 degrees east of the Sun
    // (waxing), negative afterwards: the sign of the Z component of the Sun's
    // and the Moon's ecliptic vectors' cross product, sin(moon - sun longitude).
    StartSite(54.3L, 10.1L, 0);
    const Real newMoon = JulianDateUT(2024, 1, 11, 11, 57);
    const Real fullMoon = JulianDateUT(2024, 1, 25, 17, 54);
    struct {
        const char* name;
        Real jd;
        int sign;
    } const rows[] = {
        {"a day before new moon", newMoon - 1, -1},   {"a day after new moon", newMoon + 1, +1},
        {"a day before full moon", fullMoon - 1, +1}, {"a day after full moon", fullMoon + 1, -1},
        {"three weeks later", fullMoon + 21, +1},
    };
    for (const auto& r : rows) {
        app::Run().currentJD = r.jd;
        ComputeInsideScene();
        const Real T = astro::CenturiesSinceJ2000(r.jd);
        Real sunLon, moonLon, lat, dist;
        astro::SunPosition(T, sunLon, lat, dist);
        astro::MoonPosition(T, moonLon, lat, dist);
        EXPECT_EQ(std::sin(moonLon - sunLon) > 0 ? 1 : -1, r.sign) << r.name;
        EXPECT_EQ(Scene().phaseAngle > 0 ? 1 : -1, r.sign) << r.name;
        EXPECT_GT(std::fabs(Scene().phaseAngle), 10 * Deg) << r.name;
        EXPECT_LT(std::fabs(Scene().phaseAngle), 170 * Deg) << r.name;
    }
}

// ---- Bright limb -----------------------------------------------------------------

// The screen direction of the bright limb from the textbook: the position
// angle chi of the bright limb (Meeus 48.5) less the parallactic angle q
// (Meeus 14.1) is the limb's angle from the Moon's vertical, counted toward
// the side of the sky where east lies (counter-clockwise on the screen). With
// the Moon at the central azimuth its vertical is the screen's vertical, and
// the picture plane stretches the directions by the projection's two local
// scales: sx across (P.Y) and sy up (along the vertical circle).
Real TextbookLimbAngle(Real latitude, Real jd, Real siderealTime, Real moonAltitude) {
    const Real T = astro::CenturiesSinceJ2000(jd);
    Real lon, lat, dist;
    astro::SunPosition(T, lon, lat, dist);
    const Horizon sun = TextbookHorizon(lon, lat, latitude, siderealTime);
    astro::MoonPosition(T, lon, lat, dist);
    const Horizon moon = TextbookHorizon(lon, lat, latitude, siderealTime);
    const Real dAlpha = sun.rightAscension - moon.rightAscension;
    const Real chi =
        std::atan2(std::cos(sun.declination) * std::sin(dAlpha),
                   std::sin(sun.declination) * std::cos(moon.declination) -
                       std::cos(sun.declination) * std::sin(moon.declination) * std::cos(dAlpha));
    const Real H = siderealTime - moon.rightAscension;
    const Real q = std::atan2(std::sin(H), std::tan(latitude) * std::cos(moon.declination) -
                                               std::sin(moon.declination) * std::cos(H));
    const Real sky = Pi / 2 + chi - q;
    const Real ex = -1.05L, ez = 0.35L, h = moonAltitude;
    const Real t = (1 - ex) / (std::cos(h) - ex);
    const Real sx = t;
    const Real sy = t * std::cos(h) + (std::sin(h) - ez) * t * t * std::sin(h) / (1 - ex);
    return std::atan2(sy * std::sin(sky), sx * std::cos(sky));
}

struct LimbRow {
    const char* name;
    Real latitudeDeg, longitudeDeg;
    Real jd;
};

const LimbRow LimbRows[] = {
    {"waxing crescent, Kiel, 2024-03-12 18:30", 54.3L, 10.1L, JulianDateUT(2024, 3, 12, 18, 30)},
    {"waxing crescent, Kiel, 2024-01-13 16:30", 54.3L, 10.1L, JulianDateUT(2024, 1, 13, 16, 30)},
    {"first quarter, Kiel, 2024-03-17 17:30", 54.3L, 10.1L, JulianDateUT(2024, 3, 17, 17, 30)},
    {"first quarter, Sydney, 2024-03-17 08:00", -33.9L, 151.2L, JulianDateUT(2024, 3, 17, 8, 0)},
    {"last quarter, Kiel, 2024-01-04 03:30", 54.3L, 10.1L, JulianDateUT(2024, 1, 4, 3, 30)},
    {"waxing gibbous, Kiel, 2024-01-22 20:00", 54.3L, 10.1L, JulianDateUT(2024, 1, 22, 20, 0)},
    {"waxing crescent, Quito, 2024-03-12 23:30", -0.2L, -78.5L, JulianDateUT(2024, 3, 12, 23, 30)},
};

// The limb angle compared with the textbook with the Moon turned to the
// middle of the picture. The program measures the limb along a chord of
// pi/18 toward the Sun whose ends are rounded to pixels: on a 1920-pixel
// screen the chord is about 34 pixels near the horizon, and rounding both
// ends moves its direction by up to asin(sqrt 2 / 34) = 2.4 degrees; the
// chord's curvature in the picture adds below 0.5 degree. On an
// 8000-pixel screen the rounding falls below 0.6 degree.
TEST(BrightLimb, AgreesWithTheTextbookPositionAngle) {
    struct {
        int width, height;
        Real toleranceDeg;
    } const screens[] = {{1920, 1080, 2.9L}, {8000, 4500, 1.1L}};
    for (const auto& screen : screens) {
        for (const LimbRow& r : LimbRows) {
            StartSite(r.latitudeDeg, r.longitudeDeg, 0, screen.width, screen.height);
            app::Run().currentJD = r.jd;
            ComputeInsideScene();
            const Real moonAzimuth = AzimuthOf(Scene().moonSky);
            StartSite(r.latitudeDeg, r.longitudeDeg, moonAzimuth / Deg, screen.width, screen.height);
            app::Run().currentJD = r.jd;
            ComputeInsideScene();
            const SceneState& s = Scene();
            ASSERT_NEAR(s.moonWorldX, 0, 1e-12L) << r.name;
            const Real expected =
                TextbookLimbAngle(r.latitudeDeg * Deg, r.jd, s.localSiderealTime, s.moonAltitude);
            EXPECT_NEAR(std::remainder(s.brightLimbAngle - expected, 2 * Pi) / Deg, 0, screen.toleranceDeg)
                << r.name << " on " << screen.width << "x" << screen.height;
        }
    }
}

// What every observer's guide says: the lit side faces the Sun. A waxing
// crescent in the evening twilight over the western horizon is lit toward
// the lower right, where the Sun has set; a first quarter near the meridian
// at sunset is lit on its west side, which is on the right when one faces
// south from the northern hemisphere and on the left when one faces north
// from the southern.
TEST(BrightLimb, SidesKnownFromTheSky) {
    struct Row {
        const char* name;
        Real latitudeDeg, longitudeDeg, azimuthDeg;
        Real jd;
        Real minDeg, maxDeg; // the expected range of the limb angle
    } const rows[] = {
        {"evening crescent facing west, Kiel", 54.3L, 10.1L, 90, JulianDateUT(2024, 3, 12, 18, 30), -80, -20},
        {"first quarter at sunset facing south, Kiel", 54.3L, 10.1L, 0, JulianDateUT(2024, 3, 17, 17, 30),
         -30, 30},
        {"first quarter at sunset facing north, Sydney", -33.9L, 151.2L, 180, JulianDateUT(2024, 3, 17, 8, 0),
         150, 210},
    };
    for (const Row& r : rows) {
        StartSite(r.latitudeDeg, r.longitudeDeg, r.azimuthDeg);
        app::Run().currentJD = r.jd;
        ComputeInsideScene();
        const SceneState& s = Scene();
        // The situation is as described: Sun near or below the horizon, Moon
        // up and waxing, within 30 degrees of the direction faced.
        EXPECT_LT(s.sunAltitude, 2 * Deg) << r.name;
        EXPECT_GT(s.moonAltitude, 10 * Deg) << r.name;
        EXPECT_GT(s.phaseAngle, 0) << r.name;
        EXPECT_LT(std::fabs(std::remainder(AzimuthOf(s.moonSky) - r.azimuthDeg * Deg, 2 * Pi)), 30 * Deg)
            << r.name;
        Real angle = s.brightLimbAngle / Deg;
        if (angle < r.minDeg) angle += 360;
        EXPECT_GE(angle, r.minDeg) << r.name;
        EXPECT_LE(angle, r.maxDeg) << r.name;
    }
}

// ---- Outside view ------------------------------------------------------------------

const Real OutsideInstants[] = {
    2451545.0L,
    JulianDateUT(2024, 1, 25, 17, 54),
    JulianDateUT(2024, 3, 12, 18, 30),
    JulianDateUT(2025, 9, 7, 18, 9),
};

TEST(OutsideScene, TrueDistancesInTheFirstTwoPerspectives) {
    for (std::uint8_t perspective : {0, 1}) {
        for (Real jd : OutsideInstants) {
            StartSite(54.3L, 10.1L, 0);
            app::Run().perspective = perspective;
            app::Run().currentJD = jd;
            ComputeOutsideScene();
            const SceneState& s = Scene();
            const Real T = astro::CenturiesSinceJ2000(jd);
            Real lon, lat, dist;
            astro::MoonPosition(T, lon, lat, dist);
            EXPECT_GT(dist, 55);
            EXPECT_LT(dist, 65);
            EXPECT_NEAR(s.moonVector.Length, dist, 1e-12L);
            EXPECT_NEAR(s.moonVector.X, dist * std::cos(lat) * std::cos(lon), 1e-12L);
            EXPECT_NEAR(s.moonVector.Y, dist * std::cos(lat) * std::sin(lon), 1e-12L);
            EXPECT_NEAR(s.moonVector.Z, dist * std::sin(lat), 1e-12L);
            astro::SunPosition(T, lon, lat, dist);
            EXPECT_NEAR(s.sunVector.Length, dist * 23454.78L, 1e-9L);
            EXPECT_NEAR(s.sunVector.X, dist * 23454.78L * std::cos(lat) * std::cos(lon), 1e-8L);
            EXPECT_NEAR(s.sunEcliptic.Radius, s.sunVector.Length, 0);
        }
    }
}

// In the horizon-based perspective the model's Y axis is the zenith; north
// of the equator X points west and Z south, south of it east and north.
TEST(OutsideScene, HorizonPerspectiveExchangesTheAxes) {
    struct {
        const char* name;
        Real latitudeDeg, longitudeDeg;
        int sign; // +1 north: X = west, Z = south; -1 south: both reversed
    } const sites[] = {{"Kiel", 54.3L, 10.1L, +1},
                       {"Sydney", -33.9L, 151.2L, -1},
                       {"Quito", -0.2L, -78.5L, -1},
                       {"on the equator: drawn like a southern site", 0, -78.5L, -1}};
    for (const auto& site : sites) {
        for (Real jd : OutsideInstants) {
            StartSite(site.latitudeDeg, site.longitudeDeg, 0);
            app::Run().currentJD = jd;
            ComputeInsideScene();
            const Vector3 sunSky = Scene().sunSky, moonSky = Scene().moonSky;
            app::Run().perspective = 2;
            ComputeOutsideScene();
            const SceneState& s = Scene();
            EXPECT_NEAR(s.moonVector.Length, 54, 1e-15L) << site.name;
            EXPECT_NEAR(s.moonVector.X, 54 * site.sign * moonSky.Y, 1e-12L) << site.name;
            EXPECT_NEAR(s.moonVector.Y, 54 * moonSky.Z, 1e-12L) << site.name;
            EXPECT_NEAR(s.moonVector.Z, 54 * site.sign * moonSky.X, 1e-12L) << site.name;
            // The Sun keeps its distance.
            const Real d = s.sunEcliptic.Radius;
            EXPECT_GT(d, 23000);
            EXPECT_NEAR(s.sunVector.Length, d, 1e-9L) << site.name;
            EXPECT_NEAR(s.sunVector.X / d, site.sign * sunSky.Y, 1e-12L) << site.name;
            EXPECT_NEAR(s.sunVector.Y / d, sunSky.Z, 1e-12L) << site.name;
            EXPECT_NEAR(s.sunVector.Z / d, site.sign * sunSky.X, 1e-12L) << site.name;
        }
    }
}

TEST(OutsideScene, HorizonPerspectiveShowsTheMorningSunOnTheEastSide) {
    // Facing the Sun's side of the sky (south in the north, north in the
    // south) the morning Sun of winter is on the left in the north and on the
    // right in the south, and in front (model Z > 0) and above (Y > 0).
    struct {
        const char* name;
        Real latitudeDeg, longitudeDeg;
        Real jd;
        int xSign;
    } const rows[] = {
        {"Kiel, January morning", 54.3L, 10.1L, JulianDateUT(2024, 1, 13, 9, 0), -1},
        {"Kiel, January afternoon", 54.3L, 10.1L, JulianDateUT(2024, 1, 13, 13, 0), +1},
        {"Sydney, June morning (9:30 local)", -33.9L, 151.2L, JulianDateUT(2024, 6, 20, 23, 30), +1},
        {"Sydney, June afternoon (14:00 local)", -33.9L, 151.2L, JulianDateUT(2024, 6, 21, 4, 0), -1},
    };
    for (const auto& r : rows) {
        StartSite(r.latitudeDeg, r.longitudeDeg, 0);
        app::Run().perspective = 2;
        app::Run().currentJD = r.jd;
        ComputeOutsideScene();
        EXPECT_EQ(Scene().sunVector.X > 0 ? 1 : -1, r.xSign) << r.name;
        EXPECT_GT(Scene().sunVector.Y, 0) << r.name;
        EXPECT_GT(Scene().sunVector.Z, 0) << r.name;
    }
}

// Bisection on the Moon's altitude (rising) between jd0 and jd1.
Real InstantOfMoonrise(Real jd0, Real jd1) {
    for (int n = 0; n < 60; ++n) {
        const Real mid = (jd0 + jd1) / 2;
        app::Run().currentJD = mid;
        ComputeInsideScene();
        (Scene().moonAltitude < 0 ? jd0 : jd1) = mid;
    }
    return (jd0 + jd1) / 2;
}

TEST(OutsideScene, MoonOnTheHorizonLiesInThePlaneYZero) {
    // Kiel, 2024 January 25: the full Moon rises in the late afternoon.
    StartSite(54.3L, 10.1L, 0);
    const Real rise = InstantOfMoonrise(JulianDateUT(2024, 1, 25, 12, 0), JulianDateUT(2024, 1, 25, 20, 0));
    EXPECT_NEAR(Scene().moonAltitude, 0, 1e-12L);
    app::Run().perspective = 2;
    app::Run().currentJD = rise;
    ComputeOutsideScene();
    EXPECT_NEAR(Scene().moonVector.Y, 0, 1e-9L);
    EXPECT_NEAR(Scene().moonVector.Length, 54, 1e-15L);
    // Just before and after it the Moon is below and above the horizon plane.
    for (Real offset : {-0.01L, 0.01L}) {
        app::Run().currentJD = rise + offset;
        ComputeOutsideScene();
        EXPECT_EQ(Scene().moonVector.Y > 0, offset > 0) << offset;
    }
}

// Geographic point of the unit globe in the globe's model frame: the drawing
// turns (x, y, z) into (x, -z, y), so the polar axis is the model's -Y.
Vector3 GlobeModelPoint(Real latitude, Real longitude) {
    return astro::MakeVector(std::cos(latitude) * std::cos(longitude), -std::sin(latitude),
                             std::cos(latitude) * std::sin(longitude));
}

TEST(OutsideScene, GlobeSpinTurnsWithTheSky) {
    struct {
        const char* name;
        std::uint8_t perspective;
        Real latitudeDeg, longitudeDeg;
    } const rows[] = {
        {"perspective 0, north", 0, 54.3L, 10.1L},
        {"perspective 0, south", 0, -33.9L, 151.2L},
        {"perspective 1, north", 1, 54.3L, 10.1L},
        {"perspective 1, west", 1, 40.7L, -74.0L},
    };
    for (const auto& r : rows) {
        StartSite(r.latitudeDeg, r.longitudeDeg, 0);
        app::Run().perspective = r.perspective;
        app::Run().currentJD = JulianDateUT(2024, 3, 12, 18, 30);
        ComputeOutsideScene();
        const SceneState& s = Scene();
        // The site's zenith points at right ascension = local sidereal time
        // and declination = latitude.
        Vector3 site = GlobeModelPoint(r.latitudeDeg * Deg, r.longitudeDeg * Deg);
        astro::ApplyMatrix(s.globeSpinMatrix, site);
        const Vector3 zenith = GlobeModelPoint(r.latitudeDeg * Deg, s.localSiderealTime);
        EXPECT_NEAR(site.X, zenith.X, 1e-15L) << r.name;
        EXPECT_NEAR(site.Y, zenith.Y, 1e-15L) << r.name;
        EXPECT_NEAR(site.Z, zenith.Z, 1e-15L) << r.name;
        astro::ApplyMatrix(s.globeSpinInverse, site);
        const Vector3 back = GlobeModelPoint(r.latitudeDeg * Deg, r.longitudeDeg * Deg);
        EXPECT_NEAR(site.X, back.X, 1e-15L) << r.name;
        EXPECT_NEAR(site.Z, back.Z, 1e-15L) << r.name;
    }
}

// Perspective 2 draws the globe at rest through its spin, the Earth's tilt
// (about X by -23.5 degrees) and the inverse view matrix that it keeps from
// perspective 1 (about X by -(latitude - 23.5 degrees) for a latitude above
// 0, by -(156.5 degrees - latitude) otherwise). The site must come out on top
// of the disc (screen up is the globe's third coordinate, depth the second),
// and its west must lie on the side where the sky's model X puts the west.
TEST(OutsideScene, GlobeAtRestAgreesWithTheHorizonFrame) {
    struct {
        const char* name;
        Real latitudeDeg, longitudeDeg;
    } const rows[] = {
        {"north", 54.3L, 10.1L},
        {"south", -33.9L, 151.2L},
        {"near the equator", -0.2L, -78.5L},
        {"on the equator", 0, -78.5L},
        {"north, west longitude", 40.7L, -74.0L},
        {"near the pole", 89, 0},
    };
    for (const auto& r : rows) {
        StartSite(r.latitudeDeg, r.longitudeDeg, 0);
        app::Run().perspective = 2;
        app::Run().currentJD = JulianDateUT(2024, 3, 12, 18, 30);
        ComputeOutsideScene();
        const SceneState& s = Scene();
        astro::Matrix3 tilt, view, chain;
        astro::RotationAboutX(tilt, -23.5L * Deg);
        const Real latitude = r.latitudeDeg * Deg;
        astro::RotationAboutX(view, -(latitude > 0 ? latitude - 23.5L * Deg : 156.5L * Deg - latitude));
        astro::MultiplyMatrices(tilt, s.globeSpinMatrix, chain);
        astro::MultiplyMatrices(view, chain, chain);
        Vector3 site = GlobeModelPoint(latitude, r.longitudeDeg * Deg);
        astro::ApplyMatrix(chain, site);
        EXPECT_NEAR(site.X, 0, 1e-15L) << r.name;
        EXPECT_NEAR(site.Y, 0, 1e-15L) << r.name;
        EXPECT_NEAR(site.Z, 1, 1e-15L) << r.name;
        // A point one degree west of the site lies on the side of the
        // screen where the sky's model X puts the west: the Sun's model X is
        // its westward component times +1 or -1, the frame's sign.
        Vector3 west = GlobeModelPoint(latitude, (r.longitudeDeg - 1) * Deg);
        astro::ApplyMatrix(chain, west);
        const Real sunModelX = s.sunVector.X / s.sunVector.Length;
        ComputeInsideScene();
        const Real sunWestward = Scene().sunSky.Y;
        ASSERT_NEAR(std::fabs(sunModelX), std::fabs(sunWestward), 1e-12L) << r.name;
        EXPECT_GT(west.X * sunModelX * sunWestward, 0) << r.name;
        // The spin's inverse undoes it.
        astro::Matrix3 product;
        astro::MultiplyMatrices(s.globeSpinMatrix, s.globeSpinInverse, product);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                EXPECT_NEAR(product(i, j), i == j ? 1 : 0, 1e-15L) << r.name;
    }
}

// The supported range's ends are real dates: Julian date 59.5 is 1 March
// -4712, 0 h UT (Julian date 0 is 1 January -4712, 12 h, a Julian leap year).
TEST(SupportedRange, EndsAreRealDatesAndMonthsCountOnIntoTheYears) {
    astro::CalendarDate first, last;
    Real firstClock = 0, lastClock = 0;
    astro::CivilFromJulianDate(first, firstClock, FirstSupportedJD);
    astro::CivilFromJulianDate(last, lastClock, LastSupportedJD);
    EXPECT_TRUE(first.Day == 1 && first.Month == 3 && first.Year == -4712 &&
                std::fabs(firstClock - 1) < 1e-9L);
    EXPECT_TRUE(last.Day == 31 && last.Month == 12 && last.Year == 9999 &&
                std::fabs(lastClock - 23.59L) < 1e-9L);
    for (const Real jd : {FirstSupportedJD - 1e-9L, LastSupportedJD + 1e-9L, Real(NAN)})
        EXPECT_FALSE(InSupportedRange(jd)) << static_cast<double>(jd);
    EXPECT_EQ(StartJulianDate({15, 27, 2022}, 12), StartJulianDate({15, 3, 2024}, 12));
    EXPECT_EQ(StartJulianDate({1, -14, 2025}, 12), StartJulianDate({1, 10, 2023}, 12));
}

} // namespace
} // namespace app

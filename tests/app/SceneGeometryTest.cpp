// The pure scene geometry: it reads and writes no program-wide state, and the
// thin wrappers that the views call store exactly what it returns; the
// inside world window and the one picture-size rule of both programs.
#include "app/SceneGeometry.h"

#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/MainLoop.h"
#include "app/Parameters.h"
#include "app/Scene.h"
#include "astro/TimeScales.h"
#include "window/WorldWindow.h"

namespace app {
namespace {

TEST(SceneGeometry, PureSceneLeavesTheProgramStateAloneAndTheWrapperStoresItsResult) {
    ResetParameters();
    app::ResetRunState();
    ResetScene();
    Parameters& p = Params();
    p.latitude = astro::DegreesToRadians(-33.9L);
    p.longitude = astro::DegreesToRadians(151.2L);
    p.centralAzimuth = astro::Pi;
    p.eyePoint = EyePoint();
    PrepareScene();
    SetInsideWorldWindow(1919, 1079);
    const Real jd = astro::JulianDateFromCivil(astro::CalendarDate{17, 3, 2024}, 9.00L);

    const InsideSceneResult pure = ComputeInsideScene(CurrentInsideInput(jd));
    // Nothing program-wide changed: the record's date fields and the scene keep their start values.
    EXPECT_EQ(p.startDay, 0);
    EXPECT_EQ(p.startYear, 0);
    EXPECT_EQ(Scene().phaseAngle, 0);
    EXPECT_EQ(Scene().localSiderealTime, 0);

    app::Run().currentJD = jd;
    ComputeInsideScene();
    EXPECT_EQ(p.startDay, 17);
    EXPECT_EQ(p.startMonth, 3);
    EXPECT_EQ(p.startYear, 2024);
    EXPECT_EQ(Scene().phaseAngle, pure.phaseAngle);
    EXPECT_EQ(Scene().brightLimbAngle, pure.brightLimbAngle);
    EXPECT_EQ(Scene().moonWorldX, pure.moonWorldX);
    EXPECT_EQ(Scene().sunAltitude, pure.sunAltitude);
    EXPECT_EQ(Scene().localSiderealTime, pure.instant.localSiderealTime);
}

TEST(SceneGeometry, InsideWorldWindowPutsTheHorizonAQuarterAboveTheBottom) {
    struct Row {
        std::int32_t maxX, maxY;
        Real halfWidth;
    } const rows[] = {{1919, 1079, 5}, {639, 479, 2.5L}, {1, 1, 5}};
    for (const Row& r : rows) {
        const window::WorldWindowMap m = InsideWorldWindow(r.maxX, r.maxY, r.halfWidth);
        EXPECT_EQ(window::ScreenX(m, -r.halfWidth), 0) << r.maxX;
        EXPECT_EQ(window::ScreenX(m, r.halfWidth), r.maxX) << r.maxX;
        EXPECT_NEAR(window::ScreenY(m, 0), 0.75L * r.maxY, 0.5L) << r.maxX;
        EXPECT_NEAR(m.scaleX, m.scaleY, 1e-9L) << "equal scales on both axes";
    }
}

TEST(SceneGeometry, PictureSizeRuleOfBothPrograms) {
    struct Row {
        const char* text;
        bool ok;
        std::int32_t width, height;
    } const rows[] = {
        {"1920x1080", true, 1920, 1080}, {"2X2", true, 2, 2},        {"32767x32767", true, 32767, 32767},
        {"1x100", false, 0, 0},          {"100x32768", false, 0, 0}, {"-640x480", false, 0, 0},
        {"640*480", false, 0, 0},        {"640x", false, 0, 0},      {" 640x480", false, 0, 0},
    };
    for (const Row& r : rows) {
        std::int32_t w = 0, h = 0;
        EXPECT_EQ(ParsePictureSize(r.text, w, h), r.ok) << r.text;
        if (r.ok) {
            EXPECT_EQ(w, r.width) << r.text;
            EXPECT_EQ(h, r.height) << r.text;
        }
    }
}

} // namespace
} // namespace app

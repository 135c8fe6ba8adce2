// The Earth's shadow on the Moon in both views and the panel's line, at 2026's lunar eclipses (greatest
// eclipse from the Five Millennium Canon of Lunar Eclipses, Espenak and Meeus) and a full Moon without one.
#include <QImage>
#include <gtest/gtest.h>

#include "CanvasTestSupport.h"
#include "app/Panel.h"
#include "astro/TimeScales.h"

namespace {

using astro::EclipseKind;
using astro::Real;
using namespace window;

struct EclipseCase {
    const char* name;
    Real jd; // from the MEZ clock, UT + 1 h
    EclipseKind kind;
    const char* panelLine;
};
const EclipseCase Cases[] = {
    {"2026 Aug 28, 4:13 UT", astro::JulianDateFromCivil({28, 8, 2026}, 5.13L), EclipseKind::Partial,
     "partielle Mondfinsternis"},
    {"2026 Mar 3, 11:33 UT", astro::JulianDateFromCivil({3, 3, 2026}, 12.33L), EclipseKind::Total,
     "totale Mondfinsternis"},
    {"2026 May 1, full Moon 17:23 UT", astro::JulianDateFromCivil({1, 5, 2026}, 18.23L), EclipseKind::None,
     ""},
};

TEST(EclipseDrawing, InsideViewShowsTheRoundBiteOfTheUmbra) {
    canvastest::FreshCanvas(1280, 720);
    constexpr int X = 300, Y = 300, R = 80;
    for (const EclipseCase& c : Cases) {
        SCOPED_TRACE(c.name);
        app::InsideSceneInput in; // the Moon straight ahead
        in.site = app::MakeSite(54.3L * canvastest::Deg, 10.1L * canvastest::Deg);
        in.jd = c.jd;
        in.eye = app::EyePoint();
        in.world = app::InsideWorldWindow(1279, 719, app::DefaultInsideHalfWidth);
        astro::RotationAboutZ(in.azimuthMatrix, -app::ComputeInsideScene(in).moon.azimuth);
        const app::InsideSceneResult s = app::ComputeInsideScene(in);
        ASSERT_EQ(s.shadow.kind, c.kind);
        Canvas().fill(canvastest::Colour(Blue));
        app::DrawInsideMoon(X, Y, R, Blue, LightGray, s.brightLimbAngle,
                            std::fabs(s.phaseAngle) - astro::Pi / 2);
        const QImage phaseOnly = Canvas().copy();
        app::PaintDiscShadow(app::SkyDiscShadow(s.shadow, s.shadowScreenAngle), X, Y, R, LightGray);
        if (c.kind == EclipseKind::None) {
            EXPECT_TRUE(Canvas() == phaseOnly);
            continue;
        }
        // Opposite the bright limb (found to whole pixels some 20 pixels out).
        const Real a = s.shadowScreenAngle, d = s.shadow.separation / s.shadow.moonRadius * R;
        EXPECT_LT(canvastest::AngleBetweenDeg(a / canvastest::Deg, s.brightLimbAngle / canvastest::Deg + 180),
                  3);
        // Red at a reduced intensity inside the umbra's circle about the shadow's centre, not outside;
        // the rim's pixels go by the rounding of the phase's polygons.
        const Real radius = s.shadow.umbraRadius / s.shadow.moonRadius * R;
        long disc = 0, copper = 0, wrong = 0;
        for (int y = Y - R; y < Y + R; ++y)
            for (int x = X - R; x < X + R; ++x) {
                const Real u = x + 0.5L - X, v = Y - (y + 0.5L);
                const Real fromCentre = std::hypot(u - d * std::cos(a), v - d * std::sin(a));
                const QRgb p = Canvas().pixel(x, y);
                const bool red = qRed(p) > 2 * qGreen(p) && qRed(p) < 128 && qGreen(p) == qBlue(p);
                if (std::hypot(u, v) > R - 1) continue;
                ++disc;
                copper += red ? 1 : 0;
                wrong += std::fabs(fromCentre - radius) > 1.5L && red != (fromCentre < radius) ? 1 : 0;
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_NEAR(static_cast<double>(copper) / disc, static_cast<double>(s.shadow.umbraCoveredFraction),
                    0.02);
        // Total: not one lit pixel left, the rim included.
        if (c.kind == EclipseKind::Total) {
            EXPECT_EQ(canvastest::CountIn(X, Y, R + 2, LightGray).count, 0);
        }
    }
}

TEST(EclipseDrawing, OutsideViewAndPanelLine) {
    canvastest::FreshCanvas(1280, 720);
    app::Params().viewMode = 1;
    app::PrepareScene();
    astro::RotationAboutX(app::Run().viewMatrix, 0); // seen from the ecliptic's north pole
    astro::RotationAboutX(app::Run().inverseViewMatrix, 0);
    app::SetOutsideViewWindow();
    SetTextStyle("Courier", 20, 1);
    const int placeBottom = 4 * CharHeight(); // the panel's texts stand on their rows
    for (const EclipseCase& c : Cases) {
        SCOPED_TRACE(c.name);
        app::Run().currentJD = c.jd;
        app::ComputeOutsideScene();
        const astro::Vector3 v = app::ViewerCoordinates(app::Scene().moonVector);
        Canvas().fill(Qt::black);
        app::DrawMoon(LightGray);
        // The lit half faces the Earth: all in the umbra in totality.
        EXPECT_EQ(canvastest::CountIn(ScreenX(v.X), ScreenY(v.Y), 26, LightGray).count == 0,
                  c.kind == EclipseKind::Total);
        app::DrawOutsideLabels();
        EXPECT_EQ(app::Panel().panelEclipseText, c.panelLine);
        long red = 0;
        for (int row = placeBottom; row < placeBottom + 12; ++row)
            for (int column = MaxY(); column <= MaxX(); ++column)
                red += canvastest::Is(column, row, LightRed) ? 1 : 0;
        EXPECT_EQ(red > 50, *c.panelLine != '\0');
    }
}

} // namespace

// The outside view: the preparation at every run's start (matrices, window,
// the opening trail and the first picture) and the frame.
#include "app/OutsideView.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "app/Discs.h"
#include "app/MainLoop.h"
#include "app/Panel.h"
#include "app/Parameters.h"
#include "app/Scene.h"
#include "astro/Vectors.h"
#include "window/Graphics.h"
#include "window/WorldWindow.h"

namespace app {

namespace {

OutsideViewState outsideViewState;

// Ten degrees: one step of the tilt keys, radians.
constexpr Real TiltStep = astro::Pi / 18;

// The angle of the view over the observer's latitude circle (perspective 1),
// radians: the ecliptic plane turned about the equinox line so that the
// latitude circle of a northern site is seen from above it; sites on the
// equator and south of it take the turn that shows their circle from its
// southern side. The horizon perspective draws its globe with this turn, so
// the branch is that view's hemisphere, which the scene and the panel's
// words follow too.
Real LatitudeViewAngle(Real latitude) {
    return NorthernHorizonView(latitude) ? latitude - ObliquityRadians
                                         : (astro::Pi - ObliquityRadians) - latitude;
}

// Where DrawMoon puts the Moon of the current scene; false when it draws no
// Moon (below the horizon of perspective 2).
bool MoonCentre(std::int32_t& x, std::int32_t& y) {
    const RunState& run = Run();
    const SceneState& scene = Scene();
    if (run.perspective == 2 && scene.moonVector.Y < 0) return false;
    const astro::Vector3 v = ViewerCoordinates(scene.moonVector);
    x = window::ScreenX(v.X);
    y = window::ScreenY(v.Y);
    if (run.perspective == 2) y = astro::SaturateToInt32(static_cast<std::int64_t>(y) - run.earthRadiusPx);
    return true;
}

// The two lines of a label, centred on its x, in the label font (Courier 10,
// which the panel also leaves behind). They go on the picture without a text
// background, so that they cut nothing out of the Moons round them.
void DrawLabel(const OutsideMoonLabel& label) {
    window::SetTextStyle("Courier", 10, 0);
    window::SetTextAlignment(1, 0);
    window::SetTextBackground(-1);
    window::DrawText(label.x, label.dateBottom, label.dateText, label.colour);
    window::DrawText(label.x, label.timeBottom, label.timeText, label.colour);
    window::SetTextAlignment(0, 0);
}

// The Moon of the current scene with the date and time of that instant above
// it (the date fields hold that instant since the scene was computed).
void DrawLabelledMoon(int labelColour) {
    const Parameters& p = Params();
    const RunState& run = Run();
    DrawMoon(window::LightGray);
    std::int32_t x = 0, y = 0;
    if (!MoonCentre(x, y)) return;

    window::SetTextStyle("Courier", 10, 0);
    OutsideMoonLabel label;
    label.moonX = x;
    label.moonY = y;
    label.dateText = PanelDateText(p.startDay, p.startMonth, p.startYear);
    label.timeText = PanelTimeText(p.startTime) + " Uhr MEZ";
    label.colour = labelColour;
    PlaceMoonLabel(label, run.outsideDiscRadius, window::CharHeight(),
                   std::max(window::TextWidth(label.dateText), window::TextWidth(label.timeText)),
                   window::MaxY());
    DrawLabel(label);
    outsideViewState.startLabels.push_back(std::move(label));
}

} // namespace

void RedrawStartLabels() {
    for (const OutsideMoonLabel& label : outsideViewState.startLabels)
        DrawLabel(label);
}

void PlaceMoonLabel(OutsideMoonLabel& label, std::int32_t r, std::int32_t h, std::int32_t width,
                    std::int32_t side) {
    const std::int64_t discTop = static_cast<std::int64_t>(label.moonY) - r;
    const std::int64_t discBottom = static_cast<std::int64_t>(label.moonY) + r;
    // The date line's bottom; the time line follows a text height lower.
    std::int64_t dateBottom = discTop - 2 * std::int64_t{h};
    if (dateBottom - h < 0) dateBottom = discBottom + 2 * std::int64_t{h};
    // Never off the picture, where it has no room either way.
    dateBottom = std::max<std::int64_t>(std::min<std::int64_t>(dateBottom, std::int64_t{side} - h), h);
    label.dateBottom = astro::SaturateToInt32(dateBottom);
    label.timeBottom = astro::SaturateToInt32(dateBottom + h);
    // Centred text reaches half its width, rounded up, to either side.
    const std::int64_t half = (std::int64_t{width} + 1) / 2;
    std::int64_t x = std::max<std::int64_t>(label.moonX, half);
    x = std::min<std::int64_t>(x, std::int64_t{side} - half);
    label.x = astro::SaturateToInt32(2 * half > side ? side / 2 : x);
}

OutsideViewState& OutsideView() {
    return outsideViewState;
}

void ResetOutsideView() {
    outsideViewState = OutsideViewState{};
}

std::int32_t HorizonRow() {
    const RunState& run = Run();
    return astro::SaturateToInt32(static_cast<std::int64_t>(run.earthCentreY) - run.earthRadiusPx);
}

void DrawHorizonLine(int colour) {
    const std::int32_t row = HorizonRow();
    window::DrawLine(0, row, window::MaxY(), row, colour);
}

void PrepareOutsideView() {
    const Parameters& p = Params();
    RunState& run = Run();

    // The matrices of the tilt keys and of the perspectives; every run
    // starts with the identity view.
    astro::RotationAboutX(run.tiltForward, TiltStep);
    astro::RotationAboutX(run.tiltBack, -TiltStep);
    const Real latitudeAngle = LatitudeViewAngle(p.latitude);
    astro::RotationAboutX(run.latitudeViewMatrix, latitudeAngle);
    astro::RotationAboutX(run.latitudeViewInverse, -latitudeAngle);
    astro::RotationAboutX(run.viewMatrix, 0);
    astro::RotationAboutX(run.inverseViewMatrix, 0);
    PrepareDiscs(); // the observer's place on the globe
    outsideViewState.startLabels.clear();

    // The square picture and the Earth's centre on it: set even when the
    // run starts in the inside view, so that "d" finds them.
    SetOutsideViewWindow();
    run.earthCentreX = window::ScreenX(0);
    run.earthCentreY = window::ScreenY(0);

    // The inside view draws nothing of the outside view at its start.
    if (p.viewMode == 0) return;

    // A black screen under the opening pictures.
    window::SetFillColour(255, window::Black, window::Black);
    window::FillRectangle(0, 0, window::MaxX() + 1, window::MaxY() + 1);
    Discs().sunSymbolShown = false;

    // The opening trail: seven Moons, the last one a spacing before the
    // start instant; currentJD ends at the start instant again.
    if (!p.startedWithFile) {
        const Real startJD = run.currentJD;
        run.perspective = 0;
        for (int i = OpeningTrailLength; i >= 1; --i) {
            run.currentJD = startJD - static_cast<Real>(i) * OpeningTrailSpacingDays;
            ComputeOutsideScene();
            DrawLabelledMoon(window::White);
        }
        run.currentJD = startJD;
    }

    // The first picture: the start instant, drawn over the trail.
    ComputeOutsideScene();
    DrawOutsideLabels();
    DrawEarth(window::LightBlue);
    DrawLabelledMoon(window::LightRed);

    // The trail and the first picture stay until the first key (the tick
    // that handles it clears the screen once).
    run.outsideScreenCleared = false;
    run.redrawAfterHelp = false;
    run.tiltAngle = 0;
    DrawOutsideLabels();
    RedrawStartLabels();
    // Without a parameter file the first frame shows the instant one step
    // before the start, the next one the start instant.
    if (!p.startedWithFile) run.currentJD -= p.timeStep;
}

void DrawOutsideFrame() {
    const RunState& run = Run();
    ComputeOutsideScene();
    // The Sun symbol of the last frame goes before the horizon line and the
    // labels are drawn over its place.
    if (run.perspective == 2) DrawSunSymbol(window::Black);
    DrawOutsideLabels();
    if (!run.outsideScreenCleared) RedrawStartLabels(); // the trail is still there
    if (run.perspective == 2) {
        DrawHorizonLine(window::DarkGray);
        DrawSunSymbol(window::Yellow);
    }
    DrawMoonAndEarthInDepthOrder();
    // An Earth grown past the picture's right edge covers the status panel:
    // the panel goes over it again, so that its texts stay readable.
    if (static_cast<std::int64_t>(run.earthCentreX) + run.earthRadiusPx + 10 >= window::MaxY())
        DrawOutsidePanel();
}

} // namespace app

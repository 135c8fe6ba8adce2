// Stand-ins for the outside view until it is built: they keep the run state
// as the real ones will (matrices, viewports, the flags of a run's start) and
// show the instant of each frame as a line of text, so that the program can
// be tried.
// The real implementations replace this file as a whole.
#include <string>

#include "app/Discs.h"
#include "app/InsideView.h"
#include "app/MainLoop.h"
#include "app/OutsideView.h"
#include "app/Panel.h"
#include "app/Parameters.h"
#include "app/Scene.h"
#include "astro/Vectors.h"
#include "window/Graphics.h"
#include "window/NumberText.h"
#include "window/WorldWindow.h"

namespace app {

namespace {

std::string Formatted(Real value, Real spec) {
    std::string s;
    window::FormatNumber(s, value, spec);
    return s;
}

std::string WithoutLeadingBlanks(std::string s) {
    s.erase(0, s.find_first_not_of(' ') == std::string::npos ? s.size() : s.find_first_not_of(' '));
    return s;
}

// The instant of the frame (the date fields, which the scene computation
// has just set) as a line of text.
void DrawInstant(const std::string& viewName) {
    const Parameters& p = Params();
    const std::string text = viewName + ": " + WithoutLeadingBlanks(Formatted(p.startDay, 2.0L)) + "." +
                             WithoutLeadingBlanks(Formatted(p.startMonth, 2.0L)) + "." +
                             WithoutLeadingBlanks(Formatted(p.startYear, 4.0L)) + ", " +
                             WithoutLeadingBlanks(Formatted(p.startTime, 2.2L)) + " Uhr MEZ";
    window::SetFillColour(255, window::Black, window::Black);
    window::FillRectangle(0, 0, window::MaxX() + 1, window::MaxY() - 2 * window::CharHeight());
    window::SetTextStyle("Courier", 20, 1);
    window::SetTextAlignment(1, 1);
    window::SetTextBackground(window::Black);
    window::DrawText(window::MaxX() / 2, window::MaxY() / 2, text, window::White);
    window::SetTextStyle("Courier", 10, 0);
}

} // namespace

void PrepareOutsideView() {
    Parameters& p = Params();
    RunState& run = Run();
    astro::RotationAboutX(run.tiltForward, astro::Pi / 18);
    astro::RotationAboutX(run.tiltBack, -astro::Pi / 18);
    const Real latitudeAngle =
        p.latitude > 0 ? p.latitude - ObliquityRadians : astro::Pi - ObliquityRadians - p.latitude;
    astro::RotationAboutX(run.latitudeViewMatrix, latitudeAngle);
    astro::RotationAboutX(run.latitudeViewInverse, -latitudeAngle);
    astro::RotationAboutX(run.viewMatrix, 0);
    astro::RotationAboutX(run.inverseViewMatrix, 0);
    SetOutsideViewWindow();
    run.earthCentreX = window::ScreenX(0);
    run.earthCentreY = window::ScreenY(0);
    if (p.viewMode == 0) return;
    window::SetFillColour(255, window::Black, window::Black);
    window::FillRectangle(0, 0, window::MaxX() + 1, window::MaxY() + 1);
    if (!p.startedWithFile) run.perspective = 0; // the opening trail starts from the ecliptic pole
    run.outsideScreenCleared = false;
    run.redrawAfterHelp = false;
    run.tiltAngle = 0;
    DrawOutsideLabels();
    // Without a parameter file the first frame shows the instant one step
    // before the start.
    if (!p.startedWithFile) run.currentJD -= p.timeStep;
}

void DrawOutsideFrame() {
    ComputeOutsideScene();
    DrawInstant("Ansicht von außen");
}

} // namespace app

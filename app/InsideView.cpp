// The inside view: its background pictures and its frames.
//
// Directions are in the horizontal frame (X south, Y west, Z up; azimuth from
// south toward west) and reach the screen through ProjectSky (the central
// azimuth turned to the front, a central projection from the eye point onto
// the picture plane) and the inside world window (ScreenX, ScreenY). The
// world window has equal scales on both axes: the picture is not distorted.
#include "app/InsideView.h"
#include "app/InsideViewParts.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/Discs.h"
#include "app/MainLoop.h"
#include "app/Panel.h"
#include "app/Parameters.h"
#include "app/Scene.h"
#include "astro/TimeScales.h"
#include "astro/Vectors.h"
#include "window/NumberText.h"
#include "window/WorldWindow.h"

namespace app {

namespace {

using astro::Vector3;
using insideview::BrokenLine;
using insideview::DrawEquatorialOverlay;
using insideview::Project;
using insideview::ScreenPoint;
using window::PixelPoint;

InsideViewState insideState;

using astro::Degree;
// The sampling of every curve of the view: horizon, grid, equator, ecliptic.
constexpr Real CurveStep = 2 * Degree;
// The horizon walk starts just off the central meridian of the sky.
constexpr Real HorizonStartAzimuth = 0.01L * Degree;
constexpr std::size_t MaxHorizonPoints = 1000;
// Sun and Moon further below the horizon than this are not drawn.
constexpr Real HiddenBelow = -10 * Degree;
// The date line stands 50 pixels below the projection of this direction (the
// point 80 degrees high toward the east) and the black band reaches down to it.
constexpr Real TextLineDirectionAngle = 100 * Degree;
constexpr std::int32_t TextLineOffset = 50;

// The colours of one background picture.
struct PictureColours {
    int ground, sky, horizon;
};
constexpr PictureColours NightColours{window::Green, window::Black, window::DarkGray};
constexpr PictureColours TwilightColours{window::Green, window::Blue, window::DarkGray};
constexpr PictureColours DayColours{window::LightGreen, window::LightBlue, window::LightGray};

// A compass letter at the azimuth (from south toward west) where it stands.
struct CompassLetter {
    const char* text;
    Real azimuth;
};
constexpr CompassLetter CompassLetters[] = {
    {"S", 0},
    {"O", -90 * Degree},
    {"W", 90 * Degree},
    {"N", 180 * Degree},
};
// The letters stand on the ground, inside the horizon circle.
constexpr Real CompassRadius = 0.9L;

Vector3 Direction(Real azimuth, Real altitude, Real radius = 1) {
    return astro::MakeVector(radius * std::cos(altitude) * std::cos(azimuth),
                             radius * std::cos(altitude) * std::sin(azimuth), radius * std::sin(altitude));
}

std::int32_t ComputeTextLineY() {
    Real wx = 0, wy = 0;
    Project(astro::MakeVector(0, std::cos(TextLineDirectionAngle), std::sin(TextLineDirectionAngle)), wx, wy);
    const std::int64_t row = static_cast<std::int64_t>(window::ScreenY(wy)) - TextLineOffset;
    return static_cast<std::int32_t>(std::max<std::int64_t>(row, std::numeric_limits<std::int32_t>::min()));
}

// The horizon from beyond the right edge to beyond the left edge. The walk
// takes each point's mirror image, screen x of -worldX: the horizon is
// symmetric about the central azimuth, so the mirrored walk traces the same
// curve, and going down in azimuth it leaves the screen on the right first.
void BuildHorizon() {
    InsideViewState& s = insideState;
    const std::int32_t maxX = window::MaxX(), maxY = window::MaxY();
    auto point = [](Real azimuth) {
        Real wx = 0, wy = 0;
        Project(Direction(azimuth, 0), wx, wy);
        return ScreenPoint(-wx, wy);
    };
    s.horizonPoints.clear();
    Real azimuth = HorizonStartAzimuth;
    PixelPoint p = point(azimuth);
    // A whole turn is 180 steps; the right edge comes within half of them.
    for (int step = 0; p.x <= maxX && step < 360; ++step) {
        azimuth -= CurveStep;
        p = point(azimuth);
    }
    s.horizonPoints.push_back(p);
    while (p.x >= 0 && s.horizonPoints.size() < MaxHorizonPoints) {
        azimuth += CurveStep;
        p = point(azimuth);
        s.horizonPoints.push_back(p);
    }
    s.groundPolygon = s.horizonPoints;
    s.groundPolygon.push_back(PixelPoint{0, maxY + 1});
    s.groundPolygon.push_back(PixelPoint{maxX + 1, maxY + 1});
    s.skyPolygon = s.horizonPoints;
    s.skyPolygon.push_back(PixelPoint{0, -1});
    s.skyPolygon.push_back(PixelPoint{maxX + 1, -1});
}

void SetObserverPoint() {
    Real wx = 0, wy = 0;
    Project(astro::MakeVector(0, 0, 0), wx, wy);
    Run().observerX = window::ScreenX(wx);
    Run().observerY = window::ScreenY(wy);
}

void FillArea(const std::vector<PixelPoint>& points, int colour) {
    // Outlined with the window's black pen.
    window::SetFillColour(255, colour, window::Black);
    window::FillPolygon(static_cast<std::int32_t>(points.size()), points.data());
}

// Lines of equal azimuth from the zenith down to the horizon, and circles of
// equal altitude from the horizon up, `spacing` apart; the meridian (azimuth
// 0, south) and the horizon are always among them.
void DrawGrid(Real spacing) {
    constexpr int AltitudeSteps = 45; // 90 degrees in steps of 2
    constexpr int AzimuthSteps = 180; // -180 to +180 degrees in steps of 2
    // Spacings that divide 180 degrees meet -180 (and so +180, the same
    // line) up to rounding; this margin decides those ties.
    constexpr Real Margin = 1e-9L;
    const int lowest = -astro::TruncToInt32(std::floor(astro::Pi / spacing + Margin));
    for (int k = lowest; k * spacing < astro::Pi - Margin; ++k) {
        const Real azimuth = k * spacing;
        BrokenLine line(window::LightGray);
        for (int i = 0; i <= AltitudeSteps; ++i)
            line.Add(Direction(azimuth, (90 - 2 * i) * Degree), true);
    }
    for (int k = 0; k * spacing < astro::Pi / 2 - Margin; ++k) {
        const Real altitude = k * spacing;
        BrokenLine line(window::LightGray);
        for (int i = 0; i <= AzimuthSteps; ++i)
            line.Add(Direction((2 * i - 180) * Degree, altitude), true);
    }
}

// One background picture on the client area, then kept.
void DrawBackground(window::ScreenPicture& picture, const PictureColours& colours, Real spacing) {
    const InsideViewState& s = insideState;
    RunState& run = Run();
    const std::int32_t maxX = window::MaxX();

    window::SetFillColour(255, window::Black, window::Black);
    window::FillRectangle(0, 0, maxX + 1, window::MaxY() + 1);
    if (!s.horizonPoints.empty()) {
        window::MoveToPixel(s.horizonPoints.front().x, s.horizonPoints.front().y);
        for (const PixelPoint& p : s.horizonPoints)
            window::LineToPixel(p.x, p.y, colours.horizon);
    }
    FillArea(s.groundPolygon, colours.ground);
    FillArea(s.skyPolygon, colours.sky);

    DrawGrid(spacing);

    run.textLineY = ComputeTextLineY();
    if (run.textLineY > 0) {
        window::SetFillColour(255, window::Black, window::Black);
        window::FillRectangle(0, 0, maxX + 1, run.textLineY);
    }

    // The fan of ground lines toward the horizon at azimuths 0 to 210 degrees.
    const int fanColour = colours.ground == window::Green ? window::Black : window::DarkGray;
    for (int t = -90; t <= 120; t += 30) {
        Real wx = 0, wy = 0;
        Project(astro::MakeVector(-std::sin(t * Degree), std::cos(t * Degree), 0), wx, wy);
        window::DrawLine(run.observerX, run.observerY, window::ScreenX(wx), window::ScreenY(wy), fanColour);
    }

    window::SetTextAlignment(1, 1);
    window::SetTextBackground(colours.ground);
    for (const CompassLetter& letter : CompassLetters) {
        Real wx = 0, wy = 0;
        if (Project(Direction(letter.azimuth, 0, CompassRadius), wx, wy))
            window::DrawText(window::ScreenX(wx), window::ScreenY(wy), letter.text, window::White);
    }

    window::SetFillColour(255, window::LightRed, window::LightRed);
    window::FillEllipse(run.observerX, run.observerY, 4, 4);
    window::SetTextAlignment(1, 2);
    window::SetTextBackground(colours.ground);
    window::DrawText(run.observerX, run.observerY + 3, "Beobachter", window::White);

    window::SetTextAlignment(2, 0);
    window::SetTextBackground(window::Black);
    window::DrawText(maxX, window::CharHeight(), "\"F1\": Hilfe ", window::LightRed);

    window::CaptureScreen(picture);
}

// Whether the pictures of the last run start show this run's background
// (those not drawn yet will show it when drawn).
bool PicturesFit(Real spacing) {
    const InsideViewState& s = insideState;
    const Parameters& p = Params();
    return p.latitude * p.previousLatitude > 0 && s.picturesAzimuth == p.centralAzimuth &&
           s.picturesGridSpacing == spacing && s.picturesMaxX == window::MaxX() &&
           s.picturesMaxY == window::MaxY();
}

// The celestial equator or the ecliptic, drawn where it is above the horizon
// and in front of the eye. equatorial(i) gives right ascension and
// declination of the i-th of `count` points.
template <typename Equatorial> void DrawSkyCircle(int count, Equatorial equatorial) {
    const SceneState& scene = Scene();
    BrokenLine line(window::LightGray);
    for (int i = 0; i < count; ++i) {
        Real a = 0, b = 0;
        equatorial(i, a, b);
        astro::EquatorialToHorizon(a, b, scene.sinLatitude, scene.cosLatitude, scene.localSiderealTime);
        line.Add(Direction(a, b), b >= 0);
    }
}

void DrawEquator() {
    DrawSkyCircle(181, [](int i, Real& rightAscension, Real& declination) {
        rightAscension = (2 * i - 180) * Degree;
        declination = 0;
    });
}

void DrawEcliptic() {
    const Parameters& p = Params();
    DrawSkyCircle(181, [&p](int i, Real& rightAscension, Real& declination) {
        Vector3 v = Direction(2 * i * Degree, 0);
        astro::RotatePair(v.Y, v.Z, p.sinObliquity, p.cosObliquity);
        astro::SphericalPos equatorial;
        astro::VectorToSpherical(v, equatorial);
        rightAscension = equatorial.Longitude;
        declination = equatorial.Latitude;
    });
}

// A disc's altitude and whether its direction lies in front of the eye: a
// direction on the near side of the sky sphere would be drawn over some other
// part of the sky.
bool DiscShown(const Vector3& sky, Real& altitude) {
    altitude = astro::ArcSine(sky.Z);
    Real wx = 0, wy = 0;
    return Project(sky, wx, wy) && altitude > HiddenBelow;
}

} // namespace

InsideViewState& InsideView() {
    return insideState;
}

void ResetInsideView() {
    insideState = InsideViewState{};
}

Real InsideGridSpacing(Real entered) {
    if (!(entered > 0) || !std::isfinite(entered)) return DefaultInsideGridSpacing;
    return entered < MinInsideGridSpacing ? MinInsideGridSpacing : entered;
}

std::string InsideLocationText(const std::string& latitudeText, const std::string& longitudeText) {
    return " (" + latitudeText + "°" + "n.B., " + longitudeText + "°" + "ö.L.)";
}

std::string InsideClockText(Real clock) {
    // Two decimals in a field of six without its first character, and minutes
    // rounded up to 60 shown as the next full hour: the panel's time text.
    return PanelTimeText(clock);
}

std::string InsideDateLine(std::int32_t day, std::int32_t month, std::int32_t year, Real clock,
                           const std::string& locationText) {
    return window::WithoutOneLeadingBlank(window::FormattedNumber(day, 2.0L)) + "." +
           window::WithoutOneLeadingBlank(window::FormattedNumber(month, 2.0L)) + "." +
           window::FormattedNumber(year, 4.0L) + ", " + InsideClockText(clock) + " Uhr" + locationText;
}

void PrepareInsideView() {
    const Parameters& p = Params();
    RunState& run = Run();
    SceneState& scene = Scene();
    InsideViewState& s = insideState;

    run.insideDiscRadius = 15;
    s.screenCentreX = window::MaxX() / 2;
    s.screenCentreY = window::MaxY() / 2;
    SetInsideViewWindow();
    scene.localSiderealTime = astro::LocalSiderealTime(
        astro::CalendarDate{p.startDay, p.startMonth, p.startYear}, p.startTime, p.longitude);
    astro::RotationAboutZ(scene.azimuthMatrix, -p.centralAzimuth);
    s.locationText = InsideLocationText(p.latitudeText, p.longitudeText);
    BuildHorizon();
    PrepareDiscs();
    SetObserverPoint();
    run.textLineY = ComputeTextLineY();

    const Real spacing = InsideGridSpacing(p.gridSpacing);
    if (PicturesFit(spacing)) return;
    // Drawn by BackgroundPicture when a frame first needs them.
    for (window::ScreenPicture& picture : s.backgroundPictures)
        picture = window::ScreenPicture();
    s.picturesAzimuth = p.centralAzimuth;
    s.picturesGridSpacing = spacing;
    s.picturesMaxX = window::MaxX();
    s.picturesMaxY = window::MaxY();
}

const window::ScreenPicture& BackgroundPicture(BackgroundIndex index) {
    InsideViewState& s = insideState;
    window::ScreenPicture& picture = s.backgroundPictures[index];
    if (picture.IsEmpty()) {
        constexpr std::array<PictureColours, 3> colours = {NightColours, TwilightColours, DayColours};
        window::SetTextStyle("Courier", 10, 0);
        DrawBackground(picture, colours[index], s.picturesGridSpacing);
        ++s.picturesDrawn;
    }
    return picture;
}

void DrawInsideFrame() {
    ComputeInsideScene();
    DrawInsideScene();
}

void DrawInsideScene() {
    const Parameters& p = Params();
    RunState& run = Run();
    const SceneState& scene = Scene();
    const InsideViewState& s = insideState;

    run.textLineY = ComputeTextLineY();
    const BackgroundIndex picture = scene.sunAboveHorizon ? DayPicture
                                    : scene.sunInTwilight ? TwilightPicture
                                                          : NightPicture;
    window::DrawScreenPicture(BackgroundPicture(picture));
    const PictureColours& colours = picture == DayPicture        ? DayColours
                                    : picture == TwilightPicture ? TwilightColours
                                                                 : NightColours;

    if (p.drawEquator) DrawEquator();
    if (p.drawEcliptic) DrawEcliptic();
    if (run.equatorialOverlay) DrawEquatorialOverlay(insideState.screenCentreX);

    window::SetTextStyle("Courier", 20, 1);
    window::SetTextAlignment(1, 0);
    window::SetTextBackground(window::Black);
    window::DrawText(s.screenCentreX, run.textLineY - 10,
                     InsideDateLine(p.startDay, p.startMonth, p.startYear, p.startTime, s.locationText),
                     window::White);
    window::SetTextStyle("Courier", 10, 0);

    Real altitude = 0;
    if (DiscShown(scene.sunSky, altitude))
        DrawInsideSun(window::ScreenX(scene.sunWorldX), window::ScreenY(scene.sunWorldY),
                      altitude >= 0 ? window::Yellow : window::Red);

    if (DiscShown(scene.moonSky, altitude)) {
        // The dark part has the colour of what the Moon stands on: the sky
        // above the horizon, the ground (green, light green by day) below.
        const bool up = altitude >= 0;
        DrawInsideMoon(window::ScreenX(scene.moonWorldX), window::ScreenY(scene.moonWorldY),
                       run.insideDiscRadius, up ? colours.sky : colours.ground,
                       up ? window::LightGray : window::DarkGray, scene.brightLimbAngle,
                       std::fabs(scene.phaseAngle) - astro::Pi / 2);
        DrawInsideMoonShadow(window::ScreenX(scene.moonWorldX), window::ScreenY(scene.moonWorldY),
                             run.insideDiscRadius, up ? window::LightGray : window::DarkGray);
    }
}

} // namespace app

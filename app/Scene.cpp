#include "app/Scene.h"

#include <cmath>

#include "app/MainLoop.h"
#include "app/Parameters.h"
#include "window/WorldWindow.h"

namespace app {

namespace {

SceneState sceneState;

// The shown date fields of the record take the civil date and MEZ clock of
// the instant, and the scene its sidereal time.
void TakeInstant(const Instant& t) {
    Parameters& p = Params();
    p.startDay = t.date.Day;
    p.startMonth = t.date.Month;
    p.startYear = t.date.Year;
    p.startTime = t.clock;
    Scene().localSiderealTime = t.localSiderealTime;
}

Site CurrentSite() {
    const Parameters& p = Params();
    const SceneState& s = Scene();
    return Site{p.latitude, p.longitude, s.sinLatitude, s.cosLatitude};
}

} // namespace

SceneState& Scene() {
    return sceneState;
}

void ResetScene() {
    sceneState = SceneState{};
}

void PrepareScene() {
    const Parameters& p = Params();
    SceneState& s = Scene();
    s.sinLatitude = std::sin(p.latitude);
    s.cosLatitude = std::cos(p.latitude);
    astro::RotationAboutZ(s.azimuthMatrix, -p.centralAzimuth);
}

void SetInsideWorldWindow(std::int32_t maxX, std::int32_t maxY) {
    if (maxX < 1 || maxY < 1) return;
    const window::WorldWindowMap map = InsideWorldWindow(maxX, maxY, Run().insideHalfWidth);
    window::SetViewport(map.left, map.right, map.top, map.bottom);
    window::SetWorldWindow(map.xmin, map.xmax, map.ymin, map.ymax);
}

InsideSceneInput CurrentInsideInput(Real jd) {
    InsideSceneInput in;
    in.site = CurrentSite();
    in.jd = jd;
    in.eye = Params().eyePoint;
    in.azimuthMatrix = Scene().azimuthMatrix;
    in.moonPlacementDistance = static_cast<Real>(Run().outsideDiscRadius);
    in.world = window::CurrentWorldWindow();
    return in;
}

OutsideSceneInput CurrentOutsideInput(Real jd) {
    OutsideSceneInput in;
    in.site = CurrentSite();
    in.jd = jd;
    in.perspective = Run().perspective;
    return in;
}

void ComputeOutsideScene() {
    const OutsideSceneResult r = ComputeOutsideScene(CurrentOutsideInput(Run().currentJD));
    TakeInstant(r.instant);
    SceneState& s = Scene();
    s.globeSpinMatrix = r.globeSpinMatrix;
    s.globeSpinInverse = r.globeSpinInverse;
    s.sunEcliptic = r.bodies.sun;
    s.moonEcliptic = r.bodies.moon;
    s.sunVector = r.sunVector;
    s.moonVector = r.moonVector;
    s.shadow = r.shadow;
    s.shadowVector = r.shadowVector;
}

void ComputeInsideScene() {
    const InsideSceneResult r = ComputeInsideScene(CurrentInsideInput(Run().currentJD));
    TakeInstant(r.instant);
    SceneState& s = Scene();
    s.sunSky = r.sunSky;
    s.sunAltitude = r.sunAltitude;
    s.sunAboveHorizon = r.height.aboveHorizon;
    s.sunInTwilight = r.height.inTwilight;
    s.skyColour = r.height.skyColour;
    s.sunWorldX = r.sunWorldX;
    s.sunWorldY = r.sunWorldY;
    s.moonSky = r.moonSky;
    s.moonAltitude = r.moonAltitude;
    s.moonWorldX = r.moonWorldX;
    s.moonWorldY = r.moonWorldY;
    s.brightLimbAngle = r.brightLimbAngle;
    s.phaseAngle = r.phaseAngle;
    s.shadow = r.shadow;
    s.shadowScreenAngle = r.shadowScreenAngle;
}

void ProjectSky(const astro::Vector3& eye, const astro::Vector3& direction, Real& worldX, bool& visible,
                Real& worldY) {
    const SkyPoint point = ProjectSkyPoint(Scene().azimuthMatrix, eye, direction);
    visible = point.visible;
    if (!point.defined) return;
    worldX = point.worldX;
    worldY = point.worldY;
}

} // namespace app

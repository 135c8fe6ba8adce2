// The scene of the current instant as the views draw it: the program-wide
// scene state and the thin wrappers that fill it from the run state through
// the pure geometry of SceneGeometry.h.
#pragma once

#include <cstdint>

#include "app/SceneGeometry.h"

namespace app {

struct SceneState {
    // Fixed inputs of a run (radians), set by PrepareScene.
    Real sinLatitude = 0, cosLatitude = 1;
    astro::Matrix3 azimuthMatrix{}; // RotationAboutZ(-centralAzimuth)

    Real localSiderealTime = 0; // radians, at the longitude of the site

    // Outside view, in Earth radii in the model frame of the perspective.
    astro::SphericalPos sunEcliptic{}, moonEcliptic{}; // Earth radii, ecliptic longitude, latitude
    astro::Vector3 sunVector{}, moonVector{};
    astro::Matrix3 globeSpinMatrix{}, globeSpinInverse{};

    // Inside view: unit directions in the horizontal frame (X south, Y west,
    // Z zenith) and their projections onto the picture plane.
    astro::Vector3 sunSky{}, moonSky{};
    Real sunAltitude = 0, moonAltitude = 0; // radians, geocentric
    Real sunWorldX = 0, sunWorldY = 0, moonWorldX = 0, moonWorldY = 0;
    bool sunAboveHorizon = false, sunInTwilight = false;
    int skyColour = 0;
    Real brightLimbAngle = 0; // radians, screen direction toward the Sun's side, y up
    Real phaseAngle = 0;      // radians, signed; 0 at full moon, +-pi at new moon, > 0 waxing

    // The Earth's shadow at the Moon (both views); the inside view's screen
    // direction from the Moon toward the shadow's centre (radians, y up); the
    // outside view's shadow axis, unit, in the model frame of the perspective.
    astro::LunarShadow shadow;
    Real shadowScreenAngle = 0;
    astro::Vector3 shadowVector{};
};

SceneState& Scene();
void ResetScene();

// The fixed inputs of a run from the parameter record: the sine and cosine of
// the latitude and the matrix that turns the central azimuth to +X. Needs
// latitude and centralAzimuth in radians (StartRun converts them first).
void PrepareScene();

// Sets the inside view's world window (InsideWorldWindow with the run's
// half width) as the window in force. A client area with maxX or maxY below
// 1 has no such window; the call then changes nothing.
void SetInsideWorldWindow(std::int32_t maxX, std::int32_t maxY);

// The inputs of the pure scene for the instant jd from the parameter record
// and the run state (the inside view with the world window in force).
InsideSceneInput CurrentInsideInput(Real jd);
OutsideSceneInput CurrentOutsideInput(Real jd);

// Both read Run().currentJD and the parameter record, and write the civil
// date and MEZ clock of that instant into startDay, startMonth, startYear
// and startTime (the labels show them).
// The outside results for Run().perspective: sunVector, moonVector in Earth
// radii, the globe spin and its inverse.
void ComputeOutsideScene();
// The inside results: sky directions, their projections, the height class,
// the bright limb (through the world window in force) and the phase angle.
void ComputeInsideScene();

// ProjectSkyPoint with the run's azimuth matrix. When the line of sight is
// parallel to the picture plane, visible is false and worldX and worldY keep
// their values.
void ProjectSky(const astro::Vector3& eye, const astro::Vector3& direction, Real& worldX, bool& visible,
                Real& worldY);

} // namespace app

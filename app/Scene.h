// The geometry of the scene at the current instant: the Sun and the Moon as
// the view in use draws them. Computes; draws nothing.
#pragma once

#include "astro/Numeric.h"
#include "astro/Vectors.h"

namespace app {

using astro::Real;

struct SceneState {
    // Fixed inputs of a run (radians).
    Real sinLatitude = 0, cosLatitude = 1;
    astro::Matrix3 azimuthMatrix{};  // RotationAboutZ(-centralAzimuth)

    Real localSiderealTime = 0;  // radians, at the longitude of the site

    // Outside view, in Earth radii in the model frame of the perspective.
    astro::SphericalPos sunEcliptic{}, moonEcliptic{};
    astro::Vector3 sunVector{}, moonVector{};
    astro::Matrix3 globeSpinMatrix{}, globeSpinInverse{};

    // Inside view: unit directions in the horizontal frame (X south, Y west,
    // Z zenith) and their projections onto the picture plane.
    astro::Vector3 sunSky{}, moonSky{};
    Real sunWorldX = 0, sunWorldY = 0, moonWorldX = 0, moonWorldY = 0;
    bool sunAboveHorizon = false, sunInTwilight = false;
    int skyColour = 0;
    Real brightLimbAngle = 0;  // radians, screen direction toward the Sun's side, y up
    Real phaseAngle = 0;       // radians, signed; 0 at full moon
};

SceneState& Scene();
void ResetScene();

void ComputeOutsideScene();
void ComputeInsideScene();
// Central projection from `eye` onto the plane X = 1; the outputs keep their
// values when the direction is parallel to the plane.
void ProjectSky(const astro::Vector3& eye, const astro::Vector3& direction, Real& worldX, bool& visible,
                Real& worldY);

}  // namespace app

// The geometry of the scene at the current instant: the Sun and the Moon as
// the view in use draws them. Computes; draws nothing.
//
// Frames used here:
// - ecliptic: X toward the vernal equinox, Z toward the ecliptic north pole;
// - horizontal: X toward south, Y toward west, Z toward the zenith (azimuth
//   counted from south toward west, as EquatorialToHorizon gives it);
// - the model frame of the horizon-based outside view (perspective 2): Y
//   toward the zenith, so the horizon is the plane Y = 0; at a northern site
//   (latitude above 0) X toward west and Z toward south, elsewhere X toward
//   east and Z toward north;
// - the picture plane of the inside view: the plane X = 1 after the central
//   azimuth has been turned to +X, seen from the eye point behind and above
//   the observer; world x to the right, world y up.
#pragma once

#include <cstdint>

#include "astro/Numeric.h"
#include "astro/Vectors.h"

namespace app {

using astro::Real;

// Earth radii per astronomical unit: the views keep all distances in Earth radii.
inline constexpr Real EarthRadiiPerAU = 23454.78L;
// The Moon's distance in the horizon-based outside view (perspective 2), in
// Earth radii: the picture of that perspective is drawn for this distance.
inline constexpr Real HorizonMoonDistance = 54;
// The lower limit of twilight: the Sun 6 degrees below the horizon (radians).
inline constexpr Real TwilightLimit = -6 * astro::Pi / 180;

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
};

SceneState& Scene();
void ResetScene();

// The Sun's height class and the sky colour that goes with it. Day needs an
// altitude above 0; twilight lies strictly between 0 and -6 degrees; an
// altitude of exactly 0 or exactly -6 degrees, and anything lower, is night.
struct SunHeightClass {
    bool aboveHorizon = false;
    bool inTwilight = false;
    int skyColour = 0; // LightBlue by day, Blue in twilight, Black at night
};
SunHeightClass ClassifySunAltitude(Real altitude);

// The fixed inputs of a run from the parameter record: the sine and cosine of
// the latitude and the matrix that turns the central azimuth to +X. Needs
// latitude and centralAzimuth in radians (StartRun converts them first).
void PrepareScene();

// The inside view's viewport (the whole client area, x 0..maxX, y 0..maxY)
// and world window (x from -insideHalfWidth to +insideHalfWidth, y from
// -0.5 to 1.5 times insideHalfWidth * maxY / maxX: equal scales on both axes,
// world y = 0 a quarter of the height above the bottom). A client area with
// maxX or maxY below 1 has no such window; the call then changes nothing.
void SetInsideWorldWindow(std::int32_t maxX, std::int32_t maxY);

// Both read Run().currentJD and the parameter record, and write the civil
// date and MEZ clock of that instant into startDay, startMonth, startYear
// and startTime.
// The outside results for Run().perspective: sunVector, moonVector in Earth
// radii, the globe spin and its inverse.
void ComputeOutsideScene();
// The inside results: sky directions, their projections, the height class,
// the bright limb (through ScreenX/ScreenY of the world window in force) and
// the phase angle.
void ComputeInsideScene();

// Central projection from `eye` onto the plane X = 1, after `direction` (in
// the horizontal frame) has been turned by azimuthMatrix (P below). The eye
// lies just outside the unit sky sphere; `visible` is P . (P - eye) > 0: the
// point is on the far part of the sphere, whose inner side the eye sees, not
// on the part between the eye and the observer. When P.X equals eye.X (the
// line of sight parallel to the plane), visible is false and worldX and
// worldY keep their values.
void ProjectSky(const astro::Vector3& eye, const astro::Vector3& direction, Real& worldX, bool& visible,
                Real& worldY);

} // namespace app

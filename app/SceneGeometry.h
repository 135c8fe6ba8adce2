// The geometry of the scene as pure functions: the Sun and the Moon of one
// instant as each view draws them, the phase angle, the bright limb and the
// projection of the inside view's sky. Every function takes its inputs as
// values and returns its results; none reads or writes program-wide state,
// so that the views, the frame export and orvandel-ephem compute the same
// numbers from the same inputs. No Qt.
//
// Frames used here:
// - ecliptic: X toward the vernal equinox, Z toward the ecliptic north pole;
// - equatorial: X toward the vernal equinox, Z toward the celestial north pole;
// - horizontal: X toward south, Y toward west, Z toward the zenith (azimuth
//   counted from south toward west, as EquatorialToHorizon gives it);
// - the model frame of the horizon-based outside view (perspective 2): Y
//   toward the zenith, so the horizon is the plane Y = 0; in a northern view
//   (see NorthernHorizonView) X toward west and Z toward south, otherwise X
//   toward east and Z toward north;
// - the picture plane of the inside view: the plane X = 1 after the central
//   azimuth has been turned to +X, seen from the eye point behind and above
//   the observer; world x to the right, world y up.
//
// Time scale: every Julian date is Universal Time, which the Sun and Moon
// series take directly; clock values are MEZ (UT + 1 h) as hh.mm.
#pragma once

#include <cstdint>

#include "astro/Eclipse.h"
#include "astro/Numeric.h"
#include "astro/TimeScales.h"
#include "astro/Vectors.h"
#include "window/WorldWindow.h"

namespace app {

using astro::Real;

// Earth radii per astronomical unit: the views keep all distances in Earth radii.
using astro::EarthRadiiPerAU;
// The Moon's distance in the horizon-based outside view (perspective 2), in
// Earth radii: the picture of that perspective is drawn for this distance.
inline constexpr Real HorizonMoonDistance = 54;
// The lower limit of twilight: the Sun 6 degrees below the horizon (radians).
inline constexpr Real TwilightLimit = astro::DegreesToRadians(-6);
// The obliquity of the ecliptic, taken as exactly 23.5 degrees for every
// date (radians): the program's model of the sky, not the obliquity of date.
inline constexpr Real ObliquityRadians = 23.5L * astro::Degree;

// The start values of the sizes that the keys "<" and ">" change: half the
// width of the inside view's world window, and the outside view's disc
// radius in pixels (the Moon's disc, the Sun's symbol), which is also the
// distance in Earth radii at which the phase rule places the Moon.
inline constexpr Real DefaultInsideHalfWidth = 5;
inline constexpr std::int32_t DefaultOutsideDiscRadius = 25;

// The inside view's eye point in the horizontal frame after the central
// azimuth has been turned to +X: 1.05 behind the observer (opposite the
// central azimuth) and 0.35 above, just outside the unit sky sphere.
astro::Vector3 EyePoint();

// The observer's site (radians, north and east positive) with the sine and
// cosine of the latitude that the horizon transform needs.
struct Site {
    Real latitude = 0;
    Real longitude = 0;
    Real sinLatitude = 0;
    Real cosLatitude = 1;
};
Site MakeSite(Real latitude, Real longitude);

// The sky of one instant at one site: the inputs of the transform from the
// ecliptic into the observer's horizon.
struct SkyFrame {
    Real sinLatitude = 0, cosLatitude = 1;
    Real localSiderealTime = 0; // radians, at the site's longitude
    Real sinObliquity = 0, cosObliquity = 1;
};

// The instants the program shows: from 1 March -4712, 0 h UT (1.00 MEZ),
// to 31 December 9999, 23.59 MEZ (Julian dates, UT). Across this range both
// calendar conversions are exact (their truncations act as the floor they
// stand for, and one day later the clock of 24.00 MEZ would already be the
// year 10000), so every instant in it has a real civil date and reads back
// to itself. Beyond it the date fields would be no date at all.
inline constexpr Real FirstSupportedJD = 59.5L;
inline constexpr Real LastSupportedJD = 5373484.5L - 61.0L / 1440;
// The longest time step in days: the whole range. Any longer step would leave
// it from every instant.
inline constexpr Real LongestTimeStep = LastSupportedJD - FirstSupportedJD;
// The range as the refusals name it.
inline constexpr const char* SupportedRangeText = "vom 1.3.-4712 bis zum 31.12.9999";

// False outside the range and for NaN.
bool InSupportedRange(Real jd);
// As InSupportedRange, but an instant that rounding has put a hair outside an
// end (at most about a tenth of a second) still counts; clamped, it is the end.
bool InSupportedRangeUpToRounding(Real jd);
// The nearest instant of the range; NaN gives its first instant.
Real ClampToSupportedRange(Real jd);
// The Julian date (UT) of a start date and its MEZ clock value (hh.mm). Day
// and month need not be in their usual ranges: day 32 is the first of the
// next month, month 0 the December of the year before, month 13 the January
// of the next (the month is carried into the year before the conversion,
// whose formula holds for months 1 to 14 only).
Real StartJulianDate(const astro::CalendarDate& date, Real clock);
// Whether a start date with its clock value lies in the range, and whether a
// start date does at noon (12.00 MEZ).
bool StartInSupportedRange(const astro::CalendarDate& date, Real clock);
bool StartDateInSupportedRange(const astro::CalendarDate& date);
// Whether a time step given as hh.mm is at most LongestTimeStep long.
bool TimeStepSupported(Real clockStep);
// "*": the step (days) doubled, or unchanged once the double would be longer
// than LongestTimeStep.
Real DoubledTimeStep(Real step);

// The civil instant of a Julian date: the date and MEZ clock that the labels
// show, and the local sidereal time at `longitude` (radians).
struct Instant {
    Real jd = 0;
    astro::CalendarDate date;
    Real clock = 0;             // MEZ, hh.mm
    Real localSiderealTime = 0; // radians
};
Instant MakeInstant(Real jd, Real longitude);

SkyFrame MakeSkyFrame(const Site& site, Real localSiderealTime, Real obliquity = ObliquityRadians);

// One direction on the sky in the three frames. All angles radians.
struct SkyPosition {
    Real rightAscension = 0; // [0, 2 pi)
    Real declination = 0;
    Real azimuth = 0;  // from south, positive toward west, (-pi, pi]
    Real altitude = 0; // geocentric
    // The direction in the horizontal frame, with the length of the vector
    // given to EclipticToSky.
    astro::Vector3 horizontal{};
};

// An ecliptic vector turned into the observer's sky: ecliptic to equatorial
// with the obliquity, to right ascension and declination, to azimuth and
// altitude. The horizontal vector keeps the given vector's length.
SkyPosition EclipticToSky(const astro::Vector3& ecliptic, const SkyFrame& frame);

// The unit vector of an ecliptic longitude and latitude (radians).
astro::Vector3 EclipticDirection(Real longitude, Real latitude);

// The Sun and the Moon of one instant from the two series, in the ecliptic
// frame (mean equinox of date): the Sun's distance in AU and in Earth radii,
// the Moon's in Earth radii.
struct SunAndMoon {
    astro::SphericalPos sun{}; // radius in Earth radii
    Real sunDistanceAU = 0;
    astro::SphericalPos moon{}; // radius in Earth radii
};
SunAndMoon ComputeSunAndMoon(Real jd);

// The Sun's height class and the sky colour that goes with it. Day needs an
// altitude above 0; twilight lies strictly between 0 and -6 degrees; an
// altitude of exactly 0 or exactly -6 degrees, and anything lower, is night.
struct SunHeightClass {
    bool aboveHorizon = false;
    bool inTwilight = false;
    int skyColour = 0; // LightBlue by day, Blue in twilight, Black at night
};
SunHeightClass ClassifySunAltitude(Real altitude);

// Whether the horizon-based outside view (perspective 2) at this latitude
// (radians) looks from the north toward the south. A site on the equator
// itself is drawn like a southern one: the latitude view matrix, which
// perspective 2 keeps, takes its southern branch for a latitude of 0 or
// less, and the globe's spin and the sky's axes follow the same branch, or
// the globe comes out upside down under the horizon line.
bool NorthernHorizonView(Real latitude);

// A horizon vector h (X south, Y west, Z up) in the model frame of the
// horizon-based outside view.
astro::Vector3 HorizonToModel(const astro::Vector3& h, Real latitude);

// Central projection of the inside view. `direction` (horizontal frame) is
// turned by azimuthMatrix, then projected from `eye` onto the plane X = 1.
// `visible` is P . (P - eye) > 0: the point is on the far part of the sky
// sphere, whose inner side the eye sees. When P.X equals eye.X (the line of
// sight parallel to the plane) `defined` and `visible` are false and the
// world coordinates are meaningless.
struct SkyPoint {
    Real worldX = 0, worldY = 0;
    bool visible = false;
    bool defined = false;
};
SkyPoint ProjectSkyPoint(const astro::Matrix3& azimuthMatrix, const astro::Vector3& eye,
                         const astro::Vector3& direction);

// ---- The equatorial coordinates of the inside view --------------------------

// A direction given by right ascension and declination (radians, equatorial
// frame of date) as the inside view draws it at the site and local sidereal
// time of `frame`: turned into the horizon by EquatorialToHorizon, then
// projected by ProjectSkyPoint with `azimuthMatrix` from `eye`. `drawn` is the
// rule of every curve of the view: on or above the horizon and in front of
// the eye (the projection defined and visible).
struct EquatorialSkyPoint {
    astro::Vector3 horizontal{}; // unit vector, X south, Y west, Z up
    Real azimuth = 0;            // from south toward west, (-pi, pi]
    Real altitude = 0;
    SkyPoint projected;
    bool drawn = false;
};
EquatorialSkyPoint ProjectEquatorialPoint(Real rightAscension, Real declination, const SkyFrame& frame,
                                          const astro::Matrix3& azimuthMatrix, const astro::Vector3& eye);

// The inverse of the horizon transform for one direction of the horizontal
// frame (any length but zero): right ascension in [0, 2 pi) and declination,
// radians, at the site and local sidereal time of `frame`.
struct EquatorialPosition {
    Real rightAscension = 0;
    Real declination = 0;
};
EquatorialPosition HorizonToEquatorial(const astro::Vector3& horizontal, const SkyFrame& frame);

// The inside view's world window for a client area of maxX x maxY pixels
// (x 0..maxX, y 0..maxY): x from -halfWidth to +halfWidth, y from -0.5 to 1.5
// times halfWidth * maxY / maxX, equal scales on both axes, world y = 0 a
// quarter of the height above the bottom. Needs maxX and maxY of at least 1.
window::WorldWindowMap InsideWorldWindow(std::int32_t maxX, std::int32_t maxY, Real halfWidth);

// ---- The inside view ---------------------------------------------------------

struct InsideSceneInput {
    Site site;
    Real jd = 0;
    Real obliquity = ObliquityRadians;
    astro::Vector3 eye{};            // EyePoint()
    astro::Matrix3 azimuthMatrix{};  // RotationAboutZ(-centralAzimuth)
    Real moonPlacementDistance = 25; // Earth radii: where the phase rule places the Moon
    window::WorldWindowMap world;    // the inside view's world window (for the bright limb)
};

struct InsideSceneResult {
    Instant instant;
    // Unit directions in the horizontal frame and their projections.
    astro::Vector3 sunSky{}, moonSky{};
    Real sunAltitude = 0, moonAltitude = 0; // radians, geocentric
    SkyPosition sun, moon;
    Real sunWorldX = 0, sunWorldY = 0, moonWorldX = 0, moonWorldY = 0;
    SunHeightClass height;
    Real brightLimbAngle = 0; // radians, screen direction toward the Sun's side, y up
    Real phaseAngle = 0;      // radians, signed; 0 at full moon, +-pi at new moon, > 0 waxing
    SunAndMoon bodies;        // the two series' results for the instant
    // The Earth's shadow at the Moon, and the screen direction (radians,
    // counter-clockwise from the x axis, y up) from the projected Moon
    // toward the projected shadow's centre.
    astro::LunarShadow shadow;
    Real shadowScreenAngle = 0;
};

InsideSceneResult ComputeInsideScene(const InsideSceneInput& in);

// The phase angle of the inside view: the angle at the Moon between the
// directions to the Sun and to the Earth, the Moon placed at
// `moonPlacementDistance` Earth radii in its ecliptic direction. Signed as
// the Z component of Sun x Moon in the ecliptic frame: positive while the
// Moon is less than 180 degrees east of the Sun (waxing).
Real PhaseAngle(const SunAndMoon& bodies, Real moonPlacementDistance);

// The fraction of the Moon's disc that is lit at phase angle `phase`.
Real IlluminatedFraction(Real phase);

// ---- The outside view --------------------------------------------------------

struct OutsideSceneInput {
    Site site;
    Real jd = 0;
    Real obliquity = ObliquityRadians;
    std::uint8_t perspective = 0; // 0 ecliptic north pole, 1 latitude circle, 2 horizon
};

struct OutsideSceneResult {
    Instant instant;
    SunAndMoon bodies;
    // In Earth radii in the model frame of the perspective: ecliptic for 0
    // and 1; for 2 the horizon model frame, the Moon at HorizonMoonDistance.
    astro::Vector3 sunVector{}, moonVector{};
    astro::Matrix3 globeSpinMatrix{}, globeSpinInverse{};
    // The Earth's shadow at the Moon, and its axis as a unit vector in the
    // model frame of the perspective (pointing away from the Sun).
    astro::LunarShadow shadow;
    astro::Vector3 shadowVector{};
};

OutsideSceneResult ComputeOutsideScene(const OutsideSceneInput& in);

// ---- The Earth's shadow on the Moon's disc -----------------------------------

// The shadow as one viewer sees it on the Moon's disc. Frame: the viewer's,
// X to the right and Y up on the screen, Z away from the viewer; lengths in
// Moon radii. A point of the Moon's visible hemisphere is shaded when it
// faces the Sun and lies within the shadow's radius of the shadow's axis:
// seen along the axis (from the Earth) the umbra's edge is a circle of
// umbraRadius / moonRadius Moon radii about the shadow's centre, seen from
// elsewhere that circle lies on the Moon's sphere.
struct DiscShadow {
    bool present = false;     // the penumbra touches the Moon (kind not None)
    astro::Vector3 axis{};    // unit, the shadow's direction, away from the Sun
    astro::Vector3 offset{};  // the Moon's centre from the axis, perpendicular to it
    Real umbra = 0;           // the umbra's radius
    Real visiblePenumbra = 0; // the inner half of the penumbra, where the Earth hides more than half the Sun
};

// From the shadow of the instant, its axis and the Moon's direction (from
// the Earth's centre) in the viewer's frame (any lengths but zero).
DiscShadow MakeDiscShadow(const astro::LunarShadow& shadow, const astro::Vector3& axis,
                          const astro::Vector3& moonDirection);
// Seen from the Earth (the inside view): the Moon straight ahead, the
// shadow's centre at the screen angle `shadowScreenAngle` (radians, y up)
// from the Moon's centre.
DiscShadow SkyDiscShadow(const astro::LunarShadow& shadow, Real shadowScreenAngle);

// What the shadow makes of the point (u, v) of the disc (Moon radii from its
// centre, v up): Unchanged where it leaves the phase drawing as it is (outside the
// disc, on its night side and outside the visible penumbra), Penumbra in the
// inner half of the penumbra, Umbra inside the umbra.
enum class DiscShade { Unchanged, Penumbra, Umbra };
DiscShade ShadeOfDiscPoint(const DiscShadow& shadow, Real u, Real v);

} // namespace app

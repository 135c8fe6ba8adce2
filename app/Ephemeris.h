// The rows of orvandel-ephem: the Sun's and the Moon's positions for a site
// and an instant, with the inside view's picture values, computed by the
// scene's pure geometry, and their CSV text. No Qt, no program-wide state.
#pragma once

#include <cstdint>
#include <string>

#include "app/SceneGeometry.h"
#include "astro/TimeScales.h"

namespace app {

// One body's position; angles in degrees.
struct BodyPosition {
    Real longitude = 0; // ecliptic, as the series returns it
    Real latitude = 0;
    Real distance = 0;       // AU for the Sun, Earth radii for the Moon
    Real rightAscension = 0; // [0, 360)
    Real declination = 0;
    Real azimuth = 0; // from south, positive toward west, (-180, 180]
    Real altitude = 0;
};

// The inside view's picture of the Moon and the sky.
struct InsidePicture {
    Real phaseAngle = 0;       // degrees, signed
    Real illuminated = 0;      // fraction of the disc
    const char* sky = "night"; // "day", "twilight" or "night"
    Real limbAngle = 0;        // degrees
};

struct EphemerisRow {
    Real jd = 0; // UT
    astro::CalendarDate date;
    Real clock = 0; // MEZ, hh.mm
    Real siderealHours = 0;
    BodyPosition sun;
    BodyPosition moon;
    InsidePicture picture;
};

// The inputs of the inside scene for a run of the inside view at `site`
// with the central azimuth (radians) on a client area of width x height
// pixels, as the program's initialisation sets them up.
InsideSceneInput EphemerisInput(const Site& site, Real centralAzimuth, std::int32_t width,
                                std::int32_t height);

// The row of the instant jd (UT) for `input` (its jd is replaced).
EphemerisRow ComputeEphemerisRow(InsideSceneInput input, Real jd);

inline constexpr const char* EphemerisCsvHeader =
    "jd,date,clock,lst_h,sun_lon,sun_lat,sun_dist,sun_ra,sun_dec,sun_az,sun_alt,"
    "moon_lon,moon_lat,moon_dist,moon_ra,moon_dec,moon_az,moon_alt,"
    "phase_angle,illuminated,sky,limb_angle";

// The row as one CSV line (without the line end): numbers with 15
// significant digits in the C locale, the clock hh.mm with six decimals.
std::string EphemerisCsvLine(const EphemerisRow& row);

// The clock value hh.mm with six decimals. Rounding the decimals carries a
// minute that comes out as 60 into the hour: 13.5999999999 (a rounding
// residue of 14 h) is written 14.000000, not 13.600000.
std::string FormatClockSixDecimals(Real clock);

} // namespace app

#include "app/Ephemeris.h"

#include <cmath>
#include <cstdio>
#include <initializer_list>

namespace app {

namespace {

BodyPosition Body(const astro::SphericalPos& ecliptic, Real distance, const SkyPosition& sky) {
    BodyPosition body;
    body.longitude = astro::RadiansToDegrees(ecliptic.Longitude);
    body.latitude = astro::RadiansToDegrees(ecliptic.Latitude);
    body.distance = distance;
    body.rightAscension = astro::RadiansToDegrees(sky.rightAscension);
    body.declination = astro::RadiansToDegrees(sky.declination);
    body.azimuth = astro::RadiansToDegrees(sky.azimuth);
    body.altitude = astro::RadiansToDegrees(sky.altitude);
    return body;
}

// A number with 15 significant digits (trailing zeros kept), C locale.
void AppendNumber(std::string& line, Real value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%#.15Lg", value);
    line += ',';
    line += buffer;
}

void AppendBody(std::string& line, const BodyPosition& body) {
    for (Real value : {body.longitude, body.latitude, body.distance, body.rightAscension, body.declination,
                       body.azimuth, body.altitude}) {
        AppendNumber(line, value);
    }
}

} // namespace

InsideSceneInput EphemerisInput(const Site& site, Real centralAzimuth, std::int32_t width,
                                std::int32_t height) {
    InsideSceneInput in;
    in.site = site;
    in.eye = EyePoint();
    astro::RotationAboutZ(in.azimuthMatrix, -centralAzimuth);
    in.world = InsideWorldWindow(width - 1, height - 1, DefaultInsideHalfWidth);
    in.moonPlacementDistance = DefaultOutsideDiscRadius;
    return in;
}

EphemerisRow ComputeEphemerisRow(InsideSceneInput input, Real jd) {
    input.jd = jd;
    const InsideSceneResult s = ComputeInsideScene(input);
    EphemerisRow row;
    row.jd = jd;
    row.date = s.instant.date;
    row.clock = s.instant.clock;
    row.siderealHours = s.instant.localSiderealTime * 12 / astro::Pi;
    row.sun = Body(s.bodies.sun, s.bodies.sunDistanceAU, s.sun);
    row.moon = Body(s.bodies.moon, s.bodies.moon.Radius, s.moon);
    row.picture.phaseAngle = astro::RadiansToDegrees(s.phaseAngle);
    row.picture.illuminated = IlluminatedFraction(s.phaseAngle);
    row.picture.sky = s.height.aboveHorizon ? "day" : s.height.inTwilight ? "twilight" : "night";
    row.picture.limbAngle = astro::RadiansToDegrees(s.brightLimbAngle);
    return row;
}

std::string FormatClockSixDecimals(Real clock) {
    char buffer[64];
    if (!(std::fabs(clock) < 1e6L)) { // never for a real date; NaN as well
        std::snprintf(buffer, sizeof buffer, "%.6Lf", clock);
        return buffer;
    }
    const Real magnitude = std::fabs(clock);
    Real hours = std::trunc(magnitude);
    Real millionths = std::nearbyint((magnitude - hours) * 1e6L);
    if (millionths >= 600000) {
        hours = hours + 1;
        millionths = millionths - 600000;
    }
    std::snprintf(buffer, sizeof buffer, "%s%.0Lf.%06d", clock < 0 ? "-" : "", hours,
                  static_cast<int>(astro::RoundToInt32(millionths)));
    return buffer;
}

std::string EphemerisCsvLine(const EphemerisRow& row) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%#.15Lg,%d.%d.%d,", row.jd, static_cast<int>(row.date.Day),
                  static_cast<int>(row.date.Month), static_cast<int>(row.date.Year));
    std::string line = buffer;
    line += FormatClockSixDecimals(row.clock);
    AppendNumber(line, row.siderealHours);
    AppendBody(line, row.sun);
    AppendBody(line, row.moon);
    AppendNumber(line, row.picture.phaseAngle);
    AppendNumber(line, row.picture.illuminated);
    line += ',';
    line += row.picture.sky;
    AppendNumber(line, row.picture.limbAngle);
    return line;
}

} // namespace app

// The view "von innen": the observer's sky over the horizon, seen from the eye
// point behind and above the observer, drawn over one of three prepared
// background pictures (night, twilight, day).
//
// The static part (ground, sky, horizon, grid of horizontal coordinates,
// compass letters, the observer, the black band for the date line) is drawn
// in three colourings and kept as pictures, each when a frame first needs it
// (a run in the outside view needs none); each frame copies the picture for
// the Sun's height and draws the moving parts over it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "astro/Numeric.h"
#include "window/Graphics.h"

namespace app {

using astro::Real;

// The background pictures by the Sun's height class.
enum BackgroundIndex : std::size_t { NightPicture = 0, TwilightPicture = 1, DayPicture = 2 };

struct InsideViewState {
    // Kept from run to run; empty at program start and until a frame needs them.
    std::array<window::ScreenPicture, 3> backgroundPictures;
    // What the pictures show: they are drawn again when any of this changes
    // (besides a change of the hemisphere). Angles in radians.
    Real picturesAzimuth = 0;
    Real picturesGridSpacing = 0;
    std::int32_t picturesMaxX = -1, picturesMaxY = -1;
    // How many background pictures have been drawn since the program started.
    std::int64_t picturesDrawn = 0;

    // Renewed at every run start. The horizon runs from beyond the right edge
    // of the client area to beyond its left edge; each polygon closes it below
    // (ground) or above (sky) the client area.
    std::vector<window::PixelPoint> horizonPoints, groundPolygon, skyPolygon;
    std::int32_t screenCentreX = 0, screenCentreY = 0;
    std::string locationText; // " (54.3°n.B., 10.1°ö.L.)"
};

InsideViewState& InsideView();
// Start values, pictures released (tests).
void ResetInsideView();

// Part of every run's start, whatever the view (latitude, longitude and
// central azimuth already in radians, the scene's azimuth matrix set): the
// inside viewport and world window, the sidereal time of the start instant,
// the horizon, the observer's point on the screen; the background pictures
// are released when they would show something else. Also puts the observer
// on the outside view's globe.
void PrepareInsideView();

// The background picture for a height class of the Sun, drawn on the canvas
// (and then kept) when it is not there yet.
const window::ScreenPicture& BackgroundPicture(BackgroundIndex index);

// One frame of the inside view at currentJD (the caller waits before and
// advances the time after it): the scene, then DrawInsideScene.
void DrawInsideFrame();
// The frame's drawing from the scene values as they are: the background
// picture for the Sun's height, the equator and the ecliptic when asked for,
// the date line, the Sun and the Moon.
void DrawInsideScene();

// --- pieces, pure -------------------------------------------------------------

// The grid spacing in radians that the pictures use for an entered spacing
// (radians): 30 degrees for a spacing that is not a positive number, at least
// MinInsideGridSpacing.
Real InsideGridSpacing(Real entered);
inline constexpr Real DefaultInsideGridSpacing = 30 * astro::Degree;
// Finer grids would need hundreds of thousands of lines per picture.
inline constexpr Real MinInsideGridSpacing = astro::Degree;

// " (" latitude "°n.B., " longitude "°ö.L.)" with the texts as entered.
std::string InsideLocationText(const std::string& latitudeText, const std::string& longitudeText);
// The clock value hh.mm as the date line shows it: two decimals in a field of
// six, its first character removed; minutes that round to 60 show the next
// full hour (13.598 gives "14.00", 9.05 gives " 9.05").
std::string InsideClockText(Real clock);
// day "." month "." year ", " clock " Uhr" followed by the location text.
std::string InsideDateLine(std::int32_t day, std::int32_t month, std::int32_t year, Real clock,
                           const std::string& locationText);

} // namespace app

// The application's heart: the procedure that the window's timer calls,
// which performs at most one step of the animation per call, the key
// commands that steer it, and the run state they share.
#pragma once

#include <cstdint>
#include <string>

#include "app/SceneGeometry.h"
#include "astro/Numeric.h"
#include "astro/Vectors.h"

namespace app {

using astro::Real;

struct RunState {
    // A run has started: the parameters were entered or read and the first
    // frame is drawn. False before the first tick and after Esc.
    bool runStarted = false;
    bool stopRequested = false;
    bool paused = false;
    std::int32_t lastKey = 0;
    std::int32_t pictureNumber = 0; // number of the next saved picture, never reset

    Real currentJD = 0; // the instant shown: Julian date of Universal Time (days)
    std::int32_t timeDirection = 1;
    // The last frame could not advance: the step would have left the
    // supported range of instants. The time stands still and a note below
    // the picture says why (rangeNoteShown: it is on the screen).
    bool heldAtRangeEnd = false;
    bool rangeNoteShown = false;

    bool outsideScreenCleared = false;
    std::uint8_t perspective = 0; // 0 ecliptic north pole, 1 latitude circle, 2 horizon
    Real tiltAngle = 0;           // radians
    astro::Matrix3 viewMatrix{}, inverseViewMatrix{};
    astro::Matrix3 tiltForward{}, tiltBack{};
    astro::Matrix3 latitudeViewMatrix{}, latitudeViewInverse{};

    std::int32_t earthRadiusPx = 100;                          // outside view: Earth radius on the screen
    std::int32_t outsideDiscRadius = DefaultOutsideDiscRadius; // outside view: Moon disc, Sun symbol, margin
    std::int32_t earthCentreX = 0, earthCentreY = 0;

    std::int32_t insideDiscRadius = 15;            // inside view: Sun and Moon discs
    Real insideHalfWidth = DefaultInsideHalfWidth; // inside view: half the world window's width
    std::int32_t textLineY = 0;                    // inside view: row of the date line
    std::int32_t observerX = 0, observerY = 0;
    // inside view: the equatorial coordinates drawn over the sky ("a"); off
    // at the start of every run, and not part of the saved parameters.
    bool equatorialOverlay = false;

    bool redrawAfterHelp = false;
    bool savedSingleStep = false;

    // Frames drawn since the program started, and the instant (Julian date,
    // UT) that the latest of them showed, before the advance.
    std::int64_t framesDrawn = 0;
    Real shownJD = 0;
};

RunState& Run();
void ResetRunState();

// One tick of the timer: at most one key and at most one frame.
void MainTick();
// Draws one frame of the current view at currentJD, then advances the time.
void DrawFrame();
// Prepares a run from freshly entered parameters (angles in degrees, the
// time step and the start time as hh.mm).
void StartRun();

// Performs the command of one key code (the step of a tick between reading
// the key and drawing the frame).
void PerformKey(std::int32_t code);
// True for the keys after which a tick draws no frame: F1, up, down, Esc,
// "a", "l", "s" ("a" in the inside view draws the shown instant again
// itself, without the wait and without advancing the time).
bool KeyDrawsNoFrame(std::int32_t code);

// The viewports and world windows of the two views: the inside view over the
// whole client area with equal scales and the world's y = 0 a quarter of the
// height above the bottom; the outside view on the square at the left of the
// window, +-63.294 Earth radii.
void SetInsideViewWindow();
void SetOutsideViewWindow();

// The name of saved picture number n: "Orvandel00.bmp" to "Orvandel99.bmp"
// for the first hundred, then the whole number ("Orvandel100.bmp", ...), so
// that no later picture overwrites one of the first hundred.
std::string PictureFileName(std::int32_t n);

// The line below every tick's picture.
inline constexpr const char* ContinueLine =
    " weiter mit Tastendruck (\"Esc: neue Eingabe, \"F1\": Hilfe, \"Strg-C\": Abbruch des Programms)";
// The note above it while the time is held at an end of the supported range.
std::string RangeEndNote();

} // namespace app

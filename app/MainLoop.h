// The application's heart: the procedure that the window's timer calls,
// which performs at most one step of the animation per call, the key
// commands that steer it, and the run state they share.
#pragma once

#include <cstdint>

#include "astro/Numeric.h"
#include "astro/Vectors.h"

namespace app {

using astro::Real;

struct RunState {
    // runStarted lives in the window layer (window::Layer().runStarted) so
    // that it is false before the first tick.
    bool stopRequested = false;
    bool paused = false;
    std::int32_t lastKey = 0;
    std::int32_t pictureNumber = 0;  // number of the next saved picture, never reset

    Real currentJD = 0;  // the instant shown: Julian date of Universal Time (days)
    std::int32_t timeDirection = 1;

    bool outsideScreenCleared = false;
    std::uint8_t perspective = 0;  // 0 ecliptic north pole, 1 latitude circle, 2 horizon
    Real tiltAngle = 0;            // radians
    astro::Matrix3 viewMatrix{}, inverseViewMatrix{};
    astro::Matrix3 tiltForward{}, tiltBack{};
    astro::Matrix3 latitudeViewMatrix{}, latitudeViewInverse{};

    std::int32_t earthRadiusPx = 100;    // outside view: Earth radius on the screen
    std::int32_t outsideDiscRadius = 25; // outside view: Moon disc, Sun symbol, margin
    std::int32_t earthCentreX = 0, earthCentreY = 0;

    std::int32_t insideDiscRadius = 15;  // inside view: Sun and Moon discs
    Real insideHalfWidth = 5.0;          // inside view: half the world window's width
    std::int32_t textLineY = 0;          // inside view: row of the date line
    std::int32_t observerX = 0, observerY = 0;

    bool redrawAfterHelp = false;
    bool savedSingleStep = false;
};

RunState& Run();
void ResetRunState();

void MainTick();
void DrawFrame();
void StartRun();

}  // namespace app

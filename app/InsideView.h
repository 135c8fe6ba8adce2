// The view "von innen": the observer's sky over the horizon, drawn over one
// of three prepared background pictures (day, twilight, night).
#pragma once

namespace app {

// Part of every run's start, whatever the view: the inside viewport and
// world window, the sidereal time, the background pictures, the observer's
// point on the screen.
void PrepareInsideView();
// One frame of the inside view at currentJD (the caller waits before and
// advances the time after it).
void DrawInsideFrame();

} // namespace app

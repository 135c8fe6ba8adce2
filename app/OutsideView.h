// The view "von außen": the Earth as a lit globe and the Moon with its phase,
// seen from space in one of three perspectives; frames are drawn without
// clearing the screen.
#pragma once

namespace app {

// Part of every run's start, whatever the view: the tilt and perspective
// matrices, the outside viewport and world window, the Earth's centre on the
// screen; in the outside view also the cleared screen, the opening trail and
// the first picture.
void PrepareOutsideView();
// One frame of the outside view at currentJD (the caller waits before and
// advances the time after it).
void DrawOutsideFrame();

} // namespace app

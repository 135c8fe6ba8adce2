// The view "von außen": the Earth as a lit globe and the Moon with its phase,
// seen from space in one of three perspectives; frames are drawn without
// clearing the screen.
//
// The picture is the square from outsideDiscRadius to MaxY - outsideDiscRadius
// in x and y at the left of the client area, a world window of +-63.294 Earth
// radii with the Earth's centre at its origin; the strip right of x = MaxY is
// the status panel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "astro/Numeric.h"

namespace app {

using astro::Real;

// The opening trail: seven Moons this many days apart, the last of them one
// spacing before the start instant.
inline constexpr int OpeningTrailLength = 7;
inline constexpr Real OpeningTrailSpacingDays = 3.4L;

// The date and time written beside a Moon of the opening trail or of the
// first picture: the two lines centred on x, their bottoms on the rows
// dateBottom and timeBottom; the Moon's centre at (moonX, moonY).
struct OutsideMoonLabel {
    std::int32_t x = 0;
    std::int32_t dateBottom = 0, timeBottom = 0;
    std::int32_t moonX = 0, moonY = 0;
    std::string dateText; // as the panel shows it: "7.12.2026  "
    std::string timeText; // "15.00 Uhr MEZ"
    int colour = 0;
};

struct OutsideViewState {
    // The labels drawn by the latest run start in this view, in drawing order:
    // the trail's (White), then the first picture's (LightRed).
    std::vector<OutsideMoonLabel> startLabels;
};

// Places a label (x, dateBottom, timeBottom) for the Moon disc of radius r
// at moonX, moonY: the two lines of text height h centred above the disc with
// a text height between them and it, or as far below it where the picture's
// top would cut them, and moved sideways where the wider line (width pixels)
// would cross the picture's left or right edge. The picture is the square of
// columns and rows 0 to side (MaxY).
void PlaceMoonLabel(OutsideMoonLabel& label, std::int32_t r, std::int32_t h, std::int32_t width,
                    std::int32_t side);

OutsideViewState& OutsideView();
void ResetOutsideView();

// Part of every run's start, whatever the view: the tilt and perspective
// matrices, the outside viewport and world window, the Earth's centre on the
// screen; in the outside view also the cleared screen, the opening trail and
// the first picture.
void PrepareOutsideView();
// The labels of the latest run start once more. The panel writes its words
// beside the Earth in black, over whatever lies there; a label of the trail
// can lie there, and the trail stays on the screen until the first frame.
void RedrawStartLabels();
// One frame of the outside view at currentJD (the caller waits before and
// advances the time after it).
void DrawOutsideFrame();

// The screen row of the horizon line of perspective 2: one Earth radius above
// the Earth's centre (the observer on top of the Earth's disc is that
// picture's origin).
std::int32_t HorizonRow();
// The horizon line of perspective 2 across the picture, x from 0 to MaxY.
void DrawHorizonLine(int colour);

} // namespace app

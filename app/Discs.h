// The discs of the two views. Outside view: the Moon with its phase, the Earth
// as a lit globe with its coastlines, grid and the observer's dot, and the Sun
// symbol of the horizon perspective; each can be drawn in black to erase it.
// Inside view: the Sun as a plain disc and the Moon with its phase. Also the
// three hooks through which the globe drawing turns, tests and projects the
// Earth's points.
//
// Every outside picture is drawn for one viewer, the one for whom the globe
// hooks draw the Earth (the frames are worked out at the top of Discs.cpp).
#pragma once

#include <cstdint>

#include "app/SceneGeometry.h"
#include "astro/Numeric.h"
#include "astro/Vectors.h"
#include "earth/Outlines.h"

namespace app {

using astro::Real;

// The observer dot's radius on an Earth of up to 4.5 Moon radii, and the
// smallest Earth of the outside view, in pixels: twice the dot's radius, so
// that the Earth still shows round the dot.
inline constexpr std::int32_t ObserverDotRadiusPx = 7;
inline constexpr std::int32_t SmallestEarthRadiusPx = 2 * ObserverDotRadiusPx;

// The Earth's axis tilted against the ecliptic: the rotation about X by
// -23.5 degrees, in the globe's frame.
astro::Matrix3 EarthTiltMatrix();

struct DiscState {
    astro::Matrix3 earthTiltMatrix = EarthTiltMatrix();
    // The observer's place on the unit globe (Earth-fixed), set at every run start.
    earth::GlobePoint observerGlobePoint{};
    // Screen positions of the observer dot and of the Sun symbol last drawn;
    // whether that symbol is still on the screen (not yet erased).
    std::int32_t previousObserverX = 0, previousObserverY = 0;
    std::int32_t previousSunX = 0, previousSunY = 0;
    bool sunSymbolShown = false;
    // TransformGlobePoint's turns as one matrix in double precision (the
    // axis swap S included), kept for the points of one globe drawing.
    double globeTurn[3][3] = {};
    std::uint64_t globeTurnDrawing = 0; // earth::GlobeDrawingSerial it was made in; 0: none
};

DiscState& Discs();
void ResetDiscState();

// At every run start (latitude and longitude in radians): the observer's place
// on the globe.
void PrepareDiscs();

// A vector of the outside view's model frame (perspectives 0 and 1: ecliptic,
// Earth radii; perspective 2: horizon-based) in the frame of the picture's
// viewer: X to the right and Y up on the screen, Z the depth away from the
// viewer (negative values are nearer than the Earth's centre).
astro::Vector3 ViewerCoordinates(const astro::Vector3& model);

// The outside view's lit disc of radius r at the pixel (x, y): dark, with the
// half toward the Sun lit and the terminator a half ellipse, so that the lit
// share is what the viewer sees. light points toward the Sun in model
// coordinates (sunVector).
void DrawPhaseDisc(const astro::Vector3& light, std::int32_t x, std::int32_t y, std::int32_t r, int litColour,
                   int darkColour);

// Outside view. Black erases (a black disc at the position of the current
// scene), any other colour draws in the fixed colours. In the inside view they
// draw nothing: a frame of that view covers the whole picture anyway.
void DrawMoon(int colour);
void DrawEarth(int colour);
// Perspective 2 only. Erases the symbol last drawn, once; black only erases.
// Any other colour then draws the Sun when it is above the horizon, in its
// direction from the observer: 60 Earth radii away, or nearer where that
// would put it off the picture.
void DrawSunSymbol(int colour);
// Where DrawSunSymbol puts the Sun of the current scene: false when it draws
// none (the Sun below the horizon, or the observer off the picture).
bool SunSymbolCentre(std::int32_t& x, std::int32_t& y);

// True when the Moon is nearer to the viewer than the Earth's centre, so that
// it must be drawn after the Earth where the two discs overlap.
bool MoonInFrontOfEarth();
// The Moon and the Earth in their colours, the nearer one last.
void DrawMoonAndEarthInDepthOrder();

// Inside view: the Sun as a disc of radius insideDiscRadius.
void DrawInsideSun(std::int32_t x, std::int32_t y, int colour);
// Inside view: the Moon of radius r whose bright limb points along limbAngle
// (radians, counter-clockwise from the screen's +x axis, y up), with
// q = |phaseAngle| - pi/2 (positive: less than half lit). Only the lit part
// is painted, in litColour; darkColour (the colour of the sky behind) cuts a
// crescent out of the lit half. The dark half is left as it was.
void DrawInsideMoon(std::int32_t x, std::int32_t y, std::int32_t r, int darkColour, int litColour,
                    Real limbAngle, Real q);

// The Earth's shadow over a Moon's disc of radius r at the pixel (x, y) that
// is already painted with its phase: the part in the umbra in a dark copper
// red, the inner half of the penumbra (where the Earth hides more than half
// the Sun) in litColour slightly dimmed; the rest stays as it is, and outside
// an eclipse nothing is painted.
void PaintDiscShadow(const DiscShadow& shadow, std::int32_t x, std::int32_t y, std::int32_t r, int litColour);
// Inside view: the shadow of the current scene on the Moon drawn by
// DrawInsideMoon at (x, y) with radius r and the lit colour litColour.
void DrawInsideMoonShadow(std::int32_t x, std::int32_t y, std::int32_t r, int litColour);

// The globe hooks. TransformGlobePoint turns an Earth-fixed point into the
// viewer's globe frame: x to the right, z up, y the depth (negative toward the
// viewer); its spherical part stays the Earth-fixed one (where on the Earth the
// point lies), as the drawing reads x, y, z alone. ProjectGlobePoint gives the pixel
// of such a point on the Earth's disc. GlobePointVisible is false on the far
// hemisphere and in the outermost rim (x² + z² >= 0.95).
earth::GlobePoint TransformGlobePoint(const earth::GlobePoint& point);
void ProjectGlobePoint(const earth::GlobePoint& point, std::int32_t& x, std::int32_t& y);
bool GlobePointVisible(const earth::GlobePoint& point);

// Registers the globe's transform, visibility and projection hooks (once, at
// the parameters' initialisation).
void InstallGlobeHooks();

} // namespace app

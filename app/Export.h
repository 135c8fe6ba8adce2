// The frame export: the animation of a parameter file drawn without a window into numbered PNG
// pictures, with a table of the Sun and the Moon for every frame.
#pragma once

#include <QImage>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/SceneGeometry.h"
#include "astro/Numeric.h"

namespace app {

using astro::Real;

// The name of picture k (1-based) of n: "frame0001.png", with more digits
// when n has more than four.
std::string FrameFileName(std::int32_t k, std::int32_t n);

// One line of frames.csv: the instant shown and the Sun and the Moon then,
// as the inside view computes them for a screen of the export's size.
struct FrameRow {
    std::int32_t frame = 0;                 // 1-based
    Real jd = 0;                            // Julian date (UT) of the instant shown
    std::string date;                       // as the pictures show it: "7.12.2026"
    std::string time;                       // MEZ as the pictures show it, hh.mm: "14.17"
    Real sunAzimuth = 0, sunAltitude = 0;   // degrees; azimuth from south toward west, (-180, 180]
    Real moonAzimuth = 0, moonAltitude = 0; // degrees, geocentric
    Real phaseAngle = 0;                    // degrees, signed: 0 full moon, +-180 new moon, > 0 waxing
    Real illuminated = 0;                   // fraction of the Moon's disc that is lit, (1 + cos phase) / 2
    Real elongation = 0; // degrees, the angle between the Sun and the Moon seen from the Earth's centre
    // Degrees: the direction from the Moon's centre toward its bright limb on
    // the screen of the inside view, measured from the local vertical (the
    // direction toward the zenith, straight up on the screen), counter-
    // clockwise as seen on the screen, in (-180, 180]: 0 lit from above, 90
    // lit from the left, -90 lit from the right.
    Real limbFromVertical = 0;
    // The kind of lunar eclipse at the instant: "none", "penumbral", "partial"
    // or "total", as orvandel-ephem's column of the same name.
    std::string eclipse = "none";
};

inline constexpr const char* FrameCsvHeader = "frame,jd,date,time_mez,sun_az,sun_alt,moon_az,moon_alt,"
                                              "phase_angle,illuminated,elongation,limb_from_vertical,eclipse";
inline constexpr const char* FrameCsvFileName = "frames.csv";

// The row of the instant input.jd, computed with the inside scene.
FrameRow ComputeFrameRow(std::int32_t frame, const InsideSceneInput& input);
std::string FormatFrameRow(const FrameRow& row);

// Called after frame k (1-based) has been drawn, with the canvas that the
// window would show then (tests compare it with the written picture).
using FrameObserver = std::function<void(std::int32_t frame, const QImage& canvas)>;

// Runs the animation of options.parameterFile without a window and writes
// options.frames pictures and frames.csv into options.folder (created if it
// does not exist). Needs a QGuiApplication and no main window. Progress goes
// to `progress` ("Bild k von N"). The pictures are collected in a hidden
// folder inside options.folder and moved into place when all are complete;
// on any failure everything this call wrote is removed again and a
// window::UserError with the German message is thrown.
void ExportFrames(const ExportOptions& options, const std::function<void(const std::string&)>& progress = {},
                  const FrameObserver& observer = {});

} // namespace app

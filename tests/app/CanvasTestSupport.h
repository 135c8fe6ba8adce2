// Helpers of the drawing tests of the views: a fresh off-screen canvas of a
// chosen size with the program's palette, fresh module states, and readers of
// the canvas by palette colour.
#pragma once

#include <QImage>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>

#include "app/Discs.h"
#include "app/InsideView.h"
#include "app/MainLoop.h"
#include "app/Parameters.h"
#include "app/Scene.h"
#include "app/Startup.h"
#include "earth/Globe.h"
#include "window/FensterGraf.h"
#include "window/Graphics.h"
#include "window/WorldWindow.h"

namespace canvastest {

using astro::Real;
inline constexpr Real Deg = astro::Pi / 180;

// Every module state at its start values and a black canvas of width x height
// pixels (no main window: the primitives paint into this canvas).
inline void FreshCanvas(int width, int height) {
    app::ResetApplicationState();
    window::ResetDrawingState();
    window::ResetWorldWindow();
    window::Canvas() = QImage(width, height, QImage::Format_RGB32);
    window::InitPalette();
    window::SetTextStyle("Courier", 10, 0);
    window::Canvas().fill(Qt::black);
    app::Parameters& p = app::Params();
    p.sinObliquity = std::sin(app::ObliquityRadians);
    p.cosObliquity = std::cos(app::ObliquityRadians);
    p.eyePoint = astro::MakeVector(-1.05L, 0, 0.35L);
}

inline QRgb Colour(int paletteIndex) {
    const window::Rgb c = window::PaletteColour(paletteIndex);
    return qRgb(c.r, c.g, c.b);
}

inline bool Is(int x, int y, int paletteIndex) {
    const QImage& canvas = window::Canvas();
    if (x < 0 || y < 0 || x >= canvas.width() || y >= canvas.height()) return false;
    return (canvas.pixel(x, y) & 0xFFFFFFu) == (Colour(paletteIndex) & 0xFFFFFFu);
}

// Whether a pixel of the colour lies within `reach` pixels of (x, y) in x and y.
inline bool Near(int x, int y, int paletteIndex, int reach = 1) {
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
            if (Is(x + dx, y + dy, paletteIndex)) return true;
    return false;
}

// Pixels of the colour whose centres lie within the circle of radius r round
// the point (cx, cy) (pixel (x, y) covers [x, x + 1) x [y, y + 1), as the
// window system's fills see it), with the sum of their centres' offsets from
// (cx, cy) (y up). colour -1 counts every pixel.
struct ColourCount {
    long count = 0;
    double sumX = 0, sumY = 0;
};
// Pixels within `skipR` of (skipX, skipY) are left out.
inline ColourCount CountIn(int cx, int cy, double r, int paletteIndex, int skipX = 0, int skipY = 0,
                           int skipR = -1) {
    ColourCount c;
    const int reach = static_cast<int>(r) + 1;
    for (int y = cy - reach; y <= cy + reach; ++y)
        for (int x = cx - reach; x <= cx + reach; ++x) {
            const double dx = x + 0.5 - cx, dy = cy - (y + 0.5);
            if (dx * dx + dy * dy > r * r) continue;
            if ((x - skipX) * (x - skipX) + (y - skipY) * (y - skipY) <= skipR * skipR) continue;
            if (paletteIndex >= 0 && !Is(x, y, paletteIndex)) continue;
            ++c.count;
            c.sumX += dx;
            c.sumY += dy;
        }
    return c;
}
inline long CountAll(int paletteIndex) {
    const QImage& canvas = window::Canvas();
    const QRgb wanted = Colour(paletteIndex) & 0xFFFFFFu;
    long n = 0;
    for (int y = 0; y < canvas.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        for (int x = 0; x < canvas.width(); ++x)
            if ((row[x] & 0xFFFFFFu) == wanted) ++n;
    }
    return n;
}

// The difference of two angles in degrees, folded into [0, 180].
inline double AngleBetweenDeg(double a, double b) {
    double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180 ? 360 - d : d;
}

} // namespace canvastest

// The drawing kernel's own state and the services its files share: the
// drawing attributes, the font cache, the shared painter and the wide-line
// masks. Private to window/Graphics*.cpp and window/WideLineCache.cpp.
//
// Graphics.cpp      the primitives and the palette; the state's accessor and reset
// GraphicsPainter.cpp  the one QPainter of the primitives and the font cache
// WideLineCache.cpp the pixel masks of short wide lines
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "window/Graphics.h"

namespace window::kernel {

// The text font as given: a family name (resolved through the substitutions)
// and a size in points, or in pixels for the window's own font.
struct FontSpec {
    std::string family = "System";
    std::int32_t pointSize = 0;  // > 0: size in points
    std::int32_t pixelSize = 13; // used while pointSize is 0
    bool bold = false;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

struct DrawingState {
    std::array<Rgb, 256> palette{};
    Rgb fillColour{255, 255, 255};
    bool fillOutline = true;
    int fillBorder = Black;
    Rgb brushColour{255, 255, 255}; // the fill colour of FillEllipse
    std::int32_t textBackground = Black;
    std::int32_t textAlignH = 0;
    std::int32_t textAlignV = 0;
    FontSpec font;
    std::int32_t charWidth = 0;
    std::int32_t charHeight = 0;
    std::int32_t lineWidth = 1;
    Rgb penColour{0, 0, 0};  // outlines of polygons and ellipses
    Rgb textColour{0, 0, 0}; // left at the last DrawText colour
    std::int32_t writeX = 0;
    std::int32_t writeY = 0;
};

// A font as built for the canvas: its QFont and QFontMetrics and the cell
// size MeasureFont takes from them.
struct FontEntry {
    std::uint64_t serial = 0; // unique for each font built; 0: empty
    std::uint64_t lastUse = 0;
    FontSpec spec;
    int dpi = 0; // the canvas's vertical resolution the metrics were made for
    std::optional<QFont> font;
    std::optional<QFontMetrics> metrics;
    std::int32_t charWidth = 0, charHeight = 0;
};

// The fonts the primitives used last, each built once rather than whenever
// the text style changes: a frame switches between a few sizes and styles of
// "Courier", and building a font with its metrics costs far more than a text.
struct FontCache {
    std::array<FontEntry, 8> entries;
    std::uint64_t lastSerial = 0;
    std::uint64_t uses = 0;
};

// The one QPainter of the primitives. Beginning a QPainter on the canvas and
// setting up its state costs far more than drawing a short line, and a globe
// is a few thousand lines, so the painter stays active from the first
// primitive until something shows, reads, copies or replaces the canvas
// (EndPainting). The primitives still set every attribute they draw with
// (pen, brush, font); those that the painter holds already are not set again.
struct SharedPainter {
    std::unique_ptr<QPainter> painter;
    QImage* canvas = nullptr; // the canvas it is active on; nullptr: not active
    bool endsWithApplication = false;
    // The pen and brush the active painter holds, as the primitives set them.
    enum class Pen { Unknown, Line, Text, None };
    Pen pen = Pen::Unknown;
    Rgb penColour;
    std::int32_t penWidth = 0;
    bool solidBrush = false; // false: unknown
    Rgb brushColour;
    std::uint64_t fontSerial = 0; // the serial of the FontEntry it holds; 0: unknown
    bool onePerPrimitive = false; // tests: every primitive ends the painter it used
};

// The pixel masks of short lines of a wide pen (WideLineCache.cpp).
// The pixels x0..x1 of the row dy, relative to the line's start.
struct MaskRun {
    std::int16_t dy, x0, x1;
};

struct LineMask {
    bool made = false;
    // The bounding box of the pixels, relative to the line's start.
    std::int32_t left = 0, top = 0, right = -1, bottom = -1;
    std::vector<MaskRun> runs;
};

struct LineMasks {
    std::vector<LineMask> masks; // by width, then x2 - x1, then y2 - y1
    QImage scratch;
};

// The drawing kernel's state, one instance: what the primitives draw with,
// and the caches that make drawing cheap. ResetDrawingState gives `drawing`
// its start values and releases the fonts; the painter and the masks stay
// (they hold no visible state).
struct KernelState {
    DrawingState drawing;
    FontCache fonts;
    SharedPainter painter;
    LineMasks masks;
};
KernelState& Kernel();

// --- GraphicsPainter.cpp ---------------------------------------------------

bool HaveGuiApplication();
QColor ToQColor(const Rgb& c);
// Drops the cached fonts and metrics (the next text builds them anew).
void ReleaseFonts();
// The current font and its metrics on the canvas (the canvas's resolution
// turns points into pixels).
const FontEntry& CurrentFont();
const QFontMetrics& Metrics();
// CharWidth and CharHeight of the current font (0 without a GUI application).
void MeasureFont();
// The primitives' painter, active on the canvas; primitives draw without
// antialiasing, so that every pixel gets a palette colour.
QPainter& Painter();
// A pen as the window system draws lines: solid, round ends and joins, in
// the current line width.
void UseLinePen(QPainter& painter, const Rgb& colour);
// The pen of a text: its colour.
void UseTextPen(QPainter& painter, const Rgb& colour);
void UseNoPen(QPainter& painter);
void UseBrush(QPainter& painter, const Rgb& colour);
void UseFont(QPainter& painter, const FontEntry& font);
// The end of a primitive that painted: the window repaints after the tick.
void Drawn();

// --- WideLineCache.cpp -----------------------------------------------------

// Draws the line in the current line width from its mask; false when it is
// one for Qt to draw (another width, a longer line, one that reaches the
// canvas's edge, or one painter per primitive).
bool DrawLineFromMask(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, const Rgb& colour);

} // namespace window::kernel

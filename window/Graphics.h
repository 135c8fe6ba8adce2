// The drawing kernel: pixel-coordinate primitives in the manner of a graphics
// terminal, working on palette colour numbers. They paint into the main
// window's canvas (a QImage owned by TGrundfenster); the window shows it.
//
// Pixel coordinates: origin at the top left of the client area, x to the
// right, y downward. Colours are palette indices 0..255.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "astro/Numeric.h"

namespace window {

// The sixteen named colour numbers.
enum ColourNumber : int {
    Black = 0,
    Blue = 1,
    Green = 2,
    Cyan = 3,
    Red = 4,
    Magenta = 5,
    Brown = 6,
    LightGray = 7,
    DarkGray = 8,
    LightBlue = 9,
    LightGreen = 10,
    LightCyan = 11,
    LightRed = 12,
    LightMagenta = 13,
    Yellow = 14,
    White = 15,
};

struct PixelPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Client width - 1 and client height - 1 of the main window's canvas.
std::int32_t MaxX();
std::int32_t MaxY();

void ClearScreen();
void PlotPoint(std::int32_t x, std::int32_t y, int colour);
void DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, int colour);
void SetLineWidth(std::int32_t width);
void SetFillColour(std::int32_t intensity, int colour, int border);
void FillRectangle(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);
void FillPolygon(std::int32_t count, const PixelPoint* points);
void FillEllipse(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry);
// angleDeg: direction of the semi-axis a, degrees counter-clockwise on the
// screen from +x (y up).
void DrawHalfEllipse(std::int32_t cx, std::int32_t cy, std::int32_t a, std::int32_t b, std::int32_t intensity,
                     int colour, bool outline, std::int32_t mode, astro::Real angleDeg);
void SetTextStyle(const std::string& fontName, std::int32_t size, std::int32_t style);
void SetFontSize(std::int32_t size);
void SetTextAlignment(std::int32_t horizontal, std::int32_t vertical);
void SetTextBackground(std::int32_t colour);
// text is UTF-8.
void DrawText(std::int32_t x, std::int32_t y, const std::string& text, int colour);
void SetWritePosition(std::int32_t x, std::int32_t y);
void WriteText(const std::string& text);
void WriteLine(const std::string& text);
// The writing cursor (WriteX, WriteY).
PixelPoint WritePosition();
void SetPaletteEntry(int index, int factor, int r, int g, int b);
void InitPalette();
// Throws window::UserError "Datei "%s" kann nicht erstellt werden. %s".
void SavePicture(const std::string& fileName, std::int32_t left, std::int32_t top, std::int32_t right,
                 std::int32_t bottom);

// Width and height of "T" in the current font.
std::int32_t CharWidth();
std::int32_t CharHeight();
// Width in pixels of a text in the current font.
std::int32_t TextWidth(const std::string& text);

// The colour of a palette entry.
Rgb PaletteColour(int index);

// An off-screen copy of the whole client area (the inside view's background
// pictures). Empty until captured.
class ScreenPicture {
  public:
    ScreenPicture();
    ~ScreenPicture();
    ScreenPicture(ScreenPicture&&) noexcept;
    ScreenPicture& operator=(ScreenPicture&&) noexcept;
    bool IsEmpty() const;
    struct Impl;

  private:
    friend void CaptureScreen(ScreenPicture&);
    friend void DrawScreenPicture(const ScreenPicture&);
    std::unique_ptr<Impl> impl_; // nullptr after a move
};
// Copies the client area (0, 0)-(MaxX, MaxY) into the picture.
void CaptureScreen(ScreenPicture& picture);
// Draws the picture at (0, 0).
void DrawScreenPicture(const ScreenPicture& picture);

// The primitives paint through one QPainter that stays active on the canvas
// from the first primitive on, so that a sequence of primitives costs no more
// than its drawing. EndPainting ends it (nothing happens when it is not
// active); the next primitive begins a new one. Whatever shows, reads,
// copies or replaces the canvas ends it first: window::Canvas() does, and so
// do the main window's paint and resize events and its destruction,
// SavePicture, CaptureScreen and SetPaletteEntry.
void EndPainting();
// For tests: with on, every primitive paints through a QPainter of its own,
// begun and ended by the primitive, the way the kernel drew before it kept
// one; the pixels are the same either way.
void SetOnePainterPerPrimitive(bool on);

// Resets the drawing state to its start values (for tests and the program entry).
void ResetDrawingState();

// Window creation: the window's font ("System", fixed pitch, 13 pixels high)
// becomes the text font, CharWidth and CharHeight are measured with it, and the
// writing position goes to (CharWidth, CharHeight).
void UseWindowFont();
// Loads the palette that the main window starts with (entries 16..255 black).
void LoadWindowCreationPalette();

} // namespace window

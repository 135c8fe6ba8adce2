#include "window/Graphics.h"

#include <QBuffer>
#include <QPolygon>
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "window/FensterGraf.h"
#include "window/GraphicsKernel.h"
#include "window/TextFiles.h"

namespace window {

using namespace kernel;

namespace {

struct Triple {
    int r, g, b;
};

// The teaching palette in 6-bit channels (0..63), multiplied by 4 when loaded.
constexpr std::array<Triple, 16> InitPaletteTriples = {{
    {0, 0, 0},    // Black
    {0, 0, 40},   // Blue
    {0, 40, 0},   // Green
    {0, 40, 40},  // Cyan
    {40, 7, 7},   // Red
    {40, 0, 40},  // Magenta
    {40, 30, 0},  // Brown
    {49, 49, 49}, // LightGray
    {26, 26, 26}, // DarkGray
    {0, 0, 63},   // LightBlue
    {9, 63, 9},   // LightGreen
    {0, 63, 63},  // LightCyan
    {63, 10, 10}, // LightRed
    {44, 0, 63},  // LightMagenta
    {63, 63, 18}, // Yellow
    {63, 63, 63}, // White (replaced by pure white)
}};

// The palette the main window starts with (8-bit channels); entries 16..255
// are black.
constexpr std::array<Triple, 16> WindowCreationColours = {{
    {0, 0, 0},       // Black
    {0, 0, 255},     // Blue
    {0, 128, 0},     // Green
    {0, 0, 128},     // Cyan
    {255, 0, 0},     // Red
    {128, 0, 128},   // Magenta
    {128, 0, 0},     // Brown
    {192, 192, 192}, // LightGray
    {128, 128, 128}, // DarkGray
    {0, 255, 255},   // LightBlue
    {0, 255, 0},     // LightGreen
    {128, 128, 0},   // LightCyan
    {0, 128, 128},   // LightRed
    {255, 0, 255},   // LightMagenta
    {255, 255, 0},   // Yellow
    {255, 255, 255}, // White
}};

int ClampColour(int colour) {
    return std::clamp(colour, 0, 255);
}

QColor PaletteQColor(int colour) {
    return ToQColor(Kernel().drawing.palette[static_cast<std::size_t>(ClampColour(colour))]);
}

std::uint8_t ClampChannel(long long v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0LL, 255LL));
}

// Pixel coordinates beyond this magnitude lie far outside any canvas (a
// canvas is at most 32767 pixels wide), and their sums with a width or
// height still fit in 32 bits. Axis-parallel shapes may be cut back to it
// without changing a visible pixel.
constexpr std::int64_t SafeCoordinate = std::int64_t{1} << 24;

std::int32_t ClampToSafe(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp(v, -SafeCoordinate, SafeCoordinate));
}

bool IsSafe(std::int64_t v) {
    return v >= -SafeCoordinate && v <= SafeCoordinate;
}

// Cosine and sine of t degrees for t = 0..180, the parameter steps of a half
// ellipse; the same values for every half ellipse, so computed once.
struct HalfTurnStep {
    astro::Real cos, sin;
};

const std::array<HalfTurnStep, 181>& HalfTurnSteps() {
    static const std::array<HalfTurnStep, 181> steps = [] {
        std::array<HalfTurnStep, 181> table{};
        for (int t = 0; t <= 180; ++t) {
            // (t·π)/180, not t·astro::Degree: the two differ in the last bit
            // for some t, and that bit decides ties of the rounded pixel
            // positions; the half ellipses keep the pixels they always had.
            const astro::Real tr = t * astro::Pi / 180;
            table[static_cast<std::size_t>(t)] = HalfTurnStep{std::cos(tr), std::sin(tr)};
        }
        return table;
    }();
    return steps;
}

std::int32_t ScreenHeightForWriting() {
    const std::int32_t h = Layer().screenHeight;
    return h > 0 ? h : DrawingCanvas().height();
}

} // namespace

std::int32_t MaxX() {
    if (const TGrundfenster* w = MainWindow()) return w->width() - 1;
    return DrawingCanvas().width() - 1;
}

std::int32_t MaxY() {
    if (const TGrundfenster* w = MainWindow()) return w->height() - 1;
    return DrawingCanvas().height() - 1;
}

// ClearScreen and PlotPoint write into the image directly, also while the
// painter is active: the raster engine keeps no copy of the pixels (it paints
// straight into the image's buffer, which no other image shares while a
// painter is active on it), so direct writes and painted ones land in order.

void ClearScreen() {
    // The whole canvas is the screen's size: (0, 0) to (ScreenWidth, ScreenHeight).
    DrawingCanvas().fill(Qt::white);
    Layer().statusText.clear();
    CanvasChanged();
}

void PlotPoint(std::int32_t x, std::int32_t y, int colour) {
    QImage& canvas = DrawingCanvas();
    if (x < 0 || y < 0 || x >= canvas.width() || y >= canvas.height()) return;
    const Rgb& c = Kernel().drawing.palette[static_cast<std::size_t>(ClampColour(colour))];
    canvas.setPixel(x, y, qRgb(c.r, c.g, c.b));
    CanvasChanged();
}

void DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, int colour) {
    const Rgb& c = Kernel().drawing.palette[static_cast<std::size_t>(ClampColour(colour))];
    if (!DrawLineFromMask(x1, y1, x2, y2, c)) {
        QPainter& painter = Painter();
        UseLinePen(painter, c);
        const QPoint points[2] = {QPoint(x1, y1), QPoint(x2, y2)};
        painter.drawPolyline(points, 2);
    }
    Drawn();
}

void SetLineWidth(std::int32_t width) {
    Kernel().drawing.lineWidth = width;
}

void SetFillColour(std::int32_t intensity, int colour, int border) {
    DrawingState& s = Kernel().drawing;
    // k = intensity * 1.15 in exact arithmetic (ties come out exact).
    long long k = static_cast<long long>(
        std::nearbyint(static_cast<astro::Real>(static_cast<long long>(intensity) * 115) / 100));
    if (k > 255) k = 255;
    const Rgb& p = s.palette[static_cast<std::size_t>(ClampColour(colour))];
    auto scale = [k](std::uint8_t channel) {
        // channel / 255 * k, rounded; a negative intensity gives black.
        return ClampChannel(static_cast<long long>(
            std::nearbyint(static_cast<astro::Real>(static_cast<long long>(channel) * k) / 255)));
    };
    s.fillColour = Rgb{scale(p.r), scale(p.g), scale(p.b)};
    s.brushColour = s.fillColour;
    s.fillOutline = border != colour;
    s.fillBorder = border;
}

void FillRectangle(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
    const DrawingState& s = Kernel().drawing;
    // Right and bottom in 64 bits: left + width may leave the 32-bit range.
    const std::int64_t right = std::int64_t{left} + width;
    const std::int64_t bottom = std::int64_t{top} + height;
    {
        // The rectangle's corners, cut back to the safe range: only pixels
        // far outside the canvas are lost. A negative width or height fills
        // the pixels from left + width to left - 1, as the window system does.
        const std::int32_t x1 = ClampToSafe(std::min<std::int64_t>(left, right));
        const std::int32_t x2 = ClampToSafe(std::max<std::int64_t>(left, right));
        const std::int32_t y1 = ClampToSafe(std::min<std::int64_t>(top, bottom));
        const std::int32_t y2 = ClampToSafe(std::max<std::int64_t>(top, bottom));
        Painter().fillRect(QRect(x1, y1, x2 - x1, y2 - y1), ToQColor(s.fillColour));
    }
    Drawn();
    if (s.fillOutline) {
        // Lines along the axes: cutting their ends back to the safe range
        // moves them only where they are out of sight.
        const std::int32_t l = ClampToSafe(left), t = ClampToSafe(top);
        const std::int32_t r = ClampToSafe(right), b = ClampToSafe(bottom);
        DrawLine(l, t, r, t, s.fillBorder);
        DrawLine(r, t, r, b, s.fillBorder);
        DrawLine(r, b, l, b, s.fillBorder);
        DrawLine(l, b, l, t, s.fillBorder);
    }
}

void FillPolygon(std::int32_t count, const PixelPoint* points) {
    if (count <= 0 || points == nullptr) return;
    const DrawingState& s = Kernel().drawing;
    QPolygon polygon;
    polygon.reserve(count);
    for (std::int32_t i = 0; i < count; ++i)
        polygon << QPoint(points[i].x, points[i].y);
    QPainter& painter = Painter();
    UseBrush(painter, s.fillColour);
    if (s.fillOutline)
        UseLinePen(painter, s.penColour);
    else
        UseNoPen(painter);
    painter.drawPolygon(polygon);
    Drawn();
}

void FillEllipse(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry) {
    const DrawingState& s = Kernel().drawing;
    QPainter& painter = Painter();
    UseBrush(painter, s.brushColour);
    UseLinePen(painter, s.penColour);
    // The box (x - rx, y - ry) to (x + rx, y + ry) in floating point, where
    // no sum overflows: for every box that fits 32 bits this is the very
    // rectangle the integer form would give, and Qt draws larger ones (up to
    // 2^32 across) correctly, so also the visible part of a huge ellipse is
    // right.
    const qreal rxf = rx, ryf = ry;
    painter.drawEllipse(QRectF(x - rxf, y - ryf, 2 * rxf, 2 * ryf));
    Drawn();
}

void DrawHalfEllipse(std::int32_t cx, std::int32_t cy, std::int32_t a, std::int32_t b, std::int32_t intensity,
                     int colour, bool outline, std::int32_t mode, astro::Real angleDeg) {
    using astro::Real;
    // (angle·π)/180 like the steps above, for the same reason.
    const Real phi = angleDeg * astro::Pi / 180;
    const Real s = std::sin(phi);
    const Real c = std::cos(phi);
    // Screen coordinates, y downward: for angle 0, u points right and v up.
    const Real ux = a * c, uy = -a * s;
    const Real vx = -b * s, vy = -b * c;
    std::array<PixelPoint, 182> points;
    const std::array<HalfTurnStep, 181>& steps = HalfTurnSteps();
    for (std::size_t t = 0; t <= 180; ++t) {
        const Real ct = steps[t].cos, st = steps[t].sin;
        points[t] = PixelPoint{astro::RoundToInt32(cx + ux * ct + vx * st),
                               astro::RoundToInt32(cy + uy * ct + vy * st)};
    }
    points[181] = points[0];

    if (mode != 1) {
        for (std::size_t t = 1; t <= 180; ++t)
            DrawLine(points[t - 1].x, points[t - 1].y, points[t].x, points[t].y, Black);
        DrawLine(points[180].x, points[180].y, points[0].x, points[0].y, Black);
    }
    if (mode != 0) {
        DrawingState& st = Kernel().drawing;
        const Rgb brush = st.brushColour;
        const int border = st.fillBorder;
        SetFillColour(intensity, colour, outline ? static_cast<int>(Black) : colour);
        FillPolygon(static_cast<std::int32_t>(points.size()), points.data());
        st.brushColour = brush;
        st.fillBorder = border;
    }
}

void SetTextStyle(const std::string& fontName, std::int32_t size, std::int32_t style) {
    FontSpec& font = Kernel().drawing.font;
    font.family = fontName;
    // A size of 0 or less keeps the size the font had.
    if (size > 0) font.pointSize = size;
    font.bold = style == 1;
    MeasureFont();
}

void SetFontSize(std::int32_t size) {
    if (size > 0) Kernel().drawing.font.pointSize = size;
    MeasureFont();
}

void SetTextAlignment(std::int32_t horizontal, std::int32_t vertical) {
    Kernel().drawing.textAlignH = horizontal;
    Kernel().drawing.textAlignV = vertical;
}

void SetTextBackground(std::int32_t colour) {
    Kernel().drawing.textBackground = colour;
}

void DrawText(std::int32_t x, std::int32_t y, const std::string& text, int colour) {
    DrawingState& s = Kernel().drawing;
    const QString qtext = QString::fromUtf8(text.c_str(), static_cast<qsizetype>(text.size()));
    const FontEntry& font = CurrentFont();
    const QFontMetrics& fm = *font.metrics;
    const std::int32_t w = fm.horizontalAdvance(qtext);
    const std::int32_t h = fm.height();
    s.textColour = s.palette[static_cast<std::size_t>(ClampColour(colour))];
    // The cell's corner in 64 bits: x - w and y - h may leave the 32-bit range.
    std::int64_t left = x;
    if (s.textAlignH == 1)
        left = std::int64_t{x} - w / 2;
    else if (s.textAlignH == 2)
        left = std::int64_t{x} - w;
    std::int64_t top = std::int64_t{y} - h;
    if (s.textAlignV == 1)
        top = std::int64_t{y} - h / 2;
    else if (s.textAlignV == 2)
        top = y;
    // A cell beyond the safe range is far out of sight, glyphs and all.
    if (!IsSafe(left) || !IsSafe(top) || !IsSafe(left + w) || !IsSafe(top + h)) return;
    const auto cellLeft = static_cast<std::int32_t>(left);
    const auto cellTop = static_cast<std::int32_t>(top);

    QPainter& painter = Painter();
    if (s.textBackground != -1)
        painter.fillRect(QRect(cellLeft, cellTop, w, h), PaletteQColor(s.textBackground));
    UseFont(painter, font);
    UseTextPen(painter, s.textColour);
    painter.drawText(QPoint(cellLeft, cellTop + fm.ascent()), qtext);
    Drawn();
}

void SetWritePosition(std::int32_t x, std::int32_t y) {
    Kernel().drawing.writeX = x;
    Kernel().drawing.writeY = y;
}

void WriteText(const std::string& text) {
    DrawingState& s = Kernel().drawing;
    const std::int32_t w = TextWidth(text);
    // Sums in 64 bits, kept within 32 bits: the cursor may stand anywhere.
    if (MaxX() < std::int64_t{s.writeX} + w) {
        s.writeX = s.charWidth;
        s.writeY = astro::SaturateToInt32(std::int64_t{s.writeY} + s.charHeight);
    }
    DrawText(s.writeX, s.writeY, text, Black);
    s.writeX = astro::SaturateToInt32(std::int64_t{s.writeX} + w);
}

void WriteLine(const std::string& text) {
    DrawingState& s = Kernel().drawing;
    if (!text.empty()) DrawText(s.writeX, s.writeY, text, Black);
    s.writeX = s.charWidth;
    if (s.writeY < ScreenHeightForWriting()) s.writeY += s.charHeight;
}

void SetPaletteEntry(int index, int factor, int r, int g, int b) {
    if (index < 0 || index > 255) return;
    const QRgb requested = qRgb(ClampChannel(static_cast<long long>(factor) * r),
                                ClampChannel(static_cast<long long>(factor) * g),
                                ClampChannel(static_cast<long long>(factor) * b));
    // The display's answer for the request: set pixel (0, 0) and read it back.
    QImage& canvas = Canvas(); // a read of the canvas: the painter ends
    canvas.setPixel(0, 0, requested);
    const QRgb shown = canvas.pixel(0, 0);
    Kernel().drawing.palette[static_cast<std::size_t>(index)] =
        Rgb{static_cast<std::uint8_t>(qRed(shown)), static_cast<std::uint8_t>(qGreen(shown)),
            static_cast<std::uint8_t>(qBlue(shown))};
    CanvasChanged();
}

void InitPalette() {
    for (int index = 0; index < 256; ++index) {
        const Triple& t = InitPaletteTriples[static_cast<std::size_t>(index % 16)];
        SetPaletteEntry(index, 4, t.r, t.g, t.b);
    }
    SetPaletteEntry(White, 1, 255, 255, 255);
    SetTextBackground(White);
}

void LoadWindowCreationPalette() {
    DrawingState& s = Kernel().drawing;
    for (std::size_t i = 0; i < s.palette.size(); ++i) {
        if (i < WindowCreationColours.size()) {
            const Triple& t = WindowCreationColours[i];
            s.palette[i] = Rgb{static_cast<std::uint8_t>(t.r), static_cast<std::uint8_t>(t.g),
                               static_cast<std::uint8_t>(t.b)};
        } else {
            s.palette[i] = Rgb{0, 0, 0};
        }
    }
}

void SavePicture(const std::string& fileName, std::int32_t left, std::int32_t top, std::int32_t right,
                 std::int32_t bottom) {
    const std::string path = ResolveFileName(fileName);
    auto fail = [&path](const std::string& reason) {
        throw UserError("Datei \"" + AbsolutePath(path) + "\" kann nicht erstellt werden. " + reason);
    };
    const long long width = static_cast<long long>(right) - left + 1;
    const long long height = static_cast<long long>(bottom) - top + 1;
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767) fail("Ungültige Bildgröße.");
    // Pixels outside the canvas come out black. Canvas() ends the painter:
    // the picture holds everything drawn so far.
    const QImage picture = Canvas().copy(left, top, static_cast<int>(width), static_cast<int>(height));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // Qt writes BMP uncompressed (BI_RGB).
    if (picture.isNull() || !picture.save(&buffer, "BMP")) fail("Das Bild kann nicht kodiert werden.");
    buffer.close();
    WriteFileReplacing(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

PixelPoint WritePosition() {
    return PixelPoint{Kernel().drawing.writeX, Kernel().drawing.writeY};
}

std::int32_t CharWidth() {
    return Kernel().drawing.charWidth;
}
std::int32_t CharHeight() {
    return Kernel().drawing.charHeight;
}

std::int32_t TextWidth(const std::string& text) {
    if (!HaveGuiApplication()) return 0;
    return Metrics().horizontalAdvance(QString::fromUtf8(text.c_str(), static_cast<qsizetype>(text.size())));
}

Rgb PaletteColour(int index) {
    return Kernel().drawing.palette[static_cast<std::size_t>(ClampColour(index))];
}

// ---------------------------------------------------------------- pictures

struct ScreenPicture::Impl {
    QImage image;
};

ScreenPicture::ScreenPicture() : impl_(std::make_unique<Impl>()) {}
ScreenPicture::~ScreenPicture() = default;
ScreenPicture::ScreenPicture(ScreenPicture&&) noexcept = default;
ScreenPicture& ScreenPicture::operator=(ScreenPicture&&) noexcept = default;
bool ScreenPicture::IsEmpty() const {
    return impl_ == nullptr || impl_->image.isNull();
}

void CaptureScreen(ScreenPicture& picture) {
    if (picture.impl_ == nullptr) picture.impl_ = std::make_unique<ScreenPicture::Impl>();
    // Canvas() ends the painter: the copy holds everything drawn so far.
    picture.impl_->image = Canvas().copy(0, 0, MaxX() + 1, MaxY() + 1);
}

void DrawScreenPicture(const ScreenPicture& picture) {
    if (picture.IsEmpty()) return;
    Painter().drawImage(0, 0, picture.impl_->image);
    Drawn();
}

// ---------------------------------------------------------------- state

namespace kernel {

KernelState& Kernel() {
    static KernelState state;
    return state;
}

} // namespace kernel

void ResetDrawingState() {
    DrawingState& s = Kernel().drawing;
    s = DrawingState{};
    ReleaseFonts();
    LoadWindowCreationPalette();
    if (HaveGuiApplication()) RegisterFontSubstitutions();
    MeasureFont();
    s.writeX = s.charWidth;
    s.writeY = s.charHeight;
}

void UseWindowFont() {
    DrawingState& s = Kernel().drawing;
    s.font = FontSpec{};
    MeasureFont();
    s.writeX = s.charWidth;
    s.writeY = s.charHeight;
}

} // namespace window

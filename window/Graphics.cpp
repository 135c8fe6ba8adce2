#include "window/Graphics.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "window/FensterGraf.h"
#include "window/TextFiles.h"

namespace window {

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

// The text font as given: a family name (resolved through the substitutions)
// and a size in points, or in pixels for the window's own font.
struct FontSpec {
    std::string family = "System";
    std::int32_t pointSize = 0;  // > 0: size in points
    std::int32_t pixelSize = 13; // used while pointSize is 0
    bool bold = false;
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

DrawingState& State() {
    static DrawingState state;
    return state;
}

int ClampColour(int colour) {
    return std::clamp(colour, 0, 255);
}

QColor ToQColor(const Rgb& c) {
    return QColor(c.r, c.g, c.b);
}

QColor PaletteQColor(int colour) {
    return ToQColor(State().palette[static_cast<std::size_t>(ClampColour(colour))]);
}

std::uint8_t ClampChannel(long long v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0LL, 255LL));
}

bool HaveGuiApplication() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

QFont CurrentFont() {
    const FontSpec& spec = State().font;
    QFont f(QString::fromStdString(spec.family));
    if (spec.pointSize > 0)
        f.setPointSize(spec.pointSize);
    else
        f.setPixelSize(spec.pixelSize);
    f.setBold(spec.bold);
    f.setStyleStrategy(QFont::NoAntialias);
    // Full hinting gives whole-pixel advances: a fixed-pitch text is then
    // exactly its length times CharWidth wide.
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

// Metrics of the current font on the canvas (the canvas's resolution turns
// points into pixels).
QFontMetrics Metrics() {
    return QFontMetrics(CurrentFont(), &Canvas());
}

void MeasureFont() {
    DrawingState& s = State();
    if (!HaveGuiApplication()) {
        s.charWidth = s.charHeight = 0;
        return;
    }
    const QFontMetrics fm = Metrics();
    s.charWidth = fm.horizontalAdvance(QStringLiteral("T"));
    s.charHeight = fm.height();
}

// A pen as the window system draws lines: solid, round ends and joins.
QPen LinePen(const QColor& colour) {
    return QPen(colour, std::max<std::int32_t>(State().lineWidth, 0), Qt::SolidLine, Qt::RoundCap,
                Qt::RoundJoin);
}

// Primitives draw without antialiasing: every pixel gets a palette colour.
void BeginPainting(QPainter& painter) {
    painter.begin(&Canvas());
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

std::int32_t ScreenHeightForWriting() {
    const std::int32_t h = Layer().screenHeight;
    return h > 0 ? h : Canvas().height();
}

} // namespace

std::int32_t MaxX() {
    if (const TGrundfenster* w = MainWindow()) return w->width() - 1;
    return Canvas().width() - 1;
}

std::int32_t MaxY() {
    if (const TGrundfenster* w = MainWindow()) return w->height() - 1;
    return Canvas().height() - 1;
}

void ClearScreen() {
    // The whole canvas is the screen's size: (0, 0) to (ScreenWidth, ScreenHeight).
    Canvas().fill(Qt::white);
    Layer().statusText.clear();
    CanvasChanged();
}

void PlotPoint(std::int32_t x, std::int32_t y, int colour) {
    QImage& canvas = Canvas();
    if (x < 0 || y < 0 || x >= canvas.width() || y >= canvas.height()) return;
    const Rgb& c = State().palette[static_cast<std::size_t>(ClampColour(colour))];
    canvas.setPixel(x, y, qRgb(c.r, c.g, c.b));
    CanvasChanged();
}

void DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, int colour) {
    QPainter painter;
    BeginPainting(painter);
    painter.setPen(LinePen(PaletteQColor(colour)));
    const QPoint points[2] = {QPoint(x1, y1), QPoint(x2, y2)};
    painter.drawPolyline(points, 2);
    painter.end();
    CanvasChanged();
}

void SetLineWidth(std::int32_t width) {
    State().lineWidth = width;
}

void SetFillColour(std::int32_t intensity, int colour, int border) {
    DrawingState& s = State();
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
    const DrawingState& s = State();
    {
        QPainter painter;
        BeginPainting(painter);
        painter.fillRect(QRect(left, top, width, height), ToQColor(s.fillColour));
    }
    CanvasChanged();
    if (s.fillOutline) {
        const std::int32_t right = left + width;
        const std::int32_t bottom = top + height;
        DrawLine(left, top, right, top, s.fillBorder);
        DrawLine(right, top, right, bottom, s.fillBorder);
        DrawLine(right, bottom, left, bottom, s.fillBorder);
        DrawLine(left, bottom, left, top, s.fillBorder);
    }
}

void FillPolygon(std::int32_t count, const PixelPoint* points) {
    if (count <= 0 || points == nullptr) return;
    const DrawingState& s = State();
    QPolygon polygon;
    polygon.reserve(count);
    for (std::int32_t i = 0; i < count; ++i)
        polygon << QPoint(points[i].x, points[i].y);
    QPainter painter;
    BeginPainting(painter);
    painter.setBrush(ToQColor(s.fillColour));
    if (s.fillOutline)
        painter.setPen(LinePen(ToQColor(s.penColour)));
    else
        painter.setPen(Qt::NoPen);
    painter.drawPolygon(polygon);
    painter.end();
    CanvasChanged();
}

void FillEllipse(std::int32_t x, std::int32_t y, std::int32_t rx, std::int32_t ry) {
    const DrawingState& s = State();
    QPainter painter;
    BeginPainting(painter);
    painter.setBrush(ToQColor(s.brushColour));
    painter.setPen(LinePen(ToQColor(s.penColour)));
    painter.drawEllipse(QPoint(x, y), rx, ry);
    painter.end();
    CanvasChanged();
}

void DrawHalfEllipse(std::int32_t cx, std::int32_t cy, std::int32_t a, std::int32_t b, std::int32_t intensity,
                     int colour, bool outline, std::int32_t mode, astro::Real angleDeg) {
    using astro::Real;
    const Real phi = angleDeg * astro::Pi / 180;
    const Real s = std::sin(phi);
    const Real c = std::cos(phi);
    // Screen coordinates, y downward: for angle 0, u points right and v up.
    const Real ux = a * c, uy = -a * s;
    const Real vx = -b * s, vy = -b * c;
    std::array<PixelPoint, 182> points;
    for (int t = 0; t <= 180; ++t) {
        const Real tr = t * astro::Pi / 180;
        const Real ct = std::cos(tr), st = std::sin(tr);
        points[static_cast<std::size_t>(t)] = PixelPoint{astro::RoundToInt32(cx + ux * ct + vx * st),
                                                         astro::RoundToInt32(cy + uy * ct + vy * st)};
    }
    points[181] = points[0];

    if (mode != 1) {
        for (std::size_t t = 1; t <= 180; ++t)
            DrawLine(points[t - 1].x, points[t - 1].y, points[t].x, points[t].y, Black);
        DrawLine(points[180].x, points[180].y, points[0].x, points[0].y, Black);
    }
    if (mode != 0) {
        DrawingState& st = State();
        const Rgb brush = st.brushColour;
        const int border = st.fillBorder;
        SetFillColour(intensity, colour, outline ? static_cast<int>(Black) : colour);
        FillPolygon(static_cast<std::int32_t>(points.size()), points.data());
        st.brushColour = brush;
        st.fillBorder = border;
    }
}

void SetTextStyle(const std::string& fontName, std::int32_t size, std::int32_t style) {
    FontSpec& font = State().font;
    font.family = fontName;
    // A size of 0 or less keeps the size the font had.
    if (size > 0) font.pointSize = size;
    font.bold = style == 1;
    MeasureFont();
}

void SetFontSize(std::int32_t size) {
    if (size > 0) State().font.pointSize = size;
    MeasureFont();
}

void SetTextAlignment(std::int32_t horizontal, std::int32_t vertical) {
    State().textAlignH = horizontal;
    State().textAlignV = vertical;
}

void SetTextBackground(std::int32_t colour) {
    State().textBackground = colour;
}

void DrawText(std::int32_t x, std::int32_t y, const std::string& text, int colour) {
    DrawingState& s = State();
    const QString qtext = QString::fromUtf8(text.c_str(), static_cast<qsizetype>(text.size()));
    const QFontMetrics fm = Metrics();
    const std::int32_t w = fm.horizontalAdvance(qtext);
    const std::int32_t h = fm.height();
    s.textColour = s.palette[static_cast<std::size_t>(ClampColour(colour))];
    std::int32_t left = x;
    if (s.textAlignH == 1)
        left = x - w / 2;
    else if (s.textAlignH == 2)
        left = x - w;
    std::int32_t top = y - h;
    if (s.textAlignV == 1)
        top = y - h / 2;
    else if (s.textAlignV == 2)
        top = y;

    QPainter painter;
    BeginPainting(painter);
    if (s.textBackground != -1) painter.fillRect(QRect(left, top, w, h), PaletteQColor(s.textBackground));
    painter.setFont(CurrentFont());
    painter.setPen(ToQColor(s.textColour));
    painter.drawText(QPoint(left, top + fm.ascent()), qtext);
    painter.end();
    CanvasChanged();
}

void SetWritePosition(std::int32_t x, std::int32_t y) {
    State().writeX = x;
    State().writeY = y;
}

void WriteText(const std::string& text) {
    DrawingState& s = State();
    const std::int32_t w = TextWidth(text);
    if (MaxX() < s.writeX + w) {
        s.writeX = s.charWidth;
        s.writeY += s.charHeight;
    }
    DrawText(s.writeX, s.writeY, text, Black);
    s.writeX += w;
}

void WriteLine(const std::string& text) {
    DrawingState& s = State();
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
    QImage& canvas = Canvas();
    canvas.setPixel(0, 0, requested);
    const QRgb shown = canvas.pixel(0, 0);
    State().palette[static_cast<std::size_t>(index)] =
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
    DrawingState& s = State();
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
    // Pixels outside the canvas come out black.
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
    return PixelPoint{State().writeX, State().writeY};
}

std::int32_t CharWidth() {
    return State().charWidth;
}
std::int32_t CharHeight() {
    return State().charHeight;
}

std::int32_t TextWidth(const std::string& text) {
    if (!HaveGuiApplication()) return 0;
    return Metrics().horizontalAdvance(QString::fromUtf8(text.c_str(), static_cast<qsizetype>(text.size())));
}

Rgb PaletteColour(int index) {
    return State().palette[static_cast<std::size_t>(ClampColour(index))];
}

// ---------------------------------------------------------------- pictures

struct ScreenPicture::Impl {
    QImage image;
};

ScreenPicture::ScreenPicture() : impl_(new Impl) {}
ScreenPicture::~ScreenPicture() {
    delete impl_;
}
ScreenPicture::ScreenPicture(ScreenPicture&& other) noexcept : impl_(other.impl_) {
    other.impl_ = nullptr;
}
ScreenPicture& ScreenPicture::operator=(ScreenPicture&& other) noexcept {
    if (this != &other) {
        delete impl_;
        impl_ = other.impl_;
        other.impl_ = nullptr;
    }
    return *this;
}
bool ScreenPicture::IsEmpty() const {
    return impl_ == nullptr || impl_->image.isNull();
}

void CaptureScreen(ScreenPicture& picture) {
    if (picture.impl_ == nullptr) picture.impl_ = new ScreenPicture::Impl;
    picture.impl_->image = Canvas().copy(0, 0, MaxX() + 1, MaxY() + 1);
}

void DrawScreenPicture(const ScreenPicture& picture) {
    if (picture.IsEmpty()) return;
    QPainter painter;
    BeginPainting(painter);
    painter.drawImage(0, 0, picture.impl_->image);
    painter.end();
    CanvasChanged();
}

// ---------------------------------------------------------------- state

void ResetDrawingState() {
    DrawingState& s = State();
    s = DrawingState{};
    LoadWindowCreationPalette();
    if (HaveGuiApplication()) RegisterFontSubstitutions();
    MeasureFont();
    s.writeX = s.charWidth;
    s.writeY = s.charHeight;
}

void UseWindowFont() {
    DrawingState& s = State();
    s.font = FontSpec{};
    MeasureFont();
    s.writeX = s.charWidth;
    s.writeY = s.charHeight;
}

} // namespace window

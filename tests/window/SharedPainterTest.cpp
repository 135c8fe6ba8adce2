// The shared painter of the drawing kernel: the primitives keep one QPainter
// active on the canvas, and the pixels they produce are the same as when each
// primitive paints through a QPainter of its own. Also the primitives with
// coordinates and sizes at the ends of the 32-bit range (these tests run
// under the sanitizers too).
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "window/FensterGraf.h"
#include "window/Graphics.h"
#include "window/WorldWindow.h"

namespace {

using namespace window;

QRgb SavedPixel = 0;

// A mixed sequence of primitives over the whole off-screen canvas: every
// primitive, every attribute that a primitive sets and restores, lines and
// shapes that leave the canvas, text in several fonts and alignments, a read
// of the canvas in the middle, a palette entry and a screen picture.
void DrawMixedSequence() {
    ResetLayer("/usr/bin/Orvandel");
    ResetDrawingState();
    ResetWorldWindow();
    InitPalette();
    SetTextStyle("Courier", 10, 0);
    ClearScreen();

    // Lines in every width the views use and a few more, in all directions,
    // some of them leaving the canvas.
    const std::int32_t widths[] = {1, 0, 2, 3, 7, 1};
    for (int i = 0; i < 6; ++i) {
        SetLineWidth(widths[i]);
        const int y = 20 + 14 * i;
        DrawLine(10, y, 150, y + 9, i + 1);
        DrawLine(160 + 5 * i, 10, 160 + 40 * i, 110, 9 + i);
        DrawLine(700, y, 830, y - 40, Red + i);
        DrawLine(-20, 150 + 3 * i, 40, 180 + 9 * i, Blue + i);
    }
    SetLineWidth(1);
    DrawLine(400, 40, 400, 40, Black); // a single point
    DrawLine(420, 10, 420, 120, Brown);
    DrawLine(430, 120, 430, 10, LightGray);

    // Points, with colour numbers that are clamped.
    for (int i = 0; i < 40; ++i)
        PlotPoint(300 + i, 130 + (i * 7) % 13, i * 9 - 30);
    PlotPoint(-1, 5, Red);
    PlotPoint(5, 100000, Red);

    // Rectangles with and without outline, a negative size, a wide outline.
    SetFillColour(255, Yellow, Blue);
    FillRectangle(20, 200, 60, 40);
    SetFillColour(111, Green, Green);
    FillRectangle(90, 200, 60, 40);
    SetFillColour(200, Magenta, Black);
    FillRectangle(190, 240, -30, -20);
    SetLineWidth(3);
    SetFillColour(255, Cyan, Red);
    FillRectangle(200, 200, 50, 30);
    SetLineWidth(1);
    SetFillColour(255, LightBlue, White);
    FillRectangle(780, 200, 100, 30);

    // Polygons: a square, a concave star, a self-crossing bow tie, a wide
    // outline, one without outline and one that leaves the canvas.
    const PixelPoint square[4] = {{270, 200}, {320, 200}, {320, 250}, {270, 250}};
    SetFillColour(255, LightCyan, Black);
    FillPolygon(4, square);
    PixelPoint star[10];
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 == 0 ? 40 : 16;
        const double t = i * 3.14159265358979 / 5;
        star[i] = PixelPoint{380 + static_cast<std::int32_t>(r * std::sin(t)),
                             225 - static_cast<std::int32_t>(r * std::cos(t))};
    }
    SetFillColour(180, LightRed, Black);
    FillPolygon(10, star);
    const PixelPoint bow[4] = {{440, 190}, {520, 260}, {520, 190}, {440, 260}};
    SetFillColour(255, LightGreen, LightGreen);
    FillPolygon(4, bow);
    SetLineWidth(4);
    const PixelPoint tri[3] = {{540, 260}, {600, 190}, {640, 250}};
    SetFillColour(140, Brown, Black);
    FillPolygon(3, tri);
    SetLineWidth(1);
    const PixelPoint off[3] = {{760, 180}, {900, 240}, {740, 280}};
    SetFillColour(255, LightMagenta, Yellow);
    FillPolygon(3, off);

    // Ellipses: the brush colour of the last SetFillColour, a black outline
    // in the line width, degenerate and negative radii, one over the edge.
    SetFillColour(255, LightRed, Blue);
    FillEllipse(60, 320, 40, 25);
    DrawLine(0, 300, 120, 350, LightGreen); // the next outline is black again
    SetFillColour(90, White, White);
    FillEllipse(160, 320, 25, 40);
    FillEllipse(220, 320, 0, 20);
    FillEllipse(250, 320, 15, 0);
    FillEllipse(300, 320, -20, -12);
    SetLineWidth(3);
    SetFillColour(255, Yellow, Black);
    FillEllipse(370, 320, 30, 30);
    SetLineWidth(1);
    FillEllipse(795, 330, 30, 20);
    FillEllipse(450, 320, 1, 1);

    // Half ellipses in the three modes and several directions.
    DrawHalfEllipse(80, 440, 50, 30, 255, Yellow, false, 1, 0);
    DrawHalfEllipse(80, 440, 50, 20, 120, Yellow, true, 1, 180);
    DrawHalfEllipse(200, 440, 45, 45, 255, Blue, true, 2, 37.5L);
    DrawHalfEllipse(200, 440, 45, 45, 60, Blue, false, 1, 217.5L);
    DrawHalfEllipse(320, 440, 40, 25, 255, Red, true, 0, -90);
    DrawHalfEllipse(430, 440, 40, 0, 255, Green, true, 2, 10);
    DrawHalfEllipse(540, 440, 50, 50, 255, Black, true, 2, 90);
    FillEllipse(640, 440, 20, 20); // the brush colour from before the half ellipses

    // Text: every alignment, opaque and transparent backgrounds, several fonts.
    SetTextBackground(Red);
    for (int h = 0; h < 3; ++h)
        for (int v = 0; v < 3; ++v) {
            SetTextAlignment(h, v);
            DrawText(60 + 90 * h, 520 + 30 * v, "Tg", (9 + 3 * h + v) % 16);
        }
    SetTextAlignment(0, 0);
    SetTextBackground(-1);
    DrawText(330, 540, "Zeit: 12.30 MEZ \xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F", Yellow);
    SetTextBackground(White);
    DrawText(330, 560, "Breite 52.5", Black);
    DrawText(330, 580, "", Red); // nothing
    SetTextStyle("Courier", 10, 1);
    DrawText(330, 600, "fett 0123", Magenta);
    SetTextStyle("MS Sans Serif", 12, 0);
    SetTextBackground(LightGray);
    DrawText(560, 540,
             "Mond von au\xC3\x9F"
             "en",
             DarkGray);
    SetFontSize(16);
    SetTextAlignment(2, 2);
    DrawText(790, 560, "rechts", LightBlue);
    UseWindowFont();
    SetTextAlignment(1, 1);
    SetTextBackground(Cyan);
    DrawText(700, 620, "System", White);
    DrawText(810, 640, "am Rand", Black);

    // A read of the canvas in the middle of the drawing.
    SavedPixel = Canvas().pixel(60, 320);

    // The writing cursor.
    SetTextStyle("Courier", 10, 0);
    SetTextAlignment(0, 0);
    SetTextBackground(White);
    SetWritePosition(MaxX() - 60, 660);
    WriteText("Weiter");
    WriteText(" mit");
    WriteLine(" Enter");
    WriteLine("");
    WriteLine("Ende");

    // A palette entry set through pixel (0, 0), then used.
    SetPaletteEntry(20, 3, 50, 20, 80);
    DrawLine(0, 0, 30, 0, 20);

    // A picture of the screen: drawn over, then shown again, then drawn on.
    ScreenPicture picture;
    CaptureScreen(picture);
    SetFillColour(255, Black, Black);
    FillRectangle(0, 0, MaxX(), MaxY());
    DrawScreenPicture(picture);

    // Polylines through the world window.
    SetViewport(500, 780, 680, 790);
    SetWorldWindow(-1, 1, -1, 1);
    MoveToPixel(ScreenX(-1), ScreenY(0));
    for (int i = 0; i <= 64; ++i) {
        const double t = i * 3.14159265358979 / 32;
        LineToPixel(ScreenX(std::cos(t) * 0.9L), ScreenY(std::sin(2 * t) * 0.9L), i % 16);
    }
    SetLineWidth(2);
    MoveToPixel(ScreenX(-1.2L), ScreenY(-1.2L));
    LineToPixel(ScreenX(1.3L), ScreenY(1.1L), Red);
    SetLineWidth(1);

    // The last things drawn over everything else.
    SetFillColour(255, Green, Black);
    FillEllipse(30, 780, 25, 25);
    SetTextAlignment(0, 0);
    SetTextBackground(Yellow);
    DrawText(70, 795, "Ende der Folge", Red);
    PlotPoint(200, 790, Magenta);
}

// The picture of the sequence as the kernel drew it when every primitive
// began and ended a QPainter of its own (before the painter was shared),
// saved once on the offscreen platform with the fonts of Debian's
// fonts-liberation.
std::string GoldenPicturePath() {
    if (const char* dir = std::getenv("ORVANDEL_SOURCE_DIR"))
        return std::string(dir) + "/tests/window/MixedPrimitives.png";
    return (std::filesystem::path(__FILE__).parent_path() / "MixedPrimitives.png").string();
}

// The canvas of the golden picture: 800 x 800, the offscreen platform's screen.
void FreshCanvas() {
    SetOnePainterPerPrimitive(false);
    Canvas() = QImage(800, 800, QImage::Format_RGB32);
    Canvas().fill(Qt::black);
}

// The pixels in which two pictures differ, with the first of them.
struct Difference {
    long count = 0;
    QPoint first{-1, -1};
};
Difference Compare(const QImage& a, const QImage& b) {
    Difference d;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    if (x.size() != y.size()) return Difference{-1, {}};
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col)
            if ((x.pixel(col, row) & 0xFFFFFFu) != (y.pixel(col, row) & 0xFFFFFFu)) {
                if (d.count++ == 0) d.first = QPoint(col, row);
            }
    return d;
}

class SharedPainterTest : public ::testing::Test {
  protected:
    void SetUp() override { FreshCanvas(); }
    void TearDown() override {
        SetOnePainterPerPrimitive(false);
        ResetDrawingState();
        ResetWorldWindow();
    }
};

TEST_F(SharedPainterTest, MixedSequenceGivesThePictureOfOnePainterPerPrimitive) {
    const QImage golden(QString::fromStdString(GoldenPicturePath()));
    ASSERT_FALSE(golden.isNull()) << GoldenPicturePath();
    DrawMixedSequence();
    const Difference d = Compare(Canvas(), golden);
    EXPECT_EQ(d.count, 0) << "first at " << d.first.x() << "," << d.first.y();
    // The read in the middle saw the ellipse drawn before it.
    EXPECT_EQ(SavedPixel & 0xFFFFFFu, golden.pixel(60, 320) & 0xFFFFFFu);
}

TEST_F(SharedPainterTest, MixedSequenceIsTheSameWithAPainterPerPrimitive) {
    DrawMixedSequence();
    const QImage shared = Canvas().copy();
    FreshCanvas();
    SetOnePainterPerPrimitive(true);
    DrawMixedSequence();
    const Difference d = Compare(Canvas(), shared);
    EXPECT_EQ(d.count, 0) << "first at " << d.first.x() << "," << d.first.y();
}

TEST_F(SharedPainterTest, PainterStaysActiveUntilTheCanvasIsRead) {
    InitPalette();
    DrawLine(10, 10, 50, 10, Red);
    EXPECT_TRUE(DrawingCanvas().paintingActive()); // the next primitive goes on with it
    FillEllipse(100, 100, 10, 10);
    EXPECT_TRUE(DrawingCanvas().paintingActive());
    // Reading ends it, and what is read holds everything drawn.
    const QImage& canvas = Canvas();
    EXPECT_FALSE(canvas.paintingActive());
    EXPECT_EQ(canvas.pixel(30, 10) & 0xFFFFFFu, 0xA01C1Cu); // Red after InitPalette
    // A reference kept while more is drawn sees it at once.
    DrawLine(10, 20, 50, 20, Blue);
    EXPECT_EQ(canvas.pixel(30, 20) & 0xFFFFFFu, 0x0000A0u);
    // A copy taken while the painter is active is a copy of its own.
    const QImage copy = DrawingCanvas();
    DrawLine(10, 30, 50, 30, Green);
    EXPECT_EQ(copy.pixel(30, 30), canvas.pixel(30, 40));
    EXPECT_EQ(Canvas().pixel(30, 30) & 0xFFFFFFu, 0x00A000u);
    // Replacing the canvas through Canvas() is safe: the painter has ended.
    DrawLine(0, 0, 5, 5, Red);
    Canvas() = QImage(300, 200, QImage::Format_RGB32);
    Canvas().fill(Qt::white);
    DrawLine(0, 100, 299, 100, Black);
    EXPECT_EQ(Canvas().pixel(150, 100) & 0xFFFFFFu, 0u);
    EXPECT_EQ(Canvas().pixel(150, 99) & 0xFFFFFFu, 0xFFFFFFu);
}

TEST_F(SharedPainterTest, ScreenPictureAndPaletteReadsEndThePainter) {
    InitPalette();
    ScreenPicture picture;
    DrawLine(10, 10, 50, 10, Red);
    CaptureScreen(picture); // holds the line
    EXPECT_FALSE(DrawingCanvas().paintingActive());
    ClearScreen();
    DrawScreenPicture(picture);
    EXPECT_EQ(Canvas().pixel(30, 10) & 0xFFFFFFu, 0xA01C1Cu);
    DrawLine(10, 20, 50, 20, Red);
    SetPaletteEntry(30, 1, 1, 2, 3);
    EXPECT_FALSE(DrawingCanvas().paintingActive());
    EXPECT_EQ(PaletteColour(30), (Rgb{1, 2, 3}));
    EXPECT_EQ(Canvas().pixel(30, 20) & 0xFFFFFFu, 0xA01C1Cu);
}

// The main window: its canvas is shown, grows and goes away while the
// primitives' painter is active on it.
TEST_F(SharedPainterTest, MainWindowEndsThePainterWhenItPaintsGrowsAndCloses) {
    ResetLayer("/usr/bin/Orvandel");
    ResetDrawingState();
    TGrundfenster* w = CreateMainWindow();
    ASSERT_NE(w, nullptr);
    InitPalette();
    DrawLine(10, 10, 60, 10, Red);
    ASSERT_TRUE(DrawingCanvas().paintingActive());
    // A paint shows the canvas: the painter ends first.
    const QImage shown = w->grab().toImage();
    EXPECT_FALSE(DrawingCanvas().paintingActive());
    EXPECT_EQ(shown.pixel(30, 10) & 0xFFFFFFu, 0xA01C1Cu);
    // Growing beyond the canvas replaces it, with the picture kept.
    DrawLine(10, 20, 60, 20, Blue);
    ASSERT_TRUE(DrawingCanvas().paintingActive());
    const QSize larger = DrawingCanvas().size() + QSize(100, 50);
    QResizeEvent resize(larger, w->size()); // as the window system sends it
    QCoreApplication::sendEvent(w, &resize);
    EXPECT_EQ(Canvas().size(), larger);
    EXPECT_EQ(Canvas().pixel(30, 20) & 0xFFFFFFu, 0x0000A0u);
    DrawLine(10, 30, 60, 30, Blue);
    EXPECT_EQ(Canvas().pixel(30, 30) & 0xFFFFFFu, 0x0000A0u);
    // Closing it while the painter is active; the primitives go on off screen.
    DrawLine(10, 40, 60, 40, Blue);
    DestroyMainWindow();
    EXPECT_EQ(MainWindow(), nullptr);
    FreshCanvas();
    DrawLine(10, 40, 60, 40, Red);
    EXPECT_EQ(Canvas().pixel(30, 40) & 0xFFFFFFu, 0xA01C1Cu);
}

// ---------------------------------------------------------------- wide lines

// The first pixel in which two images differ, or (-1, -1).
QPoint FirstDifference(const QImage& a, const QImage& b) {
    if (a == b) return QPoint(-1, -1);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) return QPoint(x, y);
    return QPoint(-2, -2); // equal pixels in different formats or sizes
}

// Draws lines on a fresh black canvas of the given size, with a painter per
// primitive (Qt draws every line itself) or without; the picture.
template <typename Lines>
QImage DrawLines(bool painterPerPrimitive, QSize size, std::int32_t lineWidth, Lines lines) {
    SetOnePainterPerPrimitive(painterPerPrimitive);
    Canvas() = QImage(size, QImage::Format_RGB32);
    Canvas().fill(Qt::black);
    InitPalette();
    SetLineWidth(lineWidth);
    lines();
    SetOnePainterPerPrimitive(false);
    return Canvas().copy();
}

// Wide lines are written from the pixels Qt drew for their vector once; every
// such vector (steps up to 32 pixels) and the next ones beyond, in each pen
// width up to one beyond, each in a cell of its own at start points with
// different low bits, against Qt drawing each line where it is.
TEST_F(SharedPainterTest, WideLinesArePixelForPixelThoseOfQt) {
    constexpr int Cell = 80, Columns = 24, Rows = 13;
    constexpr int Step = 33;
    std::vector<QPoint> vectors;
    for (int dx = -Step; dx <= Step; ++dx)
        for (int dy = -Step; dy <= Step; ++dy)
            vectors.emplace_back(dx, dy);
    const QPoint shifts[] = {{0, 0}, {7, -3}, {-5, 9}};
    for (std::int32_t width = 1; width <= 5; ++width) {
        for (const QPoint& shift : shifts) {
            for (std::size_t first = 0; first < vectors.size(); first += Columns * Rows) {
                auto lines = [&] {
                    for (int cell = 0; cell < Columns * Rows && first + cell < vectors.size(); ++cell) {
                        const QPoint d = vectors[first + static_cast<std::size_t>(cell)];
                        const int x = (cell % Columns) * Cell + Cell / 2 - d.x() / 2 + shift.x();
                        const int y = (cell / Columns) * Cell + Cell / 2 - d.y() / 2 + shift.y();
                        DrawLine(x, y, x + d.x(), y + d.y(), 1 + cell % 15);
                    }
                };
                const QImage qt = DrawLines(true, QSize(Columns * Cell, Rows * Cell), width, lines);
                const QImage kernel = DrawLines(false, QSize(Columns * Cell, Rows * Cell), width, lines);
                const QPoint at = FirstDifference(kernel, qt);
                ASSERT_EQ(at, QPoint(-1, -1))
                    << "width " << width << ", vectors from " << vectors[first].x() << ","
                    << vectors[first].y() << ", shift " << shift.x() << "," << shift.y();
            }
        }
    }
}

// Lines at and over the canvas's edges: those that a written line would
// leave are Qt's own, those just inside are written in full.
TEST_F(SharedPainterTest, WideLinesAtTheEdgesOfTheCanvas) {
    constexpr int W = 120, H = 90;
    const QPoint vectors[] = {{0, 0}, {5, 3}, {-7, 20}, {32, -32}, {-32, 0}, {0, 31}};
    std::vector<QPoint> starts;
    for (int i = -2; i <= 6; ++i) {
        starts.emplace_back(i, H / 2);
        starts.emplace_back(W - 1 - i, H / 2);
        starts.emplace_back(W / 2, i);
        starts.emplace_back(W / 2, H - 1 - i);
    }
    for (std::int32_t width = 1; width <= 4; ++width)
        for (const QPoint& d : vectors)
            for (const QPoint& p : starts) {
                auto line = [&] { DrawLine(p.x(), p.y(), p.x() + d.x(), p.y() + d.y(), Yellow); };
                const QImage qt = DrawLines(true, QSize(W, H), width, line);
                const QImage kernel = DrawLines(false, QSize(W, H), width, line);
                ASSERT_EQ(FirstDifference(kernel, qt), QPoint(-1, -1))
                    << "width " << width << ", from " << p.x() << "," << p.y() << " by " << d.x() << ","
                    << d.y();
            }
}

// ---------------------------------------------------------------- the ends of the 32-bit range

// Colours of the overflow tests: a background that no primitive draws.
constexpr QRgb Untouched = 0x010203u;

class ExtremeCoordinatesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetLayer("/usr/bin/Orvandel");
        ResetDrawingState();
        InitPalette();
        Canvas() = QImage(400, 300, QImage::Format_RGB32);
        Canvas().fill(Untouched);
    }
    void TearDown() override { ResetDrawingState(); }
    static QRgb At(int x, int y) { return Canvas().pixel(x, y) & 0xFFFFFFu; }
    static QRgb Colour(int index) {
        const Rgb c = PaletteColour(index);
        return qRgb(c.r, c.g, c.b) & 0xFFFFFFu;
    }
    static long Count(QRgb colour) {
        long n = 0;
        const QImage& c = Canvas();
        for (int y = 0; y < c.height(); ++y)
            for (int x = 0; x < c.width(); ++x)
                n += (c.pixel(x, y) & 0xFFFFFFu) == colour;
        return n;
    }
};

TEST_F(ExtremeCoordinatesTest, FillEllipseDrawsTheVisiblePartOfHugeEllipses) {
    constexpr std::int32_t Max = INT_MAX, Min = INT_MIN;
    struct Row {
        const char* name;
        std::int32_t x, y, rx, ry;
        QPoint filled;    // (-1, -1): nothing visible
        QPoint untouched; // (-1, -1): none
    };
    const Row rows[] = {
        {"radius INT_MAX round the canvas", 200, 150, Max, Max, {0, 0}, {-1, -1}},
        {"negative radii INT_MIN + 1", 200, 150, Min + 1, Min + 1, {399, 299}, {-1, -1}},
        {"centre and radius INT_MAX", Max, Max, Max, Max, {-1, -1}, {0, 0}},
        {"centre INT_MIN, small radius", Min, Min, 10, 10, {-1, -1}, {0, 0}},
        {"centre far left, right end at x = 300", -Max + 300, 150, Max, Max, {150, 150}, {310, 150}},
        {"centre far below, top end at y = 100", 200, Max - 100, Max - 200, Max - 200, {399, 150}, {200, 90}},
        {"thin and long, out of sight", -Max + 300, 150, Max, 100, {-1, -1}, {150, 140}},
    };
    const QRgb brush = Colour(Yellow);
    for (const Row& row : rows) {
        Canvas().fill(Untouched);
        SetFillColour(255, Yellow, Black);
        FillEllipse(row.x, row.y, row.rx, row.ry);
        if (row.filled.x() < 0) {
            EXPECT_EQ(Count(brush), 0) << row.name;
        } else {
            EXPECT_EQ(At(row.filled.x(), row.filled.y()), brush) << row.name;
        }
        if (row.untouched.x() >= 0) {
            EXPECT_EQ(At(row.untouched.x(), row.untouched.y()), Untouched) << row.name;
        }
    }
    // The circle far to the left ends at x = 300 within a pixel, its edge
    // straight over the canvas.
    Canvas().fill(Untouched);
    FillEllipse(-Max + 300, 150, Max, Max);
    for (int y : {0, 150, 299}) {
        EXPECT_NE(At(298, y), Untouched) << y;
        EXPECT_EQ(At(302, y), Untouched) << y;
    }
}

TEST_F(ExtremeCoordinatesTest, FillRectangleBeyondThe32BitRange) {
    constexpr std::int32_t Max = INT_MAX, Min = INT_MIN;
    struct Row {
        const char* name;
        std::int32_t left, top, width, height;
        QRect filled; // the visible part of the fill (empty: none)
    };
    const Row rows[] = {
        {"right end beyond INT_MAX", Max - 10, 10, 100, 5, QRect()},
        {"to the far corner", 10, 20, Max, Max, QRect(QPoint(10, 20), QPoint(399, 299))},
        {"from the far left", Min, 20, Max, 10, QRect()}, // right = -1
        {"negative width INT_MIN", 100, 30, Min, 5, QRect(QPoint(0, 30), QPoint(99, 34))},
        {"negative height from INT_MAX", 50, Max, 10, Min, QRect(QPoint(50, 0), QPoint(59, 299))},
    };
    for (bool outline : {false, true}) {
        for (const Row& row : rows) {
            Canvas().fill(Untouched);
            SetFillColour(255, Green, outline ? Blue : Green);
            FillRectangle(row.left, row.top, row.width, row.height);
            const long area = static_cast<long>(row.filled.width()) * row.filled.height();
            if (!outline) {
                EXPECT_EQ(Count(Colour(Green)), area) << row.name;
            } else {
                // The outline covers at most one row and one column of the fill on each side.
                const long inner = static_cast<long>(std::max(row.filled.width() - 2, 0)) *
                                   std::max(row.filled.height() - 2, 0);
                EXPECT_GE(Count(Colour(Green)), inner) << row.name << " (outline)";
                EXPECT_LE(Count(Colour(Green)), area) << row.name << " (outline)";
            }
            if (!row.filled.isEmpty()) {
                EXPECT_EQ(At(row.filled.center().x(), row.filled.center().y()), Colour(Green)) << row.name;
            }
        }
    }
    // An outline whose corner lies beyond the range: its visible sides stay.
    Canvas().fill(Untouched);
    SetFillColour(255, Green, Blue);
    FillRectangle(10, 20, Max, Max);
    EXPECT_EQ(At(200, 20), Colour(Blue)); // the top side
    EXPECT_EQ(At(10, 200), Colour(Blue)); // the left side
}

TEST_F(ExtremeCoordinatesTest, TextAndWritingCursorAtTheEndsOfTheRange) {
    SetTextStyle("Courier", 10, 0);
    SetTextBackground(Red);
    struct Row {
        std::int32_t x, y, alignH, alignV;
    };
    const Row rows[] = {{INT_MIN, INT_MIN, 2, 0},
                        {INT_MAX, INT_MAX, 0, 2},
                        {INT_MIN, 100, 1, 1},
                        {100, INT_MIN, 0, 0},
                        {INT_MAX, 100, 2, 1}};
    for (const Row& row : rows) {
        SetTextAlignment(row.alignH, row.alignV);
        DrawText(row.x, row.y, "Text", Blue);
    }
    EXPECT_EQ(Count(Untouched), 400L * 300L);
    // Text at the edge of the range just inside the canvas is still drawn.
    SetTextAlignment(2, 2);
    DrawText(TextWidth("Text") + 5, 0, "Text", Blue);
    EXPECT_EQ(At(5, 0), Colour(Red));

    SetTextAlignment(0, 0);
    SetWritePosition(INT_MAX, INT_MAX);
    WriteText("AB"); // wraps: the line below INT_MAX stays INT_MAX
    EXPECT_EQ(WritePosition().x, CharWidth() + TextWidth("AB"));
    EXPECT_EQ(WritePosition().y, INT_MAX);
    SetWritePosition(INT_MIN, 50);
    WriteText("AB"); // fits: the cursor moves right
    EXPECT_EQ(WritePosition().x, INT_MIN + TextWidth("AB"));
}

TEST_F(ExtremeCoordinatesTest, LinesAndHalfEllipsesFromTheEndsOfTheRange) {
    DrawLine(INT_MIN, 100, INT_MAX, 100, Red);
    SetLineWidth(3);
    DrawLine(200, INT_MIN, 200, INT_MAX, Blue);
    SetLineWidth(1);
    EXPECT_EQ(At(0, 100), Colour(Red));
    EXPECT_EQ(At(399, 100), Colour(Red));
    EXPECT_EQ(At(200, 0), Colour(Blue));
    EXPECT_EQ(At(200, 299), Colour(Blue));

    // A half disc of radius INT_MAX: every point above its diameter.
    Canvas().fill(Untouched);
    DrawHalfEllipse(200, 150, INT_MAX, INT_MAX, 255, Yellow, false, 1, 0);
    EXPECT_EQ(At(0, 0), Colour(Yellow));
    EXPECT_EQ(At(399, 140), Colour(Yellow));
    EXPECT_EQ(At(0, 160), Untouched);
    EXPECT_EQ(At(399, 299), Untouched);
    // Outlined and filled, far off the canvas: nothing to see.
    Canvas().fill(Untouched);
    DrawHalfEllipse(INT_MAX, INT_MIN, INT_MAX, INT_MAX, 255, Yellow, true, 2, 45);
    EXPECT_EQ(Count(Untouched), 400L * 300L);
}

} // namespace

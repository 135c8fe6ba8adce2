// The drawing kernel, read back from the canvas (offscreen platform, no
// window: the primitives paint into the off-screen canvas of the screen's size).
#include <QFontInfo>
#include <QImage>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "window/FensterGraf.h"
#include "window/Graphics.h"
#include "window/TextFiles.h"

namespace window {
// How failed comparisons print a colour.
void PrintTo(const Rgb& c, std::ostream* os) {
    *os << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
}
} // namespace window

namespace {

using namespace window;
namespace fs = std::filesystem;

// A colour that no primitive under test draws.
constexpr QRgb Background = 0xFF010203;

Rgb At(int x, int y) {
    const QRgb p = Canvas().pixel(x, y);
    return Rgb{static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
               static_cast<std::uint8_t>(qBlue(p))};
}

bool IsBackground(int x, int y) {
    return Canvas().pixel(x, y) == Background;
}

// The smallest rectangle holding every pixel that is not the background.
QRect DrawnBox(const QRect& area) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (!IsBackground(x, y)) box = box.united(QRect(x, y, 1, 1));
    return box;
}

class GraphicsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetLayer("/usr/bin/Orvandel");
        ResetDrawingState();
        InitPalette();
        Canvas().fill(Background);
    }
};

// ---------------------------------------------------------------- palettes

TEST_F(GraphicsTest, InitPaletteColours) {
    const Rgb expected[16] = {{0, 0, 0},       {0, 0, 160},   {0, 160, 0},    {0, 160, 160},
                              {160, 28, 28},   {160, 0, 160}, {160, 120, 0},  {196, 196, 196},
                              {104, 104, 104}, {0, 0, 252},   {36, 252, 36},  {0, 252, 252},
                              {252, 40, 40},   {176, 0, 252}, {252, 252, 72}, {255, 255, 255}};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(PaletteColour(i), expected[i]) << "entry " << i;
    for (int i = 16; i < 256; ++i) {
        const Rgb want = i % 16 == 15 ? Rgb{252, 252, 252} : expected[i % 16];
        EXPECT_EQ(PaletteColour(i), want) << "entry " << i;
    }
}

TEST_F(GraphicsTest, WindowCreationPalette) {
    LoadWindowCreationPalette();
    const Rgb expected[16] = {{0, 0, 0},       {0, 0, 255},   {0, 128, 0},   {0, 0, 128},
                              {255, 0, 0},     {128, 0, 128}, {128, 0, 0},   {192, 192, 192},
                              {128, 128, 128}, {0, 255, 255}, {0, 255, 0},   {128, 128, 0},
                              {0, 128, 128},   {255, 0, 255}, {255, 255, 0}, {255, 255, 255}};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(PaletteColour(i), expected[i]) << "entry " << i;
    for (int i = 16; i < 256; ++i)
        EXPECT_EQ(PaletteColour(i), (Rgb{0, 0, 0})) << "entry " << i;
}

TEST_F(GraphicsTest, InitPaletteLeavesPixelZeroWhiteAndTheTextBackgroundWhite) {
    Canvas().fill(qRgb(0, 0, 0));
    InitPalette();
    EXPECT_EQ(At(0, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(At(1, 0), (Rgb{0, 0, 0}));
    // TextBackground is White: a text cell is filled white.
    SetTextAlignment(0, 2);
    DrawText(100, 100, "T", Red);
    EXPECT_EQ(At(100, 100), (Rgb{255, 255, 255}));
}

TEST_F(GraphicsTest, SetPaletteEntryStoresTheColourReadBackFromPixelZero) {
    SetPaletteEntry(20, 2, 10, 20, 30);
    EXPECT_EQ(PaletteColour(20), (Rgb{20, 40, 60}));
    EXPECT_EQ(At(0, 0), (Rgb{20, 40, 60}));
    SetPaletteEntry(300, 1, 1, 1, 1); // no such entry: nothing changes
    EXPECT_EQ(At(0, 0), (Rgb{20, 40, 60}));
}

// ---------------------------------------------------------------- fill colour and shapes

TEST_F(GraphicsTest, SetFillColourScalesThePaletteColour) {
    struct Row {
        int intensity, colour, border;
        Rgb fill;
        bool outline;
    };
    const Row rows[] = {
        {255, White, White, {255, 255, 255}, false},
        {255, Red, Black, {160, 28, 28}, true},
        {222, Red, Black, {160, 28, 28}, true}, // 222 * 1.15 = 255.3: full colour
        {100, White, White, {115, 115, 115}, false},
        {111, White, White, {128, 128, 128}, false},  // k = 128, about half
        {10, White, White, {12, 12, 12}, false},      // k = 11.5 rounds to even
        {111, Red, Blue, {80, 14, 14}, true},         // 160 * 128 / 255 = 80.3, 28 * 128 / 255 = 14.05
        {400, Yellow, Yellow, {252, 252, 72}, false}, // k is at most 255
        {0, Red, Black, {0, 0, 0}, true},
        {-50, White, White, {0, 0, 0}, false}, // no lower bound on k; the colour stays black
    };
    for (const Row& row : rows) {
        Canvas().fill(Background);
        SetFillColour(row.intensity, row.colour, row.border);
        FillRectangle(10, 10, 5, 5);
        EXPECT_EQ(At(12, 12), row.fill) << "intensity " << row.intensity << ", colour " << row.colour;
        if (row.outline)
            EXPECT_EQ(At(15, 12), PaletteColour(row.border)) << "intensity " << row.intensity;
        else
            EXPECT_TRUE(IsBackground(15, 12)) << "intensity " << row.intensity;
    }
}

TEST_F(GraphicsTest, FillRectangleFillAndOutlineExtents) {
    SetFillColour(255, Yellow, Yellow);
    FillRectangle(10, 10, 5, 5);
    EXPECT_EQ(DrawnBox(QRect(0, 0, 40, 40)), QRect(QPoint(10, 10), QPoint(14, 14)));
    for (int y = 10; y <= 14; ++y)
        for (int x = 10; x <= 14; ++x)
            ASSERT_EQ(At(x, y), PaletteColour(Yellow)) << x << "," << y;

    Canvas().fill(Background);
    SetFillColour(255, Yellow, Blue);
    FillRectangle(10, 10, 5, 5);
    EXPECT_EQ(DrawnBox(QRect(0, 0, 40, 40)), QRect(QPoint(10, 10), QPoint(15, 15)));
    for (int i = 10; i <= 15; ++i) {
        EXPECT_EQ(At(i, 10), PaletteColour(Blue)) << "top " << i;
        EXPECT_EQ(At(15, i), PaletteColour(Blue)) << "right " << i;
        EXPECT_EQ(At(i, 15), PaletteColour(Blue)) << "bottom " << i;
        EXPECT_EQ(At(10, i), PaletteColour(Blue)) << "left " << i;
    }
    EXPECT_EQ(At(12, 12), PaletteColour(Yellow));
}

TEST_F(GraphicsTest, FillRectangleOverTheClientAreaLeavesTheLastColumnAndRow) {
    SetFillColour(255, Green, Green);
    FillRectangle(0, 0, MaxX(), MaxY());
    EXPECT_EQ(At(0, 0), PaletteColour(Green));
    EXPECT_EQ(At(MaxX() - 1, MaxY() - 1), PaletteColour(Green));
    EXPECT_TRUE(IsBackground(MaxX(), 5));
    EXPECT_TRUE(IsBackground(5, MaxY()));
}

TEST_F(GraphicsTest, FillPolygonWithAndWithoutOutline) {
    const PixelPoint square[4] = {{20, 20}, {40, 20}, {40, 40}, {20, 40}};
    SetFillColour(255, Cyan, Black);
    FillPolygon(4, square);
    EXPECT_EQ(At(30, 30), PaletteColour(Cyan));
    EXPECT_EQ(At(30, 20), PaletteColour(Black));
    EXPECT_EQ(At(20, 30), PaletteColour(Black));

    Canvas().fill(Background);
    SetFillColour(255, Cyan, Cyan);
    FillPolygon(4, square);
    EXPECT_EQ(At(30, 30), PaletteColour(Cyan));
    EXPECT_EQ(At(30, 20), PaletteColour(Cyan));
    EXPECT_TRUE(IsBackground(30, 18));
}

TEST_F(GraphicsTest, FillEllipseUsesTheBrushColourAndABlackOutline) {
    SetFillColour(255, LightRed, Blue);
    FillEllipse(100, 100, 30, 20);
    EXPECT_EQ(At(100, 100), PaletteColour(LightRed));
    // The outline: black at the ends of the axes, within a pixel.
    const Rgb black = PaletteColour(Black);
    EXPECT_TRUE(At(130, 100) == black || At(129, 100) == black);
    EXPECT_TRUE(At(100, 80) == black || At(100, 81) == black);
    EXPECT_TRUE(IsBackground(132, 100));
    EXPECT_TRUE(IsBackground(100, 77));
}

TEST_F(GraphicsTest, DrawLineUsesTheLineWidthAndLeavesThePenBlack) {
    DrawLine(10, 50, 60, 50, Red);
    EXPECT_EQ(At(30, 50), PaletteColour(Red));
    EXPECT_TRUE(IsBackground(30, 52));
    SetLineWidth(5);
    DrawLine(10, 100, 60, 100, Red);
    EXPECT_EQ(At(30, 102), PaletteColour(Red));
    EXPECT_EQ(At(30, 98), PaletteColour(Red));
    EXPECT_TRUE(IsBackground(30, 104));
    SetLineWidth(1);
    // The outline pen of the next ellipse is still black.
    SetFillColour(255, Yellow, Yellow);
    FillEllipse(200, 200, 20, 20);
    EXPECT_TRUE(At(200, 180) == PaletteColour(Black) || At(200, 181) == PaletteColour(Black));
}

TEST_F(GraphicsTest, PlotPointClampsTheColourNumber) {
    PlotPoint(5, 5, 300);
    PlotPoint(6, 5, -5);
    PlotPoint(7, 5, Red);
    EXPECT_EQ(At(5, 5), PaletteColour(255)); // (252, 252, 252), not entry 15
    EXPECT_EQ(At(5, 5), (Rgb{252, 252, 252}));
    EXPECT_EQ(At(6, 5), (Rgb{0, 0, 0}));
    EXPECT_EQ(At(7, 5), (Rgb{160, 28, 28}));
    PlotPoint(-1, -1, Red); // outside: clipped
    PlotPoint(MaxX() + 1, 0, Red);
    EXPECT_TRUE(IsBackground(0, 1));
}

// ---------------------------------------------------------------- half ellipse

TEST_F(GraphicsTest, DrawHalfEllipseFillsTheHalfOnTheCounterClockwiseSide) {
    struct Row {
        double angle;
        QPoint inside, outside;
    };
    const Row rows[] = {
        {0, {200, 170}, {200, 230}},   // upper half
        {180, {200, 230}, {200, 170}}, // lower half
        {90, {170, 200}, {230, 200}},  // a points up: the left half
        {-90, {230, 200}, {170, 200}},
    };
    for (const Row& row : rows) {
        Canvas().fill(Background);
        DrawHalfEllipse(200, 200, 50, 50, 255, Yellow, false, 1, row.angle);
        EXPECT_EQ(At(row.inside.x(), row.inside.y()), PaletteColour(Yellow)) << row.angle;
        EXPECT_TRUE(IsBackground(row.outside.x(), row.outside.y())) << row.angle;
        const QRect box = DrawnBox(QRect(100, 100, 200, 200));
        const QRect want = row.angle == 0     ? QRect(QPoint(150, 150), QPoint(250, 200))
                           : row.angle == 180 ? QRect(QPoint(150, 200), QPoint(250, 250))
                           : row.angle == 90  ? QRect(QPoint(150, 150), QPoint(200, 250))
                                              : QRect(QPoint(200, 150), QPoint(250, 250));
        EXPECT_LE(std::abs(box.left() - want.left()), 1) << row.angle;
        EXPECT_LE(std::abs(box.right() - want.right()), 1) << row.angle;
        EXPECT_LE(std::abs(box.top() - want.top()), 1) << row.angle;
        EXPECT_LE(std::abs(box.bottom() - want.bottom()), 1) << row.angle;
    }
}

TEST_F(GraphicsTest, DrawHalfEllipseModesAndOutline) {
    const Rgb black = PaletteColour(Black);
    // Mode 0: the black outline only, the diameter included.
    DrawHalfEllipse(200, 200, 50, 50, 255, Yellow, false, 0, 0);
    EXPECT_EQ(At(200, 200), black);
    EXPECT_TRUE(At(200, 150) == black || At(200, 151) == black);
    EXPECT_TRUE(IsBackground(200, 175));

    // Mode 2 with outline: filled and outlined.
    Canvas().fill(Background);
    DrawHalfEllipse(200, 200, 50, 50, 255, Yellow, true, 2, 0);
    EXPECT_EQ(At(200, 175), PaletteColour(Yellow));
    EXPECT_TRUE(At(200, 150) == black || At(200, 151) == black);
}

TEST_F(GraphicsTest, DrawHalfEllipseWithZeroMinorAxisIsALineAlongTheDiameter) {
    DrawHalfEllipse(200, 200, 50, 0, 255, Yellow, true, 2, 0);
    const QRect box = DrawnBox(QRect(100, 100, 200, 200));
    EXPECT_LE(box.height(), 2);
    EXPECT_LE(std::abs(box.left() - 150), 1);
    EXPECT_LE(std::abs(box.right() - 250), 1);
    EXPECT_LE(std::abs(box.top() - 200), 1);
}

TEST_F(GraphicsTest, DrawHalfEllipseKeepsItsFillColourButRestoresTheBrush) {
    SetFillColour(255, Red, Red);
    DrawHalfEllipse(300, 300, 20, 20, 255, Yellow, false, 1, 0);
    // FillEllipse gets the brush colour found before: red.
    FillEllipse(100, 100, 10, 10);
    EXPECT_EQ(At(100, 100), PaletteColour(Red));
    // FillRectangle gets the fill colour set by the half ellipse, without outline.
    FillRectangle(10, 10, 5, 5);
    EXPECT_EQ(At(12, 12), PaletteColour(Yellow));
    EXPECT_TRUE(IsBackground(15, 12));
}

// ---------------------------------------------------------------- text

TEST_F(GraphicsTest, FontsResolveToTheLiberationFaces) {
    RegisterFontSubstitutions();
    struct Row {
        const char* name;
        const char* family;
        bool fixedPitch;
    };
    const Row rows[] = {{"Courier", "Liberation Mono", true},
                        {"System", "Liberation Mono", true},
                        {"MS Sans Serif", "Liberation Sans", false}};
    for (const Row& row : rows) {
        const QFontInfo info(QFont(row.name, 10));
        EXPECT_EQ(info.family().toStdString(), row.family) << row.name;
        EXPECT_EQ(info.fixedPitch(), row.fixedPitch) << row.name;
    }
    SetTextStyle("Courier", 10, 0);
    EXPECT_GT(CharWidth(), 0);
    EXPECT_EQ(TextWidth("iiii"), 4 * CharWidth());
    EXPECT_EQ(TextWidth("WWWW"), 4 * CharWidth());
    const std::int32_t small = CharHeight();
    SetFontSize(20);
    EXPECT_GT(CharHeight(), small);
    SetTextStyle("MS Sans Serif", 10, 1);
    EXPECT_LT(TextWidth("iiii"), TextWidth("WWWW"));
}

TEST_F(GraphicsTest, EachTextStyleKeepsItsOwnCellWhenStylesAlternate) {
    // More styles than the kernel keeps built, twice round: every return to
    // a style gives that style's cell and text width again.
    struct Cell {
        std::int32_t width, height, text;
    };
    std::vector<Cell> first;
    for (int round = 0; round < 2; ++round)
        for (std::int32_t size = 6; size <= 24; size += 2) {
            SetTextStyle("Courier", size, size % 4 == 0 ? 1 : 0);
            const Cell cell{CharWidth(), CharHeight(), TextWidth("Mond")};
            if (round == 0) {
                first.push_back(cell);
                continue;
            }
            const Cell& was = first[static_cast<std::size_t>((size - 6) / 2)];
            EXPECT_EQ(cell.width, was.width) << size;
            EXPECT_EQ(cell.height, was.height) << size;
            EXPECT_EQ(cell.text, was.text) << size;
        }
    EXPECT_LT(first.front().height, first.back().height);
}
TEST_F(GraphicsTest, DrawTextAlignsItsCell) {
    SetTextStyle("Courier", 10, 0);
    SetTextBackground(Red);
    const int w = CharWidth(), h = CharHeight();
    for (int horizontal = 0; horizontal < 3; ++horizontal) {
        for (int vertical = 0; vertical < 3; ++vertical) {
            Canvas().fill(Background);
            SetTextAlignment(horizontal, vertical);
            DrawText(100, 100, "T", Blue);
            const int left = horizontal == 0 ? 100 : horizontal == 1 ? 100 - w / 2 : 100 - w;
            const int top = vertical == 0 ? 100 - h : vertical == 1 ? 100 - h / 2 : 100;
            EXPECT_EQ(DrawnBox(QRect(50, 50, 100, 100)), QRect(left, top, w, h))
                << "alignment " << horizontal << ", " << vertical;
        }
    }
    // The glyph is drawn in the text colour inside its red cell.
    bool glyph = false;
    for (int y = 100; y < 100 + h; ++y)
        for (int x = 100 - w; x < 100; ++x)
            glyph = glyph || At(x, y) == PaletteColour(Blue);
    EXPECT_TRUE(glyph);
}

TEST_F(GraphicsTest, TransparentTextDrawsOnlyTheGlyph) {
    SetTextStyle("Courier", 10, 0);
    SetTextBackground(-1);
    SetTextAlignment(0, 2);
    DrawText(100, 100, "T", Blue);
    const QRect box = DrawnBox(QRect(50, 50, 100, 100));
    ASSERT_FALSE(box.isEmpty());
    EXPECT_TRUE(QRect(100, 100, CharWidth(), CharHeight()).contains(box));
    EXPECT_LT(box.width() * box.height(), CharWidth() * CharHeight());
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (!IsBackground(x, y)) {
                ASSERT_EQ(At(x, y), PaletteColour(Blue)) << "antialiased pixel";
            }
}

TEST_F(GraphicsTest, WriteTextWrapsBeforeATextThatDoesNotFit) {
    SetTextStyle("Courier", 10, 0);
    SetTextBackground(Red);
    SetTextAlignment(0, 0);
    const int w = CharWidth(), h = CharHeight();
    SetWritePosition(MaxX() - 2 * w, 300);
    WriteText("ABCDE");
    EXPECT_EQ(DrawnBox(QRect(0, 250, MaxX() + 1, 100)), QRect(w, 300 + h - h, 5 * w, h));
    EXPECT_EQ(WritePosition().x, w + 5 * w);
    EXPECT_EQ(WritePosition().y, 300 + h);
    WriteText("F"); // fits: no wrap
    EXPECT_EQ(WritePosition().x, w + 6 * w);
    EXPECT_EQ(WritePosition().y, 300 + h);
}

TEST_F(GraphicsTest, WriteLineMovesDownUntilTheBottomOfTheScreen) {
    SetTextStyle("Courier", 10, 0);
    SetTextBackground(Red);
    SetTextAlignment(0, 0);
    const int w = CharWidth(), h = CharHeight();
    SetWritePosition(50, 400);
    WriteLine("AB");
    EXPECT_EQ(DrawnBox(QRect(0, 300, 200, 200)), QRect(50, 400 - h, 2 * w, h));
    EXPECT_EQ(WritePosition().x, w);
    EXPECT_EQ(WritePosition().y, 400 + h);
    WriteLine(""); // only moves on
    EXPECT_EQ(WritePosition().y, 400 + 2 * h);

    const int bottom = Layer().screenHeight;
    ASSERT_EQ(bottom, Canvas().height());
    Canvas().fill(Background);
    SetWritePosition(50, bottom);
    WriteLine("AAAA");
    WriteLine("B");
    EXPECT_EQ(WritePosition().y, bottom); // stays on the last line
    // Both texts were drawn on that line: the second over the first's start.
    EXPECT_EQ(DrawnBox(QRect(0, bottom - 3 * h, 300, 3 * h)), QRect(w, bottom - h, 50 - w + 4 * w, h));
}

// ---------------------------------------------------------------- screen

TEST_F(GraphicsTest, ClearScreenPaintsWhiteAndEmptiesTheStatusText) {
    Layer().statusText = "Lauf";
    ClearScreen();
    EXPECT_EQ(At(0, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(At(MaxX(), MaxY()), (Rgb{255, 255, 255}));
    EXPECT_TRUE(Layer().statusText.empty());
}

TEST_F(GraphicsTest, ScreenPictureRestoresTheClientArea) {
    ScreenPicture picture;
    EXPECT_TRUE(picture.IsEmpty());
    PlotPoint(3, 4, Green);
    CaptureScreen(picture);
    EXPECT_FALSE(picture.IsEmpty());
    ClearScreen();
    DrawScreenPicture(picture);
    EXPECT_EQ(At(3, 4), PaletteColour(Green));
    EXPECT_TRUE(IsBackground(MaxX(), MaxY()));

    ScreenPicture moved(std::move(picture));
    EXPECT_TRUE(picture.IsEmpty());
    EXPECT_FALSE(moved.IsEmpty());
    CaptureScreen(picture); // a moved-from picture can be captured again
    EXPECT_FALSE(picture.IsEmpty());
}

// ---------------------------------------------------------------- saving pictures

class SavePictureTest : public GraphicsTest {
  protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        dir_ = fs::temp_directory_path() / ("orvandel-save-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(SavePictureTest, WritesAnUncompressedBitmapOfTheRectangle) {
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            PlotPoint(x, y, (x + 3 * y) % 16);
    struct Row {
        int left, top;
    };
    for (const Row& row : {Row{0, 0}, Row{5, 7}}) {
        const std::string path = (dir_ / "Orvandel00.bmp").string();
        SavePicture(path, row.left, row.top, row.left + 9, row.top + 9);
        std::ifstream in(path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_GE(bytes.size(), 54u);
        EXPECT_EQ(bytes.substr(0, 2), "BM");
        auto u16 = [&](int at) { return (unsigned char)bytes[at] | ((unsigned char)bytes[at + 1] << 8); };
        EXPECT_TRUE(u16(28) == 24 || u16(28) == 32) << "bits per pixel " << u16(28);
        EXPECT_EQ(u16(30) | (u16(32) << 16), 0) << "compression";

        const QImage back(QString::fromStdString(path));
        ASSERT_EQ(back.size(), QSize(10, 10));
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                ASSERT_EQ(back.pixel(x, y) & 0xFFFFFF, Canvas().pixel(row.left + x, row.top + y) & 0xFFFFFF)
                    << x << "," << y;
    }
    // No temporary file is left beside it.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir_))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST_F(SavePictureTest, FailureNamesTheFullPathAndTheReason) {
    std::ofstream(dir_ / "kein-ordner") << "x";
    const std::string path = (dir_ / "kein-ordner" / "Orvandel00.bmp").string();
    try {
        SavePicture(path, 0, 0, 9, 9);
        FAIL() << "no error";
    } catch (const UserError& e) {
        EXPECT_EQ(std::string(e.what()), "Datei \"" + AbsolutePath(path) + "\" kann nicht erstellt werden. " +
                                             ErrorReasonText(ENOTDIR));
    }
}

} // namespace

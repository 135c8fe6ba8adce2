// The start screen, the status panel and the help screens as drawn on the
// canvas of a main window 1000 by 600 pixels (offscreen platform), with the
// prompt dialog created as at program start.
#include <QApplication>
#include <QImage>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <tuple>
#include <unistd.h>
#include <vector>

#include "app/MainLoop.h"
#include "app/Panel.h"
#include "app/Parameters.h"
#include "window/Eingabe.h"
#include "window/FensterGraf.h"
#include "window/Graphics.h"

namespace {

namespace fs = std::filesystem;
using window::Rgb;

constexpr int WindowWidth = 1000, WindowHeight = 600;
// A colour that nothing under test draws.
constexpr QRgb Untouched = 0xFF102030;

Rgb At(int x, int y) {
    const QRgb p = window::Canvas().pixel(x, y);
    return Rgb{static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
               static_cast<std::uint8_t>(qBlue(p))};
}

// The colours other than black in the rows [top, bottom) and the columns
// [left, right) of the canvas, as (r, g, b) tuples.
using ColourSet = std::set<std::tuple<int, int, int>>;
ColourSet ColoursIn(int left, int top, int right, int bottom) {
    ColourSet colours;
    for (int y = std::max(top, 0); y < bottom; ++y)
        for (int x = std::max(left, 0); x < right; ++x) {
            const Rgb c = At(x, y);
            if (c != Rgb{0, 0, 0}) colours.insert({c.r, c.g, c.b});
        }
    return colours;
}

ColourSet Only(int colour) {
    const Rgb c = window::PaletteColour(colour);
    return {{c.r, c.g, c.b}};
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A text of n lines in Windows-1252 with CR LF.
std::string TextOfLines(int n) {
    std::string s;
    for (int i = 1; i <= n; ++i)
        s += "Zeile " + std::to_string(i) +
             " M\xfc"
             "ller XXXX\r\n";
    return s;
}

class PanelScreenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        oldFolder_ = fs::current_path();
        folder_ =
            fs::temp_directory_path() / ("orvandel-panel-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        fs::current_path(folder_);
        window::ResetLayer("/usr/bin/Orvandel");
        window::ResetDrawingState();
        app::ResetParameters();
        app::ResetRunState();
        app::ResetPanelState();
        window::TGrundfenster* w = window::CreateMainWindow();
        w->setGeometry(0, 0, WindowWidth, WindowHeight);
        w->show();
        window::CreateEingabeDialog();
        QApplication::processEvents();
        window::InitPalette();
        window::SetTextStyle("Courier", 10, 0);
        window::Canvas().fill(Untouched);
        ASSERT_EQ(window::MaxX(), WindowWidth - 1);
        ASSERT_EQ(window::MaxY(), WindowHeight - 1);
    }

    void TearDown() override {
        window::DestroyEingabeDialog();
        window::DestroyMainWindow();
        fs::current_path(oldFolder_);
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    static std::int32_t HeightOf(std::int32_t size, std::int32_t style) {
        window::SetTextStyle("Courier", size, style);
        return window::CharHeight();
    }

    fs::path folder_;

  private:
    fs::path oldFolder_;
};

// ---------------------------------------------------------------- start screen

TEST_F(PanelScreenTest, StartScreenHeadingsYellowBodyWhite) {
    WriteFile("eclgraph.dat", ""); // any spelling of the coastline file
    const std::int32_t heading = HeightOf(14, 1), body = HeightOf(10, 0);
    ASSERT_GT(heading, body);
    const app::TextBand band = app::PromptBand(WindowHeight, window::EingabeClientHeight);
    for (int lines : {2, 5}) {
        SCOPED_TRACE(lines);
        WriteFile("Orvandel.txt", TextOfLines(lines));
        window::Canvas().fill(Untouched);
        app::ShowStartScreen();
        EXPECT_TRUE(app::Params().keepStartScreen);
        const std::vector<std::int32_t> rows = app::StartScreenLineRows(lines, band, heading, body);
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(lines));
        int previousBottom = 0;
        for (int i = 0; i < lines; ++i) {
            const int h = i < 3 ? heading : body;
            // The space between lines is black; the line itself is one colour.
            EXPECT_TRUE(ColoursIn(0, previousBottom, WindowWidth, rows[i] - h).empty()) << "above line " << i;
            EXPECT_EQ(ColoursIn(0, rows[i] - h, WindowWidth, rows[i]),
                      Only(i < 3 ? window::Yellow : window::White))
                << "line " << i;
            previousBottom = rows[i];
        }
        EXPECT_TRUE(ColoursIn(0, previousBottom, WindowWidth, WindowHeight).empty());
    }
}

TEST_F(PanelScreenTest, StartScreenLeavesTheDialogsBandFree) {
    WriteFile("ERDE.BIN", "");
    WriteFile("orvandel.TXT", TextOfLines(80));
    app::ShowStartScreen();
    const std::int32_t body = HeightOf(10, 0);
    const std::int32_t dialogTop = (WindowHeight - window::EingabeClientHeight) / 2;
    const std::int32_t dialogBottom = dialogTop + window::EingabeClientHeight;
    // Text above and below the dialog, none behind it or within two lines.
    EXPECT_FALSE(ColoursIn(0, 0, WindowWidth, dialogTop - 2 * body).empty());
    EXPECT_TRUE(ColoursIn(0, dialogTop - 2 * body, WindowWidth, dialogBottom + body + 1).empty());
    EXPECT_FALSE(ColoursIn(0, dialogBottom + 2 * body, WindowWidth, WindowHeight).empty());
    // Everything else was cleared to black: no pixel keeps the old colour.
    for (int y = 0; y < WindowHeight; y += 7)
        for (int x = 0; x < WindowWidth; x += 7)
            ASSERT_NE(window::Canvas().pixel(x, y), Untouched) << x << "," << y;
}

TEST_F(PanelScreenTest, StartScreenWithoutItsTextIsBlack) {
    WriteFile("ECLGRAPH.DAT", "");
    app::Params().keepStartScreen = true;
    app::ShowStartScreen();
    EXPECT_FALSE(app::Params().keepStartScreen);
    EXPECT_TRUE(ColoursIn(0, 0, WindowWidth, WindowHeight).empty());
}

TEST_F(PanelScreenTest, StartScreenWarnsWithoutCoastlines) {
    WriteFile("Orvandel.txt", TextOfLines(5));
    window::SetTextBackground(window::White); // as the palette's initialisation leaves it
    app::ShowStartScreen();
    EXPECT_TRUE(app::Params().keepStartScreen);
    const std::int32_t h = window::CharHeight(); // Courier 20 bold, as the warning left it
    EXPECT_EQ(h, HeightOf(20, 1));
    // Two lines in LightRed on the text background from x = 50, bottoms at
    // 50 and 50 + 2h; the screen is not cleared.
    ColourSet red = Only(window::LightRed);
    red.insert({255, 255, 255});
    const ColourSet untouched = {{qRed(Untouched), qGreen(Untouched), qBlue(Untouched)}};
    auto without = [&](ColourSet s) {
        s.erase(*untouched.begin());
        return s;
    };
    EXPECT_EQ(without(ColoursIn(50, 50 - h, WindowWidth, 50)), red);
    EXPECT_EQ(without(ColoursIn(50, 50 + h, WindowWidth, 50 + 2 * h)), red);
    EXPECT_EQ(ColoursIn(0, 50 + 2 * h, WindowWidth, WindowHeight), untouched);
    EXPECT_EQ(ColoursIn(0, 50, WindowWidth, 50 + h), untouched);
}

TEST_F(PanelScreenTest, CompactCoastlinesNeedNoWarning) {
    WriteFile("erde_0.bin", "");
    WriteFile("Orvandel.txt", TextOfLines(1));
    app::ShowStartScreen();
    const std::int32_t heading = window::CharHeight();
    EXPECT_EQ(ColoursIn(0, heading, WindowWidth, 2 * heading), Only(window::Yellow));
    EXPECT_TRUE(ColoursIn(0, 2 * heading, WindowWidth, WindowHeight).empty());
}

// ---------------------------------------------------------------- help

struct SingleStepRow {
    bool before;
    int presses;
};

TEST_F(PanelScreenTest, HelpSwitchesSingleStepAndKeepsTheUsersMode) {
    const SingleStepRow rows[] = {{false, 1}, {true, 1}, {false, 2}, {true, 3}};
    for (const SingleStepRow& r : rows) {
        SCOPED_TRACE(testing::Message() << r.before << " x" << r.presses);
        for (std::uint8_t view : {0, 1}) {
            app::Params().viewMode = view;
            app::Params().singleStep = r.before;
            app::Run().redrawAfterHelp = false;
            for (int i = 0; i < r.presses; ++i)
                app::ShowHelp();
            EXPECT_TRUE(app::Params().singleStep);
            EXPECT_TRUE(app::Run().redrawAfterHelp);
            EXPECT_EQ(app::Run().savedSingleStep, r.before);
        }
    }
}

TEST_F(PanelScreenTest, OutsideHelpLines) {
    app::Params().viewMode = 1;
    app::ShowHelp();
    const std::int32_t h = window::CharHeight();
    ASSERT_EQ(h, HeightOf(10, 0)); // drawn in the panel's font
    const int x = (WindowHeight - 1) - 150;
    EXPECT_EQ(window::Canvas().pixel(x - 1, 100), Untouched); // the picture left of the help stays
    int previousBottom = 0;
    const std::size_t n = app::OutsideHelpLines().size();
    for (std::size_t k = 1; k <= n; ++k) {
        const int bottom = static_cast<int>(2 * k) * h;
        EXPECT_TRUE(ColoursIn(x, previousBottom, WindowWidth, bottom - h).empty()) << "before line " << k;
        EXPECT_EQ(ColoursIn(x, bottom - h, WindowWidth, bottom),
                  Only(k == n ? window::LightRed : window::White))
            << "line " << k;
        previousBottom = bottom;
    }
    const int last = WindowHeight - 1 - 5;
    EXPECT_TRUE(ColoursIn(x, previousBottom, WindowWidth, last - h).empty());
    EXPECT_EQ(ColoursIn(x, last - h, WindowWidth, last), Only(window::LightRed));
}

TEST_F(PanelScreenTest, InsideHelpLines) {
    app::Params().viewMode = 0;
    app::Run().textLineY = 260;
    window::SetTextStyle("Courier", 20, 1); // the help sets the size 10
    app::ShowHelp();
    const std::int32_t h = window::CharHeight();
    ASSERT_EQ(h, HeightOf(10, 1));
    const std::size_t n = app::InsideHelpLines().size();
    ASSERT_LE(static_cast<int>(n) * h, 260);
    for (std::size_t k = 1; k <= n; ++k) {
        const int bottom = static_cast<int>(k) * h;
        const bool red = k == 1 || k == n;
        // The band is filled MaxX wide: the last column keeps the picture.
        EXPECT_EQ(ColoursIn(0, bottom - h, WindowWidth - 1, bottom),
                  Only(red ? window::LightRed : window::White))
            << "line " << k;
    }
    EXPECT_TRUE(ColoursIn(0, static_cast<int>(n) * h, WindowWidth - 1, 260).empty());
    EXPECT_EQ(window::Canvas().pixel(10, 261), Untouched); // the picture below the band stays
}

// ---------------------------------------------------------------- panel

class PanelLabelsTest : public PanelScreenTest {
  protected:
    void SetUp() override {
        PanelScreenTest::SetUp();
        // A run starts after the palette's initialisation, which leaves a
        // white text background.
        window::SetTextBackground(window::White);
        app::Parameters& p = app::Params();
        p.viewMode = 1;
        p.startDay = 7;
        p.startMonth = 12;
        p.startYear = 2026;
        p.startTime = 14.597L;
        p.latitudeText = "-33.9";
        p.longitudeText = "-70.6";
        p.latitude = -33.9L * astro::Degree;
        p.longitude = -70.6L * astro::Degree;
        app::RunState& run = app::Run();
        run.earthRadiusPx = 100;
        run.earthCentreY = 300;
        astro::RotationAboutX(run.viewMatrix, 0);
        astro::RotationAboutX(run.inverseViewMatrix, 0);
    }
};

TEST_F(PanelLabelsTest, TextsOfThePanel) {
    app::DrawOutsideLabels();
    EXPECT_EQ(app::Panel().panelDateText, "7.12.2026  ");
    EXPECT_EQ(app::Panel().panelTimeText, "15.00");
    EXPECT_EQ(app::Panel().panelLocationText, "Standort: 33.9° s.B., 70.6° w.L.");
    const int maxY = WindowHeight - 1;
    // The panel was cleared (its last row excepted) and holds White text
    // and the LightRed "F1: Hilfe " at the bottom right.
    EXPECT_EQ(window::Canvas().pixel(maxY - 1, 10), Untouched);
    const ColourSet panel = ColoursIn(maxY, 0, WindowWidth, maxY);
    EXPECT_TRUE(panel.count({255, 255, 255}));
    const std::int32_t h = HeightOf(10, 0);
    EXPECT_EQ(ColoursIn(WindowWidth / 2 + 200, maxY - 5 - h, WindowWidth, maxY - 5), Only(window::LightRed));
    EXPECT_EQ(ColoursIn(WindowWidth / 2 + 200, maxY - 5, WindowWidth, maxY), ColourSet{});
}

TEST_F(PanelLabelsTest, LatitudeViewArrow) {
    app::Run().perspective = 1;
    app::DrawOutsideLabels();
    const int maxY = WindowHeight - 1;
    // The yellow line from the panel's edge at the Earth's centre, then the
    // text beyond it.
    for (int x = maxY; x <= maxY + 50; ++x)
        EXPECT_EQ(At(x, 300), window::PaletteColour(window::Yellow)) << x;
    EXPECT_EQ(ColoursIn(maxY + 60, 290, WindowWidth, 310), Only(window::Yellow));
}

TEST_F(PanelLabelsTest, PoleViewErasesTheHorizonWords) {
    const int maxY = WindowHeight - 1;
    for (bool south : {false, true}) {
        SCOPED_TRACE(south);
        app::Params().latitude = (south ? -33.9L : 54.3L) * astro::Degree;
        window::Canvas().fill(Qt::black);
        app::Run().perspective = 2;
        app::DrawOutsideLabels();
        // "Horizont" above and the compass word below the top of the Earth,
        // right-aligned at the panel's edge, in LightGray.
        EXPECT_EQ(ColoursIn(maxY - 80, 180, maxY, 220), Only(window::LightGray));
        // Between frames the text background is transparent.
        window::SetTextBackground(-1);
        app::Run().perspective = 0;
        app::DrawOutsideLabels();
        EXPECT_TRUE(ColoursIn(maxY - 80, 180, maxY, 220).empty());
    }
}

} // namespace

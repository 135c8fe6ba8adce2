// The outside view: the run start with and without a parameter file (the
// opening trail, the first picture, the instant of the first frame), the
// horizon perspective's line and hidden Moon, the matrices of the latitude
// view, and the keys that change the picture between frames.
#include <QImage>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <vector>

#include "AppTestSupport.h"
#include "app/Discs.h"
#include "app/OutsideView.h"
#include "astro/TimeScales.h"

namespace {

using namespace apptest;
using app::Params;
using app::Real;

constexpr int F1 = 1, Up = 15, Down = 16, Esc = 27;
constexpr Real Deg = astro::Pi / 180;
// One minute in days: the labels show the clock to the minute.
constexpr double Minute = 1.0 / 1440;

// ---------------------------------------------------------------- the canvas

bool Is(int x, int y, int colour) {
    const QImage& c = window::Canvas();
    if (x < 0 || y < 0 || x >= c.width() || y >= c.height()) return false;
    const window::Rgb p = window::PaletteColour(colour);
    return (c.pixel(x, y) & 0xFFFFFFu) == (qRgb(p.r, p.g, p.b) & 0xFFFFFFu);
}

// Pixels of the colour in the circle of radius r round (cx, cy).
long CountInCircle(int cx, int cy, int r, int colour) {
    long n = 0;
    for (int y = cy - r; y <= cy + r; ++y)
        for (int x = cx - r; x <= cx + r; ++x)
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r && Is(x, y, colour)) ++n;
    return n;
}

// Pixels of the colour in the rectangle [left, right] x [top, bottom].
long CountInBox(int left, int top, int right, int bottom, int colour) {
    long n = 0;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            if (Is(x, y, colour)) ++n;
    return n;
}

void ClearCanvas() {
    window::Canvas().fill(Qt::black);
}

// Where the Moon of the current scene lies on the screen, as the view draws
// it: the viewer's frame of the picture, and in the horizon perspective one
// Earth radius higher (its origin is the observer on top of the Earth).
void MoonOnScreen(int& x, int& y) {
    const astro::Vector3 v = app::ViewerCoordinates(app::Scene().moonVector);
    x = window::ScreenX(v.X);
    y = window::ScreenY(v.Y) - (app::Run().perspective == 2 ? app::Run().earthRadiusPx : 0);
}

// ---------------------------------------------------------------- labels

// The instant (Julian date, UT) that a label names: "7.12.2026  " and
// "14.17 Uhr MEZ".
Real LabelInstant(const app::OutsideMoonLabel& label) {
    astro::CalendarDate date;
    double clock = 0;
    EXPECT_EQ(std::sscanf(label.dateText.c_str(), "%d.%d.%d", &date.Day, &date.Month, &date.Year), 3)
        << label.dateText;
    EXPECT_EQ(std::sscanf(label.timeText.c_str(), "%lf Uhr MEZ", &clock), 1) << label.timeText;
    return astro::JulianDateFromCivil(date, static_cast<Real>(clock));
}

// A label whose two lines lie on the canvas shows text of its colour there,
// centred on its x, and sits above a Moon disc.
void ExpectDrawnLabel(const app::OutsideMoonLabel& label) {
    const int h = window::CharHeight();
    const int r = app::Run().outsideDiscRadius;
    EXPECT_GT(CountInBox(label.x - 40, label.dateBottom - h, label.x + 40, label.timeBottom, label.colour),
              40)
        << label.dateText << label.timeText;
    EXPECT_GT(CountInCircle(label.moonX, label.moonY, r - 3, window::LightGray), 100) << label.dateText;
}

bool OnCanvas(const app::OutsideMoonLabel& label) {
    const int r = app::Run().outsideDiscRadius;
    return label.moonY - r >= 0 && label.moonY + r <= window::MaxY() && label.moonX - r >= 0 &&
           label.moonX + r <= window::MaxY();
}

bool IsIdentity(const astro::Matrix3& m) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (m(i, j) != (i == j ? 1 : 0)) return false;
    return true;
}

// ---------------------------------------------------------------- fixture

class OutsideViewTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        app::ResetDiscState();
        app::ResetOutsideView();
    }

    // The parameter file of a run in the outside view: 7.12.2026 14.17 MEZ at
    // 54.3° N, 10.1° E, steps of one hour.
    void StartWithFile() {
        WriteBytes(Folder() / "aussen.dat", "b * Darstellung (Phase (p)/Bewegung)\r\n"
                                            "54.3 * geogr. Breite\r\n"
                                            "10.1 * geogr. L\xe4nge\r\n"
                                            "7.12.2026 * Startdatum\r\n"
                                            "14.17 * Startuhrzeit\r\n"
                                            "1 * deltat\r\n"
                                            "0 * Verz\xf6gerung in ms\r\n"
                                            "0 * zentraler Azimut\r\n"
                                            "30 * Abstand der Koordinatenlinien\r\n"
                                            "n * Zeichnung der \xc4quators (j/n)?\r\n"
                                            "n * Zeichnung der Ekliptik (j/n)?\r\n"
                                            "j * Einzelschritt (j/n)?\r\n");
        app::SetCommandLine({"aussen.dat"});
        app::MainTick();
        ASSERT_TRUE(app::Run().runStarted);
        ASSERT_TRUE(Params().startedWithFile);
        ASSERT_EQ(Params().viewMode, 1);
    }

    // Prompted start, then "d" into the outside view and Esc for new
    // prompts there: the run starts in the outside view without a file.
    void StartPromptedInOutsideView() {
        StartWithDefaults();
        Tick('d');
        ASSERT_EQ(Params().viewMode, 1);
        Answers answers;
        answers.acceptDefaultsBeyond = true;
        AnswerWith(answers);
        Tick(Esc);
        window::SetPromptShownHook(nullptr);
        ASSERT_EQ(answers.shown.size(), 8u); // the outside view asks no inside questions
        ASSERT_TRUE(app::Run().runStarted);
    }

    // Steps the instant of a perspective-2 scene through a day in steps of
    // 20 minutes and returns the one with the Moon lowest in the sky.
    static Real LowestMoonInstant(Real from) {
        Real best = from, bestY = 1e9L;
        for (int i = 0; i < 72; ++i) {
            app::Run().currentJD = from + i / 72.0L;
            app::ComputeOutsideScene();
            if (app::Scene().moonVector.Y < bestY) {
                bestY = app::Scene().moonVector.Y;
                best = app::Run().currentJD;
            }
        }
        return best;
    }
};

// ---------------------------------------------------------------- run start

TEST_F(OutsideViewTest, WithAParameterFileThereIsNoTrailAndTheFirstFrameShowsTheStart) {
    StartWithFile();
    const Real start = astro::JulianDateFromCivil({7, 12, 2026}, 14.17L);
    ExpectSameInstant(app::Run().shownJD, start);

    // Only the first picture's Moon is labelled, in LightRed, with the start.
    const auto& labels = app::OutsideView().startLabels;
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0].colour, window::LightRed);
    EXPECT_EQ(labels[0].dateText, "7.12.2026  ");
    EXPECT_EQ(labels[0].timeText, "14.17 Uhr MEZ");
    ExpectDrawnLabel(labels[0]);

    // No other Moon anywhere in the picture: its lit grey lies only in the
    // circle of the Moon just drawn.
    int mx = 0, my = 0;
    MoonOnScreen(mx, my);
    const int r = app::Run().outsideDiscRadius;
    EXPECT_GT(CountInCircle(mx, my, r, window::LightGray), 0);
    EXPECT_EQ(CountInBox(0, 0, window::MaxY(), window::MaxY(), window::LightGray),
              CountInCircle(mx, my, r + 1, window::LightGray));
}

TEST_F(OutsideViewTest, WithoutAFileSevenLabelledMoonsLeadUpToTheStart) {
    StartPromptedInOutsideView();
    // The fixed clock of the tests: 7.12.2026 9.05 MEZ.
    const Real start = astro::JulianDateFromCivil({7, 12, 2026}, 9.05L);

    const auto& labels = app::OutsideView().startLabels;
    ASSERT_EQ(labels.size(), 8u);
    int checked = 0;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        EXPECT_EQ(labels[i].colour, i < 7 ? window::White : window::LightRed) << i;
        // 3.4 days apart, the last of the trail 3.4 days before the start.
        const Real expected = start - static_cast<Real>(7 - i) * 3.4L;
        EXPECT_NEAR(static_cast<double>(LabelInstant(labels[i])), static_cast<double>(expected),
                    1.01 * Minute)
            << labels[i].dateText << labels[i].timeText;
        if (OnCanvas(labels[i])) {
            ExpectDrawnLabel(labels[i]);
            ++checked;
        }
    }
    EXPECT_GE(checked, 6); // a Moon may reach past the square's edge
    // Seven different dates: every trail label names another day.
    for (std::size_t i = 1; i < 7; ++i)
        EXPECT_NE(labels[i].dateText, labels[i - 1].dateText);
    EXPECT_EQ(labels[7].dateText, "7.12.2026  ");
    EXPECT_EQ(labels[7].timeText, " 9.05 Uhr MEZ"); // one of the two leading blanks stays
    EXPECT_EQ(app::Run().perspective, 0);

    // The first frame showed the instant one step before the start, so that
    // the next one shows the start itself.
    ExpectSameInstant(app::Run().shownJD, start - Params().timeStep);
    Tick('x');
    ExpectSameInstant(app::Run().shownJD, start);
    // That key cleared the trail: one Moon is left.
    int mx = 0, my = 0;
    MoonOnScreen(mx, my);
    EXPECT_EQ(CountInBox(0, 0, window::MaxY(), window::MaxY(), window::LightGray),
              CountInCircle(mx, my, app::Run().outsideDiscRadius + 1, window::LightGray));
}

TEST_F(OutsideViewTest, TheTrailStaysUntilTheFirstKeyThatDrawsAFrame) {
    StartPromptedInOutsideView();
    for (int key : {int{'s'}, int{'a'}, int{'l'}, F1, Up, Down, int{'x'}}) {
        Answers answers; // a new run: the trail of seven Moons and the first picture
        answers.acceptDefaultsBeyond = true;
        AnswerWith(answers);
        Tick(Esc);
        const int picture = app::Run().pictureNumber;
        Tick(key);
        // Seven Moons until a frame clears them; the lit part of one has less than 1700 pixels.
        EXPECT_EQ(CountInBox(0, 0, window::MaxY(), window::MaxY(), window::LightGray) > 3 * 1700, key != 'x')
            << key;
        if (key != 's') continue;
        // The saved picture is the screen, above the line the tick writes after the key.
        const QRect above(0, 0, window::MaxX() + 1, window::MaxY() - 30);
        const QImage saved(QString::fromStdString(app::PictureFileName(picture)));
        EXPECT_EQ(saved.copy(above).convertToFormat(QImage::Format_RGB32), window::Canvas().copy(above));
    }
}

TEST_F(OutsideViewTest, EveryTrailLabelLiesOnThePictureBesideItsMoon) {
    StartPromptedInOutsideView();
    const Real first = app::Run().currentJD;
    const int r = app::Run().outsideDiscRadius, h = window::CharHeight(), side = window::MaxY();
    int below = 0, shifted = 0;
    for (int k = 0; k < 24; ++k) { // trails through two months: Moons at every edge of the square
        app::Run().currentJD = first + 2.5L * k;
        app::PrepareOutsideView();
        for (const app::OutsideMoonLabel& l : app::OutsideView().startLabels) {
            const int half = (std::max(window::TextWidth(l.dateText), window::TextWidth(l.timeText)) + 1) / 2;
            EXPECT_TRUE(l.x - half >= 0 && l.x + half <= side && l.dateBottom - h >= 0 &&
                        l.timeBottom <= side && std::abs(l.x - l.moonX) <= half)
                << l.dateText << l.timeText;
            // A text height above its Moon, or as far below it.
            below += l.dateBottom == l.moonY + r + 2 * h;
            EXPECT_TRUE(l.dateBottom == l.moonY - r - 2 * h || l.dateBottom == l.moonY + r + 2 * h);
            shifted += l.x != l.moonX;
        }
    }
    EXPECT_TRUE(below > 0 && shifted > 0); // the rows do meet the top and the sides
}

// ---------------------------------------------------------------- matrices

TEST_F(OutsideViewTest, TheLatitudeViewTurnsByTheLatitudeLessTheObliquityOnlyNorthOfTheEquator) {
    const struct {
        Real latitudeDeg, angleDeg;
    } rows[] = {
        {54.3L, 30.8L},                  // latitude - 23.5°
        {0.001L, -23.499L}, {0, 156.5L}, // the equator takes the southern branch
        {-33.9L, 190.4L},                // 156.5° - latitude
        {-90, 246.5L},
    };
    for (const auto& row : rows) {
        Params().viewMode = 0; // matrices, window and Earth's centre only
        Params().latitude = row.latitudeDeg * Deg;
        app::PrepareOutsideView();
        astro::Matrix3 expected, inverse;
        astro::RotationAboutX(expected, row.angleDeg * Deg);
        astro::RotationAboutX(inverse, -row.angleDeg * Deg);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                EXPECT_NEAR(static_cast<double>(app::Run().latitudeViewMatrix(i, j)),
                            static_cast<double>(expected(i, j)), 1e-15)
                    << row.latitudeDeg;
                EXPECT_NEAR(static_cast<double>(app::Run().latitudeViewInverse(i, j)),
                            static_cast<double>(inverse(i, j)), 1e-15)
                    << row.latitudeDeg;
            }
        EXPECT_TRUE(IsIdentity(app::Run().viewMatrix));
        EXPECT_TRUE(IsIdentity(app::Run().inverseViewMatrix));
        // The Earth's centre is the middle of the square picture.
        EXPECT_NEAR(app::Run().earthCentreX, window::MaxY() / 2.0, 1);
        EXPECT_NEAR(app::Run().earthCentreY, window::MaxY() / 2.0, 1);
    }
}

TEST_F(OutsideViewTest, ThreePerspectiveKeysReturnToTheIdentityWhateverTheTilt) {
    StartWithDefaults();
    Tick('d');
    // Tilt keys pressed before each of the three "h".
    const std::vector<std::vector<std::vector<int>>> rows = {
        {{}, {}, {}},
        {{Up, Up, Up}, {}, {}},
        {{Down}, {Up, Up}, {Down, Down, Down}},
        {{}, {Down, Down, Down, Down}, {Up}},
        {{Up, Down, Down}, {Up, Up, Up, Up, Up}, {Up, Up}},
    };
    for (std::size_t n = 0; n < rows.size(); ++n) {
        ASSERT_EQ(app::Run().perspective, 0);
        for (int h = 0; h < 3; ++h) {
            for (int key : rows[n][static_cast<std::size_t>(h)])
                Tick(key);
            Tick('h');
            if (h != 0) continue;
            // The latitude view, whatever tilt went before.
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j)
                    EXPECT_EQ(app::Run().viewMatrix(i, j), app::Run().latitudeViewMatrix(i, j)) << n;
        }
        EXPECT_EQ(app::Run().perspective, 0) << n;
        EXPECT_TRUE(IsIdentity(app::Run().viewMatrix)) << n;
        EXPECT_TRUE(IsIdentity(app::Run().inverseViewMatrix)) << n;
    }
}

// ---------------------------------------------------------------- perspective 2

class HorizonPerspectiveTest : public OutsideViewTest {
  protected:
    void SetUp() override {
        OutsideViewTest::SetUp();
        StartWithDefaults(); // 54.3° N, 10.1° E, 7.12.2026
        Tick('d');
        Tick('h');
        Tick('h');
        ASSERT_EQ(app::Run().perspective, 2);
        start_ = app::Run().currentJD;
    }
    // A picture of its own at the instant: a black screen, then one frame.
    static void DrawAt(Real jd) {
        ClearCanvas();
        app::Run().currentJD = jd;
        app::DrawOutsideFrame();
    }
    Real start_ = 0;
};

TEST_F(HorizonPerspectiveTest, AMoonBelowTheHorizonIsNotDrawn) {
    // Near new moon (7 December) the Moon sinks deep in the north; near full
    // moon (23 December) it rises high: the first instant with the Moon 25
    // Earth radii above the horizon (its disc then lies wholly on the canvas).
    const Real low = LowestMoonInstant(start_);
    Real high = start_ + 16;
    for (int i = 0; i < 72; ++i, high += 1 / 72.0L) {
        app::Run().currentJD = high;
        app::ComputeOutsideScene();
        if (app::Scene().moonVector.Y > 25) break;
    }
    const int r = app::Run().outsideDiscRadius;
    int x = 0, y = 0;

    DrawAt(high);
    ASSERT_GT(app::Scene().moonVector.Y, 25); // well above the horizon
    MoonOnScreen(x, y);
    ASSERT_LT(y, app::HorizonRow() - r);
    ASSERT_GE(y - r, 0);
    EXPECT_GT(CountInCircle(x, y, r - 2, window::LightGray) + CountInCircle(x, y, r - 2, window::DarkGray),
              1500); // nearly all of the 1660 pixels of that circle

    DrawAt(low);
    ASSERT_LT(app::Scene().moonVector.Y, -20);
    MoonOnScreen(x, y);
    ASSERT_GT(y, app::HorizonRow() + r);
    EXPECT_EQ(CountInCircle(x, y, r + 1, window::LightGray), 0);
    EXPECT_EQ(CountInCircle(x, y, r + 1, window::DarkGray), 0);
}

TEST_F(HorizonPerspectiveTest, TheHorizonLineLiesOneEarthRadiusAboveTheEarthsCentre) {
    const std::int32_t row = app::Run().earthCentreY - app::Run().earthRadiusPx;
    EXPECT_EQ(app::HorizonRow(), row);
    // At night, with the Sun and the Moon below the horizon, so that nothing
    // but the line lies on that row beside the Earth.
    const Real night = LowestMoonInstant(start_);
    DrawAt(night);
    ASSERT_LT(app::Scene().sunVector.Y, 0);
    const std::int32_t left = app::Run().earthCentreX - app::Run().earthRadiusPx - 30;
    const std::int32_t right = app::Run().earthCentreX + app::Run().earthRadiusPx + 30;
    for (int x : {0, 5, left, right}) {
        EXPECT_TRUE(Is(x, row, window::DarkGray)) << x;
        for (int d : {-3, -2, -1, 1, 2, 3})
            EXPECT_FALSE(Is(x, row + d, window::DarkGray)) << x << " " << d;
    }
    // The view from the ecliptic pole has no such line.
    Tick('h');
    ASSERT_EQ(app::Run().perspective, 0);
    DrawAt(night);
    EXPECT_FALSE(Is(5, row, window::DarkGray));
}

TEST_F(HorizonPerspectiveTest, FramesBuiltUpOnTheScreenKeepTheHorizonAndItsLabelsWhole) {
    // Frames five minutes apart from 15.20 MEZ, the Sun setting at 15.55; then back into this view.
    for (const std::vector<int>& keys :
         {std::vector<int>(12, 'x'), {'x', 'x', 'x', 'h', 'x', 'x', 'h', 'h'}}) {
        app::Run().currentJD = astro::JulianDateFromCivil({7, 12, 2026}, 15.20L);
        for (int key : keys)
            Tick(key);
        // The band of the horizon line and its words, against one frame on a black screen
        // with nothing to erase (the Earth's disc aside: its terminator moves over the old one).
        const QRect band(0, app::HorizonRow() - 2 * window::CharHeight(), window::MaxY() + 1,
                         4 * window::CharHeight());
        const QImage built = window::Canvas().copy(band);
        app::Discs().previousSunX = app::Discs().previousSunY = -1000;
        DrawAt(app::Run().shownJD);
        const int cx = app::Run().earthCentreX, cy = app::Run().earthCentreY - band.top(),
                  r = app::Run().earthRadiusPx + 1;
        for (int y = 0; y < band.height(); ++y)
            for (int x = 0; x < band.width(); ++x) {
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) continue;
                ASSERT_EQ(built.pixel(x, y), window::Canvas().pixel(x, band.top() + y)) << x << "," << y;
            }
    }
}

TEST_F(HorizonPerspectiveTest, ResizingTheEarthLeavesNoHorizonBehind) {
    Tick('x');
    const std::int32_t oldRow = app::HorizonRow();
    ASSERT_TRUE(Is(5, oldRow, window::DarkGray));
    Tick('>');
    const std::int32_t newRow = app::HorizonRow();
    ASSERT_LT(newRow, oldRow);
    EXPECT_TRUE(Is(5, newRow, window::DarkGray));
    EXPECT_FALSE(Is(5, oldRow, window::DarkGray));
    Tick('<');
    EXPECT_FALSE(Is(5, newRow, window::DarkGray));
    EXPECT_TRUE(Is(5, app::HorizonRow(), window::DarkGray));
}

TEST_F(HorizonPerspectiveTest, TiltingKeepsTheHorizonLineWhole) {
    Tick('x');
    const std::int32_t row = app::HorizonRow();
    // Beside the observer's dot on top of the Earth, within the circle of
    // radius earthRadiusPx + 10 that erases the Earth.
    const std::int32_t x = app::Run().earthCentreX + 30;
    ASSERT_TRUE(Is(x, row, window::DarkGray));
    const std::int64_t frames = app::Run().framesDrawn;
    Tick(Up);
    EXPECT_EQ(app::Run().framesDrawn, frames); // no frame redraws it
    EXPECT_TRUE(Is(x, row, window::DarkGray));
    Tick(Down);
    EXPECT_TRUE(Is(x, row, window::DarkGray));
}

} // namespace

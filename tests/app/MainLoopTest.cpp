// The main tick and the key commands: their effects on the run state, which
// keys draw a frame, the instants the frames show.
#include <climits>

#include "AppTestSupport.h"
#include "CanvasTestSupport.h"

namespace {

using namespace apptest;
using app::Params;

constexpr int F1 = 1, F2 = 2, Left = 13, Right = 14, Up = 15, Down = 16, Esc = 27;

class MainLoopTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        StartWithDefaults(); // single-step mode, one frame drawn
    }
    static app::Real Step() { return Params().timeStep; }
};

TEST_F(MainLoopTest, ContinuousModeAdvancesOneStepPerTick) {
    Tick('e');
    ASSERT_FALSE(Params().singleStep);
    for (int i = 0; i < 5; ++i) {
        const app::Real before = app::Run().currentJD;
        const std::int64_t frames = app::Run().framesDrawn;
        Tick();
        EXPECT_EQ(app::Run().framesDrawn, frames + 1);
        EXPECT_EQ(app::Run().shownJD, before);
        EXPECT_EQ(app::Run().currentJD, before + Step());
    }
    EXPECT_NEAR(static_cast<double>(Step() * 24 * 60), 5.0, 1e-12);
}

TEST_F(MainLoopTest, SingleStepDrawsOneFramePerKey) {
    const std::int64_t frames = app::Run().framesDrawn;
    for (int i = 0; i < 3; ++i)
        Tick();
    EXPECT_EQ(app::Run().framesDrawn, frames);
    Tick('x');
    EXPECT_EQ(app::Run().framesDrawn, frames + 1);
    Tick();
    EXPECT_EQ(app::Run().framesDrawn, frames + 1);
    // Two keys: one frame per tick.
    window::Layer().keyQueue = "xy";
    Tick();
    Tick();
    Tick();
    EXPECT_EQ(app::Run().framesDrawn, frames + 3);
}

TEST_F(MainLoopTest, SomeKeysDrawNoFrame) {
    const struct {
        int key;
        bool frame;
    } rows[] = {{F1, false}, {Up, false},  {Down, false}, {'a', false}, {'l', false}, {'s', false},
                {F2, true},  {Left, true}, {Right, true}, {'*', true},  {'+', true},  {'-', true},
                {'/', true}, {'<', true},  {'>', true},   {'h', true},  {'x', true},  {'q', true}};
    for (const auto& row : rows) {
        Params().singleStep = true; // F1 leaves it set until the next frame
        const std::int64_t frames = app::Run().framesDrawn;
        const app::Real jd = app::Run().currentJD;
        Tick(row.key);
        EXPECT_EQ(app::Run().framesDrawn, frames + (row.frame ? 1 : 0)) << row.key;
        if (!row.frame) {
            EXPECT_EQ(app::Run().currentJD, jd) << row.key;
        }
        EXPECT_EQ(app::Run().lastKey, row.key);
    }
}

TEST_F(MainLoopTest, EveryTickEndsWithTheContinueLine) {
    window::Canvas().fill(Qt::black);
    Tick('a'); // draws no frame, but the line
    const QRgb lightRed =
        qRgb(window::PaletteColour(window::LightRed).r, window::PaletteColour(window::LightRed).g,
             window::PaletteColour(window::LightRed).b);
    int red = 0;
    const int bottom = window::MaxY() - 5;
    for (int y = bottom - window::CharHeight(); y < bottom; ++y)
        for (int x = 0; x < 200; ++x)
            red += (window::Canvas().pixel(x, y) & 0xFFFFFFu) == (lightRed & 0xFFFFFFu);
    EXPECT_GT(red, 20);
    // After a frame of the inside view it stands on a black strip of its own.
    Tick('x');
    int other = 0;
    for (int y = bottom - window::CharHeight(); y <= window::MaxY(); ++y)
        for (int x = 0; x <= window::MaxX(); ++x) {
            const QRgb c = window::Canvas().pixel(x, y) & 0xFFFFFFu;
            other += c != 0 && c != (lightRed & 0xFFFFFFu);
        }
    EXPECT_EQ(other, 0);
    EXPECT_EQ(
        std::string(app::ContinueLine),
        " weiter mit Tastendruck (\"Esc: neue Eingabe, \"F1\": Hilfe, \"Strg-C\": Abbruch des Programms)");
}

TEST_F(MainLoopTest, AKeyEndsAPauseAndIsUsedUp) {
    Tick('p');
    EXPECT_TRUE(app::Run().paused);
    const std::int64_t frames = app::Run().framesDrawn; // "p" drew its frame
    Tick();
    EXPECT_EQ(app::Run().framesDrawn, frames);
    const app::Real step = Step();
    Tick('*'); // ends the pause; not a command
    EXPECT_FALSE(app::Run().paused);
    EXPECT_EQ(Step(), step);
    EXPECT_EQ(app::Run().framesDrawn, frames);
    Tick('x');
    EXPECT_EQ(app::Run().framesDrawn, frames + 1);

    // "p" then "x" in continuous mode: the x is swallowed, the frames go on.
    Tick('e');
    Tick('p');
    const std::int64_t paused = app::Run().framesDrawn;
    Tick();
    Tick();
    EXPECT_EQ(app::Run().framesDrawn, paused);
    Tick('e'); // would switch single step back on if it were a command
    EXPECT_FALSE(Params().singleStep);
    EXPECT_EQ(app::Run().framesDrawn, paused + 1);
}

TEST_F(MainLoopTest, MinusShowsTheSameInstantAgainThenGoesBack) {
    Tick('x');
    const app::Real t = app::Run().shownJD;
    Tick('-');
    ExpectSameInstant(app::Run().shownJD, t);
    EXPECT_EQ(app::Run().timeDirection, -1);
    Tick('x');
    ExpectSameInstant(app::Run().shownJD, t - Step());
    Tick('-'); // twice restores the direction
    EXPECT_EQ(app::Run().timeDirection, 1);
    ExpectSameInstant(app::Run().shownJD, t - Step());
    Tick('+'); // the same instant again, then forward
    ExpectSameInstant(app::Run().shownJD, t - Step());
    EXPECT_EQ(app::Run().timeDirection, 1);
    Tick('x');
    ExpectSameInstant(app::Run().shownJD, t);
}

TEST_F(MainLoopTest, SlashFiveTimesAndStar) {
    const app::Real step = Step();
    for (int i = 0; i < 5; ++i)
        Tick('/');
    EXPECT_EQ(Step(), step / 32);
    EXPECT_NEAR(static_cast<double>(Step() * 24 * 60), 5.0 / 32, 1e-12); // 5/32 minutes
    for (int i = 0; i < 5; ++i)
        Tick('*');
    EXPECT_EQ(Step(), step);
    for (int i = 0; i < 100; ++i)
        app::PerformKey('*');                // up to the whole supported range
    EXPECT_EQ(Step(), std::ldexp(step, 30)); // 5 minutes times 2^30: 10210 years
    EXPECT_GT(2 * Step(), app::LongestTimeStep);
}

TEST_F(MainLoopTest, TheTimeStandsAtAnEndOfTheSupportedRange) {
    // "*" 30 times from a step of one hour, forward and back: the frames stop
    // at the last instant a step reaches, on a real date, with the note
    // below the picture; "-" goes back.
    for (const int direction : {+1, -1}) {
        Params().timeStep = 1.0L / 24;
        app::Run().timeDirection = direction;
        for (int i = 0; i < 36; ++i)
            Tick(i < 30 ? '*' : 'x');
        const app::Real held = app::Run().shownJD;
        Tick('x');
        EXPECT_TRUE(app::Run().shownJD == held && app::InSupportedRange(held) && app::Run().rangeNoteShown);
        EXPECT_TRUE(Params().startMonth >= 1 && Params().startMonth <= 12 && Params().startDay >= 1 &&
                    Params().startDay <= 31);
        Tick('-'); // the same instant once more, then back
        Tick('x');
        ExpectSameInstant(app::Run().shownJD, held - direction * Step());
        Tick('+');
    }
}

TEST_F(MainLoopTest, TheArrowsHalveAndDoubleTheDelay) {
    const struct {
        std::int32_t delay;
        int key;
        std::int32_t expected;
    } rows[] = {
        {1, Right, 1},
        {3, Right, 1},
        {0, Right, 0},
        {30, Right, 15},
        {-5, Right, -5},
        {2, Right, 1},
        {30, Left, 60},
        {0, Left, 0},
        {-5, Left, -10},
        {6000, Left, window::LongestWaitMilliseconds}, // stops doubling at the longest wait
        {window::LongestWaitMilliseconds, Left, window::LongestWaitMilliseconds},
        {INT_MAX, Left, window::LongestWaitMilliseconds},
        {INT_MIN, Left, INT_MIN},
        {0x40000000, Left, window::LongestWaitMilliseconds},
    };
    for (const auto& row : rows) {
        Params().delayMs = row.delay;
        app::PerformKey(row.key);
        EXPECT_EQ(Params().delayMs, row.expected) << row.delay << " key " << row.key;
    }
}

TEST_F(MainLoopTest, DiscSizesRoundTiesToEvenGrowByAPixelAtLeastAndStopAtTheirSmallest) {
    const struct {
        int viewMode;
        std::int32_t radius;
        int key;
        std::int32_t expected;
    } rows[] = {
        {0, 15, '<', 14}, // 13.5
        {0, 25, '<', 22}, // 22.5
        {0, 35, '<', 32}, // 31.5
        {0, 5, '<', 4},   // 4.5
        {0, 15, '>', 16}, // 16.5
        {0, 25, '>', 28}, // 27.5
        {0, 5, '>', 6},   // 5.5
        {0, 4, '<', 4},
        {0, 4, '>', 5}, // 4.4: at least a pixel more
        {0, 0, '>', 1},
        {1, 100, '<', 90},
        {1, 100, '>', 110},
        {1, 15, '<', 14},
        {1, 16, '<', 14}, // 14.4: the smallest Earth, twice the observer dot's radius
        {1, 14, '<', 14},
        {1, 10, '<', 10}, // below the smallest: "<" leaves it
        {1, 4, '>', 5},
        // Discs stop growing at 2^20 pixels, so that no pixel computation
        // on them can overflow.
        {1, 1 << 20, '>', 1 << 20},
        {1, 1000000, '>', 1 << 20},
        {0, 1 << 20, '>', 1 << 20},
        {1, 1 << 20, '<', 943718},
    };
    for (const auto& row : rows) {
        Params().viewMode = static_cast<std::uint8_t>(row.viewMode);
        std::int32_t& radius = row.viewMode == 0 ? app::Run().insideDiscRadius : app::Run().earthRadiusPx;
        radius = row.radius;
        const app::Real jd = app::Run().currentJD;
        app::PerformKey(row.key);
        EXPECT_EQ(radius, row.expected) << row.radius << " " << static_cast<char>(row.key);
        EXPECT_EQ(app::Run().currentJD, jd - Step()); // the advance is undone
    }
    Params().viewMode = 0;
}

TEST_F(MainLoopTest, PicturesAreNumberedAcrossRuns) {
    for (int i = 0; i < 3; ++i)
        Tick('s');
    for (const char* name : {"Orvandel00.bmp", "Orvandel01.bmp", "Orvandel02.bmp"})
        EXPECT_TRUE(fs::is_regular_file(Folder() / name)) << name;
    EXPECT_FALSE(fs::exists(Folder() / "Orvandel03.bmp"));
    Answers answers;
    answers.acceptDefaultsBeyond = true;
    AnswerWith(answers);
    Tick(Esc); // a new run
    ASSERT_EQ(answers.shown.size(), 12u);
    Tick('s');
    EXPECT_TRUE(fs::is_regular_file(Folder() / "Orvandel03.bmp"));
    EXPECT_EQ(app::Run().pictureNumber, 4);
}

TEST_F(MainLoopTest, PicturesBeyondTheHundredthNeverOverwriteTheFirstHundred) {
    const struct {
        std::int32_t n;
        const char* name;
    } rows[] = {{0, "Orvandel00.bmp"},     {7, "Orvandel07.bmp"},    {10, "Orvandel10.bmp"},
                {99, "Orvandel99.bmp"},    {100, "Orvandel100.bmp"}, {101, "Orvandel101.bmp"},
                {1000, "Orvandel1000.bmp"}};
    for (const auto& row : rows)
        EXPECT_EQ(app::PictureFileName(row.n), row.name);
    Tick('s');
    const std::string first = ReadBytes(Folder() / "Orvandel00.bmp");
    app::Run().pictureNumber = 99;
    Tick('s');
    Tick('s');
    EXPECT_TRUE(fs::is_regular_file(Folder() / "Orvandel99.bmp"));
    EXPECT_TRUE(fs::is_regular_file(Folder() / "Orvandel100.bmp"));
    EXPECT_EQ(ReadBytes(Folder() / "Orvandel00.bmp"), first);
    // The inside view leaves out the band above its date line.
    const std::string whole = ReadBytes(Folder() / "Orvandel100.bmp");
    EXPECT_EQ(whole.substr(0, 2), "BM");
}

TEST_F(MainLoopTest, TheViewSwitchTwiceShowsTheSameInstant) {
    Tick('x');
    const app::Real t = app::Run().shownJD;
    Tick('d');
    EXPECT_EQ(Params().viewMode, 1);
    ExpectSameInstant(app::Run().shownJD, t);
    // The outside view's square at the left, +-63.294 Earth radii.
    const std::int32_t r = app::Run().outsideDiscRadius;
    EXPECT_EQ(window::ScreenX(-63.294L), r);
    EXPECT_EQ(window::ScreenX(63.294L), window::MaxY() - r);
    EXPECT_EQ(window::ScreenY(63.294L), r);
    Tick('d');
    EXPECT_EQ(Params().viewMode, 0);
    ExpectSameInstant(app::Run().shownJD, t);
    // The inside view over the whole client area, y = 0 a quarter of the
    // height above the bottom.
    EXPECT_EQ(window::ScreenX(-5), 0);
    EXPECT_EQ(window::ScreenX(5), window::MaxX());
    EXPECT_NEAR(window::ScreenY(0), window::MaxY() * 0.75, 1.0);
    Tick('x');
    ExpectSameInstant(app::Run().shownJD, t + Step());
}

TEST_F(MainLoopTest, TheFirstKeyClearsTheOutsideScreenOnce) {
    Tick('d');
    app::Run().outsideScreenCleared = false;
    Tick(F1); // F1 does not clear
    EXPECT_FALSE(app::Run().outsideScreenCleared);
    Tick('x');
    EXPECT_TRUE(app::Run().outsideScreenCleared);
}

bool IsIdentity(const astro::Matrix3& m) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (m(i, j) != (i == j ? 1 : 0)) return false;
    return true;
}

bool NearIdentity(const astro::Matrix3& m) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (std::fabs(static_cast<double>(m(i, j)) - (i == j ? 1 : 0)) > 1e-15) return false;
    return true;
}

TEST_F(MainLoopTest, TiltKeepsTheInverseAndThePerspectiveCycleResetsIt) {
    Tick('d'); // outside view
    const app::Real jd = app::Run().currentJD;
    const std::int64_t frames = app::Run().framesDrawn;
    Tick(Up);
    Tick(Up);
    Tick(Down);
    EXPECT_EQ(app::Run().framesDrawn, frames);
    EXPECT_EQ(app::Run().currentJD, jd);
    EXPECT_NEAR(static_cast<double>(app::Run().tiltAngle), astro::Pi / 18, 1e-15);
    EXPECT_FALSE(NearIdentity(app::Run().viewMatrix));
    astro::Matrix3 product;
    astro::MultiplyMatrices(app::Run().viewMatrix, app::Run().inverseViewMatrix, product);
    EXPECT_TRUE(NearIdentity(product));

    Tick('h');
    EXPECT_EQ(app::Run().perspective, 1);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(app::Run().viewMatrix(i, j), app::Run().latitudeViewMatrix(i, j));
    Tick(Up);
    Tick('h');
    EXPECT_EQ(app::Run().perspective, 2);
    Tick('h');
    EXPECT_EQ(app::Run().perspective, 0);
    EXPECT_TRUE(IsIdentity(app::Run().viewMatrix));
    EXPECT_TRUE(IsIdentity(app::Run().inverseViewMatrix));

    // In the inside view the tilt keys do nothing.
    Tick('d');
    const app::Real tilt = app::Run().tiltAngle;
    Tick(Up);
    Tick(Down);
    EXPECT_EQ(app::Run().tiltAngle, tilt);
    EXPECT_TRUE(IsIdentity(app::Run().viewMatrix));
}

TEST_F(MainLoopTest, TheHelpHoldsTheAnimationUntilTheNextKey) {
    Tick('e');
    ASSERT_FALSE(Params().singleStep);
    Tick(F1);
    EXPECT_TRUE(Params().singleStep);
    EXPECT_TRUE(app::Run().redrawAfterHelp);
    const std::int64_t frames = app::Run().framesDrawn;
    Tick();
    EXPECT_EQ(app::Run().framesDrawn, frames);
    Tick('x'); // the next frame restores continuous mode
    EXPECT_FALSE(Params().singleStep);
    EXPECT_FALSE(app::Run().redrawAfterHelp);
    Tick();
    EXPECT_EQ(app::Run().framesDrawn, frames + 2);
}

TEST_F(MainLoopTest, OnlyTicksThatWaitForAKeyLetTheTimerIdle) {
    // Each row: the key waiting before the tick (0: none), and whether the
    // tick has nothing to do until the next key. Single-step mode first.
    const struct {
        int key;
        bool idle;
    } rows[] = {{0, true},    {'x', false}, {0, true},    {'e', false}, {0, false}, // continuous
                {'p', false}, {0, true},    {'*', false}, {0, false},               // pause, ended by a key
                {F1, false},  {0, true},    {'x', false}, {0, false}}; // the help holds the frames
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        window::Layer().idleUntilKey = false; // as every tick starts
        Tick(rows[i].key);
        EXPECT_EQ(window::Layer().idleUntilKey, rows[i].idle) << "row " << i;
    }
}

TEST_F(MainLoopTest, AKeyOnAHelpScreenTakesEffect) {
    // The mode before F1, the key that leaves the help, the mode after it.
    const struct {
        bool singleStepBefore;
        int key;
        bool singleStepAfter;
    } rows[] = {{false, 'x', false}, {true, 'x', true}, {false, 'e', true}, {true, 'e', false}};
    for (const auto& row : rows) {
        Params().singleStep = row.singleStepBefore;
        Tick(F1);
        Tick(row.key);
        EXPECT_EQ(Params().singleStep, row.singleStepAfter) << row.singleStepBefore << " " << row.key;
        EXPECT_FALSE(app::Run().redrawAfterHelp);
    }
    // Esc on a help screen: the new run starts in single-step mode like
    // every run after the prompts.
    Params().singleStep = false;
    Tick(F1);
    Answers answers;
    answers.acceptDefaultsBeyond = true;
    AnswerWith(answers);
    Tick(Esc);
    EXPECT_TRUE(Params().singleStep);
}

TEST_F(MainLoopTest, HugeValuesThatConvertAreCarriedWithoutHarm) {
    // What a user may type: a step of 1e300 hours, a delay of -5, the
    // largest year, a latitude far beyond the pole. A start or a step outside
    // the supported range is refused and asked again.
    Answers answers;
    answers.texts = {"1e300",      "\n",          "2147483647", "7",     "-2147483648", "12",
                     "2147483647", "-2147483648", "2024",       "1e300", "12",          "1e300",
                     "1e4000",     "-1e300",      "1",          "-5"};
    answers.acceptDefaultsBeyond = true;
    AnswerWith(answers);
    Tick(Esc);
    std::string asked; // the first two letters of each question
    for (const ShownPrompt& shown : answers.shown)
        asked += shown.label.substr(0, 2) + " ";
    EXPECT_EQ(asked, "St ge St St Mo Mo Ja Ja Ja Uh Uh Ze Ze Ze Ze Ve ze Ab So So ");
    EXPECT_EQ(answers.shown[8].defaultText, "-2147483648"); // the refused answer
    ASSERT_EQ(Params().startYear, 2024);
    ASSERT_EQ(Params().delayMs, -5);
    Tick('e');
    const std::int64_t frames = app::Run().framesDrawn;
    for (int key : std::initializer_list<int>{0, '*', '*', '<', '>', '-', 'd', Up, Down, 'h', 'h', 'h', '>',
                                              '<', 'd', 'l', 's', 0})
        Tick(key);
    EXPECT_EQ(app::Run().framesDrawn, frames + 14);
    for (int i = 0; i < 300; ++i)
        app::PerformKey('>');
    EXPECT_EQ(app::Run().insideDiscRadius, 1 << 20);
    for (int i = 0; i < 20000; ++i)
        app::PerformKey('*'); // the step stops at the whole range
    EXPECT_LE(Step(), app::LongestTimeStep);
    Tick('d');
    Tick('<');
    Tick();
    Tick('-');
    Tick();
    EXPECT_EQ(app::Run().framesDrawn, frames + 19);
    EXPECT_TRUE(app::InSupportedRange(app::Run().shownJD));
    EXPECT_TRUE(app::InSupportedRange(app::Run().currentJD));
    EXPECT_EQ(app::Run().earthRadiusPx, 89); // 100, then > 110, < 99 and < 89 in the outside view
}

TEST_F(MainLoopTest, TheKeyAShowsAndHidesTheEquatorialCoordinatesAtTheSameInstant) {
    Tick('x');
    const QImage without = window::Canvas().copy();
    const app::Real next = app::Run().currentJD;
    const std::int64_t frames = app::Run().framesDrawn;
    ASSERT_EQ(canvastest::CountAll(window::LightCyan), 0);
    Tick('a');
    EXPECT_GT(canvastest::CountAll(window::LightCyan), 3000);
    Tick('a');
    EXPECT_TRUE(window::Canvas() == without); // the same instant, without the overlay
    EXPECT_EQ(app::Run().currentJD, next);
    EXPECT_EQ(app::Run().framesDrawn, frames);
    // On across the outside view, where "a" does nothing; off in a new run.
    for (int key : {'a', 'd', 'a', 'd'})
        Tick(key);
    EXPECT_GT(canvastest::CountAll(window::LightCyan), 3000);
    Answers answers;
    answers.acceptDefaultsBeyond = true;
    AnswerWith(answers);
    Tick(Esc);
    EXPECT_FALSE(app::Run().equatorialOverlay);
}

TEST_F(MainLoopTest, EscWithAParameterFileEndsTheProgram) {
    Params().startedWithFile = true;
    try {
        Tick(Esc);
        ADD_FAILURE() << "the program went on";
    } catch (const ProgramEnded& e) {
        EXPECT_EQ(e.status, 0);
    }
}

} // namespace

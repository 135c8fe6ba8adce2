// The main window, the key queue, the timer tick with its error rule, the
// busy wait and the clock, on Qt's offscreen platform.
#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "window/FensterGraf.h"
#include "window/Graphics.h"
#include "window/TextFiles.h"

namespace {

using namespace window;
namespace fs = std::filesystem;

struct EndProgramCalled : std::runtime_error {
    explicit EndProgramCalled(int s) : std::runtime_error("EndProgram"), status(s) {}
    int status;
};

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetLayer("/opt/orvandel-1.0/bin/Orvandel");
        ResetDrawingState();
        SetEndProgramHandler([](int status) { throw EndProgramCalled(status); });
        SetErrorReporter(nullptr);
        SetClockSource(nullptr);
        SetMonotonicClock(nullptr, nullptr);
        window_ = CreateMainWindow();
    }
    void TearDown() override {
        DestroyMainWindow();
        SetEndProgramHandler(nullptr);
        SetErrorReporter(nullptr);
        SetClockSource(nullptr);
        SetMonotonicClock(nullptr, nullptr);
    }

    // Sends one key press as the window system delivers it, and its release.
    void Press(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(window_, &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(window_, &release);
    }

    // Runs the message loop for about ms milliseconds.
    static void RunLoop(int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }

    TGrundfenster* window_ = nullptr;
};

// ---------------------------------------------------------------- keys

struct KeyRow {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    const char* text; // UTF-8, as the window system translates the press
    std::string codes;
};

const std::vector<KeyRow> KeyRows = {
    {"F1", Qt::Key_F1, Qt::NoModifier, "", {1}},
    {"F5", Qt::Key_F5, Qt::NoModifier, "", {5}},
    {"F12", Qt::Key_F12, Qt::NoModifier, "", {12}},
    {"Shift+F1", Qt::Key_F1, Qt::ShiftModifier, "", {28}},
    {"Shift+F5", Qt::Key_F5, Qt::ShiftModifier, "", {32}},
    {"Shift+F12", Qt::Key_F12, Qt::ShiftModifier, "", {39}},
    {"Ctrl+F5", Qt::Key_F5, Qt::ControlModifier, "", {}},
    {"Alt+F5", Qt::Key_F5, Qt::AltModifier, "", {}},
    {"Ctrl+Shift+F5", Qt::Key_F5, Qt::ControlModifier | Qt::ShiftModifier, "", {}},
    {"Left", Qt::Key_Left, Qt::NoModifier, "", {13}},
    {"Ctrl+Left", Qt::Key_Left, Qt::ControlModifier, "", {13}},
    {"Right", Qt::Key_Right, Qt::NoModifier, "", {14}},
    {"Up", Qt::Key_Up, Qt::ShiftModifier, "", {15}},
    {"Down", Qt::Key_Down, Qt::AltModifier, "", {16}},
    {"Home", Qt::Key_Home, Qt::NoModifier, "", {17}},
    {"End", Qt::Key_End, Qt::NoModifier, "", {18}},
    {"PageUp", Qt::Key_PageUp, Qt::NoModifier, "", {19}},
    {"PageDown", Qt::Key_PageDown, Qt::NoModifier, "", {20}},
    {"Insert", Qt::Key_Insert, Qt::NoModifier, "", {21}},
    {"Delete with its text", Qt::Key_Delete, Qt::NoModifier, "\x7f", {22}},
    {"keypad Left", Qt::Key_Left, Qt::KeypadModifier, "", {13}},
    {"keypad Home with Shift", Qt::Key_Home, Qt::KeypadModifier | Qt::ShiftModifier, "", {17}},
    {"keypad 5", Qt::Key_5, Qt::KeypadModifier, "5", {'5'}},
    {"Enter", Qt::Key_Return, Qt::NoModifier, "\r", {23}},
    {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, "\r", {23}},
    {"Esc", Qt::Key_Escape, Qt::NoModifier, "\x1b", {27}},
    {"Esc without text", Qt::Key_Escape, Qt::NoModifier, "", {27}},
    {"Backspace", Qt::Key_Backspace, Qt::NoModifier, "\b", {8}},
    {"Tab", Qt::Key_Tab, Qt::NoModifier, "\t", {9}},
    {"Shift+Tab", Qt::Key_Backtab, Qt::ShiftModifier, "\t", {9}},
    {"a", Qt::Key_A, Qt::NoModifier, "a", {'a'}},
    {"Shift+a", Qt::Key_A, Qt::ShiftModifier, "A", {'A'}},
    {"blank", Qt::Key_Space, Qt::NoModifier, " ", {' '}},
    {"a umlaut", Qt::Key_Adiaeresis, Qt::NoModifier, "ä", {static_cast<char>(0xE4)}},
    {"euro sign", Qt::Key_unknown, Qt::NoModifier, "€", {static_cast<char>(0x80)}},
    {"omega (no single byte)", Qt::Key_unknown, Qt::NoModifier, "Ω", {}},
    {"Ctrl+A with its control text", Qt::Key_A, Qt::ControlModifier, "\x01", {1}},
    {"Ctrl+A without text", Qt::Key_A, Qt::ControlModifier, "", {1}},
    {"Ctrl+Z", Qt::Key_Z, Qt::ControlModifier, "\x1a", {26}},
    {"Ctrl+Shift+C", Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier, "", {3}},
    {"Alt+a", Qt::Key_A, Qt::AltModifier, "a", {}},
    {"Shift alone", Qt::Key_Shift, Qt::ShiftModifier, "", {}},
};

TEST_F(WindowTest, EachKeyPressQueuesItsCodesOnce) {
    for (const KeyRow& row : KeyRows) {
        Layer().keyQueue.clear();
        Press(row.key, row.modifiers, QString::fromUtf8(row.text));
        EXPECT_EQ(Layer().keyQueue, row.codes) << row.name;
    }
}

TEST_F(WindowTest, SimulatedKeyClicksReachTheQueue) {
    QTest::keyClick(window_, Qt::Key_F5);
    QTest::keyClick(window_, Qt::Key_F5, Qt::ShiftModifier);
    QTest::keyClick(window_, Qt::Key_F5, Qt::ControlModifier);
    QTest::keyClick(window_, Qt::Key_F5, Qt::AltModifier);
    QTest::keyClick(window_, Qt::Key_Return);
    QTest::keyClick(window_, Qt::Key_Left);
    QTest::keyClick(window_, 'a');
    QTest::keyClick(window_, Qt::Key_Tab);
    QTest::keyClick(window_, Qt::Key_Escape);
    EXPECT_EQ(Layer().keyQueue, std::string({5, 32, 23, 13, 'a', 9, 27}));
}

TEST_F(WindowTest, QueueHoldsAtMost255CodesAndTakesMoreAfterARead) {
    for (int i = 0; i < 255; ++i)
        Press(Qt::Key_X, Qt::NoModifier, "x");
    ASSERT_EQ(Layer().keyQueue.size(), 255u);
    Press(Qt::Key_Y, Qt::NoModifier, "y"); // the 256th key is lost
    Press(Qt::Key_F5, Qt::NoModifier, "");
    EXPECT_EQ(Layer().keyQueue, std::string(255, 'x'));
    EXPECT_EQ(NextKey(), 'x');
    Press(Qt::Key_Y, Qt::NoModifier, "y");
    EXPECT_EQ(Layer().keyQueue.size(), 255u);
    EXPECT_EQ(Layer().keyQueue.back(), 'y');
}

TEST_F(WindowTest, NextKeyTakesCodesInArrivalOrderAndGivesZeroWhenEmpty) {
    EXPECT_FALSE(KeyAvailable());
    EXPECT_EQ(NextKey(), 0);
    EXPECT_TRUE(Layer().keyQueue.empty());
    Press(Qt::Key_F1, Qt::NoModifier, "");
    Press(Qt::Key_Adiaeresis, Qt::NoModifier, "ä");
    EXPECT_TRUE(KeyAvailable());
    EXPECT_EQ(NextKey(), 1);
    EXPECT_EQ(NextKey(), 0xE4);
    EXPECT_FALSE(KeyAvailable());
    EXPECT_EQ(NextKey(), 0);
}

TEST_F(WindowTest, CtrlCEndsTheProgramAndCtrlShiftCDoesNot) {
    try {
        Press(Qt::Key_C, Qt::ControlModifier, "");
        ADD_FAILURE() << "Ctrl+C did not end the program";
    } catch (const EndProgramCalled& e) {
        EXPECT_EQ(e.status, 0);
    }
    EXPECT_TRUE(Layer().keyQueue.empty());
    // The keypad flag is not a modifier that is held.
    EXPECT_THROW(window_->OnKeyDown(Qt::Key_C, Qt::ControlModifier | Qt::KeypadModifier), EndProgramCalled);

    Press(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier, "");
    Press(Qt::Key_C, Qt::ControlModifier | Qt::AltModifier, "");
    EXPECT_EQ(Layer().keyQueue, std::string({3}));
}

TEST_F(WindowTest, CtrlCEndsTheRealProgramAtOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            SetEndProgramHandler(nullptr);
            QTest::keyClick(window_, Qt::Key_C, Qt::ControlModifier);
            std::exit(7);
        },
        ::testing::ExitedWithCode(0), "");
}

// ---------------------------------------------------------------- mouse

TEST_F(WindowTest, MouseEventsStorePositionAndButtons) {
    struct Row {
        QEvent::Type type;
        Qt::MouseButton button;
        Qt::MouseButtons held; // after the event
        int expected;
    };
    const Row rows[] = {
        {QEvent::MouseMove, Qt::NoButton, Qt::NoButton, 0},
        {QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, 1},
        {QEvent::MouseButtonPress, Qt::RightButton, Qt::LeftButton | Qt::RightButton, 3},
        {QEvent::MouseButtonRelease, Qt::LeftButton, Qt::RightButton, 2},
        {QEvent::MouseButtonPress, Qt::MiddleButton, Qt::RightButton | Qt::MiddleButton, 2},
        {QEvent::MouseButtonRelease, Qt::RightButton, Qt::MiddleButton, 0},
    };
    int x = 10;
    for (const Row& row : rows) {
        const QPointF p(x, 2 * x);
        QMouseEvent event(row.type, p, window_->mapToGlobal(p), row.button, row.held, Qt::NoModifier);
        QApplication::sendEvent(window_, &event);
        EXPECT_EQ(Layer().mouseX, x);
        EXPECT_EQ(Layer().mouseY, 2 * x);
        EXPECT_EQ(Layer().mouseButtons, row.expected) << "event at x = " << x;
        x += 10;
    }
}

// ---------------------------------------------------------------- window

TEST_F(WindowTest, WindowCoversTheScreenWithItsComponents) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    window_->showOverScreen();
    EXPECT_EQ(window_->geometry(), screen);
    EXPECT_TRUE(window_->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window_->cursor().shape(), Qt::CrossCursor);
    EXPECT_EQ(window_->canvas().size(), screen.size());
    EXPECT_EQ(Layer().screenWidth, screen.width());
    EXPECT_EQ(Layer().screenHeight, screen.height());
    EXPECT_EQ(MaxX(), screen.width() - 1);
    EXPECT_EQ(MaxY(), screen.height() - 1);
    EXPECT_EQ(window_->windowTitle(), QString("Orvandel"));

    auto* upper = window_->findChild<QWidget*>("GrafikBMP");
    auto* lower = window_->findChild<QWidget*>("grGrafikBMP");
    ASSERT_NE(upper, nullptr);
    ASSERT_NE(lower, nullptr);
    EXPECT_EQ(upper->geometry(), QRect(0, 0, 2680, 2280));
    EXPECT_EQ(lower->geometry(), QRect(0, 2280, 2680, 2280));
    EXPECT_TRUE(upper->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(lower->testAttribute(Qt::WA_TransparentForMouseEvents));

    auto* timer = window_->findChild<QTimer*>("Timer");
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 1);
    EXPECT_TRUE(timer->isActive());
}

TEST_F(WindowTest, ShownWindowIsActiveUntilAModalDialogTakesOver) {
    window_->showOverScreen();
    QCoreApplication::processEvents();
    EXPECT_TRUE(MainWindowIsActive());
    QDialog dialog(window_);
    dialog.setModal(true);
    dialog.show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(MainWindowIsActive());
    dialog.hide();
}

TEST_F(WindowTest, CreationMeasuresTheWindowFontAndPlacesTheWritingCursor) {
    EXPECT_GT(CharWidth(), 0);
    EXPECT_GE(CharHeight(), 13);
    EXPECT_EQ(WritePosition().x, CharWidth());
    EXPECT_EQ(WritePosition().y, CharHeight());
    // Window-creation palette: entry 3 is (0, 0, 128), entries 16.. black.
    EXPECT_EQ(PaletteColour(Cyan), (Rgb{0, 0, 128}));
    EXPECT_EQ(PaletteColour(16), (Rgb{0, 0, 0}));
}

class TitleChanges : public QObject {
  public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::WindowTitleChange) ++count;
        return false;
    }
};

TEST_F(WindowTest, CaptionIsProgramNameWithStatusTextAndWrittenOnlyOnChange) {
    TitleChanges changes;
    window_->installEventFilter(&changes);
    window_->OnTimer();
    EXPECT_EQ(window_->windowTitle(), QString("Orvandel"));
    EXPECT_EQ(changes.count, 0);

    Layer().statusText = "Pause";
    window_->OnTimer();
    window_->OnTimer();
    EXPECT_EQ(window_->windowTitle(), QString("Orvandel: Pause"));
    EXPECT_EQ(changes.count, 1);

    ClearScreen(); // empties StatusText
    window_->OnTimer();
    EXPECT_EQ(window_->windowTitle(), QString("Orvandel"));
    EXPECT_EQ(changes.count, 2);
    window_->removeEventFilter(&changes);
}

int g_calls = 0;
void CountCalls() {
    ++g_calls;
}

TEST_F(WindowTest, TimerTicksCallTheMainProcedureWhileCallsAreEnabled) {
    g_calls = 0;
    Layer().mainProcedure = CountCalls;
    RunLoop(40);
    EXPECT_GT(g_calls, 0);
    EXPECT_EQ(g_calls, Layer().ticks);

    Layer().callsEnabled = false;
    const int before = g_calls;
    RunLoop(20);
    EXPECT_EQ(g_calls, before);
}

// A main procedure that takes a waiting key, or else has nothing to do.
int g_idleCalls = 0, g_keysTaken = 0;
void TakeKeyOrIdle() {
    ++g_idleCalls;
    if (KeyAvailable()) {
        NextKey();
        ++g_keysTaken;
    } else {
        IdleUntilKey();
    }
}

// Runs the message loop until `done` holds (5 s at most: a broken build must not hang).
template <class Done> void RunUntil(Done done) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    poll.start(2);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST_F(WindowTest, ATickWithNothingToDoStopsTheTimerUntilAKeyArrives) {
    g_idleCalls = g_keysTaken = 0;
    auto* timer = window_->findChild<QTimer*>("Timer");
    ASSERT_NE(timer, nullptr);
    Layer().mainProcedure = TakeKeyOrIdle;
    RunUntil([timer] { return !timer->isActive(); });
    RunLoop(20); // a timer that did not stop would tick again meanwhile
    EXPECT_EQ(g_idleCalls, 1);
    EXPECT_FALSE(timer->isActive());

    Press(Qt::Key_A, Qt::NoModifier, "a");
    EXPECT_TRUE(timer->isActive());
    RunUntil([timer] { return !timer->isActive(); });
    EXPECT_EQ(g_keysTaken, 1);
    EXPECT_EQ(g_idleCalls, 3); // the key's tick, then one that idles again
}

// The first tick opens a modal loop, as a prompt does, whose ticks take a key
// or idle; the loop presses a key once its ticks have idled, and ends when
// that key is taken.
int g_idleBeforeKey = -1;
bool g_modalOpened = false;
void ModalLoopOnFirstTick() {
    if (Layer().tickDepth > 1) return TakeKeyOrIdle();
    if (g_modalOpened) return IdleUntilKey();
    g_modalOpened = true;
    RunModalWithTicks([] {
        RunUntil([] { return g_idleCalls >= 1; });
        QEventLoop pause; // a timer that did not stop would tick again meanwhile
        QTimer::singleShot(20, &pause, &QEventLoop::quit);
        pause.exec();
        g_idleBeforeKey = g_idleCalls;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
        QApplication::sendEvent(MainWindow(), &press);
        RunUntil([] { return g_keysTaken == 1 && g_idleCalls >= 3; });
    });
}

TEST_F(WindowTest, AKeyWakesTheTicksOfAModalLoopThatIdled) {
    g_idleCalls = g_keysTaken = 0;
    g_idleBeforeKey = -1;
    g_modalOpened = false;
    Layer().mainProcedure = ModalLoopOnFirstTick;
    RunUntil([] { return g_keysTaken == 1; });
    RunLoop(20);
    EXPECT_EQ(g_idleBeforeKey, 1);
    EXPECT_EQ(g_keysTaken, 1);
    EXPECT_EQ(g_idleCalls, 3); // the loop's ticks: idle, the key, idle
}

// ---------------------------------------------------------------- errors in a tick

int g_faultyCalls = 0;
void FaultyTick() {
    ++g_faultyCalls;
    if (g_faultyCalls == 1) throw UserError("Datei \"x.bmp\" kann nicht erstellt werden. Kein Platz");
    if (g_faultyCalls == 2) throw 42; // not a std::exception
}

TEST_F(WindowTest, ExceptionInATickShowsOneBoxAndTheTicksGoOn) {
    g_faultyCalls = 0;
    std::vector<std::string> messages;
    int callsWhileBoxOpen = 0;
    SetErrorReporter([&](const std::string& message) {
        messages.push_back(message);
        EXPECT_TRUE(Layer().errorBoxOpen);
        // Ticks that reach the window while the box is open (a box's own
        // message loop may deliver them) call nothing but keep the caption.
        const int calls = g_faultyCalls;
        Layer().statusText = "Fehler";
        for (int i = 0; i < 3; ++i)
            window_->OnTimer();
        RunLoop(10);
        EXPECT_EQ(window_->windowTitle(), QString("Orvandel: Fehler"));
        Layer().statusText.clear();
        callsWhileBoxOpen += g_faultyCalls - calls;
    });
    Layer().mainProcedure = FaultyTick;
    RunLoop(100);

    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "Datei \"x.bmp\" kann nicht erstellt werden. Kein Platz");
    EXPECT_EQ(messages[1], "Unbekannter Fehler.");
    EXPECT_EQ(callsWhileBoxOpen, 0);
    EXPECT_GT(g_faultyCalls, 2); // the ticks went on after the boxes
    EXPECT_FALSE(Layer().errorBoxOpen);
}

void FailOnce() {
    if (++g_faultyCalls == 1) throw UserError("Fehler im Takt");
}

TEST_F(WindowTest, DefaultReporterShowsACriticalBoxOverTheMainWindow) {
    g_faultyCalls = 0;
    QString title, text;
    QWidget* parent = nullptr;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            text = box->text();
            parent = box->parentWidget();
            box->done(QMessageBox::Ok);
        }
    });
    closer.start(5);
    Layer().mainProcedure = FailOnce;
    RunLoop(150);
    EXPECT_EQ(title, QString("Orvandel"));
    EXPECT_EQ(text, QString("Fehler im Takt"));
    EXPECT_EQ(parent, window_);
    EXPECT_GT(g_faultyCalls, 1);
}

// ---------------------------------------------------------------- busy wait

// A monotonic clock that advances by `step` at every reading and by the
// requested time at every sleep.
struct FakeMonotonic {
    using Clock = std::chrono::steady_clock;
    Clock::time_point now{};
    Clock::duration step{};
    int reads = 0;
    int frozenReads = 0; // readings before the clock first advances
    Clock::time_point lastRead{};
    std::vector<Clock::duration> sleeps;

    void Install() {
        SetMonotonicClock(
            [this] {
                ++reads;
                lastRead = now;
                if (reads > frozenReads) now += step;
                return lastRead;
            },
            [this](Clock::duration d) {
                sleeps.push_back(d);
                now += d;
            });
    }
    Clock::duration Slept() const {
        Clock::duration total{};
        for (auto d : sleeps)
            total += d;
        return total;
    }
};

TEST_F(WindowTest, WaitMillisecondsReturnsAtTheFirstReadingPastTheTime) {
    using namespace std::chrono;
    struct Row {
        std::int32_t ms;
        steady_clock::duration step;
    };
    const Row rows[] = {
        {1, microseconds(10)}, {5, microseconds(100)}, {40, microseconds(7)}, {3, milliseconds(2)}};
    for (const Row& row : rows) {
        FakeMonotonic clock;
        clock.step = row.step;
        clock.Install();
        const auto start = clock.now;
        WaitMilliseconds(row.ms);
        const auto elapsed = clock.lastRead - start;
        EXPECT_GT(elapsed, milliseconds(row.ms)) << row.ms;
        // The reading before the last one was not yet past the time.
        EXPECT_LE(elapsed - row.step, milliseconds(row.ms)) << row.ms;
        // It slept through all but the last millisecond and read the clock
        // for the rest.
        EXPECT_LE(clock.Slept(), milliseconds(row.ms - 1)) << row.ms;
        if (row.ms >= 2 && row.step < milliseconds(1)) {
            EXPECT_GE(clock.Slept(), milliseconds(row.ms - 2)) << row.ms;
        }
    }
}

TEST_F(WindowTest, WaitMillisecondsForZeroAndNegativeTimes) {
    using namespace std::chrono;
    FakeMonotonic zero;
    zero.step = nanoseconds(1);
    zero.frozenReads = 3;
    zero.Install();
    WaitMilliseconds(0);
    EXPECT_EQ(zero.reads, 5); // the start, three equal readings, the advanced one
    EXPECT_TRUE(zero.sleeps.empty());

    FakeMonotonic negative;
    negative.step = microseconds(1);
    negative.Install();
    WaitMilliseconds(-5);
    EXPECT_EQ(negative.reads, 1);
    EXPECT_TRUE(negative.sleeps.empty());
}

int waitMainCalls = 0;
void CountWaitMainCalls() {
    ++waitMainCalls;
}

// A wait takes the keys into the queue and calls nothing; Ctrl+C during it
// ends the program within a second of the injected clock, however long the
// wait; no wait lasts beyond LongestWaitMilliseconds.
TEST_F(WindowTest, WaitMillisecondsQueuesKeysHearsCtrlCAndStopsAtTheLongestWait) {
    using namespace std::chrono;
    const struct {
        std::int32_t ms;
        int pressAt, endsAt; // on the clock, in ms; pressAt -1: no Ctrl+C
    } rows[] = {{20'000, 5'000, 5'000}, {2'147'483'647, 9'500, 9'500}, {20'000, -1, 10'000}, {300, -1, 300}};
    Layer().mainProcedure = CountWaitMainCalls;
    for (const auto& row : rows) {
        steady_clock::time_point now{};
        bool pressed = false;
        SetMonotonicClock([&now] { return now += microseconds(10); },
                          [&](steady_clock::duration d) {
                              now += d;
                              if (row.pressAt < 0 || pressed ||
                                  now.time_since_epoch() < milliseconds(row.pressAt))
                                  return;
                              pressed = true;
                              QCoreApplication::postEvent(window_, new QKeyEvent(QEvent::KeyPress, Qt::Key_C,
                                                                                 Qt::ControlModifier, ""));
                          });
        Layer().keyQueue.clear();
        waitMainCalls = 0;
        QCoreApplication::postEvent(window_, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
        bool ended = false;
        try {
            WaitMilliseconds(row.ms);
        } catch (const EndProgramCalled&) {
            ended = true;
        }
        EXPECT_EQ(ended, row.pressAt >= 0) << row.ms;
        const auto end = duration_cast<milliseconds>(now.time_since_epoch()).count();
        EXPECT_GE(end, row.endsAt) << row.ms;
        EXPECT_LE(end, row.endsAt + (ended ? 1000 : 1)) << row.ms;
        EXPECT_EQ(Layer().keyQueue, "a") << row.ms;
        EXPECT_EQ(waitMainCalls, 0) << row.ms;
        EXPECT_TRUE(Layer().callsEnabled);
    }
    Layer().mainProcedure = nullptr;
}

// ---------------------------------------------------------------- clock and files

TEST(ClockTest, HundredthsAreMillisecondsRoundedTiesToEven) {
    const std::pair<int, int> rows[] = {{0, 0},  {4, 0},    {5, 0},     {6, 1},     {15, 2},   {25, 2},
                                        {35, 4}, {994, 99}, {995, 100}, {996, 100}, {999, 100}};
    for (const auto& [ms, expected] : rows) {
        SetClockSource([ms = ms] {
            LocalClockReading r;
            r.hour = 12;
            r.minute = 34;
            r.second = 56;
            r.millisecond = ms;
            return r;
        });
        std::int32_t h = -1, m = -1, s = -1, hs = -1;
        GetClockTime(h, m, s, hs);
        EXPECT_EQ(h, 12);
        EXPECT_EQ(m, 34);
        EXPECT_EQ(s, 56);
        EXPECT_EQ(hs, expected) << ms << " ms";
    }
    SetClockSource(nullptr);
}

TEST(ClockTest, CalendarDateComesFromTheClockSource) {
    SetClockSource([] {
        LocalClockReading r;
        r.year = 2024;
        r.month = 2;
        r.day = 29;
        return r;
    });
    std::int32_t d = 0, m = 0, y = 0;
    GetCalendarDate(d, m, y);
    EXPECT_EQ(d, 29);
    EXPECT_EQ(m, 2);
    EXPECT_EQ(y, 2024);
    SetClockSource(nullptr);

    GetCalendarDate(d, m, y); // the system clock: a plausible four-digit year
    EXPECT_GE(y, 2000);
    EXPECT_LE(y, 9999);
    EXPECT_GE(m, 1);
    EXPECT_LE(m, 12);
}

TEST(FileIsPresentTest, OpensNamesWithoutRegardToCase) {
    const fs::path old = fs::current_path();
    const fs::path dir = fs::temp_directory_path() / ("orvandel-present-" + std::to_string(::getpid()));
    fs::create_directories(dir / "Ordner");
    std::ofstream(dir / "Erde.BIN") << "x";
    fs::current_path(dir);
    EXPECT_TRUE(FileIsPresent("Erde.BIN"));
    EXPECT_TRUE(FileIsPresent("ERDE.bin"));
    EXPECT_FALSE(FileIsPresent(""));
    EXPECT_FALSE(FileIsPresent("fehlt.dat"));
    EXPECT_FALSE(FileIsPresent("Ordner")); // a folder is no file
    ASSERT_EQ(::mkfifo((dir / "Rohr").c_str(), 0600), 0);
    EXPECT_TRUE(FileIsPresent("Rohr")); // opening a named pipe does not wait for a writer
    fs::current_path(old);
    fs::remove_all(dir);
}

TEST(ProgramNameTest, FileNameWithoutFolderAndExtension) {
    const std::pair<const char*, const char*> rows[] = {
        {"/usr/local/bin/Orvandel", "Orvandel"},
        {"/home/lehrer/orvandel-1.2/build/Orvandel", "Orvandel"}, // a dot in a folder name
        {"/opt/Orvandel.exe", "Orvandel"},
        {"Orvandel.tar.gz", "Orvandel.tar"},
        {"Orvandel", "Orvandel"},
        {"", ""},
    };
    for (const auto& [path, name] : rows)
        EXPECT_EQ(ProgramNameFromPath(path), name) << path;
}

TEST(LayerTest, ResetGivesTheStartValues) {
    Layer().keyQueue = "abc";
    Layer().statusText = "x";
    Layer().callsEnabled = false;
    Layer().mouseButtons = 3;
    Layer().mainProcedure = CountCalls;
    ResetLayer("/usr/bin/Orvandel");
    EXPECT_EQ(Layer().programName, "Orvandel");
    EXPECT_TRUE(Layer().statusText.empty());
    EXPECT_TRUE(Layer().keyQueue.empty());
    EXPECT_TRUE(Layer().callsEnabled);
    EXPECT_EQ(Layer().mouseButtons, 0);
    EXPECT_EQ(Layer().mainProcedure, nullptr);
    EXPECT_EQ(Layer().inputProcedure, nullptr);
}

} // namespace

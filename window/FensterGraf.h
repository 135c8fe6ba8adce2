// The program's one window and the services of a graphics terminal built on
// it: a main procedure called by a 1 ms timer, a queue of key codes, a busy
// wait, the local clock and calendar.
//
// Everything runs on the window system's one thread. FensterGraf.cpp holds
// the window, its timer and keys; Services.cpp the clock, the wait, the file
// test and the ways the program ends.
#pragma once

#include <QImage>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

class QTimer;

namespace window {

using Procedure = void (*)();

// The local time of day and date, injectable for tests.
struct LocalClockReading {
    std::int32_t year = 2000, month = 1, day = 1;
    std::int32_t hour = 0, minute = 0, second = 0, millisecond = 0;
};
using ClockSource = std::function<LocalClockReading()>;

// The layer's state: one instance, on the window's thread only.
struct LayerState {
    std::string programName;            // the program's file name without folder and extension
    std::string statusText;             // optional suffix of the caption
    Procedure mainProcedure = nullptr;  // called on every timer tick (nullptr: nothing)
    Procedure inputProcedure = nullptr; // the application's parameter input
    bool callsEnabled = true;
    std::string keyQueue; // at most 255 single-byte codes
    std::int32_t screenWidth = 0, screenHeight = 0;
    std::int32_t mouseX = 0, mouseY = 0, mouseButtons = 0;
    bool errorBoxOpen = false;  // an error message box is on display: ticks call nothing
    std::int32_t ticks = 0;     // timer ticks delivered so far (for tests and diagnostics)
    std::int32_t tickDepth = 0; // how many OnTimer calls are running (nested ones inside a modal loop)
    // Set through IdleUntilKey by the tick now running; the timer that
    // delivered that tick then stands still until a key arrives.
    bool idleUntilKey = false;
};

LayerState& Layer();
// Start values of the layer state (the program entry's first step; tests).
void ResetLayer(const std::string& programPath = {});
// ProgramName from a full path: the characters after the last separator and
// before the last ".".
std::string ProgramNameFromPath(const std::string& path);

// The main window.
class TGrundfenster : public QWidget {
  public:
    TGrundfenster();
    ~TGrundfenster() override;

    // The canvas, for reading: ends the primitives' painter first (see Canvas()).
    QImage& canvas();
    // The canvas as the primitives paint into it (see DrawingCanvas()).
    QImage& drawingCanvas() { return canvas_; }
    // Shows the window over the whole screen and activates it.
    void showOverScreen();

    // Event handlers under the names the window binds them.
    void OnCreate();
    void OnTimer();
    // A tick from `timer`: OnTimer, then the timer stops when the tick asked
    // for IdleUntilKey.
    void OnTimerOf(QTimer& timer);
    // Starts the tick timers that stand still for IdleUntilKey again.
    void WakeTimers();
    void OnKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void OnKeyPressed(int character);
    void OnMouseMove(int x, int y, Qt::MouseButtons buttons);
    void OnMouseDown(int x, int y, Qt::MouseButtons buttons);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

  private:
    QImage canvas_;
    QTimer* Timer = nullptr;
    QWidget* GrafikBMP = nullptr;
    QWidget* grGrafikBMP = nullptr;
};

// The main window once created (nullptr before).
TGrundfenster* MainWindow();
// Creates the main window (runs OnCreate); the program entry and Qt tests call it.
TGrundfenster* CreateMainWindow();
// Destroys the main window (tests).
void DestroyMainWindow();
// The canvas that the drawing primitives paint into. Before a main window
// exists it is an off-screen canvas of the screen's size (tests).
//
// The primitives keep one QPainter active on the canvas from one primitive to
// the next (window::EndPainting in Graphics.h). Canvas() ends it before it
// returns, so that what it returns holds everything drawn so far and may be
// read, copied, saved or assigned. A reference kept while more primitives
// draw still sees their pixels (the raster engine paints straight into the
// image), but must not be assigned to: call Canvas() again for that.
QImage& Canvas();
// The canvas as the primitives paint into it: their painter may be active on
// it. For the drawing kernel only; everyone else reads through Canvas().
QImage& DrawingCanvas();
// Marks the canvas as changed; the window repaints after the current tick.
void CanvasChanged();
// True while the main window is the active window (or while no window
// manager decides activation and no other window of ours is modal).
bool MainWindowIsActive();

// Tells the window layer that the tick now running has nothing to do before
// the next key (single-step mode, a pause, a prompt on display): the timer
// that delivered the tick stops, so that the waiting program does not wake a
// thousand times a second, and the next key that reaches the queue starts it
// again. A modal loop's tick timer ends with its loop in any case.
void IdleUntilKey();

bool KeyAvailable();
std::uint8_t NextKey();
// The longest wait (10 s); a longer one is cut to it.
inline constexpr std::int32_t LongestWaitMilliseconds = 10'000;
// Returns after more than ms milliseconds (at most LongestWaitMilliseconds)
// of elapsed monotonic time. Every few milliseconds of it the window's events
// are handled: Ctrl+C ends the program during the wait, other keys go into
// the queue, the window shows what has been drawn. The timer calls nothing
// during the wait.
void WaitMilliseconds(std::int32_t ms);
void GetClockTime(std::int32_t& hour, std::int32_t& minute, std::int32_t& second, std::int32_t& hundredths);
void GetCalendarDate(std::int32_t& day, std::int32_t& month, std::int32_t& year);
bool FileIsPresent(const std::string& name);

void SetClockSource(ClockSource source); // nullptr: the system clock

// The monotonic clock behind WaitMilliseconds and the way it sleeps,
// injectable for tests (nullptr: std::chrono::steady_clock and
// std::this_thread::sleep_for).
using MonotonicNow = std::function<std::chrono::steady_clock::time_point()>;
using MonotonicSleep = std::function<void(std::chrono::steady_clock::duration)>;
void SetMonotonicClock(MonotonicNow now, MonotonicSleep sleep);

// Ends the program at once with the given status (Ctrl+C, "Abbruch", Esc with
// a parameter file). Tests install a handler that throws instead.
[[noreturn]] void EndProgram(int status = 0);
void SetEndProgramHandler(std::function<void(int)> handler); // must not return; nullptr: std::exit

// Runs the tick's procedure with the error rule: an exception ends the tick and
// its message is shown in a message box; no tick calls the procedure while
// that box is open.
void RunGuarded(Procedure procedure);
// How error messages are shown (tests replace the message box).
void SetErrorReporter(std::function<void(const std::string&)> reporter);

// Runs a modal loop (a prompt dialog's exec) so that the main window keeps
// receiving timer ticks meanwhile. Qt does not fire a timer again while its
// own slot is still running, so a prompt opened from within a tick would
// otherwise stop the ticks; a second timer delivers them for as long as the
// loop runs.
void RunModalWithTicks(const std::function<void()>& modalLoop);

// Writes `message` (lines split at line ends) at the text cursor of the main
// window, white on black, with a line that says that the next key ends the
// program; waits for a key (the timer calls nothing meanwhile) and ends the
// program with status 1;
// without a main window it ends the program at once. A handler set with
// SetMessageAndEndHandler replaces all of this; when the handler returns, so
// does this call (the caller then reports the message as an error).
void ShowMessageWaitKeyAndEnd(const std::string& message);
// Replaces ShowMessageWaitKeyAndEnd, for batch runs that must not wait for a
// key; nullptr restores it.
void SetMessageAndEndHandler(std::function<void(const std::string&)> handler);

// Gives the replaceable services (clock, monotonic clock, end of program,
// error reporter, message-and-end) their defaults (tests).
void ResetServices();

// Registers the font substitutions ("Courier", "System", "MS Sans Serif").
void RegisterFontSubstitutions();

} // namespace window

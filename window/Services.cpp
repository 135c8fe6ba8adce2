// The window layer's services besides the window: the clock and calendar, the
// busy wait, the file test, the end of the program, the error rule of a tick
// and the message that ends the program. Each service that tests or batch
// runs replace is a handler in ServicesState.
#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "astro/Numeric.h"
#include "window/FensterGraf.h"
#include "window/Graphics.h"
#include "window/TextFiles.h"

namespace window {

namespace {

// The replaceable services; an empty handler means the default behaviour.
struct ServicesState {
    ClockSource clock;
    MonotonicNow monotonicNow;
    MonotonicSleep monotonicSleep;
    std::function<void(int)> endProgram;
    std::function<void(const std::string&)> errorReporter;
    std::function<void(const std::string&)> messageAndEnd;
};

ServicesState& Services() {
    static ServicesState services;
    return services;
}

LocalClockReading SystemClockReading() {
    using namespace std::chrono;
    const system_clock::time_point now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const auto sinceEpoch = duration_cast<milliseconds>(now.time_since_epoch()).count();
    LocalClockReading r;
    r.year = local.tm_year + 1900;
    r.month = local.tm_mon + 1;
    r.day = local.tm_mday;
    r.hour = local.tm_hour;
    r.minute = local.tm_min;
    r.second = local.tm_sec;
    r.millisecond = static_cast<std::int32_t>(((sinceEpoch % 1000) + 1000) % 1000);
    return r;
}

LocalClockReading ReadClock() {
    const ServicesState& m = Services();
    return m.clock ? m.clock() : SystemClockReading();
}

void ShowErrorBox(const std::string& message) {
    QMessageBox::critical(MainWindow(), QString::fromStdString(Layer().programName),
                          QString::fromUtf8(message.c_str()));
}

void ReportError(const std::string& message) {
    LayerState& layer = Layer();
    // While the box is open its own message loop keeps the timer running; no
    // tick may call the main procedure meanwhile, or every tick would stack
    // another box on the first.
    const bool wasOpen = layer.errorBoxOpen;
    layer.errorBoxOpen = true;
    const auto& reporter = Services().errorReporter;
    if (reporter)
        reporter(message);
    else
        ShowErrorBox(message);
    layer.errorBoxOpen = wasOpen;
}

// Turns the timer's calls off for the lifetime of the object and restores
// them after, also when the wait ends without ending the program (a test's
// end handler that throws).
struct CallsDisabled {
    bool previous;
    CallsDisabled() : previous(Layer().callsEnabled) { Layer().callsEnabled = false; }
    ~CallsDisabled() { Layer().callsEnabled = previous; }
    CallsDisabled(const CallsDisabled&) = delete;
    CallsDisabled& operator=(const CallsDisabled&) = delete;
};

// Handles the window's queued events during a wait: keys go into the queue
// (Ctrl+C ends the program at once), the mouse is followed, the picture
// drawn so far is shown.
void HandleEventsDuringWait() {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// The line under a message that ends the program with the next key.
constexpr const char* EndOnKeyLine = " Mit dem nächsten Tastendruck wird das Programm beendet.";

// Writes lines of text from the writing position down, white on black
// whatever lies under them, moved up as far as the last line needs to stay
// on the screen; the writing position goes to the line after the last.
void WriteReadableLines(const std::vector<std::string>& lines) {
    SetTextAlignment(0, 0); // a position is a line's lower left corner
    SetTextBackground(Black);
    const std::int64_t h = CharHeight();
    const std::int64_t below = static_cast<std::int64_t>(lines.size() - 1) * h;
    const std::int64_t lowest = std::max<std::int64_t>(h, MaxY() - below);
    std::int64_t y = std::clamp<std::int64_t>(WritePosition().y, h, lowest);
    for (const std::string& line : lines) {
        if (!line.empty()) DrawText(CharWidth(), astro::SaturateToInt32(y), line, White);
        y += h;
    }
    SetWritePosition(CharWidth(), astro::SaturateToInt32(y));
}

} // namespace

void WaitMilliseconds(std::int32_t ms) {
    using Clock = std::chrono::steady_clock;
    const ServicesState& m = Services();
    auto now = [&m] { return m.monotonicNow ? m.monotonicNow() : Clock::now(); };
    auto sleep = [&m](Clock::duration d) {
        if (m.monotonicSleep)
            m.monotonicSleep(d);
        else
            std::this_thread::sleep_for(d);
    };
    const Clock::time_point t0 = now();
    if (ms < 0) return;
    const Clock::duration limit = std::chrono::milliseconds(std::min(ms, LongestWaitMilliseconds));
    constexpr Clock::duration spinTime = std::chrono::milliseconds(1);
    std::optional<CallsDisabled> noCalls; // the timer calls nothing from the first sleep on
    // The longest sleep between two looks at the window's events.
    constexpr Clock::duration eventInterval = std::chrono::milliseconds(10);
    // Sleep through all but the last millisecond, then read the clock until
    // more than ms have passed: close to the requested time without holding
    // a core the whole wait. The sleep is cut into pieces, between which the
    // window's events are handled.
    for (;;) {
        const Clock::duration elapsed = now() - t0;
        if (elapsed > limit) return;
        const Clock::duration rest = limit - elapsed;
        if (rest > spinTime) {
            if (!noCalls) noCalls.emplace();
            HandleEventsDuringWait();
            sleep(std::min(rest - spinTime, eventInterval));
        }
    }
}

void GetClockTime(std::int32_t& hour, std::int32_t& minute, std::int32_t& second, std::int32_t& hundredths) {
    const LocalClockReading r = ReadClock();
    hour = r.hour;
    minute = r.minute;
    second = r.second;
    // The division is exact for ties (995 ms is 99.5), which go to even.
    hundredths = astro::RoundToInt32(static_cast<astro::Real>(r.millisecond) / 10);
}

void GetCalendarDate(std::int32_t& day, std::int32_t& month, std::int32_t& year) {
    const LocalClockReading r = ReadClock();
    day = r.day;
    month = r.month;
    year = r.year;
}

bool FileIsPresent(const std::string& name) {
    if (name.empty()) return false;
    std::string path;
    try {
        // The data lookup: the current directory, then the installed data
        // folder, then the executable's folder.
        path = LocateDataFile(name);
        if (path.empty()) path = ResolveFileName(name);
    } catch (...) {
        return false;
    }
    // Non-blocking, so that a named pipe cannot hold the program up.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
    ::close(fd);
    return regular;
}

void SetClockSource(ClockSource source) {
    Services().clock = std::move(source);
}

void SetMonotonicClock(MonotonicNow now, MonotonicSleep sleep) {
    Services().monotonicNow = std::move(now);
    Services().monotonicSleep = std::move(sleep);
}

void EndProgram(int status) {
    if (const auto& handler = Services().endProgram) handler(status);
    std::exit(status);
}

void SetEndProgramHandler(std::function<void(int)> handler) {
    Services().endProgram = std::move(handler);
}

void RunGuarded(Procedure procedure) {
    if (procedure == nullptr) return;
    try {
        procedure();
    } catch (const std::exception& e) {
        ReportError(e.what());
    } catch (...) {
        ReportError("Unbekannter Fehler.");
    }
}

void SetErrorReporter(std::function<void(const std::string&)> reporter) {
    Services().errorReporter = std::move(reporter);
}

void ShowMessageWaitKeyAndEnd(const std::string& message) {
    if (const auto& handler = Services().messageAndEnd) {
        handler(message);
        return;
    }
    std::vector<std::string> lines = SplitLines(message);
    lines.push_back(EndOnKeyLine);
    WriteReadableLines(lines);
    CanvasChanged();
    {
        // The ticks keep coming while the wait processes events; they must
        // not enter the application again (it would run into the same end).
        CallsDisabled noCalls;
        TGrundfenster* w = MainWindow();
        if (w != nullptr && QCoreApplication::instance() != nullptr) {
            w->update();
            while (!KeyAvailable() && MainWindow() != nullptr && MainWindow()->isVisible())
                QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
            NextKey();
        }
    }
    EndProgram(1);
}

void SetMessageAndEndHandler(std::function<void(const std::string&)> handler) {
    Services().messageAndEnd = std::move(handler);
}

void ResetServices() {
    Services() = ServicesState{};
}

} // namespace window

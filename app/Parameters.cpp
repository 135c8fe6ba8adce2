// The parameters' defaults, the prompt sequence that is the program's start
// and restart procedure, and the two parameter files.
#include "app/Parameters.h"

#include <cmath>
#include <iostream>

#include "app/Discs.h"
#include "app/MainLoop.h"
#include "app/Panel.h"
#include "app/Scene.h"
#include "app/SceneGeometry.h"
#include "astro/Vectors.h"
#include "window/Eingabe.h"
#include "window/FensterGraf.h"
#include "window/Graphics.h"
#include "window/NumberText.h"
#include "window/TextFiles.h"

namespace app {

namespace {
Parameters parameters;
} // namespace

Parameters& Params() {
    return parameters;
}

void ResetParameters() {
    parameters = Parameters{};
}

namespace {

// The module's own state besides the record: whether a prompt sequence is
// running (the prompts' modal loop delivers ticks that must not start a
// second one) and the message on its way to the message box.
struct ParameterModule {
    bool prompting = false;
    std::string pendingMessage;
};

ParameterModule& Module() {
    static ParameterModule module;
    return module;
}

// Sets the prompting flag for one sequence and clears it however the
// sequence ends (an error inside a tick ends it with an exception).
class PromptingScope {
  public:
    PromptingScope() { Module().prompting = true; }
    ~PromptingScope() { Module().prompting = false; }
    PromptingScope(const PromptingScope&) = delete;
    PromptingScope& operator=(const PromptingScope&) = delete;
};

void ThrowPendingMessage() {
    throw window::UserError(Module().pendingMessage);
}

void FillClientAreaBlack() {
    window::SetFillColour(255, window::Black, window::Black);
    window::FillRectangle(0, 0, window::MaxX() + 1, window::MaxY() + 1);
}

bool IsYes(char c) {
    return c == 'j' || c == 'J';
}

// The defaults from the clock and the calendar and the fixed texts.
void SetDefaultTexts(Parameters& p) {
    std::int32_t day = 0, month = 0, year = 0;
    window::GetCalendarDate(day, month, year);
    p.dayText = window::FormattedNumber(day, 2.0L);
    p.monthText = window::FormattedNumber(month, 2.0L);
    p.yearText = window::FormattedNumber(year, 4.0L);
    std::int32_t hour = 0, minute = 0, second = 0, hundredths = 0;
    window::GetClockTime(hour, minute, second, hundredths);
    // hh.mm with two decimals in a field of six: at least one leading blank.
    p.startTimeText =
        window::FormattedNumber(static_cast<Real>(hour) + static_cast<Real>(minute) * 0.01L, 2.2L);
    p.latitudeText = "54.3";
    p.previousLatitude = 0;
    p.longitudeText = "10.1";
    p.timeStepText = p.viewMode == 1 ? "1" : "0.05";
    p.delayText = p.viewMode == 1 ? "100" : "30";
    p.gridSpacingText = "30";
    p.equatorAnswer = 'n';
    p.eclipticAnswer = 'n';
    p.azimuthText = "0";
    p.parametersEntered = false;
}

// The hint under the edit field when an answer leaves the supported range.
const std::string OutOfRangeHint =
    std::string("Bitte einen Wert angeben, der im Bereich ") + SupportedRangeText + " bleibt.";

// A prompt whose answer must also lie in the supported range of instants:
// asked until the answer converts and `inRange` takes its value. An answer
// out of range is refused as one that does not convert is: the bell, and the
// question again with the refused answer as its default.
template <typename Number, typename Prompt, typename InRange>
void AskInRange(Prompt prompt, const char* question, std::string& text, Number& value, InRange inRange) {
    for (;;) {
        prompt(question, text, value);
        if (inRange(value) || window::PromptIsOpen()) return;
        window::RefuseAnswer(OutOfRangeHint);
    }
}

void AskInteger(const char* question, std::string& text, std::int32_t& value,
                const std::function<bool(std::int32_t)>& inRange) {
    AskInRange(window::PromptInteger, question, text, value, inRange);
}

void AskReal(const char* question, std::string& text, Real& value, const std::function<bool(Real)>& inRange) {
    AskInRange(window::PromptReal, question, text, value, inRange);
}

// A delay beyond the longest wait is taken as the longest wait, in the text
// too (the next prompt's default, the saved file).
void BoundDelay(Parameters& p) {
    if (p.delayMs <= window::LongestWaitMilliseconds) return;
    p.delayMs = window::LongestWaitMilliseconds;
    p.delayText = std::to_string(window::LongestWaitMilliseconds);
}

// The questions of one prompt sequence, in their order.
void AskAllQuestions(Parameters& p) {
    p.previousLatitude = p.latitude;
    window::PromptReal("Standort: geografische Breite in Grad", p.latitudeText, p.latitude);
    window::PromptReal("geografische Länge in Grad", p.longitudeText, p.longitude);
    // The start must lie in the supported range. Day and month alone are
    // refused only when even in the year 2000 they would carry the date out
    // of it (days and months by the million), the year when the date leaves
    // it at noon, the clock when the instant does: so each question can
    // always be answered, whatever came before.
    AskInteger("Starttag", p.dayText, p.startDay, [](std::int32_t day) {
        return StartDateInSupportedRange(astro::CalendarDate{day, 1, 2000});
    });
    AskInteger("Monat", p.monthText, p.startMonth, [&p](std::int32_t month) {
        return StartDateInSupportedRange(astro::CalendarDate{p.startDay, month, 2000});
    });
    AskInteger("Jahr", p.yearText, p.startYear, [&p](std::int32_t year) {
        return StartDateInSupportedRange(astro::CalendarDate{p.startDay, p.startMonth, year});
    });
    AskReal("Uhrzeit (MEZ in hh.mm)", p.startTimeText, p.startTime, [&p](Real clock) {
        return StartInSupportedRange(astro::CalendarDate{p.startDay, p.startMonth, p.startYear}, clock);
    });
    AskReal("Zeitschritt in hh.mm", p.timeStepText, p.timeStep, TimeStepSupported);
    window::PromptInteger("Verzögerung in ms", p.delayText, p.delayMs);
    BoundDelay(p);
    // The central azimuth faces the Sun at noon: south in the northern
    // hemisphere, north in the southern. Reset in both views.
    if (p.latitude >= 0) {
        p.azimuthText = "0";
        p.centralAzimuth = 0;
    } else {
        p.azimuthText = "180";
        p.centralAzimuth = 180;
    }
    if (p.viewMode == 0) {
        window::PromptReal("zentraler Azimut in Grad (Süden: 0)", p.azimuthText, p.centralAzimuth);
        window::PromptReal("Abstand der Koordinatenlinien in Grad", p.gridSpacingText, p.gridSpacing);
        p.gridSpacing *= astro::Degree;
        window::PromptChar("Soll der Äquator gezeichnet werden (j/n) ?", p.equatorAnswer);
        p.drawEquator = IsYes(p.equatorAnswer);
        window::PromptChar("Soll die Ekliptik gezeichnet werden (j/n) ?", p.eclipticAnswer);
        p.drawEcliptic = IsYes(p.eclipticAnswer);
    }
    p.singleStep = true;
}

} // namespace

void SetCommandLine(const std::vector<std::string>& arguments) {
    Parameters& p = Params();
    p.startedWithFile = !arguments.empty();
    p.parameterFile = arguments.empty() ? std::string() : arguments.front();
}

void ReportToUser(const std::string& message) {
    std::cerr << message << std::endl;
    // Through the layer's error reporter: the program's one message box, and
    // no tick calls the main procedure while it is open.
    Module().pendingMessage = message;
    window::RunGuarded(&ThrowPendingMessage);
}

void InitialiseParameters() {
    Parameters& p = Params();
    RunState& run = Run();

    p.defaultsSet = true;
    run.outsideDiscRadius = 25;
    run.earthRadiusPx = 4 * run.outsideDiscRadius;
    p.sinObliquity = std::sin(ObliquityRadians);
    p.cosObliquity = std::cos(ObliquityRadians);
    p.eyePoint = EyePoint();
    run.pictureNumber = 0;
    // The outside view's matrices until a run builds its own: the view over
    // the latitude circle of the equator, and the identity.
    astro::RotationAboutX(run.latitudeViewMatrix, -ObliquityRadians);
    astro::RotationAboutX(run.latitudeViewInverse, ObliquityRadians);
    astro::RotationAboutX(run.viewMatrix, 0);
    astro::RotationAboutX(run.inverseViewMatrix, 0);
    InstallGlobeHooks();
    window::InitPalette();

    if (p.startedWithFile) {
        try {
            ReadParameterFile();
            return; // no defaults, no start screen
        } catch (const window::UserError& e) {
            // A file that cannot be read: the program goes on as if started
            // without it.
            ReportToUser(std::string(e.what()) + " Die Parameter werden abgefragt.");
            p.startedWithFile = false;
        }
    }

    SetDefaultTexts(p);
    ShowStartScreen();
    p.viewMode = 0;
    p.previousLatitude = 0;
}

void PromptParameters() {
    if (!window::MainWindowIsActive()) return;
    // A tick delivered by a prompt's modal loop (or by a message box shown
    // on the way) while a sequence runs.
    if (Module().prompting || window::PromptIsOpen()) return;
    const PromptingScope scope;

    Parameters& p = Params();
    if (!p.defaultsSet) InitialiseParameters();
    if (!p.keepStartScreen) FillClientAreaBlack();
    window::InitPalette();

    if (!p.startedWithFile || p.parametersEntered) {
        AskAllQuestions(p);
        // The keyboard goes back to the main window: without a window
        // manager nothing else gives it back once the dialog is hidden.
        if (window::TGrundfenster* w = window::MainWindow()) w->activateWindow();
    }

    StartRunAfterInput();
}

void StartRunAfterInput() {
    Parameters& p = Params();
    p.keepStartScreen = false;
    p.parametersEntered = true;

    // The run has started however its first picture ends. An error reported
    // from it (a coastline file that cannot be read, "ERDE.BIN" that cannot
    // be written) leaves the tick with its message box; the next tick then
    // goes on with this run and does not ask for the parameters again.
    struct MarkRunStarted {
        ~MarkRunStarted() {
            Run().runStarted = true;
            Run().stopRequested = false;
            Run().paused = false;
        }
    } const markRunStarted;
    StartRun();
    DrawFrame();
}

void ReadParameterFile() {
    const Parameters& p = Params();
    const std::string path = window::ResolveFileName(p.parameterFile);
    const std::string bytes = window::ReadFileBytes(path);
    try {
        ParseParameterText(bytes, p.parameterFile, Params());
        BoundDelay(Params());
    } catch (const ParameterFileError& e) {
        ReportToUser(std::string(e.what()) + " Das Programm wird beendet.");
        window::EndProgram(1);
    }
}

void SaveParameterFile() {
    try {
        window::WriteFileReplacing(window::ResolveFileName(SavedParameterFileName),
                                   FormatParameterFile(Params()));
    } catch (const window::UserError& e) {
        // The previous file is untouched; the animation goes on.
        ReportToUser(std::string(e.what()) + " Die Parameter wurden nicht gespeichert.");
    }
}

} // namespace app

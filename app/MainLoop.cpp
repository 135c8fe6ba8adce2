// The main procedure, the frame, the start of a run and the key commands.
#include "app/MainLoop.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/Discs.h"
#include "app/InsideView.h"
#include "app/OutsideView.h"
#include "app/Panel.h"
#include "app/Parameters.h"
#include "app/Scene.h"
#include "astro/TimeScales.h"
#include "window/Eingabe.h"
#include "window/FensterGraf.h"
#include "window/Graphics.h"
#include "window/WorldWindow.h"

namespace app {

namespace {
RunState runState;
} // namespace

RunState& Run() {
    return runState;
}

void ResetRunState() {
    runState = RunState{};
}

namespace {

// Key codes of the key queue.
enum KeyCode : std::int32_t {
    KeyF1 = 1,
    KeyF2 = 2,
    KeyLeft = 13,
    KeyRight = 14,
    KeyUp = 15,
    KeyDown = 16,
    KeyEsc = 27,
};

// Ten degrees: one step of the tilt keys.
constexpr Real TiltStep = astro::Pi / 18;
// The largest radius of a disc, in pixels: far beyond any screen, and small
// enough that every pixel computation on a disc (its diameter, its erasing
// margin, its centre plus its radius) stays within 32 bits. ">" leaves a
// disc of this size unchanged, as "<" leaves the smallest one.
constexpr std::int32_t MaxDiscRadiusPx = 1 << 20;
// Half the side of the outside view's world window, in Earth radii.
constexpr Real OutsideWorldHalfSide = 63.294L;

void FillClientAreaBlack() {
    window::SetFillColour(255, window::Black, window::Black);
    window::FillRectangle(0, 0, window::MaxX() + 1, window::MaxY() + 1);
}

// Makes the next frame show the instant of the last one again: every frame
// advances the time after drawing.
void UndoAdvance() {
    RunState& run = Run();
    if (run.heldAtRangeEnd) return; // the last frame did not advance
    run.currentJD -= static_cast<Real>(run.timeDirection) * Params().timeStep;
}

// The bottom of a text line below the picture: row 0 is the continue line,
// row 1 the note above it.
std::int32_t BottomLineBase(int row) {
    return window::MaxY() - 5 - row * window::CharHeight();
}

// Clears the text rows fromRow to toRow below the picture; row 0 reaches
// down to the window's edge.
void ClearBottomRows(int fromRow, int toRow) {
    const std::int32_t top = BottomLineBase(toRow) - window::CharHeight() - 2;
    const std::int32_t bottom = fromRow == 0 ? window::MaxY() + 1 : BottomLineBase(fromRow);
    window::SetFillColour(255, window::Black, window::Black);
    window::FillRectangle(0, top, window::MaxX() + 1, bottom - top);
}

// Below every tick's picture: the continue line and, while the time is held
// at an end of the supported range, the note above it. In the inside view they
// stand on a black strip of their own (the ground there is green and crossed
// by lines); in the outside view the note's row is cleared as long as the
// note is shown and once more when it goes. The outside view's help screen
// has a line of its own in the bottom row: the continue line goes above it.
void DrawBottomLines() {
    RunState& run = Run();
    const bool outside = Params().viewMode == 1;
    const int continueRow = outside && run.redrawAfterHelp ? 1 : 0;
    const int noteRow = continueRow + 1;
    if (!outside)
        ClearBottomRows(0, run.heldAtRangeEnd ? noteRow : continueRow);
    else if (run.heldAtRangeEnd || run.rangeNoteShown)
        ClearBottomRows(1, noteRow);
    run.rangeNoteShown = run.heldAtRangeEnd;
    window::SetTextAlignment(0, 0);
    window::SetTextBackground(-1);
    window::DrawText(0, BottomLineBase(continueRow), ContinueLine, window::LightRed);
    if (run.heldAtRangeEnd) window::DrawText(0, BottomLineBase(noteRow), RangeEndNote(), window::Yellow);
}

// Redraws the Moon and the Earth with the nearer one last.
void RedrawMoonAndEarthInDepthOrder() {
    DrawMoonAndEarthInDepthOrder();
}

// Up and down arrows in the outside view: the view turns by ten degrees
// about the screen's horizontal axis; the time does not change.
void Tilt(bool forward) {
    RunState& run = Run();
    DrawMoon(window::Black);
    DrawEarth(window::Black);
    if (forward) {
        run.tiltAngle += TiltStep;
        astro::MultiplyMatrices(run.tiltForward, run.viewMatrix, run.viewMatrix);
        astro::MultiplyMatrices(run.inverseViewMatrix, run.tiltBack, run.inverseViewMatrix);
    } else {
        run.tiltAngle -= TiltStep;
        astro::MultiplyMatrices(run.viewMatrix, run.tiltBack, run.viewMatrix);
        astro::MultiplyMatrices(run.tiltForward, run.inverseViewMatrix, run.inverseViewMatrix);
    }
    // The erased Earth cut a gap into the horizon line of perspective 2; no
    // frame follows that would draw the line again.
    if (run.perspective == 2) DrawHorizonLine(window::DarkGray);
    RedrawMoonAndEarthInDepthOrder();
    DrawOutsideLabels();
    if (!run.outsideScreenCleared) RedrawStartLabels(); // the opening picture is still there
}

// The horizon line of perspective 2, one Earth radius above the Earth's
// centre, erased in black.
void EraseHorizonLine() {
    DrawHorizonLine(window::Black);
}

// "h": the next perspective of the outside view.
void NextPerspective() {
    RunState& run = Run();
    DrawMoon(window::Black);
    run.perspective = static_cast<std::uint8_t>((run.perspective + 1) % 3);
    if (run.perspective == 0) {
        DrawSunSymbol(window::Black);
        EraseHorizonLine();
    }
    DrawEarth(window::Black);
    if (run.perspective == 1) {
        run.viewMatrix = run.latitudeViewMatrix;
        run.inverseViewMatrix = run.latitudeViewInverse;
    } else if (run.perspective == 0) {
        astro::RotationAboutX(run.viewMatrix, 0);
        astro::RotationAboutX(run.inverseViewMatrix, 0);
    }
    if (run.perspective == 2) EraseHorizonLine();
    RedrawMoonAndEarthInDepthOrder();
    UndoAdvance();
}

// "d": the other view, on a black screen.
void SwitchView() {
    Parameters& p = Params();
    if (p.viewMode == 1) {
        p.viewMode = 0;
        SetInsideViewWindow();
    } else {
        p.viewMode = 1;
        SetOutsideViewWindow();
    }
    FillClientAreaBlack();
    UndoAdvance();
}

// "<" and ">": the discs of the inside view or the Earth of the outside view
// grow or shrink by a tenth (tenths = 11 or 9), rounded to whole pixels with
// ties to even. r * tenths / 10 is exact at the ties (15 * 9 / 10 is 13.5).
// Growing adds at least one pixel, so that no small disc is stuck at its
// size (4 * 1.1 rounds to 4); shrinking stops at `smallest` (rounding alone
// stops the inside discs at 4 pixels).
void ResizeDiscs(std::int32_t tenths) {
    RunState& run = Run();
    auto resized = [tenths](std::int32_t r, std::int32_t smallest) {
        const std::int32_t scaled =
            astro::RoundToInt32(static_cast<Real>(r) * static_cast<Real>(tenths) / 10);
        if (tenths < 10) return std::max(scaled, std::min(r, smallest));
        return std::min(std::max(scaled, astro::SaturateToInt32(static_cast<std::int64_t>(r) + 1)),
                        MaxDiscRadiusPx);
    };
    if (Params().viewMode == 0) {
        run.insideDiscRadius = resized(run.insideDiscRadius, 0);
    } else {
        if (run.perspective == 2) {
            // In the horizon perspective the horizon line, its labels, the
            // Moon and the Sun symbol all hang on the top of the Earth's
            // disc and would be left behind at the old size; the frame that
            // follows draws the whole picture again.
            FillClientAreaBlack();
        } else if (tenths < 10) {
            // The Earth is erased in full, with a margin, before it shrinks.
            const std::int32_t r = astro::SaturateToInt32(static_cast<std::int64_t>(run.earthRadiusPx) + 10);
            window::SetFillColour(255, window::Black, window::Black);
            window::FillEllipse(run.earthCentreX, run.earthCentreY, r, r);
        }
        run.earthRadiusPx = resized(run.earthRadiusPx, SmallestEarthRadiusPx);
    }
    UndoAdvance();
}

// "l": sight lines from the observer to the Sun and the Moon of the last
// inside frame.
void DrawSightLines() {
    const RunState& run = Run();
    const SceneState& scene = Scene();
    window::DrawLine(run.observerX, run.observerY, window::ScreenX(scene.sunWorldX),
                     window::ScreenY(scene.sunWorldY), window::LightRed);
    window::DrawLine(run.observerX, run.observerY, window::ScreenX(scene.moonWorldX),
                     window::ScreenY(scene.moonWorldY), window::Yellow);
}

// "a" in the inside view: the equatorial coordinates on or off, shown at once
// on the instant of the last frame. No wait and no frame of the animation:
// the time stays where it is.
void ToggleEquatorialOverlay() {
    RunState& run = Run();
    run.equatorialOverlay = !run.equatorialOverlay;
    // The picture replaces a help on display as the next frame would.
    if (run.redrawAfterHelp) {
        run.redrawAfterHelp = false;
        Params().singleStep = run.savedSingleStep;
    }
    const Real next = run.currentJD;
    UndoAdvance();
    DrawInsideFrame();
    run.currentJD = next;
}

// "s": the picture as a numbered BMP file in the current directory; the
// inside view leaves out the black band above its date line.
void SaveViewPicture() {
    RunState& run = Run();
    const std::string name = PictureFileName(run.pictureNumber);
    const std::int32_t top =
        Params().viewMode == 1 ? 0 : astro::SaturateToInt32(static_cast<std::int64_t>(run.textLineY) - 50);
    window::SavePicture(name, 0, top, window::MaxX(), window::MaxY());
    if (run.pictureNumber < std::numeric_limits<std::int32_t>::max()) ++run.pictureNumber;
}

} // namespace

std::string PictureFileName(std::int32_t n) {
    if (n >= 0 && n < 100) {
        const char digits[] = {static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10), '\0'};
        return std::string("Orvandel") + digits + ".bmp";
    }
    return "Orvandel" + std::to_string(n) + ".bmp";
}

void SetInsideViewWindow() {
    SetInsideWorldWindow(window::MaxX(), window::MaxY());
}

void SetOutsideViewWindow() {
    const std::int32_t margin = Run().outsideDiscRadius;
    const std::int32_t far = astro::SaturateToInt32(static_cast<std::int64_t>(window::MaxY()) - margin);
    window::SetViewport(margin, far, margin, far);
    window::SetWorldWindow(-OutsideWorldHalfSide, OutsideWorldHalfSide, -OutsideWorldHalfSide,
                           OutsideWorldHalfSide);
}

bool KeyDrawsNoFrame(std::int32_t code) {
    switch (code) {
    case KeyF1:
    case KeyUp:
    case KeyDown:
    case KeyEsc:
    case 'a':
    case 'l':
    case 's':
        return true;
    default:
        return false;
    }
}

void PerformKey(std::int32_t code) {
    Parameters& p = Params();
    RunState& run = Run();
    switch (code) {
    case KeyF1:
        // The outside view's help writes a line of its own where the continue
        // line stands, which moves up a row: the old one is written over in
        // black, which leaves the picture around its letters as it is.
        if (p.viewMode == 1) {
            window::SetTextAlignment(0, 0);
            window::SetTextBackground(-1);
            window::DrawText(0, BottomLineBase(0), ContinueLine, window::Black);
        }
        ShowHelp();
        break;
    case KeyF2:
        SaveParameterFile();
        break;
    case KeyLeft:
        p.delayMs = std::min(window::LongestWaitMilliseconds,
                             astro::SaturateToInt32(static_cast<std::int64_t>(p.delayMs) * 2));
        break;
    case KeyRight:
        if (p.delayMs >= 2) p.delayMs /= 2;
        break;
    case KeyUp:
    case KeyDown:
        if (p.viewMode == 1) Tilt(code == KeyUp);
        break;
    case KeyEsc:
        if (p.startedWithFile) window::EndProgram(0);
        run.stopRequested = true;
        PromptParameters();
        break;
    case '*':
        p.timeStep = DoubledTimeStep(p.timeStep); // at most the whole supported range
        break;
    case '+':
        UndoAdvance();
        run.timeDirection = 1;
        break;
    case '-':
        UndoAdvance();
        run.timeDirection = -run.timeDirection;
        break;
    case '/':
        p.timeStep *= 0.5L;
        break;
    case '<':
        ResizeDiscs(9);
        break;
    case '>':
        ResizeDiscs(11);
        break;
    case 'a':
        if (p.viewMode == 0) ToggleEquatorialOverlay();
        break;
    case 'd':
        SwitchView();
        break;
    case 'e':
        // On a help screen the frame that follows restores the mode saved by
        // the help: the key switches that one.
        if (run.redrawAfterHelp)
            run.savedSingleStep = !run.savedSingleStep;
        else
            p.singleStep = !p.singleStep;
        break;
    case 'h':
        NextPerspective();
        break;
    case 'l':
        if (p.viewMode == 0) DrawSightLines();
        break;
    case 'p':
        run.paused = true;
        break;
    case 's':
        SaveViewPicture();
        break;
    default: // every key without a command
        break;
    }
}

std::string RangeEndNote() {
    return std::string(" Die Zeit steht: Das Programm rechnet nur ") + SupportedRangeText +
           " (\"-\": Zeitrichtung umkehren, \"/\": kleinerer Zeitschritt)";
}

void MainTick() {
    Parameters& p = Params();
    RunState& run = Run();
    // Before the first run, and while new parameters are wanted: the
    // prompts (they return at once while the main window is not active, so
    // a later tick tries again).
    const bool starting = !Run().runStarted || run.stopRequested;
    if (starting) PromptParameters();
    // Nested ticks inside a prompt end here (and have nothing to do
    // while the prompt is open).
    if (run.stopRequested || !Run().runStarted) {
        if (window::PromptIsOpen()) window::IdleUntilKey();
        return;
    }
    // The first picture of a run gets its line below at once: a single-step
    // run draws nothing more before the next key.
    if (starting) DrawBottomLines();
    // Any key ends a pause and is used up by it.
    if (window::KeyAvailable() && run.paused) {
        run.paused = false;
        run.lastKey = window::NextKey();
    }
    // In single-step mode a frame needs a waiting key. Until a key comes
    // the ticks have nothing to do.
    if (run.paused || (p.singleStep && !window::KeyAvailable())) {
        window::IdleUntilKey();
        return;
    }
    // The key of this tick (0 when none waits, in continuous mode).
    run.lastKey = window::NextKey();
    // The outside view's opening picture stays until the first frame:
    // a key that draws none ("s" saves the picture on the screen) leaves it.
    if (p.viewMode == 1 && !KeyDrawsNoFrame(run.lastKey) && !run.outsideScreenCleared) {
        FillClientAreaBlack();
        run.outsideScreenCleared = true;
    }
    // The key's command first, so that the frame shows its effect (a new
    // step, size, perspective or view); then the frame, unless the key draws
    // none (see KeyDrawsNoFrame); the bottom line last, over both.
    PerformKey(run.lastKey);
    if (!KeyDrawsNoFrame(run.lastKey)) DrawFrame();
    DrawBottomLines();
}

void DrawFrame() {
    Parameters& p = Params();
    RunState& run = Run();
    if (run.redrawAfterHelp) {
        FillClientAreaBlack();
        run.redrawAfterHelp = false;
        p.singleStep = run.savedSingleStep;
    }
    window::WaitMilliseconds(p.delayMs);
    run.currentJD = ClampToSupportedRange(run.currentJD);
    run.shownJD = run.currentJD;
    ++run.framesDrawn;
    if (p.viewMode == 1) {
        if (run.outsideScreenCleared) DrawMoon(window::Black); // the Moon of the previous frame
        DrawOutsideFrame();
    } else {
        DrawInsideFrame();
    }
    // The advance, unless it would leave the supported range: then the time
    // stands at the instant just shown until the direction or the step
    // allows a step again.
    const Real next = run.currentJD + static_cast<Real>(run.timeDirection) * p.timeStep;
    run.heldAtRangeEnd = !InSupportedRangeUpToRounding(next); // the next frame clamps
    if (!run.heldAtRangeEnd) run.currentJD = next;
}

void StartRun() {
    Parameters& p = Params();
    RunState& run = Run();
    p.latitude *= astro::Degree;
    p.longitude *= astro::Degree;
    p.centralAzimuth *= astro::Degree;
    PrepareScene(); // the sine and cosine of the latitude, the azimuth matrix
    p.timeStep = astro::HoursFromClock(p.timeStep) / 24; // days
    run.currentJD = ClampToSupportedRange(
        StartJulianDate(astro::CalendarDate{p.startDay, p.startMonth, p.startYear}, p.startTime));
    run.timeDirection = 1;
    run.heldAtRangeEnd = false;
    // A help screen left with Esc: the new run keeps the single-step mode
    // that the prompts set.
    run.redrawAfterHelp = false;
    run.insideDiscRadius = 15;
    run.equatorialOverlay = false;
    PrepareInsideView();
    PrepareOutsideView();
    if (p.viewMode == 0) SetInsideViewWindow();
}

} // namespace app

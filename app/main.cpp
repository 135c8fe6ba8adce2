// The program entry: gives the window layer its start values, creates the
// main window, installs the procedures and runs the message loop.
//
// Until the application's parameter input and main loop exist, the entry
// installs a small demonstration tick of its own that draws with the
// primitives and shows the code of the last key pressed.
#include <QApplication>
#include <cstdint>
#include <string>

#include "window/Eingabe.h"
#include "window/FensterGraf.h"
#include "window/Graphics.h"
#include "window/WorldWindow.h"

namespace {

struct DemoState {
    bool drawn = false;
    int lastKey = -1;
    std::int32_t phase = 0; // degrees of the turning half disc
};

DemoState& Demo() {
    static DemoState demo;
    return demo;
}

void DrawKeyLine() {
    using namespace window;
    const DemoState& demo = Demo();
    const std::int32_t y = 4 * CharHeight() + 220;
    SetFillColour(255, White, White);
    FillRectangle(CharWidth(), y - CharHeight(), MaxX() - 2 * CharWidth(), CharHeight() + 2);
    SetTextAlignment(0, 0);
    SetTextBackground(White);
    const std::string text = demo.lastKey < 0
                                 ? std::string("Noch keine Taste gedrückt.")
                                 : "Zuletzt gedrückte Taste: Code " + std::to_string(demo.lastKey);
    DrawText(CharWidth(), y, text, Black);
}

void DrawDemoPicture() {
    using namespace window;
    InitPalette();
    ClearScreen();
    SetTextStyle("Courier", 14, 1);
    SetTextAlignment(0, 0);
    DrawText(CharWidth(), 2 * CharHeight(), "Orvandel", Blue);
    SetTextStyle("Courier", 10, 0);
    DrawText(CharWidth(), 4 * CharHeight(), "Strg+C beendet das Programm.", Black);
    for (int colour = 0; colour < 16; ++colour) {
        SetFillColour(255, colour, Black);
        FillRectangle(CharWidth() + colour * 40, 4 * CharHeight() + 20, 32, 32);
    }
    SetLineWidth(3);
    DrawLine(CharWidth(), 4 * CharHeight() + 70, CharWidth() + 16 * 40 - 8, 4 * CharHeight() + 70, Red);
    SetLineWidth(1);
    SetFillColour(255, LightGray, LightGray);
    FillEllipse(CharWidth() + 60, 4 * CharHeight() + 140, 50, 50);
    DrawKeyLine();
}

// The demonstration tick: draws the picture once, then turns a lit half disc
// and shows the code of each key taken from the queue.
void DemoTick() {
    using namespace window;
    DemoState& demo = Demo();
    if (!demo.drawn) {
        DrawDemoPicture();
        demo.drawn = true;
    }
    if (KeyAvailable()) {
        demo.lastKey = NextKey();
        DrawKeyLine();
        demo.phase = (demo.phase + 15) % 360;
        const std::int32_t cx = CharWidth() + 60, cy = 4 * CharHeight() + 140;
        SetFillColour(255, LightGray, LightGray);
        FillEllipse(cx, cy, 50, 50);
        DrawHalfEllipse(cx, cy, 50, 50, 255, Yellow, false, 1, demo.phase);
    }
}

void DemoInput() {}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);

    // 1. The layer's modules take their start values before any window exists.
    window::ResetLayer(QCoreApplication::applicationFilePath().toStdString());
    window::RegisterFontSubstitutions();
    window::ResetDrawingState();
    window::ResetWorldWindow();

    // 3. The main window; its creation handler runs inside.
    window::TGrundfenster* mainWindow = window::CreateMainWindow();
    mainWindow->showOverScreen();

    // 4. The prompt dialog, hidden until a prompt is shown.
    window::CreateEingabeDialog();

    // 5. Start-up drawing.
    window::SetTextStyle("Courier", 10, 0);
    window::ClearScreen();

    // 6. The procedures. Ticks start with the message loop.
    window::Layer().inputProcedure = DemoInput;
    window::Layer().mainProcedure = DemoTick;

    // 7.
    return application.exec();
}

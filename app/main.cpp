// The program entry: gives the window layer and the application their start
// values, creates the main window and the prompt dialog, installs the
// application's two procedures and runs the message loop.
#include <QApplication>
#include <QStringList>
#include <string>
#include <vector>

#include "app/MainLoop.h"
#include "app/Parameters.h"
#include "app/Scene.h"
#include "window/Eingabe.h"
#include "window/FensterGraf.h"
#include "window/Graphics.h"
#include "window/WorldWindow.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);

    // 1. The layer's modules take their start values before any window exists.
    window::ResetLayer(QCoreApplication::applicationFilePath().toStdString());
    window::RegisterFontSubstitutions();
    window::ResetDrawingState();
    window::ResetWorldWindow();

    // 2. The application's records (defaultsSet false) and the command line
    // without Qt's own options: the first argument names a parameter file.
    app::ResetParameters();
    app::ResetRunState();
    app::ResetScene();
    std::vector<std::string> arguments;
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i)
        arguments.push_back(all[i].toStdString());
    app::SetCommandLine(arguments);

    // 3. The main window; its creation handler runs inside.
    window::TGrundfenster* mainWindow = window::CreateMainWindow();
    mainWindow->showOverScreen();

    // 4. The prompt dialog, hidden until a prompt is shown.
    window::CreateEingabeDialog();

    // 5. Start-up drawing.
    window::SetTextStyle("Courier", 10, 0);
    window::ClearScreen();

    // 6. The procedures. Ticks start with the message loop; the first tick
    // calls the prompts.
    window::Layer().inputProcedure = app::PromptParameters;
    window::Layer().mainProcedure = app::MainTick;

    // 7.
    return application.exec();
}

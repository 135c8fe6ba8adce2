// The program entry: gives the window layer and the application their start
// values, creates the main window and the prompt dialog, installs the
// application's two procedures and runs the message loop.
//
// A first argument that begins with "--" is an option: --help, --version,
// --export and --kalender are handled here; any other first argument names the parameter
// file, as always.
#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "app/Export.h"
#include "app/MainLoop.h"
#include "app/MoonCalendar.h"
#include "app/Parameters.h"
#include "app/Startup.h"
#include "window/CalendarPage.h"
#include "window/Eingabe.h"
#include "window/FensterGraf.h"
#include "window/Graphics.h"
#include "window/TextFiles.h"
#include "window/WorldWindow.h"

#ifndef ORVANDEL_VERSION
#define ORVANDEL_VERSION "unbekannt"
#endif

namespace {

// The folder of the running executable, before Qt is there to tell it.
std::string ExecutableFolder(const char* argv0) {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec && argv0 != nullptr) exe = std::filesystem::absolute(argv0, ec);
    return ec ? std::string() : exe.parent_path().string();
}

// The frame export: Qt's offscreen platform, no window.
int RunExport(int argc, char** argv, const app::ExportOptions& options) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    window::SetProgramFolder(QCoreApplication::applicationDirPath().toStdString());
    try {
        app::ExportFrames(options, [](const std::string& line) { std::cerr << line << std::endl; });
    } catch (const std::exception& e) {
        std::cerr << "Orvandel: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}

// The Moon calendar: one page, drawn on Qt's offscreen platform.
int RunCalendar(int argc, char** argv, const app::CalendarOptions& options) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    try {
        window::WriteCalendarPage(app::MoonCalendarSheet(options), options.file, options.pdf);
    } catch (const std::exception& e) {
        std::cerr << "Orvandel: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // Options first, before any window system is needed.
    const std::vector<std::string> given(argv + (argc > 0 ? 1 : 0), argv + argc);
    app::CommandLine command;
    try {
        command = app::ParseCommandLine(given);
    } catch (const app::CommandLineError& e) {
        std::cerr << "Orvandel: " << e.what() << "\nHilfe: Orvandel --help" << std::endl;
        return 2;
    }
    switch (command.kind) {
    case app::CommandKind::Help:
        window::SetProgramFolder(ExecutableFolder(argc > 0 ? argv[0] : nullptr));
        std::fputs(app::UsageText(window::DataFolder()).c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    case app::CommandKind::Version:
        std::printf("Orvandel %s\n", ORVANDEL_VERSION);
        return std::fflush(stdout) == 0 ? 0 : 1;
    case app::CommandKind::Export:
        return RunExport(argc, argv, command.exportOptions);
    case app::CommandKind::Calendar:
        return RunCalendar(argc, argv, command.calendarOptions);
    case app::CommandKind::Run:
        break;
    }

    QApplication application(argc, argv);

    // The modules take their start values before any window exists; the
    // command line without Qt's own options: the first argument names a
    // parameter file.
    window::SetProgramFolder(QCoreApplication::applicationDirPath().toStdString());
    std::vector<std::string> arguments;
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i)
        arguments.push_back(all[i].toStdString());
    app::StartModules(QCoreApplication::applicationFilePath().toStdString(), arguments);

    // The main window; its creation handler runs inside.
    window::TGrundfenster* mainWindow = window::CreateMainWindow();
    mainWindow->showOverScreen();

    // The prompt dialog, hidden until a prompt is shown.
    window::CreateEingabeDialog();

    // The canvas takes the program's font and is cleared before the first tick.
    window::SetTextStyle("Courier", 10, 0);
    window::ClearScreen();

    // The two procedures. Ticks start with the message loop; the first tick
    // calls the prompts.
    window::Layer().inputProcedure = app::PromptParameters;
    window::Layer().mainProcedure = app::MainTick;

    return application.exec();
}

// A fixture for the application's tests on the offscreen platform: a fresh
// working folder (with the shipped coastlines), fresh module states, the
// main window and the prompt dialog, a fixed local clock, a monotonic clock
// that never sleeps, an end of the program that throws, and message boxes
// that are recorded instead of shown.
#pragma once

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/MainLoop.h"
#include "app/Parameters.h"
#include "app/Scene.h"
#include "app/Startup.h"
#include "window/Eingabe.h"
#include "window/FensterGraf.h"
#include "window/Graphics.h"
#include "window/WorldWindow.h"

namespace apptest {

namespace fs = std::filesystem;

// Thrown by the test's end of the program.
struct ProgramEnded {
    int status;
};

// The local clock of the tests: 7 December 2026, 9:05:30.250.
inline window::LocalClockReading FixedClock() {
    window::LocalClockReading r;
    r.year = 2026;
    r.month = 12;
    r.day = 7;
    r.hour = 9;
    r.minute = 5;
    r.second = 30;
    r.millisecond = 250;
    return r;
}

inline std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// One prompt as the dialog showed it.
struct ShownPrompt {
    std::string label;
    std::string defaultText;
    bool runStartedWhileShown = false;
    std::int64_t framesWhileShown = 0;
    int ticksAtShow = 0;
};

// Answers for the prompts in order: "\n" accepts the default unchanged, any
// other text replaces it (typed into the selected field) and is confirmed
// with Enter; "" clears the field.
struct Answers {
    std::vector<std::string> texts;
    std::vector<ShownPrompt> shown;
    bool acceptDefaultsBeyond = false; // more prompts than texts: Enter on each
};

class AppTest : public ::testing::Test {
  protected:
    void SetUp() override {
        oldFolder_ = fs::current_path();
        folder_ =
            fs::temp_directory_path() / ("orvandel-app-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        fs::current_path(folder_);
        if (const char* source = std::getenv("ORVANDEL_SOURCE_DIR")) {
            const fs::path coastlines = fs::path(source) / "data" / "ECLGRAPH.DAT";
            std::error_code ec;
            if (fs::exists(coastlines)) fs::copy_file(coastlines, folder_ / "ECLGRAPH.DAT", ec);
        }

        window::ResetLayer("/usr/bin/Orvandel");
        window::ResetDrawingState();
        window::ResetWorldWindow();
        app::ResetApplicationState();
        window::SetEndProgramHandler([](int status) { throw ProgramEnded{status}; });
        window::SetErrorReporter([this](const std::string& m) { messages.push_back(m); });
        window::SetClockSource(FixedClock);
        // The waits of the frames pass at once: every reading of the clock
        // is a millisecond later, and a sleep moves it on.
        window::SetMonotonicClock(
            [this] {
                fakeNow_ += std::chrono::milliseconds(1);
                return fakeNow_;
            },
            [this](std::chrono::steady_clock::duration d) { fakeNow_ += d; });
        window::CreateMainWindow()->showOverScreen();
        window::CreateEingabeDialog();
        window::Layer().mainProcedure = nullptr;
        QApplication::processEvents();
    }

    void TearDown() override {
        window::SetPromptShownHook(nullptr);
        window::Layer().mainProcedure = nullptr;
        window::DestroyEingabeDialog();
        window::DestroyMainWindow();
        window::SetEndProgramHandler(nullptr);
        window::SetErrorReporter(nullptr);
        window::SetClockSource(nullptr);
        window::SetMonotonicClock(nullptr, nullptr);
        fs::current_path(oldFolder_);
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    // Installs the answers; each shown prompt is recorded.
    static void AnswerWith(Answers& answers) {
        window::SetPromptShownHook([&answers](window::TEingabeDialog& d) {
            ShownPrompt s;
            s.label = d.Label1->text().toStdString();
            s.defaultText = d.Edit->text().toStdString();
            s.runStartedWhileShown = app::Run().runStarted;
            s.framesWhileShown = app::Run().framesDrawn;
            s.ticksAtShow = window::Layer().ticks;
            answers.shown.push_back(s);
            const std::size_t n = answers.shown.size();
            std::string text = "\n";
            if (n <= answers.texts.size()) {
                text = answers.texts[n - 1];
            } else if (!answers.acceptDefaultsBeyond) {
                ADD_FAILURE() << "more prompts than answers: " << s.label;
                text = "0"; // converts as an integer and a real: ends any prompt loop
            }
            if (text != "\n") {
                d.Edit->selectAll();
                if (text.empty())
                    QTest::keyClick(d.Edit, Qt::Key_Backspace);
                else
                    QTest::keyClicks(d.Edit, QString::fromStdString(text));
            }
            QTest::keyClick(d.Edit, Qt::Key_Return);
        });
    }

    // A run started through the real prompts, every default accepted.
    void StartWithDefaults() {
        Answers answers;
        answers.acceptDefaultsBeyond = true;
        AnswerWith(answers);
        app::MainTick();
        window::SetPromptShownHook(nullptr);
        ASSERT_TRUE(app::Run().runStarted);
        ASSERT_EQ(answers.shown.size(), 12u);
    }

    // One tick with a key waiting (code 0: none), after the events that the
    // message loop would deliver between two ticks.
    static void Tick(int code = 0) {
        QApplication::processEvents();
        if (code != 0)
            window::Layer().keyQueue.push_back(static_cast<char>(static_cast<unsigned char>(code)));
        app::MainTick();
    }

    // Two instants that differ only by the rounding of an advance and its
    // undoing (well below a millisecond).
    static void ExpectSameInstant(app::Real a, app::Real b) {
        EXPECT_NEAR(static_cast<double>(a), static_cast<double>(b), 1e-9);
    }

    fs::path Folder() const { return folder_; }

    std::vector<std::string> messages;

  private:
    fs::path oldFolder_;
    fs::path folder_;
    std::chrono::steady_clock::time_point fakeNow_{};
};

} // namespace apptest

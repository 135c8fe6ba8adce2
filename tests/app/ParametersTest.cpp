// The parameters through the real prompt dialog and the real files: the
// defaults, the order of the questions, the start of a run, the parameter
// file of the command line and its failures, the saved file.
#include <csignal>
#include <sys/resource.h>

#include "AppTestSupport.h"
#include "earth/Outlines.h"
#include "window/NumberText.h"
#include "window/TextFiles.h"

namespace {

using namespace apptest;
using app::Params;

class ParametersTest : public AppTest {};

std::vector<std::pair<std::string, std::string>> LabelsAndDefaults(const Answers& a) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const ShownPrompt& s : a.shown)
        out.emplace_back(s.label, s.defaultText);
    return out;
}

// A parameter file with every value valid, line 7 replaced by `line7` when given.
std::string ParameterFileText(const std::string& line7 = "30 * Verz\xf6gerung in ms") {
    return "p * Darstellung (Phase (p)/Bewegung)\r\n"
           "-33,9 * geogr. Breite\r\n"
           "-70.6 * geogr. L\xe4nge\r\n"
           "7.12.2026 * Startdatum\r\n"
           "14.17 * Startuhrzeit\r\n"
           "0.05 * deltat\r\n" +
           line7 +
           "\r\n"
           "180 * zentraler Azimut\r\n"
           "30 * Abstand der Koordinatenlinien\r\n"
           "j * Zeichnung der \xc4quators (j/n)?\r\n"
           "n * Zeichnung der Ekliptik (j/n)?\r\n"
           "j * Einzelschritt (j/n)?\r\n";
}

TEST_F(ParametersTest, TheFirstSequenceAsksEveryQuestionWithItsDefault) {
    Answers answers;
    answers.texts = {"-33,9", "\n", "\n", "\n", "\n", "\n", "\n", "\n", "\n", "\n", "\n", "\n"};
    AnswerWith(answers);
    app::MainTick();
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Standort: geografische Breite in Grad", "54.3"},
        {"geografische Länge in Grad", "10.1"},
        {"Starttag", " 7"}, // today, right-aligned in two characters
        {"Monat", "12"},
        {"Jahr", "2026"},
        {"Uhrzeit (MEZ in hh.mm)", "  9.05"}, // 9 h 5 min in a field of six
        {"Zeitschritt in hh.mm", "0.05"},
        {"Verzögerung in ms", "30"},
        {"zentraler Azimut in Grad (Süden: 0)", "180"}, // a southern latitude was just entered
        {"Abstand der Koordinatenlinien in Grad", "30"},
        {"Soll der Äquator gezeichnet werden (j/n) ?", "n"},
        {"Soll die Ekliptik gezeichnet werden (j/n) ?", "n"},
    };
    EXPECT_EQ(LabelsAndDefaults(answers), expected);

    const app::Parameters& p = Params();
    EXPECT_EQ(p.latitudeText, "-33,9");
    EXPECT_EQ(p.latitude, -33.9L * astro::Degree); // StartRun turned it into radians
    EXPECT_EQ(p.dayText, " 7");
    EXPECT_EQ(p.startTimeText, "  9.05");
    EXPECT_EQ(p.azimuthText, "180");
    EXPECT_EQ(p.centralAzimuth, 180 * astro::Degree);
    EXPECT_EQ(p.gridSpacing, 30 * astro::Degree);
    EXPECT_TRUE(p.singleStep);
    EXPECT_TRUE(p.parametersEntered);
    EXPECT_FALSE(p.keepStartScreen);
    EXPECT_TRUE(app::Run().runStarted);
    EXPECT_FALSE(app::Run().stopRequested);
    EXPECT_FALSE(app::Run().paused);
    // StartRun, then exactly one frame, at the start instant (7.12.2026,
    // 9.05 MEZ is 8.05 UT): JD 2461381.5 + 8 h 5 min.
    EXPECT_EQ(app::Run().framesDrawn, 1);
    EXPECT_NEAR(static_cast<double>(app::Run().shownJD), 2461381.5 + (8 + 5 / 60.0) / 24, 1e-9);
    EXPECT_NEAR(static_cast<double>(p.timeStep * 24 * 60), 5.0, 1e-12); // 5 minutes in days
}

TEST_F(ParametersTest, TheAzimuthDefaultFollowsTheLatitudeJustEntered) {
    const struct {
        std::string latitude;
        std::string azimuthDefault;
    } rows[] = {{"54.3", "0"}, {"-33,9", "180"}, {"0", "0"}, {"-0.001", "180"}};
    for (const auto& row : rows) {
        app::ResetParameters();
        app::ResetRunState();
        app::Run().runStarted = false;
        Answers answers;
        answers.texts = {row.latitude};
        answers.acceptDefaultsBeyond = true;
        AnswerWith(answers);
        Tick();
        ASSERT_EQ(answers.shown.size(), 12u);
        EXPECT_EQ(answers.shown[8].defaultText, row.azimuthDefault) << row.latitude;
    }
}

TEST_F(ParametersTest, TheLastCharacterOfAnAnswerCounts) {
    Answers answers;
    answers.texts = {"\n", "\n", "\n", "\n", "\n", "\n", "\n", "\n", "\n", "\n", "ja", "nj"};
    AnswerWith(answers);
    app::MainTick();
    EXPECT_EQ(Params().equatorAnswer, 'a');
    EXPECT_FALSE(Params().drawEquator); // "ja" means no
    EXPECT_EQ(Params().eclipticAnswer, 'j');
    EXPECT_TRUE(Params().drawEcliptic); // "nj" means yes

    // Esc: the next sequence offers the answers given, and an empty answer
    // keeps them.
    Answers again;
    again.texts = {"\n", "\n", "\n", "\n", "\n", "\n", "\n", "\n", "\n", "\n", "", "J"};
    AnswerWith(again);
    Tick(27);
    ASSERT_EQ(again.shown.size(), 12u);
    EXPECT_EQ(again.shown[10].defaultText, "a");
    EXPECT_EQ(again.shown[11].defaultText, "j");
    EXPECT_EQ(Params().equatorAnswer, 'a');
    EXPECT_TRUE(Params().drawEcliptic);
}

TEST_F(ParametersTest, TheOutsideViewAsksOnlyTheFirstEightQuestions) {
    StartWithDefaults();
    Params().azimuthText = "45"; // replaced by the sequence in both views
    Tick('d');
    ASSERT_EQ(Params().viewMode, 1);
    Answers answers;
    answers.texts = {"-10", "\n", "\n", "\n", "\n", "\n", "\n", "\n"};
    AnswerWith(answers);
    Tick(27);
    ASSERT_EQ(answers.shown.size(), 8u);
    EXPECT_EQ(answers.shown[0].defaultText, "54.3"); // the text of the previous sequence
    EXPECT_EQ(answers.shown[7].label, "Verzögerung in ms");
    EXPECT_EQ(Params().azimuthText, "180");
    EXPECT_TRUE(app::Run().runStarted);
    EXPECT_FALSE(app::Run().stopRequested);
    EXPECT_EQ(Params().previousLatitude, 54.3L * astro::Degree); // the latitude of the last run
}

TEST_F(ParametersTest, NestedTicksInsideThePromptsDoNothing) {
    // The real timer calls the main procedure inside every prompt's modal loop.
    window::Layer().mainProcedure = app::MainTick;
    Answers answers;
    answers.acceptDefaultsBeyond = true;
    AnswerWith(answers);
    const int ticksBefore = window::Layer().ticks;
    app::MainTick();
    window::Layer().mainProcedure = nullptr;
    ASSERT_EQ(answers.shown.size(), 12u); // one sequence, not one per tick
    EXPECT_GT(window::Layer().ticks, ticksBefore);
    for (const ShownPrompt& s : answers.shown) {
        EXPECT_FALSE(s.runStartedWhileShown);
        EXPECT_EQ(s.framesWhileShown, 0);
    }
    EXPECT_EQ(app::Run().framesDrawn, 1);

    // The same after Esc, while stopRequested holds the ticks off.
    window::Layer().mainProcedure = app::MainTick;
    Answers again;
    again.acceptDefaultsBeyond = true;
    AnswerWith(again);
    Tick(27);
    window::Layer().mainProcedure = nullptr;
    ASSERT_EQ(again.shown.size(), 12u);
    for (const ShownPrompt& s : again.shown)
        EXPECT_EQ(s.framesWhileShown, 1);
    EXPECT_EQ(app::Run().framesDrawn, 2);
}

TEST_F(ParametersTest, NoPromptWhileTheMainWindowIsInactive) {
    // Another of our windows is active (modal): the tick must not prompt.
    QWidget other;
    other.setWindowModality(Qt::ApplicationModal);
    other.show();
    other.activateWindow();
    QApplication::processEvents();
    ASSERT_FALSE(window::MainWindowIsActive());
    Answers answers;
    AnswerWith(answers);
    app::MainTick();
    EXPECT_TRUE(answers.shown.empty());
    EXPECT_FALSE(app::Run().runStarted);
    EXPECT_FALSE(Params().defaultsSet);
    other.hide();
    QApplication::processEvents();
    window::MainWindow()->activateWindow();
    QApplication::processEvents();
    ASSERT_TRUE(window::MainWindowIsActive());
    answers.acceptDefaultsBeyond = true;
    app::MainTick();
    EXPECT_EQ(answers.shown.size(), 12u);
    EXPECT_TRUE(app::Run().runStarted);
}

TEST_F(ParametersTest, EscWhileTheMainWindowIsInactivePromptsOnALaterTick) {
    StartWithDefaults();
    QWidget other;
    other.setWindowModality(Qt::ApplicationModal);
    other.show();
    other.activateWindow();
    QApplication::processEvents();
    ASSERT_FALSE(window::MainWindowIsActive());
    Answers answers;
    answers.acceptDefaultsBeyond = true;
    AnswerWith(answers);
    Tick(27);
    Tick();
    EXPECT_TRUE(answers.shown.empty());
    EXPECT_TRUE(app::Run().stopRequested); // the run waits for its new parameters
    other.hide();
    window::MainWindow()->activateWindow();
    Tick();
    EXPECT_EQ(answers.shown.size(), 12u);
    EXPECT_FALSE(app::Run().stopRequested);
}

TEST_F(ParametersTest, ASavedFileGivenAtTheStartReproducesEveryValue) {
    Answers answers;
    answers.texts = {"54,3", "-70.6", "\n", "\n", "\n", "\n", "\n", "\n", "\n", "15", "j", "n"};
    AnswerWith(answers);
    app::MainTick();
    Tick('e'); // run continuously; the saved file still says single step
    Tick(2);   // F2
    EXPECT_TRUE(messages.empty());
    const std::string expected = "p * Darstellung (Phase (p)/Bewegung)\r\n"
                                 "54,3 * geogr. Breite\r\n"
                                 "-70.6 * geogr. L\xe4nge\r\n"
                                 " 7.12.2026 * Startdatum\r\n"
                                 "  9.05 * Startuhrzeit\r\n"
                                 "0.05 * deltat\r\n"
                                 "30 * Verz\xf6gerung in ms\r\n"
                                 "0 * zentraler Azimut\r\n"
                                 "15 * Abstand der Koordinatenlinien\r\n"
                                 "j * Zeichnung der \xc4quators (j/n)?\r\n"
                                 "n * Zeichnung der Ekliptik (j/n)?\r\n"
                                 "j * Einzelschritt (j/n)?\r\n";
    EXPECT_EQ(ReadBytes(Folder() / "Orvandel.dat"), expected);

    // A new program with the saved file as its argument.
    app::ResetParameters();
    app::ResetRunState();
    app::Run().runStarted = false;
    app::SetCommandLine({"orvandel.DAT"}); // found without regard to case
    Answers none;
    AnswerWith(none);
    app::InitialiseParameters();
    const app::Parameters& p = Params();
    EXPECT_EQ(p.viewMode, 0);
    EXPECT_EQ(p.latitudeText, "54,3");
    EXPECT_EQ(p.latitude, 54.3L);
    EXPECT_EQ(p.longitude, -70.6L);
    EXPECT_EQ(p.startDay, 7);
    EXPECT_EQ(p.startMonth, 12);
    EXPECT_EQ(p.startYear, 2026);
    EXPECT_EQ(p.startTimeText, "9.05"); // without its leading blanks
    EXPECT_EQ(p.startTime, 9.05L);
    EXPECT_EQ(p.timeStep, 0.05L);
    EXPECT_EQ(p.delayMs, 30);
    EXPECT_EQ(p.centralAzimuth, 0);
    EXPECT_EQ(p.gridSpacing, 15 * astro::Degree);
    EXPECT_TRUE(p.drawEquator);
    EXPECT_FALSE(p.drawEcliptic);
    EXPECT_TRUE(p.singleStep);

    // The run starts without a prompt, at the start instant itself.
    Tick();
    EXPECT_TRUE(none.shown.empty());
    EXPECT_TRUE(app::Run().runStarted);
    EXPECT_EQ(app::Run().framesDrawn, 1);
    EXPECT_NEAR(static_cast<double>(app::Run().shownJD), 2461381.5 + (8 + 5 / 60.0) / 24, 1e-9);
    // Esc ends a program started with a parameter file.
    try {
        Tick(27);
        ADD_FAILURE() << "Esc did not end the program";
    } catch (const ProgramEnded& e) {
        EXPECT_EQ(e.status, 0);
    }
    EXPECT_TRUE(none.shown.empty());
}

TEST_F(ParametersTest, TheOutsideViewFromAFileShowsNoOpeningStep) {
    std::string text = ParameterFileText();
    text[0] = 'b';
    WriteBytes(Folder() / "aussen.dat", text);
    app::SetCommandLine({"aussen.dat"});
    app::MainTick();
    EXPECT_EQ(Params().viewMode, 1);
    // 7.12.2026 14.17 MEZ is 13.17 UT.
    EXPECT_NEAR(static_cast<double>(app::Run().shownJD), 2461381.5 + (13 + 17 / 60.0) / 24, 1e-9);
}

TEST_F(ParametersTest, AFileValueThatDoesNotConvertEndsTheProgramWithAMessage) {
    const struct {
        std::string bytes;
        std::string words;
    } rows[] = {
        {ParameterFileText("dreissig * Verz\xf6gerung in ms"), "Zeile 7: \"dreissig\""},
        {ParameterFileText().substr(0, ParameterFileText().rfind("j * Einzel")), "Zeile 12 fehlt"},
        {"", "Zeile 1 fehlt"},
    };
    for (const auto& row : rows) {
        app::ResetParameters();
        messages.clear();
        WriteBytes(Folder() / "falsch.dat", row.bytes);
        app::SetCommandLine({"falsch.dat"});
        ::testing::internal::CaptureStderr();
        int status = -1;
        try {
            app::InitialiseParameters();
        } catch (const ProgramEnded& e) {
            status = e.status;
        }
        const std::string stderrText = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(status, 1) << row.words;
        ASSERT_EQ(messages.size(), 1u) << row.words;
        for (const std::string& shown : {messages[0], stderrText}) {
            EXPECT_NE(shown.find("\"falsch.dat\""), std::string::npos) << shown;
            EXPECT_NE(shown.find(row.words), std::string::npos) << shown;
        }
    }
}

TEST_F(ParametersTest, AFileThatCannotBeOpenedLeadsToThePrompts) {
    app::SetCommandLine({"fehlt.dat"});
    Answers answers;
    answers.acceptDefaultsBeyond = true;
    AnswerWith(answers);
    ::testing::internal::CaptureStderr();
    app::MainTick();
    const std::string stderrText = ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("fehlt.dat"), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("Die Parameter werden abgefragt."), std::string::npos) << messages[0];
    EXPECT_NE(stderrText.find("fehlt.dat"), std::string::npos);
    // The defaults and every question, as without an argument.
    ASSERT_EQ(answers.shown.size(), 12u);
    EXPECT_EQ(answers.shown[2].defaultText, " 7");
    EXPECT_TRUE(app::Run().runStarted);
    // Esc now asks again instead of ending the program.
    Answers again;
    again.acceptDefaultsBeyond = true;
    AnswerWith(again);
    Tick(27);
    EXPECT_EQ(again.shown.size(), 12u);
}

TEST_F(ParametersTest, AnErrorInTheFirstFrameKeepsAParameterFileStart) {
    // The outside view's first picture needs the coastlines: ECLGRAPH.DAT
    // cannot be read, or ERDE.BIN cannot be written (a read-only medium).
    const std::string coastlines = ReadBytes(Folder() / "ECLGRAPH.DAT");
    for (const bool unreadable : {true, false}) {
        app::ResetApplicationState();
        messages.clear();
        WriteBytes(Folder() / "aussen.dat", "b" + ParameterFileText().substr(1));
        app::SetCommandLine({"aussen.dat"});
        WriteBytes(Folder() / "ECLGRAPH.DAT", unreadable ? "keine Zahl\r\n" : coastlines);
        if (!unreadable)
            earth::OutlineFiles().writeFile = [](const std::string&, std::string_view) {
                throw window::UserError("ERDE.BIN kann nicht erstellt werden.");
            };
        Answers none; // any prompt is a failure
        AnswerWith(none);
        window::RunGuarded(&app::MainTick);
        window::Layer().keyQueue.push_back('x');
        window::RunGuarded(&app::MainTick);
        EXPECT_GE(messages.size(), 1u) << unreadable;
        EXPECT_TRUE(app::Run().runStarted && none.shown.empty()) << unreadable;
        EXPECT_TRUE(Params().startedWithFile) << unreadable; // Esc still ends the program
        earth::ResetOutlineFiles();
    }
}

// A file-size limit makes the write of the new file fail halfway.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

  private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST_F(ParametersTest, AnInterruptedSaveLeavesThePreviousFileIntact) {
    StartWithDefaults();
    const std::string previous = "die vorige Datei\r\n";
    WriteBytes(Folder() / "Orvandel.dat", previous);
    const std::int64_t frames = app::Run().framesDrawn;
    ::testing::internal::CaptureStderr();
    {
        const FileSizeLimit limit(64); // the file has about 300 bytes
        Tick(2);                       // F2
    }
    ::testing::internal::GetCapturedStderr(); // limited too: not examined
    EXPECT_EQ(ReadBytes(Folder() / "Orvandel.dat"), previous);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Orvandel.dat"), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("nicht gespeichert"), std::string::npos) << messages[0];
    // No temporary file is left beside it, and the animation went on.
    int files = 0;
    for (const auto& entry : fs::directory_iterator(Folder()))
        files += entry.path().filename().string().rfind("Orvandel.dat", 0) == 0;
    EXPECT_EQ(files, 1);
    EXPECT_EQ(app::Run().framesDrawn, frames + 1);

    // Without the limit the same key writes the new file.
    Tick(2);
    EXPECT_EQ(ReadBytes(Folder() / "Orvandel.dat"), app::FormatParameterFile(Params()));
}

} // namespace

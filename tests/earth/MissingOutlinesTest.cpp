// No coastline file at all: the message in the main window, the wait for a
// key (during which the timer calls nothing), and the end of the program.
#include <QImage>
#include <QTimer>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "EarthTestSupport.h"
#include "earth/Globe.h"
#include "window/FensterGraf.h"
#include "window/Graphics.h"
#include "window/TextFiles.h"

namespace {

using namespace earth;

struct EndCalled {
    int status;
};

int mainCalls = 0;
void CountingMain() {
    ++mainCalls;
}

// Non-white pixels of the canvas in the band of rows [top, bottom).
int InkInRows(int top, int bottom) {
    const QImage& canvas = window::Canvas();
    int ink = 0;
    for (int y = top; y < bottom && y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if ((canvas.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) ++ink;
    return ink;
}

class MissingOutlinesTest : public earth_test::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        window::ResetLayer("/usr/bin/Orvandel");
        window::ResetDrawingState();
        window::SetEndProgramHandler([](int status) { throw EndCalled{status}; });
        ResetGlobe();
        mainCalls = 0;
    }
    void TearDown() override {
        window::DestroyMainWindow();
        window::ResetServices();
        window::ResetLayer();
        ResetGlobe();
        TempFolderTest::TearDown();
    }
    static void ShowWindow() {
        window::CreateMainWindow()->showOverScreen();
        window::Canvas().fill(Qt::white);
        window::SetWritePosition(10, 100);
    }
};

TEST_F(MissingOutlinesTest, WritesTheMessageWaitsForAKeyWithoutTicksThenEnds) {
    ShowWindow();
    window::Layer().mainProcedure = CountingMain;
    QTimer::singleShot(60, [] { window::Layer().keyQueue += 'x'; });
    const std::int32_t ticksBefore = window::Layer().ticks;
    try {
        window::ShowMessageWaitKeyAndEnd(MissingOutlinesMessage);
        FAIL() << "the program did not end";
    } catch (const EndCalled& e) {
        EXPECT_EQ(e.status, 1);
    }
    EXPECT_GT(window::Layer().ticks, ticksBefore); // the timer ran while waiting...
    EXPECT_EQ(mainCalls, 0);                       // ...but called nothing
    EXPECT_TRUE(window::Layer().keyQueue.empty()); // the key was taken
    EXPECT_TRUE(window::Layer().callsEnabled);
    EXPECT_GT(InkInRows(60, 105), 0); // the text at the writing position
    EXPECT_EQ(InkInRows(0, 60), 0);
    const int h = window::CharHeight();
    EXPECT_GT(InkInRows(100, 100 + h), 0); // the line that says a key ends the program
    EXPECT_EQ(InkInRows(100 + h, 400), 0);
}

TEST_F(MissingOutlinesTest, DrawGlobeWithoutFilesEndsTheProgramAfterTheKey) {
    ShowWindow();
    window::Layer().keyQueue = "a";
    try {
        DrawGlobe([](const GlobePoint& p) { return p; },
                  [](const GlobePoint&, std::int32_t&, std::int32_t&) {},
                  [](const GlobePoint&) { return true; }, window::White, 1, true, 30, window::Black);
        FAIL() << "the program did not end";
    } catch (const EndCalled& e) {
        EXPECT_EQ(e.status, 1);
    }
    EXPECT_FALSE(Globe().outlines.loaded);
    EXPECT_GT(InkInRows(60, 105), 0);
}

TEST_F(MissingOutlinesTest, WithoutAMainWindowTheProgramEndsAtOnce) {
    EXPECT_THROW(window::ShowMessageWaitKeyAndEnd(MissingOutlinesMessage), EndCalled);
}

// A batch run replaces the wait: DrawGlobe then reports the message as an
// error and the program goes on, nothing written and no key taken.
TEST_F(MissingOutlinesTest, AReplacedMessageStepMakesTheMissingFilesAnError) {
    ShowWindow();
    window::Layer().keyQueue = "a";
    std::vector<std::string> shown;
    window::SetMessageAndEndHandler([&shown](const std::string& message) { shown.push_back(message); });
    try {
        DrawGlobe([](const GlobePoint& p) { return p; },
                  [](const GlobePoint&, std::int32_t&, std::int32_t&) {},
                  [](const GlobePoint&) { return true; }, window::White, 1, true, 30, window::Black);
        FAIL() << "no error";
    } catch (const window::UserError& e) {
        EXPECT_EQ(std::string(e.what()), MissingOutlinesText());
    }
    EXPECT_EQ(shown, std::vector<std::string>{MissingOutlinesText()});
    EXPECT_EQ(window::Layer().keyQueue, "a");
    EXPECT_EQ(InkInRows(0, 400), 0);
}

} // namespace

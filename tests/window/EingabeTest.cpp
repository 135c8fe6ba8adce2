// The prompt dialog: its sizing, and the real dialog answered by the test
// from inside its modal loop (keys typed into the edit field, Enter).
#include "window/Eingabe.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFontInfo>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

#include "window/FensterGraf.h"
#include "window/Graphics.h"

namespace {

using namespace window;

// ------------------------------------------------------------------ sizing

struct LayoutRow {
    const char* name;
    int promptWidth, defaultLength, editWidthBefore;
    EingabeLayout expected; // dialog, OK, Abbruch, edit left and width, label left and width
    int widest = std::numeric_limits<int>::max(); // the screen's width
};

class EingabeLayoutTest : public ::testing::TestWithParam<LayoutRow> {};

TEST_P(EingabeLayoutTest, Sizes) {
    const LayoutRow& row = GetParam();
    EXPECT_EQ(ComputeEingabeLayout(row.promptWidth, row.defaultLength, row.editWidthBefore, row.widest),
              row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EingabeLayoutTest,
    ::testing::Values(
        // A short prompt with a short default: 344 wide; gaps (344 - 170) / 3 = 58.
        LayoutRow{"ShortPromptShortDefault", 100, 2, 121, {344, 58, 197, 97, 150, 122, 100}},
        // 274 = 344 - 70 does not widen yet; 275 and 300 widen to width + 70.
        LayoutRow{"PromptOf274", 274, 2, 121, {344, 58, 197, 97, 150, 35, 274}},
        LayoutRow{"PromptOf275", 275, 2, 121, {345, 58, 197, 97, 150, 35, 275}},
        LayoutRow{"WidePrompt", 300, 2, 121, {370, 66, 213, 110, 150, 35, 300}},
        // 20 characters: E = 370, so the dialog is 440; the edit field 300.
        LayoutRow{"TwentyCharacters", 100, 20, 121, {440, 90, 261, 70, 300, 170, 100}},
        // A wide prompt beats the default's demand.
        LayoutRow{"WidePromptAndLongDefault", 500, 20, 121, {570, 133, 347, 135, 300, 35, 500}},
        // 7 characters after a prompt that left the field 300 wide: 15*7+70 <= 300
        // <= 45*7, so E stays 300 and the dialog is 370; after the first prompt
        // (121) the same prompt is 344 wide.
        LayoutRow{"CarriedOverWidth", 100, 7, 300, {370, 66, 213, 110, 150, 135, 100}},
        LayoutRow{"SameWithoutCarry", 100, 7, 121, {344, 58, 197, 97, 150, 122, 100}},
        // An empty default: E = 70, the edit field still 150.
        LayoutRow{"EmptyDefault", 0, 0, 121, {344, 58, 197, 97, 150, 172, 0}},
        // Odd differences truncate: (345 - 150) / 2 = 97, (345 - 170) / 3 = 58,
        // (345 - 101) / 2 = 122.
        LayoutRow{"Truncation", 101, 7, 275, {345, 58, 197, 97, 150, 122, 101}},
        // The dialog grows up to the screen's width, the field and the label
        // then keep 10 pixels from its sides: a 10 000-character answer.
        LayoutRow{"HugeAnswer", 100, 10000, 121, {1920, 583, 1247, 10, 1900, 910, 100}, 1920},
        LayoutRow{"PromptWiderThanTheScreen", 1000, 2, 121, {800, 210, 501, 325, 150, 10, 780}, 800},
        // A screen narrower than the narrowest dialog does not shrink it.
        LayoutRow{"NarrowScreen", 100, 2, 121, {344, 58, 197, 97, 150, 122, 100}, 300}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EingabeLayout, AbsurdInputsStayDefined) {
    const EingabeLayout huge = ComputeEingabeLayout(2147483647, 2147483647, 2147483647);
    EXPECT_GT(huge.dialogWidth, 0);
    EXPECT_GE(huge.dialogWidth, huge.editWidth);
    const EingabeLayout negative = ComputeEingabeLayout(-5, -5, -5);
    EXPECT_EQ(negative.dialogWidth, 344);
    EXPECT_EQ(negative.editWidth, 150);
}

// ------------------------------------------------------------ the dialog

// What the test saw each time the dialog was shown.
struct Shown {
    std::string label;
    std::string defaultText;
    std::string title;
    QRect frame;  // outer geometry, screen coordinates
    QSize client; // the client area
    QRect edit, ok, esc, labelRect;
    std::string hint; // the hint under the edit field, empty when hidden
    QRect hintRect;
    bool allSelected = false; // Naechster selected the whole default
    bool editHasFocus = false;
    int ticksAtShow = 0;
};

// The answers to type into the real dialog, one per prompt; "" erases the
// default (Backspace on the selection), an answer of "\n" presses Enter on
// the default unchanged.
struct AnswerScript {
    std::vector<std::string> answers;
    std::vector<Shown> shown;
};

Shown Observe(TEingabeDialog& d) {
    Shown s;
    s.label = d.Label1->text().toStdString();
    s.defaultText = d.Edit->text().toStdString();
    s.title = d.windowTitle().toStdString();
    s.frame = d.frameGeometry();
    s.client = d.size();
    s.edit = d.Edit->geometry();
    s.ok = d.OKBtn->geometry();
    s.esc = d.EscBtn->geometry();
    s.labelRect = d.Label1->geometry();
    s.hint = d.Hint->isVisibleTo(&d) ? d.Hint->text().toStdString() : std::string();
    s.hintRect = d.Hint->geometry();
    s.allSelected = d.Edit->text().isEmpty() || d.Edit->selectedText() == d.Edit->text();
    s.editHasFocus = d.focusWidget() == d.Edit;
    s.ticksAtShow = Layer().ticks;
    return s;
}

void Type(TEingabeDialog& d, const std::string& answer) {
    if (answer == "\n") {
        // Enter on the default.
    } else if (answer.empty()) {
        QTest::keyClick(d.Edit, Qt::Key_Backspace);
    } else {
        for (const QChar c : QString::fromStdString(answer)) {
            if (c.unicode() < 128)
                QTest::keyClick(d.Edit, static_cast<char>(c.unicode()));
            else // QTest's ASCII table has no umlauts
                QTest::sendKeyEvent(QTest::Click, d.Edit, static_cast<Qt::Key>(c.toUpper().unicode()),
                                    QString(c), Qt::NoModifier);
        }
    }
    QTest::keyClick(d.Edit, Qt::Key_Return);
}

void AnswerWith(AnswerScript& script) {
    SetPromptShownHook([&script](TEingabeDialog& d) {
        script.shown.push_back(Observe(d));
        const std::size_t n = script.shown.size();
        if (n > script.answers.size()) {
            ADD_FAILURE() << "more prompts than answers";
            d.Edit->setText("0"); // converts as integer and real: ends any prompt loop
            QTest::keyClick(d.Edit, Qt::Key_Return);
            return;
        }
        Type(d, script.answers[n - 1]);
    });
}

// Columns of the canvas between x0 and x1 (exclusive) that hold anything
// but white in the rows top..bottom-1.
std::vector<int> MarkedColumns(int x0, int x1, int top, int bottom) {
    const QImage& canvas = Canvas();
    std::vector<int> columns;
    for (int x = x0; x < x1; ++x)
        for (int y = top; y < bottom; ++y)
            if ((canvas.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu) {
                columns.push_back(x);
                break;
            }
    return columns;
}

class PromptTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetLayer("/usr/bin/Orvandel");
        ResetDrawingState();
        // An unexpected end of the program fails the whole test run.
        SetEndProgramHandler([](int) {
            ADD_FAILURE() << "EndProgram called";
            std::_Exit(90);
        });
        CreateMainWindow()->showOverScreen();
        CreateEingabeDialog();
        Canvas().fill(Qt::white);
    }
    void TearDown() override {
        SetPromptShownHook(nullptr);
        Layer().mainProcedure = nullptr;
        DestroyEingabeDialog();
        DestroyMainWindow();
        SetEndProgramHandler(nullptr);
    }
};

TEST_F(PromptTest, DialogAsCreated) {
    TEingabeDialog* d = EingabeDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->windowTitle().toStdString(), "Eingabe");
    EXPECT_EQ(d->width(), 336);
    EXPECT_EQ(d->height(), EingabeClientHeight);
    EXPECT_EQ(d->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_TRUE(d->font().bold());
    EXPECT_EQ(d->font().pixelSize(), 11);
    EXPECT_TRUE(d->Label1->font().bold());
    EXPECT_EQ(d->Label1->font().pixelSize(), 15);
    // "MS Sans Serif" resolves through the substitution to a bold sans face.
    EXPECT_EQ(QFontInfo(d->Label1->font()).family().toStdString(), "Liberation Sans");
    EXPECT_EQ(d->Label1->text().toStdString(), "String-Eingabe");
    EXPECT_EQ(d->Label1->geometry(), QRect(0, 24, 104, 16));
    EXPECT_EQ(d->Edit->text().toStdString(), "Eingabestring");
    EXPECT_EQ(d->Edit->geometry(), QRect(108, 65, 121, 21));
    EXPECT_EQ(d->OKBtn->text().toStdString(), "OK");
    EXPECT_TRUE(d->OKBtn->isDefault());
    EXPECT_TRUE(d->OKBtn->toolTip().isEmpty());
    EXPECT_FALSE(d->OKBtn->icon().isNull());
    EXPECT_EQ(d->OKBtn->geometry(), QRect(56, 108, 81, 29));
    EXPECT_EQ(d->EscBtn->text().toStdString(), "Abbruch");
    EXPECT_EQ(d->EscBtn->toolTip().toStdString(), "Abbruch des Programmes");
    EXPECT_FALSE(d->EscBtn->icon().isNull());
    EXPECT_EQ(d->EscBtn->geometry(), QRect(208, 108, 89, 29));
    EXPECT_TRUE(d->toolTip().isEmpty());
    // The edit field is first in the tab order.
    EXPECT_EQ(d->Edit->nextInFocusChain(), d->OKBtn);
    EXPECT_EQ(d->OKBtn->nextInFocusChain(), d->EscBtn);
    EXPECT_EQ(CreateEingabeDialog(), d); // created once, reused
}

TEST_F(PromptTest, RealDialogGeometryAndCarriedOverWidth) {
    AnswerScript script{{"\n", "\n"}, {}};
    AnswerWith(script);
    std::string twenty = "12345678901234567890";
    PromptText("Breite:", twenty);
    std::string seven = "1234567";
    PromptText("Breite:", seven);
    ASSERT_EQ(script.shown.size(), 2u);

    const Shown& first = script.shown[0];
    EXPECT_EQ(first.title, "Eingabe");
    EXPECT_EQ(first.label, "Breite:");
    EXPECT_EQ(first.defaultText, twenty);
    EXPECT_EQ(first.frame.width(), 440); // an outer width, frame included
    EXPECT_EQ(first.client.height(), EingabeClientHeight);
    EXPECT_EQ(first.edit, QRect(70, 65, 300, 21));
    EXPECT_EQ(first.ok, QRect(90, 108, 81, 29));
    EXPECT_EQ(first.esc, QRect(261, 108, 89, 29));
    const int promptWidth = first.labelRect.width();
    EXPECT_GT(promptWidth, 0);
    EXPECT_EQ(first.labelRect, QRect((440 - promptWidth) / 2, 24, promptWidth, 16));

    // Centred on the main window's client area.
    TGrundfenster* main = MainWindow();
    const QPoint origin = main->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(first.frame.x(), origin.x() + (main->width() - 440) / 2);
    EXPECT_EQ(first.frame.y(), origin.y() + (main->height() - first.frame.height()) / 2);

    // The second prompt starts from the 300 pixels the first one left.
    EXPECT_EQ(script.shown[1].frame.width(), 370);
    EXPECT_EQ(script.shown[1].edit, QRect(110, 65, 150, 21));
    // Enter on the default returns it unchanged.
    EXPECT_EQ(twenty, "12345678901234567890");
    EXPECT_EQ(seven, "1234567");
}

TEST_F(PromptTest, WidePromptWidensTheDialog) {
    AnswerScript script{{"\n"}, {}};
    AnswerWith(script);
    const std::string prompt = "Geographische Breite des Beobachters in Grad (Nord positiv):";
    std::string text = "54.3";
    PromptText(prompt, text);
    ASSERT_EQ(script.shown.size(), 1u);
    const int promptWidth = script.shown[0].labelRect.width();
    ASSERT_GT(promptWidth, 274);
    EXPECT_EQ(script.shown[0].frame.width(), promptWidth + 70);
    EXPECT_EQ(script.shown[0].labelRect.x(), 35);
}

// A refused number shows why under the edit field when it is asked again; the
// next question shows no hint.
TEST_F(PromptTest, ARefusedAnswerShowsAHintUnderTheField) {
    AnswerScript script{{"abc", "7", "Nord", "54,3"}, {}};
    AnswerWith(script);
    std::string text = "1";
    std::int32_t integer = 0;
    PromptInteger("Starttag", text, integer);
    astro::Real real = 0;
    PromptReal("Breite", text, real);
    ASSERT_EQ(script.shown.size(), 4u);
    const std::string expected[] = {"", IntegerHint, "", RealHint};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(script.shown[i].hint, expected[i]) << i;
    const Shown& refused = script.shown[1]; // between the field and the buttons
    EXPECT_GE(refused.hintRect.top(), refused.edit.bottom());
    EXPECT_LT(refused.hintRect.bottom(), refused.ok.top());
}

TEST_F(PromptTest, TypingReplacesTheSelectedDefault) {
    AnswerScript script{{"neu"}, {}};
    AnswerWith(script);
    std::string text = "alt";
    PromptText("Text:", text);
    ASSERT_EQ(script.shown.size(), 1u);
    EXPECT_TRUE(script.shown[0].allSelected);
    EXPECT_TRUE(script.shown[0].editHasFocus);
    EXPECT_EQ(text, "neu");
}

TEST_F(PromptTest, ClosingByTheWindowSystemReturnsTheFieldText) {
    SetPromptShownHook([](TEingabeDialog& d) {
        QTest::keyClicks(d.Edit, "halb");
        d.close();
    });
    std::string text = "alt";
    PromptText("Text:", text);
    EXPECT_EQ(text, "halb");
    EXPECT_FALSE(PromptIsOpen());
}

TEST_F(PromptTest, RefusedIntegerRingsTheBellAndAsksAgainWithTheRejectedText) {
    SetTextBackground(LightRed); // makes each written cell visible on the canvas
    SetWritePosition(200, 300);
    const int bell = TextWidth(std::string(1, '\a'));
    ASSERT_GT(bell, 0) << "the bell must advance the writing cursor to be observed";
    const int cellTop = 300 - CharHeight();

    AnswerScript script{{"2147483648", "12 ", "$1F"}, {}};
    AnswerWith(script);
    std::string text = "5";
    std::int32_t value = -1;
    PromptInteger("Ganze Zahl:", text, value);

    EXPECT_EQ(value, 31);
    EXPECT_EQ(text, "$1F");
    ASSERT_EQ(script.shown.size(), 3u);
    EXPECT_EQ(script.shown[0].defaultText, "5");
    EXPECT_EQ(script.shown[1].defaultText, "2147483648");
    EXPECT_EQ(script.shown[2].defaultText, "12 ");
    for (const Shown& s : script.shown) {
        EXPECT_EQ(s.label, "Ganze Zahl:");
        EXPECT_TRUE(s.allSelected);
    }
    // Two bells, side by side from the writing position: the cursor advanced.
    std::vector<int> expected;
    for (int x = 200; x < 200 + 2 * bell; ++x)
        expected.push_back(x);
    EXPECT_EQ(MarkedColumns(190, 200 + 3 * bell + 10, cellTop, 300), expected);
}

TEST_F(PromptTest, RealAcceptsACommaAndKeepsItInTheText) {
    SetTextBackground(LightRed);
    SetWritePosition(200, 300);
    const int bell = TextWidth(std::string(1, '\a'));
    ASSERT_GT(bell, 0);

    AnswerScript script{{"54.3 ", "Nord", "54,3"}, {}};
    AnswerWith(script);
    std::string text = "10.1";
    astro::Real value = 0;
    PromptReal("Breite:", text, value);

    EXPECT_EQ(value, 54.3L);
    EXPECT_EQ(text, "54,3");
    ASSERT_EQ(script.shown.size(), 3u);
    EXPECT_EQ(script.shown[1].defaultText, "54.3 ");
    EXPECT_EQ(script.shown[2].defaultText, "Nord");
    EXPECT_EQ(MarkedColumns(190, 200 + 3 * bell + 10, 300 - CharHeight(), 300).size(),
              static_cast<std::size_t>(2 * bell));
}

TEST_F(PromptTest, GoodAnswerRingsNoBell) {
    SetTextBackground(LightRed);
    SetWritePosition(200, 300);
    AnswerScript script{{"-7"}, {}};
    AnswerWith(script);
    std::string text = "0";
    std::int32_t value = 0;
    PromptInteger("Zahl:", text, value);
    EXPECT_EQ(value, -7);
    EXPECT_TRUE(MarkedColumns(190, 260, 300 - CharHeight(), 300).empty());
}

struct CharRow {
    const char* name;
    char before;
    std::string answer;
    char after;
};

class PromptCharTest : public PromptTest, public ::testing::WithParamInterface<CharRow> {};

TEST_P(PromptCharTest, LastCharacterOfTheAnswer) {
    const CharRow& row = GetParam();
    AnswerScript script{{row.answer}, {}};
    AnswerWith(script);
    char ch = row.before;
    PromptChar("Äquator zeichnen (j/n)?", ch);
    ASSERT_EQ(script.shown.size(), 1u);
    EXPECT_EQ(script.shown[0].defaultText, std::string(1, row.before));
    EXPECT_EQ(script.shown[0].label, "Äquator zeichnen (j/n)?");
    EXPECT_EQ(ch, row.after);
}

INSTANTIATE_TEST_SUITE_P(Rows, PromptCharTest,
                         ::testing::Values(CharRow{"Nein", 'j', "nein", 'n'}, CharRow{"Ja", 'n', "ja", 'a'},
                                           CharRow{"Nj", 'n', "nj", 'j'},
                                           CharRow{"DefaultKept", 'j', "\n", 'j'},
                                           CharRow{"EmptyKeepsPrevious", 'j', "", 'j'},
                                           // A non-ASCII answer gives its Windows-1252 character.
                                           CharRow{"Umlaut", 'n', "\xC3\xA4", '\xE4'}),
                         [](const auto& info) { return std::string(info.param.name); });

// The main procedure, counting the calls that arrive while a prompt is open.
int nestedCalls = 0;
void CountNestedCalls() {
    if (PromptIsOpen()) ++nestedCalls;
}

TEST_F(PromptTest, TimerTicksReachTheMainProcedureWhileThePromptIsOpen) {
    nestedCalls = 0;
    Layer().mainProcedure = &CountNestedCalls;
    int ticksAtShow = -1, ticksAtAnswer = -1, nestedAtAnswer = -1;
    SetPromptShownHook([&](TEingabeDialog& d) {
        ticksAtShow = Layer().ticks;
        // Answer once the main procedure has been entered a few times from
        // the dialog's modal loop; the deadline only keeps a broken build
        // from hanging.
        auto* poll = new QTimer(&d);
        auto* deadline = new QTimer(&d);
        deadline->setSingleShot(true);
        auto answer = [&, poll, deadline, dialog = &d] {
            poll->stop();
            deadline->stop();
            ticksAtAnswer = Layer().ticks;
            nestedAtAnswer = nestedCalls;
            Type(*dialog, "42");
            poll->deleteLater();
            deadline->deleteLater();
        };
        QObject::connect(poll, &QTimer::timeout, &d, [answer] {
            if (nestedCalls >= 5) answer();
        });
        QObject::connect(deadline, &QTimer::timeout, &d, answer);
        poll->start(1);
        deadline->start(5000);
    });
    std::string text = "0";
    std::int32_t value = 0;
    PromptInteger("Zahl:", text, value);
    EXPECT_EQ(value, 42);
    EXPECT_GE(nestedAtAnswer, 5);
    EXPECT_GE(ticksAtAnswer - ticksAtShow, 5);
}

// A main procedure that opens a prompt from within its tick, as the
// application's start does, and counts the ticks that re-enter it meanwhile.
struct PromptFromTick {
    int calls = 0, nested = 0;
    bool prompted = false, answered = false;
    std::int32_t value = 0;
} fromTick;
void PromptOnFirstTick() {
    ++fromTick.calls;
    if (PromptIsOpen()) {
        ++fromTick.nested;
        return;
    }
    if (fromTick.prompted) return;
    fromTick.prompted = true;
    std::string text = "0";
    PromptInteger("Zahl:", text, fromTick.value);
    fromTick.answered = true;
}

TEST_F(PromptTest, APromptOpenedInATickKeepsTheTicksComing) {
    fromTick = {};
    SetPromptShownHook([](TEingabeDialog& d) {
        // The poll timer belongs to the dialog's modal loop, so it runs even
        // when no tick arrives; it answers after a second at the latest.
        auto* poll = new QTimer(&d);
        auto* shownAt = new QElapsedTimer;
        shownAt->start();
        QObject::connect(poll, &QTimer::destroyed, [shownAt] { delete shownAt; });
        QObject::connect(poll, &QTimer::timeout, &d, [poll, shownAt, dialog = &d] {
            if (fromTick.nested < 5 && shownAt->elapsed() < 1000) return;
            poll->stop();
            poll->deleteLater();
            Type(*dialog, "7");
        });
        poll->start(1);
    });
    Layer().mainProcedure = &PromptOnFirstTick;
    QEventLoop loop;
    QTimer done;
    QObject::connect(&done, &QTimer::timeout, &loop, [&loop] {
        if (fromTick.answered) loop.quit();
    });
    done.start(1);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit); // keeps a broken build from hanging
    loop.exec();
    EXPECT_TRUE(fromTick.answered);
    EXPECT_EQ(fromTick.value, 7);
    EXPECT_GE(fromTick.nested, 5) << "no tick re-entered the main procedure while its prompt was open";
    EXPECT_EQ(Layer().tickDepth, 0);
}

TEST_F(PromptTest, NestedPromptReturnsAtOnce) {
    std::string nestedText = "unverändert";
    std::int32_t nestedValue = 17;
    bool wasOpen = false;
    SetPromptShownHook([&](TEingabeDialog& d) {
        wasOpen = PromptIsOpen();
        PromptInteger("Noch eine?", nestedText, nestedValue); // must not block or loop
        PromptText("Noch eine?", nestedText);
        Type(d, "1");
    });
    std::string text = "0";
    std::int32_t value = 0;
    PromptInteger("Zahl:", text, value);
    EXPECT_TRUE(wasOpen);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(nestedText, "unverändert");
    EXPECT_EQ(nestedValue, 17);
}

// "Abbruch" and Esc end the program at once. The child process of each death
// test ends through the handler with a status of its own.
class PromptDeathTest : public PromptTest {};

TEST_F(PromptDeathTest, EscEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            SetEndProgramHandler([](int status) { std::_Exit(40 + status); });
            SetPromptShownHook([](TEingabeDialog& d) { QTest::keyClick(d.Edit, Qt::Key_Escape); });
            std::string text = "x";
            PromptText("Text:", text);
            std::_Exit(1); // the prompt returned: wrong
        },
        ::testing::ExitedWithCode(40), "");
}

TEST_F(PromptDeathTest, AbbruchButtonEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            SetEndProgramHandler([](int status) { std::_Exit(40 + status); });
            SetPromptShownHook([](TEingabeDialog& d) { QTest::mouseClick(d.EscBtn, Qt::LeftButton); });
            std::string text = "x";
            PromptText("Text:", text);
            std::_Exit(1);
        },
        ::testing::ExitedWithCode(40), "");
}

} // namespace

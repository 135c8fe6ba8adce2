// Prompted input: the modal dialog TEingabeDialog, created hidden at start
// and reused for every prompt, and the operations that ask for a text, a
// character, an integer or a real number through it.
//
// While a prompt is open the dialog runs its own modal loop (QDialog::exec),
// in which the main window's timer keeps ticking: the main procedure is
// entered again inside a prompt, and callers must tolerate that.
#pragma once

#include <QDialog>
#include <QMargins>
#include <QRect>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>

#include "astro/Numeric.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace window {

// Sizes of the dialog for one prompt, in pixels; dialogWidth is the outer
// width, the left positions are relative to the dialog's client area.
struct EingabeLayout {
    int dialogWidth = 0;
    int okLeft = 0;
    int escLeft = 0;
    int editLeft = 0;
    int editWidth = 0; // also the width carried over to the next prompt
    int labelLeft = 0;
    int labelWidth = 0;
    friend bool operator==(const EingabeLayout&, const EingabeLayout&) = default;
};

// The dialog's sizes for a prompt promptWidth pixels wide (in the label's
// font) with a default text of defaultLength characters, when the previous
// prompt left the edit field editWidthBefore wide (121 before the first one).
// Divisions truncate. The dialog grows with its prompt and its default up to
// widestDialog (the width of the screen it is centred on; never below the
// dialog's narrowest, 344): the edit field and the label then keep a margin
// of EingabeSideMargin on either side, and the field scrolls its text.
EingabeLayout ComputeEingabeLayout(int promptWidth, int defaultLength, int editWidthBefore,
                                   int widestDialog = std::numeric_limits<int>::max());
inline constexpr int EingabeSideMargin = 10;

// The height of the dialog's client area; it never changes.
inline constexpr int EingabeClientHeight = 167;

class TEingabeDialog : public QDialog {
  public:
    explicit TEingabeDialog(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* Edit = nullptr;
    // Under the edit field: why the previous answer was refused (hidden
    // when it was not).
    QLabel* Hint = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* EscBtn = nullptr;

    // Activation: the edit field gets the focus and all its text is selected,
    // so typing replaces the default and Enter accepts it unchanged.
    void Naechster();
    // "Abbruch" or Esc: ends the program at once.
    void EscBtnClick();

    // Sizes, fills and centres the dialog for a prompt (it stays hidden).
    void PrepareFor(const std::string& prompt, const std::string& defaultText);

  protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // Sizes and places the window for the current layout: the client area is
    // set directly, from the frame that the window system reported last.
    void PlaceWindow();
    // Takes the frame margins once the shown window has them; a frame that
    // differs from the one used places the window again.
    void TakeFrameMargins();

    EingabeLayout layout_;
    QRect area_;     // the area the dialog is centred on, screen coordinates
    QMargins frame_; // none until a window manager reports one
};

// Creates the hidden dialog (the program entry, after the main window); a
// second call returns the existing one.
TEingabeDialog* CreateEingabeDialog();
// The dialog, or nullptr before it is created (or after its parent, the main
// window, was destroyed).
TEingabeDialog* EingabeDialog();
// Destroys the dialog (tests).
void DestroyEingabeDialog();
// True while a prompt is open.
bool PromptIsOpen();

// Each operation shows the dialog modally with the prompt and a default and
// returns when it closes, however it was closed ("OK", Enter, or the window
// system); "Abbruch" and Esc end the program. Called while a prompt is already
// open (a nested main-procedure call), they return at once and change nothing.

// text: the default on entry, the edit field's text on return (UTF-8).
void PromptText(const std::string& prompt, std::string& text);
// ch (a Windows-1252 character): the default on entry; on return the last
// character of the answer. An empty answer keeps ch.
void PromptChar(const std::string& prompt, char& ch);
// The hints under the edit field after a refused number.
inline constexpr const char* IntegerHint = "Bitte eine ganze Zahl eingeben.";
inline constexpr const char* RealHint = "Bitte eine Zahl eingeben.";

// Refuses an answer: writes the bell character (code 7) through WriteText,
// sounds the system's beep, and shows `hint` under the edit field of the next
// prompt (the question asked again).
void RefuseAnswer(const std::string& hint);

// Asks until the answer converts with TextToInteger; each refusal
// (RefuseAnswer with IntegerHint) asks again with the rejected answer as the
// default.
void PromptInteger(const std::string& prompt, std::string& text, std::int32_t& value);
// As PromptInteger with TextToReal (and RealHint), where a "," in the answer
// counts as the decimal point; text keeps the answer as typed.
void PromptReal(const std::string& prompt, std::string& text, astro::Real& value);

// Test hook: called inside the modal loop each time the dialog has been shown
// for a prompt (nullptr: none). A test answers the real dialog from it, for
// instance with QTest::keyClicks on Edit and a Return key.
void SetPromptShownHook(std::function<void(TEingabeDialog&)> hook);

} // namespace window

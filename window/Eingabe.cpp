#include "window/Eingabe.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdint>

#include "window/FensterGraf.h"
#include "window/Graphics.h"
#include "window/NumberText.h"
#include "window/TextFiles.h"

namespace window {

namespace {

// Sizes of the dialog as created, in pixels.
constexpr int ClientWidthAsCreated = 336;
constexpr int OkWidth = 81;
constexpr int EscWidth = 89;
constexpr int ButtonTop = 108, ButtonHeight = 29;
constexpr int LabelTop = 24, LabelHeight = 16;
constexpr int EditTop = 65, EditHeight = 21;
constexpr int EditWidthAsCreated = 121;
constexpr int HintTop = EditTop + EditHeight + 2, HintHeight = 16;

// The prompt module's state: the dialog (owned by its parent, the main
// window, when there is one; the pointer clears itself when the dialog is
// destroyed) and the test hook. The edit field's width, the
// only value carried from one prompt to the next, lives in the dialog.
struct PromptState {
    QPointer<TEingabeDialog> dialog;
    std::function<void(TEingabeDialog&)> shownHook;
    std::string hint; // for the next prompt: why the previous answer was refused
};

PromptState& Prompts() {
    static PromptState state;
    return state;
}

// A green tick for "OK".
QIcon ConfirmGlyph() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(0, 140, 0), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    QPainterPath tick;
    tick.moveTo(2.5, 8.5);
    tick.lineTo(6.5, 12.5);
    tick.lineTo(13.5, 3.5);
    painter.drawPath(tick);
    return QIcon(pixmap);
}

// A red cross in a circle for "Abbruch".
QIcon CancelGlyph() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(170, 0, 0), 1.2));
    painter.setBrush(QColor(220, 30, 30));
    painter.drawEllipse(QRectF(1.0, 1.0, 14.0, 14.0));
    painter.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(5.0, 5.0), QPointF(11.0, 11.0));
    painter.drawLine(QPointF(11.0, 5.0), QPointF(5.0, 11.0));
    return QIcon(pixmap);
}

QFont SansBold(int pixelSize) {
    QFont font("MS Sans Serif");
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

} // namespace

EingabeLayout ComputeEingabeLayout(int promptWidth, int defaultLength, int editWidthBefore,
                                   int widestDialog) {
    // Clamped so that no product below can overflow; no real prompt comes
    // near these limits.
    const std::int64_t P = std::clamp(promptWidth, 0, 1'000'000);
    const std::int64_t L = std::clamp(defaultLength, 0, 100'000);
    std::int64_t E = std::clamp(editWidthBefore, 0, 10'000'000);

    std::int64_t D = 344;
    if (P > D - 70) D = P + 70;
    if (15 * L + 70 > E)
        E = 15 * L + 70;
    else if (45 * L < E)
        E = 45 * L;
    if (E + 70 > D) D = E + 70;
    const std::int64_t widest = std::max(widestDialog, 344);
    if (D > widest) D = widest;
    const std::int64_t innerWidth = D - 2 * EingabeSideMargin; // what a field or the label may fill

    EingabeLayout layout;
    layout.dialogWidth = static_cast<int>(D);
    layout.okLeft = static_cast<int>((D - OkWidth - EscWidth) / 3);
    layout.escLeft = 2 * layout.okLeft + OkWidth;
    const std::int64_t editWidth = std::min(std::max<std::int64_t>(15 * L, 150), innerWidth);
    layout.editWidth = static_cast<int>(editWidth);
    layout.editLeft = static_cast<int>((D - editWidth) / 2);
    const std::int64_t labelWidth = std::min(P, innerWidth);
    layout.labelWidth = static_cast<int>(labelWidth);
    layout.labelLeft = static_cast<int>((D - labelWidth) / 2);
    return layout;
}

TEingabeDialog::TEingabeDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle("Eingabe");
    setFont(SansBold(11));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    setFixedSize(ClientWidthAsCreated, EingabeClientHeight);

    Label1 = new QLabel("String-Eingabe", this);
    Label1->setObjectName("Label1");
    Label1->setFont(SansBold(15));
    QPalette labelPalette = Label1->palette();
    labelPalette.setColor(QPalette::WindowText, Qt::black);
    Label1->setPalette(labelPalette);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    Label1->setGeometry(0, LabelTop, 104, LabelHeight);

    Edit = new QLineEdit("Eingabestring", this);
    Edit->setObjectName("Edit");
    Edit->setGeometry(108, EditTop, EditWidthAsCreated, EditHeight);

    OKBtn = new QPushButton(ConfirmGlyph(), "OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setGeometry(56, ButtonTop, OkWidth, ButtonHeight);
    OKBtn->setDefault(true);

    EscBtn = new QPushButton(CancelGlyph(), "Abbruch", this);
    EscBtn->setObjectName("EscBtn");
    EscBtn->setGeometry(208, ButtonTop, EscWidth, ButtonHeight);
    EscBtn->setToolTip("Abbruch des Programmes");

    setTabOrder(Edit, OKBtn);
    setTabOrder(OKBtn, EscBtn);

    // Created last: the edit field and the buttons lead the focus chain.
    Hint = new QLabel(this);
    Hint->setObjectName("Hint");
    QPalette hintPalette = Hint->palette();
    hintPalette.setColor(QPalette::WindowText, QColor(190, 0, 0));
    Hint->setPalette(hintPalette);
    Hint->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    Hint->hide();

    QObject::connect(OKBtn, &QPushButton::clicked, this, [this] { accept(); });
    QObject::connect(EscBtn, &QPushButton::clicked, this, [this] { EscBtnClick(); });
}

void TEingabeDialog::Naechster() {
    Edit->setFocus(Qt::ActiveWindowFocusReason);
    Edit->selectAll();
}

void TEingabeDialog::EscBtnClick() {
    EndProgram(0);
}

void TEingabeDialog::PrepareFor(const std::string& prompt, const std::string& defaultText) {
    const QString promptText = QString::fromStdString(prompt);
    const QString defaultValue = QString::fromStdString(defaultText);

    // Centred on the main window's client area (or on the screen when there
    // is no main window), in screen coordinates; never wider than it.
    if (TGrundfenster* main = MainWindow())
        area_ = QRect(main->mapToGlobal(QPoint(0, 0)), main->size());
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area_ = screen->geometry();
    const int promptWidth = QFontMetrics(Label1->font()).horizontalAdvance(promptText);
    const int length = static_cast<int>(defaultValue.toUcs4().size());
    layout_ = ComputeEingabeLayout(promptWidth, length, Edit->width(),
                                   area_.isEmpty() ? std::numeric_limits<int>::max() : area_.width());

    OKBtn->move(layout_.okLeft, ButtonTop);
    EscBtn->move(layout_.escLeft, ButtonTop);
    Edit->setGeometry(layout_.editLeft, EditTop, layout_.editWidth, EditHeight);
    Edit->setText(defaultValue);
    Label1->setText(promptText);
    Label1->setGeometry(layout_.labelLeft, LabelTop, layout_.labelWidth, LabelHeight);
    PromptState& state = Prompts();
    Hint->setText(QString::fromStdString(state.hint));
    Hint->setGeometry(EingabeSideMargin, HintTop, layout_.dialogWidth - 2 * EingabeSideMargin, HintHeight);
    Hint->setVisible(!state.hint.empty());
    state.hint.clear();
    if (windowHandle() == nullptr) create();
    PlaceWindow();
    setWindowTitle("Eingabe");
}

void TEingabeDialog::PlaceWindow() {
    // The layout's width and the centring are the outer window's. Setting the
    // client area (never the frame's corner) with one known frame keeps the
    // window where it was from one prompt to the next, whatever the window
    // manager reports about a hidden window.
    const int clientWidth = std::max(1, layout_.dialogWidth - frame_.left() - frame_.right());
    const int outerHeight = EingabeClientHeight + frame_.top() + frame_.bottom();
    const QPoint outer(area_.x() + (area_.width() - layout_.dialogWidth) / 2,
                       area_.y() + (area_.height() - outerHeight) / 2);
    setFixedSize(clientWidth, EingabeClientHeight);
    setGeometry(QRect(outer + QPoint(frame_.left(), frame_.top()), QSize(clientWidth, EingabeClientHeight)));
}

void TEingabeDialog::TakeFrameMargins() {
    // A window manager reports the frame only for a shown window, and only
    // some time after the first show: the first prompt is placed again then.
    if (!isVisible() || windowHandle() == nullptr) return;
    const QMargins reported = windowHandle()->frameMargins();
    if (reported.isNull() || reported == frame_) return;
    frame_ = reported;
    PlaceWindow();
}

bool TEingabeDialog::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) {
        TakeFrameMargins();
        Naechster();
    }
    return QDialog::event(e);
}

void TEingabeDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    TakeFrameMargins();
    // Without a window manager no window becomes active by itself, and the
    // activation may never be reported: activate explicitly and do the
    // activation's work here as well. (A newly shown window is on top of the
    // stacking order already.)
    activateWindow();
    Naechster();
    if (Prompts().shownHook) {
        QPointer<TEingabeDialog> self(this);
        QTimer::singleShot(0, this, [self] {
            if (self && self->isVisible() && Prompts().shownHook) Prompts().shownHook(*self);
        });
    }
}

void TEingabeDialog::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        EscBtnClick();
        return;
    }
    QDialog::keyPressEvent(e);
}

TEingabeDialog* CreateEingabeDialog() {
    PromptState& state = Prompts();
    if (state.dialog) return state.dialog;
    TGrundfenster* main = MainWindow();
    state.dialog = new TEingabeDialog(main);
    state.dialog->setModal(true);
    return state.dialog;
}

TEingabeDialog* EingabeDialog() {
    return Prompts().dialog;
}

void DestroyEingabeDialog() {
    PromptState& state = Prompts();
    delete state.dialog.data();
    state.dialog = nullptr;
}

bool PromptIsOpen() {
    const TEingabeDialog* dialog = Prompts().dialog;
    return dialog != nullptr && dialog->isVisible();
}

void SetPromptShownHook(std::function<void(TEingabeDialog&)> hook) {
    Prompts().shownHook = std::move(hook);
}

void PromptText(const std::string& prompt, std::string& text) {
    if (PromptIsOpen()) return;
    TEingabeDialog* dialog = CreateEingabeDialog();
    dialog->PrepareFor(prompt, text);
    // How the dialog was closed is not examined: OK, Enter and closing by the
    // window system all return the field's text ("Abbruch" never returns).
    RunModalWithTicks([dialog] { dialog->exec(); });
    text = dialog->Edit->text().toStdString();
}

void PromptChar(const std::string& prompt, char& ch) {
    if (PromptIsOpen()) return;
    std::string text = Cp1252ToUtf8(std::string(1, ch));
    PromptText(prompt, text);
    const std::string answer = Utf8ToCp1252(text);
    if (!answer.empty()) ch = answer.back();
}

void RefuseAnswer(const std::string& hint) {
    WriteText(std::string(1, '\a'));
    QApplication::beep();
    Prompts().hint = hint;
}

void PromptInteger(const std::string& prompt, std::string& text, std::int32_t& value) {
    if (PromptIsOpen()) return;
    for (;;) {
        PromptText(prompt, text);
        std::int32_t converted = 0, errorPos = 0;
        TextToInteger(text, converted, errorPos);
        if (errorPos == 0) {
            value = converted;
            return;
        }
        RefuseAnswer(IntegerHint);
    }
}

void PromptReal(const std::string& prompt, std::string& text, astro::Real& value) {
    if (PromptIsOpen()) return;
    for (;;) {
        PromptText(prompt, text);
        std::string pointed = text;
        std::replace(pointed.begin(), pointed.end(), ',', '.');
        astro::Real converted = 0;
        std::int32_t errorPos = 0;
        TextToReal(pointed, converted, errorPos);
        if (errorPos == 0) {
            value = converted;
            return;
        }
        RefuseAnswer(RealHint);
    }
}

} // namespace window

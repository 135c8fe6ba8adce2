// The main window: its creation, timer, keys, mouse and canvas; the key
// queue and the modal loop that keeps the ticks coming.
#include "window/FensterGraf.h"

#include <QApplication>
#include <QFont>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "window/Graphics.h"
#include "window/TextFiles.h"

namespace window {

namespace {

// The size of the key queue: longer bursts of keys are dropped.
constexpr std::size_t KeyQueueCapacity = 255;

// The picture components lie over the client area, one below the other.
constexpr int PictureWidth = 2680;
constexpr int PictureHeight = 2280;

// The start-up trace for developers (bench/startup.sh): when the environment
// variable ORVANDEL_STARTUP_TRACE holds the launch time in microseconds since
// the epoch, the program writes to stderr how long after it the main window
// first showed a picture that a tick drew, and another window of the program
// (the prompt dialog) was first painted:
//   Orvandel startup: picture 231456 us
//   Orvandel startup: dialog 245012 us
struct StartupTrace {
    bool active = false;
    long long launchMicroseconds = 0;
    bool tickDrew = false; // a tick has drawn into the canvas
    bool pictureReported = false;
    bool dialogReported = false;
};

// The window module's own state besides the layer state proper: the window
// and the canvas used before the window exists (the replaceable services
// are in Services.cpp).
struct WindowModule {
    TGrundfenster* mainWindow = nullptr;
    QImage offscreenCanvas; // before a main window exists
    bool canvasChanged = false;
    StartupTrace trace;
    std::vector<QTimer*> modalTimers; // the tick timers of the modal loops now running, innermost last
};

WindowModule& Module() {
    static WindowModule module;
    return module;
}

QSize PrimaryScreenSize() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        if (QScreen* screen = QGuiApplication::primaryScreen()) return screen->geometry().size();
    }
    return QSize(1024, 768);
}

void AppendKey(int code) {
    std::string& queue = Layer().keyQueue;
    if (queue.size() < KeyQueueCapacity) queue.push_back(static_cast<char>(static_cast<unsigned char>(code)));
    if (TGrundfenster* window = Module().mainWindow) window->WakeTimers();
}

// The modifier state that the key rules look at: the keypad flag and the
// keyboard group say where a key lies, not which modifiers are held.
Qt::KeyboardModifiers HeldModifiers(Qt::KeyboardModifiers modifiers) {
    return modifiers & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
}

// The key-down table beyond F1..F12: the queue codes of the cursor and
// editing keys, whatever the modifiers.
struct KeyDownRow {
    int key;  // Qt::Key
    int code; // the code put into the key queue
};
constexpr std::array<KeyDownRow, 10> KeyDownTable = {{
    {Qt::Key_Left, 13},
    {Qt::Key_Right, 14},
    {Qt::Key_Up, 15},
    {Qt::Key_Down, 16},
    {Qt::Key_Home, 17},
    {Qt::Key_End, 18},
    {Qt::Key_PageUp, 19},
    {Qt::Key_PageDown, 20},
    {Qt::Key_Insert, 21},
    {Qt::Key_Delete, 22},
}};

// The code of the key-down table, or 0. `modifiers` are held modifiers.
int KeyDownCode(int key, Qt::KeyboardModifiers modifiers) {
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
        const int n = key - Qt::Key_F1;
        if (modifiers == Qt::NoModifier) return 1 + n;
        if (modifiers == Qt::ShiftModifier) return 28 + n;
        return 0;
    }
    for (const KeyDownRow& row : KeyDownTable)
        if (row.key == key) return row.code;
    return 0;
}

// Keys that are handled by the key-down table alone and never give a
// character, whatever the modifiers.
bool IsTableKey(int key) {
    return (key >= Qt::Key_F1 && key <= Qt::Key_F35) || KeyDownCode(key, Qt::NoModifier) != 0;
}

// The Windows-1252 byte of a character, or 0 when the code page has none.
int CharacterByte(char32_t c) {
    if (c < 0x80) return static_cast<int>(c);
    const std::string bytes = Utf8ToCp1252(QString::fromUcs4(&c, 1).toStdString());
    if (bytes.size() != 1 || bytes[0] == '?') return 0;
    return static_cast<unsigned char>(bytes[0]);
}

// The characters that a key press translates to, as single-byte codes.
// Under X the text of Ctrl+letter is unreliable (empty for Ctrl+C), so the
// control characters 1..26 come from the key itself.
std::string CharactersOf(const QKeyEvent& event, Qt::KeyboardModifiers modifiers) {
    const int key = event.key();
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool alt = modifiers.testFlag(Qt::AltModifier);
    std::string out;
    if (ctrl && !alt) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z) {
            out.push_back(static_cast<char>(1 + (key - Qt::Key_A)));
        } else if (event.text().size() == 1) {
            const char16_t c = event.text().at(0).unicode();
            if (c >= 1 && c < 32) out.push_back(static_cast<char>(c));
        }
        return out;
    }
    if (alt) return out; // Alt with a key is a menu accelerator, not a character
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return std::string(1, '\r');
    case Qt::Key_Escape:
        return std::string(1, '\x1b');
    case Qt::Key_Backspace:
        return std::string(1, '\b');
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return std::string(1, '\t');
    default:
        break;
    }
    for (char32_t c : event.text().toUcs4()) {
        if (c < 32 || c == 127) continue;
        if (const int byte = CharacterByte(c); byte != 0) out.push_back(static_cast<char>(byte));
    }
    return out;
}

int ButtonsCode(Qt::MouseButtons buttons) {
    const bool left = buttons.testFlag(Qt::LeftButton);
    const bool right = buttons.testFlag(Qt::RightButton);
    if (left && right) return 3;
    if (left) return 1;
    if (right) return 2;
    return 0;
}

void ReportStartup(const char* what, bool& reported) {
    StartupTrace& trace = Module().trace;
    if (!trace.active || reported) return;
    reported = true;
    using namespace std::chrono;
    const long long now = duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
    std::fprintf(stderr, "Orvandel startup: %s %lld us\n", what, now - trace.launchMicroseconds);
    std::fflush(stderr);
}

// Sees the first paint of any window of the program other than the main window.
class DialogPaintWatch : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            const auto* widget = qobject_cast<QWidget*>(object);
            if (widget != nullptr && widget->window() != Module().mainWindow)
                ReportStartup("dialog", Module().trace.dialogReported);
        }
        return false;
    }
};

void StartStartupTrace(QObject* owner) {
    const char* value = std::getenv("ORVANDEL_STARTUP_TRACE");
    StartupTrace& trace = Module().trace;
    if (value == nullptr || *value == '\0' || trace.active) return;
    trace.active = true;
    trace.launchMicroseconds = std::strtoll(value, nullptr, 10);
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(new DialogPaintWatch(owner));
}

} // namespace

LayerState& Layer() {
    static LayerState layer;
    return layer;
}

std::string ProgramNameFromPath(const std::string& path) {
    // Only the last component is looked at, so that a "." in a folder name
    // cannot cut the name.
    const std::size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

void ResetLayer(const std::string& programPath) {
    LayerState& layer = Layer();
    layer = LayerState{};
    layer.programName = ProgramNameFromPath(programPath);
    const QSize screen = PrimaryScreenSize();
    layer.screenWidth = screen.width();
    layer.screenHeight = screen.height();
}

// ---------------------------------------------------------------- window

TGrundfenster::TGrundfenster() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
    Module().mainWindow = this;
    Module().canvasChanged = false; // the first paint shows the new canvas
    RegisterFontSubstitutions();

    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect screenRect = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
    setGeometry(screenRect);

    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent); // paintEvent covers every pixel
    setCursor(Qt::CrossCursor);
    QFont windowFont(QStringLiteral("System"));
    windowFont.setPixelSize(13);
    setFont(windowFont);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);

    canvas_ = QImage(screenRect.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    canvas_.fill(Qt::white);

    // The two picture components hold no picture and draw nothing; they pass
    // every mouse event on to the window (their origins coincide with the
    // window's for every point on the screen).
    GrafikBMP = new QWidget(this);
    GrafikBMP->setObjectName(QStringLiteral("GrafikBMP"));
    GrafikBMP->setGeometry(0, 0, PictureWidth, PictureHeight);
    grGrafikBMP = new QWidget(this);
    grGrafikBMP->setObjectName(QStringLiteral("grGrafikBMP"));
    grGrafikBMP->setGeometry(0, PictureHeight, PictureWidth, PictureHeight);
    for (QWidget* picture : {GrafikBMP, grGrafikBMP}) {
        picture->setAttribute(Qt::WA_TransparentForMouseEvents);
        picture->setAttribute(Qt::WA_NoSystemBackground);
        picture->setFocusPolicy(Qt::NoFocus);
    }

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(1);
    Timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(Timer, &QTimer::timeout, this, [this] { OnTimerOf(*Timer); });

    StartStartupTrace(this);
    OnCreate();
    Timer->start();
}

TGrundfenster::~TGrundfenster() {
    EndPainting(); // the canvas goes with the window
    if (Module().mainWindow == this) Module().mainWindow = nullptr;
}

QImage& TGrundfenster::canvas() {
    EndPainting();
    return canvas_;
}

void TGrundfenster::showOverScreen() {
    QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) setGeometry(screen->geometry());
    // With a window manager the maximised state keeps the window over the
    // screen; without one only the geometry above does.
    setWindowState(windowState() | Qt::WindowMaximized);
    show();
    raise();
    activateWindow(); // no window manager activates it otherwise; never wait for it
}

void TGrundfenster::OnCreate() {
    LayerState& layer = Layer();
    layer.screenWidth = geometry().width();
    layer.screenHeight = geometry().height();
    UseWindowFont();
    setWindowTitle(QString::fromStdString(layer.programName));
    LoadWindowCreationPalette();
}

void TGrundfenster::OnTimer() {
    LayerState& layer = Layer();
    layer.idleUntilKey = false; // each tick decides afresh
    // Wraps after 2^32 ticks (about 50 days) instead of overflowing.
    layer.ticks = static_cast<std::int32_t>(static_cast<std::uint32_t>(layer.ticks) + 1u);
    std::string caption = layer.programName;
    if (!layer.statusText.empty()) caption += ": " + layer.statusText;
    const QString title = QString::fromStdString(caption);
    if (title != windowTitle()) setWindowTitle(title);

    if (layer.callsEnabled && !layer.errorBoxOpen) {
        ++layer.tickDepth;
        RunGuarded(layer.mainProcedure);
        --layer.tickDepth;
    }
}

void TGrundfenster::OnTimerOf(QTimer& timer) {
    OnTimer();
    LayerState& layer = Layer();
    if (!layer.idleUntilKey) return;
    layer.idleUntilKey = false;
    timer.stop();
}

void TGrundfenster::WakeTimers() {
    // Only IdleUntilKey stops these timers, after their tick, so none of
    // them starts again inside a tick of its own.
    if (!Timer->isActive()) Timer->start();
    for (QTimer* timer : Module().modalTimers)
        if (!timer->isActive()) timer->start();
}

void TGrundfenster::OnKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    modifiers = HeldModifiers(modifiers);
    if (modifiers == Qt::ControlModifier && key == Qt::Key_C) EndProgram(0);
    if (const int code = KeyDownCode(key, modifiers); code != 0) AppendKey(code);
}

void TGrundfenster::OnKeyPressed(int character) {
    if (character == 13) character = 23; // 13 is the left arrow's code
    if (character <= 0 || character > 255) return;
    AppendKey(character);
}

void TGrundfenster::OnMouseMove(int x, int y, Qt::MouseButtons buttons) {
    LayerState& layer = Layer();
    layer.mouseX = x;
    layer.mouseY = y;
    layer.mouseButtons = ButtonsCode(buttons);
}

void TGrundfenster::OnMouseDown(int x, int y, Qt::MouseButtons buttons) {
    OnMouseMove(x, y, buttons);
}

void TGrundfenster::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = HeldModifiers(event->modifiers());
    OnKeyDown(event->key(), modifiers);
    // The keys of the key-down table give no character, so that each key
    // press reaches the queue at most once.
    if (!IsTableKey(event->key())) {
        for (char c : CharactersOf(*event, modifiers))
            OnKeyPressed(static_cast<unsigned char>(c));
    }
    event->accept();
}

void TGrundfenster::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    OnMouseMove(p.x(), p.y(), event->buttons());
}

void TGrundfenster::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    OnMouseDown(p.x(), p.y(), event->buttons());
}

void TGrundfenster::mouseReleaseEvent(QMouseEvent* event) {
    // buttons() of a release no longer holds the released button.
    const QPoint p = event->position().toPoint();
    OnMouseDown(p.x(), p.y(), event->buttons());
}

void TGrundfenster::paintEvent(QPaintEvent* event) {
    // The primitives' painter ends before the canvas is shown; the next
    // primitive begins a new one.
    EndPainting();
    Module().canvasChanged = false;
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, Qt::white);
    painter.drawImage(area.topLeft(), canvas_, area);
    if (Module().trace.tickDrew) ReportStartup("picture", Module().trace.pictureReported);
}

void TGrundfenster::resizeEvent(QResizeEvent* event) {
    // The canvas is the screen's size; a window that grows beyond it (a
    // second, larger screen) gets a larger canvas with the old picture kept.
    const QSize wanted = canvas_.size().expandedTo(event->size());
    if (wanted != canvas_.size()) {
        EndPainting(); // the old canvas is read and then replaced
        QImage larger(wanted, QImage::Format_RGB32);
        larger.fill(Qt::white);
        QPainter painter(&larger);
        painter.drawImage(0, 0, canvas_);
        painter.end();
        canvas_ = larger;
    }
    QWidget::resizeEvent(event);
}

bool TGrundfenster::event(QEvent* event) {
    // Every key goes to the window's own handler first, Tab and Shift+Tab
    // included (they would otherwise move the focus).
    if (event->type() == QEvent::KeyPress) {
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QWidget::event(event);
}

TGrundfenster* MainWindow() {
    return Module().mainWindow;
}

TGrundfenster* CreateMainWindow() {
    if (Module().mainWindow == nullptr) new TGrundfenster();
    return Module().mainWindow;
}

void DestroyMainWindow() {
    delete Module().mainWindow;
}

QImage& Canvas() {
    EndPainting();
    return DrawingCanvas();
}

QImage& DrawingCanvas() {
    WindowModule& m = Module();
    if (m.mainWindow != nullptr) return m.mainWindow->drawingCanvas();
    if (m.offscreenCanvas.isNull()) {
        m.offscreenCanvas = QImage(PrimaryScreenSize(), QImage::Format_RGB32);
        m.offscreenCanvas.fill(Qt::white);
    }
    return m.offscreenCanvas;
}

void CanvasChanged() {
    // One repaint request per change after the last paint: the request is
    // served by whichever message loop runs next (the main loop after the
    // tick, or the loop of a dialog that the tick opened).
    WindowModule& m = Module();
    if (Layer().tickDepth > 0) m.trace.tickDrew = true;
    if (m.canvasChanged) return;
    m.canvasChanged = true;
    if (m.mainWindow != nullptr) m.mainWindow->update();
}

bool MainWindowIsActive() {
    TGrundfenster* w = MainWindow();
    if (w == nullptr) return false;
    if (w->isActiveWindow()) return true;
    // Without a window manager nothing may have decided activation at all.
    return QApplication::activeWindow() == nullptr && QApplication::activeModalWidget() == nullptr &&
           w->isVisible();
}

// ---------------------------------------------------------------- services

void IdleUntilKey() {
    Layer().idleUntilKey = true;
}

bool KeyAvailable() {
    return !Layer().keyQueue.empty();
}

std::uint8_t NextKey() {
    std::string& queue = Layer().keyQueue;
    if (queue.empty()) return 0;
    const auto code = static_cast<std::uint8_t>(queue.front());
    queue.erase(0, 1);
    return code;
}

void RunModalWithTicks(const std::function<void()>& modalLoop) {
    TGrundfenster* window = MainWindow();
    if (window == nullptr || Layer().tickDepth == 0) {
        // Outside a tick the main window's own timer goes on ticking.
        modalLoop();
        return;
    }
    QTimer nestedTicks;
    nestedTicks.setInterval(1);
    QObject::connect(&nestedTicks, &QTimer::timeout, window,
                     [window, &nestedTicks] { window->OnTimerOf(nestedTicks); });
    // Registered while the loop runs, so that a key can wake its ticks.
    struct Registration {
        QTimer* timer;
        explicit Registration(QTimer* t) : timer(t) { Module().modalTimers.push_back(t); }
        ~Registration() {
            std::vector<QTimer*>& timers = Module().modalTimers;
            timers.erase(std::remove(timers.begin(), timers.end(), timer), timers.end());
        }
    } registration(&nestedTicks);
    nestedTicks.start();
    modalLoop();
}

void RegisterFontSubstitutions() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    // Liberation Mono has the metrics of Courier New.
    QFont::insertSubstitution(QStringLiteral("Courier"), QStringLiteral("Liberation Mono"));
    QFont::insertSubstitution(QStringLiteral("System"), QStringLiteral("Liberation Mono"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}

} // namespace window

// The one QPainter of the drawing primitives and the cache of the text font.
#include <QCoreApplication>
#include <QGuiApplication>
#include <algorithm>

#include "window/FensterGraf.h"
#include "window/GraphicsKernel.h"

namespace window {

namespace kernel {

QColor ToQColor(const Rgb& c) {
    return QColor(c.r, c.g, c.b);
}

bool HaveGuiApplication() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

void ReleaseFonts() {
    for (FontEntry& entry : Kernel().fonts.entries)
        entry = FontEntry{};
}

namespace {

// The painter and the cached fonts must not outlive the application that
// their font engines belong to.
void EndWithApplication() {
    EndPainting();
    ReleaseFonts();
    Kernel().painter.painter.reset();
    Kernel().painter.endsWithApplication = false;
}

void EndWithApplicationOnce() {
    SharedPainter& sp = Kernel().painter;
    if (sp.endsWithApplication || QCoreApplication::instance() == nullptr) return;
    qAddPostRoutine(EndWithApplication);
    sp.endsWithApplication = true;
}

QFont MakeFont(const FontSpec& spec) {
    QFont f(QString::fromStdString(spec.family));
    if (spec.pointSize > 0)
        f.setPointSize(spec.pointSize);
    else
        f.setPixelSize(spec.pixelSize);
    f.setBold(spec.bold);
    f.setStyleStrategy(QFont::NoAntialias);
    // Full hinting gives whole-pixel advances: a fixed-pitch text is then
    // exactly its length times CharWidth wide.
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

} // namespace

const FontEntry& CurrentFont() {
    FontCache& c = Kernel().fonts;
    const FontSpec& spec = Kernel().drawing.font;
    QImage& canvas = DrawingCanvas();
    const int dpi = canvas.logicalDpiY();
    FontEntry* entry = &c.entries[0];
    for (FontEntry& e : c.entries) {
        if (e.serial != 0 && e.dpi == dpi && e.spec == spec) {
            entry = &e;
            break;
        }
        if (e.lastUse < entry->lastUse) entry = &e; // the least recently used (an empty one first)
    }
    if (entry->serial == 0 || entry->dpi != dpi || !(entry->spec == spec)) {
        EndWithApplicationOnce();
        entry->spec = spec;
        entry->dpi = dpi;
        entry->font = MakeFont(spec);
        entry->metrics.emplace(*entry->font, &canvas);
        entry->charWidth = entry->metrics->horizontalAdvance(QStringLiteral("T"));
        entry->charHeight = entry->metrics->height();
        entry->serial = ++c.lastSerial;
    }
    entry->lastUse = ++c.uses;
    return *entry;
}

const QFontMetrics& Metrics() {
    return *CurrentFont().metrics;
}

void MeasureFont() {
    DrawingState& s = Kernel().drawing;
    if (!HaveGuiApplication()) {
        s.charWidth = s.charHeight = 0;
        return;
    }
    const FontEntry& font = CurrentFont();
    s.charWidth = font.charWidth;
    s.charHeight = font.charHeight;
}

QPainter& Painter() {
    SharedPainter& sp = Kernel().painter;
    QImage& canvas = DrawingCanvas();
    if (sp.canvas != &canvas || !sp.painter || !sp.painter->isActive()) {
        EndPainting();
        EndWithApplicationOnce();
        if (!sp.painter) sp.painter = std::make_unique<QPainter>();
        QPainter& painter = *sp.painter;
        // A canvas that cannot be painted (a null image) leaves the painter
        // inactive: Qt then ignores what the primitive draws, and the next
        // primitive tries again.
        if (painter.begin(&canvas)) {
            sp.canvas = &canvas;
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.setRenderHint(QPainter::TextAntialiasing, false);
            painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        }
        sp.pen = SharedPainter::Pen::Unknown;
        sp.solidBrush = false;
        sp.fontSerial = 0;
    }
    return *sp.painter;
}

void UseLinePen(QPainter& painter, const Rgb& colour) {
    SharedPainter& sp = Kernel().painter;
    const std::int32_t width = std::max<std::int32_t>(Kernel().drawing.lineWidth, 0);
    if (sp.pen == SharedPainter::Pen::Line && sp.penColour == colour && sp.penWidth == width) return;
    painter.setPen(QPen(ToQColor(colour), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    sp.pen = SharedPainter::Pen::Line;
    sp.penColour = colour;
    sp.penWidth = width;
}

void UseTextPen(QPainter& painter, const Rgb& colour) {
    SharedPainter& sp = Kernel().painter;
    if (sp.pen == SharedPainter::Pen::Text && sp.penColour == colour) return;
    painter.setPen(ToQColor(colour));
    sp.pen = SharedPainter::Pen::Text;
    sp.penColour = colour;
}

void UseNoPen(QPainter& painter) {
    SharedPainter& sp = Kernel().painter;
    if (sp.pen == SharedPainter::Pen::None) return;
    painter.setPen(Qt::NoPen);
    sp.pen = SharedPainter::Pen::None;
}

void UseBrush(QPainter& painter, const Rgb& colour) {
    SharedPainter& sp = Kernel().painter;
    if (sp.solidBrush && sp.brushColour == colour) return;
    painter.setBrush(ToQColor(colour));
    sp.solidBrush = true;
    sp.brushColour = colour;
}

void Drawn() {
    CanvasChanged();
    if (Kernel().painter.onePerPrimitive) EndPainting();
}

void UseFont(QPainter& painter, const FontEntry& font) {
    SharedPainter& sp = Kernel().painter;
    if (sp.fontSerial == font.serial) return;
    painter.setFont(*font.font);
    sp.fontSerial = font.serial;
}

} // namespace kernel

void SetOnePainterPerPrimitive(bool on) {
    kernel::Kernel().painter.onePerPrimitive = on;
    EndPainting();
}

void EndPainting() {
    kernel::SharedPainter& sp = kernel::Kernel().painter;
    if (sp.painter && sp.painter->isActive()) sp.painter->end();
    sp.canvas = nullptr;
}

} // namespace window

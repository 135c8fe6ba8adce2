#include "window/CalendarPage.h"

#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QString>
#include <algorithm>
#include <cmath>

#include "window/TextFiles.h"

namespace window {

namespace {

using astro::Real;

// The page's layout, mm.
constexpr Real SideMargin = 15;
constexpr Real TitleTop = 11, TitleHeight = 11;
constexpr Real SubtitleTop = 22, SubtitleHeight = 7;
constexpr Real HeadsTop = 32, HeadsHeight = 7;
constexpr Real GridTop = 40, GridBottom = 280;
constexpr Real LegendTop = 282, LegendHeight = 7;
// A cell's contents, from the top of a block of ContentHeight that is
// centred in the cell: the number, the disc, the horizon line, the lines.
constexpr Real ContentHeight = 40;
constexpr Real NumberInset = 1.5, NumberHeight = 6;
constexpr Real DiscCentreY = 14, DiscRadius = 6.5;
constexpr Real HorizonY = 21.5, HorizonHalfLength = 9.5;
constexpr Real LinesTop = 22.5, LineHeight = 3.9;
// Line widths, mm.
constexpr Real FrameLine = 0.35, GridLine = 0.2, PhaseFrameLine = 0.7, DiscLine = 0.25, HatchLine = 0.15;
constexpr Real HatchSpacing = 0.9;
// Font sizes, points.
constexpr Real TitlePoints = 22, SubtitlePoints = 11, HeadPoints = 10, NumberPoints = 12, LinePoints = 8.5,
               LegendPoints = 8.5;

constexpr const char* FontFamily = "Liberation Sans";
constexpr Real MmPerInch = 25.4L;
constexpr Real MmPerPoint = MmPerInch / 72;

// Millimetres to the device's pixels.
class Page {
  public:
    explicit Page(Real dotsPerInch) : pixelsPerMm_(static_cast<qreal>(dotsPerInch / MmPerInch)) {}
    qreal Length(Real mm) const { return static_cast<qreal>(mm) * pixelsPerMm_; }
    QPointF Point(Real x, Real y) const { return QPointF(Length(x), Length(y)); }
    QRectF Rect(Real left, Real top, Real width, Real height) const {
        return QRectF(Length(left), Length(top), Length(width), Length(height));
    }
    QRectF Rect(const CalendarRect& r) const { return Rect(r.left, r.top, r.width, r.height); }
    QFont Font(Real points, bool bold) const {
        QFont font(FontFamily);
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(Length(points * MmPerPoint)))));
        font.setBold(bold);
        return font;
    }

  private:
    qreal pixelsPerMm_;
};

// Text in a rectangle, the font made smaller where the text would not fit
// its width.
void DrawFittedText(QPainter& painter, const QRectF& rect, int flags, const std::string& text, QFont font) {
    const QString s = QString::fromStdString(text);
    const qreal width = QFontMetricsF(font, painter.device()).horizontalAdvance(s);
    if (width > rect.width() && width > 0)
        font.setPixelSize(std::max(1, static_cast<int>(std::floor(font.pixelSize() * rect.width() / width))));
    painter.setFont(font);
    painter.drawText(rect, flags, s);
}

QPen Pen(const Page& page, Real widthMm, Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(Qt::black, page.Length(widthMm), style, Qt::FlatCap, Qt::MiterJoin);
    return pen;
}

// The lit part of a disc of radius r about the origin whose bright limb
// points along +x (y down): the semicircle on that side, closed by the
// terminator, a half ellipse whose semi-axis along x is r (2 k - 1). Its area
// is k times the disc's.
QPainterPath LitPart(qreal r, Real litFraction) {
    const qreal c = static_cast<qreal>(std::clamp<Real>(2 * litFraction - 1, -1, 1));
    QPainterPath path;
    path.moveTo(0, -r);
    path.arcTo(QRectF(-r, -r, 2 * r, 2 * r), 90, -180); // over the bright limb to the bottom
    const qreal a = std::fabs(c) * r;
    if (a > 0)
        path.arcTo(QRectF(-a, -r, 2 * a, 2 * r), 270, c > 0 ? -180 : 180); // through the dark side: gibbous
    else
        path.lineTo(0, -r);
    path.closeSubpath();
    return path;
}

void DrawMoon(QPainter& painter, const Page& page, const CalendarDisc& disc,
              const CalendarMoonPicture& moon) {
    const qreal r = page.Length(disc.radius);
    const qreal turn = -static_cast<qreal>(astro::RadiansToDegrees(moon.brightLimbAngle));
    painter.save();
    painter.translate(page.Point(disc.centreX, disc.centreY));
    // Counter-clockwise on the page, whose y axis points down.
    painter.rotate(turn);
    QPainterPath whole;
    whole.addEllipse(QPointF(0, 0), r, r);
    const QPainterPath lit = LitPart(r, moon.litFraction);
    painter.setPen(Qt::NoPen);
    if (moon.aboveHorizon) {
        painter.setBrush(Qt::black);
        painter.drawPath(whole.subtracted(lit));
    } else {
        // Below the horizon the dark part is hatched, in lines that keep
        // the page's diagonal.
        painter.setClipPath(whole.subtracted(lit));
        painter.rotate(-turn);
        painter.setPen(Pen(page, HatchLine));
        for (qreal d = -2 * r; d <= 2 * r; d += page.Length(HatchSpacing))
            painter.drawLine(QPointF(d - r, r), QPointF(d + r, -r));
        painter.setClipping(false);
        painter.rotate(turn);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Pen(page, DiscLine, moon.aboveHorizon ? Qt::SolidLine : Qt::DashLine));
    painter.drawEllipse(QPointF(0, 0), r, r);
    painter.restore();
}

void DrawDay(QPainter& painter, const Page& page, const CalendarSheet& sheet, const CalendarDay& day) {
    const CalendarRect cell = CalendarCellRect(sheet, day.column, day.row);
    const Real top = cell.top + (cell.height - ContentHeight) / 2;
    const Real middle = cell.left + cell.width / 2;
    DrawFittedText(painter,
                   page.Rect(cell.left + NumberInset, cell.top + NumberInset / 2,
                             cell.width - 2 * NumberInset, NumberHeight),
                   Qt::AlignLeft | Qt::AlignTop, day.number, page.Font(NumberPoints, true));

    DrawMoon(painter, page, CalendarMoonDisc(sheet, day.column, day.row), day.moon);
    painter.setPen(Pen(page, GridLine));
    painter.drawLine(page.Point(middle - HorizonHalfLength, top + HorizonY),
                     page.Point(middle + HorizonHalfLength, top + HorizonY));

    Real y = top + LinesTop;
    const Real width = cell.width - 2 * NumberInset;
    for (const std::string& line : day.lines) {
        DrawFittedText(painter, page.Rect(cell.left + NumberInset, y, width, LineHeight), Qt::AlignCenter,
                       line, page.Font(LinePoints, false));
        y = y + LineHeight;
    }
    if (day.phase.empty()) return;
    for (const std::string* line : {&day.phase, &day.phaseTime}) {
        DrawFittedText(painter, page.Rect(cell.left + NumberInset, y, width, LineHeight), Qt::AlignCenter,
                       *line, page.Font(LinePoints, true));
        y = y + LineHeight;
    }
    const Real inset = PhaseFrameLine / 2 + GridLine;
    painter.setPen(Pen(page, PhaseFrameLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(
        page.Rect(cell.left + inset, cell.top + inset, cell.width - 2 * inset, cell.height - 2 * inset));
}

void DrawPage(QPainter& painter, Real dotsPerInch, const CalendarSheet& sheet) {
    const Page page(dotsPerInch);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setPen(Qt::black);
    const Real width = CalendarPageWidthMm - 2 * SideMargin;
    DrawFittedText(painter, page.Rect(SideMargin, TitleTop, width, TitleHeight), Qt::AlignCenter, sheet.title,
                   page.Font(TitlePoints, true));
    DrawFittedText(painter, page.Rect(SideMargin, SubtitleTop, width, SubtitleHeight), Qt::AlignCenter,
                   sheet.subtitle, page.Font(SubtitlePoints, false));
    const CalendarRect grid = CalendarGridRect(sheet);
    const Real column = grid.width / 7;
    for (int c = 0; c < 7 && c < static_cast<int>(sheet.weekdays.size()); ++c)
        DrawFittedText(painter, page.Rect(grid.left + c * column, HeadsTop, column, HeadsHeight),
                       Qt::AlignHCenter | Qt::AlignBottom, sheet.weekdays[static_cast<std::size_t>(c)],
                       page.Font(HeadPoints, true));

    painter.setBrush(Qt::NoBrush);
    painter.setPen(Pen(page, GridLine));
    for (int c = 1; c < 7; ++c)
        painter.drawLine(page.Point(grid.left + c * column, grid.top),
                         page.Point(grid.left + c * column, grid.top + grid.height));
    const Real row = sheet.rows > 0 ? grid.height / sheet.rows : grid.height;
    for (int r = 1; r < sheet.rows; ++r)
        painter.drawLine(page.Point(grid.left, grid.top + r * row),
                         page.Point(grid.left + grid.width, grid.top + r * row));
    painter.setPen(Pen(page, FrameLine));
    painter.drawRect(page.Rect(grid));

    for (const CalendarDay& day : sheet.days)
        DrawDay(painter, page, sheet, day);

    painter.setPen(Qt::black);
    DrawFittedText(painter, page.Rect(SideMargin, LegendTop, width, LegendHeight), Qt::AlignCenter,
                   sheet.legend, page.Font(LegendPoints, false));
}

std::string Bytes(const QByteArray& data) {
    return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

} // namespace

CalendarRect CalendarGridRect(const CalendarSheet&) {
    return CalendarRect{SideMargin, GridTop, CalendarPageWidthMm - 2 * SideMargin, GridBottom - GridTop};
}

CalendarRect CalendarCellRect(const CalendarSheet& sheet, int column, int row) {
    const CalendarRect grid = CalendarGridRect(sheet);
    const Real width = grid.width / 7;
    const Real height = grid.height / std::max<std::int32_t>(sheet.rows, 1);
    return CalendarRect{grid.left + column * width, grid.top + row * height, width, height};
}

CalendarDisc CalendarMoonDisc(const CalendarSheet& sheet, int column, int row) {
    const CalendarRect cell = CalendarCellRect(sheet, column, row);
    return CalendarDisc{cell.left + cell.width / 2,
                        cell.top + (cell.height - ContentHeight) / 2 + DiscCentreY, DiscRadius};
}

std::string CalendarPagePng(const CalendarSheet& sheet) {
    const Real pixelsPerMm = CalendarPngDotsPerInch / MmPerInch;
    QImage image(static_cast<int>(std::lround(CalendarPageWidthMm * pixelsPerMm)),
                 static_cast<int>(std::lround(CalendarPageHeightMm * pixelsPerMm)), QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(std::lround(pixelsPerMm * 1000));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        DrawPage(painter, CalendarPngDotsPerInch, sheet);
    }
    QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (grey.isNull() || !grey.save(&buffer, "PNG")) throw UserError("Das Bild kann nicht kodiert werden.");
    return Bytes(data);
}

std::string CalendarPagePdf(const CalendarSheet& sheet) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(1200);
        writer.setTitle(QString::fromStdString(sheet.title));
        writer.setCreator("Orvandel");
        QPainter painter;
        if (!painter.begin(&writer)) throw UserError("Die PDF-Datei kann nicht erzeugt werden.");
        DrawPage(painter, writer.resolution(), sheet);
        if (!painter.end()) throw UserError("Die PDF-Datei kann nicht erzeugt werden.");
    }
    if (data.isEmpty()) throw UserError("Die PDF-Datei kann nicht erzeugt werden.");
    return Bytes(data);
}

void WriteCalendarPage(const CalendarSheet& sheet, const std::string& path, bool pdf) {
    WriteFileReplacing(path, pdf ? CalendarPagePdf(sheet) : CalendarPagePng(sheet));
}

} // namespace window

// The pixel masks of short lines drawn with a wide pen.
#include <QPainter>
#include <algorithm>

#include "window/FensterGraf.h"
#include "window/GraphicsKernel.h"

namespace window::kernel {

namespace {

// A line of a wide pen is the costly primitive: Qt strokes it as an outline
// with round caps and fills that, some 1.7 µs a line; a line of width 1 costs
// a tenth of it, still several times the writing of its few pixels, and a
// globe is thousands of lines. Qt's pixels of a
// line between whole-pixel points depend only on the pen and on the line's
// vector, not on where it starts, as long as the line lies inside the image
// (tests compare every vector below with Qt's own line at many places). So
// the pixels of each short vector are found once, by Qt on a scratch image,
// and then written onto the canvas in the line's colour. Lines that reach
// the canvas's edge, longer lines and other pens are drawn by Qt.
constexpr std::int32_t MaskMinWidth = 1;
constexpr std::int32_t MaskMaxWidth = 4;
constexpr std::int32_t MaskMaxStep = 32; // |x2 - x1| and |y2 - y1| at most
constexpr int MaskSide = 2 * MaskMaxStep + 1;
// The scratch image, with the start point at its centre: no line of the
// masks comes near its edge (where Qt would begin to clip the outline).
constexpr int MaskScratchSize = 256;
constexpr int MaskScratchOrigin = MaskScratchSize / 2;
// Beyond any pixel of a line, round the box of its ends (a round cap reaches
// half the width out): the part of the scratch image a mask is made in.
constexpr int MaskMargin = MaskMaxWidth + 12;

const LineMask& MaskOf(std::int32_t width, std::int32_t dx, std::int32_t dy) {
    LineMasks& m = Kernel().masks;
    if (m.masks.empty())
        m.masks.resize(static_cast<std::size_t>(MaskMaxWidth - MaskMinWidth + 1) * MaskSide * MaskSide);
    LineMask& mask = m.masks[(static_cast<std::size_t>(width - MaskMinWidth) * MaskSide +
                              static_cast<std::size_t>(dx + MaskMaxStep)) *
                                 MaskSide +
                             static_cast<std::size_t>(dy + MaskMaxStep)];
    if (mask.made) return mask;
    if (m.scratch.isNull()) m.scratch = QImage(MaskScratchSize, MaskScratchSize, QImage::Format_RGB32);
    const QRgb background = qRgb(255, 255, 255);
    // Only the line's part of the scratch is cleared and read: a mask is made
    // for every vector a picture uses, so its making must stay cheap.
    const int boxLeft = MaskScratchOrigin + std::min(dx, 0) - MaskMargin;
    const int boxRight = MaskScratchOrigin + std::max(dx, 0) + MaskMargin;
    const int boxTop = MaskScratchOrigin + std::min(dy, 0) - MaskMargin;
    const int boxBottom = MaskScratchOrigin + std::max(dy, 0) + MaskMargin;
    for (int y = boxTop; y <= boxBottom; ++y) {
        auto* row = reinterpret_cast<QRgb*>(m.scratch.scanLine(y));
        std::fill(row + boxLeft, row + boxRight + 1, background);
    }
    {
        // The pen of UseLinePen; its colour does not change which pixels it covers.
        QPainter painter(&m.scratch);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(QColor(0, 0, 0), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPoint points[2] = {QPoint(MaskScratchOrigin, MaskScratchOrigin),
                                  QPoint(MaskScratchOrigin + dx, MaskScratchOrigin + dy)};
        painter.drawPolyline(points, 2);
    }
    mask.runs.clear();
    for (int y = boxTop; y <= boxBottom; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(m.scratch.constScanLine(y));
        int x = boxLeft;
        while (x <= boxRight) {
            if ((row[x] & 0xFFFFFFu) == (background & 0xFFFFFFu)) {
                ++x;
                continue;
            }
            const int x0 = x;
            while (x + 1 <= boxRight && (row[x + 1] & 0xFFFFFFu) != (background & 0xFFFFFFu))
                ++x;
            const int dyRow = y - MaskScratchOrigin, left = x0 - MaskScratchOrigin,
                      right = x - MaskScratchOrigin;
            mask.runs.push_back(MaskRun{static_cast<std::int16_t>(dyRow), static_cast<std::int16_t>(left),
                                        static_cast<std::int16_t>(right)});
            if (mask.runs.size() == 1) {
                mask.left = left;
                mask.right = right;
                mask.top = mask.bottom = dyRow;
            } else {
                mask.left = std::min(mask.left, left);
                mask.right = std::max(mask.right, right);
                mask.bottom = dyRow;
            }
            ++x;
        }
    }
    mask.made = true;
    return mask;
}

} // namespace

bool DrawLineFromMask(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, const Rgb& colour) {
    const std::int32_t width = Kernel().drawing.lineWidth;
    if (width < MaskMinWidth || width > MaskMaxWidth || Kernel().painter.onePerPrimitive) return false;
    const std::int64_t dx = std::int64_t{x2} - x1, dy = std::int64_t{y2} - y1;
    if (dx < -MaskMaxStep || dx > MaskMaxStep || dy < -MaskMaxStep || dy > MaskMaxStep) return false;
    QImage& canvas = DrawingCanvas();
    if (canvas.format() != QImage::Format_RGB32) return false;
    const LineMask& mask = MaskOf(width, static_cast<std::int32_t>(dx), static_cast<std::int32_t>(dy));
    if (mask.runs.empty() || std::int64_t{x1} + mask.left < 0 || std::int64_t{y1} + mask.top < 0 ||
        std::int64_t{x1} + mask.right >= canvas.width() || std::int64_t{y1} + mask.bottom >= canvas.height())
        return false;
    // The value Qt stores for an opaque colour in an RGB32 image.
    const QRgb value = qRgb(colour.r, colour.g, colour.b);
    uchar* bits = canvas.bits();
    const qsizetype bytesPerLine = canvas.bytesPerLine();
    for (const MaskRun& run : mask.runs) {
        auto* row = reinterpret_cast<QRgb*>(bits + (y1 + run.dy) * bytesPerLine);
        std::fill(row + x1 + run.x0, row + x1 + run.x1 + 1, value);
    }
    return true;
}

} // namespace window::kernel

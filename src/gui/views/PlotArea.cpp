#include "views/PlotArea.h"

#include "views/ChartPlot.h"
#include "views/StripRaster.h"

#include <algorithm>
#include <cmath>

namespace {
QRgb Opaque(const QColor& colour) {
    return colour.rgb() | 0xff000000u;
}

// The value axis's zero tick, where the grid draws its zero line (unless that pen draws nothing).
bool ZeroLineAt(const QCPAxis* value, double tick) {
    return std::abs(tick) < value->range().size() * 1e-6 && value->grid()->zeroLinePen().style() != Qt::NoPen;
}

// Tick keys are recomputed from the range at every drawing; to the millisecond they are the same keys.
double TickKey(double key) {
    return std::round(key * 1000) / 1000;
}
} // namespace

PlotArea::PlotArea(ChartPlot* plot) : QCPLayerable(plot), m_plot(plot) {
    setAntialiased(false);
}

void PlotArea::applyDefaultAntialiasingHint(QCPPainter* painter) const {
    applyAntialiasingHint(painter, mAntialiased, QCP::aeGrid);
}

// As the axes' grids draw them: a line at each tick, the zero line in its own pen.
void PlotArea::drawGridLines(QCPPainter* painter) const {
    const QCPAxis* time = m_traces[0]->keyAxis();
    const QCPAxis* value = m_traces[0]->valueAxis();
    const QRect area = time->axisRect()->rect();
    painter->setPen(time->grid()->pen());
    for (double tick : time->tickVector()) {
        const double x = time->coordToPixel(tick);
        painter->drawLine(QLineF(x, area.bottom(), x, area.top()));
    }
    for (double tick : value->tickVector()) {
        const double y = value->coordToPixel(tick);
        painter->setPen(ZeroLineAt(value, tick) ? value->grid()->zeroLinePen() : value->grid()->pen());
        painter->drawLine(QLineF(area.left(), y, area.right(), y));
    }
}

bool PlotArea::DrawsOnScreen(const QCPPainter* painter, const QCustomPlot* plot) {
    return !painter->modes().testFlag(QCPPainter::pmVectorized) &&
           !painter->modes().testFlag(QCPPainter::pmNoCaching) && plot->bufferDevicePixelRatio() == 1;
}

PlotArea::Frame PlotArea::currentFrame() const {
    const QCPAxis* time = m_traces[0]->keyAxis();
    const QCPAxis* value = m_traces[0]->valueAxis();
    Frame frame;
    frame.size = time->axisRect()->size();
    if (frame.size.isEmpty())
        return frame;
    frame.secondsPerPixel = m_timeSpan / frame.size.width();
    frame.rightColumn = KeyColumn(time->range().upper, frame.secondsPerPixel);
    const QVector<double> timeTicks = time->tickVector();
    if (timeTicks.size() >= 2)
        frame.timeTickStep = TickKey(timeTicks[1] - timeTicks[0]);
    frame.range = value->range();
    frame.valueTicks.assign(value->tickVector().cbegin(), value->tickVector().cend());
    frame.gridColour = Opaque(value->grid()->pen().color());
    frame.zeroColour = Opaque(value->grid()->zeroLinePen().color());
    for (int i = 0; i < kTraceCount; ++i) {
        const QCPGraph* trace = m_traces[i];
        if (trace->visible())
            frame.traceColours[i] = Opaque(trace->pen().color());
        const QCPGraphDataContainer& samples = *trace->data();
        if (!samples.isEmpty())
            frame.keys[i] = std::make_pair(samples.constBegin()->key, (samples.constEnd() - 1)->key);
    }
    return frame;
}

std::optional<int> PlotArea::firstChangedColumn(const Frame& now) const {
    if (!m_drawn || m_picture.size() != now.size)
        return std::nullopt;
    const Frame& drawn = *m_drawn;
    if (drawn.size != now.size || drawn.secondsPerPixel != now.secondsPerPixel ||
        drawn.timeTickStep != now.timeTickStep || drawn.range != now.range ||
        drawn.valueTicks != now.valueTicks || drawn.gridColour != now.gridColour ||
        drawn.zeroColour != now.zeroColour || drawn.traceColours != now.traceColours)
        return std::nullopt;
    const int width = now.size.width();
    const int64_t moved = now.rightColumn - drawn.rightColumn;
    if (moved < 0 || moved >= width)
        return std::nullopt;
    // Where a column's number puts it in the picture as the view stands now.
    const auto xOf = [&](double key) {
        return std::clamp<int64_t>(KeyColumn(key, now.secondsPerPixel) - now.rightColumn + width, 0, width);
    };
    int from = int(width - moved);
    for (int i = 0; i < kTraceCount; ++i) {
        if (!now.traceColours[i] || (!drawn.keys[i] && !now.keys[i]))
            continue;
        if (!now.keys[i])
            return std::nullopt;
        if (!drawn.keys[i]) {
            from = std::min(from, int(xOf(now.keys[i]->first)));
            continue;
        }
        const auto [drawnFirst, drawnNewest] = *drawn.keys[i];
        const auto [first, newest] = *now.keys[i];
        // Cleared (a clock set back), or old samples dropped where they could still show.
        if (newest < drawnNewest || first > drawnNewest)
            return std::nullopt;
        if (first != drawnFirst && KeyColumn(drawnFirst, now.secondsPerPixel) >= now.rightColumn - width - 1)
            return std::nullopt;
        // The column of the newest drawn sample gains the new ones' line.
        from = std::min(from, int(xOf(drawnNewest)));
    }
    return from;
}

void PlotArea::draw(QCPPainter* painter) {
    if (!m_traces[0])
        return;
    if (!DrawsOnScreen(painter, mParentPlot)) {
        drawGridLines(painter);
        return;
    }
    const Frame now = currentFrame();
    if (now.size.isEmpty())
        return;
    std::optional<int> from = firstChangedColumn(now);
    if (from) {
        ScrollLeft(m_picture, int(now.rightColumn - m_drawn->rightColumn));
    } else {
        if (m_picture.size() != now.size)
            m_picture = QImage(now.size, QImage::Format_RGB32);
        from = 0;
        ++m_wholeDrawings;
    }
    if (*from < now.size.width())
        drawColumns(now, *from);
    m_drawn = now;
    painter->drawImage(m_traces[0]->keyAxis()->axisRect()->topLeft(), m_picture);
}

void PlotArea::drawColumns(const Frame& now, int fromX) {
    const int width = now.size.width();
    const QRgb background = Opaque(m_plot->backgroundBrush().color());
    for (int y = 0; y < m_picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(m_picture.scanLine(y));
        std::fill(row + fromX, row + width, background);
    }
    const QCPAxis* time = m_traces[0]->keyAxis();
    const QCPAxis* value = m_traces[0]->valueAxis();
    const QRgb timeGrid = Opaque(time->grid()->pen().color());
    for (double tick : time->tickVector()) {
        const int64_t x = KeyColumn(TickKey(tick), now.secondsPerPixel) - now.rightColumn + width;
        if (x >= fromX && x < width)
            DrawDottedColumn(m_picture, int(x), timeGrid);
    }
    const int top = value->axisRect()->top();
    for (double tick : now.valueTicks) {
        const int y = qRound(value->coordToPixel(tick)) - top;
        if (ZeroLineAt(value, tick))
            DrawPixelLine(m_picture, {fromX, y}, {width - 1, y}, now.zeroColour, fromX);
        else
            DrawDottedRow(m_picture, y, now.rightColumn - width, now.gridColour, fromX);
    }
    for (int i = 0; i < kTraceCount; ++i)
        if (now.traceColours[i])
            drawTrace(*m_traces[i]->data(), now, *now.traceColours[i], fromX);
}

// A trace is a vertical line in each column from its lowest to its highest sample there, joined
// from the last sample of one column to the first of the next; a sample without a value breaks it.
void PlotArea::drawTrace(const QCPGraphDataContainer& samples, const Frame& now, QRgb colour, int fromX) {
    const double secondsPerPixel = now.secondsPerPixel;
    const int64_t firstColumn = now.rightColumn - now.size.width();
    const QCPAxis* value = m_traces[0]->valueAxis();
    const int top = value->axisRect()->top();
    auto it = std::lower_bound(samples.constBegin(), samples.constEnd(), firstColumn + fromX,
                               [secondsPerPixel](const QCPGraphData& sample, int64_t column) {
                                   return KeyColumn(sample.key, secondsPerPixel) < column;
                               });
    // The sample before gives the line into the first column drawn.
    if (it != samples.constBegin())
        --it;
    std::optional<QPoint> previous;
    bool open = false;
    int64_t column = 0;
    int firstRow = 0, lastRow = 0, lowRow = 0, highRow = 0;
    const auto finish = [&] {
        if (!open)
            return;
        const int x = int(column - firstColumn);
        if (previous)
            DrawPixelLine(m_picture, *previous, {x, firstRow}, colour, fromX);
        DrawPixelLine(m_picture, {x, lowRow}, {x, highRow}, colour, fromX);
        previous = QPoint(x, lastRow);
        open = false;
    };
    for (; it != samples.constEnd(); ++it) {
        const int64_t sampleColumn = KeyColumn(it->key, secondsPerPixel);
        if (open && sampleColumn != column) {
            finish();
            // Right of the picture: only the line into that column showed.
            if (column >= now.rightColumn)
                return;
        }
        if (std::isnan(it->value)) {
            finish();
            previous.reset();
            continue;
        }
        const int row = qRound(value->coordToPixel(it->value)) - top;
        if (!open) {
            open = true;
            column = sampleColumn;
            firstRow = lowRow = highRow = row;
        }
        lastRow = row;
        lowRow = std::min(lowRow, row);
        highRow = std::max(highRow, row);
    }
    finish();
}

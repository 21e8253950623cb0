#include "views/ChartReadout.h"

#include "views/ChartItems.h"
#include "views/ChartReadoutRules.h"

#include <qcustomplot.h>

#include <algorithm>

namespace {

const QString kChannelNames[ChartReadout::kTraceCount] = {"Local", "Remote1", "Remote2"};
// The readout's top left corner in parts of the plot area, and its distance from the legend in pixels.
constexpr double kReadoutLeft = 0.08;
constexpr double kReadoutTop = 0.02;
constexpr int kReadoutGap = 4;
// How close to a cursor, in pixels, a press takes it rather than the view.
constexpr double kGrabPixels = 5;

QCPItemText* ReadoutBox(QCustomPlot* plot, double x, double y, Qt::Alignment alignment) {
    auto* text = new CachedTextItem(plot);
    text->position->setType(QCPItemPosition::ptAxisRectRatio);
    text->position->setCoords(x, y);
    text->setPositionAlignment(alignment);
    text->setTextAlignment(Qt::AlignLeft);
    text->setBrush(QColor(255, 255, 255, 220));
    text->setPen(QPen(Qt::gray));
    text->setPadding(QMargins(4, 2, 4, 2));
    text->setVisible(false);
    return text;
}

QString TimeOfKey(double key) {
    return QCPAxisTickerDateTime::keyToDateTime(key).toLocalTime().toString("HH:mm:ss.zzz");
}

} // namespace

ChartReadout::ChartReadout(QCustomPlot* plot, const std::array<QCPGraph*, kTraceCount>& traces)
    : QObject(plot), m_plot(plot), m_traces(traces),
      m_readout(ReadoutBox(plot, kReadoutLeft, kReadoutTop, Qt::AlignTop | Qt::AlignLeft)),
      m_statistics(ReadoutBox(plot, 0.08, 0.9, Qt::AlignBottom | Qt::AlignLeft)) {
    for (QCPItemStraightLine*& cursor : m_cursors) {
        cursor = new DashedStraightLine(plot);
        cursor->setPen(QPen(Qt::black, 1, Qt::DashDotLine));
        cursor->setVisible(false);
    }
    connect(plot, &QCustomPlot::beforeReplot, this, &ChartReadout::refresh);
}

void ChartReadout::setCursorsShown(bool shown) {
    m_cursorsShown = shown;
    m_cursorsWaiting = shown;
    if (shown)
        placeCursorsAmongSamples();
    for (QCPItemStraightLine* cursor : m_cursors)
        cursor->setVisible(shown && !m_cursorsWaiting);
    m_dragged.reset();
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void ChartReadout::placeCursorsAmongSamples() {
    const QCPRange visible = m_plot->xAxis->range();
    std::optional<double> oldest;
    std::optional<double> newest;
    for (const QCPGraph* trace : m_traces) {
        if (!trace->visible())
            continue;
        const QCPGraphDataContainer& samples = *trace->data();
        const auto first = samples.findBegin(visible.lower, false);
        const auto end = samples.findEnd(visible.upper, false);
        if (first == end)
            continue;
        oldest = std::min(first->key, oldest.value_or(first->key));
        newest = std::max((end - 1)->key, newest.value_or((end - 1)->key));
    }
    const auto places = oldest ? CursorPlaces(*oldest, *newest) : std::nullopt;
    if (!places)
        return;
    moveCursor(0, places->first);
    moveCursor(1, places->second);
    m_cursorsWaiting = false;
    for (QCPItemStraightLine* cursor : m_cursors)
        cursor->setVisible(true);
}

void ChartReadout::setStatisticsShown(bool shown) {
    m_statisticsShown = shown;
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void ChartReadout::setCursorKey(int cursor, double key) {
    moveCursor(cursor, key);
    // Put somewhere on purpose, the cursors wait no longer to be placed.
    if (m_cursorsShown && m_cursorsWaiting) {
        m_cursorsWaiting = false;
        for (QCPItemStraightLine* line : m_cursors)
            line->setVisible(true);
    }
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void ChartReadout::moveCursor(int cursor, double key) {
    m_cursorKeys[cursor] = key;
    m_cursors[cursor]->point1->setCoords(key, 0);
    m_cursors[cursor]->point2->setCoords(key, 1);
}

bool ChartReadout::press(const QPointF& at) {
    if (!m_cursorsShown || m_cursorsWaiting)
        return false;
    for (int cursor = 0; cursor < 2; ++cursor)
        if (std::abs(m_plot->xAxis->coordToPixel(m_cursorKeys[cursor]) - at.x()) <= kGrabPixels)
            m_dragged = cursor;
    return m_dragged.has_value();
}

bool ChartReadout::move(const QPointF& at) {
    m_pointerKey = m_plot->xAxis->pixelToCoord(at.x());
    if (m_dragged)
        setCursorKey(*m_dragged, *m_pointerKey);
    else if (m_cursorsShown)
        m_plot->replot(QCustomPlot::rpQueuedReplot);
    return m_dragged.has_value();
}

void ChartReadout::release() {
    m_dragged.reset();
}

QString ChartReadout::channelName(int index) const {
    return ChannelOfCaption(m_traces[index]->name(), kChannelNames[index]);
}

// The reading in force at the key: the last sample at or before it, while the trace was being sampled.
std::optional<double> ChartReadout::valueAt(int index, double key) const {
    const QCPGraphDataContainer& samples = *m_traces[index]->data();
    const auto sample = SampleAtCursor(samples.constBegin(), samples.constEnd(), key, m_longestGap);
    if (sample == samples.constEnd())
        return std::nullopt;
    return sample->value;
}

QString ChartReadout::readoutText() const {
    if (!m_cursorsShown)
        return {};
    QStringList lines;
    if (m_pointerKey)
        lines << "Pointer " +
                     PointerTimeText(QCPAxisTickerDateTime::keyToDateTime(*m_pointerKey).toLocalTime());
    if (m_cursorsWaiting) {
        for (int cursor = 0; cursor < 2; ++cursor)
            lines << QString("C%1 %2").arg(cursor + 1).arg(kNoSampleText);
        return lines.join('\n');
    }
    for (int cursor = 0; cursor < 2; ++cursor) {
        QString line = QString("C%1 %2").arg(cursor + 1).arg(TimeOfKey(m_cursorKeys[cursor]));
        for (int index = 0; index < kTraceCount; ++index) {
            if (!m_traces[index]->visible())
                continue;
            const std::optional<double> value = valueAt(index, m_cursorKeys[cursor]);
            line += QString("  %1 %2").arg(channelName(index),
                                           value ? QString::number(*value, 'f', 2) : kNoSampleText);
        }
        lines << line;
    }
    const double seconds = m_cursorKeys[1] - m_cursorKeys[0];
    lines << QString("Δt %1 s").arg(seconds, 0, 'f', 3);
    for (int index = 0; index < kTraceCount; ++index)
        if (m_traces[index]->visible())
            lines << CursorDeltaLine(channelName(index), valueAt(index, m_cursorKeys[0]),
                                     valueAt(index, m_cursorKeys[1]), seconds);
    return lines.join('\n');
}

QString ChartReadout::statisticsText() const {
    if (!m_statisticsShown)
        return {};
    QCPRange stretch = m_plot->xAxis->range();
    if (m_cursorsShown && !m_cursorsWaiting)
        stretch =
            QCPRange(std::min(m_cursorKeys[0], m_cursorKeys[1]), std::max(m_cursorKeys[0], m_cursorKeys[1]));
    QStringList lines;
    for (int index = 0; index < kTraceCount; ++index) {
        if (!m_traces[index]->visible())
            continue;
        const QCPGraphDataContainer& samples = *m_traces[index]->data();
        SampleStatistics statistics;
        // Binary search for the ends of the stretch: the rest of the history is never walked.
        const auto end = samples.findEnd(stretch.upper, false);
        for (auto it = samples.findBegin(stretch.lower, false); it != end; ++it)
            statistics.add(it->value);
        lines << StatisticsLine(channelName(index), statistics);
    }
    return lines.join('\n');
}

void ChartReadout::refresh() {
    if (m_cursorsWaiting)
        placeCursorsAmongSamples();
    m_readout->setVisible(m_cursorsShown);
    if (m_cursorsShown) {
        m_readout->setText(readoutText());
        // Under the legend (laid out on the last redraw), which would otherwise hide the readout's right
        // part.
        const QRect area = m_plot->axisRect()->rect();
        const QRect legend = m_plot->legend->outerRect();
        const double belowLegend = area.height() > 0 && m_plot->legend->visible()
                                       ? double(legend.bottom() + kReadoutGap - area.top()) / area.height()
                                       : 0;
        m_readout->position->setCoords(kReadoutLeft, std::max(kReadoutTop, belowLegend));
    }
    m_statistics->setVisible(m_statisticsShown);
    if (m_statisticsShown)
        m_statistics->setText(statisticsText());
}

#include "views/StripChart.h"

#include "device/Clock.h"
#include "views/ZoomHandle.h"

#include <qcustomplot.h>

#include <QCoreApplication>
#include <QResizeEvent>
#include <algorithm>

namespace {

const QString kStoredCaptions[StripChart::kTraceCount] = {"Local", "Remote1 = 33.75C", "Remote2"};
const QColor kTraceColours[StripChart::kTraceCount] = {QColor(210, 0, 0), QColor(0, 60, 220),
                                                       QColor(0, 150, 0)};
constexpr int kRightMargin = 30;
constexpr int kHandleInset = 3;
constexpr int kHandleGap = 4;

// A legend line that stays in its place but shows nothing while its trace has no caption.
class TraceLegendItem : public QCPPlottableLegendItem {
public:
    using QCPPlottableLegendItem::QCPPlottableLegendItem;

protected:
    void draw(QCPPainter* painter) override {
        if (!mPlottable->name().isEmpty())
            QCPPlottableLegendItem::draw(painter);
    }
};

double KeyOf(const QDateTime& time) {
    return QCPAxisTickerDateTime::dateTimeToKey(time);
}

} // namespace

StripChart::StripChart(QWidget* parent)
    : QWidget(parent), m_plot(new QCustomPlot(this)), m_timeHandle(new ZoomHandle(Qt::Horizontal, m_plot)),
      m_upperHandle(new ZoomHandle(Qt::Vertical, m_plot)),
      m_lowerHandle(new ZoomHandle(Qt::Vertical, m_plot)) {
    setToolTip("Drag the arrows at the edges of this graph to zoom in and out");
    m_timeHandle->setObjectName("zoomTime");
    m_upperHandle->setObjectName("zoomTemperatureHigh");
    m_lowerHandle->setObjectName("zoomTemperatureLow");

    // Antialiased or fractional-width traces cost many times more to draw at 20 updates a second.
    m_plot->setNotAntialiasedElements(QCP::aePlottables);
    m_plot->setPlottingHint(QCP::phFastPolylines, true);
    m_plot->setAutoAddPlottableToLegend(false);

    auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
    // QDateTime letters: "MM" would be the month, "mm" the minutes.
    ticker->setDateTimeFormat("HH mm ss");
    ticker->setDateTimeSpec(Qt::LocalTime);
    m_plot->xAxis->setTicker(ticker);
    m_plot->yAxis->setLabel("°C");
    // The usual 15 pixels, and room on the right for half a time label so the newest one is not cut off.
    m_plot->axisRect()->setMinimumMargins(QMargins(15, 15, kRightMargin, 15));
    m_plot->yAxis->setRange(kStoredTemperatureLow, kStoredTemperatureHigh);

    QCPLegend* legend = m_plot->legend;
    legend->setVisible(true);
    legend->setBrush(QColor(255, 255, 255, 220));
    m_plot->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);
    auto* heading = new QCPTextElement(m_plot, "Temperature (°C)", QFont(font().family(), -1, QFont::Bold));
    heading->setLayer(legend->layer());
    legend->addElement(heading);
    for (int i = 0; i < kTraceCount; ++i) {
        QCPGraph* trace = m_plot->addGraph();
        trace->setPen(QPen(kTraceColours[i], 1));
        trace->setAntialiased(false);
        trace->setName(kStoredCaptions[i]);
        legend->addItem(new TraceLegendItem(legend, trace));
        m_graphs[i] = trace;
    }

    connect(m_plot, &QCustomPlot::afterLayout, this, &StripChart::placeHandles);
    connect(m_timeHandle, &ZoomHandle::dragged, this, &StripChart::dragTimeHandle);
    connect(m_upperHandle, &ZoomHandle::dragged, this, &StripChart::dragUpperHandle);
    connect(m_lowerHandle, &ZoomHandle::dragged, this, &StripChart::dragLowerHandle);

    followNewest(KeyOf(Clock::LocalNow()));
}

QCPGraph* StripChart::graph(int trace) const {
    return trace >= 1 && trace <= kTraceCount ? m_graphs[trace - 1] : nullptr;
}

void StripChart::appendSample(int trace, double value) {
    QCPGraph* target = graph(trace);
    if (!target)
        return;
    const double key = KeyOf(Clock::LocalNow());
    QSharedPointer<QCPGraphDataContainer> samples = target->data();
    // Keys must stay sorted for the chart to find the visible part quickly; a
    // clock set back starts the trace afresh rather than folding time over.
    if (!samples->isEmpty() && key < (samples->constEnd() - 1)->key)
        samples->clear();
    samples->add(QCPGraphData(key, value));
    if (const auto trimKey = HistoryTrimKey(samples->constBegin()->key, key))
        samples->removeBefore(*trimKey);
    followNewest(key);
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void StripChart::setTraceCaption(int trace, const QString& text) {
    if (QCPGraph* target = graph(trace)) {
        target->setName(text);
        m_plot->replot(QCustomPlot::rpQueuedReplot);
    }
}

void StripChart::setTraceVisible(int trace, bool visible) {
    if (QCPGraph* target = graph(trace)) {
        target->setVisible(visible);
        m_plot->replot(QCustomPlot::rpQueuedReplot);
    }
}

QString StripChart::traceCaption(int trace) const {
    const QCPGraph* target = graph(trace);
    return target ? target->name() : QString();
}

bool StripChart::traceVisible(int trace) const {
    const QCPGraph* target = graph(trace);
    return target && target->visible();
}

int StripChart::sampleCount(int trace) const {
    const QCPGraph* target = graph(trace);
    return target ? target->data()->size() : 0;
}

qsizetype StripChart::heldBytes() const {
    qsizetype bytes = 0;
    for (const QCPGraph* trace : m_graphs)
        bytes += trace->data()->size() * qsizetype(sizeof(QCPGraphData));
    return bytes;
}

TemperatureRange StripChart::temperatureRange() const {
    const QCPRange range = m_plot->yAxis->range();
    return {range.lower, range.upper};
}

void StripChart::setCoveredMargins(int right, int bottom) {
    m_coveredRight = std::max(0, right);
    m_coveredBottom = std::max(0, bottom);
    placePlot();
}

void StripChart::replotNow() {
    // A replot already queued by the appends would only draw the same picture again.
    QCoreApplication::removePostedEvents(m_plot, QEvent::MetaCall);
    m_plot->replot(QCustomPlot::rpImmediateRefresh);
}

void StripChart::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placePlot();
}

void StripChart::followNewest(double key) {
    m_newestKey = key;
    m_plot->xAxis->setRange(key - m_timeSpan, key);
}

// Never empty: the plot cannot draw into an empty buffer.
void StripChart::placePlot() {
    m_plot->setGeometry(0, 0, std::max(1, width() - m_coveredRight), std::max(1, height() - m_coveredBottom));
}

void StripChart::placeHandles() {
    const QRect area = m_plot->axisRect()->rect();
    m_upperHandle->move(area.left() + kHandleInset, area.top() + kHandleInset);
    m_lowerHandle->move(area.left() + kHandleInset, area.bottom() - kHandleInset - m_lowerHandle->height());
    m_timeHandle->move(m_lowerHandle->geometry().right() + kHandleGap,
                       area.bottom() - kHandleInset - m_timeHandle->height());
}

void StripChart::dragTimeHandle(int pixels) {
    m_timeSpan = DraggedTimeSpan(m_timeSpan, pixels, m_plot->axisRect()->width());
    followNewest(m_newestKey);
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void StripChart::dragUpperHandle(int pixels) {
    setTemperatureRange(DraggedUpperEnd(temperatureRange(), pixels, m_plot->axisRect()->height()));
}

void StripChart::dragLowerHandle(int pixels) {
    setTemperatureRange(DraggedLowerEnd(temperatureRange(), pixels, m_plot->axisRect()->height()));
}

void StripChart::setTemperatureRange(TemperatureRange range) {
    m_plot->yAxis->setRange(range.low, range.high);
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

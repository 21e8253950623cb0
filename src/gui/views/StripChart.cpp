#include "views/StripChart.h"

#include "device/Clock.h"
#include "views/AlarmMarks.h"
#include "views/CachedText.h"
#include "views/CachedTickers.h"
#include "views/ChartFiles.h"
#include "views/ChartPlot.h"
#include "views/ChartReadout.h"
#include "views/ChartRedrawRules.h"
#include "views/LimitLines.h"
#include "views/PlotArea.h"
#include "views/TraceGraph.h"
#include "views/ZoomHandle.h"

#include <qcustomplot.h>

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>

namespace {

const QString kStoredCaptions[StripChart::kTraceCount] = {"Local", "Remote1 = 33.75C", "Remote2"};
const QColor kTraceColours[StripChart::kTraceCount] = {QColor(210, 0, 0), QColor(0, 60, 220),
                                                       QColor(0, 150, 0)};
constexpr int kRightMargin = 30;
constexpr int kHandleInset = 3;
constexpr int kHandleGap = 4;
// One wheel notch (120 units) narrows or widens the time span by a fifth.
constexpr double kWheelZoomPerNotch = 0.8;

// A legend line that stays in its place but shows nothing while its trace has no caption.
class TraceLegendItem : public CachedLegendItem {
public:
    using CachedLegendItem::CachedLegendItem;

protected:
    void draw(QCPPainter* painter) override {
        if (!mPlottable->name().isEmpty())
            CachedLegendItem::draw(painter);
    }
};

double KeyOf(const QDateTime& time) {
    return QCPAxisTickerDateTime::dateTimeToKey(time);
}

} // namespace

StripChart::StripChart(QWidget* parent)
    : QWidget(parent), m_plot(new ChartPlot(this)), m_timeHandle(new ZoomHandle(Qt::Horizontal, m_plot)),
      m_upperHandle(new ZoomHandle(Qt::Vertical, m_plot)),
      m_lowerHandle(new ZoomHandle(Qt::Vertical, m_plot)), m_pausedMark(new QCPItemText(m_plot)),
      m_menu(new QMenu(this)) {
    setToolTip("Drag the arrows at the edges of this graph to zoom in and out");
    m_timeHandle->setObjectName("zoomTime");
    m_upperHandle->setObjectName("zoomTemperatureHigh");
    m_lowerHandle->setObjectName("zoomTemperatureLow");

    // Antialiased or fractional-width traces cost many times more to draw at 20 updates a second.
    m_plot->setNotAntialiasedElements(QCP::aePlottables);
    m_plot->setPlottingHint(QCP::phFastPolylines, true);
    m_plot->setAutoAddPlottableToLegend(false);
    // Nothing is drawn on the overlay: on the main layers' buffer it saves a second full-size buffer to clear
    // and blend at every paint.
    m_plot->layer("overlay")->setMode(QCPLayer::lmLogical);

    auto ticker = QSharedPointer<TimeAxisTicker>::create();
    // QDateTime letters: "MM" would be the month, "mm" the minutes.
    ticker->setDateTimeFormat("HH mm ss");
    ticker->setDateTimeSpec(Qt::LocalTime);
    m_plot->xAxis->setTicker(ticker);
    m_plot->yAxis->setTicker(QSharedPointer<ValueAxisTicker>::create());
    // The top and right axes are never shown: without ticks and labels their texts are not made at every
    // redraw.
    // The plot area draws the grid.
    m_plot->xAxis->grid()->setVisible(false);
    m_plot->yAxis->grid()->setVisible(false);
    for (QCPAxis* hidden : {m_plot->xAxis2, m_plot->yAxis2}) {
        hidden->setTicks(false);
        hidden->setTickLabels(false);
    }
    m_plot->yAxis->setLabel("°C");
    // The usual 15 pixels, and room on the right for half a time label so the newest one is not cut off.
    m_plot->axisRect()->setMinimumMargins(QMargins(15, 15, kRightMargin, 15));
    m_plot->yAxis->setRange(kStoredTemperatureLow, kStoredTemperatureHigh);

    QCPLegend* legend = m_plot->legend;
    legend->setVisible(true);
    legend->setBrush(QColor(255, 255, 255, 220));
    m_plot->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);
    // Under the traces and every item: the grid and the traces as one picture on whole pixels.
    m_area = new PlotArea(m_plot);
    auto* heading =
        new CachedTextElement(m_plot, "Temperature (°C)", QFont(font().family(), -1, QFont::Bold));
    heading->setLayer(legend->layer());
    legend->addElement(heading);
    for (int i = 0; i < kTraceCount; ++i) {
        QCPGraph* trace = new TraceGraph(m_plot->xAxis, m_plot->yAxis);
        trace->setPen(QPen(kTraceColours[i], 1));
        trace->setAntialiased(false);
        trace->setName(kStoredCaptions[i]);
        legend->addItem(new TraceLegendItem(legend, trace));
        m_graphs[i] = trace;
    }
    m_area->setTraces(m_graphs);

    m_pausedMark->setText("Paused");
    m_pausedMark->setFont(QFont(font().family(), -1, QFont::Bold));
    m_pausedMark->setColor(Qt::white);
    m_pausedMark->setBrush(QColor(200, 120, 0));
    m_pausedMark->setPadding(QMargins(6, 2, 6, 2));
    m_pausedMark->position->setType(QCPItemPosition::ptAxisRectRatio);
    m_pausedMark->position->setCoords(0.5, 0);
    m_pausedMark->setPositionAlignment(Qt::AlignTop | Qt::AlignHCenter);
    m_pausedMark->setClipToAxisRect(false);
    m_pausedMark->setVisible(false);

    m_readout = new ChartReadout(m_plot, m_graphs);
    m_limitLines = new LimitLines(m_plot, m_graphs);
    m_alarmMarks = new AlarmMarks(m_plot);
    setFocusPolicy(Qt::StrongFocus);
    m_plot->setMouseTracking(true);
    // The plot keeps its mouse events to itself (Qt::WA_NoMousePropagation), context menu events included:
    // without this filter a right-click or the Menu key on it would never reach the chart's menu.
    m_plot->installEventFilter(this);
    buildMenu();
    connect(m_plot, &QCustomPlot::mousePress, this, &StripChart::plotPressed);
    connect(m_plot, &QCustomPlot::mouseMove, this, &StripChart::plotMoved);
    connect(m_plot, &QCustomPlot::mouseRelease, this, &StripChart::plotReleased);
    connect(m_plot, &QCustomPlot::mouseWheel, this, &StripChart::plotWheel);
    connect(m_plot, &QCustomPlot::mouseDoubleClick, this, [this] { resetView(); });
    connect(m_plot, &QCustomPlot::afterLayout, this, &StripChart::placeHandles);
    connect(m_plot, &QCustomPlot::beforeReplot, this, &StripChart::noteDrawnSamples);
    connect(m_timeHandle, &ZoomHandle::dragged, this, &StripChart::dragTimeHandle);
    connect(m_upperHandle, &ZoomHandle::dragged, this, &StripChart::dragUpperHandle);
    connect(m_lowerHandle, &ZoomHandle::dragged, this, &StripChart::dragLowerHandle);

    followNewest(KeyOf(Clock::LocalNow()));
}

QCustomPlot* StripChart::plot() const {
    return m_plot;
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
    if (newSampleShows(trace))
        m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void StripChart::noteDrawnSamples() {
    m_area->setTimeSpan(m_timeSpan);
    for (int i = 0; i < kTraceCount; ++i) {
        const QCPGraphDataContainer& samples = *m_graphs[i]->data();
        m_drawnNewest[i].reset();
        if (!samples.isEmpty())
            m_drawnNewest[i] = QPointF((samples.constEnd() - 1)->key, (samples.constEnd() - 1)->value);
    }
}

// Twenty samples a second would redraw the chart twenty times a second; most of those
// redraws would move nothing by a pixel.
bool StripChart::newSampleShows(int trace) const {
    const QCPGraph* target = graph(trace);
    // The readout's texts follow every sample.
    if (m_readout->cursorsShown() || m_readout->statisticsShown())
        return true;
    if (!target->visible())
        return false;
    const QCPAxis* time = m_plot->xAxis;
    const QCPAxis* temperature = m_plot->yAxis;
    const auto pixels = [time, temperature](const QPointF& sample) {
        return QPointF(time->coordToPixel(sample.x()), temperature->coordToPixel(sample.y()));
    };
    const QCPGraphData& newest = *(target->data()->constEnd() - 1);
    const std::optional<QPointF>& drawn = m_drawnNewest[trace - 1];
    return NewestSampleMovesAPixel(drawn ? std::optional<QPointF>(pixels(*drawn)) : std::nullopt,
                                   pixels({newest.key, newest.value}),
                                   time->coordToPixel(time->range().upper));
}

GraphSettings StripChart::viewSettings() const {
    return {m_readout->cursorsShown(), m_readout->statisticsShown(), m_limitLines->shown(),
            m_alarmMarks->shown()};
}

void StripChart::applyViewSettings(const GraphSettings& settings) {
    // Through the menu's actions, so their ticks show what is on.
    const std::pair<const char*, bool> switches[] = {{"actionCursors", settings.cursors},
                                                     {"actionStatistics", settings.statistics},
                                                     {"actionLimitLines", settings.limitLines},
                                                     {"actionAlarmMarks", settings.alarmMarks}};
    for (const auto& [name, on] : switches)
        m_menu->findChild<QAction*>(name)->setChecked(on);
}

void StripChart::statusRead(uint8_t status1, uint8_t status2) {
    m_alarmMarks->addRead(KeyOf(Clock::LocalNow()), status1, status2);
}

void StripChart::setTraceCaption(int trace, const QString& text) {
    // Set on every graph update; mostly the same text.
    QCPGraph* target = graph(trace);
    if (target && target->name() != text) {
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
    if (m_paused)
        return;
    // The view ends on a pixel's edge, so it moves on by whole pixels and the plot area can scroll.
    const int width = m_plot->axisRect()->width();
    const double secondsPerPixel = width > 0 ? m_timeSpan / width : 0;
    const double upper = secondsPerPixel > 0 ? std::ceil(key / secondsPerPixel) * secondsPerPixel : key;
    m_plot->xAxis->setRange(upper - m_timeSpan, upper);
}

QAction* StripChart::addMenuAction(const QString& text, const QKeySequence& key, const char* name) {
    QAction* action = m_menu->addAction(text);
    action->setObjectName(name);
    // Shown in the menu; the chart's own key handling triggers it, so the key acts only while the chart has
    // the focus.
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetShortcut);
    return action;
}

void StripChart::buildMenu() {
    m_pauseAction = addMenuAction("Pause", Qt::Key_Space, "actionPause");
    connect(m_pauseAction, &QAction::triggered, this, [this] { setPaused(!m_paused); });
    connect(addMenuAction("Autoscale", Qt::Key_A, "actionAutoscale"), &QAction::triggered, this,
            &StripChart::autoscale);
    connect(addMenuAction("Reset View", Qt::Key_R, "actionResetView"), &QAction::triggered, this,
            &StripChart::resetView);
    m_menu->addSeparator();
    QAction* cursors = addMenuAction("Cursors", Qt::Key_C, "actionCursors");
    cursors->setCheckable(true);
    connect(cursors, &QAction::toggled, m_readout, &ChartReadout::setCursorsShown);
    QAction* statistics = addMenuAction("Statistics", Qt::Key_S, "actionStatistics");
    statistics->setCheckable(true);
    connect(statistics, &QAction::toggled, m_readout, &ChartReadout::setStatisticsShown);
    QAction* limitLines = addMenuAction("Limit Lines", Qt::Key_L, "actionLimitLines");
    limitLines->setCheckable(true);
    connect(limitLines, &QAction::toggled, m_limitLines, &LimitLines::setShown);
    QAction* alarmMarks = addMenuAction("Alarm Marks", Qt::Key_M, "actionAlarmMarks");
    alarmMarks->setCheckable(true);
    connect(alarmMarks, &QAction::toggled, m_alarmMarks, &AlarmMarks::setShown);
    m_menu->addSeparator();
    connect(addMenuAction("Save Picture...", Qt::Key_P, "actionSavePicture"), &QAction::triggered, this,
            [this] { ChartFiles::SavePicture(this, m_plot); });
    connect(addMenuAction("Export Data...", Qt::Key_E, "actionExportData"), &QAction::triggered, this,
            [this] { ChartFiles::ExportData(this, m_plot, m_graphs); });
}

void StripChart::keyPressEvent(QKeyEvent* event) {
    const QKeySequence pressed(event->keyCombination());
    // The platform turns only some of these into a context menu event, and none off screen.
    if (pressed == QKeySequence(Qt::Key_Menu) || pressed == QKeySequence(Qt::SHIFT | Qt::Key_F10)) {
        popUpMenu(QContextMenuEvent::Keyboard, QCursor::pos());
        return;
    }
    for (QAction* action : m_menu->actions()) {
        if (!action->shortcut().isEmpty() && action->shortcut() == pressed && action->isEnabled()) {
            action->trigger();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void StripChart::contextMenuEvent(QContextMenuEvent* event) {
    popUpMenu(event->reason(), event->globalPos());
}

bool StripChart::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_plot && event->type() == QEvent::ContextMenu) {
        const auto* request = static_cast<QContextMenuEvent*>(event);
        popUpMenu(request->reason(), request->globalPos());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// At the pointer; from the keyboard with the pointer elsewhere, in the middle of the chart.
void StripChart::popUpMenu(QContextMenuEvent::Reason reason, const QPoint& globalPos) {
    if (m_menu->isVisible())
        return;
    QPoint at = globalPos;
    if (reason != QContextMenuEvent::Mouse) {
        at = QCursor::pos();
        if (!rect().contains(mapFromGlobal(at)))
            at = mapToGlobal(rect().center());
    }
    m_menu->popup(at);
}

void StripChart::setPaused(bool paused) {
    if (paused == m_paused)
        return;
    m_paused = paused;
    m_pauseAction->setText(paused ? "Resume" : "Pause");
    m_pausedMark->setVisible(paused);
    if (!paused) {
        m_panFromX.reset();
        m_timeSpan = kStoredTimeSpan;
        followNewest(m_newestKey);
    }
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void StripChart::autoscale() {
    const QCPRange visible = m_plot->xAxis->range();
    bool found = false;
    double lowest = 0;
    double highest = 0;
    for (const QCPGraph* trace : m_graphs) {
        if (!trace->visible())
            continue;
        const auto& samples = *trace->data();
        // Only the visible stretch, found by binary search: never the whole history.
        for (auto it = samples.findBegin(visible.lower, false); it != samples.findEnd(visible.upper, false);
             ++it) {
            lowest = found ? std::min(lowest, it->value) : it->value;
            highest = found ? std::max(highest, it->value) : it->value;
            found = true;
        }
    }
    if (found)
        setTemperatureRange(AutoscaledRange(lowest, highest));
}

void StripChart::setTimeSpan(double span) {
    m_timeSpan = span;
    if (m_paused) {
        const double upper = m_plot->xAxis->range().upper;
        m_plot->xAxis->setRange(upper - m_timeSpan, upper);
    } else {
        followNewest(m_newestKey);
    }
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void StripChart::resetView() {
    setTimeSpan(kStoredTimeSpan);
    setTemperatureRange({kStoredTemperatureLow, kStoredTemperatureHigh});
}

void StripChart::plotPressed(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_readout->press(event->position()))
        return;
    if (m_paused)
        m_panFromX = event->position().x();
}

void StripChart::plotMoved(QMouseEvent* event) {
    if (m_readout->move(event->position()) || !m_panFromX)
        return;
    const double x = event->position().x();
    QCPAxis* axis = m_plot->xAxis;
    const double shift = axis->pixelToCoord(*m_panFromX) - axis->pixelToCoord(x);
    axis->setRange(axis->range().lower + shift, axis->range().upper + shift);
    m_panFromX = x;
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void StripChart::plotReleased(QMouseEvent*) {
    m_readout->release();
    m_panFromX.reset();
}

// Paused, the wheel zooms around the pointer; live, it changes the span that ends at the newest sample.
void StripChart::plotWheel(QWheelEvent* event) {
    const double factor = std::pow(kWheelZoomPerNotch, event->angleDelta().y() / 120.0);
    const QCPRange range = m_plot->xAxis->range();
    const double pointerKey = m_paused ? m_plot->xAxis->pixelToCoord(event->position().x()) : range.upper;
    const TimeRange zoomed = ZoomedTimeRange({range.lower, range.upper}, pointerKey, factor);
    m_timeSpan = zoomed.upper - zoomed.lower;
    if (m_paused)
        m_plot->xAxis->setRange(zoomed.lower, zoomed.upper);
    else
        followNewest(m_newestKey);
    m_plot->replot(QCustomPlot::rpQueuedReplot);
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

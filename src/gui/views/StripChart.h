#pragma once
// The scrolling strip chart of the graph window: three temperature traces
// against clock time, a legend of their captions, and drag handles that zoom
// the time span and the temperature range.
#include "views/GraphSettings.h"
#include "views/StripChartRules.h"

#include <QContextMenuEvent>
#include <QKeySequence>
#include <QPointF>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>

class AlarmMarks;
class ChartReadout;
class LimitLines;
class QAction;
class QCPGraph;
class QCPItemText;
class ChartPlot;
class PlotArea;
class QCustomPlot;
class QMenu;
class QMouseEvent;
class QWheelEvent;
class ZoomHandle;

class StripChart : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTraceCount = 3;

    explicit StripChart(QWidget* parent = nullptr);

    // Traces are numbered 1 Local, 2 Remote1, 3 Remote2; other numbers are ignored.
    // A sample is stamped with the clock's local time; the time axis follows it.
    void appendSample(int trace, double value);
    void setTraceCaption(int trace, const QString& text);
    void setTraceVisible(int trace, bool visible);

    QString traceCaption(int trace) const;
    bool traceVisible(int trace) const;
    int sampleCount(int trace) const;
    // Bytes of the samples held by all traces; stops growing once the history limit is reached.
    qsizetype heldBytes() const;
    double timeSpan() const { return m_timeSpan; }
    // Shows the newest span seconds (while paused: the span ending where the view ends).
    void setTimeSpan(double span);
    TemperatureRange temperatureRange() const;
    void setTemperatureRange(TemperatureRange range);
    // The key (seconds since the epoch) of the newest sample; 0 before the first.
    double newestKey() const { return m_newestKey; }

    // Part of the chart may lie under the window's frame; the plot keeps clear of it.
    void setCoveredMargins(int right, int bottom);
    // Redraws now instead of on the next pass of the event loop.
    void replotNow();
    QCustomPlot* plot() const;

    // While paused the view stays where it is and samples keep arriving; resuming
    // returns to the newest sample with the stored span.
    bool paused() const { return m_paused; }
    void setPaused(bool paused);
    // Fits the temperature axis to the visible samples once.
    void autoscale();
    // The stored span and temperature range.
    void resetView();
    // The chart's menu, also reached by right-click; its actions carry the keys.
    QMenu* menu() const { return m_menu; }
    ChartReadout* readout() const { return m_readout; }
    LimitLines* limitLines() const { return m_limitLines; }
    AlarmMarks* alarmMarks() const { return m_alarmMarks; }
    // The span, the temperature range and the functions switched on, to keep across runs.
    GraphSettings viewSettings() const;
    void applyViewSettings(const GraphSettings& settings);
    // A status read the monitoring cycle made, stamped with the clock's local time.
    void statusRead(uint8_t status1, uint8_t status2);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QCPGraph* graph(int trace) const;
    void followNewest(double key);
    void noteDrawnSamples();
    bool newSampleShows(int trace) const;
    void placePlot();
    void placeHandles();
    void dragTimeHandle(int pixels);
    void dragUpperHandle(int pixels);
    void dragLowerHandle(int pixels);
    void buildMenu();
    void popUpMenu(QContextMenuEvent::Reason reason, const QPoint& globalPos);
    QAction* addMenuAction(const QString& text, const QKeySequence& key, const char* name);
    void plotPressed(QMouseEvent* event);
    void plotMoved(QMouseEvent* event);
    void plotReleased(QMouseEvent* event);
    void plotWheel(QWheelEvent* event);

    ChartPlot* m_plot;
    PlotArea* m_area = nullptr;
    std::array<QCPGraph*, kTraceCount> m_graphs{};
    // Key and value of each trace's newest sample when the chart was last drawn; none while empty.
    std::array<std::optional<QPointF>, kTraceCount> m_drawnNewest{};
    ZoomHandle* m_timeHandle;
    ZoomHandle* m_upperHandle;
    ZoomHandle* m_lowerHandle;
    double m_timeSpan = kStoredTimeSpan;
    double m_newestKey = 0;
    bool m_paused = false;
    QCPItemText* m_pausedMark;
    QMenu* m_menu;
    ChartReadout* m_readout;
    LimitLines* m_limitLines;
    AlarmMarks* m_alarmMarks;
    QAction* m_pauseAction = nullptr;
    // The pointer's last x while the view is dragged; none when not dragging.
    std::optional<double> m_panFromX;
    int m_coveredRight = 0;
    int m_coveredBottom = 0;
};

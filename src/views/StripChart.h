#pragma once
// The scrolling strip chart of the graph window: three temperature traces
// against clock time, a legend of their captions, and drag handles that zoom
// the time span and the temperature range.
#include "views/StripChartRules.h"

#include <QString>
#include <QWidget>
#include <array>

class QCPGraph;
class QCustomPlot;
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
    TemperatureRange temperatureRange() const;

    // Part of the chart may lie under the window's frame; the plot keeps clear of it.
    void setCoveredMargins(int right, int bottom);
    // Redraws now instead of on the next pass of the event loop.
    void replotNow();
    QCustomPlot* plot() const { return m_plot; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QCPGraph* graph(int trace) const;
    void followNewest(double key);
    void placePlot();
    void placeHandles();
    void dragTimeHandle(int pixels);
    void dragUpperHandle(int pixels);
    void dragLowerHandle(int pixels);
    void setTemperatureRange(TemperatureRange range);

    QCustomPlot* m_plot;
    std::array<QCPGraph*, kTraceCount> m_graphs{};
    ZoomHandle* m_timeHandle;
    ZoomHandle* m_upperHandle;
    ZoomHandle* m_lowerHandle;
    double m_timeSpan = kStoredTimeSpan;
    double m_newestKey = 0;
    int m_coveredRight = 0;
    int m_coveredBottom = 0;
};

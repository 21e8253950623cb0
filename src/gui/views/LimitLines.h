#pragma once
// Each visible trace's high, low and THERM limits as dashed lines in the trace's
// colour. The limits are read from the chip when the lines are switched on and
// again after an action that wrote a limit or the range, whoever wrote it; never per sample.
#include "device/ChipChanges.h"
#include "views/LimitEncoding.h"

#include <QObject>
#include <array>

class QCPGraph;
class QCPItemStraightLine;
class QCustomPlot;

class LimitLines : public QObject {
    Q_OBJECT
public:
    static constexpr int kTraceCount = 3;
    LimitLines(QCustomPlot* plot, const std::array<QCPGraph*, kTraceCount>& traces);

    void setShown(bool shown);
    bool shown() const { return m_shown; }
    // The limits drawn for a trace (0 Local, 1 the shared remote registers, 2 Remote2).
    GaugeLimits limits(int trace) const { return m_limits[trace]; }

private:
    void readLimits();
    void placeLines();

    QCustomPlot* m_plot;
    std::array<QCPGraph*, kTraceCount> m_traces;
    // Low, high and THERM of each trace.
    std::array<std::array<QCPItemStraightLine*, 3>, kTraceCount> m_lines{};
    std::array<GaugeLimits, kTraceCount> m_limits{};
    bool m_shown = false;
    ChipChanges::Subscription m_chipChanges;
};

#pragma once
// The graph's two draggable time cursors with their readout, and the statistics
// of each visible trace over the visible stretch or between the cursors. Both
// texts are brought up to date once per redraw, from the visible samples only.
#include <QObject>
#include <QString>
#include <array>
#include <optional>

class QCPGraph;
class QCPItemStraightLine;
class QCPItemText;
class QCustomPlot;
class QPointF;

class ChartReadout : public QObject {
    Q_OBJECT
public:
    static constexpr int kTraceCount = 3;
    ChartReadout(QCustomPlot* plot, const std::array<QCPGraph*, kTraceCount>& traces);

    // Switching the cursors on puts them at a third and two thirds of the stretch of samples on screen;
    // while fewer than two samples are on screen they wait, hidden, and read "no sample".
    void setCursorsShown(bool shown);
    bool cursorsShown() const { return m_cursorsShown; }
    void setStatisticsShown(bool shown);
    bool statisticsShown() const { return m_statisticsShown; }

    double cursorKey(int cursor) const { return m_cursorKeys[cursor]; }
    // Whether the switched-on cursors still wait for samples to stand among.
    bool cursorsWaiting() const { return m_cursorsWaiting; }
    void setCursorKey(int cursor, double key);
    // How long one sample stands for, in seconds: a cursor further than that after the
    // last sample reads none (the trace was not being sampled).
    void setLongestSampleGap(double seconds) { m_longestGap = seconds; }

    // Mouse on the plot: a press near a cursor takes it (true), moves drag it, and
    // every move also tells the readout where the pointer is.
    bool press(const QPointF& at);
    bool move(const QPointF& at);
    void release();

    QString readoutText() const;
    QString statisticsText() const;

private:
    void refresh();
    void moveCursor(int cursor, double key);
    void placeCursorsAmongSamples();
    QString channelName(int index) const;
    std::optional<double> valueAt(int index, double key) const;

    QCustomPlot* m_plot;
    std::array<QCPGraph*, kTraceCount> m_traces;
    std::array<QCPItemStraightLine*, 2> m_cursors{};
    std::array<double, 2> m_cursorKeys{};
    QCPItemText* m_readout;
    QCPItemText* m_statistics;
    bool m_cursorsShown = false;
    double m_longestGap = 0;
    bool m_cursorsWaiting = false;
    bool m_statisticsShown = false;
    std::optional<int> m_dragged;
    std::optional<double> m_pointerKey;
};

#pragma once
// The graph's alarm lane under the temperatures: per channel, when the high, low,
// THERM and open-diode status bits were set. It is fed the status reads the
// monitoring cycle makes for the limits window, never reads the chip itself
// (a read clears the latched bits the lamps show), and marks the time the status
// was not read as such rather than as "no alarm".
#include "views/AlarmMarkRules.h"

#include <QObject>

class QCPAxisRect;
class QCPLayerable;
class QCPMarginGroup;
class QCustomPlot;

class AlarmMarks : public QObject {
    Q_OBJECT
public:
    explicit AlarmMarks(QCustomPlot* plot);

    // Reads are kept while the lane is hidden, so switching it on shows what came before.
    void addRead(double key, uint8_t status1, uint8_t status2);
    void setShown(bool shown);
    bool shown() const { return m_shown; }
    const AlarmHistory& history() const { return m_history; }
    QCPAxisRect* lane() const { return m_lane; }

private:
    QCustomPlot* m_plot;
    QCPAxisRect* m_lane;
    QCPMarginGroup* m_margins;
    QCPLayerable* m_marks;
    AlarmHistory m_history;
    bool m_shown = false;
};

#pragma once
// The strip chart's plot: draws nothing while nobody can see it (its window or the
// main window minimised, or another child window maximised over it). A redraw asked
// for meanwhile is kept and done when the plot is next painted (shown again, or its
// picture taken), so the first showing draws every sample that arrived.
#include <qcustomplot.h>

class ChartPlot : public QCustomPlot {
    Q_OBJECT
public:
    using QCustomPlot::QCustomPlot;

    QBrush backgroundBrush() const { return mBackgroundBrush; }
    // Whether the plot can be seen on the screen now.
    bool seen() const;

    // Found by name for queued redraws, ahead of the plot library's own.
    Q_SLOT void replot(QCustomPlot::RefreshPriority refreshPriority = QCustomPlot::rpRefreshHint);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // A redraw was put off while the plot could not be seen.
    bool m_pending = false;
};

#include "views/ChartPlot.h"

#include <QMdiArea>
#include <QMdiSubWindow>

bool ChartPlot::seen() const {
    if (!isVisible())
        return false;
    for (const QWidget* widget = this; widget; widget = widget->parentWidget()) {
        if (widget->isMinimized())
            return false;
        const auto* frame = qobject_cast<const QMdiSubWindow*>(widget);
        if (!frame || !frame->mdiArea())
            continue;
        // Child windows above this one in the stacking order; a maximised one covers it.
        const QList<QMdiSubWindow*> stack = frame->mdiArea()->subWindowList(QMdiArea::StackingOrder);
        for (qsizetype i = stack.indexOf(const_cast<QMdiSubWindow*>(frame)) + 1; i < stack.size(); ++i)
            if (stack[i]->isVisible() && stack[i]->isMaximized())
                return false;
    }
    return true;
}

void ChartPlot::replot(QCustomPlot::RefreshPriority refreshPriority) {
    if (refreshPriority != rpQueuedReplot && !seen()) {
        // The library's queued redraw ends here: let the next request queue again.
        mReplotQueued = false;
        m_pending = true;
        return;
    }
    if (refreshPriority != rpQueuedReplot)
        m_pending = false;
    QCustomPlot::replot(refreshPriority);
}

void ChartPlot::paintEvent(QPaintEvent* event) {
    // Shown again, or its picture taken: the buffers are drawn before they are painted.
    if (m_pending) {
        m_pending = false;
        QCustomPlot::replot(rpQueuedRefresh);
    }
    QCustomPlot::paintEvent(event);
}

#include "views/TraceGraph.h"

#include "views/PlotArea.h"
#include "views/TraceLines.h"

void TraceGraph::draw(QCPPainter* painter) {
    if (!PlotArea::DrawsOnScreen(painter, mParentPlot))
        QCPGraph::draw(painter);
}

void TraceGraph::drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const {
    applyDefaultAntialiasingHint(painter);
    // Only the fast drawing of aliased 1-pixel lines on screen is replaced; exports and
    // antialiased or wider lines keep QCustomPlot's own drawing, which needs the fractions.
    const bool fastPath = mParentPlot->plottingHints().testFlag(QCP::phFastPolylines) &&
                          !painter->antialiasing() && painter->pen().widthF() <= 1 &&
                          painter->pen().style() == Qt::SolidLine &&
                          !painter->modes().testFlag(QCPPainter::pmVectorized) &&
                          !painter->modes().testFlag(QCPPainter::pmNoCaching);
    if (!fastPath) {
        QCPGraph::drawLinePlot(painter, lines);
        return;
    }
    if (painter->pen().color().alpha() == 0)
        return;
    // One call for the whole trace: drawn a segment at a time, each call costs more than its pixels.
    const QList<QLine> pixelLines = TraceLines(lines);
    painter->drawLines(pixelLines.constData(), int(pixelLines.size()));
}

#pragma once
// A chart trace that draws its line in one call, on whole pixels: the same
// pixels as a 1-pixel aliased pen drawing each segment on its own, at a fraction
// of the cost, as the chart redraws many times a second.
#include <qcustomplot.h>

class TraceGraph : public QCPGraph {
public:
    using QCPGraph::QCPGraph;

protected:
    void drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const override;
};

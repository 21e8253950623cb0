#pragma once
// A chart trace. On screen the plot area's picture carries it; elsewhere it draws
// its line in one call, on whole pixels: the same pixels as a 1-pixel aliased pen
// drawing each segment on its own, at a fraction of the cost.
#include <qcustomplot.h>

class TraceGraph : public QCPGraph {
public:
    using QCPGraph::QCPGraph;

protected:
    void draw(QCPPainter* painter) override;
    void drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const override;
};

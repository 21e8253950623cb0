#pragma once
// The pixels of a chart trace as few lines as draw them: each point rounded to
// its pixel as a 1-pixel aliased pen would put it, a point on the same pixel as
// the one before dropped, and the middle of three points in one row or column
// dropped when it lies between the other two. A point with a NaN coordinate ends
// a stretch: the trace has a gap there.
#include <QLine>
#include <QList>
#include <QPoint>
#include <QPointF>

// The stretches of points; a stretch of one point given is left out (it draws no line).
QList<QList<QPoint>> TracePolylines(const QList<QPointF>& points);
// The same as lines between consecutive points, for one draw call; two or more points
// on one pixel give a line of length 0, which draws that pixel.
QList<QLine> TraceLines(const QList<QPointF>& points);

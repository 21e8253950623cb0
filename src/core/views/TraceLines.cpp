#include "views/TraceLines.h"

#include <algorithm>
#include <cmath>

namespace {
bool Between(int value, int a, int b) {
    return value >= std::min(a, b) && value <= std::max(a, b);
}

// True when b adds nothing to the line from a to c: all three in one row or one
// column with b between the other two.
bool Redundant(const QPoint& a, const QPoint& b, const QPoint& c) {
    if (a.y() == b.y() && b.y() == c.y())
        return Between(b.x(), a.x(), c.x());
    if (a.x() == b.x() && b.x() == c.x())
        return Between(b.y(), a.y(), c.y());
    return false;
}

void Append(QList<QPoint>& stretch, const QPoint& point) {
    if (!stretch.isEmpty() && stretch.last() == point)
        return;
    if (stretch.size() >= 2 && Redundant(stretch[stretch.size() - 2], stretch.last(), point))
        stretch.last() = point;
    else
        stretch.append(point);
}
} // namespace

QList<QList<QPoint>> TracePolylines(const QList<QPointF>& points) {
    QList<QList<QPoint>> stretches;
    QList<QPoint> stretch;
    int given = 0; // points of the stretch before any was dropped
    const auto finish = [&] {
        // A lone point draws no line; two or more on one pixel draw that pixel.
        if (given >= 2)
            stretches.append(stretch);
        stretch.clear();
        given = 0;
    };
    for (const QPointF& point : points) {
        if (std::isnan(point.x()) || std::isnan(point.y())) {
            finish();
            continue;
        }
        Append(stretch, point.toPoint());
        ++given;
    }
    finish();
    return stretches;
}

QList<QLine> TraceLines(const QList<QPointF>& points) {
    QList<QLine> lines;
    for (const QList<QPoint>& stretch : TracePolylines(points)) {
        if (stretch.size() == 1)
            lines.append(QLine(stretch.first(), stretch.first()));
        for (qsizetype i = 1; i < stretch.size(); ++i)
            lines.append(QLine(stretch[i - 1], stretch[i]));
    }
    return lines;
}

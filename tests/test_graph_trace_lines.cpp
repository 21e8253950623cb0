#include "views/TraceLines.h"

#include <QImage>
#include <QPainter>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace {
constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

TEST(TraceLinesRule, KeepsOnlyThePointsThatDraw) {
    struct Row {
        const char* name;
        QList<QPointF> given;
        QList<QList<QPoint>> expected;
    };
    const Row rows[] = {
        {"points round to their pixel", {{0.4, 0.6}, {2.5, 3.49}}, {{{0, 1}, {3, 3}}}},
        {"a point on the pixel before is dropped", {{0, 0}, {0.2, 0.3}, {5, 5}}, {{{0, 0}, {5, 5}}}},
        {"a run along one row keeps its ends",
         {{0, 5}, {1, 5}, {2, 5}, {3, 5}, {4, 7}},
         {{{0, 5}, {3, 5}, {4, 7}}}},
        // The sampled column of a dense trace: its low and high ends must both stay.
        {"a column turning back keeps its extremes",
         {{3, 1}, {3, 9}, {3, 4}, {4, 4}},
         {{{3, 1}, {3, 9}, {3, 4}, {4, 4}}}},
        {"a column running one way keeps its ends", {{3, 1}, {3, 4}, {3, 9}}, {{{3, 1}, {3, 9}}}},
        {"a gap splits the line",
         {{0, 0}, {1, 1}, {kGap, 0}, {2, 2}, {3, 2}},
         {{{0, 0}, {1, 1}}, {{2, 2}, {3, 2}}}},
        // One point given draws no line; two on one pixel draw that pixel.
        {"a lone point between gaps is left out", {{0, 0}, {1, 1}, {kGap, kGap}, {5, 5}}, {{{0, 0}, {1, 1}}}},
        {"two points on one pixel keep that pixel", {{4.1, 4.1}, {3.9, 3.9}}, {{{4, 4}}}},
        {"nothing gives nothing", {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(TracePolylines(row.given), row.expected);
    }
}

// Draws the line as QCustomPlot draws an aliased 1-pixel trace: each segment on its own, on whole pixels.
QImage BySegments(const QList<QPointF>& points, const QRect& clip) {
    QImage image(200, 120, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setClipRect(clip);
    painter.setPen(QPen(Qt::red, 1));
    for (qsizetype i = 1; i < points.size(); ++i)
        if (!std::isnan(points[i - 1].y()) && !std::isnan(points[i].y()))
            painter.drawLine(QLineF(points[i - 1], points[i]).toLine());
    return image;
}

QImage ByTraceLines(const QList<QPointF>& points, const QRect& clip) {
    QImage image(200, 120, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setClipRect(clip);
    painter.setPen(QPen(Qt::red, 1));
    const QList<QLine> lines = TraceLines(points);
    painter.drawLines(lines.constData(), int(lines.size()));
    return image;
}

TEST(TraceLinesRule, DrawsTheSamePixelsAsSegmentByShapes) {
    struct Row {
        const char* name;
        std::function<double(int)> y; // row of the i-th point
        double pointsPerPixel;
    };
    const Row rows[] = {
        {"quarter-degree steps, few points per pixel",
         [](int i) { return 60 + 0.75 * std::round(20 * std::sin(i / 30.0)); }, 0.5},
        {"noisy, many points per pixel", [](int i) { return 60 + 7 * std::sin(i * 1.7) + 0.3 * (i % 3); }, 4},
        {"steep jumps past the edges", [](int i) { return (i / 7) % 2 ? -40.0 : 170.0; }, 0.25},
        {"flat with single steps", [](int i) { return i % 50 == 0 ? 61.0 : 60.0; }, 1},
        {"a gap in the middle", [](int i) { return i > 80 && i < 90 ? kGap : 30 + i * 0.3; }, 0.7},
    };
    const QRect clip(10, 8, 170, 100); // the axis rect: traces reach past it on every side
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QList<QPointF> points;
        for (int i = 0; i * (1 / row.pointsPerPixel) < 200; ++i)
            points.append({-3 + i / row.pointsPerPixel, row.y(i)});
        EXPECT_EQ(ByTraceLines(points, clip), BySegments(points, clip));
    }
}
} // namespace

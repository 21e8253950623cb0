#include "support/GraphWindowFixture.h"
#include "views/StripChart.h"
#include "views/frmGraph.h"

#include <qcustomplot.h>

#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

class GraphChart : public GraphWindowFixture {
protected:
    QCPGraphDataContainer& data(int trace) const { return *chart->plot()->graph(trace - 1)->data(); }
};

TEST_F(GraphChart, TimeAxisFollowsTheNewestSample) {
    feed(25, 33.75, 30.5);
    expectViewEndsAt(keyOf(now));
    EXPECT_NEAR(chart->plot()->xAxis->range().size(), 60, 1e-6);

    now = now.addSecs(95);
    window.appendSample(2, 34);
    expectViewEndsAt(keyOf(now));
    EXPECT_EQ(chart->sampleCount(2), 2);
    EXPECT_DOUBLE_EQ((data(2).constEnd() - 1)->key, keyOf(now));
    EXPECT_DOUBLE_EQ((data(2).constEnd() - 1)->value, 34);
}

TEST_F(GraphChart, SamplesGoToTheirOwnTrace) {
    feed(25, 33.75, 30.5);
    feed(26, 34, -3.25);
    const double expected[3][2] = {{25, 26}, {33.75, 34}, {30.5, -3.25}};
    for (int trace = 1; trace <= 3; ++trace) {
        SCOPED_TRACE(trace);
        ASSERT_EQ(chart->sampleCount(trace), 2);
        EXPECT_DOUBLE_EQ(data(trace).at(0)->value, expected[trace - 1][0]);
        EXPECT_DOUBLE_EQ(data(trace).at(1)->value, expected[trace - 1][1]);
    }
}

TEST_F(GraphChart, CaptionsAndVisibilityFollowTheirSetters) {
    window.setTraceCaption(1, "Local = 25°C");
    window.setTraceCaption(3, "");
    window.setTraceVisible(3, false);
    window.setTraceVisible(1, false);
    window.setTraceVisible(1, true);
    // Numbers outside 1..3 are ignored rather than touching another trace.
    window.setTraceCaption(4, "nowhere");
    window.setTraceVisible(0, false);
    window.appendSample(4, 99);

    EXPECT_EQ(chart->traceCaption(1), "Local = 25°C");
    EXPECT_EQ(chart->traceCaption(2), "Remote1 = 33.75C");
    EXPECT_EQ(chart->traceCaption(3), "");
    EXPECT_TRUE(chart->traceVisible(1));
    EXPECT_TRUE(chart->traceVisible(2));
    EXPECT_FALSE(chart->traceVisible(3));
    EXPECT_EQ(chart->plot()->graphCount(), 3);
    for (int trace = 1; trace <= 3; ++trace)
        EXPECT_EQ(chart->sampleCount(trace), 0);
}

// Counts the pixels of the trace's own colour on its legend line, as drawn.
int LegendLinePixelsOfTraceColour(StripChart* chart, int trace) {
    chart->replotNow();
    QCPGraph* graph = chart->plot()->graph(trace - 1);
    const QRect line = chart->plot()->legend->itemWithPlottable(graph)->outerRect();
    const QImage image = chart->plot()->grab().toImage();
    int count = 0;
    for (int y = line.top(); y <= line.bottom(); ++y)
        for (int x = line.left(); x <= line.right(); ++x)
            count += image.pixelColor(x, y) == graph->pen().color();
    return count;
}

// The hidden third trace keeps its legend line, which must stay blank rather than show a bare icon.
TEST_F(GraphChart, EmptyCaptionLeavesTheLegendLineBlank) {
    ASSERT_GT(LegendLinePixelsOfTraceColour(chart, 3), 0);
    const QRect before = chart->plot()->legend->itemWithPlottable(chart->plot()->graph(2))->outerRect();

    window.setTraceCaption(3, "");
    window.setTraceVisible(3, false);
    EXPECT_EQ(LegendLinePixelsOfTraceColour(chart, 3), 0);
    EXPECT_EQ(chart->plot()->legend->itemWithPlottable(chart->plot()->graph(2))->outerRect().top(),
              before.top());
    EXPECT_GT(LegendLinePixelsOfTraceColour(chart, 2), 0);
}

TEST_F(GraphChart, HistoryKeepsTheNewestTwoHoursOnly) {
    const double firstKey = keyOf(now.addMSecs(50));
    const int updates = int((kHistorySeconds + 3 * kTrimChunkSeconds) * 20);
    for (int i = 0; i < updates; ++i)
        feed(i % 100, 30, 40);
    const double newestKey = keyOf(now);
    for (int trace = 1; trace <= 3; ++trace) {
        SCOPED_TRACE(trace);
        EXPECT_LE(chart->sampleCount(trace), int((kHistorySeconds + kTrimChunkSeconds) * 20) + 1);
        EXPECT_GT(data(trace).constBegin()->key, firstKey);
        EXPECT_GE(data(trace).constBegin()->key, newestKey - kHistorySeconds - kTrimChunkSeconds);
        EXPECT_LE(data(trace).constBegin()->key, newestKey - kHistorySeconds);
        EXPECT_DOUBLE_EQ((data(trace).constEnd() - 1)->key, newestKey);
    }
    EXPECT_DOUBLE_EQ((data(1).constEnd() - 1)->value, (updates - 1) % 100);
}

TEST_F(GraphChart, HeldBytesStopGrowingOnceTheHistoryLimitIsReached) {
    constexpr int kUpdatesPerHour = 60 * 60 * 20;
    const qsizetype sampleBytes = qsizetype(sizeof(QCPGraphData));
    for (int i = 0; i < kUpdatesPerHour; ++i)
        feed(25, 30, 40);
    const qsizetype oneHour = chart->heldBytes();
    EXPECT_EQ(oneHour, 3 * kUpdatesPerHour * sampleBytes);
    // Two more hours: past the limit, trimmed a chunk at a time.
    const qsizetype limit = 3 * (qsizetype((kHistorySeconds + kTrimChunkSeconds) * 20) + 1) * sampleBytes;
    qsizetype largest = 0;
    for (int i = 0; i < 2 * kUpdatesPerHour; ++i) {
        feed(25, 30, 40);
        largest = std::max(largest, chart->heldBytes());
    }
    EXPECT_GT(largest, oneHour);
    EXPECT_LE(largest, limit);
    EXPECT_GE(chart->heldBytes(), 3 * qsizetype(kHistorySeconds * 20) * sampleBytes);
}

// Keys out of order would break the chart's search for the visible samples.
TEST_F(GraphChart, ClockSetBackStartsTheTraceAfresh) {
    feed(25, 30, 40);
    feed(26, 31, 41);
    now = now.addSecs(-3600);
    window.appendSample(1, 27);
    ASSERT_EQ(chart->sampleCount(1), 1);
    EXPECT_DOUBLE_EQ(data(1).constBegin()->key, keyOf(now));
    EXPECT_EQ(chart->sampleCount(2), 2);
    expectViewEndsAt(keyOf(now));
}

TEST_F(GraphChart, TimeLabelsReadHoursMinutesAndSeconds) {
    feed(25, 30, 40); // 13:07:00.000
    chart->replotNow();
    const QVector<QString> labels = chart->plot()->xAxis->tickVectorLabels();
    EXPECT_TRUE(labels.contains("13 07 00")) << labels.join(", ").toStdString();
    EXPECT_TRUE(labels.contains("13 06 30")) << labels.join(", ").toStdString();
}

class GraphZoom : public GraphChart {
protected:
    // Presses the handle, moves the mouse in two steps and lets go, as a user drags.
    void drag(const char* handleName, QPoint by) {
        chart->replotNow();
        auto* handle = chart->findChild<QWidget*>(handleName);
        ASSERT_NE(handle, nullptr) << handleName;
        ASSERT_TRUE(handle->isVisible());
        const QPoint start = handle->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, {}, start);
        QTest::mouseMove(handle, start + by / 2);
        QTest::mouseMove(handle, start + by);
        QTest::mouseRelease(handle, Qt::LeftButton, {}, start + by);
    }
};

TEST_F(GraphZoom, TimeHandleNarrowsAndWidensTheSpan) {
    feed(25, 30, 40);
    drag("zoomTime", QPoint(100, 0));
    const double narrowed = chart->plot()->xAxis->range().size();
    EXPECT_LT(narrowed, 60);
    EXPECT_GE(narrowed, kMinTimeSpan);
    expectViewEndsAt(keyOf(now));

    drag("zoomTime", QPoint(-300, 0));
    EXPECT_GT(chart->plot()->xAxis->range().size(), narrowed);

    // The zoomed span stays in force as the axis follows new samples.
    const double span = chart->plot()->xAxis->range().size();
    feed(25, 30, 40);
    EXPECT_DOUBLE_EQ(chart->plot()->xAxis->range().size(), span);
    expectViewEndsAt(keyOf(now));
}

TEST_F(GraphZoom, TemperatureHandlesMoveTheirEndOfTheAxis) {
    drag("zoomTemperatureHigh", QPoint(0, 60));
    EXPECT_LT(chart->plot()->yAxis->range().upper, 130);
    EXPECT_DOUBLE_EQ(chart->plot()->yAxis->range().lower, -40);

    drag("zoomTemperatureLow", QPoint(0, -60));
    EXPECT_GT(chart->plot()->yAxis->range().lower, -40);

    const double low = chart->plot()->yAxis->range().lower;
    drag("zoomTemperatureHigh", QPoint(0, -400));
    EXPECT_GT(chart->plot()->yAxis->range().upper, 130);
    EXPECT_DOUBLE_EQ(chart->plot()->yAxis->range().lower, low);
}

TEST_F(GraphZoom, HandlesSitAtTheEdgesOfThePlotArea) {
    chart->replotNow();
    const QRect area = chart->plot()->axisRect()->rect();
    const QRect high = chart->findChild<QWidget*>("zoomTemperatureHigh")->geometry();
    const QRect low = chart->findChild<QWidget*>("zoomTemperatureLow")->geometry();
    const QRect time = chart->findChild<QWidget*>("zoomTime")->geometry();
    for (const QRect& handle : {high, low, time})
        EXPECT_TRUE(area.contains(handle));
    EXPECT_LT(high.top() - area.top(), 10);
    EXPECT_LT(area.bottom() - low.bottom(), 10);
    EXPECT_LT(area.bottom() - time.bottom(), 10);
    EXPECT_LT(time.left() - area.left(), 40);
}

} // namespace

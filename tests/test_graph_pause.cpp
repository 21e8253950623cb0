#include "support/GraphWindowFixture.h"
#include "views/StripChart.h"
#include "views/frmGraph.h"

#include <qcustomplot.h>

#include <QAction>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class GraphPause : public GraphWindowFixture {
protected:
    QCPRange timeRange() const { return chart->plot()->xAxis->range(); }
    QCPRange temperatureRange() const { return chart->plot()->yAxis->range(); }
    void sendMouse(QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, chart->plot()->mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(chart->plot(), &event);
    }
    bool pausedMarkShown() const {
        for (int i = 0; i < chart->plot()->itemCount(); ++i)
            if (auto* text = qobject_cast<QCPItemText*>(chart->plot()->item(i));
                text && text->text() == "Paused")
                return text->visible();
        return false;
    }
};

TEST_F(GraphPause, MenuOffersTheFunctionsByTheirTexts) {
    QStringList texts;
    for (const QAction* action : chart->menu()->actions())
        if (!action->isSeparator())
            texts << action->text();
    EXPECT_EQ(texts, (QStringList{"Pause", "Autoscale", "Reset View", "Cursors", "Statistics", "Limit Lines",
                                  "Alarm Marks", "Save Picture...", "Export Data..."}));
}

TEST_F(GraphPause, SpaceFreezesTheViewWhileEverySampleIsKept) {
    for (int i = 0; i < 20; ++i)
        feed(25, 30, 40);
    key(Qt::Key_Space);
    ASSERT_TRUE(chart->paused());
    EXPECT_TRUE(pausedMarkShown());
    EXPECT_EQ(chart->menu()->actions().first()->text(), "Resume");
    const QCPRange frozen = timeRange();
    for (int i = 0; i < 2000; ++i)
        feed(i, 30, 40);
    EXPECT_EQ(timeRange(), frozen);
    for (int trace = 1; trace <= 3; ++trace)
        EXPECT_EQ(chart->sampleCount(trace), 2020);
    EXPECT_DOUBLE_EQ((chart->plot()->graph(0)->data()->constEnd() - 1)->value, 1999);

    key(Qt::Key_Space);
    EXPECT_FALSE(chart->paused());
    EXPECT_FALSE(pausedMarkShown());
    expectViewEndsAt(keyOf(now));
    EXPECT_DOUBLE_EQ(timeRange().size(), 60);
}

// Resume goes back to the stored span even after the user zoomed while paused.
TEST_F(GraphPause, WheelAndDragMoveThroughTheHistoryWhilePaused) {
    for (int i = 0; i < 1200; ++i)
        feed(25, 30, 40);
    key(Qt::Key_Space);
    chart->replotNow();
    const QCPRange before = timeRange();
    const double x = chart->plot()->xAxis->coordToPixel(before.lower + 45);
    QWheelEvent wheel(QPointF(x, 100), chart->plot()->mapToGlobal(QPointF(x, 100)), {}, QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(chart->plot(), &wheel);
    EXPECT_NEAR(timeRange().size(), 48, 1e-6);
    EXPECT_NEAR(chart->plot()->xAxis->pixelToCoord(x), before.lower + 45, 1e-3);

    chart->replotNow();
    const QCPRange zoomed = timeRange();
    const double secondsPerPixel = zoomed.size() / chart->plot()->axisRect()->width();
    sendMouse(QEvent::MouseButtonPress, QPointF(300, 100), Qt::LeftButton);
    sendMouse(QEvent::MouseMove, QPointF(350, 100), Qt::LeftButton);
    sendMouse(QEvent::MouseMove, QPointF(400, 100), Qt::LeftButton);
    sendMouse(QEvent::MouseButtonRelease, QPointF(400, 100), Qt::NoButton);
    EXPECT_NEAR(timeRange().lower, zoomed.lower - 100 * secondsPerPixel, 1e-3);
    EXPECT_NEAR(timeRange().size(), zoomed.size(), 1e-6);

    key(Qt::Key_Space);
    expectViewEndsAt(keyOf(now));
    EXPECT_DOUBLE_EQ(timeRange().size(), 60);
}

TEST_F(GraphPause, AutoscaleFitsTheVisibleSamplesOnce) {
    for (int i = 0; i < 2000; ++i)
        feed(i < 500 ? -30 : 20 + (i % 11), 24, 99); // the -30 stretch is out of view, 99 on a hidden trace
    window.setTraceVisible(3, false);
    key(Qt::Key_A);
    EXPECT_DOUBLE_EQ(temperatureRange().lower, 20 - 0.5);
    EXPECT_DOUBLE_EQ(temperatureRange().upper, 30 + 0.5);
    // Once: later samples outside the fitted range leave it alone.
    feed(100, 24, 99);
    EXPECT_DOUBLE_EQ(temperatureRange().upper, 30.5);
}

TEST_F(GraphPause, ResetViewByKeyAndDoubleClick) {
    feed(25, 30, 40);
    for (bool byKey : {true, false}) {
        SCOPED_TRACE(byKey);
        chart->plot()->yAxis->setRange(20, 30);
        QWheelEvent wheel(QPointF(200, 100), chart->plot()->mapToGlobal(QPointF(200, 100)), {},
                          QPoint(0, -240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(chart->plot(), &wheel);
        ASSERT_GT(timeRange().size(), 60);
        if (byKey)
            key(Qt::Key_R);
        else
            QTest::mouseDClick(chart->plot(), Qt::LeftButton, {}, QPoint(200, 100));
        EXPECT_DOUBLE_EQ(temperatureRange().lower, -40);
        EXPECT_DOUBLE_EQ(temperatureRange().upper, 130);
        EXPECT_DOUBLE_EQ(timeRange().size(), 60);
        expectViewEndsAt(keyOf(now));
    }
}

} // namespace

#include "support/GraphWindowFixture.h"
#include "views/ChartReadout.h"
#include "views/StripChart.h"
#include "views/frmGraph.h"

#include <qcustomplot.h>

#include <QAction>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class GraphReadout : public GraphWindowFixture {
protected:
    GraphReadout() { now = QDateTime(QDate(2026, 12, 8), QTime(13, 6, 28, 950)); }
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(GraphWindowFixture::SetUp());
        // Thirty seconds out of view with Remote1 at 100, then a minute of the known feed:
        // Local rises 1 °C/s, Remote1 alternates 20 and 30, Remote2 falls 0.05 °C/s.
        for (int i = 0; i < 600; ++i)
            feed(0, 100, 0);
        // A second without samples, so the minute in view starts with the known feed.
        now = now.addSecs(1);
        t0 = keyOf(now.addMSecs(50));
        for (int i = 0; i < 1200; ++i)
            feed(0.05 * i, i % 2 ? 30 : 20, 40 - 0.0025 * i);
    }
    QAction* action(const char* name) const { return chart->findChild<QAction*>(name); }
    QStringList readoutLines() {
        chart->replotNow();
        return chart->readout()->readoutText().split('\n');
    }
    QStringList statisticsLines() {
        chart->replotNow();
        return chart->readout()->statisticsText().split('\n');
    }

    double t0 = 0;
};

TEST_F(GraphReadout, CursorsReadTheValuesAndTheirDifferences) {
    QTest::keyClick(chart, Qt::Key_C);
    ASSERT_TRUE(chart->readout()->cursorsShown());
    // Between samples, so each cursor reads the sample just before it.
    chart->readout()->setCursorKey(0, t0 + 10.01);
    chart->readout()->setCursorKey(1, t0 + 40.01);
    const QStringList lines = readoutLines();
    EXPECT_EQ(lines.mid(lines.size() - 6),
              (QStringList{"C1 13:07:10.010  Local 10.00  Remote1 20.00  Remote2 39.50",
                           "C2 13:07:40.010  Local 40.00  Remote1 20.00  Remote2 38.00", "Δt 30.000 s",
                           "Δ Local +30.00 °C  +60.00 °C/min", "Δ Remote1 +0.00 °C  +0.00 °C/min",
                           "Δ Remote2 -1.50 °C  -3.00 °C/min"}));

    // A hidden trace leaves the readout.
    window.setTraceVisible(3, false);
    EXPECT_FALSE(readoutLines().join('\n').contains("Remote2"));
    QTest::keyClick(chart, Qt::Key_C);
    EXPECT_FALSE(chart->readout()->cursorsShown());
}

TEST_F(GraphReadout, CursorFollowsTheMouseAndThePointerShowsItsFullTime) {
    QTest::keyClick(chart, Qt::Key_C);
    chart->replotNow();
    QCPAxis* axis = chart->plot()->xAxis;
    const double from = axis->coordToPixel(chart->readout()->cursorKey(0));
    const double to = axis->coordToPixel(t0 + 5);
    auto send = [&](QEvent::Type type, double x, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(x, 100), chart->plot()->mapToGlobal(QPointF(x, 100)), button, buttons,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(chart->plot(), &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    const double secondsPerPixel = axis->range().size() / chart->plot()->axisRect()->width();
    EXPECT_NEAR(chart->readout()->cursorKey(0), t0 + 5, secondsPerPixel);
    // Not paused: the press took the cursor, the view stayed live.
    expectViewEndsAt(keyOf(now));

    const QString pointer = readoutLines().first();
    EXPECT_TRUE(pointer.startsWith("Pointer 2026-12-08 13:07:0")) << pointer.toStdString();
}

TEST_F(GraphReadout, StatisticsCoverTheVisibleSamplesOrThoseBetweenTheCursors) {
    action("actionStatistics")->trigger();
    QStringList lines = statisticsLines();
    ASSERT_EQ(lines.size(), 3);
    // The Remote1 samples at 100 are out of view and must not count.
    EXPECT_EQ(lines[1], "Remote1  min 20.00  max 30.00  mean 25.00  σ 5.00  p-p 10.00 °C");
    EXPECT_TRUE(lines[0].startsWith("Local  min 0.00  max 59.95")) << lines[0].toStdString();

    // Moving the view back brings them in.
    QTest::keyClick(chart, Qt::Key_Space);
    chart->plot()->xAxis->setRange(t0 - 30, t0 + 30);
    lines = statisticsLines();
    EXPECT_TRUE(lines[1].startsWith("Remote1  min 20.00  max 100.00")) << lines[1].toStdString();

    QTest::keyClick(chart, Qt::Key_C);
    chart->readout()->setCursorKey(1, t0 + 10.01);
    chart->readout()->setCursorKey(0, t0 + 40.01); // the order of the cursors does not matter
    lines = statisticsLines();
    // Samples 201 to 800 of the ramp; their mean 25.025 sits on a rounding edge, so it is read to one
    // decimal.
    EXPECT_TRUE(lines[0].startsWith("Local  min 10.05  max 40.00  mean 25.0")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith("σ 8.66  p-p 29.95 °C")) << lines[0].toStdString();
    EXPECT_EQ(lines[1], "Remote1  min 20.00  max 30.00  mean 25.00  σ 5.00  p-p 10.00 °C");
}

} // namespace

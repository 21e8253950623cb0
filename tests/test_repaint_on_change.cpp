#include "device/Clock.h"
#include "views/ChartReadout.h"
#include "views/ChartRedrawRules.h"
#include "views/StatusLamp.h"
#include "views/StripChart.h"
#include "views/TempGauge.h"

#include <qcustomplot.h>

#include <QCoreApplication>
#include <QEvent>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// The monitoring cycle sets every gauge and lamp several times a second: a setting
// that changes nothing must not repaint, one that changes what is shown must.
TEST(RepaintOnChange, GaugesAndLampsRepaintOnlyWhenTheyWouldLookDifferent) {
    struct Row {
        const char* name;
        std::function<void(TempGauge&, StatusLamp&)> set;
        bool gaugeRepaints;
        bool lampRepaints;
    };
    const Row rows[] = {
        {"the same reading, caption and lamp",
         [](TempGauge& g, StatusLamp& l) {
             g.setTemperature(25.25);
             g.setCaption("25.25°C");
             l.setOn(true);
         },
         false, false},
        {"a new reading", [](TempGauge& g, StatusLamp&) { g.setTemperature(25.5); }, true, false},
        // The caption alone can change: the same degrees in the other number format.
        {"a new caption", [](TempGauge& g, StatusLamp&) { g.setCaption("25.3°C"); }, true, false},
        {"a lamp going out", [](TempGauge&, StatusLamp& l) { l.setOn(false); }, false, true},
        {"a slider's limit", [](TempGauge& g, StatusLamp&) { g.setHighLimit(70); }, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QWidget window;
        auto* gauge = new TempGauge(0, &window);
        auto* lamp = new StatusLamp(&window);
        lamp->move(100, 0);
        lamp->resize(20, 20);
        gauge->setTemperature(25.25);
        gauge->setCaption("25.25°C");
        lamp->setOn(true);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();
        PaintCounter gaugePaints(gauge);
        PaintCounter lampPaints(lamp);

        row.set(*gauge, *lamp);
        QCoreApplication::processEvents();
        EXPECT_EQ(gaugePaints.paints > 0, row.gaugeRepaints);
        EXPECT_EQ(lampPaints.paints > 0, row.lampRepaints);
    }
}

TEST(RepaintOnChange, ANewSampleRedrawsWhenItMovesAPixel) {
    const double right = 500;
    struct Row {
        const char* name;
        std::optional<QPointF> drawn;
        QPointF newest;
        bool redraws;
    };
    const Row rows[] = {
        {"the first sample of a trace", std::nullopt, {right, 40}, true},
        {"less than a pixel along, the same row", QPointF(right - 0.6, 40.4), {right, 39.6}, false},
        {"a whole pixel along", QPointF(right - 1, 40), {right, 40}, true},
        {"on the next row", QPointF(right - 0.2, 40.4), {right, 40.6}, true},
        // A clock set back starts the trace afresh far to the left.
        {"far back in time", QPointF(right, 40), {3, 40}, true},
        // Paused, the view stays put while samples arrive right of it.
        {"paused, both right of the view", QPointF(right + 30, 40), {right + 90, 70}, false},
        {"paused, the drawn end still in view", QPointF(right, 40), {right + 1, 40}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(NewestSampleMovesAPixel(row.drawn, row.newest, right), row.redraws);
    }
}

// The chart as the monitoring cycle drives it: each change queues a redraw or not.
TEST(RepaintOnChange, TheChartRedrawsWhatShows) {
    struct Row {
        const char* name;
        double pixelsLater; // of the time axis
        double degrees;     // the new sample, after 25 °C
        bool cursors;
        QString caption;
        bool redraws;
    };
    const QString caption = "Local = 25°C";
    const Row rows[] = {
        {"a quarter pixel later, the same reading", 0.25, 25, false, caption, false},
        {"a pixel and a half later", 1.5, 25, false, caption, true},
        {"a quarter pixel later, a reading rows away", 0.25, 30, false, caption, true},
        {"the caption changes", 0.25, 25, false, "Local = 26°C", true},
        // The cursors stand on the time axis, and their readout is text: both follow every sample.
        {"cursors shown", 0.25, 25, true, caption, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QDateTime now(QDate(2026, 12, 8), QTime(13, 0));
        Clock::SetLocalNowSource([&now] { return now; });
        StripChart chart;
        chart.resize(640, 400);
        chart.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
        chart.readout()->setCursorsShown(row.cursors);
        chart.setTraceCaption(1, caption);
        chart.appendSample(1, 25);
        chart.replotNow();
        QCoreApplication::processEvents();
        const double secondsPerPixel = chart.timeSpan() / chart.plot()->axisRect()->width();
        QSignalSpy redraws(chart.plot(), &QCustomPlot::afterReplot);

        now = now.addMSecs(qRound64(row.pixelsLater * secondsPerPixel * 1000));
        chart.appendSample(1, row.degrees);
        chart.setTraceCaption(1, row.caption);
        QCoreApplication::processEvents();
        EXPECT_EQ(!redraws.isEmpty(), row.redraws);
        Clock::SetLocalNowSource({});
    }
}

} // namespace

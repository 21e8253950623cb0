#pragma once
// A graph window loaded and shown on a fake clock, its chart found and focused, with
// the helpers the graph tests feed and drive it with.
#include "device/Clock.h"
#include "device/GeneralStuff.h"
#include "views/ChartReadout.h"
#include "views/StripChart.h"
#include "views/frmGraph.h"

#include <qcustomplot.h>

#include <QDateTime>
#include <QTest>
#include <gtest/gtest.h>

class GraphWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        GeneralStuff::ResetSharedState();
        Clock::SetLocalNowSource([this] { return now; });
        beforeLoad();
        window.Form_Load();
        window.show();
        chart = window.findChild<StripChart*>("stpGraph");
        ASSERT_NE(chart, nullptr);
        // As the cycle's start values give it: a cursor reads a sample up to 150 ms old.
        chart->readout()->setLongestSampleGap(0.15);
        chart->setFocus();
    }
    void TearDown() override { Clock::SetLocalNowSource({}); }

    // What has to be in place before the window loads, such as the chip it reads.
    virtual void beforeLoad() {}

    // One update of the monitoring cycle, 50 ms after the last.
    void feed(double local, double remote1, double remote2) {
        now = now.addMSecs(50);
        window.appendSample(1, local);
        window.appendSample(2, remote1);
        window.appendSample(3, remote2);
    }
    void key(Qt::Key k) { QTest::keyClick(chart, k); }
    static double keyOf(const QDateTime& time) { return QCPAxisTickerDateTime::dateTimeToKey(time); }
    // The live view ends on the first pixel's edge at or after the key: less than a pixel after it.
    void expectViewEndsAt(double key) const {
        const QCPAxis* time = chart->plot()->xAxis;
        EXPECT_GE(time->range().upper, key);
        EXPECT_LT(time->range().upper - key, time->range().size() / time->axisRect()->width());
    }

    // The fake clock: the time of day the window reads.
    QDateTime now{QDate(2026, 12, 8), QTime(13, 6, 59, 950)};
    frmGraph window;
    StripChart* chart = nullptr;
};

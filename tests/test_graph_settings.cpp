#include "device/Clock.h"
#include "device/GeneralStuff.h"
#include "device/SettingsStore.h"
#include "support/AppFakes.h"
#include "support/ScriptedAdapter.h"
#include "views/AlarmMarks.h"
#include "views/ChartReadout.h"
#include "views/GraphSettings.h"
#include "views/LimitLines.h"
#include "views/StripChart.h"
#include "views/frmGraph.h"

#include <qcustomplot.h>

#include <QAction>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void ExpectSame(const GraphSettings& actual, const GraphSettings& expected) {
    EXPECT_EQ(actual.cursors, expected.cursors);
    EXPECT_EQ(actual.statistics, expected.statistics);
    EXPECT_EQ(actual.limitLines, expected.limitLines);
    EXPECT_EQ(actual.alarmMarks, expected.alarmMarks);
}

TEST(GraphSettingsRule, SwitchesNeitherZeroNorOneReadAsOff) {
    struct Row {
        const char* name;
        const char* key;
        const char* value;
    };
    const Row rows[] = {
        {"a word", "Cursors", "yes"},
        {"another number", "LimitLines", "2"},
        {"empty", "AlarmMarks", ""},
    };
    const GraphSettings defaults;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TestSettingsFolder folder;
        auto settings = OpenMainSettings();
        settings->setValue(QString("Graph/") + row.key, row.value);
        ExpectSame(ReadGraphSettings(*settings), defaults);
    }
}

TEST(GraphSettingsRule, WrittenValuesReadBackExactly) {
    TestSettingsFolder folder;
    const GraphSettings written{true, false, true, true};
    WriteGraphSettings(*OpenMainSettings(), written);
    ExpectSame(ReadGraphSettings(*OpenMainSettings()), written);
}

class GraphSettingsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        GeneralStuff::ResetSharedState();
        InstallScriptedAdapter();
        ThrowOnLinkError();
        GeneralStuff::DeviceAddress = 0x4C;
        Clock::SetLocalNowSource([this] { return now; });
    }
    void TearDown() override { Clock::SetLocalNowSource({}); }

    std::unique_ptr<frmGraph> openGraph() {
        auto window = std::make_unique<frmGraph>();
        window->Form_Load();
        window->show();
        return window;
    }
    static StripChart* chartOf(frmGraph& window) { return window.findChild<StripChart*>("stpGraph"); }

    TestSettingsFolder folder;
    QDateTime now{QDate(2026, 12, 8), QTime(10, 0)};
};

TEST_F(GraphSettingsWindow, WhatTheGraphShowedComesBackAfterClosing) {
    auto first = openGraph();
    StripChart* chart = chartOf(*first);
    // Never used, the graph opens with its own span and range and every function off.
    ExpectSame(chart->viewSettings(), GraphSettings{});
    chart->setFocus();
    for (int i = 0; i < 40; ++i) {
        now = now.addMSecs(50);
        first->appendSample(1, 20 + i % 7);
    }
    for (Qt::Key key : {Qt::Key_C, Qt::Key_S, Qt::Key_L, Qt::Key_M, Qt::Key_A})
        QTest::keyClick(chart, key);
    QWheelEvent wheel(QPointF(100, 100), chart->plot()->mapToGlobal(QPointF(100, 100)), {}, QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(chart->plot(), &wheel);
    const GraphSettings shown = chart->viewSettings();
    EXPECT_LT(chart->plot()->xAxis->range().size(), 60);
    EXPECT_NEAR(chart->plot()->yAxis->range().lower, 19.7, 1e-9);
    first->close();
    first.reset();

    auto second = openGraph();
    chart = chartOf(*second);
    ExpectSame(chart->viewSettings(), shown);
    EXPECT_TRUE(chart->readout()->cursorsShown());
    EXPECT_TRUE(chart->readout()->statisticsShown());
    EXPECT_TRUE(chart->limitLines()->shown());
    EXPECT_TRUE(chart->alarmMarks()->shown());
    EXPECT_TRUE(chart->menu()->findChild<QAction*>("actionAlarmMarks")->isChecked());
    // Span and range are the stored ones at every opening; only the switches come back.
    EXPECT_NEAR(chart->plot()->xAxis->range().size(), 60, 1e-6);
    EXPECT_DOUBLE_EQ(chart->plot()->yAxis->range().lower, -40);
    EXPECT_DOUBLE_EQ(chart->plot()->yAxis->range().upper, 130);
    // Nothing held yet: the cursors wait for samples rather than read times nothing was measured at.
    EXPECT_TRUE(chart->readout()->cursorsWaiting());

    // Switched off again, the next opening is the plain graph.
    for (Qt::Key key : {Qt::Key_C, Qt::Key_S, Qt::Key_L, Qt::Key_M, Qt::Key_R})
        QTest::keyClick(chart, key);
    second->close();
    second.reset();
    ExpectSame(chartOf(*openGraph())->viewSettings(), GraphSettings{});
}

} // namespace

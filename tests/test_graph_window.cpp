#include "device/Clock.h"
#include "device/GeneralStuff.h"
#include "device/RegMapStuff.h"
#include "device/USBStuff.h"
#include "support/AppFakes.h"
#include "support/ScriptedAdapter.h"
#include "views/StripChart.h"
#include "views/frmGraph.h"

#include <qcustomplot.h>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

// What the legend shows, heading first: its text elements and the trace captions.
QStringList LegendLines(const StripChart* chart) {
    QStringList lines;
    QCPLegend* legend = chart->plot()->legend;
    for (int i = 0; i < legend->elementCount(); ++i) {
        QCPLayoutElement* element = legend->elementAt(i);
        if (auto* text = qobject_cast<QCPTextElement*>(element))
            lines << text->text();
        else if (auto* item = qobject_cast<QCPPlottableLegendItem*>(element))
            lines << item->plottable()->name();
    }
    return lines;
}

class GraphWindow : public ::testing::Test {
protected:
    void SetUp() override {
        GeneralStuff::ResetSharedState();
        Clock::SetLocalNowSource([this] { return now; });
        area.resize(1000, 800);
        area.show();
    }
    void TearDown() override { Clock::SetLocalNowSource({}); }

    // Opens the window as the main window does: wrapped, loaded, then shown.
    frmGraph* open() {
        auto* window = new frmGraph;
        QMdiSubWindow* sub = area.addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        window->Form_Load();
        sub->show();
        return window;
    }
    static StripChart* chartOf(frmGraph* window) { return window->findChild<StripChart*>("stpGraph"); }

    // Each test starts from an empty settings store: a closed window writes what it showed.
    TestSettingsFolder settingsFolder;
    QDateTime now{QDate(2026, 12, 8), QTime(13, 7, 0)};
    QMdiArea area;
};

TEST_F(GraphWindow, OpensWithTheStoredSettings) {
    frmGraph* window = open();
    StripChart* chart = chartOf(window);
    ASSERT_NE(chart, nullptr);

    EXPECT_EQ(window->objectName(), "frmGraph");
    EXPECT_EQ(window->windowTitle(), "Graphing");
    EXPECT_EQ(LegendLines(chart), QStringList({"Temperature (°C)", "Local", "Remote1 = 33.75C", "Remote2"}));
    for (int trace = 1; trace <= 3; ++trace)
        EXPECT_TRUE(chart->traceVisible(trace)) << trace;
    EXPECT_DOUBLE_EQ(chart->plot()->xAxis->range().size(), 60);
    EXPECT_DOUBLE_EQ(chart->plot()->yAxis->range().lower, -40);
    EXPECT_DOUBLE_EQ(chart->plot()->yAxis->range().upper, 130);
    EXPECT_EQ(chart->toolTip(), "Drag the arrows at the edges of this graph to zoom in and out");
    EXPECT_EQ(chart->pos(), QPoint(0, 0));
}

TEST_F(GraphWindow, LoadSetsTheOpenFlagTheSlotAndTheOuterSize) {
    frmGraph* window = open();
    EXPECT_TRUE(GeneralStuff::GraphOpen);
    EXPECT_EQ(OpenWindows::program().graph, window);
    EXPECT_EQ(window->parentWidget()->size(), QSize(624, 516));
    EXPECT_EQ(chartOf(window)->size(), QSize(624, 516));
}

TEST_F(GraphWindow, ReopeningGivesAnEmptyChartAtTheStoredSize) {
    frmGraph* first = open();
    StripChart* firstChart = chartOf(first);
    firstChart->plot()->yAxis->setRange(0, 50);
    for (int trace = 1; trace <= 3; ++trace)
        first->appendSample(trace, 25);
    ASSERT_EQ(firstChart->sampleCount(1), 1);
    first->parentWidget()->resize(300, 200);

    QPointer<QMdiSubWindow> sub = qobject_cast<QMdiSubWindow*>(first->parentWidget());
    sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(sub.isNull());
    EXPECT_FALSE(GeneralStuff::GraphOpen);
    EXPECT_EQ(OpenWindows::program().graph, nullptr);

    frmGraph* second = open();
    StripChart* chart = chartOf(second);
    for (int trace = 1; trace <= 3; ++trace)
        EXPECT_EQ(chart->sampleCount(trace), 0) << trace;
    EXPECT_EQ(second->parentWidget()->size(), QSize(624, 516));
    EXPECT_DOUBLE_EQ(chart->plot()->yAxis->range().lower, -40);
    EXPECT_DOUBLE_EQ(chart->plot()->yAxis->range().upper, 130);
}

TEST_F(GraphWindow, ChartTakesTheOuterSizeOnEveryResize) {
    frmGraph* window = open();
    QWidget* outer = window->parentWidget();
    // The very small size shows that the chart does not hold the window open wider than asked.
    for (QSize size : {QSize(800, 600), QSize(30, 20), QSize(1, 1), QSize(500, 400)}) {
        SCOPED_TRACE(QString("%1 x %2").arg(size.width()).arg(size.height()).toStdString());
        outer->resize(size);
        EXPECT_EQ(chartOf(window)->size(), outer->size());
        EXPECT_LE(outer->width(), std::max(size.width(), outer->minimumSizeHint().width()));
    }
}

TEST_F(GraphWindow, ResizingAWindowWithoutFrameGivesTheChartItsSize) {
    frmGraph window;
    window.Form_Load();
    window.show();
    for (QSize size : {QSize(2, 3), QSize(700, 500)}) {
        window.resize(size);
        EXPECT_EQ(chartOf(&window)->size(), size);
    }
}

// Only the window holding the slot is open: a late unload of an older one must not close the newer.
TEST_F(GraphWindow, UnloadOfAnOlderWindowLeavesTheNewerOneOpen) {
    frmGraph* older = open();
    frmGraph* newer = open();
    older->Form_Unload();
    EXPECT_TRUE(GeneralStuff::GraphOpen);
    EXPECT_EQ(OpenWindows::program().graph, newer);
    newer->Form_Unload();
    EXPECT_FALSE(GeneralStuff::GraphOpen);
}

// An unloaded window that still exists (its deletion is pending) is no longer relabelled.
TEST_F(GraphWindow, UnloadedWindowIgnoresABankChange) {
    frmGraph* window = open();
    window->Form_Unload();
    ScriptedAdapter* adapter = InstallScriptedAdapter();
    ThrowOnLinkError();
    GeneralStuff::DeviceAddress = 0x4C;
    adapter->setRegister(0x4C, 0x03, 0x08);
    USBStuff::WriteRegister(0x4C, 0x09, 0x08);
    EXPECT_TRUE(GeneralStuff::Remote2Selected);
    EXPECT_TRUE(chartOf(window)->traceVisible(3));
}

// A relabelling through the shared registers must reach the chart the user sees.
TEST_F(GraphWindow, BankChangeRelabelsAndHidesTheThirdTrace) {
    frmGraph* window = open();
    StripChart* chart = chartOf(window);
    ScriptedAdapter* adapter = InstallScriptedAdapter();
    ThrowOnLinkError();
    RegMapStuff::BuildRegisterTable();
    GeneralStuff::DeviceAddress = 0x4C;
    adapter->readAddressOf = TableReadAddressOf;

    USBStuff::WriteRegister(0x4C, 0x09, 0x08);
    EXPECT_EQ(LegendLines(chart), QStringList({"Temperature (°C)", "Local", "Remote2", ""}));
    EXPECT_TRUE(chart->traceVisible(2));
    EXPECT_FALSE(chart->traceVisible(3));

    USBStuff::WriteRegister(0x4C, 0x09, 0x00);
    EXPECT_EQ(LegendLines(chart), QStringList({"Temperature (°C)", "Local", "Remote1", "Remote2"}));
    EXPECT_TRUE(chart->traceVisible(3));
}

// How a user loses sight of the graph, and gets it back.
struct HiddenCase {
    const char* name;
    std::function<void(QMdiArea&, QMdiSubWindow* graph)> hide;
    std::function<void(QMdiArea&, QMdiSubWindow* graph)> show;
};

class HiddenGraph : public GraphWindow, public ::testing::WithParamInterface<HiddenCase> {};

TEST_P(HiddenGraph, DrawsNothingUnseenAndEverySampleOnTheFirstShowing) {
    frmGraph* window = open();
    StripChart* chart = chartOf(window);
    auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    QCoreApplication::processEvents();
    GetParam().hide(area, sub);
    QCoreApplication::processEvents();
    QSignalSpy redraws(chart->plot(), &QCustomPlot::beforeReplot);
    // Four seconds of samples at the graph's 50 ms, the clock moving the time axis by pixels.
    for (int i = 0; i < 80; ++i) {
        now = now.addMSecs(50);
        for (int trace = 1; trace <= 3; ++trace)
            window->appendSample(trace, 20 + (i * trace) % 37);
        window->setTraceCaption(1, QString("Local = %1°C").arg(i));
        QCoreApplication::processEvents();
    }
    chart->replotNow();
    EXPECT_EQ(redraws.count(), 0);
    EXPECT_EQ(chart->sampleCount(1), 80);

    GetParam().show(area, sub);
    const QImage shown = chart->plot()->grab().toImage();
    EXPECT_GE(redraws.count(), 1);
    chart->replotNow();
    EXPECT_EQ(shown, chart->plot()->grab().toImage());
}

INSTANTIATE_TEST_SUITE_P(
    Table, HiddenGraph,
    ::testing::Values(
        HiddenCase{"GraphWindowMinimised", [](QMdiArea&, QMdiSubWindow* graph) { graph->showMinimized(); },
                   [](QMdiArea&, QMdiSubWindow* graph) { graph->showNormal(); }},
        HiddenCase{"CoveredByAMaximisedChild",
                   [](QMdiArea& area, QMdiSubWindow*) {
                       QMdiSubWindow* cover = area.addSubWindow(new QWidget);
                       cover->setObjectName("cover");
                       cover->showMaximized();
                   },
                   [](QMdiArea& area, QMdiSubWindow*) { delete area.findChild<QMdiSubWindow*>("cover"); }},
        HiddenCase{"MainWindowMinimised", [](QMdiArea& area, QMdiSubWindow*) { area.showMinimized(); },
                   [](QMdiArea& area, QMdiSubWindow*) { area.showNormal(); }}),
    [](const ::testing::TestParamInfo<HiddenCase>& row) { return std::string(row.param.name); });

} // namespace

// Where the graph's cursors stand when they are switched on or the graph opens with them on, and what
// they read where nothing was measured.
#include "device/Clock.h"
#include "device/GeneralStuff.h"
#include "support/AppFakes.h"
#include "views/ChartReadout.h"
#include "views/StripChart.h"
#include "views/frmGraph.h"

#include <qcustomplot.h>

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class GraphCursors : public ::testing::Test {
protected:
    void SetUp() override {
        GeneralStuff::ResetSharedState();
        Clock::SetLocalNowSource([this] { return now; });
        openGraph();
    }
    void TearDown() override {
        graph.reset();
        Clock::SetLocalNowSource({});
    }
    void openGraph() {
        graph = std::make_unique<frmGraph>();
        graph->Form_Load();
        graph->show();
        chart = graph->findChild<StripChart*>("stpGraph");
        // As the cycle's start values give it: a cursor reads a sample up to 150 ms old.
        chart->readout()->setLongestSampleGap(0.15);
    }
    // Graph updates 50 ms apart, each with a sample of every channel.
    void feed(int updates) {
        for (int i = 0; i < updates; ++i) {
            now = now.addMSecs(50);
            for (int trace = 1; trace <= 3; ++trace)
                graph->appendSample(trace, 20 + trace + i % 5);
        }
    }
    ChartReadout* readout() const { return chart->readout(); }
    QString readoutText() {
        chart->replotNow();
        return readout()->readoutText();
    }
    double sampleKey(bool newest) const {
        const QCPGraphDataContainer& samples = *chart->plot()->graph(0)->data();
        return newest ? (samples.constEnd() - 1)->key : samples.constBegin()->key;
    }

    TestSettingsFolder folder;
    QDateTime now{QDate(2026, 12, 8), QTime(13, 6, 59, 950)};
    std::unique_ptr<frmGraph> graph;
    StripChart* chart = nullptr;
};

TEST_F(GraphCursors, StandAmongTheSamplesOnScreenOnceTwoAreThere) {
    const struct {
        const char* name;
        int before;    // graph updates held when the cursors come on
        int after;     // updates that arrive after that
        bool storedOn; // on from the stored settings as the graph opens, rather than by the key
        bool placed;   // the cursors stand among the samples
    } rows[] = {
        {"switched on with nothing held", 0, 0, false, false},
        {"switched on with one sample", 1, 0, false, false},
        {"switched on with two samples", 2, 0, false, true},
        // Half of it has scrolled out of view: the cursors stand in the part on screen.
        {"switched on with a minute and a half held", 1800, 0, false, true},
        {"switched on early, placed when the second sample arrives", 1, 1, false, true},
        {"stored on, placed when the second sample arrives", 0, 2, true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        openGraph();
        feed(row.before);
        if (row.storedOn)
            chart->applyViewSettings({true, false, false, false});
        else
            QTest::keyClick(chart, Qt::Key_C);
        feed(row.after);
        const QString text = readoutText();
        EXPECT_EQ(readout()->cursorsWaiting(), !row.placed);
        if (!row.placed) {
            EXPECT_EQ(text, "C1 no sample\nC2 no sample");
            continue;
        }
        EXPECT_FALSE(text.contains("no sample")) << text.toStdString();
        const double oldestOnScreen = std::max(sampleKey(false), chart->plot()->xAxis->range().lower);
        for (int cursor = 0; cursor < 2; ++cursor) {
            EXPECT_GT(readout()->cursorKey(cursor), oldestOnScreen);
            EXPECT_LT(readout()->cursorKey(cursor), sampleKey(true));
        }
    }
}

// Where nothing was measured a cursor says so for every channel, and so do its difference lines, rather
// than give a neighbouring sample's value.
TEST_F(GraphCursors, WhereNothingWasMeasuredReadNoSample) {
    feed(100);
    QTest::keyClick(chart, Qt::Key_C);
    ASSERT_FALSE(readout()->cursorsWaiting());
    const double newest = sampleKey(true);
    // Five seconds without an update (a stalled cycle), then two more.
    now = now.addSecs(5);
    feed(2);
    const struct {
        const char* name;
        double key;
        bool reads;
    } rows[] = {
        {"on a sample", newest, true},
        {"within a graph update and a reading after a sample", newest + 0.1, true},
        {"in a gap, too long after the sample before", newest + 1, false},
        {"after the newest sample", sampleKey(true) + 0.01, false},
        {"before the oldest sample", sampleKey(false) - 0.01, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        readout()->setCursorKey(1, row.key);
        const QStringList lines = readoutText().split('\n');
        ASSERT_GE(lines.size(), 5);
        const QString cursorLine = lines[lines.size() - 5];
        const QStringList deltaLines = lines.mid(lines.size() - 3);
        if (row.reads) {
            EXPECT_FALSE(lines.join('\n').contains("no sample")) << cursorLine.toStdString();
            continue;
        }
        EXPECT_TRUE(cursorLine.endsWith("Local no sample  Remote1 no sample  Remote2 no sample"))
            << cursorLine.toStdString();
        EXPECT_EQ(deltaLines,
                  (QStringList{"Δ Local no sample", "Δ Remote1 no sample", "Δ Remote2 no sample"}));
    }
}

} // namespace

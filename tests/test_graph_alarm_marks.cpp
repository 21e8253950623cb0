#include "app/MonitoringCycle.h"
#include "app/MonitoringRoutines.h"
#include "app/ViewWiring.h"
#include "chip/ChipRegisters.h"
#include "device/Clock.h"
#include "device/GeneralStuff.h"
#include "support/ScriptedAdapter.h"
#include "views/AlarmMarks.h"
#include "views/StripChart.h"
#include "views/StripChartRules.h"
#include "views/frmGraph.h"

#include <qcustomplot.h>

#include <QAction>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int32_t kChip = 0x4C;

TEST(AlarmMarkRule, EachShownStatusBitLandsOnItsChannelAndKind) {
    struct Row {
        bool second;
        uint8_t mask;
        int channel;
        StatusKind kind;
    };
    const Row rows[] = {{false, 0x40, 0, StatusKind::High},      {false, 0x20, 0, StatusKind::Low},
                        {false, 0x01, 0, StatusKind::Therm},     {false, 0x10, 1, StatusKind::High},
                        {false, 0x08, 1, StatusKind::Low},       {false, 0x02, 1, StatusKind::Therm},
                        {false, 0x04, 1, StatusKind::OpenDiode}, {true, 0x10, 2, StatusKind::High},
                        {true, 0x08, 2, StatusKind::Low},        {true, 0x02, 2, StatusKind::Therm},
                        {true, 0x04, 2, StatusKind::OpenDiode}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << "mask " << int(row.mask) << (row.second ? " of Status Reg 2" : ""));
        const AlarmBits bits = AlarmBitsOf(row.second ? 0 : row.mask, row.second ? row.mask : 0);
        int set = 0;
        for (int channel = 0; channel < kAlarmChannelCount; ++channel)
            for (int kind = 0; kind < kStatusKindCount; ++kind)
                set += AlarmSet(bits, channel, StatusKind(kind));
        EXPECT_EQ(set, 1);
        EXPECT_TRUE(AlarmSet(bits, row.channel, row.kind));
    }
    // Busy and ALERT change with every conversion or alarm: they must not split the runs.
    EXPECT_EQ(AlarmBitsOf(0x80, 0xE1), 0);
}

// The chart with the limits window's status reads: a scripted status sequence
// through the monitoring routine that lights the lamps.
class GraphAlarmMarks : public ::testing::Test {
protected:
    void SetUp() override {
        GeneralStuff::ResetSharedState();
        adapter = InstallScriptedAdapter();
        ThrowOnLinkError();
        GeneralStuff::DeviceAddress = kChip;
        Clock::SetLocalNowSource([this] { return now; });
        ConnectViewFeeds(cycle, feeds);
        window.Form_Load();
        window.show();
        chart = window.findChild<StripChart*>("stpGraph");
        ASSERT_NE(chart, nullptr);
        chart->setFocus();
    }
    void TearDown() override {
        Clock::SetLocalNowSource({});
        GeneralStuff::ResetSharedState();
    }

    // One lamp update 0.2 s after the last, with the limits window open or closed.
    void statusStep(uint8_t status1, uint8_t status2, bool limitsOpen = true) {
        now = now.addMSecs(200);
        adapter->setRegister(kChip, kStatus1, status1);
        adapter->setRegister(kChip, kStatus2, status2);
        if (limitsOpen)
            GeneralStuff::UpdateStatusLamps();
        window.appendSample(1, 25);
    }
    double key() const { return QCPAxisTickerDateTime::dateTimeToKey(now); }
    QColor pixelAt(double atKey, int channel, StatusKind kind) {
        chart->replotNow();
        const QRect lane = chart->alarmMarks()->lane()->rect();
        const double row = double(lane.height()) / kAlarmChannelCount;
        const int y = lane.top() + int(channel * row + (int(kind) + 0.5) * row / kStatusKindCount);
        const int x = int(chart->plot()->xAxis->coordToPixel(atKey));
        return chart->plot()->toPixmap().toImage().pixelColor(x, y);
    }

    QDateTime now{QDate(2026, 12, 8), QTime(9, 0)};
    ScriptedAdapter* adapter = nullptr;
    MonitoringCycle cycle;
    QObject feeds;
    frmGraph window;
    StripChart* chart = nullptr;
};

TEST_F(GraphAlarmMarks, RunsFollowTheScriptedStatusAndGapsStayUnread) {
    const double start = key();
    statusStep(0, 0);
    statusStep(kStatus1LocalHigh | kStatus1Busy, 0);
    statusStep(kStatus1LocalHigh, kStatus2Alert);
    statusStep(0, kStatus2Diode2Open);
    // The limits window closed for 10 s: nothing is read, so nothing may be claimed.
    for (int i = 0; i < 50; ++i)
        statusStep(0, 0, false);
    statusStep(kStatus1Remote1Therm, 0);
    statusStep(kStatus1Remote1Therm, 0);

    struct Run {
        double start, end;
        AlarmBits bits;
    };
    const Run expected[] = {
        {0.2, 0.2, 0},
        {0.2, 0.6, AlarmBitsOf(kStatus1LocalHigh, 0)},
        {0.6, 0.8, AlarmBitsOf(0, kStatus2Diode2Open)},
        {11.0, 11.2, AlarmBitsOf(kStatus1Remote1Therm, 0)},
    };
    const auto& runs = chart->alarmMarks()->history().runs();
    ASSERT_EQ(runs.size(), std::size(expected));
    for (size_t i = 0; i < runs.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(runs[i].start - start, expected[i].start, 1e-3);
        EXPECT_NEAR(runs[i].end - start, expected[i].end, 1e-3);
        EXPECT_EQ(runs[i].bits, expected[i].bits);
    }
    // Two polls per lamp update and nothing else: the chart never reads the status itself.
    int statusReads = 0;
    for (const AdapterRequest& request : adapter->requests)
        statusReads += request.index == kStatus1 || request.index == kStatus2;
    EXPECT_EQ(statusReads, 2 * 6);
    EXPECT_EQ(adapter->requests.size(), 2u * 6);
}

TEST_F(GraphAlarmMarks, LaneShowsAlarmsReadTimeAndUnreadTime) {
    const QRect alone = chart->plot()->axisRect()->rect();
    for (int i = 0; i < 10; ++i)
        statusStep(0, 0, false);
    const double unread = key() - 1;
    for (int i = 0; i < 10; ++i)
        statusStep(0, 0);
    const double quiet = key() - 1;
    for (int i = 0; i < 10; ++i)
        statusStep(0, kStatus2Remote2Low);
    const double alarm = key() - 1;

    QTest::keyClick(chart, Qt::Key_M);
    ASSERT_TRUE(chart->alarmMarks()->shown());
    EXPECT_EQ(pixelAt(alarm, 2, StatusKind::Low), QColor(0, 90, 230));
    EXPECT_EQ(pixelAt(alarm, 0, StatusKind::Low), QColor(Qt::white));
    EXPECT_EQ(pixelAt(quiet, 2, StatusKind::Low), QColor(Qt::white));
    // Unread time is hatched grey, never the white of "no alarm".
    EXPECT_NE(pixelAt(unread, 2, StatusKind::Low), QColor(Qt::white));

    // Off again, the temperatures get their whole area back.
    chart->findChild<QAction*>("actionAlarmMarks")->trigger();
    chart->replotNow();
    EXPECT_FALSE(chart->alarmMarks()->shown());
    EXPECT_EQ(chart->plot()->axisRect()->rect(), alone);
}

TEST(AlarmMarkHistory, KeepsNoMoreThanTheSamplesHistory) {
    AlarmHistory history;
    // Alternating bits every read: the worst case, one run per read.
    const double readsPerSecond = 5;
    for (int i = 0; i < int(3 * kHistorySeconds * readsPerSecond); ++i)
        history.addRead(i / readsPerSecond, AlarmBits(i % 2));
    const auto& runs = history.runs();
    EXPECT_LE(runs.back().end - runs.front().start, kHistorySeconds + kTrimChunkSeconds + 1);
    EXPECT_GE(runs.back().end - runs.front().start, kHistorySeconds);
    const auto [first, last] = history.runsIn(runs.back().end - 10.1, runs.back().end);
    EXPECT_EQ(last - first, 51);
}

} // namespace

namespace {
QStringList g_paintWarnings;
void RecordPaintWarnings(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (message.contains("QPainter"))
        g_paintWarnings << message;
}
} // namespace

// A chart squeezed to a title bar's height leaves the lane no pixels: painting it must not ask Qt to paint
// into an empty picture (a warning at every redraw).
TEST(AlarmMarkLane, ChartsTooSmallForTheLaneDrawWithoutPaintWarnings) {
    Clock::SetLocalNowSource([] { return QDateTime(QDate(2026, 12, 8), QTime(13, 0)); });
    const QtMessageHandler previous = qInstallMessageHandler(RecordPaintWarnings);
    for (const QSize size : {QSize(624, 1), QSize(624, 30), QSize(1, 400), QSize(624, 120)}) {
        SCOPED_TRACE(testing::Message() << size.width() << " x " << size.height());
        g_paintWarnings.clear();
        StripChart chart;
        chart.alarmMarks()->setShown(true);
        chart.resize(size);
        chart.show();
        chart.statusRead(0x40, 0);
        chart.replotNow();
        EXPECT_TRUE(g_paintWarnings.isEmpty()) << g_paintWarnings.join('\n').toStdString();
    }
    qInstallMessageHandler(previous);
    Clock::SetLocalNowSource({});
}

// The log's time column against a fake clock: rows on the interval's grid however
// late the ticks come, gaps where the program could not log, midnight crossed.
#include "app/MonitoringCycle.h"
#include "device/Clock.h"
#include "device/GeneralStuff.h"
#include "files/LogGrid.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

using namespace GeneralStuff;

namespace {

TEST(LogGrid, TheDueRowIsTheLatestGridRowAfterTheLastOne) {
    const struct {
        const char* name;
        int64_t elapsedMs;
        int64_t lastRowMs;
        int32_t intervalMs;
        std::optional<int64_t> row;
    } rows[] = {
        {"row 0 at once", 0, -1, 100, 0},
        {"nothing before the next grid row", 99, 0, 100, std::nullopt},
        {"on the grid", 100, 0, 100, 1},
        {"a late tick still writes its row's time", 109, 0, 100, 1},
        {"the same row is not written twice", 150, 100, 100, std::nullopt},
        {"a stall skips the rows it passed over", 10050, 100, 100, 100},
        {"a longer interval waits for its own grid", 1100, 1000, 250, std::nullopt},
        {"a longer interval's first row", 1250, 1000, 250, 5},
        {"a shorter interval starts at its next grid row", 1049, 1000, 50, std::nullopt},
        {"a shorter interval's first row", 1050, 1000, 50, 21},
        {"past 2^31 ms of nominal time", 3'000'000'000, 2'999'999'900, 100, 30'000'000},
        {"a clock before row 0", -5, -1, 100, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::optional<LogRow> due = DueLogRow(row.elapsedMs, row.lastRowMs, row.intervalMs);
        ASSERT_EQ(due.has_value(), row.row.has_value());
        if (due) {
            EXPECT_EQ(due->row, *row.row);
            EXPECT_EQ(due->atMs, *row.row * row.intervalMs);
        }
    }
}

// The cycle's log section alone, with a clock that moves only when the test says.
class LogTimeColumn : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSharedState();
        ContinuousReading = false;
        LogInterval = 100;
        LogChannels = {true, true, true};
        Temperatures = {25, 33.75f, 30.5f};
        LogFileName = folder.filePath("log.csv");
        LoggingActive = true;
        LogRowCount = 0;
        // Fixed-offset times: a zone-converted one asks the system's zone file every tick.
        Clock::SetLocalNowSource(
            [this] { return QDateTime(QDate(2026, 1, 5), QTime(0, 0), Qt::UTC).addMSecs(nowMs); });
    }
    void TearDown() override {
        Clock::SetLocalNowSource({});
        ResetSharedState();
    }

    // Ticks for the given time: 10 ms apart, each one late by the lateness pattern.
    void tickFor(qint64 ms, std::initializer_list<int> latenessMs = {0}) {
        const qint64 end = nowMs + ms;
        const std::vector<int> late(latenessMs);
        for (size_t i = 0; nowMs < end; ++i) {
            tick();
            nowMs += 10 + late[i % late.size()];
        }
    }
    // One tick; a written row is noted with the clock's time since row 0.
    void tick() {
        const int32_t before = LogRowCount;
        cycle.tick();
        if (LogRowCount == before)
            return;
        if (before == 0)
            runStartMs = nowMs;
        written.push_back({LogRowCount - 1, nowMs - runStartMs});
    }
    // The first field of every data line (the fixture writes no title block).
    QStringList timeColumn() const {
        QFile file(LogFileName);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList times;
        for (const QString& line : QString::fromLatin1(file.readAll()).split("\r\n", Qt::SkipEmptyParts))
            times.append(line.section(',', 0, 0));
        return times;
    }

    struct Written {
        int32_t row;
        qint64 elapsedMs;
    };
    QTemporaryDir folder;
    qint64 nowMs = 12LL * 3600 * 1000;
    qint64 runStartMs = 0;
    MonitoringCycle cycle;
    std::vector<Written> written;
};

TEST_F(LogTimeColumn, LateTicksKeepEveryRowOnTheGridForAnHour) {
    // Ticks 10 to 16 ms apart: the old interval-after-last-line rule fell 5 % behind with 10 ms ticks alone.
    tickFor(3600 * 1000, {0, 3, 6, 1, 4, 2, 5});
    const qint64 elapsed = written.back().elapsedMs;
    EXPECT_GE(elapsed, 3600 * 1000 - 100);
    ASSERT_EQ(written.size(), static_cast<size_t>(elapsed / 100 + 1)) << "one row per interval, none skipped";
    for (size_t i = 0; i < written.size(); ++i) {
        ASSERT_EQ(written[i].row, static_cast<int32_t>(i));
        const qint64 rowMs = written[i].row * 100LL;
        ASSERT_TRUE(rowMs <= written[i].elapsedMs && written[i].elapsedMs < rowMs + 100)
            << "row " << i << " written at " << written[i].elapsedMs << " ms";
    }
    const QStringList times = timeColumn();
    EXPECT_EQ(times.mid(0, 3), (QStringList{"0", ".1", ".2"}));
    EXPECT_EQ(times.back(), QString::number(written.back().row / 10.0));
}

TEST_F(LogTimeColumn, AStallLeavesAGapInTheTimeColumnAndTheLastReadingInTheData) {
    tickFor(2000);
    nowMs += 10'000; // a modal loop, a suspended process: no tick for ten seconds
    tickFor(1000);
    const QStringList times = timeColumn();
    const int resumed = static_cast<int>(times.indexOf("12"));
    ASSERT_GT(resumed, 0) << times.join(' ').toStdString();
    EXPECT_EQ(times[resumed - 1], "1.9");
    EXPECT_EQ(times.mid(resumed, 3), (QStringList{"12", "12.1", "12.2"}));
    for (const Written& w : written)
        EXPECT_LT(w.elapsedMs - w.row * 100LL, 100) << "row " << w.row;
    QFile file(LogFileName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().endsWith(", 25, 33.75, 30.5,\r\n"));
}

TEST_F(LogTimeColumn, MidnightNeitherRestartsNorCrowdsTheGrid) {
    nowMs = 24LL * 3600 * 1000 - 500; // half a second before midnight
    tickFor(1000);
    EXPECT_EQ(timeColumn(), (QStringList{"0", ".1", ".2", ".3", ".4", ".5", ".6", ".7", ".8", ".9"}));
}

TEST_F(LogTimeColumn, AClockSetBackResumesFromTheLastRow) {
    tickFor(500);
    nowMs -= 3600 * 1000;
    tickFor(300);
    EXPECT_EQ(timeColumn(), (QStringList{"0", ".1", ".2", ".3", ".4", ".5", ".6"}));
}

TEST_F(LogTimeColumn, ANewRunStartsAtZeroAndAChangedIntervalKeepsTheColumnTrue) {
    tickFor(1000);
    LogInterval = 250; // the options dialog while logging
    tickFor(1000);
    EXPECT_EQ(timeColumn().mid(9), (QStringList{".9", "1", "1.25", "1.5", "1.75"}));
    LogRowCount = 0; // stopped and started again between two ticks
    written.clear();
    tickFor(300);
    EXPECT_EQ(written.front().row, 0);
    EXPECT_EQ(timeColumn().mid(14), (QStringList{"0", ".25"}));
}

} // namespace

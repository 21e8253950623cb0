// A whole simulated day of monitoring on the simulated board, midnight crossed,
// with every section of the cycle at work: continuous reading, the register map
// re-reading, the limits window, the graph and the log.
#include "device/WindowClasses.h"
#include "files/LogStart.h"
#include "support/SimulatedBoardRun.h"
#include "views/StripChart.h"
#include "views/StripChartRules.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

using namespace GeneralStuff;

namespace {
constexpr qint64 kDayMs = 24LL * 60 * 60 * 1000;
constexpr qint64 kStartMs = 12LL * 60 * 60 * 1000; // noon, so midnight lies in the middle
// An eighth of a second: every time of day is exact in single precision, so the due
// check's rounding never shifts a run by a tick and the counts below are exact.
constexpr qint64 kTickMs = 125;
constexpr int32_t kIntervalMs = 1000;
constexpr qint64 kCheckEveryTicks = 10 * 60 * 1000 / kTickMs; // ten simulated minutes
constexpr double kSettledAfterSeconds = kHistorySeconds + kTrimChunkSeconds;

// A section with interval I runs on the first tick, then on the first tick strictly
// after its stamp + I: every I/step + 1 ticks.
qint64 PeriodTicks(int32_t intervalMs) {
    return intervalMs / kTickMs + 1;
}

class Soak : public SimulatedBoardRun {
protected:
    Soak() : SimulatedBoardRun("", kStartMs) {} // one chip at 0x4C, drift on
    void SetUp() override {
        ASSERT_EQ(kIntervalMs % kTickMs, 0) << "the count rule assumes whole ticks per interval";
        SimulatedBoardRun::SetUp();
    }
};

QStringList visibleMessageBoxes() {
    QStringList texts;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            texts << box->text();
    return texts;
}
} // namespace

TEST_F(Soak, DayAcrossMidnightLogsEveryLineKeepsTheGraphBoundedAndNeverLosesTheLink) {
    frmMain main;
    startProgram(main);
    ReadInterval = kIntervalMs;
    GraphInterval = kIntervalMs;
    LogInterval = kIntervalMs;
    main.OpenChildWindow(WindowClass::kGraph);
    main.OpenChildWindow(WindowClass::kLimits);
    main.OpenChildWindow(WindowClass::kRegMap);
    auto* regMap = main.findChild<QWidget*>("frmRegMap");
    ASSERT_TRUE(regMap);
    QTest::keyClicks(regMap->findChild<QLineEdit*>("txtReadAddr"), "2");
    regMap->findChild<QCheckBox*>("chkContRead")->setChecked(true);
    const QString logFile = folder.filePath("day.csv");
    ASSERT_TRUE(StartLoggingAllChannels(logFile));
    auto* chart = main.findChild<StripChart*>("stpGraph");
    ASSERT_TRUE(chart);
    ASSERT_TRUE(ContinuousReading && RegMapOpen && LimitsOpen && GraphOpen && LoggingActive);

    const qint64 ticks = kDayMs / kTickMs;
    const double graphPeriodSeconds = PeriodTicks(GraphInterval) * kTickMs / 1000.0;
    const int mostSamples = static_cast<int>(std::floor(kSettledAfterSeconds / graphPeriodSeconds)) + 1;
    const int fewestSettledSamples = static_cast<int>(std::floor(kHistorySeconds / graphPeriodSeconds));
    int largestSeen = 0;
    try {
        for (qint64 tick = 0; tick < ticks; ++tick) {
            nowMs = kStartMs + tick * kTickMs;
            main.monitoringCycle().tick();
            if (tick % kCheckEveryTicks != 0)
                continue;
            QCoreApplication::processEvents();
            for (int trace = 1; trace <= StripChart::kTraceCount; ++trace) {
                const int count = chart->sampleCount(trace);
                largestSeen = std::max(largestSeen, count);
                ASSERT_LE(count, mostSamples) << "trace " << trace << " at tick " << tick;
                if (tick * kTickMs / 1000.0 > kSettledAfterSeconds) {
                    ASSERT_GE(count, fewestSettledSamples) << "trace " << trace << " lost its history";
                }
            }
        }
    } catch (const LinkErrorExit& error) {
        FAIL() << "link error " << error.code << " at " << nowMs << " ms";
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(linkErrors.empty());
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
    EXPECT_TRUE(visibleMessageBoxes().isEmpty()) << visibleMessageBoxes().join('\n').toStdString();
    EXPECT_TRUE(LoggingActive);
    EXPECT_TRUE(regMap->findChild<QCheckBox*>("chkContRead")->isChecked());
    EXPECT_GT(largestSeen, fewestSettledSamples);

    // The log keeps to its interval's grid from row 0, midnight or not.
    const qint64 expectedLines = (ticks - 1) * kTickMs / LogInterval + 1;
    EXPECT_EQ(LogRowCount, expectedLines);

    QFile file(logFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_TRUE(bytes.endsWith("\r\n"));
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast(); // after the last line's end
    const QByteArray columnTitles = "Time ,Local(\xB0"
                                    "C) ,Remote1(\xB0"
                                    "C) ,Remote2(\xB0"
                                    "C) ,\r";
    const int titleLine = static_cast<int>(lines.indexOf(columnTitles));
    ASSERT_EQ(titleLine, 3) << "a title block of one blank line, the title and a blank line first";
    ASSERT_EQ(lines.size() - titleLine - 1, expectedLines);
    for (qint64 row = 0; row < expectedLines; ++row) {
        const QList<QByteArray> fields = lines[static_cast<int>(titleLine + 1 + row)].split(',');
        ASSERT_EQ(fields.size(), 5) << "row " << row;
        // The nominal time: row number times the interval, whatever the clock did at midnight.
        ASSERT_EQ(fields[0], QByteArray::number(row * LogInterval / 1000)) << "row " << row;
        for (int channel = 1; channel <= 3; ++channel) {
            bool isNumber = false;
            const double reading = fields[channel].trimmed().toDouble(&isNumber);
            ASSERT_TRUE(isNumber && reading > 0 && reading < 100)
                << "row " << row << ": " << fields[channel].data();
        }
        ASSERT_EQ(fields[4], "\r") << "row " << row;
    }
    main.close();
}

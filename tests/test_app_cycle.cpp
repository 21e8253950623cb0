#include "app/MonitoringCycle.h"
#include "app/MonitoringRoutines.h"
#include "app/WindowCatalog.h"
#include "app/frmMain.h"
#include "device/Clock.h"
#include "device/GeneralStuff.h"
#include "device/RegMapStuff.h"
#include "device/WindowClasses.h"
#include "support/AppFakes.h"
#include "support/ScriptedAdapter.h"
#include "ui/AppMessages.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace GeneralStuff;

namespace {
constexpr int32_t kChip = 0x4C;
constexpr double kNoon = 12 * 3600;

class MonitoringTick : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSharedState();
        adapter = InstallScriptedAdapter();
        ThrowOnLinkError();
        DeviceAddress = kChip;
        ReadInterval = 100;
        GraphInterval = 50;
        LogInterval = 100;
        LogChannels = {true, true, true};
        adapter->status = [this](const AdapterRequest& r, int) -> int16_t {
            calls.append(QString("%1 %2").arg(r.request == 0xDC ? "poll" : "read").arg(r.index));
            return 0;
        };
        Clock::SetLocalNowSource([this] {
            ++clockReads;
            return QDateTime(QDate(2026, 1, 5), QTime(0, 0)).addMSecs(static_cast<qint64>(now * 1000));
        });
        cycle.setContinuousReadBox(regMap.box());
        cycle.setLogFailureHandler([this](const QString& message) { failures.append(message); });
    }
    void TearDown() override {
        Clock::SetLocalNowSource({});
        ResetSharedState();
    }

    void openViews() { RegMapOpen = LimitsOpen = GraphOpen = true; }

    // Ticks every 10 ms for the given time, starting at now.
    void tickFor(double seconds) {
        const double end = now + seconds;
        for (; now < end; now += 0.01)
            cycle.tick();
    }

    QStringList logLines() const {
        QFile file(LogFileName);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(file.readAll()).split("\r\n", Qt::SkipEmptyParts);
    }

    ScriptedAdapter* adapter = nullptr;
    CallLog calls;
    double now = kNoon;
    int clockReads = 0;
    FakeMainWindow mainWindow;
    FakeLimits limits{&calls};
    FakeGraph graph{&calls};
    FakeRegMap regMap{&calls};
    MonitoringCycle cycle;
    QStringList failures;
    QTemporaryDir folder;
};
} // namespace

TEST_F(MonitoringTick, AllSectionsRunInTheirOrderOnTheFirstTick) {
    ContinuousReading = LoggingActive = true;
    openViews();
    LogFileName = folder.filePath("log.csv");
    cycle.tick();
    const QStringList expected{
        "read 0", "read 16", "read 1",  "read 51", "read 48", "regmap read", "poll 2",   "lamp 0",  "lamp 1",
        "lamp 8", "lamp 2",  "lamp 3",  "lamp 9",  "lamp 6",  "poll 35",     "lamp 4",   "lamp 5",  "lamp 10",
        "lamp 7", "lamp 11", "gauge 0", "gauge 1", "gauge 2", "sample 1",    "sample 2", "sample 3"};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(logLines().size(), 1);
    for (double stamp : {cycle.stamps.LastReadTime, cycle.stamps.LastRegMapReadTime,
                         cycle.stamps.LastLimitsTime, cycle.stamps.LastGraphTime, cycle.stamps.LastLogTime})
        EXPECT_EQ(stamp, kNoon);
}

TEST_F(MonitoringTick, SectionsWhoseConditionIsFalseAreSkippedWithoutReadingTheClock) {
    struct Case {
        const char* name;
        std::function<void()> turnOn;
        QString firstCall;
    };
    const Case cases[] = {{"read", [] { ContinuousReading = true; }, "read 0"},
                          {"regmap", [] { RegMapOpen = true; }, "regmap read"},
                          {"limits", [] { LimitsOpen = true; }, "poll 2"},
                          {"graph", [] { GraphOpen = true; }, "sample 1"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ContinuousReading = LoggingActive = false;
        RegMapOpen = false;
        LimitsOpen = false;
        GraphOpen = false;
        calls.clear();
        clockReads = 0;
        now += 10;
        cycle.tick();
        EXPECT_TRUE(calls.isEmpty());
        EXPECT_EQ(clockReads, 0);
        c.turnOn();
        cycle.tick();
        ASSERT_FALSE(calls.isEmpty());
        EXPECT_EQ(calls.first(), c.firstCall);
        EXPECT_EQ(clockReads, 2) << "once for the due check, once for the stamp";
    }
}

// A window deleted without its unload (with its parent, say) must not stay open for the cycle.
TEST_F(MonitoringTick, WindowDestroyedWithoutUnloadIsNoLongerFed) {
    RegMapStuff::BuildRegisterTable();
    for (const char* name : {WindowClass::kRegMap, WindowClass::kLimits, WindowClass::kGraph}) {
        SCOPED_TRACE(name);
        const ChildWindow window = CreateChildWindow(name);
        window.load();
        ASSERT_TRUE(RegMapOpen || LimitsOpen || GraphOpen);
        delete window.widget;
        EXPECT_FALSE(RegMapOpen || LimitsOpen || GraphOpen);
        adapter->clearLog();
        clockReads = 0;
        now += 10;
        cycle.tick();
        EXPECT_TRUE(adapter->requests.empty());
        EXPECT_EQ(clockReads, 0);
    }
}

TEST_F(MonitoringTick, RegisterMapRereadsEveryHalfSecondOnlyWhileTicked) {
    RegMapOpen = true;
    tickFor(1.2);
    // Due at 0, then strictly after 0.5 s: 0, 0.51, 1.02.
    EXPECT_EQ(regMap.readActions, 3);
    regMap.ticked = false;
    tickFor(2);
    EXPECT_EQ(regMap.readActions, 3);
    regMap.ticked = true;
    cycle.tick();
    EXPECT_EQ(regMap.readActions, 4);
}

TEST_F(MonitoringTick, TemperaturesAreReadAtTheIntervalAndEveryTickAtZeroOrBelow) {
    ContinuousReading = true;
    tickFor(0.5);
    EXPECT_EQ(adapter->reads().size(), 5u * 5) << "at 0, .11, .22, .33, .44";
    for (int32_t interval : {0, -20}) {
        SCOPED_TRACE(interval);
        ReadInterval = interval;
        adapter->clearLog();
        for (int i = 0; i < 4; ++i)
            cycle.tick(); // the clock stands still: only an interval of 0 or less runs
        EXPECT_EQ(adapter->reads().size(), 5u * 4);
    }
}

TEST_F(MonitoringTick, EverySectionRunsOnTheFirstTickAfterMidnightThenResumesItsPeriod) {
    ContinuousReading = true;
    LimitsOpen = true;
    GraphOpen = true;
    now = 86399.99;
    cycle.tick();
    now = 0.001;
    calls.clear();
    cycle.tick();
    EXPECT_EQ(calls.count("read 0"), 1);
    EXPECT_EQ(calls.count("poll 2"), 1);
    EXPECT_EQ(calls.count("sample 1"), 1);
    calls.clear();
    now = 0.011;
    cycle.tick();
    EXPECT_TRUE(calls.isEmpty());
    now = 0.052;
    cycle.tick();
    EXPECT_EQ(calls.count("sample 1"), 1) << "graph every 50 ms";
    EXPECT_EQ(calls.count("read 0"), 0);
}

TEST_F(MonitoringTick, ContinuousReadingOffKeepsFeedingTheLastTemperatures) {
    LimitsOpen = true;
    GraphOpen = true;
    Temperatures = {21, 22.5f, 23};
    tickFor(0.3);
    EXPECT_TRUE(adapter->reads().empty());
    EXPECT_EQ(limits.gauges.back().temperature, 23);
    EXPECT_EQ(graph.samples.back().value, 23);
    EXPECT_EQ(calls.count("poll 2"), 2) << "the lamps still read the status every 0.2 s";
}

TEST_F(MonitoringTick, LoggingWritesItsFirstLineOnTheFirstTickWithRowZero) {
    LoggingActive = true;
    LogFileName = folder.filePath("log.csv");
    LogRowCount = 0;
    Temperatures = {25, 33.75f, 30.5f};
    cycle.tick();
    ASSERT_EQ(logLines().size(), 1);
    EXPECT_TRUE(logLines()[0].startsWith("0,")) << logLines()[0].toStdString();
    EXPECT_EQ(LogRowCount, 1);
    now += 0.01;
    cycle.tick();
    EXPECT_EQ(logLines().size(), 1);
    now += 0.1;
    cycle.tick();
    ASSERT_EQ(logLines().size(), 2);
    EXPECT_TRUE(logLines()[1].startsWith(".1,"));
}

class UnwritableLog : public MonitoringTick {
protected:
    void expectLoggingStopsOnceAndMonitoringGoesOn(const QString& file) {
        LogFileName = file;
        LoggingActive = ContinuousReading = true;
        LogRowCount = 0;
        tickFor(0.5);
        EXPECT_FALSE(LoggingActive);
        EXPECT_EQ(LogRowCount, 0);
        EXPECT_EQ(failures.size(), 1);
        EXPECT_TRUE(failures.value(0).contains(file));
        EXPECT_EQ(mainWindow.statusTexts, QStringList{kLoggingStoppedStatus});
        EXPECT_EQ(adapter->reads().size(), 5u * 5) << "temperatures are still read";
    }
};

TEST_F(UnwritableLog, InARemovedFolderStopsLoggingOnceAndMonitoringGoesOn) {
    expectLoggingStopsOnceAndMonitoringGoesOn(folder.filePath("gone/log.csv"));
}

TEST_F(UnwritableLog, OnAFullDiskStopsLoggingOnceAndMonitoringGoesOn) {
    if (!QFile::exists("/dev/full"))
        GTEST_SKIP() << "this system has no /dev/full to stand for a full disk";
    expectLoggingStopsOnceAndMonitoringGoesOn("/dev/full");
}

TEST_F(MonitoringTick, MainWindowWarnsOnceAfterTheTickAndShowsTheStatus) {
    QStringList warnings;
    SetWarningMessageFunction([&warnings](const QString& text) { warnings.append(text); });
    frmMain main;
    LogFileName = folder.filePath("gone/log.csv");
    LoggingActive = true;
    main.OpenChildWindow(WindowClass::kLogging);
    auto* logButton = main.findChild<QPushButton*>("cmdLogData");
    ASSERT_NE(logButton, nullptr);
    ASSERT_NE(logButton->text(), "Start Logging");
    main.tmrMaster_Timer();
    EXPECT_TRUE(warnings.isEmpty()) << "the message waits until the tick is over";
    QCoreApplication::processEvents();
    main.tmrMaster_Timer();
    QCoreApplication::processEvents();
    EXPECT_EQ(warnings.size(), 1);
    EXPECT_EQ(main.findChild<QLabel*>("sbStatusBar_1")->text(), kLoggingStoppedStatus);
    EXPECT_EQ(logButton->text(), "Start Logging") << "the open logging window offers to start again";
    SetWarningMessageFunction({});
}

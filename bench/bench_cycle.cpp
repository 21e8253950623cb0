// One monitoring tick with every section due and every view open, against an
// idle tick. Each tick is followed by one pass of the event loop, so the
// repaints the tick caused are counted; the graph is redrawn at once.
#include "BenchBoard.h"

#include "app/MonitoringCycle.h"
#include "app/ViewWiring.h"
#include "app/WindowCatalog.h"
#include "device/GeneralStuff.h"
#include "device/WindowClasses.h"
#include "views/StripChart.h"

#include <benchmark/benchmark.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <memory>
#include <vector>

using namespace GeneralStuff;

namespace {

// The register map (Continuous Read ticked, the local temperature chosen), the
// limits and the graph open, and logging all three channels into a temporary file.
class EverythingOpen {
public:
    EverythingOpen() {
        BenchBoard::Connect();
        ConnectViewFeeds(m_cycle, m_feeds);
        ContinuousReading = true;
        ReadInterval = 100;
        GraphInterval = 50;
        LogInterval = 1000;
        for (const char* name : {WindowClass::kRegMap, WindowClass::kLimits, WindowClass::kGraph}) {
            ChildWindow window = CreateChildWindow(name);
            window.load();
            window.widget->show();
            m_windows.emplace_back(window.widget);
        }
        auto* regMap = m_windows[0].get();
        regMap->findChild<QLineEdit*>("txtReadAddr")->setText("0");
        regMap->findChild<QCheckBox*>("chkContRead")->setChecked(true);
        m_chart = m_windows[2]->findChild<StripChart*>("stpGraph");
        LogChannels = {true, true, true};
        LogFileName = m_folder.filePath("bench.csv");
        LoggingActive = true;
        QCoreApplication::processEvents();
    }
    ~EverythingOpen() { ResetSharedState(); }

    // Every section due: the stamps go back to the start of the day and the clock moves on.
    void tick() {
        m_cycle.stamps.LastReadTime = m_cycle.stamps.LastRegMapReadTime = m_cycle.stamps.LastLimitsTime = 0;
        m_cycle.stamps.LastGraphTime = 0;
        LogRowCount = 0; // a run's row 0 is due at once: the log's rows follow their own grid
        m_clock.advanceMSecs(50);
        m_cycle.tick();
        m_chart->replotNow();
        QCoreApplication::processEvents();
    }
    bool stillLogging() const { return LoggingActive; }

private:
    BenchBoard::FakeClock m_clock;
    QTemporaryDir m_folder;
    std::vector<std::unique_ptr<QWidget>> m_windows;
    StripChart* m_chart = nullptr;
    MonitoringCycle m_cycle;
    QObject m_feeds; // ends the feeds with the program
};

void BM_TickAllDue(benchmark::State& state) {
    EverythingOpen program;
    for (auto _ : state)
        program.tick();
    if (!program.stillLogging())
        state.SkipWithError("the log file could not be written");
}
BENCHMARK(BM_TickAllDue)->Iterations(400)->Unit(benchmark::kMicrosecond);

void BM_TickIdle(benchmark::State& state) {
    BenchBoard::Connect();
    BenchBoard::FakeClock clock;
    MonitoringCycle cycle;
    for (auto _ : state) {
        clock.advanceMSecs(50);
        cycle.tick();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_TickIdle)->Iterations(200000)->Unit(benchmark::kMicrosecond);

} // namespace

// The register overview: "Read All" against 41 single register reads through the
// device link, and opening the window with a compared settings file against without.
#include "BenchBoard.h"

#include "chip/ChipRegisters.h"
#include "device/ChipAccess.h"
#include "device/RegMapStuff.h"
#include "files/SettingsFile.h"
#include "views/RegisterOverview.h"
#include "views/frmRegOverview.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

// The main window's area, where the overview opens as a child window as in the program.
class ChildArea {
public:
    ChildArea() {
        area.resize(1000, 800);
        area.show();
        QCoreApplication::processEvents();
    }
    // Wrapped, loaded, then shown and painted, as the main window opens it.
    frmRegOverview* open() {
        auto* window = new frmRegOverview;
        QMdiSubWindow* sub = area.addSubWindow(window);
        window->Form_Load();
        sub->show();
        QCoreApplication::processEvents();
        return window;
    }

private:
    QMdiArea area;
};

// Record 0 is a placeholder with no address on the chip: the 41st read repeats record 1.
void BM_OverviewFortyOneReads(benchmark::State& state) {
    BenchBoard::Connect();
    for (auto _ : state)
        for (int i = 0; i < RegMapStuff::kRegisterCount; ++i)
            benchmark::DoNotOptimize(ReadChip(RegMapStuff::RegisterTable[i == 0 ? 1 : i].ReadAddr));
}
BENCHMARK(BM_OverviewFortyOneReads)->Iterations(5000)->Unit(benchmark::kMicrosecond);

// The reads of "Read All" alone: one snapshot of every record, status registers included.
void BM_OverviewReadAllReads(benchmark::State& state) {
    BenchBoard::Connect();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            TakeRegisterSnapshot(true, [](int32_t address) { return ReadChip(address); }));
}
BENCHMARK(BM_OverviewReadAllReads)->Iterations(5000)->Unit(benchmark::kMicrosecond);

// The whole click on a shown window: the reads, the decoding, the table filled anew and painted.
void BM_OverviewReadAll(benchmark::State& state) {
    BenchBoard::Connect();
    ChildArea area;
    frmRegOverview* window = area.open();
    for (auto _ : state) {
        window->cmdReadAll_Click();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_OverviewReadAll)->Iterations(200)->Unit(benchmark::kMicrosecond);

// Opening as the user does, up to the first paint; compared: then "Compare with File..."
// of a file holding every writable register, as a save leaves it, painted too.
void BM_OverviewOpen(benchmark::State& state) {
    BenchBoard::Connect();
    const bool compared = state.range(0) != 0;
    const QByteArray file =
        SettingsFileBytes({}, SettingsEntries(false, [](int32_t readAddr) { return ReadChip(readAddr); }));
    ChildArea area;
    for (auto _ : state) {
        frmRegOverview* window = area.open();
        if (compared) {
            window->CompareWith(file);
            QCoreApplication::processEvents();
        }
        delete window->parentWidget();
    }
}
BENCHMARK(BM_OverviewOpen)
    ->ArgName("compared")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(100)
    ->Unit(benchmark::kMicrosecond);

// One register write from another window, with the overview shown (after a "Read All")
// and without: the overview only marks what the write made stale.
void BM_OverviewWriteElsewhere(benchmark::State& state) {
    BenchBoard::Connect();
    ChildArea area;
    if (state.range(0) != 0) {
        area.open()->cmdReadAll_Click();
        QCoreApplication::processEvents();
    }
    for (auto _ : state) {
        WriteChip(kLocalHighLimitWrite, 80);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_OverviewWriteElsewhere)
    ->ArgName("overviewOpen")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(200)
    ->Unit(benchmark::kMicrosecond);

} // namespace

// One graph update (three appends and a redraw) must cost the same however
// much history the chart holds: only the visible part is drawn, and of the plot
// area only the columns that changed (against drawing it whole at every update). The chart's
// functions (cursors, statistics, limit lines, alarm marks) add little to it,
// and nothing that grows with the history.
#include "AppLifetime.h"
#include "BenchBoard.h"

#include "device/Clock.h"
#include "views/ChartReadout.h"
#include "views/PlotArea.h"
#include "views/StripChart.h"
#include "views/frmGraph.h"

#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include <malloc.h>

#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <tuple>

namespace {

constexpr int kUpdatesPerMinute = 20 * 60;

// Bytes the allocator has handed out, large blocks included.
size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// A graph window on its own fake clock, fed 20 updates a second for the given minutes,
// and every fourth update the status reads the limits window's lamps would make.
// With all functions on (switched on after feeding), the limit lines are read from
// the simulated board once.
class FedGraph {
public:
    FedGraph(int minutes, bool allFunctionsOn, bool wholeDrawings = false)
        : m_allOn(allFunctionsOn), m_whole(wholeDrawings) {
        m_window.Form_Load();
        m_window.show();
        m_chart = m_window.findChild<StripChart*>("stpGraph");
        const size_t heapBefore = HeapInUse();
        for (int i = 0; i < minutes * kUpdatesPerMinute; ++i)
            append();
        m_heapGrowth = double(HeapInUse()) - double(heapBefore);
        m_fedBytes = double(m_chart->heldBytes());
        m_fedSamples = m_chart->sampleCount(1);
        // Switched on over the fed samples, so the cursors land on them (a third and two thirds in).
        if (m_allOn) {
            GraphSettings on;
            on.cursors = on.statistics = on.limitLines = on.alarmMarks = true;
            m_chart->applyViewSettings(on);
        }
        m_area = m_chart->plot()->findChild<PlotArea*>();
        m_chart->replotNow();
    }

    void update() {
        append();
        // The cursors stay on their times as the view moves on; once the older one has left
        // the view they are put back at a third and two thirds, as a user would drag them.
        if (m_allOn) {
            const QCPRange visible = m_chart->plot()->xAxis->range();
            if (m_chart->readout()->cursorKey(0) < visible.lower) {
                m_chart->readout()->setCursorKey(0, visible.lower + visible.size() / 3);
                m_chart->readout()->setCursorKey(1, visible.lower + visible.size() * 2 / 3);
            }
        }
        if (m_whole)
            m_area->redrawAll();
        m_chart->replotNow();
    }
    int samplesHeld() const { return m_chart->sampleCount(1); }
    // Right after feeding, before any benchmark added updates: samples of one trace,
    // bytes of all traces' samples, and what feeding added to the heap (the samples
    // with the reserve their containers keep).
    int fedSamples() const { return m_fedSamples; }
    double fedBytes() const { return m_fedBytes; }
    double heapGrowth() const { return m_heapGrowth; }

private:
    void append() {
        Clock::SetLocalNowSource([now = m_now] { return now; });
        const double wave = std::sin(m_updates++ / 200.0);
        m_window.appendSample(1, 25 + std::round(3 * wave));
        m_window.appendSample(2, 33.75 + 0.25 * std::round(20 * wave));
        m_window.appendSample(3, 30.5 - 0.25 * std::round(40 * wave));
        // Local high while the wave is near its top, so the alarm lane has runs to draw.
        if (m_updates % 4 == 0)
            m_window.statusRead(wave > 0.9 ? 0x40 : 0, 0);
        m_now = m_now.addMSecs(50);
    }

    // UTC keeps a day of fake clock readings cheap; the chart's work is the same.
    QDateTime m_now{QDate(2026, 12, 8), QTime(0, 0), Qt::UTC};
    bool m_allOn;
    bool m_whole;
    PlotArea* m_area = nullptr;
    long m_updates = 0;
    double m_heapGrowth = 0;
    double m_fedBytes = 0;
    int m_fedSamples = 0;
    frmGraph m_window;
    StripChart* m_chart = nullptr;
};

// The benchmark library calls each benchmark several times; a day of history is fed once.
FedGraph& FedFor(int minutes, bool allFunctionsOn = false, bool wholeDrawings = false) {
    static std::map<std::tuple<int, bool, bool>, std::unique_ptr<FedGraph>> graphs;
    if (graphs.empty()) {
        BenchBoard::Connect();
        RunBeforeApplicationEnds([] { graphs.clear(); });
    }
    std::unique_ptr<FedGraph>& graph = graphs[{minutes, allFunctionsOn, wholeDrawings}];
    if (!graph)
        graph = std::make_unique<FedGraph>(minutes, allFunctionsOn, wholeDrawings);
    return *graph;
}

// Updates two charts in turn, so their ratio compares like with like under the same
// machine load; returns the second's time over the first's.
double InTurn(benchmark::State& state, FedGraph& first, FedGraph& second) {
    double firstSeconds = 0;
    double secondSeconds = 0;
    using Steady = std::chrono::steady_clock;
    for (auto _ : state) {
        const auto start = Steady::now();
        first.update();
        const auto middle = Steady::now();
        second.update();
        const auto end = Steady::now();
        firstSeconds += std::chrono::duration<double>(middle - start).count();
        secondSeconds += std::chrono::duration<double>(end - middle).count();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    return firstSeconds > 0 ? secondSeconds / firstSeconds : 0;
}

void BM_GraphUpdate(benchmark::State& state) {
    FedGraph& graph = FedFor(int(state.range(0)));
    for (auto _ : state)
        graph.update();
    state.counters["samplesHeld"] = graph.samplesHeld();
}
BENCHMARK(BM_GraphUpdate)
    ->ArgName("minutesFed")
    ->Arg(1)
    ->Arg(60)
    ->Arg(24 * 60)
    ->Unit(benchmark::kMicrosecond);

// The plot area drawn whole at every update, as before it scrolled: the reference for the update above.
void BM_GraphUpdateWhole(benchmark::State& state) {
    FedGraph& graph = FedFor(1, false, true);
    for (auto _ : state)
        graph.update();
}
BENCHMARK(BM_GraphUpdateWhole)->Unit(benchmark::kMicrosecond);

// The scrolled plot area against the whole one, a minute held each.
void BM_GraphUpdateRatioStripToWhole(benchmark::State& state) {
    state.counters["ratioStripToWhole"] = InTurn(state, FedFor(1, false, true), FedFor(1));
}
BENCHMARK(BM_GraphUpdateRatioStripToWhole)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_GraphUpdateRatio24hTo1min(benchmark::State& state) {
    state.counters["ratio24hTo1min"] = InTurn(state, FedFor(1), FedFor(24 * 60));
}
BENCHMARK(BM_GraphUpdateRatio24hTo1min)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_GraphUpdateAllOn(benchmark::State& state) {
    FedGraph& graph = FedFor(int(state.range(0)), true);
    for (auto _ : state)
        graph.update();
}
BENCHMARK(BM_GraphUpdateAllOn)->ArgName("minutesFed")->Arg(1)->Arg(24 * 60)->Unit(benchmark::kMicrosecond);

// Cursors, statistics, limit lines and alarm marks on against the plain chart, 1 minute held each.
void BM_GraphUpdateRatioAllOnToPlain(benchmark::State& state) {
    state.counters["ratioAllOnToPlain"] = InTurn(state, FedFor(1), FedFor(1, true));
}
BENCHMARK(BM_GraphUpdateRatioAllOnToPlain)->UseManualTime()->Unit(benchmark::kMicrosecond);

// With all functions on, statistics included, a day held must cost what a minute does.
void BM_GraphUpdateAllOnRatio24hTo1min(benchmark::State& state) {
    state.counters["ratio24hTo1min"] = InTurn(state, FedFor(1, true), FedFor(24 * 60, true));
}
BENCHMARK(BM_GraphUpdateAllOnRatio24hTo1min)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The history limit bounds the memory: a day of samples holds no more than an hour and the limit's two.
void BM_GraphMemory24hTo1h(benchmark::State& state) {
    FedGraph& oneHour = FedFor(60);
    FedGraph& oneDay = FedFor(24 * 60);
    for (auto _ : state)
        benchmark::DoNotOptimize(oneDay.fedBytes());
    state.counters["samplesHeld1h"] = oneHour.fedSamples();
    state.counters["samplesHeld24h"] = oneDay.fedSamples();
    state.counters["heldBytes1h"] = oneHour.fedBytes();
    state.counters["heldBytes24h"] = oneDay.fedBytes();
    state.counters["ratio24hTo1h"] = oneDay.fedBytes() / oneHour.fedBytes();
    state.counters["heapGrowth1h"] = oneHour.heapGrowth();
    state.counters["heapGrowth24h"] = oneDay.heapGrowth();
}
BENCHMARK(BM_GraphMemory24hTo1h)->Iterations(1);

} // namespace

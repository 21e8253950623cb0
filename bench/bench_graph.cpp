// One graph update (three appends and a redraw) must cost the same however
// much history the chart holds: only the visible part is drawn.
#include "AppLifetime.h"

#include "device/Clock.h"
#include "views/StripChart.h"
#include "views/frmGraph.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <chrono>
#include <cmath>
#include <map>
#include <memory>

namespace {

constexpr int kUpdatesPerMinute = 20 * 60;

// Bytes the allocator has handed out, large blocks included.
size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// A graph window on its own fake clock, fed 20 updates a second for the given minutes.
class FedGraph {
public:
    explicit FedGraph(int minutes) {
        m_window.Form_Load();
        m_window.show();
        m_chart = m_window.findChild<StripChart*>("stpGraph");
        const size_t heapBefore = HeapInUse();
        for (int i = 0; i < minutes * kUpdatesPerMinute; ++i)
            append();
        m_heapGrowth = double(HeapInUse()) - double(heapBefore);
        m_fedBytes = double(m_chart->heldBytes());
        m_fedSamples = m_chart->sampleCount(1);
        m_chart->replotNow();
    }

    void update() {
        append();
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
        m_now = m_now.addMSecs(50);
    }

    // UTC keeps a day of fake clock readings cheap; the chart's work is the same.
    QDateTime m_now{QDate(2026, 12, 8), QTime(0, 0), Qt::UTC};
    long m_updates = 0;
    double m_heapGrowth = 0;
    double m_fedBytes = 0;
    int m_fedSamples = 0;
    frmGraph m_window;
    StripChart* m_chart = nullptr;
};

// The benchmark library calls each benchmark several times; a day of history is fed once.
FedGraph& FedFor(int minutes) {
    static std::map<int, std::unique_ptr<FedGraph>> graphs;
    if (graphs.empty())
        RunBeforeApplicationEnds([] { graphs.clear(); });
    std::unique_ptr<FedGraph>& graph = graphs[minutes];
    if (!graph)
        graph = std::make_unique<FedGraph>(minutes);
    return *graph;
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

// Both charts updated in turn, so the ratio compares like with like under the same machine load.
void BM_GraphUpdateRatio24hTo1min(benchmark::State& state) {
    FedGraph& oneMinute = FedFor(1);
    FedGraph& oneDay = FedFor(24 * 60);
    double oneMinuteSeconds = 0;
    double oneDaySeconds = 0;
    using Steady = std::chrono::steady_clock;
    for (auto _ : state) {
        const auto start = Steady::now();
        oneMinute.update();
        const auto middle = Steady::now();
        oneDay.update();
        const auto end = Steady::now();
        oneMinuteSeconds += std::chrono::duration<double>(middle - start).count();
        oneDaySeconds += std::chrono::duration<double>(end - middle).count();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    state.counters["ratio24hTo1min"] = oneMinuteSeconds > 0 ? oneDaySeconds / oneMinuteSeconds : 0;
}
BENCHMARK(BM_GraphUpdateRatio24hTo1min)->UseManualTime()->Unit(benchmark::kMicrosecond);

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

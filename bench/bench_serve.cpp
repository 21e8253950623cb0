// The exporter as a whole process on two simulated boards: one scrape against one
// `otk5530-cli temps` of one board (both whole: a scrape's HTTP exchange, a temps run's
// start, connection and end), in turn; and the exporter's CPU share of one core while
// Prometheus would scrape it every 15 s. OTK5530_BENCH_SERVE_SECONDS sets that window
// (default 15 s: two scrapes, at its start and its end).
#include "support/ServeProcess.h"

#include <QDir>
#include <QThread>
#include <benchmark/benchmark.h>

#include <chrono>
#include <optional>

namespace {

constexpr int kRounds = 20;
constexpr int kScrapeIntervalSeconds = 15;
constexpr int kDefaultWindowSeconds = 15;
const QStringList kBoards{"sim:address=0x4C", "sim:address=0x4D"};

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// CPU time of every thread of the process so far, in seconds, at the scheduler's resolution
// (nanoseconds, where /proc/PID/stat counts 10 ms ticks).
std::optional<double> cpuSeconds(qint64 pid) {
    const QDir tasks(QString("/proc/%1/task").arg(pid));
    if (!tasks.exists())
        return std::nullopt;
    double total = 0;
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile schedstat(tasks.filePath(task + "/schedstat"));
        if (schedstat.open(QIODevice::ReadOnly))
            total += schedstat.readAll().split(' ').value(0).toDouble() / 1e9;
    }
    return total;
}

bool scrapeBoth(int port) {
    const HttpReply reply = HttpGet(port, "/metrics");
    return reply.status == 200 && reply.body.find("otk5530_up{chip=\"sim-0x4d\"} 1") != std::string::npos;
}

void BM_ServeScrapeVsTemps(benchmark::State& state) {
    ServeProcess exporter(kBoards);
    if (exporter.port == 0 || !scrapeBoth(exporter.port)) { // the first scrape connects the boards
        state.SkipWithError("otk5530-cli serve did not start");
        return;
    }
    double scrapeWall = 0, tempsWall = 0, scrapeCpu = 0;
    for (auto _ : state) {
        for (int round = 0; round < kRounds; ++round) {
            const std::optional<double> cpuBefore = cpuSeconds(exporter.process.processId());
            auto start = std::chrono::steady_clock::now();
            const bool scraped = scrapeBoth(exporter.port);
            scrapeWall += secondsSince(start);
            scrapeCpu += cpuSeconds(exporter.process.processId()).value_or(0) - cpuBefore.value_or(0);

            QProcess temps;
            temps.setProcessEnvironment(exporter.process.processEnvironment());
            start = std::chrono::steady_clock::now();
            temps.start(QCoreApplication::applicationDirPath() + "/otk5530-cli", {"temps"});
            const bool ran = temps.waitForFinished(30000) && temps.exitCode() == 0;
            tempsWall += secondsSince(start);
            if (!scraped || !ran) {
                state.SkipWithError("a scrape or otk5530-cli temps failed");
                return;
            }
        }
    }
    const double runs = static_cast<double>(state.iterations()) * kRounds;
    state.counters["scrapeWallUs"] = scrapeWall / runs * 1e6;
    state.counters["scrapeCpuUs"] = scrapeCpu / runs * 1e6;
    state.counters["tempsWallUs"] = tempsWall / runs * 1e6;
    state.counters["ratioWall"] = tempsWall > 0 ? scrapeWall / tempsWall : 0;
}
BENCHMARK(BM_ServeScrapeVsTemps)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_ServeCpuShareAt15s(benchmark::State& state) {
    const int window = qEnvironmentVariableIntValue("OTK5530_BENCH_SERVE_SECONDS") > 0
                           ? qEnvironmentVariableIntValue("OTK5530_BENCH_SERVE_SECONDS")
                           : kDefaultWindowSeconds;
    for (auto _ : state) {
        ServeProcess exporter(kBoards);
        // Connected and settled before the window opens: a long run's share, not its start.
        if (exporter.port == 0 || !scrapeBoth(exporter.port)) {
            state.SkipWithError("otk5530-cli serve did not start");
            return;
        }
        QThread::sleep(1);
        const qint64 pid = exporter.process.processId();
        const std::optional<double> before = cpuSeconds(pid);
        const auto start = std::chrono::steady_clock::now();
        int scrapes = 0;
        for (int second = 0; second <= window; second += kScrapeIntervalSeconds) {
            QThread::msleep(static_cast<unsigned long>(std::max(0.0, second - secondsSince(start)) * 1000));
            scrapes += scrapeBoth(exporter.port) ? 1 : 0;
        }
        QThread::msleep(static_cast<unsigned long>(std::max(0.0, window - secondsSince(start)) * 1000));
        const std::optional<double> after = cpuSeconds(pid);
        const double wall = secondsSince(start);
        if (!before || !after || scrapes == 0) {
            state.SkipWithError("the exporter ended or did not answer during the window");
            return;
        }
        state.counters["windowSeconds"] = wall;
        state.counters["scrapes"] = scrapes;
        state.counters["cpuSeconds"] = *after - *before;
        state.counters["coreShare"] = (*after - *before) / wall;
    }
}
BENCHMARK(BM_ServeCpuShareAt15s)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

} // namespace

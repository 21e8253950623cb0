// The log's time column against the wall clock: the real program logs for minutes on
// the simulated board, and its last Time is compared with the time that passed since
// its first row appeared. Runs only when OTK5530_BENCH_LOG_SECONDS is set (a run
// takes that long): OTK5530_BENCH_LOG_SECONDS=300 scripts/bench --benchmark_filter=LogDrift
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {
constexpr int kPollMs = 2;
constexpr int kIntervalMs = 100; // the logging interval the program starts with

int runSeconds() {
    return qEnvironmentVariableIntValue("OTK5530_BENCH_LOG_SECONDS");
}

QList<QByteArray> dataLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    QList<QByteArray> data;
    for (const QByteArray& line : lines)
        if (!line.isEmpty() && (line[0] == '.' || (line[0] >= '0' && line[0] <= '9')))
            data.append(line);
    return data;
}

void BM_LogDriftRealProgram(benchmark::State& state) {
    for (auto _ : state) {
        QTemporaryDir folder;
        const QString log = folder.filePath("drift.csv");
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("OTK5530_FAST_START", "1");
        env.insert("OTK5530_MESSAGES", "stderr");
        env.insert("OTK5530_SIM", "drift=off");
        program.setProcessEnvironment(env);
        program.start(QCoreApplication::applicationDirPath() + "/otk5530-eval", {"--log", log});
        if (!program.waitForStarted()) {
            state.SkipWithError("otk5530-eval did not start");
            return;
        }
        QElapsedTimer wall;
        wall.start();
        while (dataLines(log).isEmpty() && wall.elapsed() < 30'000)
            QThread::msleep(kPollMs);
        QElapsedTimer sinceFirstRow;
        sinceFirstRow.start();
        QThread::sleep(static_cast<unsigned long>(runSeconds()));
        const qint64 elapsedMs = sinceFirstRow.elapsed();
        const QList<QByteArray> rows = dataLines(log);
        program.kill();
        program.waitForFinished();
        if (rows.isEmpty()) {
            state.SkipWithError("no log line was written");
            return;
        }
        const double lastTime = rows.last().split(',').first().toDouble();
        state.counters["rows"] = rows.size();
        state.counters["elapsedSeconds"] = elapsedMs / 1000.0;
        state.counters["lastTimeSeconds"] = lastTime;
        state.counters["driftMs"] = lastTime * 1000 - elapsedMs;
        state.counters["timePerWallSecond"] = lastTime * 1000 / elapsedMs;
        // Rows the grid skipped because the program could not log for longer than an interval.
        state.counters["skippedRows"] = std::round(lastTime * 1000 / kIntervalMs) + 1 - rows.size();
    }
}

const bool registered = [] {
    if (runSeconds() > 0)
        benchmark::RegisterBenchmark("BM_LogDriftRealProgram", BM_LogDriftRealProgram)
            ->Iterations(1)
            ->UseRealTime()
            ->Unit(benchmark::kSecond);
    return true;
}();
} // namespace

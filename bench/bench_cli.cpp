// The command-line tool as whole processes on the simulated board: a dump against the
// tool's start alone (--version), and how closely `log --interval 10` keeps its schedule,
// beside a bare sleeper on the same grid at the same time.
// OTK5530_BENCH_CLI_LOG_SECONDS sets the log's length (default 5 s, so a bench run stays short).
#include "files/LogGrid.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <map>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {
constexpr int kRounds = 20; // --version and dump, in turn
constexpr int kLogIntervalMs = kShortestLogInterval;
constexpr double kLateAfterMs = 2.0; // a sample later than this after its schedule counts as late
constexpr int kDefaultLogSeconds = 5;

struct ProcessCost {
    int status = -1; // the exit status, -1 when it did not start or end normally
    double cpuSeconds = 0;
    double wallSeconds = 0;
};

double seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

// The environment the tool gets: the simulated board with its temperatures still, and no
// display or adapter choice from the caller's shell.
std::vector<std::string> toolEnvironment() {
    std::vector<std::string> env;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        if (text.rfind("OTK5530_", 0) == 0 || text.rfind("QT_QPA_PLATFORM=", 0) == 0 ||
            text.rfind("DISPLAY=", 0) == 0)
            continue;
        env.push_back(text);
    }
    env.push_back("OTK5530_SIM=drift=off");
    return env;
}

// Runs the tool to its end, its output into outputPath, and measures it as a whole
// process: its own CPU time (user and system, from wait4) and the wall clock. `meanwhile`
// runs after the start, before the wait.
ProcessCost runTool(const std::vector<std::string>& arguments, const char* outputPath = "/dev/null",
                    const std::function<void()>& meanwhile = {}) {
    const std::string program = (QCoreApplication::applicationDirPath() + "/otk5530-cli").toStdString();
    std::vector<std::string> env = toolEnvironment();
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& entry : env)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    ProcessCost cost;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return cost;
    if (meanwhile)
        meanwhile();
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return cost;
    cost.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    cost.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    cost.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return cost;
}

// Both commands in turn, so the ratio compares like with like under the same machine load.
void BM_CliDumpVsVersion(benchmark::State& state) {
    ProcessCost version, dump;
    for (auto _ : state) {
        for (int round = 0; round < kRounds; ++round) {
            const ProcessCost v = runTool({"--version"});
            const ProcessCost d = runTool({"dump"});
            if (v.status != 0 || d.status != 0) {
                state.SkipWithError("otk5530-cli --version or dump did not exit with status 0");
                return;
            }
            version.cpuSeconds += v.cpuSeconds;
            version.wallSeconds += v.wallSeconds;
            dump.cpuSeconds += d.cpuSeconds;
            dump.wallSeconds += d.wallSeconds;
        }
    }
    const double runs = static_cast<double>(state.iterations()) * kRounds;
    state.counters["versionCpuUs"] = version.cpuSeconds / runs * 1e6;
    state.counters["versionWallUs"] = version.wallSeconds / runs * 1e6;
    state.counters["dumpCpuUs"] = dump.cpuSeconds / runs * 1e6;
    state.counters["dumpWallUs"] = dump.wallSeconds / runs * 1e6;
    state.counters["ratioCpu"] = version.cpuSeconds > 0 ? dump.cpuSeconds / version.cpuSeconds : 0;
    state.counters["ratioWall"] = version.wallSeconds > 0 ? dump.wallSeconds / version.wallSeconds : 0;
}
BENCHMARK(BM_CliDumpVsVersion)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// Wake-ups of a loop that does nothing else on a 10 ms grid: what the machine's load alone
// makes late, the reference for the tool. Each is stamped as the tool stamps its rows, on the
// wall clock in whole ms, less its place on the grid, so both sides are measured alike.
std::vector<qint64> bareSleeperOffsets(int runSeconds) {
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    const int64_t startNs = static_cast<int64_t>(start.tv_sec) * 1'000'000'000 + start.tv_nsec;
    const int64_t wakeUps = runSeconds * 1000LL / kLogIntervalMs;
    std::vector<qint64> offsets;
    for (int64_t k = 1; k <= wakeUps; ++k) {
        const int64_t dueNs = startNs + k * kLogIntervalMs * 1'000'000;
        const timespec due{static_cast<time_t>(dueNs / 1'000'000'000),
                           static_cast<long>(dueNs % 1'000'000'000)};
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr) == EINTR) {
        }
        offsets.push_back(QDateTime::currentMSecsSinceEpoch() - k * kLogIntervalMs);
    }
    return offsets;
}

struct Lateness {
    double latePercent = 0;
    double worstMs = 0;
};

// A row's lateness is its offset (wall-clock stamp less its place on the schedule) less the
// offset most rows share: rows are never early and most are on time; the first row is no
// anchor, it is stamped after the first-call costs.
Lateness latenessOf(const std::vector<qint64>& offsets) {
    std::map<qint64, int> sharing;
    for (qint64 offset : offsets)
        ++sharing[offset];
    const qint64 onTime = std::max_element(sharing.begin(), sharing.end(), [](const auto& a, const auto& b) {
                              return a.second < b.second;
                          })->first;
    Lateness lateness;
    int late = 0;
    for (qint64 offset : offsets) {
        const double lateMs = static_cast<double>(offset - onTime);
        lateness.worstMs = std::max(lateness.worstMs, lateMs);
        if (lateMs > kLateAfterMs)
            ++late;
    }
    lateness.latePercent = 100.0 * late / static_cast<double>(offsets.size());
    return lateness;
}

int logSeconds() {
    const int set = qEnvironmentVariableIntValue("OTK5530_BENCH_CLI_LOG_SECONDS");
    return set > 0 ? set : kDefaultLogSeconds;
}

// Each CSV row's wall-clock stamp less its place on the tool's schedule (the schedule
// column), in ms; the first line holds the titles. Nothing when a row has neither.
std::optional<std::vector<qint64>> rowOffsets(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::vector<qint64> offsets;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const QList<QByteArray> cells = lines[i].split(',');
        bool scheduled = false;
        const double scheduleSeconds = cells.value(1).toDouble(&scheduled);
        const QDateTime stamp = QDateTime::fromString(QString::fromUtf8(cells.first()), Qt::ISODateWithMs);
        if (!stamp.isValid() || !scheduled)
            return std::nullopt;
        offsets.push_back(stamp.toMSecsSinceEpoch() - std::llround(scheduleSeconds * 1000));
    }
    return offsets;
}

// The tool's rows and the bare sleeper, run at the same time and measured alike (latenessOf).
// Slots the grid skipped (a row more than a whole interval late) show as lines written
// below lines scheduled.
void BM_CliLogSchedule(benchmark::State& state) {
    const int runSeconds = logSeconds();
    for (auto _ : state) {
        QTemporaryDir folder;
        const QString log = folder.filePath("log.csv");
        std::vector<qint64> sleeperOffsets;
        const ProcessCost run =
            runTool({"log", "--interval", std::to_string(kLogIntervalMs), "--duration",
                     std::to_string(runSeconds) + "s", "--format", "csv", "-o", log.toStdString()},
                    "/dev/null", [&] { sleeperOffsets = bareSleeperOffsets(runSeconds); });
        if (run.status != 0) {
            state.SkipWithError("otk5530-cli log did not exit with status 0");
            return;
        }
        const std::optional<std::vector<qint64>> offsets = rowOffsets(log);
        if (!offsets || offsets->empty()) {
            state.SkipWithError("the log has no rows, or a row without its time stamp or schedule");
            return;
        }
        const Lateness tool = latenessOf(*offsets);
        const double scheduled = runSeconds * 1000.0 / kLogIntervalMs;
        state.counters["seconds"] = runSeconds;
        state.counters["linesScheduled"] = scheduled;
        state.counters["linesWritten"] = static_cast<double>(offsets->size());
        state.counters["writtenPerScheduled"] = static_cast<double>(offsets->size()) / scheduled;
        state.counters["latePercent"] = tool.latePercent;
        state.counters["worstLateMs"] = tool.worstMs;
        state.counters["sleeperLatePercent"] = latenessOf(sleeperOffsets).latePercent;
        state.counters["cpuPerWall"] = run.cpuSeconds / run.wallSeconds;
    }
}
BENCHMARK(BM_CliLogSchedule)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

} // namespace

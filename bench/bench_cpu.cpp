// What the real program costs while it sits open: its own CPU time (user and system,
// from /proc/PID/stat) over a stretch of wall time on the simulated board, once with
// the windows it opens at start and once with every view open and logging. The
// stretch starts once start-up is over; OTK5530_BENCH_CPU_SECONDS sets its length
// (60 unless set, 0 leaves these benchmarks out). Beside the CPU share: how often the
// main thread woke a second.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <optional>

namespace {
constexpr int kDefaultSeconds = 60;
// Start-up (windows, the connection sequence) is over well within this with OTK5530_FAST_START.
constexpr int kSettleMs = 3000;

int runSeconds() {
    bool given = false;
    const int seconds = qEnvironmentVariableIntValue("OTK5530_BENCH_CPU_SECONDS", &given);
    return given ? seconds : kDefaultSeconds;
}

// User plus system time of the process in clock ticks; none once it has ended.
std::optional<long long> cpuTicks(qint64 pid) {
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray text = stat.readAll();
    // The command name in brackets may hold spaces: the fields are counted after its ')'.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    // The state is field 3 of the line, utime and stime are 14 and 15: 1, 12 and 13 after the name.
    if (fields.size() < 13 || fields[0] == "Z")
        return std::nullopt;
    return fields[11].toLongLong() + fields[12].toLongLong();
}

// Context switches of the main thread (voluntary and not): each wake-up of its event loop is one.
std::optional<long long> mainThreadSwitches(qint64 pid) {
    QFile status(QString("/proc/%1/task/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return std::nullopt;
    long long switches = 0;
    int found = 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("voluntary_ctxt_switches:") || line.startsWith("nonvoluntary_ctxt_switches:")) {
            switches += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
            ++found;
        }
    return found == 2 ? std::optional(switches) : std::nullopt;
}

void RunProgram(benchmark::State& state, const QStringList& arguments) {
    for (auto _ : state) {
        QTemporaryDir folder;
        QProcess program;
        // Nothing from the caller's shell (an OTK5530_SIM, a display, an adapter choice): every
        // run measures the same program on the same board.
        QProcessEnvironment env;
        env.insert("PATH", qEnvironmentVariable("PATH"));
        env.insert("HOME", folder.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("OTK5530_FAST_START", "1");
        env.insert("OTK5530_MESSAGES", "stderr");
        // A settings store of its own, so the window places of earlier runs do not count.
        env.insert("XDG_CONFIG_HOME", folder.path());
        program.setProcessEnvironment(env);
        QStringList withLog = arguments;
        withLog.replaceInStrings("LOGFILE", folder.filePath("cpu.csv"));
        program.start(QCoreApplication::applicationDirPath() + "/otk5530-eval",
                      QStringList{"--adapter", "sim"} + withLog);
        if (!program.waitForStarted()) {
            state.SkipWithError("otk5530-eval did not start");
            return;
        }
        // The program must still be running once start-up is over, or there is nothing to measure.
        if (program.waitForFinished(kSettleMs)) {
            const QByteArray why = "otk5530-eval ended during start-up: " + program.readAllStandardError();
            state.SkipWithError(why.constData());
            return;
        }
        QElapsedTimer wall;
        wall.start();
        const std::optional<long long> before = cpuTicks(program.processId());
        const std::optional<long long> switchesBefore = mainThreadSwitches(program.processId());
        QThread::sleep(static_cast<unsigned long>(runSeconds()));
        const std::optional<long long> after = cpuTicks(program.processId());
        const std::optional<long long> switchesAfter = mainThreadSwitches(program.processId());
        const double wallSeconds = wall.nsecsElapsed() / 1e9;
        program.kill();
        program.waitForFinished();
        if (!before || !after || !switchesBefore || !switchesAfter) {
            state.SkipWithError("otk5530-eval ended before the measurement did");
            return;
        }
        const double cpuSeconds = double(*after - *before) / double(sysconf(_SC_CLK_TCK));
        state.counters["cpuSeconds"] = cpuSeconds;
        state.counters["wallSeconds"] = wallSeconds;
        state.counters["coreShare"] = cpuSeconds / wallSeconds;
        state.counters["wakeUpsPerSecond"] = double(*switchesAfter - *switchesBefore) / wallSeconds;
    }
}

void BM_CpuDefaultWindows(benchmark::State& state) {
    RunProgram(state, {});
}

void BM_CpuEveryViewOpen(benchmark::State& state) {
    RunProgram(state, {"--open", "frmRegMap,frmLimits,frmLogging,frmRegOverview", "--continuous-read",
                       "--log", "LOGFILE"});
}

const bool registered = [] {
    if (runSeconds() > 0) {
        for (auto [name, function] : {std::pair{"BM_CpuDefaultWindows", BM_CpuDefaultWindows},
                                      std::pair{"BM_CpuEveryViewOpen", BM_CpuEveryViewOpen}})
            benchmark::RegisterBenchmark(name, function)
                ->Iterations(1)
                ->UseRealTime()
                ->Unit(benchmark::kSecond);
    }
    return true;
}();
} // namespace

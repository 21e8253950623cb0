#include "cli/CliMeasure.h"

#include "app/MonitoringRoutines.h"
#include "cli/CliConnect.h"
#include "cli/CliExit.h"
#include "cli/CliProm.h"
#include "cli/CliStatus.h"
#include "cli/CliStream.h"
#include "device/USBStuff.h"
#include "files/LogGrid.h"
#include "files/LogRun.h"
#include "files/RegularFile.h"

#include <QDateTime>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <limits>
#include <unistd.h>

namespace {
const QString kCelsius = QStringLiteral("°C");

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

// Without SA_RESTART, so a signal cuts the wait for the next sample short.
void installStopHandlers() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int64_t monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Sleeps until the monotonic time, or until a stop is asked for.
void sleepUntil(int64_t ns) {
    timespec until{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    while (!stopRequested && clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

QString isoNow() {
    const QDateTime now = QDateTime::currentDateTime();
    return now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

// Where measured lines go: standard output, or appended to a plain file, one whole line at a time.
class LineSink {
public:
    explicit LineSink(const QString& path) : path_(path) {}
    bool write(const QByteArray& bytes) {
        return path_.isEmpty() ? WriteAll(STDOUT_FILENO, bytes) : AppendWhole(NativeName(path_), bytes);
    }

private:
    QString path_;
};
} // namespace

Reading MeasureReading() {
    // The status is read on both sides of the temperatures, so a conversion between the
    // reads cannot let an open diode's reading (255.75 °C) through as a temperature.
    const ChipStatus before = ReadChipStatus();
    Reading reading = GeneralStuff::ReadTemperatures();
    reading.status = before | ReadChipStatus();
    return reading;
}

Row TemperatureRow(const QString& time, const Reading& reading, const std::array<bool, 3>& channels) {
    Row row{TextCell("time", time)};
    const ChipStatus status = reading.status.value_or(ChipStatus{});
    for (int i = 0; i < 3; ++i) {
        if (!channels[i])
            continue;
        // While Remote 2 is selected the shared registers read Remote 2: no Remote 1 reading exists.
        if (i == 1 && USBStuff::ProgramChip().Remote2Selected)
            row.push_back(
                MissingCell(ChannelNames()[i], kCelsius, "Configuration Reg 1 bit 3 selects Remote 2"));
        else
            row.push_back(StatusChannelCell(ChannelNames()[i], i, reading.temperatures[i], status));
    }
    row.push_back(FlagCell("alert", AlertSet(status)));
    return row;
}

Row TemperatureRow(const std::array<bool, 3>& channels) {
    // The time the sample starts: on a slow link the reads take a while after it.
    const QString time = isoNow();
    return TemperatureRow(time, MeasureReading(), channels);
}

int MeasureVerb(const CliArgs& args, const CliConnection& connection) {
    const int32_t interval = args.intervalMs.value_or(kDefaultIntervalMs);
    const bool otk = args.format == CliFormat::Otk;
    const bool prom = args.format == CliFormat::Prom;
    BoardScrape board = CliBoard(connection, USBStuff::ProgramChip().DeviceAddress);
    const std::array<bool, 3> channels =
        args.verb == "log" ? args.channels : std::array<bool, 3>{true, true, true};
    installStopHandlers();

    LineSink sink(args.output);
    QString failure;
    // The program's log format, in a run of the tool's own: the program's state stays untouched.
    LogRun run(args.output, channels, interval);
    if (otk) {
        if (!args.output.isEmpty()) {
            if (!run.appendHeader())
                throw CliError{kExitUsage,
                               "-o " + args.output + ": the file could not be opened for writing"};
        } else if (!sink.write(run.headerBytes())) {
            throw CliError{kExitUsage, "standard output could not be written"};
        }
    }
    bool sinkFailed = false;
    RowStream stream(args.verb, args.format, [&](const QByteArray& bytes) {
        if (!sink.write(bytes))
            sinkFailed = true;
    });
    if (!otk && !prom)
        SetLinkLossEnding([&stream](const QString& linkFailure) { stream.fail(linkFailure); });

    // The first local time loads the time zone: done here, so row 0 is not stamped late.
    isoNow();
    const int64_t start = monotonicNs();
    int64_t lastRowMs = -1;
    int64_t written = 0;
    while (!stopRequested) {
        const int64_t nextMs = lastRowMs < 0 ? 0 : (lastRowMs / interval + 1) * interval;
        if (args.durationMs && nextMs >= *args.durationMs)
            break;
        sleepUntil(start + nextMs * 1000000);
        if (stopRequested)
            break;
        const std::optional<LogRow> due = DueLogRow((monotonicNs() - start) / 1000000, lastRowMs, interval);
        if (!due)
            continue;
        if (args.durationMs && due->atMs >= *args.durationMs)
            break;
        // Each prom sample replaces the whole file: the textfile collector reads the latest.
        if (prom) {
            WritePromSample(board, args.output);
        } else {
            const QString time = isoNow();
            const Reading reading = MeasureReading();
            Row row = TemperatureRow(time, reading, channels);
            // Where the row stands on the schedule, as the program's log counts its Time column.
            row.insert(row.begin() + 1, NumberCell("schedule", static_cast<double>(due->atMs) / 1000.0, "s"));
            if (otk) {
                // The program's row counter: at 10 ms it is full after about 248 days.
                if (due->row > std::numeric_limits<int32_t>::max()) {
                    failure = "the log's row count is full";
                    break;
                }
                run.rowCount = static_cast<int32_t>(due->row);
                sinkFailed =
                    args.output.isEmpty() ? !sink.write(run.dataBytes(reading)) : !run.appendRow(reading);
            } else {
                stream.row(row);
            }
        }
        if (sinkFailed) {
            failure = args.output.isEmpty() ? "standard output could not be written"
                                            : "the file " + args.output + " could not be written";
            break;
        }
        lastRowMs = due->atMs;
        ++written;
        if (args.samples && written >= *args.samples)
            break;
    }
    SetLinkLossEnding({});
    if (!otk && !prom)
        stream.end();
    if (!failure.isEmpty())
        throw CliError{kExitUsage, failure + "; measuring stopped"};
    return kExitSuccess;
}

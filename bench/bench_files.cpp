// The file work of the program against one register read through the device
// link: a log line, a settings save and a settings recall.
#include "BenchBoard.h"

#include "device/Clock.h"
#include "device/GeneralStuff.h"
#include "device/USBStuff.h"
#include "files/LogLines.h"
#include "files/SettingsFile.h"
#include "files/SettingsReader.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

using namespace GeneralStuff;

namespace {

void BM_RegisterRead(benchmark::State& state) {
    BenchBoard::Connect();
    for (auto _ : state)
        benchmark::DoNotOptimize(USBStuff::ReadRegister(DeviceAddress, 0x00));
}
BENCHMARK(BM_RegisterRead)->Iterations(200000)->Unit(benchmark::kMicrosecond);

void BM_LogLine(benchmark::State& state) {
    BenchBoard::Connect();
    QTemporaryDir folder;
    LogFileName = folder.filePath("bench.csv");
    LogChannels = {true, true, true};
    LogInterval = 1000;
    Temperatures = {25, 33.75f, 30.5f};
    for (auto _ : state) {
        if (!AppendLogDataLine(GeneralStuff::State.LastReading)) {
            state.SkipWithError("the log file could not be written");
            break;
        }
        LogRowCount += 1;
    }
    ResetSharedState();
}
BENCHMARK(BM_LogLine)->Iterations(5000)->Unit(benchmark::kMicrosecond);

// What the save window does: read every writable register, build the file and write it safely.
QList<SettingsEntry> SaveSettings(const QString& path) {
    const QList<SettingsEntry> entries = SettingsEntries(
        false, [](int32_t readAddr) { return USBStuff::ReadRegister(DeviceAddress, readAddr); });
    const QByteArray bytes = SettingsFileBytes(SettingsHeaderLines("bench", Clock::LocalNow()), entries);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(bytes) != bytes.size() ||
        !file.commit())
        return {};
    return entries;
}

void BM_SettingsSave(benchmark::State& state) {
    BenchBoard::Connect();
    QTemporaryDir folder;
    const QString path = folder.filePath("bench.txt");
    qsizetype entries = 0;
    for (auto _ : state) {
        entries = SaveSettings(path).size();
        if (entries == 0) {
            state.SkipWithError("the settings file could not be written");
            break;
        }
    }
    state.counters["entries"] = double(entries);
}
BENCHMARK(BM_SettingsSave)->Iterations(1000)->Unit(benchmark::kMicrosecond);

// What the recall does: read the file and write each entry to the chip as its line is read.
void BM_SettingsRecall(benchmark::State& state) {
    BenchBoard::Connect();
    QTemporaryDir folder;
    const QString path = folder.filePath("bench.txt");
    if (SaveSettings(path).isEmpty()) {
        state.SkipWithError("the settings file could not be written");
        return;
    }
    int writes = 0;
    const RecallCallbacks callbacks{[] {},
                                    [&writes](int32_t address, int32_t data) {
                                        USBStuff::WriteRegister(DeviceAddress, address, data);
                                        ++writes;
                                    }};
    for (auto _ : state) {
        writes = 0;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) ||
            RecallSettings(file.readAll(), callbacks) != RecallOutcome::Complete) {
            state.SkipWithError("the settings file was not read to its end");
            break;
        }
    }
    state.counters["entries"] = writes;
}
BENCHMARK(BM_SettingsRecall)->Iterations(1000)->Unit(benchmark::kMicrosecond);

} // namespace

#include "files/LogLines.h"

#include "device/GeneralStuff.h"
#include "files/LogRun.h"

namespace {
// The program's run (the logging window's and --log's): its settings are the shared
// state's logging variables, taken at each use; the run keeps what it last appended.
LogRun& programRun() {
    static LogRun run;
    run.file = GeneralStuff::LogFileName;
    run.channels = GeneralStuff::LogChannels;
    run.interval = GeneralStuff::LogInterval;
    run.rowCount = GeneralStuff::LogRowCount;
    return run;
}
} // namespace

LogSettings ProgramLogSettings() {
    return {GeneralStuff::LogFileName, GeneralStuff::LogChannels, GeneralStuff::LogInterval};
}

void SetProgramLogSettings(const LogSettings& settings) {
    GeneralStuff::LogFileName = settings.file;
    GeneralStuff::LogChannels = settings.channels;
    GeneralStuff::LogInterval = settings.interval;
}

bool ProgramLogging() {
    return GeneralStuff::LoggingActive;
}

void StartProgramLog(const LogSettings& settings) {
    SetProgramLogSettings(settings);
    GeneralStuff::LogRowCount = 0;
    GeneralStuff::LoggingActive = true;
}

void StopProgramLog() {
    GeneralStuff::LoggingActive = false;
}

QString LogHeaderLine() {
    return programRun().headerLine();
}

QString LogDataLine(const Reading& reading) {
    return programRun().dataLine(reading);
}

bool AppendLogRunHeader() {
    return programRun().appendHeader();
}

bool AppendLogDataLine(const Reading& reading) {
    return programRun().appendRow(reading);
}

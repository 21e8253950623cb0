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

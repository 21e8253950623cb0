#pragma once
// The program's CSV log: its run (LogRun) with the shared state's LogFileName,
// LogChannels, LogInterval and LogRowCount, and the one front through which the
// logging window, --log and workspaces reach those settings and LoggingActive.
// Files are single-byte text ("°" is 0xB0) with CR LF line ends.
#include "device/Reading.h"

#include <QString>
#include <array>
#include <cstdint>

struct LogSettings {
    QString file;
    std::array<bool, 3> channels{};
    int32_t interval = 0; // ms
};
LogSettings ProgramLogSettings();
void SetProgramLogSettings(const LogSettings& settings);
// LoggingActive.
bool ProgramLogging();
// The run starts with the settings: row 0 comes next and the cycle logs.
void StartProgramLog(const LogSettings& settings);
void StopProgramLog();

// «Time ,Local(°C) ,Remote1(°C) ,Remote2(°C) ,» for the channels in LogChannels.
QString LogHeaderLine();
// The data line of the reading for LogRowCount, LogInterval and LogChannels.
QString LogDataLine(const Reading& reading);
// Appends one logging run's title block and column titles to LogFileName.
bool AppendLogRunHeader();
// Opens LogFileName, appends LogDataLine + CR LF and closes it. False when the
// line could not be written completely (the file then holds no partial line) or
// the name no longer leads to a plain file. A file that vanished, was replaced
// or was cut short since the last append gets the title block again first.
bool AppendLogDataLine(const Reading& reading);

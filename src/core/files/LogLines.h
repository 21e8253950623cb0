#pragma once
// The program's CSV log: its run (LogRun) with the shared state's LogFileName,
// LogChannels, LogInterval and LogRowCount.
// Files are single-byte text ("°" is 0xB0) with CR LF line ends.
#include "device/Reading.h"

#include <QString>

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

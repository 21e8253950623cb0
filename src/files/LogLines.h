#pragma once
// The program's CSV log: its run (LogRun) with the shared state's LogFileName,
// LogChannels, LogInterval, LogRowCount and Temperatures.
// Files are single-byte text ("°" is 0xB0) with CR LF line ends.
#include <QByteArray>
#include <QString>

// «Time ,Local(°C) ,Remote1(°C) ,Remote2(°C) ,» for the channels in LogChannels.
QString LogHeaderLine();
// The data line for LogRowCount, LogInterval, LogChannels and Temperatures.
QString LogDataLine();
// A logging run's title block and column titles, and one data line, as written with their line ends.
QByteArray LogRunHeaderBytes();
QByteArray LogDataBytes();
// Appends one logging run's title block and column titles to LogFileName.
bool AppendLogRunHeader();
// Opens LogFileName, appends LogDataLine + CR LF and closes it. False when the
// line could not be written completely (the file then holds no partial line) or
// the name no longer leads to a plain file. A file that vanished, was replaced
// or was cut short since the last append gets the title block again first.
bool AppendLogDataLine();

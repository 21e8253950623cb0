#pragma once
// One logging run: its file, channels, interval and row count, and the lines it
// writes. The logging window (through the program's front in LogLines), --log and
// the command-line tool each own one; no run reads another's state.
#include "device/Reading.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <sys/types.h>

class LogRun {
public:
    LogRun() = default;
    LogRun(QString file, const std::array<bool, 3>& channels, int32_t interval);

    // «Time ,Local(°C) ,Remote1(°C) ,Remote2(°C) ,» for the run's channels.
    QString headerLine() const;
    // The data line of row rowCount: its time on the run's grid and the temperatures of its channels.
    QString dataLine(const Reading& reading) const;
    // The title block and column titles, and one data line, as written with their line ends.
    QByteArray headerBytes() const;
    QByteArray dataBytes(const Reading& reading) const;
    // Appends the title block to the file.
    bool appendHeader();
    // Opens the file, appends the data line and closes it. False when the line could not
    // be written completely (the file then holds no partial line) or the name no longer
    // leads to a plain file. A file that vanished, was replaced or was cut short since
    // the last append gets the title block again first.
    bool appendRow(const Reading& reading);

    QString file;
    std::array<bool, 3> channels{};
    int32_t interval = 0; // ms
    int32_t rowCount = 0;

private:
    bool appendBytes(const QByteArray& bytes, bool startsRun);

    // The file as this run last left it.
    QString lastName;
    dev_t lastDevice = 0;
    ino_t lastInode = 0;
    off_t lastSize = 0;
};

#pragma once
// Rows written one at a time as they are measured or written (temps --watch, log, recall):
// a header first, every row a complete line, and the closing of the JSON document at the
// end, also when the link fails half-way.
#include "cli/CliOutput.h"

#include <QByteArray>
#include <functional>
#include <map>

class RowStream {
public:
    // `sink` writes the bytes of one or more complete lines.
    RowStream(QString verb, CliFormat format, std::function<void(const QByteArray&)> sink);
    // Text: the column of `key` at least this wide, for values longer than the first row's.
    void reserveWidth(const QString& key, qsizetype width);
    void row(const Row& row);
    // Closes the JSON document; text and CSV need nothing more.
    void end();
    // Ends the output after a lost link: the JSON document closed with the failure as
    // "error", an NDJSON line {"error": ...}; text and CSV end on their last complete line.
    void fail(const QString& failure);

private:
    QByteArray opening() const;
    QString verb_;
    CliFormat format_;
    std::function<void(const QByteArray&)> sink_;
    std::vector<qsizetype> widths_;
    std::map<QString, qsizetype> reserved_;
    bool started_ = false;
};

#pragma once
// The bytes of the graph's data export: a CSV text with one row per sample time
// and one column per visible channel. Pure rules: no widget and no file inside.
#include <QByteArray>
#include <QDateTime>
#include <QStringList>
#include <optional>
#include <vector>

struct GraphExportRow {
    QDateTime time;                            // local time
    std::vector<std::optional<double>> values; // one per column; none leaves the cell empty
};

// "Time,Local,Remote1" and rows like "2026-12-08T13:07:00.050,25.00,33.75": ISO-8601
// local time to the millisecond, two decimals, CRLF line ends, UTF-8.
QByteArray GraphCsv(const QStringList& channels, const std::vector<GraphExportRow>& rows);

#pragma once
// The register overview as a CSV or JSON file. Pure: no widget and no chip inside.
#include <QByteArray>
#include <QStringList>
#include <vector>

// One exported table: column titles and the rows' texts as shown.
struct OverviewTable {
    QStringList columns;
    std::vector<QStringList> rows;
};

// One line of fields: quoted where they hold a comma, quote or line break; UTF-8, CR LF.
QByteArray CsvLine(const QStringList& fields);
// Comma-separated, fields with a comma, quote or line break quoted, lines ending CR LF, UTF-8.
QByteArray OverviewCsv(const OverviewTable& table);
// An array of objects keyed by the column titles, UTF-8.
QByteArray OverviewJson(const OverviewTable& table);

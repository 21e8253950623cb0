#include "views/OverviewExport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
QString csvField(QString text) {
    if (!text.contains(',') && !text.contains('"') && !text.contains('\n') && !text.contains('\r'))
        return text;
    return '"' + text.replace('"', "\"\"") + '"';
}
} // namespace

QByteArray CsvLine(const QStringList& fields) {
    QStringList quoted;
    for (const QString& field : fields)
        quoted << csvField(field);
    return quoted.join(',').toUtf8() + "\r\n";
}

QByteArray OverviewCsv(const OverviewTable& table) {
    QByteArray bytes = CsvLine(table.columns);
    for (const QStringList& row : table.rows)
        bytes += CsvLine(row);
    return bytes;
}

QByteArray OverviewJson(const OverviewTable& table) {
    QJsonArray rows;
    for (const QStringList& row : table.rows) {
        QJsonObject object;
        for (int c = 0; c < table.columns.size() && c < row.size(); ++c)
            object.insert(table.columns[c], row[c]);
        rows.append(object);
    }
    return QJsonDocument(rows).toJson();
}

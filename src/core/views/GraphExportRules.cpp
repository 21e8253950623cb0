#include "views/GraphExportRules.h"

QByteArray GraphCsv(const QStringList& channels, const std::vector<GraphExportRow>& rows) {
    QString text = "Time," + channels.join(',') + "\r\n";
    for (const GraphExportRow& row : rows) {
        text += row.time.toString("yyyy-MM-ddTHH:mm:ss.zzz");
        for (const std::optional<double>& value : row.values)
            text += ',' + (value ? QString::number(*value, 'f', 2) : QString());
        text += "\r\n";
    }
    return text.toUtf8();
}

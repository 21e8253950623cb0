#include "cli/CliOutput.h"

#include "device/NumberText.h"
#include "views/OverviewExport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <algorithm>

Cell ByteCell(const QString& key, int value) {
    Cell cell;
    cell.key = key;
    cell.kind = Cell::Kind::Byte;
    cell.number = value;
    return cell;
}

Cell NumberCell(const QString& key, double value, const QString& unit) {
    Cell cell;
    cell.key = key;
    cell.kind = Cell::Kind::Number;
    cell.number = value;
    cell.unit = unit;
    return cell;
}

Cell TextCell(const QString& key, const QString& text) {
    Cell cell;
    cell.key = key;
    cell.kind = Cell::Kind::Text;
    cell.text = text;
    return cell;
}

Cell FlagCell(const QString& key, bool value) {
    Cell cell;
    cell.key = key;
    cell.kind = Cell::Kind::Flag;
    cell.flag = value;
    return cell;
}

Cell MissingCell(const QString& key, const QString& unit, const QString& why) {
    Cell cell;
    cell.key = key;
    cell.kind = Cell::Kind::Missing;
    cell.unit = unit;
    cell.text = why;
    return cell;
}

Cell ChannelCell(const QString& key, double celsius, const QString& fault, const QStringList& alarms) {
    Cell cell = fault.isEmpty() ? NumberCell(key, celsius, QStringLiteral("°C"))
                                : MissingCell(key, QStringLiteral("°C"), fault);
    cell.withStatus = true;
    cell.fault = fault;
    cell.alarms = alarms;
    return cell;
}

QString StatusText(const Cell& cell) {
    return cell.fault.isEmpty() ? cell.alarms.join(' ') : cell.fault;
}

QByteArray CliCsvLine(const QStringList& fields) {
    QByteArray line = CsvLine(fields);
    line.chop(2); // CR LF
    return line + '\n';
}

QStringList CsvFields(const Row& row) {
    QStringList fields;
    for (const Cell& cell : row) {
        fields << CellText(cell, CliFormat::Csv);
        if (cell.withStatus)
            fields << StatusText(cell);
    }
    return fields;
}

QStringList CsvTitles(const Row& row) {
    QStringList titles;
    for (const Cell& cell : row) {
        titles << CsvTitle(cell);
        if (cell.withStatus)
            titles << cell.key + " status";
    }
    return titles;
}

QString ByteText(int value) {
    return QString("0x%1").arg(value, 2, 16, QChar('0')).toUpper().replace("0X", "0x");
}

QString CellText(const Cell& cell, CliFormat format) {
    const bool csv = format == CliFormat::Csv;
    switch (cell.kind) {
    case Cell::Kind::Byte:
        return ByteText(static_cast<int>(cell.number));
    case Cell::Kind::Number:
        if (!csv && !cell.alarms.isEmpty())
            return TrimmedNumber(cell.number) + " " + cell.unit + " " + StatusText(cell);
        // Text shows numbers as the program does («.75»); CSV as other tools read them («0.75»).
        if (csv)
            return QString::number(cell.number, 'g', 12);
        return TrimmedNumber(cell.number) + (cell.unit.isEmpty() ? QString() : " " + cell.unit);
    case Cell::Kind::Text:
        return cell.text;
    case Cell::Kind::Flag:
        return cell.flag ? (csv ? "true" : "yes") : (csv ? "false" : "no");
    case Cell::Kind::Missing:
        // A fault is never a number: CSV leaves the cell empty, text names the fault.
        return csv ? QString() : cell.fault.isEmpty() ? QString("-") : cell.fault;
    }
    return {};
}

QString CsvTitle(const Cell& cell) {
    return cell.unit.isEmpty() ? cell.key : cell.key + " (" + cell.unit + ")";
}

namespace {
QJsonValue jsonValue(const Cell& cell) {
    switch (cell.kind) {
    case Cell::Kind::Byte:
        return static_cast<int>(cell.number);
    case Cell::Kind::Number: {
        QJsonObject object{{"value", cell.number}, {"unit", cell.unit}};
        if (cell.withStatus)
            object.insert("alarms", QJsonArray::fromStringList(cell.alarms));
        return object;
    }
    case Cell::Kind::Text:
        return cell.text;
    case Cell::Kind::Flag:
        return cell.flag;
    case Cell::Kind::Missing: {
        QJsonObject object{{"value", QJsonValue::Null}};
        object.insert(cell.fault.isEmpty() ? "note" : "fault", cell.text);
        if (!cell.unit.isEmpty())
            object.insert("unit", cell.unit);
        return object;
    }
    }
    return {};
}

QByteArray alignedLines(const std::vector<QStringList>& lines) {
    std::vector<qsizetype> widths;
    for (const QStringList& line : lines)
        for (qsizetype c = 0; c < line.size(); ++c) {
            if (static_cast<size_t>(c) >= widths.size())
                widths.push_back(0);
            widths[c] = std::max(widths[c], line[c].size());
        }
    QByteArray bytes;
    for (const QStringList& line : lines) {
        QString text;
        for (qsizetype c = 0; c < line.size(); ++c)
            text += c + 1 < line.size() ? line[c].leftJustified(widths[c] + 2) : line[c];
        // An empty last column leaves no blanks at the line's end.
        while (text.endsWith(' '))
            text.chop(1);
        bytes += text.toUtf8() + "\n";
    }
    return bytes;
}
} // namespace

QJsonObject RowJson(const Row& row) {
    QJsonObject object;
    for (const Cell& cell : row)
        object.insert(cell.key, jsonValue(cell));
    return object;
}

QByteArray RenderText(const Report& report) {
    std::vector<QStringList> lines;
    if (report.record) {
        for (const Row& row : report.rows)
            for (const Cell& cell : row)
                lines.push_back({cell.key, CellText(cell, CliFormat::Text)});
        return alignedLines(lines);
    }
    if (report.rows.empty())
        return {};
    QStringList titles;
    for (const Cell& cell : report.rows.front())
        titles << cell.key;
    lines.push_back(titles);
    for (const Row& row : report.rows) {
        QStringList texts;
        for (const Cell& cell : row)
            texts << CellText(cell, CliFormat::Text);
        lines.push_back(texts);
    }
    return alignedLines(lines);
}

QByteArray RenderJson(const Report& report) {
    QJsonObject document{{"verb", report.verb}};
    if (report.record) {
        for (const Row& row : report.rows)
            for (const Cell& cell : row)
                document.insert(cell.key, jsonValue(cell));
    } else {
        QJsonArray rows;
        for (const Row& row : report.rows)
            rows.append(RowJson(row));
        document.insert("results", rows);
    }
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

QByteArray RenderCsv(const Report& report) {
    if (report.rows.empty())
        return {};
    if (report.record) {
        Row all;
        for (const Row& row : report.rows)
            all.insert(all.end(), row.begin(), row.end());
        return CliCsvLine(CsvTitles(all)) + CliCsvLine(CsvFields(all));
    }
    // A status column that one row needs (an open diode among the dumped registers) is given
    // to every row, so each field stays under its title.
    QSet<QString> statusKeys;
    for (const Row& row : report.rows)
        for (const Cell& cell : row)
            if (cell.withStatus)
                statusKeys.insert(cell.key);
    const auto withStatusColumns = [&](Row row) {
        for (Cell& cell : row)
            cell.withStatus = cell.withStatus || statusKeys.contains(cell.key);
        return row;
    };
    QByteArray bytes = CliCsvLine(CsvTitles(withStatusColumns(report.rows.front())));
    for (const Row& row : report.rows)
        bytes += CliCsvLine(CsvFields(withStatusColumns(row)));
    return bytes;
}

QByteArray RenderNdjson(const Report& report) {
    QByteArray bytes;
    if (report.record) {
        QJsonObject object;
        for (const Row& row : report.rows)
            for (const Cell& cell : row)
                object.insert(cell.key, jsonValue(cell));
        return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
    }
    for (const Row& row : report.rows)
        bytes += QJsonDocument(RowJson(row)).toJson(QJsonDocument::Compact) + '\n';
    return bytes;
}

QByteArray Render(const Report& report, CliFormat format) {
    switch (format) {
    case CliFormat::Json:
        return RenderJson(report);
    case CliFormat::Csv:
        return RenderCsv(report);
    case CliFormat::Ndjson:
        return RenderNdjson(report);
    default:
        return RenderText(report);
    }
}

#include "cli/CliOutput.h"

#include "device/NumberText.h"
#include "views/OverviewExport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

QString ByteText(int value) {
    return QString("0x%1").arg(value, 2, 16, QChar('0')).toUpper().replace("0X", "0x");
}

QString CellText(const Cell& cell, CliFormat format) {
    const bool csv = format == CliFormat::Csv;
    switch (cell.kind) {
    case Cell::Kind::Byte:
        return ByteText(static_cast<int>(cell.number));
    case Cell::Kind::Number:
        // Text shows numbers as the program does («.75»); CSV as other tools read them («0.75»).
        if (csv)
            return QString::number(cell.number, 'g', 12);
        return TrimmedNumber(cell.number) + (cell.unit.isEmpty() ? QString() : " " + cell.unit);
    case Cell::Kind::Text:
        return cell.text;
    case Cell::Kind::Flag:
        return cell.flag ? (csv ? "true" : "yes") : (csv ? "false" : "no");
    case Cell::Kind::Missing:
        return csv ? QString() : QString("-");
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
    case Cell::Kind::Number:
        return QJsonObject{{"value", cell.number}, {"unit", cell.unit}};
    case Cell::Kind::Text:
        return cell.text;
    case Cell::Kind::Flag:
        return cell.flag;
    case Cell::Kind::Missing: {
        QJsonObject object{{"value", QJsonValue::Null}, {"note", cell.text}};
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
    Row all;
    for (const Row& row : report.rows)
        all.insert(all.end(), row.begin(), row.end());
    const Row& first = report.record ? all : report.rows.front();
    QStringList titles;
    for (const Cell& cell : first)
        titles << CsvTitle(cell);
    QByteArray bytes = CsvLine(titles);
    const auto fields = [](const Row& row) {
        QStringList texts;
        for (const Cell& cell : row)
            texts << CellText(cell, CliFormat::Csv);
        return texts;
    };
    if (report.record)
        return bytes + CsvLine(fields(all));
    for (const Row& row : report.rows)
        bytes += CsvLine(fields(row));
    return bytes;
}

QByteArray Render(const Report& report, CliFormat format) {
    switch (format) {
    case CliFormat::Json:
        return RenderJson(report);
    case CliFormat::Csv:
        return RenderCsv(report);
    default:
        return RenderText(report);
    }
}

#include "cli/CliStream.h"

#include "views/OverviewExport.h"

#include <QJsonDocument>
#include <algorithm>

namespace {
// Wide enough for a timestamp or a temperature with its unit, so later rows stay aligned.
constexpr qsizetype kMinimumWidth = 12;

QByteArray jsonRow(const Row& row) {
    return QJsonDocument(RowJson(row)).toJson(QJsonDocument::Compact);
}
} // namespace

RowStream::RowStream(QString verb, CliFormat format, std::function<void(const QByteArray&)> sink)
    : verb_(std::move(verb)), format_(format), sink_(std::move(sink)) {}

void RowStream::row(const Row& row) {
    QByteArray bytes;
    if (format_ == CliFormat::Json) {
        // The comma leads the next row, so every row ends its line and the stream can stop after any.
        bytes = (started_ ? QByteArray(", ") : "{\"verb\": \"" + verb_.toUtf8() + "\", \"results\": [\n  ") +
                jsonRow(row) + "\n";
    } else if (format_ == CliFormat::Csv) {
        QStringList titles;
        QStringList texts;
        for (const Cell& cell : row) {
            titles << CsvTitle(cell);
            texts << CellText(cell, CliFormat::Csv);
        }
        bytes = (started_ ? QByteArray() : CsvLine(titles)) + CsvLine(texts);
    } else {
        QStringList texts;
        for (const Cell& cell : row)
            texts << CellText(cell, CliFormat::Text);
        if (!started_) {
            QStringList titles;
            for (size_t c = 0; c < row.size(); ++c) {
                widths_.push_back(std::max({kMinimumWidth, row[c].key.size(), texts[c].size()}) + 2);
                titles << row[c].key;
            }
            texts.swap(titles);
            for (qsizetype c = 0; c < texts.size(); ++c)
                bytes += texts[c].leftJustified(widths_[c]).toUtf8();
            bytes = bytes.trimmed() + "\n";
            texts.swap(titles);
        }
        QByteArray line;
        for (qsizetype c = 0; c < texts.size(); ++c)
            line += texts[c].leftJustified(widths_[c]).toUtf8();
        bytes += line.trimmed() + "\n";
    }
    started_ = true;
    sink_(bytes);
}

void RowStream::end() {
    if (format_ != CliFormat::Json)
        return;
    sink_(started_ ? QByteArray("]}\n") : "{\"verb\": \"" + verb_.toUtf8() + "\", \"results\": []}\n");
}

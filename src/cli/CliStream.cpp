#include "cli/CliStream.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace {
// Wide enough for a timestamp or a temperature with its unit, so later rows stay aligned.
constexpr qsizetype kMinimumWidth = 12;

QByteArray jsonRow(const Row& row) {
    return QJsonDocument(RowJson(row)).toJson(QJsonDocument::Compact);
}

QByteArray jsonString(const QString& text) {
    // A one-element array is the shortest way to a quoted, escaped JSON string.
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}
} // namespace

RowStream::RowStream(QString verb, CliFormat format, std::function<void(const QByteArray&)> sink)
    : verb_(std::move(verb)), format_(format), sink_(std::move(sink)) {}

QByteArray RowStream::opening() const {
    return "{\"verb\": " + jsonString(verb_) + ", \"results\": [";
}

void RowStream::reserveWidth(const QString& key, qsizetype width) {
    reserved_[key] = width;
}

void RowStream::row(const Row& row) {
    QByteArray bytes;
    if (format_ == CliFormat::Json) {
        // The comma leads the next row, so every row ends its line and the stream can stop after any.
        bytes = (started_ ? QByteArray(", ") : opening() + "\n  ") + jsonRow(row) + "\n";
    } else if (format_ == CliFormat::Ndjson) {
        bytes = jsonRow(row) + "\n";
    } else if (format_ == CliFormat::Csv) {
        bytes = (started_ ? QByteArray() : CliCsvLine(CsvTitles(row))) + CliCsvLine(CsvFields(row));
    } else {
        QStringList titles;
        QStringList texts;
        for (const Cell& cell : row) {
            titles << cell.key;
            texts << CellText(cell, CliFormat::Text);
        }
        // The first row sets the columns' widths for the whole run.
        if (!started_)
            for (qsizetype c = 0; c < texts.size(); ++c)
                widths_.push_back(std::max({kMinimumWidth, titles[c].size(), texts[c].size(),
                                            reserved_.count(titles[c]) ? reserved_.at(titles[c]) : 0}) +
                                  2);
        const auto aligned = [this](const QStringList& fields) {
            QString line;
            // A field wider than its column pushes the rest right, still two blanks apart.
            for (qsizetype c = 0; c < fields.size(); ++c)
                line += fields[c] + QString(std::max<qsizetype>(2, widths_[c] - fields[c].size()), ' ');
            return line.trimmed().toUtf8() + "\n";
        };
        bytes = (started_ ? QByteArray() : aligned(titles)) + aligned(texts);
    }
    started_ = true;
    sink_(bytes);
}

void RowStream::end() {
    if (format_ != CliFormat::Json)
        return;
    sink_(started_ ? QByteArray("]}\n") : opening() + "]}\n");
}

void RowStream::fail(const QString& failure) {
    if (format_ == CliFormat::Json)
        sink_((started_ ? QByteArray("]") : opening() + "]") + ", \"error\": " + jsonString(failure) + "}\n");
    else if (format_ == CliFormat::Ndjson)
        sink_("{\"error\":" + jsonString(failure) + "}\n");
}

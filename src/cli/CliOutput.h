#pragma once
// What a verb reports, and how it is written as aligned text, one JSON document or CSV.
// Pure: no chip inside.
#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <vector>

// Ndjson: one JSON object per line; I2cdump and I2cdetect: the grids of dump and scan only;
// Prom: Prometheus metrics of temps and log (cli/CliProm.h).
enum class CliFormat { Text, Json, Csv, Otk, Ndjson, I2cdump, I2cdetect, Prom };

// One value of a result row. JSON keeps the value's type and gives a unit with every
// quantity ({"value": 33.75, "unit": "°C"}); text and CSV show bytes as 0xNN.
struct Cell {
    enum class Kind { Byte, Number, Text, Flag, Missing };
    QString key;
    Kind kind = Kind::Text;
    double number = 0; // Byte 0..255, or a Number
    QString text;      // Text; for Missing, why there is no value
    QString unit;      // a Number's unit ("°C", "ms"); Missing keeps the unit it would have had
    bool flag = false;
    // A channel's temperature as measured with the chip's status: `fault` ("open diode")
    // stands instead of the value, `alarms` ("high", "THERM") beside it. CSV gives such a
    // cell a second column, "<key> status".
    bool withStatus = false;
    QString fault;
    QStringList alarms;
};

Cell ByteCell(const QString& key, int value);
Cell NumberCell(const QString& key, double value, const QString& unit);
Cell TextCell(const QString& key, const QString& text);
Cell FlagCell(const QString& key, bool value);
Cell MissingCell(const QString& key, const QString& unit, const QString& why);
// A measured temperature: the value with its alarms, or no value with the fault.
Cell ChannelCell(const QString& key, double celsius, const QString& fault, const QStringList& alarms);

using Row = std::vector<Cell>;

// A verb's result: rows of the same keys, or one record (info) shown key by key.
struct Report {
    Report() = default;
    explicit Report(QString verbName, std::vector<Row> resultRows = {}, bool oneRecord = false)
        : verb(std::move(verbName)), rows(std::move(resultRows)), record(oneRecord) {}
    QString verb;
    std::vector<Row> rows;
    bool record = false;
};

// «0x4C»: two upper-case hexadecimal digits, as i2cget shows a byte.
QString ByteText(int value);
// A cell as text shows and CSV writes it: «0x4C», «33.75 °C» (CSV: «33.75»), «yes», «-» (CSV: empty).
QString CellText(const Cell& cell, CliFormat format);
// «open diode», «high THERM», or empty: what a status column and text show beside a value.
QString StatusText(const Cell& cell);
// A CSV line with LF: the tool's CSV goes to pipes and scripts (the program's own files keep CR LF).
QByteArray CliCsvLine(const QStringList& fields);
// The CSV fields and titles of a row: a cell with a status takes two columns.
QStringList CsvFields(const Row& row);
QStringList CsvTitles(const Row& row);
// A CSV column title: the key, with the unit in brackets where the cell has one («local (°C)»).
QString CsvTitle(const Cell& cell);

// A row as a JSON object: bytes as numbers, quantities as {"value", "unit"}, no value as null with a note.
QJsonObject RowJson(const Row& row);
QByteArray RenderText(const Report& report);
QByteArray RenderJson(const Report& report);
QByteArray RenderCsv(const Report& report);
// One compact JSON object per row (a record: one object), each on its own line.
QByteArray RenderNdjson(const Report& report);
QByteArray Render(const Report& report, CliFormat format);

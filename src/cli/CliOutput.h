#pragma once
// What a verb reports, and how it is written as aligned text, one JSON document or CSV.
// Pure: no chip inside.
#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <vector>

enum class CliFormat { Text, Json, Csv, Otk };

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
};

Cell ByteCell(const QString& key, int value);
Cell NumberCell(const QString& key, double value, const QString& unit);
Cell TextCell(const QString& key, const QString& text);
Cell FlagCell(const QString& key, bool value);
Cell MissingCell(const QString& key, const QString& unit, const QString& why);

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
// A CSV column title: the key, with the unit in brackets where the cell has one («local (°C)»).
QString CsvTitle(const Cell& cell);

// A row as a JSON object: bytes as numbers, quantities as {"value", "unit"}, no value as null with a note.
QJsonObject RowJson(const Row& row);
QByteArray RenderText(const Report& report);
QByteArray RenderJson(const Report& report);
QByteArray RenderCsv(const Report& report);
QByteArray Render(const Report& report, CliFormat format);

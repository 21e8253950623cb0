#include "adapter/SimDumpFile.h"

#include "adapter/MiniJson.h"
#include "adapter/SimText.h"

#include <algorithm>
#include <vector>

namespace {

// One row of the tool's dump: the chip, the register and the byte read there (none when
// the register was not readable at the time, e.g. the other remote's shared register).
struct DumpRow {
    int chip;
    int reg;
    std::optional<int> value;
};

class DumpCollector {
public:
    explicit DumpCollector(RegisterDump& out) : out_(out) {}

    // Empty when the row fits the rows before it.
    std::string add(const DumpRow& row) {
        if (out_.address && *out_.address != row.chip)
            return "rows of several chips; give the dump of one chip";
        out_.address = row.chip;
        if (!row.value)
            return {};
        const auto [place, added] = out_.bytes.emplace(row.reg, static_cast<uint8_t>(*row.value));
        if (!added && place->second != *row.value)
            return "register read twice with different values";
        return {};
    }

private:
    RegisterDump& out_;
};

bool refuse(std::string& error, size_t line, const std::string& why) {
    error = LineRef(line) + why;
    return false;
}

// The header's columns and where each starts: text rows are aligned under them.
struct TextColumns {
    size_t chip = 0, reg = 0, value = 0, after = 0;
};

std::optional<TextColumns> textColumns(std::string_view header) {
    const auto start = [&](std::string_view name) {
        size_t at = header.find(name);
        while (at != std::string_view::npos && at != 0 && header[at - 1] != ' ')
            at = header.find(name, at + 1);
        return at;
    };
    TextColumns columns{start("chip_address"), start("register"), start("value"), start("default")};
    if (columns.chip != 0 || columns.reg == std::string_view::npos ||
        columns.value == std::string_view::npos || columns.after == std::string_view::npos ||
        columns.value > columns.after)
        return std::nullopt;
    return columns;
}

bool parseText(const std::vector<std::string_view>& lines, RegisterDump& dump, std::string& error) {
    const std::optional<TextColumns> columns = textColumns(lines[0]);
    if (!columns)
        return refuse(error, 0, "the column titles of the tool's dump are missing");
    DumpCollector collect(dump);
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (TrimBlanks(line).empty())
            continue;
        if (line.size() <= columns->after)
            return refuse(error, i, "the row is cut short");
        // Titles out of their usual order put a cell past a short row's end: an empty cell, refused below.
        const auto cell = [&](size_t from, size_t to) {
            if (from >= line.size() || to <= from)
                return std::string_view{};
            const std::string_view text = TrimBlanks(line.substr(from, to - from));
            return text.substr(0, text.find(' '));
        };
        const std::optional<int> chip = ByteNumber(cell(columns->chip, columns->reg), false);
        const std::optional<int> reg = ByteNumber(cell(columns->reg, columns->reg + 4), false);
        const std::string_view valueText = cell(columns->value, columns->after);
        const std::optional<int> value = ByteNumber(valueText, false);
        if (!chip || !reg || (!value && valueText != "-"))
            return refuse(error, i, "expected the chip, the register and a value 0x00..0xFF or -");
        const std::string why = collect.add({*chip, *reg, value});
        if (!why.empty())
            return refuse(error, i, why);
    }
    return true;
}

bool parseCsv(const std::vector<std::string_view>& lines, RegisterDump& dump, std::string& error) {
    const auto titles = CsvFields(lines[0]);
    const std::optional<size_t> chipAt = CsvColumn(titles, "chip_address"),
                                regAt = CsvColumn(titles, "register"), valueAt = CsvColumn(titles, "value");
    if (!chipAt || !regAt || !valueAt)
        return refuse(error, 0, "the columns chip_address, register and value are missing");
    DumpCollector collect(dump);
    size_t line = 0;
    const std::string why = EachCsvRow(
        lines, titles->size(),
        [&](const std::vector<std::string>& fields) -> std::string {
            const std::optional<int> chip = ByteNumber(fields[*chipAt], false);
            const std::optional<int> reg = ByteNumber(fields[*regAt], false);
            const std::string& valueText = fields[*valueAt];
            const std::optional<int> value = ByteNumber(valueText, false);
            if (!chip || !reg || (!value && !valueText.empty()))
                return "expected the chip, the register and a value 0x00..0xFF or nothing";
            return collect.add({*chip, *reg, value});
        },
        line);
    if (!why.empty())
        return refuse(error, line, why);
    return true;
}

std::optional<int> jsonByte(const JsonValue* value) {
    if (!value || value->kind != JsonValue::Kind::Number || value->number < 0 || value->number > 255 ||
        value->number != static_cast<int>(value->number))
        return std::nullopt;
    return static_cast<int>(value->number);
}

// A row object; its value is a number, or an object with a null value and a note.
std::string jsonRow(const JsonValue& row, DumpCollector& collect) {
    const std::optional<int> chip = jsonByte(row.find("chip_address"));
    const std::optional<int> reg = jsonByte(row.find("register"));
    const JsonValue* valueItem = row.find("value");
    const std::optional<int> value = jsonByte(valueItem);
    const bool noValue = valueItem && valueItem->kind == JsonValue::Kind::Object &&
                         valueItem->find("value") && valueItem->find("value")->kind == JsonValue::Kind::Null;
    if (row.kind != JsonValue::Kind::Object || !chip || !reg || (!value && !noValue))
        return "expected a row with chip_address, register and value 0..255 or null";
    return collect.add({*chip, *reg, value});
}

bool parseJson(std::string_view text, RegisterDump& dump, std::string& error) {
    std::vector<std::pair<JsonValue, size_t>> rows;
    if (!ToolJsonRows(text, rows, error))
        return false;
    DumpCollector collect(dump);
    for (const auto& [row, line] : rows) {
        const std::string why = jsonRow(row, collect);
        if (!why.empty())
            return refuse(error, line, why);
    }
    return true;
}

// i2c-tools' grid: the column titles, then sixteen rows «00: 19 21 XX ...» in order.
bool parseI2cdump(const std::vector<std::string_view>& lines, size_t first, RegisterDump& dump,
                  std::string& error) {
    constexpr char kDigits[] = "0123456789abcdef";
    for (int row = 0; row < 16; ++row) {
        const size_t i = first + 1 + static_cast<size_t>(row);
        if (i >= lines.size())
            return refuse(error, lines.size() - 1,
                          "the grid ends before row " + std::string(1, kDigits[row]) + "0");
        const std::string_view line = lines[i];
        const std::string label = std::string(1, kDigits[row]) + "0: ";
        if (line.size() < 4 + 16 * 3 || line.substr(0, 4) != label)
            return refuse(error, i, "expected the grid row " + label.substr(0, 3) + " with sixteen cells");
        for (int column = 0; column < 16; ++column) {
            const std::string_view cell = line.substr(4 + static_cast<size_t>(column) * 3, 2);
            if (cell == "XX")
                continue;
            const std::optional<int> value = ByteNumber(cell, true);
            if (!value || cell.size() != 2 || line[4 + static_cast<size_t>(column) * 3 + 2] != ' ')
                return refuse(error, i, "expected two hexadecimal digits or XX in every cell");
            dump.bytes[row * 16 + column] = static_cast<uint8_t>(*value);
        }
    }
    for (size_t i = first + 17; i < lines.size(); ++i)
        if (!TrimBlanks(lines[i]).empty())
            return refuse(error, i, "text after the grid");
    return true;
}

bool isI2cdumpTitles(std::string_view line) {
    return TrimBlanks(line).rfind("0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f", 0) == 0;
}

} // namespace

bool ParseRegisterDump(std::string_view text, RegisterDump& dump, std::string& error) {
    std::vector<std::string_view> lines = TextLines(text);
    size_t first = FirstTextLine(lines);
    if (first == lines.size()) {
        error = "the file is empty";
        return false;
    }
    // i2cdump's questions and warnings go to stderr; a grid saved with them (2>&1) starts later.
    const auto grid =
        std::find_if(lines.begin() + static_cast<std::ptrdiff_t>(first), lines.end(), isI2cdumpTitles);
    const bool toolDump =
        lines[first].rfind("chip_address", 0) == 0 || TrimBlanks(lines[first]).front() == '{';
    if (!toolDump && grid != lines.end())
        first = static_cast<size_t>(grid - lines.begin());
    RegisterDump parsed;
    const std::string_view head = TrimBlanks(lines[first]);
    bool ok = false;
    if (isI2cdumpTitles(head)) {
        ok = parseI2cdump(lines, first, parsed, error);
    } else if (head.front() == '{') {
        ok = parseJson(text, parsed, error);
    } else if (first == 0 && head.rfind("chip_address,", 0) == 0) {
        ok = parseCsv(lines, parsed, error);
    } else if (first == 0 && head.rfind("chip_address ", 0) == 0) {
        ok = parseText(lines, parsed, error);
    } else {
        return refuse(
            error, first,
            "not a register dump (otk5530-cli dump as text, CSV, JSON or NDJSON, or an i2cdump grid)");
    }
    if (ok && parsed.bytes.empty())
        return refuse(error, first, "the dump holds no register value");
    if (ok)
        dump = parsed;
    return ok;
}

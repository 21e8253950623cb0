#include "adapter/SimText.h"

#include <cctype>
#include <cstdlib>

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> TextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::optional<std::vector<std::string>> CsvFields(std::string_view line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    if (quoted)
        return std::nullopt;
    return fields;
}

std::optional<double> DecimalNumber(std::string_view text) {
    text = TrimBlanks(text);
    std::string_view digits = text;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
        digits.remove_prefix(1);
    bool point = false, digit = false;
    for (char c : digits) {
        if (c == '.' && !point)
            point = true;
        else if (std::isdigit(static_cast<unsigned char>(c)))
            digit = true;
        else
            return std::nullopt;
    }
    // A temperature or a time of a run: no more digits than a double keeps.
    if (!digit || digits.size() > 16)
        return std::nullopt;
    return std::strtod(std::string(text).c_str(), nullptr);
}

std::optional<int> ByteNumber(std::string_view text, bool bareHex) {
    text = TrimBlanks(text);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    } else if (bareHex) {
        base = 16;
    }
    if (text.empty() || text.size() > 3)
        return std::nullopt;
    for (char c : text)
        if (base == 16 ? !std::isxdigit(static_cast<unsigned char>(c))
                       : !std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
    const long value = std::strtol(std::string(text).c_str(), nullptr, base);
    if (value > 255)
        return std::nullopt;
    return static_cast<int>(value);
}

size_t FirstTextLine(const std::vector<std::string_view>& lines) {
    size_t first = 0;
    while (first < lines.size() && TrimBlanks(lines[first]).empty())
        ++first;
    return first;
}

std::optional<size_t> CsvColumn(const std::optional<std::vector<std::string>>& titles,
                                std::string_view title) {
    for (size_t i = 0; titles && i < titles->size(); ++i)
        if ((*titles)[i] == title)
            return i;
    return std::nullopt;
}

std::string EachCsvRow(const std::vector<std::string_view>& lines, size_t fieldCount,
                       const std::function<std::string(const std::vector<std::string>& fields)>& row,
                       size_t& line) {
    for (line = 1; line < lines.size(); ++line) {
        if (TrimBlanks(lines[line]).empty())
            continue;
        const auto fields = CsvFields(lines[line]);
        if (!fields || fields->size() != fieldCount)
            return "expected " + std::to_string(fieldCount) + " fields";
        std::string why = row(*fields);
        if (!why.empty())
            return why;
    }
    return {};
}

std::string LineRef(size_t lineIndex) {
    return "line " + std::to_string(lineIndex + 1) + ": ";
}

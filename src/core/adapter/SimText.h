#pragma once
// Small text helpers shared by the simulated board's file readers.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

std::string_view TrimBlanks(std::string_view text);
// Lines without their LF or CR LF ends; a last line without an end counts too.
std::vector<std::string_view> TextLines(std::string_view text);
// The index of the first line that is not blank; the number of lines when every one is.
size_t FirstTextLine(const std::vector<std::string_view>& lines);
// The fields of a CSV line; a field in double quotes may hold commas and doubled quotes.
// Empty when a quote is not closed.
std::optional<std::vector<std::string>> CsvFields(std::string_view line);
// The column of the title among the titles (none when the title line could not be read).
std::optional<size_t> CsvColumn(const std::optional<std::vector<std::string>>& titles,
                                std::string_view title);
// Hands the fields of each non-blank line after the title line to `row`, in order, until
// one is refused: a line whose quotes are not closed or whose field count is not
// `fieldCount` ("expected N fields"), or the first non-empty text `row` gives back. That
// text is returned and the line's index is put in `line`; empty when every row passed.
std::string EachCsvRow(const std::vector<std::string_view>& lines, size_t fieldCount,
                       const std::function<std::string(const std::vector<std::string>& fields)>& row,
                       size_t& line);
// A plain decimal number («25», «-3.25», « .5», «1e3» is refused), blanks around it allowed.
std::optional<double> DecimalNumber(std::string_view text);
// A byte as «0x4C», «4c» (hex: bare only when `bareHex`) or decimal «76».
std::optional<int> ByteNumber(std::string_view text, bool bareHex);
// «line 12: » for messages.
std::string LineRef(size_t lineIndex);

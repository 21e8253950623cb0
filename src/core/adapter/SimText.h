#pragma once
// Small text helpers shared by the simulated board's file readers.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

std::string_view TrimBlanks(std::string_view text);
// Lines without their LF or CR LF ends; a last line without an end counts too.
std::vector<std::string_view> TextLines(std::string_view text);
// The fields of a CSV line; a field in double quotes may hold commas and doubled quotes.
// Empty when a quote is not closed.
std::optional<std::vector<std::string>> CsvFields(std::string_view line);
// A plain decimal number («25», «-3.25», « .5», «1e3» is refused), blanks around it allowed.
std::optional<double> DecimalNumber(std::string_view text);
// A byte as «0x4C», «4c» (hex: bare only when `bareHex`) or decimal «76».
std::optional<int> ByteNumber(std::string_view text, bool bareHex);
// «line 12: » for messages.
std::string LineRef(size_t lineIndex);

#pragma once
// Just enough JSON for the command-line tool's own dumps and logs: objects, arrays,
// strings, numbers, true, false and null, nested at most a few levels.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool flag = false;
    double number = 0;
    std::string text;
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;

    // The member of an object, or nullptr.
    const JsonValue* find(const std::string& key) const;
};

// One JSON value filling the whole text (blanks around it allowed); else empty, with
// the reason and the 1-based line it was found on.
std::optional<JsonValue> ParseJson(std::string_view text, std::string& error, int& line);

// The rows of the command-line tool's JSON output: the "results" list of one document
// (--format json), or one object per line (--format ndjson), each with the index of its
// line from 0 (a document's rows: 0). False with «line N: reason» when neither fits.
bool ToolJsonRows(std::string_view text, std::vector<std::pair<JsonValue, size_t>>& rows, std::string& error);

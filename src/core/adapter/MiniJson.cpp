#include "adapter/MiniJson.h"

#include "adapter/SimText.h"

#include <cstdlib>

namespace {

// The tool's documents nest three levels; anything far deeper is no document of ours.
constexpr int kDeepest = 16;

class JsonReader {
public:
    explicit JsonReader(std::string_view text) : text_(text) {}

    std::optional<JsonValue> document(std::string& error, int& line) {
        std::optional<JsonValue> value = parse(0);
        skipBlanks();
        if (value && pos_ != text_.size())
            fail("text after the end of the document");
        if (!error_.empty()) {
            error = error_;
            line = line_;
            return std::nullopt;
        }
        return value;
    }

private:
    std::optional<JsonValue> fail(const std::string& why) {
        if (error_.empty())
            error_ = why;
        return std::nullopt;
    }

    void skipBlanks() {
        while (pos_ < text_.size() &&
               (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r' || text_[pos_] == '\n')) {
            if (text_[pos_] == '\n')
                ++line_;
            ++pos_;
        }
    }

    bool take(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word)
            return false;
        pos_ += word.size();
        return true;
    }

    std::optional<JsonValue> parse(int depth) {
        if (depth > kDeepest)
            return fail("nested too deeply");
        skipBlanks();
        if (pos_ >= text_.size())
            return fail("the document ends too early");
        JsonValue value;
        const char c = text_[pos_];
        if (c == '{')
            return object(depth);
        if (c == '[')
            return array(depth);
        if (c == '"') {
            value.kind = JsonValue::Kind::String;
            if (!string(value.text))
                return std::nullopt;
            return value;
        }
        if (take("null"))
            return value;
        if (take("true") || take("false")) {
            value.kind = JsonValue::Kind::Bool;
            value.flag = text_[pos_ - 1] == 'e' && text_[pos_ - 2] == 'u'; // "true", not "false"
            return value;
        }
        return number();
    }

    std::optional<JsonValue> number() {
        const size_t start = pos_;
        while (pos_ < text_.size() &&
               std::string_view("+-0123456789.eE").find(text_[pos_]) != std::string_view::npos)
            ++pos_;
        const std::string digits(text_.substr(start, pos_ - start));
        char* end = nullptr;
        JsonValue value;
        value.kind = JsonValue::Kind::Number;
        value.number = digits.empty() ? 0 : std::strtod(digits.c_str(), &end);
        if (digits.empty() || end != digits.c_str() + digits.size())
            return fail("expected a value");
        return value;
    }

    bool string(std::string& out) {
        ++pos_; // the opening quote
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c == '"')
                return true;
            if (c == '\n' || static_cast<unsigned char>(c) < 0x20) {
                fail("a control character inside a string");
                return false;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size())
                break;
            const char escaped = text_[pos_++];
            const std::string_view plain = "\"\\/bfnrt";
            const std::string_view meant = "\"\\/\b\f\n\r\t";
            if (plain.find(escaped) != std::string_view::npos) {
                out += meant[plain.find(escaped)];
            } else if (escaped == 'u' && pos_ + 4 <= text_.size()) {
                // Only the names and notes carry escapes; keep them as one placeholder character.
                pos_ += 4;
                out += '?';
            } else {
                fail("a bad escape inside a string");
                return false;
            }
        }
        fail("a string is not closed");
        return false;
    }

    std::optional<JsonValue> array(int depth) {
        ++pos_;
        JsonValue value;
        value.kind = JsonValue::Kind::Array;
        skipBlanks();
        if (take("]"))
            return value;
        for (;;) {
            std::optional<JsonValue> item = parse(depth + 1);
            if (!item)
                return std::nullopt;
            value.items.push_back(std::move(*item));
            skipBlanks();
            if (take("]"))
                return value;
            if (!take(","))
                return fail("expected , or ] in a list");
        }
    }

    std::optional<JsonValue> object(int depth) {
        ++pos_;
        JsonValue value;
        value.kind = JsonValue::Kind::Object;
        skipBlanks();
        if (take("}"))
            return value;
        for (;;) {
            skipBlanks();
            std::string key;
            if (pos_ >= text_.size() || text_[pos_] != '"' || !string(key))
                return fail("expected a quoted key");
            skipBlanks();
            if (!take(":"))
                return fail("expected : after a key");
            std::optional<JsonValue> member = parse(depth + 1);
            if (!member)
                return std::nullopt;
            if (!value.members.emplace(key, std::move(*member)).second)
                return fail("the key \"" + key + "\" is given twice");
            skipBlanks();
            if (take("}"))
                return value;
            if (!take(","))
                return fail("expected , or } in an object");
        }
    }

    std::string_view text_;
    size_t pos_ = 0;
    int line_ = 1;
    std::string error_;
};

} // namespace

const JsonValue* JsonValue::find(const std::string& key) const {
    const auto member = members.find(key);
    return member == members.end() ? nullptr : &member->second;
}

std::optional<JsonValue> ParseJson(std::string_view text, std::string& error, int& line) {
    return JsonReader(text).document(error, line);
}

bool ToolJsonRows(std::string_view text, std::vector<std::pair<JsonValue, size_t>>& rows,
                  std::string& error) {
    const std::vector<std::string_view> lines = TextLines(text);
    int line = 1;
    std::string documentError;
    const std::optional<JsonValue> document = ParseJson(text, documentError, line);
    if (document && document->kind == JsonValue::Kind::Object) {
        const JsonValue* results = document->find("results");
        if (!results || results->kind != JsonValue::Kind::Array) {
            error = LineRef(0) + "no \"results\" list";
            return false;
        }
        for (const JsonValue& row : results->items)
            rows.emplace_back(row, 0);
        return true;
    }
    const size_t first = FirstTextLine(lines);
    int ignored = 1;
    std::string lineError;
    // A first line that is no object of its own: the text was meant as one document.
    if (first == lines.size() || !ParseJson(lines[first], lineError, ignored)) {
        error = LineRef(static_cast<size_t>(line - 1)) + documentError;
        return false;
    }
    for (size_t i = first; i < lines.size(); ++i) {
        if (TrimBlanks(lines[i]).empty())
            continue;
        std::optional<JsonValue> row = ParseJson(lines[i], lineError, ignored);
        if (!row) {
            error = LineRef(i) + lineError;
            return false;
        }
        rows.emplace_back(std::move(*row), i);
    }
    return true;
}

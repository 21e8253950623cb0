#include "adapter/AdapterChoice.h"

#include <cstdio>

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool parseHex16(std::string_view text, uint16_t& value) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    if (text.empty() || text.size() > 4)
        return false;
    unsigned result = 0;
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return false;
        result = result * 16 + static_cast<unsigned>(digit);
    }
    value = static_cast<uint16_t>(result);
    return true;
}

} // namespace

bool ParseAdapterChoice(std::string_view text, AdapterChoice& choice, std::string& error) {
    const std::string_view word = trimmed(text);
    constexpr std::string_view i2cPrefix = "i2c:";
    if (word == "sim") {
        choice = AdapterChoice{};
        return true;
    }
    if (word == "usb") {
        choice = AdapterChoice{};
        choice.kind = AdapterKind::Usb;
        return true;
    }
    constexpr std::string_view forceSuffix = ",force";
    if (word.size() > i2cPrefix.size() && word.substr(0, i2cPrefix.size()) == i2cPrefix) {
        std::string_view path = word.substr(i2cPrefix.size());
        const bool force =
            path.size() > forceSuffix.size() && path.substr(path.size() - forceSuffix.size()) == forceSuffix;
        if (force)
            path.remove_suffix(forceSuffix.size());
        choice = AdapterChoice{};
        choice.kind = AdapterKind::LinuxI2c;
        choice.i2cPath = std::string(path);
        choice.i2cForce = force;
        return true;
    }
    error = "adapter \"" + std::string(text) +
            "\" refused: expected sim, usb or i2c:<bus device>[,force] such as i2c:/dev/i2c-1";
    return false;
}

bool ParseUsbId(std::string_view text, UsbId& id, std::string& error) {
    const std::string_view word = trimmed(text);
    const size_t colon = word.find(':');
    UsbId parsed;
    if (colon == std::string_view::npos || !parseHex16(trimmed(word.substr(0, colon)), parsed.vendor) ||
        !parseHex16(trimmed(word.substr(colon + 1)), parsed.product)) {
        error = "USB id \"" + std::string(text) + "\" refused: expected VID:PID in hex such as 04b4:5530";
        return false;
    }
    id = parsed;
    return true;
}

bool ParseUsbIds(std::string_view text, std::vector<UsbId>& ids, std::string& error) {
    std::vector<UsbId> parsed;
    std::string_view rest = text;
    for (;;) {
        const size_t plus = rest.find('+');
        UsbId id;
        if (!ParseUsbId(rest.substr(0, plus), id, error)) {
            error = "USB ids \"" + std::string(text) +
                    "\" refused: expected VID:PID in hex such as 04b4:8613, several joined with +";
            return false;
        }
        parsed.push_back(id);
        if (plus == std::string_view::npos)
            break;
        rest.remove_prefix(plus + 1);
    }
    ids = parsed;
    return true;
}

std::string UsbIdText(UsbId id) {
    char text[10];
    std::snprintf(text, sizeof text, "%04x:%04x", id.vendor, id.product);
    return text;
}

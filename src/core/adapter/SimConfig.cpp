#include "adapter/SimConfig.h"

#include "adapter/SimSources.h"
#include "adapter/SimText.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <set>
#include <tuple>

namespace {

constexpr long kLargestCount = 1000000000;
// Fault times: up to a year of run, in seconds.
constexpr double kLatestFaultSeconds = 31536000;
// Replay from a thousandth of the recorded pace to a thousand times it.
constexpr double kFastestReplay = 1000, kSlowestReplay = 0.001;

std::string lower(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(separator, start);
        parts.push_back(
            text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

bool allDigits(std::string_view text, int base) {
    if (text.empty())
        return false;
    return std::all_of(text.begin(), text.end(), [base](char c) {
        return base == 16 ? std::isxdigit(static_cast<unsigned char>(c)) != 0
                          : std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

// Hex with a 0x prefix or decimal, no sign, at most `largest`.
std::optional<long> parseWhole(std::string_view text, long largest, bool hexAllowed) {
    int base = 10;
    if (hexAllowed && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (!allDigits(text, base) || text.size() > 10)
        return std::nullopt;
    const long value = std::strtol(std::string(text).c_str(), nullptr, base);
    if (value > largest)
        return std::nullopt;
    return value;
}

// A plain decimal number: optional sign, digits, optional fraction.
std::optional<double> parseCelsius(std::string_view text) {
    std::string_view digits = text;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
        digits.remove_prefix(1);
    const size_t point = digits.find('.');
    const std::string_view whole = digits.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : digits.substr(point + 1);
    if ((whole.empty() && fraction.empty()) || (!whole.empty() && !allDigits(whole, 10)) ||
        (!fraction.empty() && !allDigits(fraction, 10)) || whole.size() > 6)
        return std::nullopt;
    return std::strtod(std::string(text).c_str(), nullptr);
}

// Seconds after power-on: digits with an optional fraction, no sign.
std::optional<double> parseSeconds(std::string_view text) {
    if (text.empty() || text.front() == '-' || text.front() == '+')
        return std::nullopt;
    const auto seconds = parseCelsius(text);
    if (!seconds || *seconds > kLatestFaultSeconds)
        return std::nullopt;
    return seconds;
}

std::optional<bool> parseSwitch(std::string_view text, const char* on, const char* off) {
    const std::string value = lower(text);
    if (value == on)
        return true;
    if (value == off)
        return false;
    return std::nullopt;
}

class Parser {
public:
    explicit Parser(SimConfig& config) : config_(config) {}

    // Empty when accepted, else the reason.
    std::string apply(const std::string& key, std::string_view value) {
        if (key == "address")
            return addresses(value);
        if (key == "firmware") {
            const auto ok = parseSwitch(value, "ok", "fail");
            if (!ok)
                return "expected ok or fail";
            config_.firmwareFails = !*ok;
            return {};
        }
        if (key == "setup_failures" || key == "fail_after") {
            const auto count = parseWhole(value, kLargestCount, false);
            if (!count)
                return "expected a whole number of requests 0.." + std::to_string(kLargestCount);
            if (key == "setup_failures")
                config_.setupFailures = *count;
            else
                config_.failAfter = *count;
            return {};
        }
        if (key == "local" || key == "remote1" || key == "remote2") {
            const auto celsius = parseCelsius(value);
            if (!celsius)
                return "expected a temperature in degrees Celsius such as 25 or -10.5";
            config_.chip.start[key == "local" ? 0 : key == "remote1" ? 1 : 2] = *celsius;
            return {};
        }
        if (key == "drift") {
            const auto on = parseSwitch(value, "on", "off");
            if (!on)
                return "expected on or off";
            config_.chip.drift = *on;
            return {};
        }
        if (key == "seed") {
            const auto seed = parseWhole(value, 0xFFFFFFFFL, false);
            if (!seed)
                return "expected a whole number 0..4294967295";
            config_.chip.seed = static_cast<uint32_t>(*seed);
            return {};
        }
        if (key == "open")
            return openDiodes(value);
        if (key == "open1_at" || key == "open1_until" || key == "open2_at" || key == "open2_until")
            return faultTime(key, value);
        if (key.rfind("reg.", 0) == 0)
            return powerOnValue(key.substr(4), value);
        if (key == "from_dump" || key == "replay" || key == "state") {
            if (value.empty())
                return "expected a file name";
            (key == "from_dump" ? sources_.fromDump
             : key == "replay"  ? sources_.replay
                                : sources_.state) = std::string(value);
            return {};
        }
        if (key == "replay_speed") {
            const auto speed = parseCelsius(value);
            if (!speed || *speed < kSlowestReplay || *speed > kFastestReplay)
                return "expected how many times the recorded pace, 0.001..1000, such as 1 or 10";
            sources_.replaySpeed = speed;
            return {};
        }
        if (key == "replay_loop") {
            const auto on = parseSwitch(value, "on", "off");
            if (!on)
                return "expected on or off";
            sources_.replayLoop = on;
            return {};
        }
        if (key == "replay_run") {
            const auto run = parseWhole(value, kLargestCount, false);
            if (!run || *run < 1)
                return "expected the number of a run in the file, from 1";
            sources_.replayRun = static_cast<int>(*run);
            return {};
        }
        return "unknown key";
    }

    // Checks the fault times against each other once every entry is in; empty when they
    // agree, else the refused key and the reason.
    std::pair<std::string, std::string> finishFaults() {
        for (int diode = 0; diode < 2; ++diode) {
            const FaultEntry& entry = faults_[diode];
            const std::string name = "open" + std::to_string(diode + 1);
            if (!entry.at && !entry.until)
                continue;
            if (!entry.at)
                return {name + "_until", name + "_until needs " + name + "_at"};
            if (config_.chip.open[diode])
                return {name + "_at",
                        "open=" + std::to_string(diode + 1) + " keeps this diode open from power-on"};
            DiodeFault fault;
            fault.at = *entry.at;
            if (entry.until) {
                if (*entry.until <= fault.at)
                    return {name + "_until", "expected a time after " + name + "_at"};
                fault.until = *entry.until;
            }
            config_.chip.openDuring[diode] = fault;
        }
        return {};
    }

    const SimSourceKeys& sources() const { return sources_; }
    const std::set<int>& registersGiven() const { return powerOnSeen_; }

private:
    std::string addresses(std::string_view value) {
        if (lower(value) == "none") {
            config_.addresses.clear();
            return {};
        }
        std::vector<int> found;
        for (std::string_view part : split(value, '+')) {
            const auto address = parseWhole(TrimBlanks(part), 0x7F, true);
            if (!address)
                return "expected 7-bit addresses 0x00..0x7F joined with +, or none";
            if (std::find(found.begin(), found.end(), *address) != found.end())
                return "an address is given twice";
            found.push_back(static_cast<int>(*address));
        }
        config_.addresses = found;
        return {};
    }

    std::string openDiodes(std::string_view value) {
        std::array<bool, 2> open{false, false};
        for (std::string_view part : split(value, '+')) {
            part = TrimBlanks(part);
            if (part != "1" && part != "2")
                return "expected 1, 2 or 1+2";
            open[part == "1" ? 0 : 1] = true;
        }
        config_.chip.open = open;
        return {};
    }

    std::string faultTime(const std::string& key, std::string_view value) {
        const auto seconds = parseSeconds(value);
        if (!seconds)
            return "expected seconds after start-up 0.." +
                   std::to_string(static_cast<long>(kLatestFaultSeconds)) + ", such as 30 or 2.5";
        FaultEntry& entry = faults_[key[4] == '1' ? 0 : 1];
        (key.find("_until") != std::string::npos ? entry.until : entry.at) = *seconds;
        return {};
    }

    std::string powerOnValue(std::string_view addressText, std::string_view value) {
        if (addressText.size() > 2 && addressText[0] == '0' &&
            (addressText[1] == 'x' || addressText[1] == 'X'))
            addressText.remove_prefix(2);
        if (!allDigits(addressText, 16) || addressText.size() > 2)
            return "the register address after reg. must be hex 00..FF";
        const int address = static_cast<int>(std::strtol(std::string(addressText).c_str(), nullptr, 16));
        const std::string refusal = SimChip::PowerOnRefusal(address);
        if (!refusal.empty())
            return refusal;
        // reg.3 and reg.03 name the same register.
        if (!powerOnSeen_.insert(address).second)
            return "this register is given twice";
        const auto byte = parseWhole(value, 255, true);
        if (!byte)
            return "expected a byte 0..255 (decimal, or hex with 0x)";
        config_.chip.powerOn[address] = static_cast<uint8_t>(*byte);
        return {};
    }

    struct FaultEntry {
        std::optional<double> at, until;
    };

    SimConfig& config_;
    SimSourceKeys sources_;
    std::set<int> powerOnSeen_;
    std::array<FaultEntry, 2> faults_;
};

} // namespace

bool ParseSimConfig(std::string_view text, SimConfig& config, std::string& error) {
    SimConfig parsed = config;
    Parser parser(parsed);
    std::map<std::string, std::string> seen; // key and its entry as shown
    for (std::string_view entry : split(text, ',')) {
        entry = TrimBlanks(entry);
        if (entry.empty())
            continue;
        const size_t equals = entry.find('=');
        if (equals == std::string_view::npos) {
            error = "OTK5530_SIM: \"" + std::string(entry) + "\" is not a key=value pair";
            return false;
        }
        const std::string key = lower(TrimBlanks(entry.substr(0, equals)));
        const std::string_view value = TrimBlanks(entry.substr(equals + 1));
        const std::string shown = key + "=" + std::string(value);
        if (!seen.emplace(key, shown).second) {
            error = "OTK5530_SIM: " + shown + " refused: " + key + " is given twice";
            return false;
        }
        const std::string reason = parser.apply(key, value);
        if (!reason.empty()) {
            error = "OTK5530_SIM: " + shown + " refused: " + reason;
            return false;
        }
    }
    auto [key, reason] = parser.finishFaults();
    if (reason.empty()) {
        std::set<std::string> given;
        for (const auto& entry : seen)
            given.insert(entry.first);
        std::tie(key, reason) = LoadSimSources(parser.sources(), given, parser.registersGiven(), parsed);
    }
    if (!reason.empty()) {
        error = "OTK5530_SIM: " + seen.at(key) + " refused: " + reason;
        return false;
    }
    config = parsed;
    return true;
}

std::string OverrideSimKeys(std::string_view base, std::string_view overrides) {
    std::vector<std::pair<std::string, std::string>> entries; // key, entry as written
    const auto add = [&entries](std::string_view text, bool replace) {
        for (std::string_view entry : split(text, ',')) {
            entry = TrimBlanks(entry);
            if (entry.empty())
                continue;
            const std::string key = lower(TrimBlanks(entry.substr(0, entry.find('='))));
            const auto same = std::find_if(entries.begin(), entries.end(),
                                           [&key](const auto& each) { return each.first == key; });
            if (replace && same != entries.end())
                same->second = std::string(entry);
            else
                entries.emplace_back(key, std::string(entry));
        }
    };
    add(base, false);
    add(overrides, true);
    std::string merged;
    for (const auto& entry : entries)
        merged += (merged.empty() ? "" : ",") + entry.second;
    return merged;
}

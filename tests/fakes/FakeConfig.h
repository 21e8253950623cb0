#pragma once
// The settings of a fake, from one environment variable of comma-separated key=value pairs.
#include <cstdlib>
#include <map>
#include <string>

namespace fakes {

inline std::map<std::string, std::string> ReadSettings(const char* variable) {
    std::map<std::string, std::string> settings;
    const char* text = std::getenv(variable);
    std::string rest = text ? text : "";
    while (!rest.empty()) {
        const size_t comma = rest.find(',');
        const std::string pair = rest.substr(0, comma);
        const size_t equals = pair.find('=');
        settings[pair.substr(0, equals)] = equals == std::string::npos ? "" : pair.substr(equals + 1);
        rest = comma == std::string::npos ? "" : rest.substr(comma + 1);
    }
    return settings;
}

inline long Number(const std::map<std::string, std::string>& settings, const std::string& key,
                   long fallback) {
    const auto found = settings.find(key);
    return found == settings.end() ? fallback : std::strtol(found->second.c_str(), nullptr, 0);
}

} // namespace fakes

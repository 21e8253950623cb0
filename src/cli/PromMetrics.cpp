#include "cli/PromMetrics.h"

#include "chip/ChipRegisters.h"
#include "chip/StatusBits.h"
#include "chip/TemperatureCodec.h"
#include "device/ChipSession.h"
#include "views/LimitEncoding.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <functional>

namespace {

enum class Kind { Gauge, Counter, Info };

// One metric family as both formats write it; `name` is the 0.0.4 sample name.
struct Family {
    const char* name;
    Kind kind;
    const char* unit; // OpenMetrics UNIT, a suffix of the name; empty: none
    const char* help;
};

// A sample: its labels already written as `key="value",...`, and its value.
struct Sample {
    std::string labels;
    double value;
};

std::string escapeLabelValue(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

std::string escapeHelp(const char* text, MetricsFormat format) {
    std::string out;
    for (; *text; ++text) {
        if (*text == '\\' || (*text == '"' && format == MetricsFormat::OpenMetrics))
            out += '\\';
        out += *text;
    }
    return out;
}

std::string labelPairs(std::initializer_list<std::pair<const char*, std::string>> pairs) {
    std::string out;
    for (const auto& [key, value] : pairs)
        out += (out.empty() ? "" : ",") + std::string(key) + "=\"" + escapeLabelValue(value) + "\"";
    return out;
}

// The shortest text that reads back as the same double: quarter degrees stay "25.25".
std::string numberText(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string hexByte(int value) {
    static const char digits[] = "0123456789abcdef";
    return std::string("0x") + digits[(value >> 4) & 0xF] + digits[value & 0xF];
}

// OpenMetrics names a family without its sample suffix: a counter's _total, an info's _info.
std::string familyName(const Family& family, MetricsFormat format) {
    std::string name = family.name;
    if (format == MetricsFormat::OpenMetrics) {
        const std::string suffix = family.kind == Kind::Counter ? "_total"
                                   : family.kind == Kind::Info  ? "_info"
                                                                : "";
        name.resize(name.size() - suffix.size());
    }
    return name;
}

const char* typeText(Kind kind, MetricsFormat format) {
    if (kind == Kind::Counter)
        return "counter";
    return kind == Kind::Info && format == MetricsFormat::OpenMetrics ? "info" : "gauge";
}

void writeFamily(std::string& out, const Family& family, const std::vector<Sample>& samples,
                 MetricsFormat format) {
    // A family without a sample (every board down) is left out, HELP and TYPE with it.
    if (samples.empty())
        return;
    const std::string name = familyName(family, format);
    out += "# HELP " + name + " " + escapeHelp(family.help, format) + "\n";
    out += "# TYPE " + name + " " + typeText(family.kind, format) + "\n";
    if (format == MetricsFormat::OpenMetrics && *family.unit)
        out += "# UNIT " + name + " " + family.unit + "\n";
    for (const Sample& sample : samples)
        out += std::string(family.name) + "{" + sample.labels + "} " + numberText(sample.value) + "\n";
}

constexpr const char* kLatched =
    " The status registers are read at every scrape and reading clears the bits the chip "
    "latched, so a condition that came and went between two scrapes is reported once.";

// The per-sensor families: which value of a sensor each one shows (nothing: no sample).
struct SensorFamily {
    Family family;
    std::function<std::optional<double>(const SensorScrape&, int sensor)> value;
};

std::optional<double> flag(bool set) {
    return set ? 1.0 : 0.0;
}

const std::vector<SensorFamily>& sensorFamilies() {
    static const std::string maxHelp =
        std::string("1 if the temperature was above the high limit.") + kLatched;
    static const std::string minHelp =
        std::string("1 if the temperature was below the low limit.") + kLatched;
    static const std::string critHelp =
        std::string("1 if the temperature reached the THERM limit.") + kLatched;
    static const std::string faultHelp =
        std::string("1 if the remote diode is open; the sensor then has no temperature sample.") + kLatched;
    static const std::vector<SensorFamily> families{
        {{"otk5530_temp_celsius", Kind::Gauge, "celsius",
          "Temperature of the sensor; no sample while its diode is open or the reading cannot be vouched "
          "for."},
         [](const SensorScrape& s, int) { return s.celsius; }},
        {{"otk5530_temp_max_celsius", Kind::Gauge, "celsius", "High limit of the sensor."},
         [](const SensorScrape& s, int) { return s.maxCelsius; }},
        {{"otk5530_temp_min_celsius", Kind::Gauge, "celsius", "Low limit of the sensor."},
         [](const SensorScrape& s, int) { return s.minCelsius; }},
        {{"otk5530_temp_crit_celsius", Kind::Gauge, "celsius", "THERM limit of the sensor."},
         [](const SensorScrape& s, int) { return s.critCelsius; }},
        {{"otk5530_temp_crit_hyst_celsius", Kind::Gauge, "celsius",
          "THERM limit minus the THERM hysteresis: where THERM releases."},
         [](const SensorScrape& s, int) { return s.critHystCelsius; }},
        {{"otk5530_temp_max_alarm", Kind::Gauge, "", maxHelp.c_str()},
         [](const SensorScrape& s, int) { return flag(s.maxAlarm); }},
        {{"otk5530_temp_min_alarm", Kind::Gauge, "", minHelp.c_str()},
         [](const SensorScrape& s, int) { return flag(s.minAlarm); }},
        {{"otk5530_temp_crit_alarm", Kind::Gauge, "", critHelp.c_str()},
         [](const SensorScrape& s, int) { return flag(s.critAlarm); }},
        // The local sensor has no diode to open.
        {{"otk5530_temp_fault", Kind::Gauge, "", faultHelp.c_str()},
         [](const SensorScrape& s, int sensor) { return sensor == 0 ? std::nullopt : flag(s.fault); }},
    };
    return families;
}

const std::string& alertHelp() {
    static const std::string help = std::string("1 if the chip asserted ALERT.") + kLatched;
    return help;
}

const Family kChipInfo{"otk5530_chip_info", Kind::Info, "",
                       "Where the board is and what its chip answers as; always 1."};
const Family kUp{"otk5530_up", Kind::Gauge, "", "1 if the board answered this scrape, 0 if its link failed."};
const Family kScrapeDuration{"otk5530_scrape_duration_seconds", Kind::Gauge, "seconds",
                             "Time this scrape took to read the board."};
const Family kBusErrors{"otk5530_bus_errors_total", Kind::Counter, "",
                        "Scrapes of the board ended by a failed register transfer since start."};
const Family kBuildInfo{"otk5530_exporter_build_info", Kind::Info, "", "The exporter's version; always 1."};

// Reads the board's registers into `scrape`; a failed transfer throws LinkFailure.
void readBoard(ChipSession& session, BoardScrape& scrape) {
    const auto read = [&session](int32_t reg) { return session.ReadRegister(reg); };
    scrape.manufacturerId = read(kManufacturerId);
    scrape.dieRevision = read(kDieRevision);
    // Read every time: after a power cycle or a reconnection the chip's range may have changed.
    session.AfterRegisterWrite(kConfig1Write);
    const bool held = session.ReadingsHeld();
    const bool extended = session.ExtendedRange;

    // The status is read on both sides of the temperatures, so a conversion between the reads
    // cannot let an open diode's reading through as a temperature.
    const uint8_t status1Before = static_cast<uint8_t>(read(kStatus1));
    const uint8_t status2Before = static_cast<uint8_t>(read(kStatus2));
    std::array<double, 3> celsius{};
    celsius[0] = WholeDegreeCelsius(read(kLocalTemp), extended);
    const int32_t remote1Low = read(kRemote1TempLow);
    celsius[1] = RemoteQuarterCelsius(read(kRemote1TempHigh), remote1Low, extended);
    const int32_t remote2Low = read(kRemote2TempLow);
    celsius[2] = RemoteQuarterCelsius(read(kRemote2TempHigh), remote2Low, extended);
    const uint8_t status1 = status1Before | static_cast<uint8_t>(read(kStatus1));
    const uint8_t status2 = status2Before | static_cast<uint8_t>(read(kStatus2));
    const AlarmBits bits = AlarmBitsOf(status1, status2);
    scrape.alertAsserted = (status2 & kStatus2Alert) != 0;

    const int hysteresis = read(kThermHysteresis);
    for (int i = 0; i < 3; ++i) {
        SensorScrape& sensor = scrape.sensors[static_cast<size_t>(i)];
        sensor.maxAlarm = AlarmSet(bits, i, StatusKind::High);
        sensor.minAlarm = AlarmSet(bits, i, StatusKind::Low);
        sensor.critAlarm = AlarmSet(bits, i, StatusKind::Therm);
        sensor.fault = AlarmSet(bits, i, StatusKind::OpenDiode);
        // While Remote 2 is selected the shared registers read Remote 2: Remote 1 has no reading or limits.
        if (i == 1 && session.Remote2Selected)
            continue;
        if (!held && !sensor.fault)
            sensor.celsius = celsius[static_cast<size_t>(i)];
        const GaugeLimits limits = ReadGaugeLimitBytes(i, session.ExtendedRange, read);
        sensor.maxCelsius = limits.high;
        sensor.minCelsius = limits.low;
        sensor.critCelsius = limits.therm;
        sensor.critHystCelsius = limits.therm - hysteresis;
    }
}

} // namespace

BoardScrape BoardIdentity(const std::string& place, int address) {
    BoardScrape board;
    board.chip = place + "-" + hexByte(address);
    board.backend = place.substr(0, place.find('-'));
    board.address = address;
    return board;
}

const char* MetricsContentType(MetricsFormat format) {
    return format == MetricsFormat::OpenMetrics ? "application/openmetrics-text; version=1.0.0; charset=utf-8"
                                                : "text/plain; version=0.0.4; charset=utf-8";
}

MetricsFormat MetricsFormatForAccept(const std::string& acceptHeader) {
    // Each media range up to its comma; one that names OpenMetrics and is not refused with q=0.
    size_t start = 0;
    while (start <= acceptHeader.size()) {
        size_t end = acceptHeader.find(',', start);
        if (end == std::string::npos)
            end = acceptHeader.size();
        std::string range = acceptHeader.substr(start, end - start);
        range.erase(std::remove(range.begin(), range.end(), ' '), range.end());
        const bool refused = range.find(";q=0") != std::string::npos &&
                             range.find_first_not_of("0.", range.find(";q=0") + 3) == std::string::npos;
        if (range.rfind("application/openmetrics-text", 0) == 0 && !refused)
            return MetricsFormat::OpenMetrics;
        start = end + 1;
    }
    return MetricsFormat::Text004;
}

std::string FormatMetrics(const std::vector<BoardScrape>& boards, MetricsFormat format,
                          const std::string& version) {
    std::string out;
    for (const SensorFamily& sensorFamily : sensorFamilies()) {
        std::vector<Sample> samples;
        for (const BoardScrape& board : boards) {
            if (!board.up)
                continue;
            for (int i = 0; i < 3; ++i)
                if (const std::optional<double> value =
                        sensorFamily.value(board.sensors[static_cast<size_t>(i)], i))
                    samples.push_back(
                        {labelPairs({{"chip", board.chip}, {"sensor", kSensorLabels[i]}}), *value});
        }
        writeFamily(out, sensorFamily.family, samples, format);
    }
    const auto perBoard = [&](const Family& family,
                              const std::function<std::optional<double>(const BoardScrape&)>& value) {
        std::vector<Sample> samples;
        for (const BoardScrape& board : boards)
            if (const std::optional<double> v = value(board))
                samples.push_back({labelPairs({{"chip", board.chip}}), *v});
        writeFamily(out, family, samples, format);
    };
    perBoard({"otk5530_alert_asserted", Kind::Gauge, "", alertHelp().c_str()},
             [](const BoardScrape& b) { return b.up ? flag(b.alertAsserted) : std::nullopt; });

    std::vector<Sample> info;
    for (const BoardScrape& b : boards)
        info.push_back({labelPairs({{"chip", b.chip},
                                    {"backend", b.backend},
                                    {"address", hexByte(b.address)},
                                    {"manufacturer_id", b.manufacturerId ? hexByte(*b.manufacturerId) : ""},
                                    {"die_revision", b.dieRevision ? hexByte(*b.dieRevision) : ""}}),
                        1});
    writeFamily(out, kChipInfo, info, format);
    perBoard(kUp, [](const BoardScrape& b) { return flag(b.up); });
    perBoard(kScrapeDuration, [](const BoardScrape& b) { return b.scrapeDurationSeconds; });
    perBoard(kBusErrors, [](const BoardScrape& b) { return static_cast<double>(b.busErrorsTotal); });
    writeFamily(out, kBuildInfo, {{labelPairs({{"version", version}}), 1}}, format);
    if (format == MetricsFormat::OpenMetrics)
        out += "# EOF\n";
    return out;
}

BoardScrape ScrapeBoard(ChipSession& session, const BoardScrape& previous) {
    BoardScrape scrape;
    scrape.chip = previous.chip;
    scrape.backend = previous.backend;
    scrape.address = previous.address;
    scrape.manufacturerId = previous.manufacturerId;
    scrape.dieRevision = previous.dieRevision;
    scrape.busErrorsTotal = previous.busErrorsTotal;
    const auto start = std::chrono::steady_clock::now();
    BoardScrape read = scrape;
    try {
        readBoard(session, read);
        // Something other than an OTK5530 (or nothing: 0xFF) answers at the address.
        read.up = read.manufacturerId == kOurManufacturerId;
        if (read.up)
            scrape = read;
    } catch (const LinkFailure&) {
        ++scrape.busErrorsTotal;
    }
    scrape.scrapeDurationSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return scrape;
}

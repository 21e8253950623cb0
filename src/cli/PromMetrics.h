#pragma once
// Boards as Prometheus metrics: one scrape of a board through its chip session, and the
// exposition of any number of scrapes in the text format 0.0.4 or in OpenMetrics. The
// names follow node_exporter's hwmon collector (otk5530_temp_celsius, _max_celsius, ...).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class ChipSession;

// One channel of a scrape. A value is absent when it could not be vouched for: an open
// diode, a reading the chip may still hold from before a range switch, or Remote 1 while
// Configuration Reg 1 selects Remote 2 on the shared registers (its limits then too).
struct SensorScrape {
    std::optional<double> celsius;
    std::optional<double> maxCelsius;      // high limit
    std::optional<double> minCelsius;      // low limit
    std::optional<double> critCelsius;     // THERM limit
    std::optional<double> critHystCelsius; // THERM limit minus THERM hysteresis
    bool maxAlarm = false;
    bool minAlarm = false;
    bool critAlarm = false;
    bool fault = false; // open diode; only the remote channels have one
};

inline constexpr std::array<const char*, 3> kSensorLabels{"local", "remote1", "remote2"};

// Everything one board's metrics need. The identity fields (chip .. dieRevision) and the
// bus error count are carried from one scrape to the next: a board whose link fails keeps
// its info metric and its counter.
struct BoardScrape {
    std::string chip;    // stable label from where the board is: "sim-0x4c", "i2c-1-0x4c", "usb-1-3-0x4c"
    std::string backend; // "sim", "usb" or "i2c"
    int address = 0;     // 7-bit bus address
    std::optional<int> manufacturerId; // unknown until the board first answered
    std::optional<int> dieRevision;
    bool up = false;
    double scrapeDurationSeconds = 0;
    uint64_t busErrorsTotal = 0;
    std::array<SensorScrape, 3> sensors{}; // in the order of kSensorLabels
    bool alertAsserted = false;
};

// A board not yet scraped, named by where its adapter sits ("sim", "usb-1-2.3", "i2c-1") and
// its address: chip "i2c-1-0x4c", backend "i2c".
BoardScrape BoardIdentity(const std::string& place, int address);

enum class MetricsFormat { Text004, OpenMetrics };

// The Content-Type header that goes with the format.
const char* MetricsContentType(MetricsFormat format);
// OpenMetrics when an HTTP Accept header asks for application/openmetrics-text, else 0.0.4.
MetricsFormat MetricsFormatForAccept(const std::string& acceptHeader);

// Every board's metrics and the exporter's build info, one HELP and TYPE per family.
// OpenMetrics ends with "# EOF".
std::string FormatMetrics(const std::vector<BoardScrape>& boards, MetricsFormat format,
                          const std::string& version);

// Reads the board once through its session: the two status registers on both sides of the
// temperatures (reading them clears the bits latched since the last read), the limits, the
// THERM hysteresis and the identity registers. `previous` gives the identity and the
// counter (the first time: chip, backend and address filled in). A link failure never
// throws: the result has up=false, no temperatures, the previous identity and one more bus
// error, and the next scrape reads the chip's configuration afresh.
BoardScrape ScrapeBoard(ChipSession& session, const BoardScrape& previous);

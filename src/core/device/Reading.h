#pragma once
// One reading of the three temperatures, as the cycle hands it to the graph, the
// gauges and the log.
#include <array>
#include <cstdint>
#include <optional>

// Status Reg 1 and Status Reg 2 as read. Reading them clears the bits the chip latched
// since the last read, so two reads of one pass are joined, not replaced.
struct ChipStatus {
    uint8_t status1 = 0;
    uint8_t status2 = 0;
    ChipStatus operator|(const ChipStatus& other) const {
        return {uint8_t(status1 | other.status1), uint8_t(status2 | other.status2)};
    }
};

struct Reading {
    double timeOfDay = 0;                // s since local midnight, when the cycle took it
    std::array<float, 3> temperatures{}; // °C: 0 Local, 1 Remote1, 2 Remote2
    // The chip may still hold a conversion from before a range switch: the temperatures
    // are the last good ones, not this read's.
    bool held = false;
    // The status when the temperatures were read, where the reader read it with them (an
    // open diode then makes its channel a fault). The monitoring cycle's read reads the five
    // temperature registers only, so its readings carry none; the lamps read the status.
    std::optional<ChipStatus> status;
};

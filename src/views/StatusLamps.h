#pragma once
// The limits window's twelve status lamps: caption, lamp index and the status bit each
// shows, top to bottom. The window, the monitoring cycle and the command-line tool's
// `status` verb all name the bits by these captions.
#include "adapter/ChipRegisters.h"

#include <array>
#include <cstdint>

struct StatusLampBit {
    const char* caption;
    int lamp; // tglAlert index: follows the status bits, not the rows
    bool secondRegister;
    uint8_t mask;
};

inline constexpr std::array<StatusLampBit, 12> kStatusLamps{{
    {"Local High", 0, false, kStatus1LocalHigh},
    {"Local  Low", 1, false, kStatus1LocalLow},
    {"Local THERM", 8, false, kStatus1LocalTherm},
    {"Remote1 High", 2, false, kStatus1Remote1High},
    {"Remote1 Low", 3, false, kStatus1Remote1Low},
    {"Remote1 THERM", 9, false, kStatus1Remote1Therm},
    {"Remote2 High", 4, true, kStatus2Remote2High},
    {"Remote2 Low", 5, true, kStatus2Remote2Low},
    {"Remote2 THERM", 10, true, kStatus2Remote2Therm},
    {"D1  Open", 6, false, kStatus1Diode1Open},
    {"D2 Open", 7, true, kStatus2Diode2Open},
    {"ALERT Bit", 11, true, kStatus2Alert},
}};

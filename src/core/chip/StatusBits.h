#pragma once
// The status bits of Status Reg 1 and 2: the one table of what each bit means (its channel
// and kind), which lamp shows it and under which caption, and which lane of the graph's
// alarm marks draws it. The limits window, the monitoring cycle, the graph and the
// command-line tool all read it.
#include "chip/ChipRegisters.h"

#include <array>
#include <cstdint>
#include <vector>

enum class StatusKind { High, Low, Therm, OpenDiode, Alert };

struct StatusBit {
    const char* caption; // the lamp's label; the command-line tool names the bit by it, blanks folded
    int lamp;            // tglAlert index: follows the status bits, not the rows
    bool secondRegister; // Status Reg 2 rather than Status Reg 1
    uint8_t mask;
    int channel; // 0 Local, 1 Remote1, 2 Remote2; -1 for ALERT, which is the chip's
    StatusKind kind;
};

// Top to bottom as the lamps stand; within a register this is also the order the lamps are set.
inline constexpr std::array<StatusBit, 12> kStatusBits{{
    {"Local High", 0, false, kStatus1LocalHigh, 0, StatusKind::High},
    {"Local  Low", 1, false, kStatus1LocalLow, 0, StatusKind::Low},
    {"Local THERM", 8, false, kStatus1LocalTherm, 0, StatusKind::Therm},
    {"Remote1 High", 2, false, kStatus1Remote1High, 1, StatusKind::High},
    {"Remote1 Low", 3, false, kStatus1Remote1Low, 1, StatusKind::Low},
    {"Remote1 THERM", 9, false, kStatus1Remote1Therm, 1, StatusKind::Therm},
    {"Remote2 High", 4, true, kStatus2Remote2High, 2, StatusKind::High},
    {"Remote2 Low", 5, true, kStatus2Remote2Low, 2, StatusKind::Low},
    {"Remote2 THERM", 10, true, kStatus2Remote2Therm, 2, StatusKind::Therm},
    {"D1  Open", 6, false, kStatus1Diode1Open, 1, StatusKind::OpenDiode},
    {"D2 Open", 7, true, kStatus2Diode2Open, 2, StatusKind::OpenDiode},
    {"ALERT Bit", 11, true, kStatus2Alert, -1, StatusKind::Alert},
}};

// A lamp as a read of its status register sets it.
struct LampSetting {
    int lamp;
    bool on;
};
// The lamps of one status register (kStatus1 or kStatus2) for the byte read, in the order they are set.
std::vector<LampSetting> LampsOfStatusRead(int32_t statusRegister, uint8_t status);

// The word the command-line tool writes beside a value for a set bit of its channel.
const char* StatusKindWord(StatusKind kind);

// The graph's alarm lanes: one bit per channel and kind (channel * 4 + kind). Bits with no
// lane (Busy, ALERT, the unused ones) are left out, so they never split a run of marks.
constexpr int kAlarmChannelCount = 3;
constexpr int kStatusKindCount = 4; // High, Low, Therm, OpenDiode: top to bottom in a channel's row
using AlarmBits = uint16_t;
// The lane of a bit, or -1 for a bit the alarm marks do not draw.
int AlarmLane(const StatusBit& bit);
AlarmBits AlarmBitsOf(uint8_t status1, uint8_t status2);
bool AlarmSet(AlarmBits bits, int channel, StatusKind kind);
// The bit's place (0..7) in its register.
int StatusBitIndex(const StatusBit& bit);

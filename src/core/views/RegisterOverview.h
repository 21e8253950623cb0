#pragma once
// The register overview's rules: one snapshot of every register, decoded row by row
// for the overview window and the command-line tool. Pure: no widget and no chip inside.
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "device/RegMapStuff.h"

// Reading a status register clears its latched bits on the chip, so they are read
// only when the user asks for every register.
bool IsStatusRecord(int index);

// False for a record of a remote register that Remote 1 and Remote 2 share at one address
// while Configuration Reg 1 bit 3 selects the other channel: the bus shows the other there.
bool RecordOnBus(int index, bool remote2Selected);

// One read byte per record (index 0..40); none where the record was not read.
struct RegisterSnapshot {
    std::array<std::optional<uint8_t>, RegMapStuff::kRegisterCount> values{};
};

// Reads every record but the placeholder once, in table order, through readRegister
// (given the record's read address); the status records only with includeStatus.
RegisterSnapshot TakeRegisterSnapshot(bool includeStatus,
                                      const std::function<int(int32_t readAddr)>& readRegister);

struct OverviewRow {
    int index = 0;
    int32_t readAddr = 0;
    int32_t writeAddr = 0; // 0: read-only
    QString name;
    std::optional<uint8_t> value; // none: not read, or the other remote channel is selected
    QString valueNote;            // why there is no value
    uint8_t defaultValue = 0;
    bool differsFromDefault = false;
    bool readOnly = true;
    QString temperature;           // «30 °C», empty for registers that hold no temperature
    std::optional<double> celsius; // the same as a number (a low byte: its quarters)
    QString encoding;              // range and encoding the temperature was decoded with
    QString bitMeanings;           // each bit field of the value, explained (tooltip)
};

// The rows of records 1..40 in table order. The range and the remote channel come
// from Configuration Reg 1 in the snapshot; without it, the normal range and Remote 1.
std::vector<OverviewRow> OverviewRows(const RegisterSnapshot& snapshot);

// Bits 7..0 of the record's value, one line each: field name, state and meaning.
QString BitMeanings(int index, uint8_t value);

// «0x5E», «94»
QString OverviewHex(uint8_t value);

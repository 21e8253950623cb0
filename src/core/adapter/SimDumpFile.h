#pragma once
// Register dumps the simulated board can start from: the command-line tool's `dump` as
// text, CSV, JSON or NDJSON (each row names the chip), and an i2cdump byte grid.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

struct RegisterDump {
    std::optional<int> address;   // the chip's bus address, where the dump names it
    std::map<int, uint8_t> bytes; // by read address; a cell without a value is left out
};

// False with «line N: reason» when the text is no dump of one chip; `dump` is then unchanged.
bool ParseRegisterDump(std::string_view text, RegisterDump& dump, std::string& error);

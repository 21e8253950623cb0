#pragma once
// The simulated board's configuration, read from the OTK5530_SIM text: comma-separated
// key=value pairs such as "address=0x4C+0x4D, remote1=80.25, drift=off".
#include "adapter/SimChip.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct SimConfig {
    std::vector<int> addresses{0x4C}; // 7-bit bus addresses with a chip; empty: no chip
    bool firmwareFails = false;
    long setupFailures = 0;        // the first N bus set-up requests fail
    std::optional<long> failAfter; // every request after the first N fails
    ChipSettings chip;
    // The files the board starts from, replays and keeps its registers in; empty when unused.
    std::string dumpFile, replayFile, stateFile;
    int replayRun = 0; // which run of replayFile, from 1
};

// Fills `config` from the text (empty text: defaults), and from the files its from_dump,
// replay and state keys name. False with a one-line message naming the key and value (and
// the file's line and reason) when an entry is refused; `config` is then unchanged.
bool ParseSimConfig(std::string_view text, SimConfig& config, std::string& error);

// The entries of `base` with those of `overrides` added, an override replacing the entry of
// the same key in place: "address=0x4C,drift=off" and "address=0x4D" give
// "address=0x4D,drift=off". Entries are kept as written, for the parser to judge.
std::string OverrideSimKeys(std::string_view base, std::string_view overrides);

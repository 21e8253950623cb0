#pragma once
// The simulated board's files: a register dump to start from (`from_dump`), a recorded run
// to replay (`replay`, `replay_speed`, `replay_loop`, `replay_run`) and a kept board state
// (`state`). Every file is read and checked whole before any of it is used.
#include "adapter/SimConfig.h"

#include <optional>
#include <set>
#include <string>
#include <utility>

struct SimSourceKeys {
    std::optional<std::string> fromDump, replay, state;
    std::optional<double> replaySpeed;
    std::optional<bool> replayLoop;
    std::optional<int> replayRun;
};

// Loads the files into `config`, under the keys given beside them: `givenKeys` (such as
// "local", "drift", "address") and the `givenRegisters` of reg.XX keep what they set. Empty
// when every file loaded, else the refused key and the reason; `config` may then be half set.
std::pair<std::string, std::string> LoadSimSources(const SimSourceKeys& keys,
                                                   const std::set<std::string>& givenKeys,
                                                   const std::set<int>& givenRegisters, SimConfig& config);

// «registers from dump board7.txt; temperatures replayed from run.csv (run 2 of 3, 10x, looped);
// state kept in board.state», or empty for a board made from the keys alone.
std::string SimSourcesText(const SimConfig& config);

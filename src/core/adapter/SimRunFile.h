#pragma once
// Recorded runs the simulated board can replay: the program's CSV log (title block and
// columns, CR LF, "°" as the byte 0xB0; a file may hold several runs) and the
// command-line tool's `log` as CSV, NDJSON or JSON.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct RecordedSample {
    double seconds = 0; // after the run's first sample
    // Local, Remote1, Remote2; empty where the remote diode was open (or the channel not recorded).
    std::array<std::optional<double>, 3> celsius;
};

struct RecordedRun {
    std::array<bool, 3> channels{}; // the channels the file recorded
    std::vector<RecordedSample> samples;
    int runCount = 1; // runs in the file

    // The sample in force `seconds` after the start: past the end the last one, or, looped,
    // the run again from its start (the last sample keeps the step before it).
    const RecordedSample& at(double seconds, bool loop) const;
};

// The run numbered `runNumber` (1 = the first), or the last one. False with «line N: reason»
// when any line of the file does not parse or the run holds no sample; `run` is then unchanged.
bool ParseRecordedRun(std::string_view text, std::optional<int> runNumber, RecordedRun& run,
                      std::string& error);

#pragma once
// The runs of status reads the graph's alarm lane draws; which bit goes to which lane
// is the status-bit table's (chip/StatusBits.h). Pure rules: no widget inside.
#include "chip/StatusBits.h"

#include <deque>
#include <utility>

// Reads further apart than this mean the status was not being read in between:
// the limits window reads it every 0.2 s while it is open.
constexpr double kStatusReadGapSeconds = 2;

// A stretch of time over which every read gave the same bits. A read reports the
// bits latched since the read before it, so a run reaches back to that read.
struct AlarmRun {
    double start;
    double end;
    AlarmBits bits;
};

// The status reads the chart was given, as runs: time not covered by a run is
// time the status was not read. Kept to the samples' history limit.
class AlarmHistory {
public:
    using Runs = std::deque<AlarmRun>;
    void addRead(double key, AlarmBits bits);
    const Runs& runs() const { return m_runs; }
    // The runs that overlap [lower, upper], found by binary search.
    std::pair<Runs::const_iterator, Runs::const_iterator> runsIn(double lower, double upper) const;

private:
    Runs m_runs;
};

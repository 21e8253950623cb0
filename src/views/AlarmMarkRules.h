#pragma once
// The graph's alarm lane: which status bits it shows per channel, and the runs of
// status reads it draws them from. Pure rules: no widget inside.
#include <cstdint>
#include <deque>
#include <utility>

constexpr int kAlarmChannelCount = 3; // Local, Remote1, Remote2
// Top to bottom within a channel's row.
enum class AlarmKind { High, Low, Therm, OpenDiode };
constexpr int kAlarmKindCount = 4;

// One bit per channel and kind (channel * 4 + kind); bits the lane does not show
// (Busy, ALERT, the unused ones) are left out, so they never split a run.
using AlarmBits = uint16_t;
AlarmBits AlarmBitsOf(uint8_t status1, uint8_t status2);
bool AlarmSet(AlarmBits bits, int channel, AlarmKind kind);

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

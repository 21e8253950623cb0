#include "views/AlarmMarkRules.h"

#include "adapter/ChipRegisters.h"
#include "views/StripChartRules.h"

#include <algorithm>

namespace {

struct StatusBit {
    int channel;
    AlarmKind kind;
    bool secondRegister;
    uint8_t mask;
};
constexpr StatusBit kStatusBits[] = {
    {0, AlarmKind::High, false, kStatus1LocalHigh},       {0, AlarmKind::Low, false, kStatus1LocalLow},
    {0, AlarmKind::Therm, false, kStatus1LocalTherm},     {1, AlarmKind::High, false, kStatus1Remote1High},
    {1, AlarmKind::Low, false, kStatus1Remote1Low},       {1, AlarmKind::Therm, false, kStatus1Remote1Therm},
    {1, AlarmKind::OpenDiode, false, kStatus1Diode1Open}, {2, AlarmKind::High, true, kStatus2Remote2High},
    {2, AlarmKind::Low, true, kStatus2Remote2Low},        {2, AlarmKind::Therm, true, kStatus2Remote2Therm},
    {2, AlarmKind::OpenDiode, true, kStatus2Diode2Open}};

AlarmBits BitOf(int channel, AlarmKind kind) {
    return AlarmBits(1u << (channel * kAlarmKindCount + int(kind)));
}

} // namespace

AlarmBits AlarmBitsOf(uint8_t status1, uint8_t status2) {
    AlarmBits bits = 0;
    for (const StatusBit& bit : kStatusBits)
        if ((bit.secondRegister ? status2 : status1) & bit.mask)
            bits |= BitOf(bit.channel, bit.kind);
    return bits;
}

bool AlarmSet(AlarmBits bits, int channel, AlarmKind kind) {
    return (bits & BitOf(channel, kind)) != 0;
}

void AlarmHistory::addRead(double key, AlarmBits bits) {
    // A clock set back starts afresh, as the traces do, so the runs stay sorted.
    if (!m_runs.empty() && key < m_runs.back().end)
        m_runs.clear();
    if (m_runs.empty() || key - m_runs.back().end > kStatusReadGapSeconds)
        m_runs.push_back({key, key, bits});
    else if (m_runs.back().bits == bits)
        m_runs.back().end = key;
    else
        m_runs.push_back({m_runs.back().end, key, bits});
    if (const auto trimKey = HistoryTrimKey(m_runs.front().start, key))
        while (m_runs.front().end < *trimKey)
            m_runs.pop_front();
}

std::pair<AlarmHistory::Runs::const_iterator, AlarmHistory::Runs::const_iterator>
AlarmHistory::runsIn(double lower, double upper) const {
    const auto first = std::lower_bound(m_runs.begin(), m_runs.end(), lower,
                                        [](const AlarmRun& run, double key) { return run.end < key; });
    const auto last = std::upper_bound(first, m_runs.end(), upper,
                                       [](double key, const AlarmRun& run) { return key < run.start; });
    return {first, last};
}

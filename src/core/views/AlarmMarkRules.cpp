#include "views/AlarmMarkRules.h"

#include "views/StripChartRules.h"

#include <algorithm>

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

#include "app/CycleSchedule.h"

#include "device/Clock.h"

bool SectionDue(double last, double intervalSeconds, double now) {
    if (intervalSeconds <= 0)
        return true;
    // Single precision on purpose: after 18:12 the due check moves in 1/128 s steps, as the program always
    // has.
    const double until = static_cast<float>(last + intervalSeconds);
    const double stamp = static_cast<float>(last);
    return now > until || stamp > now;
}

std::optional<LogRow> DueCycleLogRow(const CycleSettings& settings, CycleStamps& stamps,
                                     const QDateTime& now) {
    if (settings.logRunStarting) {
        stamps.logRunStart = now;
        stamps.lastLogRowMs = -1;
    }
    // Date and time, not the time of day: the grid runs on across midnight.
    qint64 elapsed = stamps.logRunStart.msecsTo(now);
    if (elapsed < stamps.lastLogRowMs) {
        // The clock was set back: the grid resumes from the last row instead of waiting for the clock.
        stamps.logRunStart = now.addMSecs(-stamps.lastLogRowMs);
        elapsed = stamps.lastLogRowMs;
    }
    return DueLogRow(elapsed, stamps.lastLogRowMs, settings.logIntervalMs);
}

namespace {
constexpr int kMsPerDay = 24 * 3600 * 1000;

// The due rule of each section at a time of day (seconds since midnight) and, for the log,
// ms since its run's row 0.
bool dueAt(CycleSection section, const CycleSettings& settings, const CycleStamps& stamps, double timeOfDay,
           qint64 logElapsedMs) {
    switch (section) {
    case CycleSection::Read:
        return settings.continuousReading &&
               SectionDue(stamps.LastReadTime, settings.readIntervalMs / 1000.0, timeOfDay);
    case CycleSection::RegMap:
        return settings.regMapReading &&
               SectionDue(stamps.LastRegMapReadTime, kRegMapReadInterval, timeOfDay);
    case CycleSection::Limits:
        return settings.limitsOpen && SectionDue(stamps.LastLimitsTime, kLimitsRefreshInterval, timeOfDay);
    case CycleSection::Graph:
        return settings.graphOpen &&
               SectionDue(stamps.LastGraphTime, settings.graphIntervalMs / 1000.0, timeOfDay);
    case CycleSection::Log:
        // Before the last row the clock was set back: the tick moves the grid and writes nothing.
        return settings.loggingActive &&
               (settings.logRunStarting ||
                DueLogRow(logElapsedMs, stamps.lastLogRowMs, settings.logIntervalMs).has_value());
    }
    return false;
}
} // namespace

bool CycleSectionDue(CycleSection section, const CycleSettings& settings, const CycleStamps& stamps,
                     const QDateTime& now) {
    const bool logging = section == CycleSection::Log && settings.loggingActive && !settings.logRunStarting;
    return dueAt(section, settings, stamps, Clock::TimeOfDay(now),
                 logging ? stamps.logRunStart.msecsTo(now) : 0);
}

void StampSection(CycleSection section, CycleStamps& stamps, const QDateTime& now,
                  std::optional<LogRow> logRow) {
    const double timeOfDay = Clock::TimeOfDay(now);
    switch (section) {
    case CycleSection::Read:
        stamps.LastReadTime = timeOfDay;
        break;
    case CycleSection::RegMap:
        stamps.LastRegMapReadTime = timeOfDay;
        break;
    case CycleSection::Limits:
        stamps.LastLimitsTime = timeOfDay;
        break;
    case CycleSection::Graph:
        stamps.LastGraphTime = timeOfDay;
        break;
    case CycleSection::Log:
        if (logRow)
            stamps.lastLogRowMs = logRow->atMs;
        stamps.LastLogTime = timeOfDay;
        break;
    }
}

// The ticks ahead are at most 100 ms away: their clock is now's moved on, at the offset from
// UTC of now (a change to or from summer time is seen by the tick after it).
int MasterTicksUntilDue(const CycleSettings& settings, const CycleStamps& stamps, const QDateTime& now,
                        int msToNextTick) {
    const int nowMs = now.time().msecsSinceStartOfDay();
    const bool logging = settings.loggingActive && !settings.logRunStarting;
    const qint64 logElapsedMs = logging ? stamps.logRunStart.msecsTo(now) : 0;
    for (int ticks = 1; ticks < kMostTicksAhead; ++ticks) {
        const int aheadMs = msToNextTick + (ticks - 1) * kMasterTickMs;
        const double timeOfDay = ((nowMs + aheadMs) % kMsPerDay) / 1000.0;
        for (CycleSection section : kCycleSections)
            if (dueAt(section, settings, stamps, timeOfDay, logElapsedMs + aheadMs))
                return ticks;
    }
    return kMostTicksAhead;
}

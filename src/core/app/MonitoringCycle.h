#pragma once
// The monitoring cycle: the five timed sections that every master timer tick
// runs in a fixed order, each with its own stamp on the time-of-day clock.
#include "app/CycleSchedule.h"

#include <QString>
#include <functional>

inline const QString kLoggingStoppedStatus =
    QStringLiteral("Logging stopped: the log file could not be written");

class MonitoringCycle {
public:
    // Called once when a log line could not be written and logging has stopped.
    using LogFailureHandler = std::function<void(const QString& message)>;
    void setLogFailureHandler(LogFailureHandler handler) { onLogFailure_ = std::move(handler); }

    // One tick: temperature read, register map auto-read, limits refresh, graph, log.
    // The log writes the rows of its interval's grid rather than interval-after-last-row.
    void tick();

    // The settings and open windows as the due checks read them now.
    static CycleSettings currentSettings();
    // Master ticks until a section is due (MasterTicksUntilDue on the cycle's stamps).
    int ticksUntilDue(const QDateTime& now, int msToNextTick) const;

    CycleStamps stamps;

private:
    bool due(CycleSection section, const QDateTime& now) const;
    void stamp(CycleSection section, std::optional<LogRow> logRow = std::nullopt);
    void readSection();
    void regMapSection();
    void limitsSection();
    void graphSection();
    void logSection();
    void stopLogging();

    LogFailureHandler onLogFailure_;
};

#pragma once
// The monitoring cycle: the five timed sections that every master timer tick
// runs in a fixed order, each with its own stamp on the time-of-day clock.
#include "app/CycleSchedule.h"

#include <QString>
#include <functional>

inline const QString kLoggingStoppedStatus =
    QStringLiteral("Logging stopped: the log file could not be written");

// The windows the cycle feeds, each while it is open.
enum class FedView { RegMap, Limits, Graph };
// A fed window's load (true) and unload (false): its open flag (RegMapOpen, LimitsOpen,
// GraphOpen), and the master timer woken for its section.
void SetViewOpen(FedView view, bool open);

class MonitoringCycle {
public:
    // Called once when a log line could not be written and logging has stopped.
    using LogFailureHandler = std::function<void(const QString& message)>;
    void setLogFailureHandler(LogFailureHandler handler) { onLogFailure_ = std::move(handler); }
    // Reads the register map window's "Continuous Read" box while that window is open; the
    // shell, which knows the window, gives it. Without one the box counts as not ticked.
    using BoxReader = std::function<bool()>;
    void setContinuousReadBox(BoxReader ticked) { continuousReadTicked_ = std::move(ticked); }

    // One tick: temperature read, register map auto-read, limits refresh, graph, log.
    // The log writes the rows of its interval's grid rather than interval-after-last-row.
    void tick();

    // The settings and open windows as the due checks read them now.
    CycleSettings currentSettings() const;
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
    bool regMapReading() const;

    LogFailureHandler onLogFailure_;
    BoxReader continuousReadTicked_;
};

#pragma once
// The monitoring cycle: the five timed sections that every master timer tick
// runs in a fixed order, each with its own stamp on the time-of-day clock.
#include <QDateTime>
#include <QString>
#include <functional>

// Due when now > last + interval, or when last > now (midnight has passed since
// the stamp). An interval of 0 or less is due on every tick.
bool SectionDue(double last, double intervalSeconds, double now);

constexpr double kRegMapReadInterval = 0.5;
constexpr double kLimitsRefreshInterval = 0.2;

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

    // Seconds since local midnight of each section's last run; 0 until it ran.
    double LastReadTime = 0;
    double LastRegMapReadTime = 0;
    double LastLimitsTime = 0;
    double LastGraphTime = 0;
    double LastLogTime = 0;

private:
    void readSection();
    void regMapSection();
    void limitsSection();
    void graphSection();
    void logSection();
    void stopLogging();

    LogFailureHandler onLogFailure_;
    // The log rows stand on a grid from the run's row 0, so the time column stays true (LogGrid.h).
    QDateTime logRunStart_;
    qint64 lastLogRowMs_ = -1;
};

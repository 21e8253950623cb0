#include "app/MonitoringCycle.h"

#include "app/MonitoringRoutines.h"
#include "device/Clock.h"
#include "device/GeneralStuff.h"
#include "files/LogGrid.h"
#include "files/LogLines.h"

using namespace GeneralStuff;

bool SectionDue(double last, double intervalSeconds, double now) {
    if (intervalSeconds <= 0)
        return true;
    // Single precision on purpose: after 18:12 the due check moves in 1/128 s steps, as the program always
    // has.
    const double until = static_cast<float>(last + intervalSeconds);
    const double stamp = static_cast<float>(last);
    return now > until || stamp > now;
}

void MonitoringCycle::tick() {
    readSection();
    regMapSection();
    limitsSection();
    graphSection();
    logSection();
}

void MonitoringCycle::readSection() {
    if (!ContinuousReading || !SectionDue(LastReadTime, ReadInterval / 1000.0, Clock::TimeOfDay()))
        return;
    ReadTemperatures();
    LastReadTime = Clock::TimeOfDay();
    State.LastReading.timeOfDay = LastReadTime;
}

void MonitoringCycle::regMapSection() {
    if (!RegMapOpen() || !Views.regMap->continuousReadTicked())
        return;
    if (!SectionDue(LastRegMapReadTime, kRegMapReadInterval, Clock::TimeOfDay()))
        return;
    Views.regMap->ReadAction();
    LastRegMapReadTime = Clock::TimeOfDay();
}

void MonitoringCycle::limitsSection() {
    if (!LimitsOpen() || !SectionDue(LastLimitsTime, kLimitsRefreshInterval, Clock::TimeOfDay()))
        return;
    UpdateStatusLamps();
    UpdateGauges(State.LastReading);
    LastLimitsTime = Clock::TimeOfDay();
}

void MonitoringCycle::graphSection() {
    if (!GraphOpen() || !SectionDue(LastGraphTime, GraphInterval / 1000.0, Clock::TimeOfDay()))
        return;
    UpdateGraph(State.LastReading);
    LastGraphTime = Clock::TimeOfDay();
}

void MonitoringCycle::logSection() {
    if (!LoggingActive)
        return;
    const QDateTime now = Clock::LocalNow();
    // The starting routines set LogRowCount to 0: row 0 is written now and starts the run's grid.
    if (LogRowCount == 0) {
        logRunStart_ = now;
        lastLogRowMs_ = -1;
    }
    // Date and time, not the time of day: the grid runs on across midnight.
    qint64 elapsed = logRunStart_.msecsTo(now);
    if (elapsed < lastLogRowMs_) {
        // The clock was set back: the grid resumes from the last row instead of waiting for the clock.
        logRunStart_ = now.addMSecs(-lastLogRowMs_);
        elapsed = lastLogRowMs_;
    }
    const std::optional<LogRow> due = DueLogRow(elapsed, lastLogRowMs_, LogInterval);
    if (!due)
        return;
    LogRowCount = static_cast<int32_t>(due->row);
    if (AppendLogDataLine(State.LastReading)) {
        lastLogRowMs_ = due->atMs;
        LogRowCount += 1;
    } else {
        stopLogging();
    }
    LastLogTime = Clock::TimeOfDay();
}

// A log file that cannot be written (folder removed, disk full, file locked) ends
// the logging, not the program: the user is told once and monitoring goes on.
void MonitoringCycle::stopLogging() {
    LoggingActive = false;
    if (Views.main)
        Views.main->setStatusText(kLoggingStoppedStatus);
    if (Views.logging)
        Views.logging->loggingStopped();
    if (onLogFailure_)
        onLogFailure_("The log file \"" + LogFileName +
                      "\" could not be written. Logging has stopped; the temperatures are still monitored.");
}

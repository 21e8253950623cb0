#include "app/MonitoringCycle.h"

#include "app/Announcements.h"
#include "app/MonitoringRoutines.h"
#include "device/Clock.h"
#include "device/GeneralStuff.h"
#include "files/LogLines.h"

using namespace GeneralStuff;

void SetViewOpen(FedView view, bool open) {
    bool& flag = view == FedView::RegMap ? RegMapOpen : view == FedView::Limits ? LimitsOpen : GraphOpen;
    flag = open;
    emit Announcements::program().cycleSettingsChanged();
}

bool MonitoringCycle::regMapReading() const {
    return RegMapOpen && continuousReadTicked_ && continuousReadTicked_();
}

CycleSettings MonitoringCycle::currentSettings() const {
    CycleSettings settings;
    settings.continuousReading = ContinuousReading;
    settings.readIntervalMs = ReadInterval;
    settings.regMapReading = regMapReading();
    settings.limitsOpen = LimitsOpen;
    settings.graphOpen = GraphOpen;
    settings.graphIntervalMs = GraphInterval;
    settings.loggingActive = LoggingActive;
    settings.logIntervalMs = LogInterval;
    // The starting routines set LogRowCount to 0: row 0 is written next and starts the run's grid.
    settings.logRunStarting = LogRowCount == 0;
    return settings;
}

int MonitoringCycle::ticksUntilDue(const QDateTime& now, int msToNextTick) const {
    return MasterTicksUntilDue(currentSettings(), stamps, now, msToNextTick);
}

void MonitoringCycle::tick() {
    readSection();
    regMapSection();
    limitsSection();
    graphSection();
    logSection();
}

// The settings are read afresh for each section: a section's work may change them (a link error
// closes the windows).
bool MonitoringCycle::due(CycleSection section, const QDateTime& now) const {
    return CycleSectionDue(section, currentSettings(), stamps, now);
}

void MonitoringCycle::stamp(CycleSection section, std::optional<LogRow> logRow) {
    StampSection(section, stamps, Clock::LocalNow(), logRow);
}

void MonitoringCycle::readSection() {
    if (!ContinuousReading || !due(CycleSection::Read, Clock::LocalNow()))
        return;
    ReadTemperatures();
    stamp(CycleSection::Read);
    State.LastReading.timeOfDay = stamps.LastReadTime;
}

void MonitoringCycle::regMapSection() {
    if (!regMapReading() || !due(CycleSection::RegMap, Clock::LocalNow()))
        return;
    emit Announcements::program().regMapReadDue();
    stamp(CycleSection::RegMap);
}

void MonitoringCycle::limitsSection() {
    if (!LimitsOpen || !due(CycleSection::Limits, Clock::LocalNow()))
        return;
    UpdateStatusLamps();
    UpdateGauges(State.LastReading);
    stamp(CycleSection::Limits);
}

void MonitoringCycle::graphSection() {
    if (!GraphOpen || !due(CycleSection::Graph, Clock::LocalNow()))
        return;
    UpdateGraph(State.LastReading);
    stamp(CycleSection::Graph);
}

void MonitoringCycle::logSection() {
    if (!LoggingActive)
        return;
    const std::optional<LogRow> row = DueCycleLogRow(currentSettings(), stamps, Clock::LocalNow());
    if (!row)
        return;
    LogRowCount = static_cast<int32_t>(row->row);
    if (AppendLogDataLine(State.LastReading)) {
        LogRowCount += 1;
        stamp(CycleSection::Log, row);
    } else {
        stopLogging();
        stamp(CycleSection::Log);
    }
}

// A log file that cannot be written (folder removed, disk full, file locked) ends
// the logging, not the program: the user is told once and monitoring goes on.
void MonitoringCycle::stopLogging() {
    LoggingActive = false;
    emit Announcements::program().statusText(kLoggingStoppedStatus);
    emit Announcements::program().loggingStopped();
    if (onLogFailure_)
        onLogFailure_("The log file \"" + LogFileName +
                      "\" could not be written. Logging has stopped; the temperatures are still monitored.");
}

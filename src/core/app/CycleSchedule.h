#pragma once
// When each section of the monitoring cycle is due, and how many master timer
// ticks may pass before one is: pure, no window and no clock inside, so a test
// can run the cycle's instants for whole days in a few seconds.
#include "files/LogGrid.h"

#include <QDateTime>
#include <cstdint>
#include <optional>

// Due when now > last + interval, or when last > now (midnight has passed since
// the stamp). An interval of 0 or less is due on every tick.
bool SectionDue(double last, double intervalSeconds, double now);

constexpr double kRegMapReadInterval = 0.5;
constexpr double kLimitsRefreshInterval = 0.2;

// The master timer's grid, and how far ahead it may be armed: a clock step is noticed
// at the latest this many ticks later, as the plain 10 ms timer would notice it soon.
constexpr int kMasterTickMs = 10;
constexpr int kMostTicksAhead = 10;

enum class CycleSection { Read, RegMap, Limits, Graph, Log };
inline constexpr CycleSection kCycleSections[] = {
    CycleSection::Read, CycleSection::RegMap, CycleSection::Limits, CycleSection::Graph, CycleSection::Log};

// What the due checks read from the settings and the open windows.
struct CycleSettings {
    bool continuousReading = false;
    int32_t readIntervalMs = 0;
    bool regMapReading = false; // open with "Continuous Read" ticked
    bool limitsOpen = false;
    bool graphOpen = false;
    int16_t graphIntervalMs = 0;
    bool loggingActive = false;
    int32_t logIntervalMs = 0;
    bool logRunStarting = false; // no row written since logging started
};

// Each section's last run in seconds since local midnight (0 until it ran), and the
// log run's grid: rows stand on it from row 0, so the time column stays true.
struct CycleStamps {
    double LastReadTime = 0;
    double LastRegMapReadTime = 0;
    double LastLimitsTime = 0;
    double LastGraphTime = 0;
    double LastLogTime = 0;
    QDateTime logRunStart;
    qint64 lastLogRowMs = -1;
};

// The log row due at now, the grid started at row 0 or moved after the clock was set
// back (hence the stamps it may change). Nothing when no row is due.
std::optional<LogRow> DueCycleLogRow(const CycleSettings& settings, CycleStamps& stamps,
                                     const QDateTime& now);

// Whether a section's condition holds and its interval has passed at now.
bool CycleSectionDue(CycleSection section, const CycleSettings& settings, const CycleStamps& stamps,
                     const QDateTime& now);

// The stamp a section leaves when its work ended at now (the log's row: its place on the grid).
void StampSection(CycleSection section, CycleStamps& stamps, const QDateTime& now,
                  std::optional<LogRow> logRow = std::nullopt);

// The number of master ticks, 1 to kMostTicksAhead, until the first tick at which a
// section is due; the next tick comes msToNextTick ms after now, the rest every
// kMasterTickMs.
int MasterTicksUntilDue(const CycleSettings& settings, const CycleStamps& stamps, const QDateTime& now,
                        int msToNextTick);

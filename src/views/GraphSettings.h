#pragma once
// What the graph showed, kept across runs in the per-user settings store next to
// the main window's place: the time span, the temperature range and which of the
// chart's functions were switched on. Unused, every value is the chart's own default.
#include "views/StripChartRules.h"

class QSettings;

struct GraphSettings {
    double timeSpan = kStoredTimeSpan;
    TemperatureRange range{kStoredTemperatureLow, kStoredTemperatureHigh};
    bool cursors = false;
    bool statistics = false;
    bool limitLines = false;
    bool alarmMarks = false;
};

// A value that is absent or out of what the chart allows (a span outside 2 s to the
// history, a range beyond the chip's or narrower than a degree) reads as its default.
GraphSettings ReadGraphSettings(QSettings& settings);
// Writes the "Graph" section: "TimeSpan", "TemperatureLow", "TemperatureHigh",
// "Cursors", "Statistics", "LimitLines", "AlarmMarks", as text.
void WriteGraphSettings(QSettings& settings, const GraphSettings& graph);

#pragma once
// Which of the chart's functions were switched on, kept across runs in the per-user
// settings store next to the main window's place. The span and the temperature range
// are not kept: the graph opens with its stored 60 s and -40..130 °C every time.

class QSettings;

struct GraphSettings {
    bool cursors = false;
    bool statistics = false;
    bool limitLines = false;
    bool alarmMarks = false;
};

// A switch that is absent or neither "0" nor "1" reads as off.
GraphSettings ReadGraphSettings(QSettings& settings);
// Writes the "Graph" section: "Cursors", "Statistics", "LimitLines", "AlarmMarks".
void WriteGraphSettings(QSettings& settings, const GraphSettings& graph);

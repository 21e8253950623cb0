#pragma once
// The captions the limits window's gauges and the graph's traces show for a reading.
// Pure rules: no widget and no chip inside.
#include <QString>
#include <array>
#include <vector>

// The untrimmed number text and "°C": « 25°C», « 33.75°C», «-3.5°C», « .25°C».
QString GaugeCaption(float temperature);

struct TraceCaption {
    int trace; // 1 Local, 2 Remote1, 3 Remote2
    QString text;
};
// «Local = 25°C», «Remote1 = 33.75°C», «Remote2 = 30.50°C». While Remote 2 is selected,
// trace 2 samples Remote2 through the shared registers and its caption shows the dedicated
// reading; trace 3 is left as it is.
std::vector<TraceCaption> TraceCaptions(const std::array<float, 3>& temperatures, bool remote2Selected);

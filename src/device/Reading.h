#pragma once
// One reading of the three temperatures, as the cycle hands it to the graph, the
// gauges and the log.
#include <array>

struct Reading {
    double timeOfDay = 0;                // s since local midnight, when the cycle took it
    std::array<float, 3> temperatures{}; // °C: 0 Local, 1 Remote1, 2 Remote2
    // The chip may still hold a conversion from before a range switch: the temperatures
    // are the last good ones, not this read's.
    bool held = false;
};

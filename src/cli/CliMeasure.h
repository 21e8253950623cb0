#pragma once
// The temperatures: once, watched, or logged on a monotonic schedule with wall-clock
// timestamps until a duration, a number of samples, or SIGINT/SIGTERM ends it.
#include "cli/CliArgs.h"
#include "cli/CliConnect.h"
#include "cli/CliOutput.h"
#include "device/Reading.h"

// One reading as the monitoring cycle reads it, with the status read in the same pass.
Reading MeasureReading();
// The reading's row for the chosen channels: time, each channel (an open diode as its
// fault), then "alert".
Row TemperatureRow(const QString& time, const Reading& reading, const std::array<bool, 3>& channels);
// A row of a reading taken now.
Row TemperatureRow(const std::array<bool, 3>& channels);

// temps --watch and log: rows on the interval's grid until the end asked for. Returns the exit status.
// --format prom replaces the -o file with the board's metrics at each sample.
int MeasureVerb(const CliArgs& args, const CliConnection& connection);

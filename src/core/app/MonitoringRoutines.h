#pragma once
// The work of the monitoring cycle's sections: the temperature read, and the feeds
// of the limits and graph windows, which the cycle announces (Announcements).
#include "device/Reading.h"

#include <cstdint>

namespace GeneralStuff {

// Reads the three temperatures into the last reading (Temperatures) and returns it;
// held readings keep their last good values.
Reading ReadTemperatures();
void UpdateStatusLamps();
void UpdateGauges(const Reading& reading);
void UpdateGraph(const Reading& reading);

} // namespace GeneralStuff

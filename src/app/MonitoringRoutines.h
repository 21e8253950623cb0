#pragma once
// The work of the monitoring cycle's sections: the temperature read and the
// feeds of the limits and graph windows, reached through GeneralStuff::Views.
#include "device/Reading.h"

#include <cstdint>

namespace GeneralStuff {

// The temperature high bytes are never two's complement: the extended range is an offset.
inline constexpr float kExtendedRangeOffset = 64;

// Quarter degrees from a remote low byte: 0, .25, .5 or .75.
float RemoteFraction(int16_t lowByte);

// Reads the three temperatures into the last reading (Temperatures) and returns it;
// held readings keep their last good values.
Reading ReadTemperatures();
void UpdateStatusLamps();
void UpdateGauges(const Reading& reading);
void UpdateGraph(const Reading& reading);

} // namespace GeneralStuff

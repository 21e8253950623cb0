#pragma once
// The work of the monitoring cycle's sections: the temperature read and the
// feeds of the limits and graph windows, reached through GeneralStuff::Views.
#include <cstdint>

namespace GeneralStuff {

// Quarter degrees from a remote low byte: 0, .25, .5 or .75.
float RemoteFraction(int16_t lowByte);

void ReadTemperatures();
void UpdateStatusLamps();
void UpdateGauges();
void UpdateGraph();

} // namespace GeneralStuff

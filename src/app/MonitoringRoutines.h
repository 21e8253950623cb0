#pragma once
// The work of the monitoring cycle's sections: the temperature read and the
// feeds of the limits and graph windows, reached through GeneralStuff::Views.
#include <cstdint>

namespace GeneralStuff {

// The five temperature registers, read in this order: local, remote 1 low and
// high, remote 2 low and high.
constexpr int32_t kLocalTemp = 0x00;
constexpr int32_t kRemote1TempLow = 0x10;
constexpr int32_t kRemote1TempHigh = 0x01;
constexpr int32_t kRemote2TempLow = 0x33;
constexpr int32_t kRemote2TempHigh = 0x30;
constexpr int32_t kStatusReg1 = 0x02;
constexpr int32_t kStatusReg2 = 0x23;

// Quarter degrees from a remote low byte: 0, .25, .5 or .75.
float RemoteFraction(int16_t lowByte);

void ReadTemperatures();
void UpdateStatusLamps();
void UpdateGauges();
void UpdateGraph();

} // namespace GeneralStuff

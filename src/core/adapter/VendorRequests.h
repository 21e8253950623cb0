#pragma once
// The vendor requests the program sends to the adapter, shared by the device link
// that sends them and every backend that answers them.
#include <cstdint>

namespace VendorRequest {
constexpr int16_t RegisterPoll = 0xDC;
constexpr int16_t BusSetUp = 0xDD;
constexpr int16_t RegisterAccess = 0xDE; // read with direction 1, write with direction 0
constexpr int32_t BusSetUpValue = 0x30;
constexpr int32_t BusSetUpIndex = 0x33;
} // namespace VendorRequest

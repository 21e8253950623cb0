#pragma once
// Register access to the chip the program connected to (the program session),
// through the device link's ReadRegister and WriteRegister.
#include <cstdint>

int16_t ReadChip(int32_t registerAddress);
void WriteChip(int32_t registerAddress, int32_t data);

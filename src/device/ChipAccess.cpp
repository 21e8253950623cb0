#include "device/ChipAccess.h"

#include "device/GeneralStuff.h"
#include "device/USBStuff.h"

int16_t ReadChip(int32_t registerAddress) {
    return USBStuff::ReadRegister(GeneralStuff::DeviceAddress, registerAddress);
}

void WriteChip(int32_t registerAddress, int32_t data) {
    USBStuff::WriteRegister(GeneralStuff::DeviceAddress, registerAddress, data);
}

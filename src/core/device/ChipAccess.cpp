#include "device/ChipAccess.h"

#include "device/USBStuff.h"

int16_t ReadChip(int32_t registerAddress) {
    return USBStuff::OnProgramChip([&](ChipSession& chip) { return chip.ReadRegister(registerAddress); });
}

void WriteChip(int32_t registerAddress, int32_t data) {
    USBStuff::OnProgramChip([&](ChipSession& chip) { chip.WriteRegister(registerAddress, data); });
}

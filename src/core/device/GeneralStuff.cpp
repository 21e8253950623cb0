#include "device/GeneralStuff.h"

#include "chip/ChipRegisters.h"
#include "device/RegMapStuff.h"
#include "device/USBStuff.h"

namespace GeneralStuff {

void InitDeviceModel() {
    RegMapStuff::BuildRegisterTable();
    GraphInterval = 50;
    LogInterval = 100;
    ReadInterval = 100;
    ContinuousReading = true;
    LogChannels = {true, true, true};
    AfterRegisterWrite(kConfig1Write);
}

void AfterRegisterWrite(int32_t writeAddress, std::optional<uint8_t> writtenValue) {
    USBStuff::OnProgramChip([&](ChipSession& chip) { chip.AfterRegisterWrite(writeAddress, writtenValue); });
}

bool ReadingsHeld() {
    return USBStuff::OnProgramChip([](ChipSession& chip) { return chip.ReadingsHeld(); });
}

} // namespace GeneralStuff

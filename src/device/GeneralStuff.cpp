#include "device/GeneralStuff.h"

#include "device/ChipChanges.h"
#include "device/RegMapStuff.h"
#include "device/USBStuff.h"

namespace GeneralStuff {

namespace {
constexpr int32_t kConfigReg1Write = 0x09;
constexpr int32_t kConfigReg1Read = 0x03;
} // namespace

void InitDeviceModel() {
    RegMapStuff::BuildRegisterTable();
    GraphInterval = 50;
    LogInterval = 100;
    ReadInterval = 100;
    ContinuousReading = true;
    LogChannels = {true, true, true};
    AfterRegisterWrite(kConfigReg1Write);
}

void AfterRegisterWrite(int32_t writeAddress, std::optional<uint8_t> writtenValue) {
    ChipChanges::RegisterWritten change{writeAddress, writtenValue, false};
    if (writeAddress == kConfigReg1Write) {
        const int16_t value = USBStuff::ReadRegister(DeviceAddress, kConfigReg1Read);
        ExtendedRange = (value & 0x04) != 0;
        Remote2Selected = (value & 0x08) != 0;
        change.rangeAndSelectionRead = true;
    }
    // Every write is told, so a view may follow any register; today only the
    // range and channel selection matter to the windows.
    ChipChanges::Notify(change);
}

} // namespace GeneralStuff

#include "device/GeneralStuff.h"

#include "adapter/ChipRegisters.h"
#include "device/ChipChanges.h"
#include "device/RegMapStuff.h"
#include "device/USBStuff.h"

namespace GeneralStuff {

namespace {} // namespace

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
    ChipChanges::RegisterWritten change{writeAddress, writtenValue, false};
    if (writeAddress == kConfig1Write) {
        const int16_t value = USBStuff::ReadRegister(DeviceAddress, kConfig1Read);
        ExtendedRange = (value & kConfig1ExtendedRange) != 0;
        Remote2Selected = (value & kConfig1Remote2Select) != 0;
        change.rangeAndSelectionRead = true;
    }
    // Every write is told, so a view may follow any register; today only the
    // range and channel selection matter to the windows.
    ChipChanges::Notify(change);
}

} // namespace GeneralStuff

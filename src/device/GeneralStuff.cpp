#include "device/GeneralStuff.h"

#include "adapter/ChipRegisters.h"
#include "device/ChipChanges.h"
#include "device/Clock.h"
#include "device/RegMapStuff.h"
#include "device/USBStuff.h"

namespace GeneralStuff {

namespace {
// Milliseconds that keep counting across midnight, unlike the time of day.
double nowMs() {
    return static_cast<double>(Clock::LocalNow().toMSecsSinceEpoch());
}
} // namespace

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
        const bool wasExtended = ExtendedRange;
        ExtendedRange = (value & kConfig1ExtendedRange) != 0;
        Remote2Selected = (value & kConfig1Remote2Select) != 0;
        State.ConfigurationRead = true;
        change.rangeAndSelectionRead = true;
        // The start-up update learns the range; only a write can switch it.
        const bool standby = (value & kConfig1Standby) != 0;
        if (writtenValue && ExtendedRange != wasExtended)
            State.ReadingHold.rangeSwitched(nowMs(), standby);
        else if (State.ReadingHold.pending())
            State.ReadingHold.standbySeen(nowMs(), standby);
    } else if (writeAddress == kConversionRateWrite && writtenValue && State.ReadingHold.pending()) {
        State.ReadingHold.rateWritten(nowMs(), *writtenValue);
    }
    // Every write is told, so a view may follow any register.
    ChipChanges::Notify(change);
}

bool ReadingsHeld() {
    // The clock is read only while a switch is pending: the cycle's sections read it as they always have.
    if (!State.ReadingHold.pending())
        return false;
    // Asked for by the monitoring cycle, not by the write: the windows' request orders stay as they were.
    if (State.ReadingHold.needsRate())
        State.ReadingHold.rateRead(USBStuff::ReadRegister(DeviceAddress, kConversionRateRead));
    return State.ReadingHold.holds(nowMs());
}

} // namespace GeneralStuff

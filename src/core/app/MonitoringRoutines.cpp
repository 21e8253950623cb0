#include "app/MonitoringRoutines.h"

#include "app/Announcements.h"
#include "chip/ChipRegisters.h"
#include "chip/TemperatureCodec.h"
#include "device/ChipAccess.h"
#include "device/GeneralStuff.h"
#include "device/USBStuff.h"

namespace GeneralStuff {

Reading ReadTemperatures() {
    // Still read while held, so a lost link is found as soon as ever; nothing is stored.
    const bool held = ReadingsHeld();
    const bool extended = ExtendedRange;
    const auto store = [held](int channel, double celsius) {
        if (!held)
            Temperatures[channel] = static_cast<float>(celsius);
    };
    store(0, WholeDegreeCelsius(ReadChip(kLocalTemp), extended));
    // Each low byte is read before its high byte.
    const int16_t low1 = ReadChip(kRemote1TempLow);
    store(1, RemoteQuarterCelsius(ReadChip(kRemote1TempHigh), low1, extended));
    const int16_t low2 = ReadChip(kRemote2TempLow);
    store(2, RemoteQuarterCelsius(ReadChip(kRemote2TempHigh), low2, extended));
    State.LastReading.held = held;
    return State.LastReading;
}

void UpdateStatusLamps() {
    // The status reads use the unchecked poll: a failed request leaves the lamps showing the old buffer.
    Announcements& announce = Announcements::program();
    const auto status1 = static_cast<uint8_t>(USBStuff::PollRegister(DeviceAddress, kStatus1));
    emit announce.statusRegisterRead(kStatus1, status1);
    const auto status2 = static_cast<uint8_t>(USBStuff::PollRegister(DeviceAddress, kStatus2));
    emit announce.statusRegisterRead(kStatus2, status2);
    emit announce.statusRead(status1, status2);
}

void UpdateGauges(const Reading& reading) {
    emit Announcements::program().gaugesDue(reading);
}

void UpdateGraph(const Reading& reading) {
    // One graph update may find a reading up to one read interval old.
    const double longestSampleGap = (GraphInterval + ReadInterval) / 1000.0;
    emit Announcements::program().graphDue(reading, longestSampleGap);
}

} // namespace GeneralStuff

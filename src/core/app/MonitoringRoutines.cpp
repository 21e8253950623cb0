#include "app/MonitoringRoutines.h"

#include "chip/ChipRegisters.h"
#include "chip/StatusBits.h"
#include "chip/TemperatureCodec.h"
#include "device/ChipAccess.h"
#include "device/GeneralStuff.h"
#include "device/USBStuff.h"

namespace GeneralStuff {

namespace {
void setLamps(LimitsView& limits, int16_t status, bool secondRegister) {
    for (const StatusBit& bit : kStatusBits)
        if (bit.secondRegister == secondRegister)
            limits.setLamp(bit.lamp, (status & bit.mask) != 0);
}
} // namespace

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
    const int16_t status1 = USBStuff::PollRegister(DeviceAddress, kStatus1);
    if (Views.limits)
        setLamps(*Views.limits, status1, false);
    const int16_t status2 = USBStuff::PollRegister(DeviceAddress, kStatus2);
    if (Views.limits)
        setLamps(*Views.limits, status2, true);
    // The graph's alarm marks take these reads: a read of its own would clear the bits the lamps show.
    if (Views.graph)
        Views.graph->statusRead(uint8_t(status1), uint8_t(status2));
}

void UpdateGauges(const Reading& reading) {
    if (Views.limits)
        Views.limits->showReading(reading);
}

void UpdateGraph(const Reading& reading) {
    if (Views.graph)
        Views.graph->showReading(reading);
}

} // namespace GeneralStuff

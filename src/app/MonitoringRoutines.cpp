#include "app/MonitoringRoutines.h"

#include "chip/ChipRegisters.h"
#include "chip/StatusBits.h"
#include "chip/TemperatureCodec.h"
#include "device/ChipAccess.h"
#include "device/GeneralStuff.h"
#include "device/NumberText.h"
#include "device/USBStuff.h"

namespace GeneralStuff {

namespace {
const QString kDegrees = QStringLiteral("°C");

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
    LimitsView* limits = Views.limits;
    if (!limits)
        return;
    const std::array<float, 3>& t = reading.temperatures;
    for (int i = 0; i < 3; ++i)
        limits->setGaugeReading(i, t[i], StrNumber(t[i]) + kDegrees);
}

void UpdateGraph(const Reading& reading) {
    GraphView* graph = Views.graph;
    if (!graph)
        return;
    const std::array<float, 3>& t = reading.temperatures;
    for (int i = 0; i < 3; ++i)
        graph->appendSample(i + 1, static_cast<double>(t[i]));
    graph->setTraceCaption(1, "Local = " + TrimmedNumber(t[0]) + kDegrees);
    if (!Remote2Selected) {
        graph->setTraceCaption(2, "Remote1 = " + FormatTemperature(t[1]) + kDegrees);
        graph->setTraceCaption(3, "Remote2 = " + FormatTemperature(t[2]) + kDegrees);
    } else {
        // Trace 2 samples Remote2 through the shared registers; its caption shows the dedicated reading.
        graph->setTraceCaption(2, "Remote2 = " + FormatTemperature(t[2]) + kDegrees);
    }
}

} // namespace GeneralStuff

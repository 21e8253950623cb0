#include "app/MonitoringRoutines.h"

#include "adapter/ChipRegisters.h"
#include "device/ChipAccess.h"
#include "device/GeneralStuff.h"
#include "device/NumberText.h"
#include "device/USBStuff.h"
#include "views/StatusLamps.h"

namespace GeneralStuff {

namespace {
const QString kDegrees = QStringLiteral("°C");

void setLamps(LimitsView& limits, int16_t status, bool secondRegister) {
    for (const StatusLampBit& lamp : kStatusLamps)
        if (lamp.secondRegister == secondRegister)
            limits.setLamp(lamp.lamp, (status & lamp.mask) != 0);
}
} // namespace

// Only bits 7..6 count: readings stay in quarter degrees, bit 5 (0.125 °C) is dropped.
float RemoteFraction(int16_t lowByte) {
    return static_cast<float>(lowByte & kRemoteQuarters) / 256.0f;
}

Reading ReadTemperatures() {
    // Still read while held, so a lost link is found as soon as ever; nothing is stored.
    const bool held = ReadingsHeld();
    // The high bytes are never two's complement: the extended range is an offset of 64.
    const float offset = ExtendedRange ? kExtendedRangeOffset : 0;
    const auto store = [held, offset](int channel, float reading) {
        if (!held)
            Temperatures[channel] = reading - offset;
    };
    store(0, static_cast<float>(ReadChip(kLocalTemp)));
    const float f1 = RemoteFraction(ReadChip(kRemote1TempLow));
    store(1, static_cast<float>(ReadChip(kRemote1TempHigh)) + f1);
    const float f2 = RemoteFraction(ReadChip(kRemote2TempLow));
    store(2, static_cast<float>(ReadChip(kRemote2TempHigh)) + f2);
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

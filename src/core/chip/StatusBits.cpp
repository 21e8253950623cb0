#include "chip/StatusBits.h"

namespace {
AlarmBits laneBit(int channel, StatusKind kind) {
    return AlarmBits(1u << (channel * kStatusKindCount + int(kind)));
}
} // namespace

const char* StatusKindWord(StatusKind kind) {
    static const char* const kWords[] = {"high", "low", "THERM", "open diode", "ALERT"};
    return kWords[static_cast<int>(kind)];
}

std::vector<LampSetting> LampsOfStatusRead(int32_t statusRegister, uint8_t status) {
    std::vector<LampSetting> lamps;
    for (const StatusBit& bit : kStatusBits)
        if (bit.secondRegister == (statusRegister == kStatus2))
            lamps.push_back({bit.lamp, (status & bit.mask) != 0});
    return lamps;
}

int AlarmLane(const StatusBit& bit) {
    return bit.channel < 0 ? -1 : bit.channel * kStatusKindCount + int(bit.kind);
}

AlarmBits AlarmBitsOf(uint8_t status1, uint8_t status2) {
    AlarmBits bits = 0;
    for (const StatusBit& bit : kStatusBits)
        if (AlarmLane(bit) >= 0 && ((bit.secondRegister ? status2 : status1) & bit.mask))
            bits |= AlarmBits(1u << AlarmLane(bit));
    return bits;
}

bool AlarmSet(AlarmBits bits, int channel, StatusKind kind) {
    return (bits & laneBit(channel, kind)) != 0;
}

int StatusBitIndex(const StatusBit& bit) {
    int index = 0;
    while (index < 7 && (bit.mask >> index) != 1)
        ++index;
    return index;
}

#include "cli/CliStatus.h"

#include "device/ChipAccess.h"
#include "views/AlarmMarkRules.h"
#include "views/StatusLamps.h"

ChipStatus ReadChipStatus() {
    const auto status1 = static_cast<uint8_t>(ReadChip(kStatus1));
    return {status1, static_cast<uint8_t>(ReadChip(kStatus2))};
}

QString ChannelFault(const ChipStatus& status, int channel) {
    return AlarmSet(AlarmBitsOf(status.status1, status.status2), channel, AlarmKind::OpenDiode) ? kOpenDiode
                                                                                                : QString();
}

QStringList ChannelAlarms(const ChipStatus& status, int channel) {
    const AlarmBits bits = AlarmBitsOf(status.status1, status.status2);
    QStringList alarms;
    if (AlarmSet(bits, channel, AlarmKind::High))
        alarms << "high";
    if (AlarmSet(bits, channel, AlarmKind::Low))
        alarms << "low";
    if (AlarmSet(bits, channel, AlarmKind::Therm))
        alarms << "THERM";
    return alarms;
}

bool AlertSet(const ChipStatus& status) {
    return (status.status2 & kStatus2Alert) != 0;
}

Cell StatusChannelCell(const QString& key, int channel, double celsius, const ChipStatus& status) {
    return ChannelCell(key, celsius, ChannelFault(status, channel), ChannelAlarms(status, channel));
}

Report StatusVerb() {
    const ChipStatus status = ReadChipStatus();
    Report report{"status"};
    for (const StatusLampBit& lamp : kStatusLamps) {
        const uint8_t value = lamp.secondRegister ? status.status2 : status.status1;
        int bit = 0;
        while (bit < 7 && (lamp.mask >> bit) != 1)
            ++bit;
        report.rows.push_back({ByteCell("register", lamp.secondRegister ? kStatus2 : kStatus1),
                               ByteCell("value", value), NumberCell("bit", bit, {}),
                               TextCell("name", QString(lamp.caption).simplified()),
                               FlagCell("set", (value & lamp.mask) != 0)});
    }
    return report;
}

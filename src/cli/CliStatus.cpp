#include "cli/CliStatus.h"

#include "chip/StatusBits.h"
#include "device/ChipAccess.h"

ChipStatus ReadChipStatus() {
    const auto status1 = static_cast<uint8_t>(ReadChip(kStatus1));
    return {status1, static_cast<uint8_t>(ReadChip(kStatus2))};
}

QString ChannelFault(const ChipStatus& status, int channel) {
    const AlarmBits bits = AlarmBitsOf(status.status1, status.status2);
    return AlarmSet(bits, channel, StatusKind::OpenDiode) ? kOpenDiode : QString();
}

QStringList ChannelAlarms(const ChipStatus& status, int channel) {
    const AlarmBits bits = AlarmBitsOf(status.status1, status.status2);
    QStringList alarms;
    for (const StatusKind kind : {StatusKind::High, StatusKind::Low, StatusKind::Therm})
        if (AlarmSet(bits, channel, kind))
            alarms << StatusKindWord(kind);
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
    for (const StatusBit& bit : kStatusBits) {
        const uint8_t value = bit.secondRegister ? status.status2 : status.status1;
        report.rows.push_back({ByteCell("register", bit.secondRegister ? kStatus2 : kStatus1),
                               ByteCell("value", value), NumberCell("bit", StatusBitIndex(bit), {}),
                               TextCell("name", QString(bit.caption).simplified()),
                               FlagCell("set", (value & bit.mask) != 0)});
    }
    return report;
}

#include "views/RegisterOverview.h"

#include "chip/ChipRegisters.h"
#include "chip/TemperatureCodec.h"
#include "device/NumberText.h"
#include "views/LimitEncoding.h"

#include <QHash>
#include <QStringList>

using RegMapStuff::RegisterTable;

namespace {

// A remote value split into a whole-degree byte and a byte of quarters (bits 7..6).
struct SplitValue {
    uint8_t highRead;
    uint8_t lowRead;
};
constexpr SplitValue kSplitValues[] = {
    {kRemote1TempHigh, kRemote1TempLow},
    {kRemote1HighLimitHighRead, kRemote1HighLimitLow},
    {kRemote1LowLimitHighRead, kRemote1LowLimitLow},
    {kRemote2TempHigh, kRemote2TempLow},
    {kRemote2HighLimitHigh, kRemote2HighLimitLow},
    {kRemote2LowLimitHigh, kRemote2LowLimitLow},
};
// Registers of whole degrees in the range in force.
constexpr uint8_t kWholeDegreeReads[] = {kLocalTemp,       kLocalHighLimitRead, kLocalLowLimitRead,
                                         kLocalThermLimit, kRemote1ThermLimit,  kRemote2ThermLimit};

bool isSharedSecond(int index) {
    return RegMapStuff::FindRegisterByReadAddr(RegisterTable[index].ReadAddr) != index;
}

// The record holding the other byte of a shared or own remote register: the second
// record of a shared pair pairs with the second record of the other pair.
int partnerIndex(int index, uint8_t partnerRead) {
    const int first = RegMapStuff::FindRegisterByReadAddr(partnerRead);
    return isSharedSecond(index) ? first + 1 : first;
}

bool isShared(int index) {
    const int first = RegMapStuff::FindRegisterByReadAddr(RegisterTable[index].ReadAddr);
    const int other = isSharedSecond(index) ? first : index + 1;
    return other < RegMapStuff::kRegisterCount && other != index &&
           RegisterTable[other].ReadAddr == RegisterTable[index].ReadAddr;
}

QString degrees(double value) {
    return TrimmedNumber(value) + " °C";
}

QString rangeEncoding(bool extended) {
    return extended ? "extended range -64..191 °C, offset binary (byte - 64)"
                    : "normal range 0..127 °C, binary";
}

const QHash<QString, QString>& fieldMeanings() {
    static const QHash<QString, QString> meanings{
        {"Bsy", "busy: a conversion is running"},
        {"LHgh", "Local above its high limit"},
        {"LLow", "Local below its low limit"},
        {"R1Hgh", "Remote 1 above its high limit"},
        {"R1Lw", "Remote 1 below its low limit"},
        {"D1ON", "Remote 1 diode open"},
        {"R1TM1", "Remote 1 above its THERM limit"},
        {"LTM1", "Local above its THERM limit"},
        {"R2Hg", "Remote 2 above its high limit"},
        {"R2LW", "Remote 2 below its low limit"},
        {"D2ON", "Remote 2 diode open"},
        {"R2TM1", "Remote 2 above its THERM limit"},
        {"ALRT", "ALERT output asserted"},
        {"Msk", "1 masks the ALERT output"},
        {"Mn/Sty", "1 puts the chip in standby"},
        {"AL/TH", "pin 8: 0 ALERT, 1 THERM2"},
        {"Res", "reserved"},
        {"Rm1/2", "shared remote registers: 0 Remote 1, 1 Remote 2"},
        {"TmpR", "1 selects the extended range -64..191 °C"},
        {"MkR1", "1 masks Remote 1 from ALERT"},
        {"MkR2", "1 masks Remote 2 from ALERT"},
        {"Avg", "1 turns averaging off"},
        {"ChSel", "channel selection"},
        {"ConR", "conversion rate code (bits 3..0)"},
        {"LckB", "1 locks the limit and configuration registers"},
        {"-", "carries no value bit"},
    };
    return meanings;
}

QString fieldMeaning(const QString& name) {
    const QString trimmed = name.trimmed();
    bool isNumber = false;
    const int valueBit = trimmed.toInt(&isNumber);
    if (isNumber)
        return QString("value bit %1").arg(valueBit);
    return fieldMeanings().value(trimmed, trimmed);
}

} // namespace

bool RecordOnBus(int index, bool remote2Selected) {
    return !isShared(index) || isSharedSecond(index) == remote2Selected;
}

bool IsStatusRecord(int index) {
    const int32_t address = RegisterTable[index].ReadAddr;
    return address == kStatus1 || address == kStatus2;
}

RegisterSnapshot TakeRegisterSnapshot(bool includeStatus, const std::function<int(int32_t)>& readRegister) {
    RegisterSnapshot snapshot;
    for (int i = 1; i < RegMapStuff::kRegisterCount; ++i) {
        if (!includeStatus && IsStatusRecord(i))
            continue;
        snapshot.values[i] = static_cast<uint8_t>(readRegister(RegisterTable[i].ReadAddr));
    }
    return snapshot;
}

QString OverviewHex(uint8_t value) {
    return "0x" + HexText(value);
}

QString BitMeanings(int index, uint8_t value) {
    const QStringList names = RegisterTable[index].BitNames.split(':');
    QStringList lines;
    for (int i = 0; i < names.size(); ++i) {
        const int bit = 7 - i;
        lines << QString("bit %1 %2 = %3: %4")
                     .arg(bit)
                     .arg(names[i].trimmed())
                     .arg((value >> bit) & 1)
                     .arg(fieldMeaning(names[i]));
    }
    return lines.join('\n');
}

std::vector<OverviewRow> OverviewRows(const RegisterSnapshot& snapshot) {
    const int config1 = RegMapStuff::FindRegisterByReadAddr(kConfig1Read);
    const uint8_t config = snapshot.values[config1].value_or(0);
    const bool extended = config & kConfig1ExtendedRange;
    const bool remote2Selected = config & kConfig1Remote2Select;

    std::vector<OverviewRow> rows;
    for (int i = 1; i < RegMapStuff::kRegisterCount; ++i) {
        const RegisterRecord& record = RegisterTable[i];
        OverviewRow row;
        row.index = i;
        row.readAddr = record.ReadAddr;
        row.writeAddr = record.WriteAddr;
        row.name = record.Description;
        row.defaultValue = static_cast<uint8_t>(record.DefaultValue);
        row.readOnly = record.ReadOnly;
        row.value = snapshot.values[i];
        if (!row.value)
            row.valueNote =
                IsStatusRecord(i) ? "not read: reading clears latched bits (Read All reads it)" : "not read";
        // A shared address shows one remote channel: the other record's value is not on the chip's bus.
        if (row.value && !RecordOnBus(i, remote2Selected)) {
            row.value.reset();
            row.valueNote = remote2Selected ? "Configuration Reg 1 bit 3 selects Remote 2"
                                            : "Configuration Reg 1 bit 3 selects Remote 1";
        }
        if (row.value) {
            const uint8_t v = *row.value;
            row.differsFromDefault = v != row.defaultValue;
            row.bitMeanings = BitMeanings(i, v);
            for (uint8_t read : kWholeDegreeReads)
                if (record.ReadAddr == read) {
                    row.celsius = WholeDegreeCelsius(v, extended);
                    row.temperature = degrees(*row.celsius);
                    row.encoding = rangeEncoding(extended);
                }
            for (const SplitValue& split : kSplitValues) {
                if (record.ReadAddr == split.highRead) {
                    const auto low = snapshot.values[partnerIndex(i, split.lowRead)];
                    row.celsius = RemoteQuarterCelsius(v, low.value_or(0), extended);
                    row.temperature = degrees(*row.celsius);
                    row.encoding = rangeEncoding(extended) +
                                   (low ? ", quarters from the low byte" : ", low byte not read");
                } else if (record.ReadAddr == split.lowRead) {
                    row.celsius = RemoteQuarterCelsius(0, v, false);
                    row.temperature = "+" + degrees(*row.celsius);
                    row.encoding = "quarter degrees in bits 7..6";
                }
            }
            if (record.ReadAddr == kThermHysteresis) {
                row.celsius = v;
                row.temperature = degrees(v);
                row.encoding = "a difference in whole degrees, not shifted by the range";
            }
        }
        rows.push_back(row);
    }
    return rows;
}

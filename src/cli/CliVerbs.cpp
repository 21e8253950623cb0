#include "cli/CliVerbs.h"

#include "chip/ChipRegisters.h"
#include "chip/TemperatureCodec.h"
#include "cli/CliExit.h"
#include "cli/CliMeasure.h"
#include "cli/CliRegisters.h"
#include "cli/CliStatus.h"
#include "device/ChipAccess.h"
#include "device/RegMapStuff.h"
#include "device/USBStuff.h"
#include "views/ConfigBits.h"
#include "views/LimitEncoding.h"
#include "views/RegisterOverview.h"

#include <QRegularExpression>
#include <cmath>
#include <map>

using RegMapStuff::RegisterTable;

namespace {
const QString kCelsius = QStringLiteral("°C");

int readChip(int32_t readAddr) {
    return ReadChip(readAddr);
}

// The channel whose temperature a register holds, or -1.
int temperatureChannel(int32_t readAddr) {
    if (readAddr == kLocalTemp)
        return 0;
    if (readAddr == kRemote1TempHigh || readAddr == kRemote1TempLow)
        return USBStuff::ProgramChip().Remote2Selected ? 2 : 1;
    if (readAddr == kRemote2TempHigh || readAddr == kRemote2TempLow)
        return 2;
    return -1;
}

// The status bits among the registers read; a status register not read counts as clear,
// as read and dump read the status only when it is asked for.
ChipStatus snapshotStatus(const RegisterSnapshot& snapshot) {
    const auto valueAt = [&](int32_t readAddr) {
        const std::optional<uint8_t> value = snapshot.values[RegMapStuff::FindRegisterByReadAddr(readAddr)];
        return value.value_or(0);
    };
    return {valueAt(kStatus1), valueAt(kStatus2)};
}

Row overviewRow(const OverviewRow& row, bool withTable, const ChipStatus& status) {
    Row cells{ByteCell("register", row.readAddr)};
    if (withTable)
        cells.push_back(row.writeAddr ? ByteCell("write_address", row.writeAddr)
                                      : MissingCell("write_address", {}, "read-only"));
    cells.push_back(TextCell("name", row.name));
    cells.push_back(row.value ? ByteCell("value", *row.value) : MissingCell("value", {}, row.valueNote));
    if (withTable) {
        cells.push_back(ByteCell("default", row.defaultValue));
        cells.push_back(FlagCell("differs", row.differsFromDefault));
        cells.push_back(FlagCell("read_only", row.readOnly));
    }
    // The byte stays as read (0xFF for an open diode); only the °C cell gives way to the fault.
    const int channel = temperatureChannel(row.readAddr);
    const QString fault = channel < 0 ? QString() : ChannelFault(status, channel);
    if (!fault.isEmpty())
        cells.push_back(ChannelCell("temperature", 0, fault, {}));
    else
        cells.push_back(row.celsius ? NumberCell("temperature", *row.celsius, kCelsius)
                                    : MissingCell("temperature", kCelsius, "holds no temperature"));
    cells.push_back(TextCell("note", row.value ? QString() : row.valueNote));
    return cells;
}

int recordOf(const QString& operand, bool forWrite) {
    const int index = FindRegisterOperand(operand, forWrite, USBStuff::ProgramChip().Remote2Selected);
    if (index == RegMapStuff::kNotFound)
        throw CliError{kExitUsage,
                       operand + ": no such register (a name of the register table, or an address)"};
    return index;
}

// «16/s (62.5 ms)» from the configuration dialog's «16 (62.5 ms)»; «Continuous» stays.
QString rateText(const QString& item) {
    const QString text = item.simplified();
    const qsizetype blank = text.indexOf(' ');
    return blank < 0 ? text : text.left(blank) + "/s" + text.mid(blank);
}

// The temperatures a whole-degree limit byte holds in each range: bytes are never signed,
// the extended range is an offset of 64 (the limits window's encoding).
struct TemperatureRange {
    double lowest;
    double highest;
};
TemperatureRange rangeOf(bool extended) {
    return {WholeDegreeCelsius(0, extended), WholeDegreeCelsius(255, extended)};
}

QString rangeText(bool extended) {
    const TemperatureRange range = rangeOf(extended);
    return QString("%1 %2..%3 °C").arg(extended ? "extended" : "normal").arg(range.lowest).arg(range.highest);
}
} // namespace

Report ScanReport(const std::vector<ScanHit>& hits) {
    Report report{"scan"};
    for (const ScanHit& hit : hits)
        report.rows.push_back({ByteCell("address", hit.address),
                               ByteCell("manufacturer_id", hit.manufacturerId),
                               ByteCell("die_revision", hit.dieRevision), FlagCell("otk5530", hit.otk5530)});
    return report;
}

Report InfoVerb(const CliConnection& connection) {
    const int config1 = readChip(kConfig1Read);
    const int rate = readChip(kConversionRateRead);
    const int config2 = readChip(kConfig2);
    const ConfigReg1Settings shown = ConfigReg1Shown(config1);
    const std::optional<int> rateItem = ConversionRateItem(rate);
    Report report{"info", {}, true};
    report.rows.push_back({
        TextCell("adapter", connection.adapterDescription),
        FlagCell("simulated", connection.simulated),
        ByteCell("address", USBStuff::ProgramChip().DeviceAddress),
        ByteCell("manufacturer_id", readChip(kManufacturerId)),
        ByteCell("die_revision", readChip(kDieRevision)),
        ByteCell("configuration_1", config1),
        TextCell("range", rangeText(shown.extendedRange)),
        ByteCell("conversion_rate_register", rate),
        rateItem ? TextCell("conversion_rate", rateText(ConversionRateItems().at(*rateItem)))
                 : MissingCell("conversion_rate", {}, "rate code has no rate"),
        FlagCell("averaging", (rate & kConversionRateNoAveraging) == 0),
        FlagCell("standby", shown.standby),
        FlagCell("lock", LockShown(config2)),
        FlagCell("mask_all_alerts", shown.maskAllAlerts),
        FlagCell("mask_remote1", shown.maskRemote1),
        FlagCell("mask_remote2", shown.maskRemote2),
        TextCell("pin8", shown.pin8Therm2 ? "THERM2" : "ALERT"),
        TextCell("shared_registers", shown.remote2OnRemote1 ? "remote2" : "remote1"),
    });
    // The temperatures as measured, with the status: an open diode shows here first.
    Row measured = TemperatureRow({true, true, true});
    measured.erase(measured.begin()); // the time
    report.rows.push_back(measured);
    return report;
}

Report ReadVerb(const QStringList& operands) {
    std::vector<int> records;
    for (const QString& operand : operands)
        records.push_back(recordOf(operand, false));
    // Status registers clear their latched bits when read: only those asked for are read.
    RegisterSnapshot snapshot = TakeRegisterSnapshot(false, readChip);
    for (int index : records)
        if (IsStatusRecord(index) && !snapshot.values[index])
            snapshot.values[index] = static_cast<uint8_t>(readChip(RegisterTable[index].ReadAddr));
    const std::vector<OverviewRow> rows = OverviewRows(snapshot);
    const ChipStatus status = snapshotStatus(snapshot);
    Report report{"read"};
    for (int index : records)
        report.rows.push_back(overviewRow(rows.at(index - 1), false, status));
    return report;
}

Report DumpVerb() {
    Report report{"dump"};
    const RegisterSnapshot snapshot = TakeRegisterSnapshot(true, readChip);
    const ChipStatus status = snapshotStatus(snapshot);
    for (const OverviewRow& row : OverviewRows(snapshot)) {
        Row cells = overviewRow(row, true, status);
        // Every row names the chip, so dumps of several chips can be put together.
        cells.insert(cells.begin(), ByteCell("chip_address", USBStuff::ProgramChip().DeviceAddress));
        report.rows.push_back(cells);
    }
    return report;
}

std::array<std::optional<uint8_t>, 256> DumpBytes() {
    // In address order, as i2cdump reads; an address no record reads at stays empty.
    std::array<std::optional<uint8_t>, 256> bytes{};
    for (int32_t address = 0; address < 256; ++address)
        if (RegMapStuff::FindRegisterByReadAddr(address) != RegMapStuff::kNotFound)
            bytes[static_cast<size_t>(address)] = static_cast<uint8_t>(readChip(address));
    return bytes;
}

namespace {
// The register and byte of a write, both checked.
std::pair<int, int> writeOperands(const QStringList& operands) {
    const int index = recordOf(operands.at(0), true);
    const RegisterRecord& record = RegisterTable[index];
    const std::optional<int> value = ParseByteText(operands.at(1));
    if (!value)
        throw CliError{kExitUsage, operands.at(1) + ": not a byte (0..255 or 0x00..0xFF)"};
    if (record.ReadOnly)
        throw CliError{kExitUsage, operands.at(0) + ": " + record.Description + " is read-only"};
    return {index, *value};
}
} // namespace

Report WriteVerb(const QStringList& operands, std::optional<int> mask, int& status) {
    const auto [index, value] = writeOperands(operands);
    const RegisterRecord& record = RegisterTable[index];
    if (!RecordOnBus(index, USBStuff::ProgramChip().Remote2Selected))
        throw CliError{kExitUsage,
                       operands.at(0) + ": " + record.Description +
                           " is not reachable now: Configuration Reg 1 bit 3 selects the other channel"};
    const int bits = mask.value_or(0xFF);
    const int before = bits == 0xFF ? -1 : readChip(record.ReadAddr);
    const int written = bits == 0xFF ? value : ((before & ~bits) | (value & bits)) & 0xFF;
    WriteChip(record.WriteAddr, written);
    const int readBack = readChip(record.ReadAddr);
    const bool matches = ((readBack ^ written) & bits) == 0;
    Report report{"write"};
    report.rows.push_back(
        {ByteCell("register", record.WriteAddr), TextCell("name", record.Description),
         before < 0 ? MissingCell("before", {}, "not read: no mask") : ByteCell("before", before),
         ByteCell("mask", bits), ByteCell("written", written), ByteCell("read_back", readBack),
         FlagCell("matches", matches)});
    status = matches ? kExitSuccess : kExitMismatch;
    return report;
}

namespace {
const QStringList kKinds{"low", "high", "therm"};

// The limits gauge that holds a channel's limits now, or none while the shared remote
// registers reach Remote 2 and Remote 1's are out of reach.
std::optional<int> gaugeOf(int channel) {
    if (channel == 1 && USBStuff::ProgramChip().Remote2Selected)
        return std::nullopt;
    return channel;
}

double& limitOf(GaugeLimits& limits, int kind) {
    return kind == 0 ? limits.low : kind == 1 ? limits.high : limits.therm;
}

struct LimitSetting {
    int channel;
    int kind;
    std::optional<double> celsius;
    QString operand;
};

double stepOf(int channel, int kind) {
    const GaugeLimitSteps steps = LimitStepsOfGauge(channel);
    return kind == 0 ? steps.low : kind == 1 ? steps.high : steps.therm;
}

// The lowest and highest temperature the limit holds in the range: a quarter-degree limit
// reaches .75 above its whole-degree byte.
TemperatureRange limitRange(int channel, int kind, bool extended) {
    const TemperatureRange range = rangeOf(extended);
    return {range.lowest, range.highest + 1 - stepOf(channel, kind)};
}

// The syntax and the resolution; the range is checked once the chip's range is known.
LimitSetting parseLimit(const QString& operand) {
    static const QRegularExpression shape("^([a-z0-9]+)\\.([a-z]+)(?:=(.*))?$");
    const QRegularExpressionMatch match = shape.match(operand.trimmed().toLower());
    const qsizetype channel = match.hasMatch() ? ChannelNames().indexOf(match.captured(1)) : -1;
    const qsizetype kind = match.hasMatch() ? kKinds.indexOf(match.captured(2)) : -1;
    if (channel < 0 || kind < 0)
        throw CliError{kExitUsage,
                       operand + ": not a limit (local|remote1|remote2 . high|low|therm, =°C to set)"};
    LimitSetting setting{static_cast<int>(channel), static_cast<int>(kind), std::nullopt, operand};
    if (match.capturedLength(3) == 0 && !match.captured(0).contains('='))
        return setting;
    bool ok = false;
    const double value = match.captured(3).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw CliError{kExitUsage, operand + ": not a temperature in °C"};
    setting.celsius = value;
    return setting;
}

// What the limits window's encoding keeps of a value.
double keptLimit(int channel, int kind, double value, bool extended) {
    if (stepOf(channel, kind) == 1)
        return WholeDegreeCelsius(WholeDegreeLimitByte(value, extended), extended);
    return RemoteQuarterCelsius(RemoteLimitHighByte(value, extended), RemoteLimitFractionByte(value),
                                extended);
}

// The value against the range in force, with the bounds info shows, and against what the
// registers hold: a value they cannot hold exactly is refused, never rounded behind the
// user's back, with the nearest values they can hold.
void checkLimit(const LimitSetting& setting, bool extended) {
    const TemperatureRange range = limitRange(setting.channel, setting.kind, extended);
    const double value = *setting.celsius;
    const QString rangeName = extended ? "extended" : "normal";
    if (value < range.lowest || value > range.highest)
        throw CliError{kExitUsage,
                       QString("%1: not a temperature this limit holds in the %2 range (%3..%4 °C)")
                           .arg(setting.operand, rangeName)
                           .arg(range.lowest)
                           .arg(range.highest)};
    const auto holds = [&](double v) {
        return v >= range.lowest && v <= range.highest &&
               keptLimit(setting.channel, setting.kind, v, extended) == v;
    };
    if (holds(value))
        return;
    const double step = stepOf(setting.channel, setting.kind);
    double below = std::floor(value / step) * step;
    double above = below + step;
    while (below >= range.lowest && !holds(below))
        below -= step;
    while (above <= range.highest && !holds(above))
        above += step;
    QStringList nearest;
    if (below >= range.lowest)
        nearest << QString::number(below);
    if (above <= range.highest)
        nearest << QString::number(above);
    throw CliError{kExitUsage,
                   QString("%1: this limit holds %2 degrees only; the nearest values it can hold "
                           "are %3 °C")
                       .arg(setting.operand, step < 1 ? "quarter" : "whole", nearest.join(" and "))};
}
} // namespace

Report LimitsVerb(const QStringList& operands, bool force, int& status) {
    const bool extended = USBStuff::ProgramChip().ExtendedRange;
    std::vector<LimitSetting> settings;
    for (const QString& operand : operands)
        settings.push_back(parseLimit(operand));
    if (settings.empty())
        for (int channel = 0; channel < 3; ++channel)
            for (int kind : {1, 0, 2})
                settings.push_back({channel, kind, std::nullopt, {}});
    std::map<int, GaugeLimits> planned;
    for (const LimitSetting& setting : settings) {
        if (!setting.celsius)
            continue;
        const std::optional<int> gauge = gaugeOf(setting.channel);
        if (!gauge)
            throw CliError{kExitUsage,
                           ChannelNames()[setting.channel] +
                               " limits are not reachable now: Configuration Reg 1 bit 3 selects Remote 2"};
        checkLimit(setting, extended);
        if (!planned.count(*gauge))
            planned[*gauge] = ReadGaugeLimitBytes(*gauge, extended, readChip);
        limitOf(planned[*gauge], setting.kind) = *setting.celsius;
    }
    // Checked for every gauge before the first write: a refusal leaves every limit as it was.
    for (const auto& [gauge, limits] : planned)
        if (limits.low > limits.high && !force)
            throw CliError{kExitUsage, QString("%1: the low limit %2 °C would lie above the high limit %3 °C "
                                               "(--force sets it all the same); nothing was written")
                                           .arg(ChannelNames()[gauge])
                                           .arg(limits.low)
                                           .arg(limits.high)};

    status = kExitSuccess;
    Report report{"limits"};
    for (const LimitSetting& setting : settings) {
        const std::optional<int> gauge = gaugeOf(setting.channel);
        Row row{TextCell("channel", ChannelNames()[setting.channel]), TextCell("kind", kKinds[setting.kind])};
        if (!gauge) {
            row.push_back(MissingCell("limit", kCelsius, "Configuration Reg 1 bit 3 selects Remote 2"));
            row.push_back(MissingCell("set", kCelsius, "not set"));
            report.rows.push_back(row);
            continue;
        }
        if (setting.celsius) {
            // Every limit register of the gauge is written, as the limits window does.
            GaugeLimits limits = ReadGaugeLimitBytes(*gauge, extended, readChip);
            limitOf(limits, setting.kind) = *setting.celsius;
            for (const LimitWrite& write : GaugeLimitWrites(*gauge, limits, extended))
                WriteChip(write.reg, write.data);
        }
        GaugeLimits limits = ReadGaugeLimitBytes(*gauge, extended, readChip);
        const double now = limitOf(limits, setting.kind);
        row.push_back(NumberCell("limit", now, kCelsius));
        row.push_back(setting.celsius ? NumberCell("set", *setting.celsius, kCelsius)
                                      : MissingCell("set", kCelsius, "not set"));
        // Only exact values are taken: the chip must read back the value itself.
        if (setting.celsius && *setting.celsius != now)
            status = kExitMismatch;
        report.rows.push_back(row);
    }
    return report;
}

void CheckVerbOperands(const CliArgs& args) {
    if (args.verb == "read")
        for (const QString& operand : args.operands)
            recordOf(operand, false);
    if (args.verb == "write")
        writeOperands(args.operands);
    // The range in force is the chip's, checked once it is read; a value neither range
    // holds is refused before the chip is touched.
    if (args.verb == "limits")
        for (const QString& operand : args.operands) {
            const LimitSetting setting = parseLimit(operand);
            const double lowest = limitRange(setting.channel, setting.kind, true).lowest;
            const double highest = limitRange(setting.channel, setting.kind, false).highest;
            if (setting.celsius && (*setting.celsius < lowest || *setting.celsius > highest))
                throw CliError{kExitUsage, QString("%1: not a temperature this limit holds in either range "
                                                   "(%2..%3 °C)")
                                               .arg(operand)
                                               .arg(lowest)
                                               .arg(highest)};
        }
}

#include "cli/CliVerbs.h"

#include "adapter/ChipRegisters.h"
#include "cli/CliExit.h"
#include "cli/CliRegisters.h"
#include "device/ChipAccess.h"
#include "device/GeneralStuff.h"
#include "device/RegMapStuff.h"
#include "views/ConfigBits.h"
#include "views/LimitEncoding.h"
#include "views/RegisterOverview.h"

#include <QRegularExpression>
#include <cmath>

using RegMapStuff::RegisterTable;

namespace {
const QString kCelsius = QStringLiteral("°C");

int readChip(int32_t readAddr) {
    return ReadChip(readAddr);
}

Row overviewRow(const OverviewRow& row, bool withTable) {
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
    cells.push_back(row.celsius ? NumberCell("temperature", *row.celsius, kCelsius)
                                : MissingCell("temperature", kCelsius, "holds no temperature"));
    cells.push_back(TextCell("note", row.value ? QString() : row.valueNote));
    return cells;
}

int recordOf(const QString& operand, bool forWrite) {
    const int index = FindRegisterOperand(operand, forWrite, GeneralStuff::Remote2Selected);
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

// The temperatures a register byte holds in each range: binary, or offset by 64.
struct TemperatureRange {
    double lowest;
    double highest;
};
TemperatureRange rangeOf(bool extended) {
    return extended ? TemperatureRange{-64, 191} : TemperatureRange{0, 127};
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
        ByteCell("address", GeneralStuff::DeviceAddress),
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
    Report report{"read"};
    for (int index : records)
        report.rows.push_back(overviewRow(rows.at(index - 1), false));
    return report;
}

Report DumpVerb() {
    Report report{"dump"};
    for (const OverviewRow& row : OverviewRows(TakeRegisterSnapshot(true, readChip)))
        report.rows.push_back(overviewRow(row, true));
    return report;
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
    if (!RecordOnBus(index, GeneralStuff::Remote2Selected))
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
    if (channel == 1 && GeneralStuff::Remote2Selected)
        return std::nullopt;
    return channel;
}

// The limit registers are written at their own addresses but read at others (local, shared remote).
int32_t writeAddressOf(int gauge, int32_t readAddr) {
    const LimitRegisters& r = GaugeLimitRegisters(gauge);
    return readAddr == r.lowRead ? r.lowWrite : readAddr == r.highRead ? r.highWrite : readAddr;
}

double& limitOf(GaugeLimits& limits, int kind) {
    return kind == 0 ? limits.low : kind == 1 ? limits.high : limits.therm;
}

struct LimitSetting {
    int channel;
    int kind;
    std::optional<double> celsius;
};

// `extended` picks the range a value must lie in.
LimitSetting parseLimit(const QString& operand, bool extended) {
    static const QRegularExpression shape("^([a-z0-9]+)\\.([a-z]+)(?:=(.*))?$");
    const QRegularExpressionMatch match = shape.match(operand.trimmed().toLower());
    const qsizetype channel = match.hasMatch() ? ChannelNames().indexOf(match.captured(1)) : -1;
    const qsizetype kind = match.hasMatch() ? kKinds.indexOf(match.captured(2)) : -1;
    if (channel < 0 || kind < 0)
        throw CliError{kExitUsage,
                       operand + ": not a limit (local|remote1|remote2 . high|low|therm, =°C to set)"};
    LimitSetting setting{static_cast<int>(channel), static_cast<int>(kind), std::nullopt};
    if (match.capturedLength(3) == 0 && !match.captured(0).contains('='))
        return setting;
    bool ok = false;
    const double value = match.captured(3).toDouble(&ok);
    const TemperatureRange range = rangeOf(extended);
    if (!ok || !std::isfinite(value) || value < range.lowest || value > range.highest)
        throw CliError{kExitUsage, operand + ": not a temperature of the " + rangeText(extended) + " range"};
    setting.celsius = value;
    return setting;
}
} // namespace

Report LimitsVerb(const QStringList& operands, int& status) {
    const bool extended = GeneralStuff::ExtendedRange;
    std::vector<LimitSetting> settings;
    for (const QString& operand : operands)
        settings.push_back(parseLimit(operand, extended));
    if (settings.empty())
        for (int channel = 0; channel < 3; ++channel)
            for (int kind : {1, 0, 2})
                settings.push_back({channel, kind, std::nullopt});
    for (const LimitSetting& setting : settings)
        if (setting.celsius && !gaugeOf(setting.channel))
            throw CliError{kExitUsage,
                           ChannelNames()[setting.channel] +
                               " limits are not reachable now: Configuration Reg 1 bit 3 selects Remote 2"};

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
        std::optional<double> expected;
        if (setting.celsius) {
            // Every limit register of the gauge is written, as the limits window does.
            GaugeLimits limits = ReadGaugeLimitBytes(*gauge, extended, readChip);
            limitOf(limits, setting.kind) = *setting.celsius;
            const std::vector<LimitWrite> writes = GaugeLimitWrites(*gauge, limits, extended);
            for (const LimitWrite& write : writes)
                WriteChip(write.reg, write.data);
            // What the encoding keeps of the value: the chip must read back exactly that.
            GaugeLimits kept = ReadGaugeLimitBytes(*gauge, extended, [&](int32_t readAddr) {
                const int32_t writeAddr = writeAddressOf(*gauge, readAddr);
                for (const LimitWrite& write : writes)
                    if (write.reg == writeAddr)
                        return write.data;
                return 0;
            });
            expected = limitOf(kept, setting.kind);
        }
        GaugeLimits limits = ReadGaugeLimitBytes(*gauge, extended, readChip);
        const double now = limitOf(limits, setting.kind);
        row.push_back(NumberCell("limit", now, kCelsius));
        row.push_back(setting.celsius ? NumberCell("set", *setting.celsius, kCelsius)
                                      : MissingCell("set", kCelsius, "not set"));
        if (expected && *expected != now)
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
    // The range in force is the chip's: here only the widest, the extended range, is known.
    if (args.verb == "limits")
        for (const QString& operand : args.operands)
            parseLimit(operand, true);
}

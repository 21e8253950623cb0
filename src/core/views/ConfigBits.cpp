#include "views/ConfigBits.h"

#include "chip/ChipRegisters.h"
#include "device/NumberText.h"

namespace {
bool has(int32_t value, uint8_t mask) {
    return (value & mask) != 0;
}

int32_t withBits(int32_t value, uint8_t mask, bool set) {
    return set ? value | mask : value & ~mask;
}

constexpr int kMaxHysteresis = 255;
} // namespace

ConfigReg1Settings ConfigReg1Shown(int32_t value) {
    return {has(value, kConfig1MaskAll),       has(value, kConfig1Standby),
            has(value, kConfig1Pin8Therm2),    has(value, kConfig1Remote2Select),
            has(value, kConfig1ExtendedRange), has(value, kConfig1MaskRemote1),
            has(value, kConfig1MaskRemote2)};
}

int32_t ConfigReg1Applied(int32_t value, const ConfigReg1Settings& s) {
    value = withBits(value, kConfig1MaskAll, s.maskAllAlerts);
    value = withBits(value, kConfig1Standby, s.standby);
    value = withBits(value, kConfig1Remote2Select, s.remote2OnRemote1);
    value = withBits(value, kConfig1ExtendedRange, s.extendedRange);
    value = withBits(value, kConfig1MaskRemote1, s.maskRemote1);
    value = withBits(value, kConfig1MaskRemote2, s.maskRemote2);
    return withBits(value, kConfig1Pin8Therm2, s.pin8Therm2);
}

const QStringList& ConversionRateItems() {
    static const QStringList items{"0.0625 (16 sec)", "0.125 (8 sec)", "0.25  (4 sec)", "0.5 (2 sec)",
                                   "1 (1 sec)",       "2 (500 ms)",    "4 (250 ms)",    "8 (125 ms)",
                                   "16 (62.5 ms)",    "32 (31.25 ms)", "Continuous"};
    return items;
}

std::optional<int> ConversionRateItem(int32_t value) {
    const int code = value & kConversionRateCode;
    if (code >= ConversionRateItems().size())
        return std::nullopt;
    return code;
}

int32_t ConversionRateApplied(int32_t value, bool averagingDisabled, std::optional<int> item) {
    const int32_t code = item ? *item : (value & kConversionRateCode);
    return withBits(static_cast<uint8_t>(value & ~kConversionRateCode) | code, kConversionRateNoAveraging,
                    averagingDisabled);
}

bool LockShown(int32_t value) {
    return has(value, kConfig2Lock);
}

int32_t LockApplied(int32_t value, bool locked) {
    return withBits(value, kConfig2Lock, locked);
}

std::optional<int32_t> HysteresisFromText(const QString& text) {
    // Blanks count for nothing anywhere in the number: "1 2" is 12, not 1.
    QString compact = text;
    compact.remove(' ').remove('\t');
    const double whole = RoundHalfEven(ValueOfText(compact));
    if (whole < 0)
        return std::nullopt;
    // Compared as a double first: a huge number must not wrap on its way to 32 bits.
    if (whole > kMaxHysteresis)
        return kMaxHysteresis;
    return static_cast<int32_t>(whole);
}

#include "views/ConfigBits.h"

#include "device/NumberText.h"

namespace {
bool bit(int32_t value, int n) {
    return (value >> n) & 1;
}

int32_t withBit(int32_t value, int n, bool set) {
    return set ? value | (1 << n) : value & ~(1 << n);
}

constexpr int kMaxHysteresis = 255;
} // namespace

ConfigReg1Settings ConfigReg1Shown(int32_t value) {
    return {bit(value, 7), bit(value, 6), bit(value, 5), bit(value, 3),
            bit(value, 2), bit(value, 1), bit(value, 0)};
}

int32_t ConfigReg1Applied(int32_t value, const ConfigReg1Settings& s) {
    value = withBit(value, 7, s.maskAllAlerts);
    value = withBit(value, 6, s.standby);
    value = withBit(value, 3, s.remote2OnRemote1);
    value = withBit(value, 2, s.extendedRange);
    value = withBit(value, 1, s.maskRemote1);
    value = withBit(value, 0, s.maskRemote2);
    return withBit(value, 5, s.pin8Therm2);
}

const QStringList& ConversionRateItems() {
    static const QStringList items{"0.0625 (16 sec)", "0.125 (8 sec)", "0.25  (4 sec)", "0.5 (2 sec)",
                                   "1 (1 sec)",       "2 (500 ms)",    "4 (250 ms)",    "8 (125 ms)",
                                   "16 (62.5 ms)",    "32 (31.25 ms)", "Continuous"};
    return items;
}

std::optional<int> ConversionRateItem(int32_t value) {
    const int code = value & 0x0F;
    if (code >= ConversionRateItems().size())
        return std::nullopt;
    return code;
}

int32_t ConversionRateApplied(int32_t value, bool averagingDisabled, std::optional<int> item) {
    const int32_t code = item ? *item : (value & 0x0F);
    return withBit((value & 0xF0) | code, 7, averagingDisabled);
}

bool LockShown(int32_t value) {
    return bit(value, 7);
}

int32_t LockApplied(int32_t value, bool locked) {
    return withBit(value, 7, locked);
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

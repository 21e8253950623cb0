#pragma once
// How the configuration dialog shows the chip's settings registers and folds its
// controls back into them. Read-modify-write: bits the dialog does not show keep
// their values. Pure rules: no widget and no chip inside.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// The bits of Configuration Reg 1 that have a control (bit 4 has none).
struct ConfigReg1Settings {
    bool maskAllAlerts = false;    // bit 7
    bool standby = false;          // bit 6
    bool pin8Therm2 = false;       // bit 5: pin 8 is THERM2 rather than ALERT
    bool remote2OnRemote1 = false; // bit 3
    bool extendedRange = false;    // bit 2
    bool maskRemote1 = false;      // bit 1
    bool maskRemote2 = false;      // bit 0
};

ConfigReg1Settings ConfigReg1Shown(int32_t value);
int32_t ConfigReg1Applied(int32_t value, const ConfigReg1Settings& settings);

// The conversion rate list; an item's index is its code in bits 3..0.
const QStringList& ConversionRateItems();
// The item for a Conversion Rate value, or nothing for codes 11 to 15, which have none.
std::optional<int> ConversionRateItem(int32_t value);
// Bit 7 from averagingDisabled, bits 3..0 from the picked item; with no item picked
// the chip's code stays. Bits 6..4 stay.
int32_t ConversionRateApplied(int32_t value, bool averagingDisabled, std::optional<int> item);

// Configuration Reg 2: only bit 7, the register lock, has a control.
bool LockShown(int32_t value);
int32_t LockApplied(int32_t value, bool locked);

// The THERM Hysteresis byte for a typed text: its leading number (blanks anywhere
// ignored) rounded half to even, 0 for text that does not begin with a number, 255 for anything above 255.
// Nothing for a negative number, which the dialog refuses.
std::optional<int32_t> HysteresisFromText(const QString& text);

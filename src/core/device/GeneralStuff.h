#pragma once
// Application-wide state beside the register table, and the update that
// follows every register write.
#include "device/Reading.h"
#include "device/USBStuff.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace GeneralStuff {

// The program's settings and open flags in one struct (the chip's own state is the
// program session's, USBStuff::ProgramChip), so one assignment puts them all back (tests start from it).
struct SharedState {
    bool ContinuousReading = false;
    int32_t ReadInterval = 0;  // ms
    int16_t GraphInterval = 0; // ms
    int32_t LogInterval = 0;   // ms
    std::array<bool, 3> LogChannels{};
    // The last reading; its temperatures are Temperatures.
    Reading LastReading;
    bool LoggingActive = false;
    // Logging state.
    QString LogFileName;
    int16_t FileNumber = 0;
    int32_t LogRowCount = 0;
    // True from a view's load to its unload: the monitoring cycle feeds it only then.
    bool RegMapOpen = false;
    bool LimitsOpen = false;
    bool GraphOpen = false;
};

inline SharedState State;

inline int32_t& DeviceAddress = USBStuff::ProgramChip().DeviceAddress;
inline bool& ContinuousReading = State.ContinuousReading;
inline int32_t& ReadInterval = State.ReadInterval;
inline int16_t& GraphInterval = State.GraphInterval;
inline int32_t& LogInterval = State.LogInterval;
inline std::array<bool, 3>& LogChannels = State.LogChannels;
inline std::array<float, 3>& Temperatures = State.LastReading.temperatures;
inline bool& ExtendedRange = USBStuff::ProgramChip().ExtendedRange;
inline bool& Remote2Selected = USBStuff::ProgramChip().Remote2Selected;
inline bool& LoggingActive = State.LoggingActive;
inline QString& LogFileName = State.LogFileName;
inline int16_t& FileNumber = State.FileNumber;
inline int32_t& LogRowCount = State.LogRowCount;
inline bool& RegMapOpen = State.RegMapOpen;
inline bool& LimitsOpen = State.LimitsOpen;
inline bool& GraphOpen = State.GraphOpen;

void InitDeviceModel();
// Keeps ExtendedRange and Remote2Selected in step with the chip, then tells the
// subscribers (ChipChanges) of the write. The value is the byte sent; the start-up
// update has none.
void AfterRegisterWrite(int32_t writeAddress, std::optional<uint8_t> writtenValue = std::nullopt);
// True while the temperature registers may hold a conversion from before the last
// range switch: the readings then keep their last good values.
bool ReadingsHeld();

inline void ResetSharedState() {
    State = SharedState{};
    USBStuff::ProgramChip().forgetChip();
}

} // namespace GeneralStuff

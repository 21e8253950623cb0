#pragma once
// Application-wide state beside the register table, and the update that
// follows every register write.
#include "device/ViewRegistry.h"

#include <QString>
#include <array>
#include <cstdint>

namespace GeneralStuff {

inline int32_t DeviceAddress = 0;
inline bool ContinuousReading = false;
inline int32_t ReadInterval = 0;  // ms
inline int16_t GraphInterval = 0; // ms
inline int32_t LogInterval = 0;   // ms
inline std::array<bool, 3> LogChannels{};
inline std::array<float, 3> Temperatures{}; // °C: 0 Local, 1 Remote1, 2 Remote2
inline bool ExtendedRange = false;
inline bool Remote2Selected = false;
inline bool RegMapOpen = false;
inline bool LimitsOpen = false;
inline bool GraphOpen = false;
inline bool LoggingActive = false;

// Logging state.
inline QString LogFileName;
inline int16_t FileNumber = 0;
inline int32_t LogRowCount = 0;

// The open windows the device layer and the monitoring cycle may reach.
inline OpenViews Views;

void InitDeviceModel();
void AfterRegisterWrite(int32_t writeAddress);

// Puts every variable back to its value before start-up (tests start from it).
void ResetSharedState();

} // namespace GeneralStuff

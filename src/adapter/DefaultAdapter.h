#pragma once
// Chooses and installs the adapter backend at start: the simulated board (configured by
// OTK5530_SIM), the USB adapter (its id overridable with OTK5530_USB=VID:PID) or a Linux
// I2C bus, named by a choice text "sim", "usb" or "i2c:/dev/i2c-N".
#include <string>

// Installs the backend the choice names and opens its device. False, with a one-line
// message for the user, when the choice or its configuration is refused or the device
// cannot be opened; nothing is installed then. `description` names the adapter in use,
// e.g. "Linux I2C bus /dev/i2c-1".
bool InstallAdapterFromChoice(const std::string& choice, std::string& error, std::string& description);

// The choice when the command line gives none: OTK5530_ADAPTER, or "sim" when it is unset or empty.
bool InstallDefaultAdapter(std::string& error, std::string& description);
bool InstallDefaultAdapter(std::string& error);

#pragma once
// Chooses and installs the adapter backend at start: the simulated board,
// configured by the OTK5530_SIM environment variable.
#include <string>

// False, with a message for the user, when the configuration is refused.
bool InstallDefaultAdapter(std::string& error);

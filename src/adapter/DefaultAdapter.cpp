#include "adapter/DefaultAdapter.h"

#include "adapter/SimBoard.h"
#include "adapter/SimConfig.h"
#include "adapter/USBFunctions.h"

#include <cstdlib>

bool InstallDefaultAdapter(std::string& error) {
    const char* text = std::getenv("OTK5530_SIM");
    SimConfig config;
    if (!ParseSimConfig(text ? text : "", config, error))
        return false;
    InstallAdapter(std::make_unique<SimBoard>(config));
    return true;
}

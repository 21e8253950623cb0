#include "adapter/DefaultAdapter.h"

#include "adapter/AdapterChoice.h"
#include "adapter/I2cAdapter.h"
#include "adapter/LibusbTransport.h"
#include "adapter/SimBoard.h"
#include "adapter/SimConfig.h"
#include "adapter/USBFunctions.h"
#include "adapter/UsbAdapter.h"

#include <cstdlib>

namespace {

std::string environment(const char* name) {
    const char* text = std::getenv(name);
    return text ? text : "";
}

bool installSimulated(std::string& error, std::string& description) {
    SimConfig config;
    if (!ParseSimConfig(environment("OTK5530_SIM"), config, error))
        return false;
    InstallAdapter(std::make_unique<SimBoard>(config));
    description = "Simulated evaluation board";
    return true;
}

bool installUsb(std::string& error, std::string& description) {
    UsbId id = kDefaultUsbId;
    const std::string idText = environment("OTK5530_USB");
    if (!idText.empty() && !ParseUsbId(idText, id, error)) {
        error = "OTK5530_USB: " + error;
        return false;
    }
    auto adapter = std::make_unique<UsbAdapter>(std::make_unique<LibusbTransport>(), id);
    if (!adapter->Open(error))
        return false;
    description = adapter->Description();
    InstallAdapter(std::move(adapter));
    return true;
}

bool installI2c(const std::string& path, std::string& error, std::string& description) {
    auto adapter = std::make_unique<I2cAdapter>(std::make_unique<LinuxI2cDevice>(), path);
    if (!adapter->Open(error))
        return false;
    description = adapter->Description();
    InstallAdapter(std::move(adapter));
    return true;
}

bool install(const AdapterChoice& choice, std::string& error, std::string& description) {
    switch (choice.kind) {
    case AdapterKind::Usb:
        return installUsb(error, description);
    case AdapterKind::LinuxI2c:
        return installI2c(choice.i2cPath, error, description);
    case AdapterKind::Simulated:
        break;
    }
    return installSimulated(error, description);
}

} // namespace

bool InstallAdapterFromChoice(const std::string& choice, std::string& error, std::string& description) {
    AdapterChoice parsed;
    return ParseAdapterChoice(choice, parsed, error) && install(parsed, error, description);
}

bool InstallDefaultAdapter(std::string& error, std::string& description) {
    const std::string text = environment("OTK5530_ADAPTER");
    AdapterChoice choice;
    if (!text.empty() && !ParseAdapterChoice(text, choice, error)) {
        error = "OTK5530_ADAPTER: " + error;
        return false;
    }
    return install(choice, error, description);
}

bool InstallDefaultAdapter(std::string& error) {
    std::string description;
    return InstallDefaultAdapter(error, description);
}

#include "adapter/DefaultAdapter.h"

#include "adapter/AdapterChoice.h"
#include "adapter/FirmwareFile.h"
#include "adapter/I2cAdapter.h"
#include "adapter/LibusbTransport.h"
#include "adapter/SimBoard.h"
#include "adapter/SimConfig.h"
#include "adapter/SimSources.h"
#include "adapter/USBFunctions.h"
#include "adapter/UsbAdapter.h"

#include <cstdlib>

namespace {

std::string environment(const char* name) {
    const char* text = std::getenv(name);
    return text ? text : "";
}

bool installSimulated(AdapterStart& start, std::string& error) {
    SimConfig config;
    if (!ParseSimConfig(environment("OTK5530_SIM"), config, error))
        return false;
    InstallAdapter(std::make_unique<SimBoard>(config));
    const std::string sources = SimSourcesText(config);
    start.description = "Simulated evaluation board" + (sources.empty() ? "" : "; " + sources);
    start.simulated = true;
    return true;
}

bool installUsb(AdapterStart& start, std::string& error) {
    UsbAdapterIds ids;
    const std::string firmwareId = environment("OTK5530_USB");
    if (!firmwareId.empty() && !ParseUsbId(firmwareId, ids.firmware, error)) {
        error = "OTK5530_USB: " + error;
        return false;
    }
    const std::string loaderIds = environment("OTK5530_USB_LOADER");
    if (!loaderIds.empty() && !ParseUsbIds(loaderIds, ids.loader, error)) {
        error = "OTK5530_USB_LOADER: " + error;
        return false;
    }
    // Checked before the adapter is even opened: a real adapter never runs what is not its code.
    const FirmwareCheck firmware = CheckAdapterFirmware(start.firmwarePath.c_str());
    if (firmware.fault != FirmwareFault::None) {
        error = "USB adapter firmware refused: " + firmware.error;
        return false;
    }
    auto adapter = std::make_unique<UsbAdapter>(std::make_unique<LibusbTransport>(), ids);
    if (!adapter->Open(error))
        return false;
    start.description = adapter->Description();
    InstallAdapter(std::move(adapter));
    return true;
}

bool installI2c(const AdapterChoice& choice, AdapterStart& start, std::string& error) {
    auto adapter =
        std::make_unique<I2cAdapter>(std::make_unique<LinuxI2cDevice>(), choice.i2cPath, choice.i2cForce);
    if (!adapter->Open(error))
        return false;
    start.description = adapter->Description();
    if (choice.i2cForce)
        start.warning = "force: addresses that kernel drivers have claimed on " + choice.i2cPath +
                        " are used anyway (I2C_SLAVE_FORCE); the driver and this program may disturb each "
                        "other's transfers";
    InstallAdapter(std::move(adapter));
    return true;
}

bool install(const AdapterChoice& choice, AdapterStart& start, std::string& error) {
    start.simulated = false;
    start.warning.clear();
    switch (choice.kind) {
    case AdapterKind::Usb:
        return installUsb(start, error);
    case AdapterKind::LinuxI2c:
        return installI2c(choice, start, error);
    case AdapterKind::Simulated:
        break;
    }
    return installSimulated(start, error);
}

} // namespace

bool InstallAdapterFromChoice(const std::string& choice, AdapterStart& start, std::string& error) {
    AdapterChoice parsed;
    return ParseAdapterChoice(choice, parsed, error) && install(parsed, start, error);
}

bool InstallDefaultAdapter(AdapterStart& start, std::string& error) {
    const std::string text = environment("OTK5530_ADAPTER");
    AdapterChoice choice;
    if (!text.empty() && !ParseAdapterChoice(text, choice, error)) {
        error = "OTK5530_ADAPTER: " + error;
        return false;
    }
    return install(choice, start, error);
}

bool InstallDefaultAdapter(std::string& error) {
    AdapterStart start;
    return InstallDefaultAdapter(start, error);
}

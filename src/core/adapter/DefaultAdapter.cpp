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

using Backend = std::unique_ptr<AdapterBackend>;

Backend openSimulated(const AdapterChoice& choice, AdapterStart& start, std::string& error) {
    SimConfig config;
    if (!ParseSimConfig(OverrideSimKeys(environment("OTK5530_SIM"), choice.simKeys), config, error))
        return nullptr;
    const std::string sources = SimSourcesText(config);
    start.description = "Simulated evaluation board" + (sources.empty() ? "" : "; " + sources);
    start.simulated = true;
    return std::make_unique<SimBoard>(config);
}

Backend openUsb(const AdapterChoice& choice, AdapterStart& start, std::string& error) {
    UsbAdapterIds ids;
    const std::string firmwareId = environment("OTK5530_USB");
    if (!firmwareId.empty() && !ParseUsbId(firmwareId, ids.firmware, error)) {
        error = "OTK5530_USB: " + error;
        return nullptr;
    }
    const std::string loaderIds = environment("OTK5530_USB_LOADER");
    if (!loaderIds.empty() && !ParseUsbIds(loaderIds, ids.loader, error)) {
        error = "OTK5530_USB_LOADER: " + error;
        return nullptr;
    }
    // Checked before the adapter is even opened: a real adapter never runs what is not its code.
    const FirmwareCheck firmware = CheckAdapterFirmware(start.firmwarePath.c_str());
    if (firmware.fault != FirmwareFault::None) {
        error = "USB adapter firmware refused: " + firmware.error;
        return nullptr;
    }
    auto adapter = std::make_unique<UsbAdapter>(std::make_unique<LibusbTransport>(), ids);
    if (choice.usbBus >= 0)
        adapter->OnlyAt(choice.usbBus, choice.usbPortPath);
    if (!adapter->Open(error))
        return nullptr;
    start.description = adapter->Description();
    start.usbBus = adapter->Place().bus;
    start.usbPortPath = adapter->Place().portPath;
    return adapter;
}

Backend openI2c(const AdapterChoice& choice, AdapterStart& start, std::string& error) {
    auto adapter =
        std::make_unique<I2cAdapter>(std::make_unique<LinuxI2cDevice>(), choice.i2cPath, choice.i2cForce);
    if (!adapter->Open(error))
        return nullptr;
    start.description = adapter->Description();
    if (choice.i2cForce)
        start.warning = "force: addresses that kernel drivers have claimed on " + choice.i2cPath +
                        " are used anyway (I2C_SLAVE_FORCE); the driver and this program may disturb each "
                        "other's transfers";
    return adapter;
}

bool install(const AdapterChoice& choice, AdapterStart& start, std::string& error) {
    Backend adapter = OpenAdapter(choice, start, error);
    if (!adapter)
        return false;
    InstallAdapter(std::move(adapter));
    return true;
}

} // namespace

std::unique_ptr<AdapterBackend> OpenAdapter(const AdapterChoice& choice, AdapterStart& start,
                                            std::string& error) {
    start.simulated = false;
    start.warning.clear();
    start.usbBus = -1;
    start.usbPortPath.clear();
    switch (choice.kind) {
    case AdapterKind::Usb:
        return openUsb(choice, start, error);
    case AdapterKind::LinuxI2c:
        return openI2c(choice, start, error);
    case AdapterKind::Simulated:
        break;
    }
    return openSimulated(choice, start, error);
}

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

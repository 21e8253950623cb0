#pragma once
// Chooses and installs the adapter backend at start: the simulated board (configured by
// OTK5530_SIM), the USB adapter (its ids overridable with OTK5530_USB and OTK5530_USB_LOADER)
// or a Linux I2C bus, named by a choice text "sim", "usb" or "i2c:/dev/i2c-N[,force]".
#include <memory>
#include <string>

class AdapterBackend;
struct AdapterChoice;

struct AdapterStart {
    // In: the firmware file the program will load; the USB adapter's is checked before
    // anything is sent to the adapter.
    std::string firmwarePath;
    // Out: names the adapter in use, e.g. "Linux I2C bus /dev/i2c-1".
    std::string description;
    // Out: a warning to give before start (a forced I2C bus), or empty.
    std::string warning;
    // Out: the simulated board is in use: its temperatures are not measured.
    bool simulated = false;
    // Out: where the USB adapter sits (bus and hub port path), or -1 and empty.
    int usbBus = -1;
    std::string usbPortPath;
};

// Installs the backend the choice names and opens its device. False, with a one-line
// message for the user, when the choice or its configuration is refused, the firmware file
// is not fit for the adapter, or the device cannot be opened; nothing is installed then.
bool InstallAdapterFromChoice(const std::string& choice, AdapterStart& start, std::string& error);

// The choice when the command line gives none: OTK5530_ADAPTER, or "sim" when it is unset or empty.
bool InstallDefaultAdapter(AdapterStart& start, std::string& error);
bool InstallDefaultAdapter(std::string& error);

// Makes the backend the choice names and opens its device without installing it: a tool
// serving several boards keeps one per board. Nothing, with a message as above, when refused.
std::unique_ptr<AdapterBackend> OpenAdapter(const AdapterChoice& choice, AdapterStart& start,
                                            std::string& error);

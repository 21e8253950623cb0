#pragma once
// Which adapter backend the program talks to: the simulated board, the USB adapter,
// or a Linux I2C bus with the chip on it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class AdapterKind { Simulated, Usb, LinuxI2c };

struct AdapterChoice {
    AdapterKind kind = AdapterKind::Simulated;
    std::string i2cPath;   // the bus device file, for LinuxI2c only
    bool i2cForce = false; // use addresses kernel drivers have claimed, for LinuxI2c only
    // Set by a tool that serves several boards, never by the choice text:
    std::string simKeys;     // OTK5530_SIM keys over those of the environment, for Simulated only
    int usbBus = -1;         // -1: the first adapter found; otherwise only the one at this bus
    std::string usbPortPath; // and hub port path ("3", "2.3"), for Usb only
};

// Reads "sim", "usb" or "i2c:<bus device file>[,force]" (e.g. "i2c:/dev/i2c-1"); blanks
// around the text are ignored. False with a one-line message when the text is none of these;
// `choice` is then unchanged.
bool ParseAdapterChoice(std::string_view text, AdapterChoice& choice, std::string& error);

struct UsbId {
    uint16_t vendor = 0;
    uint16_t product = 0;
};

// A bare adapter enumerates under its USB microcontroller's loader id; once our firmware
// runs it comes back under our adapter's own id.
constexpr UsbId kDefaultLoaderId{0x04B4, 0x8613};
constexpr UsbId kDefaultFirmwareId{0x04B4, 0x5530};

// Reads "VID:PID", each one to four hex digits with an optional 0x ("04b4:5530",
// "0x4B4:0x5530"). False with a one-line message otherwise; `id` is then unchanged.
bool ParseUsbId(std::string_view text, UsbId& id, std::string& error);

// Reads one id or several joined with "+" ("04b4:8613+1234:abcd"). False with a one-line
// message otherwise; `ids` is then unchanged.
bool ParseUsbIds(std::string_view text, std::vector<UsbId>& ids, std::string& error);

// "04b4:5530": how lsusb shows an id.
std::string UsbIdText(UsbId id);

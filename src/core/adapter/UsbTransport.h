#pragma once
// The USB device the adapter backend talks to, kept behind an interface so tests can
// record the control transfers instead of needing a device.
#include "adapter/AdapterChoice.h"

#include <cstdint>
#include <string>
#include <vector>

// Where a device sits: the same physical port keeps its bus and port path when the device
// re-enumerates, while the bus gives it a new device address.
struct UsbPlace {
    UsbId id;
    int bus = 0;
    std::string portPath; // the hub ports from the root, e.g. "2.3"
    int address = 0;
};

// Which device to open.
struct UsbMatch {
    std::vector<UsbId> ids; // any of these
    int bus = -1;           // -1: any place; otherwise only this bus and port path
    std::string portPath;
    int excludedAddress = -1; // never the device at this address (the one that is leaving)
};

class UsbTransport {
public:
    // Results follow libusb: a control transfer returns the bytes moved or a negative error.
    static constexpr int kErrorIo = -1;
    static constexpr int kErrorNoDevice = -4;
    static constexpr int kErrorPipe = -9;

    virtual ~UsbTransport() = default;
    // Opens the first device that matches, closing any open one first, and claims its
    // interface 0 (a kernel driver on it is detached while we hold it). False with a
    // one-line message when none is found, it cannot be opened or another program holds it.
    virtual bool Open(const UsbMatch& match, std::string& error) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual int ControlTransfer(uint8_t requestType, uint8_t request, uint16_t value, uint16_t index,
                                uint8_t* data, uint16_t length, unsigned timeoutMs) = 0;
    // The open device's place; meaningless when none is open.
    virtual UsbPlace Opened() const = 0;
};

// "bus 1, port 2.3, device 7".
std::string UsbPlaceText(const UsbPlace& place);

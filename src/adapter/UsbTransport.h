#pragma once
// The USB device the adapter backend talks to, kept behind an interface so tests can
// record the control transfers instead of needing a device.
#include "adapter/AdapterChoice.h"

#include <cstdint>
#include <string>

class UsbTransport {
public:
    // Results follow libusb: a control transfer returns the bytes moved or a negative error.
    static constexpr int kErrorNoDevice = -4;

    virtual ~UsbTransport() = default;
    // Opens the first device with this id, closing any open one first. False with a
    // one-line message when none is found or it cannot be opened.
    virtual bool Open(UsbId id, std::string& error) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual int ControlTransfer(uint8_t requestType, uint8_t request, uint16_t value, uint16_t index,
                                uint8_t* data, uint16_t length, unsigned timeoutMs) = 0;
    // Where the open device sits, e.g. "bus 1, device 7"; empty when none is open.
    virtual std::string Location() const = 0;
};

#pragma once
// The USB transport on libusb-1.0.
#include "adapter/UsbTransport.h"

struct libusb_context;
struct libusb_device;
struct libusb_device_handle;

class LibusbTransport : public UsbTransport {
public:
    LibusbTransport() = default;
    ~LibusbTransport() override;
    LibusbTransport(const LibusbTransport&) = delete;
    LibusbTransport& operator=(const LibusbTransport&) = delete;

    bool Open(const UsbMatch& match, std::string& error) override;
    void Close() override;
    bool IsOpen() const override { return handle_ != nullptr; }
    int ControlTransfer(uint8_t requestType, uint8_t request, uint16_t value, uint16_t index, uint8_t* data,
                        uint16_t length, unsigned timeoutMs) override;
    UsbPlace Opened() const override { return place_; }

private:
    // Opens and claims one device; false with the reason.
    bool openDevice(libusb_device* device, const UsbPlace& place, std::string& error);

    libusb_context* context_ = nullptr;
    libusb_device_handle* handle_ = nullptr;
    UsbPlace place_;
};

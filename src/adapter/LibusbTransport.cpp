#include "adapter/LibusbTransport.h"

#include <libusb.h>

// The transport hands libusb results through unchanged.
static_assert(UsbTransport::kErrorNoDevice == LIBUSB_ERROR_NO_DEVICE);

namespace {

std::string libusbText(int code) {
    return std::string(libusb_error_name(code)) + " (" + libusb_strerror(code) + ")";
}

std::string locationText(libusb_device* device) {
    return "bus " + std::to_string(libusb_get_bus_number(device)) + ", device " +
           std::to_string(libusb_get_device_address(device));
}

} // namespace

LibusbTransport::~LibusbTransport() {
    Close();
    if (context_)
        libusb_exit(context_);
}

bool LibusbTransport::Open(UsbId id, std::string& error) {
    Close();
    const std::string name = "USB adapter " + UsbIdText(id);
    if (!context_) {
        const int result = libusb_init(&context_);
        if (result < 0) {
            context_ = nullptr;
            error = "USB cannot be used: " + libusbText(result);
            return false;
        }
    }
    libusb_device** devices = nullptr;
    const ssize_t count = libusb_get_device_list(context_, &devices);
    if (count < 0) {
        error = "USB devices cannot be listed: " + libusbText(static_cast<int>(count));
        return false;
    }
    error = name + " not found";
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(devices[i], &descriptor) < 0 || descriptor.idVendor != id.vendor ||
            descriptor.idProduct != id.product)
            continue;
        const std::string location = locationText(devices[i]);
        const int result = libusb_open(devices[i], &handle_);
        if (result < 0) {
            handle_ = nullptr;
            error = name + " (" + location + ") cannot be opened: " + libusbText(result);
            continue;
        }
        location_ = location;
        error.clear();
        break;
    }
    libusb_free_device_list(devices, 1);
    return handle_ != nullptr;
}

void LibusbTransport::Close() {
    if (handle_)
        libusb_close(handle_);
    handle_ = nullptr;
    location_.clear();
}

int LibusbTransport::ControlTransfer(uint8_t requestType, uint8_t request, uint16_t value, uint16_t index,
                                     uint8_t* data, uint16_t length, unsigned timeoutMs) {
    if (!handle_)
        return kErrorNoDevice;
    return libusb_control_transfer(handle_, requestType, request, value, index, data, length, timeoutMs);
}

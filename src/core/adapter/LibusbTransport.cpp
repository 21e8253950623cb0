#include "adapter/LibusbTransport.h"

#include <algorithm>
#include <libusb.h>

// The transport hands libusb results through unchanged.
static_assert(UsbTransport::kErrorIo == LIBUSB_ERROR_IO);
static_assert(UsbTransport::kErrorNoDevice == LIBUSB_ERROR_NO_DEVICE);
static_assert(UsbTransport::kErrorPipe == LIBUSB_ERROR_PIPE);

namespace {

constexpr int kInterface = 0;

std::string libusbText(int code) {
    return std::string(libusb_error_name(code)) + " (" + libusb_strerror(code) + ")";
}

UsbPlace placeOf(libusb_device* device, const libusb_device_descriptor& descriptor) {
    UsbPlace place;
    place.id = {descriptor.idVendor, descriptor.idProduct};
    place.bus = libusb_get_bus_number(device);
    place.address = libusb_get_device_address(device);
    uint8_t ports[8];
    const int depth = libusb_get_port_numbers(device, ports, sizeof ports);
    for (int i = 0; i < depth; ++i)
        place.portPath += (i ? "." : "") + std::to_string(ports[i]);
    return place;
}

bool matches(const UsbMatch& match, const UsbPlace& place) {
    const bool idMatches = std::any_of(match.ids.begin(), match.ids.end(), [&](UsbId id) {
        return id.vendor == place.id.vendor && id.product == place.id.product;
    });
    const bool placeMatches = match.bus < 0 || (match.bus == place.bus && match.portPath == place.portPath);
    return idMatches && placeMatches && place.address != match.excludedAddress;
}

std::string wanted(const UsbMatch& match) {
    std::string ids;
    for (const UsbId& id : match.ids)
        ids += (ids.empty() ? "" : " or ") + UsbIdText(id);
    return "USB adapter " + ids + " not found" +
           (match.bus < 0 ? std::string()
                          : " on bus " + std::to_string(match.bus) + ", port " + match.portPath);
}

} // namespace

LibusbTransport::~LibusbTransport() {
    Close();
    if (context_)
        libusb_exit(context_);
}

bool LibusbTransport::Open(const UsbMatch& match, std::string& error) {
    Close();
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
    error = wanted(match);
    // A device that cannot be had does not stop the search: a second adapter may be free.
    for (ssize_t i = 0; i < count && !handle_; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(devices[i], &descriptor) < 0)
            continue;
        const UsbPlace place = placeOf(devices[i], descriptor);
        if (matches(match, place) && openDevice(devices[i], place, error))
            error.clear();
    }
    libusb_free_device_list(devices, 1);
    return handle_ != nullptr;
}

bool LibusbTransport::openDevice(libusb_device* device, const UsbPlace& place, std::string& error) {
    const std::string name = "USB adapter " + UsbIdText(place.id) + " (" + UsbPlaceText(place) + ")";
    libusb_device_handle* handle = nullptr;
    int result = libusb_open(device, &handle);
    if (result < 0) {
        error = name + " cannot be opened: " + libusbText(result);
        if (result == LIBUSB_ERROR_ACCESS)
            error += "; install the udev rule 70-otk5530-eval.rules (the package puts it in "
                     "/usr/lib/udev/rules.d), then unplug and plug in the adapter";
        return false;
    }
    // Not every platform can detach a kernel driver; the claim below then says whether we may.
    libusb_set_auto_detach_kernel_driver(handle, 1);
    result = libusb_claim_interface(handle, kInterface);
    if (result < 0) {
        error = name + (result == LIBUSB_ERROR_BUSY ? " is in use by another program"
                                                    : " cannot be claimed: " + libusbText(result));
        libusb_close(handle);
        return false;
    }
    handle_ = handle;
    place_ = place;
    return true;
}

void LibusbTransport::Close() {
    if (handle_) {
        // The device may already have left the bus; the release then fails harmlessly.
        libusb_release_interface(handle_, kInterface);
        libusb_close(handle_);
    }
    handle_ = nullptr;
    place_ = {};
}

int LibusbTransport::ControlTransfer(uint8_t requestType, uint8_t request, uint16_t value, uint16_t index,
                                     uint8_t* data, uint16_t length, unsigned timeoutMs) {
    if (!handle_)
        return kErrorNoDevice;
    return libusb_control_transfer(handle_, requestType, request, value, index, data, length, timeoutMs);
}

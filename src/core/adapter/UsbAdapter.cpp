#include "adapter/UsbAdapter.h"

#include "adapter/FirmwareFile.h"

#include <algorithm>
#include <limits>
#include <sstream>
#include <thread>

namespace {

// wValue and wIndex are 16 bits on the wire: the low bits of the two's complement, so
// a negative write index still carries its data byte in bits 15..8.
uint16_t wireWord(int32_t value) {
    return static_cast<uint16_t>(static_cast<uint32_t>(value) & 0xFFFF);
}

int16_t errorStatus(int result) {
    return static_cast<int16_t>(
        result < std::numeric_limits<int16_t>::min() ? std::numeric_limits<int16_t>::min() : result);
}

std::string hexAddress(uint32_t address) {
    std::ostringstream text;
    text << "0x" << std::uppercase << std::hex << address;
    return text.str();
}

std::string transferText(int result) {
    switch (result) {
    case UsbTransport::kErrorIo:
        return "an I/O error";
    case UsbTransport::kErrorNoDevice:
        return "no device (the adapter left the bus)";
    case UsbTransport::kErrorPipe:
        return "a stall (the adapter refused the request)";
    case -7:
        return "a time-out";
    default:
        return "libusb error " + std::to_string(result);
    }
}

bool sameId(UsbId a, UsbId b) {
    return a.vendor == b.vendor && a.product == b.product;
}

} // namespace

std::string UsbPlaceText(const UsbPlace& place) {
    return "bus " + std::to_string(place.bus) + (place.portPath.empty() ? "" : ", port " + place.portPath) +
           ", device " + std::to_string(place.address);
}

UsbAdapter::UsbAdapter(std::unique_ptr<UsbTransport> transport, UsbAdapterIds ids, Sleep sleep)
    : transport_(std::move(transport)), ids_(std::move(ids)), sleep_(std::move(sleep)) {
    if (!sleep_)
        sleep_ = [](std::chrono::milliseconds span) { std::this_thread::sleep_for(span); };
}

bool UsbAdapter::Open(std::string& error) {
    UsbMatch match;
    match.ids = ids_.loader;
    match.ids.push_back(ids_.firmware);
    match.bus = onlyBus_;
    match.portPath = onlyPortPath_;
    return transport_->Open(match, error);
}

void UsbAdapter::OnlyAt(int bus, std::string portPath) {
    onlyBus_ = bus;
    onlyPortPath_ = std::move(portPath);
}

std::string UsbAdapter::Description() const {
    if (!transport_->IsOpen())
        return "USB adapter " + UsbIdText(ids_.firmware);
    const UsbPlace place = transport_->Opened();
    return "USB adapter " + UsbIdText(place.id) + " (" + UsbPlaceText(place) + ")";
}

std::string UsbAdapter::FailureDetail() const {
    return firmwareError_.empty() ? requestError_ : firmwareError_;
}

bool UsbAdapter::underFirmwareId() const {
    const UsbId id = transport_->Opened().id;
    const bool loader =
        std::any_of(ids_.loader.begin(), ids_.loader.end(), [&](UsbId each) { return sameId(each, id); });
    return !loader && sameId(id, ids_.firmware);
}

int16_t UsbAdapter::VendorIORequest(int16_t request, int32_t value, int32_t index, int16_t direction,
                                    int16_t length, uint8_t* buffer) {
    if (request < 0 || request > 0xFF || (direction != 0 && direction != 1))
        return kBadRequest;
    if (!transport_->IsOpen())
        return kNotOpen;
    const auto bRequest = static_cast<uint8_t>(request);
    const auto failed = [&](int result) {
        requestError_ = "request " + hexAddress(bRequest) + " to " + Description() +
                        " failed: " + (result < 0 ? transferText(result) : "a short read");
        return result < 0 ? errorStatus(result) : kShortTransfer;
    };
    if (direction == 0) {
        const int result = transport_->ControlTransfer(kVendorOut, bRequest, wireWord(value), wireWord(index),
                                                       nullptr, 0, kTimeoutMs);
        return result < 0 ? failed(result) : 0;
    }
    if (length < 0 || (length > 0 && buffer == nullptr))
        return kBadRequest;
    // Received into a copy: a failed read leaves the caller's buffer as it was.
    std::vector<uint8_t> received(static_cast<size_t>(length));
    const int result =
        transport_->ControlTransfer(kVendorIn, bRequest, wireWord(value), wireWord(index), received.data(),
                                    static_cast<uint16_t>(length), kTimeoutMs);
    if (result != length)
        return failed(result);
    std::copy(received.begin(), received.end(), buffer);
    return 0;
}

int16_t UsbAdapter::LoadFirmWare(const char* path) {
    const FirmwareCheck check = CheckAdapterFirmware(path);
    switch (check.fault) {
    case FirmwareFault::None:
        break;
    case FirmwareFault::Missing:
        return firmwareFailure(kFirmwareMissing, check.error);
    case FirmwareFault::Corrupt:
        return firmwareFailure(kFirmwareCorrupt, check.error);
    case FirmwareFault::OutsideRam:
        return firmwareFailure(kFirmwareOutsideRam, check.error);
    case FirmwareFault::NotAdapterCode:
        return firmwareFailure(kNotAdapterFirmware, check.error);
    }
    if (!transport_->IsOpen()) {
        std::string error;
        if (!Open(error))
            return firmwareFailure(kFirmwareRefused, error);
    }
    // Our firmware already runs (the adapter was loaded by an earlier start): reloading it
    // through the running firmware is not possible, so it is kept.
    if (underFirmwareId()) {
        if (!answers())
            return firmwareFailure(kFirmwareRefused, Description() + " does not answer");
        firmwareError_.clear();
        return 0;
    }
    const UsbPlace loaded = transport_->Opened();
    const int16_t status = download(check.image.records);
    if (status != 0)
        return status;
    transport_->Close();
    if (!waitForFirmware(loaded))
        return firmwareFailure(kNoReEnumeration,
                               "USB adapter did not come back as " + UsbIdText(ids_.firmware) + " on bus " +
                                   std::to_string(loaded.bus) + ", port " + loaded.portPath +
                                   " within 5 s of its firmware download");
    firmwareError_.clear();
    return 0;
}

int16_t UsbAdapter::download(const std::vector<HexDataRecord>& records) {
    uint8_t hold = 0x01;
    if (firmwareWrite(kCpuControl, &hold, 1) != 1)
        return firmwareFailure(kFirmwareRefused, "the adapter did not stop its CPU for the download");
    for (const HexDataRecord& record : records) {
        for (size_t offset = 0; offset < record.bytes.size(); offset += kFirmwareChunk) {
            const auto count =
                static_cast<uint16_t>(std::min<size_t>(kFirmwareChunk, record.bytes.size() - offset));
            const auto address = static_cast<uint16_t>(record.address + offset);
            std::vector<uint8_t> chunk(record.bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                                       record.bytes.begin() + static_cast<std::ptrdiff_t>(offset + count));
            if (firmwareWrite(address, chunk.data(), count) != count)
                return firmwareFailure(kFirmwareRefused,
                                       "the adapter refused the firmware bytes at " + hexAddress(address));
        }
    }
    uint8_t release = 0x00;
    const int released = firmwareWrite(kCpuControl, &release, 1);
    // The adapter may leave the bus before it acknowledges its own release, which the host
    // sees as one of these; whether it comes back is what counts.
    const bool left = released == UsbTransport::kErrorNoDevice || released == UsbTransport::kErrorIo ||
                      released == UsbTransport::kErrorPipe;
    if (released != 1 && !left)
        return firmwareFailure(kFirmwareRefused, "the adapter did not restart its CPU after the download: " +
                                                     transferText(released));
    return 0;
}

int UsbAdapter::firmwareWrite(uint16_t address, uint8_t* bytes, uint16_t count) {
    return transport_->ControlTransfer(kVendorOut, kFirmwareLoad, address, 0, bytes, count, kTimeoutMs);
}

// A standard GET_STATUS: every USB device answers it, and it changes nothing on the adapter.
bool UsbAdapter::answers() {
    uint8_t status[2] = {};
    return transport_->ControlTransfer(kStandardIn, kGetStatus, 0, 0, status, sizeof status, kTimeoutMs) ==
           static_cast<int>(sizeof status);
}

// The device that comes back on the same port with a new address is ours: the stale one
// (same address) and a second adapter (another port) are never taken for it.
bool UsbAdapter::waitForFirmware(const UsbPlace& loaded) {
    UsbMatch match;
    match.ids = {ids_.firmware};
    match.bus = loaded.bus;
    match.portPath = loaded.portPath;
    match.excludedAddress = loaded.address;
    std::string error;
    for (int attempt = 0; attempt < kReEnumerationTries; ++attempt) {
        sleep_(kReEnumerationStep);
        if (!transport_->Open(match, error))
            continue;
        if (answers())
            return true;
        transport_->Close();
    }
    return false;
}

int16_t UsbAdapter::firmwareFailure(int16_t status, std::string message) {
    firmwareError_ = std::move(message);
    return status;
}

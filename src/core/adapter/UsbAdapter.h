#pragma once
// The USB adapter: vendor requests as control transfers on endpoint 0, and the firmware
// download into the adapter's RAM with the 0xA0 firmware-load request.
#include "adapter/AdapterChoice.h"
#include "adapter/IntelHex.h"
#include "adapter/USBFunctions.h"
#include "adapter/UsbTransport.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The ids the adapter shows before and after its firmware download.
struct UsbAdapterIds {
    std::vector<UsbId> loader{kDefaultLoaderId};
    UsbId firmware = kDefaultFirmwareId;
};

class UsbAdapter : public AdapterBackend {
public:
    using Sleep = std::function<void(std::chrono::milliseconds)>;

    // Firmware failures are negative, as the library reports them.
    static constexpr int16_t kFirmwareMissing = -1;
    static constexpr int16_t kFirmwareCorrupt = -2;
    static constexpr int16_t kFirmwareRefused = -3; // a firmware-load transfer failed
    static constexpr int16_t kNoReEnumeration = -4;
    static constexpr int16_t kFirmwareOutsideRam = -5; // or covering the CPU control register
    static constexpr int16_t kNotAdapterFirmware = -6; // the simulated board's image
    // Request failures. A libusb error is handed on as its own (negative) code.
    static constexpr int16_t kShortTransfer = 1;
    static constexpr int16_t kNotOpen = 2;
    static constexpr int16_t kBadRequest = 3;

    static constexpr unsigned kTimeoutMs = 1000;
    static constexpr uint8_t kVendorOut = 0x40; // vendor type, device recipient, host to device
    static constexpr uint8_t kVendorIn = 0xC0;  // vendor type, device recipient, device to host
    static constexpr uint8_t kStandardIn = 0x80;
    static constexpr uint8_t kGetStatus = 0x00;
    static constexpr uint8_t kFirmwareLoad = 0xA0;
    static constexpr uint16_t kCpuControl = 0xE600;
    static constexpr uint16_t kFirmwareChunk = 64;
    // After the CPU is released the adapter drops off the bus and comes back with the
    // new firmware: look for it every half second for five seconds.
    static constexpr std::chrono::milliseconds kReEnumerationStep{500};
    static constexpr int kReEnumerationTries = 10;

    // `sleep` defaults to the thread sleeping.
    UsbAdapter(std::unique_ptr<UsbTransport> transport, UsbAdapterIds ids, Sleep sleep = {});

    // Opens the first adapter under a loader id or the firmware id. False with a one-line
    // message when none can be had.
    bool Open(std::string& error);
    // From now on only the adapter at this bus and hub port path ("2.3") is opened.
    void OnlyAt(int bus, std::string portPath);
    // Where the open adapter sits; meaningless when none is open.
    UsbPlace Place() const { return transport_->Opened(); }
    // "USB adapter 04b4:8613 (bus 1, port 2, device 7)".
    std::string Description() const;

    // Under a loader id: checks the image, loads it, and opens the adapter again when it comes
    // back under the firmware id on the same port. Already under the firmware id: the running
    // firmware is kept, once the image is checked and the adapter answers.
    int16_t LoadFirmWare(const char* path) override;
    int16_t VendorIORequest(int16_t request, int32_t value, int32_t index, int16_t direction, int16_t length,
                            uint8_t* buffer) override;

    // The reason of the last failed firmware download, for diagnosis.
    const std::string& FirmwareError() const { return firmwareError_; }
    // The firmware error, or the last failed request.
    std::string FailureDetail() const override;

private:
    int16_t firmwareFailure(int16_t status, std::string message);
    int16_t download(const std::vector<HexDataRecord>& records);
    // The bytes moved, or a negative libusb error.
    int firmwareWrite(uint16_t address, uint8_t* bytes, uint16_t count);
    bool answers();
    bool waitForFirmware(const UsbPlace& loaded);
    bool underFirmwareId() const;

    std::unique_ptr<UsbTransport> transport_;
    UsbAdapterIds ids_;
    int onlyBus_ = -1;
    std::string onlyPortPath_;
    Sleep sleep_;
    std::string firmwareError_;
    std::string requestError_;
};

#pragma once
// The adapter's requests carried out on a Linux I2C bus with the chip on it: register
// reads and writes become SMBus byte-data transfers, the bus set-up opens the bus.
#include "adapter/I2cDevice.h"
#include "adapter/USBFunctions.h"

#include <memory>
#include <string>

class I2cAdapter : public AdapterBackend {
public:
    static constexpr int16_t kBusNotOpen = 1;
    static constexpr int16_t kTransferFailed = 2;
    static constexpr int16_t kUnknownRequest = 3;
    static constexpr int16_t kSetUpFailed = 4;

    // What a read gives where no chip acknowledges, as on the adapter.
    static constexpr uint8_t kNoAcknowledge = 0xFF;

    I2cAdapter(std::unique_ptr<I2cDevice> device, std::string path);

    // Opens the bus. False with a one-line message when it cannot be opened.
    bool Open(std::string& error);
    // "Linux I2C bus /dev/i2c-1".
    std::string Description() const;

    // There is no adapter to load: the download succeeds without doing anything.
    int16_t LoadFirmWare(const char* path) override;
    int16_t VendorIORequest(int16_t request, int32_t value, int32_t index, int16_t direction, int16_t length,
                            uint8_t* buffer) override;

private:
    int16_t busSetUp(int32_t value, int32_t index);
    int16_t registerRead(int32_t device, int32_t reg, int16_t length, uint8_t* buffer);
    int16_t registerWrite(int32_t device, int32_t index);

    std::unique_ptr<I2cDevice> device_;
    std::string path_;
};

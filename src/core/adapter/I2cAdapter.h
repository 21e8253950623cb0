#pragma once
// The adapter's requests carried out on a Linux I2C bus with the chip on it, as i2c-tools
// would do them: register reads and writes become SMBus byte-data transfers, the bus
// set-up opens the bus.
#include "adapter/I2cDevice.h"
#include "adapter/USBFunctions.h"

#include <map>
#include <memory>
#include <set>
#include <string>

class I2cAdapter : public AdapterBackend {
public:
    static constexpr int16_t kBusNotOpen = 1;
    static constexpr int16_t kTransferFailed = 2;
    static constexpr int16_t kUnknownRequest = 3;
    static constexpr int16_t kSetUpFailed = 4;

    // What a read gives where no chip acknowledges, as on the adapter.
    static constexpr uint8_t kNoAcknowledge = 0xFF;
    // Below are the reserved addresses (general call, CBUS, high-speed codes), above the
    // 10-bit ones: no chip of ours answers there.
    static constexpr int kFirstDeviceAddress = 0x08;
    static constexpr int kLastDeviceAddress = 0x77;

    // `force` talks to addresses a kernel driver has claimed (I2C_SLAVE_FORCE), as i2cget -f.
    I2cAdapter(std::unique_ptr<I2cDevice> device, std::string path, bool force = false);

    // Opens the bus and checks it can do SMBus byte-data reads and writes. False with a
    // one-line message and what to do when it cannot be used.
    bool Open(std::string& error);
    // "Linux I2C bus /dev/i2c-1".
    std::string Description() const;

    // There is no adapter to load: the download succeeds without doing anything.
    int16_t LoadFirmWare(const char* path) override;
    int16_t VendorIORequest(int16_t request, int32_t value, int32_t index, int16_t direction, int16_t length,
                            uint8_t* buffer) override;
    // The last failed transfer; else the addresses kernel drivers kept from the search.
    std::string FailureDetail() const override;

private:
    int16_t busSetUp(int32_t value, int32_t index);
    int16_t registerRead(int32_t device, int32_t reg, int16_t length, uint8_t* buffer);
    int16_t registerWrite(int32_t device, int32_t index);
    // 0 when addressed; 1 when the address is a kernel driver's and no chip of ours was
    // found there before; otherwise the failure status.
    int16_t address(int32_t device, const std::string& what);
    // Whether a failed transfer is a missing acknowledge that the address search passes over.
    bool passesOver(int32_t device, int error) const;
    int16_t failed(const std::string& what, int error);

    std::unique_ptr<I2cDevice> device_;
    std::string path_;
    bool force_;
    std::set<int32_t> answered_;             // addresses that acknowledged once
    std::map<int32_t, std::string> claimed_; // address -> what the kernel bound there
    std::string lastFailure_;
};

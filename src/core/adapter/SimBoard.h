#pragma once
// The simulated evaluation board: the adapter with its firmware download and bus
// set-up, and the chips on its SMBus.
#include "adapter/SimChip.h"
#include "adapter/SimConfig.h"
#include "adapter/USBFunctions.h"

#include <map>
#include <memory>

class SimBoard : public AdapterBackend {
public:
    // Failure statuses. Firmware failures are negative, as the library reports them.
    static constexpr int16_t kFirmwareMissing = -1;
    static constexpr int16_t kFirmwareCorrupt = -2;
    static constexpr int16_t kFirmwareRefused = -3;
    static constexpr int16_t kBusNotSetUp = 1;
    static constexpr int16_t kTransferFailed = 2;
    static constexpr int16_t kUnknownRequest = 3;
    static constexpr int16_t kSetUpFailed = 4;

    explicit SimBoard(const SimConfig& config, SecondsClock clock = {});

    int16_t LoadFirmWare(const char* path) override;
    int16_t VendorIORequest(int16_t request, int32_t value, int32_t index, int16_t direction, int16_t length,
                            uint8_t* buffer) override;

    // The chip at a bus address, or nullptr.
    SimChip* ChipAt(int address);
    // The message of the last refused firmware file, for diagnosis.
    const std::string& FirmwareError() const { return firmwareError_; }
    // The refused firmware file, or the board state that could not be kept.
    std::string FailureDetail() const override { return stateError_.empty() ? firmwareError_ : stateError_; }

private:
    bool transferFails();
    int16_t busSetUp(int32_t value, int32_t index, int16_t direction);
    int16_t registerRead(int32_t device, int32_t reg, int16_t length, uint8_t* buffer);
    int16_t registerWrite(int32_t device, int32_t index);
    bool keepState(const SimChip& chip);

    SimConfig config_;
    std::map<int, std::unique_ptr<SimChip>> chips_;
    long requestCount_ = 0;
    long setUpAttempts_ = 0;
    bool busReady_ = false;
    std::string firmwareError_;
    std::string stateError_;
    std::map<int, uint8_t> keptState_; // as the state file last held it
};

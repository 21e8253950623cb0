#include "adapter/SimBoard.h"

#include "adapter/FirmwareFile.h"
#include "adapter/SimStateFile.h"
#include "adapter/VendorRequests.h"

namespace {
// What the bus reads where no chip acknowledges: the data line stays high.
constexpr uint8_t kNoAcknowledge = 0xFF;
} // namespace

SimBoard::SimBoard(const SimConfig& config, SecondsClock clock) : config_(config) {
    if (!clock)
        clock = SteadySeconds();
    uint32_t chipNumber = 0;
    for (int address : config_.addresses) {
        ChipSettings settings = config_.chip;
        // Each chip its own noise, so several chips do not move in lockstep.
        settings.seed += chipNumber++;
        chips_[address] = std::make_unique<SimChip>(settings, clock);
    }
    if (!config_.stateFile.empty() && !chips_.empty())
        keptState_ = chips_.begin()->second->WritableRegisters();
}

SimChip* SimBoard::ChipAt(int address) {
    const auto chip = chips_.find(address);
    return chip == chips_.end() ? nullptr : chip->second.get();
}

bool SimBoard::transferFails() {
    ++requestCount_;
    return config_.failAfter && requestCount_ > *config_.failAfter;
}

int16_t SimBoard::LoadFirmWare(const char* path) {
    if (transferFails())
        return kFirmwareRefused;
    if (config_.firmwareFails) {
        firmwareError_ = "firmware download refused by configuration";
        return kFirmwareRefused;
    }
    const FirmwareCheck check = ReadFirmwareFile(path);
    if (check.fault != FirmwareFault::None) {
        firmwareError_ = check.error;
        return check.fault == FirmwareFault::Missing ? kFirmwareMissing : kFirmwareCorrupt;
    }
    firmwareError_.clear();
    return 0;
}

int16_t SimBoard::VendorIORequest(int16_t request, int32_t value, int32_t index, int16_t direction,
                                  int16_t length, uint8_t* buffer) {
    if (transferFails())
        return kTransferFailed;
    if (request == VendorRequest::BusSetUp)
        return busSetUp(value, index, direction);
    const bool read = direction == 1 &&
                      (request == VendorRequest::RegisterAccess || request == VendorRequest::RegisterPoll);
    const bool write = direction == 0 && request == VendorRequest::RegisterAccess;
    if (!read && !write)
        return kUnknownRequest;
    if (!busReady_)
        return kBusNotSetUp;
    if (read)
        return registerRead(value, index, length, buffer);
    return registerWrite(value, index);
}

int16_t SimBoard::busSetUp(int32_t value, int32_t index, int16_t direction) {
    if (value != VendorRequest::BusSetUpValue || index != VendorRequest::BusSetUpIndex || direction != 0)
        return kUnknownRequest;
    if (++setUpAttempts_ <= config_.setupFailures)
        return kSetUpFailed;
    busReady_ = true;
    return 0;
}

int16_t SimBoard::registerRead(int32_t device, int32_t reg, int16_t length, uint8_t* buffer) {
    if (length < 1 || buffer == nullptr || reg < 0 || reg > 0xFF)
        return kUnknownRequest;
    SimChip* chip = ChipAt(device);
    buffer[0] = chip ? chip->Read(reg) : kNoAcknowledge;
    return 0;
}

int16_t SimBoard::registerWrite(int32_t device, int32_t index) {
    SimChip* chip = ChipAt(device);
    if (!chip)
        return 0;
    // Two's complement bits, so a negative index still carries its data byte in bits 15..8.
    const uint32_t bits = static_cast<uint32_t>(index);
    chip->Write(static_cast<int>(bits & 0xFF), static_cast<uint8_t>((bits >> 8) & 0xFF));
    return keepState(*chip) ? 0 : kTransferFailed;
}

// A write the state file cannot keep fails like a lost link: the next run would otherwise
// start from a board other than the one this run left.
bool SimBoard::keepState(const SimChip& chip) {
    if (config_.stateFile.empty())
        return true;
    const std::map<int, uint8_t> now = chip.WritableRegisters();
    if (now == keptState_)
        return true;
    if (!SaveBoardState(config_.stateFile, now, stateError_))
        return false;
    keptState_ = now;
    return true;
}

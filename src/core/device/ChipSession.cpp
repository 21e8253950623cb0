#include "device/ChipSession.h"

#include "adapter/USBFunctions.h"
#include "adapter/VendorRequests.h"
#include "chip/ChipRegisters.h"
#include "device/Clock.h"

#include <string>

namespace {
// The code of "Communications Interrupted"; the device link owns the messages.
constexpr int16_t kCommunicationsInterrupted = 3;
// No adapter behaves like an unplugged one.
constexpr int16_t kNoAdapter = -1;

// Milliseconds that keep counting across midnight, unlike the time of day.
double nowMs() {
    return static_cast<double>(Clock::LocalNow().toMSecsSinceEpoch());
}

class InstalledLink final : public AdapterBackend {
public:
    int16_t LoadFirmWare(const char* path) override { return USBFunctions::LoadFirmWare(path); }
    int16_t VendorIORequest(int16_t request, int32_t value, int32_t index, int16_t direction, int16_t length,
                            uint8_t* buffer) override {
        return USBFunctions::VendorIORequest(request, value, index, direction, length, buffer);
    }
    std::string FailureDetail() const override {
        const AdapterBackend* backend = InstalledAdapter();
        return backend ? backend->FailureDetail() : std::string();
    }
};
} // namespace

LinkFailure::LinkFailure(int16_t linkErrorCode)
    : std::runtime_error("register transfer failed"), code(linkErrorCode) {}

AdapterBackend* InstalledAdapterLink() {
    static InstalledLink link;
    return &link;
}

int32_t WriteRequestIndex(int32_t registerAddress, int32_t data) {
    if (data > 255)
        data = 255;
    // Unsigned arithmetic gives the two's-complement result for negative data without overflow.
    return static_cast<int32_t>(static_cast<uint32_t>(data) * 256u + static_cast<uint32_t>(registerAddress));
}

ChipSession::ChipSession(AdapterBackend* adapterBackend, int32_t deviceAddress, WriteListener writeListener)
    : adapter(adapterBackend), DeviceAddress(deviceAddress), listener(std::move(writeListener)) {}

int16_t ChipSession::ReadRegister(int32_t registerAddress) {
    return ReadRegisterAt(DeviceAddress, registerAddress);
}

void ChipSession::WriteRegister(int32_t registerAddress, int32_t data) {
    WriteRegisterAt(DeviceAddress, registerAddress, data);
}

int16_t ChipSession::PollRegister(int32_t registerAddress) {
    return PollRegisterAt(DeviceAddress, registerAddress);
}

int16_t ChipSession::ReadRegisterAt(int32_t deviceAddress, int32_t registerAddress) {
    const int16_t status = adapter ? adapter->VendorIORequest(VendorRequest::RegisterAccess, deviceAddress,
                                                              registerAddress, 1, 1, ReadBuffer.data())
                                   : kNoAdapter;
    if (status != 0)
        throw LinkFailure(kCommunicationsInterrupted);
    return ReadBuffer[0];
}

void ChipSession::WriteRegisterAt(int32_t deviceAddress, int32_t registerAddress, int32_t data) {
    uint8_t noData = 0;
    const int32_t index = WriteRequestIndex(registerAddress, data);
    const int16_t status =
        adapter ? adapter->VendorIORequest(VendorRequest::RegisterAccess, deviceAddress, index, 0, 0, &noData)
                : kNoAdapter;
    if (status != 0)
        throw LinkFailure(kCommunicationsInterrupted);
    // The byte the chip was sent: the request index carries it in bits 15..8.
    AfterRegisterWrite(registerAddress, static_cast<uint8_t>(index >> 8));
}

int16_t ChipSession::PollRegisterAt(int32_t deviceAddress, int32_t registerAddress) {
    if (adapter)
        adapter->VendorIORequest(VendorRequest::RegisterPoll, deviceAddress, registerAddress, 1, 1,
                                 ReadBuffer.data());
    return ReadBuffer[0];
}

void ChipSession::AfterRegisterWrite(int32_t writeAddress, std::optional<uint8_t> writtenValue) {
    ChipChanges::RegisterWritten change{writeAddress, writtenValue, false};
    if (writeAddress == kConfig1Write) {
        const int16_t value = ReadRegister(kConfig1Read);
        const bool wasExtended = ExtendedRange;
        ExtendedRange = (value & kConfig1ExtendedRange) != 0;
        Remote2Selected = (value & kConfig1Remote2Select) != 0;
        ConfigurationRead = true;
        change.rangeAndSelectionRead = true;
        // The start-up update learns the range; only a write can switch it.
        const bool standby = (value & kConfig1Standby) != 0;
        if (writtenValue && ExtendedRange != wasExtended)
            ReadingHold.rangeSwitched(nowMs(), standby);
        else if (ReadingHold.pending())
            ReadingHold.standbySeen(nowMs(), standby);
    } else if (writeAddress == kConversionRateWrite && writtenValue && ReadingHold.pending()) {
        ReadingHold.rateWritten(nowMs(), *writtenValue);
    }
    if (listener)
        listener(change);
}

bool ChipSession::ReadingsHeld() {
    // The clock is read only while a switch is pending: the cycle's sections read it as they always have.
    if (!ReadingHold.pending())
        return false;
    // Asked for by the monitoring cycle, not by the write: the windows' request orders stay as they were.
    if (ReadingHold.needsRate())
        ReadingHold.rateRead(ReadRegister(kConversionRateRead));
    return ReadingHold.holds(nowMs());
}

void ChipSession::forgetChip() {
    DeviceAddress = 0;
    ExtendedRange = false;
    Remote2Selected = false;
    ConfigurationRead = false;
    ReadingHold = RangeHold{};
    ReadBuffer = {};
}

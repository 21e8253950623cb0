#pragma once
// One connected chip: its adapter, bus address, the two Configuration Reg 1 flags
// and the range hold, with the register reads and writes that keep them in step.
// The program has one (GeneralStuff::ProgramChip); a tool serving several boards
// makes one per board. A session owns no timer and knows no window.
#include "device/ChipChanges.h"
#include "device/RangeHold.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>

class AdapterBackend;

// A register read or write the adapter refused. Nothing after the failed call runs;
// the session's owner decides what a lost board means (the program ends, a lab
// tool marks that board down).
class LinkFailure : public std::runtime_error {
public:
    explicit LinkFailure(int16_t linkErrorCode);
    int16_t code;
};

class ChipSession {
public:
    // Told of each successful write after the session has updated itself.
    using WriteListener = std::function<void(const ChipChanges::RegisterWritten&)>;

    explicit ChipSession(AdapterBackend* adapter, int32_t deviceAddress = 0, WriteListener listener = {});

    // Register access at DeviceAddress. A failed transfer throws LinkFailure.
    int16_t ReadRegister(int32_t registerAddress);
    void WriteRegister(int32_t registerAddress, int32_t data);
    // Unchecked: after a failed transfer the caller gets what the read buffer held.
    int16_t PollRegister(int32_t registerAddress);
    // The same at another address on this adapter (the start-up address search).
    int16_t ReadRegisterAt(int32_t deviceAddress, int32_t registerAddress);
    void WriteRegisterAt(int32_t deviceAddress, int32_t registerAddress, int32_t data);
    int16_t PollRegisterAt(int32_t deviceAddress, int32_t registerAddress);

    // Keeps ExtendedRange and Remote2Selected in step with the chip, then tells the
    // listener. The value is the byte sent; the start-up update has none.
    void AfterRegisterWrite(int32_t writeAddress, std::optional<uint8_t> writtenValue = std::nullopt);
    // True while the temperature registers may hold a conversion from before the last
    // range switch: the readings then keep their last good values.
    bool ReadingsHeld();
    // Back to a chip not yet connected (address 0, flags unread); adapter and listener stay.
    void forgetChip();

    AdapterBackend* adapter = nullptr;
    int32_t DeviceAddress = 0;
    bool ExtendedRange = false;
    bool Remote2Selected = false;
    // The two flags above come from the chip: nothing that depends on the range reads before.
    bool ConfigurationRead = false;
    // Readings from before the last range switch that the chip may still hold.
    RangeHold ReadingHold;
    // The one receive buffer of this adapter's reads; take a read's value before the next read.
    std::array<uint8_t, 1> ReadBuffer{};

private:
    WriteListener listener;
};

// The register-write request's index: data (clamped above 255) in bits 15..8, register in 7..0.
int32_t WriteRequestIndex(int32_t registerAddress, int32_t data);

// The adapter that USBFunctions dispatches to, whichever is installed at the time of
// the call: the program's session talks through it, so tests may swap the backend.
AdapterBackend* InstalledAdapterLink();

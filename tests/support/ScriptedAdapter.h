#pragma once
// A scripted adapter that records every request. Registers live per chip
// address; a read of an address with no chip gives 0xFF with status 0, as on
// the board. `status` decides each request's status (default: success).
#include "adapter/USBFunctions.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

struct AdapterRequest {
    int16_t request;
    int32_t value;
    int32_t index;
    int16_t direction;
    int16_t length;
    bool operator==(const AdapterRequest& other) const {
        return request == other.request && value == other.value && index == other.index &&
               direction == other.direction && length == other.length;
    }
};

struct RegisterWrite {
    int32_t reg;
    int32_t data;
    bool operator==(const RegisterWrite& other) const { return reg == other.reg && data == other.data; }
};

class ScriptedAdapter : public AdapterBackend {
public:
    int16_t LoadFirmWare(const char* path) override;
    int16_t VendorIORequest(int16_t request, int32_t value, int32_t index, int16_t direction, int16_t length,
                            uint8_t* buffer) override;

    void setRegister(int32_t device, int32_t reg, uint8_t value) { registers[{device, reg}] = value; }
    uint8_t reg(int32_t device, int32_t reg) const;
    // Register writes (0xDE, direction 0) in order, decoded from the request index.
    std::vector<RegisterWrite> writes() const;
    // Register addresses read (0xDE, direction 1) in order.
    std::vector<int32_t> reads() const;
    void clearLog() { requests.clear(); }

    std::vector<AdapterRequest> requests;
    std::vector<std::string> firmwarePaths;
    int16_t firmwareStatus = 0;
    std::map<std::pair<int32_t, int32_t>, uint8_t> registers;
    // Status of the n-th request (0-based count of all vendor requests).
    std::function<int16_t(const AdapterRequest&, int n)> status;
    // Register writes are stored at this write-to-read mapping so a read-back sees them.
    std::function<int32_t(int32_t writeAddress)> readAddressOf = [](int32_t a) { return a; };
};

// Where the chip shows a write, for readAddressOf: the read address of the register
// table's record with that write address (Configuration Reg 1, written at 0x09, reads
// at 0x03), else the address itself.
int32_t TableReadAddressOf(int32_t writeAddress);

// Installs a fresh scripted adapter and returns it (the adapter library owns it).
ScriptedAdapter* InstallScriptedAdapter();

// Thrown by the test program end, so a link error unwinds out of the failed call.
struct LinkErrorExit {
    int16_t code;
};
// Link errors record their code and throw LinkErrorExit instead of ending the test program.
void ThrowOnLinkError(std::vector<int16_t>* codes = nullptr);

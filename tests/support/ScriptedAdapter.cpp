#include "support/ScriptedAdapter.h"

#include "device/RegMapStuff.h"
#include "device/USBStuff.h"

#include <memory>

int16_t ScriptedAdapter::LoadFirmWare(const char* path) {
    firmwarePaths.emplace_back(path);
    return firmwareStatus;
}

int16_t ScriptedAdapter::VendorIORequest(int16_t request, int32_t value, int32_t index, int16_t direction,
                                         int16_t length, uint8_t* buffer) {
    const AdapterRequest r{request, value, index, direction, length};
    const int n = static_cast<int>(requests.size());
    requests.push_back(r);
    const int16_t result = status ? status(r, n) : 0;
    if (result != 0)
        return result;
    if ((request == 0xDE || request == 0xDC) && direction == 1) {
        buffer[0] = reg(value, index);
    } else if (request == 0xDE && direction == 0) {
        registers[{value, readAddressOf(index & 0xFF)}] = static_cast<uint8_t>((index >> 8) & 0xFF);
    }
    return 0;
}

int32_t TableReadAddressOf(int32_t writeAddress) {
    using namespace RegMapStuff;
    if (RegisterTable[0].ReadAddr != kPlaceholderAddress)
        BuildRegisterTable();
    for (int i = 1; i < kRegisterCount; ++i)
        if (RegisterTable[i].WriteAddr == writeAddress)
            return RegisterTable[i].ReadAddr;
    return writeAddress;
}

uint8_t ScriptedAdapter::reg(int32_t device, int32_t r) const {
    const auto it = registers.find({device, r});
    return it == registers.end() ? 0xFF : it->second;
}

std::vector<RegisterWrite> ScriptedAdapter::writes() const {
    std::vector<RegisterWrite> result;
    for (const AdapterRequest& r : requests)
        if (r.request == 0xDE && r.direction == 0)
            result.push_back({r.index & 0xFF, (r.index >> 8) & 0xFF});
    return result;
}

std::vector<int32_t> ScriptedAdapter::reads() const {
    std::vector<int32_t> result;
    for (const AdapterRequest& r : requests)
        if (r.request == 0xDE && r.direction == 1)
            result.push_back(r.index);
    return result;
}

ScriptedAdapter* InstallScriptedAdapter() {
    auto adapter = std::make_unique<ScriptedAdapter>();
    ScriptedAdapter* raw = adapter.get();
    InstallAdapter(std::move(adapter));
    return raw;
}

void ThrowOnLinkError(std::vector<int16_t>* codes) {
    static int16_t lastCode = 0;
    USBStuff::SetLinkErrorHandler([codes](int16_t code, const QString&) {
        lastCode = code;
        if (codes)
            codes->push_back(code);
    });
    USBStuff::SetProgramEnd([](int) { throw LinkErrorExit{lastCode}; });
}

#pragma once
// The adapter library: the two calls the rest of the program makes to the USB
// adapter, dispatched to whichever backend is installed (the simulated board
// by default, a scripted one in tests).
#include <cstdint>
#include <memory>
#include <string>

class AdapterBackend {
public:
    virtual ~AdapterBackend() = default;
    // Downloads the adapter firmware from a NUL-terminated single-byte path.
    // Negative status: the download failed.
    virtual int16_t LoadFirmWare(const char* path) = 0;
    // One USB vendor request. Direction 1 reads `length` bytes into `buffer`,
    // direction 0 sends the request with no data stage. 0 means success.
    virtual int16_t VendorIORequest(int16_t request, int32_t value, int32_t index, int16_t direction,
                                    int16_t length, uint8_t* buffer) = 0;
    // Why the last failed call failed, in words for the user (the firmware file's fault, an
    // access or bus error); empty when the backend has nothing to add.
    virtual std::string FailureDetail() const { return {}; }
};

// Replaces the backend; the previous one is destroyed.
void InstallAdapter(std::unique_ptr<AdapterBackend> backend);
AdapterBackend* InstalledAdapter();

namespace USBFunctions {
int16_t LoadFirmWare(const char* path);
int16_t VendorIORequest(int16_t request, int32_t value, int32_t index, int16_t direction, int16_t length,
                        uint8_t* buffer);
} // namespace USBFunctions

#include "adapter/USBFunctions.h"

namespace {
std::unique_ptr<AdapterBackend>& installed() {
    static std::unique_ptr<AdapterBackend> backend;
    return backend;
}

// No backend installed behaves like an unplugged adapter.
constexpr int16_t kNoAdapter = -1;
} // namespace

void InstallAdapter(std::unique_ptr<AdapterBackend> backend) {
    installed() = std::move(backend);
}

AdapterBackend* InstalledAdapter() {
    return installed().get();
}

namespace USBFunctions {
int16_t LoadFirmWare(const char* path) {
    AdapterBackend* backend = InstalledAdapter();
    return backend ? backend->LoadFirmWare(path) : kNoAdapter;
}

int16_t VendorIORequest(int16_t request, int32_t value, int32_t index, int16_t direction, int16_t length,
                        uint8_t* buffer) {
    AdapterBackend* backend = InstalledAdapter();
    return backend ? backend->VendorIORequest(request, value, index, direction, length, buffer) : kNoAdapter;
}
} // namespace USBFunctions

// A fake libusb-1.0 that plays the evaluation board's USB adapter through its life, for the
// real program and its real LibusbTransport (loaded with LD_PRELOAD). See README.md.
#include "FakeConfig.h"
#include "adapter/FirmwareFile.h"
#include "adapter/SimBoard.h"
#include "adapter/SimConfig.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <libusb.h>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint16_t kVendor = 0x04B4;
constexpr uint16_t kLoaderProduct = 0x8613;
constexpr uint16_t kFirmwareProduct = 0x5530;
constexpr uint16_t kCpuControl = 0xE600;

enum class Life { Loader, Leaving, Gone, Firmware, Unplugged };

} // namespace

struct libusb_context {
    int unused = 0;
};

// One adapter as the bus lists it; `generation` tells the stale listing from the new one.
struct libusb_device {
    int adapter;
    int generation;
    uint8_t address;
    uint16_t product;
};

struct libusb_device_handle {
    libusb_device device;
};

namespace {

struct Adapter {
    int bus = 1;
    uint8_t port = 2;
    uint8_t address = 5;
    Life life = Life::Loader;
    int generation = 0;
    bool cpuHeld = false;
    std::vector<uint8_t> ram = std::vector<uint8_t>(0x10000, 0);
    Clock::time_point released;
    long requests = 0; // vendor requests answered by the firmware
    std::unique_ptr<SimBoard> board;
    libusb_device listed{0, 0, 0, 0};
    bool claimed = false;
};

struct World {
    std::map<std::string, std::string> settings = fakes::ReadSettings("OTK5530_FAKE_USB");
    std::vector<Adapter> adapters;
    std::FILE* journal = nullptr;
    std::mutex lock;

    World() {
        const int count = static_cast<int>(fakes::Number(settings, "adapters", 1));
        for (int i = 0; i < count; ++i) {
            Adapter adapter;
            adapter.port = static_cast<uint8_t>(2 + i);
            adapter.address = static_cast<uint8_t>(5 + i);
            // The second adapter already runs our firmware: the one to be confused with.
            const bool running = settings.count("running") || i > 0;
            adapter.life = running ? Life::Firmware : Life::Loader;
            const auto loader = static_cast<uint16_t>(fakes::Number(settings, "loader", kLoaderProduct));
            adapter.listed = {i, 0, adapter.address, running ? kFirmwareProduct : loader};
            if (running)
                adapter.board = makeBoard();
            adapters.push_back(std::move(adapter));
        }
        if (settings.count("journal"))
            journal = std::fopen(settings.at("journal").c_str(), "w");
    }
    std::unique_ptr<SimBoard> makeBoard() {
        SimConfig config;
        std::string error;
        const char* text = std::getenv("OTK5530_SIM");
        ParseSimConfig(text ? text : "", config, error);
        return std::make_unique<SimBoard>(config);
    }
    void note(int adapter, const std::string& line) {
        if (journal) {
            std::fprintf(journal, "adapter %d: %s\n", adapter + 1, line.c_str());
            std::fflush(journal);
        }
    }
    long ms(const char* key, long fallback) { return fakes::Number(settings, key, fallback); }

    // Moves an adapter through its re-enumeration as time passes.
    void update(Adapter& adapter) {
        if (adapter.life != Life::Leaving && adapter.life != Life::Gone)
            return;
        const long since =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - adapter.released).count();
        if (settings.count("never_back")) {
            adapter.life = since >= ms("stale_ms", 300) ? Life::Gone : Life::Leaving;
            return;
        }
        if (since >= ms("back_ms", 800)) {
            if (adapter.life != Life::Firmware) {
                adapter.life = Life::Firmware;
                adapter.address = static_cast<uint8_t>(adapter.address + 10);
                adapter.listed = {adapter.listed.adapter, ++adapter.generation, adapter.address,
                                  kFirmwareProduct};
                adapter.board = makeBoard();
                note(static_cast<int>(&adapter - adapters.data()), "back under the firmware id");
            }
        } else if (since >= ms("stale_ms", 300)) {
            adapter.life = Life::Gone;
        }
    }
};

World& world() {
    static World instance;
    return instance;
}

// The listing a handle was opened on is stale once the adapter has left it.
bool current(const Adapter& adapter, const libusb_device& device) {
    return device.generation == adapter.generation && adapter.life != Life::Gone &&
           adapter.life != Life::Leaving && adapter.life != Life::Unplugged;
}

bool imageIsSimulated(const Adapter& adapter) {
    const std::string bytes(adapter.ram.begin(), adapter.ram.end());
    return bytes.find(kSimulatedImageMarker) != std::string::npos;
}

int firmwareLoad(World& w, Adapter& adapter, int index, uint16_t address, const unsigned char* data,
                 uint16_t length) {
    if (adapter.life != Life::Loader)
        return LIBUSB_ERROR_PIPE; // our firmware does not take the load request
    if (address == kCpuControl && length == 1) {
        if (data[0] == 1) {
            adapter.cpuHeld = true;
            return 1;
        }
        adapter.cpuHeld = false;
        w.note(index, imageIsSimulated(adapter) ? "CPU started on the simulated board's image"
                                                : "CPU started on the loaded firmware");
        adapter.life = Life::Leaving;
        adapter.released = Clock::now();
        const std::string answer = w.settings.count("release") ? w.settings.at("release") : "io";
        return answer == "ok"          ? 1
               : answer == "pipe"      ? LIBUSB_ERROR_PIPE
               : answer == "no_device" ? LIBUSB_ERROR_NO_DEVICE
                                       : LIBUSB_ERROR_IO;
    }
    const bool inRam =
        address + length <= kProgramRamEnd || (address >= kDataRamStart && address + length <= kDataRamEnd);
    if (!adapter.cpuHeld || !inRam) {
        w.note(index, "firmware bytes refused at " + std::to_string(address));
        return LIBUSB_ERROR_PIPE;
    }
    std::memcpy(adapter.ram.data() + address, data, length);
    return length;
}

int firmwareRequest(World& w, Adapter& adapter, int index, uint8_t type, uint8_t request, uint16_t value,
                    uint16_t windex, unsigned char* data, uint16_t length) {
    const long unplugAfter = w.ms("unplug_after", -1);
    if (unplugAfter >= 0 && adapter.requests >= unplugAfter) {
        adapter.life = Life::Unplugged;
        w.note(index, "unplugged");
        return LIBUSB_ERROR_NO_DEVICE;
    }
    ++adapter.requests;
    const int16_t direction = (type & 0x80) ? 1 : 0;
    uint8_t noData = 0;
    const int16_t status = adapter.board->VendorIORequest(request, value, windex, direction,
                                                          direction ? length : 0, direction ? data : &noData);
    w.note(index, "request " + std::to_string(request) + " value " + std::to_string(value) + " index " +
                      std::to_string(windex) + " status " + std::to_string(status));
    if (status != 0)
        return LIBUSB_ERROR_PIPE;
    return direction ? length : 0;
}

} // namespace

extern "C" {

int libusb_init(libusb_context** context) {
    world();
    if (context)
        *context = new libusb_context;
    return 0;
}

void libusb_exit(libusb_context* context) {
    delete context;
}

const char* libusb_error_name(int code) {
    switch (code) {
    case LIBUSB_ERROR_IO:
        return "LIBUSB_ERROR_IO";
    case LIBUSB_ERROR_ACCESS:
        return "LIBUSB_ERROR_ACCESS";
    case LIBUSB_ERROR_NO_DEVICE:
        return "LIBUSB_ERROR_NO_DEVICE";
    case LIBUSB_ERROR_BUSY:
        return "LIBUSB_ERROR_BUSY";
    case LIBUSB_ERROR_PIPE:
        return "LIBUSB_ERROR_PIPE";
    default:
        return "LIBUSB_ERROR_OTHER";
    }
}

const char* libusb_strerror(int code) {
    switch (code) {
    case LIBUSB_ERROR_ACCESS:
        return "Access denied (insufficient permissions)";
    case LIBUSB_ERROR_NO_DEVICE:
        return "No such device (it may have been disconnected)";
    case LIBUSB_ERROR_BUSY:
        return "Resource busy";
    default:
        return "Other error";
    }
}

ssize_t libusb_get_device_list(libusb_context*, libusb_device*** list) {
    World& w = world();
    std::lock_guard<std::mutex> guard(w.lock);
    std::vector<libusb_device*> devices;
    for (Adapter& adapter : w.adapters) {
        w.update(adapter);
        // While leaving, the old listing is still there; then nothing until it is back.
        if (adapter.life != Life::Gone && adapter.life != Life::Unplugged)
            devices.push_back(&adapter.listed);
    }
    *list = new libusb_device*[devices.size() + 1];
    std::copy(devices.begin(), devices.end(), *list);
    (*list)[devices.size()] = nullptr;
    return static_cast<ssize_t>(devices.size());
}

void libusb_free_device_list(libusb_device** list, int) {
    delete[] list;
}

int libusb_get_device_descriptor(libusb_device* device, libusb_device_descriptor* descriptor) {
    std::memset(descriptor, 0, sizeof *descriptor);
    descriptor->idVendor = kVendor;
    descriptor->idProduct = device->product;
    return 0;
}

uint8_t libusb_get_bus_number(libusb_device* device) {
    return static_cast<uint8_t>(world().adapters[static_cast<size_t>(device->adapter)].bus);
}

uint8_t libusb_get_device_address(libusb_device* device) {
    return device->address;
}

int libusb_get_port_numbers(libusb_device* device, uint8_t* ports, int length) {
    if (length < 1)
        return LIBUSB_ERROR_OVERFLOW;
    ports[0] = world().adapters[static_cast<size_t>(device->adapter)].port;
    return 1;
}

int libusb_open(libusb_device* device, libusb_device_handle** handle) {
    World& w = world();
    std::lock_guard<std::mutex> guard(w.lock);
    Adapter& adapter = w.adapters[static_cast<size_t>(device->adapter)];
    if (w.settings.count("access"))
        return LIBUSB_ERROR_ACCESS;
    // The stale listing of an adapter that is leaving still opens; its transfers then fail.
    const bool stale = adapter.life == Life::Leaving && device->generation == adapter.generation;
    if (!current(adapter, *device) && !stale)
        return LIBUSB_ERROR_NO_DEVICE;
    *handle = new libusb_device_handle{*device};
    w.note(device->adapter, "opened");
    return 0;
}

void libusb_close(libusb_device_handle* handle) {
    delete handle;
}

int libusb_set_auto_detach_kernel_driver(libusb_device_handle*, int) {
    return 0;
}

int libusb_claim_interface(libusb_device_handle* handle, int) {
    World& w = world();
    std::lock_guard<std::mutex> guard(w.lock);
    if (w.settings.count("busy"))
        return LIBUSB_ERROR_BUSY;
    w.adapters[static_cast<size_t>(handle->device.adapter)].claimed = true;
    return 0;
}

int libusb_release_interface(libusb_device_handle* handle, int) {
    world().adapters[static_cast<size_t>(handle->device.adapter)].claimed = false;
    return 0;
}

int libusb_control_transfer(libusb_device_handle* handle, uint8_t type, uint8_t request, uint16_t value,
                            uint16_t index, unsigned char* data, uint16_t length, unsigned int) {
    World& w = world();
    std::lock_guard<std::mutex> guard(w.lock);
    const int number = handle->device.adapter;
    Adapter& adapter = w.adapters[static_cast<size_t>(number)];
    w.update(adapter);
    if (!current(adapter, handle->device))
        return LIBUSB_ERROR_NO_DEVICE;
    if (!adapter.claimed)
        w.note(number, "request without a claimed interface");
    if (type == 0x80 && request == 0x00 && length >= 2) { // GET_STATUS
        data[0] = data[1] = 0;
        return 2;
    }
    if (type == 0x40 && request == 0xA0)
        return firmwareLoad(w, adapter, number, value, data, length);
    if (adapter.life != Life::Firmware)
        return LIBUSB_ERROR_PIPE; // the loader knows no vendor requests of ours
    if ((type & 0x7F) != 0x40)
        return LIBUSB_ERROR_PIPE;
    return firmwareRequest(w, adapter, number, type, request, value, index, data, length);
}

} // extern "C"

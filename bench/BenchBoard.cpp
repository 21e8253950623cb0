#include "BenchBoard.h"

#include "adapter/SimBoard.h"
#include "adapter/VendorRequests.h"
#include "device/Clock.h"
#include "device/GeneralStuff.h"
#include "device/RegMapStuff.h"

#include <cstdlib>
#include <iostream>
#include <memory>

namespace BenchBoard {

void Connect() {
    GeneralStuff::ResetSharedState();
    RegMapStuff::BuildRegisterTable();
    SimConfig config;
    std::string error;
    if (!ParseSimConfig("drift=off", config, error)) {
        std::cerr << error << '\n';
        std::exit(1);
    }
    InstallAdapter(std::make_unique<SimBoard>(config));
    uint8_t noData = 0;
    if (USBFunctions::VendorIORequest(VendorRequest::BusSetUp, VendorRequest::BusSetUpValue,
                                      VendorRequest::BusSetUpIndex, 0, 0, &noData) != 0) {
        std::cerr << "the simulated board refused the bus set-up\n";
        std::exit(1);
    }
    GeneralStuff::DeviceAddress = kChipAddress;
}

FakeClock::FakeClock() {
    Clock::SetLocalNowSource([this] { return m_now; });
}

FakeClock::~FakeClock() {
    Clock::SetLocalNowSource({});
}

} // namespace BenchBoard

#include "adapter/DefaultAdapter.h"
#include "adapter/SimBoard.h"
#include "adapter/USBFunctions.h"
#include "adapter/VendorRequests.h"
#include "device/GeneralStuff.h"
#include "device/RegMapStuff.h"
#include "device/USBStuff.h"
#include "support/ScriptedAdapter.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// The device link against the simulated board, as the program uses it.
class SimLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        GeneralStuff::ResetSharedState();
        RegMapStuff::BuildRegisterTable();
        ThrowOnLinkError(&linkErrors);
    }
    void TearDown() override {
        InstallAdapter(nullptr);
        setenv("OTK5530_SIM", "", 1);
    }
    SimBoard* install(const std::string& text) {
        SimConfig config;
        std::string error;
        EXPECT_TRUE(ParseSimConfig(text, config, error)) << error;
        auto board = std::make_unique<SimBoard>(config, [this] { return now; });
        SimBoard* raw = board.get();
        InstallAdapter(std::move(board));
        return raw;
    }
    int16_t busSetUp() {
        uint8_t noData = 0;
        return USBFunctions::VendorIORequest(VendorRequest::BusSetUp, 0x30, 0x33, 0, 0, &noData);
    }

    double now = 10.0;
    std::vector<int16_t> linkErrors;
};

TEST_F(SimLinkTest, ReadAndWriteRegistersThroughTheDeviceLink) {
    install("drift=off");
    ASSERT_EQ(busSetUp(), 0);
    GeneralStuff::DeviceAddress = 0x4C;
    EXPECT_EQ(USBStuff::ReadRegister(0x4C, 0xFE), 0x41);
    EXPECT_EQ(USBStuff::ReadRegister(0x4C, 0xFF), 0x52);
    EXPECT_EQ(USBStuff::WriteRegister(0x4C, 0x0B, 0x30), 0);
    EXPECT_EQ(USBStuff::ReadRegister(0x4C, 0x05), 0x30);
    // Data above 255 reaches the chip as 255.
    USBStuff::WriteRegister(0x4C, 0x21, 300);
    EXPECT_EQ(USBStuff::ReadRegister(0x4C, 0x21), 0xFF);
    EXPECT_TRUE(linkErrors.empty());
}

TEST_F(SimLinkTest, ConfigurationWriteRefreshesRangeAndBankFromTheChip) {
    install("drift=off");
    ASSERT_EQ(busSetUp(), 0);
    GeneralStuff::DeviceAddress = 0x4C;
    USBStuff::WriteRegister(0x4C, 0x09, 0x0C);
    EXPECT_TRUE(GeneralStuff::ExtendedRange);
    EXPECT_TRUE(GeneralStuff::Remote2Selected);
    now += 0.1;
    // Remote 2 (30.5 °C) in the extended range through the shared address.
    EXPECT_EQ(USBStuff::ReadRegister(0x4C, 0x01), 30 + 64);
    USBStuff::WriteRegister(0x4C, 0x09, 0x00);
    EXPECT_FALSE(GeneralStuff::ExtendedRange);
    EXPECT_FALSE(GeneralStuff::Remote2Selected);
}

TEST_F(SimLinkTest, FailedTransferIsALinkErrorAndPollKeepsTheOldBuffer) {
    install("fail_after=3");
    ASSERT_EQ(busSetUp(), 0);                            // request 1
    EXPECT_EQ(USBStuff::ReadRegister(0x4C, 0xFE), 0x41); // 2
    EXPECT_EQ(USBStuff::PollRegister(0x4C, 0xFF), 0x52); // 3
    EXPECT_EQ(USBStuff::PollRegister(0x4C, 0xFE), 0x52);
    EXPECT_THROW(USBStuff::ReadRegister(0x4C, 0xFE), LinkErrorExit);
    EXPECT_THROW(USBStuff::WriteRegister(0x4C, 0x0B, 1), LinkErrorExit);
    EXPECT_EQ(linkErrors, (std::vector<int16_t>{USBStuff::CommunicationsInterrupted,
                                                USBStuff::CommunicationsInterrupted}));
}

TEST_F(SimLinkTest, ReadBeforeBusSetUpIsALinkError) {
    install("");
    EXPECT_THROW(USBStuff::ReadRegister(0x4C, 0xFE), LinkErrorExit);
}

TEST_F(SimLinkTest, DefaultAdapterFollowsTheEnvironmentFromFirmwareToAddressSearch) {
    setenv("OTK5530_SIM", "address=0x18+0x4C, setup_failures=2, drift=off", 1);
    std::string error;
    ASSERT_TRUE(InstallDefaultAdapter(error)) << error;
    EXPECT_GE(USBStuff::LoadAdapterFirmware(), 0);
    EXPECT_NE(busSetUp(), 0);
    EXPECT_NE(busSetUp(), 0);
    EXPECT_EQ(busSetUp(), 0);
    int found = 0;
    for (int address = 0x18; address <= 0x4E && found == 0; ++address)
        if (USBStuff::ReadRegister(address, 0xFE) == 0x41)
            found = address;
    EXPECT_EQ(found, 0x18);
}

TEST_F(SimLinkTest, DefaultAdapterWithFailingFirmwareReportsNegativeStatus) {
    setenv("OTK5530_SIM", "firmware=fail", 1);
    std::string error;
    ASSERT_TRUE(InstallDefaultAdapter(error)) << error;
    EXPECT_LT(USBStuff::LoadAdapterFirmware(), 0);
}

TEST_F(SimLinkTest, DefaultAdapterRefusesBadConfigurationAndInstallsNothing) {
    InstallAdapter(nullptr);
    setenv("OTK5530_SIM", "address=0x99", 1);
    std::string error;
    EXPECT_FALSE(InstallDefaultAdapter(error));
    EXPECT_EQ(
        error,
        "OTK5530_SIM: address=0x99 refused: expected 7-bit addresses 0x00..0x7F joined with +, or none");
    EXPECT_EQ(InstalledAdapter(), nullptr);
}

TEST_F(SimLinkTest, DefaultAdapterWithEmptyEnvironmentIsAChipAt0x4C) {
    unsetenv("OTK5530_SIM");
    std::string error;
    ASSERT_TRUE(InstallDefaultAdapter(error)) << error;
    ASSERT_EQ(busSetUp(), 0);
    EXPECT_EQ(USBStuff::ReadRegister(0x4C, 0xFE), 0x41);
    EXPECT_EQ(USBStuff::ReadRegister(0x4B, 0xFE), 0xFF);
}

} // namespace

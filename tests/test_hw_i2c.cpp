#include "adapter/I2cAdapter.h"
#include "device/GeneralStuff.h"
#include "device/RegMapStuff.h"
#include "device/USBStuff.h"
#include "support/ScriptedAdapter.h"

#include <cerrno>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

std::string hex(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

// Stands in for the kernel: chips answer at their addresses, every call is logged,
// and errors can be scripted per call kind.
class FakeI2cDevice : public I2cDevice {
public:
    int Open(const std::string& path) override {
        opened.push_back(path);
        open = openError == 0;
        return openError;
    }
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }
    int SetSlave(int address) override {
        calls.push_back("slave " + hex(address));
        slave = address;
        return slaveError;
    }
    int ReadByteData(uint8_t reg, uint8_t& value) override {
        calls.push_back("read " + hex(reg));
        if (transferError != 0)
            return transferError;
        if (!chips.count(slave))
            return ENXIO;
        value = registers[{slave, reg}];
        return 0;
    }
    int WriteByteData(uint8_t reg, uint8_t value) override {
        calls.push_back("write " + hex(reg) + "=" + hex(value));
        if (transferError != 0)
            return transferError;
        if (!chips.count(slave))
            return ENXIO;
        registers[{slave, reg}] = value;
        return 0;
    }

    bool open = false;
    int openError = 0;
    int slaveError = 0;
    int transferError = 0;
    int slave = -1;
    std::set<int> chips{0x4C};
    std::map<std::pair<int, int>, uint8_t> registers{{{0x4C, 0xFE}, 0x41}, {{0x4C, 0x02}, 0x10}};
    std::vector<std::string> opened;
    std::vector<std::string> calls;
};

class I2cAdapterTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto fake = std::make_unique<FakeI2cDevice>();
        device = fake.get();
        adapter = std::make_unique<I2cAdapter>(std::move(fake), "/dev/i2c-3");
    }
    int16_t busSetUp() { return adapter->VendorIORequest(0xDD, 0x30, 0x33, 0, 0, buffer); }

    FakeI2cDevice* device = nullptr;
    std::unique_ptr<I2cAdapter> adapter;
    uint8_t buffer[1] = {0x5A};
};

struct MappingCase {
    const char* name;
    int16_t request;
    int32_t value;
    int32_t index;
    int16_t direction;
    std::vector<std::string> calls;
    uint8_t byte; // buffer[0] afterwards
};

class I2cMappingCases : public I2cAdapterTest, public ::testing::WithParamInterface<MappingCase> {};

TEST_P(I2cMappingCases, RequestBecomesOneSmbusByteDataTransfer) {
    const MappingCase& c = GetParam();
    ASSERT_EQ(busSetUp(), 0);
    EXPECT_EQ(adapter->VendorIORequest(c.request, c.value, c.index, c.direction, c.direction, buffer), 0);
    EXPECT_EQ(device->calls, c.calls);
    EXPECT_EQ(buffer[0], c.byte);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, I2cMappingCases,
    ::testing::Values(
        MappingCase{"RegisterRead", 0xDE, 0x4C, 0xFE, 1, {"slave 0x4C", "read 0xFE"}, 0x41},
        MappingCase{"Poll", 0xDC, 0x4C, 0x02, 1, {"slave 0x4C", "read 0x02"}, 0x10},
        MappingCase{"RegisterWrite", 0xDE, 0x4C, 0x5509, 0, {"slave 0x4C", "write 0x09=0x55"}, 0x5A},
        // Data -5 to register 0x21: the two's complement byte 0xFB goes out.
        MappingCase{"NegativeDataWrite", 0xDE, 0x4C, -1247, 0, {"slave 0x4C", "write 0x21=0xFB"}, 0x5A},
        MappingCase{
            "IndexBitsAboveFifteenIgnored", 0xDE, 0x4C, 0x12345, 0, {"slave 0x4C", "write 0x45=0x23"}, 0x5A},
        // Where no chip acknowledges, the adapter completes: 0xFF, writes go nowhere.
        MappingCase{"ReadWithoutChip", 0xDE, 0x4B, 0xFE, 1, {"slave 0x4B", "read 0xFE"}, 0xFF},
        MappingCase{"WriteWithoutChip", 0xDE, 0x4B, 0x0109, 0, {"slave 0x4B", "write 0x09=0x01"}, 0x5A}),
    [](const ::testing::TestParamInfo<MappingCase>& row) { return std::string(row.param.name); });

TEST_F(I2cAdapterTest, WriteReachesTheChipRegister) {
    ASSERT_EQ(busSetUp(), 0);
    ASSERT_EQ(adapter->VendorIORequest(0xDE, 0x4C, 0x2A0B, 0, 0, buffer), 0);
    EXPECT_EQ((device->registers[{0x4C, 0x0B}]), 0x2A);
}

struct ErrorCase {
    const char* name;
    int16_t direction;
    int slaveError;
    int transferError;
    int16_t status;
    uint8_t byte;
};

class I2cErrorCases : public I2cAdapterTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(I2cErrorCases, NoAcknowledgeCompletesOtherFailuresFail) {
    const ErrorCase& c = GetParam();
    ASSERT_EQ(busSetUp(), 0);
    device->slaveError = c.slaveError;
    device->transferError = c.transferError;
    EXPECT_EQ(adapter->VendorIORequest(0xDE, 0x4C, c.direction == 1 ? 0xFE : 0x0109, c.direction, c.direction,
                                       buffer),
              c.status);
    EXPECT_EQ(buffer[0], c.byte);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, I2cErrorCases,
    ::testing::Values(ErrorCase{"ReadNoAckNxio", 1, 0, ENXIO, 0, 0xFF},
                      ErrorCase{"ReadNoAckRemoteIo", 1, 0, EREMOTEIO, 0, 0xFF},
                      ErrorCase{"ReadNoAckIo", 1, 0, EIO, 0, 0xFF},
                      // A kernel driver owns the address: not ours, so it looks empty.
                      ErrorCase{"ReadAddressBoundByKernelDriver", 1, EBUSY, 0, 0, 0xFF},
                      // The bus vanished: a failure, and the buffer keeps what it held.
                      ErrorCase{"ReadBadFile", 1, 0, EBADF, I2cAdapter::kTransferFailed, 0x5A},
                      ErrorCase{"ReadNoDevice", 1, 0, ENODEV, I2cAdapter::kTransferFailed, 0x5A},
                      ErrorCase{"ReadTimeout", 1, 0, ETIMEDOUT, I2cAdapter::kTransferFailed, 0x5A},
                      ErrorCase{"ReadArbitrationLost", 1, 0, EAGAIN, I2cAdapter::kTransferFailed, 0x5A},
                      ErrorCase{"ReadSlaveNotSettable", 1, EBADF, 0, I2cAdapter::kTransferFailed, 0x5A},
                      ErrorCase{"WriteNoAck", 0, 0, ENXIO, 0, 0x5A},
                      ErrorCase{"WriteAddressBoundByKernelDriver", 0, EBUSY, 0, 0, 0x5A},
                      ErrorCase{"WriteBadFile", 0, 0, EBADF, I2cAdapter::kTransferFailed, 0x5A},
                      ErrorCase{"WriteSlaveNotSettable", 0, ENOTTY, 0, I2cAdapter::kTransferFailed, 0x5A}),
    [](const ::testing::TestParamInfo<ErrorCase>& row) { return std::string(row.param.name); });

TEST_F(I2cAdapterTest, RegisterRequestBeforeBusSetUpFails) {
    EXPECT_EQ(adapter->VendorIORequest(0xDE, 0x4C, 0xFE, 1, 1, buffer), I2cAdapter::kBusNotOpen);
    EXPECT_TRUE(device->calls.empty());
    EXPECT_EQ(buffer[0], 0x5A);
}

TEST_F(I2cAdapterTest, BusSetUpOpensTheBusAfreshEachTime) {
    device->openError = ENOENT;
    EXPECT_EQ(busSetUp(), I2cAdapter::kSetUpFailed);
    EXPECT_EQ(adapter->VendorIORequest(0xDE, 0x4C, 0xFE, 1, 1, buffer), I2cAdapter::kBusNotOpen);
    // The bus came back: the next set-up finds it.
    device->openError = 0;
    EXPECT_EQ(busSetUp(), 0);
    EXPECT_EQ(adapter->VendorIORequest(0xDE, 0x4C, 0xFE, 1, 1, buffer), 0);
    EXPECT_EQ(device->opened, (std::vector<std::string>{"/dev/i2c-3", "/dev/i2c-3"}));
}

struct RefusedCase {
    const char* name;
    int16_t request;
    int32_t value;
    int32_t index;
    int16_t direction;
    int16_t length;
    bool nullBuffer;
};

class I2cRefusedCases : public I2cAdapterTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(I2cRefusedCases, RefusedWithoutTouchingTheBus) {
    const RefusedCase& c = GetParam();
    ASSERT_EQ(busSetUp(), 0);
    EXPECT_EQ(adapter->VendorIORequest(c.request, c.value, c.index, c.direction, c.length,
                                       c.nullBuffer ? nullptr : buffer),
              I2cAdapter::kUnknownRequest);
    EXPECT_TRUE(device->calls.empty());
    EXPECT_EQ(device->opened.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, I2cRefusedCases,
    ::testing::Values(RefusedCase{"OtherRequest", 0xDF, 0x4C, 0xFE, 1, 1, false},
                      RefusedCase{"PollAsWrite", 0xDC, 0x4C, 0x0109, 0, 0, false},
                      RefusedCase{"SetUpAsRead", 0xDD, 0x30, 0x33, 1, 1, false},
                      RefusedCase{"SetUpWithOtherValue", 0xDD, 0x31, 0x33, 0, 0, false},
                      RefusedCase{"EightBitDeviceAddress", 0xDE, 0x98, 0xFE, 1, 1, false},
                      RefusedCase{"NegativeDeviceAddress", 0xDE, -1, 0x0109, 0, 0, false},
                      RefusedCase{"RegisterAbove255", 0xDE, 0x4C, 0x100, 1, 1, false},
                      RefusedCase{"ReadOfNoBytes", 0xDE, 0x4C, 0xFE, 1, 0, false},
                      RefusedCase{"ReadWithoutBuffer", 0xDE, 0x4C, 0xFE, 1, 1, true}),
    [](const ::testing::TestParamInfo<RefusedCase>& row) { return std::string(row.param.name); });

TEST_F(I2cAdapterTest, FirmwareDownloadSucceedsWithoutTouchingTheBus) {
    EXPECT_EQ(adapter->LoadFirmWare("/nowhere/OTK5520FW.Hex"), 0);
    EXPECT_TRUE(device->opened.empty());
    EXPECT_TRUE(device->calls.empty());
}

struct OpenCase {
    const char* name;
    int openError;
    const char* message;
};

class I2cOpenCases : public I2cAdapterTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(I2cOpenCases, BusThatCannotBeOpenedIsRefusedWithTheReason) {
    device->openError = GetParam().openError;
    std::string error;
    EXPECT_FALSE(adapter->Open(error));
    EXPECT_EQ(error, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, I2cOpenCases,
    ::testing::Values(
        OpenCase{"Missing", ENOENT, "Linux I2C bus /dev/i2c-3 cannot be opened: No such file or directory"},
        OpenCase{"NotPermitted", EACCES, "Linux I2C bus /dev/i2c-3 cannot be opened: Permission denied"}),
    [](const ::testing::TestParamInfo<OpenCase>& row) { return std::string(row.param.name); });

TEST_F(I2cAdapterTest, OpenedBusIsNamed) {
    std::string error;
    EXPECT_TRUE(adapter->Open(error)) << error;
    EXPECT_EQ(adapter->Description(), "Linux I2C bus /dev/i2c-3");
}

// The device link on an I2C bus, as start-up uses it.
class I2cLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        GeneralStuff::ResetSharedState();
        RegMapStuff::BuildRegisterTable();
        ThrowOnLinkError(&linkErrors);
        auto fake = std::make_unique<FakeI2cDevice>();
        device = fake.get();
        auto adapter = std::make_unique<I2cAdapter>(std::move(fake), "/dev/i2c-3");
        std::string error;
        ASSERT_TRUE(adapter->Open(error)) << error;
        InstallAdapter(std::move(adapter));
    }
    void TearDown() override { InstallAdapter(nullptr); }

    FakeI2cDevice* device = nullptr;
    std::vector<int16_t> linkErrors;
};

// Every empty address of the search must read without a link error, or start-up would end.
TEST_F(I2cLinkTest, AddressSearchPassesEmptyAddressesAndFindsTheChip) {
    device->chips = {0x4D};
    device->registers[{0x4D, 0xFE}] = 0x41;
    EXPECT_GE(USBStuff::LoadAdapterFirmware(), 0);
    uint8_t noData = 0;
    ASSERT_EQ(USBFunctions::VendorIORequest(0xDD, 0x30, 0x33, 0, 0, &noData), 0);
    int found = 0;
    for (int address = 0x18; address <= 0x4E && found == 0; ++address)
        if (USBStuff::ReadRegister(address, 0xFE) == 0x41)
            found = address;
    EXPECT_EQ(found, 0x4D);
    EXPECT_TRUE(linkErrors.empty());
    EXPECT_EQ(USBStuff::WriteRegister(0x4D, 0x0A, 0x07), 0);
    EXPECT_EQ((device->registers[{0x4D, 0x0A}]), 0x07);
}

TEST_F(I2cLinkTest, VanishedBusIsALinkError) {
    uint8_t noData = 0;
    ASSERT_EQ(USBFunctions::VendorIORequest(0xDD, 0x30, 0x33, 0, 0, &noData), 0);
    device->transferError = ENODEV;
    EXPECT_THROW(USBStuff::ReadRegister(0x4C, 0xFE), LinkErrorExit);
    EXPECT_THROW(USBStuff::WriteRegister(0x4C, 0x0A, 0x07), LinkErrorExit);
    EXPECT_EQ(linkErrors, (std::vector<int16_t>{USBStuff::CommunicationsInterrupted,
                                                USBStuff::CommunicationsInterrupted}));
}

} // namespace

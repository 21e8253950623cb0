#include "adapter/I2cAdapter.h"
#include "device/GeneralStuff.h"
#include "device/RegMapStuff.h"
#include "device/USBStuff.h"
#include "support/ScriptedAdapter.h"

#include <cerrno>
#include <cstdio>
#include <gtest/gtest.h>
#include <linux/i2c.h>
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
    int Functionality(unsigned long& bits) override {
        bits = functionality;
        return functionalityError;
    }
    int SetSlave(int address, bool force) override {
        calls.push_back((force ? "slave! " : "slave ") + hex(address));
        slave = address;
        return claimed.count(address) && !force ? EBUSY : slaveError;
    }
    std::string BoundDriver(int address, std::string& deviceName) const override {
        char name[16];
        std::snprintf(name, sizeof name, "3-%04x", address);
        deviceName = name;
        return claimed.count(address) ? claimed.at(address) : std::string();
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
    unsigned long functionality = I2C_FUNC_I2C | I2C_FUNC_SMBUS_BYTE_DATA;
    int functionalityError = 0;
    std::map<int, std::string> claimed; // address -> kernel driver bound there
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
                      // EIO is a bus fault, never a missing chip: 0xFF would pass for 255 °C.
                      ErrorCase{"ReadBusFault", 1, 0, EIO, I2cAdapter::kTransferFailed, 0x5A},
                      // A kernel driver owns the address: not ours, so the search passes over it.
                      ErrorCase{"ReadAddressBoundByKernelDriver", 1, EBUSY, 0, 0, 0xFF},
                      // The bus vanished: a failure, and the buffer keeps what it held.
                      ErrorCase{"ReadBadFile", 1, 0, EBADF, I2cAdapter::kTransferFailed, 0x5A},
                      ErrorCase{"ReadNoDevice", 1, 0, ENODEV, I2cAdapter::kTransferFailed, 0x5A},
                      ErrorCase{"ReadTimeout", 1, 0, ETIMEDOUT, I2cAdapter::kTransferFailed, 0x5A},
                      ErrorCase{"ReadArbitrationLost", 1, 0, EAGAIN, I2cAdapter::kTransferFailed, 0x5A},
                      ErrorCase{"ReadSlaveNotSettable", 1, EBADF, 0, I2cAdapter::kTransferFailed, 0x5A},
                      ErrorCase{"WriteNoAck", 0, 0, ENXIO, 0, 0x5A},
                      // A write to a driver's address would report a change that never happened.
                      ErrorCase{"WriteAddressBoundByKernelDriver", 0, EBUSY, 0, I2cAdapter::kTransferFailed,
                                0x5A},
                      ErrorCase{"WriteBusFault", 0, 0, EIO, I2cAdapter::kTransferFailed, 0x5A},
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
                      // The reserved addresses: 0x00 is the general call, which every chip hears.
                      RefusedCase{"GeneralCall", 0xDE, 0x00, 0x0109, 0, 0, false},
                      RefusedCase{"BelowFirstDeviceAddress", 0xDE, 0x07, 0xFE, 1, 1, false},
                      RefusedCase{"AboveLastDeviceAddress", 0xDE, 0x78, 0xFE, 1, 1, false},
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
    int functionalityError;
    unsigned long functionality;
    const char* message;
};

class I2cOpenCases : public I2cAdapterTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(I2cOpenCases, BusThatCannotBeUsedIsRefusedWithTheReasonAndWhatToDo) {
    const OpenCase& c = GetParam();
    device->openError = c.openError;
    device->functionalityError = c.functionalityError;
    device->functionality = c.functionality;
    std::string error;
    EXPECT_FALSE(adapter->Open(error));
    EXPECT_EQ(error, c.message);
    EXPECT_FALSE(device->IsOpen());
}

constexpr unsigned long kByteData = I2C_FUNC_SMBUS_BYTE_DATA;

INSTANTIATE_TEST_SUITE_P(
    Errors, I2cOpenCases,
    ::testing::Values(
        OpenCase{"Missing", ENOENT, 0, kByteData,
                 "Linux I2C bus /dev/i2c-3 cannot be opened: No such file or directory; load the kernel's "
                 "i2c-dev module (sudo modprobe i2c-dev) and find the bus with i2cdetect -l"},
        OpenCase{
            "NotPermitted", EACCES, 0, kByteData,
            "Linux I2C bus /dev/i2c-3 cannot be opened: Permission denied; add your user to the group i2c "
            "(sudo adduser $USER i2c) and log in again"},
        OpenCase{
            "NoCharacterDevice", ENOTTY, 0, kByteData,
            "Linux I2C bus /dev/i2c-3 refused: /dev/i2c-3 is no I2C adapter device (/dev/i2c-N of i2c-dev)"},
        // A character device that is not i2c-dev, such as /dev/null.
        OpenCase{"NoI2cFunctions", 0, ENOTTY, kByteData,
                 "Linux I2C bus /dev/i2c-3 refused: /dev/i2c-3 is no I2C adapter device (I2C_FUNCS: "
                 "Inappropriate ioctl for device)"},
        OpenCase{"ReadOnlyByteData", 0, 0, I2C_FUNC_I2C | I2C_FUNC_SMBUS_READ_BYTE_DATA,
                 "Linux I2C bus /dev/i2c-3 refused: the bus cannot do SMBus byte-data reads and writes "
                 "(functionality 0x00080001)"}),
    [](const ::testing::TestParamInfo<OpenCase>& row) { return std::string(row.param.name); });

TEST_F(I2cAdapterTest, SilenceOfAChipThatHasAnsweredIsAFailedTransfer) {
    ASSERT_EQ(busSetUp(), 0);
    ASSERT_EQ(adapter->VendorIORequest(0xDE, 0x4C, 0xFE, 1, 1, buffer), 0);
    device->transferError = ENXIO;
    EXPECT_EQ(adapter->VendorIORequest(0xDE, 0x4C, 0x00, 1, 1, buffer), I2cAdapter::kTransferFailed);
    EXPECT_EQ(buffer[0], 0x41);
    EXPECT_EQ(adapter->FailureDetail(),
              "reading register 0x00 of the chip at 0x4C on /dev/i2c-3 failed: No such device or address");
    // Other addresses, never heard, are still passed over.
    EXPECT_EQ(adapter->VendorIORequest(0xDE, 0x4D, 0xFE, 1, 1, buffer), 0);
    EXPECT_EQ(buffer[0], 0xFF);
}

TEST_F(I2cAdapterTest, AddressKeptByAKernelDriverIsNamedWithTheWayToFreeIt) {
    device->claimed = {{0x4C, "lm90"}};
    ASSERT_EQ(busSetUp(), 0);
    for (int address = 0x4B; address <= 0x4D; ++address)
        ASSERT_EQ(adapter->VendorIORequest(0xDE, address, 0xFE, 1, 1, buffer), 0);
    EXPECT_EQ(
        adapter->FailureDetail(),
        "address 0x4C on /dev/i2c-3 is in use by the kernel driver lm90; unbind it with: echo 3-004c | "
        "sudo tee /sys/bus/i2c/drivers/lm90/unbind; or start with --adapter i2c:/dev/i2c-3,force to use "
        "it anyway");
}

TEST(I2cForcedAdapter, ForceTakesTheAddressFromTheKernelDriver) {
    auto fake = std::make_unique<FakeI2cDevice>();
    FakeI2cDevice* device = fake.get();
    device->claimed = {{0x4C, "lm90"}};
    I2cAdapter adapter(std::move(fake), "/dev/i2c-3", true);
    uint8_t buffer[1] = {0};
    ASSERT_EQ(adapter.VendorIORequest(0xDD, 0x30, 0x33, 0, 0, buffer), 0);
    EXPECT_EQ(adapter.VendorIORequest(0xDE, 0x4C, 0xFE, 1, 1, buffer), 0);
    EXPECT_EQ(buffer[0], 0x41);
    EXPECT_EQ(device->calls, (std::vector<std::string>{"slave! 0x4C", "read 0xFE"}));
}

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

#include "device/GeneralStuff.h"
#include "device/RegMapStuff.h"
#include "device/USBStuff.h"
#include "support/ScriptedAdapter.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace USBStuff;

namespace {

constexpr int32_t kChip = 0x4C;

class DeviceLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        GeneralStuff::ResetSharedState();
        GeneralStuff::DeviceAddress = kChip;
        adapter = InstallScriptedAdapter();
        ThrowOnLinkError(&codes);
    }
    ScriptedAdapter* adapter = nullptr;
    std::vector<int16_t> codes;
};

TEST_F(DeviceLinkTest, ReadSendsRegisterReadRequestAndReturnsTheByte) {
    adapter->setRegister(kChip, 0xFE, 0x41);
    EXPECT_EQ(ReadRegister(kChip, 0xFE), 0x41);
    ASSERT_EQ(adapter->requests.size(), 1u);
    EXPECT_EQ(adapter->requests[0], (AdapterRequest{0xDE, kChip, 0xFE, 1, 1}));
}

TEST_F(DeviceLinkTest, WriteIndexCarriesDataInTheHighByte) {
    const struct {
        int32_t reg, data, index;
        uint8_t byte; // what the chip stores
    } cases[] = {
        {0x0B, 0x55, 0x550B, 0x55},
        {0x21, 300, 255 * 256 + 0x21, 0xFF}, // data above 255 is sent as 255
        {0x21, -5, -1247, 0xFB},             // negative data is not clamped: two's complement in bits 15..8
        {0x09, 0, 0x09, 0x00},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        adapter->clearLog();
        adapter->setRegister(kChip, c.reg, 0x5A);
        EXPECT_EQ(WriteRegister(kChip, c.reg, c.data), 0);
        ASSERT_EQ(adapter->requests.size(), 1u + (c.reg == 0x09 ? 1u : 0u));
        EXPECT_EQ(adapter->requests[0], (AdapterRequest{0xDE, kChip, c.index, 0, 0}));
        EXPECT_EQ(adapter->reg(kChip, c.reg), c.byte);
    }
}

TEST_F(DeviceLinkTest, FailedReadOrWriteReportsCommunicationsInterrupted) {
    adapter->status = [](const AdapterRequest&, int) -> int16_t { return 1; };
    EXPECT_THROW(ReadRegister(kChip, 0x00), LinkErrorExit);
    EXPECT_THROW(WriteRegister(kChip, 0x0B, 1), LinkErrorExit);
    EXPECT_EQ(codes, (std::vector<int16_t>{CommunicationsInterrupted, CommunicationsInterrupted}));
}

TEST_F(DeviceLinkTest, FailedWriteSkipsThePostWriteUpdate) {
    RegMapStuff::BuildRegisterTable();
    adapter->status = [](const AdapterRequest&, int) -> int16_t { return 7; };
    EXPECT_THROW(WriteRegister(kChip, 0x09, 0x08), LinkErrorExit);
    EXPECT_EQ(adapter->requests.size(), 1u); // no read of Configuration Reg 1 followed
}

TEST_F(DeviceLinkTest, FailedPollReturnsTheBufferSilently) {
    adapter->setRegister(kChip, 0x02, 0x42);
    EXPECT_EQ(PollRegister(kChip, 0x02), 0x42);
    adapter->status = [](const AdapterRequest&, int) -> int16_t { return 5; };
    EXPECT_EQ(PollRegister(kChip, 0x23), 0x42); // whatever the shared buffer still holds
    EXPECT_TRUE(codes.empty());
    EXPECT_EQ(adapter->requests.back(), (AdapterRequest{0xDC, kChip, 0x23, 1, 1}));
}

TEST_F(DeviceLinkTest, LinkErrorMessagesAreTheFixedTexts) {
    EXPECT_EQ(LinkErrorMessage(FirmwareFailed), "Firmware failed to download - Check USB connections");
    EXPECT_EQ(LinkErrorMessage(InitialConnectionFailed), "Initial Connection Failed - Check USB connections");
    EXPECT_EQ(LinkErrorMessage(CommunicationsInterrupted),
              "Communications Interrupted - Check USB connections");
}

TEST_F(DeviceLinkTest, FirmwarePathIsTheApplicationFolderPlusTheFileName) {
    SetApplicationFolder("/opt/tools");
    EXPECT_EQ(LoadAdapterFirmware(), 0);
    EXPECT_EQ(FirmwarePath, "/opt/tools/OTK5520FW.Hex");
    ASSERT_EQ(adapter->firmwarePaths.size(), 1u);
    EXPECT_EQ(adapter->firmwarePaths[0], "/opt/tools/OTK5520FW.Hex");
    SetApplicationFolder({});
}

TEST_F(DeviceLinkTest, FirmwareStatusIsReturnedUnchanged) {
    adapter->firmwareStatus = -3;
    EXPECT_EQ(LoadAdapterFirmware(), -3);
    EXPECT_TRUE(codes.empty()); // the caller decides what a failed download means
}

TEST_F(DeviceLinkTest, FirmwarePathThatDoesNotFitIsRefusedNotTruncated) {
    const QString fits = "/" + QString(512 - 1 - QString("/OTK5520FW.Hex").size(), 'a');
    SetApplicationFolder(fits);
    EXPECT_EQ(LoadAdapterFirmware(), 0);
    EXPECT_EQ(adapter->firmwarePaths.back().size(), 512u);

    SetApplicationFolder(fits + "b");
    EXPECT_LT(LoadAdapterFirmware(), 0);
    EXPECT_EQ(adapter->firmwarePaths.size(), 1u); // the library was never called with a cut path
    EXPECT_TRUE(LinkErrorDetails().endsWith("has 513 bytes; the adapter library takes at most 512"))
        << LinkErrorDetails().toStdString();
    SetApplicationFolder({});
}

} // namespace

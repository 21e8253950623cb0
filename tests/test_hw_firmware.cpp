#include "adapter/FirmwareFile.h"
#include "adapter/IntelHex.h"
#include "adapter/UsbAdapter.h"
#include "support/FakeUsbTransport.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One Intel HEX line with its byte count and checksum.
std::string hexRecord(uint8_t type, uint16_t address, const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> all{static_cast<uint8_t>(bytes.size()), static_cast<uint8_t>(address >> 8),
                             static_cast<uint8_t>(address & 0xFF), type};
    all.insert(all.end(), bytes.begin(), bytes.end());
    unsigned sum = 0;
    for (uint8_t b : all)
        sum += b;
    all.push_back(static_cast<uint8_t>(0x100 - (sum & 0xFF)));
    static const char digits[] = "0123456789ABCDEF";
    std::string line = ":";
    for (uint8_t b : all) {
        line += digits[b >> 4];
        line += digits[b & 0xF];
    }
    return line + "\r\n";
}

std::string dataRecord(uint16_t address, const std::vector<uint8_t>& bytes) {
    return hexRecord(0x00, address, bytes);
}
const std::string kEnd = hexRecord(0x01, 0, {});

std::vector<uint8_t> counting(size_t count) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(i);
    return bytes;
}

std::vector<uint8_t> slice(const std::vector<uint8_t>& bytes, size_t from, size_t count) {
    return {bytes.begin() + from, bytes.begin() + from + count};
}

struct Expected {
    uint16_t address;
    std::vector<uint8_t> data;
};

class FirmwareDownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto fake = std::make_unique<FakeUsbTransport>();
        transport = fake.get();
        adapter =
            std::make_unique<UsbAdapter>(std::move(fake), UsbAdapterIds{},
                                         [this](std::chrono::milliseconds span) { sleeps.push_back(span); });
        std::string error;
        ASSERT_TRUE(adapter->Open(error));
    }
    std::string file(const std::string& text) {
        const std::string path = (dir.path() + "/OTK5520FW.Hex").toStdString();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    void expectFirmwareWrites(const std::vector<Expected>& expected) {
        const std::vector<SentTransfer> loads = transport->firmwareLoads();
        ASSERT_EQ(loads.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE("transfer " + std::to_string(i));
            const SentTransfer& sent = loads[i];
            EXPECT_EQ(sent.requestType, 0x40);
            EXPECT_EQ(sent.request, 0xA0);
            EXPECT_EQ(sent.value, expected[i].address);
            EXPECT_EQ(sent.index, 0);
            EXPECT_EQ(sent.length, expected[i].data.size());
            EXPECT_EQ(sent.data, expected[i].data);
            EXPECT_EQ(sent.timeoutMs, 1000u);
        }
    }

    QTemporaryDir dir;
    FakeUsbTransport* transport = nullptr;
    std::unique_ptr<UsbAdapter> adapter;
    std::vector<std::chrono::milliseconds> sleeps;
};

TEST_F(FirmwareDownloadTest, HoldsTheCpuWritesEveryRecordInChunksOfSixtyFourAndReleasesIt) {
    const std::vector<uint8_t> banner{0x4F, 0x54, 0x4B};
    const std::vector<uint8_t> table = counting(130);
    // The segment record moves the next record up by 0x0100 * 16.
    const std::string path = file(dataRecord(0x0000, banner) + dataRecord(0x1F00, table) +
                                  hexRecord(0x02, 0, {0x01, 0x00}) + dataRecord(0x0010, {0x21}) + kEnd);
    EXPECT_EQ(adapter->LoadFirmWare(path.c_str()), 0) << adapter->FirmwareError();
    expectFirmwareWrites({{0xE600, {0x01}},
                          {0x0000, banner},
                          {0x1F00, slice(table, 0, 64)},
                          {0x1F40, slice(table, 64, 64)},
                          {0x1F80, slice(table, 128, 2)},
                          {0x1010, {0x21}},
                          {0xE600, {0x00}}});
    // Re-opened under the firmware id, on the same port, never at the address that left.
    ASSERT_EQ(transport->openedMatches.size(), 2u);
    const UsbMatch& back = transport->openedMatches[1];
    ASSERT_EQ(back.ids.size(), 1u);
    EXPECT_EQ(UsbIdText(back.ids[0]), "04b4:5530");
    EXPECT_EQ(back.bus, 1);
    EXPECT_EQ(back.portPath, "2");
    EXPECT_EQ(back.excludedAddress, 7);
    EXPECT_TRUE(transport->IsOpen());
    EXPECT_EQ(adapter->Description(), "USB adapter 04b4:5530 (bus 1, port 2, device 8)");
    // Confirmed to answer before it is declared ready: a standard GET_STATUS.
    EXPECT_EQ(transport->transfers.back().requestType, 0x80);
    EXPECT_EQ(transport->transfers.back().request, 0x00);
}

TEST_F(FirmwareDownloadTest, AdapterAlreadyRunningOurFirmwareIsKeptWithoutADownload) {
    transport->devices = {transport->reborn};
    std::string error;
    ASSERT_TRUE(adapter->Open(error)) << error;
    const std::string path = file(dataRecord(0x0000, {0x01}) + kEnd);
    EXPECT_EQ(adapter->LoadFirmWare(path.c_str()), 0) << adapter->FirmwareError();
    EXPECT_TRUE(transport->firmwareLoads().empty());
    ASSERT_EQ(transport->transfers.size(), 1u);
    EXPECT_EQ(transport->transfers[0].request, 0x00);
    EXPECT_TRUE(sleeps.empty());
}

// A device that is listed but does not answer yet is not ready: the wait goes on.
TEST_F(FirmwareDownloadTest, ReopenedAdapterThatDoesNotAnswerIsNotReady) {
    const std::string path = file(dataRecord(0x0000, {0x01}) + kEnd);
    transport->results = {1, 1, 1, UsbTransport::kErrorNoDevice};
    EXPECT_EQ(adapter->LoadFirmWare(path.c_str()), 0) << adapter->FirmwareError();
    EXPECT_EQ(sleeps.size(), 2u);
    EXPECT_TRUE(transport->IsOpen());
}

// The shipped image is the simulated board's banner and table: a real adapter's CPU must
// never run it.
TEST_F(FirmwareDownloadTest, ShippedSimulatedImageIsRefusedBeforeAnyTransfer) {
    const std::string path = (QCoreApplication::applicationDirPath() + "/OTK5520FW.Hex").toStdString();
    EXPECT_EQ(adapter->LoadFirmWare(path.c_str()), UsbAdapter::kNotAdapterFirmware);
    EXPECT_TRUE(transport->transfers.empty());
    EXPECT_EQ(adapter->FirmwareError(),
              path + " is the simulated board's image, not USB adapter firmware; put the "
                     "USB adapter's own firmware image there, or use --adapter sim");
}

// The marker is found wherever the records split it.
TEST_F(FirmwareDownloadTest, MarkerSplitOverTwoRecordsIsStillRefused) {
    const std::string marker(kSimulatedImageMarker);
    const std::vector<uint8_t> first(marker.begin(), marker.begin() + 10);
    const std::vector<uint8_t> rest(marker.begin() + 10, marker.end());
    const std::string path = file(dataRecord(0x0200, first) + dataRecord(0x0300, rest) + kEnd);
    EXPECT_EQ(adapter->LoadFirmWare(path.c_str()), UsbAdapter::kNotAdapterFirmware);
    EXPECT_TRUE(transport->transfers.empty());
}

struct ReEnumerationCase {
    const char* name;
    int missedLooks; // opens after the download that find no adapter
    int16_t status;
    size_t sleeps;
};

class ReEnumerationCases : public FirmwareDownloadTest,
                           public ::testing::WithParamInterface<ReEnumerationCase> {};

TEST_P(ReEnumerationCases, WaitsInHalfSecondsForAtMostFiveSeconds) {
    const ReEnumerationCase& c = GetParam();
    transport->openFailures = c.missedLooks;
    const std::string path = file(dataRecord(0x0000, {0x01, 0x02}) + kEnd);
    EXPECT_EQ(adapter->LoadFirmWare(path.c_str()), c.status);
    EXPECT_EQ(sleeps, std::vector<std::chrono::milliseconds>(c.sleeps, std::chrono::milliseconds(500)));
    EXPECT_EQ(transport->IsOpen(), c.status == 0);
    if (c.status != 0) {
        EXPECT_EQ(adapter->FirmwareError(),
                  "USB adapter did not come back as 04b4:5530 on bus 1, port 2 within 5 s "
                  "of its firmware download");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Looks, ReEnumerationCases,
    ::testing::Values(ReEnumerationCase{"BackAtFirstLook", 0, 0, 1},
                      ReEnumerationCase{"BackAtFourthLook", 3, 0, 4},
                      ReEnumerationCase{"BackAtLastLook", 9, 0, 10},
                      ReEnumerationCase{"NeverBack", 10, UsbAdapter::kNoReEnumeration, 10}),
    [](const ::testing::TestParamInfo<ReEnumerationCase>& row) { return std::string(row.param.name); });

struct FailureCase {
    const char* name;
    std::string text; // empty: no file at all
    std::deque<int> results;
    int16_t status;
    size_t transfers;
    const char* errorPart;
};

class FirmwareFailureCases : public FirmwareDownloadTest,
                             public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FirmwareFailureCases, FailsNegativeAndStopsAtTheFault) {
    const FailureCase& c = GetParam();
    const std::string path = c.text.empty() ? (dir.path() + "/none.Hex").toStdString() : file(c.text);
    transport->results = c.results;
    EXPECT_EQ(adapter->LoadFirmWare(path.c_str()), c.status);
    EXPECT_EQ(transport->transfers.size(), c.transfers);
    EXPECT_NE(adapter->FirmwareError().find(c.errorPart), std::string::npos) << adapter->FirmwareError();
    EXPECT_TRUE(sleeps.empty());
}

const std::string kThreeBytes = dataRecord(0x0100, {0x0A, 0x0B, 0x0C}) + kEnd;

INSTANTIATE_TEST_SUITE_P(
    Faults, FirmwareFailureCases,
    ::testing::Values(
        FailureCase{"MissingFile", "", {}, UsbAdapter::kFirmwareMissing, 0, "cannot be read"},
        FailureCase{"BadChecksum",
                    ":030000004F544B10\n" + kEnd,
                    {},
                    UsbAdapter::kFirmwareCorrupt,
                    0,
                    "line 1: record checksum"},
        FailureCase{
            "NoEndRecord", dataRecord(0, {1}), {}, UsbAdapter::kFirmwareCorrupt, 0, "no end-of-file record"},
        // The load request reaches only the on-chip RAM; nothing is sent rather than bytes that
        // would be lost or wrapped.
        FailureCase{"RecordAboveSixtyFourKiB",
                    hexRecord(0x04, 0, {0x00, 0x01}) + dataRecord(0, {1}) + kEnd,
                    {},
                    UsbAdapter::kFirmwareOutsideRam,
                    0,
                    "record at 0x10000 lies outside the RAM"},
        FailureCase{"RecordCrossingTheEndOfProgramRam",
                    dataRecord(0x3FFF, {1, 2}) + kEnd,
                    {},
                    UsbAdapter::kFirmwareOutsideRam,
                    0,
                    "record at 0x3FFF lies outside the RAM"},
        FailureCase{"RecordBetweenTheTwoRams",
                    dataRecord(0x8000, {1}) + kEnd,
                    {},
                    UsbAdapter::kFirmwareOutsideRam,
                    0,
                    "record at 0x8000 lies outside"},
        FailureCase{"RecordCrossingTheEndOfDataRam",
                    dataRecord(0xE1FF, {1, 2}) + kEnd,
                    {},
                    UsbAdapter::kFirmwareOutsideRam,
                    0,
                    "record at 0xE1FF lies outside"},
        // Writing 0xE600 from the image would restart the CPU halfway through the download.
        FailureCase{"RecordCoveringTheCpuControlRegister",
                    dataRecord(0x3FF0, {1}) + dataRecord(0xE5FE, {1, 2, 3, 4}) + kEnd,
                    {},
                    UsbAdapter::kFirmwareOutsideRam,
                    0,
                    "record at 0xE5FE covers the adapter's CPU control register 0xE600"},
        FailureCase{
            "HoldRefused", kThreeBytes, {-9}, UsbAdapter::kFirmwareRefused, 1, "did not stop its CPU"},
        // A failed record leaves the CPU held: half an image must never run.
        FailureCase{"RecordWriteFails",
                    kThreeBytes,
                    {1, -7},
                    UsbAdapter::kFirmwareRefused,
                    2,
                    "refused the firmware bytes at 0x100"},
        FailureCase{"RecordWriteShort",
                    kThreeBytes,
                    {1, 2},
                    UsbAdapter::kFirmwareRefused,
                    2,
                    "refused the firmware bytes at 0x100"},
        FailureCase{"ReleaseTimedOut",
                    kThreeBytes,
                    {1, 3, -7},
                    UsbAdapter::kFirmwareRefused,
                    3,
                    "did not restart its CPU"}),
    [](const ::testing::TestParamInfo<FailureCase>& row) { return std::string(row.param.name); });

class ReleaseAnswerCases : public FirmwareDownloadTest, public ::testing::WithParamInterface<int> {};

// The adapter may drop off the bus before it acknowledges its own release; the host then
// sees no device, an I/O error or a stall. Whether it comes back decides.
TEST_P(ReleaseAnswerCases, ReleaseAnsweredByADeviceThatLeftTheBusStillSucceeds) {
    const std::string path = file(kThreeBytes);
    transport->results = {1, 3, GetParam()};
    EXPECT_EQ(adapter->LoadFirmWare(path.c_str()), 0) << adapter->FirmwareError();
    EXPECT_EQ(sleeps.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Results, ReleaseAnswerCases,
                         ::testing::Values(UsbTransport::kErrorNoDevice, UsbTransport::kErrorIo,
                                           UsbTransport::kErrorPipe));

TEST_F(FirmwareDownloadTest, ClosedAdapterIsOpenedForTheDownloadOrRefused) {
    const std::string path = file(kThreeBytes);
    transport->Close();
    transport->openFailures = 1;
    EXPECT_EQ(adapter->LoadFirmWare(path.c_str()), UsbAdapter::kFirmwareRefused);
    EXPECT_TRUE(transport->transfers.empty());
    EXPECT_EQ(adapter->FirmwareError(), "USB adapter not found");

    EXPECT_EQ(adapter->LoadFirmWare(path.c_str()), 0) << adapter->FirmwareError();
    EXPECT_EQ(transport->firmwareLoads().size(), 3u);
}

TEST_F(FirmwareDownloadTest, BothEndsOfBothRamsAreLoaded) {
    const std::string path = file(dataRecord(0x0000, {1}) + dataRecord(0x3FFF, {2}) +
                                  dataRecord(0xE000, {3}) + dataRecord(0xE1FF, {4}) + kEnd);
    EXPECT_EQ(adapter->LoadFirmWare(path.c_str()), 0) << adapter->FirmwareError();
    expectFirmwareWrites(
        {{0xE600, {0x01}}, {0x0000, {1}}, {0x3FFF, {2}}, {0xE000, {3}}, {0xE1FF, {4}}, {0xE600, {0x00}}});
}

struct FileKindCase {
    const char* name;
    std::function<std::string(const QString& dir)> make; // makes the file, returns its path
    FirmwareFault fault;
    const char* errorPart;
};

class FirmwareFileKindCases : public ::testing::TestWithParam<FileKindCase> {};

// Only a regular file of sensible size is read: a FIFO must not hang start-up and a link to
// /dev/zero must not fill the memory.
TEST_P(FirmwareFileKindCases, OnlyARegularFileOfBoundedSizeIsRead) {
    const FileKindCase& c = GetParam();
    QTemporaryDir dir;
    const std::string path = c.make(dir.path());
    const FirmwareCheck check = ReadFirmwareFile(path.c_str());
    EXPECT_EQ(check.fault, c.fault);
    EXPECT_NE(check.error.find(c.errorPart), std::string::npos) << check.error;
    EXPECT_EQ(check.error.rfind(path, 0), 0u) << "the refusal names the file: " << check.error;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FirmwareFileKindCases,
    ::testing::Values(FileKindCase{"Fifo",
                                   [](const QString& dir) {
                                       const std::string path = (dir + "/fw.Hex").toStdString();
                                       mkfifo(path.c_str(), 0600);
                                       return path;
                                   },
                                   FirmwareFault::Missing, "is not a regular file"},
                      FileKindCase{"Folder", [](const QString& dir) { return dir.toStdString(); },
                                   FirmwareFault::Missing, "is not a regular file"},
                      FileKindCase{"LinkToDevZero",
                                   [](const QString& dir) {
                                       const std::string path = (dir + "/fw.Hex").toStdString();
                                       symlink("/dev/zero", path.c_str());
                                       return path;
                                   },
                                   FirmwareFault::Missing, "is not a regular file"},
                      FileKindCase{"LargerThanTheLimit",
                                   [](const QString& dir) {
                                       const std::string path = (dir + "/fw.Hex").toStdString();
                                       std::ofstream(path) << "x";
                                       truncate(path.c_str(), static_cast<off_t>(kFirmwareFileLimit) + 1);
                                       return path;
                                   },
                                   FirmwareFault::Corrupt, "is larger than 1048576 bytes"}),
    [](const ::testing::TestParamInfo<FileKindCase>& row) { return std::string(row.param.name); });

TEST_F(FirmwareDownloadTest, NoPathIsAMissingFile) {
    EXPECT_EQ(adapter->LoadFirmWare(nullptr), UsbAdapter::kFirmwareMissing);
    EXPECT_TRUE(transport->transfers.empty());
}

struct ImageCase {
    const char* name;
    std::string text;
    std::vector<uint32_t> addresses;
};

class IntelHexImageCases : public ::testing::TestWithParam<ImageCase> {};

TEST_P(IntelHexImageCases, DataRecordsCarryTheirFullAddresses) {
    const ImageCase& c = GetParam();
    const HexImage image = ReadIntelHex(c.text);
    ASSERT_TRUE(image.verdict.ok) << image.verdict.error;
    std::vector<uint32_t> addresses;
    for (const HexDataRecord& record : image.records)
        addresses.push_back(record.address);
    EXPECT_EQ(addresses, c.addresses);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IntelHexImageCases,
    ::testing::Values(ImageCase{"PlainRecordsInFileOrder",
                                dataRecord(0x0200, {1}) + dataRecord(0x0100, {2}) + kEnd,
                                {0x0200, 0x0100}},
                      ImageCase{"SegmentAddsSixteenTimesTheSegment",
                                hexRecord(0x02, 0, {0x12, 0x34}) + dataRecord(0x0005, {1}) + kEnd,
                                {0x12345}},
                      ImageCase{"LinearAddsTheUpperSixteenBits",
                                hexRecord(0x04, 0, {0x00, 0x02}) + dataRecord(0x0010, {1}) + kEnd,
                                {0x20010}},
                      // A later extended record replaces the earlier base; it does not add to it.
                      ImageCase{"LaterExtendedRecordReplacesTheBase",
                                hexRecord(0x04, 0, {0x00, 0x02}) + hexRecord(0x04, 0, {0x00, 0x00}) +
                                    dataRecord(0x0010, {1}) + kEnd,
                                {0x0010}},
                      ImageCase{"NoDataRecords", kEnd, {}}),
    [](const ::testing::TestParamInfo<ImageCase>& row) { return std::string(row.param.name); });

TEST(IntelHexImage, RefusedTextGivesNoRecords) {
    const HexImage image = ReadIntelHex(dataRecord(0, {1}) + ":030000004F544B10\n" + kEnd);
    EXPECT_FALSE(image.verdict.ok);
    EXPECT_TRUE(image.records.empty());
}

TEST(IntelHexImage, RecordBytesAreTheDataWithoutCountAddressTypeOrChecksum) {
    const HexImage image = ReadIntelHex(dataRecord(0x0040, {0xDE, 0xAD, 0xBE}) + kEnd);
    ASSERT_EQ(image.records.size(), 1u);
    EXPECT_EQ(image.records[0].bytes, (std::vector<uint8_t>{0xDE, 0xAD, 0xBE}));
}

} // namespace

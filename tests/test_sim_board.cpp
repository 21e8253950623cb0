#include "adapter/SimBoard.h"
#include "adapter/VendorRequests.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

constexpr int16_t kRead = VendorRequest::RegisterAccess;
constexpr int16_t kPoll = VendorRequest::RegisterPoll;

SimConfig configFrom(const std::string& text) {
    SimConfig config;
    std::string error;
    EXPECT_TRUE(ParseSimConfig(text, config, error)) << error;
    config.chip.drift = false;
    return config;
}

class SimBoardTest : public ::testing::Test {
protected:
    void makeBoard(const std::string& text) {
        board = std::make_unique<SimBoard>(configFrom(text), [this] { return now; });
    }
    int16_t setUp() { return board->VendorIORequest(VendorRequest::BusSetUp, 0x30, 0x33, 0, 0, &noData); }
    // Status and byte of a read; the buffer starts at 0x5A so an untouched buffer shows.
    std::pair<int16_t, uint8_t> read(int device, int reg, int16_t request = kRead) {
        uint8_t buffer = 0x5A;
        const int16_t status = board->VendorIORequest(request, device, reg, 1, 1, &buffer);
        return {status, buffer};
    }
    int16_t write(int device, int reg, int data) {
        return board->VendorIORequest(kRead, device, data * 256 + reg, 0, 0, &noData);
    }
    int16_t loadFirmware() {
        const std::string path = (QCoreApplication::applicationDirPath() + "/OTK5520FW.Hex").toStdString();
        return board->LoadFirmWare(path.c_str());
    }

    double now = 50.0;
    uint8_t noData = 0;
    std::unique_ptr<SimBoard> board;
};

TEST_F(SimBoardTest, RegisterRequestsFailUntilTheBusIsSetUp) {
    makeBoard("");
    EXPECT_EQ(read(0x4C, 0xFE), std::make_pair(SimBoard::kBusNotSetUp, uint8_t(0x5A)));
    EXPECT_NE(write(0x4C, 0x0B, 0x20), 0);
    // A set-up request with other arguments is not the set-up.
    EXPECT_NE(board->VendorIORequest(VendorRequest::BusSetUp, 0x31, 0x33, 0, 0, &noData), 0);
    EXPECT_NE(board->VendorIORequest(VendorRequest::BusSetUp, 0x30, 0x33, 1, 1, &noData), 0);
    EXPECT_NE(read(0x4C, 0xFE).first, 0);
    ASSERT_EQ(setUp(), 0);
    EXPECT_EQ(read(0x4C, 0xFE), std::make_pair(int16_t(0), uint8_t(0x41)));
    // The refused write before set-up never reached the chip.
    EXPECT_EQ(read(0x4C, 0x05).second, 0x55);
}

TEST_F(SimBoardTest, AddressWithoutAChipReads0xFFWithSuccess) {
    makeBoard("address=0x4C");
    ASSERT_EQ(setUp(), 0);
    EXPECT_EQ(read(0x4D, 0xFE), std::make_pair(int16_t(0), uint8_t(0xFF)));
    EXPECT_EQ(read(0x4D, 0x02, kPoll), std::make_pair(int16_t(0), uint8_t(0xFF)));
    EXPECT_EQ(write(0x4D, 0x0B, 0x20), 0);

    makeBoard("address=none");
    ASSERT_EQ(setUp(), 0);
    for (int device = 0x18; device <= 0x4E; ++device)
        EXPECT_EQ(read(device, 0xFE), std::make_pair(int16_t(0), uint8_t(0xFF))) << device;
}

TEST_F(SimBoardTest, SeveralChipsAnswerEachAtItsOwnAddress) {
    makeBoard("address=0x18+0x4C+0x4E");
    ASSERT_EQ(setUp(), 0);
    for (int device : {0x18, 0x4C, 0x4E})
        EXPECT_EQ(read(device, 0xFE).second, 0x41) << device;
    EXPECT_EQ(read(0x19, 0xFE).second, 0xFF);
    ASSERT_EQ(write(0x4C, 0x0B, 0x20), 0);
    EXPECT_EQ(read(0x4C, 0x05).second, 0x20);
    EXPECT_EQ(read(0x18, 0x05).second, 0x55);
    EXPECT_EQ(read(0x4E, 0x05).second, 0x55);
}

TEST_F(SimBoardTest, FirstSetUpRequestsFailAsConfigured) {
    makeBoard("setup_failures=3");
    for (int attempt = 1; attempt <= 3; ++attempt) {
        EXPECT_NE(setUp(), 0) << attempt;
        EXPECT_NE(read(0x4C, 0xFE).first, 0) << attempt;
    }
    EXPECT_EQ(setUp(), 0);
    EXPECT_EQ(read(0x4C, 0xFE).second, 0x41);
}

// The firmware download, set-up, a read, a write and another read, in that order:
// which succeed when every request after the first N fails.
TEST_F(SimBoardTest, RequestsAfterTheFirstNFailCountingTheFirmwareDownload) {
    for (int n = 0; n <= 5; ++n) {
        SCOPED_TRACE(n);
        makeBoard("fail_after=" + std::to_string(n));
        EXPECT_EQ(loadFirmware() >= 0, n >= 1);
        EXPECT_EQ(setUp() == 0, n >= 2);
        const auto first = read(0x4C, 0xFE);
        EXPECT_EQ(first.first == 0, n >= 3);
        // A failed request leaves the buffer untouched.
        EXPECT_EQ(first.second, n >= 3 ? 0x41 : 0x5A);
        EXPECT_EQ(write(0x4C, 0x0B, 0x20) == 0, n >= 4);
        EXPECT_EQ(read(0x4C, 0x05, kPoll).first == 0, n >= 5);
    }
}

TEST_F(SimBoardTest, UnknownRequestsFail) {
    makeBoard("");
    ASSERT_EQ(setUp(), 0);
    uint8_t buffer = 0x5A;
    EXPECT_EQ(board->VendorIORequest(0xDF, 0x4C, 0xFE, 1, 1, &buffer), SimBoard::kUnknownRequest);
    EXPECT_EQ(board->VendorIORequest(kPoll, 0x4C, 0x0B, 0, 0, &buffer), SimBoard::kUnknownRequest);
    EXPECT_EQ(board->VendorIORequest(kRead, 0x4C, 0xFE, 1, 0, &buffer), SimBoard::kUnknownRequest);
    EXPECT_EQ(board->VendorIORequest(kRead, 0x4C, 0x1FE, 1, 1, &buffer), SimBoard::kUnknownRequest);
    EXPECT_EQ(buffer, 0x5A);
}

TEST_F(SimBoardTest, WriteTakesDataFromIndexBits15To8EvenWhenNegative) {
    makeBoard("");
    ASSERT_EQ(setUp(), 0);
    // Data -5 to Therm Hysteresis travels as index -1247: bits 15..8 hold 0xFB.
    ASSERT_EQ(board->VendorIORequest(kRead, 0x4C, -1247, 0, 0, &noData), 0);
    EXPECT_EQ(read(0x4C, 0x21).second, 0xFB);
    ASSERT_EQ(write(0x4C, 0x0D, 0x7F), 0);
    EXPECT_EQ(read(0x4C, 0x07).second, 0x7F);
}

TEST_F(SimBoardTest, PollAndReadBothClearALatchedBitWhoseConditionWent) {
    // Time steps of 0.1 s land in a conversion now and then: the busy bit is not the point here.
    constexpr uint8_t kNotBusy = 0x7F;
    makeBoard("");
    ASSERT_EQ(setUp(), 0);
    write(0x4C, 0x0B, 20);
    now += 0.1;
    EXPECT_EQ(read(0x4C, 0x02, kPoll).second & kNotBusy, 0x40);
    write(0x4C, 0x0B, 85);
    now += 0.1;
    EXPECT_EQ(read(0x4C, 0x02, kPoll).second & kNotBusy, 0x40);
    EXPECT_EQ(read(0x4C, 0x02, kRead).second & kNotBusy, 0x00);

    write(0x4C, 0x0B, 20);
    now += 0.1;
    write(0x4C, 0x0B, 85);
    now += 0.1;
    EXPECT_EQ(read(0x4C, 0x02, kRead).second & kNotBusy, 0x40);
    EXPECT_EQ(read(0x4C, 0x02, kPoll).second & kNotBusy, 0x00);
}

} // namespace

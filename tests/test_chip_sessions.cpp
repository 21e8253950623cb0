#include "adapter/SimBoard.h"
#include "adapter/VendorRequests.h"
#include "chip/ChipRegisters.h"
#include "device/ChipSession.h"
#include "files/LogRun.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <vector>

namespace {

SimConfig boardAt(int address, double local = 25.0) {
    SimConfig config;
    config.addresses = {address};
    config.chip.start[0] = local;
    config.chip.drift = false;
    return config;
}

Reading localOnly(int32_t local) {
    Reading reading;
    reading.temperatures[0] = static_cast<float>(local);
    return reading;
}

void setUpBus(SimBoard& board) {
    uint8_t none = 0;
    ASSERT_EQ(board.VendorIORequest(VendorRequest::BusSetUp, VendorRequest::BusSetUpValue,
                                    VendorRequest::BusSetUpIndex, 0, 0, &none),
              0);
}

// One board per session, as a lab tool serving several boards holds them.
struct Bench {
    explicit Bench(int address, double local = 25.0) : board(boardAt(address, local)) {
        setUpBus(board);
        session =
            std::make_unique<ChipSession>(&board, address, [this](const ChipChanges::RegisterWritten& w) {
                heard.push_back(w.writeAddress);
            });
    }
    SimBoard board;
    std::unique_ptr<ChipSession> session;
    std::vector<int32_t> heard;
};

TEST(ChipSessions, TwoBoardsSideBySideNeitherSeesTheOthersWrites) {
    Bench left(0x4C), right(0x4D);
    left.session->WriteRegister(kConfig1Write, kConfig1ExtendedRange);
    right.session->WriteRegister(kConfig1Write, kConfig1Remote2Select);

    EXPECT_TRUE(left.session->ExtendedRange);
    EXPECT_FALSE(left.session->Remote2Selected);
    EXPECT_FALSE(right.session->ExtendedRange);
    EXPECT_TRUE(right.session->Remote2Selected);
    EXPECT_EQ(left.heard, std::vector<int32_t>{kConfig1Write});
    EXPECT_EQ(right.heard, std::vector<int32_t>{kConfig1Write});
    // Each chip holds what its own session wrote.
    EXPECT_EQ(left.session->ReadRegister(kConfig1Read) & 0x0C, kConfig1ExtendedRange);
    EXPECT_EQ(right.session->ReadRegister(kConfig1Read) & 0x0C, kConfig1Remote2Select);
    // A range switch holds only that board's readings.
    EXPECT_TRUE(left.session->ReadingHold.pending());
    EXPECT_FALSE(right.session->ReadingHold.pending());
}

TEST(ChipSessions, EachBoardLogsIntoItsOwnRun) {
    QTemporaryDir folder;
    Bench left(0x4C, 25.0), right(0x4D, 40.0);
    LogRun leftLog(folder.filePath("left.csv"), {true, false, false}, 100);
    LogRun rightLog(folder.filePath("right.csv"), {true, false, false}, 250);
    ASSERT_TRUE(leftLog.appendHeader());
    ASSERT_TRUE(rightLog.appendHeader());
    for (int row = 0; row < 2; ++row) {
        leftLog.rowCount = rightLog.rowCount = row;
        // Normal range: the Local register holds whole degrees.
        ASSERT_TRUE(leftLog.appendRow(localOnly(left.session->ReadRegister(kLocalTemp))));
        ASSERT_TRUE(rightLog.appendRow(localOnly(right.session->ReadRegister(kLocalTemp))));
    }
    const auto rows = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll().split('\n').mid(4) : QList<QByteArray>{};
    };
    EXPECT_EQ(rows(leftLog.file), (QList<QByteArray>{"0, 25,\r", ".1, 25,\r", ""}));
    EXPECT_EQ(rows(rightLog.file), (QList<QByteArray>{"0, 40,\r", ".25, 40,\r", ""}));
}

TEST(ChipSessions, FailedTransferThrowsAndNothingAfterItRuns) {
    SimConfig config;
    config.failAfter = 1; // the bus set-up passes, every register access fails
    SimBoard board(config);
    setUpBus(board);
    int told = 0;
    ChipSession session(&board, 0x4C, [&](const ChipChanges::RegisterWritten&) { ++told; });

    try {
        session.WriteRegister(kConfig1Write, kConfig1ExtendedRange);
        FAIL() << "a failed write returned";
    } catch (const LinkFailure& failure) {
        EXPECT_EQ(failure.code, 3);
    }
    EXPECT_THROW(session.ReadRegister(kConfig1Read), LinkFailure);
    // The post-write update neither read the chip nor told anyone.
    EXPECT_EQ(told, 0);
    EXPECT_FALSE(session.ConfigurationRead);
    EXPECT_FALSE(session.ExtendedRange);
}

} // namespace

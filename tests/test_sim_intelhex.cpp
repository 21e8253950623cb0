#include "adapter/IntelHex.h"
#include "adapter/SimBoard.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

namespace {

// Two data records ("OTK" at 0x0000, "!" at 0x0010) and the end record.
const std::string kGood = ":030000004F544B0F\r\n:0100100021CE\r\n:00000001FF\r\n";

struct HexCase {
    const char* name;
    std::string text;
    bool ok;
    const char* errorPart; // a piece of the expected message
};

class IntelHexCases : public ::testing::TestWithParam<HexCase> {};

TEST_P(IntelHexCases, VerdictMatches) {
    const HexCase& c = GetParam();
    const HexVerdict verdict = VerifyIntelHex(c.text);
    EXPECT_EQ(verdict.ok, c.ok) << verdict.error;
    EXPECT_NE(verdict.error.find(c.errorPart), std::string::npos) << verdict.error;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IntelHexCases,
    ::testing::Values(
        HexCase{"CrLfLines", kGood, true, ""},
        HexCase{"LfLinesAndLowerCaseDigits", ":030000004f544b0f\n:0100100021ce\n:00000001ff\n", true, ""},
        HexCase{"NoNewlineAfterEndRecord", ":030000004F544B0F\n:00000001FF", true, ""},
        // Trailing blank lines are what editors leave behind; they are not content.
        HexCase{"BlankLinesAfterEndRecord", kGood + "\r\n  \r\n", true, ""},
        HexCase{"ExtendedLinearAddress", ":020000040000FA\n:030000004F544B0F\n:00000001FF\n", true, ""},
        HexCase{"ExtendedSegmentAddress", ":020000021000EC\n:030000004F544B0F\n:00000001FF\n", true, ""},
        HexCase{"BadChecksum", ":030000004F544B10\n:00000001FF\n", false,
                "line 1: record checksum 0x10 should be 0x0F"},
        HexCase{"MissingEndRecord", ":030000004F544B0F\n:0100100021CE\n", false, "no end-of-file record"},
        HexCase{"EmptyFile", "", false, "no end-of-file record"},
        HexCase{"ByteCountTooLarge", ":040000004F544B0E\n:00000001FF\n", false,
                "line 1: record byte count 4 does not match its 3 data bytes"},
        HexCase{"ByteCountTooSmall", ":020000004F544B10\n:00000001FF\n", false,
                "line 1: record byte count 2 does not match its 3 data bytes"},
        HexCase{"OddDigitCount", ":030000004F544B0F0\n:00000001FF\n", false, "odd number of hex digits"},
        HexCase{"JunkLine", ":030000004F544B0F\nhello\n:00000001FF\n", false,
                "line 2: record does not start with ':'"},
        HexCase{"NonHexCharacter", ":030000004F544G0F\n:00000001FF\n", false, "not a hex digit"},
        HexCase{"TooShortRecord", ":00FF\n:00000001FF\n", false, "too short"},
        HexCase{"RecordAfterEnd", kGood + ":0100100021CE\n", false,
                "line 4: text after the end-of-file record"},
        HexCase{"TwoEndRecords", kGood + ":00000001FF\n", false, "line 4: text after the end-of-file record"},
        HexCase{"UnsupportedRecordType", ":0400000300000000F9\n:00000001FF\n", false, "record type 0x03"},
        HexCase{"EndRecordWithData", ":01000001AA54\n", false, "end-of-file record carries data"}),
    [](const ::testing::TestParamInfo<HexCase>& row) { return std::string(row.param.name); });

std::string shippedFirmware() {
    return (QCoreApplication::applicationDirPath() + "/OTK5520FW.Hex").toStdString();
}

SimConfig configWith(bool firmwareFails) {
    SimConfig config;
    config.firmwareFails = firmwareFails;
    return config;
}

TEST(SimFirmware, ShippedImageBesideTheExecutableVerifies) {
    std::ifstream file(shippedFirmware(), std::ios::binary);
    ASSERT_TRUE(file) << "the build copies OTK5520FW.Hex beside every executable";
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const HexVerdict verdict = VerifyIntelHex(text);
    EXPECT_TRUE(verdict.ok) << verdict.error;
    SimBoard board(configWith(false));
    EXPECT_EQ(board.LoadFirmWare(shippedFirmware().c_str()), 0);
}

TEST(SimFirmware, DownloadFailsNegativeForMissingCorruptOrRefusedImage) {
    QTemporaryDir dir;
    const std::string corrupt = (dir.path() + "/corrupt.Hex").toStdString();
    std::ofstream(corrupt) << ":030000004F544B10\n:00000001FF\n";
    const std::string missing = (dir.path() + "/OTK5520FW.Hex").toStdString();

    SimBoard board(configWith(false));
    EXPECT_EQ(board.LoadFirmWare(missing.c_str()), SimBoard::kFirmwareMissing);
    EXPECT_EQ(board.LoadFirmWare(corrupt.c_str()), SimBoard::kFirmwareCorrupt);
    EXPECT_NE(board.FirmwareError().find("checksum"), std::string::npos);
    EXPECT_EQ(board.LoadFirmWare(nullptr), SimBoard::kFirmwareMissing);

    SimBoard refusing(configWith(true));
    EXPECT_LT(refusing.LoadFirmWare(shippedFirmware().c_str()), 0);
}

} // namespace

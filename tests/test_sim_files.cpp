// The simulated board's files read on their own: register dumps, recorded runs and the kept
// board state, each accepted whole or refused with its line and reason.
#include "adapter/DefaultAdapter.h"
#include "adapter/SimChip.h"
#include "adapter/SimConfig.h"
#include "adapter/SimDumpFile.h"
#include "adapter/SimRunFile.h"
#include "adapter/SimSources.h"
#include "adapter/SimStateFile.h"
#include "adapter/USBFunctions.h"

#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>

namespace {

struct Refused {
    const char* name;
    std::string text;
    std::string error; // the start of the message
};

std::string grid(const std::string& row20) {
    std::string text = "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f    0123456789abcdef\n";
    const char* digits = "0123456789abcdef";
    for (int row = 0; row < 16; ++row) {
        text += std::string(1, digits[row]) + "0: ";
        text += row == 2 ? row20 : "XX XX XX XX XX XX XX XX XX XX XX XX XX XX XX XX ";
        text += "   XXXXXXXXXXXXXXXX\n";
    }
    return text;
}
const std::string kRow20 = "55 0a 01 00 00 XX XX XX XX XX XX XX XX XX XX XX ";

class DumpRefusal : public ::testing::TestWithParam<Refused> {};

TEST_P(DumpRefusal, NamesTheLineAndLeavesTheDumpAlone) {
    RegisterDump dump;
    dump.address = 0x18;
    std::string error;
    EXPECT_FALSE(ParseRegisterDump(GetParam().text, dump, error));
    EXPECT_EQ(error.substr(0, GetParam().error.size()), GetParam().error) << error;
    EXPECT_EQ(dump.address, 0x18);
    EXPECT_TRUE(dump.bytes.empty());
}

const std::string kCsvTitles = "chip_address,register,write_address,name,value,default\n";
INSTANTIATE_TEST_SUITE_P(
    Dumps, DumpRefusal,
    ::testing::Values(
        Refused{"Empty", "\n\n", "the file is empty"},
        Refused{"NoDump", "hello\n", "line 1: not a register dump"},
        Refused{"GridRowMissing", grid(kRow20).substr(0, grid(kRow20).find("40: ")),
                "line 5: the grid ends before row 40"},
        Refused{"GridBadCell", grid("55 0g 01 00 00 XX XX XX XX XX XX XX XX XX XX XX "),
                "line 4: expected two"},
        Refused{"CsvValueNoByte", kCsvTitles + "0x4C,0x05,0x0B,x,0x146,0x55\n", "line 2: expected the chip"},
        // Blank lines count in the line numbers; a quote left open cuts a row short.
        Refused{"CsvFieldMissingAfterBlank",
                kCsvTitles + "0x4C,0x05,0x0B,x,0x46,0x55\n\n0x4C,0x06,0x0C,y,0x00\n",
                "line 4: expected 6 fields"},
        Refused{"CsvQuoteLeftOpen", kCsvTitles + "0x4C,0x05,0x0B,\"x,0x46,0x55\n",
                "line 2: expected 6 fields"},
        // Rows of two chips would give one board two different registers.
        Refused{"CsvTwoChips", kCsvTitles + "0x4C,0x05,0x0B,x,0x46,0x55\n0x4D,0x06,0x0C,y,0x00,0x00\n",
                "line 3: rows of several chips"},
        Refused{"CsvOneRegisterTwoValues",
                kCsvTitles + "0x4C,0x05,0x0B,x,0x46,0x55\n0x4C,0x05,0x0B,x,0x47,0x55\n",
                "line 3: register read twice"},
        Refused{"TextCutShort", "chip_address  register  write_address  name  value  default\n0x4C  0x05\n",
                "line 2: the row is cut short"},
        Refused{"JsonBroken", "{\"results\": [\n{\"chip_address\": 76,\n", "line 3: expected a quoted key"},
        Refused{"NdjsonLinkLost", "{\"chip_address\":76,\"register\":5,\"value\":70}\n{\"error\":\"lost\"}\n",
                "line 2: expected a row"}),
    [](const auto& row) { return row.param.name; });

TEST(DumpRead, GridSkipsXxCellsAndToolDumpsNameTheChip) {
    RegisterDump dump;
    std::string error;
    // Saved with its stderr: the warning and the question before the grid.
    ASSERT_TRUE(ParseRegisterDump(
        "WARNING! This program can confuse your I2C bus\nContinue? [Y/n] \n" + grid(kRow20), dump, error))
        << error;
    EXPECT_FALSE(dump.address.has_value());
    EXPECT_EQ(dump.bytes,
              (std::map<int, uint8_t>{{0x20, 0x55}, {0x21, 0x0A}, {0x22, 0x01}, {0x23, 0}, {0x24, 0}}));
    // A register not readable at the time (the other remote's shared register) has no value.
    ASSERT_TRUE(ParseRegisterDump(kCsvTitles + "0x18,0x05,0x0B,\"a, b\",0x46,0x55\n0x18,0x07,0x0D,z,,0x55\n",
                                  dump, error))
        << error;
    EXPECT_EQ(dump.address, 0x18);
    EXPECT_EQ(dump.bytes, (std::map<int, uint8_t>{{0x05, 0x46}}));
}

// The program's log with two runs; the second logs Remote1 open in both ranges and empty.
const std::string kProgramLog = "\r\nOTK5530 Log File\r\n\r\nTime ,Local(\xB0"
                                "C) ,Remote1(\xB0"
                                "C) ,\r\n"
                                "0, 25, 33.75,\r\n1, 26, 34,\r\n"
                                "\r\nOTK5530 Log File\r\n\r\nTime ,Local(\xB0"
                                "C) ,Remote1(\xB0"
                                "C) ,\r\n"
                                "0, 27, 255.75,\r\n.5,-3, 191.75,\r\n1.5, 28,,\r\n2.5, 29, .5,\r\n";

TEST(RunRead, ProgramLogGivesTheChosenRunWithOpenDiodes) {
    RecordedRun run;
    std::string error;
    ASSERT_TRUE(ParseRecordedRun(kProgramLog, std::nullopt, run, error)) << error;
    EXPECT_EQ(run.runCount, 2);
    EXPECT_EQ(run.channels, (std::array<bool, 3>{true, true, false}));
    ASSERT_EQ(run.samples.size(), 4u);
    EXPECT_EQ(run.samples[1].celsius[0], -3.0);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_FALSE(run.samples[i].celsius[1].has_value()) << i;
    EXPECT_EQ(run.samples[3].celsius[1], 0.5);
    ASSERT_TRUE(ParseRecordedRun(kProgramLog, 1, run, error)) << error;
    ASSERT_EQ(run.samples.size(), 2u);
    EXPECT_EQ(run.samples[1].celsius[1], 34.0);
    EXPECT_FALSE(ParseRecordedRun(kProgramLog, 3, run, error));
    EXPECT_EQ(error, "replay_run=3: the file holds 2 runs");
}

TEST(RunRead, SamplesHoldOrLoopOnTheRecordingsTime) {
    RecordedRun run;
    std::string error;
    // The tool's CSV: time stamps aside, the schedule decides; a fault is an open diode.
    const std::string csv = "time,schedule (s),remote2 (\xC2\xB0"
                            "C),remote2 status,alert\n"
                            "t,10,30,,false\nt,11,31,high,false\nt,12,,open diode,true\n";
    ASSERT_TRUE(ParseRecordedRun(csv, std::nullopt, run, error)) << error;
    const struct {
        double seconds;
        bool loop;
        std::optional<double> celsius;
    } looks[] = {{0.99, false, 30}, {1, false, 31},  {2, false, std::nullopt}, {50, false, std::nullopt},
                 {3, true, 30},     {4.5, true, 31}, {5.2, true, std::nullopt}};
    for (const auto& look : looks)
        EXPECT_EQ(run.at(look.seconds, look.loop).celsius[2], look.celsius)
            << look.seconds << " " << look.loop;
}

class RunRefusal : public ::testing::TestWithParam<Refused> {};

TEST_P(RunRefusal, NamesTheLine) {
    RecordedRun run;
    std::string error;
    EXPECT_FALSE(ParseRecordedRun(GetParam().text, std::nullopt, run, error));
    EXPECT_EQ(error.substr(0, GetParam().error.size()), GetParam().error) << error;
    EXPECT_TRUE(run.samples.empty());
}

const std::string kTitles = "\r\nOTK5530 Log File\r\n\r\nTime ,Local(\xB0"
                            "C) ,Remote1(\xB0"
                            "C) ,\r\n";
INSTANTIATE_TEST_SUITE_P(
    Runs, RunRefusal,
    ::testing::Values(
        Refused{"NoRun", "Time,Local\n", "line 1: not a recorded run"},
        Refused{"TimeGoesBack", kTitles + "0, 25, 30,\r\n2, 25, 30,\r\n1, 25, 30,\r\n",
                "line 7: the time goes back"},
        Refused{"LocalEmpty", kTitles + "0,, 30,\r\n", "line 5: the local channel has no diode"},
        Refused{"MissingComma", kTitles + "0, 25, 30\r\n", "line 5: expected the time and 2"},
        Refused{"NotANumber", kTitles + "0, 25, hot,\r\n", "line 5: remote1: \" hot\" is no temperature"},
        Refused{"ToolCsvFieldMissing",
                "time,schedule (s),local (\xC2\xB0"
                "C)\nt,0,25\nt,1\n",
                "line 3: expected 3 fields"},
        Refused{"ToolCsvScheduleNotANumber",
                "time,schedule (s),local (\xC2\xB0"
                "C)\nt,soon,25\n",
                "line 2: the schedule is not a number of seconds"},
        Refused{"UnknownColumn", "\r\nOTK5530 Log File\r\n\r\nTime ,Ambient ,\r\n",
                "line 4: expected the column"},
        Refused{"RunsDiffer",
                kTitles + "0, 25, 30,\r\n\r\nOTK5530 Log File\r\n\r\nTime ,Local(\xB0"
                          "C) ,\r\n",
                "line 9: the runs of one file"},
        Refused{"TitleBlockOnly", kTitles, "run 1 holds no reading"},
        Refused{"NdjsonAfterError",
                "{\"schedule\":{\"value\":0},\"local\":{\"value\":25}}\n{\"error\":\"x\"}\n"
                "{\"schedule\":{\"value\":1},\"local\":{\"value\":25}}\n",
                "line 3: a reading after"}),
    [](const auto& row) { return row.param.name; });

TEST(BoardState, WrittenStateReadsBackAndDamageIsRefused) {
    std::map<int, uint8_t> registers;
    for (int address : SimChip::WritableAddresses())
        registers[address] = static_cast<uint8_t>(address ^ 0x5A);
    const std::string text = BoardStateText(registers);
    std::map<int, uint8_t> read;
    std::string error;
    ASSERT_TRUE(ParseBoardState(text, read, error)) << error;
    EXPECT_EQ(read, registers);
    const std::string lastLine = "end\n";
    // The title, one line per register, then "end".
    const std::string endExpected = "line " + std::to_string(registers.size() + 2) + ": expected \"end\"";
    const Refused damaged[] = {
        {"CutShort", text.substr(0, text.find("0x14 ")), "line 11: expected register 0x14"},
        {"NoEnd", text.substr(0, text.size() - lastLine.size()), endExpected},
        {"TextAfterEnd", text + "0x05 0x00\n",
         "line " + std::to_string(registers.size() + 3) + ": text after \"end\""},
        {"ValueNoByte", std::string(text).replace(text.find("0x04 "), 9, "0x04 0x100"),
         "line 3: expected register 0x04"},
    };
    for (const Refused& bad : damaged) {
        std::map<int, uint8_t> kept{{1, 1}};
        EXPECT_FALSE(ParseBoardState(bad.text, kept, error)) << bad.name;
        EXPECT_EQ(error.substr(0, bad.error.size()), bad.error) << bad.name << ": " << error;
        EXPECT_EQ(kept.size(), 1u) << bad.name;
    }
}

TEST(SimSources, KeysBesideAFileOverrideIt) {
    QTemporaryDir folder;
    const std::string dump = folder.filePath("dump.csv").toStdString();
    std::ofstream(dump) << kCsvTitles
                        << "0x18,0x00,,x,0x50,0x00\n0x18,0x05,0x0B,x,0x46,0x55\n0x18,0x06,0x0C,x,0x10,0x00\n";
    SimConfig config;
    std::string error;
    ASSERT_TRUE(ParseSimConfig("from_dump=" + dump + ", reg.06=0x20, address=0x4D", config, error)) << error;
    EXPECT_EQ(config.addresses, std::vector<int>{0x4D});
    EXPECT_EQ(config.chip.powerOn, (std::map<int, uint8_t>{{0x05, 0x46}, {0x06, 0x20}}));
    EXPECT_EQ(config.chip.start[0], 80.0);
    EXPECT_FALSE(config.chip.drift) << "a dump is one moment of the board";
    ASSERT_TRUE(ParseSimConfig("from_dump=" + dump + ", local=20, drift=on", config, error)) << error;
    EXPECT_EQ(config.chip.start[0], 20.0);
    EXPECT_TRUE(config.chip.drift);
    EXPECT_EQ(config.addresses, std::vector<int>{0x18});
}

TEST(SimSources, InfoNamesEveryFileInUse) {
    QTemporaryDir folder;
    const std::string log = folder.filePath("run.csv").toStdString();
    const std::string state = folder.filePath("board.state").toStdString();
    std::ofstream(log, std::ios::binary) << kProgramLog;
    SimConfig config;
    std::string error;
    ASSERT_TRUE(ParseSimConfig(
        "replay=" + log + ", replay_run=1, replay_speed=2.5, replay_loop=on, state=" + state, config, error))
        << error;
    EXPECT_EQ(SimSourcesText(config),
              "temperatures replayed from " + log + " (run 1 of 2, 2.5x, looped); state kept in " + state);
    EXPECT_EQ(SimSourcesText(SimConfig{}), "");
    // The adapter's description is what info and the tooltip of the "Simulated board" mark show.
    ASSERT_EQ(::setenv("OTK5530_SIM", ("state=" + state).c_str(), 1), 0);
    AdapterStart start;
    EXPECT_TRUE(InstallAdapterFromChoice("sim", start, error)) << error;
    EXPECT_EQ(start.description, "Simulated evaluation board; state kept in " + state);
    InstallAdapter(nullptr);
    ::unsetenv("OTK5530_SIM");
}

TEST(SimSources, ReplayKeysNeedAReplayFile) {
    for (const char* text : {"replay_speed=10", "replay_loop=on", "replay_run=2"}) {
        SimConfig config;
        std::string error;
        EXPECT_FALSE(ParseSimConfig(text, config, error));
        EXPECT_EQ(error, "OTK5530_SIM: " + std::string(text) + " refused: needs replay=FILE");
    }
}

} // namespace

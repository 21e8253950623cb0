#include "adapter/AdapterChoice.h"
#include "adapter/DefaultAdapter.h"
#include "adapter/I2cAdapter.h"
#include "adapter/SimBoard.h"
#include "adapter/USBFunctions.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>

namespace {

struct ChoiceCase {
    const char* name;
    const char* text;
    bool ok;
    AdapterKind kind;
    const char* i2cPath;
    bool force = false;
};

class AdapterChoiceCases : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(AdapterChoiceCases, ParsesOrRefusesAndKeepsTheOldChoice) {
    const ChoiceCase& c = GetParam();
    AdapterChoice choice;
    choice.kind = AdapterKind::LinuxI2c;
    choice.i2cPath = "/dev/i2c-old";
    std::string error;
    ASSERT_EQ(ParseAdapterChoice(c.text, choice, error), c.ok) << error;
    if (c.ok) {
        EXPECT_EQ(choice.kind, c.kind);
        EXPECT_EQ(choice.i2cPath, c.i2cPath);
        EXPECT_EQ(choice.i2cForce, c.force);
    } else {
        EXPECT_EQ(choice.i2cPath, "/dev/i2c-old");
        EXPECT_EQ(error,
                  "adapter \"" + std::string(c.text) +
                      "\" refused: expected sim, usb or i2c:<bus device>[,force] such as i2c:/dev/i2c-1");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AdapterChoiceCases,
    ::testing::Values(
        ChoiceCase{"Sim", "sim", true, AdapterKind::Simulated, ""},
        ChoiceCase{"Usb", "usb", true, AdapterKind::Usb, ""},
        ChoiceCase{"I2cBus", "i2c:/dev/i2c-1", true, AdapterKind::LinuxI2c, "/dev/i2c-1"},
        ChoiceCase{"I2cTwoDigitBus", "i2c:/dev/i2c-12", true, AdapterKind::LinuxI2c, "/dev/i2c-12"},
        // Any bus device file will do, e.g. a udev symlink.
        ChoiceCase{"I2cOtherPath", "i2c:/dev/otk-bus", true, AdapterKind::LinuxI2c, "/dev/otk-bus"},
        ChoiceCase{"I2cForced", "i2c:/dev/i2c-1,force", true, AdapterKind::LinuxI2c, "/dev/i2c-1", true},
        ChoiceCase{"BlanksAround", "  usb ", true, AdapterKind::Usb, ""},
        ChoiceCase{"Empty", "", false, AdapterKind::Simulated, ""},
        ChoiceCase{"I2cWithoutPath", "i2c:", false, AdapterKind::Simulated, ""},
        ChoiceCase{"I2cWithoutColon", "i2c", false, AdapterKind::Simulated, ""},
        ChoiceCase{"UpperCase", "USB", false, AdapterKind::Simulated, ""},
        ChoiceCase{"Unknown", "serial", false, AdapterKind::Simulated, ""},
        ChoiceCase{"TwoChoices", "sim,usb", false, AdapterKind::Simulated, ""}),
    [](const ::testing::TestParamInfo<ChoiceCase>& row) { return std::string(row.param.name); });

struct UsbIdCase {
    const char* name;
    const char* text;
    bool ok;
    uint16_t vendor;
    uint16_t product;
};

class UsbIdCases : public ::testing::TestWithParam<UsbIdCase> {};

TEST_P(UsbIdCases, ParsesOrRefusesAndKeepsTheOldId) {
    const UsbIdCase& c = GetParam();
    UsbId id{0x1111, 0x2222};
    std::string error;
    ASSERT_EQ(ParseUsbId(c.text, id, error), c.ok) << error;
    EXPECT_EQ(id.vendor, c.ok ? c.vendor : 0x1111);
    EXPECT_EQ(id.product, c.ok ? c.product : 0x2222);
    if (!c.ok) {
        EXPECT_EQ(error, "USB id \"" + std::string(c.text) +
                             "\" refused: expected VID:PID in hex such as 04b4:5530");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UsbIdCases,
    ::testing::Values(
        UsbIdCase{"LowerCase", "04b4:5530", true, 0x04B4, 0x5530},
        UsbIdCase{"PrefixedUpperCase", "0x04B4:0X5530", true, 0x04B4, 0x5530},
        UsbIdCase{"ShortDigitsAndBlanks", " 4b4 : 1 ", true, 0x04B4, 0x0001},
        UsbIdCase{"Largest", "ffff:ffff", true, 0xFFFF, 0xFFFF}, UsbIdCase{"NoProduct", "04b4", false, 0, 0},
        UsbIdCase{"EmptyProduct", "04b4:", false, 0, 0}, UsbIdCase{"EmptyVendor", ":5530", false, 0, 0},
        UsbIdCase{"FiveDigits", "104b4:5530", false, 0, 0}, UsbIdCase{"NotHex", "04g4:5530", false, 0, 0},
        UsbIdCase{"PrefixOnly", "0x:5530", false, 0, 0}, UsbIdCase{"ThreeParts", "04b4:5530:1", false, 0, 0}),
    [](const ::testing::TestParamInfo<UsbIdCase>& row) { return std::string(row.param.name); });

TEST(UsbIdText, ShowsFourLowerCaseDigitsEachAsLsusbDoes) {
    EXPECT_EQ(UsbIdText({0x4B4, 0x5530}), "04b4:5530");
    EXPECT_EQ(UsbIdText({0xABCD, 0x0001}), "abcd:0001");
}

TEST(UsbIds, SeveralLoaderIdsJoinedWithPlusOrRefusedWhole) {
    std::vector<UsbId> ids{kDefaultLoaderId};
    std::string error;
    ASSERT_TRUE(ParseUsbIds("04b4:8613+1234:ABCD", ids, error)) << error;
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_EQ(UsbIdText(ids[1]), "1234:abcd");
    // A trailing "+" would leave a half list: the old ids stay.
    EXPECT_FALSE(ParseUsbIds("04b4:8613+", ids, error));
    EXPECT_EQ(ids.size(), 2u);
    EXPECT_EQ(
        error,
        "USB ids \"04b4:8613+\" refused: expected VID:PID in hex such as 04b4:8613, several joined with +");
}

// Installing a backend from the command-line choice or the environment.
class AdapterInstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        unsetenv("OTK5530_ADAPTER");
        unsetenv("OTK5530_SIM");
        unsetenv("OTK5530_USB");
        unsetenv("OTK5530_USB_LOADER");
        InstallAdapter(nullptr);
    }
    void TearDown() override { SetUp(); }
    std::string error;
    AdapterStart start;
};

struct EnvironmentCase {
    const char* name;
    const char* adapter; // nullptr: unset
    bool installsSimulated;
};

class AdapterEnvironmentCases : public AdapterInstallTest,
                                public ::testing::WithParamInterface<EnvironmentCase> {};

TEST_P(AdapterEnvironmentCases, WithoutCommandLineChoiceTheEnvironmentDecides) {
    const EnvironmentCase& c = GetParam();
    if (c.adapter)
        setenv("OTK5530_ADAPTER", c.adapter, 1);
    EXPECT_EQ(InstallDefaultAdapter(start, error), c.installsSimulated) << error;
    EXPECT_EQ(dynamic_cast<SimBoard*>(InstalledAdapter()) != nullptr, c.installsSimulated);
    EXPECT_EQ(start.simulated, c.installsSimulated);
    if (c.installsSimulated) {
        EXPECT_EQ(start.description, "Simulated evaluation board");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, AdapterEnvironmentCases,
    ::testing::Values(EnvironmentCase{"Unset", nullptr, true}, EnvironmentCase{"Empty", "", true},
                      EnvironmentCase{"Sim", "sim", true}, EnvironmentCase{"Refused", "bogus", false}),
    [](const ::testing::TestParamInfo<EnvironmentCase>& row) { return std::string(row.param.name); });

TEST_F(AdapterInstallTest, RefusedEnvironmentChoiceNamesTheVariable) {
    setenv("OTK5530_ADAPTER", "i2c:", 1);
    EXPECT_FALSE(InstallDefaultAdapter(start, error));
    EXPECT_EQ(
        error,
        "OTK5530_ADAPTER: adapter \"i2c:\" refused: expected sim, usb or i2c:<bus device>[,force] such as "
        "i2c:/dev/i2c-1");
}

TEST_F(AdapterInstallTest, CommandLineChoiceWinsOverTheEnvironment) {
    setenv("OTK5530_ADAPTER", "bogus", 1);
    ASSERT_TRUE(InstallAdapterFromChoice("sim", start, error)) << error;
    EXPECT_NE(dynamic_cast<SimBoard*>(InstalledAdapter()), nullptr);
}

TEST_F(AdapterInstallTest, SimulatedChoiceStillReadsItsConfiguration) {
    setenv("OTK5530_SIM", "address=0x99", 1);
    EXPECT_FALSE(InstallAdapterFromChoice("sim", start, error));
    EXPECT_EQ(error.rfind("OTK5530_SIM: address=0x99 refused", 0), 0u) << error;
    EXPECT_EQ(InstalledAdapter(), nullptr);
}

TEST_F(AdapterInstallTest, I2cBusThatCannotBeOpenedIsRefusedAndNothingInstalled) {
    EXPECT_FALSE(InstallAdapterFromChoice("i2c:/nonexistent/i2c-99", start, error));
    EXPECT_EQ(error,
              "Linux I2C bus /nonexistent/i2c-99 cannot be opened: No such file or directory; load the "
              "kernel's i2c-dev module (sudo modprobe i2c-dev) and find the bus with i2cdetect -l");
    EXPECT_EQ(InstalledAdapter(), nullptr);
}

// /dev/null is a character device but answers no I2C ioctl: refused at once, not at the first read.
TEST_F(AdapterInstallTest, CharacterDeviceThatIsNoI2cBusIsRefusedAtOpen) {
    EXPECT_FALSE(InstallAdapterFromChoice("i2c:/dev/null", start, error));
    EXPECT_EQ(error, "Linux I2C bus /dev/null refused: /dev/null is no I2C adapter device (I2C_FUNCS: "
                     "Inappropriate ioctl for device)");
    EXPECT_EQ(InstalledAdapter(), nullptr);
}

TEST_F(AdapterInstallTest, RegularFileIsNoI2cBus) {
    QTemporaryDir dir;
    const std::string path = (dir.path() + "/i2c-1").toStdString();
    std::ofstream(path) << "x";
    EXPECT_FALSE(InstallAdapterFromChoice("i2c:" + path, start, error));
    EXPECT_EQ(error, "Linux I2C bus " + path + " refused: " + path +
                         " is no I2C adapter device (/dev/i2c-N of i2c-dev)");
}

TEST_F(AdapterInstallTest, RefusedLoaderIdsNameTheVariable) {
    setenv("OTK5530_USB_LOADER", "8613", 1);
    EXPECT_FALSE(InstallAdapterFromChoice("usb", start, error));
    EXPECT_EQ(error.rfind("OTK5530_USB_LOADER: USB ids \"8613\" refused", 0), 0u) << error;
    EXPECT_EQ(InstalledAdapter(), nullptr);
}

TEST_F(AdapterInstallTest, RefusedUsbIdNamesTheVariable) {
    setenv("OTK5530_USB", "04b4", 1);
    EXPECT_FALSE(InstallAdapterFromChoice("usb", start, error));
    EXPECT_EQ(error.rfind("OTK5530_USB: USB id \"04b4\" refused", 0), 0u) << error;
    EXPECT_EQ(InstalledAdapter(), nullptr);
}

// The shipped image is the simulated board's: refused before the adapter is even looked for.
TEST_F(AdapterInstallTest, UsbWithTheSimulatedBoardsImageIsRefusedNamingTheFileAndTheWayOut) {
    start.firmwarePath = (QCoreApplication::applicationDirPath() + "/OTK5520FW.Hex").toStdString();
    EXPECT_FALSE(InstallAdapterFromChoice("usb", start, error));
    EXPECT_EQ(error, "USB adapter firmware refused: " + start.firmwarePath +
                         " is the simulated board's image, not USB adapter firmware; put the USB adapter's "
                         "own firmware image there, or use --adapter sim");
    EXPECT_EQ(InstalledAdapter(), nullptr);
}

// No test machine has our adapter; an id nobody uses stands for an unplugged one.
TEST_F(AdapterInstallTest, UsbAdapterThatIsNotPluggedInIsRefusedAndNothingInstalled) {
    QTemporaryDir dir;
    start.firmwarePath = (dir.path() + "/OTK5520FW.Hex").toStdString();
    std::ofstream(start.firmwarePath) << ":0100000001FE\r\n:00000001FF\r\n";
    setenv("OTK5530_USB", "fffe:fffd", 1);
    EXPECT_FALSE(InstallAdapterFromChoice("usb", start, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(InstalledAdapter(), nullptr);
}

} // namespace

// serve's pure rules (the --board values and their labels, the listen address, the routes,
// the deadline) and its boards on their own threads: a board that hangs is down for the
// scrape while the others answer, and a board unplugged comes back when plugged in.
#include "adapter/SimBoard.h"
#include "adapter/SimConfig.h"
#include "cli/BoardOption.h"
#include "cli/BoardWorker.h"
#include "cli/ListenAddress.h"
#include "cli/MetricsServer.h"

#include <atomic>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>

namespace {

struct BoardCase {
    const char* name;
    const char* text;
    const char* simEnvironment;
    const char* labelOrError; // the label when accepted, else a part of the message
    bool ok;
};

class BoardOptions : public ::testing::TestWithParam<BoardCase> {};

TEST_P(BoardOptions, GiveTheLabelOfWhereTheBoardIsOrRefuseWithReason) {
    const BoardCase& c = GetParam();
    QString error;
    const std::optional<BoardOption> option = ParseBoardOption(c.text, c.simEnvironment, error);
    ASSERT_EQ(option.has_value(), c.ok) << error.toStdString();
    if (c.ok)
        EXPECT_EQ(ChipLabel(*option).toStdString(), c.labelOrError);
    else
        EXPECT_TRUE(error.contains(c.labelOrError)) << error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Serve, BoardOptions,
    ::testing::Values(
        BoardCase{"SimAddressKey", "sim:address=0x4D,open1_at=30", "", "sim-0x4d", true},
        // The search finds the lowest chip, so that is the one served.
        BoardCase{"SimLowestOfSeveral", "sim", "address=0x4D+0x4C", "sim-0x4c", true},
        BoardCase{"SimKeepsEnvironmentKeys", "sim:drift=off", "address=0x4D", "sim-0x4d", true},
        BoardCase{"SimOverridesEnvironmentKey", "sim:address=0x4E", "address=0x4C,drift=off", "sim-0x4e",
                  true},
        BoardCase{"SimBadKeyNamed", "sim:open1_at=soon", "",
                  "--board sim:open1_at=soon: open1_at=soon refused", false},
        // An override may complete what the environment started: the merged keys are judged whole.
        BoardCase{"SimFaultEndWithStartFromEnvironment", "sim:open1_until=40", "open1_at=30", "sim-0x4c",
                  true},
        BoardCase{"SimWithoutChip", "sim:address=none", "", "no chip on this board", false},
        BoardCase{"UsbAnyAdapter", "usb", "", "usb", true},
        BoardCase{"UsbPlace", "usb:1-3", "", "usb-1-3", true},
        BoardCase{"UsbPlaceThroughHubWithAddress", "usb:2-1.4,0x4C", "", "usb-2-1.4-0x4c", true},
        BoardCase{"UsbPlaceWithoutPort", "usb:1", "", "bus and hub ports", false},
        BoardCase{"UsbAddressOutsideSearch", "usb:1-3,0x10", "", "not one chip address", false},
        BoardCase{"I2cBus", "i2c:/dev/i2c-1", "", "i2c-1", true},
        BoardCase{"I2cAddressAndForceInAnyOrder", "i2c:/dev/i2c-1,force,0x4c", "", "i2c-1-0x4c", true},
        BoardCase{"I2cOtherDeviceName", "i2c:/dev/i2c/bus 2,0x4c", "", "i2c-bus-2-0x4c", true},
        BoardCase{"I2cTwoAddresses", "i2c:/dev/i2c-1,0x4c,0x4d", "", "neither one chip address", false},
        BoardCase{"I2cWithoutBus", "i2c:", "", "expected the bus device", false},
        BoardCase{"UnknownKind", "spi:0", "", "expected sim:KEY=VALUE", false}),
    [](const testing::TestParamInfo<BoardCase>& row) { return std::string(row.param.name); });

struct BoardListCase {
    const char* name;
    QStringList boards;
    const char* adapter;
    std::optional<int32_t> address;
    QStringList labels; // empty: refused, with `error` in the message
    const char* error;
};

class BoardOptionLists : public ::testing::TestWithParam<BoardListCase> {};

TEST_P(BoardOptionLists, LabelEveryBoardOnceOrRefuseTheWhole) {
    const BoardListCase& c = GetParam();
    QString error;
    const auto options = ParseBoardOptions(c.boards, c.adapter, c.address, "drift=off", error);
    ASSERT_EQ(options.has_value(), !c.labels.isEmpty()) << error.toStdString();
    if (!options) {
        EXPECT_TRUE(error.contains(c.error)) << error.toStdString();
        return;
    }
    QStringList labels;
    for (const BoardOption& option : *options)
        labels << ChipLabel(option);
    EXPECT_EQ(labels, c.labels);
}

INSTANTIATE_TEST_SUITE_P(
    Serve, BoardOptionLists,
    ::testing::Values(
        BoardListCase{"DefaultIsTheToolsBoard", {}, "", std::nullopt, {"sim-0x4c"}, ""},
        BoardListCase{"DefaultTakesAdapterAndAddress", {}, "i2c:/dev/i2c-3", 0x4D, {"i2c-3-0x4d"}, ""},
        BoardListCase{"TwoSimulatedBoards",
                      {"sim:address=0x4D", "sim:address=0x4C"},
                      "",
                      std::nullopt,
                      {"sim-0x4d", "sim-0x4c"},
                      ""},
        BoardListCase{"SameLabelTwice",
                      {"sim", "sim:drift=on"},
                      "",
                      std::nullopt,
                      {},
                      "would share the label sim-0x4c"},
        // Two chips on one bus are two boards; one USB adapter cannot be claimed twice.
        BoardListCase{"TwoChipsOnOneI2cBus",
                      {"i2c:/dev/i2c-1,0x4c", "i2c:/dev/i2c-1,0x4d"},
                      "",
                      std::nullopt,
                      {"i2c-1-0x4c", "i2c-1-0x4d"},
                      ""},
        BoardListCase{
            "OneUsbAdapterTwice", {"usb:1-3,0x4c", "usb:1-3,0x4d"}, "", std::nullopt, {}, "same USB adapter"},
        BoardListCase{
            "AdapterBesideBoard", {"sim"}, "sim", std::nullopt, {}, "--adapter and --board exclude"},
        BoardListCase{"AddressBesideBoard", {"sim"}, "", 0x4C, {}, "--address and --board exclude"}),
    [](const testing::TestParamInfo<BoardListCase>& row) { return std::string(row.param.name); });

TEST(OverrideSimKeys, ReplacesInPlaceAndAddsTheRest) {
    EXPECT_EQ(OverrideSimKeys("address=0x4C, drift=off", "ADDRESS=0x4D,open1_at=30"),
              "ADDRESS=0x4D,drift=off,open1_at=30");
    // An entry without "=" is kept for the parser to refuse with its own message.
    EXPECT_EQ(OverrideSimKeys("", "bogus,seed=1"), "bogus,seed=1");
    EXPECT_EQ(OverrideSimKeys("seed=1", ""), "seed=1");
}

struct ListenCase {
    const char* text;
    const char* shown; // empty: refused
};

class ListenAddresses : public ::testing::TestWithParam<ListenCase> {};

TEST_P(ListenAddresses, TakeNumericAddressesAndPortsOnly) {
    const std::optional<ListenAddress> address = ParseListenAddress(GetParam().text);
    EXPECT_EQ(address ? ListenText(*address).toStdString() : "", GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Serve, ListenAddresses,
                         ::testing::Values(ListenCase{"127.0.0.1:5530", "127.0.0.1:5530"},
                                           ListenCase{"[::1]:5530", "[::1]:5530"},
                                           ListenCase{"0.0.0.0:0", "0.0.0.0:0"},
                                           ListenCase{"localhost:5530", ""}, ListenCase{"127.0.0.1", ""},
                                           ListenCase{"127.0.0.1:65536", ""}, ListenCase{"300.0.0.1:80", ""},
                                           ListenCase{"[127.0.0.1]:80", ""}, ListenCase{"::1:80", ""}));

TEST(ListenAddress, DefaultIsLoopbackOutsideTheExporterPortRange) {
    const ListenAddress address;
    EXPECT_EQ(ListenText(address), "127.0.0.1:5530");
    EXPECT_TRUE(address.port < 9100 || address.port > 9999);
}

TEST(RoutePage, MetricsAndLandingByGetOrHeadOnly) {
    EXPECT_EQ(RoutePage("GET", "/metrics"), HttpPage::Metrics);
    EXPECT_EQ(RoutePage("HEAD", "/"), HttpPage::Landing);
    EXPECT_EQ(RoutePage("POST", "/metrics"), HttpPage::MethodNotAllowed);
    EXPECT_EQ(RoutePage("GET", "/metrics/"), HttpPage::NotFound);
    // An unknown path is not found whatever the method.
    EXPECT_EQ(RoutePage("DELETE", "/x"), HttpPage::NotFound);
}

TEST(ScrapeDeadline, LeavesPrometheusAQuarterOfItsTimeout) {
    EXPECT_EQ(ScrapeDeadline(nullptr), kScrapeDeadline);
    EXPECT_EQ(ScrapeDeadline("1"), std::chrono::milliseconds(750));
    EXPECT_EQ(ScrapeDeadline("10"), kScrapeDeadline);
    EXPECT_EQ(ScrapeDeadline("0.01"), std::chrono::milliseconds(100));
    EXPECT_EQ(ScrapeDeadline("soon"), kScrapeDeadline);
    EXPECT_EQ(ScrapeDeadline("-1"), kScrapeDeadline);
}

// A simulated chip behind a link the test can unplug, or hold in the middle of a transfer.
struct Link {
    std::atomic<bool> plugged{true};
    std::atomic<int> opens{0};
    std::mutex mutex;
    std::condition_variable released;
    bool holding = false;
};

class HeldBoard : public AdapterBackend {
public:
    explicit HeldBoard(Link& link) : link_(link), board_(config()) {}
    int16_t LoadFirmWare(const char*) override { return link_.plugged ? 0 : -1; }
    int16_t VendorIORequest(int16_t request, int32_t value, int32_t index, int16_t direction, int16_t length,
                            uint8_t* buffer) override {
        std::unique_lock<std::mutex> lock(link_.mutex);
        link_.released.wait(lock, [this] { return !link_.holding; });
        return link_.plugged ? board_.VendorIORequest(request, value, index, direction, length, buffer) : 1;
    }

private:
    static SimConfig config() {
        SimConfig config;
        config.chip.drift = false;
        return config;
    }
    Link& link_;
    SimBoard board_;
};

std::unique_ptr<BoardWorker> workerOn(Link& link, const char* bus) {
    BoardOption option;
    option.choice.kind = AdapterKind::LinuxI2c; // opened afresh at each connection, as a device is
    option.choice.i2cPath = bus;
    option.address = 0x4C;
    auto open = [&link](const AdapterChoice&, AdapterStart&,
                        std::string& error) -> std::unique_ptr<AdapterBackend> {
        ++link.opens;
        if (!link.plugged) {
            error = "no such device";
            return nullptr;
        }
        return std::make_unique<HeldBoard>(link);
    };
    return std::make_unique<BoardWorker>(std::make_unique<ServedBoard>(option, "unused", open));
}

TEST(BoardWorkers, HeldBoardIsDownForTheScrapeWhileTheOtherAnswers) {
    Link fast, held;
    std::vector<std::unique_ptr<BoardWorker>> boards;
    boards.push_back(workerOn(held, "/dev/i2c-1"));
    boards.push_back(workerOn(fast, "/dev/i2c-2"));
    held.holding = true;
    const std::vector<BoardScrape> first = ScrapeBoards(boards, std::chrono::milliseconds(200));
    EXPECT_FALSE(first[0].up);
    EXPECT_EQ(first[0].chip, "i2c-1-0x4c"); // its info metric stays
    EXPECT_TRUE(first[1].up);
    {
        const std::lock_guard<std::mutex> lock(held.mutex);
        held.holding = false;
    }
    held.released.notify_all();
    // The reading still running is taken up, not started twice: one connection in all.
    const std::vector<BoardScrape> second = ScrapeBoards(boards, std::chrono::seconds(30));
    EXPECT_TRUE(second[0].up);
    EXPECT_TRUE(second[0].sensors[0].celsius.has_value());
    EXPECT_EQ(held.opens, 1);
}

TEST(BoardWorkers, UnpluggedBoardKeepsItsInfoAndComesBackWhenPluggedIn) {
    Link link;
    std::vector<std::unique_ptr<BoardWorker>> boards;
    boards.push_back(workerOn(link, "/dev/i2c-1"));
    const auto scrape = [&boards] { return ScrapeBoards(boards, std::chrono::seconds(30)).at(0); };
    ASSERT_TRUE(scrape().up);
    link.plugged = false;
    const BoardScrape lost = scrape();
    EXPECT_FALSE(lost.up);
    EXPECT_EQ(lost.manufacturerId, 0x41);
    EXPECT_EQ(lost.busErrorsTotal, 1u);
    EXPECT_FALSE(scrape().up); // the device is gone: opening it fails
    link.plugged = true;
    const BoardScrape back = scrape();
    EXPECT_TRUE(back.up);
    EXPECT_EQ(back.busErrorsTotal, 1u);
    EXPECT_EQ(link.opens, 3);
}

} // namespace

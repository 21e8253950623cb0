// The exporter as a child process: command lines it refuses, USB adapters by port through
// the fake libusb, a thousand hostile requests after which /metrics still answers as before,
// and its end on SIGTERM.
#include "support/FakeBoundary.h"
#include "support/ServeProcess.h"

#include <QTemporaryDir>

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

const char kBoardUp[] = "otk5530_up{chip=\"sim-0x4c\"} 1\n";

struct RefusedCase {
    const char* name;
    QStringList arguments;
    const char* message;
};

class RefusedCommandLines : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedCommandLines, EndWithUsageStatusAndReason) {
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("OTK5530_ADAPTER");
    env.insert("OTK5530_SIM", "drift=off");
    tool.setProcessEnvironment(env);
    tool.start(QCoreApplication::applicationDirPath() + "/otk5530-cli",
               QStringList{"serve"} + GetParam().arguments);
    ASSERT_TRUE(tool.waitForFinished(30000));
    EXPECT_EQ(tool.exitCode(), 2);
    const QString errors = QString::fromLocal8Bit(tool.readAllStandardError());
    EXPECT_TRUE(errors.contains(GetParam().message)) << errors.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Serve, RefusedCommandLines,
    ::testing::Values(
        RefusedCase{"UnknownBoard", {"--board", "spi:0"}, "--board spi:0: expected sim:KEY=VALUE"},
        RefusedCase{"BadSimKey", {"--board", "sim:open1_at=soon"}, "open1_at=soon refused"},
        RefusedCase{"SameLabel", {"--board", "sim", "--board", "sim:seed=2"}, "share the label sim-0x4c"},
        RefusedCase{"NameForAddress", {"--listen", "localhost:5530"}, "not a numeric address"},
        RefusedCase{"OutputFile", {"-o", "metrics.txt"}, "-o is not an option of serve"}),
    [](const testing::TestParamInfo<RefusedCase>& row) { return std::string(row.param.name); });

TEST(ServeHttp, SecondExporterOnATakenPortIsRefused) {
    ServeProcess first({"sim"});
    ASSERT_NE(first.port, 0) << first.errors.toStdString();
    QProcess second;
    second.start(QCoreApplication::applicationDirPath() + "/otk5530-cli",
                 {"serve", "--listen", "127.0.0.1:" + QString::number(first.port)});
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitCode(), 2);
    EXPECT_TRUE(second.readAllStandardError().contains("cannot listen on 127.0.0.1:"));
}

// One hostile request and what may come back: a status, or (0) the server closing without one.
struct Hostile {
    std::string request;
    std::vector<int> statuses;
};

std::vector<Hostile> hostileRequests() {
    std::vector<Hostile> requests;
    const auto add = [&requests](int times, const std::string& request, std::vector<int> statuses) {
        for (int i = 0; i < times; ++i)
            requests.push_back({request, statuses});
    };
    const std::string host = " HTTP/1.1\r\nHost: x\r\n";
    add(250, "GET /" + std::string(100000, 'a') + host + "\r\n", {400});
    add(100, "GET /metrics" + host + "X-Big: " + std::string(20000, 'b') + "\r\n\r\n", {400});
    std::string manyHeaders;
    for (int i = 0; i < 2000; ++i)
        manyHeaders += "X-" + std::to_string(i) + ": v\r\n";
    add(100, "GET /metrics" + host + manyHeaders + "\r\n", {400});
    for (const char* method : {"POST", "PUT", "DELETE", "PATCH", "OPTIONS", "CONNECT", "PROPFIND"})
        add(20, std::string(method) + " /metrics" + host + "Content-Length: 0\r\n\r\n", {405});
    for (const char* method : {"TRACE", "BREW", "get"})
        add(20, std::string(method) + " /metrics" + host + "\r\n", {400});
    // Paths that name no page, or that civetweb normalises to one (never to a file: there is no root).
    for (const char* path : {"/../etc/passwd", "/metrics.old", "/metrics#x", "/api/v1/query"})
        add(25, "GET " + std::string(path) + host + "\r\n", {404});
    for (const char* path :
         {"//metrics", "/metrics/../metrics", "/%2e%2e/", "/\xff\xfe", "*", "http://x/metrics"})
        add(25, "GET " + std::string(path) + host + "\r\n", {0, 200, 400, 404});
    return requests;
}

// The answer a hostile request got, if it was not among those allowed; empty when it was.
std::string judged(const Hostile& hostile, const HttpReply& reply) {
    const bool allowed =
        std::find(hostile.statuses.begin(), hostile.statuses.end(), reply.status) != hostile.statuses.end();
    // A page, if any, is one of ours.
    const bool ours = reply.status != 200 || reply.body.rfind("# HELP", 0) == 0 ||
                      reply.body.rfind("<!DOCTYPE html>", 0) == 0;
    return allowed && ours ? std::string()
                           : hostile.request.substr(0, 60) + " -> " + std::to_string(reply.status);
}

// Each item by one of `threads` clients at once; what went wrong, one line each.
template <class Item, class Check>
std::vector<std::string> inParallel(const std::vector<Item>& items, int threads, Check check) {
    std::atomic<size_t> next{0};
    std::mutex mutex;
    std::vector<std::string> wrong;
    std::vector<std::thread> clients;
    for (int t = 0; t < threads; ++t)
        clients.emplace_back([&] {
            for (size_t i = next++; i < items.size(); i = next++)
                if (const std::string problem = check(items[i]); !problem.empty()) {
                    const std::lock_guard<std::mutex> lock(mutex);
                    wrong.push_back(problem);
                }
        });
    for (std::thread& client : clients)
        client.join();
    return wrong;
}

} // namespace

TEST(ServeHttp, ThousandHostileRequestsLeaveMetricsAnswering) {
    ServeProcess exporter({"sim:address=0x4C"});
    ASSERT_NE(exporter.port, 0) << exporter.errors.toStdString();
    const int port = exporter.port;
    const HttpReply before = HttpGet(port, "/metrics");
    ASSERT_EQ(before.status, 200);
    ASSERT_NE(before.body.find(kBoardUp), std::string::npos) << before.body;

    const std::vector<Hostile> requests = hostileRequests(); // 900: the rest below
    size_t sent = requests.size();
    EXPECT_EQ(inParallel(requests, 8,
                         [port](const Hostile& h) { return judged(h, HttpExchange(port, h.request)); }),
              std::vector<std::string>{});

    // 25 clients stop in mid-request and wait; 25 stop and close their sending side. The
    // server ends every one of them on its own.
    std::vector<int> halfOpen(50);
    for (size_t i = 0; i < halfOpen.size(); ++i) {
        halfOpen[i] = ConnectLoopback(port);
        send(halfOpen[i], "GET /metrics HTTP/1.1\r\nHost:", 28, MSG_NOSIGNAL);
        if (i % 2)
            shutdown(halfOpen[i], SHUT_WR);
    }
    sent += halfOpen.size();
    EXPECT_EQ(inParallel(halfOpen, 50,
                         [](int fd) {
                             const HttpReply reply = [fd] {
                                 pollfd ready{fd, POLLIN, 0};
                                 char buffer[4096];
                                 // The server's answer (if any) then its close; 30 s: it never came.
                                 while (poll(&ready, 1, 30000) == 1)
                                     if (recv(fd, buffer, sizeof buffer, 0) <= 0)
                                         return HttpReply{1, {}, {}};
                                 return HttpReply{};
                             }();
                             close(fd);
                             return reply.status == 1 ? std::string() : "a stalled client was never closed";
                         }),
              std::vector<std::string>{});

    // 50 scrapes at once, all answered in full.
    const std::vector<int> scrapes(50, port);
    sent += scrapes.size();
    EXPECT_EQ(inParallel(scrapes, 50,
                         [](int p) {
                             const HttpReply reply = HttpGet(p, "/metrics");
                             return reply.status == 200 && reply.body.find(kBoardUp) != std::string::npos
                                        ? std::string()
                                        : "scrape -> " + std::to_string(reply.status);
                         }),
              std::vector<std::string>{});
    EXPECT_EQ(sent, 1000u);

    const HttpReply after = HttpGet(port, "/metrics");
    EXPECT_EQ(after.status, 200);
    EXPECT_NE(after.body.find(kBoardUp), std::string::npos) << after.body;
    EXPECT_NE(after.head.find("Content-Type: text/plain; version=0.0.4"), std::string::npos) << after.head;
    EXPECT_EQ(exporter.stop(), 0) << exporter.errors.toStdString();
    EXPECT_TRUE(exporter.errors.contains("SIGTERM: stopping")) << exporter.errors.toStdString();
}

// Through the fake libusb (the real USB code, the simulated chip inside): a bare adapter on
// port 2 gets its firmware, one on port 3 runs it already; each is labelled by its port, and
// the one unplugged is down while the exporter goes on answering.
TEST(ServeHttp, UsbAdaptersByPortLabelledByPortAndDownWhenUnplugged) {
    QTemporaryDir folder;
    ASSERT_TRUE(CopyBesideSoundImage(QCoreApplication::applicationDirPath() + "/otk5530-cli", folder.path(),
                                     "otk5530-cli"));
    const QString journal = folder.filePath("journal.txt");
    ServeProcess exporter({"usb:1-2", "usb:1-3,0x4C"}, "drift=off", folder.filePath("otk5530-cli"),
                          FakeBoundaryEnvironment(QProcessEnvironment::systemEnvironment(), false,
                                                  OTK_FAKE_LIBUSB, {"adapters=2", "unplug_after=100"},
                                                  journal, {}));
    ASSERT_NE(exporter.port, 0) << exporter.errors.toStdString();
    // Prometheus's default timeout: time enough for the bare adapter's firmware download.
    const auto scrape = [&exporter] {
        return HttpGet(exporter.port, "/metrics", "X-Prometheus-Scrape-Timeout-Seconds: 10\r\n").body;
    };
    const std::string first = scrape();
    EXPECT_NE(first.find("otk5530_up{chip=\"usb-1-2-0x4c\"} 1\n"), std::string::npos) << first;
    EXPECT_NE(first.find("otk5530_up{chip=\"usb-1-3-0x4c\"} 1\n"), std::string::npos) << first;
    std::string later;
    for (int i = 0; i < 20 && later.find("otk5530_up{chip=\"usb-1-2-0x4c\"} 0\n") == std::string::npos; ++i)
        later = scrape();
    EXPECT_NE(later.find("otk5530_chip_info{chip=\"usb-1-2-0x4c\",backend=\"usb\""), std::string::npos)
        << later;
    QFile log(journal);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("CPU started on the loaded firmware"));
    EXPECT_EQ(exporter.stop(), 0) << exporter.errors.toStdString();
    EXPECT_TRUE(exporter.errors.contains("usb-1-2-0x4c: down: a register transfer failed"))
        << exporter.errors.toStdString();
}

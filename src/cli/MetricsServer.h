#pragma once
// The HTTP side of `serve`, on civetweb: GET (and HEAD) /metrics and a landing page at /,
// 404 for any other path, 405 for any other method, with the request size, the time a
// request may take and the worker threads bounded. No board is touched here: /metrics
// calls the scrape it is given, on one of civetweb's threads.
#include "cli/ListenAddress.h"
#include "cli/PromMetrics.h"

#include <QString>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

struct mg_context;
struct mg_connection;

enum class HttpPage { Metrics, Landing, NotFound, MethodNotAllowed };
HttpPage RoutePage(std::string_view method, std::string_view path);

// How long a scrape waits for the boards: kScrapeDeadline, or less when Prometheus says in
// X-Prometheus-Scrape-Timeout-Seconds (null: absent) that it gives up sooner.
inline constexpr std::chrono::milliseconds kScrapeDeadline{4000};
std::chrono::milliseconds ScrapeDeadline(const char* scrapeTimeoutHeader);

class MetricsServer {
public:
    // The exposition in the format asked for, the boards read within the deadline.
    using Scrape = std::function<std::string(MetricsFormat format, std::chrono::milliseconds deadline)>;

    MetricsServer(Scrape scrape, std::string landingPage);
    ~MetricsServer();
    MetricsServer(const MetricsServer&) = delete;
    MetricsServer& operator=(const MetricsServer&) = delete;

    // Listens and serves until destroyed. False, with civetweb's reason, when it cannot listen.
    bool start(const ListenAddress& address, QString& error);
    // The port listened on: the one given, or the free one taken for port 0.
    int port() const;

private:
    static int handle(mg_connection* connection, void* server);

    Scrape scrape_;
    std::string landingPage_;
    mg_context* context_ = nullptr;
};

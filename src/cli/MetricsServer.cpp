#include "cli/MetricsServer.h"

#include <algorithm>
#include <civetweb.h>
#include <cstdlib>
#include <exception>

namespace {

// Civetweb's bounds. A request line and its headers beyond 16 KiB are refused; a client that
// stops sending holds its thread for at most the request time; a few threads serve the
// scrapes of several Prometheus servers, the rest of the connections queue.
constexpr char kMaxRequestSize[] = "16384";
constexpr char kRequestTimeoutMs[] = "3000";
constexpr char kWorkerThreads[] = "16";
constexpr char kConnectionQueue[] = "64";
// Of Prometheus's own timeout, the share a scrape may wait for the boards: the rest carries
// the answer back.
constexpr double kShareOfPrometheusTimeout = 0.75;
constexpr std::chrono::milliseconds kShortestDeadline{100};
// mg_check_feature's bit for IPv6 listening.
constexpr unsigned kIpv6Feature = 8;

void respond(mg_connection* connection, int status, const char* contentType, const std::string& body,
             bool withBody, const char* allow = nullptr) {
    mg_response_header_start(connection, status);
    mg_response_header_add(connection, "Content-Type", contentType, -1);
    mg_response_header_add(connection, "Content-Length", std::to_string(body.size()).c_str(), -1);
    if (allow)
        mg_response_header_add(connection, "Allow", allow, -1);
    mg_response_header_send(connection);
    if (withBody)
        mg_write(connection, body.data(), body.size());
}

// Civetweb's own log lines (a client that went away, a refused request) would fill the
// journal of an exporter anyone on the network can reach: they are dropped.
int dropLogLine(const mg_connection*, const char*) {
    return 1;
}

} // namespace

HttpPage RoutePage(std::string_view method, std::string_view path) {
    const bool known = path == "/metrics" || path == "/";
    if (!known)
        return HttpPage::NotFound;
    if (method != "GET" && method != "HEAD")
        return HttpPage::MethodNotAllowed;
    return path == "/" ? HttpPage::Landing : HttpPage::Metrics;
}

std::chrono::milliseconds ScrapeDeadline(const char* scrapeTimeoutHeader) {
    if (!scrapeTimeoutHeader)
        return kScrapeDeadline;
    char* end = nullptr;
    const double seconds = std::strtod(scrapeTimeoutHeader, &end);
    if (end == scrapeTimeoutHeader || *end != '\0' || !(seconds > 0))
        return kScrapeDeadline;
    const auto share = std::chrono::milliseconds(
        static_cast<long long>(std::min(seconds * 1000 * kShareOfPrometheusTimeout, 1e9)));
    return std::clamp(share, kShortestDeadline, kScrapeDeadline);
}

MetricsServer::MetricsServer(Scrape scrape, std::string landingPage)
    : scrape_(std::move(scrape)), landingPage_(std::move(landingPage)) {}

MetricsServer::~MetricsServer() {
    if (context_)
        mg_stop(context_);
}

bool MetricsServer::start(const ListenAddress& address, QString& error) {
    mg_init_library(0);
    if (address.host.contains(':') && !mg_check_feature(kIpv6Feature)) {
        error =
            "cannot listen on " + ListenText(address) +
            ": this civetweb was built without IPv6 (Debian 12's is); give an IPv4 address such as 0.0.0.0";
        return false;
    }
    const std::string ports = ListenText(address).toStdString();
    // No document_root: nothing of the file system is ever served.
    const char* options[] = {"listening_ports",
                             ports.c_str(),
                             "num_threads",
                             kWorkerThreads,
                             "max_request_size",
                             kMaxRequestSize,
                             "request_timeout_ms",
                             kRequestTimeoutMs,
                             "connection_queue",
                             kConnectionQueue,
                             nullptr};
    mg_callbacks callbacks{};
    callbacks.log_message = dropLogLine;
    mg_init_data init{&callbacks, this, options};
    unsigned code = 0;
    char text[256] = "";
    mg_error_data failure{&code, text, sizeof text};
    context_ = mg_start2(&init, &failure);
    if (!context_) {
        error = "cannot listen on " + ListenText(address) + ": " + QString::fromLocal8Bit(text);
        return false;
    }
    mg_set_request_handler(context_, "/", handle, this);
    return true;
}

int MetricsServer::port() const {
    mg_server_port ports[1]{};
    return context_ && mg_get_server_ports(context_, 1, ports) == 1 ? ports[0].port : 0;
}

int MetricsServer::handle(mg_connection* connection, void* data) {
    const auto& server = *static_cast<MetricsServer*>(data);
    const mg_request_info* request = mg_get_request_info(connection);
    const std::string_view method = request->request_method ? request->request_method : "";
    const bool withBody = method != "HEAD";
    switch (RoutePage(method, request->local_uri ? request->local_uri : "")) {
    case HttpPage::NotFound:
        respond(connection, 404, "text/plain; charset=utf-8", "Not found: try /metrics\n", withBody);
        return 404;
    case HttpPage::MethodNotAllowed:
        respond(connection, 405, "text/plain; charset=utf-8", "Only GET and HEAD\n", withBody, "GET, HEAD");
        return 405;
    case HttpPage::Landing:
        respond(connection, 200, "text/html; charset=utf-8", server.landingPage_, withBody);
        return 200;
    case HttpPage::Metrics:
        break;
    }
    const char* accept = mg_get_header(connection, "Accept");
    const MetricsFormat format = MetricsFormatForAccept(accept ? accept : "");
    const char* timeout = mg_get_header(connection, "X-Prometheus-Scrape-Timeout-Seconds");
    try {
        const std::string exposition = server.scrape_(format, ScrapeDeadline(timeout));
        respond(connection, 200, MetricsContentType(format), exposition, withBody);
        return 200;
    } catch (const std::exception& failure) {
        respond(connection, 500, "text/plain; charset=utf-8", std::string(failure.what()) + "\n", withBody);
        return 500;
    }
}

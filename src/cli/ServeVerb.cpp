#include "cli/ServeVerb.h"

#include "app/Version.h"
#include "cli/BoardWorker.h"
#include "cli/CliExit.h"
#include "cli/MetricsServer.h"
#include "device/USBStuff.h"

#include <QFile>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <pthread.h>

namespace {

std::string landingPage(const std::vector<BoardOption>& boards, const QString& version) {
    QString items;
    for (const BoardOption& board : boards)
        items += "<li>" + ChipLabel(board).toHtmlEscaped() + "</li>";
    return ("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>OTK5530 exporter</title></head>"
            "<body><h1>OTK5530 exporter " +
            version + "</h1><p><a href=\"/metrics\">Metrics</a></p><ul>" + items + "</ul></body></html>\n")
        .toStdString();
}

} // namespace

int ServeVerb(const CliArgs& args) {
    QString error;
    const std::optional<std::vector<BoardOption>> boards = ParseBoardOptions(
        args.boards, args.adapter, args.address, qgetenv("OTK5530_SIM").toStdString(), error);
    if (!boards)
        throw CliError{kExitUsage, error};
    // Blocked before any thread starts, so every thread inherits the mask and only sigwait
    // below takes them: the end is an orderly return, never a handler inside a board's reading.
    sigset_t endSignals;
    sigemptyset(&endSignals);
    sigaddset(&endSignals, SIGINT);
    sigaddset(&endSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);

    const std::string firmwarePath = QFile::encodeName(USBStuff::FirmwareFilePath()).toStdString();
    std::vector<std::unique_ptr<BoardWorker>> workers;
    for (const BoardOption& board : *boards)
        workers.push_back(std::make_unique<BoardWorker>(std::make_unique<ServedBoard>(board, firmwarePath)));
    const std::string version = VersionText().toStdString();
    MetricsServer server(
        [&workers, &version](MetricsFormat format, std::chrono::milliseconds deadline) {
            return FormatMetrics(ScrapeBoards(workers, deadline), format, version);
        },
        landingPage(*boards, VersionText()));
    const ListenAddress listen = args.listen.value_or(ListenAddress{});
    if (!server.start(listen, error))
        throw CliError{kExitUsage, error};
    ListenAddress shown = listen;
    shown.port = server.port();
    std::fprintf(stderr, "%s: serving %zu board%s on http://%s/metrics\n", kToolName, workers.size(),
                 workers.size() == 1 ? "" : "s", qPrintable(ListenText(shown)));
    int signal = 0;
    sigwait(&endSignals, &signal);
    std::fprintf(stderr, "%s: %s: stopping\n", kToolName, signal == SIGINT ? "SIGINT" : "SIGTERM");
    return kExitSuccess;
}

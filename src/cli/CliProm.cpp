#include "cli/CliProm.h"

#include "app/Version.h"
#include "cli/CliWrite.h"
#include "device/USBStuff.h"

BoardScrape CliBoard(const CliConnection& connection, int32_t address) {
    return BoardIdentity(connection.place.toStdString(), address);
}

void WritePromSample(BoardScrape& board, const QString& path) {
    const uint64_t errorsBefore = board.busErrorsTotal;
    board = ScrapeBoard(USBStuff::ProgramChip(), board);
    WriteOutput(QByteArray::fromStdString(
                    FormatMetrics({board}, MetricsFormat::Text004, VersionText().toStdString())),
                path);
    if (board.busErrorsTotal != errorsBefore)
        USBStuff::ReportLinkError(USBStuff::CommunicationsInterrupted);
}

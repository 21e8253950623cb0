#include "cli/RunCli.h"

#include "app/ConnectionSequence.h"
#include "app/Version.h"
#include "cli/CliArgs.h"
#include "cli/CliConnect.h"
#include "cli/CliExit.h"
#include "cli/CliGrids.h"
#include "cli/CliHelp.h"
#include "cli/CliMeasure.h"
#include "cli/CliProm.h"
#include "cli/CliSensors.h"
#include "cli/CliSettings.h"
#include "cli/CliStatus.h"
#include "cli/CliVerbs.h"
#include "cli/CliWrite.h"
#include "cli/ServeVerb.h"
#include "device/RegMapStuff.h"
#include "device/USBStuff.h"
#include "files/RegularFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

namespace {
void printError(const QString& message) {
    std::fprintf(stderr, "%s: %s\n", kToolName, message.toLocal8Bit().constData());
}

// A JSON document on standard output is never left empty by a lost link: the verb's
// document carries the failure as "error" (NDJSON: a last line). Files written whole are
// left as they were.
void endOnLinkLoss(const CliArgs& args) {
    if ((args.format != CliFormat::Json && args.format != CliFormat::Ndjson) || !args.output.isEmpty())
        return;
    SetLinkLossEnding([verb = args.verb, format = args.format](const QString& failure) {
        const QJsonObject document =
            format == CliFormat::Json
                ? QJsonObject{{"verb", verb}, {"results", QJsonArray()}, {"error", failure}}
                : QJsonObject{{"error", failure}};
        WriteOutput(QJsonDocument(document).toJson(format == CliFormat::Json ? QJsonDocument::Indented
                                                                             : QJsonDocument::Compact) +
                        (format == CliFormat::Json ? "" : "\n"),
                    {});
    });
}

int runVerb(const CliArgs& args) {
    // Everything that can be checked without the chip is checked before it is touched.
    RegMapStuff::BuildRegisterTable();
    CheckVerbOperands(args);
    // A folder, pipe or device named as the output is refused before the chip is touched.
    if (!args.output.isEmpty() && QFileInfo::exists(args.output) && !QFileInfo(args.output).isFile())
        throw CliError{kExitUsage, "-o " + args.output + ": not a plain file; nothing was written"};
    if (args.verb == "serve")
        return ServeVerb(args);
    const std::optional<QByteArray> settingsFile = LoadSettingsOperand(args);
    endOnLinkLoss(args);
    const CliConnection connection = ConnectAdapter(args.adapter);
    if (args.verb == "scan") {
        const std::vector<ScanHit> hits = ScanBus();
        WriteOutput(
            args.format == CliFormat::I2cdetect
                ? I2cdetectGrid(hits, GeneralStuff::kFirstSearchAddress, GeneralStuff::kLastSearchAddress)
                : Render(ScanReport(hits), args.format),
            args.output);
        const bool anyOtk =
            std::any_of(hits.begin(), hits.end(), [](const ScanHit& hit) { return hit.otk5530; });
        if (!anyOtk)
            throw CliError{kExitNoChip, "no OTK5530 answers on the bus"};
        return kExitSuccess;
    }
    SelectChip(args.address);
    if ((args.verb == "temps" && args.watch) || args.verb == "log")
        return MeasureVerb(args, connection);
    if (args.verb == "temps" && args.format == CliFormat::Prom) {
        BoardScrape board = CliBoard(connection, USBStuff::ProgramChip().DeviceAddress);
        WritePromSample(board, args.output);
        return kExitSuccess;
    }
    if (args.verb == "recall" && !args.dryRun)
        return RecallVerb(args, *settingsFile);
    if (args.verb == "dump" && args.format == CliFormat::I2cdump) {
        WriteOutput(I2cdumpGrid(DumpBytes()), args.output);
        return kExitSuccess;
    }
    int status = kExitSuccess;
    Report report;
    if (args.verb == "info")
        report = InfoVerb(connection);
    else if (args.verb == "read")
        report = ReadVerb(args.operands);
    else if (args.verb == "dump")
        report = DumpVerb();
    else if (args.verb == "write")
        report = WriteVerb(args.operands, args.mask, status);
    else if (args.verb == "limits")
        report = LimitsVerb(args.operands, args.force, status);
    else if (args.verb == "temps")
        report = Report{"temps", {TemperatureRow({true, true, true})}};
    else if (args.verb == "status")
        report = StatusVerb();
    else if (args.verb == "sensors")
        report = SensorsVerb();
    else
        report = SettingsVerb(args, settingsFile, status);
    // Measured whole: from here on a lost link has no document to end.
    SetLinkLossEnding({});
    const QString chipName = SensorsChipName(args.adapter, connection, USBStuff::ProgramChip().DeviceAddress);
    if (args.verb == "sensors" && args.format == CliFormat::Text)
        WriteOutput(RenderSensorsText(report, chipName, connection.adapterDescription), args.output);
    else if (args.verb == "sensors" && args.format == CliFormat::Json)
        WriteOutput(RenderSensorsJson(report, chipName, connection.adapterDescription), args.output);
    else
        WriteOutput(Render(report, args.format), args.output);
    if (status == kExitMismatch)
        throw CliError{kExitMismatch, args.verb != "diff" ? QString("the chip read back other than written")
                                      : IsStandardInput(args.operands.at(0))
                                          ? QString("the chip differs from standard input")
                                          : "the chip differs from " + args.operands.at(0)};
    return status;
}
} // namespace

int RunCli(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(kToolName);
    QCoreApplication::setApplicationVersion(VersionText());
    QString error;
    const std::optional<CliArgs> args = ParseCliArgs(app.arguments().mid(1), error);
    if (!args) {
        printError(error);
        return kExitUsage;
    }
    if (args->help) {
        std::fputs(CliHelpText().toUtf8().constData(), stdout);
        return kExitSuccess;
    }
    if (args->version) {
        std::printf("%s %s\n", kToolName, qPrintable(VersionText()));
        return kExitSuccess;
    }
    try {
        return runVerb(*args);
    } catch (const CliError& failure) {
        printError(failure.message);
        return failure.status;
    }
}

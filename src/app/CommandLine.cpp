#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <cmath>

namespace {
constexpr double kLongestCaptureWait = 1e6;
}

std::optional<CommandLineOptions> ParseCommandLine(const QStringList& arguments, QString& error) {
    QCommandLineParser parser;
    parser.setApplicationDescription("Evaluation software for the OTK5530 temperature sensor.");
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption capture("capture", "Saves a picture of the main window to FILE.png, then quits.",
                                     "FILE.png");
    const QCommandLineOption after("after", "Seconds after start-up at which --capture is taken.", "SECONDS");
    const QCommandLineOption adapter("adapter", "The adapter: sim (default), usb or i2c:/dev/i2c-N.", "ADAPTER");
    parser.addOption(adapter);
    parser.addOption(capture);
    parser.addOption(after);
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet("help"))
        parser.showHelp(0);
    if (parser.isSet("version"))
        parser.showVersion();

    CommandLineOptions options;
    options.captureFile = parser.value(capture);
    options.adapter = parser.value(adapter);
    if (parser.isSet(after)) {
        if (options.captureFile.isEmpty()) {
            error = "--after needs --capture.";
            return std::nullopt;
        }
        bool ok = false;
        options.captureAfter = parser.value(after).toDouble(&ok);
        // The wait is a millisecond timer: keep it well inside its range.
        if (!ok || !std::isfinite(options.captureAfter) || options.captureAfter < 0 ||
            options.captureAfter > kLongestCaptureWait) {
            error = "--after needs a number of seconds from 0 to 1000000.";
            return std::nullopt;
        }
    }
    if (!parser.positionalArguments().isEmpty()) {
        error = "Unexpected argument: " + parser.positionalArguments().first();
        return std::nullopt;
    }
    return options;
}

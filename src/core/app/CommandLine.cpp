#include "app/CommandLine.h"

#include "device/WindowClasses.h"

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
    const QCommandLineOption adapter("adapter", "The adapter: sim (default), usb or i2c:/dev/i2c-N.",
                                     "ADAPTER");
    const QCommandLineOption open("open", "Opens the windows after start-up, e.g. frmRegMap,frmLimits.",
                                  "WINDOWS");
    const QCommandLineOption continuousRead(
        "continuous-read", "Ticks \"Continuous Read\" in the register map (needs --open frmRegMap).");
    const QCommandLineOption log("log", "Logs every channel at the current interval into FILE from start-up.",
                                 "FILE");
    const QCommandLineOption workspace("workspace",
                                       "Opens the workspace FILE.otkws (\"last\": the last session) after "
                                       "start-up, before --open, --log and --capture.",
                                       "FILE.otkws");
    parser.addOption(adapter);
    parser.addOption(workspace);
    parser.addOption(open);
    parser.addOption(continuousRead);
    parser.addOption(log);
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
    options.logFile = parser.value(log);
    options.workspaceFile = parser.value(workspace);
    if (parser.isSet(workspace) && options.workspaceFile.isEmpty()) {
        error = "--workspace needs a file name.";
        return std::nullopt;
    }
    if (parser.isSet(log) && options.logFile.isEmpty()) {
        error = "--log needs a file name.";
        return std::nullopt;
    }
    for (const QString& name : parser.values(open).join(',').split(',', Qt::SkipEmptyParts))
        options.openWindows.append(name.trimmed());
    options.continuousRead = parser.isSet(continuousRead);
    if (options.continuousRead && !options.openWindows.contains(WindowClass::kRegMap)) {
        error = "--continuous-read needs --open frmRegMap.";
        return std::nullopt;
    }
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

QByteArray LastOptionBytes(int argc, const char* const* argv, const char* name) {
    const QByteArray option = QByteArray("--") + name;
    QByteArray value;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--")
            break;
        if (argument == option && i + 1 < argc)
            value = argv[++i];
        else if (argument.startsWith(option + "="))
            value = argument.mid(option.size() + 1);
    }
    return value;
}

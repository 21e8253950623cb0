#include "app/Main.h"
#include "adapter/DefaultAdapter.h"
#include "app/Capture.h"
#include "app/CommandLine.h"
#include "app/LinkErrorHandling.h"
#include "app/SignalClose.h"
#include "app/Unattended.h"
#include "app/Version.h"
#include "app/WorkspaceWindows.h"
#include "app/frmMain.h"
#include "device/USBStuff.h"
#include "files/LogStart.h"
#include "files/RegularFile.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    QString commandLineError;
    std::optional<CommandLineOptions> options;
    AdapterStart adapter;
    {
        // --help, --version and refusals need no display.
        QCoreApplication parsing(argc, argv);
        QCoreApplication::setApplicationName(kApplicationTitle);
        QCoreApplication::setApplicationVersion(VersionText());
        options = ParseCommandLine(parsing.arguments(), commandLineError);
        // The application folder, where the firmware file lies, is known from here on.
        adapter.firmwarePath = QFile::encodeName(USBStuff::FirmwareFilePath()).toStdString();
    }
    if (options && !UnknownWindowClass(options->openWindows).isEmpty())
        commandLineError = "--open: no window named " + UnknownWindowClass(options->openWindows);
    if (!options || !commandLineError.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(commandLineError));
        return 2;
    }

    // The log file keeps the exact bytes it was named with.
    const QByteArray logFileBytes = LastOptionBytes(argc, argv, "log");
    if (!logFileBytes.isEmpty()) {
        RememberNativeName(logFileBytes);
        options->logFile = QFile::decodeName(logFileBytes);
    }
    const QByteArray workspaceBytes = LastOptionBytes(argc, argv, "workspace");
    if (!workspaceBytes.isEmpty()) {
        RememberNativeName(workspaceBytes);
        options->workspaceFile = QFile::decodeName(workspaceBytes);
    }
    // "last" names the session saved as the program last ended; a file called so is given as ./last.
    if (options->workspaceFile == "last")
        options->workspaceFile = LastSessionPath();

    std::string adapterError;
    const bool installed =
        options->adapter.isEmpty()
            ? InstallDefaultAdapter(adapter, adapterError)
            : InstallAdapterFromChoice(options->adapter.toStdString(), adapter, adapterError);
    if (!installed) {
        std::fprintf(stderr, "%s\n", adapterError.c_str());
        return 2;
    }
    if (!adapter.warning.empty())
        std::fprintf(stderr, "warning: %s\n", adapter.warning.c_str());
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    QApplication::setApplicationVersion(VersionText());
    // The icon is compiled into the static library; its resources need an explicit start.
    Q_INIT_RESOURCE(icons);
    QApplication::setWindowIcon(QIcon(":/otk5530-eval.png"));
    InstallLinkErrorHandler();
    InstallMessagesFromEnvironment();
    InstallFastStartFromEnvironment();
    InstallSignalHandlers();

    frmMain* mainWindow = GeneralStuff::Main(QString::fromStdString(adapter.description), adapter.simulated);
    if (!options->workspaceFile.isEmpty()) {
        QStringList notes;
        if (const std::optional<QString> refused =
                OpenWorkspace(*mainWindow, options->workspaceFile, notes)) {
            std::fprintf(stderr, "--workspace: %s\n", qPrintable(QString(*refused).replace('\n', ' ')));
            mainWindow->close();
            return 2;
        }
        for (const QString& note : notes)
            std::fprintf(stderr, "--workspace: %s\n", qPrintable(QString(note).replace('\n', ' ')));
    }
    if (!options->logFile.isEmpty() && !StartLoggingAllChannels(options->logFile)) {
        std::fprintf(stderr, "--log: the file %s could not be opened for writing.\n",
                     qPrintable(options->logFile));
        mainWindow->close();
        return 2;
    }
    CloseOnSignals(mainWindow);
    OpenStartWindows(*mainWindow, options->openWindows, options->continuousRead);
    if (!options->captureFile.isEmpty())
        ScheduleCapture(options->captureFile, options->captureAfter);
    return app.exec();
}

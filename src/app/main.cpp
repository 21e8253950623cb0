#include "app/Main.h"
#include "adapter/DefaultAdapter.h"
#include "app/Capture.h"
#include "app/CommandLine.h"
#include "app/LinkErrorHandling.h"
#include "app/Version.h"

#include <QApplication>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    QApplication::setApplicationVersion(VersionText());

    QString commandLineError;
    const std::optional<CommandLineOptions> options = ParseCommandLine(app.arguments(), commandLineError);
    if (!options) {
        std::fprintf(stderr, "%s\n", qPrintable(commandLineError));
        return 2;
    }

    std::string adapterError;
    if (!InstallDefaultAdapter(adapterError)) {
        std::fprintf(stderr, "%s\n", adapterError.c_str());
        return 2;
    }
    InstallLinkErrorHandler();

    GeneralStuff::Main();
    if (!options->captureFile.isEmpty())
        ScheduleCapture(options->captureFile, options->captureAfter);
    return app.exec();
}

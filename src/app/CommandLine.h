#pragma once
// The program's command line: --help, --version and the timed window capture.
#include <QString>
#include <QStringList>
#include <optional>

struct CommandLineOptions {
    QString captureFile;     // empty: no capture
    double captureAfter = 0; // seconds after start-up
};

// Parses the arguments (program name first). Handles --help and --version itself
// (prints and exits); a bad value gives nothing and a message in error.
std::optional<CommandLineOptions> ParseCommandLine(const QStringList& arguments, QString& error);

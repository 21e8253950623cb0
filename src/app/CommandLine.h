#pragma once
// The program's command line: --help, --version, --adapter and the timed window capture.
#include <QString>
#include <QStringList>
#include <optional>

struct CommandLineOptions {
    QString captureFile;     // empty: no capture
    double captureAfter = 0; // seconds after start-up
    QString adapter;         // empty: OTK5530_ADAPTER, else the simulated board
};

// Parses the arguments (program name first). Handles --help and --version itself
// (prints and exits); a bad value gives nothing and a message in error.
std::optional<CommandLineOptions> ParseCommandLine(const QStringList& arguments, QString& error);

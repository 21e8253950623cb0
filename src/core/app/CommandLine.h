#pragma once
// The program's command line: --help, --version, --adapter, the timed window capture,
// and the windows and logging to start with when nobody is at the keyboard.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

struct CommandLineOptions {
    QString captureFile;         // empty: no capture
    double captureAfter = 0;     // seconds after start-up
    QString adapter;             // empty: OTK5530_ADAPTER, else the simulated board
    QStringList openWindows;     // window class names opened after start-up, in order
    bool continuousRead = false; // ticks the register map's "Continuous Read"
    QString logFile;             // empty: no logging at start-up
    QString workspaceFile;       // empty: none; opened after start-up, before the windows and logging
};

// Parses the arguments (program name first). Handles --help and --version itself
// (prints and exits); a bad value gives nothing and a message in error.
std::optional<CommandLineOptions> ParseCommandLine(const QStringList& arguments, QString& error);

// The bytes of the last "--name VALUE" or "--name=VALUE" before any "--", exactly
// as given: a file name that is no valid UTF-8 loses its odd bytes as text.
QByteArray LastOptionBytes(int argc, const char* const* argv, const char* name);

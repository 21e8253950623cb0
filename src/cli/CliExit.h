#pragma once
// The tool's exit statuses, and the error that ends a verb with one of them.
#include <QString>

enum CliStatus : int {
    kExitSuccess = 0,
    kExitLinkError = 1, // the device link's failure texts on stderr
    kExitUsage = 2,     // usage or bad input: nothing reached the chip
    kExitMismatch = 3,  // a read-back or a compare differs
    kExitNoChip = 4,
};

// Thrown by a verb; RunCli prints the message on stderr ("otk5530-cli: ...") and exits with the status.
struct CliError {
    int status;
    QString message;
};

inline constexpr char kToolName[] = "otk5530-cli";

#pragma once
// Logging started without the logging window, for runs with nobody at the keyboard.
#include <QString>

// Starts logging every channel at the current interval into the file, as the
// logging window's start does: title block, row 0, status "Logging Enabled".
// False when the file cannot be written; logging and the channels then stay as they were.
bool StartLoggingAllChannels(const QString& path);

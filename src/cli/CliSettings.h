#pragma once
// save, recall and diff: the program's settings file, written and read by the program's
// own code, so a file saved here is recalled by the program and the other way round.
#include "cli/CliArgs.h"
#include "cli/CliOutput.h"

#include <QByteArray>
#include <optional>

// For recall and diff: the file's bytes, checked whole as a recall checks them, before the
// chip is touched (throws CliError, status 2, with the refusal). Save: its target must be
// a plain file or new. Nothing for other verbs.
std::optional<QByteArray> LoadSettingsOperand(const CliArgs& args);

// save, recall or diff; status 3 when diff finds a difference or a recalled value does not
// take (a recall marks each change taken or not).
Report SettingsVerb(const CliArgs& args, const std::optional<QByteArray>& file, int& status);

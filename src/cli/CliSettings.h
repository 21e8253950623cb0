#pragma once
// save, recall and diff: the program's settings file, written and read by the program's
// own code, so a file saved here is recalled by the program and the other way round.
// A file operand "-" is standard output (save) or standard input (recall, diff).
#include "cli/CliArgs.h"
#include "cli/CliOutput.h"

#include <QByteArray>
#include <optional>

// For recall and diff: the file's bytes, checked whole as a recall checks them, before the
// chip is touched (throws CliError, status 2, with the refusal). Save: its target must be
// a plain file or new. Nothing for other verbs.
std::optional<QByteArray> LoadSettingsOperand(const CliArgs& args);

// save, diff or recall --dry-run; status 3 when diff finds a difference. save to "-"
// writes the file on standard output and reports nothing.
Report SettingsVerb(const CliArgs& args, const std::optional<QByteArray>& file, int& status);

// recall: each register on standard output or -o as it is written, flushed, so a lost link
// leaves there exactly what reached the chip. Status 3 when a value does not take (each
// such register named on stderr).
int RecallVerb(const CliArgs& args, const QByteArray& file);

#pragma once
// Where a whole result goes: standard output, or a file replaced all at once.
#include <QByteArray>
#include <QString>

// Standard output (empty path), or the file through a temporary file in its folder and a
// rename, so a reader never sees half of it and an earlier file stays whole when this run
// fails. Throws CliError (status 2) naming the file when it cannot be written.
void WriteOutput(const QByteArray& bytes, const QString& path);

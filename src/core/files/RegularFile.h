#pragma once
// Opening the program's files only when they are plain files, and never blocking:
// a pipe or device named where a file belongs would hang the open or never end.
// Paths are the file system's bytes (QFile::encodeName of a name typed as text).
#include <QByteArray>
#include <QString>

enum class FileOpenError {
    None,
    NotAFile,   // a folder, pipe, device or socket
    CannotOpen, // missing, no permission, ...: errorText says why
};

struct RegularFile {
    int descriptor = -1; // open, blocking I/O; -1 on failure
    FileOpenError error = FileOpenError::None;
    QString errorText;
};

// open(2) with O_NONBLOCK, then fstat of the descriptor itself, so a file swapped
// between a check and the open cannot slip through. `flags` as for open(2).
RegularFile OpenRegularFile(const QByteArray& nativePath, int flags);

struct WholeFile {
    FileOpenError error = FileOpenError::None;
    QString errorText;
    bool tooLarge = false;
    QByteArray bytes;
};

// The file system's bytes for a name. A name that arrived as bytes (a command-line
// argument that is no valid UTF-8) and was remembered here maps back to exactly
// those bytes: as text its odd bytes became replacement characters.
void RememberNativeName(const QByteArray& nativeName);
QByteArray NativeName(const QString& name);

// Reads a regular file whole when it holds at most maxBytes.
WholeFile ReadRegularFile(const QByteArray& nativePath, qint64 maxBytes);

// write(2) until every byte is written, resuming after a signal; false on any failure.
bool WriteAll(int descriptor, const QByteArray& bytes);
// Appends the bytes to a plain file (made when missing), all or nothing: after a failed
// write the file is cut back to its old length.
bool AppendWhole(const QByteArray& nativePath, const QByteArray& bytes);

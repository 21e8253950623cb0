#pragma once
// Reads a register settings file back, one character at a time, and hands each
// entry to a write callback as soon as its line is consumed. Pure: no widget and
// no chip inside, so tests and fuzzers can drive it with any bytes.
//
// Lenient: the header, text between the markers, descriptions and blank lines are
// skipped; two-digit hexadecimal of either case is read. Strict: the marker is a
// lower-case "x"; exactly two characters follow it; "}" ends the list only as the
// first character of a line; the list must start with "{" and end with "}".
#include <QByteArray>
#include <cstdint>
#include <functional>

class SettingsReader {
public:
    explicit SettingsReader(QByteArray bytes) : bytes_(std::move(bytes)) {}

    // Reads count characters and returns the last; past the end it returns 0 and
    // marks the reader as past the end.
    char ReadChar(int count = 1);
    // Reads one character: true when it is "}". The character is consumed either way.
    bool IsEndOfFile();
    // Reads exactly two characters as hexadecimal: blanks and tabs are ignored, any
    // other non-digit ends the number, no digit gives 0. Always 0..255.
    int32_t ReadByte();
    // Reads up to and including the next line feed.
    void SkipToLineEnd();
    // Reads until the character is `wanted` (or the end).
    void ReadUntil(char wanted);

    bool pastEnd() const { return pastEnd_; }

private:
    QByteArray bytes_;
    qsizetype position_ = 0;
    bool pastEnd_ = false;
};

enum class RecallOutcome {
    NoListStart, // no "{": nothing was written
    EndedEarly,  // the file ended before "}": the entries read so far were written
    Complete,
};

struct RecallCallbacks {
    // Called once, after the "{" line has been consumed and before the first write.
    std::function<void()> listStarted;
    std::function<void(int32_t address, int32_t data)> write;
};

// Runs the whole recall over the file's bytes. Terminates on any input: every step
// consumes at least one character or stops at the end.
RecallOutcome RecallSettings(const QByteArray& bytes, const RecallCallbacks& callbacks);

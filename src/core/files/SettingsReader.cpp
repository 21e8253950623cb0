#include "files/SettingsReader.h"

#include "adapter/HexDigit.h"

char SettingsReader::ReadChar(int count) {
    char last = 0;
    for (int i = 0; i < count; ++i) {
        if (position_ >= bytes_.size()) {
            pastEnd_ = true;
            return 0;
        }
        last = bytes_[position_++];
    }
    return last;
}

bool SettingsReader::IsEndOfFile() {
    return ReadChar() == '}' && !pastEnd_;
}

int32_t SettingsReader::ReadByte() {
    const char pair[2] = {ReadChar(), ReadChar()};
    int32_t value = 0;
    for (const char c : pair) {
        if (c == ' ' || c == '\t')
            continue;
        const int digit = HexDigitValue(c);
        if (digit < 0)
            break;
        value = value * 16 + digit;
    }
    return value;
}

void SettingsReader::SkipToLineEnd() {
    ReadUntil('\n');
}

void SettingsReader::ReadUntil(char wanted) {
    while (!pastEnd_ && ReadChar() != wanted) {
    }
}

RecallOutcome RecallSettings(const QByteArray& bytes, const RecallCallbacks& callbacks) {
    SettingsReader reader(bytes);
    reader.ReadUntil('{');
    if (reader.pastEnd())
        return RecallOutcome::NoListStart;
    reader.SkipToLineEnd();
    if (reader.pastEnd())
        return RecallOutcome::EndedEarly;
    callbacks.listStarted();
    for (;;) {
        const bool listEnds = reader.IsEndOfFile();
        if (reader.pastEnd())
            return RecallOutcome::EndedEarly;
        if (listEnds)
            return RecallOutcome::Complete;
        reader.ReadUntil('x');
        const int32_t address = reader.ReadByte();
        reader.ReadUntil('x');
        const int32_t data = reader.ReadByte();
        // An entry counts once its line end has been read; a last line without
        // one is cut short and is not written.
        reader.SkipToLineEnd();
        if (reader.pastEnd())
            return RecallOutcome::EndedEarly;
        callbacks.write(address, data);
    }
}

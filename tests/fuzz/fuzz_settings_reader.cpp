// A settings file is whatever the user picks: the recall must end on any bytes,
// write only byte-sized registers and values, and announce the list once before
// the first write. A file the check passes must be recalled exactly as the check
// read it: no input may pass the check and make the reader do something else.
#include "device/RegMapStuff.h"
#include "files/SettingsCheck.h"
#include "files/SettingsFile.h"
#include "files/SettingsReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool tableBuilt = (RegMapStuff::BuildRegisterTable(), true);
    (void)tableBuilt;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    int listStarts = 0;
    QList<SettingsCheck::Entry> writes;
    RecallCallbacks callbacks;
    callbacks.listStarted = [&listStarts] { ++listStarts; };
    callbacks.write = [&](int32_t address, int32_t value) {
        if (address < 0 || address > 0xFF || value < 0 || value > 0xFF || listStarts != 1)
            std::abort();
        writes.append({address, value});
    };
    const RecallOutcome outcome = RecallSettings(bytes, callbacks);
    if (outcome == RecallOutcome::NoListStart && (listStarts != 0 || !writes.isEmpty()))
        std::abort();
    // Every entry takes at least two "x" markers and a line end of the file's bytes.
    if (static_cast<size_t>(writes.size()) > size)
        std::abort();

    const SettingsCheck check = CheckSettingsFile(bytes, IsWritableRegisterAddress);
    if (check.passed) {
        if (outcome == RecallOutcome::NoListStart || writes != check.entries)
            std::abort();
        for (const SettingsCheck::Entry& entry : writes)
            if (!IsWritableRegisterAddress(entry.address))
                std::abort();
    } else if (check.problem.isEmpty()) {
        std::abort();
    } else {
        // A refusal names the line it is about; only a file without any "{" has none to name.
        const int lineCount = static_cast<int>(bytes.count('\n')) + 1;
        const int firstLine = bytes.contains('{') ? 1 : 0;
        const int lastLine = bytes.contains('{') ? lineCount : 0;
        if (check.badLine < firstLine || check.badLine > lastLine)
            std::abort();
    }
    return 0;
}

// A settings file is whatever the user picks: the recall must end on any bytes,
// write only byte-sized registers and values, and announce the list once before
// the first write.
#include "files/SettingsReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    int listStarts = 0;
    size_t writes = 0;
    RecallCallbacks callbacks;
    callbacks.listStarted = [&listStarts] { ++listStarts; };
    callbacks.write = [&](int32_t address, int32_t value) {
        if (address < 0 || address > 0xFF || value < 0 || value > 0xFF || listStarts != 1)
            std::abort();
        ++writes;
    };
    const RecallOutcome outcome = RecallSettings(bytes, callbacks);
    if (outcome == RecallOutcome::NoListStart && (listStarts != 0 || writes != 0))
        std::abort();
    // Every entry takes at least two "x" markers and a line end of the file's bytes.
    if (writes > size)
        std::abort();
    return 0;
}

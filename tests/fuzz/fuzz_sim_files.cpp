// The simulated board's files are whatever the user names: every reader must end on any
// bytes, and a file it accepts must hold what the board can use (bytes, times in order, a
// state that reads back as written).
#include "adapter/SimChip.h"
#include "adapter/SimDumpFile.h"
#include "adapter/SimRunFile.h"
#include "adapter/SimStateFile.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    RegisterDump dump;
    if (ParseRegisterDump(text, dump, error) && (dump.bytes.empty() || dump.bytes.rbegin()->first > 0xFF))
        std::abort();
    RecordedRun run;
    if (ParseRecordedRun(text, std::nullopt, run, error)) {
        if (run.samples.empty() || run.samples.front().seconds != 0)
            std::abort();
        for (size_t i = 1; i < run.samples.size(); ++i)
            if (!(run.samples[i].seconds >= run.samples[i - 1].seconds))
                std::abort();
        run.at(run.samples.back().seconds * 1.5 + 1, true);
    }
    std::map<int, uint8_t> state, again;
    if (ParseBoardState(text, state, error) &&
        (!ParseBoardState(BoardStateText(state), again, error) || again != state))
        std::abort();
    return 0;
}
